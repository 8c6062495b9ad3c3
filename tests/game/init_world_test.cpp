// Kelvane's world definition: the conventions other modules rely on (items, variables, grids,
// subtitle lists, books, the opening and the ending), the shape of the world, and a
// walkthrough that plays the game on the world's own records - conditions tested by the
// world manager, grids clicked through their code keys - proving every screen reachable,
// every item found before it is needed, no dead ends, and the ending reachable.
#include "world/world_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>

#include "core/game_paths.h"
#include "display/image_offsets.h"
#include "display/world_inventory.h"
#include "display/world_item.h"
#include "imaging/image.h"
#include "media/repetive_sound.h"
#include "media/subtitle_item.h"
#include "world/action_codes.h"
#include "core/text_catalogue.h"
#include "script/world_files.h"
#include "game/assets/world_art.h"

using namespace world_test;
namespace wc = world_content;

// A star panel's total (cell 0 least significant) when it shows `pattern`.
int StarTotal(const int (&pattern)[9])
{
    int total = 0;
    for (int cell = 8; cell >= 0; --cell) total = total * 2 + pattern[cell];
    return total;
}

namespace {

constexpr int kHighestScreen = 100000;

// Writes a scrambled picture under `path`: noise in its first rows (enough bytes for any
// offset), black below.
void WriteScrambled(const std::filesystem::path& dir, const std::string& path, int width, int height, int offset)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    std::mt19937 noise(static_cast<unsigned>(offset));
    const std::size_t noisy = std::min<std::size_t>(image.pixels.size(), 24 * 1024);
    for (std::size_t i = 0; i < noisy; ++i) image.pixels[i] = static_cast<std::uint8_t>(noise());
    const std::vector<std::uint8_t> plain = imaging::EncodePng(image);
    ASSERT_GT(plain.size(), static_cast<std::size_t>(offset));
    std::vector<char> file(plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) file[(offset + i) % plain.size()] = static_cast<char>(plain[i]);
    const std::filesystem::path out = dir / path;
    std::filesystem::create_directories(out.parent_path());
    std::ofstream(out, std::ios::binary).write(file.data(), static_cast<std::streamsize>(file.size()));
}

bool HasAction(const WorldActionlist* list, int code)
{
    for (int i = 0; i < list->get_ActionNumber(); ++i)
        if (list->getAction(i)->get_Type() == code) return true;
    return false;
}

// A list that only moves (and maybe plays a sound): what a walk may follow freely.
bool IsPureMove(const WorldActionlist* list)
{
    if (!HasAction(list, ACT_GotoScreen)) return false;
    for (int i = 0; i < list->get_ActionNumber(); ++i) {
        const int code = list->getAction(i)->get_Type();
        if (code != ACT_GotoScreen && code != ACT_PlaySound) return false;
    }
    return true;
}

int Param(const WorldAction* action, int type, int absent)
{
    int value = absent;
    for (int i = 0; i < action->get_ParamCount(); ++i)
        if (action->getParamType(i) == type) value = TruncateParam(action->getParamValue(i));
    return value;
}

}  // namespace

class InitWorldTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        c_oldDir = std::filesystem::current_path();
        for (const wc::ItemDef& item : wc::Art().items) {
            const int offset = wc::ItemOffset(item);
            WriteScrambled(c_dir, item.picture, 75, 75, offset);
            WriteScrambled(c_dir, item.alpha1, 75, 75, offset);
            WriteScrambled(c_dir, item.alpha2, 75, 75, offset);
        }
        WriteScrambled(c_dir, wc::Art().logoImage, 64, 32, ScrambleOffsetFor(wc::Art().logoImage));
        std::ofstream(c_dir / "data" / GamePaths::kDataMarker) << GamePaths::DataMarkerText();  // the game's data
        std::filesystem::current_path(c_dir);
        std::srand(7);
        c_files = LoadWorldFiles(*world);
        for (int n = 0; n < kHighestScreen; ++n) {
            WorldScreen* s = world->getWorldScreen(n);
            if (s != nullptr && s->get_Number() == n) c_screens.push_back(s);
        }
    }
    void TearDown() override
    {
        std::filesystem::current_path(c_oldDir);
        WorldTest::TearDown();
    }

    WorldScreen* Screen(int n) const
    {
        WorldScreen* s = world->getWorldScreen(n);
        return s != nullptr && s->get_Number() == n ? s : nullptr;
    }
    // Every action list of the world once: entry lists (shared ones once) and hotspot lists.
    std::vector<const WorldActionlist*> AllLists() const
    {
        std::set<const WorldActionlist*> seen;
        std::vector<const WorldActionlist*> lists;
        auto add = [&](const WorldActionlist* l) {
            if (seen.insert(l).second) lists.push_back(l);
        };
        for (const WorldScreen* s : c_screens) {
            for (int i = 0; i < s->get_PreActionsCount(); ++i) add(s->GetPreActionList(i));
            for (int h = 0; h < s->get_HotspotCount(); ++h)
                for (int i = 0; i < s->GetHotspot(h)->get_ActionlistCount(); ++i) add(s->GetHotspot(h)->GetActionlist(i));
        }
        return lists;
    }
    // Every picture the world opens, as small stand-ins (the engine shows a picture of any
    // size; strips are cut into their cells, so those have their true size), so that the
    // engine can enter every screen.
    void WriteEveryPicture()
    {
        std::set<std::string> written;
        auto write = [&](const char* path, int width, int height, int offset) {
            if (path != nullptr && written.insert(path).second) WriteScrambled(c_dir, path, width, height, offset);
        };
        for (const WorldScreen* s : c_screens) {
            const bool panorama = s->get_Type() == WorldScreen::kPanorama;
            const int width = panorama ? 512 : 256;
            write(s->get_BaseImage(), width, 128, s->get_Offset());
            for (int i = 0; i < s->get_OverwriteBaseImageCount(); ++i)
                write(s->GetOverwriteBaseImage(i)->get_BaseImage(), width, 128, s->get_Offset());
            for (int i = 0; i < s->get_OverlayCount(); ++i) {
                const WorldOverlay* o = s->GetOverlay(i);
                write(o->get_ImagePath(), o->get_W(), o->get_H(), o->get_Offset());
            }
        }
        for (const wc::KeyPanel& panel : wc::Art().keyPanels)
            write(panel.strip, panel.w * (wc::Art().grids[panel.grid - 1].max + 1), panel.h, ScrambleOffsetFor(panel.strip));
    }
    static bool IsBookPage(int n) { return (n >= 10001 && n <= 10011) || (n >= 15001 && n <= 15016) || (n >= 90001 && n <= 90005); }

    // Builds the game's world from its world files in the source tree, as the start-up does;
    // the returned object holds what the world's records point to.
    static std::unique_ptr<WorldFiles> LoadWorldFiles(WorldManager& into)
    {
        const std::filesystem::path game = std::filesystem::path(KELVANE_SOURCE_DIR) / "game";
        static const TextCatalogue texts = TextCatalogue::Load(game / "po", {});
        return WorldFiles::Load(into, nullptr, game / "world", texts);
    }

    std::filesystem::path c_oldDir;
    std::vector<WorldScreen*> c_screens;
    std::unique_ptr<WorldFiles> c_files;
};

