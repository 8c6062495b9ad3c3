#include "shell/win_main.h"

#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "core/error.h"
#include "display/cd3dfont.h"
#include "display/d3dfunc.h"
#include "platform/clock/clock.h"
#include "platform/memory/memory.h"
#include "platform/window/window.h"
#include "shell/fatal_error_screen.h"
#include "shell/screenshot.h"
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

LaunchOptions ParseCommandLine(int argc, const char* const* argv)
{
    LaunchOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--windowed") options.windowed = true;
        else if (arg == "--help" || arg == "-h") options.help = true;
        else if (arg == "--version") options.version = true;
        else if (arg == "--develop") options.develop = true;
    }
    return options;
}

int WinMain(const std::function<GameAssembly()>& assemble, const LaunchOptions& options)
{
    FailSafe::Info = L"None.";
    // Entering a screen, playing a film: each fills buffers of megabytes that should not cost
    // fresh pages from the system every time.
    platform::KeepFreedMemoryForReuse();
    // Every run draws a new random set-up: the seed comes from the system's clock, not from
    // the game's, which counts from its first read and would always give the same seed.
    std::srand(platform::StartUpSeed());

    if (!Winfunc::InitWindow(!options.windowed)) {
        platform::MessageBox("Creating window failed!", "Kelvane");
        return 0;
    }
    if (!D3Dfunc::Create(*Winfunc::hWnd, false)) {
        platform::MessageBox("Kelvane", "Initializing Directx failed!");
        return 0;
    }

    D3Dfunc::pD3Ddevice->SetScreenshotHandler(SaveScreenshotAndReport);

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

int WinMain(const LaunchOptions& options)
{
    const AssemblyOptions assembly{options.develop};
    return WinMain([assembly] { return AssembleGame(assembly); }, options);
}
