// The stand-in for the desktop input library: an input system that opens the system mouse and
// keyboard as devices, the results their operations report, and the system settings and test
// hooks shared by both. Nothing here exposes SDL.
#pragma once

#include <memory>
#include <optional>

namespace platform {

class Window;
class MouseDevice;
class KeyboardDevice;

// What a device operation reports. Ok and BufferOverflow are successes.
enum class InputResult {
    Ok,
    BufferOverflow,       // success; the buffer filled up since the last read (records merged)
    NotAcquired,          // the device is not acquired
    InputLost,            // the device was unacquired behind the caller's back (focus lost)
    OtherAppHasPriority,  // acquiring failed: the window is not in the foreground
    InvalidParam,
    Failed,
};

inline bool Succeeded(InputResult result)
{
    return result == InputResult::Ok || result == InputResult::BufferOverflow;
}

// Cooperative level flags: exactly one of exclusive/non-exclusive and one of
// foreground/background.
enum CooperativeLevel : unsigned {
    DISCL_EXCLUSIVE = 0x1,
    DISCL_NONEXCLUSIVE = 0x2,
    DISCL_FOREGROUND = 0x4,
    DISCL_BACKGROUND = 0x8,
};

// The set-up steps a test or the replay harness can make fail, one step each, to drive the
// game's reports of an input library that does not work.
enum class InputSetupStep {
    CreateInputSystem,
    CreateDevice,
    SetCooperativeLevel,
    SetEventNotification,
    SetBufferSize,
};

class InputSystem {
public:
    // Null when the input system cannot start (only an injected failure does that here).
    static std::unique_ptr<InputSystem> Create();

    // Opens the system mouse or keyboard; null on failure. The device is neither bound to a
    // window nor acquired yet.
    std::unique_ptr<MouseDevice> CreateMouse();
    std::unique_ptr<KeyboardDevice> CreateKeyboard();

private:
    InputSystem() = default;
};

// Whether the user has swapped the primary and secondary mouse buttons. Devices report
// buttons as the system delivers them; the game swaps when this says so. SDL on Linux applies
// a left-handed button mapping itself, so this is false unless set (tests, replay).
bool GetSwapMouseButtons();
void SetSwapMouseButtons(bool swapped);

// Overrides the window's foreground state for the input devices: false acts as if another
// application had the foreground, true as if the window had it. nullopt asks the window again.
void SetInputFocusOverride(std::optional<bool> focused);

// Overrides how the mouse devices take the pointer in a window that is not full screen: true
// as the desktop's, its positions in the window mapped through the letterbox (a window on a
// display), false relatively (a headless window). nullopt asks the window again. Tests drive a
// headless window as a player's desktop would with it.
void SetDesktopPointerOverride(std::optional<bool> desktop);

// How far the pointer moves for a count of the mouse where the game has the mouse to itself
// (full screen, taken relatively): 1 is the game's own speed; clamped to 0.25 .. 4. A pointer
// that is the desktop's moves as the desktop moves it.
void SetPointerSpeed(float factor);

// Makes the next execution of `step` fail (once).
void InjectInputSetupFailure(InputSetupStep step);

// Back to a plain system: injected keys released, swap, focus and pointer overrides cleared, pending
// set-up failures dropped. Tests call it between cases.
void ResetInjectedInput();

}  // namespace platform
