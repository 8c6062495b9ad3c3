// WorldTopMenu: layout and hover, the confirming second click and how it is lost, end-game
// mode, fading, and which clicks the menu takes. Clicks come through the mouse's injection.
#include "display/world_top_menu.h"

#include "input/mouse_manager.h"
#include "screen_space_fixture.h"

namespace screen_space {
namespace {

constexpr int kRestoreX = 150, kSaveX = 400, kQuitX = 650;

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
    EXPECT_TRUE(RegionRgb(frame, RECT{300, 0, 500, 99}, kGreen));
    EXPECT_TRUE(RegionRgb(frame, RECT{50, 0, 250, 99}, Mix(kRed, kBlack, 0.75f))) << "at most 0.75";
    EXPECT_TRUE(RegionRgb(frame, RECT{550, 0, 750, 99}, Mix(kBlue, kBlack, 0.75f)));
    EXPECT_TRUE(RegionRgb(frame, RECT{0, 100, 800, 600}, kBlack));
    EXPECT_TRUE(RegionRgb(frame, RECT{250, 0, 300, 100}, kBlack));
    for (int x : {50, 250, 300, 500, 550, 750}) EXPECT_EQ(menu->Render(x, false), 0) << "x " << x;
    for (int x : {51, 249, 301, 499, 551, 749}) EXPECT_EQ(menu->Render(x, false), 1) << "x " << x;
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
    EXPECT_TRUE(RegionRgb(frame, RECT{0, 0, 550, 600}, kBlack));
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
    menu->Render(275, false);
    menu->Render(false);
    EXPECT_TRUE(mouse.LMouseButtonDown());
    EXPECT_EQ(ClickAt(kSaveX), 3);
    EXPECT_FALSE(mouse.LMouseButtonDown()) << "a button's click is taken";
}

}  // namespace
}  // namespace screen_space
