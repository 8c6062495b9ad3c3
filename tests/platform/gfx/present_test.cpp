// Present: the manual clock steps once per Present and never sleeps; the real clock is
// paced to the display rate when the swap does not wait for the retrace (always headless).
#include "platform/gfx/device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "platform/clock/clock.h"
#include "platform/gfx/device_impl.h"
#include "support/harness.h"

namespace {

using kt::DeviceTest;
using Clock = std::chrono::steady_clock;

TEST_F(DeviceTest, PresentStepsTheManualClockWithoutSleeping)
{
    device.Present();  // the first Present sets up the window surface: slow, and not measured
    kt::ManualClockScope clock(1000, 16);
    const auto start = Clock::now();
    for (int i = 0; i < 30; ++i) EXPECT_EQ(device.Present(), S_OK);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_EQ(timeGetTime(), 1480u);
    // Paced at 60 Hz the 30 frames would take 500 ms.
    EXPECT_LT(elapsed.count(), 300) << "Present slept under the manual clock";
}

TEST_F(DeviceTest, PresentCapsTheRealPaceWhenTheSwapDoesNotWait)
{
    device.Present();
    const auto start = Clock::now();
    for (int i = 0; i < 6; ++i) device.Present();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    // Six frames at 60 Hz or slower: about 100 ms; a spinning loop takes a few.
    EXPECT_GE(elapsed.count(), 80) << "the headless loop is not paced";
}

TEST_F(DeviceTest, PresentLeavesTheBackBufferForTheNextReadBack)
{
    device.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF123456u, 1.0f, 0);
    kt::ManualClockScope clock;
    device.Present();
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 10, 10, 0xFF123456u, 0));
}

TEST_F(DeviceTest, ShowAgainDrawsNothingYetCountsAsAPacedFrame)
{
    kt::GetWindow().TakeRedrawRequest();  // a window shown anew asks once for its picture
    device.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF123456u, 1.0f, 0);
    device.Present();
    {
        kt::ManualClockScope clock(1000, 16);
        const std::uint64_t before = device.GetChangeCount();
        for (int i = 0; i < 5; ++i) EXPECT_EQ(device.ShowAgain(), S_OK);
        EXPECT_EQ(timeGetTime(), 1080u) << "each is a frame for the stepped clock";
        EXPECT_EQ(device.GetChangeCount(), before) << "nothing was shown anew";
        EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 10, 10, 0xFF123456u, 0));
    }
    const auto start = Clock::now();
    for (int i = 0; i < 6; ++i) device.ShowAgain();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_GE(elapsed.count(), 80) << "a loop of frames that draw nothing must not spin";
}

TEST_F(DeviceTest, TheChangeCountFollowsPresentsAndWrittenPixels)
{
    std::unique_ptr<gfx::Texture> texture;
    std::uint64_t count = device.GetChangeCount();
    ASSERT_EQ(device.CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
    EXPECT_NE(device.GetChangeCount(), count) << "a texture made";
    count = device.GetChangeCount();
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    texture->UnlockRect(0);
    EXPECT_EQ(device.GetChangeCount(), count) << "a texture only read";
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    texture->UnlockRect(0);
    EXPECT_NE(device.GetChangeCount(), count) << "a texture written";
    count = device.GetChangeCount();
    kt::ManualClockScope clock;
    device.Present();
    EXPECT_NE(device.GetChangeCount(), count) << "a picture presented";
    count = device.GetChangeCount();
    texture.reset();
    EXPECT_NE(device.GetChangeCount(), count) << "a texture destroyed";
}

TEST(PresentRect, BarsAndPictureCoverTheDrawableOnceEach)
{
    for (const auto& [width, height] : {std::pair{1920, 1080}, {1000, 1000}, {800, 600}, {1080, 1920}, {801, 600}}) {
        const gfx::PresentRect picture = gfx::LetterboxRect(width, height);
        std::vector<int> covered(static_cast<std::size_t>(width) * height, 0);
        auto cover = [&](const gfx::PresentRect& r) {
            for (int y = r.y; y < r.y + r.height; ++y)
                for (int x = r.x; x < r.x + r.width; ++x) ++covered[static_cast<std::size_t>(y) * width + x];
        };
        cover(picture);
        for (const gfx::PresentRect& bar : gfx::BarsAround(picture, width, height)) cover(bar);
        EXPECT_EQ(std::count(covered.begin(), covered.end(), 1), static_cast<long>(covered.size()))
            << width << " x " << height << ": every pixel is picture or bar, none both";
    }
}

TEST(PresentRect, PictureKeepsItsAspectCentredBetweenBlackBars)
{
    const gfx::PresentRect same = gfx::LetterboxRect(800, 600);
    EXPECT_EQ(same.x, 0);
    EXPECT_EQ(same.width, 800);
    EXPECT_EQ(same.height, 600);
    // A 16:9 desktop: bars left and right.
    const gfx::PresentRect wide = gfx::LetterboxRect(1920, 1080);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);
    // A tall window: bars above and below.
    const gfx::PresentRect tall = gfx::LetterboxRect(1000, 1000);
    EXPECT_EQ(tall.width, 1000);
    EXPECT_EQ(tall.height, 750);
    EXPECT_EQ(tall.y, 125);
    // A minimised window shows nothing.
    EXPECT_EQ(gfx::LetterboxRect(0, 0).width, 0);
}

}  // namespace
