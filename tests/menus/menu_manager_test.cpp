// The main menu: the veil, the buttons' strict edges, the slot lists of the restore and save
// pages, the cursor, and loading and unloading the pages' images again and again.
#include "menus/menu_manager.h"

#include <algorithm>
#include <cmath>
#include <atomic>
#include <cstdlib>
#include <new>

#include "display/cursor.h"
#include "display/d3dfunc.h"
#include "display/full_screen_image.h"
#include "display/texture.h"
#include "menus/save_manager.h"
#include "platform/gfx/device.h"
#include "menus_fixture.h"
#include "platform/input/key_codes.h"

namespace {

using menus_test::kOffset;
using menus_test::WriteSolidImage;

constexpr std::uint32_t kBackgroundColour = 0xFFC00000;
constexpr std::uint32_t kRestoreColour = 0xFF00C000;
constexpr std::uint32_t kSaveColour = 0xFF0000C0;
constexpr std::uint32_t kCreditsColour = 0xFFC0C0C0;

int Red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int Green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }
// The brightest channel of the frame outside the pointer's picture, whose top left corner is
// near (pointerX, pointerY): the pointer is drawn over the veil, at full light.
int Brightest(const std::vector<std::uint32_t>& frame, int pointerX, int pointerY)
{
    int most = 0;
    for (int y = 0; y < gfx::kBackBufferHeight; ++y)
        for (int x = 0; x < gfx::kBackBufferWidth; ++x) {
            if (x >= pointerX - 8 && x < pointerX + 100 && y >= pointerY - 8 && y < pointerY + 100) continue;
            const std::uint32_t c = kt::PixelAt(frame, x, y);
            most = std::max({most, Red(c), Green(c), Blue(c)});
        }
    return most;
}

class MenuManagerTest : public menus_test::MenusTest {
protected:
    void SetUp() override
    {
        MenusTest::SetUp();
        WriteSolidImage("data/menu/background.enc", 64, 64, kBackgroundColour);
        WriteSolidImage("data/menu/restore.enc", 64, 64, kRestoreColour);
        WriteSolidImage("data/menu/save.enc", 64, 64, kSaveColour);
        WriteSolidImage("data/menu/credits.enc", 64, 64, kCreditsColour);
        WriteSolidImage("data/cursor/active.enc", 32, 32, 0xFFFFFF00);   // yellow: over a button
        WriteSolidImage("data/cursor/normal.enc", 32, 32, 0xFFFF00FF);   // magenta: elsewhere
        WriteSolidImage("data/cursor/alpha.enc", 32, 32, 0xFFFFFFFF);
        cursor.OpenImageFile("data/cursor/active.enc", "data/cursor/alpha.enc", 85, 90, 3, 3, kOffset);
        cursorLight.OpenImageFile("data/cursor/normal.enc", "data/cursor/alpha.enc", 85, 90, 3, 3, kOffset);
        world = MakeWorld({{1, 5}, {2, 0}});
        saves = std::make_unique<SaveManager>(world.get(), &keys);
        menu = std::make_unique<MenuManager>(&cursor, &cursorLight, &mouse, &music, saves.get(), kOffset);
        menu->Load();
    }

    int Frame()
    {
        InputFrame();
        return menu->Run();
    }
    int ClickAt(int x, int y)
    {
        MoveTo(x, y);
        Click();
        return Frame();
    }
    // Enough frames for the veil to lift to its flickering level.
    void LiftVeil()
    {
        for (int i = 0; i < 45; ++i) menu->Run();
    }

    kt::ManualClockScope clock{1000};  // no pacing of Present: frames run at once
    Cursor cursor{&device};
    Cursor cursorLight{&device};
    std::unique_ptr<WorldManager> world;
    std::unique_ptr<SaveManager> saves;
    std::unique_ptr<MenuManager> menu;
};

TEST_F(MenuManagerTest, VeilStartsAlmostBlackAndThenFlickersAroundHalf)
{
    menu->SetScreen(MenuManager::kRestorePage);
    MoveTo(10, 10);
    menu->Run();
    EXPECT_LE(Brightest(kt::ReadBack(), 10, 10), 7) << "the first frame of a page is 98% dark";

    float lowest = 1.0f;
    for (int i = 0; i < 90; ++i) {
        menu->Run();
        if (i >= 45) lowest = std::min(lowest, menu->get_Blackness());
    }
    EXPECT_GE(lowest, 0.38f) << "the veil has lifted to its flickering level";
    const std::uint32_t page = kt::PixelAt(kt::ReadBack(), 400, 400);
    EXPECT_NEAR(Green(page), 0xC0 * menu->get_Blackness(), 4) << "the page shows through the veil";

    menu->Unload();
    menu->Load();
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kRestorePage) << "Load keeps the page";
    menu->Run();
    EXPECT_LE(Brightest(kt::ReadBack(), 10, 10), 7) << "and restarts the fade";
}

