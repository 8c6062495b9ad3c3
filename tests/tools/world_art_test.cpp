#include "game/assets/world_art.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "core/error.h"
#include "core/text_catalogue.h"
#include "game/pick_areas.h"
#include "game/world_content.h"

namespace {

namespace wc = world_content;

std::string Str(const char* text) { return text != nullptr ? text : "(none)"; }
std::wstring Wide(const wchar_t* text) { return text != nullptr ? text : L"(none)"; }

class WorldArtTest : public ::testing::Test {
protected:
    static const wc::WorldArt& ArtOfTheGame()
    {
        static const TextCatalogue texts = TextCatalogue::Load(KELVANE_GAME_TEXTS, {});
        static const std::unique_ptr<wc::WorldArt> art = wc::WorldArt::Load(KELVANE_GAME_WORLD, texts);
        return *art;
    }
};

void ExpectSameFeature(const wc::Feature& want, const wc::Feature& got, const std::string& where)
{
    EXPECT_EQ(static_cast<int>(got.look), static_cast<int>(want.look)) << where;
    EXPECT_EQ(got.x1, want.x1) << where;
    EXPECT_EQ(got.y1, want.y1) << where;
    EXPECT_EQ(got.x2, want.x2) << where;
    EXPECT_EQ(got.y2, want.y2) << where;
    EXPECT_EQ(got.target, want.target) << where;
    EXPECT_EQ(static_cast<int>(got.way), static_cast<int>(want.way)) << where;
    EXPECT_EQ(static_cast<int>(got.need), static_cast<int>(want.need)) << where;
    EXPECT_EQ(got.var, want.var) << where;
    EXPECT_EQ(got.value, want.value) << where;
    EXPECT_EQ(got.alt, want.alt) << where;
    EXPECT_EQ(got.cursor, want.cursor) << where;
    EXPECT_EQ(got.active, want.active) << where;
}

void ExpectSameFilm(const wc::FilmDef& want, const wc::FilmDef& got, const std::string& name)
{
    EXPECT_EQ(Wide(got.path), Wide(want.path)) << name;
    EXPECT_DOUBLE_EQ(got.seconds, want.seconds) << name;
    ASSERT_EQ(got.cueCount, want.cueCount) << name;
    for (std::size_t i = 0; i < want.cueCount; ++i) {
        EXPECT_EQ(got.cues[i].time, want.cues[i].time) << name << " cue " << i;
        EXPECT_EQ(Str(got.cues[i].line), Str(want.cues[i].line)) << name << " cue " << i;
    }
}

TEST_F(WorldArtTest, PlacesFromTheWorldFilesEqualTheTables)
{
    const wc::WorldArt& art = ArtOfTheGame();
    ASSERT_EQ(art.places.size(), std::size(wc::kPlaces));
    for (std::size_t i = 0; i < art.places.size(); ++i) {
        const wc::Place& want = wc::kPlaces[i];
        const wc::Place& got = art.places[i];
        const std::string where = "place " + std::to_string(want.number);
        EXPECT_EQ(got.number, want.number) << where;
        EXPECT_EQ(got.panorama, want.panorama) << where;
        EXPECT_EQ(Str(got.image), Str(want.image)) << where;
        EXPECT_EQ(static_cast<int>(got.realm), static_cast<int>(want.realm)) << where;
        EXPECT_EQ(got.seed, want.seed) << where;
        for (int f = 0; f < wc::kMaxFeatures; ++f)
            ExpectSameFeature(want.features[f], got.features[f], where + " landmark " + std::to_string(f));
    }
}

TEST_F(WorldArtTest, HotspotAreasFromTheWorldFilesEqualTheComputedOnes)
{
    const wc::WorldArt& art = ArtOfTheGame();
    EXPECT_EQ(art.pickColumns, wc::kPickColumns);
    EXPECT_EQ(art.pickRows, wc::kPickRows);
    for (const wc::Place& place : wc::kPlaces)
        for (int i = 0; i < wc::kMaxFeatures; ++i) {
            const wc::Feature& f = place.features[i];
            if (f.look == wc::Look::None && f.target < 0) break;
            const wc::PickArea want = wc::PickAreaOf(place, i);
            const wc::HotspotArea& got = art.AreaOf(place.number, i);
            const std::string where = "place " + std::to_string(place.number) + " landmark " + std::to_string(i);
            EXPECT_EQ(got.x1, want.x1) << where;
            EXPECT_EQ(got.y1, want.y1) << where;
            EXPECT_EQ(got.x2, want.x2) << where;
            EXPECT_EQ(got.y2, want.y2) << where;
        }
    EXPECT_THROW(art.AreaOf(100, wc::kMaxFeatures), Error);
}

TEST_F(WorldArtTest, ChangingBlocksPanelsAndTideVersionsEqualTheTables)
{
    const wc::WorldArt& art = ArtOfTheGame();
    ASSERT_EQ(art.overlays.size(), std::size(wc::kOverlays));
    for (const wc::OverlayDef& want : wc::kOverlays) {
        const wc::OverlayDef* got = nullptr;
        for (const wc::OverlayDef& o : art.overlays)
            if (std::strcmp(o.image, want.image) == 0) got = &o;
        ASSERT_NE(got, nullptr) << want.image;
        const std::string where = want.image;
        EXPECT_EQ(got->screen, want.screen) << where;
        EXPECT_EQ(got->x, want.x) << where;
        EXPECT_EQ(got->y, want.y) << where;
        EXPECT_EQ(got->w, want.w) << where;
        EXPECT_EQ(got->h, want.h) << where;
        EXPECT_EQ(static_cast<int>(got->shows), static_cast<int>(want.shows)) << where;
        EXPECT_EQ(got->feature, want.feature) << where;
        EXPECT_EQ(got->item, want.item) << where;
        EXPECT_EQ(static_cast<int>(got->when), static_cast<int>(want.when)) << where;
        EXPECT_EQ(got->var, want.var) << where;
        EXPECT_EQ(got->value, want.value) << where;
        EXPECT_EQ(got->open, want.open) << where;
    }
    ASSERT_EQ(art.keyPanels.size(), std::size(wc::kKeyPanels));
    for (const wc::KeyPanel& want : wc::kKeyPanels) {
        const wc::KeyPanel& got = art.KeyPanelOn(want.screen);
        const std::string where = Str(want.strip);
        EXPECT_EQ(got.screen, want.screen) << where;
        EXPECT_EQ(got.grid, want.grid) << where;
        EXPECT_EQ(got.x, want.x) << where;
        EXPECT_EQ(got.y, want.y) << where;
        EXPECT_EQ(got.w, want.w) << where;
        EXPECT_EQ(got.h, want.h) << where;
        EXPECT_EQ(got.dx, want.dx) << where;
        EXPECT_EQ(got.dy, want.dy) << where;
        EXPECT_EQ(Str(got.strip), Str(want.strip)) << where;
        EXPECT_EQ(static_cast<int>(got.style), static_cast<int>(want.style)) << where;
    }
    ASSERT_EQ(art.tideVersions.size(), std::size(wc::kTideVersions));
    for (std::size_t i = 0; i < art.tideVersions.size(); ++i) {
        EXPECT_EQ(art.tideVersions[i].screen, wc::kTideVersions[i].screen);
        for (int v = 0; v < 3; ++v) EXPECT_EQ(Str(art.tideVersions[i].versions[v]), Str(wc::kTideVersions[i].versions[v]));
    }
    ASSERT_EQ(art.grids.size(), std::size(wc::kGrids));
    for (std::size_t i = 0; i < art.grids.size(); ++i) {
        const wc::GridDef& want = wc::kGrids[i];
        const wc::GridDef& got = art.grids[i];
        EXPECT_EQ(got.number, want.number);
        EXPECT_EQ(got.start, want.start) << "grid " << want.number;
        EXPECT_EQ(got.width, want.width) << "grid " << want.number;
        EXPECT_EQ(got.height, want.height) << "grid " << want.number;
        EXPECT_EQ(got.max, want.max) << "grid " << want.number;
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(art.cabinetRelease[i], wc::kCabinetRelease[i]);
        EXPECT_EQ(art.tideLever[i], wc::kTideLever[i]);
    }
}

TEST_F(WorldArtTest, ItemsBooksPicturesAndSoundsEqualTheTables)
{
    const wc::WorldArt& art = ArtOfTheGame();
    ASSERT_EQ(art.items.size(), std::size(wc::kItems));
    for (std::size_t i = 0; i < art.items.size(); ++i) {
        const wc::ItemDef& want = wc::kItems[i];
        const wc::ItemDef& got = art.items[i];
        EXPECT_EQ(got.number, want.number);
        EXPECT_EQ(Str(got.picture), Str(want.picture));
        EXPECT_EQ(Str(got.alpha1), Str(want.alpha1));
        EXPECT_EQ(Str(got.alpha2), Str(want.alpha2));
        EXPECT_EQ(Wide(got.sound), Wide(want.sound));
        EXPECT_EQ(Str(got.closeUp), Str(want.closeUp));
    }
    const std::pair<const char*, std::vector<const char*>> books[] = {
        {"logbook", {std::begin(wc::kLogbookPages), std::end(wc::kLogbookPages)}},
        {"letters", {std::begin(wc::kLetterPages), std::end(wc::kLetterPages)}},
        {"register", {std::begin(wc::kRegisterPages), std::end(wc::kRegisterPages)}},
    };
    for (const auto& [name, pages] : books) {
        const std::vector<const char*>& got = art.BookPages(name);
        ASSERT_EQ(got.size(), pages.size()) << name;
        for (std::size_t p = 0; p < pages.size(); ++p) EXPECT_EQ(Str(got[p]), Str(pages[p])) << name;
    }
    EXPECT_EQ(Str(art.logoImage), Str(wc::kLogoImage));
    EXPECT_EQ(Str(art.boatImage), Str(wc::kBoatImage));
    EXPECT_EQ(Str(art.causewayImage), Str(wc::kCausewayImage));
    EXPECT_EQ(Str(art.endingImage), Str(wc::kEndingImage));
    const std::pair<const char*, const wchar_t*> sounds[] = {
        {"page", wc::kPageSound},     {"cover", wc::kCoverSound},     {"wheel", wc::kWheelSound},
        {"lamp_switch", wc::kLampSound}, {"take", wc::kTakeSound},    {"knock", wc::kKnockSound},
        {"lever", wc::kLeverSound},   {"waves", wc::kWavesSound},     {"unlock", wc::kUnlockSound},
        {"snuff", wc::kSnuffSound},   {"catch", wc::kCatchSound},     {"seat", wc::kSeatSound},
        {"examine", wc::kItemSound},  {"paper", wc::kPaperSound},     {"drip1", wc::kDripSounds[0]},
        {"drip2", wc::kDripSounds[1]}, {"drip3", wc::kDripSounds[2]}, {"valve_tick", wc::kSwitchSound},
        {"stumble", wc::kStumbleSound}, {"sea_pound", wc::kExplosionSound},
    };
    for (const auto& [name, file] : sounds) {
        const std::string& got = art.SoundFile(name);
        EXPECT_EQ(std::wstring(got.begin(), got.end()), Wide(file)) << name;
    }
    EXPECT_EQ(art.Variable("cistern_flooded"), wc::kCisternFlooded);
    EXPECT_THROW(art.SoundFile("no_such_sound"), Error);
}

TEST_F(WorldArtTest, FilmsAndPuzzleTablesEqualTheTables)
{
    const wc::WorldArt& art = ArtOfTheGame();
    const std::pair<const char*, const wc::FilmDef*> films[] = {
        {"arrival", &wc::kArrivalFilm}, {"letters", &wc::kLettersFilm}, {"recorder", &wc::kRecorderFilm},
        {"ending", &wc::kEndingFilm},   {"gate", &wc::kGateFilm},       {"pump", &wc::kPumpFilm},
        {"sea_gate", &wc::kSeaGateFilm}, {"tide1", &wc::kTideFilms[0]}, {"tide2", &wc::kTideFilms[1]},
        {"tide3", &wc::kTideFilms[2]},  {"tide4", &wc::kTideFilms[3]},  {"hatch", &wc::kHatchFilm},
        {"lamps", &wc::kLampsFilm},     {"shutter", &wc::kShutterFilm}, {"sea_door", &wc::kSeaDoorFilm},
        {"lens", &wc::kLensFilm},
    };
    for (const auto& [name, want] : films) ExpectSameFilm(*want, art.Film(name), name);
    EXPECT_THROW(art.Film("no_such_film"), Error);

    for (int i = 0; i < 8; ++i) EXPECT_EQ(art.cabinetCode[i], wc::kCabinetCode[i]);
    for (int f = 0; f < 4; ++f)
        for (int c = 0; c < 9; ++c) EXPECT_EQ(art.starPatterns[f][c], wc::kStarPatterns[f][c]) << "figure " << f;
    for (int moon = 0; moon < 4; ++moon)
        for (int tide = 0; tide < 3; ++tide)
            for (int w = 0; w < 5; ++w) EXPECT_EQ(art.tideTable[moon][tide][w], wc::kTideTable[moon][tide][w]);
    EXPECT_EQ(art.tonight, wc::kTonight);
    for (int tide = 1; tide <= 4; ++tide)
        for (int w = 0; w < 5; ++w) EXPECT_EQ(art.TideSetting(tide)[w], wc::TideSetting(tide)[w]) << "tide " << tide;
}

// A note that lacks what a picture needs is refused with the world file and line that made it.
TEST_F(WorldArtTest, ANoteWithoutWhatThePicturesNeedNamesItsFileAndLine)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kelvane-world-art-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    {
        std::ofstream main(dir / "main.lua");
        main << "region{name = 'shore', block = 100}\n"
                "screen{name = 'logo', region = 'shore', panorama = false, image = 'a.enc', number = 0}\n"
                "note('opening', {logo = 'logo', boat = 'logo', causeway = 'logo'})\n"
                "note('place', {screen = 'logo', region = 'shore', image = 'a.enc', seed = 1,\n"
                "               landmarks = {{look = 'dragon', rect = {1, 2, 3, 4}, way = 'walk'}}})\n";
    }
    const TextCatalogue texts = TextCatalogue::Load(KELVANE_GAME_TEXTS, {});
    try {
        wc::WorldArt::Load(dir, texts);
        ADD_FAILURE() << "an unknown look was accepted";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("main.lua:4"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("unknown look 'dragon'"), std::string::npos) << e.what();
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
