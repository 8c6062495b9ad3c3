#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "display/image_offsets.h"
#include "game_data_fixture.h"
#include "platform/media/media_writer.h"
#include "shell/replay.h"
#include "world/action_codes.h"
#include "world/world_action.h"
#include "world/world_actionlist.h"
#include "world/world_manager.h"

namespace {

// Screen 0 leads to screen 1, whose entry list plays a clip (counted by the video player)
// and puts the world into end-game mode.
void DefineEnding(WorldManager& world)
{
    WorldScreen* first = world.AddWorldScreen(0, 0, "data/room0.enc", ScrambleOffsetFor("data/room0.enc"));
    first->QHS_StandardMove(0, 0, 1024, 512, 1);
    WorldScreen* last = world.AddWorldScreen(1, 0, "data/room1.enc", ScrambleOffsetFor("data/room1.enc"));
    WorldActionlist* entry = last->AddPreActionList();
    entry->addAction(ACT_PlayVideo)->addParamObject(0, L"data/clip.wmv");
    entry->addAction(ACT_EndGame);
    world.TransportToScreen(0);
}

// The same two rooms in world files, with 88 lines of credits (one line and 87 blank ones), as
// the game's own assembly reads them from the data.
constexpr const char* kEndingWorld = R"lua(
screen{name = "first", number = 0, image = "data/room0.enc"}
screen{name = "last", number = 1, image = "data/room1.enc"}
move{screen = "first", rect = {0, 0, 1024, 512}, to = "last"}
film{name = "clip", file = "data/clip.wmv"}
on_enter("last", {video("clip"), end_game()})
credits{{"credits.thanks", "bold"}, {blank = 87}}
)lua";
constexpr const char* kEndingTexts = "msgctxt \"credits.thanks\"\nmsgid \"Thank you for playing\"\nmsgstr \"\"\n";

class GameManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data.WritePicture("data/room0.enc", 1024, 512, 0xFF804020, ScrambleOffsetFor("data/room0.enc"));
        data.WritePicture("data/room1.enc", 1024, 512, 0xFF208040, ScrambleOffsetFor("data/room1.enc"));
        platform::VideoSpec clip;
        clip.frameCount = 25 * 4;
        clip.pictures = platform::SolidColour([](int) { return 0x406080u; });
        platform::WriteVideoFile("data/clip.wmv", clip);
        options.world = DefineEnding;
    }

    // The game's own world from world files in the data instead of DefineEnding.
    void UseEndingWorldFiles()
    {
        std::filesystem::create_directories("data/world");
        std::filesystem::create_directories("data/po");
        std::ofstream("data/world/main.lua") << kEndingWorld;
        std::ofstream("data/po/kelvane.pot") << kEndingTexts;
        options.world = nullptr;
    }

    void ExpectPasses(const std::string& script)
    {
        const ReplayResult result = RunReplay(script, options);
        for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
        EXPECT_TRUE(result.Passed()) << "after " << result.frames << " frames";
    }

    kt::TestGameData data;
    ReplayOptions options;
};

}  // namespace

TEST_F(GameManagerTest, NewGameStartsFromSlotZeroWithoutMusicAndEndGameLeavesOnlyQuit)
{
    ExpectPasses(
        "videos skip\n"
        "click 600 230\n"  // new game: slot 0 holds screen 0, not the screen start-up ends on
        "expect screen 0\n"
        "expect song -999\n"  // entering the world stops the menu music
        "wait 800\n"
        "click 400 300\n"
        "wait 800\n"
        "expect screen 1\n"
        "expect videos 1\n"
        "click 242 40\n"   // save button: the only one in end-game mode is quit, so nothing
        "expect phase world\n"
        "quit\n");
}

TEST_F(GameManagerTest, TheEndGameQuitRollsTheCreditsWithTheirTrackThenReturnsToTheMenu)
{
    options.msPerFrame = 400;  // the credits scroll by the clock: long steps keep the test short
    UseEndingWorldFiles();
    ExpectPasses(
        "videos skip\n"
        "click 600 230\n"
        "wait 1200\n"
        "click 400 300\n"
        "wait 1200\n"
        "expect videos 1\n"
        "click 716 40\n"  // end-game quit: the credits at once
        "expect phase credits\n"
        "expect song 4\n"
        "wait 60000\n"
        "expect phase credits\n"
        "wait 70000\n"  // 88 lines plus a screen at 28 pixels a second have gone by
        "expect phase menu\n"
        "expect menupage 0\n"
        "expect song 1\n"
        "click 620 495\n");  // quit from the main menu ends the game in that frame
}

TEST_F(GameManagerTest, BackToTheGameFromTheInGameRestorePageReentersTheScreen)
{
    options.world = [](WorldManager& world) {
        DefineEnding(world);
        // Screen 0 plays the clip on every entry instead of ending the game.
        WorldActionlist* entry = world.getWorldScreen(0)->AddPreActionList();
        entry->addAction(ACT_PlayVideo)->addParamObject(0, L"data/clip.wmv");
    };
    ExpectPasses(
        "videos skip\n"
        "click 600 230\n"
        "wait 800\n"
        "expect videos 1\n"
        "click 84 40\n"  // restore button, confirmed by a second click
        "click 84 40\n"
        "expect phase menu\n"
        "expect menupage 2\n"
        "click 75 575\n"  // back to the game without choosing a slot
        "expect phase world\n"
        "expect screen 0\n"
        "expect videos 2\n"
        "quit\n");
}
