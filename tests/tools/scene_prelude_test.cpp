// The prelude a place's scene is read after: it declares the world's hotspot rectangles, and
// the panorama rig's arithmetic puts a thing built at a landmark's longitude and rows inside
// that rectangle; a changing block's prelude carries its state by the world files' names.
#include "render/prelude.h"
#include "render/panorama.h"
#include "render/povray.h"
#include "core/error.h"
#include "core/text_catalogue.h"
#include "game/assets/render_world.h"
#include "game/assets/world_art.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
namespace wc = world_content;
using namespace render;

// Each landmark's rectangle gets a glowing ball of its own colour at its centre, 10 m out.
const char* const kMarkerScene = R"(#version 3.7;
#include "rigs/panorama.inc"
background { rgb 0 }
#declare Colours = array[3] {<1, 0, 0>, <0, 1, 0>, <0, 0, 1>};
#for (I, 0, Landmarks - 1)
  sphere { <0, HeightOfRow((LandmarkTop[I] + LandmarkBottom[I]) / 2, 10), 0>, 0.4
    pigment { rgb Colours[I] } finish { ambient 0 diffuse 0 emission 1 } AtLandmark(I, 10) }
#end
)";

struct Centre {
    double column = -1, row = -1;
};

// The brightness-weighted centre of one colour channel's glow, taken round the band's seam.
Centre GlowOf(const imaging::Image& image, int channel)
{
    double weight = 0, sx = 0, cx = 0, sy = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.Row(y) + x * 4;
            double w = p[channel];
            for (int c = 0; c < 3; ++c)
                if (c != channel) w -= p[c];
            if (w < 40) continue;
            const double angle = (x + 0.5) / image.width * 2 * kPi;
            sx += w * std::cos(angle), cx += w * std::sin(angle), sy += w * (y + 0.5), weight += w;
        }
    if (weight == 0) return {};
    double angle = std::atan2(cx, sx);
    if (angle < 0) angle += 2 * kPi;
    return {angle / (2 * kPi) * image.width, sy / weight};
}

TEST(ScenePrelude, PutsEachLandmarksCentreAtItsColumnAndRow)
{
    REQUIRE_RENDERER();
    const fs::path library = fs::temp_directory_path() / ("kelvane-prelude-test-" + std::to_string(::getpid()));
    fs::create_directories(library / "rigs");
    fs::copy_file(fs::path(DefaultSceneLibrary()) / "rigs/panorama.inc", library / "rigs/panorama.inc");
    std::ofstream(library / "markers.pov") << kMarkerScene;

    // A door straight ahead, an arch past the seam (its right edge beyond 2048) and a window
    // high on the left.
    const std::vector<SceneLandmark> landmarks{
        {"door", 700, 190, 850, 400}, {"arch", 1950, 170, 2132, 400}, {"window", 1300, 120, 1390, 260}};
    RenderRequest request;
    request.name = "markers";
    request.scene = PlacePrelude(true, landmarks, {});
    request.sceneFile = "markers.pov";
    request.width = 2048, request.height = 512, request.wrapsAround = true;
    RenderSettings settings;
    settings.quality = Quality::Full;
    settings.sceneLibrary = library.string();
    const imaging::Image picture = Render(request, settings);
    fs::remove_all(library);

    const int channels[3] = {2, 1, 0};  // red, green, blue in B, G, R, A
    for (std::size_t i = 0; i < landmarks.size(); ++i) {
        const SceneLandmark& l = landmarks[i];
        const Centre glow = GlowOf(picture, channels[i]);
        ASSERT_GE(glow.column, 0) << l.look << " is not drawn";
        const double column = std::fmod((l.left + l.right) / 2.0, 2048), row = (l.top + l.bottom) / 2.0;
        const double off = std::min(std::fabs(glow.column - column), 2048 - std::fabs(glow.column - column));
        EXPECT_LT(off, 2.0) << l.look << " drawn at column " << glow.column << ", its hotspot's centre is " << column;
        EXPECT_LT(std::fabs(glow.row - row), 2.0) << l.look << " drawn at row " << glow.row << ", its hotspot's centre is " << row;
    }
}

TEST(ScenePrelude, DeclaresStatesByTheWorldsNamesAndRefusesWhatPovrayCannotName)
{
    SceneStory story;
    story.itemShown = "crank";
    story.values = {{"tide", 3}, {"lamps_lit", 1}, {"level", 0.25}};
    const std::string flat = PlacePrelude(false, {{"desk", 262, 220, 762, 430, false, true}}, story);
    EXPECT_NE(flat.find("#declare Panorama = false;"), std::string::npos);
    EXPECT_NE(flat.find("#declare LandmarkLook = array[1] {\"desk\"};"), std::string::npos);
    EXPECT_NE(flat.find("#declare LandmarkRemoved = array[1] {true};"), std::string::npos);
    EXPECT_NE(flat.find("#declare ItemShown = \"crank\";"), std::string::npos);
    EXPECT_NE(flat.find("#declare Story_tide = 3;"), std::string::npos);
    EXPECT_NE(flat.find("#declare Story_level = 0.250000000;"), std::string::npos);
    EXPECT_EQ(flat.find("LandmarkDegrees"), std::string::npos) << "a flat view has no longitudes";
    // No landmarks: no arrays (povray cannot declare an empty one), the count says so.
    const std::string bare = PlacePrelude(true, {}, {});
    EXPECT_NE(bare.find("#declare Landmarks = 0;"), std::string::npos);
    EXPECT_EQ(bare.find("array"), std::string::npos);
    story.values = {{"tide level", 1}};
    EXPECT_THROW(PlacePrelude(true, {}, story), Error);
}