// ---- conventions ----

TEST_F(InitWorldTest, ItemsAreDefinedWithTheirCloseUpsAndOnlyTheLetterIsCarriedAtTheStart)
{
    WorldInventory* inventory = world->get_Inventory();
    for (int n = 1; n <= 8; ++n) {
        WorldItem* item = inventory->GetItem(n);
        ASSERT_NE(item, nullptr) << "item " << n;
        EXPECT_EQ(item->get_Screen(), 10001 + (n - 1) * 1000) << "close-up of item " << n;
        EXPECT_NE(Screen(item->get_Screen()), nullptr) << "item " << n << "'s close-up screen exists";
        EXPECT_FALSE(item->get_Sound().empty());
    }
    ASSERT_EQ(inventory->get_ActiveItems().size(), 1u);
    EXPECT_EQ(inventory->get_ActiveItems()[0]->get_Number(), 2);
}

TEST_F(InitWorldTest, VariablesStartAtTheirValues)
{
    const int expected[16] = {1, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 1, 1};
    for (int v = 1; v <= 16; ++v) EXPECT_EQ(world->getGlobalVarValue(v), expected[v - 1]) << "variable " << v;
}

TEST_F(InitWorldTest, TheCabinetsWheelsAreDrawnFromTheSeedSoRunsWithOtherSeedsDiffer)
{
    auto wheels = [&](unsigned seed) {
        std::unique_ptr<WorldManager> other = NewWorld();
        std::srand(seed);
        const std::unique_ptr<WorldFiles> files = LoadWorldFiles(*other);
        std::vector<int> cells;
        for (int cell = 100; cell <= 107; ++cell) cells.push_back(other->getGlobalVarValue(cell));
        return cells;
    };
    const std::vector<int> first = wheels(1);
    EXPECT_EQ(wheels(1), first) << "the same seed, the same wheels";
    EXPECT_NE(wheels(2), first) << "another start-up seed, other wheels";
    EXPECT_NE(wheels(123456789), first);
}

