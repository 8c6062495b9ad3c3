// Private to platform/window: what SDL does not report truthfully on an X display. SDL
// believes a desktop-full-screen request is honoured at once; an X server without a window
// manager leaves the window at the size it was created with. These ask the X server itself.
#pragma once

#include <SDL.h>

namespace platform::x11 {

// True when the window lives on an X display (SDL's X11 driver).
bool IsX11Window(SDL_Window* window);
// The X window's size as the X server has it; false when it cannot be asked.
bool QueryWindowSize(SDL_Window* window, int* width, int* height);
// Whether a window manager runs on the window's screen (it advertises itself on the root).
bool HasWindowManager(SDL_Window* window);
// Moves and resizes the window to `area` (root coordinates), raises it and gives it the
// keyboard focus: what a window manager would do, for a desktop that has none.
void PlaceWindow(SDL_Window* window, const SDL_Rect& area);

}  // namespace platform::x11
