// The depths' rendered pictures: every picture of the cistern and the drowned observatory is
// made once and replaces a picture the world names; each overlay's block lines up with its
// base outside what changed and shows the change inside; the dark places are darker than the
// lamp-lit head of the cistern and the close views the hand lamp lights, yet their ways still
// show.
#include "content/generator.h"
#include "core/error.h"
#include "game/assets/render_depths.h"
#include "game/assets/render_groups.h"
#include "game/assets/world_art.h"
#include "render/povray.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace {

namespace wc = world_content;
using world_render::depths::SceneOf;
using world_render::depths::State;


bool IsDepths(int number) { return (number >= 300 && number < 400) || (number >= 1100 && number < 1200); }

const wc::Place& PlaceNumbered(int number)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == number) return place;
    throw Error("no place " + std::to_string(number));
}

// A picture of a place rendered small at draft quality: panoramas 1024 x 256, close views
// 512 x 256 (half the game's size each way).
imaging::Image RenderSmall(int number, const State& state)
{
    const wc::Place& place = PlaceNumbered(number);
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    const render::RenderRequest request{place.image, SceneOf(number, state), place.panorama ? 1024 : 512, 256, false,
                                        place.panorama};
    return render::Render(request, settings);
}

double Luma(const imaging::Image& image, int x, int y)
{
    const std::uint8_t* p = image.Row(y) + x * 4;  // B, G, R, A
    return 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2];
}

double MeanLuma(const imaging::Image& image)
{
    double sum = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) sum += Luma(image, x, y);
    return sum / (static_cast<double>(image.width) * image.height);
}

TEST(DepthsPictures, EveryPictureOfTheDepthsIsMadeOnceAndNoOther)
{
    std::vector<content::Asset> rendered;
    world_render::AddDepths(rendered);
    std::set<std::string> made;
    for (const content::Asset& asset : rendered) EXPECT_TRUE(made.insert(asset.name).second) << asset.name << " twice";
    std::set<std::string> wanted;
    for (const wc::Place& place : wc::Art().places)
        if (IsDepths(place.number) && place.number != 1150) wanted.insert(place.image);
    for (const wc::OverlayDef& o : wc::Art().overlays)
        if (IsDepths(o.screen)) wanted.insert(o.image);
    EXPECT_EQ(made, wanted);
    // The drowned plaque is typeset text, drawn by its own page.
    EXPECT_EQ(made.count("data/drowned_plaque.enc"), 0u);
}

TEST(DepthsPictures, EachStateChangesOnlyThePlacesItBelongsTo)
{
    State drained, gate, ebb, lens;
    drained.drained = true;
    gate.seaGateOpen = true;
    ebb.lowestEbb = true;
    lens.lensInCradle = true;
    const struct {
        int place;
        State state;
    } changes[] = {{302, drained}, {351, drained}, {305, gate}, {353, gate}, {354, ebb}, {1152, lens}};
    for (const auto& change : changes)
        EXPECT_NE(SceneOf(change.place, {}), SceneOf(change.place, change.state)) << change.place;
    // A place without an overlay is the same picture in every state, and each scene is its own.
    std::set<std::string> scenes;
    for (const wc::Place& place : wc::Art().places) {
        if (!IsDepths(place.number) || place.number == 1150) continue;
        EXPECT_TRUE(scenes.insert(SceneOf(place.number, {})).second) << place.number << " repeats another scene";
        if (place.number == 301 || place.number == 1103) {
            EXPECT_EQ(SceneOf(place.number, {}), SceneOf(place.number, drained));
            EXPECT_EQ(SceneOf(place.number, {}), SceneOf(place.number, lens));
        }
    }
    EXPECT_THROW(SceneOf(1150, {}), Error);
    EXPECT_THROW(SceneOf(200, {}), Error);
}