TEST_F(MenuManagerTest, MainPageVeilIsTotalAtTheLeftEdge)
{
    MoveTo(0, 300);
    LiftVeil();
    EXPECT_LE(Brightest(kt::ReadBack(), 0, 300), 1) << "pointer at x = 0: nothing but the pointer shows";
    MoveTo(800, 300);
    menu->Run();
    const std::uint32_t page = kt::PixelAt(kt::ReadBack(), 100, 100);
    EXPECT_NEAR(Red(page), 0xC0 * menu->get_Blackness(), 4) << "pointer at the right edge: lightest";
}

// The veil darkens the page and the pointer alike (the whole frame scales with its flicker);
// the button under the pointer glows and no other does; the frame in which a button opens another page is dark, as
// the new page's fade starts from dark.
TEST_F(MenuManagerTest, VeilDarkensPageAndPointerAlikeAndTheHoveredButtonGlows)
{
    MoveTo(790, 590);  // over no button
    LiftVeil();
    const std::uint32_t unlit = kt::PixelAt(kt::ReadBack(), 690, 325);
    MoveTo(560, 320);  // over the restore button: the yellow cursor
    LiftVeil();
    const auto frame = kt::ReadBack();
    const float light = 1.0f - std::lround((1.0f - menu->get_Blackness() * 560.0f / 800.0f) * 255.0f) / 255.0f;
    const std::uint32_t page = kt::PixelAt(frame, 100, 100);
    const std::uint32_t pointer = kt::PixelAt(frame, 565, 325);
    EXPECT_NEAR(Red(page), 0xC0 * light, 1);
    EXPECT_NEAR(Red(pointer), 0xFF * light, 1) << "the cursor is under the veil too";
    EXPECT_NEAR(Green(pointer), 0xFF * light, 1);
    EXPECT_LE(Blue(pointer), 1);
    const std::uint32_t glow = kt::PixelAt(frame, 690, 325);  // in the button, right of the cursor
    EXPECT_GT(Green(glow), Green(unlit) + 8) << "the hovered button glows gold";
    EXPECT_NEAR(Green(kt::PixelAt(frame, 690, 400)), Green(kt::PixelAt(frame, 100, 400)), 1)
        << "the credits button below it does not";

    Click();
    EXPECT_EQ(Frame(), MenuManager::kStay);
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kRestorePage);
    const auto clicked = kt::ReadBack();
    EXPECT_LE(Red(kt::PixelAt(clicked, 100, 100)), 1) << "the click's frame is dark";
    EXPECT_LE(Green(kt::PixelAt(clicked, 690, 325)), 1) << "and the old page's button does not glow on it";
    menu->Run();
    EXPECT_LE(Red(kt::PixelAt(kt::ReadBack(), 100, 100)), 7) << "and the restore page fades in from dark";
}

// A veil picture of a colour veils in that colour: the page mixes towards it.
TEST_F(MenuManagerTest, AVeilPictureThatIsNotBlackVeilsInItsColour)
{
    WriteSolidImage("data/black.jpg", 8, 8, 0xFFFFFFFF, false);
    menu->Load();
    menu->SetScreen(MenuManager::kRestorePage);
    MoveTo(10, 10);
    menu->Run();
    EXPECT_GE(Green(kt::PixelAt(kt::ReadBack(), 400, 400)), 0xF8) << "the first frame is almost all veil";
    LiftVeil();
    const std::uint32_t page = kt::PixelAt(kt::ReadBack(), 400, 400);
    const float lift = menu->get_Blackness();
    EXPECT_NEAR(Green(page), 0xC0 * lift + 0xFF * (1.0f - lift), 4);
    EXPECT_NEAR(Red(page), 0xFF * (1.0f - lift), 4);
}

