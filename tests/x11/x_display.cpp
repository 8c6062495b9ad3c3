#include "x11/x_display.h"

// GoogleTest first: the X headers define macros (None, Bool) that clash with its names.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace kx {

namespace {

using Clock = std::chrono::steady_clock;

Display* Dpy(void* display) { return static_cast<Display*>(display); }

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool OnPath(const char* program)
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

// Ends a child: SIGTERM, up to a second's grace, then SIGKILL; always reaped.
void EndChild(pid_t pid)
{
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
        SleepMs(10);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

bool HasWindowManager(Display* display)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &count, &after, &data) == Success &&
                       count == 1;
    if (data) XFree(data);
    return found;
}

std::optional<Window> FindTitled(Display* display, Window window, const std::string& title)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        const bool match = title == name;
        XFree(name);
        XWindowAttributes attributes{};
        if (match && XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable)
            return window;
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return std::nullopt;
    std::optional<Window> found;
    for (unsigned i = 0; i < count && !found; ++i) found = FindTitled(display, children[i], title);
    if (children) XFree(children);
    return found;
}

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

double Brightness(std::uint32_t rgb)
{
    return 0.299 * ((rgb >> 16) & 0xFF) + 0.587 * ((rgb >> 8) & 0xFF) + 0.114 * (rgb & 0xFF);
}

}  // namespace

bool HaveXvfb() { return OnPath("Xvfb"); }

