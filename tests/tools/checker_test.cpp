// The world checker on small worlds built here: a sound world passes without a finding, and
// each kind of fault (files, names, conditions, parameters, reachability, items) is found and
// placed. Pictures, sounds and a video are written by the test; the device is headless.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "checked_world.h"
#include "display/d3dfunc.h"
#include "display/d3dmat.h"
#include "display/image_offsets.h"
#include "display/world_inventory.h"
#include "file_probe.h"
#include "imaging/image.h"
#include "imaging/scrambled.h"
#include "input/mouse_manager.h"
#include "media/game_sound_manager.h"
#include "media/music_manager.h"
#include "media/subtitle_item.h"
#include "platform/media/media_writer.h"
#include "script/world_files.h"
#include "support/harness.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/world_book_creator.h"
#include "world/world_manager.h"
#include "world_census.h"
#include "world_checker.h"
#include "world_map.h"
#include "world_uses.h"

namespace {

namespace fs = std::filesystem;

// A world of the test's own on the headless device, with files in a fresh directory.
class CheckerTest : public kt::DeviceTest {
protected:
    void SetUp() override
    {
        kt::DeviceTest::SetUp();
        D3Dfunc::pD3Ddevice = &device;
        D3Dfunc::WhiteMaterial = D3Dmat();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        c_dir = fs::temp_directory_path() / (std::string("kelvane-check-") + info->name() + "-" +
                                             std::to_string(::getpid()));
        fs::remove_all(c_dir);
        fs::create_directories(c_dir);
        const char* black = Picture("black.png", 8, 8);
        mouse = std::make_unique<MouseManager>(&kt::GetWindow());
        world = std::make_unique<WorldManager>(16, 8, 350, black, 0, mouse.get(), &music, nullptr, 32500.0f, 600,
                                               black, black, black, black, 0);
        world->set_SoundManager(&sounds);
        tracks = {{1, Wide(Sound("song1.wav"))}};
        music.AddSong(1, tracks[0].path);
    }
    void TearDown() override
    {
        world.reset();
        std::error_code ignored;
        fs::remove_all(c_dir, ignored);
    }

    // Keeps a string alive for the test: the world keeps the caller's pointers.
    const char* Keep(const std::string& text)
    {
        c_texts.push_back(std::make_unique<std::string>(text));
        return c_texts.back()->c_str();
    }
    const wchar_t* Wide(const std::string& text)
    {
        c_wides.push_back(std::make_unique<std::wstring>(text.begin(), text.end()));
        return c_wides.back()->c_str();
    }
    std::string PathOf(const std::string& name) const { return (c_dir / name).string(); }

