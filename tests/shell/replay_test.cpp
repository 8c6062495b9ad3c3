#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "display/image_offsets.h"
#include "imaging/image.h"
#include "menus/save_file.h"
#include "platform/media/media_writer.h"
#include "world/action_codes.h"
#include "world/world_action.h"
#include "world/world_actionlist.h"
#include "world/world_book_creator.h"
#include "game_data_fixture.h"
#include "shell/replay.h"
#include "world/world_manager.h"
#include "world/world_screen.h"

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

TEST(ReplayScript, ASeedComesFirstAndAScreenshotMayWaitToSettle)
{
    std::vector<ReplayCommand> commands;
    std::string error;
    ASSERT_TRUE(ParseReplayScript("# the cabinet\nseed 42\nframes 1\nscreenshot settled a.png\nscreenshot b.png\n",
                                  &commands, &error))
        << error;
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands[0].kind, ReplayCommand::Seed);
    EXPECT_EQ(commands[0].numbers, std::vector<int>{42});
    EXPECT_EQ(commands[2].text, "a.png");
    EXPECT_EQ(commands[2].numbers, std::vector<int>{1});
    EXPECT_EQ(commands[3].text, "b.png");
    EXPECT_TRUE(commands[3].numbers.empty());

    // Why a script is refused; empty when it is accepted.
    auto refusal = [](const std::string& script) {
        std::vector<ReplayCommand> parsed;
        std::string why;
        return ParseReplayScript(script, &parsed, &why) ? std::string() : why;
    };
    EXPECT_NE(refusal("frames 1\nseed 42\n").find("line 2: 'seed' must come before every other command"),
              std::string::npos);
    EXPECT_NE(refusal("seed -1\n"), "");
    EXPECT_NE(refusal("screenshot settled a.png b.png\n"), "");
    EXPECT_EQ(refusal("screenshot settled\n"), "") << "a file may be called 'settled'";
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
        "click 716 40\n"   // quit button of the top menu, twice to confirm
        "click 716 40\n"
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
        "click 242 40\n"   // the top menu's save button
        "expect phase menu\n"
        "expect menupage 3\n"
        "click 250 145\n"  // slot 1
        "type den\n"
        "key RETURN\n"
        "frames 2\n"
        "expect phase world\n"
        "expect screen 1\n"
        "click 716 40\n"   // quit to the main menu
        "click 716 40\n"
        "expect menupage 0\n"
        "click 620 325\n"  // restore page
        "expect menupage 1\n"
        "click 250 145\n"  // slot 1
        "expect phase world\n"
        "expect screen 1\n"
        "wait 800\n"
        "click 716 40\n"
        "click 716 40\n"
        "click 600 230\n"  // new game: slot 0 puts the world back on screen 0
        "expect phase world\n"
        "expect screen 0\n"
        "quit\n",
        options);
    for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
    EXPECT_TRUE(result.Passed());
    EXPECT_TRUE(std::filesystem::exists("save/save1.sav"));
}

namespace {

// A lectern (screen 0) whose register opens on book pages numbered beyond what a save file
// holds; the foot of each page puts the register back.
void DefineLecternAndRegister(WorldManager& world)
{
    WorldScreen* lectern = world.AddWorldScreen(0, 0, "data/room0.enc", ScrambleOffsetFor("data/room0.enc"));
    lectern->QHS_StandardMove(0, 0, 1024, 512, 90001);
    WorldBookCreator book(&world, L"data/none.wav", L"data/none.wav", 90001, ScrambleOffsetFor("data/room1.enc"));
    for (int page = 0; page < 2; ++page) book.AddPage("data/room1.enc")->QHS_StandardMove(300, 460, 724, 511, 0);
    world.AddGlobalVar(1, 7);
    world.TransportToScreen(0);
}

}  // namespace

