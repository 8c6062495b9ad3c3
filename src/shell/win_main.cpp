#include "shell/win_main.h"

#include <cstdlib>
#include <exception>
#include <string>

#include "core/error.h"
#include "display/cd3dfont.h"
#include "display/d3dfunc.h"
#include "platform/clock/clock.h"
#include "platform/window/window.h"
#include "shell/fatal_error_screen.h"
#include "shell/start_up.h"
#include "shell/winfunc.h"

CD3DFont* _pFont = nullptr;

namespace {

// Everything from the loading banner to the end of shutdown. Errors leave it for WinMain's
// handlers.
void RunGuarded(const std::function<GameAssembly()>& assemble)
{
    DrawLoadingBanner(*D3Dfunc::pD3Ddevice, *_pFont);
    GameAssembly game = assemble();
    RunMainLoop(*Winfunc::hWnd, game.hooks);
    if (game.shutdown) game.shutdown();
    // Every object drawn with the device goes before the device.
    delete _pFont;
    _pFont = nullptr;
    D3Dfunc::Destroy();
}

}  // namespace

int WinMain(const std::function<GameAssembly()>& assemble)
{
    FailSafe::Info = L"None.";
    std::srand(timeGetTime());

    if (!Winfunc::InitWindow()) {
        platform::MessageBox("Creating window failed!", "Kelvane");
        return 0;
    }
    if (!D3Dfunc::Create(*Winfunc::hWnd, false)) {
        platform::MessageBox("Kelvane", "Initializing Directx failed!");
        return 0;
    }

    // Lives until shutdown; after a fatal error, until the process ends or the game is entered
    // again (tests), which releases the one left behind first.
    delete _pFont;
    _pFont = new CD3DFont("Times New Roman", 14, 0);
    _pFont->InitDeviceObjects(D3Dfunc::pD3Ddevice);
    _pFont->RestoreDeviceObjects();

    try {
        RunGuarded(assemble);
    } catch (const std::exception& error) {
        const std::string message = error.what();
        ShowFatalErrorScreen(*D3Dfunc::pD3Ddevice, *_pFont, &message);
    } catch (...) {
        ShowFatalErrorScreen(*D3Dfunc::pD3Ddevice, *_pFont, nullptr);
    }
    return 0;
}

int WinMain()
{
    return WinMain([] { return AssembleGame(); });
}
