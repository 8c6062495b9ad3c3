// The state search on small worlds written here as world files: a sound world is solved in its
// fewest clicks and the solution, played click by click on a fresh copy of the world, ends at
// the credits; each seeded fault (an item used up before it is needed again, a one-way exit
// into a place with no way out, a grid that can be left unsolvable, a hotspot whose condition
// never holds) is found with the right report; boards no condition tells apart are one state;
// the allow-list excuses what it names; the puzzle chart shows what each goal needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/text_catalogue.h"
#include "puzzle_chart.h"
#include "script/world_files.h"
#include "state_search.h"
#include "world/world_fixture.h"

namespace {

using world_test::WorldTest;

// The lighthouse: take the key in the hut, open the door with it (the key stays in the bar),
// set the dial in the lock room to 1 and 2 (total 1 + 2 * 4 = 9) to open the stair, and light
// the lamp at the top with the key: the credits.
constexpr const char* kLighthouse = R"lua(
variable("key_taken", 0)
variable("door_open", 0)
variable("lamp_seen", 0)
sound{name = "click", file = "data/click.wav"}
item{name = "key", picture = "@PIC@", react_mask = "@PIC@", plain_mask = "@PIC@", sound = "click"}
close_up{item = "key", image = "data/key_close.enc"}
grid{name = "dial", width = 2, height = 1, max = 3}
region{name = "isle", block = 100}
screen{name = "start", number = 0, image = "@PIC@"}
on_enter("start", {go("quay", {fade = 0})})
screen{name = "quay", region = "isle", image = "data/quay.enc"}
screen{name = "hut", region = "isle", image = "data/hut.enc"}
screen{name = "tower", region = "isle", image = "data/tower.enc"}
screen{name = "lock", region = "isle", image = "data/lock.enc"}
screen{name = "top", region = "isle", image = "data/top.enc"}
move{screen = "quay", rect = {0, 0, 99, 99}, to = "hut"}
move{screen = "hut", rect = {0, 0, 99, 99}, to = "quay"}
local key = hotspot{screen = "hut", rect = {200, 200, 299, 299}, when = "key_taken = 0"}
on_click(key, {give("key"), set("key_taken", 1)})
--HUT--
local door = hotspot{screen = "quay", rect = {200, 200, 299, 299}, when = "door_open = 0"}
on_use(door, "key", {set("door_open", 1),
--DOOR--
})
on_click(door, {play("click")})
move{screen = "quay", rect = {400, 200, 499, 299}, to = "tower", when = "door_open = 1"}
move{screen = "tower", rect = {0, 0, 99, 99}, to = "quay"}
move{screen = "tower", rect = {200, 0, 299, 99}, to = "lock"}
move{screen = "tower", rect = {400, 0, 499, 99}, to = "top", when = "total(dial) = 9"}
--LOCK--
code_key{screen = "lock", x = 100, y = 100, w = 50, h = 50, grid = "dial", cx = 0, cy = 0, image = "data/dial.enc", sound = "click"}
code_key{screen = "lock", x = 200, y = 100, w = 50, h = 50, grid = "dial", cx = 1, cy = 0, image = "data/dial.enc", sound = "click"}
move{screen = "lock", rect = {0, 400, 1023, 511}, to = "tower"}
move{screen = "top", rect = {0, 400, 1023, 511}, to = "tower"}
local lamp = hotspot{screen = "top", rect = {200, 200, 299, 299}}
on_use(lamp, "key", {end_game({now = true})})
on_click(lamp, {play("click")})
--LAMP--
--END--
)lua";

class StateSearchTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        c_worldDir = c_dir / "world";
        std::filesystem::create_directories(c_worldDir);
        std::filesystem::create_directories(c_dir / "po");
        std::ofstream(c_dir / "po" / "kelvane.pot") << "msgctxt \"line.hello\"\nmsgid \"Hello.\"\nmsgstr \"\"\n";
        texts = TextCatalogue::Load(c_dir / "po", {});
        c_picture = Solid("picture.png", 16, 8, world_test::kRed);
    }

    // The lighthouse with the text at `marker` ("--HUT--" and the like) replaced by `edit`.
    static std::string Edited(const std::string& marker, const std::string& edit)
    {
        std::string text = kLighthouse;
        const std::size_t at = text.find(marker);
        EXPECT_NE(at, std::string::npos) << marker;
        if (at != std::string::npos) text.replace(at, marker.size(), edit);
        return text;
    }

    // Loads the world from `text` into a fresh world manager and searches it.
    SearchResult Search(const std::string& text, std::unique_ptr<WorldManager>* keep = nullptr)
    {
        std::string files = text;
        for (std::size_t at; (at = files.find("@PIC@")) != std::string::npos;) files.replace(at, 5, c_picture);
        std::ofstream(c_worldDir / "main.lua") << files;
        searched = NewWorld();
        loaded = WorldFiles::Load(*searched, nullptr, c_worldDir, texts);
        StateSearch search(*searched, SearchNames::FromFiles(*loaded), SearchAllowancesFromFiles(*loaded));
        SearchResult result = search.Run();
        startScreen = search.get_StartScreen();
        if (keep != nullptr) *keep = std::move(searched);
        return result;
    }

    // Plays a route's replay commands on `world` through its click operations, as a player's
    // clicks (pick: a picture point, hold: an item from the bar, examine: its close-up, rclick).
    static void Play(WorldManager& world, const std::vector<SearchStep>& route)
    {
        for (const SearchStep& step : route) {
            for (const std::string& command : step.commands) {
                std::istringstream in(command);
                std::string verb;
                int a = 0, b = 0;
                in >> verb >> a >> b;
                if (verb == "pick") EXPECT_TRUE(world.ClickPicture(a, b)) << command;
                else if (verb == "hold") EXPECT_TRUE(world.ClickBarItem(a)) << command;
                else if (verb == "examine") EXPECT_TRUE(world.ExamineBarItem(a)) << command;
                else if (verb == "rclick") world.RightClick();
                else ADD_FAILURE() << "unknown command " << command;
            }
            EXPECT_EQ(world.get_ScreenPosition(), step.screenAfter);
        }
    }

    // A fresh copy of the last world searched, at the start of a new game.
    std::unique_ptr<WorldManager> NewGame()
    {
        std::unique_ptr<WorldManager> fresh = NewWorld();
        keepFiles.push_back(WorldFiles::Load(*fresh, nullptr, c_worldDir, texts));
        fresh->set_Rehearsing(true);
        fresh->JumpToScreen(fresh->get_ScreenPosition(), 0);
        return fresh;
    }

    static std::vector<std::string> Unreached(const SearchResult& result, const std::string& kind)
    {
        std::vector<std::string> names;
        for (const SearchUnreached& thing : result.unreached)
            if (thing.kind == kind) names.push_back(thing.name);
        return names;
    }

    std::filesystem::path c_worldDir;
    std::string c_picture;
    TextCatalogue texts;
    std::unique_ptr<WorldManager> searched;
    std::unique_ptr<WorldFiles> loaded;
    std::vector<std::unique_ptr<WorldFiles>> keepFiles;
    int startScreen = 0;
};

TEST_F(StateSearchTest, SolvesASoundWorldInItsFewestClicksAndTheSolutionPlaysToTheCredits)
{
    std::unique_ptr<WorldManager> world;
    const SearchResult result = Search(Edited("--END--", ""), &world);
    EXPECT_TRUE(result.complete);
    EXPECT_TRUE(result.endingReachable);
    EXPECT_TRUE(result.deadEnds.empty());
    EXPECT_TRUE(result.errors.empty());
    EXPECT_TRUE(result.unreached.empty()) << FormatSearchReport(result);
    EXPECT_EQ(result.Faults(), 0u);
    // hut 1, key 1, quay 1, key on the door 3 (hold, use, put back), tower 1, lock 1, the dial
    // 3 (cell 0 once, cell 1 twice), tower 1, top 1, key on the lamp 3.
    EXPECT_EQ(result.solutionClicks, 16);
    int clicks = 0;
    for (const SearchStep& step : result.solution) clicks += step.clicks;
    EXPECT_EQ(clicks, result.solutionClicks);

    // The search puts the world back as it found it.
    EXPECT_FALSE(world->get_Rehearsing());
    EXPECT_EQ(world->get_ScreenPosition(), 0);
    EXPECT_EQ(world->getGlobalVarValue(loaded->get_Variables().at("key_taken")), 0);

    std::unique_ptr<WorldManager> fresh = NewGame();
    EXPECT_EQ(fresh->get_ScreenPosition(), startScreen);
    Play(*fresh, result.solution);
    EXPECT_TRUE(fresh->SavePlayState().creditsDue);

    const std::string script = FormatReplayScript(result.solution, "the lighthouse", true, startScreen);
    EXPECT_NE(script.find("seed 1000\n"), std::string::npos);
    EXPECT_NE(script.find("expect screen " + std::to_string(startScreen) + "\n"), std::string::npos);
    EXPECT_NE(script.find("hold " + std::to_string(loaded->get_Items().at("key")) + "\n"), std::string::npos);
    EXPECT_EQ(script.substr(script.size() - 21), "expect phase credits\n");
}

