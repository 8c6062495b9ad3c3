#include "game/assets/world_art.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "core/error.h"
#include "core/text_catalogue.h"

namespace {

namespace wc = world_content;

std::string Str(const char* text) { return text != nullptr ? text : "(none)"; }

class WorldArtTest : public ::testing::Test {
protected:
    static const wc::WorldArt& ArtOfTheGame()
    {
        static const TextCatalogue texts = TextCatalogue::Load(KELVANE_GAME_TEXTS, {});
        static const std::unique_ptr<wc::WorldArt> art = wc::WorldArt::Load(KELVANE_GAME_WORLD, texts);
        return *art;
    }
};

// What the generator reads from the game's files hangs together: every landmark that leads
// somewhere leads to a place of the world, every changing block stands on one, and the items,
// grids and key panels are all there.
TEST_F(WorldArtTest, TheGamesNotesDescribeAWorldThatHangsTogether)
{
    const wc::WorldArt& art = ArtOfTheGame();
    ASSERT_GE(art.places.size(), 80u);
    std::set<int> screens;
    for (const wc::Place& place : art.places) {
        EXPECT_TRUE(screens.insert(place.number).second) << "place " << place.number << " noted twice";
        EXPECT_NE(Str(place.image), "(none)") << "place " << place.number;
    }
    for (const wc::Place& place : art.places) {
        for (const wc::Feature& f : place.features) {
            if (f.look == wc::Look::None && f.target < 0) break;
            if (f.way == wc::Way::Scenery) continue;
            EXPECT_EQ(screens.count(f.target), 1u) << "place " << place.number << " leads to " << f.target;
            if (f.alt >= 0) EXPECT_EQ(screens.count(f.alt), 1u) << "place " << place.number << " leads to " << f.alt;
        }
    }
    for (const wc::OverlayDef& o : art.overlays)
        EXPECT_EQ(screens.count(o.screen), 1u) << Str(o.image) << " stands on no noted place";
    for (const wc::KeyPanel& k : art.keyPanels) {
        EXPECT_EQ(screens.count(k.screen), 1u) << Str(k.strip);
        EXPECT_GE(k.grid, 1);
        EXPECT_LE(k.grid, static_cast<int>(art.grids.size()));
    }
    ASSERT_EQ(art.items.size(), 8u);
    for (std::size_t n = 0; n < art.items.size(); ++n) EXPECT_EQ(art.items[n].number, static_cast<int>(n) + 1);
    EXPECT_EQ(art.grids.size(), 7u);
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
