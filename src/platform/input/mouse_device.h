// The system mouse as a buffered device: relative movements and button transitions queued as
// records between drains, a wake-up event signalled when records arrive, and acquisition tied
// to the window's foreground. Fed by SDL's mouse events (relative mouse mode while acquired
// exclusively) or by injected movements and buttons. Nothing here exposes SDL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/input/input_system.h"

namespace platform {

class Window;
class InputEvent;
class WindowPointer;

// Object offsets of the standard mouse format: which axis or button a record is about.
constexpr std::uint32_t DIMOFS_X = 0;
constexpr std::uint32_t DIMOFS_Y = 4;
constexpr std::uint32_t DIMOFS_Z = 8;
constexpr std::uint32_t DIMOFS_BUTTON0 = 12;
constexpr std::uint32_t DIMOFS_BUTTON1 = 13;
constexpr std::uint32_t DIMOFS_BUTTON2 = 14;
constexpr std::uint32_t DIMOFS_BUTTON3 = 15;

// Bit 0x80 of a button record's data: the button went down (clear: it went up).
constexpr std::uint32_t kButtonDownBit = 0x80;
// Wheel movement of one notch, in wheel counts.
constexpr int kWheelDelta = 120;

// One buffered record. For an axis, dwData is the relative movement as a two's-complement
// 32-bit value (counts = pixels, no acceleration of our own); for a button, 0x80 or 0.
struct DeviceObjectData {
    std::uint32_t dwOfs = 0;
    std::uint32_t dwData = 0;
    std::uint32_t dwTimeStamp = 0;  // timeGetTime milliseconds when the record was queued
    std::uint32_t dwSequence = 0;   // increases with every record the device queues
};

// The mouse's physical buttons as SDL and the injection functions number them.
enum class MouseButton { Left = 0, Right = 1, Middle = 2, Extra = 3 };

class MouseDevice {
public:
    ~MouseDevice();
    MouseDevice(const MouseDevice&) = delete;
    MouseDevice& operator=(const MouseDevice&) = delete;

    // Binds the device to `window` (not owned; must outlive the device, or be null for a device
    // fed only by injection, which is always in the foreground). Exclusive use turns on SDL's
    // relative mouse mode while acquired; foreground use ties acquisition to the focus.
    InputResult SetCooperativeLevel(Window* window, unsigned flags);
    // The event to signal when records arrive (not owned; null for none). The device resets it
    // when a read leaves the buffer empty.
    InputResult SetEventNotification(InputEvent* event);
    // Records kept between reads; 0 (the default) buffers nothing.
    InputResult SetBufferSize(std::size_t records);

    // Starts delivering records. Fails with OtherAppHasPriority while a foreground device's
    // window is in the background. Acquiring an acquired device is a success. In a window (the
    // pointer the desktop's) the first records then put the game's pointer under the desktop's
    // pointer, wherever either went while the device was not acquired.
    InputResult Acquire();
    // Stops delivering and drops the buffered records.
    InputResult Unacquire();
    bool IsAcquired() const;

    // Moves up to *count buffered records, oldest first, into `records`; *count becomes the
    // number moved (0: the buffer is empty). After the window lost the foreground the first
    // call reports InputLost (the buffer is dropped) and later ones NotAcquired until Acquire.
    // BufferOverflow reports that records were merged since the previous read.
    InputResult GetDeviceData(DeviceObjectData* records, std::uint32_t* count);

    // Takes the pointer relatively (captured) in full screen and as the desktop's in a window;
    // called when the window switches.
    void FollowWindowMode();
    // The game put its pointer at picture pixel (x, y) itself (back to the screen's centre):
    // the pointer taken from the desktop follows, so that the two stay together.
    void PlacePointer(int x, int y);

    // A relative movement of the physical mouse as the pointer takes it, at the pointer speed
    // (SetPointerSpeed); the parts of a pixel carry over to the next movement.
    void ScaleByPointerSpeed(int* dx, int* dy);

    // The physical mouse did something: queued only while acquired (and in the foreground).
    void InjectMotion(int dx, int dy);
    void InjectButton(MouseButton button, bool down);
    void InjectWheel(int counts);

private:
    friend class InputSystem;
    MouseDevice();

    bool IsForegroundLocked() const;
    // Turns a device whose window went to the background into a lost one. Lock held.
    void CheckFocusLocked();
    void DropBufferLocked();
    // Puts the game's pointer under the desktop's again, on acquiring in a window. Lock held.
    void RejoinDesktopPointerLocked();
    void SetRelativeMode(bool on);
    void QueueLocked(std::uint32_t offset, std::uint32_t data);
    void CompactMotionLocked();
    bool MergeIntoTrailingMotionLocked(std::uint32_t offset, std::uint32_t data);

    mutable std::mutex c_mutex;
    Window* c_pWindow = nullptr;
    std::shared_ptr<WindowPointer> c_pPointer;  // shared with the window's event listener
    int c_iListenerId = 0;
    unsigned c_uCooperativeFlags = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    InputEvent* c_pEvent = nullptr;
    std::size_t c_nBufferSize = 0;
    std::deque<DeviceObjectData> c_records;
    std::uint32_t c_dwNextSequence = 1;
    bool c_bAcquired = false;
    bool c_bLost = false;
    bool c_bOverflow = false;
    bool c_bRelativeMode = false;
    float c_fRemainderX = 0.0f, c_fRemainderY = 0.0f;
};

// The physical mouse moves or clicks: every open mouse device sees it (the replay harness and
// tests drive the game's mouse through these, without SDL events).
void InjectMouseMotion(int dx, int dy);
void InjectMouseButton(MouseButton button, bool down);
void InjectMouseWheel(int counts);

}  // namespace platform
