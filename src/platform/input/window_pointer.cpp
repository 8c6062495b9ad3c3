#include "platform/input/window_pointer.h"

#include <algorithm>

namespace platform {

void WindowPointer::Follow(const Window& window, int dx, int dy)
{
    Start(window);
    c_iX = std::clamp(c_iX + dx, 0, window.PictureWidth());
    c_iY = std::clamp(c_iY + dy, 0, window.PictureHeight());
}

bool WindowPointer::MoveTo(const Window& window, int x, int y, int* dx, int* dy)
{
    Start(window);
    int px = 0, py = 0;
    const bool onPicture = window.WindowToPicture(x, y, &px, &py);
    *dx = px - c_iX;
    *dy = py - c_iY;
    c_iX = px;
    c_iY = py;
    return onPicture;
}

void WindowPointer::Place(const Window& window, int x, int y)
{
    Start(window);
    c_iX = std::clamp(x, 0, window.PictureWidth());
    c_iY = std::clamp(y, 0, window.PictureHeight());
}

void WindowPointer::GetPosition(const Window& window, int* x, int* y)
{
    Start(window);
    *x = c_iX;
    *y = c_iY;
}

bool WindowPointer::ButtonReachesGame(std::uint8_t button, bool down, bool onPicture)
{
    if (down) {
        c_pressedOnBars[button] = !onPicture;
        return onPicture;
    }
    const bool pressedOnBars = c_pressedOnBars[button];
    c_pressedOnBars[button] = false;
    return !pressedOnBars;
}

void WindowPointer::Start(const Window& window)
{
    if (c_bStarted) return;
    c_bStarted = true;
    c_iX = window.PictureWidth() / 2;
    c_iY = window.PictureHeight() / 2;
}

}  // namespace platform
