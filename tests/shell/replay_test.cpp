#include <gtest/gtest.h>

#include <filesystem>

#include <chrono>

#include "display/image_offsets.h"
#include "platform/media/media_writer.h"
#include "world/action_codes.h"
#include "world/world_action.h"
#include "world/world_actionlist.h"
#include "game_data_fixture.h"
#include "shell/replay.h"
#include "world/world_manager.h"

namespace {

constexpr std::uint32_t kRedScreen = 0xFFC03020;
constexpr std::uint32_t kGreenScreen = 0xFF20C040;

// Two flat screens: anywhere on screen 0's picture leads to screen 1, and back.
void DefineTwoRooms(WorldManager& world)
{
    WorldScreen* first = world.AddWorldScreen(0, 0, "data/room0.enc", ScrambleOffsetFor("data/room0.enc"));
    first->QHS_StandardMove(0, 0, 1024, 512, 1);
    WorldScreen* second = world.AddWorldScreen(1, 0, "data/room1.enc", ScrambleOffsetFor("data/room1.enc"));
    second->QHS_StandardMove(0, 0, 1024, 512, 0);
    world.AddGlobalVar(1, 7);
    world.TransportToScreen(0);
}

class ReplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data.WritePicture("data/room0.enc", 1024, 512, kRedScreen, ScrambleOffsetFor("data/room0.enc"));
        data.WritePicture("data/room1.enc", 1024, 512, kGreenScreen, ScrambleOffsetFor("data/room1.enc"));
        options.world = DefineTwoRooms;
    }

    kt::TestGameData data;
    ReplayOptions options;
};

}  // namespace

TEST(ReplayScript, RejectsMalformedLinesNamingTheLine)
{
    std::vector<ReplayCommand> commands;
    std::string error;
    EXPECT_FALSE(ParseReplayScript("frames 2\nclick 10\n", &commands, &error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    commands.clear();
    EXPECT_FALSE(ParseReplayScript("key F13\n", &commands, &error));
    EXPECT_NE(error.find("unknown key"), std::string::npos) << error;
    commands.clear();
    EXPECT_FALSE(ParseReplayScript("expect weather 3\n", &commands, &error));
    commands.clear();
    ASSERT_TRUE(ParseReplayScript("# comment\n\ntype ab 1.\nexpect var 3 -56 # trailing\n", &commands, &error)) << error;
    ASSERT_EQ(commands.size(), 6u);  // four keys and the expectation
    EXPECT_EQ(commands[2].text, "SPACE");
    EXPECT_EQ(commands[4].text, "PERIOD");
    EXPECT_EQ(commands[5].numbers, (std::vector<int>{3, -56}));
}

TEST_F(ReplayTest, NewGameWalkAndQuitFromTheMainMenu)
{
    const std::string shot = (data.Dir() / "room1.png").string();
    const ReplayResult result = RunReplay(
        "expect phase menu\n"
        "expect menupage 0\n"
        "frames 3\n"
        "click 600 230\n"  // new game
        "expect phase world\n"
        "expect screen 0\n"
        "expect var 1 7\n"
        "wait 800\n"
        "click 400 300\n"  // anywhere on the picture leads on
        "wait 800\n"
        "expect screen 1\n"
        "screenshot " + shot + "\n"
        "click 650 40\n"   // quit button of the top menu, twice to confirm
        "click 650 40\n"
        "expect phase menu\n"
        "expect menupage 0\n"
        "click 620 495\n",  // the main menu's quit button ends the game
        options);
    for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
    EXPECT_TRUE(result.Passed());
    EXPECT_TRUE(std::filesystem::exists(shot));
    EXPECT_TRUE(std::filesystem::exists("save/save0.sav")) << "slot 0 is written at start-up";
}

TEST_F(ReplayTest, SaveFromTheGameRestoreFromTheMenuAndNewGameStartsAfresh)
{
    const ReplayResult result = RunReplay(
        "click 600 230\n"  // new game
        "wait 800\n"
        "click 400 300\n"  // on to screen 1
        "wait 800\n"
        "expect screen 1\n"
        "click 400 40\n"   // the top menu's save button
        "expect phase menu\n"
        "expect menupage 3\n"
        "click 250 145\n"  // slot 1
        "type den\n"
        "key RETURN\n"
        "frames 2\n"
        "expect phase world\n"
        "expect screen 1\n"
        "click 650 40\n"   // quit to the main menu
        "click 650 40\n"
        "expect menupage 0\n"
        "click 620 325\n"  // restore page
        "expect menupage 1\n"
        "click 250 145\n"  // slot 1
        "expect phase world\n"
        "expect screen 1\n"
        "wait 800\n"
        "click 650 40\n"
        "click 650 40\n"
        "click 600 230\n"  // new game: slot 0 puts the world back on screen 0
        "expect phase world\n"
        "expect screen 0\n"
        "quit\n",
        options);
    for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
    EXPECT_TRUE(result.Passed());
    EXPECT_TRUE(std::filesystem::exists("save/save1.sav"));
}

TEST_F(ReplayTest, SkippedVideosEndSoonAndAreCounted)
{
    platform::VideoSpec clip;
    clip.frameCount = 25 * 8;  // eight seconds
    clip.pictures = platform::SolidColour([](int) { return 0x3060A0u; });
    platform::WriteVideoFile("data/clip.wmv", clip);
    options.world = [](WorldManager& world) {
        DefineTwoRooms(world);
        // Entering screen 1 plays the clip.
        WorldActionlist* entry = world.getWorldScreen(1)->AddPreActionList();
        entry->addAction(ACT_PlayVideo)->addParamObject(0, L"data/clip.wmv");
    };
    const auto start = std::chrono::steady_clock::now();
    const ReplayResult result = RunReplay(
        "videos skip\n"
        "click 600 230\n"
        "wait 800\n"
        "expect videos 0\n"
        "click 400 300\n"
        "wait 800\n"
        "expect screen 1\n"
        "expect videos 1\n"
        "quit\n",
        options);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
    EXPECT_TRUE(result.Passed());
    EXPECT_TRUE(result.finished) << "after " << result.frames << " frames";
    EXPECT_LT(seconds, 6.0) << "the eight-second clip was skipped";
}

TEST_F(ReplayTest, AFailedExpectationIsReportedWithItsLine)
{
    const ReplayResult result = RunReplay("frames 2\nexpect phase world\nquit\n", options);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_NE(result.failures[0].find("line 2"), std::string::npos) << result.failures[0];
    EXPECT_FALSE(result.Passed());
}
