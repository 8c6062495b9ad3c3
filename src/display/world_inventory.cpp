#include "display/world_inventory.h"

#include <algorithm>

#include "display/d3dfunc.h"
#include "display/texture.h"

namespace {

// The row is centred on x 412: 75-pixel pictures 100 pixels apart, top edge at y 512.
constexpr int kRowCentre = 412;
constexpr int kSlotPitch = 100;
constexpr int kItemSide = 75;
constexpr float kItemTop = 0.70666f;   // normalised: 511.998 pixels
constexpr float kItemWidth = 0.09375f; // 75 of 800
constexpr float kItemHeight = 0.125f;  // 75 of 600
// A pointer position left of every slot: nothing is under it.
constexpr int kNoPointer = -999;
// Put back at the end of the row.
constexpr int kEndOfRow = 999;

constexpr float kFadeStep = 0.02f;
constexpr float kMostOpaque = 0.65f;
constexpr float kLeastOpaque = 0.25f;

}  // namespace

WorldInventory::WorldInventory()
    : c_pFullScreenImage(std::make_unique<FullScreenImage>()), c_pD3Dmat(std::make_unique<D3Dmat>())
{
    c_pFullScreenImage->Create(D3Dfunc::pD3Ddevice);
}

WorldInventory::~WorldInventory() = default;

WorldItem* WorldInventory::AddItem(int number, const char* picture, const char* cursor1Image,
                                   const char* cursor1Alpha, const char* cursor2Image,
                                   const char* cursor2Alpha, const wchar_t* sound, int width,
                                   int height, int hotspotX, int hotspotY, int offset, int screen)
{
    c_pAllItems.push_back(std::make_unique<WorldItem>(number, picture, cursor1Image, cursor1Alpha,
                                                      cursor2Image, cursor2Alpha, sound, width,
                                                      height, hotspotX, hotspotY, offset, screen));
    return c_pAllItems.back().get();
}

WorldItem* WorldInventory::GetItem(int number) const
{
    for (const auto& item : c_pAllItems)
        if (item->get_Number() == number) return item.get();
    return nullptr;
}

void WorldInventory::ActivateItem(int number)
{
    InsertActiveItem(number, static_cast<int>(c_pActiveItems.size()));
}

void WorldInventory::InsertActiveItem(int number, int position)
{
    const bool held = std::any_of(c_pActiveItems.begin(), c_pActiveItems.end(),
                                  [number](const WorldItem* item) { return item->get_Number() == number; });
    if (held) return;
    WorldItem* item = GetItem(number);
    if (item == nullptr) return;
    const int count = static_cast<int>(c_pActiveItems.size());
    const int at = std::clamp(position, 0, count);
    c_pActiveItems.insert(c_pActiveItems.begin() + at, item);
}

WorldItem* WorldInventory::getActiveItemBN(int index) const
{
    if (index < 0 || index >= static_cast<int>(c_pActiveItems.size())) return nullptr;
    return c_pActiveItems[static_cast<size_t>(index)];
}

int WorldInventory::SlotLeft(int count, int index)
{
    return kRowCentre - kSlotPitch / 2 * count + kSlotPitch * index;
}

int WorldInventory::ItemUnder(int mouseX) const
{
    const int count = static_cast<int>(c_pActiveItems.size());
    for (int i = 0; i < count; ++i) {
        const int left = SlotLeft(count, i);
        if (left < mouseX && mouseX < left + kItemSide) return i;
    }
    return -1;
}

int WorldInventory::ItemNumberUnder(int mouseX) const
{
    const int index = ItemUnder(mouseX);
    return index < 0 ? 0 : c_pActiveItems[static_cast<std::size_t>(index)]->get_Number();
}

int WorldInventory::Click(int mouseX)
{
    const int index = ItemUnder(mouseX);
    if (index < 0) return 0;
    WorldItem* item = c_pActiveItems[static_cast<size_t>(index)];
    c_pActiveItems.erase(c_pActiveItems.begin() + index);
    return item->get_Number();
}

void WorldInventory::Click(int mouseX, int number)
{
    const int count = static_cast<int>(c_pActiveItems.size());
    int position = kEndOfRow;
    for (int i = 0; i < count; ++i) {
        if (SlotLeft(count, i) > mouseX) {
            position = i;
            break;
        }
    }
    InsertActiveItem(number, position);
}

int WorldInventory::RClick(int mouseX)
{
    const int index = ItemUnder(mouseX);
    return index < 0 ? 0 : c_pActiveItems[static_cast<size_t>(index)]->get_Number();
}

bool WorldInventory::Render(int mouseX)
{
    c_fSemiTransparent = std::min(c_fSemiTransparent + kFadeStep, kMostOpaque);
    return RenderFin(mouseX);
}

bool WorldInventory::Render()
{
    c_fSemiTransparent = std::max(c_fSemiTransparent - kFadeStep, kLeastOpaque);
    return RenderFin(kNoPointer);
}

bool WorldInventory::RenderFin(int mouseX)
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    // An item under the pointer brings the whole bar to full strength at once, in this very
    // frame, so it is known before the first item is drawn.
    const int hovered = ItemUnder(mouseX);
    if (hovered >= 0) c_fSemiTransparent = kMostOpaque;

    BeginTranslucentImages(device, *c_pD3Dmat);

    const int count = static_cast<int>(c_pActiveItems.size());
    for (int i = 0; i < count; ++i) {
        c_pD3Dmat->Diffuse.a = (i == hovered) ? 1.0f : c_fSemiTransparent;
        device->SetMaterial(*c_pD3Dmat);
        device->SetTexture(0, c_pActiveItems[static_cast<size_t>(i)]->get_BaseTexture()->getTexture());
        c_pFullScreenImage->Render(device, static_cast<float>(SlotLeft(count, i)) / 400.0f - 1.0f,
                                   kItemTop, kItemWidth, kItemHeight);
    }

    EndTranslucentImages(device);
    return hovered >= 0;
}