TEST_F(InitWorldTest, GridsHaveTheirShapesAndStartingPatterns)
{
    const int shape[7][5] = {{1, 100, 8, 1, 7}, {2, 200, 12, 3, 1}, {3, 300, 3, 3, 1}, {4, 310, 3, 3, 1},
                             {5, 320, 3, 3, 1}, {6, 330, 3, 3, 1}, {7, 400, 5, 1, 4}};
    for (const auto& s : shape) {
        const WorldGlobalVarArray* grid = world->getGlobalVarArray(s[0]);
        ASSERT_NE(grid, nullptr) << "grid " << s[0];
        EXPECT_EQ(grid->get_Start(), s[1]);
        EXPECT_EQ(grid->get_Width(), s[2]);
        EXPECT_EQ(grid->get_Height(), s[3]);
        EXPECT_EQ(grid->get_NumberMax(), s[4]);
    }
    for (int cell = 100; cell <= 107; ++cell) {
        EXPECT_GE(world->getGlobalVarValue(cell), 0);
        EXPECT_LE(world->getGlobalVarValue(cell), 7);
    }
    const int tide[5] = {3, 2, 1, 4, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(world->getGlobalVarValue(400 + i), tide[i]);
    EXPECT_EQ(world->getGlobalVarArray(7)->get_Total(), 538);

    // The lamp ring switches neighbours round the ring but not over its top: a click on a
    // top lamp at the seam switches the seam's other side and the lamp below, nothing in row 2.
    WorldGlobalVarArray* ring = world->getGlobalVarArray(2);
    std::vector<int> before;
    for (int v = 200; v <= 235; ++v) before.push_back(world->getGlobalVarValue(v));
    ring->Click(0, 0);
    for (int v = 200; v <= 235; ++v) {
        const bool switched = v == 200 || v == 211 || v == 201 || v == 212;
        EXPECT_EQ(world->getGlobalVarValue(v) != before[v - 200], switched) << "lamp variable " << v;
    }
    // None of the puzzles starts solved.
    EXPECT_FALSE(ring->get_AllChecked());
    for (int panel = 0; panel < 4; ++panel)
        EXPECT_NE(world->getGlobalVarArray(3 + panel)->get_Total(), StarTotal(wc::Art().starPatterns[panel]));
}

TEST_F(InitWorldTest, SubtitleListsHaveTheirShapeAndReachTheFilms)
{
    struct List {
        const wc::Cue* cues;
        std::size_t count;
        std::size_t expected;
        std::uint32_t last;
    };
    const List lists[4] = {{wc::Art().Captions("arrival").data(), wc::Art().Captions("arrival").size(), 4, 7300},
                           {wc::Art().Captions("letters").data(), wc::Art().Captions("letters").size(), 37, 127800},
                           {wc::Art().Captions("recorder").data(), wc::Art().Captions("recorder").size(), 32, 111500},
                           {wc::Art().Captions("ending").data(), wc::Art().Captions("ending").size(), 50, 171500}};
    for (const List& l : lists) {
        ASSERT_EQ(l.count, l.expected);
        EXPECT_EQ(l.cues[0].time, 0u);
        EXPECT_STREQ(l.cues[0].line, "");
        EXPECT_STREQ(l.cues[l.count - 1].line, "");
        EXPECT_EQ(l.cues[l.count - 1].time, l.last);
        for (std::size_t i = 1; i < l.count; ++i) {
            EXPECT_GE(l.cues[i].time, l.cues[i - 1].time + 100) << "entry " << i << " too close to the one before";
            EXPECT_LE(l.cues[i].time, l.cues[i - 1].time + 13000) << "entry " << i << " too far from the one before";
            EXPECT_LE(std::string(l.cues[i].line).size(), 83u) << l.cues[i].line;
            // Every spoken line stays long enough to be read: 1.5 s at least, 17 characters a second at most.
            const std::size_t length = std::string(l.cues[i - 1].line).size();
            if (length == 0) continue;
            const std::uint32_t shown = l.cues[i].time - l.cues[i - 1].time;
            EXPECT_GE(shown, 1500u) << l.cues[i - 1].line;
            EXPECT_LE(length * 1000, shown * 17u) << l.cues[i - 1].line << " (" << shown << " ms)";
        }
    }
    // The captions of sounds are read as subtitles are; only the valve's tick is a blink, not a line.
    const std::pair<const wc::Cue*, std::size_t> captions[] = {
        {wc::Art().Captions("waves").data(), wc::Art().Captions("waves").size()},   {wc::Art().Captions("pound").data(), wc::Art().Captions("pound").size()},
        {wc::Art().Captions("knock").data(), wc::Art().Captions("knock").size()},   {wc::Art().Captions("dark").data(), wc::Art().Captions("dark").size()},
        {wc::Art().Captions("heavy").data(), wc::Art().Captions("heavy").size()},   {wc::Art().Captions("cradle").data(), wc::Art().Captions("cradle").size()},
        {wc::Art().Captions("lever").data(), wc::Art().Captions("lever").size()}};
    for (const auto& [cues, count] : captions) {
        EXPECT_STREQ(cues[count - 1].line, "") << "a caption ends";
        for (std::size_t i = 0; i + 1 < count; ++i) {
            const std::size_t length = std::string(cues[i].line).size();
            if (length == 0) continue;
            const std::uint32_t shown = cues[i + 1].time - cues[i].time;
            EXPECT_GE(shown, 1500u) << cues[i].line;
            EXPECT_LE(length * 1000, shown * 17u) << cues[i].line;
        }
    }
    // The films carry exactly these four lists, each answering with its own lines.
    std::set<SubtitleItem*> found;
    for (const WorldActionlist* list : AllLists())
        for (int i = 0; i < list->get_ActionNumber(); ++i) {
            const WorldAction* a = list->getAction(i);
            if (a->get_Type() != ACT_PlayVideo) continue;
            for (int p = 0; p < a->get_ParamCount(); ++p)
                if (a->getParamType(p) == 5) found.insert(a->getParamSubtitles(p));
        }
    ASSERT_EQ(found.size(), 4u);
    for (const List& l : lists) {
        const bool answered = std::any_of(found.begin(), found.end(), [&](SubtitleItem* s) {
            for (std::size_t i = 0; i + 1 < l.count; ++i)
                if (std::string(s->Get(l.cues[i].time + 1)) != l.cues[i].line) return false;
            return true;
        });
        EXPECT_TRUE(answered) << "a film shows the list ending at " << l.last;
    }
}

// Played in the pseudo-locale, everything the world gives the player to read comes from the
// translation: every caption, subtitle, message, hint and credits line is the accented, bracketed
// text, and none is left in English (the same lines in English carry no bracket).
TEST_F(InitWorldTest, InThePseudoLocaleEveryLineThePlayerReadsIsTranslated)
{
    const std::filesystem::path game = std::filesystem::path(KELVANE_SOURCE_DIR) / "game";
    struct Read {
        std::size_t lines = 0, translated = 0;
        std::vector<std::string> english;
    };
    const auto readIn = [&](const std::vector<std::string>& languages) {
        const TextCatalogue texts = TextCatalogue::Load(game / "po", languages);
        std::unique_ptr<WorldManager> into = NewWorld();
        const std::unique_ptr<WorldFiles> files = WorldFiles::Load(*into, nullptr, game / "world", texts);
        Read read;
        const auto note = [&read](const std::string& line) {
            if (line.find_first_not_of(" \n") == std::string::npos) return;
            ++read.lines;
            const std::size_t text = line.find_first_not_of(' ');
            if (line[text] == '[' && line.find('~') != std::string::npos) ++read.translated;
            else read.english.push_back(line);
        };
        for (const SubtitleItem& list : files->get_LineLists())
            for (const WorldSubtitleLine& entry : list.get_Lines()) note(entry.get_Line());
        for (const std::string& line : files->get_Lines()) note(line);
        for (const WorldFiles::Goal& goal : files->get_Goals())
            for (const std::string& hint : goal.hints) note(hint);
        note(files->get_IdleHint());
        return read;
    };
    const Read pseudo = readIn({"qps"});
    EXPECT_GT(pseudo.lines, 150u) << "the films' subtitles, the captions and the world's messages";
    EXPECT_EQ(pseudo.translated, pseudo.lines);
    for (const std::string& line : pseudo.english) ADD_FAILURE() << "left in English: \"" << line << "\"";
    const Read english = readIn({});
    EXPECT_EQ(english.lines, pseudo.lines);
    EXPECT_EQ(english.translated, 0u);
}

TEST_F(InitWorldTest, OpeningEndingAndSpecialScreens)
{
    EXPECT_EQ(world->get_ScreenPosition(), 0) << "the new-game state starts on the logo";
    EXPECT_EQ(Screen(3), nullptr);
    ASSERT_NE(Screen(0), nullptr);
    ASSERT_NE(Screen(1), nullptr);
    ASSERT_NE(Screen(2), nullptr);
    ASSERT_NE(Screen(9999), nullptr);
    EXPECT_EQ(Screen(9999)->get_Type(), WorldScreen::kFlat) << "the first 9999 is the ending, not the placeholder";
    EXPECT_EQ(Screen(350)->get_CustomFunction(), 1);
    int custom = 0;
    for (const WorldScreen* s : c_screens) custom += s->get_CustomFunction() != 0;
    EXPECT_EQ(custom, 1);

    const WorldActionlist* ending = Screen(9999)->GetPreActionList(0);
    EXPECT_TRUE(HasAction(ending, ACT_EndGame));
    int films = 0;
    for (int i = 0; i < ending->get_ActionNumber(); ++i) films += ending->getAction(i)->get_Type() == ACT_PlayVideo;
    EXPECT_EQ(films, 2);

    // Books: 11 pages from 10001, 16 from 15001, 5 from 90001, linked by their strips.
    for (auto [first, pages] : {std::pair{10001, 11}, std::pair{15001, 16}, std::pair{90001, 5}}) {
        for (int p = 0; p < pages; ++p) EXPECT_NE(Screen(first + p), nullptr) << "page " << first + p;
        EXPECT_EQ(Screen(first + pages), nullptr) << "no page after " << first + pages - 1;
    }
}

TEST_F(InitWorldTest, TwelveSharedEntryListsSetMusicAmbienceAndTheRegionsBeds)
{
    // Lists of nothing but songs or ambient sounds, with the screens they are attached to.
    std::map<const WorldActionlist*, int> shared;
    for (const WorldScreen* s : c_screens)
        for (int i = 0; i < s->get_PreActionsCount(); ++i) {
            const WorldActionlist* l = s->GetPreActionList(i);
            bool only = l->get_ActionNumber() > 0;
            for (int a = 0; a < l->get_ActionNumber(); ++a) {
                const int code = l->getAction(a)->get_Type();
                only = only && (code == ACT_PlaySong || code == ACT_StartRepetiveSound);
            }
            if (only) ++shared[l];
        }
    ASSERT_EQ(shared.size(), 12u);
    std::map<std::string, int> found;  // what each list does (+ its condition) -> screens
    for (const auto& [list, screens] : shared) {
        std::string key;
        for (int a = 0; a < list->get_ActionNumber(); ++a) {
            const WorldAction* act = list->getAction(a);
            key += std::to_string(act->get_Type()) + ":" + std::to_string(Param(act, 0, 0));
            if (act->get_Type() == ACT_StartRepetiveSound)
                key += "/" + std::to_string(Param(act, 1, 0)) + "-" + std::to_string(Param(act, 2, 0));
            key += " ";
        }
        for (int token : list->get_Conditions()) key += "," + std::to_string(token);
        found[key] = screens;
    }
    EXPECT_EQ(found["10:-999 "], 1);
    EXPECT_GT(found["10:2 "], 20);
    EXPECT_EQ(found["10:1 "], 5);
    EXPECT_GT(found["10:3 ,1,14,1001,0,0"], 50);
    EXPECT_EQ(found["10:4 ,1,14,1001,0,1"], found["10:3 ,1,14,1001,0,0"]);
    EXPECT_GT(found["12:1/2000-20000 12:2/2000-20000 12:3/2000-20000 "], 10);
    EXPECT_EQ(found["12:5/2000-2001 ,1,4,1001,0,1"], found["12:1/2000-20000 12:2/2000-20000 12:3/2000-20000 "]);
    // The five beds (ambient sounds 6 .. 10), each on every screen of its regions.
    for (int bed = 6; bed <= 10; ++bed) EXPECT_GT(found["12:" + std::to_string(bed) + "/0-0 "], 5) << "bed " << bed;
}

// Entering any screen of a region, close views too, switches on that region's bed and no
// other: wind and surf outdoors (the shore, the tide flats), the clock of the ground floor,
// the lamps' hum up the tower and in the gallery, the hush of the dome, water and stone in
// the cistern and the drowned rooms. Leaving for another region switches the old bed off,
// and none plays in the opening.
TEST_F(InitWorldTest, EveryScreenOfARegionPlaysItsBedAndOnlyThat)
{
    WriteEveryPicture();
    world->set_SkipWaits(true);
    const std::map<std::string, std::string> bedOf = {
        {"shore", "data/shore_bed.wav"},  {"tide", "data/shore_bed.wav"},      {"hall", "data/hall_bed.wav"},
        {"tower", "data/lamp_room_bed.wav"}, {"gallery", "data/lamp_room_bed.wav"}, {"dome", "data/dome_bed.wav"},
        {"cistern", "data/cave_bed.wav"}, {"drowned", "data/cave_bed.wav"},
    };
    const auto playing = [this] {
        std::set<std::string> beds;
        for (const auto& sound : world->get_RepetiveSounds())
            if (sound->get_Bed() && sound->get_Active()) beds.insert(std::string(sound->get_File().begin(), sound->get_File().end()));
        return beds;
    };
    int beds = 0;
    for (const auto& sound : world->get_RepetiveSounds()) beds += sound->get_Bed();
    EXPECT_EQ(beds, 5);
    std::map<std::string, int> entered;
    for (const WorldFiles::Screen& screen : c_files->get_ScreenList()) {
        if (!screen.place) continue;
        const auto bed = bedOf.find(screen.region);
        world->JumpToScreen(screen.number);
        if (world->get_Screen() == nullptr || world->get_Screen()->get_Number() != screen.number) continue;  // led on at once
        const std::set<std::string> now = playing();
        if (bed == bedOf.end()) {
            EXPECT_TRUE(now.empty()) << screen.name << " (" << screen.region << ") plays no bed";
            continue;
        }
        ++entered[screen.region];
        EXPECT_EQ(now, std::set<std::string>{bed->second}) << screen.name << " in " << screen.region;
    }
    for (const auto& [region, file] : bedOf) EXPECT_GT(entered[region], 0) << region << " was entered";
}

TEST_F(InitWorldTest, PicturesAreOpenedWithTheOffsetsTheGeneratorWrites)
{
    for (const WorldScreen* s : c_screens) {
        const std::string image = s->get_BaseImage();
        if (s->get_Number() == 9999 && image == "data/newscreen.jpg") continue;
        const bool book = IsBookPage(s->get_Number());
        const int pageOne = s->get_Number() >= 90001 ? 90001 : s->get_Number() >= 15001 ? 15001 : 10001;
        const int expected = book ? ScrambleOffsetFor(Screen(pageOne)->get_BaseImage()) : ScrambleOffsetFor(image);
        EXPECT_EQ(s->get_Offset(), expected) << image;
        EXPECT_EQ(image.substr(image.size() - 4), ".enc") << image;
        for (int i = 0; i < s->get_OverlayCount(); ++i)
            EXPECT_EQ(s->GetOverlay(i)->get_Offset(), ScrambleOffsetFor(s->GetOverlay(i)->get_ImagePath()));
        for (int i = 0; i < s->get_OverlayCountArray(); ++i)
            EXPECT_EQ(s->GetOverlayArray(i)->get_Offset(), ScrambleOffsetFor(s->GetOverlayArray(i)->get_ImagePath()));
        // Hotspots lie inside the picture.
        const int width = s->get_Type() == WorldScreen::kPanorama ? 2048 : 1024;
        for (int h = 0; h < s->get_HotspotCount(); ++h) {
            const WorldHotspot* spot = s->GetHotspot(h);
            EXPECT_TRUE(spot->get_X1() >= 0 && spot->get_X1() <= spot->get_X2() && spot->get_X2() <= width &&
                        spot->get_Y1() >= 0 && spot->get_Y1() <= spot->get_Y2() && spot->get_Y2() <= 512)
                << "screen " << s->get_Number() << " hotspot " << h;
        }
    }
}

// ---- the shape of the world ----

TEST_F(InitWorldTest, TheWorldHasItsIntendedShape)
{
    int panoramas = 0, flats = 0, pages = 0, hotspots = 0, moves = 0, codeKeys = 0, overlays = 0, overwrites = 0, videos = 0;
    std::map<int, int> itemUses;
    for (const WorldScreen* s : c_screens) {
        if (IsBookPage(s->get_Number())) ++pages;
        else if (s->get_Type() == WorldScreen::kPanorama) ++panoramas;
        else ++flats;
        overlays += s->get_OverlayCount();
        overwrites += s->get_OverwriteBaseImageCount();
        hotspots += s->get_HotspotCount();
        for (int h = 0; h < s->get_HotspotCount(); ++h) {
            const WorldHotspot* spot = s->GetHotspot(h);
            moves += spot->get_SimpleMove();
            for (int i = 0; i < spot->get_ActionlistCount(); ++i) {
                const WorldActionlist* list = spot->GetActionlist(i);
                if (!list->get_Type()) ++itemUses[list->get_Number()];
                if (HasAction(list, ACT_ClickArray)) ++codeKeys;
                if (!list->get_Type() && list->get_Number() == 5) {
                    const bool refusal = list->get_ActionNumber() == 1 && HasAction(list, ACT_PlaySound);
                    EXPECT_TRUE(IsPureMove(list) || refusal) << "the lamp only lights the way, or is told no";
                }
                for (int a = 0; a < list->get_ActionNumber(); ++a) {
                    if (list->getAction(a)->get_Type() != ACT_GotoScreen) continue;
                    EXPECT_NE(Screen(Param(list->getAction(a), 0, 1)), nullptr) << "a way out of " << s->get_Number();
                }
            }
        }
        for (int i = 0; i < s->get_OverlayCount(); ++i) EXPECT_GT(s->GetOverlay(i)->get_ConditionNumber(), 0);
    }
    for (const WorldActionlist* list : AllLists())
        for (int i = 0; i < list->get_ActionNumber(); ++i) videos += list->getAction(i)->get_Type() == ACT_PlayVideo;
    int uses = 0;
    for (auto [item, count] : itemUses) uses += count;
    std::printf("world: %d panoramas (+1 placeholder), %d flat, %d book pages, %d hotspots, %d moves, %d code keys, "
                "%d item uses (item 5: %d), %d overlays, %d overwrites, %d videos\n",
                panoramas, flats, pages, hotspots, moves, codeKeys, uses, itemUses[5], overlays, overwrites, videos);
    // Within a tenth of the size the world was designed to.
    auto near = [](int value, int intended) { return value * 10 >= intended * 9 && value * 10 <= intended * 11; };
    EXPECT_TRUE(near(panoramas + 1, 43)) << panoramas;
    EXPECT_TRUE(near(flats, 65)) << flats;
    EXPECT_EQ(pages, 32);
    EXPECT_TRUE(near(moves, 200)) << moves;
    EXPECT_EQ(codeKeys, 85);
    EXPECT_TRUE(near(uses, 42)) << uses;
    EXPECT_TRUE(near(overlays, 25)) << overlays;
    EXPECT_EQ(overwrites, 12);
    EXPECT_TRUE(near(videos, 17)) << videos;
}

TEST_F(InitWorldTest, TheTideChangesFourPanoramasVisibly)
{
    for (int n = 600; n <= 603; ++n) {
        const WorldScreen* s = Screen(n);
        ASSERT_EQ(s->get_OverwriteBaseImageCount(), 3);
        std::set<std::string> pictures{s->get_BaseImage()};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(s->GetOverwriteBaseImage(i)->get_VarNumber(), wc::Art().Variable("tide"));
            EXPECT_EQ(s->GetOverwriteBaseImage(i)->get_VarValue(), i + 2);
            pictures.insert(s->GetOverwriteBaseImage(i)->get_BaseImage());
        }
        EXPECT_EQ(pictures.size(), 4u) << "four different pictures of screen " << n;
    }
}

