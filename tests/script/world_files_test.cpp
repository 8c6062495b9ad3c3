#include "script/world_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include "core/error.h"
#include "core/text_catalogue.h"
#include "display/cd3dfont.h"
#include "display/image_offsets.h"
#include "menus/credits_manager.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/hotspot_cursor.h"
#include "world/world_fixture.h"

namespace {

using world_test::WorldTest;

class WorldFilesTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        c_worldDir = c_dir / "world";
        std::filesystem::create_directories(c_worldDir);
        std::filesystem::create_directories(c_dir / "po");
        std::ofstream(c_dir / "po" / "kelvane.pot") << "msgctxt \"line.hello\"\nmsgid \"Hello, keeper.\"\nmsgstr \"\"\n\n"
                                                       "msgctxt \"credits.title\"\nmsgid \"THE ISLAND\"\nmsgstr \"\"\n";
        texts = TextCatalogue::Load(c_dir / "po", {});
        c_logo = Solid("logo.png", 16, 8, world_test::kRed);
    }
    // Writes a world file; "@LOGO@" stands for a picture that exists (screen 0 is shown at once).
    void Write(const std::string& name, std::string text)
    {
        for (std::size_t at; (at = text.find("@LOGO@")) != std::string::npos;) text.replace(at, 6, c_logo);
        std::ofstream(c_worldDir / name) << text;
    }
    std::unique_ptr<WorldFiles> Load(const WorldFiles::Limits& limits = {})
    {
        fresh = NewWorld();
        return WorldFiles::Load(*fresh, nullptr, c_worldDir, texts, limits);
    }
    // The message of the load's failure; fails the test when the load succeeds.
    std::string Failure(const WorldFiles::Limits& limits = {})
    {
        try {
            Load(limits);
        } catch (const Error& e) {
            return e.what();
        }
        ADD_FAILURE() << "the world loaded";
        return {};
    }

    std::filesystem::path c_worldDir;
    std::string c_logo;
    TextCatalogue texts;
    std::unique_ptr<WorldManager> fresh;
};

// A small world in two files: names everywhere, numbers made by the loader.
constexpr const char* kMain = R"lua(
variable("gate_locked", 1)
variable("tide", 2)
grid{name = "wheels", width = 3, height = 1, max = 7}
grid{name = "stars", width = 3, height = 3, max = 1, neighbours = true, wrap_x = true}
grid{name = "more_stars", width = 2, height = 1, max = 1, packed = true}
set_now(cell("wheels", 2, 0), 5)
sound{name = "take", file = "data/take.mp3"}
captions{name = "greeting", {0, ""}, {500, "line.hello"}, {2000, ""}}
film{name = "arrival", file = "data//FMV//arrival.wmv", subtitles = "greeting"}
item{name = "key", picture = "@LOGO@", react_mask = "@LOGO@", plain_mask = "@LOGO@", sound = "take"}
in_bar("key")
region{name = "shore", block = 100}
screen{name = "logo", number = 0, image = "@LOGO@"}
include "shore.lua"
)lua";

constexpr const char* kShore = R"lua(
screen{name = "landing", region = "shore", panorama = true, image = "data/shore_pano01.enc"}
screen{name = "beach", region = "shore", panorama = true, image = "data/shore_pano02.enc"}
screen{name = "padlock", region = "shore", image = "data/shore_padlock.enc"}
move{screen = "logo", rect = {0, 0, 100, 100}, to = "landing", center = "x"}
local gate = hotspot{screen = "landing", rect = {10, 20, 30, 40}, when = "gate_locked = 1 or tide >= 3"}
choose{hotspot = gate, var = "gate_locked", value = 0, to = "cave", otherwise = "padlock"}
on_use(gate, "key", {when = "gate_locked = 1 and not all_set(stars)",
    play("take", {caption = "greeting"}), set("gate_locked", 0), video("arrival"), go("cave", {fade = 0}), reload()})
