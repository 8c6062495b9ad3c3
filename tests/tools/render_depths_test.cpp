// The depths' rendered pictures: every picture of the cistern and the drowned observatory is
// made once, from a scene file of cistern/ or drowned/ that the world names; each changing
// block lines up with its base outside what changed and shows the change inside, and a place
// without one shows no story; the dark places are darker than the lamp-lit head of the
// cistern and the close views the hand lamp lights, yet their ways still show; a way is drawn
// where its landmark lies; and every scene renders on its own.
#include "content/generator.h"
#include "core/error.h"
#include "game/assets/render_world.h"
#include "game/assets/world_art.h"
#include "render/povray.h"
#include "render/prelude.h"
#include "game_texts.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace {

namespace wc = world_content;

bool IsDepths(const wc::Place& place) { return place.realm == wc::Realm::Cistern || place.realm == wc::Realm::Drowned; }
bool IsDepths(int number) { return IsDepths(wc::Art().PlaceNumbered(number)); }

// The drowned plaque is typeset text, drawn by its read view's scene (texts/).
bool Drawn(const wc::Place& place) { return IsDepths(place) && std::string(place.image) != "data/drowned_plaque.enc"; }

const wc::Place& PlaceOfScene(const std::string& scene)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.scene != nullptr && place.scene == scene) return place;
    throw Error("no place is rendered from " + scene);
}

// A place's scene after `prelude`, rendered small at draft quality: panoramas 1024 x 256,
// close views 512 x 256 (half the game's size each way).
imaging::Image RenderSmall(const wc::Place& place, const std::string& prelude)
{
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    render::RenderRequest request = world_render::PlaceRequest(place, place.image, prelude);
    request.width /= 2;
    request.height /= 2;
    return render::Render(request, settings);
}
imaging::Image RenderSmall(int number)
{
    const wc::Place& place = wc::Art().PlaceNumbered(number);
    return RenderSmall(place, world_render::BasePrelude(place));
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

// The mean luma difference of two equal pictures over the columns from..to (wrapping round a
// panorama) and the rows top..bottom.
double Difference(const imaging::Image& a, const imaging::Image& b, int from, int to, int top, int bottom)
{
    double sum = 0;
    long count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = from; x < to; ++x) {
            const int column = ((x % a.width) + a.width) % a.width;
            sum += std::fabs(Luma(a, column, y) - Luma(b, column, y));
            ++count;
        }
    return count > 0 ? sum / count : 0.0;
}

TEST(RenderDepths, EveryPictureOfTheDepthsIsMadeOnceAndNoOther)
{
    std::set<std::string> wanted, scenes;
    for (const wc::Place& place : wc::Art().places) {
        if (!Drawn(place)) continue;
        wanted.insert(place.image);
        ASSERT_NE(place.scene, nullptr) << place.image << " names no scene";
        const std::string scene = place.scene;
        const std::string folder = place.realm == wc::Realm::Cistern ? "cistern/" : "drowned/";
        EXPECT_EQ(scene.rfind(folder, 0), 0u) << place.image << "'s scene " << scene << " is not one of " << folder;
        EXPECT_TRUE(scenes.insert(scene).second) << scene << " draws two places";
    }
    for (const wc::OverlayDef& o : wc::Art().overlays)
        if (IsDepths(o.screen)) wanted.insert(o.image);
    ASSERT_EQ(wanted.size(), 25u + 6u) << "the world's depths changed: check this group";

    std::vector<content::Asset> rendered;
    world_render::AddPlaceScenes(rendered, tools_test::GameTexts());
    std::set<std::string> made;
    for (const content::Asset& asset : rendered) {
        if (!wanted.count(asset.name)) continue;
        EXPECT_TRUE(made.insert(asset.name).second) << asset.name << " twice";
    }
    EXPECT_EQ(made, wanted);
    // The drowned plaque is typeset text, drawn by its own page.
    EXPECT_EQ(made.count("data/drowned_plaque.enc"), 0u);
}

// Renders an overlay's base and changed scenes small; outside the block (less a margin for the
// draft's scaling) the two agree, inside it the change shows.
void ExpectOverlayLinesUp(const wc::OverlayDef& o)
{
    const wc::Place& place = wc::Art().PlaceNumbered(o.screen);
    const imaging::Image base = RenderSmall(place, world_render::BasePrelude(place));
    const imaging::Image after = RenderSmall(place, world_render::OverlayPrelude(place, o));
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

TEST(RenderDepths, OverlaysLineUpWithTheirBaseAndShowTheChange)
{
    REQUIRE_RENDERER();
    int blocks = 0;
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        if (!IsDepths(o.screen)) continue;
        SCOPED_TRACE(o.image);
        ExpectOverlayLinesUp(o);
        ++blocks;
    }
    EXPECT_EQ(blocks, 6);
}

