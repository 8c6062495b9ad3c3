// The game's keyboard on the platform keyboard device.
#include "input/key_manager.h"

#include <cstdint>

namespace {

void ReportSetupFailure(const char* text) { platform::MessageBox(text, ""); }

}  // namespace

KeyManager::KeyManager(platform::Window* hWnd)
{
    c_pDI = platform::InputSystem::Create();
    if (!c_pDI) {
        ReportSetupFailure("Input8Create - failed");
        return;
    }
    c_pKeyboardDevice = c_pDI->CreateKeyboard();
    if (!c_pKeyboardDevice) {
        ReportSetupFailure("CreateDevice - failed");
        return;
    }
    // The device speaks the 256-byte keyboard state only, so there is no format to choose.
    // Keys are read only in the foreground, and other applications keep the keyboard too.
    if (!platform::Succeeded(c_pKeyboardDevice->SetCooperativeLevel(
            hWnd, platform::DISCL_NONEXCLUSIVE | platform::DISCL_FOREGROUND))) {
        ReportSetupFailure("SetCooperativeLevel - failed");
        // A device without its level would read keys in the background: leave none at all.
        c_pKeyboardDevice.reset();
        c_pDI.reset();
        return;
    }
    c_pKeyboardDevice->Acquire();
}

KeyManager::~KeyManager()
{
    if (c_pKeyboardDevice) {
        c_pKeyboardDevice->Unacquire();
        c_pKeyboardDevice.reset();
    }
    c_pDI.reset();
}

void KeyManager::Update()
{
    if (!c_pKeyboardDevice) return;
    // Re-acquiring every time brings the keyboard back after the window regains the
    // foreground; a failed read leaves the snapshot zeroed, so every key counts as up.
    c_pKeyboardDevice->Acquire();
    std::array<std::uint8_t, platform::kKeyCodeCount> snapshot{};
    c_pKeyboardDevice->GetDeviceState(snapshot.size(), snapshot.data());

    for (std::size_t k = 0; k < snapshot.size(); ++k) {
        const bool down = (snapshot[k] & platform::kKeyDownByte) != 0;
        // A press since the last snapshot counts even when the key is up again (a tap shorter
        // than a frame: pressed for this one snapshot) or was released and pressed again.
        const bool pressedSince = (snapshot[k] & platform::kKeyPressedBit) != 0;
        if (pressedSince || (down && !c_bKeyDown[k])) {
            c_bKeyPressed[k] = true;
        } else if (!down) {
            c_bKeyPressed[k] = false;
        }
        c_bKeyDown[k] = down;
    }
}

bool KeyManager::GetKeyPressed(int key) const
{
    return IsKeyCode(key) && c_bKeyPressed[static_cast<std::size_t>(key)];
}

bool KeyManager::GetKeyPressedDel(int key)
{
    if (!IsKeyCode(key)) return false;
    const bool pressed = c_bKeyPressed[static_cast<std::size_t>(key)];
    c_bKeyPressed[static_cast<std::size_t>(key)] = false;
    return pressed;
}
