// The game's keyboard: one snapshot of all 256 key codes per frame, with press detection
// (a key that went down and whose press has not been taken yet). Sits on the platform
// keyboard device; knows nothing of SDL.
#pragma once

#include <array>
#include <memory>

#include "platform/input/input_system.h"
#include "platform/input/key_codes.h"
#include "platform/input/keyboard_device.h"
#include "platform/window/window.h"

class KeyManager {
public:
    // Opens the system keyboard for `hWnd` (not owned, must outlive the manager; null for a
    // keyboard fed only by injection). A failing step shows a message box and leaves the
    // manager without a keyboard: Update then does nothing and every query is false.
    explicit KeyManager(platform::Window* hWnd);
    ~KeyManager();
    KeyManager(const KeyManager&) = delete;
    KeyManager& operator=(const KeyManager&) = delete;

    // Takes a new snapshot. A key that went down since the previous Update becomes pressed,
    // also when it is already up again: a tap between two frames reads pressed until the next
    // Update. A key that is up and was not pressed since loses its press. While the window is
    // in the background every key reads up. Main thread.
    void Update();

    // Whether `key` (a key code) has a press not yet taken; the press stays.
    bool GetKeyPressed(int key) const;
    // The same, and takes the press: one press is reported once however long the key is held.
    bool GetKeyPressedDel(int key);

private:
    static bool IsKeyCode(int key) { return key >= 0 && key < platform::kKeyCodeCount; }

    std::unique_ptr<platform::InputSystem> c_pDI;
    std::unique_ptr<platform::KeyboardDevice> c_pKeyboardDevice;
    std::array<bool, platform::kKeyCodeCount> c_bKeyDown{};
    std::array<bool, platform::kKeyCodeCount> c_bKeyPressed{};
};
