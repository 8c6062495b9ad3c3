#include "shell/winfunc.h"

#include <iostream>
#include <memory>
#include <string>

namespace Winfunc {

platform::Window* hWnd = nullptr;

namespace {
std::unique_ptr<platform::Window> g_window;  // lives until the process ends
}

bool InitWindow(bool fullscreen)
{
    // The window lives until the process ends; a second entry (tests run the entry routine
    // several times) keeps using it, since its device must never outlive it.
    if (g_window) {
        g_window->Reopen();
        hWnd = g_window.get();
        // Waits that watch for the window closing (the fatal-error screen) watch this one
        // again, whatever window was made the main one meanwhile.
        platform::SetMainWindow(hWnd);
        return true;
    }
    hWnd = nullptr;
    std::string error;
    g_window = platform::Window::Create("Kelvane", 800, 600, fullscreen, &error);
    if (!g_window) {
        std::cerr << "Kelvane: cannot create the window: " << error << "\n";
        platform::MessageBox("CreateWindow() - FAILED", "");
        return false;
    }
    hWnd = g_window.get();
    platform::SetMainWindow(hWnd);
    return true;
}

void SetFullscreen(bool fullscreen)
{
    if (hWnd != nullptr) hWnd->SetFullscreen(fullscreen);
}

bool IsFullscreen()
{
    return hWnd != nullptr && hWnd->IsFullscreen();
}

}  // namespace Winfunc
