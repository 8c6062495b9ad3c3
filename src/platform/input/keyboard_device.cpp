// The system keyboard. The state of SDL's keys is kept from its key events, which reach the
// device only through the window's event gathering, after the window has taken its own keys
// (Alt+Enter must never reach the game as Return). Each read has the window gather first, so
// that the keys still waiting in SDL's queue count (the video player reads the keyboard in a
// loop that does not poll the window). Besides the state, each read reports the keys pressed
// since the previous read: a tap that starts and ends between two frames would otherwise never
// be seen.
#include "platform/input/keyboard_device.h"

#include <SDL.h>

#include "platform/input/input_internal.h"
#include "platform/window/window.h"
#include "platform/window/window_sdl.h"

namespace platform {

namespace {

bool IsKeyEvent(const SDL_Event& event) { return event.type == SDL_KEYDOWN || event.type == SDL_KEYUP; }

}  // namespace

KeyboardDevice::KeyboardDevice()
{
    std::lock_guard lock(c_mutex);
    ForgetPressesLocked();
}

KeyboardDevice::~KeyboardDevice()
{
    if (c_pWindow && c_iListenerId != 0) RemoveEventListener(*c_pWindow, c_iListenerId);
}

InputResult KeyboardDevice::SetCooperativeLevel(Window* window, unsigned flags)
{
    const InputResult allowed = CheckCooperativeLevel(flags, IsAcquired());
    if (allowed != InputResult::Ok) return allowed;
    c_iListenerId = ReplaceEventListener(c_pWindow, c_iListenerId, window, [this](const SDL_Event& event) {
        if (!IsKeyEvent(event)) return false;
        OnKeyEvent(event.key.keysym.scancode, event.type == SDL_KEYDOWN);
        return true;
    });
    std::lock_guard lock(c_mutex);
    c_pWindow = window;
    c_uCooperativeFlags = flags;
    c_eventKeys.fill(0);
    ForgetPressesLocked();
    return InputResult::Ok;
}

InputResult KeyboardDevice::Acquire()
{
    std::lock_guard lock(c_mutex);
    const bool foreground = IsForegroundLocked();
    if (!foreground) {
        if (c_bAcquired) {
            c_bAcquired = false;
            c_bLost = true;
        }
        return InputResult::OtherAppHasPriority;
    }
    if (!c_bAcquired) ForgetPressesLocked();  // what happened while not reading is not seen
    c_bAcquired = true;
    c_bLost = false;
    return InputResult::Ok;
}

InputResult KeyboardDevice::Unacquire()
{
    std::lock_guard lock(c_mutex);
    c_bAcquired = false;
    c_bLost = false;
    return InputResult::Ok;
}

bool KeyboardDevice::IsAcquired() const
{
    std::lock_guard lock(c_mutex);
    return c_bAcquired;
}

InputResult KeyboardDevice::GetDeviceState(std::size_t size, std::uint8_t* buffer)
{
    if (size != static_cast<std::size_t>(kKeyCodeCount) || !buffer) return InputResult::InvalidParam;
    GatherKeyEvents();

    std::lock_guard lock(c_mutex);
    const bool foreground = IsForegroundLocked();
    if (c_bAcquired && !foreground) {
        c_bAcquired = false;
        c_bLost = true;
    }
    if (!foreground) {
        // Key releases may never reach a window in the background: forget what was held, so
        // that no key sticks down when the window comes back, and what was pressed.
        c_eventKeys.fill(0);
        ForgetPressesLocked();
    }
    if (c_bLost) {
        c_bLost = false;
        return InputResult::InputLost;
    }
    if (!c_bAcquired) return InputResult::NotAcquired;

    const InjectedKeyboard injected = GetInjectedKeys();
    for (std::size_t k = 0; k < injected.down.size(); ++k) {
        const bool down = (injected.down[k] | c_eventKeys[k]) != 0;
        const bool pressed = c_bEventPressed[k] || injected.presses[k] != c_injectedPressesSeen[k];
        buffer[k] = static_cast<std::uint8_t>((down ? kKeyDownByte : 0) | (pressed ? kKeyPressedBit : 0));
    }
    c_bEventPressed.fill(false);
    c_injectedPressesSeen = injected.presses;
    return InputResult::Ok;
}

void KeyboardDevice::ForgetPressesLocked()
{
    c_bEventPressed.fill(false);
    c_injectedPressesSeen = GetInjectedKeys().presses;
}

bool KeyboardDevice::IsForegroundLocked() const
{
    return (c_uCooperativeFlags & DISCL_FOREGROUND) == 0 || IsWindowForeground(c_pWindow);
}

void KeyboardDevice::OnKeyEvent(int scancode, bool down)
{
    const unsigned char keyCode = KeyCodeFromScancode(scancode);
    if (keyCode == 0) return;
    std::lock_guard lock(c_mutex);
    if (down && c_eventKeys[keyCode] == 0) c_bEventPressed[keyCode] = true;  // a repeat is no press
    c_eventKeys[keyCode] = down ? kKeyDownByte : 0;
}

void KeyboardDevice::GatherKeyEvents()
{
    if (!c_pWindow || SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
    GatherEvents(*c_pWindow);
}

}  // namespace platform
