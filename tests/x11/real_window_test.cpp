// The real game executable on a real X server (Xvfb): what the X server shows at every screen
// size and aspect, with and without a window manager, compared with the game's own frames, and
// the pointer and keys driven through XTest as a player's would be.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <tuple>

#include "display/d3dfunc.h"
#include "platform/gfx/device.h"
#include "shell/win_main.h"
#include "x11/x_display.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPictureWidth = 800;
constexpr int kPictureHeight = 600;
// The X server's picture and the game's frame, scaled, are the same picture.
constexpr double kSamePicture = 0.9;
constexpr int kStartTimeoutMs = 20000;
// How long a test waits for a state it asked for (a window size, a page after a click): a busy
// machine takes seconds where an idle one takes milliseconds, so the tests poll for the state
// rather than sleep a fixed time.
constexpr auto kStateTimeout = std::chrono::seconds(25);
constexpr int kStatePollMs = 20;
// Mean brightness (0..255) of the main menu's New Game button above which the menu shows.
// The menu's veil lifts slowly from black; below this its picture is too dark to compare.
constexpr double kMenuLit = 6.0;
// Above this the menu has replaced the banner, which is black there.
constexpr double kMenuBegun = 1.0;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Where the whole 800 x 600 picture belongs in a window's inside: as large as fits with its
// aspect kept, centred.
kx::Area ExpectedPicture(const kx::Area& window)
{
    const double scale = std::min(static_cast<double>(window.width) / kPictureWidth,
                                  static_cast<double>(window.height) / kPictureHeight);
    const int width = static_cast<int>(std::lround(kPictureWidth * scale));
    const int height = static_cast<int>(std::lround(kPictureHeight * scale));
    return kx::Area{window.x + (window.width - width) / 2, window.y + (window.height - height) / 2, width, height};
}

kx::Area Grown(const kx::Area& area, int by)
{
    return kx::Area{area.x - by, area.y - by, area.width + 2 * by, area.height + 2 * by};
}

// The window pixel showing the picture's pixel (x, y).
void PictureToRoot(const kx::Area& picture, int x, int y, int* rootX, int* rootY)
{
    *rootX = picture.x + static_cast<int>((x + 0.5) * picture.width / kPictureWidth);
    *rootY = picture.y + static_cast<int>((y + 0.5) * picture.height / kPictureHeight);
}

double MeanBrightness(const kx::Photo& frame, int left, int top, int right, int bottom)
{
    double sum = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const std::uint32_t p = frame.At(x, y);
            sum += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
        }
    }
    return sum / (3.0 * (right - left) * (bottom - top));
}

// MeanBrightness of a frame-pixel rectangle in a photograph of the whole picture.
double MeanBrightnessInPicture(const kx::Photo& picture, int left, int top, int right, int bottom)
{
    const auto scaleX = [&](int x) { return x * picture.width / kPictureWidth; };
    const auto scaleY = [&](int y) { return y * picture.height / kPictureHeight; };
    return MeanBrightness(picture, scaleX(left), scaleY(top), scaleX(right), scaleY(bottom));
}

// The correlation of two of the game's frames.
double Alike(const kx::Photo& a, const kx::Photo& b)
{
    return kx::Compare(a, kx::Area{0, 0, a.width, a.height}, b).correlation;
}

// The game under test on its own X server.
class RealGame {
public:
    RealGame(const kx::XDisplay& display, bool withData)
        : c_display(display), c_game(display, withData ? std::filesystem::path(KELVANE_TEST_GAME_DATA) : "")
    {
    }

