// The game window on SDL2: creation with an OpenGL 3.3 core context, the message queue the
// main loop polls, the quit message and the listeners through which the input devices see
// mouse and keyboard events.
#include "platform/window/window.h"

#include <SDL.h>
#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/clock/clock.h"
#include "platform/window/window_sdl.h"
#include "platform/window/window_x11.h"

namespace platform {

namespace {

Window* g_mainWindow = nullptr;

// A wait for input never sleeps longer than this, whatever it is asked.
constexpr std::uint32_t kLongestWaitMs = 1000;

bool IsInputEvent(Uint32 type)
{
    switch (type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_TEXTEDITING:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
        return true;
    default:
        return false;
    }
}

// Window events after which what the window shows must be presented again, and the drawable's
// size asked anew.
bool ChangesWhatIsShown(Uint8 windowEvent)
{
    switch (windowEvent) {
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
        return true;
    default:
        return false;
    }
}

bool IsAltEnter(const SDL_Event& event)
{
    return event.type == SDL_KEYDOWN && (event.key.keysym.mod & KMOD_ALT) != 0 &&
           (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER);
}

}  // namespace

PictureRect FitPicture(int drawableWidth, int drawableHeight, int pictureWidth, int pictureHeight)
{
    if (drawableWidth <= 0 || drawableHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return {};
    // Integer arithmetic, so that every caller (the present, the pointer) agrees to the pixel.
    int width = drawableWidth;
    int height = drawableHeight;
    if (static_cast<long long>(drawableWidth) * pictureHeight <= static_cast<long long>(drawableHeight) * pictureWidth)
        height = static_cast<int>(static_cast<long long>(drawableWidth) * pictureHeight / pictureWidth);
    else
        width = static_cast<int>(static_cast<long long>(drawableHeight) * pictureWidth / pictureHeight);
    return PictureRect{(drawableWidth - width) / 2, (drawableHeight - height) / 2, width, height};
}

bool IsHeadlessEnvironment()
{
    if (const char* headless = std::getenv("KELVANE_HEADLESS"); headless && *headless) return true;
    if (const char* driver = std::getenv("SDL_VIDEODRIVER")) {
        if (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) return true;
    }
    return false;
}

// The software rasteriser's setting for its drawing threads, read when it starts.
constexpr const char* kRasteriserThreadsVariable = "LP_NUM_THREADS";
// The largest affinity mask UsableProcessors reads, in processors.
constexpr int kMostProcessors = 1 << 16;

struct Window::Impl {
    SDL_Window* c_pWindow = nullptr;
    SDL_GLContext c_glContext = nullptr;
    bool c_bHeadless = false;
    bool c_bX11 = false;         // on an X display, whose server is asked for the real size
    int c_iPictureWidth = 0;     // the logical size of the picture the window shows
    int c_iPictureHeight = 0;
    bool c_bFullscreen = false;
    SDL_Rect c_windowedArea{};   // where the window goes when it leaves full screen
    int c_iDrawableWidth = 0;    // the drawable as the display server has it
    int c_iDrawableHeight = 0;
    bool c_bRedraw = false;      // exposed, resized or switched since the last TakeRedrawRequest
    bool c_bScreenshot = false;  // F12 was pressed since the last TakeScreenshotRequest
    bool c_bClosed = false;      // a quit message has been handled
    bool c_bQuitPosted = false;  // PostQuit's message, waiting like any other
    int c_iNextListenerId = 1;
    std::vector<std::pair<int, std::function<bool(const SDL_Event&)>>> c_listeners;
    std::deque<SDL_Event> c_messages;  // window messages not yet pumped, oldest first

    ~Impl()
    {
        if (c_glContext) SDL_GL_DeleteContext(c_glContext);
        if (c_pWindow) SDL_DestroyWindow(c_pWindow);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }

    // Takes every event SDL holds: input goes to the listeners first; what they do not take,
    // and everything else concerning this window, waits as a window message.
    void Gather()
    {
        SDL_PumpEvents();
        SDL_Event event;
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) Take(event);
    }

    void Take(const SDL_Event& event)
    {
        if (TakeSystemKey(event)) return;
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) NoteKeyEvent(event);
        if (IsInputEvent(event.type) && OfferToListeners(event)) return;
        if (event.type == SDL_WINDOWEVENT) {
            if (event.window.windowID != SDL_GetWindowID(c_pWindow)) return;
            NoteWindowEvent(event.window);
            OfferToListeners(event);  // seen by the devices, and still a window message
        }
        c_messages.push_back(event);
    }

