// WorldTopMenu: layout and hover, the confirming second click and how it is lost, end-game
// mode, fading, the help buttons, and which clicks the menu takes. Clicks come through the mouse's injection.
#include "display/world_top_menu.h"

#include "input/mouse_manager.h"
#include "screen_space_fixture.h"

namespace screen_space {
namespace {

constexpr int kRestoreX = 84, kSaveX = 242, kHintsX = 400, kJournalX = 558, kQuitX = 716;

class WorldTopMenuTest : public GameDeviceTest {
protected:
    void SetUp() override
    {
        GameDeviceTest::SetUp();
        // All four scrambled with the one offset the menu is given.
        const std::string r = WriteSolid("Top1.enc", 32, 16, kRed, 77), s = WriteSolid("Top2.enc", 32, 16, kGreen, 77);
        const std::string q = WriteSolid("Top3.enc", 32, 16, kBlue, 77), c = WriteSolid("Top4.enc", 32, 16, kYellow, 77);
        menu = std::make_unique<WorldTopMenu>(&mouse, r.c_str(), s.c_str(), q.c_str(), c.c_str(), 77);
    }
    void InjectClick()
    {
        mouse.ClearMouseButtons();
        platform::InjectMouseButton(platform::MouseButton::Left, true);
        platform::InjectMouseButton(platform::MouseButton::Left, false);
        mouse.ProcessMessage(nullptr);
    }
    int ClickAt(int x, bool endGame = false)
    {
        InjectClick();
        return menu->Render(x, endGame);
    }
    std::uint32_t ButtonColour(int x, bool endGame = false)
    {
        return kt::PixelAt(DrawFrame([&] { menu->Render(x, endGame); }), x, 50);
    }
    MouseManager mouse{nullptr};  // fed by injection only
    std::unique_ptr<WorldTopMenu> menu;
};

TEST_F(WorldTopMenuTest, ButtonsAreHitStrictlyAndTheHoveredOneIsOpaque)
{
    for (int i = 0; i < 20; ++i) menu->Render(0, false);
    const Frame frame = DrawFrame([&] { EXPECT_EQ(menu->Render(kSaveX, false), 1); }, kBlack, "top_menu");
    EXPECT_TRUE(RegionRgb(frame, RECT{167, 0, 317, 99}, kGreen));
    EXPECT_TRUE(RegionRgb(frame, RECT{9, 0, 159, 99}, Mix(kRed, kBlack, 0.75f))) << "at most 0.75";
    EXPECT_TRUE(RegionRgb(frame, RECT{641, 0, 791, 99}, Mix(kBlue, kBlack, 0.75f)));
    EXPECT_TRUE(RegionRgb(frame, RECT{0, 100, 800, 600}, kBlack));
    EXPECT_TRUE(RegionRgb(frame, RECT{317, 0, 641, 100}, kBlack)) << "no help buttons loaded: their places stay empty";
    EXPECT_TRUE(RegionRgb(frame, RECT{159, 0, 167, 100}, kBlack));
    for (int x : {9, 159, 167, 317, kHintsX, kJournalX, 641, 791}) EXPECT_EQ(menu->Render(x, false), 0) << "x " << x;
    for (int x : {10, 158, 168, 316, 642, 790}) EXPECT_EQ(menu->Render(x, false), 1) << "x " << x;
}

TEST_F(WorldTopMenuTest, HelpButtonsAnswerOneClickBetweenSaveAndQuit)
{
    const std::string h = WriteSolid("Top5.enc", 32, 16, kWhite, 77), j = WriteSolid("Top6.enc", 32, 16, kGreen, 77);
    menu->AddHelpButtons(h.c_str(), j.c_str(), 77);
    const Frame frame = DrawFrame([&] { EXPECT_EQ(menu->Render(kHintsX, false), 1); });
    EXPECT_TRUE(RegionRgb(frame, RECT{325, 0, 475, 99}, kWhite));
    EXPECT_FALSE(RgbNear(kt::PixelAt(frame, kJournalX, 50), kBlack)) << "the journal button is drawn too";
    EXPECT_TRUE(RegionRgb(frame, RECT{633, 0, 641, 100}, kBlack)) << "five buttons side by side, apart";
    EXPECT_EQ(ClickAt(kHintsX), TMR_Hints);
    EXPECT_EQ(ClickAt(kHintsX), TMR_Hints) << "no confirmation";
    EXPECT_EQ(ClickAt(kJournalX), TMR_Journal);
    EXPECT_EQ(ClickAt(kQuitX), 1) << "quit still asks first";
    EXPECT_EQ(ClickAt(kQuitX), TMR_Quit);
    EXPECT_EQ(ClickAt(kJournalX, true), 0) << "end-game mode shows only quit";
}

TEST_F(WorldTopMenuTest, ConfirmationNeedsASecondClickWithoutLeavingTheButton)
{
    EXPECT_EQ(ClickAt(kRestoreX), 1);
    EXPECT_TRUE(RgbNear(ButtonColour(kRestoreX), kYellow)) << "the confirmation picture";
    EXPECT_EQ(ClickAt(kRestoreX), 2);
    EXPECT_EQ(ClickAt(kRestoreX), 1) << "a used confirmation does not carry over";

    menu->Render(kSaveX, false);  // leaving drops it
    EXPECT_TRUE(RgbNear(ButtonColour(kRestoreX), kRed));
    EXPECT_EQ(ClickAt(kRestoreX), 1);
    menu->Render(false);  // so does leaving the strip
    EXPECT_EQ(ClickAt(kRestoreX), 1);
    EXPECT_EQ(ClickAt(kRestoreX), 2);

    EXPECT_EQ(ClickAt(kSaveX), 3) << "save needs one click";
    EXPECT_EQ(ClickAt(kQuitX), 1);
    EXPECT_EQ(ClickAt(kQuitX), 4);
}

TEST_F(WorldTopMenuTest, EndGameShowsOnlyQuitWhichAnswersTheFirstClick)
{
    const Frame frame = DrawFrame([&] { EXPECT_EQ(menu->Render(kRestoreX, true), 0); });
    EXPECT_TRUE(RegionRgb(frame, RECT{0, 0, 641, 600}, kBlack));
    EXPECT_FALSE(RgbNear(kt::PixelAt(frame, kQuitX, 50), kBlack));
    EXPECT_EQ(ClickAt(kSaveX, true), 0);
    EXPECT_EQ(ClickAt(kQuitX, true), 5);
}

TEST_F(WorldTopMenuTest, MenuVanishesFifteenFramesAfterThePointerLeaves)
{
    for (int i = 0; i < 20; ++i) menu->Render(0, false);
    for (int i = 0; i < 14; ++i) menu->Render(false);
    EXPECT_GT(menu->get_SemiTransparent(), 0.01f);
    EXPECT_TRUE(RegionRgb(DrawFrame([&] { menu->Render(false); }, kWhite), RECT{0, 0, 800, 600}, kWhite, 1));
}

TEST_F(WorldTopMenuTest, ClicksAwayFromTheButtonsAreLeftForOthers)
{
    InjectClick();
    menu->Render(163, false);
    menu->Render(false);
    EXPECT_TRUE(mouse.LMouseButtonDown());
    EXPECT_EQ(ClickAt(kSaveX), 3);
    EXPECT_FALSE(mouse.LMouseButtonDown()) << "a button's click is taken";
}

}  // namespace
}  // namespace screen_space
