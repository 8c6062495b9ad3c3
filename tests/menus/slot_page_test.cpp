// The save page's slot list as the player sees it: the white slot numbers, which texts are
// white and which grey, and the blinking caret behind the title being typed.
#include "menus/save_manager.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "menus_fixture.h"
#include "platform/clock/clock.h"

namespace {

// Lit pixels in [left, right) x [top, bottom) and the brightest channel among them.
struct Ink {
    int count = 0;
    int brightest = 0;
};

Ink InkIn(const std::vector<std::uint32_t>& frame, int left, int top, int right, int bottom)
{
    Ink ink;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const std::uint32_t c = kt::PixelAt(frame, x, y) & 0xFFFFFF;
            if (c == 0) continue;
            ++ink.count;
            ink.brightest = std::max({ink.brightest, int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF)});
        }
    return ink;
}

class SlotPageTest : public menus_test::MenusTest {
protected:
    void SetUp() override
    {
        MenusTest::SetUp();
        world = MakeWorld({{1, 5}});
        saves = std::make_unique<SaveManager>(world.get(), &keys);
    }
    std::vector<std::uint32_t> SaveFrame()
    {
        InputFrame();
        device.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device.BeginScene();
        saves->RunSave(&mouse);
        device.EndScene();
        return kt::ReadBack();
    }
    // The text of slot s (1 .. 16), or its number label.
    static Ink SlotText(const std::vector<std::uint32_t>& frame, int slot, int from = 100, int to = 390)
    {
        const int x0 = 400 * ((slot - 1) / 8), y0 = 50 * ((slot - 1) % 8);
        return InkIn(frame, x0 + from, y0 + 133, x0 + to, y0 + 158);
    }
    static Ink SlotLabel(const std::vector<std::uint32_t>& frame, int slot) { return SlotText(frame, slot, 58, 98); }

    kt::ManualClockScope clock{1000};
    std::unique_ptr<WorldManager> world;
    std::unique_ptr<SaveManager> saves;
};

}  // namespace

TEST_F(SlotPageTest, NumbersAreWhiteEmptySlotsWhiteAndUsedTitlesGrey)
{
    ASSERT_TRUE(saves->SaveGame(5, "Harbour"));
    MoveTo(10, 10);
    const auto frame = SaveFrame();
    for (int slot = 1; slot <= 16; ++slot) {
        const Ink label = SlotLabel(frame, slot);
        EXPECT_GT(label.count, 10) << "slot " << slot << "'s number";
        EXPECT_GT(label.brightest, 240) << "slot " << slot << "'s number is white";
        const Ink text = SlotText(frame, slot);
        EXPECT_GT(text.count, 10) << "slot " << slot;
        if (slot == 5) {
            EXPECT_NEAR(text.brightest, 0x80, 8) << "a used slot's title is grey away from the pointer";
        } else {
            EXPECT_GT(text.brightest, 240) << "\"(empty)\" is white on the save page";
        }
    }
}

TEST_F(SlotPageTest, TheCaretBlinksBehindTheTitleWhileOtherSlotsTurnGrey)
{
    ASSERT_TRUE(saves->SaveGame(3, "Tide"));
    const int x = 200, y = 145;  // slot 1
    MoveTo(x, y);
    menus_test::MenusTest::Click();
    SaveFrame();
    ASSERT_EQ(saves->get_Edit(), 1);
    MoveTo(10, 10);

    // The edit buffer is empty: the caret stands at the text's start, x 100.
    platform::SetClock(5000);  // 5000 mod 500 = 0: on
    const auto on = SaveFrame();
    platform::SetClock(5299);
    const auto stillOn = SaveFrame();
    platform::SetClock(5300);  // off for 200 ms
    const auto off = SaveFrame();
    const Ink caretOn = SlotText(on, 1, 98, 108);
    EXPECT_GT(caretOn.count, 5) << "the caret at the start of an empty title";
    EXPECT_GT(caretOn.brightest, 0x80 + 40) << "drawn white (a thin stroke: brighter than grey, not full)";
    EXPECT_EQ(SlotText(stillOn, 1, 98, 108).count, caretOn.count);
    EXPECT_EQ(SlotText(off, 1).count, 0) << "nothing in the slot while the caret is off";

    EXPECT_NEAR(SlotText(on, 3).brightest, 0x80, 8) << "a used slot is grey while another is edited";
    EXPECT_NEAR(SlotText(on, 2).brightest, 0x80, 8) << "so is \"(empty)\"";
}