// ---- clicks on panoramas ----

// The game's view of a panorama: 800 x 400 screen pixels drawn in perspective (a vertical
// field of 0.35 pi, aspect 2) while a click is picked one column per screen pixel from the
// view's centre and one row per 400/512 pixel. For screen point (x, y) of a view turned to
// centre column `centre`: the picture point drawn there and the one picked there.
struct ViewSample {
    double drawnX, drawnY;
    int pickedX, pickedY;
};
ViewSample SampleView(int centre, int x, int y)
{
    constexpr double kPi = 3.14159265358979323846, kBand = 0.351 * kPi / 2.0;
    const double halfHeight = std::tan(0.35 * kPi / 2.0), halfWidth = 2.0 * halfHeight;
    const double rx = (x - 400.0) / 400.0 * halfWidth, ry = (200.0 - y) / 200.0 * halfHeight;
    const double longitude = std::atan(rx), latitude = std::atan2(ry, std::sqrt(1.0 + rx * rx));
    double drawnX = centre + longitude / (2.0 * kPi) * 2048.0;
    drawnX -= 2048.0 * std::floor(drawnX / 2048.0);
    return {drawnX, (0.5 - latitude / (2.0 * kBand)) * 512.0, ((centre + x - 400) % 2048 + 2048) % 2048, y * 512 / 400};
}

