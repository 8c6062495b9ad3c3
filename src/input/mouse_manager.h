// The game's pointer: an absolute position on the 800 x 600 screen built from the system
// mouse's relative movements, and one-shot left and right click flags. Sits on the platform
// input devices; knows nothing of SDL.
#pragma once

#include <memory>

#include "platform/input/input_system.h"
#include "platform/input/mouse_device.h"
#include "platform/window/window.h"

class MouseManager {
public:
    // Screen size in pixels; the pointer may reach both values themselves.
    static constexpr int kScreenWidth = 800;
    static constexpr int kScreenHeight = 600;
    // Records the device keeps between two drains.
    static constexpr int kBufferedRecords = 16;

    // Opens the system mouse for `hWnd` (not owned, must outlive the manager; null for a mouse
    // fed only by injection). A failing step shows a message box and leaves the manager without
    // a device: the pointer stays at the screen centre and no click ever arrives.
    explicit MouseManager(platform::Window* hWnd);
    ~MouseManager();
    MouseManager(const MouseManager&) = delete;
    MouseManager& operator=(const MouseManager&) = delete;

    // The event the main loop polls: signalled while mouse records wait. Owned by the manager;
    // always valid, never signalled when there is no device.
    platform::InputEvent* get_MouseEvent() { return &c_hMouseEvent; }

    // Pointer position in screen pixels, 0..800 and 0..600 inclusive.
    int get_X() const { return c_iX; }
    int get_Y() const { return c_iY; }

    // Reads every buffered record: moves the pointer and latches clicks. The window argument is
    // not used. Input lost to another application is re-acquired.
    void ProcessMessage(platform::Window* hWnd);
    // Acquires the device: 1 if there is no device, else 0 (whether the acquisition worked is
    // not reported; the main loop tries again every frame).
    long SetAcquire();

    // Forgets both clicks; the main loop calls it at the start of every frame.
    void ClearMouseButtons();
    // Reports a left (right) click read this frame, and takes it: a second query is false.
    bool LMouseButtonDown();
    bool RMouseButtonDown();
    // Whether a click read this frame is still untaken, without taking it.
    bool get_ClickWaiting() const { return c_bLButton || c_bRButton; }

    // True when the pointer lies strictly inside the rectangle: a point on an edge is outside.
    bool Inside(int x1, int y1, int x2, int y2) const;

    // Put the pointer back to the centre horizontally (400) or vertically (300).
    void clearX();
    void clearY();

private:
    // Construction steps after the device exists; false when one failed (message shown).
    bool SetUpDevice(platform::Window* hWnd);
    void ApplyRecord(const platform::DeviceObjectData& record);

    std::unique_ptr<platform::InputSystem> c_pDI;
    platform::InputEvent c_hMouseEvent;  // declared before the device, which refers to it
    std::unique_ptr<platform::MouseDevice> c_pMouseDevice;
    bool c_bSwapButtons = false;
    bool c_bLButton = false;
    bool c_bRButton = false;
    int c_iX = kScreenWidth / 2;
    int c_iY = kScreenHeight / 2;
};
