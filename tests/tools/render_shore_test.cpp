// The shore's, the flats' and the crossing's rendered pictures: each place of the shore and the
// flats names its scene and each picture is made once; the scenes put things where the prelude's
// landmarks lie and refuse what cannot stand; at draft quality a changed block lines up with its
// picture outside what changed and shows the change inside; the water falls with the tide and
// its versions open with the base picture's offset; the dawn is lighter than the night.
#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_world.h"
#include "game/assets/world_art.h"
#include "imaging/scrambled.h"
#include "render/kit.h"
#include "render/povray.h"
#include "render/prelude.h"
#include "game_texts.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>

#include <unistd.h>

namespace {

namespace wc = world_content;

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

const wc::Place& PlaceNamed(const std::string& image)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.image == image) return place;
    throw Error("the world has no place pictured by " + image);
}

const wc::OverlayDef& OverlayNamed(const std::string& image)
{
    for (const wc::OverlayDef& o : wc::Art().overlays)
        if (o.image == image) return o;
    throw Error("the world has no changing block " + image);
}

imaging::Image Draft(const wc::Place& place, const std::string& prelude)
{
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    return render::Render(world_render::PlaceRequest(place, place.image, prelude), settings);
}

imaging::Image DraftFile(const std::string& sceneFile, const std::string& prelude, int width, int height)
{
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    render::RenderRequest request;
    request.name = sceneFile;
    request.scene = prelude;
    request.sceneFile = sceneFile;
    request.width = width;
    request.height = height;
    return render::Render(request, settings);
}

bool OfTheGroup(const std::string& image) { return StartsWith(image, "data/shore_") || StartsWith(image, "data/tide_"); }

TEST(ShoreRenders, EveryPlaceNamesItsSceneAndEveryPictureIsMadeOnce)
{
    std::set<std::string> expected;
    for (const wc::Place& place : wc::Art().places) {
        if (!OfTheGroup(place.image) || place.image == std::string("data/shore_post.enc")) continue;
        ASSERT_NE(place.scene, nullptr) << place.image << " names no scene";
        const std::string scene = place.scene;
        EXPECT_TRUE(StartsWith(scene, "shore/") || StartsWith(scene, "tide/")) << place.image << ": " << scene;
        EXPECT_TRUE(std::filesystem::exists(render::DefaultSceneLibrary() + "/" + scene)) << scene << " is missing";
        expected.insert(place.image);
    }
    for (const wc::OverlayDef& o : wc::Art().overlays)
        if (OfTheGroup(o.image)) expected.insert(o.image);
    for (const wc::TideVersion& v : wc::Art().tideVersions)
        for (const char* version : v.versions) expected.insert(version);
    for (const wc::KeyPanel& panel : wc::Art().keyPanels)
        if (OfTheGroup(panel.strip)) expected.insert(panel.strip);
    const std::set<std::string> crossing{wc::Art().boatImage, wc::Art().causewayImage, wc::Art().endingImage};
    expected.insert(crossing.begin(), crossing.end());

    std::vector<content::Asset> shore, places;
    world_render::AddShore(shore);
    world_render::AddPlaceScenes(places, tools_test::GameTexts());
    std::multiset<std::string> made;
    for (const content::Asset& asset : shore) {
        made.insert(asset.name);
        EXPECT_EQ(expected.count(asset.name), 1u) << asset.name << " is not a picture of the shore the world names";
    }
    for (const content::Asset& asset : places) made.insert(asset.name);
    for (const std::string& path : expected) EXPECT_EQ(made.count(path), 1u) << path << " is not rendered exactly once";
    EXPECT_EQ(made.count("data/shore_post.enc"), 0u) << "the tide post's sheet is a text page, not a scene";
}

using render_test::HaveRenderer;

// How far apart two renders are: the largest channel difference over the pixels of `inside`
// (or outside it, with a margin of `margin` pixels the draft's scaling blurs across).
struct Difference {
    int value = 0, x = -1, y = -1;
};
Difference LargestDifference(const imaging::Image& a, const imaging::Image& b, content::Rect r, bool inside, int margin)
{
    Difference largest;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            int ux = x;
            if (a.width == content::kPanoramaWidth && ux < r.x) ux += a.width;  // blocks wrap round the seam
            const bool in = ux >= r.x && ux < r.x + r.w && y >= r.y && y < r.y + r.h;
            const bool near = ux >= r.x - margin && ux < r.x + r.w + margin && y >= r.y - margin && y < r.y + r.h + margin;
            if (inside ? !in : near) continue;
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(a.Row(y)[x * 4 + c] - b.Row(y)[x * 4 + c]);
                if (d > largest.value) largest = {d, x, y};
            }
        }
    return largest;
}