// A word a scene cuts into its picture comes from the texts in the picture's language: the tide
// clock's plate is made again for a translation, and the two differ on the plate alone.
TEST(ScenePrelude, TextsAreDeclaredInThePicturesLanguageAndCutInTheirPlace)
{
    const std::string declared = TextsPrelude({{"plate", "Say \"\xC3\xA5\" \\ \xE2\x80\x94 \xFF!"}}, "/fonts/serif.ttf");
    EXPECT_NE(declared.find("#declare Text_plate = \"Say \\\"\\u00E5\\\" \\\\ \\u2014 ?!\";"), std::string::npos) << declared;
    EXPECT_NE(declared.find("#declare TextFont = \"/fonts/serif.ttf\";"), std::string::npos) << declared;
    EXPECT_THROW(TextsPrelude({{"plate name", "x"}}, "f.ttf"), Error);

    REQUIRE_RENDERER();
    const TextCatalogue english = TextCatalogue::Load(KELVANE_GAME_TEXTS, {});
    const TextCatalogue qps = TextCatalogue::Load(KELVANE_GAME_TEXTS, {"qps"});
    const wc::Place* clock = nullptr;
    for (const wc::Place& place : wc::Art().places)
        if (!place.texts.empty()) clock = &place;
    ASSERT_NE(clock, nullptr) << "no place's scene sets a text";
    std::vector<content::Asset> scenes;
    world_render::AddPlaceScenes(scenes, english);
    for (const content::Asset& a : scenes)
        EXPECT_EQ(a.carriesText, a.name == clock->image) << a.name << ": only the place that sets a text carries it";

    RenderSettings draft;
    draft.quality = Quality::Draft;
    const auto picture = [&](const TextCatalogue& texts) {
        return Render(world_render::PlaceRequest(*clock, clock->image,
                                                 world_render::BasePrelude(*clock) + world_render::PlaceTextsPrelude(*clock, texts)),
                      draft);
    };
    const imaging::Image a = picture(english), b = picture(qps);
    ASSERT_EQ(a.pixels.size(), b.pixels.size());
    int changed = 0, top = a.height, bottom = -1;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (std::abs(a.Row(y)[x * 4 + 1] - b.Row(y)[x * 4 + 1]) > 24) {
                ++changed;
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    EXPECT_GT(changed, 200) << "the translation's name is not cut into the plate";
    EXPECT_LT(bottom - top, 60) << "the pictures differ beyond the line of the plate's name (rows " << top << " .. " << bottom << ")";
}

TEST(ScenePrelude, AChangingBlockShowsItsLandmarkItemAndStateByName)
{
    // The shore's gate opens in its block; the workbench's block shows the key lying there.
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        const wc::Place& place = wc::Art().PlaceNumbered(o.screen);
        const std::string prelude = world_render::OverlayPrelude(place, o);
        if (o.when == wc::When::VarEquals)
            EXPECT_NE(prelude.find("#declare Story_" + wc::Art().VariableName(o.var) + " = " + std::to_string(o.value) + ";"),
                      std::string::npos) << o.image;
        else
            EXPECT_NE(prelude.find(std::string("#declare Story_") + wc::StateName(o.when) + " = 1;"), std::string::npos)
                << o.image;
        if (o.shows == wc::Shows::Item)
            EXPECT_NE(prelude.find(std::string("#declare ItemShown = \"") + wc::Art().items[o.item - 1].name + "\";"),
                      std::string::npos) << o.image;
        if (o.shows == wc::Shows::Changed || o.shows == wc::Shows::Removed) {
            const std::size_t at = prelude.find(o.shows == wc::Shows::Changed ? "#declare LandmarkChanged" : "#declare LandmarkRemoved");
            ASSERT_NE(at, std::string::npos) << o.image;
            EXPECT_NE(prelude.substr(at, prelude.find('\n', at) - at).find("true"), std::string::npos) << o.image;
        }
    }
    wc::Place unnamed{};
    unnamed.image = "data/nowhere.enc";
    EXPECT_THROW(world_render::PlaceRequest(unnamed, "nowhere", ""), Error) << "a place without a scene cannot be rendered from one";
}

}  // namespace