screen{name = "cave", region = "shore", panorama = true, image = "data/shore_pano03.enc"}
overlay{screen = "padlock", x = 1, y = 2, w = 3, h = 4, image = "data/padlock_open.enc", when = "total(wheels) = 12"}
)lua";

TEST_F(WorldFilesTest, BuildsTheRecordsByNameAndNumbersThem)
{
    Write("main.lua", kMain);
    Write("shore.lua", kShore);
    const std::unique_ptr<WorldFiles> files = Load();

    EXPECT_EQ(files->get_Variables().at("tide"), 2);
    EXPECT_EQ(fresh->getGlobalVarValue(1), 1);
    // Grids from the next hundred; a packed grid from the next ten.
    EXPECT_EQ(fresh->getGlobalVarArray(1)->get_Start(), 100);
    EXPECT_EQ(fresh->getGlobalVarArray(2)->get_Start(), 200);
    EXPECT_EQ(fresh->getGlobalVarArray(3)->get_Start(), 210);
    EXPECT_EQ(fresh->getGlobalVarValue(102), 5);
    // Panoramas from the block, flat views from the block + 50, named screens as pinned.
    EXPECT_EQ(files->get_Screens().at("landing"), 100);
    EXPECT_EQ(files->get_Screens().at("beach"), 101);
    EXPECT_EQ(files->get_Screens().at("padlock"), 150);
    EXPECT_EQ(files->get_Screens().at("cave"), 102);
    EXPECT_EQ(fresh->getWorldScreen(101)->get_Type(), WorldScreen::kPanorama);
    EXPECT_EQ(std::string(fresh->getWorldScreen(150)->get_BaseImage()), "data/shore_padlock.enc");
    EXPECT_EQ(fresh->getWorldScreen(150)->get_Offset(), ScrambleOffsetFor("data/shore_padlock.enc"));

    // A move made before its target was declared.
    const WorldHotspot* move = fresh->getWorldScreen(0)->GetHotspot(0);
    EXPECT_TRUE(move->get_SimpleMove());
    const WorldAction* go = move->GetActionlist(0)->getAction(0);
    EXPECT_EQ(go->get_Type(), ACT_GotoScreen);
    EXPECT_EQ(go->getParamValue(0), 100.0f);
    EXPECT_EQ(go->getParamType(1), 3);

    // The gate: its condition, its two exits and its item use, in the order written.
    const WorldHotspot* gate = fresh->getWorldScreen(100)->GetHotspot(0);
    ASSERT_EQ(gate->get_ActionlistCount(), 3);
    EXPECT_EQ(gate->GetActionlist(0)->get_Conditions(), (std::vector<int>{CT_Var, 1, CT_Equal, CT_Value, 0}));
    EXPECT_EQ(gate->GetActionlist(0)->getAction(0)->getParamValue(0), 102.0f);
    EXPECT_EQ(gate->GetActionlist(1)->getAction(0)->getParamValue(0), 150.0f);
    const WorldActionlist* use = gate->GetActionlist(2);
    EXPECT_FALSE(use->get_Type());
    EXPECT_EQ(use->get_Number(), 1);
    ASSERT_EQ(use->get_ActionNumber(), 5);
    EXPECT_EQ(std::wstring(use->getAction(0)->getParamPath(0)), L"data/take.mp3");
    const SubtitleItem* caption = use->getAction(0)->getParamSubtitles(1);
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(std::string(caption->Get(600)), "Hello, keeper.");
    EXPECT_EQ(use->getAction(2)->getParamSubtitles(2), caption);  // the film's own subtitles
    EXPECT_EQ(use->getAction(4)->get_Type(), ACT_ReloadScreen);

    // Conditions are live: the gate's hotspot exists while it is locked or the tide is low.
    EXPECT_TRUE(fresh->TestConditionList(gate));
    fresh->setGlobalVarValue(1, 0);
    EXPECT_FALSE(fresh->TestConditionList(gate));
    fresh->setGlobalVarValue(2, 3);
    EXPECT_TRUE(fresh->TestConditionList(gate));
    const WorldOverlay* open = fresh->getWorldScreen(150)->GetOverlay(0);
    EXPECT_FALSE(fresh->TestConditionList(open));
    fresh->setGlobalVarValue(101, 2);  // 5 x 64 + 2 x 8 + 0: no; wheels read as base-8 digits
    fresh->setGlobalVarValue(102, 0);
    fresh->setGlobalVarValue(100, 4);
    fresh->setGlobalVarValue(101, 1);
    EXPECT_TRUE(fresh->TestConditionList(open));  // 4 + 1 x 8 = 12

    EXPECT_EQ(files->get_Files().size(), 2u);
}