TEST_F(ReplayTest, SavingWhileReadingABookRestoresThePlayerAtTheLectern)
{
    options.world = DefineLecternAndRegister;
    const ReplayResult result = RunReplay(
        "click 600 230\n"  // new game
        "wait 800\n"
        "click 400 300\n"  // open the register
        "wait 800\n"
        "expect screen 90001\n"
        "click 242 40\n"   // the top menu's save button
        "expect menupage 3\n"
        "click 250 145\n"  // slot 1
        "type tides\n"
        "key RETURN\n"
        "frames 2\n"
        "expect phase world\n"
        "expect screen 90001\n"  // still reading
        "click 716 40\n"   // quit to the main menu
        "click 716 40\n"
        "expect menupage 0\n"
        "click 620 325\n"  // restore page
        "click 250 145\n"  // slot 1
        "expect phase world\n"
        "expect screen 0\n"
        "quit\n",
        options);
    for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
    EXPECT_TRUE(result.Passed());
    SaveRecord saved;
    std::ifstream in("save/save1.sav", std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_TRUE(ParseSaveFile(bytes, &saved, nullptr)) << "slot 1 holds a save";
    EXPECT_EQ(saved.title, "tides");
    EXPECT_EQ(saved.screen, 0) << "the lectern the register was opened from";
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
    for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
    EXPECT_TRUE(result.Passed());
    EXPECT_TRUE(result.finished) << "after " << result.frames << " frames";
    EXPECT_GT(result.filmSeconds, 0.0) << "the clip showed no frame";
    EXPECT_LT(result.filmSeconds, 4.0) << "the eight-second clip was not skipped";
}

// A film plays in real time, as many frames as the machine manages; the game around it must not
// notice: the same script gives the same game time and frames whether its films are watched to
// the end or skipped, and a skipped film's Escape never reaches the world (where it would open
// the settings screen). The second clip is over in about as many frames as a skip lets a film
// show, so its Escape may come as it ends by itself.
TEST_F(ReplayTest, FilmsStopTheGameClockAndASkippedOneLeavesNoEscapeBehind)
{
    platform::VideoSpec longClip;
    longClip.frameCount = 25 * 3 / 2;
    longClip.pictures = platform::SolidColour([](int) { return 0x3060A0u; });
    platform::WriteVideoFile("data/long.wmv", longClip);
    platform::VideoSpec shortClip = longClip;
    shortClip.frameCount = 3;
    platform::WriteVideoFile("data/short.wmv", shortClip);
    options.world = [](WorldManager& world) {
        DefineTwoRooms(world);
        world.getWorldScreen(1)->AddPreActionList()->addAction(ACT_PlayVideo)->addParamObject(0, L"data/long.wmv");
        world.getWorldScreen(0)->AddPreActionList()->addAction(ACT_PlayVideo)->addParamObject(0, L"data/short.wmv");
    };
    const std::string walk =
        "click 600 230\n"
        "wait 800\n"
        "click 400 300\n"
        "expect settings closed\n"
        "wait 800\n"
        "click 400 300\n"
        "expect settings closed\n"
        "wait 800\n"
        "click 400 300\n"
        "expect settings closed\n"
        "wait 800\n"
        "expect screen 1\n"
        "expect settings closed\n"
        "quit\n";
    const ReplayResult watched = RunReplay("videos watch\n" + walk, options);
    const ReplayResult skipped = RunReplay("videos skip\n" + walk, options);
    for (const std::string& failure : watched.failures) ADD_FAILURE() << "watched: " << failure;
    for (const std::string& failure : skipped.failures) ADD_FAILURE() << "skipped: " << failure;
    EXPECT_TRUE(watched.Passed());
    EXPECT_TRUE(skipped.Passed());
    EXPECT_EQ(skipped.gameMs, watched.gameMs) << "a film moved the game's clock";
    EXPECT_EQ(skipped.frames, watched.frames);
}

TEST_F(ReplayTest, AFailedExpectationIsReportedWithItsLine)
{
    const ReplayResult result = RunReplay("frames 2\nexpect phase world\nquit\n", options);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_NE(result.failures[0].find("line 2"), std::string::npos) << result.failures[0];
    EXPECT_FALSE(result.Passed());
}

// A panorama with two spots on opposite sides of the start view and a flat room where item 2
// works; item 1's close-up is screen 5.
void DefinePanoramaAndItems(WorldManager& world)
{
    world.AddItem(1, "data/item.enc", "data/item.enc", "data/item.enc", "data/item.enc", "data/item.enc",
                  L"nothing/item.wav", 75, 75, 37, 37, 0, 5);
    world.AddItem(2, "data/item.enc", "data/item.enc", "data/item.enc", "data/item.enc", "data/item.enc",
                  L"nothing/item.wav", 75, 75, 37, 37, 0, 5);
    world.ActivateItem(1);
    world.ActivateItem(2);
    world.AddGlobalVar(1, 0);
    world.AddGlobalVar(2, 0);
    WorldScreen* round = world.AddWorldScreen(0, WorldScreen::kPanorama, "data/round.enc", ScrambleOffsetFor("data/round.enc"));
    WorldAction* set = round->AddHotspot(900, 200, 960, 260)->AddActionlist(true, 0)->addAction(ACT_SetVar);
    set->addParam(0, 1.0f);
    set->addParam(1, 9.0f);
    round->QHS_StandardMove(300, 200, 360, 260, 1);
    WorldScreen* room = world.AddWorldScreen(1, WorldScreen::kFlat, "data/room0.enc", ScrambleOffsetFor("data/room0.enc"));
    WorldAction* use = room->AddHotspot(480, 220, 540, 290)->AddActionlist(false, 2)->addAction(ACT_SetVar);
    use->addParam(0, 2.0f);
    use->addParam(1, 5.0f);
    world.AddWorldScreen(5, WorldScreen::kFlat, "data/room1.enc", ScrambleOffsetFor("data/room1.enc"));
    world.TransportToScreen(0);
}

TEST_F(ReplayTest, PickTurnsThePanoramaToItsPointAndItemsAreHeldAndExaminedFromTheBar)
{
    data.WritePicture("data/round.enc", 2048, 512, kRedScreen, ScrambleOffsetFor("data/round.enc"));
    data.WritePicture("data/item.enc", 75, 75, kGreenScreen, 0);
    options.world = DefinePanoramaAndItems;
    const ReplayResult result = RunReplay(
        "click 600 230\n"
        "wait 800\n"
        "expect screen 0\n"
        "pick 930 230\n"    // well right of the start view: the view turns right to it
        "expect var 1 9\n"
        "pick 330 230\n"    // and back left
        "expect screen 1\n"
        "pick 510 255\n"    // empty-handed, nothing happens
        "expect var 2 0\n"
        "hold 2\n"
        "expect held 2\n"
        "pick 510 255\n"
        "expect var 2 5\n"
        "rclick 400 300\n"
        "expect held 0\n"
        "examine 1\n"
        "expect screen 5\n"
        "rclick 400 300\n"
        "expect screen 1\n"
        "hold 7\n"          // not in the bar: a failure naming the line
        "quit\n",
        options);
    ASSERT_EQ(result.failures.size(), 1u) << (result.failures.empty() ? "" : result.failures[0]);
    EXPECT_NE(result.failures[0].find("line 20: item 7 is not in the inventory bar"), std::string::npos)
        << result.failures[0];
    EXPECT_TRUE(result.finished);
    // Each click that changed the screen was timed from its frame to the new screen's first.
    std::vector<std::pair<int, int>> moves;  // script line, screen entered
    for (const ClickLatency& click : result.clicks) {
        if (click.line == 1) continue;  // the new game, entered from the menu
        moves.emplace_back(click.line, click.screen);
        EXPECT_GT(click.ms, 0.0);
        EXPECT_LE(click.afterLoadingMs, click.ms);
        EXPECT_FALSE(click.scripted) << "line " << click.line;
    }
    EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{6, 1}, {16, 5}, {18, 1}}));
    // Screens 0, 1, 5 and 1 again were entered (the start screen by the new game), each timed.
    EXPECT_GE(result.screenEntries.count, 3);
    EXPECT_GT(result.screenEntries.slowestMs, 0.0);
    EXPECT_GE(result.screenEntries.totalMs, result.screenEntries.slowestMs);
}