    // Sleeps until the system has an event for the process or `ms` pass, then gathers.
    void WaitAndGather(std::uint32_t ms)
    {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, static_cast<int>(std::min<std::uint32_t>(ms, kLongestWaitMs))) == 1)
            Take(event);
        Gather();
    }

    // Keys the window itself answers, in every phase, before the game sees them: Alt+Enter
    // switches between full screen and a window, F12 asks for a screenshot.
    bool TakeSystemKey(const SDL_Event& event)
    {
        if (IsAltEnter(event)) {
            if (!event.key.repeat) SetFullscreen(!c_bFullscreen);
            return true;
        }
        if ((event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) && event.key.keysym.sym == SDLK_F12) {
            // A screen that waits without drawing presents again, and so takes the shot.
            if (event.type == SDL_KEYDOWN && !event.key.repeat) c_bScreenshot = c_bRedraw = true;
            return true;
        }
        return false;
    }

    void NoteWindowEvent(const SDL_WindowEvent& event)
    {
        if (!ChangesWhatIsShown(event.event)) return;
        RefreshDrawableSize();
        c_bRedraw = true;
        if (!c_bFullscreen && !c_bHeadless &&
            (event.event == SDL_WINDOWEVENT_SIZE_CHANGED || event.event == SDL_WINDOWEVENT_MOVED)) {
            SDL_GetWindowPosition(c_pWindow, &c_windowedArea.x, &c_windowedArea.y);
            SDL_GetWindowSize(c_pWindow, &c_windowedArea.w, &c_windowedArea.h);
        }
    }

    void RefreshDrawableSize()
    {
        int width = 0;
        int height = 0;
        if (!(c_bX11 && x11::QueryWindowSize(c_pWindow, &width, &height)))
            SDL_GL_GetDrawableSize(c_pWindow, &width, &height);
        c_iDrawableWidth = width;
        c_iDrawableHeight = height;
    }

    // Makes the window cover its display, or returns it to its windowed place. SDL asks the
    // window manager; where none runs, the X server is told directly.
    void SetFullscreen(bool fullscreen)
    {
        c_bFullscreen = fullscreen;
        c_bRedraw = true;
        if (!c_bHeadless) {
            SDL_SetWindowFullscreen(c_pWindow, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
            if (!fullscreen) SDL_SetWindowSize(c_pWindow, c_windowedArea.w, c_windowedArea.h);
            PlaceWithoutWindowManager();
            RefreshDrawableSize();
        }
        // The devices learn of the switch at once (the pointer is taken differently).
        SDL_Event changed{};
        changed.type = SDL_WINDOWEVENT;
        changed.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
        changed.window.windowID = SDL_GetWindowID(c_pWindow);
        changed.window.data1 = c_iDrawableWidth;
        changed.window.data2 = c_iDrawableHeight;
        OfferToListeners(changed);
    }

    void PlaceWithoutWindowManager()
    {
        if (!c_bX11 || x11::HasWindowManager(c_pWindow)) return;
        SDL_Rect area = c_windowedArea;
        if (c_bFullscreen && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(c_pWindow), &area) != 0) return;
        x11::PlaceWindow(c_pWindow, area);
    }

    bool OfferToListeners(const SDL_Event& event)
    {
        // A listener may remove itself while handling; iterate over a copy of the ids.
        auto listeners = c_listeners;
        for (auto& [id, listener] : listeners) {
            if (listener(event)) return true;
        }
        return false;
    }

    static bool IsQuit(const SDL_Event& event)
    {
        if (event.type == SDL_QUIT) return true;
        return event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE;
    }

    bool HasMessages() const { return c_bQuitPosted || !c_messages.empty(); }

    bool Drain()
    {
        bool quit = c_bQuitPosted;
        c_bQuitPosted = false;
        while (!c_messages.empty()) {
            const SDL_Event event = c_messages.front();
            c_messages.pop_front();
            if (IsQuit(event)) quit = true;
        }
        if (quit) c_bClosed = true;
        return quit;
    }
};

