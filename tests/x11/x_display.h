// A real X server for the tests: an Xvfb of a given size (its own display number, so that
// tests may run in parallel), optionally a small window manager, photographs of the whole
// screen as the X server has it, and pointer and keys through XTest.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kx {

// True when an Xvfb executable is on the PATH.
bool HaveXvfb();

// The screen as the X server shows it: 0xFFRRGGBB, top row first.
struct Photo {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A rectangle in root-window pixels.
struct Area {
    int x = 0, y = 0, width = 0, height = 0;
};

class XDisplay {
public:
    // Starts Xvfb with one screen of width x height x 24 (black root) and, with `windowManager`,
    // a window manager, waiting until it has taken the screen. Fails the test (and leaves
    // IsOpen false) when either cannot start.
    XDisplay(int width, int height, bool windowManager);
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool IsOpen() const { return c_pDisplay != nullptr; }
    // ":N", for the DISPLAY of programs started on this server.
    const std::string& Name() const { return c_name; }
    int Width() const { return c_iWidth; }
    int Height() const { return c_iHeight; }

    Photo Photograph(const Area* area = nullptr) const;
    // The top-level window titled `title` (its client window, where a manager framed it), or
    // nothing while it does not exist.
    std::optional<unsigned long> FindWindow(const std::string& title) const;
    // The window's inside in root pixels.
    Area Geometry(unsigned long window) const;
    // Asks for a new size of the window (a manager may decide on it, as for a player's drag).
    void Resize(unsigned long window, int width, int height) const;

    void MovePointer(int x, int y) const;
    void MovePointerBy(int dx, int dy) const;
    void Click() const;  // left button down and up
    // Presses and releases the key of the X keysym name ("F12", "Escape", "q", "Return"),
    // with Alt held when `alt`.
    void PressKey(const std::string& keysym, bool alt = false) const;
    void Sync() const;

private:
    std::string c_name;
    int c_iWidth = 0;
    int c_iHeight = 0;
    pid_t c_server = -1;
    pid_t c_windowManager = -1;
    void* c_pDisplay = nullptr;  // Display*, kept out of the header (X11 macros clash)
};

// The real game executable on an XDisplay, in a directory of its own (with a link to the
// game's data, or none), its pictures and settings in that directory, its standard error
// kept in a file. Ended (and waited for) on destruction.
class GameProcess {
public:
    GameProcess(const XDisplay& display, const std::filesystem::path& dataDirectory);
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    bool IsRunning();
    std::string StandardError() const;
    const std::filesystem::path& Directory() const { return c_directory; }
    // Waits (up to timeoutMs) for a line on standard error containing `text`; returns the
    // rest of that line after `text`.
    std::optional<std::string> WaitForOutput(const std::string& text, int timeoutMs, std::size_t after = 0) const;

private:
    std::filesystem::path c_directory;
    pid_t c_pid = -1;
};

// Reads an 8-bit RGB or RGBA PNG as 0xFFRRGGBB pixels.
std::optional<Photo> ReadPng(const std::filesystem::path& path);

// How alike the picture inside `where` of the photograph is to `frame` (800 x 600), sampled at
// the frame's scale: the correlation of brightness (1 = same picture, insensitive to an overall
// dimming) and the mean absolute difference of the colour channels (0..255).
struct Likeness {
    double correlation = 0.0;
    double meanDifference = 255.0;
};
Likeness Compare(const Photo& photo, const Area& where, const Photo& frame);
// How many pixels of the photograph inside `within` but outside `picture` are not black.
std::size_t LitPixelsOutside(const Photo& photo, const Area& within, const Area& picture);

}  // namespace kx
