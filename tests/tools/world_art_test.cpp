#include "game/assets/world_art.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "content/generator.h"
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

// Every sound is made as its world file says: the game's own sounds all name a kind the
// generator makes (the beds as seamless .wav), each file once; a sound whose kind is none is
// refused with the world file, line and sound that named it, and the kinds there are.
TEST_F(WorldArtTest, SoundsAreMadeAsTheirWorldFilesSayAndAnUnknownKindIsNamed)
{
    const wc::WorldArt& art = ArtOfTheGame();
    ASSERT_GE(art.sounds.size(), 25u);
    content::AssetList game;
    ASSERT_NO_THROW(content::AddWorldSounds(game, art));
    std::set<std::string> files;
    for (const content::Asset& asset : game.Assets())
        for (const std::string& file : asset.files) EXPECT_TRUE(files.insert(file).second) << file << " made twice";
    EXPECT_EQ(files.size(), art.sounds.size());
    int beds = 0;
    for (const wc::SoundDef& sound : art.sounds) {
        content::SoundKind kind{};
        ASSERT_TRUE(content::SoundKindNamed(sound.made, &kind)) << sound.name;
        EXPECT_EQ(art.SoundFile(sound.name), sound.file);
        if (!content::IsBed(kind)) continue;
        ++beds;
        EXPECT_TRUE(std::string(sound.file).ends_with(".wav")) << sound.name << ": a loop must not be padded as an .mp3 is";
    }
    EXPECT_EQ(beds, 5);

    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kelvane-world-art-sounds";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    {
        std::ofstream main(dir / "main.lua");
        main << "region{name = 'shore', block = 100}\n"
                "screen{name = 'logo', region = 'shore', panorama = false, image = 'a.enc', number = 0}\n"
                "note('opening', {logo = 'logo', boat = 'logo', causeway = 'logo'})\n"
                "note('ending', {dawn = 'logo'})\n"
                "note('sound', {name = 'drip', file = 'data/drip.wav', made = 'drip', seed = 3})\n"
                "note('sound', {name = 'boom', file = 'data/boom.wav', made = 'thunder', seed = 1})\n";
    }
    const TextCatalogue texts = TextCatalogue::Load(KELVANE_GAME_TEXTS, {});
    const std::unique_ptr<wc::WorldArt> small = wc::WorldArt::Load(dir, texts);
    ASSERT_EQ(small->sounds.size(), 2u);
    EXPECT_EQ(small->sounds[0].seed, 3u);
    content::AssetList list;
    try {
        content::AddWorldSounds(list, *small);
        ADD_FAILURE() << "an unknown kind was accepted";
    } catch (const Error& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("main.lua:6"), std::string::npos) << what;
        EXPECT_NE(what.find("'boom'"), std::string::npos) << what;
        EXPECT_NE(what.find("'thunder'"), std::string::npos) << what;
        EXPECT_NE(what.find("shore_bed"), std::string::npos) << what << " (the kinds there are)";
    }
    {
        std::ofstream main(dir / "main.lua", std::ios::app);
        main << "note('sound', {name = 'hush', file = 'data/hush.wav', seed = 2})\n";
    }
    try {
        wc::WorldArt::Load(dir, texts);
        ADD_FAILURE() << "a sound without its kind was accepted";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("main.lua:7"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("'made'"), std::string::npos) << e.what();
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
