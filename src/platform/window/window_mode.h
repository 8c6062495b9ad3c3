// Switching the game window between desktop full screen and a window at run time.
#pragma once

#include "platform/window/window.h"

namespace platform {

// Makes `window` desktop full screen (true) or a window of its own size (false). With no real
// display (headless) only the choice is recorded. Returns false, with one line on standard
// error, when the display refuses.
bool SetFullscreen(Window& window, bool fullscreen);
// Whether the window is (or, headless, was last asked to be) full screen.
bool IsFullscreen(Window& window);

}  // namespace platform
