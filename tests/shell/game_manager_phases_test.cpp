// The phase controller's own work between the phases, on objects of the test's own: the menu
// unloaded and the music stopped when the menu is left, every sound cleared on the way back
// from the world, and a whole-screen viewport at the start of every frame.
#include <gtest/gtest.h>

#include <memory>

#include "display/cd3dfont.h"
#include "display/cursor.h"
#include "media/game_sound_manager.h"
#include "menus/credits_manager.h"
#include "menus/menu_manager.h"
#include "menus/menus_fixture.h"
#include "menus/save_manager.h"
#include "platform/clock/clock.h"
#include "shell/game_manager.h"
#include "world/action_codes.h"

namespace {

using menus_test::kOffset;
using menus_test::WriteSolidImage;

class GameManagerPhases : public menus_test::MenusTest {
protected:
    void SetUp() override
    {
        MenusTest::SetUp();
        for (const char* page : {"background", "restore", "save", "credits"})
            WriteSolidImage(std::string("data/menu/") + page + ".enc", 64, 64, 0xFF404040);
        WriteSolidImage("data/cursor.enc", 16, 16, 0xFFFFFFFF);
        cursor.OpenImageFile("data/cursor.enc", "data/cursor.enc", 16, 16, 0, 0, kOffset);
        world = MakeWorld({{1, 0}});
        world->set_SoundManager(&sounds);
        for (int i = 0; i < 5; ++i) world->AddCursor("data/cursor.enc", "data/cursor.enc", 16, 16, 0, 0, kOffset);
        world->TransportToScreen(0);
        saves = std::make_unique<SaveManager>(world.get(), &keys);
        saves->SaveGame(SaveManager::kNewGameSlot, "");
        menu = std::make_unique<MenuManager>(&cursor, &cursor, &mouse, &music, saves.get(), kOffset);
        credits = std::make_unique<CreditsManager>(&plain, &plain, &plain, 0.028f);
        credits->AddLine("THE END", CreditsLine::kBold);
        music.AddSong(1, L"data/music/1.mp3");  // missing files play silently; the track counts
        music.AddSong(4, L"data/music/4.mp3");
        game = std::make_unique<GameManager>(&sounds);
        game->SetWorldManager(world.get());
        game->SetMouseManager(&mouse);
        game->SetMenuManager(menu.get());
        game->SetMusicManager(&music);
        game->SetCreditsManager(credits.get());
    }
    // A frame with the pointer resting at (x, y), then one with a click there.
    bool FrameWithClick(int x, int y)
    {
        MoveTo(x, y);
        game->Run();
        Click();
        InputFrame();
        return game->Run();
    }
    bool Frame()
    {
        InputFrame();
        return game->Run();
    }
    void EnterWorld()
    {
        for (int i = 0; i < 45; ++i) Frame();  // the veil lifts
        ASSERT_TRUE(FrameWithClick(600, 230));  // new game
        ASSERT_EQ(game->get_Phase(), GameManager::kWorld);
    }

    kt::ManualClockScope clock{1000};
    Cursor cursor{&device};
    CD3DFont plain{"Times New Roman", 15, 0};
    GameSoundManager sounds;
    std::unique_ptr<WorldManager> world;
    std::unique_ptr<SaveManager> saves;
    std::unique_ptr<MenuManager> menu;
    std::unique_ptr<CreditsManager> credits;
    std::unique_ptr<GameManager> game;
};

}  // namespace

TEST_F(GameManagerPhases, LeavingTheMenuUnloadsItAndStopsTheMusic)
{
    EXPECT_TRUE(menu->IsLoaded()) << "loaded as soon as the controller has it";
    EXPECT_EQ(music.get_Current(), 1) << "the menu music";
    EnterWorld();
    EXPECT_FALSE(menu->IsLoaded());
    EXPECT_EQ(music.get_Current(), MusicManager::kNoSong);

    music.PlaySong(1, false);
    ASSERT_TRUE(FrameWithClick(242, 40));  // the top menu's save button: back to the menu
    ASSERT_EQ(game->get_Phase(), GameManager::kMenu);
    EXPECT_TRUE(menu->IsLoaded());
    menu->SetScreen(MenuManager::kMainPage);
    for (int i = 0; i < 45; ++i) Frame();
    EXPECT_FALSE(FrameWithClick(620, 495)) << "quit ends the program in the frame of the click";
    EXPECT_FALSE(menu->IsLoaded());
    EXPECT_EQ(music.get_Current(), MusicManager::kNoSong);
}

TEST_F(GameManagerPhases, EveryWayBackFromTheWorldClearsTheSounds)
{
    EnterWorld();
    world->AddSound(L"nothing/one.wav");
    ASSERT_EQ(sounds.get_SoundCount(), 1u);
    ASSERT_TRUE(FrameWithClick(242, 40));  // save page
    EXPECT_EQ(menu->get_CurrentMenu(), MenuManager::kGameSavePage);
    EXPECT_EQ(sounds.get_SoundCount(), 0u);

    ASSERT_TRUE(FrameWithClick(75, 575));  // back to the game
    ASSERT_EQ(game->get_Phase(), GameManager::kWorld);
    world->AddSound(L"nothing/two.wav");
    WorldActionlist* end = world->AddSharedActionlist(true, 0);
    end->addAction(ACT_EndGame);
    world->ExcuteActionList(end);
    ASSERT_TRUE(FrameWithClick(716, 40));  // the end-game quit button: the credits
    ASSERT_EQ(game->get_Phase(), GameManager::kCredits);
    EXPECT_EQ(sounds.get_SoundCount(), 0u);
    EXPECT_EQ(music.get_Current(), 4);
}

TEST_F(GameManagerPhases, EveryFrameStartsWithTheWholeScreenAsViewport)
{
    EnterWorld();
    WorldActionlist* end = world->AddSharedActionlist(true, 0);
    end->addAction(ACT_EndGame);
    world->ExcuteActionList(end);
    ASSERT_TRUE(FrameWithClick(716, 40));
    ASSERT_EQ(game->get_Phase(), GameManager::kCredits);

    // The credits clear what the viewport covers: a viewport left small by the phase before
    // would leave the rest of the old picture standing.
    device.SetViewport(D3DVIEWPORT9{0, 0, 800, 600, 0.0f, 1.0f});
    device.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
    device.SetViewport(D3DVIEWPORT9{0, 100, 800, 400, 0.0f, 1.0f});
    Frame();
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 700, 20, 0xFF000000, 8)) << "the top strip was cleared too";
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 700, 580, 0xFF000000, 8)) << "and the bottom strip";
}
