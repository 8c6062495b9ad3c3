// Pictures rendered from 3D scenes: the panorama camera puts each direction where the game's
// panorama mesh shows it and closes at the seam; how far a click is picked from what is drawn
// under it; renders repeat byte for byte, come from the cache until their inputs change, and
// fail with the scene's name; progress judges the time left.
#include "content/generator.h"
#include "core/error.h"
#include "render/panorama.h"
#include "render/povray.h"
#include "render/progress.h"
#include "game/assets/world_art.h"
#include "game_texts.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <set>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace render;


struct Marker {
    const char* name;
    double longitudeDegrees, latitudeDegrees;
    int r, g, b;  // its colour, full or nothing per channel
};

// Glowing balls at known directions, ten units from the eye, on a black background.
std::string MarkerScene(const std::vector<Marker>& markers)
{
    std::string scene = PanoramaCamera(0, 0, 0) + "background { rgb 0 }\n";
    for (const Marker& m : markers) {
        const double lon = m.longitudeDegrees * kPi / 180.0, lat = m.latitudeDegrees * kPi / 180.0;
        char text[256];
        std::snprintf(text, sizeof text,
                      "sphere { <%.6f, %.6f, %.6f>, 0.45 pigment { rgb <%d, %d, %d> } finish { ambient 0 diffuse 0 emission 1 } }\n",
                      10 * std::sin(lon) * std::cos(lat), 10 * std::sin(lat), 10 * std::cos(lon) * std::cos(lat), m.r, m.g,
                      m.b);
        scene += text;
    }
    return scene;
}

// The brightness-weighted centre of the pixels of one marker's colour; columns are taken
// round the seam (a marker at column 0 may lie half at the right edge).
struct Spot {
    double column = -1, row = -1, left = 0, right = 0;  // left/right: weight in each half of the picture
};
Spot FindMarker(const imaging::Image& image, const Marker& m)
{
    double weight = 0, sx = 0, sy = 0, cx = 0;
    Spot spot;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.Row(y) + x * 4;  // B, G, R, A
            const int want[3] = {m.b, m.g, m.r};
            double on = 255, off = 0;
            for (int c = 0; c < 3; ++c) {
                if (want[c]) on = std::min(on, static_cast<double>(p[c]));
                else off = std::max(off, static_cast<double>(p[c]));
            }
            const double w = std::max(0.0, on - off - 40.0);
            if (w <= 0) continue;
            const double angle = (x + 0.5) / image.width * 2 * kPi;
            sx += w * std::cos(angle);
            cx += w * std::sin(angle);
            sy += w * (y + 0.5);
            weight += w;
            (x < image.width / 2 ? spot.left : spot.right) += w;
        }
    }
    if (weight == 0) return spot;
    double angle = std::atan2(cx, sx);
    if (angle < 0) angle += 2 * kPi;
    spot.column = angle / (2 * kPi) * image.width;
    spot.row = sy / weight;
    return spot;
}

double ColumnDistance(double a, double b, int width)
{
    const double d = std::fabs(a - b);
    return std::min(d, width - d);
}

TEST(PanoramaCamera, DirectionsLandWhereTheMeshShowsThemAndTheSeamCloses)
{
    REQUIRE_RENDERER();
    const std::vector<Marker> markers{
        {"straight ahead, on the seam", 0, 0, 1, 0, 0},  {"a quarter turn right", 90, 0, 0, 1, 0},
        {"behind, high", 200, 22, 0, 0, 1},              {"left, low", 300, -24, 1, 1, 0},
        {"just right of ahead, level", 30, 8, 0, 1, 1},
    };
    RenderSettings settings;
    settings.quality = Quality::Draft;
    const RenderRequest request{"markers", MarkerScene(markers), 1024, 256, false, true};
    const imaging::Image picture = Render(request, settings);
    ASSERT_EQ(picture.width, 1024);
    ASSERT_EQ(picture.height, 256);
    for (const Marker& m : markers) {
        const Spot spot = FindMarker(picture, m);
        ASSERT_GE(spot.column, 0) << m.name << " is not in the picture";
        const double column = ColumnOfLongitude(m.longitudeDegrees * kPi / 180.0, 1024);
        const double row = RowOfLatitude(m.latitudeDegrees * kPi / 180.0, 256);
        // Drafts are rendered at a quarter size: a draft pixel is 4 picture columns.
        EXPECT_LT(ColumnDistance(spot.column, column, 1024), 2.0) << m.name << ": at column " << spot.column << ", not " << column;
        EXPECT_LT(std::fabs(spot.row - row), 2.0) << m.name << ": at row " << spot.row << ", not " << row;
    }
    // The marker straight ahead lies half at the picture's left edge, half at its right.
    const Spot seam = FindMarker(picture, markers[0]);
    EXPECT_GT(seam.left, 0);
    EXPECT_GT(seam.right, 0);
    EXPECT_NEAR(seam.left / (seam.left + seam.right), 0.5, 0.15) << "the seam does not close where the mesh joins";
}