bool DrawnIn(const wc::Feature& f, double x, double y)
{
    if (y < f.y1 || y >= f.y2) return false;
    return (x >= f.x1 && x < f.x2) || (x + 2048.0 >= f.x1 && x + 2048.0 < f.x2);
}

TEST(PickAreas, GrowByTheLargestDistanceBetweenWhatIsPickedAndWhatIsDrawn)
{
    double columns = 0, rows = 0;
    for (int y = 0; y <= 400; y += 2)
        for (int x = 100; x <= 700; x += 2) {
            const ViewSample v = SampleView(0, x, y);
            const double drawnX = v.drawnX > 1024 ? v.drawnX - 2048 : v.drawnX;
            const double pickedX = v.pickedX > 1024 ? v.pickedX - 2048 : v.pickedX;
            columns = std::max(columns, std::fabs(pickedX - drawnX));
            rows = std::max(rows, std::fabs(v.pickedY - v.drawnY));
        }
    EXPECT_EQ(wc::Art().pickColumns, static_cast<int>(std::ceil(columns)));
    EXPECT_GE(wc::Art().pickRows, static_cast<int>(std::ceil(rows)));
    EXPECT_LE(wc::Art().pickRows, static_cast<int>(std::ceil(rows)) + 1);
}

// Every turn of every panorama, every clickable point where a landmark with a hotspot is
// drawn: the first hotspot the click finds is that landmark's own (on flat views the hotspot
// is the drawn rectangle itself).
TEST_F(InitWorldTest, AClickOnALandmarkAsDrawnFindsItsHotspotAtEveryTurnOfTheView)
{
    int samples = 0;
    for (const wc::Place& place : wc::Art().places) {
        if (!place.panorama) continue;
        const WorldScreen* s = Screen(place.number);
        ASSERT_NE(s, nullptr);
        for (int centre = 0; centre < 2048; centre += 24)
            for (int y = 0; y < 400; y += 8)
                for (int x = 101; x < 700; x += 7) {
                    const ViewSample v = SampleView(centre, x, y);
                    for (int i = 0; i < wc::kMaxFeatures; ++i) {
                        const wc::Feature& f = place.features[i];
                        if (f.look == wc::Look::None && f.target < 0) break;
                        if (f.way == wc::Way::Scenery || !DrawnIn(f, v.drawnX, v.drawnY)) continue;
                        ++samples;
                        const wc::HotspotArea& a = wc::Art().AreaOf(place.number, i);
                        const WorldHotspot* first = nullptr;
                        for (int h = 0; h < s->get_HotspotCount() && first == nullptr; ++h)
                            if (s->GetHotspot(h)->Check(v.pickedX, v.pickedY)) first = s->GetHotspot(h);
                        ASSERT_NE(first, nullptr) << "screen " << place.number << " feature " << i << " turned to "
                                                  << centre << ", screen " << x << ", " << y;
                        const bool own = first->get_Y1() == a.y1 && first->get_Y2() == a.y2 &&
                                         (first->get_X1() == a.x1 || first->get_X1() == 0 ||
                                          first->get_X1() == a.x1 - 2048);
                        EXPECT_TRUE(own) << "screen " << place.number << " feature " << i << " turned to " << centre
                                         << ", screen " << x << ", " << y << " finds the hotspot " << first->get_X1()
                                         << ".." << first->get_X2() << " x " << first->get_Y1() << ".." << first->get_Y2();
                        if (!own) return;
                    }
                }
    }
    EXPECT_GT(samples, 10000);
}

