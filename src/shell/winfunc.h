// The game window functions: creating the one window and the meaning of its messages.
#pragma once

#include "platform/window/window.h"

namespace Winfunc {

// The game window; null until InitWindow succeeds. The window lives until the process ends.
extern platform::Window* hWnd;

// Creates and shows the game window ("Kelvane", 800 x 600, desktop full screen unless
// `fullscreen` is false or the video driver is headless). On failure shows the window
// layer's message box and returns false.
bool InitWindow(bool fullscreen = true);

// Switches the game window to desktop full screen or to a window; nothing without a window.
void SetFullscreen(bool fullscreen);
// Whether the game window is full screen (false without a window).
bool IsFullscreen();

}  // namespace Winfunc