    // The game window's inside, once it is mapped; fails the test when it never is.
    std::optional<kx::Area> WaitForWindow()
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
        while (Clock::now() < deadline) {
            if (const auto window = c_display.FindWindow("Kelvane")) {
                c_window = *window;
                return c_display.Geometry(*window);
            }
            if (!c_game.IsRunning()) break;
            SleepMs(5);
        }
        ADD_FAILURE() << "the game window never appeared; the game said:\n" << c_game.StandardError();
        return std::nullopt;
    }

    unsigned long Window() const { return c_window; }
    kx::Area Inside() const { return c_display.Geometry(c_window); }

    // Polls the window's inside, as the X server has it, until `wanted` holds for it (or
    // kStateTimeout passes); the last inside seen.
    kx::Area WaitForInside(const std::function<bool(const kx::Area&)>& wanted)
    {
        const auto deadline = Clock::now() + kStateTimeout;
        kx::Area inside = Inside();
        while (!wanted(inside) && Clock::now() < deadline && c_game.IsRunning()) {
            SleepMs(kStatePollMs);
            inside = Inside();
        }
        return inside;
    }

    // Asks for a new window size, as a player's drag does, until the window has it (or
    // kStateTimeout passes); the last inside seen. The request is made again now and then: one
    // that crosses the game's own change of the window (leaving full screen) may be undone by it.
    kx::Area ResizeTo(int width, int height)
    {
        constexpr auto kAskAgain = std::chrono::seconds(2);
        const auto deadline = Clock::now() + kStateTimeout;
        Clock::time_point asked{};
        kx::Area inside = Inside();
        while (!(inside.width == width && inside.height == height) && Clock::now() < deadline && c_game.IsRunning()) {
            if (Clock::now() - asked >= kAskAgain) {
                c_display.Resize(c_window, width, height);
                asked = Clock::now();
            }
            SleepMs(kStatePollMs);
            inside = Inside();
        }
        return inside;
    }

    // F12, and the back buffer the game saved for it. Pressed again while unanswered: a key
    // pressed before the game's window has the focus goes elsewhere.
    std::optional<kx::Photo> Screenshot()
    {
        const std::size_t before = c_game.StandardError().size();
        const auto deadline = Clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
        while (Clock::now() < deadline && c_game.IsRunning()) {
            c_display.PressKey("F12");
            if (const auto file = c_game.WaitForOutput("screenshot saved as ", 1000, before)) return kx::ReadPng(*file);
        }
        ADD_FAILURE() << "F12 saved no screenshot; the game said:\n" << c_game.StandardError();
        return std::nullopt;
    }

    // Screenshots until one is `wanted` and has settled (the one before it is the same
    // picture: a page passes through black, which is alike to nothing), or kStateTimeout
    // passes; the last one.
    std::optional<kx::Photo> WaitForScreenshot(const std::function<bool(const kx::Photo&)>& wanted)
    {
        const auto deadline = Clock::now() + kStateTimeout;
        std::optional<kx::Photo> previous;
        for (;;) {
            auto shot = Screenshot();
            if (!shot || Clock::now() >= deadline) return shot;
            if (wanted(*shot) && previous && Alike(*previous, *shot) >= kSamePicture) return shot;
            previous = std::move(shot);
            SleepMs(kStatePollMs);
        }
    }

    // Screenshots until the main menu shows (its New Game button, black on the banner, is
    // lit, the menu's veil lifted far enough for its picture to be compared); the last one.
    std::optional<kx::Photo> WaitForMenu()
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
        while (Clock::now() < deadline) {
            auto shot = Screenshot();
            if (!shot) return std::nullopt;
            if (MeanBrightness(*shot, 520, 210, 720, 256) > kMenuLit) return shot;
            SleepMs(100);
        }
        ADD_FAILURE() << "the main menu never showed";
        return std::nullopt;
    }

    // Photographs the screen until the picture inside the window matches `frame` (or
    // kStateTimeout passes) and checks it, and that the bars around it in the window are black.
    void ExpectShows(const kx::Photo& frame, const std::string& what)
    {
        const kx::Area inside = Inside();
        const kx::Area picture = ExpectedPicture(inside);
        kx::Likeness likeness;
        kx::Photo photo;
        const auto deadline = Clock::now() + kStateTimeout;
        do {
            photo = c_display.Photograph();
            likeness = kx::Compare(photo, picture, frame);
            if (likeness.correlation >= kSamePicture) break;
            SleepMs(30);
        } while (Clock::now() < deadline);
        EXPECT_GE(likeness.correlation, kSamePicture)
            << what << ": the X server does not show the game's frame in the window's " << inside.width << " x "
            << inside.height << " at the picture's place " << picture.width << " x " << picture.height << " +"
            << picture.x << "+" << picture.y << " (mean difference " << likeness.meanDifference << ")";
        EXPECT_EQ(kx::LitPixelsOutside(photo, inside, Grown(picture, 1)), 0u) << what << ": the bars are not black";
        c_lastPhoto = std::move(photo);
    }

    const kx::Photo& LastPhoto() const { return c_lastPhoto; }

    // Moves the pointer to the picture's pixel (x, y) and clicks.
    void ClickPicture(int x, int y)
    {
        int rootX = 0, rootY = 0;
        PictureToRoot(ExpectedPicture(Inside()), x, y, &rootX, &rootY);
        c_display.MovePointer(rootX, rootY);
        SleepMs(60);
        c_display.Click();
    }

    kx::GameProcess& Process() { return c_game; }

private:
    const kx::XDisplay& c_display;
    kx::GameProcess c_game;
    unsigned long c_window = 0;
    kx::Photo c_lastPhoto;
};

// The loading banner exactly as the game draws it, from the headless harness.
kx::Photo HarnessLoadingBanner()
{
    kx::Photo banner;
    WinMain([&banner]() -> GameAssembly {
        banner.width = kPictureWidth;
        banner.height = kPictureHeight;
        banner.pixels = D3Dfunc::pD3Ddevice->ReadBackBuffer();
        GameAssembly game;
        game.hooks.frameStep = [] { return false; };
        return game;
    });
    return banner;
}

