#include "platform/window/window_mode.h"

#include <cstdio>

#include "platform/window/window_sdl.h"

namespace platform {

namespace {
// Headless windows never change mode; what the game asked for is kept for IsFullscreen.
bool g_headlessFullscreen = false;
}  // namespace

bool SetFullscreen(Window& window, bool fullscreen)
{
    if (window.IsHeadless()) {
        g_headlessFullscreen = fullscreen;
        return true;
    }
    SDL_Window* sdl = GetSdlWindow(window);
    if (SDL_SetWindowFullscreen(sdl, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        std::fprintf(stderr, "Kelvane: cannot switch to %s: %s\n", fullscreen ? "full screen" : "a window",
                     SDL_GetError());
        return false;
    }
    return true;
}

bool IsFullscreen(Window& window)
{
    if (window.IsHeadless()) return g_headlessFullscreen;
    return (SDL_GetWindowFlags(GetSdlWindow(window)) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

}  // namespace platform
