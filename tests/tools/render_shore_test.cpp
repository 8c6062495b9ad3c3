// The shore's, the flats' and the crossing's rendered pictures: each is one the world names and
// made once, all of them are made; objects placed by a hotspot's rectangle project back into
// it; at draft quality a changed block lines up with its picture outside what changed and
// shows the change inside; the water falls with the tide; the dawn is lighter than the night.
#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_shore_layout.h"
#include "game/assets/render_shore_scenes.h"
#include "game/assets/world_art.h"
#include "render/kit.h"
#include "render/panorama.h"
#include "render/povray.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <set>
#include <string>

namespace {

namespace wc = world_content;
using namespace world_render::shore;


TEST(ShoreRenders, MakeEveryPictureOfTheShoreTheFlatsAndTheCrossingOnce)
{
    std::set<std::string> expected;
    for (const wc::Place& place : wc::Art().places) {
        const int n = place.number;
        if ((n >= 100 && n <= 105) || (n >= 151 && n <= 157) || (n >= 600 && n <= 603) || (n >= 650 && n <= 654))
            expected.insert(place.image);
    }
    for (const wc::OverlayDef& o : wc::Art().overlays)
        if (o.screen >= 100 && o.screen <= 157) expected.insert(o.image);
    for (const wc::TideVersion& v : wc::Art().tideVersions)
        for (const char* version : v.versions) expected.insert(version);
    for (const wc::KeyPanel& panel : wc::Art().keyPanels)
        if (panel.screen == 650) expected.insert(panel.strip);
    expected.insert({wc::Art().boatImage, wc::Art().causewayImage, wc::Art().endingImage});

    std::vector<content::Asset> rendered;
    world_render::AddShore(rendered);
    std::set<std::string> made;
    for (const content::Asset& asset : rendered) {
        EXPECT_TRUE(made.insert(asset.name).second) << asset.name << " is made twice";
        EXPECT_EQ(expected.count(asset.name), 1u) << asset.name << " is not a picture of the shore the world names";
    }
    for (const std::string& path : expected) EXPECT_EQ(made.count(path), 1u) << path << " is not rendered";
    EXPECT_EQ(made.count("data/shore_post.enc"), 0u) << "the tide post's sheet is a text page, not a scene";
}

TEST(ShoreLayout, AnObjectPlacedByItsRectangleProjectsBackIntoIt)
{
    // A panorama's arch: its foot meets the ground at the bottom row, its top lies on the top row.
    const wc::Feature arch{wc::Look::Arch, 300, 170, 500, 400, 103};
    const Spot s = SpotOf(arch, 0);
    const double eye = render::kEyeHeight;
    EXPECT_NEAR(render::RowOfLatitude(std::atan2(-eye, s.distance), content::kPanoramaHeight), 400, 1e-6);
    EXPECT_NEAR(render::RowOfLatitude(std::atan2(s.top - eye, s.distance), content::kPanoramaHeight), 170, 1e-6);
    // Its half width spans half the rectangle's columns either side of its middle.
    EXPECT_NEAR(std::atan2(s.width / 2, s.distance) / (2 * render::kPi) * content::kPanoramaWidth, 100, 1e-6);
    // Standing on lower ground puts it further off for the same rows.
    EXPECT_GT(SpotOf(arch, -2.0).distance, s.distance);
    // A rectangle whose foot lies above the horizon cannot stand on the ground.
    EXPECT_THROW(SpotOf({wc::Look::Moon, 1850, 60, 1910, 120}, 0), Error);

    // A close view looking down: the level and wall points of a pixel lie on its ray.
    const FlatCamera camera{2.4, 35, 60};
    double x, z, dx, dy, dz;
    camera.OnLevel(700, 400, 0.9, &x, &z);
    camera.Ray(700, 400, &dx, &dy, &dz);
    const double t = z / dz;
    EXPECT_NEAR(x, dx * t, 1e-9);
    EXPECT_NEAR(camera.eye + dy * t, 0.9, 1e-9);
    double wx, wy;
    camera.OnWall(700, 400, z, &wx, &wy);
    EXPECT_NEAR(wx, x, 1e-9);
    EXPECT_NEAR(wy, 0.9, 1e-9);
    // The picture's middle lies straight along the view; rows above the horizon never meet the floor.
    camera.Ray(512, 256, &dx, &dy, &dz);
    EXPECT_NEAR(dx, 0, 1e-12);
    EXPECT_NEAR(std::atan2(-dy, dz) * 180 / render::kPi, 35, 1e-9);
    EXPECT_THROW(FlatCamera({1.6, 0, 60}).OnLevel(512, 100, 0, &x, &z), Error);
    // An upright filling a level view's rectangle stands where its bottom row meets the ground.
    const FlatCamera level{1.6, 0, 60};
    const Upright gate = UprightIn(level, 300, 60, 724, 430);
    level.OnWall(724, 430, gate.distance, &wx, &wy);
    EXPECT_NEAR(wy, 0, 1e-9);
    level.OnWall(300, 60, gate.distance, &wx, &wy);
    EXPECT_NEAR(wy, gate.height, 1e-9);
    EXPECT_NEAR(wx, -gate.width / 2, 1e-9);
}

TEST(ShoreLayout, StairsGoDownToTheLandingTheCoveAndTheFlats)
{
    EXPECT_TRUE(GoesDown(101, 100));
    EXPECT_TRUE(GoesDown(103, 105));
    EXPECT_TRUE(GoesDown(100, 600));
    EXPECT_FALSE(GoesDown(100, 101));
    EXPECT_FALSE(GoesDown(105, 103));
    EXPECT_FALSE(GoesDown(600, 100));
    EXPECT_THROW(ShoreViewScene(150, {}), Error) << "the tide post's sheet has no scene";
    EXPECT_THROW(TidePanoramaScene(600, 5), Error);
}

using render_test::Draft;

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

// A changed block (an item lying there, a door or gate open) shows its change inside the
// block and nothing of it outside: the game lays the block over the picture.
void ExpectBlockHoldsTheChange(int screen, const ShoreState& changed)
{
    const wc::OverlayDef* overlay = nullptr;
    for (const wc::OverlayDef& o : wc::Art().overlays)
        if (o.screen == screen) overlay = &o;
    ASSERT_NE(overlay, nullptr) << "screen " << screen << " has no changed block";
    const bool panorama = screen < 150;
    auto scene = [&](const ShoreState& state) {
        return panorama ? ShorePanoramaScene(screen, state) : ShoreViewScene(screen, state);
    };
    const imaging::Image base = Draft("base", scene({}), panorama);
    const imaging::Image other = Draft("changed", scene(changed), panorama);
    const content::Rect r{overlay->x, overlay->y, overlay->w, overlay->h};
    EXPECT_GT(LargestDifference(base, other, r, true, 0).value, 60) << overlay->image << " shows no change in its block";
    const Difference outside = LargestDifference(base, other, r, false, 8);
    EXPECT_LE(outside.value, 24) << overlay->image << ": the change spills out of its block, at " << outside.x << ", "
                                 << outside.y;
}

struct ChangedBlock {
    const char* what;
    int screen;
    ShoreState changed;
};
void PrintTo(const ChangedBlock& c, std::ostream* out) { *out << c.what; }

class ShoreBlocks : public testing::TestWithParam<ChangedBlock> {};

TEST_P(ShoreBlocks, HoldTheirChangeAndNothingOutside)
{
    REQUIRE_RENDERER();
    ExpectBlockHoldsTheChange(GetParam().screen, GetParam().changed);
}

INSTANTIATE_TEST_SUITE_P(Shore, ShoreBlocks,
                         testing::Values(ChangedBlock{"the gate open", 152, {true, false, false}},
                                         ChangedBlock{"the key on the bench", 154, {false, false, true}},
                                         ChangedBlock{"the crank in the rack", 155, {false, false, true}},
                                         ChangedBlock{"the watch in the pool", 157, {false, false, true}},
                                         ChangedBlock{"the sea door open in the cove", 105, {false, true, false}}),
                         [](const testing::TestParamInfo<ChangedBlock>& info) { return "Screen" + std::to_string(info.param.screen); });

// The boathouse is a dark timber shed lit by one lamp, not a pale room: its band of wall
// (rows 150 .. 350, all the way round) stays well under a third of full brightness.
TEST(ShoreRenders, TheBoathouseWallsAreDarkTimber)
{
    REQUIRE_RENDERER();
    const imaging::Image inside = Draft("boathouse", ShorePanoramaScene(104, {}), true);
    double sum = 0;
    for (int y = 150; y < 350; ++y)
        for (int x = 0; x < inside.width; ++x)
            for (int c = 0; c < 3; ++c) sum += inside.Row(y)[x * 4 + c];
    EXPECT_LT(sum / (3.0 * 200 * inside.width), 0.3 * 255) << "the boathouse's walls are pale";
}

TEST(ShoreRenders, TheTideClocksWheelsTurnInTheWorldsWheelCells)
{
    REQUIRE_RENDERER();
    const wc::KeyPanel* panel = nullptr;
    for (const wc::KeyPanel& p : wc::Art().keyPanels)
        if (p.screen == 650) panel = &p;
    ASSERT_NE(panel, nullptr);
    const int zeros[5] = {0, 0, 0, 0, 0}, twos[5] = {2, 2, 2, 2, 2};
    const imaging::Image a = Draft("zeros", TideClockScene(zeros), false);
    const imaging::Image b = Draft("twos", TideClockScene(twos), false);
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
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    const imaging::Image strip = render::Render({"strip", TideWheelStripScene(5, 67, 66), 335, 66, false, false}, settings);
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

double MeanLight(const imaging::Image& image, content::Rect r)
{
    double sum = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            for (int c = 0; c < 3; ++c) sum += image.Row(y)[(x % image.width) * 4 + c];
    return sum / (3.0 * r.w * r.h);
}

TEST(ShoreRenders, TheWaterFallsFromHighWaterToTheLowestEbb)
{
    REQUIRE_RENDERER();
    // Below the horizon in front of the clock the flats show wet sand where the sea stood.
    const wc::Place& flats = PlaceShowing(600);
    const wc::Feature& pool = flats.features[4];
    ASSERT_EQ(pool.look, wc::Look::Pool);
    const content::Rect water{pool.x1, pool.y1 - 90, pool.x2 - pool.x1, 80};
    const imaging::Image high = Draft("high water", TidePanoramaScene(600, 1), true);
    const imaging::Image lowest = Draft("lowest ebb", TidePanoramaScene(600, 4), true);
    EXPECT_GT(MeanLight(lowest, water), MeanLight(high, water) + 10) << "the sand does not come out of the water";
    // Above the horizon the sky is the same night at every tide.
    EXPECT_NEAR(MeanLight(lowest, {0, 0, 2048, 60}), MeanLight(high, {0, 0, 2048, 60}), 2.0);
}

TEST(ShoreRenders, TheDawnIsLighterThanTheNightCrossing)
{
    REQUIRE_RENDERER();
    const content::Rect all{0, 0, content::kFlatWidth, content::kFlatHeight};
    const double dawn = MeanLight(Draft("dawn", DawnScene(), false), all);
    const double night = MeanLight(Draft("boat", BoatScene(), false), all);
    EXPECT_GT(dawn, night * 1.8) << "dawn " << dawn << ", night " << night;
}

}  // namespace
