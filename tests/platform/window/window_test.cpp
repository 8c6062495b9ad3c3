// The window's message queue as the main loop polls it, the quit message, the listeners the
// input devices register, and the asynchronous key query. Events are injected into SDL's queue.
#include "platform/window/window.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

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

TEST_F(WindowTest, WaitForInputSleepsUntilAnEventComesAndGathersIt)
{
    using Clock = std::chrono::steady_clock;
    platform::InputEvent input;
    auto start = Clock::now();
    window.WaitForInput(120, &input);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(100)) << "nothing came: the whole wait";

    // An event pushed from another thread ends the wait, and the next poll sees it.
    std::thread other([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        SDL_Event event{};
        event.type = SDL_USEREVENT;
        SDL_PushEvent(&event);
    });
    start = Clock::now();
    window.WaitForInput(5000, &input);
    other.join();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000)) << "the event did not end the wait";
    EXPECT_EQ(window.Poll(&input), platform::PollResult::Messages);
    window.PumpMessages();

    // Something waiting already, or the manual clock: no wait at all.
    input.Signal();
    start = Clock::now();
    window.WaitForInput(5000, &input);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
    input.Reset();
    kt::ManualClockScope manual;
    start = Clock::now();
    window.WaitForInput(5000, &input);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
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

TEST_F(WindowTest, AltEnterSwitchesModesAndF12AsksForAScreenshotWithoutReachingTheGame)
{
    int keysSeen = 0;
    const int id = platform::AddEventListener(window, [&](const SDL_Event& event) {
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) ++keysSeen;
        return false;
    });
    window.TakeRedrawRequest();
    const bool wasFullscreen = window.IsFullscreen();
    SDL_Event press{};
    press.type = SDL_KEYDOWN;
    press.key.keysym.sym = SDLK_RETURN;
    press.key.keysym.scancode = SDL_SCANCODE_RETURN;
    press.key.keysym.mod = KMOD_LALT;
    SDL_PushEvent(&press);
    window.PumpMessages();
    EXPECT_NE(window.IsFullscreen(), wasFullscreen);
    EXPECT_TRUE(window.TakeRedrawRequest()) << "a switch must show the picture again";
    EXPECT_FALSE(window.TakeRedrawRequest()) << "the request is taken once";

    press.key.keysym.mod = KMOD_NONE;  // Return alone is the game's
    SDL_PushEvent(&press);
    window.PumpMessages();
    EXPECT_NE(window.IsFullscreen(), wasFullscreen);
    EXPECT_EQ(keysSeen, 1);

    EXPECT_FALSE(window.TakeScreenshotRequest());
    press.key.keysym.sym = SDLK_F12;
    press.key.keysym.scancode = SDL_SCANCODE_F12;
    SDL_PushEvent(&press);
    window.PumpMessages();
    EXPECT_TRUE(window.TakeScreenshotRequest());
    EXPECT_FALSE(window.TakeScreenshotRequest());
    EXPECT_TRUE(window.TakeRedrawRequest()) << "a waiting screen presents again to take the shot";
    EXPECT_EQ(keysSeen, 1) << "F12 reached the game";

    window.SetFullscreen(wasFullscreen);
    platform::RemoveEventListener(window, id);
}

TEST_F(WindowTest, AnExposedWindowAsksForItsPictureAgain)
{
    window.TakeRedrawRequest();
    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    window.PumpMessages();
    EXPECT_TRUE(window.TakeRedrawRequest());
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    window.PumpMessages();
    EXPECT_FALSE(window.TakeRedrawRequest()) << "a focus change does not change what is shown";
}

// On two cores the software rasteriser draws on the game's thread, and by the time a window
// exists its setting says so (or says what the player set); elsewhere the driver chooses.
TEST(SoftwareRasteriser, DrawsOnTheGameThreadOnTwoCoresOrFewer)
{
    EXPECT_STREQ(platform::SoftwareRasteriserThreads(1), "0");
    EXPECT_STREQ(platform::SoftwareRasteriserThreads(2), "0");
    EXPECT_EQ(platform::SoftwareRasteriserThreads(4), nullptr);
    EXPECT_EQ(platform::SoftwareRasteriserThreads(0), nullptr) << "a count not known changes nothing";
    const char* before = std::getenv("LP_NUM_THREADS");
    const std::string set = before != nullptr ? before : "";
    kt::GetWindow();
    const char* after = std::getenv("LP_NUM_THREADS");
    const unsigned cores = platform::UsableProcessors();
    if (before != nullptr) {
        EXPECT_STREQ(after, set.c_str()) << "a setting already there is kept";
    } else if (cores == 1 || cores == 2) {
        EXPECT_STREQ(after, "0");
    }
}

