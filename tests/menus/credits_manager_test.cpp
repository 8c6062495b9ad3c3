// The credits scroll against the clock: where line 0 is, how fast it rises, and exactly when
// the last line has gone, with the manual clock.
#include "menus/credits_manager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/error.h"
#include "display/cd3dfont.h"
#include "menus_fixture.h"
#include "platform/clock/clock.h"

namespace {

class CreditsManagerTest : public menus_test::MenusTest {
protected:
    void SetUp() override
    {
        MenusTest::SetUp();
        credits = std::make_unique<CreditsManager>(&plain, &bold, &italic, 0.028f);
    }

    // The game's 88 lines: a bold first line, then plain, italic and blank ones.
    void AddGameLines()
    {
        credits->AddLine("KELVANE", CreditsLine::kBold);
        credits->AddLine("a game by its makers", CreditsLine::kItalic);
        credits->AddSpaceLines(7);
        for (int i = 0; i < 79; ++i) credits->AddLine(i % 3 == 0 ? "" : "Name Surname");
        ASSERT_EQ(credits->get_LineCount(), 88);
    }

    // Rows holding pixels bright enough to belong only to the bright copy of a line.
    static std::pair<int, int> BrightRows(const std::vector<std::uint32_t>& frame)
    {
        int first = -1, last = -1;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if (((kt::PixelAt(frame, x, y) >> 16) & 0xFF) > 100) {
                    if (first < 0) first = y;
                    last = y;
                    break;
                }
        return {first, last};
    }

    CD3DFont italic{"Times New Roman", 15, D3DFONT_ITALIC};
    CD3DFont bold{"Times New Roman", 15, D3DFONT_BOLD};
    CD3DFont plain{"Times New Roman", 15, 0};
    std::unique_ptr<CreditsManager> credits;
};

TEST_F(CreditsManagerTest, LinePitchComesFromThePlainFontAndKindsAreChecked)
{
    SIZE extent{};
    plain.GetTextExtent("TESTLINE", &extent);
    EXPECT_EQ(credits->get_TextHeight(), extent.cy + 5);
    EXPECT_THROW(credits->AddLine("x", 3), Error) << "a fourth kind of line has no font";
}

TEST_F(CreditsManagerTest, LineZeroStartsBelowTheScreenAndRisesTwentyEightPixelsASecond)
{
    AddGameLines();
    kt::ManualClockScope clock(5000);
    credits->Reset();
    ASSERT_EQ(credits->Run(), 0);
    EXPECT_EQ(BrightRows(kt::ReadBack()).first, -1) << "at Reset line 0 is at y = 600, off the screen";

    const int pitch = credits->get_TextHeight();
    for (std::uint32_t elapsed : {1000u, 2000u, 10000u}) {
        platform::SetClock(5000 + elapsed);
        ASSERT_EQ(credits->Run(), 0);
        const int first = BrightRows(kt::ReadBack()).first;
        const int top = 600 - static_cast<int>(std::lround(elapsed * 0.028));
        EXPECT_GE(first, top - 1) << elapsed << " ms after Reset";
        EXPECT_LT(first, top + pitch) << elapsed << " ms after Reset";
    }
}

TEST_F(CreditsManagerTest, EndsWhenTheLastLineHasScrolledAway)
{
    AddGameLines();
    const int pitch = credits->get_TextHeight();
    const int endPixels = (88 + 600 / pitch + 1) * pitch;  // 2380 with a pitch of 20
    kt::ManualClockScope clock(100);
    credits->Reset();
    const auto justBefore = static_cast<std::uint32_t>(std::floor((endPixels - 1) / 0.028f));
    platform::SetClock(100 + justBefore);
    EXPECT_EQ(credits->Run(), 0);
    platform::SetClock(100 + static_cast<std::uint32_t>(std::ceil(endPixels / 0.028f)) + 1);
    EXPECT_EQ(credits->Run(), 1);

    // A very long frame straight from the start still ends them, drawing nothing; Reset
    // starts them again.
    credits->Reset();
    platform::AdvanceClock(3600000);
    device.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
    EXPECT_EQ(credits->Run(), 1);
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, 0xFF336699)) << "no clear, no drawing";
    credits->Reset();
    EXPECT_EQ(credits->Run(), 0);
}

TEST_F(CreditsManagerTest, EscapeOrAClickLeavesTheCreditsAsIfTheyHadEnded)
{
    kt::ManualClockScope clock(1000);
    AddGameLines();
    credits->Reset();
    InputFrame();
    EXPECT_EQ(credits->Run(), 0) << "the credits scroll while the player does nothing";

    Click();
    InputFrame();
    EXPECT_EQ(credits->Run(), 0) << "without the player's input the credits run to their end";

    credits->SetPlayerInput(&mouse, &keys);
    credits->Reset();
    Click();
    InputFrame();
    EXPECT_EQ(credits->Run(), 1) << "a click ends the credits";

    credits->Reset();
    InputFrame();
    EXPECT_EQ(credits->Run(), 0) << "the click was taken once";
    Hold(platform::DIK_ESCAPE);
    InputFrame();
    Release(platform::DIK_ESCAPE);
    EXPECT_EQ(credits->Run(), 1) << "Escape ends the credits";
}

}  // namespace