TEST(PanoramaCamera, ProjectionFollowsTheMeshTexelsAndWraps)
{
    // Column c covers longitudes c/W .. (c+1)/W of a turn from straight ahead, to the right.
    EXPECT_DOUBLE_EQ(ColumnOfLongitude(0, 2048), 0);
    EXPECT_DOUBLE_EQ(ColumnOfLongitude(kPi / 2, 2048), 512);
    EXPECT_DOUBLE_EQ(ColumnOfLongitude(-kPi / 2, 2048), 1536);
    EXPECT_NEAR(ColumnOfLongitude(5 * kPi, 2048), 1024, 1e-9);
    // Rows run from +0.1755 pi at the top to -0.1755 pi at the bottom.
    EXPECT_NEAR(RowOfLatitude(0.1755 * kPi, 512), 0, 1e-9);
    EXPECT_NEAR(RowOfLatitude(-0.1755 * kPi, 512), 512, 1e-9);
    EXPECT_NEAR(RowOfLatitude(0, 512), 256, 1e-9);
}

TEST(PanoramaCamera, ClicksOffCentreArePickedAwayFromWhatIsDrawn)
{
    // At the centre a click picks what is drawn.
    const ViewPoint centre = PointOfView(400, 200, 2048, 512);
    EXPECT_NEAR(centre.pickedColumn - centre.drawnColumn, 0, 1e-9);
    EXPECT_NEAR(centre.pickedRow - centre.drawnRow, 0, 1e-9);
    // At screen x 650 the game picks 250 columns right of the centre while the view draws the
    // panorama's column about 213 there: hotspots need that much slack off-centre.
    const ViewPoint right = PointOfView(650, 200, 2048, 512);
    EXPECT_DOUBLE_EQ(right.pickedColumn, 250);
    EXPECT_NEAR(right.drawnColumn, 213, 2);
    // Left and right mirror each other, and the miss grows towards the turning edges.
    const ViewPoint left = PointOfView(150, 200, 2048, 512);
    EXPECT_NEAR(left.drawnColumn, -right.drawnColumn, 1e-9);
    EXPECT_GT(PointOfView(700, 200, 2048, 512).pickedColumn - PointOfView(700, 200, 2048, 512).drawnColumn,
              right.pickedColumn - right.drawnColumn);
    const PickError worst = LargestPickError(2048, 512);
    std::printf("a click lands up to %.0f columns and %.0f rows from what is drawn under it\n", worst.columns, worst.rows);
    RecordProperty("pick_error_columns", static_cast<int>(std::lround(worst.columns)));
    RecordProperty("pick_error_rows", static_cast<int>(std::lround(worst.rows)));
    EXPECT_GT(worst.columns, 40);
    EXPECT_LT(worst.columns, 80);
}

// Removes the directory a failed render kept its scene in, as the error names it; false if
// the error names none or the scene is not there.
bool ForgetKeptScene(const std::string& message)
{
    const std::size_t kept = message.find("kept in "), end = message.find("/scene.pov");
    if (kept == std::string::npos || end == std::string::npos || end < kept) return false;
    const fs::path dir = message.substr(kept + 8, end - kept - 8);
    const bool there = fs::exists(dir / "scene.pov");
    fs::remove_all(dir);
    return there;
}

class RenderCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("kelvane-render-test-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        settings.quality = Quality::Draft;
        settings.cacheDir = (dir / "cache").string();
        settings.version = "test renderer";
    }
    void TearDown() override { fs::remove_all(dir); }

    static RenderRequest Lit(const char* colour)
    {
        return {"lit box",
                "camera { perspective location <0, 1, -3> look_at <0, 0, 0> right x * 2 angle 50 }\n"
                "light_source { <2, 4, -3>, rgb 1 }\nbox { <-1, -0.5, -1>, <1, 0.5, 1> pigment { granite colour_map { [0 rgb " +
                    std::string(colour) + "] [1 rgb 1] } } }\n",
                64, 32};
    }
    fs::path dir;
    RenderSettings settings;
};

