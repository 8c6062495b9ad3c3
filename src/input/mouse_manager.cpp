// The game's pointer on the buffered system mouse.
#include "input/mouse_manager.h"

#include <algorithm>
#include <cstdint>

namespace {

// The text of a set-up failure's message box: no caption, as the game has always shown them.
void ReportSetupFailure(const char* text) { platform::MessageBox(text, ""); }

// Adds a relative movement (two's-complement word) to a coordinate and keeps it on the screen.
// Widened first, so that no movement, however large, overflows.
int MoveClamped(int position, std::uint32_t movement, int limit)
{
    const std::int64_t moved = static_cast<std::int64_t>(position) + static_cast<std::int32_t>(movement);
    return static_cast<int>(std::clamp<std::int64_t>(moved, 0, limit));
}

}  // namespace

MouseManager::MouseManager(platform::Window* hWnd)
{
    c_pDI = platform::InputSystem::Create();
    if (!c_pDI) {
        ReportSetupFailure("Input8Create - failed");
        return;
    }
    c_pMouseDevice = c_pDI->CreateMouse();
    if (!c_pMouseDevice) {
        ReportSetupFailure("CreateDevice - failed");
        return;
    }
    if (!SetUpDevice(hWnd)) {
        // A half-made device is no use to anyone: the game goes on without mouse input.
        c_pMouseDevice.reset();
        c_pDI.reset();
        return;
    }

    c_bSwapButtons = platform::GetSwapMouseButtons();
    c_iX = kScreenWidth / 2;
    c_iY = kScreenHeight / 2;
    SetAcquire();
    ClearMouseButtons();
}

bool MouseManager::SetUpDevice(platform::Window* hWnd)
{
    // The device speaks the standard mouse format only, so there is no format to choose.
    // The game has the mouse to itself while its window is in the foreground.
    if (!platform::Succeeded(
            c_pMouseDevice->SetCooperativeLevel(hWnd, platform::DISCL_EXCLUSIVE | platform::DISCL_FOREGROUND))) {
        ReportSetupFailure("SetCooperativeLevel - failed");
        return false;
    }
    // The event is a member and always exists, so the main loop never polls a missing one.
    if (!platform::Succeeded(c_pMouseDevice->SetEventNotification(&c_hMouseEvent))) {
        ReportSetupFailure("SetEventNotification - failed");
        return false;
    }
    if (!platform::Succeeded(c_pMouseDevice->SetBufferSize(kBufferedRecords))) {
        ReportSetupFailure("SetProperty - failed");
        return false;
    }
    return true;
}

MouseManager::~MouseManager()
{
    if (c_pMouseDevice) {
        c_pMouseDevice->Unacquire();
        c_pMouseDevice.reset();
    }
    c_pDI.reset();
}

void MouseManager::ProcessMessage(platform::Window* /*hWnd*/)
{
    if (!c_pMouseDevice) return;
    for (;;) {
        platform::DeviceObjectData record;
        std::uint32_t count = 1;
        const platform::InputResult result = c_pMouseDevice->GetDeviceData(&record, &count);
        if (result == platform::InputResult::InputLost) {
            SetAcquire();
            return;
        }
        if (!platform::Succeeded(result) || count == 0) return;
        ApplyRecord(record);
    }
}

void MouseManager::ApplyRecord(const platform::DeviceObjectData& record)
{
    switch (record.dwOfs) {
    case platform::DIMOFS_X:
        c_iX = MoveClamped(c_iX, record.dwData, kScreenWidth);
        break;
    case platform::DIMOFS_Y:
        c_iY = MoveClamped(c_iY, record.dwData, kScreenHeight);
        break;
    case platform::DIMOFS_BUTTON0:
    case platform::DIMOFS_BUTTON1: {
        const std::uint32_t leftButton = c_bSwapButtons ? platform::DIMOFS_BUTTON1 : platform::DIMOFS_BUTTON0;
        const bool wentDown = (record.dwData & platform::kButtonDownBit) != 0;
        // A left click counts when the button comes up, a right click when it goes down.
        if (record.dwOfs == leftButton) {
            if (!wentDown) c_bLButton = true;
        } else if (wentDown) {
            c_bRButton = true;
        }
        break;
    }
    default:
        break;  // the wheel and further buttons mean nothing to the game
    }
}

long MouseManager::SetAcquire()
{
    if (!c_pMouseDevice) return 1;
    c_pMouseDevice->Acquire();  // fails while in the background; the next frame tries again
    return 0;
}

void MouseManager::ClearMouseButtons()
{
    c_bLButton = false;
    c_bRButton = false;
}

bool MouseManager::LMouseButtonDown()
{
    const bool clicked = c_bLButton;
    c_bLButton = false;
    return clicked;
}

bool MouseManager::RMouseButtonDown()
{
    const bool clicked = c_bRButton;
    c_bRButton = false;
    return clicked;
}

bool MouseManager::Inside(int x1, int y1, int x2, int y2) const
{
    return x1 < c_iX && c_iX < x2 && y1 < c_iY && c_iY < y2;
}

void MouseManager::clearX()
{
    c_iX = kScreenWidth / 2;
    if (c_pMouseDevice) c_pMouseDevice->PlacePointer(c_iX, c_iY);
}

void MouseManager::clearY()
{
    c_iY = kScreenHeight / 2;
    if (c_pMouseDevice) c_pMouseDevice->PlacePointer(c_iX, c_iY);
}