double MeanLight(const imaging::Image& image, content::Rect r)
{
    double sum = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            for (int c = 0; c < 3; ++c) sum += image.Row(y)[(x % image.width) * 4 + c];
    return sum / (3.0 * r.w * r.h);
}

// A panorama's landmark moved along the band: the scene puts its thing where the prelude says,
// so the picture changes where it stood and where it stands now, and hardly anywhere else.
TEST(ShoreScenes, PutAThingWhereItsLandmarkLies)
{
    REQUIRE_RENDERER();
    const wc::Place& gate = PlaceNamed("data/shore_pano03.enc");
    std::vector<render::SceneLandmark> landmarks = world_render::LandmarksOf(gate);
    ASSERT_EQ(landmarks.at(1).look, "gate");
    const render::SceneLandmark was = landmarks[1];
    landmarks[1].left += 500;
    landmarks[1].right += 500;
    const imaging::Image before = Draft(gate, world_render::BasePrelude(gate));
    const imaging::Image after = Draft(gate, render::PlacePrelude(true, landmarks, {}));
    const content::Rect old{was.left, was.top, was.right - was.left, was.bottom - was.top};
    const content::Rect now{landmarks[1].left, was.top, was.right - was.left, was.bottom - was.top};
    EXPECT_GT(LargestDifference(before, after, old, true, 0).value, 60) << "the gate did not leave its old place";
    EXPECT_GT(LargestDifference(before, after, now, true, 0).value, 60) << "the gate did not come to its new place";
    // Beyond the path to it and the rocks the ground keeps clear of it, nothing moves: the sky
    // at the top of the band is the same.
    EXPECT_LE(LargestDifference(before, after, {0, 0, 2048, 60}, true, 0).value, 8);
}

TEST(ShoreScenes, RefuseWhatCannotStandAndATideTheFlatsDoNotHave)
{
    REQUIRE_RENDERER();
    // A thing whose foot lies above the horizon cannot stand on the ground.
    const wc::Place& gate = PlaceNamed("data/shore_pano03.enc");
    std::vector<render::SceneLandmark> landmarks = world_render::LandmarksOf(gate);
    landmarks.at(0).bottom = 200;
    EXPECT_THROW(Draft(gate, render::PlacePrelude(true, landmarks, {})), Error);
    const wc::Place& flats = PlaceNamed("data/tide_pano01.enc");
    EXPECT_THROW(Draft(flats, world_render::TidePrelude(flats, 5)), Error);
}

// A changed block (an item lying there, a door or gate open) shows its change inside the
// block and nothing of it outside: the game lays the block over the picture.
class ShoreBlocks : public testing::TestWithParam<const char*> {};

TEST_P(ShoreBlocks, HoldTheirChangeAndNothingOutside)
{
    REQUIRE_RENDERER();
    const wc::OverlayDef& overlay = OverlayNamed(GetParam());
    const wc::Place* place = nullptr;
    for (const wc::Place& p : wc::Art().places)
        if (p.number == overlay.screen) place = &p;
    ASSERT_NE(place, nullptr);
    const imaging::Image base = Draft(*place, world_render::BasePrelude(*place));
    const imaging::Image other = Draft(*place, world_render::OverlayPrelude(*place, overlay));
    const content::Rect r{overlay.x, overlay.y, overlay.w, overlay.h};
    EXPECT_GT(LargestDifference(base, other, r, true, 0).value, 60) << overlay.image << " shows no change in its block";
    const Difference outside = LargestDifference(base, other, r, false, 8);
    EXPECT_LE(outside.value, 24) << overlay.image << ": the change spills out of its block, at " << outside.x << ", "
                                 << outside.y;
}