namespace {

// Sets the context attributes and creates window and context; null window on failure.
bool TryCreate(Window::Impl& impl, const std::string& title, int width, int height, bool fullscreen,
               int depthBits, int stencilBits)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencilBits);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE;
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    impl.c_pWindow = SDL_CreateWindow(title.c_str(), 0, 0, width, height, flags);
    if (!impl.c_pWindow) return false;
    impl.c_iPictureWidth = width;
    impl.c_iPictureHeight = height;
    impl.c_bFullscreen = fullscreen;
    impl.c_windowedArea = SDL_Rect{0, 0, width, height};
    // The window gets its real size before the context exists: the driver sizes the first
    // frame's buffer (the loading banner's) from the window as it is then.
    if (!impl.c_bHeadless) {
        impl.c_bX11 = x11::IsX11Window(impl.c_pWindow);
        impl.PlaceWithoutWindowManager();
    }
    impl.c_glContext = SDL_GL_CreateContext(impl.c_pWindow);
    if (!impl.c_glContext) {
        SDL_DestroyWindow(impl.c_pWindow);
        impl.c_pWindow = nullptr;
        return false;
    }
    return true;
}

}  // namespace

const char* SoftwareRasteriserThreads(unsigned cores)
{
    return cores == 1 || cores == 2 ? "0" : nullptr;
}

unsigned UsableProcessors()
{
    struct FreeCpuSet {
        void operator()(cpu_set_t* set) const { CPU_FREE(set); }
    };
    // A machine may have more processors than the fixed set holds: the set grows until the
    // mask fits.
    for (int processors = CPU_SETSIZE; processors <= kMostProcessors; processors *= 2) {
        const std::unique_ptr<cpu_set_t, FreeCpuSet> set(CPU_ALLOC(processors));
        if (!set) break;
        const std::size_t bytes = CPU_ALLOC_SIZE(processors);
        CPU_ZERO_S(bytes, set.get());
        if (sched_getaffinity(0, bytes, set.get()) == 0) return static_cast<unsigned>(CPU_COUNT_S(bytes, set.get()));
        if (errno != EINVAL) break;
    }
    return std::thread::hardware_concurrency();
}