// ---- the walkthrough ----

// Plays the world on its own records through the engine's own interpreter: the world manager
// tests every condition, runs every action (moves, entry lists, variables, grids, items,
// films to the fixture's recording player) and owns the state; this walker only chooses what
// to click, as a player would, and finds its way between screens.
class Walker {
public:
    Walker(WorldManager& world, const std::function<WorldScreen*(int)>& screen, const world_test::FakeVideoPlayer& video)
        : c_world(world), c_screen(screen), c_video(video)
    {
    }

    void Enter(int number)
    {
        c_visited.insert(number);
        c_world.JumpToScreen(number);
        Note();
    }
    void Run(const WorldActionlist* list)
    {
        // An item used on something is gone from the hand when the list drops it; the engine
        // forgets the held item, and the bar no longer offers it.
        if (c_held != 0 && HasAction(list, ACT_DropItem)) c_dropped.insert(c_held);
        c_world.ExcuteActionList(list);
        Note();
    }
    // The lists a click on `spot` runs with item `item` in the hand (0: none), as the runtime
    // collects them; false when the hotspot does not exist now.
    bool Click(const WorldHotspot* spot, int item)
    {
        if (!c_world.TestConditionList(spot)) return false;
        if (item != 0 && Items().count(item) == 0) return false;
        c_held = item;
        std::vector<WorldActionlist*> lists;
        spot->getActionlist(item == 0, item, lists);
        bool ran = false;
        for (const WorldActionlist* l : lists) {
            if (!c_world.TestConditionList(l)) continue;
            Run(l);
            ran = true;
        }
        return ran;
    }