// The catalogue is UTF-8; the engine draws, measures and stores Latin-1. Captions, credits
// lines and text() give the world Latin-1 bytes, with '?' for what Latin-1 lacks.
TEST_F(WorldFilesTest, CatalogueTextsReachTheWorldAsLatin1)
{
    std::ofstream(c_dir / "po" / "kelvane.pot")
        << "msgctxt \"line.accents\"\nmsgid \"\xC3\x81 la fa\xC3\xA7" "ade, no\xC3\xABl \xE2\x80\x94 ma\xC3\xB1" "ana\"\nmsgstr \"\"\n\n"
           "msgctxt \"credits.title\"\nmsgid \"\xC3\x8ELE \xC3\x96\"\nmsgstr \"\"\n\n"
           "msgctxt \"name\"\nmsgid \"caf\xC3\xA9\"\nmsgstr \"\"\n";
    texts = TextCatalogue::Load(c_dir / "po", {});
    Write("main.lua", "screen{name = 'logo', number = 0, image = '@LOGO@'}\n"
                      "captions{name = 'c', {500, 'line.accents'}}\n"
                      "sound{name = 's', file = 'data/s.mp3'}\n"
                      "local h = hotspot{screen = 'logo', rect = {1, 2, 3, 4}}\n"
                      "on_click(h, {play('s', {caption = 'c'})})\n"
                      "variable(text('name'), 0)\n"
                      "credits{{'credits.title', 'bold'}, {blank = 1}, {'line.accents'}}\n");
    CD3DFont font{"Times New Roman", 15, 0};
    CreditsManager credits(&font, &font, &font, 0.028f);
    fresh = NewWorld();
    const std::unique_ptr<WorldFiles> files = WorldFiles::Load(*fresh, &credits, c_worldDir, texts);

    const char* const accents = "\xC1 la fa\xE7" "ade, no\xEBl ? ma\xF1" "ana";
    const WorldAction* play = fresh->getWorldScreen(0)->GetHotspot(0)->GetActionlist(0)->getAction(0);
    ASSERT_NE(play->getParamSubtitles(1), nullptr);
    EXPECT_EQ(std::string(play->getParamSubtitles(1)->Get(600)), accents);
    ASSERT_EQ(credits.get_LineCount(), 3);
    EXPECT_EQ(std::string(credits.get_Line(0).get_line()), "\xCELE \xD6");
    EXPECT_EQ(std::string(credits.get_Line(2).get_line()), accents);
    EXPECT_EQ(files->get_Variables().count("caf\xE9"), 1u);
}

