// Private to platform/input: the shared state behind the input system's settings and test
// hooks, and the registry through which injected input reaches every open device.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/input/input_system.h"
#include "platform/input/key_codes.h"
#include "platform/window/window_sdl.h"

namespace platform {

class MouseDevice;

// True (once) if a failure of `step` was injected; the injection is then used up.
bool ConsumeSetupFailure(InputSetupStep step);

// Whether a device may take the cooperative level `flags` now: Failed for an injected failure
// or while the device is acquired, InvalidParam unless the flags hold exactly one of
// exclusive/non-exclusive and one of foreground/background.
InputResult CheckCooperativeLevel(unsigned flags, bool acquired);

// Moves a device's event listener from `oldWindow` (id `oldId`, 0 for none) to `newWindow`;
// returns the new id, 0 when `newWindow` is null.
int ReplaceEventListener(Window* oldWindow, int oldId, Window* newWindow,
                         std::function<bool(const SDL_Event&)> listener);

// Whether a device bound to `window` (may be null) sees the window in the foreground.
bool IsWindowForeground(Window* window);

// The override SetDesktopPointerOverride set, if any.
std::optional<bool> GetDesktopPointerOverride();
float GetPointerSpeed();

// Open mouse devices, so that injected mouse input reaches each of them.
void RegisterMouse(MouseDevice* device);
void UnregisterMouse(MouseDevice* device);
void ForEachMouse(const std::function<void(MouseDevice&)>& action);

// The injected part of the system keyboard: 0x80 for each key held by injection, and for each
// key how many times injection has pressed it (up to down) since the process started. The
// counts only grow (wrapping), so a device learns of presses made between two of its reads,
// however short, by comparing them with the counts it saw last.
using KeySnapshot = std::array<std::uint8_t, kKeyCodeCount>;
using KeyPressCounts = std::array<std::uint32_t, kKeyCodeCount>;
struct InjectedKeyboard {
    KeySnapshot down{};
    KeyPressCounts presses{};
};
InjectedKeyboard GetInjectedKeys();

}  // namespace platform
