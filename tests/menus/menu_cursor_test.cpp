// The menu's cursor: the highlighted cursor over each page's active buttons (strictly inside
// them), the normal cursor everywhere else. The veil darkens the cursor too, so the two are
// told apart by their hue.
#include "menus/menu_manager.h"

#include <gtest/gtest.h>

#include <memory>

#include "display/cursor.h"
#include "menus/save_manager.h"
#include "menus_fixture.h"
#include "platform/clock/clock.h"

namespace {

using menus_test::kOffset;
using menus_test::WriteSolidImage;

constexpr std::uint32_t kOverButton = 0xFFFFFF00;  // yellow: the highlighted cursor
constexpr std::uint32_t kElsewhere = 0xFFFF00FF;   // magenta: the normal cursor

class MenuCursorTest : public menus_test::MenusTest {
protected:
    void SetUp() override
    {
        MenusTest::SetUp();
        for (const char* page : {"background", "restore", "save", "credits"})
            WriteSolidImage(std::string("data/menu/") + page + ".enc", 64, 64, 0xFF202020);
        WriteSolidImage("data/cursor/active.enc", 32, 32, kOverButton);
        WriteSolidImage("data/cursor/normal.enc", 32, 32, kElsewhere);
        WriteSolidImage("data/cursor/alpha.enc", 32, 32, 0xFFFFFFFF);
        cursor.OpenImageFile("data/cursor/active.enc", "data/cursor/alpha.enc", 20, 20, 0, 0, kOffset);
        cursorLight.OpenImageFile("data/cursor/normal.enc", "data/cursor/alpha.enc", 20, 20, 0, 0, kOffset);
        world = MakeWorld({{1, 5}});
        saves = std::make_unique<SaveManager>(world.get(), &keys);
        menu = std::make_unique<MenuManager>(&cursor, &cursorLight, &mouse, &music, saves.get(), kOffset);
        menu->Load();
    }
    // The colour under the cursor after a frame with the pointer at (x, y).
    std::uint32_t CursorAt(int x, int y)
    {
        MoveTo(x, y);
        menu->Run();
        return kt::PixelAt(kt::ReadBack(), x + 10, y + 10);
    }
    // Yellow has as much green as red and no blue; magenta the other way round.
    void ExpectCursor(int x, int y, std::uint32_t colour, const char* where)
    {
        const std::uint32_t seen = CursorAt(x, y);
        const int red = (seen >> 16) & 0xFF, green = (seen >> 8) & 0xFF, blue = seen & 0xFF;
        const bool yellow = red > 24 && green > red / 2 && blue < red / 4;
        const bool magenta = red > 24 && blue > red / 2 && green < red / 4;
        EXPECT_TRUE(colour == kOverButton ? yellow : magenta) << where << " at (" << x << ", " << y << "): " << std::hex << seen;
    }

    void LiftVeil()
    {
        for (int i = 0; i < 45; ++i) menu->Run();
    }

    kt::ManualClockScope clock{1000};
    Cursor cursor{&device};
    Cursor cursorLight{&device};
    std::unique_ptr<WorldManager> world;
    std::unique_ptr<SaveManager> saves;
    std::unique_ptr<MenuManager> menu;
};

}  // namespace

TEST_F(MenuCursorTest, HighlightedOverActiveButtonsOnEveryPage)
{
    ASSERT_EQ(menu->get_CurrentMenu(), MenuManager::kMainPage);
    LiftVeil();
    // New game, restore, credits and quit; just outside their edges the normal cursor.
    ExpectCursor(600, 230, kOverButton, "new game");
    ExpectCursor(600, 320, kOverButton, "restore");
    ExpectCursor(600, 400, kOverButton, "credits");
    ExpectCursor(600, 490, kOverButton, "quit");
    ExpectCursor(500, 230, kElsewhere, "on the new-game button's left edge");
    ExpectCursor(200, 300, kElsewhere, "away from the buttons");

    menu->SetScreen(MenuManager::kRestorePage);  // from the main menu: only its back button
    LiftVeil();
    ExpectCursor(75, 575, kOverButton, "back");
    ExpectCursor(600, 230, kElsewhere, "where the main page's new-game button was");

    menu->SetScreen(MenuManager::kCreditsPage);
    LiftVeil();
    ExpectCursor(550, 500, kOverButton, "credits back");
    ExpectCursor(75, 575, kElsewhere, "where the other pages' back button is");
}