TEST_F(WorldFilesTest, EveryFaultNamesFileLineAndColumn)
{
    struct Case {
        const char* source;
        const char* says;
    };
    const std::string start = "screen{name = \"logo\", number = 0, image = \"@LOGO@\"}\nvariable(\"lit\", 0)\n";
    const Case cases[] = {
        {"screen{name = 'x', number = 5, image = 'b.enc'\n", "main.lua:4:1: "},  // syntax: the end of the file
        {"local x = = 3\n", "main.lua:3:9: unexpected symbol near '='"},
        {"hotspot{screen = 'logo', rect = {1, 2, 3, 4}, when = 'lit = = 1'}\n", "main.lua:3:61: condition \"lit = = 1\""},
        {"hotspot{screen = 'logo', rect = {1, 2, 3, 4}, when = 'lamp_lit = 1'}\n", "main.lua:3:55: condition \"lamp_lit = 1\": unknown variable 'lamp_lit'"},
        {"screen{name = 'logo', number = 1, image = 'b.enc'}\n", "main.lua:3:16: a screen named 'logo' is declared twice"},
        {"hotspot{screen = 'nowhere', rect = {1, 2, 3, 4}}\n", "main.lua:3:19: unknown screen 'nowhere'"},
        {"hotspot{screen = 'logo', rect = {1, 2, 3}}\n", "main.lua:3:26: 'rect' must be {x1, y1, x2, y2}"},
        {"move{screen = 'logo', rect = {1, 2, 3, 4}, to = 'attic'}\n", "main.lua:3:50: unknown screen 'attic'"},
        {"local h = hotspot{screen = 'logo', rect = {1, 2, 3, 4}}\non_click(h, {set('lit', 'yes')})\n",
         "main.lua:4:14: set(): expected a value"},
        {"local h = hotspot{screen = 'logo', rect = {1, 2, 3, 4}}\non_click(h, {42})\n", "entry 1 of the list is not an action"},
        {"captions{name = 'c', {0, 'no.such.line'}}\n", "main.lua:3:27: no text with the identifier 'no.such.line'"},
        {"hotspot{screen = 'logo', rect = {1, 2, 3, 4}, wen = 'lit = 1'}\n", "main.lua:3:47: unknown field 'wen' in hotspot{}"},
        {"local h = hotspot{screen = 'logo', rect = {1, 2, 3, 4}}\non_click(h, {go('logo', {fad = 0})})\n",
         "unknown field 'fad' in go()'s options (known: fade, angle, center)"},
        // A shared list carries its name; any other field is a misspelling.
        {"shared{name = 'music', nme = 'x', song(1)}\n", "main.lua:3:24: unknown field 'nme' in shared{} (known: name, when)"},
        {"hotspot{screen = 'logo', rect = {1, 2, 3, 4}, cursor = 'grab'}\n",
         "main.lua:3:57: unknown cursor 'grab' (the cursors are normal, react, turn_left"},
        {"include '../secrets.lua'\n", "a world file is named by its path inside the world folder"},
        {"include 'missing.lua'\n", "cannot read the world file"},
        {"include 'bad.lua'\n", "world/bad.lua:2:10: unknown variable 'dim'"},
        {"local function helper() hotspot{screen = 'x', rect = {1, 2, 3, 4}} end\nhelper()\n",
         "main.lua:3:43: unknown screen 'x' (declare it before adding to it) (called from " },
    };
    Write("bad.lua", "-- a file with a fault on its second line\nset_now('dim', 1)\n");
    for (const Case& c : cases) {
        Write("main.lua", start + c.source);
        const std::string message = Failure();
        EXPECT_NE(message.find(c.says), std::string::npos) << "for: " << c.source << "\ngot: " << message;
        EXPECT_EQ(message.find("[string"), std::string::npos) << message;
    }
    // A call over several lines: the fault is placed on the line that holds it.
    Write("main.lua", start + "overlay{screen = 'logo', x = 1, y = 2, w = 3, h = 4, image = 'o.enc',\n"
                              "        when = 'lamp_lit = 1'}\n");
    const std::string below = Failure();
    EXPECT_NE(below.find("main.lua:4:17: condition \"lamp_lit = 1\": unknown variable"), std::string::npos) << below;
    // A fault in an included file is placed in that file, not at the include.
    Write("main.lua", start + "include 'hall.lua'\n");
    Write("hall.lua", "hotspot{screen = 'logo', rect = {1, 2, 3, 4}, when = 'lit = = 1'}\n");
    const std::string included = Failure();
    EXPECT_EQ(included.rfind((c_worldDir / "hall.lua:1:61: condition \"lit = = 1\"").string(), 0), 0u) << included;
    EXPECT_NE(included.find("(called from main.lua:3)"), std::string::npos) << included;
    // A world without screen 0 has nowhere for a new game to start.
    Write("main.lua", "variable('lit', 0)\n");
    EXPECT_NE(Failure().find("no screen number 0"), std::string::npos);
}

