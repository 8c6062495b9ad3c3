#include "shell/fatal_error_screen.h"

#include <iostream>

#include "core/error.h"
#include "display/cd3dfont.h"
#include "platform/clock/clock.h"
#include "platform/gfx/device.h"
#include "platform/window/window.h"

namespace {

constexpr D3DCOLOR kTextColour = 0xFFEDB469;
constexpr D3DCOLOR kBlack = 0xFF000000;
constexpr D3DCOLOR kYellow = 0xFFFFFF00;
constexpr D3DCOLOR kErrorRed = 0xFFC80000;
constexpr int kVirtualKeyQ = 0x51;
constexpr std::uint32_t kWaitPollMs = 10;
// Further lines of a message: from below the Q line to the foot of the screen.
constexpr float kDetailTop = 170.0f;
constexpr float kDetailBottom = 580.0f;
constexpr float kLineHeight = 20.0f;
constexpr std::size_t kDetailLineMax = 110;  // characters; the start-up font fits them in 750 pixels

void BeginFrame(gfx::Device& device)
{
    device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    device.BeginScene();
}

void EndFrame(gfx::Device& device)
{
    device.EndScene();
    device.Present();
}

// Waits for Q. The window is kept alive meanwhile (a closed window also ends the wait), the
// screen is shown again whenever the window was uncovered, resized or switched (the back
// buffer still holds it), and the wait sleeps between polls instead of spinning a core.
void WaitForQ(gfx::Device& device)
{
    platform::Window* window = platform::GetMainWindow();
    for (;;) {
        if (platform::GetAsyncKeyState(kVirtualKeyQ) & 0x8001) return;
        if (window != nullptr && window->KeepAlive()) return;
        if (window != nullptr && window->TakeRedrawRequest()) device.Present();
        platform::SleepMs(kWaitPollMs);
    }
}

}  // namespace

void DrawLoadingBanner(gfx::Device& device, CD3DFont& font)
{
    BeginFrame(device);
    const char* title = "Kelvane 1.1";
    const char* built = "(built 8 Jan 2005)";
    const char* loading = "...Loading...";
    SIZE t{}, b{}, l{};
    font.GetTextExtent(title, &t);
    font.GetTextExtent(built, &b);
    font.GetTextExtent(loading, &l);
    // Widths are subtracted as integers and halved as floats: a half pixel survives.
    font.DrawTextA(static_cast<float>(800 - t.cx) / 2.0f, static_cast<float>(300 - 2 * b.cy), kTextColour, title, 0);
    font.DrawTextA(static_cast<float>(800 - b.cx) / 2.0f, static_cast<float>(300 - t.cy), kTextColour, built, 0);
    font.DrawTextA(static_cast<float>(800 - l.cx) / 2.0f, 300.0f, kTextColour, loading, 0);
    EndFrame(device);
}

void ShowFatalErrorScreen(gfx::Device& device, CD3DFont& font, const std::string* message)
{
    // The screen is the player's report; standard error keeps the whole text for a bug report.
    if (message != nullptr) {
        std::string info(FailSafe::Info.size(), ' ');
        for (std::size_t i = 0; i < info.size(); ++i) info[i] = static_cast<char>(FailSafe::Info[i] & 0xFF);
        std::cerr << "Kelvane error: " << *message << "\nFurther error information: " << info << "\n";
    } else {
        std::cerr << "Kelvane error: the error could not be retrieved.\n";
    }
    BeginFrame(device);
    font.DrawTextA(10, 10, kYellow, "Kelvane error.", 0);
    font.DrawTextA(10, 30, kErrorRed, "There has been an error, Kelvane will now close.", 0);
    if (message != nullptr) {
        // The first line is the error; further lines (where the game looked for its data,
        // say) are listed below the Q line, each cut to what the screen's width holds.
        const std::size_t firstEnd = message->find('\n');
        const std::string error = ToErrorScreenText(message->substr(0, firstEnd));
        const std::string info = ToErrorScreenText(FailSafe::Info);
        font.DrawTextA(10, 50, kErrorRed, "The error was:", 0);
        font.DrawTextA(50, 70, kErrorRed, error.c_str(), 0);
        font.DrawTextA(10, 90, kErrorRed, "Further error information:", 0);
        font.DrawTextA(50, 110, kErrorRed, info.c_str(), 0);
        font.DrawTextA(10, 130, kErrorRed, "Press 'Q' to quit.", 0);
        float y = kDetailTop;
        for (std::size_t start = firstEnd; start != std::string::npos && y < kDetailBottom; y += kLineHeight) {
            const std::size_t end = message->find('\n', start + 1);
            const std::string line = message->substr(start + 1, end == std::string::npos ? end : end - start - 1);
            font.DrawTextA(50, y, kErrorRed, line.substr(0, kDetailLineMax).c_str(), 0);
            start = end;
        }
    } else {
        font.DrawTextA(10, 50, kErrorRed, "The error could not be retrieved.", 0);
        font.DrawTextA(10, 90, kErrorRed, "Press 'Q' to quit.", 0);
    }
    EndFrame(device);
    WaitForQ(device);
}
