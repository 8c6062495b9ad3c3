#include "shell/fatal_error_screen.h"

#include <iostream>
#include <string>
#include <vector>

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
// The message's lines start here, each line the start-up font's height below the last; further
// lines of a message are listed from two lines below the Q line to the foot of the screen.
constexpr float kTextLeft = 50.0f;
constexpr float kErrorTop = 70.0f;
constexpr float kScreenBottom = 580.0f;
constexpr float kLineHeight = 20.0f;
constexpr long kTextWidth = 800 - 50 - 10;  // pixels from the text's left edge to 10 short of the right

// The text as the screen prints it: one byte per character, up to a zero character.
std::string ScreenText(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        const char low = static_cast<char>(static_cast<unsigned>(c) & 0xFFu);
        if (low == '\0') break;
        out.push_back(low);
    }
    return out;
}

std::string ScreenText(const std::string& text) { return text.substr(0, text.find('\0')); }

// Draws the lines from `*y` down, one line height apart, while they are above the foot of
// the screen; leaves `*y` below the last.
void DrawLines(CD3DFont& font, const std::vector<std::string>& lines, float* y)
{
    for (const std::string& line : lines) {
        if (*y < kScreenBottom) font.DrawTextA(kTextLeft, *y, kErrorRed, line.c_str(), 0);
        *y += kLineHeight;
    }
}

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
        // say) are listed below the Q line. Every line is shown whole, wrapped to the screen's
        // width: the decoder's own words are what says which bytes of which file are wrong.
        const std::size_t firstEnd = message->find('\n');
        float y = kErrorTop;
        font.DrawTextA(10, y - kLineHeight, kErrorRed, "The error was:", 0);
        DrawLines(font, font.WrapToWidth(ScreenText(message->substr(0, firstEnd)), kTextWidth), &y);
        font.DrawTextA(10, y, kErrorRed, "Further error information:", 0);
        y += kLineHeight;
        DrawLines(font, font.WrapToWidth(ScreenText(FailSafe::Info), kTextWidth), &y);
        font.DrawTextA(10, y, kErrorRed, "Press 'Q' to quit.", 0);
        y += 2 * kLineHeight;
        for (std::size_t start = firstEnd; start != std::string::npos && y < kScreenBottom;) {
            const std::size_t end = message->find('\n', start + 1);
            const std::string line = message->substr(start + 1, end == std::string::npos ? end : end - start - 1);
            DrawLines(font, font.WrapToWidth(line, kTextWidth), &y);
            start = end;
        }
    } else {
        font.DrawTextA(10, 50, kErrorRed, "The error could not be retrieved.", 0);
        font.DrawTextA(10, 90, kErrorRed, "Press 'Q' to quit.", 0);
    }
    EndFrame(device);
    WaitForQ(device);
}