// Renders an overlay's base and changed scenes small; outside the block (less a margin for the
// draft's scaling) the two agree, inside it the change shows.
void ExpectOverlayLinesUp(const wc::OverlayDef& o, const State& changed)
{
    const imaging::Image base = RenderSmall(o.screen, {});
    const imaging::Image after = RenderSmall(o.screen, changed);
    ASSERT_EQ(base.width, after.width);
    const double scale = base.height / 512.0;
    const int margin = 6;
    const int x1 = static_cast<int>(o.x * scale) - margin, x2 = static_cast<int>((o.x + o.w) * scale) + margin;
    const int y1 = static_cast<int>(o.y * scale) - margin, y2 = static_cast<int>((o.y + o.h) * scale) + margin;
    double outside = 0, worst = 0;
    int outsideCount = 0, insideCount = 0, changedInside = 0;
    for (int y = 0; y < base.height; ++y)
        for (int x = 0; x < base.width; ++x) {
            const double d = std::fabs(Luma(base, x, y) - Luma(after, x, y));
            // Columns of a panorama's block may run past the right edge and wrap.
            const bool inColumns = (x >= x1 && x < x2) || (x + base.width >= x1 && x + base.width < x2);
            if (inColumns && y >= y1 && y < y2) {
                if (x >= x1 + 2 * margin && x < x2 - 2 * margin && y >= y1 + 2 * margin && y < y2 - 2 * margin) {
                    changedInside += d > 24 ? 1 : 0;
                    ++insideCount;
                }
                continue;
            }
            outside += d;
            worst = std::max(worst, d);
            ++outsideCount;
        }
    EXPECT_LT(outside / outsideCount, 0.5) << o.image << ": the picture changes outside its block";
    EXPECT_LT(worst, 24) << o.image << ": a seam shows at the block's edge";
    EXPECT_GT(changedInside, insideCount / 200) << o.image << ": nothing changes inside the block";
}

TEST(DepthsPictures, OverlaysLineUpWithTheirBaseAndShowTheChange)
{
    REQUIRE_RENDERER();
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        if (!IsDepths(o.screen)) continue;
        State changed;
        changed.drained = o.var == wc::Art().Variable("cistern_flooded") && o.when == wc::When::VarEquals;
        changed.seaGateOpen = o.var == wc::Art().Variable("sea_gate_open") && o.when == wc::When::VarEquals;
        changed.lensInCradle = o.var == wc::Art().Variable("lens_in_cradle") && o.when == wc::When::VarEquals;
        changed.lowestEbb = o.when == wc::When::TideLow;
        SCOPED_TRACE(o.image);
        ExpectOverlayLinesUp(o, changed);
    }
}

TEST(DepthsPictures, TheDarkIsDarkerThanTheLampsLightButItsWaysShow)
{
    REQUIRE_RENDERER();
    const imaging::Image head = RenderSmall(300, {});     // the cistern's head, under its lamp
    const imaging::Image walk = RenderSmall(301, {});     // the pump walk, in the dark
    const imaging::Image hall = RenderSmall(1101, {});    // the drowned lower hall
    const imaging::Image pump = RenderSmall(351, {});     // the pump close by, by the hand lamp
    EXPECT_LT(MeanLuma(walk), MeanLuma(head) * 0.8);
    EXPECT_LT(MeanLuma(hall), MeanLuma(head));
    EXPECT_GT(MeanLuma(pump), MeanLuma(walk) * 1.5);
    // Every way of the dark walk still stands out from the dark round it: its frame or its
    // mouth catches some light.
    for (const wc::Feature& f : PlaceNumbered(301).features) {
        if (f.way != wc::Way::Dark) continue;
        double brightest = 0;
        for (int y = f.y1 / 2; y < f.y2 / 2; ++y)
            for (int x = f.x1 / 2; x < f.x2 / 2; ++x) brightest = std::max(brightest, Luma(walk, x % walk.width, y));
        EXPECT_GT(brightest, 20) << "the way at columns " << f.x1 << " .. " << f.x2 << " is lost in the dark";
    }
}

}  // namespace