TEST_F(ReplayTest, PaceSetsTheGameTimeEachFrameAdds)
{
    const ReplayResult slow = RunReplay("pace 10\nwait 3000\nquit\n", options);
    const ReplayResult fast = RunReplay("pace 250\nwait 3000\nquit\n", options);
    EXPECT_TRUE(slow.Passed());
    EXPECT_TRUE(fast.Passed());
    EXPECT_GE(slow.frames, 280);
    EXPECT_LE(fast.frames, 20);
    std::vector<ReplayCommand> commands;
    std::string error;
    EXPECT_FALSE(ParseReplayScript("pace 0\n", &commands, &error));
    EXPECT_FALSE(ParseReplayScript("pick 2048 10\n", &commands, &error));
    EXPECT_NE(error.find("2048 x 512"), std::string::npos) << error;
}


namespace {

// The values a world definition draws from the random generator, as the game's world draws
// the cabinet's eight wheels.
std::vector<int> DrawnAtStartUp(const std::string& script, ReplayOptions options)
{
    std::vector<int> drawn;
    options.world = [&drawn](WorldManager& world) {
        DefineTwoRooms(world);
        for (int i = 0; i < 8; ++i) drawn.push_back(std::rand() % 8);
    };
    const ReplayResult result = RunReplay(script, options);
    for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
    return drawn;
}

}  // namespace

TEST_F(ReplayTest, TheSeedFixesTheRandomSetUpAndDifferentSeedsDiffer)
{
    const std::vector<int> byDefault = DrawnAtStartUp("quit\n", options);
    EXPECT_EQ(DrawnAtStartUp("quit\n", options), byDefault) << "every replay is the same game";
    EXPECT_EQ(DrawnAtStartUp("seed 1000\nquit\n", options), byDefault) << "the default seed is 1000";
    const std::vector<int> seven = DrawnAtStartUp("seed 7\nquit\n", options);
    EXPECT_EQ(DrawnAtStartUp("seed 7\nquit\n", options), seven);
    EXPECT_NE(seven, byDefault);
    options.seed = 7;
    EXPECT_EQ(DrawnAtStartUp("quit\n", options), seven) << "the options' seed, unless the script names one";
}