std::unique_ptr<Window> Window::Create(const std::string& title, int width, int height, bool fullscreen,
                                       std::string* error)
{
    // Before the video system starts: the rasteriser reads its setting once, when it starts.
    if (const char* threads = SoftwareRasteriserThreads(UsableProcessors()))
        setenv(kRasteriserThreadsVariable, threads, 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        if (error) *error = std::string("SDL video could not start: ") + SDL_GetError();
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->c_bHeadless = IsHeadlessEnvironment();
    const bool desktopFullscreen = fullscreen && !impl->c_bHeadless;
    // The window gets no depth or stencil buffer: the game draws into the device's own
    // off-screen target, and the window only receives the finished picture.
    if (!TryCreate(*impl, title, width, height, desktopFullscreen, 0, 0)) {
        if (error) *error = std::string("no window with an OpenGL 3.3 core context: ") + SDL_GetError();
        return nullptr;  // Impl's destructor balances SDL_InitSubSystem
    }
    // The game draws its own pointer; the desktop's is hidden while over the window.
    if (!impl->c_bHeadless) SDL_ShowCursor(SDL_DISABLE);
    impl->RefreshDrawableSize();
    return std::unique_ptr<Window>(new Window(std::move(impl)));
}

Window::Window(std::unique_ptr<Impl> impl) : c_pImpl(std::move(impl)) {}

Window::~Window()
{
    if (g_mainWindow == this) g_mainWindow = nullptr;
}

PollResult Window::Poll(const InputEvent* inputEvent)
{
    c_pImpl->Gather();
    if (inputEvent && inputEvent->IsSignalled()) return PollResult::InputEvent;
    if (c_pImpl->HasMessages()) return PollResult::Messages;
    return PollResult::Timeout;
}

bool Window::PumpMessages()
{
    c_pImpl->Gather();
    return c_pImpl->Drain();
}

void Window::WaitForInput(std::uint32_t ms, const InputEvent* inputEvent)
{
    // The manual clock stands still while the thread sleeps: tests and replays never wait.
    if (ms == 0 || platform::IsManualClock()) return;
    if (c_pImpl->HasMessages() || (inputEvent && inputEvent->IsSignalled())) return;
    c_pImpl->WaitAndGather(ms);
}

bool Window::KeepAlive()
{
    c_pImpl->Gather();
    c_pImpl->Drain();
    return c_pImpl->c_bClosed;
}

bool Window::HasFocus() const
{
    // Nothing can take the focus from a window nobody sees.
    if (c_pImpl->c_bHeadless) return true;
    return (SDL_GetWindowFlags(c_pImpl->c_pWindow) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool Window::IsHeadless() const { return c_pImpl->c_bHeadless; }

void Window::GetDrawableSize(int* width, int* height) const
{
    *width = c_pImpl->c_iDrawableWidth;
    *height = c_pImpl->c_iDrawableHeight;
}

int Window::PictureWidth() const { return c_pImpl->c_iPictureWidth; }
int Window::PictureHeight() const { return c_pImpl->c_iPictureHeight; }

PictureRect Window::GetPictureRect() const
{
    return FitPicture(c_pImpl->c_iDrawableWidth, c_pImpl->c_iDrawableHeight, c_pImpl->c_iPictureWidth,
                      c_pImpl->c_iPictureHeight);
}

bool Window::WindowToPicture(int x, int y, int* pictureX, int* pictureY) const
{
    const PictureRect rect = GetPictureRect();
    if (rect.width <= 0 || rect.height <= 0) {
        *pictureX = *pictureY = 0;
        return false;
    }
    // The picture pixel whose scaled area holds the window pixel's centre.
    const auto map = [](int at, int origin, int shown, int logical) {
        const long long twice = (2LL * (at - origin) + 1) * logical;
        return static_cast<int>(twice >= 0 ? twice / (2LL * shown) : -1);
    };
    const int px = map(x, rect.x, rect.width, c_pImpl->c_iPictureWidth);
    const int py = map(y, rect.y, rect.height, c_pImpl->c_iPictureHeight);
    const bool inside = px >= 0 && py >= 0 && px < c_pImpl->c_iPictureWidth && py < c_pImpl->c_iPictureHeight;
    *pictureX = std::clamp(px, 0, c_pImpl->c_iPictureWidth - 1);
    *pictureY = std::clamp(py, 0, c_pImpl->c_iPictureHeight - 1);
    return inside;
}

void Window::PictureToWindow(int pictureX, int pictureY, int* x, int* y) const
{
    const PictureRect rect = GetPictureRect();
    const int w = std::max(1, c_pImpl->c_iPictureWidth), h = std::max(1, c_pImpl->c_iPictureHeight);
    *x = rect.x + static_cast<int>((2LL * pictureX + 1) * rect.width / (2LL * w));
    *y = rect.y + static_cast<int>((2LL * pictureY + 1) * rect.height / (2LL * h));
}

void Window::WarpPointer(int pictureX, int pictureY)
{
    if (c_pImpl->c_bHeadless) return;
    int x = 0, y = 0;
    PictureToWindow(pictureX, pictureY, &x, &y);
    SDL_WarpMouseInWindow(c_pImpl->c_pWindow, x, y);
}

bool Window::IsFullscreen() const { return c_pImpl->c_bFullscreen; }

void Window::SetFullscreen(bool fullscreen) { c_pImpl->SetFullscreen(fullscreen); }

bool Window::TakeRedrawRequest() { return std::exchange(c_pImpl->c_bRedraw, false); }

bool Window::TakeScreenshotRequest() { return std::exchange(c_pImpl->c_bScreenshot, false); }

void Window::PostQuit() { c_pImpl->c_bQuitPosted = true; }

void Window::Reopen()
{
    c_pImpl->Gather();
    c_pImpl->Drain();
    c_pImpl->c_bQuitPosted = false;
    c_pImpl->c_bClosed = false;
}

Window* GetMainWindow() { return g_mainWindow; }
void SetMainWindow(Window* window) { g_mainWindow = window; }

SDL_Window* GetSdlWindow(Window& window) { return window.GetImpl().c_pWindow; }
SDL_GLContext GetGlContext(Window& window) { return window.GetImpl().c_glContext; }

int AddEventListener(Window& window, std::function<bool(const SDL_Event&)> listener)
{
    auto& impl = window.GetImpl();
    const int id = impl.c_iNextListenerId++;
    impl.c_listeners.emplace_back(id, std::move(listener));
    return id;
}

void GatherEvents(Window& window) { window.GetImpl().Gather(); }

void RemoveEventListener(Window& window, int id)
{
    auto& listeners = window.GetImpl().c_listeners;
    std::erase_if(listeners, [id](const auto& entry) { return entry.first == id; });
}

void MessageBox(const std::string& text, const std::string& caption)
{
    if (caption.empty())
        std::fprintf(stderr, "%s\n", text.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    if (IsHeadlessEnvironment()) return;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return;
    SDL_Window* parent = g_mainWindow ? GetSdlWindow(*g_mainWindow) : nullptr;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), parent);
}

}  // namespace platform
