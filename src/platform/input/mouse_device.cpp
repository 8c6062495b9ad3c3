// The buffered system mouse. Records are queued on the thread that delivers the input (the
// main thread's event gathering, or whoever injects) and read by the game on the main thread;
// one mutex guards the queue.
//
// Overflow: the buffer holds the size the game asked for (16 records) between reads. When a
// record arrives at a full buffer, nothing the player did is thrown away:
//   1. within every run of movement records between two button records, consecutive moves of
//      one axis in the same direction are merged into one record (their sum). The game clamps
//      the pointer to the screen after every record, and clamping commutes with adding moves
//      of one sign only: a push into the screen's edge and back must stay two records, or the
//      pointer would end where the unclamped sum says. The axes are independent and positions
//      between button transitions are never observed, so the pointer ends where it would have
//      and every click happens where it would have;
//   2. if the buffer is still full, a movement is added to its axis' last record in the
//      trailing run when that one moves the same way, and appended otherwise, as is a button
//      transition: the buffer grows rather than lose a press, a release or a turn of direction
//      (a lost release would be a lost left click);
//   3. the next read reports BufferOverflow (a success), so the merging is not silent.
// Only when nobody has read for kMaxRecordsWithoutDrain records are new records dropped.
#include "platform/input/mouse_device.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "platform/clock/clock.h"
#include "platform/input/input_internal.h"
#include "platform/input/window_pointer.h"
#include "platform/window/window.h"
#include "platform/window/window_sdl.h"

namespace platform {

namespace {

// A reader that never drains would otherwise let the buffer grow without bound.
constexpr std::size_t kMaxRecordsWithoutDrain = 4096;

bool IsMotionOffset(std::uint32_t offset)
{
    return offset == DIMOFS_X || offset == DIMOFS_Y || offset == DIMOFS_Z;
}

// Whether two relative movements (two's-complement words) go the same way along their axis.
bool SameDirection(std::uint32_t a, std::uint32_t b)
{
    return (static_cast<std::int32_t>(a) < 0) == (static_cast<std::int32_t>(b) < 0);
}

// Adds two relative movements held as two's-complement words, saturating instead of wrapping.
std::uint32_t AddMovements(std::uint32_t a, std::uint32_t b)
{
    const std::int64_t sum = static_cast<std::int64_t>(static_cast<std::int32_t>(a)) +
                             static_cast<std::int64_t>(static_cast<std::int32_t>(b));
    const std::int64_t clamped =
        std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max());
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(clamped));
}

bool TakesDesktopPointer(const Window* window)
{
    if (window == nullptr || window->IsFullscreen()) return false;
    return GetDesktopPointerOverride().value_or(!window->IsHeadless());
}