TEST_F(StateSearchTest, BoardsNoConditionTellsApartAreOneState)
{
    // The dial has 16 boards; only "total 9" is asked for, so the lock room is two states
    // per story state, not sixteen: the world's whole search stays small.
    const SearchResult plain = Search(Edited("--END--", ""));
    // Every board told apart by a condition asking for each of the sixteen totals.
    std::string asks;
    for (int total = 0; total < 16; ++total)
        asks += "hotspot{screen = \"lock\", rect = {900, 0, 950, 50}, when = \"total(dial) = " + std::to_string(total) + "\"}\n";
    const SearchResult told = Search(Edited("--END--", asks));
    EXPECT_LT(plain.states, told.states);
    EXPECT_GE(told.states - plain.states, 14u) << plain.states << " " << told.states;
}

TEST_F(StateSearchTest, AnItemUsedUpBeforeItsSecondUseIsADeadEnd)
{
    const SearchResult result = Search(Edited("--DOOR--", "drop(),"));
    EXPECT_FALSE(result.endingReachable);
    ASSERT_EQ(result.deadEnds.size(), 1u) << FormatSearchReport(result);
    const SearchDeadEnd& dead = result.deadEnds[0];
    // The ending was out of reach from the start: the new game itself is the dead end.
    EXPECT_EQ(dead.cause, "the new game");
    EXPECT_GT(result.Faults(), 0u);
    // The lamp's use of the key is never played: the key is gone by then.
    EXPECT_EQ(Unreached(result, "item use").size(), 1u) << FormatSearchReport(result);
    ASSERT_FALSE(Unreached(result, "item use").empty());
    EXPECT_NE(Unreached(result, "item use")[0].find("screen top"), std::string::npos);
}

TEST_F(StateSearchTest, AOneWayExitIntoAPlaceWithNoWayOutIsADeadEndWithTheRouteIn)
{
    const SearchResult result = Search(Edited("--HUT--", "screen{name = \"cellar\", region = \"isle\", image = \"data/cellar.enc\"}\n"
                                                         "move{screen = \"hut\", rect = {600, 200, 699, 299}, to = \"cellar\"}\n"));
    EXPECT_TRUE(result.endingReachable);
    ASSERT_FALSE(result.deadEnds.empty()) << FormatSearchReport(result);
    for (const SearchDeadEnd& dead : result.deadEnds) {
        EXPECT_EQ(dead.screen, "cellar");
        EXPECT_EQ(dead.cause.rfind("screen hut, hotspot ", 0), 0u) << dead.cause;
    }
    // The shortest way in: hut, then the cellar.
    const SearchDeadEnd* first = &result.deadEnds[0];
    for (const SearchDeadEnd& dead : result.deadEnds)
        if (dead.clicks < first->clicks) first = &dead;
    EXPECT_EQ(first->clicks, 2);
    std::unique_ptr<WorldManager> fresh = NewGame();
    Play(*fresh, first->route);
    EXPECT_EQ(fresh->get_ScreenPosition(), loaded->get_Screens().at("cellar"));
    EXPECT_GT(result.Faults(), 0u);
}

