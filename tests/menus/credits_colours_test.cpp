// The credits' amber: how the brightness flickers from frame to frame, the bright copy's
// colour following it, and the two dim copies jittering at most ten pixels away.
#include "menus/credits_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "display/cd3dfont.h"
#include "menus_fixture.h"
#include "platform/clock/clock.h"

namespace {

constexpr int kAmber[3] = {237, 180, 105};  // red, green, blue

struct Bounds {
    int left = 800, top = 600, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
    void Add(int x, int y)
    {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
};

class CreditsColoursTest : public menus_test::MenusTest {
protected:
    void SetUp() override
    {
        MenusTest::SetUp();
        credits = std::make_unique<CreditsManager>(&plain, &bold, &italic, 0.028f);
        credits->AddLine("MMMM", CreditsLine::kBold);
    }

    // One frame with line 0 at mid-screen (the scroll depends on the clock only).
    std::vector<std::uint32_t> Frame()
    {
        platform::SetClock(1000 + static_cast<std::uint32_t>(300 / 0.028f));
        EXPECT_EQ(credits->Run(), 0);
        return kt::ReadBack();
    }

    CD3DFont italic{"Times New Roman", 15, D3DFONT_ITALIC};
    CD3DFont bold{"Times New Roman", 15, D3DFONT_BOLD};
    CD3DFont plain{"Times New Roman", 15, 0};
    kt::ManualClockScope clock{1000};
    std::unique_ptr<CreditsManager> credits;
};

}  // namespace

TEST_F(CreditsColoursTest, BrightnessFallsEachFrameAndJumpsWithinItsBand)
{
    std::srand(11);
    credits->Reset();
    float m = credits->get_ColourMult();
    EXPECT_FLOAT_EQ(m, 1.0f);
    int jumps = 0;
    for (int frame = 0; frame < 250; ++frame) {
        credits->Run();
        const float next = credits->get_ColourMult();
        const float step = next - m;
        if (step > 0.0f) {
            EXPECT_NEAR(step, 0.09f, 1e-4f) << "a jump of 0.1 less the fall";
            EXPECT_LT(m, 1.2f) << "never a jump from 1.2 or above";
            ++jumps;
        } else {
            EXPECT_NEAR(step, -0.01f, 1e-4f);
            EXPECT_GE(m, 0.5f) << "below 0.5 it always jumps";
        }
        EXPECT_GT(next, 0.48f);
        EXPECT_LT(next, 1.30f);
        m = next;
    }
    EXPECT_GT(jumps, 12) << "about one frame in ten, and every frame below 0.5";
}

TEST_F(CreditsColoursTest, TheBrightCopyIsAmberTimesTheBrightnessAndTheDimCopiesStayClose)
{
    std::srand(5);
    credits->Reset();
    Bounds brightText;
    bool sawDisplacedCopy = false;
    for (int frame = 0; frame < 60; ++frame) {
        const std::vector<std::uint32_t> pixels = Frame();
        const float m = credits->get_ColourMult();
        // The brightest channel values on the screen are the bright copy's solid glyph cores.
        int peak[3] = {0, 0, 0};
        Bounds bright, any;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                const std::uint32_t p = kt::PixelAt(pixels, x, y);
                const int c[3] = {int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)};
                for (int i = 0; i < 3; ++i) peak[i] = std::max(peak[i], c[i]);
                if (c[0] + c[1] + c[2] > 0) any.Add(x, y);
            }
        for (int i = 0; i < 3; ++i) {
            const int expected = std::min(255, static_cast<int>(kAmber[i] * m));
            EXPECT_NEAR(peak[i], expected, 3) << "channel " << i << " at brightness " << m << ", frame " << frame;
        }
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                const std::uint32_t p = kt::PixelAt(pixels, x, y);
                if (int((p >> 8) & 0xFF) > peak[1] / 2) bright.Add(x, y);
            }
        ASSERT_FALSE(bright.Empty());
        if (frame == 0) brightText = bright;
        EXPECT_EQ(bright.left, brightText.left) << "the bright copy does not move";
        EXPECT_EQ(bright.top, brightText.top);
        // Everything drawn lies within the jitter's reach (-10 .. 9) of the bright copy.
        EXPECT_GE(any.left, bright.left - 11);
        EXPECT_LE(any.right, bright.right + 10);
        EXPECT_GE(any.top, bright.top - 11);
        EXPECT_LE(any.bottom, bright.bottom + 10);
        if (any.left < bright.left - 1 || any.top < bright.top - 1 || any.right > bright.right + 1 ||
            any.bottom > bright.bottom + 1)
            sawDisplacedCopy = true;
    }
    EXPECT_TRUE(sawDisplacedCopy) << "the dim copies jitter out from under the bright one";
}
