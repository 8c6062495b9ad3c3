// The window's message queue as the main loop polls it, the quit message, the listeners the
// input devices register, and the asynchronous key query. Events are injected into SDL's queue.
#include "platform/window/window.h"

#include <gtest/gtest.h>

#include "platform/window/window_sdl.h"
#include "support/harness.h"

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.PumpMessages();  // whatever the driver queued at creation
    }

    void PushWindowEvent(Uint8 what)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        event.window.windowID = SDL_GetWindowID(platform::GetSdlWindow(window));
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    void PushMouseMotion()
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.xrel = 3;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    platform::Window& window = kt::GetWindow();
};

TEST_F(WindowTest, PollReportsTheInputEventBeforeWaitingMessages)
{
    platform::InputEvent input;
    EXPECT_EQ(window.Poll(&input), platform::PollResult::Timeout);

    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    input.Signal();
    EXPECT_EQ(window.Poll(&input), platform::PollResult::InputEvent);
    EXPECT_EQ(window.Poll(&input), platform::PollResult::InputEvent) << "messages wait while the event is set";
    input.Reset();
    EXPECT_EQ(window.Poll(&input), platform::PollResult::Messages) << "the message was lost behind the event";
    EXPECT_EQ(window.Poll(nullptr), platform::PollResult::Messages);
    EXPECT_FALSE(window.PumpMessages());
    EXPECT_EQ(window.Poll(&input), platform::PollResult::Timeout);
}

TEST_F(WindowTest, ListenersTakeInputBeforeItBecomesAMessage)
{
    platform::InputEvent input;
    int seen = 0;
    const int id = platform::AddEventListener(window, [&](const SDL_Event& event) {
        if (event.type != SDL_MOUSEMOTION) return false;
        ++seen;
        input.Signal();
        return true;
    });
    PushMouseMotion();
    EXPECT_EQ(window.Poll(&input), platform::PollResult::InputEvent);
    EXPECT_EQ(seen, 1);
    input.Reset();
    EXPECT_EQ(window.Poll(&input), platform::PollResult::Timeout) << "a taken event must not wait as a message";

    platform::RemoveEventListener(window, id);
    PushMouseMotion();
    EXPECT_EQ(window.Poll(&input), platform::PollResult::Messages) << "untaken input is a window message";
    EXPECT_EQ(seen, 1) << "a removed listener was called";
    window.PumpMessages();
}

TEST_F(WindowTest, ClosingTheWindowIsTheQuitMessage)
{
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(window.Poll(nullptr), platform::PollResult::Messages);
    EXPECT_TRUE(window.PumpMessages());
    EXPECT_FALSE(window.PumpMessages()) << "the quit message is handled once";

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_TRUE(window.PumpMessages());

    window.PostQuit();
    EXPECT_EQ(window.Poll(nullptr), platform::PollResult::Messages);
    EXPECT_TRUE(window.PumpMessages());
    EXPECT_TRUE(window.KeepAlive()) << "the window has been closed";

    // A new run of the game in the same process starts with the quit forgotten.
    window.PostQuit();
    window.Reopen();
    EXPECT_FALSE(window.KeepAlive());
    EXPECT_EQ(window.Poll(nullptr), platform::PollResult::Timeout);
}

TEST_F(WindowTest, HeadlessWindowIsTheMainWindowAndHasTheFocus)
{
    EXPECT_TRUE(window.IsHeadless());
    EXPECT_TRUE(window.HasFocus());
    EXPECT_EQ(platform::GetMainWindow(), &window);
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(platform::GetSdlWindow(window), &width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
}

TEST(MessageBox, GoesToStandardErrorWithoutBlockingHeadless)
{
    ::testing::internal::CaptureStderr();
    platform::MessageBox("CreateWindow() - FAILED", "");
    platform::MessageBox("Creating window failed!", "Kelvane");
    const std::string text = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(text.find("CreateWindow() - FAILED"), std::string::npos);
    EXPECT_NE(text.find("Kelvane: Creating window failed!"), std::string::npos);
}

TEST(AsyncKeyState, ReportsDownAndPressedSinceTheLastQuery)
{
    kt::GetWindow();
    constexpr int kQ = 'Q';
    EXPECT_EQ(platform::GetAsyncKeyState(kQ), 0);
    platform::InjectAsyncKey(kQ, true);
    const short first = platform::GetAsyncKeyState(kQ);
    EXPECT_EQ(first & 0xFFFF, 0x8001) << "down and newly pressed";
    // The fatal-error screen widens the result and masks it with 0x8000F.
    EXPECT_NE(static_cast<int>(first) & 0x8000F, 0);
    EXPECT_EQ(platform::GetAsyncKeyState(kQ) & 0xFFFF, 0x8000) << "still down, not pressed again";
    platform::InjectAsyncKey(kQ, false);
    EXPECT_EQ(platform::GetAsyncKeyState(kQ), 0);

    // Pressed and released between two queries: only the pressed bit.
    platform::InjectAsyncKey(kQ, true);
    platform::InjectAsyncKey(kQ, false);
    EXPECT_EQ(platform::GetAsyncKeyState(kQ), 1);
    EXPECT_EQ(platform::GetAsyncKeyState(kQ), 0);
    EXPECT_EQ(platform::GetAsyncKeyState('W'), 0) << "another key is untouched";
}

TEST(AsyncKeyState, SeesAKeyPressThroughTheWindowsEvents)
{
    platform::Window& window = kt::GetWindow();
    platform::GetAsyncKeyState(0x1B);
    SDL_Event press{};
    press.type = SDL_KEYDOWN;
    press.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    SDL_PushEvent(&press);
    window.PumpMessages();
    EXPECT_EQ(platform::GetAsyncKeyState(0x1B) & 1, 1) << "Escape pressed since the last query";
}

}  // namespace
