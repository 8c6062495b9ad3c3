// One inventory item: its picture in the inventory bar, the two cursors shown while it is
// held, the sound of its close-up and the number of its close-up screen.
// Depends on the scrambled-image texture and the cursor class.
#pragma once

#include <memory>
#include <string>

class Cursor;
class Texture;

class WorldItem {
public:
    // Loads the bar picture and both cursors (each colour image with its alpha image, drawn
    // width x height with the given hot spot); one rotation offset serves all five images.
    // Uses the game's device (D3Dfunc::pD3Ddevice). Load errors propagate.
    WorldItem(int number, const char* baseImage, const char* cursor1Image, const char* cursor1Alpha,
              const char* cursor2Image, const char* cursor2Alpha, const wchar_t* sound, int width,
              int height, int hotspotX, int hotspotY, int offset, int screenShow);
    ~WorldItem();
    WorldItem(const WorldItem&) = delete;
    WorldItem& operator=(const WorldItem&) = delete;

    int get_Number() const { return c_iNumber; }
    Texture* get_BaseTexture() const { return c_pBaseTexture.get(); }
    // Shown while the item is held over nothing that reacts (cursor index 0).
    Cursor* get_Cursor1() const { return c_pCursor1.get(); }
    // Shown while the item is held over something that reacts (cursor index 1).
    Cursor* get_Cursor2() const { return c_pCursor2.get(); }
    // Number of the item's close-up screen.
    int get_Screen() const { return c_iScreenShow; }
    const std::wstring& get_Sound() const { return c_lpcSound; }

private:
    int c_iNumber;
    std::unique_ptr<Texture> c_pBaseTexture;
    std::unique_ptr<Cursor> c_pCursor1;
    std::unique_ptr<Cursor> c_pCursor2;
    std::wstring c_lpcSound;
    int c_iScreenShow;
};