class RealScreen : public ::testing::TestWithParam<std::tuple<std::pair<int, int>, bool>> {
protected:
    void SetUp() override
    {
        if (!kx::HaveXvfb()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
    }
    int Width() const { return std::get<0>(GetParam()).first; }
    int Height() const { return std::get<0>(GetParam()).second; }
    bool WithWindowManager() const { return std::get<1>(GetParam()); }
};

// From the first frame to the last: the loading banner and the main menu of a game that
// starts, then the fatal-error screen of one that cannot (no data/), on the same screen.
TEST_P(RealScreen, EveryScreenFromLoadingBannerToFatalErrorShowsWhole)
{
    kx::XDisplay display(Width(), Height(), WithWindowManager());
    ASSERT_TRUE(display.IsOpen());
    {
        const kx::Photo banner = HarnessLoadingBanner();
        RealGame game(display, true);
        const auto inside = game.WaitForWindow();
        ASSERT_TRUE(inside);

        // The banner stays only while the game starts: watch for it until the menu comes.
        bool bannerSeen = false;
        double best = 0.0;
        const auto deadline = Clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
        while (!bannerSeen && Clock::now() < deadline && game.Process().IsRunning()) {
            const kx::Area picture = ExpectedPicture(game.Inside());
            const kx::Photo photo = display.Photograph(&picture);
            const kx::Likeness likeness = kx::Compare(photo, kx::Area{0, 0, picture.width, picture.height}, banner);
            best = std::max(best, likeness.correlation);
            bannerSeen = likeness.correlation >= kSamePicture;
            if (MeanBrightnessInPicture(photo, 520, 210, 720, 256) > kMenuBegun) break;
        }
        EXPECT_TRUE(bannerSeen) << "the loading banner was never shown whole (best correlation " << best << ")";

        const auto menu = game.WaitForMenu();
        ASSERT_TRUE(menu);
        game.ExpectShows(*menu, "the main menu");
    }
    {
        RealGame game(display, false);  // no data/: the first picture the game reads fails
        ASSERT_TRUE(game.WaitForWindow());
        ASSERT_TRUE(game.Process().WaitForOutput("Kelvane error: ", kStartTimeoutMs)) << game.Process().StandardError();
        const auto frame = game.Screenshot();  // the waiting screen presents again for it
        ASSERT_TRUE(frame);
        game.ExpectShows(*frame, "the fatal-error screen");

        // Each of its seven lines (20 pixels apart from y 10) is lit on the X server's screen.
        const kx::Area picture = ExpectedPicture(game.Inside());
        const kx::Photo& photo = game.LastPhoto();
        for (int line = 0; line < 7; ++line) {
            const int top = 10 + 20 * line;
            int lit = 0;
            for (int y = top + 2; y < top + 16; ++y) {
                for (int x = 10; x < 400; ++x) {
                    int rootX = 0, rootY = 0;
                    PictureToRoot(picture, x, y, &rootX, &rootY);
                    if ((photo.At(rootX, rootY) & 0xFFFFFF) != 0) ++lit;
                }
            }
            EXPECT_GT(lit, 40) << "line " << line + 1 << " of the fatal-error screen is not shown";
        }
    }
}

std::string ScreenName(const ::testing::TestParamInfo<RealScreen::ParamType>& info)
{
    const std::pair<int, int> size = std::get<0>(info.param);
    return std::to_string(size.first) + "x" + std::to_string(size.second) +
           (std::get<1>(info.param) ? "_WithWindowManager" : "_WithoutWindowManager");
}

INSTANTIATE_TEST_SUITE_P(Screens, RealScreen,
                         ::testing::Combine(::testing::Values(std::make_pair(800, 600), std::make_pair(1024, 768),
                                                              std::make_pair(1920, 1080), std::make_pair(2560, 1080),
                                                              std::make_pair(1080, 1920)),
                                            ::testing::Bool()),
                         ScreenName);

class RealInput : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (!kx::HaveXvfb()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
    }
};

