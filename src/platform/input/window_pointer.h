// The game's pointer while the desktop owns the pointer (a window, not full screen): the
// desktop's pointer may leave the window, and the game's pointer must stand on the picture
// pixel under it. The game's pointer is kept as its movements have placed it (from the
// picture's centre, clamped to the picture as the game clamps it), and each desktop position,
// mapped through the letterbox, becomes the movement that brings the game's pointer there. In
// full screen it follows the relative movements, so that a switch finds it where the game has
// it; where the game puts its pointer itself, Place keeps the two together. Movements the game
// never took (the window in the background) part the two: the mouse device puts the game's
// pointer back at this one's position when it is acquired again. Clicks that begin on the
// black bars are kept from the game here too.
#pragma once

#include <bitset>
#include <cstdint>

#include "platform/window/window.h"

namespace platform {

class WindowPointer {
public:
    // A relative movement (full screen).
    void Follow(const Window& window, int dx, int dy);
    // The movement to the picture pixel under window pixel (x, y); false on the black bars.
    bool MoveTo(const Window& window, int x, int y, int* dx, int* dy);
    // The game put its pointer at picture pixel (x, y).
    void Place(const Window& window, int x, int y);
    // Where the pointer stands, in picture pixels: under the desktop's pointer as last seen
    // (whether or not the game took that movement), or where the game put it since.
    void GetPosition(const Window& window, int* x, int* y);

    // Whether a transition of mouse button `button` (SDL's number) reaches the game. A press
    // on the black bars does not, nor does the release that ends it, wherever that happens:
    // the game takes a left click when the button comes up.
    bool ButtonReachesGame(std::uint8_t button, bool down, bool onPicture);

private:
    void Start(const Window& window);
    bool c_bStarted = false;
    int c_iX = 0;
    int c_iY = 0;
    std::bitset<256> c_pressedOnBars;  // button b went down on the bars and is still held
};

}  // namespace platform
