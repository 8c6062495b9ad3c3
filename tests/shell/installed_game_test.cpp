#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/error.h"
#include "core/game_paths.h"
#include "display/image_offsets.h"
#include "game_data_fixture.h"
#include "shell/replay.h"
#include "support/scoped_environment.h"
#include "world/world_manager.h"
#include "world/world_screen.h"

namespace fs = std::filesystem;

namespace {

// Two flat screens, each leading to the other.
void DefineTwoRooms(WorldManager& world)
{
    WorldScreen* first = world.AddWorldScreen(0, 0, "data/room0.enc", ScrambleOffsetFor("data/room0.enc"));
    first->QHS_StandardMove(0, 0, 1024, 512, 1);
    WorldScreen* second = world.AddWorldScreen(1, 0, "data/room1.enc", ScrambleOffsetFor("data/room1.enc"));
    second->QHS_StandardMove(0, 0, 1024, 512, 0);
    world.TransportToScreen(0);
}

// The game started the way a menu entry starts an installed game: from a working directory
// without data/ (the home), its data named by KELVANE_DATA_DIR, its saves in the XDG data
// directory of a temporary home.
class InstalledGameTest : public ::testing::Test {
protected:
    InstalledGameTest() : home(data.Dir() / "home")
    {
        data.WritePicture("data/room0.enc", 1024, 512, 0xFFC03020, ScrambleOffsetFor("data/room0.enc"));
        data.WritePicture("data/room1.enc", 1024, 512, 0xFF20C040, ScrambleOffsetFor("data/room1.enc"));
        env.Set("HOME", (data.Dir() / "home").string());
        env.Set("XDG_DATA_HOME", (data.Dir() / "home/xdg").string());
        env.Set("KELVANE_DATA_DIR", (data.Dir() / "data").string());
        options.world = DefineTwoRooms;
    }

    ReplayResult Play(const std::string& script) const
    {
        const ReplayResult result = RunReplay(script, options);
        for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
        return result;
    }

    kt::TestGameData data;  // the working directory until `home` below takes over
    kt::ScopedEnvironment env;
    kt::ScopedWorkingDirectory home;
    ReplayOptions options;
};

// From the main menu: a new game, then on to screen 1.
constexpr const char* kNewGameToScreenOne =
    "click 600 230\n"  // new game
    "wait 800\n"
    "expect phase world\n"
    "expect screen 0\n"
    "click 400 300\n"
    "wait 800\n"
    "expect screen 1\n";

// Then saved into slot 1 as "den".
constexpr const char* kSaveIntoSlotOne =
    "click 242 40\n"  // the top menu's save button
    "expect menupage 3\n"
    "click 250 145\n"  // slot 1
    "type den\n"
    "key RETURN\n"
    "frames 2\n";

}  // namespace

TEST_F(InstalledGameTest, ReadsTheDataTheVariableNamesAndSavesIntoTheXdgDataHome)
{
    // The home holds a folder called data of the player's own, as homes may: it is passed over.
    fs::create_directories("data");
    std::ofstream("data/black.jpg") << "the player's own file, not a picture";
    EXPECT_TRUE(Play(std::string(kNewGameToScreenOne) + kSaveIntoSlotOne + "expect phase world\nquit\n").Passed());
    const fs::path saves = data.Dir() / "home/xdg/kelvane/save";
    EXPECT_TRUE(fs::is_regular_file(saves / "save0.sav")) << "the new-game slot";
    EXPECT_TRUE(fs::is_regular_file(saves / "save1.sav")) << "the player's save";
    EXPECT_FALSE(fs::exists("save")) << "nothing is written into the working directory";
    EXPECT_FALSE(fs::exists(data.Dir() / "save"));
}

TEST_F(InstalledGameTest, WithoutXdgDataHomeSavesGoBelowHome)
{
    env.Unset("XDG_DATA_HOME");
    EXPECT_TRUE(Play("click 620 495\n").Passed());  // the main menu's quit
    EXPECT_TRUE(fs::is_regular_file(data.Dir() / "home/.local/share/kelvane/save/save0.sav"));
}

TEST_F(InstalledGameTest, AnUnwritableSaveDirectoryLeavesTheGamePlayableAndNewGamesStillStartAfresh)
{
    // A file where the game's directory should be: no one can create the save directory, so
    // not even the new-game slot can be written.
    fs::create_directories(data.Dir() / "home/xdg");
    std::ofstream(data.Dir() / "home/xdg/kelvane") << "in the way";

    EXPECT_TRUE(Play(std::string(kNewGameToScreenOne) +
                     "click 716 40\n"  // quit to the main menu, confirmed
                     "click 716 40\n"
                     "expect phase menu\n"
                     "click 600 230\n"  // a new game starts where new games start
                     "expect phase world\n"
                     "expect screen 0\n"
                     "quit\n")
                    .Passed());
    EXPECT_TRUE(fs::is_regular_file(data.Dir() / "home/xdg/kelvane")) << "the file in the way is left alone";
}

TEST_F(InstalledGameTest, WithoutDataTheGameStopsSayingWhereItLookedAndHowToGetData)
{
    env.Unset("KELVANE_DATA_DIR");
    fs::create_directories("data");  // the player's own folder
    const ReplayResult result = RunReplay("click 620 495\n", options);
    ASSERT_EQ(result.failures.size(), 1u);
    const std::string& failure = result.failures.front();
    EXPECT_NE(failure.find("The game's data was not found."), std::string::npos) << failure;
    EXPECT_NE(failure.find("Looked in: " + (fs::current_path() / "data").string() + " (not the game's data"),
              std::string::npos)
        << failure;
    EXPECT_NE(failure.find("KELVANE_DATA_DIR"), std::string::npos) << failure;
    EXPECT_NE(failure.find("share/kelvane"), std::string::npos) << failure;
    EXPECT_EQ(ToErrorScreenText(FailSafe::Info), GamePaths::kHowToGetData);
    FailSafe::Info = L"None.";
    EXPECT_EQ(result.frames, 0);
}
