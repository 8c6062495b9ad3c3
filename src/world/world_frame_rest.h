// Whether a world frame may rest: when nothing that makes up the world's picture has changed
// since the frame last drawn, and nothing on screen changes by itself, the picture shown is
// the one that frame would draw, and drawing it again is wasted work.
// Depends on nothing; the world manager describes its frames.
#pragma once

#include <cstdint>

// What a world frame's picture is made of, as seen before it is drawn.
struct WorldFrame {
    int pointerX = 0;      // screen pixels
    int pointerY = 0;
    int cursor = 0;        // cursor number, before the bar and the top menu light it
    int cursorItem = 0;    // item held on the pointer, 0 none
    int hoveredItem = 0;   // item whose name stands over the pointer, 0 none
    const void* screen = nullptr;  // the screen shown
    int viewFront = 0;             // the view's slot in front
    float rotation = 0.0f;         // the view's front and back angles, radians
    float backRotation = 0.0f;
    // The bar's and the top menu's see-through level, which each drawn frame steps towards
    // where the pointer wants it: equal before two frames once it has arrived.
    float barFade = 0.0f;
    float topMenuFade = 0.0f;
    bool hideCursor = false;
    bool hideInventory = false;
    bool inventoryScreen = false;  // an item's close-up
    bool endGameMode = false;
    bool reveal = false;           // the reveal key held: what reacts is marked
    // Something on screen moves with the clock: a cross-fade, a caption.
    bool moving = false;
    // A click was latched this frame (what it does shows in this frame's picture).
    bool clicked = false;
    std::uint64_t actionsRun = 0;    // action lists run so far
    std::uint64_t noticeVersion = 0; // changes of the author's notice drawn over the view
    std::uint64_t deviceChanges = 0; // the device's change count (presents, texture writes)

    bool operator==(const WorldFrame&) const = default;
};

class WorldFrameRest {
public:
    // True when `now` may show the picture already shown instead of drawing it: a frame was
    // drawn, nothing moves or was clicked, and everything else is as it was then.
    bool MayRest(const WorldFrame& now) const
    {
        return c_bDrawn && !now.moving && !now.clicked && now == c_last;
    }
    // The frame `shown` was drawn and presented; its device count is the one after Present.
    void Drawn(const WorldFrame& shown)
    {
        c_last = shown;
        c_bDrawn = true;
    }
    // The picture shown is no longer a world frame's (a frame begun and abandoned).
    void Forget() { c_bDrawn = false; }

private:
    WorldFrame c_last;
    bool c_bDrawn = false;
};