// Every hotspot the files leave as "something reacts" shows what a click on it does.
TEST_F(WorldFilesTest, HotspotsShowTheCursorOfWhatAClickDoes)
{
    Write("main.lua", R"lua(
variable("gate_locked", 1)
variable("key_taken", 0)
sound{name = "take", file = "data/take.mp3"}
item{name = "key", picture = "@LOGO@", react_mask = "@LOGO@", plain_mask = "@LOGO@", sound = "take"}
item{name = "lamp", picture = "@LOGO@", react_mask = "@LOGO@", plain_mask = "@LOGO@", sound = "take"}
region{name = "shore", block = 100}
screen{name = "logo", number = 0, image = "@LOGO@"}
screen{name = "landing", region = "shore", panorama = true, image = "data/a.enc"}
screen{name = "beach", region = "shore", panorama = true, image = "data/b.enc"}
screen{name = "bench", region = "shore", image = "data/c.enc"}
screen{name = "drawer", region = "shore", image = "data/d.enc"}
local diary = book{name = "diary", number = 90001, cover = "take", page = "take", pages = {"data/p1.enc", "data/p2.enc"}}
move{screen = "landing", rect = {0, 100, 200, 400}, to = "beach"}                  -- 0 walk
move{screen = "landing", rect = {300, 100, 400, 400}, to = "bench"}                -- 1 look
local dark = hotspot{screen = "landing", rect = {500, 100, 600, 400}}              -- 2 walk, with the lamp
on_click(dark, {play("take")})
on_use(dark, "lamp", {go("beach")})
local gate = hotspot{screen = "landing", rect = {700, 100, 800, 400}}              -- 3 use
on_use(gate, "key", {set("gate_locked", 0)})
move{screen = "landing", rect = {900, 100, 950, 400}, to = "beach", cursor = "read"} -- 4 as named
move{screen = "bench", rect = {0, 440, 1023, 511}, to = "landing"}                 -- 0 back
move{screen = "bench", rect = {100, 100, 300, 300}, to = "drawer"}                 -- 1 look
move{screen = "bench", rect = {400, 100, 500, 300}, to = diary[1]}                 -- 2 read
local key = hotspot{screen = "bench", rect = {600, 100, 700, 200}, when = "key_taken = 0"} -- 3 take
on_click(key, {play("take"), give("key"), set("key_taken", 1), reload()})
local lever = hotspot{screen = "bench", rect = {800, 100, 900, 200}}               -- 4 use
on_click(lever, {set("gate_locked", 0)})
move{screen = "drawer", rect = {0, 440, 1023, 511}, to = "bench"}                  -- 0 back, flat to flat
move{screen = "drawer", rect = {0, 0, 150, 511}, to = "bench", cursor = 2}         -- 1 turn left kept
move{screen = "drawer", rect = {300, 100, 700, 400}, to = "beach"}                 -- 2 walk out of a view
)lua");
    Load();
    const auto cursor = [&](int screen, int hotspot) {
        return hotspot_cursor::Name(fresh->getWorldScreen(screen)->GetHotspot(hotspot)->get_Cursor());
    };
    const std::pair<int, int> at[] = {{100, 0}, {100, 1}, {100, 2}, {100, 3}, {100, 4}, {150, 0}, {150, 1},
                                      {150, 2}, {150, 3}, {150, 4}, {151, 0}, {151, 1}, {151, 2}};
    const char* const want[] = {"walk", "look", "walk", "use", "read", "back", "look", "read", "take", "use", "back", "turn_left", "walk"};
    for (std::size_t i = 0; i < std::size(at); ++i)
        EXPECT_STREQ(cursor(at[i].first, at[i].second), want[i]) << "screen " << at[i].first << " hotspot " << at[i].second;
}