// A page picture of 100 x 60 pixels no two alike: red across, green down, blue in stripes. Its
// texture is 128 x 64, scaled to fill the screen.
void WritePatternedPage(const std::string& path)
{
    imaging::Image image;
    image.width = 100;
    image.height = 60;
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
            p[0] = (x / 5 + y / 3) % 2 != 0 ? 0xF0 : 0x10;  // B G R A
            p[1] = static_cast<std::uint8_t>(y * 4);
            p[2] = static_cast<std::uint8_t>(x * 2 + 20);
            p[3] = 0xFF;
        }
    menus_test::WriteBytes(path, imaging::RotateImageBytes(imaging::EncodePng(image), kOffset));
}

// The restore page as its picture draws it over the whole screen, undimmed, under the device's
// present states.
std::vector<std::uint32_t> PictureAsDrawn(gfx::Device& device, const char* path)
{
    Texture picture(&device, path, kOffset);
    FullScreenImage quad;
    quad.Create(&device);
    device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device.BeginScene();
    device.SetViewport(D3DVIEWPORT9{0, 0, 800, 600, 0.0f, 1.0f});
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device.SetTexture(0, picture.getTexture());
    quad.Render(&device);
    device.SetTexture(0, nullptr);
    device.SetRenderState(D3DRS_LIGHTING, TRUE);
    device.EndScene();
    return kt::ReadBack();
}

// Later frames of a page draw a copy of what its picture drew: the same picture, pixel for
// pixel and the right way up, dimmed alike; a new page or a new picture is never shown as the
// old one's copy.
TEST_F(MenuManagerTest, LaterFramesOfAPageShowItsPictureAsItDrewAndDimmedAlike)
{
    WritePatternedPage("data/menu/restore.enc");
    menu->Load();
    for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
        SCOPED_TRACE(filter == D3DTEXF_POINT ? "point sampling" : "linear sampling");
        device.SetSamplerState(0, D3DSAMP_MAGFILTER, filter);
        device.SetSamplerState(0, D3DSAMP_MINFILTER, filter);
        const std::vector<std::uint32_t> expected = PictureAsDrawn(device, "data/menu/restore.enc");
        menu->SetScreen(MenuManager::kRestorePage);
        MoveTo(790, 10);  // the cursor and slot list away from the rows compared
        LiftVeil();
        const std::vector<std::uint32_t> frame = kt::ReadBack();
        const float light = 1.0f - std::lround((1.0f - menu->get_Blackness()) * 255.0f) / 255.0f;
        ASSERT_GT(light, 0.3f);
        int worst = 0;
        for (int y : {5, 120, 170, 320, 470, 594})  // clear of the slot list's rows
            for (int x = 0; x < 700; ++x) {
                // A pixel centred on the border of two texels may take either of them when
                // sampled by the nearest.
                if (filter == D3DTEXF_POINT && ((2 * x + 1) * 128 % 1600 == 0 || (2 * y + 1) * 64 % 1200 == 0))
                    continue;
                const std::uint32_t want = kt::PixelAt(expected, x, y);
                const std::uint32_t got = kt::PixelAt(frame, x, y);
                worst = std::max({worst, std::abs(Red(got) - static_cast<int>(std::lround(Red(want) * light))),
                                  std::abs(Green(got) - static_cast<int>(std::lround(Green(want) * light))),
                                  std::abs(Blue(got) - static_cast<int>(std::lround(Blue(want) * light)))});
            }
        EXPECT_LE(worst, 2);
    }

    menu->SetScreen(MenuManager::kMainPage);
    MoveTo(790, 10);
    LiftVeil();
    EXPECT_GT(Red(kt::PixelAt(kt::ReadBack(), 100, 100)), 2 * Green(kt::PixelAt(kt::ReadBack(), 100, 100)))
        << "the main page, not the restore page's copy";

    WriteSolidImage("data/menu/restore.enc", 64, 64, kRestoreColour);
    menu->Load();
    menu->SetScreen(MenuManager::kRestorePage);
    LiftVeil();
    const std::uint32_t page = kt::PixelAt(kt::ReadBack(), 100, 100);
    EXPECT_EQ(Red(page), 0);
    EXPECT_EQ(Blue(page), 0) << "the restore page's new picture, not the old one's copy";
}