// A place without a changing block is the same picture whatever the story: the pump walk does
// not show the basin pumped dry, nor the recorder's corner the lens, even told so.
TEST(RenderDepths, APlaceWithoutABlockShowsNoStory)
{
    REQUIRE_RENDERER();
    render::SceneStory story;
    story.values = {{"cistern_flooded", 0}, {"sea_gate_open", 1}, {"lens_in_cradle", 1}, {"tide_low", 1}};
    for (int number : {301, 1103}) {
        const wc::Place& place = wc::Art().PlaceNumbered(number);
        const imaging::Image base = RenderSmall(place, world_render::BasePrelude(place));
        const imaging::Image told =
            RenderSmall(place, render::PlacePrelude(place.panorama, world_render::LandmarksOf(place), story));
        EXPECT_EQ(Difference(base, told, 0, base.width, 0, base.height), 0.0) << place.image << " shows the story";
    }
}

TEST(RenderDepths, TheDarkIsDarkerThanTheLampsLightButItsWaysShow)
{
    REQUIRE_RENDERER();
    const imaging::Image head = RenderSmall(300);   // the cistern's head, under its lamp
    const imaging::Image walk = RenderSmall(301);   // the pump walk, in the dark
    const imaging::Image hall = RenderSmall(1101);  // the drowned lower hall
    const imaging::Image pump = RenderSmall(351);   // the pump close by, by the hand lamp
    EXPECT_LT(MeanLuma(walk), MeanLuma(head) * 0.8);
    EXPECT_LT(MeanLuma(hall), MeanLuma(head));
    EXPECT_GT(MeanLuma(pump), MeanLuma(walk) * 1.5);
    // Every way of the dark walk still stands out from the dark round it: its frame or its
    // mouth catches some light.
    for (const wc::Feature& f : wc::Art().PlaceNumbered(301).features) {
        if (f.way != wc::Way::Dark) continue;
        double brightest = 0;
        for (int y = f.y1 / 2; y < f.y2 / 2; ++y)
            for (int x = f.x1 / 2; x < f.x2 / 2; ++x) brightest = std::max(brightest, Luma(walk, x % walk.width, y));
        EXPECT_GT(brightest, 20) << "the way at columns " << f.x1 << " .. " << f.x2 << " is lost in the dark";
    }
}

// The ways are built where the world's hotspots for them lie: the valve gallery's tunnel on to
// the sea gate moved along the wall leaves the wall where it was and opens where it went, and
// the far side of the room does not change.
TEST(RenderDepths, AWayIsCutWhereItsLandmarkLies)
{
    REQUIRE_RENDERER();
    const wc::Place& place = PlaceOfScene("cistern/valve_walk.pov");
    std::vector<render::SceneLandmark> landmarks = world_render::LandmarksOf(place);
    ASSERT_EQ(landmarks.size(), 3u);
    ASSERT_EQ(landmarks[2].look, "tunnel");
    const imaging::Image base = RenderSmall(place, render::PlacePrelude(true, landmarks, {}));
    const int left = landmarks[2].left, right = landmarks[2].right, shift = 300;
    landmarks[2].left += shift;
    landmarks[2].right += shift;
    const imaging::Image moved = RenderSmall(place, render::PlacePrelude(true, landmarks, {}));
    // Half-size pictures: the world's columns and rows halved, less a margin for the draft.
    const int top = landmarks[2].top / 2 + 10, bottom = landmarks[2].bottom / 2 - 10;
    EXPECT_GT(Difference(base, moved, left / 2 + 8, right / 2 - 8, top, bottom), 3.0) << "the tunnel's old place is unchanged";
    EXPECT_GT(Difference(base, moved, (left + shift) / 2 + 8, (right + shift) / 2 - 8, top, bottom), 3.0)
        << "the tunnel's new place is unchanged";
    EXPECT_LT(Difference(base, moved, 0, landmarks[1].left / 2 - 40, 0, base.height), 0.5) << "the far wall changed";
}

// Every scene file of the group renders on its own, without the generator's prelude, from the
// defaults it declares: what the dark shows of it is not black, and it is the picture the
// world's prelude makes (the defaults are the world's landmarks in their base state).
TEST(RenderDepths, EverySceneRendersOnItsOwnAsTheWorldHasIt)
{
    REQUIRE_RENDERER();
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    int scenes = 0;
    for (const wc::Place& place : wc::Art().places) {
        if (!Drawn(place)) continue;
        render::RenderRequest alone;
        alone.name = place.scene;
        alone.sceneFile = place.scene;
        alone.width = place.panorama ? 256 : 128;
        alone.height = 64;
        alone.wrapsAround = place.panorama;
        const imaging::Image picture = render::Render(alone, settings);
        EXPECT_GT(MeanLuma(picture), 1.0) << place.scene << " renders black";
        render::RenderRequest told = world_render::PlaceRequest(place, place.image, world_render::BasePrelude(place));
        told.width = alone.width;
        told.height = alone.height;
        const imaging::Image world = render::Render(told, settings);
        EXPECT_LT(Difference(picture, world, 0, picture.width, 0, picture.height), 0.5)
            << place.scene << " on its own is not the world's picture";
        ++scenes;
    }
    EXPECT_EQ(scenes, 25);
}

}  // namespace