    // Screens one move leads to from `number` now: (target, hotspot, item) for each move.
    struct Move {
        int target;
        const WorldHotspot* spot;
        int item;
    };
    std::vector<Move> Moves(int number) const
    {
        std::vector<Move> moves;
        const WorldScreen* s = c_screen(number);
        if (s == nullptr) return moves;
        for (int h = 0; h < s->get_HotspotCount(); ++h) {
            const WorldHotspot* spot = s->GetHotspot(h);
            if (!c_world.TestConditionList(spot)) continue;
            for (int i = 0; i < spot->get_ActionlistCount(); ++i) {
                const WorldActionlist* l = spot->GetActionlist(i);
                if (!IsPureMove(l) || !c_world.TestConditionList(l)) continue;
                if (!l->get_Type() && Items().count(l->get_Number()) == 0) continue;
                for (int a = 0; a < l->get_ActionNumber(); ++a)
                    if (l->getAction(a)->get_Type() == ACT_GotoScreen)
                        moves.push_back({Param(l->getAction(a), 0, 1), spot, l->get_Type() ? 0 : l->get_Number()});
            }
        }
        return moves;
    }
    // Every screen the player can reach from here now, item close-ups and books included.
    std::set<int> Reachable() const
    {
        std::set<int> seen{c_current};
        std::deque<int> queue{c_current};
        for (int item : Items()) {
            const int closeUp = wc::ItemScreen(item);
            if (seen.insert(closeUp).second) queue.push_back(closeUp);
        }
        while (!queue.empty()) {
            const int n = queue.front();
            queue.pop_front();
            for (const Move& m : Moves(n))
                if (seen.insert(m.target).second) queue.push_back(m.target);
        }
        return seen;
    }
    // Walks the shortest way to `target`; false when there is none now.
    bool WalkTo(int target)
    {
        std::map<int, Move> cameBy;
        std::deque<int> queue{c_current};
        std::set<int> seen{c_current};
        while (!queue.empty() && seen.count(target) == 0) {
            const int n = queue.front();
            queue.pop_front();
            for (const Move& m : Moves(n))
                if (seen.insert(m.target).second) {
                    cameBy.emplace(m.target, Move{n, m.spot, m.item});
                    queue.push_back(m.target);
                }
        }
        if (seen.count(target) == 0) return false;
        std::vector<Move> path;
        for (int n = target; n != c_current; n = cameBy.at(n).target) path.push_back(cameBy.at(n));
        std::reverse(path.begin(), path.end());
        for (const Move& step : path) Click(step.spot, step.item);
        return c_current == target;
    }
    // Clicks the first hotspot of this screen whose click (with `item`) runs an action `code`.
    bool Do(int code, int item = 0)
    {
        const WorldScreen* s = c_screen(c_current);
        for (int h = 0; h < s->get_HotspotCount(); ++h) {
            const WorldHotspot* spot = s->GetHotspot(h);
            std::vector<WorldActionlist*> lists;
            spot->getActionlist(item == 0, item, lists);
            const bool wanted = std::any_of(lists.begin(), lists.end(), [&](const WorldActionlist* l) {
                return HasAction(l, code) && c_world.TestConditionList(l);
            });
            if (wanted && Click(spot, item)) return true;
        }
        return false;
    }
    // Clicks the code key of cell (x, y) of `grid` on this screen.
    bool ClickCell(int grid, int x, int y)
    {
        const WorldScreen* s = c_screen(c_current);
        for (int h = 0; h < s->get_HotspotCount(); ++h) {
            const WorldHotspot* spot = s->GetHotspot(h);
            for (int i = 0; i < spot->get_ActionlistCount(); ++i) {
                const WorldActionlist* l = spot->GetActionlist(i);
                for (int a = 0; a < l->get_ActionNumber(); ++a) {
                    const WorldAction* act = l->getAction(a);
                    if (act->get_Type() == ACT_ClickArray && Param(act, 0, 0) == grid && Param(act, 1, 1) == x &&
                        Param(act, 2, 1) == y)
                        return Click(spot, 0);
                }
            }
        }
        return false;
    }
    // Turns the wheel of cell `cell` until it shows `value`.
    bool SetWheel(int grid, int cell, int value)
    {
        const WorldGlobalVarArray* g = c_world.getGlobalVarArray(grid);
        for (int turns = 0; turns <= g->get_NumberMax() && c_world.getGlobalVarValue(g->get_Start() + cell) != value; ++turns)
            if (!ClickCell(grid, cell, 0)) return false;
        return c_world.getGlobalVarValue(g->get_Start() + cell) == value;
    }

    // The items the player carries: those the world has given, less those used up.
    std::set<int> Items() const
    {
        std::set<int> items;
        for (WorldItem* item : c_world.get_Inventory()->get_ActiveItems())
            if (c_dropped.count(item->get_Number()) == 0) items.insert(item->get_Number());
        return items;
    }
    int Films() const { return static_cast<int>(c_video.played.size()); }

    int c_current = -1;
    int c_held = 0;
    std::set<int> c_visited;

private:
    void Note()
    {
        c_current = c_world.get_ScreenPosition();
        c_visited.insert(c_current);
    }

    WorldManager& c_world;
    std::function<WorldScreen*(int)> c_screen;
    const world_test::FakeVideoPlayer& c_video;
    std::set<int> c_dropped;
};