TEST_F(StateSearchTest, AGridThatCanBeLeftUnsolvableIsADeadEnd)
{
    // A lever that jams the dial: once pulled, a cover over the keys takes every click.
    const SearchResult result = Search(Edited("--LOCK--",
        "variable(\"jammed\", 0)\n"
        "hotspot{screen = \"lock\", rect = {0, 0, 1023, 399}, when = \"jammed = 1\"}\n"
        "local lever = hotspot{screen = \"lock\", rect = {800, 300, 850, 350}, when = \"jammed = 0\"}\n"
        "on_click(lever, {set(\"jammed\", 1)})\n"));
    EXPECT_TRUE(result.endingReachable);
    ASSERT_FALSE(result.deadEnds.empty()) << FormatSearchReport(result);
    bool lever = false;
    for (const SearchDeadEnd& dead : result.deadEnds) {
        EXPECT_EQ(dead.screen, "lock");
        lever |= dead.cause.find("screen lock, hotspot 1") == 0;
    }
    EXPECT_TRUE(lever) << FormatSearchReport(result);
    // Pulled with the dial set right, the lever does no harm: the ending stays in reach then.
    EXPECT_TRUE(result.endingReachable);
}

// A lever whose only list waits for the door does nothing until it is open, and a switch with
// no list does nothing ever: each is named; the allow-list excuses what it names.
TEST_F(StateSearchTest, AClickThatRunsNothingIsNamedAsASilentRefusal)
{
    const std::string lever = "local lever = hotspot{screen = \"hut\", rect = {600, 200, 699, 299}}\n"
                              "on_click(lever, {when = \"door_open = 1\", play(\"click\")})\n";
    const SearchResult result = Search(Edited("--HUT--", lever));
    EXPECT_TRUE(result.endingReachable);
    std::vector<std::string> silent;
    for (const SearchUnreached& thing : result.silent) silent.push_back(thing.name);
    EXPECT_EQ(silent, std::vector<std::string>{"screen hut, hotspot 2"}) << FormatSearchReport(result);
    EXPECT_EQ(result.Faults(), 1u);
    EXPECT_NE(FormatSearchReport(result).find("FAULT   a click says nothing: screen hut, hotspot 2"), std::string::npos);

    const SearchResult quiet = Search(Edited("--LAMP--", "local switch = hotspot{screen = \"top\", rect = {600, 0, 699, 99}}\n"
        "note(\"search_allows\", {{kind = \"silent refusal\", name = \"screen top, hotspot 2\", reason = \"found by ear\"}})\n"));
    EXPECT_EQ(quiet.Faults(), 0u) << FormatSearchReport(quiet);
    EXPECT_NE(FormatSearchReport(quiet).find("allowed a click says nothing: screen top, hotspot 2: found by ear"), std::string::npos)
        << FormatSearchReport(quiet);
}

TEST_F(StateSearchTest, AHotspotWhoseConditionNeverHoldsIsNamedAndTheAllowListExcusesIt)
{
    const std::string never = "local ghost = hotspot{screen = \"hut\", rect = {600, 200, 699, 299}, when = \"lamp_seen = 5\"}\n"
                              "on_click(ghost, {set(\"lamp_seen\", 1)})\n";
    const SearchResult result = Search(Edited("--HUT--", never));
    EXPECT_TRUE(result.endingReachable);
    EXPECT_TRUE(result.deadEnds.empty());
    EXPECT_EQ(Unreached(result, "hotspot list"), std::vector<std::string>{"screen hut, hotspot 2, list 0"})
        << FormatSearchReport(result);
    EXPECT_EQ(result.Faults(), 1u);
    EXPECT_NE(FormatSearchReport(result).find("FAULT   hotspot list never reached: screen hut, hotspot 2, list 0"),
              std::string::npos);

    const SearchResult allowed = Search(Edited("--HUT--", never +
        "note(\"search_allows\", {{kind = \"hotspot list\", name = \"screen hut, hotspot 2, list 0\", reason = \"kept for later\"},"
        " {kind = \"screen\", name = \"nowhere\", reason = \"stale\"}})\n"));
    EXPECT_EQ(allowed.Faults(), 0u) << FormatSearchReport(allowed);
    ASSERT_EQ(allowed.unusedAllowances.size(), 1u);
    EXPECT_EQ(allowed.unusedAllowances[0].name, "nowhere");
    EXPECT_NE(FormatSearchReport(allowed).find("allowed hotspot list never reached: screen hut, hotspot 2, list 0: kept for later"),
              std::string::npos);
}

