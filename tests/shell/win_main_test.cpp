#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "core/error.h"
#include "display/d3dfunc.h"
#include "platform/clock/clock.h"
#include "platform/gfx/device.h"
#include "platform/window/window.h"
#include "shell/win_main.h"

namespace {

constexpr std::uint32_t kTextColour = 0xFFEDB469;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kErrorRed = 0xFFC80000;

// How many pixels of a row band [top, bottom) are (nearly) the given colour.
int CountColour(const std::vector<std::uint32_t>& pixels, int top, int bottom, std::uint32_t colour)
{
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < 800; ++x) {
            const std::uint32_t p = pixels[static_cast<size_t>(y) * 800 + x];
            auto near = [](std::uint32_t a, std::uint32_t b, int shift) {
                return std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) <= 8;
            };
            if (near(p, colour, 16) && near(p, colour, 8) && near(p, colour, 0)) ++count;
        }
    }
    return count;
}

class WinMainTest : public ::testing::Test {
protected:
    void SetUp() override { platform::UseManualClock(1000); }
    void TearDown() override { platform::UseRealClock(); }
};

}  // namespace

TEST_F(WinMainTest, ShowsTheLoadingBannerThenRunsTheLoopUntilTheFrameStepEnds)
{
    std::vector<std::uint32_t> firstFrame;
    int frames = 0;
    const int result = WinMain([&] {
        GameAssembly game;
        game.hooks.frameStep = [&] {
            if (frames++ == 0) firstFrame = D3Dfunc::pD3Ddevice->ReadBackBuffer();
            return frames < 3;
        };
        return game;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(frames, 3);
    ASSERT_EQ(firstFrame.size(), 800u * 600u);
    // The three banner lines sit just above and at y 300, centred, in the game's text colour.
    EXPECT_GT(CountColour(firstFrame, 250, 320, kTextColour), 40);
    EXPECT_EQ(CountColour(firstFrame, 0, 200, kTextColour), 0);
    EXPECT_EQ(CountColour(firstFrame, 330, 600, kTextColour), 0);
}

TEST_F(WinMainTest, EachRunDrawsAnotherRandomSetUpWhateverTheGameClockReads)
{
    // Both runs start with the game's clock at the same reading, as every real start does.
    auto firstDraws = [] {
        platform::SetClock(1000);
        std::vector<int> draws;
        WinMain([&] {
            for (int i = 0; i < 8; ++i) draws.push_back(std::rand() % 8);  // like the cabinet's wheels
            GameAssembly game;
            game.hooks.frameStep = [] { return false; };
            return game;
        });
        return draws;
    };
    const std::vector<int> one = firstDraws();
    const std::vector<int> two = firstDraws();
    EXPECT_NE(one, two) << "two runs gave the same random set-up";
}

TEST_F(WinMainTest, AnErrorEndsOnTheFatalScreenWithMessageAndInformationUntilQ)
{
    platform::InjectAsyncKey('Q', true);  // pressed before the wait starts: ends it at once
    platform::InjectAsyncKey('Q', false);
    const int result = WinMain([]() -> GameAssembly {
        FailSafe::SetInfo("data/some_picture.enc");
        throw Error("Error opening file (in memory) in CreateTextureFromEncrypted()");
    });
    EXPECT_EQ(result, 0);
    // Nothing is released on the fatal path: the screen is still in the back buffer.
    const std::vector<std::uint32_t> frame = D3Dfunc::pD3Ddevice->ReadBackBuffer();
    EXPECT_GT(CountColour(frame, 10, 28, kYellow), 20) << "title line";
    EXPECT_GT(CountColour(frame, 70, 88, kErrorRed), 20) << "the error's message";
    EXPECT_GT(CountColour(frame, 110, 128, kErrorRed), 20) << "FailSafe::Info";
    EXPECT_GT(CountColour(frame, 130, 148, kErrorRed), 20) << "Press 'Q' to quit.";
    FailSafe::Info = L"None.";
}

TEST_F(WinMainTest, AFailureWithoutMessageShowsTheShortForm)
{
    platform::InjectAsyncKey('Q', true);
    platform::InjectAsyncKey('Q', false);
    WinMain([]() -> GameAssembly { throw 42; });
    const std::vector<std::uint32_t> frame = D3Dfunc::pD3Ddevice->ReadBackBuffer();
    EXPECT_GT(CountColour(frame, 50, 68, kErrorRed), 20) << "could not be retrieved";
    EXPECT_GT(CountColour(frame, 90, 108, kErrorRed), 20) << "Press 'Q' to quit.";
    EXPECT_EQ(CountColour(frame, 115, 148, kErrorRed), 0) << "no information lines";
}

TEST_F(WinMainTest, FurtherLinesOfAMessageAreListedBelowTheQLine)
{
    platform::InjectAsyncKey('Q', true);
    platform::InjectAsyncKey('Q', false);
    WinMain([]() -> GameAssembly {
        FailSafe::SetInfo("Run ./play in a checkout, or install the kelvane package.");
        throw Error("The game's data was not found.\nLooked in: /home/someone/data\nLooked in: /usr/share/kelvane");
    });
    const std::vector<std::uint32_t> frame = D3Dfunc::pD3Ddevice->ReadBackBuffer();
    EXPECT_GT(CountColour(frame, 70, 88, kErrorRed), 20) << "the first line as the error";
    EXPECT_GT(CountColour(frame, 170, 188, kErrorRed), 20) << "the second line";
    EXPECT_GT(CountColour(frame, 190, 208, kErrorRed), 20) << "the third line";
    EXPECT_EQ(CountColour(frame, 210, 600, kErrorRed), 0) << "nothing after the last line";
    FailSafe::Info = L"None.";
}

TEST_F(WinMainTest, ALongCauseIsShownWholeWrappedToTheScreensWidth)
{
    platform::InjectAsyncKey('Q', true);
    platform::InjectAsyncKey('Q', false);
    WinMain([]() -> GameAssembly {
        FailSafe::SetInfo("data/menu/background.enc: corrupt JPEG data: 1423 extraneous bytes before marker 0xd3; "
                          "the picture was written by a tool that stopped half way, so its scan runs into the next "
                          "segment and what follows cannot be read");
        throw Error("Error opening file (in memory) in CreateTextureFromEncrypted()");
    });
    const std::vector<std::uint32_t> frame = D3Dfunc::pD3Ddevice->ReadBackBuffer();
    // The information's lines and the Q line below them, a line height apart, then nothing.
    int lines = 0;
    while (CountColour(frame, 110 + 20 * lines, 128 + 20 * lines, kErrorRed) > 20) ++lines;
    EXPECT_GE(lines, 3) << "the information in two lines or more, and the Q line";
    EXPECT_EQ(CountColour(frame, 111 + 20 * lines, 600, kErrorRed), 0) << "nothing after the Q line";
    int beyondRight = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 792; x < 800; ++x) beyondRight += frame[static_cast<std::size_t>(y) * 800 + x] != 0xFF000000u;
    EXPECT_EQ(beyondRight, 0) << "every line within the screen's width";
    FailSafe::Info = L"None.";
}

TEST(CommandLine, KnowsWindowedHelpAndVersionAndIgnoresEverythingElse)
{
    const char* plain[] = {"kelvane"};
    const LaunchOptions none = ParseCommandLine(1, plain);
    EXPECT_FALSE(none.windowed || none.help || none.version);

    const char* several[] = {"kelvane", "--windowed", "-psn_0_1234", "--fullscreen", "save.sav", "--version"};
    const LaunchOptions chosen = ParseCommandLine(6, several);
    EXPECT_TRUE(chosen.windowed);
    EXPECT_TRUE(chosen.version);
    EXPECT_FALSE(chosen.help);

    const char* help[] = {"kelvane", "--help"};
    EXPECT_TRUE(ParseCommandLine(2, help).help);
    const char* unknown[] = {"kelvane", "--windowedx", "--HELP"};
    const LaunchOptions ignored = ParseCommandLine(3, unknown);
    EXPECT_FALSE(ignored.windowed || ignored.help || ignored.version);
}