TEST_F(RenderCache, SameInputsGiveTheSameBytesAndAreNotRenderedAgain)
{
    REQUIRE_RENDERER();
    RenderSettings uncached = settings;
    uncached.cacheDir.clear();
    const imaging::Image first = Render(Lit("<1, 0, 0>"), uncached);
    const imaging::Image second = Render(Lit("<1, 0, 0>"), uncached);
    EXPECT_EQ(imaging::EncodePng(first), imaging::EncodePng(second)) << "two renders of one scene differ";

    Render(Lit("<1, 0, 0>"), settings);
    EXPECT_EQ(std::distance(fs::directory_iterator(settings.cacheDir), fs::directory_iterator()), 1);
    // The cache keeps the draft as povray rendered it, a quarter of the size each way.
    imaging::Image kept;
    ASSERT_TRUE(ReadPng(fs::directory_iterator(settings.cacheDir)->path().string(), &kept));
    EXPECT_EQ(kept.width, 16);
    EXPECT_EQ(kept.height, 8);
    // With a renderer that can only fail, the unchanged scene still comes from the cache.
    settings.program = "false";
    EXPECT_EQ(imaging::EncodePng(Render(Lit("<1, 0, 0>"), settings)), imaging::EncodePng(first));
    // A changed scene must be rendered again: the failure names it.
    try {
        Render(Lit("<0, 1, 0>"), settings);
        FAIL() << "a changed scene was taken from the cache";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("scene lit box"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("status 1"), std::string::npos) << e.what();
        ForgetKeptScene(e.what());
    }
}

TEST_F(RenderCache, HashCoversSceneSizeQualityAndRenderer)
{
    const RenderRequest base = Lit("<1, 0, 0>");
    const std::string hash = InputHash(base, Quality::Draft, "3.7");
    EXPECT_EQ(hash.size(), 16u);
    EXPECT_EQ(InputHash(base, Quality::Draft, "3.7"), hash);
    RenderRequest wider = base;
    wider.width = 128;
    EXPECT_NE(InputHash(wider, Quality::Draft, "3.7"), hash);
    EXPECT_NE(InputHash(Lit("<0, 1, 0>"), Quality::Draft, "3.7"), hash);
    EXPECT_NE(InputHash(base, Quality::Full, "3.7"), hash);
    EXPECT_NE(InputHash(base, Quality::Draft, "3.8"), hash);
    // Only full quality gathers bounced light.
    EXPECT_EQ(SceneText(base, Quality::Draft).find("radiosity"), std::string::npos);
    EXPECT_NE(SceneText(base, Quality::Full).find("radiosity"), std::string::npos);
}

TEST_F(RenderCache, BrokenScenesAndMissingRendererFailNamingTheScene)
{
    REQUIRE_RENDERER();
    RenderRequest broken = Lit("<1, 0, 0>");
    broken.name = "the broken one";
    broken.scene += "sphere { <0, 0, 0> 1 pigment { rgb 1 }\n";  // no closing brace
    try {
        Render(broken, settings);
        FAIL() << "a broken scene rendered";
    } catch (const Error& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("scene the broken one"), std::string::npos) << message;
        EXPECT_NE(message.find("Parse Error"), std::string::npos) << "povray's own words are kept: " << message;
        EXPECT_TRUE(ForgetKeptScene(message)) << "the failed scene is kept for reading: " << message;
    }
    EXPECT_FALSE(fs::exists(settings.cacheDir) && !fs::is_empty(settings.cacheDir)) << "a failure was cached";

    settings.program = "kelvane-no-such-renderer";
    try {
        Render(Lit("<0, 0, 1>"), settings);
        FAIL() << "rendered without a renderer";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("install-deps"), std::string::npos) << e.what();
        ForgetKeptScene(e.what());
    }
    EXPECT_THROW(RendererVersion("kelvane-no-such-renderer"), Error);
}