INSTANTIATE_TEST_SUITE_P(Shore, ShoreBlocks,
                         testing::Values("data/shore_padlock_overlay01.enc", "data/shore_workbench_overlay01.enc",
                                         "data/shore_toolrack_overlay01.enc", "data/shore_rockpool_overlay01.enc",
                                         "data/shore_pano06_overlay01.enc"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = std::string(info.param).substr(5);
                             name = name.substr(0, name.find('.'));
                             name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
                             return name;
                         });

// The boathouse is a dark timber shed lit by one lamp, not a pale room: its band of wall
// (rows 150 .. 350, all the way round) stays well under a third of full brightness.
TEST(ShoreRenders, TheBoathouseWallsAreDarkTimber)
{
    REQUIRE_RENDERER();
    const wc::Place& boathouse = PlaceNamed("data/shore_pano05.enc");
    const imaging::Image inside = Draft(boathouse, world_render::BasePrelude(boathouse));
    double sum = 0;
    for (int y = 150; y < 350; ++y)
        for (int x = 0; x < inside.width; ++x)
            for (int c = 0; c < 3; ++c) sum += inside.Row(y)[x * 4 + c];
    EXPECT_LT(sum / (3.0 * 200 * inside.width), 0.3 * 255) << "the boathouse's walls are pale";
}

// The boathouse's door stands ajar: the moonlit shore shows down the gap in its middle, a
// strip far lighter than the dark leaves beside it.
TEST(ShoreRenders, TheBoathouseDoorShowsTheMoonlightThroughItsGap)
{
    REQUIRE_RENDERER();
    const wc::Place& boathouse = PlaceNamed("data/shore_pano05.enc");
    const wc::Feature& door = boathouse.features[0];
    ASSERT_EQ(door.look, wc::Look::Door);
    const imaging::Image inside = Draft(boathouse, world_render::BasePrelude(boathouse));
    const int middle = (door.x1 + door.x2) / 2, rows = (door.y2 - door.y1) / 2;
    const double gap = MeanLight(inside, {middle - 2, door.y1 + rows / 2, 4, rows});
    const double leaf = MeanLight(inside, {middle - 40, door.y1 + rows / 2, 4, rows});
    EXPECT_GT(gap, leaf + 30) << "gap " << gap << ", leaf " << leaf;
}

// A flight of steps up climbs to its rectangle's top row in stone; one going down (the
// landing's flight to the flats) shows the far side of the landing between its newels there.
TEST(ShoreRenders, TheLandingsFlightToTheFlatsGoesDown)
{
    REQUIRE_RENDERER();
    const wc::Place& landing = PlaceNamed("data/shore_pano01.enc");
    const wc::Feature& up = landing.features[0];
    const wc::Feature& down = landing.features[3];
    ASSERT_EQ(up.look, wc::Look::Stairs);
    ASSERT_EQ(down.look, wc::Look::Stairs);
    const imaging::Image picture = Draft(landing, world_render::BasePrelude(landing));
    const auto topRows = [&](const wc::Feature& f) {
        const int third = (f.x2 - f.x1) / 3;
        return MeanLight(picture, {f.x1 + third, f.y1 + 5, third, 35});
    };
    EXPECT_GT(topRows(down), topRows(up) + 15) << "the flight to the flats climbs";
}

TEST(ShoreRenders, TheTideClocksWheelsTurnInTheWorldsWheelCells)
{
    REQUIRE_RENDERER();
    const wc::Place& clock = PlaceNamed("data/tide_clock.enc");
    const wc::KeyPanel* panel = nullptr;
    for (const wc::KeyPanel& p : wc::Art().keyPanels)
        if (p.screen == clock.number) panel = &p;
    ASSERT_NE(panel, nullptr);
    const std::string prelude = world_render::BasePrelude(clock);
    const imaging::Image a = Draft(clock, prelude + "#declare Setting = array[5] {0, 0, 0, 0, 0};\n");
    const imaging::Image b = Draft(clock, prelude + "#declare Setting = array[5] {2, 2, 2, 2, 2};\n");
    // Every cell shows its wheel turning; nothing else on the clock moves.
    for (int k = 0; k < 5; ++k) {
        const content::Rect cell{panel->x + k * panel->dx, panel->y, panel->w, panel->h};
        EXPECT_GT(LargestDifference(a, b, cell, true, 0).value, 60) << "wheel " << k << " is not in its cell";
    }
    const content::Rect row{panel->x, panel->y, 4 * panel->dx + panel->w, panel->h};
    const Difference outside = LargestDifference(a, b, row, false, 8);
    EXPECT_LE(outside.value, 24) << "a wheel shows outside the row of cells, at " << outside.x << ", " << outside.y;
}