TEST_F(InitWorldTest, TheGameCanBeFinishedFromTheCluesWithoutDeadEnds)
{
    WriteEveryPicture();
    world->set_SkipWaits(true);
    Walker walk(*world, [this](int n) { return Screen(n); }, video);
    std::set<int> everReachable;
    std::map<const WorldOverlay*, std::pair<bool, bool>> overlayShown;  // (ever shown, ever hidden)
    auto sampleOverlays = [&] {
        for (const WorldScreen* s : c_screens)
            for (int i = 0; i < s->get_OverlayCount(); ++i) {
                auto& [shown, hidden] = overlayShown[s->GetOverlay(i)];
                (world->TestConditionList(s->GetOverlay(i)) ? shown : hidden) = true;
            }
    };
    auto step = [&](const std::string& what) {
        sampleOverlays();
        const std::set<int> now = walk.Reachable();
        everReachable.insert(now.begin(), now.end());
        EXPECT_TRUE(now.count(100)) << "after " << what << " the way back to the landing is open (screen " << walk.c_current
                                    << ")";
    };
    auto walkTo = [&](int target) {
        ASSERT_TRUE(walk.WalkTo(target)) << "from " << walk.c_current << " to " << target;
        step("walking to " + std::to_string(target));
    };

    walk.Enter(0);
    EXPECT_EQ(walk.c_current, 2) << "the opening runs from the logo over the crossing to the causeway";
    walkTo(100);
    EXPECT_EQ(walk.Films(), 1) << "the arrival film";
    EXPECT_FALSE(walk.WalkTo(200)) << "the gate is locked";

    walkTo(154);
    ASSERT_TRUE(walk.Do(ACT_ActivateItem));  // the gate key under the nets (the letter says so)
    walkTo(155);
    ASSERT_TRUE(walk.Do(ACT_ActivateItem));  // the crank
    walkTo(157);
    ASSERT_TRUE(walk.Do(ACT_ActivateItem));  // the watch in the rock pool
    walkTo(152);
    ASSERT_TRUE(walk.Do(ACT_SetVar, 3)) << "the key opens the padlock";
    EXPECT_EQ(walk.Items().count(3), 0u) << "the key stays in the lock";
    walkTo(251);
    ASSERT_TRUE(walk.Do(ACT_ActivateItem));  // the logbook
    EXPECT_FALSE(walk.WalkTo(301)) << "no way into the dark without the lamp";
    walkTo(254);
    ASSERT_TRUE(walk.Do(ACT_ActivateItem));  // the hand lamp

    // The cabinet: the strokes under the bells engraved in the watch.
    walkTo(451);
    for (int cell = 0; cell < 8; ++cell) ASSERT_TRUE(walk.SetWheel(1, cell, wc::Art().cabinetCode[cell]));
    step("setting the bells");
    ASSERT_TRUE(walk.Do(ACT_ActivateItem)) << "the cabinet opens to the eight bells";
    EXPECT_TRUE(walk.Items().count(6));

    walkTo(453);
    ASSERT_TRUE(walk.Do(ACT_SetVar, 4)) << "the crank lifts the hatch bar";
    EXPECT_FALSE(walk.WalkTo(700)) << "the dome stair is dark";

    // The lamp ring, worked out from its rule: each middle lamp whose upper lamp is dark, once.
    walkTo(551);
    for (int x = 0; x < 12; ++x) {
        if (world->getGlobalVarValue(200 + x) == 0) {
            ASSERT_TRUE(walk.ClickCell(2, x, 1));
        }
    }
    EXPECT_TRUE(world->getGlobalVarArray(2)->get_AllChecked()) << "every lamp burns";

    // The tide clock, walked down to the lowest ebb with tonight's settings from the register.
    walkTo(650);
    for (int cell = 0; cell < 5; ++cell) ASSERT_TRUE(walk.SetWheel(7, cell, wc::Art().TideSetting(4)[cell]));
    EXPECT_FALSE(walk.Do(ACT_SetVar)) << "the lowest ebb is not to be had straight from high water";
    for (int cell = 0; cell < 5; ++cell) ASSERT_TRUE(walk.SetWheel(7, cell, wc::Art().tideTable[0][0][cell]));
    EXPECT_FALSE(walk.Do(ACT_SetVar)) << "another moon's half ebb";
    for (int tide = 2; tide <= 4; ++tide) {
        for (int cell = 0; cell < 5; ++cell) ASSERT_TRUE(walk.SetWheel(7, cell, wc::Art().TideSetting(tide)[cell]));
        ASSERT_TRUE(walk.Do(ACT_SetVar));
        EXPECT_EQ(world->getGlobalVarValue(wc::Art().Variable("tide")), tide);
    }

    EXPECT_FALSE(walk.WalkTo(303)) << "the basin is flooded";
    walkTo(351);
    ASSERT_TRUE(walk.Do(ACT_SetVar, 4)) << "the crank works the pump";
    walkTo(350);
    ASSERT_TRUE(walk.Do(ACT_SetVar)) << "the catch behind the valve";
    walkTo(1152);
    EXPECT_FALSE(walk.Do(ACT_ActivateItem)) << "the lens stays in its cradle while the sea door is barred";
    walkTo(1151);
    ASSERT_TRUE(walk.Do(ACT_SetVar)) << "the sea door's bar lifts from inside";
    walkTo(1152);
    ASSERT_TRUE(walk.Do(ACT_ActivateItem));  // the last lens
    walkTo(1100);
    const std::vector<Walker::Move> ways = walk.Moves(1100);
    EXPECT_TRUE(std::none_of(ways.begin(), ways.end(), [](const Walker::Move& m) { return m.target == 307; }))
        << "the lens is too heavy for the tunnel";
    ASSERT_TRUE(walk.WalkTo(105)) << "the sea door leads out to the shore";
    step("leaving by the sea door");

    // The star panels, from the plaque and the letters.
    for (int panel = 0; panel < 4; ++panel) {
        walkTo(752 + panel);
        for (int cell = 0; cell < 9; ++cell) {
            if (world->getGlobalVarValue(300 + 10 * panel + cell) != wc::Art().starPatterns[panel][cell]) {
                ASSERT_TRUE(walk.ClickCell(3 + panel, cell % 3, cell / 3));
            }
        }
    }
    walkTo(703);
    EXPECT_EQ(world->getGlobalVarValue(wc::Art().Variable("arrived")), 3) << "the shutter film has run";
    walkTo(751);
    ASSERT_TRUE(walk.Do(ACT_GotoScreen, 8)) << "the telescope takes the lens";
    EXPECT_EQ(walk.c_current, 9999);
    EXPECT_TRUE(world->get_EndGameMode());
    EXPECT_EQ(world->getGlobalVarValue(wc::Art().Variable("lens_placed")), 1);

    sampleOverlays();
    for (const auto& [overlay, seen] : overlayShown)
        EXPECT_TRUE(seen.first && seen.second) << overlay->get_ImagePath() << " never changes in the story";
    everReachable.insert(walk.c_visited.begin(), walk.c_visited.end());
    // Screens passed through on the way: an entry list that moves on was run on arrival.
    for (bool grew = true; grew;) {
        grew = false;
        for (const WorldScreen* s : c_screens) {
            if (!everReachable.count(s->get_Number())) continue;
            for (int i = 0; i < s->get_PreActionsCount(); ++i) {
                const WorldActionlist* l = s->GetPreActionList(i);
                for (int a = 0; a < l->get_ActionNumber(); ++a)
                    if (l->getAction(a)->get_Type() == ACT_GotoScreen)
                        grew |= everReachable.insert(Param(l->getAction(a), 0, 1)).second;
            }
        }
    }
    for (const WorldScreen* s : c_screens)
        EXPECT_TRUE(everReachable.count(s->get_Number())) << "screen " << s->get_Number() << " is never reachable";
}