// povray on a busy machine may give up before its render thread starts; that run, and only
// that one, is tried again, and a renderer that never starts is reported as such.
TEST(RunRenderer, ARenderThreadThatDidNotStartIsTriedAgainAndNothingElseIs)
{
    char pattern[] = "/tmp/kelvane-flaky-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path dir = pattern;
    // Fails with povray's words for its first `fails` runs, then succeeds; counts its runs.
    auto renderer = [&](const std::string& name, int fails, const char* words) {
        const fs::path path = dir / name;
        std::ofstream(path) << "#!/bin/sh\nn=$(cat " << name << ".runs 2>/dev/null || echo 0); n=$((n + 1)); echo $n > "
                            << name << ".runs\nif [ $n -le " << fails << " ]; then echo '" << words
                            << "' >&2; exit 1; fi\necho rendered\n";
        fs::permissions(path, fs::perms::owner_all);
        return path.string();
    };
    auto runs = [&](const std::string& name) {
        int n = 0;
        std::ifstream(dir / (name + ".runs")) >> n;
        return n;
    };
    const char* kNotStarted = "Timed out waiting for worker thread startup";

    EXPECT_NO_THROW(RunRenderer(renderer("twice", 2, kNotStarted), {}, dir.string(), "twice.log", "scene twice"));
    EXPECT_EQ(runs("twice"), 3);

    try {
        RunRenderer(renderer("never", 99, kNotStarted), {}, dir.string(), "never.log", "scene never");
        FAIL() << "a renderer that never started succeeded";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("scene never: povray could not start its render thread in 3 tries"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(runs("never"), 3);

    try {
        RunRenderer(renderer("broken", 1, "Parse Error: No matching } in 'sphere'"), {}, dir.string(), "broken.log",
                    "scene broken");
        FAIL() << "a failed render succeeded";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("status 1"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Parse Error"), std::string::npos) << e.what();
    }
    EXPECT_EQ(runs("broken"), 1) << "a real failure is not tried again";
    fs::remove_all(dir);
}

TEST(RenderDraft, ScalingUpJoinsAPanoramaAcrossItsSeam)
{
    // A 4 x 1 picture: white at the left edge, black elsewhere, scaled to 16 x 1.
    imaging::Image small{4, 1, std::vector<std::uint8_t>(16, 0)};
    for (int c = 0; c < 4; ++c) small.pixels[c] = 255;
    const imaging::Image wrapped = Resize(small, 16, 1, true);
    const imaging::Image clamped = Resize(small, 16, 1, false);
    EXPECT_GT(wrapped.pixels[15 * 4], 0) << "the right edge blends towards the left edge";
    EXPECT_EQ(clamped.pixels[15 * 4], 0);
    EXPECT_LT(wrapped.pixels[0], clamped.pixels[0]) << "the left edge blends towards the right edge";
    EXPECT_EQ(wrapped.pixels[4 * 4], clamped.pixels[4 * 4]);
}

TEST(RenderProgress, TimeLeftFollowsTheWeightStillToDo)
{
    EXPECT_EQ(Progress::Line(1, 4, "data/a.enc", 10, 40, 30), "[1/4] data/a.enc, about 1 min 30 s left");
    EXPECT_EQ(Progress::Line(3, 4, "data/c.enc", 30, 40, 30), "[3/4] data/c.enc, about 10 s left");
    EXPECT_EQ(Progress::Line(4, 4, "data/d.enc", 40, 40, 61), "[4/4] data/d.enc, done in 1 min 1 s");
    EXPECT_EQ(Progress::Line(1, 4, "data/a.enc", 0, 40, 0.2), "[1/4] data/a.enc");
}

TEST(WorldAssets, EveryFileTheWorldNamesIsMadeOnceAndAGapOrATwinIsNamed)
{
    const std::vector<content::Asset> game = content::GameManifest(tools_test::GameTexts());
    const world_content::WorldArt& art = world_content::Art();
    std::set<std::string> files;
    for (const content::Asset& a : game) files.insert(a.files.begin(), a.files.end());
    for (const std::string& file : art.namedFiles) EXPECT_EQ(files.count(file), 1u) << file << " is not made";
    EXPECT_EQ(files.count(art.places.front().image), 1u);

    // Without the asset of the first place's picture, the check names that picture.
    std::vector<content::Asset> gap;
    for (const content::Asset& a : game)
        if (a.name != art.places.front().image) gap.push_back(a);
    try {
        content::CheckTheWorldIsMade(gap, art);
        FAIL() << "a world with a picture nothing makes was passed";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(art.places.front().image), std::string::npos) << e.what();
    }
    // Two assets writing one file: the second would overwrite the first.
    std::vector<content::Asset> twin = game;
    twin.push_back(game.front());
    twin.back().name = "another scene";
    try {
        content::CheckTheWorldIsMade(twin, art);
        FAIL() << "a file written twice was passed";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("another scene"), std::string::npos) << e.what();
    }
    // The sample area makes none of the world's places.
    EXPECT_THROW(content::CheckTheWorldIsMade(content::SampleManifest(tools_test::GameTexts()), art), Error);
}

}  // namespace
