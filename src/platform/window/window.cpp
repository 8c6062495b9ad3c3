// The game window on SDL2: creation with an OpenGL 3.3 core context, the message queue the
// main loop polls, the quit message and the listeners through which the input devices see
// mouse and keyboard events.
#include "platform/window/window.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "platform/window/window_sdl.h"

namespace platform {

namespace {

Window* g_mainWindow = nullptr;

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

}  // namespace

bool IsHeadlessEnvironment()
{
    if (const char* headless = std::getenv("KELVANE_HEADLESS"); headless && *headless) return true;
    if (const char* driver = std::getenv("SDL_VIDEODRIVER")) {
        if (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) return true;
    }
    return false;
}

struct Window::Impl {
    SDL_Window* c_pWindow = nullptr;
    SDL_GLContext c_glContext = nullptr;
    bool c_bHeadless = false;
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
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
            if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) NoteKeyEvent(event);
            if (IsInputEvent(event.type) && OfferToListeners(event)) continue;
            if (event.type == SDL_WINDOWEVENT && event.window.windowID != SDL_GetWindowID(c_pWindow))
                continue;
            c_messages.push_back(event);
        }
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

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    impl.c_pWindow = SDL_CreateWindow(title.c_str(), 0, 0, width, height, flags);
    if (!impl.c_pWindow) return false;
    impl.c_glContext = SDL_GL_CreateContext(impl.c_pWindow);
    if (!impl.c_glContext) {
        SDL_DestroyWindow(impl.c_pWindow);
        impl.c_pWindow = nullptr;
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<Window> Window::Create(const std::string& title, int width, int height, bool fullscreen,
                                       std::string* error)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        if (error) *error = std::string("SDL video could not start: ") + SDL_GetError();
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->c_bHeadless = IsHeadlessEnvironment();
    const bool desktopFullscreen = fullscreen && !impl->c_bHeadless;
    // Depth 24 + stencil 8 as the game asks; a 16-bit depth buffer where that is refused.
    if (!TryCreate(*impl, title, width, height, desktopFullscreen, 24, 8) &&
        !TryCreate(*impl, title, width, height, desktopFullscreen, 16, 0)) {
        if (error) *error = std::string("no window with an OpenGL 3.3 core context: ") + SDL_GetError();
        return nullptr;  // Impl's destructor balances SDL_InitSubSystem
    }
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