    // A PNG picture of varied pixels (so that it is longer than any rotation offset used).
    const char* Picture(const std::string& name, int width, int height)
    {
        imaging::Image image;
        image.width = width;
        image.height = height;
        image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
        for (std::size_t i = 0; i < image.pixels.size(); ++i) {
            image.pixels[i] = static_cast<std::uint8_t>(i % 4 == 3 ? 255 : (i * 2654435761u) >> 13);
        }
        WriteBytes(name, imaging::EncodePng(image));
        return Keep(PathOf(name));
    }
    // A file holding bytes that are no picture, sound or video.
    const char* Garbage(const std::string& name)
    {
        WriteBytes(name, std::vector<std::uint8_t>(600, 0x5A));
        return Keep(PathOf(name));
    }
    std::string Sound(const std::string& name)
    {
        platform::WriteSoundFile(PathOf(name), platform::SoundSpec{22050, 1, 2205, nullptr});
        return PathOf(name);
    }
    void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        fs::create_directories((c_dir / name).parent_path());
        std::ofstream(c_dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    WorldScreen* Screen(int number, int type = WorldScreen::kFlat)
    {
        return world->AddWorldScreen(number, type, Picture("screen" + std::to_string(number) + ".png", 32, 16));
    }
    // Item `number` with its close-up screen (which the test adds itself).
    void Item(int number, int screen)
    {
        const char* picture = Picture("item" + std::to_string(number) + ".png", 8, 8);
        world->AddItem(number, picture, picture, picture, picture, picture, Wide(Sound("item.wav")), 8, 8, 4, 4, 0,
                       screen);
    }

    std::vector<CheckFinding> Check()
    {
        WorldChecker checker(*world, tracks, probe);
        std::vector<CheckFinding> findings = checker.Check();
        reached.clear();
        for (const WorldScreen* screen : checker.get_Reached()) reached.insert(screen->get_Number());
        obtainable = checker.get_Obtainable();
        return findings;
    }

    fs::path c_dir;
    std::vector<std::unique_ptr<std::string>> c_texts;
    std::vector<std::unique_ptr<std::wstring>> c_wides;
    std::unique_ptr<MouseManager> mouse;
    MusicManager music;
    GameSoundManager sounds;
    FileProbe probe;
    std::vector<MusicTrack> tracks;
    std::unique_ptr<WorldManager> world;
    std::set<int> reached;
    std::set<int> obtainable;
};

// The findings of one rule, for assertions.
std::vector<CheckFinding> Of(const std::vector<CheckFinding>& findings, CheckRule rule)
{
    std::vector<CheckFinding> out;
    std::copy_if(findings.begin(), findings.end(), std::back_inserter(out),
                 [rule](const CheckFinding& f) { return f.rule == rule; });
    return out;
}

std::string Describe(const std::vector<CheckFinding>& findings)
{
    std::string text;
    for (const CheckFinding& f : findings) text += std::string("\n  ") + RuleName(f.rule) + ": " + f.where + ": " + f.what;
    return text.empty() ? " none" : text;
}

// Exactly one finding of `rule`, at a place containing `where`, saying something containing `what`.
::testing::AssertionResult FoundOnce(const std::vector<CheckFinding>& findings, CheckRule rule,
                                     const std::string& where, const std::string& what = "")
{
    const std::vector<CheckFinding> found = Of(findings, rule);
    if (found.size() == 1 && found[0].where.find(where) != std::string::npos &&
        found[0].what.find(what) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected one '" << RuleName(rule) << "' at '" << where << "' saying '"
                                         << what << "'; findings:" << Describe(findings);
}

// ---- a sound world ----

class CleanWorld : public CheckerTest {
protected:
    void SetUp() override
    {
        CheckerTest::SetUp();
        world->AddGlobalVar(1, 0);
        world->AddGlobalVar(2, 1);
        WorldGlobalVarArray* grid = world->AddGlobalVarArray(1, 100, 2, 1, 2);
        grid->Click(0, 0);
        world->AddRepetiveSound(1, Wide(Sound("drip.wav")));
        Item(1, 10001);
        Item(2, 11001);
        world->ActivateItem(1);

        WorldScreen* start = Screen(0, WorldScreen::kPanorama);
        WorldActionlist* music = world->AddSharedActionlist(false, 0);
        music->addAction(ACT_PlaySong)->addParam(0, 1);
        start->AddPreActionList(music);
        start->AddPreActionList()->addAction(ACT_StartRepetiveSound)->addParam(0, 1);
        start->QHS_StandardMove(0, 0, 100, 511, 1)->addParam(2, 1.5707964f);
        WorldOverlay* overlay = start->AddOverlay(2, 2, 8, 8, Picture("pano_overlay01.png", 8, 8));
        for (int token : std::initializer_list<int>{CT_Var, 1, CT_Equal, CT_Value, 0, CT_And, CT_Open, CT_Var, 2, CT_NotEqual, CT_Value, 0, CT_Close}) {
            overlay->addCondition(token);
        }

        WorldScreen* hall = Screen(1);
        hall->AddPreActionList(music);
        hall->QHS_StandardMove(0, 0, 150, 511, 0, 2);
        hall->AddCodeKey(10, 10, 4, 4, 100, 1, 0, 0, Picture("key.png", 12, 4), 0, Wide(Sound("click.wav")));
        WorldHotspot* door = hall->AddHotspot(300, 0, 400, 511);
        door->addVarDependantLocation(2, 1, 2, 0);
        WorldActionlist* useKey = door->AddActionlist(false, 1);
        useKey->addAction(ACT_ActivateItem)->addParam(0, 2);
        useKey->addAction(ACT_DropItem);
        WorldAction* video = hall->AddHotspot(500, 0, 600, 511)->AddActionlist(true, 0)->addAction(ACT_PlayVideo);
        video->addParamObject(0, Wide(PathOf("clip.wmv")));
        video->addParamObject(5, &subtitles);
        platform::VideoSpec clip;
        clip.width = 64;
        clip.height = 48;
        clip.frameCount = 3;
        platform::WriteVideoFile(PathOf("clip.wmv"), clip);

        WorldScreen* cellar = Screen(2);
        cellar->AddHotspot(0, 0, 100, 100)->AddActionlist(true, 0)->addAction(ACT_ShowItem)->addParam(0, 2);
        WorldActionlist* back = cellar->AddHotspot(200, 0, 300, 100)->AddActionlist(true, 0);
        back->addAction(ACT_GotoScreen)->addParam(0, 1);
        WorldAction* click = back->addAction(ACT_ClickArray);  // column 1 by default
        click->addParam(0, 1);
        click->addParam(2, 0);

        WorldBookCreator book(world.get(), Wide(Sound("cover.wav")), Wide(Sound("page.wav")), 10001, 0);
        book.AddPage(Picture("page1.png", 32, 16));
        book.AddPage(Picture("page2.png", 32, 16));
        Screen(11001);
    }
    SubtitleItem subtitles;
};

TEST_F(CleanWorld, PassesWithoutAFinding)
{
    const std::vector<CheckFinding> findings = Check();
    EXPECT_TRUE(findings.empty()) << Describe(findings);
    EXPECT_EQ(reached, (std::set<int>{0, 1, 2, 10001, 10002, 11001}));
    EXPECT_EQ(obtainable, (std::set<int>{1, 2})) << "item 1 is in the bar; item 2 is given by using item 1";
}

TEST_F(CleanWorld, CensusCountsScreensHotspotsAndScriptsByKind)
{
    const WorldCensus census = TakeCensus(*world);
    EXPECT_EQ(census.screens, 6);
    EXPECT_EQ(census.panoramas, 1);
    EXPECT_EQ(census.flatScreens, 3) << "1, 2 and 11001; the pages are counted apart";
    EXPECT_EQ(census.bookPages, 2);
    EXPECT_EQ(census.books, 1);
    EXPECT_EQ(census.standardMoves, 2);
    EXPECT_EQ(census.standardMovesDefaultCursor, 1);
    EXPECT_EQ(census.movesWithAngle, 1);
    EXPECT_EQ(census.codeKeys, 1);
    EXPECT_EQ(census.bookStrips, 2);
    EXPECT_EQ(census.otherHotspots, 4);
    EXPECT_EQ(census.conditionalExits, 1);
    EXPECT_EQ(census.conditionalExitsBothWays, 1);
    EXPECT_EQ(census.sharedLists, 1) << "the music list hangs at two screens and counts once";
    EXPECT_EQ(census.actions.at(ACT_PlaySong), 1);
    EXPECT_EQ(census.actions.at(ACT_GotoScreen), 7) << "2 moves, 2 exit lists, 2 page turns, 1 written out";
    EXPECT_EQ(census.directActions.at(ACT_GotoScreen), 1);
    EXPECT_EQ(census.directActions.count(ACT_ClickArray), 1u) << "the code key's own click is not written out";
    EXPECT_EQ(census.itemUseLists.at(1), 1);
    EXPECT_EQ(census.conditionListsOnActionLists, 2);
    EXPECT_EQ(census.conditionListsOfExits, 2);
    EXPECT_EQ(census.conditionListsOnOverlays, 1);
    EXPECT_EQ(census.conditionCodes, (std::set<int>{CT_Value, CT_Var, CT_Equal, CT_NotEqual, CT_And, CT_Open, CT_Close}));
    EXPECT_EQ(census.items, 2);
    EXPECT_NE(FormatCensus(census).find("book pages 2 in 1 books"), std::string::npos) << FormatCensus(census);
}

TEST_F(CleanWorld, MapDrawsEveryScreenAndMarksTheUnreachable)
{
    Screen(77);
    WorldChecker checker(*world, tracks, probe);
    checker.Check();
    const std::string dot = WorldMapDot(*world, checker.get_Reached(), checker.get_Obtainable());
    EXPECT_NE(dot.find("s0 [label=\"0\\n"), std::string::npos) << dot;
    EXPECT_NE(dot.find("shape=ellipse"), std::string::npos) << "screen 0 is a panorama";
    EXPECT_NE(dot.find("s0 -> s1 [style=solid]"), std::string::npos) << dot;
    EXPECT_NE(dot.find("s1 -> s2 [style=dashed]"), std::string::npos) << "a conditional exit";
    EXPECT_NE(dot.find("s2 -> s11001 [style=dotted]"), std::string::npos) << "a close-up";
    EXPECT_NE(dot.find("bar -> s10001"), std::string::npos) << "item 1 in the bar opens its close-up";
    const std::size_t lost = dot.find("s77 [");
    ASSERT_NE(lost, std::string::npos);
    EXPECT_NE(dot.substr(lost, dot.find('\n', lost) - lost).find("fillcolor"), std::string::npos);
}

// ---- files ----

TEST_F(CleanWorld, FindsMissingAndUndecodableFilesOnceEach)
{
    WorldScreen* screen = world->getWorldScreen(2);
    const char* missing = Keep(PathOf("nowhere.png"));
    screen->AddOverwriteBaseImage(1, 5, missing);
    screen->AddOverlay(0, 0, 4, 4, missing);  // the same file named again
    screen->AddOverlayArray(0, 0, 4, 4, 1, Garbage("strip.png"), 0);
    WorldActionlist* list = screen->AddHotspot(0, 0, 10, 10)->AddActionlist(true, 0);
    list->addAction(ACT_PlaySound)->addParamObject(0, Wide(PathOf("gone.wav")));
    list->addAction(ACT_PlayVideo)->addParamObject(0, Wide(Garbage("broken.wmv")));
    world->AddRepetiveSound(3, Wide(Garbage("hum.wav")));
    tracks.push_back({2, Wide(PathOf("song2.mp3"))});

    const std::vector<CheckFinding> findings = Check();
    const std::vector<CheckFinding> missingFiles = Of(findings, CheckRule::MissingFile);
    ASSERT_EQ(missingFiles.size(), 3u) << Describe(findings);
    EXPECT_NE(missingFiles[0].what.find("song2.mp3"), std::string::npos) << "tracks come first";
    EXPECT_NE(missingFiles[1].where.find("screen 2, replacement image 0"), std::string::npos)
        << "nowhere.png is reported once, where first named";
    EXPECT_NE(missingFiles[2].what.find("gone.wav"), std::string::npos);
    const std::vector<CheckFinding> bad = Of(findings, CheckRule::UndecodableFile);
    ASSERT_EQ(bad.size(), 3u) << Describe(findings);
    EXPECT_NE(bad[0].what.find("strip.png"), std::string::npos);
    EXPECT_NE(bad[1].where.find("ambient sound 3"), std::string::npos);
    EXPECT_NE(bad[2].what.find("broken.wmv"), std::string::npos);
}

TEST_F(CheckerTest, ReadsScrambledPicturesWithTheirOffset)
{
    imaging::Image image;
    image.width = image.height = 16;
    image.pixels.assign(16 * 16 * 4, 0x80);
    const std::vector<std::uint8_t> png = imaging::EncodePng(image);
    WriteBytes("pano.enc", imaging::RotateImageBytes(png, 40));
    EXPECT_TRUE(probe.Picture(PathOf("pano.enc"), 40).Ok());
    EXPECT_EQ(probe.Picture(PathOf("pano.enc"), 40).width, 16);
    EXPECT_FALSE(probe.Picture(PathOf("pano.enc"), 0).Ok()) << "read without its offset it is no picture";
    EXPECT_FALSE(probe.Picture(PathOf("pano.enc"), 0).missing);
}

TEST_F(CleanWorld, WarnsOfBlocksLargerThanTheirPictures)
{
    world->getWorldScreen(1)->AddOverlay(0, 0, 9, 8, Keep(PathOf("pano_overlay01.png")));
    world->getWorldScreen(1)->AddOverlayArray(0, 0, 5, 4, 101, Keep(PathOf("key.png")), 0);
    const std::vector<CheckFinding> findings = Check();
    const std::vector<CheckFinding> blocks = Of(findings, CheckRule::BlockOutsidePicture);
    ASSERT_EQ(blocks.size(), 2u) << Describe(findings);
    EXPECT_NE(blocks[0].what.find("9 x 8 block from a 8 x 8"), std::string::npos) << blocks[0].what;
    EXPECT_NE(blocks[1].what.find("3 frames of 5 x 4"), std::string::npos) << "variable 101 is a cell of a 0..2 grid";
    EXPECT_FALSE(IsFault(CheckRule::BlockOutsidePicture));
}

// ---- names ----

TEST_F(CleanWorld, FindsActionsThatNameWhatDoesNotExist)
{
    WorldScreen* screen = world->getWorldScreen(2);
    const auto hotspotList = [&] { return screen->AddHotspot(0, 0, 10, 10)->AddActionlist(true, 0); };
    hotspotList()->addAction(ACT_GotoScreen)->addParam(0, 404);
    hotspotList()->addAction(ACT_ActivateItem)->addParam(0, 7);
    hotspotList()->addAction(ACT_ClickArray)->addParam(0, 9);
    WorldAction* outside = hotspotList()->addAction(ACT_ClickArray);
    outside->addParam(0, 1);
    outside->addParam(1, 2);
    outside->addParam(2, 0);
    hotspotList()->addAction(ACT_PlaySong)->addParam(0, 3);
    hotspotList()->addAction(ACT_PlaySong)->addParam(0, -999);  // silence is no track, and fine
    hotspotList()->addAction(ACT_StartRepetiveSound)->addParam(0, 4);

    const std::vector<CheckFinding> findings = Check();
    EXPECT_TRUE(FoundOnce(findings, CheckRule::UnknownScreen, "screen 2, hotspot 2, list 0, action 0 (ACT_GotoScreen)",
                          "screen 404"));
    EXPECT_TRUE(FoundOnce(findings, CheckRule::UnknownItem, "hotspot 3", "item 7"));
    EXPECT_TRUE(FoundOnce(findings, CheckRule::UnknownGrid, "hotspot 4", "grid 9"));
    EXPECT_TRUE(FoundOnce(findings, CheckRule::CellOutsideGrid, "hotspot 5", "cell (2, 0) of grid 1, which is 2 x 1"));
    EXPECT_TRUE(FoundOnce(findings, CheckRule::UnknownSong, "hotspot 6", "song 3")) << "silence (-999) is fine";
    EXPECT_TRUE(FoundOnce(findings, CheckRule::UnknownAmbientSound, "hotspot 8", "ambient sound 4"));
    EXPECT_EQ(findings.size(), 6u) << Describe(findings);
}

TEST_F(CleanWorld, FindsAnItemWhoseCloseUpDoesNotExist)
{
    Item(3, 12001);
    world->getWorldScreen(0)->AddPreActionList()->addAction(ACT_ActivateItem)->addParam(0, 3);
    EXPECT_TRUE(FoundOnce(Check(), CheckRule::UnknownScreen, "item 3", "screen 12001"));
}

// ---- conditions ----

TEST(ConditionShape, ReducibleConditionsPass)
{
    const std::vector<std::vector<int>> good = {
        {},
        {CT_Value, 5},
        {CT_Var, 3, CT_Equal, CT_Value, 3},
        {CT_Var, 1, CT_Equal, CT_Value, 1, CT_And, CT_Open, CT_Var, 2, CT_NotEqual, CT_Value, 0, CT_Close},
        {CT_Value, 1, CT_And, CT_Value, 1, CT_Equal, CT_Value, 0},
        {CT_ArrayTotal, 1, CT_Equal, CT_Value, 538},
        {CT_Not, CT_Var, 4},
        {CT_Open, CT_Open, CT_Var, 1, CT_Close, CT_Close},
    };
    for (const auto& tokens : good) EXPECT_EQ(ConditionShapeError(tokens), "") << ::testing::PrintToString(tokens);
}

TEST(ConditionShape, ConditionsThatCannotReachOneValueAreExplained)
{
    const std::vector<std::pair<std::vector<int>, std::string>> bad = {
        {{CT_Var, 1, CT_Equal, CT_Value, 1, CT_Var, 2, CT_Equal, CT_Value, 2}, "two operands"},
        {{CT_Var, 1, CT_Close}, "closing parenthesis"},
        {{CT_Open, CT_Var, 1, CT_Equal, CT_Value, 1}, "does not reduce"},
        {{CT_Var, 1, CT_Equal}, "does not reduce"},
        {{CT_And}, "operator and no operand"},
        {{CT_Var, 1, CT_Equal, CT_Var}, "no argument"},
        {{CT_Var, 1, 5, CT_Value, 1}, "token 2 (5)"},
    };
    for (const auto& [tokens, why] : bad) {
        const std::string error = ConditionShapeError(tokens);
        EXPECT_NE(error.find(why), std::string::npos) << ::testing::PrintToString(tokens) << " gave '" << error << "'";
    }
}

TEST_F(CleanWorld, FindsMalformedConditionsWhereverTheyHang)
{
    WorldScreen* screen = world->getWorldScreen(1);
    screen->AddOverlay(0, 0, 4, 4, Keep(PathOf("pano_overlay01.png")))->addCondition(CT_And);
    WorldHotspot* hotspot = screen->AddHotspot(0, 0, 10, 10);
    for (int token : std::initializer_list<int>{CT_Var, 1, CT_Value, 1}) hotspot->addCondition(token);
    WorldActionlist* list = hotspot->AddActionlist(true, 0);
    for (int token : std::initializer_list<int>{CT_ArrayAllChecked, 8}) list->addCondition(token);
    list->addAction(ACT_DropItem);

    const std::vector<CheckFinding> findings = Check();
    const std::vector<CheckFinding> malformed = Of(findings, CheckRule::MalformedCondition);
    ASSERT_EQ(malformed.size(), 2u) << Describe(findings);
    EXPECT_EQ(malformed[0].where, "screen 1, overlay 0");
    EXPECT_EQ(malformed[1].where, "screen 1, hotspot 4");
    EXPECT_TRUE(FoundOnce(findings, CheckRule::UnknownGrid, "screen 1, hotspot 4, list 0", "reads grid 8"));
}

// ---- parameters ----

TEST_F(CleanWorld, FindsParametersOfTheWrongKindAndMissingOnes)
{
    WorldActionlist* list = world->getWorldScreen(2)->AddHotspot(0, 0, 10, 10)->AddActionlist(true, 0);
    list->addAction(ACT_PlaySound)->addParam(0, 3);                        // 0: a number for a path
    list->addAction(ACT_GotoScreen)->addParamObject(0, Wide("x.wav"));     // 1: a path for a screen
    list->addAction(ACT_PlayVideo)->addParam(1, 0);                        // 2: no video named
    list->addAction(ACT_HideCursor);                                       // 3: nothing to read
    WorldAction* wait = list->addAction(ACT_Wait);                         // 4: subtitles for a number
    wait->addParam(0, 100);
    wait->addParamObject(1, &subtitles);
    list->addAction(ACT_SetVar)->addParam(7, 1);                           // 5: a type never read
    list->addAction(42);                                                   // 6: no such code

    const std::vector<CheckFinding> findings = Check();
    const std::vector<CheckFinding> kinds = Of(findings, CheckRule::ParameterKind);
    ASSERT_EQ(kinds.size(), 3u) << Describe(findings);
    EXPECT_NE(kinds[0].what.find("is a number where a file path is read"), std::string::npos) << kinds[0].what;
    EXPECT_NE(kinds[1].where.find("action 1 (ACT_GotoScreen)"), std::string::npos);
    EXPECT_NE(kinds[2].what.find("a subtitle list where a number is read"), std::string::npos);
    const std::vector<CheckFinding> missing = Of(findings, CheckRule::MissingParameter);
    ASSERT_EQ(missing.size(), 2u) << Describe(findings);
    EXPECT_NE(missing[0].where.find("action 2 (ACT_PlayVideo)"), std::string::npos);
    EXPECT_NE(missing[1].where.find("action 3 (ACT_HideCursor)"), std::string::npos);
    EXPECT_TRUE(FoundOnce(findings, CheckRule::UnreadParameter, "action 5", "type 7"));
    EXPECT_TRUE(FoundOnce(findings, CheckRule::UnknownActionCode, "action 6 (action code 42)"));
    EXPECT_FALSE(IsFault(CheckRule::UnreadParameter));
}

// ---- reachability and items ----

TEST_F(CleanWorld, FindsScreensNothingLeadsTo)
{
    Screen(50);
    Screen(51)->QHS_StandardMove(0, 0, 10, 10, 0);  // a way out is no way in
    Screen(1);                                      // a second screen 1 is never entered
    const std::vector<CheckFinding> findings = Check();
    const std::vector<CheckFinding> lost = Of(findings, CheckRule::UnreachableScreen);
    ASSERT_EQ(lost.size(), 2u) << Describe(findings);
    EXPECT_EQ(lost[0].where, "screen 50");
    EXPECT_EQ(lost[1].where, "screen 51");
    EXPECT_TRUE(FoundOnce(findings, CheckRule::ShadowedScreen, "screen 1"));
}

TEST_F(CleanWorld, AScreenBehindAnItemThatCannotBeObtainedIsUnreachable)
{
    // Item 3 comes only from screen 61, which only using item 3 opens.
    Item(3, 60);
    Screen(60);
    WorldActionlist* useBadge = world->getWorldScreen(2)->AddHotspot(0, 200, 10, 210)->AddActionlist(false, 3);
    useBadge->addAction(ACT_GotoScreen)->addParam(0, 61);
    Screen(61)->AddHotspot(0, 0, 5, 5)->AddActionlist(true, 0)->addAction(ACT_ActivateItem)->addParam(0, 3);

    const std::vector<CheckFinding> findings = Check();
    EXPECT_TRUE(FoundOnce(findings, CheckRule::ItemNeverGiven, "screen 2, hotspot 2, list 0", "item 3"));
    const std::vector<CheckFinding> lost = Of(findings, CheckRule::UnreachableScreen);
    ASSERT_EQ(lost.size(), 2u) << Describe(findings);
    EXPECT_EQ(lost[0].where, "screen 60") << "the close-up of an item never held";
    EXPECT_EQ(lost[1].where, "screen 61");
    EXPECT_EQ(obtainable, (std::set<int>{1, 2}));
}

TEST_F(CheckerTest, AWorldWithoutScreenZeroHasNoStart)
{
    Screen(5);
    const std::vector<CheckFinding> findings = Check();
    EXPECT_TRUE(FoundOnce(findings, CheckRule::NoStartScreen, "the world"));
    EXPECT_TRUE(reached.empty());
}

// ---- the start-up's own files ----

class CheckedWorldTest : public CheckerTest {
protected:
    void SetUp() override
    {
        CheckerTest::SetUp();
        c_previous = fs::current_path();
        fs::current_path(c_dir);
        const auto scrambled = [this](const std::string& path, int offset) {
            imaging::Image image;
            image.width = image.height = 48;
            image.pixels.resize(48 * 48 * 4);
            std::uint32_t noise = 1;
            for (std::uint8_t& byte : image.pixels) byte = static_cast<std::uint8_t>((noise = noise * 1103515245u + 12345u) >> 24);
            const std::vector<std::uint8_t> png = imaging::EncodePng(image);
            ASSERT_GT(png.size(), static_cast<std::size_t>(offset)) << "the picture must be longer than its offset";
            WriteBytes(path, imaging::RotateImageBytes(png, static_cast<std::size_t>(offset)));
        };
        Picture("data/black.jpg", 8, 8);
        for (int i = 1; i <= 6; ++i) scrambled("data/menu/Top" + std::to_string(i) + ".enc", kTopMenuImageOffset);
        for (const char* name : {"cursor1", "cursor1_alpha1", "cursor1_alpha2", "cursor2_alpha", "cursor3",
                                 "cursor3_alpha", "cursorL", "cursorL_alpha"}) {
            scrambled(std::string("data/cursor/") + name + ".enc", kCursorImageOffset);
        }
    }
    void TearDown() override
    {
        fs::current_path(c_previous);
        CheckerTest::TearDown();
    }
    fs::path c_previous;
};

TEST_F(CheckedWorldTest, AMissingCursorIsReportedAndTheWorldStillBuilt)
{
    CheckedWorld checked(&kt::GetWindow());
    bool defined = false;
    const std::vector<CheckFinding> findings = checked.Build([&](WorldManager&) { defined = true; }, probe);
    EXPECT_TRUE(FoundOnce(findings, CheckRule::MissingFile, "start-up, cursor 2", "data/cursor/cursor2.enc"));
    EXPECT_EQ(findings.size(), 1u) << Describe(findings);
    EXPECT_TRUE(defined);
    EXPECT_NE(checked.get_World(), nullptr);
}

TEST_F(CheckedWorldTest, ADefinitionThatFailsIsReportedWithItsReason)
{
    fs::remove(c_dir / "data/menu/Top3.enc");
    CheckedWorld withoutMenu(&kt::GetWindow());
    std::vector<CheckFinding> findings = withoutMenu.Build([](WorldManager&) {}, probe);
    EXPECT_TRUE(FoundOnce(findings, CheckRule::WorldNotBuilt, "start-up"));
    EXPECT_TRUE(FoundOnce(findings, CheckRule::MissingFile, "top menu", "Top3.enc"));
    EXPECT_EQ(withoutMenu.get_World(), nullptr);

    Picture("data/menu/Top3.enc", 4, 4);  // a plain picture where a scrambled one belongs
    CheckedWorld halfBuilt(&kt::GetWindow());
    FileProbe fresh;
    findings = halfBuilt.Build([](WorldManager&) {}, fresh);
    EXPECT_TRUE(FoundOnce(findings, CheckRule::UndecodableFile, "top menu", "Top3.enc"));

    fs::remove(c_dir / "data/menu/Top3.enc");
    fs::copy_file(c_dir / "data/menu/Top2.enc", c_dir / "data/menu/Top3.enc");
    CheckedWorld failing(&kt::GetWindow());
    FileProbe again;
    findings = failing.Build(
        [](WorldManager& world) {
            world.AddWorldScreen(0, 0, "data/none.enc", 5);
            world.TransportToScreen(0);
        },
        again);
    EXPECT_TRUE(FoundOnce(findings, CheckRule::WorldNotBuilt, "the world definition", "none.enc"));
    ASSERT_NE(failing.get_World(), nullptr) << "what was built before the failure stays to be checked";
    EXPECT_EQ(failing.get_World()->get_Screens().size(), 1u);
}

// ---- the world files ----

class WorldFilesCheckTest : public CheckedWorldTest {
protected:
    void SetUp() override
    {
        CheckedWorldTest::SetUp();
        Text("data/po/kelvane.pot", "msgid \"\"\nmsgstr \"\"\n\nmsgctxt \"line.hello\"\nmsgid \"Hello\"\nmsgstr \"\"\n");
        Picture("data/room.png", 32, 16);
        Picture("data/key.png", 8, 8);
        Sound("data/take.wav");
    }
    void Text(const std::string& name, const std::string& text)
    {
        WriteBytes(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    std::vector<CheckFinding> BuildFromFiles(CheckedWorld& checked)
    {
        return checked.BuildFromFiles(c_dir / "data/world", c_dir / "data/po", probe);
    }
};

TEST_F(WorldFilesCheckTest, AFaultOfTheWorldFilesIsReportedAtItsFileLineAndColumn)
{
    Text("data/world/main.lua", "screen{name = 'room', number = 0, image = 'data/room.png'}\ninclude 'hall.lua'\n");
    Text("data/world/hall.lua", "variable('lit', 0)\nhotspot{screen = 'room', rect = {1, 2, 3, 4}, when = 'lit = = 1'}\n");
    CheckedWorld checked(&kt::GetWindow());
    const std::vector<CheckFinding> findings = BuildFromFiles(checked);
    ASSERT_TRUE(FoundOnce(findings, CheckRule::WorldFileFault, "hall.lua:2:", "lit = = 1")) << Describe(findings);
    EXPECT_TRUE(IsFault(CheckRule::WorldFileFault));
    EXPECT_EQ(checked.get_World(), nullptr) << "a half-built world is not checked";

    // A text file's fault is placed at its file and line.
    Text("data/po/kelvane.pot", "msgctxt \"a\"\nmsgid \"unterminated\n");
    CheckedWorld withoutTexts(&kt::GetWindow());
    const std::vector<CheckFinding> noTexts = BuildFromFiles(withoutTexts);
    EXPECT_TRUE(FoundOnce(noTexts, CheckRule::WorldFileFault, "kelvane.pot:2")) << Describe(noTexts);
}

TEST_F(WorldFilesCheckTest, ListsWhatIsNeverUsedAndWhereEachVariableIsReadAndSet)
{
    Text("data/world/main.lua", R"lua(
variable("lamp_lit", 0)
variable("door_open", 0)
variable("forgotten", 3)
variable("copied", 0)
sound{name = "take", file = "data/take.wav"}
item{name = "key", picture = "data/key.png", react_mask = "data/key.png", plain_mask = "data/key.png", sound = "take"}
item{name = "shell", picture = "data/key.png", react_mask = "data/key.png", plain_mask = "data/key.png", sound = "take"}
item{name = "lamp", picture = "data/key.png", react_mask = "data/key.png", plain_mask = "data/key.png", sound = "take"}
screen{name = "room", number = 0, image = "data/room.png"}
screen{name = "hall", number = 1, image = "data/room.png"}
local door = hotspot{screen = "room", rect = {0, 0, 10, 10}, when = "lamp_lit = 1"}
on_use(door, "key", {set("door_open", 1), give("lamp")})
hotspot{screen = "room", rect = {20, 0, 30, 10}}
on_enter("hall", {toggle("lamp_lit"), copy("copied", "door_open")})
)lua");
    CheckedWorld checked(&kt::GetWindow());
    const std::vector<CheckFinding> built = BuildFromFiles(checked);
    ASSERT_TRUE(Of(built, CheckRule::WorldFileFault).empty() && Of(built, CheckRule::WorldNotBuilt).empty())
        << Describe(built);
    ASSERT_NE(checked.get_World(), nullptr);
    ASSERT_NE(checked.get_Files(), nullptr);

    const WorldUses uses(*checked.get_World(), *checked.get_Files());
    const std::vector<CheckFinding>& unused = uses.get_Unused();
    EXPECT_TRUE(FoundOnce(unused, CheckRule::UnusedVariable, "variable forgotten")) << Describe(unused);
    EXPECT_TRUE(FoundOnce(unused, CheckRule::UnusedItem, "item shell")) << Describe(unused);
    EXPECT_TRUE(FoundOnce(unused, CheckRule::HotspotWithoutActions, "room, hotspot 1", "(20, 0)-(30, 10)"))
        << Describe(unused);
    EXPECT_EQ(unused.size(), 3u) << "the key is used, the lamp given, the other variables read or set: "
                                 << Describe(unused);
    EXPECT_FALSE(IsFault(CheckRule::UnusedVariable) || IsFault(CheckRule::UnusedItem) ||
                 IsFault(CheckRule::HotspotWithoutActions))
        << "what is never used is worth a look, not a fault";

    const std::string report = uses.FormatVariableUses();
    EXPECT_NE(report.find("  door_open (2)\n    read:\n      hall, on entry\n    set:\n      room, hotspot 0\n"),
              std::string::npos) << report;
    EXPECT_NE(report.find("  lamp_lit (1)\n    read:\n      hall, on entry\n      room, hotspot 0\n    set:\n"
                          "      hall, on entry\n"),
              std::string::npos) << report;
    EXPECT_NE(report.find("  forgotten (3)\n    read: nowhere\n    set: nowhere\n"), std::string::npos) << report;
}

TEST_F(WorldFilesCheckTest, AClueOnAScreenNoWayLeadsToIsAFault)
{
    Text("data/po/kelvane.pot", "msgctxt \"journal.plaque\"\nmsgid \"The plaque\"\nmsgstr \"\"\n");
    Text("data/world/main.lua", R"lua(
screen{name = "room", number = 0, image = "data/room.png"}
screen{name = "hall", number = 1, image = "data/room.png"}
screen{name = "vault", number = 2, image = "data/room.png"}
move{screen = "room", rect = {0, 0, 10, 10}, to = "hall"}
clue{name = "hall_plaque", screen = "hall", title = "journal.plaque"}
clue{name = "vault_plaque", screen = "vault", title = "journal.plaque"}
)lua");
    CheckedWorld checked(&kt::GetWindow());
    const std::vector<CheckFinding> built = BuildFromFiles(checked);
    ASSERT_NE(checked.get_World(), nullptr) << Describe(built);
    FileProbe files;
    WorldChecker checker(*checked.get_World(), CheckedWorld::Tracks(), files);
    checker.Check();
    const std::vector<CheckFinding> clues = CheckClues(*checked.get_Files(), *checked.get_World(), checker.get_Reached());
    EXPECT_TRUE(FoundOnce(clues, CheckRule::UnreachableClue, "main.lua:7", "vault_plaque")) << Describe(clues);
    EXPECT_EQ(clues.size(), 1u) << "the hall is reached: " << Describe(clues);
    EXPECT_TRUE(IsFault(CheckRule::UnreachableClue));
}

}  // namespace