// SDL's mouse events in the device's terms. Every mouse event is taken: none is a window
// message for the game. Window events are only looked at: a switch between full screen and a
// window changes how the pointer is taken.
bool HandleSdlMouseEvent(MouseDevice& device, const Window* window, WindowPointer& pointer, const SDL_Event& event)
{
    switch (event.type) {
    case SDL_WINDOWEVENT:
        device.FollowWindowMode();
        return false;
    case SDL_MOUSEMOTION: {
        if (event.motion.which == SDL_TOUCH_MOUSEID) return true;
        int dx = event.motion.xrel;
        int dy = event.motion.yrel;
        if (TakesDesktopPointer(window)) {
            pointer.MoveTo(*window, event.motion.x, event.motion.y, &dx, &dy);
        } else {
            device.ScaleByPointerSpeed(&dx, &dy);
            if (window != nullptr) pointer.Follow(*window, dx, dy);
        }
        device.InjectMotion(dx, dy);
        return true;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        if (event.button.which == SDL_TOUCH_MOUSEID) return true;
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        bool onPicture = true;
        if (TakesDesktopPointer(window)) {
            int dx = 0, dy = 0;
            onPicture = pointer.MoveTo(*window, event.button.x, event.button.y, &dx, &dy);
            device.InjectMotion(dx, dy);
        }
        // A click on the black bars does nothing: neither its press nor its release, which would
        // land on the picture's edge beside the bar.
        if (!pointer.ButtonReachesGame(event.button.button, down, onPicture)) return true;
        switch (event.button.button) {
        case SDL_BUTTON_LEFT: device.InjectButton(MouseButton::Left, down); break;
        case SDL_BUTTON_RIGHT: device.InjectButton(MouseButton::Right, down); break;
        case SDL_BUTTON_MIDDLE: device.InjectButton(MouseButton::Middle, down); break;
        case SDL_BUTTON_X1: device.InjectButton(MouseButton::Extra, down); break;
        default: break;
        }
        return true;
    }
    case SDL_MOUSEWHEEL: {
        int notches = event.wheel.y;
        if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        if (event.wheel.which != SDL_TOUCH_MOUSEID) device.InjectWheel(notches * kWheelDelta);
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

MouseDevice::MouseDevice() : c_pPointer(std::make_shared<WindowPointer>()) { RegisterMouse(this); }

void MouseDevice::PlacePointer(int x, int y)
{
    Window* window = c_pWindow;
    if (window == nullptr) return;
    c_pPointer->Place(*window, x, y);
    // In a window the desktop's pointer is moved too: left where it was, the next movement
    // would carry the game's pointer back under it.
    if (TakesDesktopPointer(window)) window->WarpPointer(x, y);
}

MouseDevice::~MouseDevice()
{
    UnregisterMouse(this);
    if (c_pWindow && c_iListenerId != 0) RemoveEventListener(*c_pWindow, c_iListenerId);
    std::lock_guard lock(c_mutex);
    SetRelativeMode(false);
}

InputResult MouseDevice::SetCooperativeLevel(Window* window, unsigned flags)
{
    const InputResult allowed = CheckCooperativeLevel(flags, IsAcquired());
    if (allowed != InputResult::Ok) return allowed;
    c_iListenerId = ReplaceEventListener(
        c_pWindow, c_iListenerId, window,
        [this, window, pointer = c_pPointer](const SDL_Event& event) {
            return HandleSdlMouseEvent(*this, window, *pointer, event);
        });
    std::lock_guard lock(c_mutex);
    c_pWindow = window;
    c_uCooperativeFlags = flags;
    return InputResult::Ok;
}

InputResult MouseDevice::SetEventNotification(InputEvent* event)
{
    if (ConsumeSetupFailure(InputSetupStep::SetEventNotification)) return InputResult::Failed;
    std::lock_guard lock(c_mutex);
    c_pEvent = event;
    if (c_pEvent && !c_records.empty()) c_pEvent->Signal();
    return InputResult::Ok;
}

InputResult MouseDevice::SetBufferSize(std::size_t records)
{
    if (ConsumeSetupFailure(InputSetupStep::SetBufferSize)) return InputResult::Failed;
    if (records > kMaxRecordsWithoutDrain) return InputResult::InvalidParam;
    std::lock_guard lock(c_mutex);
    c_nBufferSize = records;
    return InputResult::Ok;
}

InputResult MouseDevice::Acquire()
{
    std::lock_guard lock(c_mutex);
    CheckFocusLocked();
    if (!IsForegroundLocked()) return InputResult::OtherAppHasPriority;
    if (!c_bAcquired) {
        c_bAcquired = true;
        c_bLost = false;
        SetRelativeMode((c_uCooperativeFlags & DISCL_EXCLUSIVE) != 0);
        RejoinDesktopPointerLocked();
    }
    return InputResult::Ok;
}

void MouseDevice::RejoinDesktopPointerLocked()
{
    if (!TakesDesktopPointer(c_pWindow)) return;
    // While the device was not acquired the desktop's pointer went on moving (over the window
    // in the background too) and the game's did not, and records queued before the loss were
    // dropped unread: where the game's pointer stands is not known. A movement of the whole
    // picture back takes it to the top-left corner wherever it is (the game clamps it there),
    // and the next one from there to under the desktop's pointer.
    int x = 0, y = 0;
    c_pPointer->GetPosition(*c_pWindow, &x, &y);
    QueueLocked(DIMOFS_X, static_cast<std::uint32_t>(-c_pWindow->PictureWidth()));
    QueueLocked(DIMOFS_Y, static_cast<std::uint32_t>(-c_pWindow->PictureHeight()));
    if (x != 0) QueueLocked(DIMOFS_X, static_cast<std::uint32_t>(x));
    if (y != 0) QueueLocked(DIMOFS_Y, static_cast<std::uint32_t>(y));
}

InputResult MouseDevice::Unacquire()
{
    std::lock_guard lock(c_mutex);
    c_bAcquired = false;
    c_bLost = false;
    DropBufferLocked();
    SetRelativeMode(false);
    return InputResult::Ok;
}

bool MouseDevice::IsAcquired() const
{
    std::lock_guard lock(c_mutex);
    return c_bAcquired;
}

InputResult MouseDevice::GetDeviceData(DeviceObjectData* records, std::uint32_t* count)
{
    if (!count || (*count > 0 && !records)) return InputResult::InvalidParam;
    std::lock_guard lock(c_mutex);
    CheckFocusLocked();
    const std::uint32_t wanted = *count;
    *count = 0;
    if (c_bLost) {
        c_bLost = false;
        return InputResult::InputLost;
    }
    if (!c_bAcquired) return InputResult::NotAcquired;
    if (c_nBufferSize == 0) return InputResult::Failed;  // the device was never asked to buffer

    while (*count < wanted && !c_records.empty()) {
        records[*count] = c_records.front();
        c_records.pop_front();
        ++*count;
    }
    if (c_records.empty() && c_pEvent) c_pEvent->Reset();
    const bool overflowed = c_bOverflow;
    c_bOverflow = false;
    return overflowed ? InputResult::BufferOverflow : InputResult::Ok;
}

void MouseDevice::ScaleByPointerSpeed(int* dx, int* dy)
{
    const float speed = GetPointerSpeed();
    std::lock_guard lock(c_mutex);
    // What a count moves beyond whole pixels is kept for the next, so that a slow pointer
    // still moves and a fast one moves evenly.
    const auto scale = [speed](int counts, float* remainder) {
        const float moved = static_cast<float>(counts) * speed + *remainder;
        const float whole = std::trunc(moved);
        *remainder = moved - whole;
        return static_cast<int>(whole);
    };
    *dx = scale(*dx, &c_fRemainderX);
    *dy = scale(*dy, &c_fRemainderY);
}

void MouseDevice::InjectMotion(int dx, int dy)
{
    std::lock_guard lock(c_mutex);
    if (dx != 0) QueueLocked(DIMOFS_X, static_cast<std::uint32_t>(dx));
    if (dy != 0) QueueLocked(DIMOFS_Y, static_cast<std::uint32_t>(dy));
}

void MouseDevice::InjectButton(MouseButton button, bool down)
{
    std::lock_guard lock(c_mutex);
    QueueLocked(DIMOFS_BUTTON0 + static_cast<std::uint32_t>(button), down ? kButtonDownBit : 0);
}

void MouseDevice::InjectWheel(int counts)
{
    std::lock_guard lock(c_mutex);
    if (counts != 0) QueueLocked(DIMOFS_Z, static_cast<std::uint32_t>(counts));
}

bool MouseDevice::IsForegroundLocked() const
{
    if ((c_uCooperativeFlags & DISCL_FOREGROUND) == 0) return true;
    return IsWindowForeground(c_pWindow);
}

void MouseDevice::CheckFocusLocked()
{
    if (!c_bAcquired || IsForegroundLocked()) return;
    c_bAcquired = false;
    c_bLost = true;
    DropBufferLocked();
    SetRelativeMode(false);
}

void MouseDevice::DropBufferLocked()
{
    c_records.clear();
    c_bOverflow = false;
    if (c_pEvent) c_pEvent->Reset();
}

void MouseDevice::FollowWindowMode()
{
    std::lock_guard lock(c_mutex);
    SetRelativeMode(c_bAcquired && (c_uCooperativeFlags & DISCL_EXCLUSIVE) != 0);
}

void MouseDevice::SetRelativeMode(bool on)
{
    // A window nobody sees has no pointer to capture; in a window (not full screen) the
    // pointer stays the desktop's, free to leave the window.
    if (!c_pWindow || c_pWindow->IsHeadless()) return;
    if (!c_pWindow->IsFullscreen()) on = false;
    if (on == c_bRelativeMode) return;
    // The result is ignored: without relative mode SDL still reports relative movements,
    // the pointer is merely not confined to the window.
    SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
    c_bRelativeMode = on;
}

void MouseDevice::QueueLocked(std::uint32_t offset, std::uint32_t data)
{
    CheckFocusLocked();
    if (!c_bAcquired || c_nBufferSize == 0) return;

    bool queued = false;
    if (c_records.size() >= c_nBufferSize) {
        c_bOverflow = true;
        CompactMotionLocked();
    }
    if (c_records.size() >= c_nBufferSize && IsMotionOffset(offset))
        queued = MergeIntoTrailingMotionLocked(offset, data);
    if (!queued && c_records.size() < kMaxRecordsWithoutDrain) {
        c_records.push_back(DeviceObjectData{offset, data, timeGetTime(), c_dwNextSequence++});
        queued = true;
    }
    if (queued && c_pEvent) c_pEvent->Signal();
}

void MouseDevice::CompactMotionLocked()
{
    std::deque<DeviceObjectData> compacted;
    std::size_t runStart = 0;  // first record of the current run of movements in `compacted`
    for (const DeviceObjectData& record : c_records) {
        if (!IsMotionOffset(record.dwOfs)) {
            compacted.push_back(record);
            runStart = compacted.size();
            continue;
        }
        const auto runBegin = compacted.begin() + static_cast<std::ptrdiff_t>(runStart);
        const auto last = std::find_if(compacted.rbegin(), std::make_reverse_iterator(runBegin),
                                       [&](const DeviceObjectData& kept) { return kept.dwOfs == record.dwOfs; });
        if (last != std::make_reverse_iterator(runBegin) && SameDirection(last->dwData, record.dwData)) {
            last->dwData = AddMovements(last->dwData, record.dwData);
            last->dwTimeStamp = record.dwTimeStamp;
        } else {
            compacted.push_back(record);
        }
    }
    c_records.swap(compacted);
}

bool MouseDevice::MergeIntoTrailingMotionLocked(std::uint32_t offset, std::uint32_t data)
{
    for (auto it = c_records.rbegin(); it != c_records.rend() && IsMotionOffset(it->dwOfs); ++it) {
        if (it->dwOfs != offset) continue;
        if (!SameDirection(it->dwData, data)) return false;
        it->dwData = AddMovements(it->dwData, data);
        it->dwTimeStamp = timeGetTime();
        return true;
    }
    return false;
}

}  // namespace platform
