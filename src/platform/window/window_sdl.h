// Private to platform/: the SDL side of the window, for the graphics device and the input
// devices. Never include this above platform/.
#pragma once

#include <SDL.h>

#include <functional>

#include "platform/window/window.h"

namespace platform {

// The SDL window of a Window (the graphics device makes its context current on it).
SDL_Window* GetSdlWindow(Window& window);
SDL_GLContext GetGlContext(Window& window);

// Input devices listen for SDL events through this: a listener returns true when it took the
// event (it is then not treated as a window message). The window's own SDL_WINDOWEVENTs are
// shown to the listeners too, and stay window messages whatever they return. Returns an id for RemoveEventListener.
int AddEventListener(Window& window, std::function<bool(const SDL_Event&)> listener);
void RemoveEventListener(Window& window, int id);

// Takes every event SDL holds as Poll does: the window's own keys answered first (Alt+Enter,
// F12), input handed to the listeners, the rest kept as window messages. Main thread. The one
// way events leave SDL's queue, so that no key reaches a device past the window's own keys.
void GatherEvents(Window& window);

// True when no real display is in use: the offscreen/dummy video drivers or KELVANE_HEADLESS.
bool IsHeadlessEnvironment();

// The window's event gathering reports every key event here, so GetAsyncKeyState sees a key
// pressed and released between two queries.
void NoteKeyEvent(const SDL_Event& event);

}  // namespace platform
