#include "display/world_item.h"

#include "display/cursor.h"
#include "display/d3dfunc.h"
#include "display/texture.h"

WorldItem::WorldItem(int number, const char* baseImage, const char* cursor1Image,
                     const char* cursor1Alpha, const char* cursor2Image, const char* cursor2Alpha,
                     const wchar_t* sound, int width, int height, int hotspotX, int hotspotY,
                     int offset, int screenShow)
    : c_iNumber(number),
      c_pBaseTexture(std::make_unique<Texture>(D3Dfunc::pD3Ddevice, baseImage, offset)),
      c_pCursor1(std::make_unique<Cursor>(D3Dfunc::pD3Ddevice)),
      c_pCursor2(std::make_unique<Cursor>(D3Dfunc::pD3Ddevice)),
      c_lpcSound(sound != nullptr ? sound : L""),
      c_iScreenShow(screenShow)
{
    c_pCursor1->OpenImageFile(cursor1Image, cursor1Alpha, width, height, hotspotX, hotspotY, offset);
    c_pCursor2->OpenImageFile(cursor2Image, cursor2Alpha, width, height, hotspotX, hotspotY, offset);
}

WorldItem::~WorldItem() = default;
