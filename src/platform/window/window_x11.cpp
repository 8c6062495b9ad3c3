// The X server's own answers about the game window, through the handles SDL holds.
#include "platform/window/window_x11.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace platform::x11 {

namespace {

struct Handles {
    Display* display = nullptr;
    ::Window window = 0;
};

bool GetHandles(SDL_Window* window, Handles* handles)
{
    if (!window) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    handles->display = info.info.x11.display;
    handles->window = info.info.x11.window;
    return handles->display != nullptr && handles->window != 0;
}

// X protocol errors from our own requests (a window not yet mapped, one a manager replaced)
// are not fatal here: the request simply had no effect.
int g_trappedErrors = 0;
int TrapError(Display*, XErrorEvent*)
{
    ++g_trappedErrors;
    return 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : c_pDisplay(display)
    {
        XSync(c_pDisplay, False);
        g_trappedErrors = 0;
        c_previous = XSetErrorHandler(TrapError);
    }
    ~ErrorTrap()
    {
        XSync(c_pDisplay, False);
        XSetErrorHandler(c_previous);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    Display* c_pDisplay;
    int (*c_previous)(Display*, XErrorEvent*) = nullptr;
};

}  // namespace

bool IsX11Window(SDL_Window* window)
{
    Handles handles;
    return GetHandles(window, &handles);
}

bool QueryWindowSize(SDL_Window* window, int* width, int* height)
{
    Handles handles;
    if (!GetHandles(window, &handles)) return false;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(handles.display, handles.window, &attributes)) return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

bool HasWindowManager(SDL_Window* window)
{
    Handles handles;
    if (!GetHandles(window, &handles)) return false;
    const Atom check = XInternAtom(handles.display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const ::Window root = DefaultRootWindow(handles.display);
    const bool found = XGetWindowProperty(handles.display, root, check, 0, 1, False, XA_WINDOW, &type, &format,
                                          &count, &after, &data) == Success &&
                       type == XA_WINDOW && count == 1;
    if (data) XFree(data);
    return found;
}

void PlaceWindow(SDL_Window* window, const SDL_Rect& area)
{
    Handles handles;
    if (!GetHandles(window, &handles) || area.w <= 0 || area.h <= 0) return;
    ErrorTrap trap(handles.display);
    XMoveResizeWindow(handles.display, handles.window, area.x, area.y, static_cast<unsigned>(area.w),
                      static_cast<unsigned>(area.h));
    XRaiseWindow(handles.display, handles.window);
    XSetInputFocus(handles.display, handles.window, RevertToParent, CurrentTime);
}

}  // namespace platform::x11