TEST_F(WorldFilesTest, DescribingTheFilesBuildsNoWorldButKeepsScreensAndNotes)
{
    Write("main.lua", kMain);
    Write("shore.lua", std::string(kShore) + R"lua(
note("place", {screen = "landing", landmarks = {{look = "gate", rect = {10, 20, 30, 40}, open = true}}, seed = 1001})
)lua");
    const std::unique_ptr<WorldFiles> files = WorldFiles::Describe(c_worldDir, texts);
    ASSERT_EQ(files->get_ScreenList().size(), 5u);
    EXPECT_EQ(files->get_ScreenList()[1].name, "landing");
    EXPECT_EQ(files->get_ScreenList()[1].number, 100);
    EXPECT_TRUE(files->get_ScreenList()[1].panorama);
    EXPECT_EQ(files->get_ScreenList()[1].region, "shore");
    ASSERT_EQ(files->get_Notes().size(), 1u);
    const WorldFiles::Note& note = files->get_Notes()[0];
    EXPECT_EQ(note.kind, "place");
    EXPECT_NE(note.where.find("shore.lua:"), std::string::npos);
    EXPECT_EQ(note.value["screen"].text, "landing");
    EXPECT_EQ(note.value["seed"].number, 1001.0);
    const WorldNote& gate = note.value["landmarks"].list.at(0);
    EXPECT_EQ(gate["look"].text, "gate");
    EXPECT_TRUE(gate["open"].flag);
    EXPECT_EQ(gate["rect"].list.at(3).number, 40.0);
    EXPECT_EQ(note.value["missing"].kind, WorldNote::Nil);
    // Faults are found just as when the world is built.
    Write("shore.lua", "hotspot{screen = 'attic', rect = {1, 2, 3, 4}}\n");
    EXPECT_THROW(WorldFiles::Describe(c_worldDir, texts), Error);
}

TEST_F(WorldFilesTest, TheSandboxHasNoFilesProcessesOrLoadingAndStopsRunawayScripts)
{
    for (const char* name : {"io", "os", "package", "require", "load", "loadfile", "dofile", "debug"}) {
        Write("main.lua", std::string("assert(") + name + " == nil, '" + name + " is reachable')\n"
                          "screen{name = 'logo', number = 0, image = '@LOGO@'}\n");
        EXPECT_NO_THROW(Load()) << name;
    }
    // A precompiled chunk is refused.
    Write("main.lua", std::string("\x1bLua\x54\x00", 6));
    EXPECT_NE(Failure().find("main.lua"), std::string::npos);

    WorldFiles::Limits small;
    small.instructions = 2'000'000;
    small.memoryBytes = 8u << 20;
    const auto started = std::chrono::steady_clock::now();
    Write("main.lua", "screen{name = 'logo', number = 0, image = '@LOGO@'}\nwhile true do end\n");
    const std::string endless = Failure(small);
    EXPECT_NE(endless.find("main.lua:2:1: the world files ran for more than 2 million instructions"), std::string::npos) << endless;
    Write("main.lua", "local t = {}\nfor i = 1, 1e9 do\n  t[i] = string.rep('x', 100) .. i\nend\n");
    const std::string greedy = Failure(small);
    EXPECT_NE(greedy.find("main.lua:3:3: the world files used more than 8 MiB of memory"), std::string::npos) << greedy;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
}

}  // namespace

namespace {

// A world with a region, a book and captions for the clue declarations below.
constexpr const char* kClueWorld = R"lua(
region{name = "shore", block = 100}
screen{name = "logo", number = 0, image = "@LOGO@"}
sound{name = "page", file = "data/page.mp3"}
captions{name = "greeting", {0, ""}, {500, "line.hello"}, {2000, ""}}
book{name = "register", number = 90001, cover = "page", page = "page", pages = {"data/reg_p01.enc", "data/reg_p02.enc"}}
)lua";

}  // namespace