TEST_F(StateSearchTest, ThePuzzleChartShowsWhatEachGoalNeeds)
{
    const SearchResult result = Search(Edited("--END--", ""));
    const std::string chart = PuzzleChartDot(result);
    // The door needs the key; the dial needs the door (the lock room is reached only through
    // it); the credits need the dial; needs implied through another goal are left out.
    EXPECT_NE(chart.find("\"has key\" -> \"door_open = 1\";"), std::string::npos) << chart;
    EXPECT_NE(chart.find("\"door_open = 1\" -> \"dial set to 9\";"), std::string::npos) << chart;
    EXPECT_NE(chart.find("\"dial set to 9\" -> \"the credits\";"), std::string::npos) << chart;
    EXPECT_EQ(chart.find("\"has key\" -> \"the credits\";"), std::string::npos) << chart;
    EXPECT_EQ(chart.find("\"has key\" -> \"dial set to 9\";"), std::string::npos) << chart;
    EXPECT_EQ(chart, PuzzleChartDot(Search(Edited("--END--", ""))));

    // Taking the key makes both "key_taken = 1" and "has key" hold: one box, whose arrows are
    // those of each (a box made of goals that need each other keeps its own needs).
    const std::string both = PuzzleChartDot(Search(Edited("--END--",
        "hotspot{screen = \"hut\", rect = {900, 0, 950, 50}, when = \"key_taken = 1\"}\n")));
    EXPECT_NE(both.find("\"key_taken = 1 / has key\" -> \"door_open = 1\";"), std::string::npos) << both;
    EXPECT_EQ(both.find("\"has key\""), std::string::npos) << both;
}

TEST_F(StateSearchTest, AGridWhoseKeysSwitchTheirNeighboursIsSetThroughThem)
{
    // Three lamps in a row, each key switching its neighbours too: only the middle key lights
    // all three, and only that board opens the stair.
    std::string text = Edited("--LOCK--",
        "for x = 0, 2 do code_key{screen = \"lock\", x = 400 + 100 * x, y = 300, w = 50, h = 50, grid = \"lamps\","
        " cx = x, cy = 0, image = \"data/lamp.enc\", sound = \"click\"} end\n");
    const std::string grids = "grid{name = \"dial\", width = 2, height = 1, max = 3}\n";
    text.replace(text.find(grids), grids.size(),
                 grids + "grid{name = \"lamps\", width = 3, height = 1, max = 1, neighbours = true}\n");
    const std::string dial = "when = \"total(dial) = 9\"";
    text.replace(text.find(dial), dial.size(), "when = \"all_set(lamps)\"");
    const SearchResult result = Search(text);
    ASSERT_TRUE(result.endingReachable) << FormatSearchReport(result);
    std::unique_ptr<WorldManager> fresh = NewGame();
    Play(*fresh, result.solution);
    EXPECT_TRUE(fresh->SavePlayState().creditsDue);
    // The lamps were set with one click, of the middle key (x 500 .. 550 of the row at y 300 .. 350).
    std::vector<int> lampClicks;
    for (const SearchStep& step : result.solution) {
        for (const std::string& command : step.commands) {
            std::istringstream in(command);
            std::string verb;
            int x = 0, y = 0;
            in >> verb >> x >> y;
            if (verb == "pick" && y >= 300 && y <= 350) lampClicks.push_back(x);
        }
    }
    ASSERT_EQ(lampClicks.size(), 1u) << FormatReplayScript(result.solution, "", true, startScreen);
    EXPECT_GE(lampClicks[0], 500);
    EXPECT_LE(lampClicks[0], 550);
}

TEST_F(StateSearchTest, AHotspotCoveredByOneBeforeItIsNeverClicked)
{
    const SearchResult result = Search(Edited("--HUT--",
        "hotspot{screen = \"hut\", rect = {600, 200, 699, 299}}\n"
        "local under = hotspot{screen = \"hut\", rect = {620, 220, 680, 280}}\n"
        "on_click(under, {set(\"lamp_seen\", 1)})\n"
        "local beside = hotspot{screen = \"hut\", rect = {650, 250, 720, 280}}\n"
        "on_click(beside, {set(\"lamp_seen\", 2)})\n"));
    // The one under is wholly covered; the one beside sticks out (x 700 .. 720, its middle is
    // covered) and is clicked there.
    EXPECT_EQ(Unreached(result, "hotspot list"), std::vector<std::string>{"screen hut, hotspot 3, list 0"})
        << FormatSearchReport(result);
}

}  // namespace