TEST_F(MenuManagerTest, ButtonEdgesAreStrict)
{
    EXPECT_EQ(ClickAt(530, 320), MenuManager::kStay);
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kMainPage) << "a click on the left edge does nothing";
    EXPECT_EQ(ClickAt(531, 320), MenuManager::kStay);
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kRestorePage);
    EXPECT_EQ(ClickAt(150, 575), MenuManager::kStay);
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kRestorePage);
    EXPECT_EQ(ClickAt(149, 575), MenuManager::kStay);
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kMainPage);

    EXPECT_EQ(ClickAt(537, 400), MenuManager::kStay);
    EXPECT_EQ(ClickAt(538, 400), MenuManager::kStay);
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kCreditsPage);
    EXPECT_EQ(ClickAt(560, 525), MenuManager::kStay);
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kCreditsPage);
    EXPECT_EQ(ClickAt(560, 524), MenuManager::kStay);
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kMainPage);

    EXPECT_EQ(ClickAt(694, 500), MenuManager::kStay);
    EXPECT_EQ(ClickAt(693, 500), MenuManager::kQuit);
    // Settings, at the foot on the left, asks for the settings screen and stays on the page.
    EXPECT_EQ(ClickAt(70, 500), MenuManager::kStay);
    EXPECT_EQ(ClickAt(71, 500), MenuManager::kOpenSettings);
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kMainPage);

    // The credits page's back button is the credits page's only.
    menu->SetScreen(MenuManager::kGameRestorePage);
    EXPECT_EQ(ClickAt(550, 515), MenuManager::kStay);
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kGameRestorePage);
}

TEST_F(MenuManagerTest, NewGameRestoresSlotZero)
{
    ASSERT_TRUE(saves->SaveGame(0, ""));
    world->setGlobalVarValue(1, 9);
    world->set_ScreenPosition(3);
    EXPECT_EQ(ClickAt(600, 230), MenuManager::kEnterWorld);
    EXPECT_EQ(world->getGlobalVarValue(1), 5);
    EXPECT_EQ(world->get_ScreenPosition(), 0);
}

TEST_F(MenuManagerTest, GameRestorePageEntersTheWorldInTheFrameOfTheClick)
{
    ASSERT_TRUE(saves->SaveGame(3, "third"));
    ASSERT_TRUE(saves->SaveGame(4, "fourth"));
    world->setGlobalVarValue(1, 9);
    menu->SetScreen(MenuManager::kGameRestorePage);

    // A file damaged since start-up: the menu stays and the slot shows as unreadable.
    menus_test::WriteBytes("save/save4.sav", {'f', 0, 1});
    EXPECT_EQ(ClickAt(200, 295), MenuManager::kStay);
    EXPECT_TRUE(saves->GetSaveFile(4)->get_Unreadable());
    EXPECT_EQ(world->getGlobalVarValue(1), 9);

    EXPECT_EQ(ClickAt(200, 245), MenuManager::kEnterWorld);
    EXPECT_EQ(world->getGlobalVarValue(1), 5);

    EXPECT_EQ(ClickAt(100, 575), MenuManager::kEnterWorld) << "back to the game";
}

TEST_F(MenuManagerTest, SavePageHidesTheCursorWhileATitleIsTyped)
{
    menu->SetScreen(MenuManager::kGameSavePage);
    MoveTo(200, 145);
    LiftVeil();
    // Below the pointer, clear of any slot text: the cursor's picture or the page's.
    auto underCursor = [] { return kt::PixelAt(kt::ReadBack(), 240, 170); };
    EXPECT_GT(Green(underCursor()), 40) << "over a slot the highlighted (yellow) cursor shows";

    Click();
    Frame();
    ASSERT_EQ(saves->get_Edit(), 1);
    Frame();
    EXPECT_LE(Green(underCursor()), 3) << "no cursor while typing";
    EXPECT_GT(Blue(underCursor()), 20) << "the save page itself shows there";

    Hold(platform::DIK_RETURN);
    EXPECT_EQ(Frame(), MenuManager::kEnterWorld) << "the frame of the save returns to the game";
    Release(platform::DIK_RETURN);
    EXPECT_TRUE(saves->GetSaveFile(1)->get_Active());
}

TEST_F(MenuManagerTest, LoadingAgainAndAgainDoesNotGrowMemory)
{
    MoveTo(400, 300);
    menu->Unload();
    menu->Load();
    menu->Run();
    menu->Unload();
    const std::size_t before = D3Dfunc::pD3Ddevice->GetLiveTextureCount();
    for (int i = 0; i < 20; ++i) {
        menu->Load();
        menu->Run();
        menu->Load();  // a second Load replaces the images rather than adding to them
        menu->Unload();
    }
    // Each Load makes five textures: a leaked load would leave them behind.
    EXPECT_EQ(D3Dfunc::pD3Ddevice->GetLiveTextureCount(), before);
    EXPECT_FALSE(menu->IsLoaded());
}

}  // namespace