// The processors counted are those the game may run on: a game started under taskset, or in a
// container given fewer processors than the machine has, draws as on that many.
TEST(SoftwareRasteriser, CountsOnlyTheProcessorsTheAffinityMaskAllows)
{
    cpu_set_t original;
    CPU_ZERO(&original);
    ASSERT_EQ(sched_getaffinity(0, sizeof original, &original), 0);
    // Puts the mask back however the test ends.
    struct Restore {
        const cpu_set_t& mask;
        ~Restore() { sched_setaffinity(0, sizeof mask, &mask); }
    } restore{original};
    std::vector<int> allowed;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &original)) allowed.push_back(cpu);
    }
    ASSERT_FALSE(allowed.empty());
    const auto runOnlyOn = [&](std::size_t count) {
        cpu_set_t mask;
        CPU_ZERO(&mask);
        for (std::size_t i = 0; i < count; ++i) CPU_SET(allowed[i], &mask);
        return sched_setaffinity(0, sizeof mask, &mask) == 0;
    };

    ASSERT_TRUE(runOnlyOn(1));
    EXPECT_EQ(platform::UsableProcessors(), 1u) << "the machine's count, not the mask's";
    EXPECT_STREQ(platform::SoftwareRasteriserThreads(platform::UsableProcessors()), "0");
    if (allowed.size() >= 2) {
        ASSERT_TRUE(runOnlyOn(2));
        EXPECT_EQ(platform::UsableProcessors(), 2u);
        EXPECT_STREQ(platform::SoftwareRasteriserThreads(platform::UsableProcessors()), "0");
    }
}

TEST(FitPicture, KeepsTheAspectCentredForEveryShapeOfScreen)
{
    struct Case {
        int width, height;
        platform::PictureRect expected;
    };
    const Case cases[] = {
        {800, 600, {0, 0, 800, 600}},        {1024, 768, {0, 0, 1024, 768}},
        {1920, 1080, {240, 0, 1440, 1080}},  {2560, 1080, {560, 0, 1440, 1080}},
        {1080, 1920, {0, 555, 1080, 810}},   {1000, 500, {167, 0, 666, 500}},
        {801, 600, {0, 0, 800, 600}},
    };
    for (const Case& c : cases) {
        const platform::PictureRect r = platform::FitPicture(c.width, c.height, 800, 600);
        EXPECT_EQ(r.x, c.expected.x) << c.width << " x " << c.height;
        EXPECT_EQ(r.y, c.expected.y) << c.width << " x " << c.height;
        EXPECT_EQ(r.width, c.expected.width) << c.width << " x " << c.height;
        EXPECT_EQ(r.height, c.expected.height) << c.width << " x " << c.height;
    }
    EXPECT_EQ(platform::FitPicture(0, 0, 800, 600).width, 0) << "a minimised window shows nothing";
}

TEST_F(WindowTest, PointerMapsToTheSamePicturePixelAtEverySize)
{
    SDL_Window* sdl = platform::GetSdlWindow(window);
    for (const auto& [width, height] : {std::pair{800, 600}, std::pair{1920, 1080}, std::pair{1080, 1920}}) {
        SDL_SetWindowSize(sdl, width, height);
        PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED);
        window.PumpMessages();
        const platform::PictureRect r = window.GetPictureRect();
        ASSERT_EQ(r.width * 600, r.height * 800) << width << " x " << height;
        // The window pixel at the centre of picture pixel (x, y)'s scaled area maps back to it,
        // corners included.
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{799, 599}, std::pair{619, 233}, std::pair{400, 300}}) {
            const int wx = r.x + (2 * x + 1) * r.width / 1600;
            const int wy = r.y + (2 * y + 1) * r.height / 1200;
            int px = -1, py = -1;
            EXPECT_TRUE(window.WindowToPicture(wx, wy, &px, &py));
            EXPECT_EQ(px, x) << "at " << width << " x " << height;
            EXPECT_EQ(py, y) << "at " << width << " x " << height;
            int back_x = -1, back_y = -1;
            window.PictureToWindow(x, y, &back_x, &back_y);
            EXPECT_EQ(back_x, wx) << "at " << width << " x " << height;
            EXPECT_EQ(back_y, wy) << "at " << width << " x " << height;
        }
        int px = -1, py = -1;
        if (r.x > 0) {
            EXPECT_FALSE(window.WindowToPicture(r.x - 1, r.y + 10, &px, &py)) << "the left bar";
        }
        if (r.y > 0) {
            EXPECT_FALSE(window.WindowToPicture(r.x + 10, r.y + r.height, &px, &py)) << "the bottom bar";
        }
    }
    SDL_SetWindowSize(sdl, 800, 600);
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED);
    window.PumpMessages();
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