TEST(RealFullScreen, NewGameClickedStartsTheOpening)
{
    if (!kx::HaveXvfb()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
    kx::XDisplay display(1920, 1080, false);
    ASSERT_TRUE(display.IsOpen());
    RealGame game(display, true);
    ASSERT_TRUE(game.WaitForWindow());
    const auto menu = game.WaitForMenu();
    ASSERT_TRUE(menu);

    // Full screen takes the pointer relatively, as the game has always had it: one count is
    // one picture pixel, from the centre where the game puts its pointer at start.
    display.MovePointerBy(619 - 400, 233 - 300);
    SleepMs(100);
    display.Click();
    const auto opening = game.WaitForScreenshot([&](const kx::Photo& shot) { return Alike(shot, *menu) < kSamePicture; });
    ASSERT_TRUE(opening);
    EXPECT_LT(Alike(*opening, *menu), kSamePicture) << "still on the main menu after New Game";
    game.ExpectShows(*opening, "the opening");
}

TEST_P(RealInput, AltEnterSwitchesModesAndAResizedWindowTakesClicksOnItsButtonsNotOnItsBars)
{
    kx::XDisplay display(1920, 1080, GetParam());
    ASSERT_TRUE(display.IsOpen());
    RealGame game(display, true);
    ASSERT_TRUE(game.WaitForWindow());
    const auto menu = game.WaitForMenu();
    ASSERT_TRUE(menu);

    const auto windowed = [](const kx::Area& inside) { return inside.width < 1920; };
    const auto fullScreen = [](const kx::Area& inside) { return inside.width == 1920 && inside.height == 1080; };
    display.PressKey("Return", true);
    kx::Area inside = game.WaitForInside(windowed);
    EXPECT_LT(inside.width, 1920) << "Alt+Enter left the game in full screen";
    game.ExpectShows(*game.Screenshot(), "the menu in a window");

    display.PressKey("Return", true);
    inside = game.WaitForInside(fullScreen);
    EXPECT_EQ(inside.width, 1920) << "Alt+Enter did not return to full screen";
    EXPECT_EQ(inside.height, 1080);
    game.ExpectShows(*game.Screenshot(), "the menu back in full screen");

    // A window resized to a wide shape: the menu's Credits button, then the credits page's
    // back button, clicked where they now are.
    display.PressKey("Return", true);
    ASSERT_TRUE(windowed(game.WaitForInside(windowed))) << "Alt+Enter left the game in full screen";
    inside = game.ResizeTo(1000, 500);
    EXPECT_EQ(inside.width, 1000);
    EXPECT_EQ(inside.height, 500);
    game.ExpectShows(*game.Screenshot(), "the menu in a resized window");

    game.ClickPicture(623, 403);  // Credits
    const auto credits = game.WaitForScreenshot([&](const kx::Photo& shot) { return Alike(shot, *menu) < kSamePicture; });
    ASSERT_TRUE(credits);
    EXPECT_LT(Alike(*credits, *menu), kSamePicture) << "the Credits button did not open its page";
    game.ExpectShows(*credits, "the credits page in a resized window");

    game.ClickPicture(552, 504);  // the credits page's back button
    const auto back = game.WaitForScreenshot([&](const kx::Photo& shot) { return Alike(shot, *menu) >= kSamePicture; });
    ASSERT_TRUE(back);
    EXPECT_GE(Alike(*back, *menu), kSamePicture) << "the back button did not return to the menu";

    // A tall window, bars above and below: on the restore page a click on the bar right under
    // its Back button (which reaches down to the picture's bottom edge) does nothing, where a
    // release let through would land on the edge, inside the button, and go back.
    display.Resize(game.Window(), 600, 900);
    SleepMs(400);
    inside = game.Inside();
    ASSERT_EQ(inside.width, 600);
    ASSERT_EQ(inside.height, 900);
    game.ClickPicture(622, 325);  // Restore
    SleepMs(400);
    const auto restore = game.Screenshot();
    ASSERT_TRUE(restore);
    ASSERT_LT(Alike(*restore, *menu), kSamePicture) << "the Restore button did not open its page";

    const kx::Area picture = ExpectedPicture(inside);
    const int pictureBottom = picture.y + picture.height;
    ASSERT_GT(inside.y + inside.height - pictureBottom, 20) << "no bar under the picture";
    int underBack = 0, onBack = 0;
    PictureToRoot(picture, 75, 575, &underBack, &onBack);
    display.MovePointer(underBack, (pictureBottom + inside.y + inside.height) / 2);
    SleepMs(60);
    display.Click();
    SleepMs(400);
    const auto afterBars = game.Screenshot();
    ASSERT_TRUE(afterBars);
    EXPECT_GE(Alike(*afterBars, *restore), kSamePicture) << "a click on the bar under Back left the restore page";
    EXPECT_LT(Alike(*afterBars, *menu), kSamePicture) << "a click on the bar under Back went back to the menu";

    game.ClickPicture(75, 575);  // Back itself
    SleepMs(400);
    const auto backAgain = game.Screenshot();
    ASSERT_TRUE(backAgain);
    EXPECT_GE(Alike(*backAgain, *menu), kSamePicture) << "the restore page's Back did not return to the menu";
}

INSTANTIATE_TEST_SUITE_P(Desktops, RealInput, ::testing::Bool(), [](const auto& info) {
    return info.param ? std::string("WithWindowManager") : std::string("WithoutWindowManager");
});

}  // namespace
