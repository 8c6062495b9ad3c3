// The game window, its message queue, message boxes and the asynchronous key query: the
// stand-ins for the desktop window functions, on SDL2. Nothing above platform/ sees SDL.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The input event the main loop polls: set by an input device when buffered records are
// waiting, cleared by whoever drains them.
class InputEvent {
public:
    void Signal() { c_bSignalled.store(true); }
    void Reset() { c_bSignalled.store(false); }
    bool IsSignalled() const { return c_bSignalled.load(); }

private:
    std::atomic<bool> c_bSignalled{false};
};

// What one zero-time-out poll found, in the order the main loop must honour them: the input
// event first, then waiting window messages.
enum class PollResult { InputEvent = 0, Messages = 1, Timeout = 2 };

// Where the back buffer's picture lies in a drawable: as large as fits with its aspect kept,
// centred, black bars around it. Drawable pixels, origin top left; empty for an empty drawable.
struct PictureRect {
    int x = 0, y = 0, width = 0, height = 0;
};
PictureRect FitPicture(int drawableWidth, int drawableHeight, int pictureWidth, int pictureHeight);

// The drawing threads to give the software rasteriser (the driver that draws where there is no
// graphics card) on a machine of `cores` cores, as its setting spells them: "0", drawing on the
// game's own thread, on two cores or fewer, where handing each frame to threads that share the
// cores with the game costs more processor time than the second core saves (measured on two
// cores: a world frame 27% and a menu frame about 40% less CPU, wall time within 5%); null on
// more cores, or when the number is not known, leaving the driver its own choice.
const char* SoftwareRasteriserThreads(unsigned cores);

// The processors the calling thread may run on, as its affinity mask counts them (the
// process's, narrowed by taskset or a cgroup's cpuset, where the machine's count is not); the
// machine's count when the mask cannot be read, 0 when neither is known.
unsigned UsableProcessors();

class Window {
public:
    // Creates and shows the window with an OpenGL 3.3 core context: title, the logical size
    // of the game's back buffer, desktop full screen unless `fullscreen` is false (or the
    // video driver is headless). Null and `error` set on failure. The software rasteriser gets
    // the threads SoftwareRasteriserThreads chooses for the processors the game may use
    // (UsableProcessors), unless its setting is in the environment.
    static std::unique_ptr<Window> Create(const std::string& title, int width, int height,
                                          bool fullscreen, std::string* error);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // One poll with zero time-out: gathers pending system events, hands mouse and keyboard
    // events to the input devices listening (which may signal `inputEvent`), then reports the
    // input event if it is signalled, else whether window messages wait, else a time-out.
    PollResult Poll(const InputEvent* inputEvent);
    // Sleeps until input or a window message arrives, or `ms` milliseconds pass, and gathers
    // what came as Poll does (the next Poll reports it). Returns at once when something waits
    // already, and with the manual clock, which no sleep would move.
    void WaitForInput(std::uint32_t ms, const InputEvent* inputEvent);
    // Removes and handles every waiting window message. Returns true when a quit message (the
    // window was closed) was among them.
    bool PumpMessages();
    // Keeps the window alive during long waits (fatal screen, video, scripted waits): handles
    // window messages and returns true if the window was closed. Input is left to the devices.
    bool KeepAlive();
    // Whether the window has the keyboard focus (is in the foreground).
    bool HasFocus() const;
    // True with the offscreen/dummy video drivers used by tests.
    bool IsHeadless() const;

    // The drawable's size as the display server has it now, in pixels: what Present must fill.
    // It follows resizes and mode switches, and is never merely the size that was asked for
    // (a desktop without a window manager may not honour a request).
    void GetDrawableSize(int* width, int* height) const;
    // The logical size of the picture the window shows (the back buffer's), in pixels.
    int PictureWidth() const;
    int PictureHeight() const;
    // Where the back buffer's picture is shown in the window now (window pixels, top left).
    PictureRect GetPictureRect() const;
    // The back-buffer pixel under window pixel (x, y); false on the black bars (then the
    // outputs are the nearest picture pixel).
    bool WindowToPicture(int x, int y, int* pictureX, int* pictureY) const;
    // The window pixel at the centre of picture pixel (x, y)'s scaled area: WindowToPicture
    // takes it back to (x, y).
    void PictureToWindow(int pictureX, int pictureY, int* x, int* y) const;
    // Moves the desktop's pointer onto picture pixel (x, y); nothing in a headless window.
    void WarpPointer(int pictureX, int pictureY);

    // Desktop full screen or a resizable window; the switch keeps the picture whole.
    bool IsFullscreen() const;
    void SetFullscreen(bool fullscreen);
    // True once after the window was exposed, resized or switched: a screen that waits without
    // drawing must present its picture again.
    bool TakeRedrawRequest();
    // True once after the player asked for a screenshot (F12).
    bool TakeScreenshotRequest();

    // Posts the quit message, as closing the window does.
    void PostQuit();
    // Forgets waiting and handled quit messages, so that the window serves a new run of the
    // game in the same process (tests and the replay harness run the game several times).
    void Reopen();

    struct Impl;
    Impl& GetImpl() { return *c_pImpl; }

private:
    explicit Window(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> c_pImpl;
};

// The one game window, set by Winfunc::InitWindow; null before.
Window* GetMainWindow();
void SetMainWindow(Window* window);

// A modal message box where a display exists; the text always goes to standard error.
// An empty caption is a box without caption.
void MessageBox(const std::string& text, const std::string& caption);

// Desktop virtual-key query: bit 0x8000 set while the key is down, bit 1 if it was pressed
// since the previous query. Letters and digits use their ASCII upper-case codes ('Q' 0x51).
short GetAsyncKeyState(int virtualKey);
// Tests and the replay harness press and release keys for GetAsyncKeyState.
void InjectAsyncKey(int virtualKey, bool down);

}  // namespace platform
