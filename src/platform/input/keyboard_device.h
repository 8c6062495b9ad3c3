// The system keyboard as a snapshot device: the state of all 256 key codes read at once,
// 0x80 for a key that is down. Keys come from SDL's key events and from injection; a
// foreground device reads every key up while the window is in the background. Nothing here
// exposes SDL.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "platform/input/input_system.h"
#include "platform/input/key_codes.h"

namespace platform {

class Window;

// A snapshot byte's value for a key that is down.
constexpr std::uint8_t kKeyDownByte = 0x80;
// Bit of a snapshot byte: the key went down since the previous read, even if it is up again
// (a tap shorter than a frame) or was released and pressed again in between.
constexpr std::uint8_t kKeyPressedBit = 0x01;

class KeyboardDevice {
public:
    ~KeyboardDevice();
    KeyboardDevice(const KeyboardDevice&) = delete;
    KeyboardDevice& operator=(const KeyboardDevice&) = delete;

    // Binds the device to `window` (not owned; must outlive the device, or null for a device
    // fed only by injection, which is always in the foreground).
    InputResult SetCooperativeLevel(Window* window, unsigned flags);

    // Starts reading. Fails with OtherAppHasPriority while a foreground device's window is in
    // the background. Acquiring an acquired device is a success.
    InputResult Acquire();
    InputResult Unacquire();
    bool IsAcquired() const;

    // Fills `buffer` (size must be kKeyCodeCount) with the current state of every key: 0x80
    // down, 0 up, plus kKeyPressedBit for a key that went down since the previous successful
    // read (presses made in the background or before the device was acquired do not count).
    // On any failure (not acquired; InputLost once after the window went to the
    // background) the buffer is left untouched. Main thread: with a window it first has the
    // window gather the events waiting in SDL's queue (its own keys taken out), so the keyboard
    // stays current in loops that do not poll the window (video playback).
    InputResult GetDeviceState(std::size_t size, std::uint8_t* buffer);

private:
    friend class InputSystem;
    KeyboardDevice();

    bool IsForegroundLocked() const;
    // A key went down or up (SDL scancode); the state is kept by key code.
    void OnKeyEvent(int scancode, bool down);
    // Has the window gather the events still waiting in SDL's queue. Lock not held.
    void GatherKeyEvents();
    // Forgets the presses made so far. Lock held.
    void ForgetPressesLocked();

    mutable std::mutex c_mutex;
    Window* c_pWindow = nullptr;
    int c_iListenerId = 0;
    unsigned c_uCooperativeFlags = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    bool c_bAcquired = false;
    bool c_bLost = false;
    std::array<std::uint8_t, kKeyCodeCount> c_eventKeys{};  // state from key events, by key code
    std::array<bool, kKeyCodeCount> c_bEventPressed{};      // a key event pressed it since the last read
    std::array<std::uint32_t, kKeyCodeCount> c_injectedPressesSeen{};  // injected press counts at the last read
};

// The physical keyboard: holds or releases a key by its key code, or sets the whole injected
// state at once (bit 0x80 of each byte). Every keyboard device reads the injected keys.
void InjectKey(int keyCode, bool down);
void InjectKeyboardState(const std::array<std::uint8_t, kKeyCodeCount>& snapshot);

}  // namespace platform
