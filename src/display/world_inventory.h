// The inventory bar: every item the world defines, and the row of items the player holds,
// drawn translucently and centred in the strip below the view. Clicking picks an item up or
// puts the held one back. Uses the game's device (D3Dfunc::pD3Ddevice); screen pixels of the
// 800 x 600 screen throughout. Depends on the display classes only.
#pragma once

#include <memory>
#include <vector>

#include "display/d3dmat.h"
#include "display/full_screen_image.h"
#include "display/world_item.h"

class WorldInventory {
public:
    // Empty lists; the bar's opacity starts at 0.
    WorldInventory();
    ~WorldInventory();
    WorldInventory(const WorldInventory&) = delete;
    WorldInventory& operator=(const WorldInventory&) = delete;

    // Defines an item (see WorldItem) and returns it; the inventory owns it. Load errors propagate.
    WorldItem* AddItem(int number, const char* picture, const char* cursor1Image,
                       const char* cursor1Alpha, const char* cursor2Image, const char* cursor2Alpha,
                       const wchar_t* sound, int width, int height, int hotspotX, int hotspotY,
                       int offset, int screen);
    // The first defined item with that number; null when none has it.
    WorldItem* GetItem(int number) const;

    // Gives the item to the player: appended at the right end of the held row.
    void ActivateItem(int number);
    // Puts the defined item `number` into the held row at `position` (0 = leftmost; beyond
    // the end appends, below 0 puts it first). Nothing if it is already held or not defined.
    void InsertActiveItem(int number, int position);
    // The held item at `index` from the left; null outside the row.
    WorldItem* getActiveItemBN(int index) const;
    // The held row, left to right (not owned). Saving reads it; restoring empties it.
    std::vector<WorldItem*>& get_ActiveItems() { return c_pActiveItems; }
    const std::vector<WorldItem*>& get_ActiveItems() const { return c_pActiveItems; }

    // Picks up the item under the pointer: it leaves the row; its number, or 0 for none.
    int Click(int mouseX);
    // Puts item `number` back before the first slot whose left edge lies right of `mouseX`
    // (as the slots stood before), or at the end when there is none.
    void Click(int mouseX, int number);
    // The number of the item under the pointer, which stays in the row; 0 for none.
    int RClick(int mouseX);

    // The number of the held item under the pointer, or 0 for none.
    int ItemNumberUnder(int mouseX) const;
    // The pointer is in the bar: fade in and draw. True when an item is under the pointer.
    bool Render(int mouseX);
    // The pointer is elsewhere: fade out and draw with nothing under the pointer.
    bool Render();

    // The bar's current opacity, 0.25 .. 0.65 once drawn.
    float get_SemiTransparent() const { return c_fSemiTransparent; }

    // Left edge, in screen pixels, of slot `index` of a row of `count` items.
    static int SlotLeft(int count, int index);

private:
    // Index in the held row of the item under the pointer, or -1.
    int ItemUnder(int mouseX) const;
    bool RenderFin(int mouseX);

    std::vector<std::unique_ptr<WorldItem>> c_pAllItems;
    std::vector<WorldItem*> c_pActiveItems;
    float c_fSemiTransparent = 0.0f;
    std::unique_ptr<FullScreenImage> c_pFullScreenImage;
    std::unique_ptr<D3Dmat> c_pD3Dmat;
};