TEST_F(WorldFilesTest, CluesNameAScreenOrACaptionLineAndTheirFaultsArePlaced)
{
    std::ofstream(c_dir / "po" / "kelvane.pot", std::ios::app)
        << "\nmsgctxt \"journal.post\"\nmsgid \"The tide post\"\nmsgstr \"\"\n"
           "\nmsgctxt \"journal.hello\"\nmsgid \"A greeting\"\nmsgstr \"\"\n";
    texts = TextCatalogue::Load(c_dir / "po", {});
    // A clue may name a screen declared after it, as exits do.
    Write("main.lua", std::string(kClueWorld) +
                          "clue{name = 'post', screen = 'post', title = 'journal.post'}\n"
                          "clue{name = 'page', screen = 'register_p2', title = 'journal.post'}\n"
                          "clue{name = 'hello', line = 'line.hello', title = 'journal.hello'}\n"
                          "screen{name = 'post', region = 'shore', image = 'data/shore_post.enc'}\n");
    const std::unique_ptr<WorldFiles> files = Load();
    const std::vector<WorldFiles::Clue>& clues = files->get_Clues();
    ASSERT_EQ(clues.size(), 3u);
    EXPECT_EQ(clues[0].screenNumber, 150) << "the region's first flat view";
    EXPECT_EQ(clues[0].image, "data/shore_post.enc");
    EXPECT_EQ(clues[0].imageOffset, ScrambleOffsetFor("data/shore_post.enc"));
    EXPECT_EQ(clues[0].title, "The tide post");
    EXPECT_EQ(clues[1].screenNumber, 90002);
    EXPECT_EQ(clues[1].image, "data/reg_p02.enc");
    EXPECT_EQ(clues[1].imageOffset, ScrambleOffsetFor("data/reg_p01.enc")) << "a book's pages share its scramble";
    EXPECT_EQ(clues[2].screenNumber, -1);
    EXPECT_EQ(clues[2].line, "Hello, keeper.") << "the text the captions show";
    EXPECT_TRUE(clues[2].screen.empty());
    EXPECT_EQ(clues[2].where, "main.lua:9");

    struct Case {
        const char* source;
        const char* says;
    };
    const Case cases[] = {
        {"clue{name = 'lamp', screen = 'attic', title = 'journal.post'}\n", "main.lua:7:31: clue 'lamp': unknown screen 'attic'"},
        {"clue{name = 'lamp', screen = 'logo', title = 'journal.none'}\n",
         "main.lua:7:47: no text with the identifier 'journal.none'"},
        {"clue{name = 'lamp', line = 'journal.post', title = 'journal.post'}\n",
         "main.lua:7:29: clue 'lamp': the text 'journal.post' is no line of any captions{}"},
        {"clue{name = 'lamp', line = 'line.gone', title = 'journal.post'}\n",
         "main.lua:7:29: no text with the identifier 'line.gone'"},
        {"clue{name = 'lamp', screen = 'logo', title = 'journal.post'}\nclue{name = 'lamp', line = 'line.hello', title = 'journal.post'}\n",
         "main.lua:8:14: a clue named 'lamp' is declared twice"},
        {"clue{name = 'lamp', title = 'journal.post'}\n", "main.lua:7:14: clue 'lamp' needs either screen"},
        {"clue{name = 'lamp', screen = 'logo', line = 'line.hello', title = 'journal.post'}\n", "not both"},
        {"clue{name = 'lamp', screen = 'logo'}\n", "main.lua:7:1: 'title' is missing"},
        {"clue{screen = 'logo', title = 'journal.post'}\n", "'name' is missing"},
        {"clue{name = 'lamp', screen = 'logo', titel = 'journal.post'}\n", "unknown field 'titel' in clue{}"},
    };
    for (const Case& c : cases) {
        Write("main.lua", std::string(kClueWorld) + c.source);
        const std::string message = Failure();
        EXPECT_NE(message.find(c.says), std::string::npos) << "for: " << c.source << "\ngot: " << message;
    }
}