TEST_F(ReplayTest, TypingATitleTypesEveryLetterDoubledOnesTwice)
{
    const ReplayResult result = RunReplay(
        "click 600 230\n"  // new game
        "wait 800\n"
        "click 242 40\n"   // the top menu's save button
        "expect menupage 3\n"
        "click 250 145\n"  // slot 1
        "type keeper 2 see\n"
        "key RETURN\n"
        "frames 2\n"
        "expect phase world\n"
        "quit\n",
        options);
    for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
    std::ifstream file("save/save1.sav", std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    SaveRecord saved;
    std::string error;
    ASSERT_TRUE(ParseSaveFile(bytes, &saved, &error)) << error;
    EXPECT_EQ(saved.title, "keeper 2 see");
}

TEST_F(ReplayTest, ASettledScreenshotWaitsForTheCrossFadeToEnd)
{
    data.WritePicture("data/round.enc", 2048, 512, kRedScreen, ScrambleOffsetFor("data/round.enc"));
    data.WritePicture("data/item.enc", 75, 75, kGreenScreen, 0);
    options.world = DefinePanoramaAndItems;
    const std::string during = (data.Dir() / "during.png").string();
    const std::string closeUp = (data.Dir() / "close-up.png").string();
    const std::string back = (data.Dir() / "back.png").string();
    const ReplayResult result = RunReplay(
        "click 600 230\n"
        "wait 800\n"
        "move 400 300\n"
        "examine 1\n"  // the close-up (green) fades in over the panorama (red) in 600 ms
        "frames 16\n"
        "screenshot " + during + "\n"
        "screenshot settled " + closeUp + "\n"
        "rclick 400 300\n"
        "screenshot settled " + back + "\n"
        "quit\n",
        options);
    for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
    // The view's centre, left of the cursor, in each picture.
    auto viewColour = [](const std::string& path) -> std::uint32_t {
        std::ifstream file(path, std::ios::binary);
        const std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        imaging::Image image;
        std::string error;
        if (!imaging::DecodeImage(png.data(), png.size(), &image, &error)) {
            ADD_FAILURE() << path << ": " << error;
            return 0;
        }
        const std::uint8_t* p = image.Row(300) + 200 * 4;
        return 0xFF000000u | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
    };
    // The largest difference of one colour channel (the pictures are JPEGs: a few steps off).
    auto distance = [](std::uint32_t a, std::uint32_t b) {
        int most = 0;
        for (int shift : {0, 8, 16}) most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
        return most;
    };
    const std::uint32_t mixed = viewColour(during);
    EXPECT_GT(distance(mixed, kGreenScreen), 24) << "a plain screenshot shows the cross-fade under way";
    EXPECT_GT(distance(mixed, kRedScreen), 24) << "a plain screenshot shows the cross-fade under way";
    EXPECT_LE(distance(viewColour(closeUp), kGreenScreen), 4) << "the close-up alone";
    EXPECT_LE(distance(viewColour(back), kRedScreen), 4) << "the panorama alone";
}

TEST(ReplayLatency, PercentilesAreTakenByNearestRank)
{
    const LatencyStats none = SummariseLatencies({});
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.worst, 0.0);

    std::vector<double> twenty;
    for (int i = 20; i >= 1; --i) twenty.push_back(i);  // given out of order
    const LatencyStats s = SummariseLatencies(twenty);
    EXPECT_EQ(s.count, 20);
    EXPECT_EQ(s.p50, 10.0);
    EXPECT_EQ(s.p95, 19.0) << "the 19th of 20";
    EXPECT_EQ(s.worst, 20.0);

    const LatencyStats three = SummariseLatencies({5.0, 1.0, 9.0});
    EXPECT_EQ(three.p50, 5.0);
    EXPECT_EQ(three.p95, 9.0);
    const LatencyStats one = SummariseLatencies({7.5});
    EXPECT_EQ(one.p50, 7.5);
    EXPECT_EQ(one.p95, 7.5);

    ReplayResult result;
    result.clicks = {{3, 10, 40.0, 20.0, false}, {4, 11, 10.0, 5.0, false}, {5, 12, 900.0, 900.0, true}};
    const std::string line = LatencyReport(result, 20);
    EXPECT_NE(line.find("over 2 screen changes: p50 10.0 ms, p95 40.0 ms, worst 40.0 ms (screen 10, line 3)"),
              std::string::npos)
        << line;
    EXPECT_NE(line.find("= 0.50 / 2.00 / 2.00 frames of 20 ms"), std::string::npos) << line;
    EXPECT_NE(line.find("1 clicks with a scripted wait or film first left out"), std::string::npos) << line;
    EXPECT_NE(line.find("over a frame: 1 (screen 10 line 3 40.0 ms)"), std::string::npos)
        << "the scripted click and the quick one are not named: " << line;
}