XDisplay::XDisplay(int width, int height, bool windowManager) : c_iWidth(width), c_iHeight(height)
{
    // The server writes its display number on the pipe once it accepts connections, so every
    // test gets a free display without guessing one.
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        ADD_FAILURE() << "no pipe for Xvfb's display number";
        return;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    c_server = ::fork();
    if (c_server == 0) {
        ::close(pipeFds[0]);
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        const std::string fd = std::to_string(pipeFds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                 "-br", "-noreset", "+extension", "XTEST", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string number;
    char c = 0;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(pipeFds[0]);
    if (number.empty()) {
        ADD_FAILURE() << "Xvfb did not start (screen " << screen << ")";
        return;
    }
    c_name = ":" + number;
    Display* display = XOpenDisplay(c_name.c_str());
    if (!display) {
        ADD_FAILURE() << "cannot connect to Xvfb on " << c_name;
        return;
    }
    c_pDisplay = display;
    XSetErrorHandler(IgnoreXError);
    if (!windowManager) return;

    c_windowManager = ::fork();
    if (c_windowManager == 0) {
        ::setenv("DISPLAY", c_name.c_str(), 1);
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        ::execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!HasWindowManager(display)) {
        if (Clock::now() > deadline || ::waitpid(c_windowManager, nullptr, WNOHANG) == c_windowManager) {
            ADD_FAILURE() << "the window manager (openbox, from scripts/install-deps) did not start on " << c_name;
            c_windowManager = -1;
            return;
        }
        SleepMs(20);
    }
}

XDisplay::~XDisplay()
{
    EndChild(c_windowManager);
    if (c_pDisplay) XCloseDisplay(Dpy(c_pDisplay));
    EndChild(c_server);
}

Photo XDisplay::Photograph(const Area* area) const
{
    Photo photo;
    Display* display = Dpy(c_pDisplay);
    const Area whole{0, 0, c_iWidth, c_iHeight};
    const Area& a = area ? *area : whole;
    XImage* image = XGetImage(display, DefaultRootWindow(display), a.x, a.y, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!image) return photo;
    photo.width = a.width;
    photo.height = a.height;
    photo.pixels.resize(static_cast<std::size_t>(a.width) * a.height);
    for (int y = 0; y < a.height; ++y) {
        std::uint32_t* row = photo.pixels.data() + static_cast<std::size_t>(y) * a.width;
        if (image->bits_per_pixel == 32 && image->byte_order == LSBFirst) {
            std::memcpy(row, image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line,
                        static_cast<std::size_t>(a.width) * 4);
            for (int x = 0; x < a.width; ++x) row[x] = 0xFF000000u | (row[x] & 0xFFFFFF);
        } else {
            for (int x = 0; x < a.width; ++x)
                row[x] = 0xFF000000u | static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
    return photo;
}

std::optional<unsigned long> XDisplay::FindWindow(const std::string& title) const
{
    Display* display = Dpy(c_pDisplay);
    return FindTitled(display, DefaultRootWindow(display), title);
}

Area XDisplay::Geometry(unsigned long window) const
{
    Display* display = Dpy(c_pDisplay);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return Area{x, y, attributes.width, attributes.height};
}

void XDisplay::Resize(unsigned long window, int width, int height) const
{
    XResizeWindow(Dpy(c_pDisplay), window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    Sync();
}

void XDisplay::MovePointer(int x, int y) const
{
    XTestFakeMotionEvent(Dpy(c_pDisplay), 0, x, y, CurrentTime);
    Sync();
}

void XDisplay::MovePointerBy(int dx, int dy) const
{
    XTestFakeRelativeMotionEvent(Dpy(c_pDisplay), dx, dy, CurrentTime);
    Sync();
}

void XDisplay::Click() const
{
    XTestFakeButtonEvent(Dpy(c_pDisplay), 1, True, CurrentTime);
    Sync();
    SleepMs(60);  // the game sees the press in one frame and the release in a later one
    XTestFakeButtonEvent(Dpy(c_pDisplay), 1, False, CurrentTime);
    Sync();
}

void XDisplay::PressKey(const std::string& keysym, bool alt) const
{
    Display* display = Dpy(c_pDisplay);
    const KeyCode key = XKeysymToKeycode(display, XStringToKeysym(keysym.c_str()));
    const KeyCode altKey = XKeysymToKeycode(display, XK_Alt_L);
    if (alt) XTestFakeKeyEvent(display, altKey, True, CurrentTime);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    Sync();
    SleepMs(60);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    if (alt) XTestFakeKeyEvent(display, altKey, False, CurrentTime);
    Sync();
}

void XDisplay::Sync() const { XSync(Dpy(c_pDisplay), False); }

GameProcess::GameProcess(const XDisplay& display, const std::filesystem::path& dataDirectory)
{
    char pattern[] = "/tmp/kelvane-x11-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) {
        ADD_FAILURE() << "no temporary directory for the game";
        return;
    }
    c_directory = made;
    if (!dataDirectory.empty()) std::filesystem::create_directory_symlink(dataDirectory, c_directory / "data");
    const std::string stderrPath = (c_directory / "stderr.txt").string();
    c_pid = ::fork();
    if (c_pid == 0) {
        if (::chdir(c_directory.c_str()) != 0) ::_exit(126);
        ::setenv("DISPLAY", display.Name().c_str(), 1);
        ::setenv("SDL_VIDEODRIVER", "x11", 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        ::unsetenv("KELVANE_HEADLESS");
        ::unsetenv("WAYLAND_DISPLAY");
        ::setenv("HOME", c_directory.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (c_directory / "config").c_str(), 1);
        ::setenv("XDG_PICTURES_DIR", (c_directory / "pictures").c_str(), 1);
        const int err = ::open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        ::execl(KELVANE_EXECUTABLE, KELVANE_EXECUTABLE, static_cast<char*>(nullptr));
        ::_exit(127);
    }
}

GameProcess::~GameProcess()
{
    EndChild(c_pid);
    std::error_code ignored;
    if (!c_directory.empty()) std::filesystem::remove_all(c_directory, ignored);
}

bool GameProcess::IsRunning() { return c_pid > 0 && ::waitpid(c_pid, nullptr, WNOHANG) == 0; }

std::string GameProcess::StandardError() const
{
    std::ifstream in(c_directory / "stderr.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<std::string> GameProcess::WaitForOutput(const std::string& text, int timeoutMs, std::size_t after) const
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        const std::string output = StandardError();
        const std::size_t at = output.find(text, after);
        if (at != std::string::npos) {
            const std::size_t end = output.find('\n', at);
            if (end != std::string::npos) return output.substr(at + text.size(), end - at - text.size());
        }
        SleepMs(20);
    } while (Clock::now() < deadline);
    return std::nullopt;
}

std::optional<Photo> ReadPng(const std::filesystem::path& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    image.format = PNG_FORMAT_BGRA;
    Photo photo;
    photo.width = static_cast<int>(image.width);
    photo.height = static_cast<int>(image.height);
    photo.pixels.resize(static_cast<std::size_t>(photo.width) * photo.height);
    if (!png_image_finish_read(&image, nullptr, photo.pixels.data(), 0, nullptr)) return std::nullopt;
    for (std::uint32_t& pixel : photo.pixels) pixel |= 0xFF000000u;  // little-endian BGRA is 0xAARRGGBB
    return photo;
}

Likeness Compare(const Photo& photo, const Area& where, const Photo& frame)
{
    double sumA = 0, sumB = 0, sumAA = 0, sumBB = 0, sumAB = 0, difference = 0;
    std::size_t n = 0;
    // Every second frame pixel, and only well inside each scaled pixel's footprint.
    for (int fy = 1; fy < frame.height; fy += 2) {
        const int py = where.y + static_cast<int>((fy + 0.5) * where.height / frame.height);
        if (py < 0 || py >= photo.height) continue;
        for (int fx = 1; fx < frame.width; fx += 2) {
            const int px = where.x + static_cast<int>((fx + 0.5) * where.width / frame.width);
            if (px < 0 || px >= photo.width) continue;
            const std::uint32_t a = photo.At(px, py);
            const std::uint32_t b = frame.At(fx, fy);
            const double la = Brightness(a);
            const double lb = Brightness(b);
            sumA += la;
            sumB += lb;
            sumAA += la * la;
            sumBB += lb * lb;
            sumAB += la * lb;
            for (int shift = 0; shift <= 16; shift += 8)
                difference += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
            ++n;
        }
    }
    Likeness likeness;
    if (n == 0) return likeness;
    const double cov = sumAB / n - (sumA / n) * (sumB / n);
    const double varA = sumAA / n - (sumA / n) * (sumA / n);
    const double varB = sumBB / n - (sumB / n) * (sumB / n);
    likeness.correlation = varA > 0 && varB > 0 ? cov / std::sqrt(varA * varB) : 0.0;
    likeness.meanDifference = difference / (3.0 * n);
    return likeness;
}

std::size_t LitPixelsOutside(const Photo& photo, const Area& within, const Area& where)
{
    std::size_t lit = 0;
    for (int y = std::max(0, within.y); y < std::min(photo.height, within.y + within.height); ++y) {
        for (int x = std::max(0, within.x); x < std::min(photo.width, within.x + within.width); ++x) {
            const bool inside = x >= where.x && x < where.x + where.width && y >= where.y && y < where.y + where.height;
            if (!inside && (photo.At(x, y) & 0xFFFFFF) != 0) ++lit;
        }
    }
    return lit;
}

}  // namespace kx