TEST(ShoreRenders, TheWheelStripsFramesEachShowTheirOwnFigure)
{
    REQUIRE_RENDERER();
    const imaging::Image strip = DraftFile("tide/clock_wheels.pov", world_render::WheelStripPrelude(5, 67, 66), 335, 66);
    ASSERT_EQ(strip.width, 335);
    for (int k = 0; k + 1 < 5; ++k) {
        int largest = 0;
        for (int y = 0; y < 66; ++y)
            for (int x = 8; x < 59; ++x)
                for (int c = 0; c < 3; ++c)
                    largest = std::max(largest, std::abs(strip.Row(y)[(k * 67 + x) * 4 + c] - strip.Row(y)[((k + 1) * 67 + x) * 4 + c]));
        EXPECT_GT(largest, 40) << "frames " << k << " and " << k + 1 << " show the same wheel";
    }
}

TEST(ShoreRenders, TheWaterFallsFromHighWaterToTheLowestEbb)
{
    REQUIRE_RENDERER();
    // Below the horizon in front of the clock the flats show wet sand where the sea stood.
    const wc::Place& flats = PlaceNamed("data/tide_pano01.enc");
    const wc::Feature& pool = flats.features[4];
    ASSERT_EQ(pool.look, wc::Look::Pool);
    const content::Rect water{pool.x1, pool.y1 - 90, pool.x2 - pool.x1, 80};
    const imaging::Image high = Draft(flats, world_render::BasePrelude(flats));
    const imaging::Image lowest = Draft(flats, world_render::TidePrelude(flats, 4));
    EXPECT_GT(MeanLight(lowest, water), MeanLight(high, water) + 10) << "the sand does not come out of the water";
    // Above the horizon the sky is the same night at every tide.
    EXPECT_NEAR(MeanLight(lowest, {0, 0, 2048, 60}), MeanLight(high, {0, 0, 2048, 60}), 2.0);
}

// The game opens a screen's tide versions with its base picture's offset: written with their
// own, they would not decode.
TEST(ShoreRenders, TheTideVersionsAreScrambledWithTheirBasePicturesOffset)
{
    REQUIRE_RENDERER();
    const wc::TideVersion& v = wc::Art().tideVersions.at(0);
    const wc::Place* base = nullptr;
    for (const wc::Place& p : wc::Art().places)
        if (p.number == v.screen) base = &p;
    ASSERT_NE(base, nullptr);
    std::vector<content::Asset> places;
    world_render::AddPlaceScenes(places, tools_test::GameTexts());
    const auto version = std::find_if(places.begin(), places.end(), [&](const content::Asset& a) { return a.name == v.versions[0]; });
    ASSERT_NE(version, places.end());
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kelvane-shore-test-" + std::to_string(::getpid()));
    content::AssetContext context;
    context.outputDir = dir.string();
    context.render.quality = render::Quality::Draft;
    version->make(context);
    std::ifstream in(content::FileForGamePath(dir.string(), v.versions[0]), std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove_all(dir);
    ASSERT_GT(bytes.size(), 4u);
    const std::vector<std::uint8_t> file =
        imaging::UnrotateImageBytes(bytes, static_cast<std::size_t>(content::OffsetForGamePath(base->image)));
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8) << v.versions[0] << " does not open as a picture with " << base->image << "'s offset";
}

TEST(ShoreRenders, TheDawnIsLighterThanTheNightCrossing)
{
    REQUIRE_RENDERER();
    const content::Rect all{0, 0, content::kFlatWidth, content::kFlatHeight};
    const double dawn = MeanLight(DraftFile("crossing/dawn.pov", "", content::kFlatWidth, content::kFlatHeight), all);
    const double night = MeanLight(DraftFile("crossing/boat.pov", "", content::kFlatWidth, content::kFlatHeight), all);
    EXPECT_GT(dawn, night * 1.8) << "dawn " << dawn << ", night " << night;
}

}  // namespace
