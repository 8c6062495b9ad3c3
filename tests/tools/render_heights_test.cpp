// The lamp gallery's and the dome's rendered pictures: every picture the group makes (its
// close views here, its panoramas from the scene files the world names) is one the world
// names, made once, and the group makes all of its places' pictures; each panorama's scene
// names a fixture for every landmark and the world's rectangles, the star chart the panels'
// figures; the lit, open and seated states change nothing outside the blocks the world cuts
// from them; every lamp of the ring's board and every star of a panel lights inside its own cell; and the key
// strips are cut from the right cells of the right renders.
#include "content/output.h"
#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_heights.h"
#include "game/assets/render_world.h"
#include "game/assets/world_art.h"
#include "imaging/scrambled.h"
#include "render/povray.h"
#include "game_texts.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <unistd.h>
#include <string>

namespace {

namespace wc = world_content;
namespace heights = world_render::heights;


int Brightness(const imaging::Image& image, int x, int y)
{
    const std::uint8_t* p = image.Row(y) + x * 4;
    return p[0] + p[1] + p[2];
}

bool Inside(int x, int y, int left, int top, int right, int bottom) { return x >= left && x < right && y >= top && y < bottom; }

bool OfTheHeights(const wc::Place& place) { return place.realm == wc::Realm::Gallery || place.realm == wc::Realm::Dome; }

TEST(RenderedHeights, MakesEveryPictureOfTheGalleryAndTheDomeOnceAndNothingElse)
{
    // The group's close views and strips, and the pictures of its places that name their scenes.
    std::vector<content::Asset> assets, scenes;
    world_render::AddHeights(assets, tools_test::GameTexts());
    world_render::AddPlaceScenes(scenes, tools_test::GameTexts());
    std::set<std::string> ofTheHeights;
    for (const wc::Place& place : wc::Art().places)
        if (OfTheHeights(place) && place.scene != nullptr) ofTheHeights.insert(place.image);
    for (const wc::OverlayDef& o : wc::Art().overlays)
        if (ofTheHeights.count(wc::Art().PlaceNumbered(o.screen).image)) ofTheHeights.insert(o.image);
    for (content::Asset& asset : scenes)
        if (ofTheHeights.count(asset.name)) assets.push_back(std::move(asset));
    std::set<std::string> made;
    for (const content::Asset& asset : assets) EXPECT_TRUE(made.insert(asset.name).second) << asset.name << " is made twice";

    std::set<std::string> wanted;
    for (const wc::Place& place : wc::Art().places)
        if (OfTheHeights(place) && place.number != 550 && place.number != 750) wanted.insert(place.image);
    for (const wc::OverlayDef& o : wc::Art().overlays)
        for (const wc::Place& place : wc::Art().places)
            if (place.number == o.screen && OfTheHeights(place)) wanted.insert(o.image);
    for (const wc::KeyPanel& panel : wc::Art().keyPanels)
        for (const wc::Place& place : wc::Art().places)
            if (place.number == panel.screen && OfTheHeights(place)) wanted.insert(panel.strip);
    EXPECT_EQ(made, wanted);
}

// Renders a place's picture in both states and checks that the changed state differs inside
// the overlay's block and (almost) nowhere outside it.
void ExpectChangeInsideBlock(const wc::OverlayDef& o, const imaging::Image& base, const imaging::Image& changed)
{
    ASSERT_EQ(base.width, changed.width);
    long inside = 0, outside = 0, worstOutside = 0;
    int left = base.width, top = base.height, right = -1, bottom = -1;  // where the outside changes lie
    for (int y = 0; y < base.height; ++y)
        for (int x = 0; x < base.width; ++x) {
            const int d = std::abs(Brightness(changed, x, y) - Brightness(base, x, y));
            // A panorama's block may run past the right edge and on from the left.
            const int wx = x < o.x ? x + base.width : x;
            if (Inside(wx, y, o.x, o.y, o.x + o.w, o.y + o.h)) {
                inside += d > 24;
            } else {
                if (d > 6) {
                    ++outside;
                    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
                }
                worstOutside = std::max<long>(worstOutside, d);
            }
        }
    EXPECT_GT(inside, 200) << o.image << ": its state hardly changes the block";
    EXPECT_EQ(outside, 0) << o.image << ": the changed state shows outside the block (by up to " << worstOutside << ", in "
                          << left << ".." << right << " x " << top << ".." << bottom << ")";
}

// A place's scene file at draft quality after `prelude`.
imaging::Image DraftPlace(const wc::Place& place, const std::string& prelude)
{
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    return render::Render(world_render::PlaceRequest(place, place.image, prelude), settings);
}

TEST(RenderedHeights, TheLampsLightOnlyInsideTheGallerysBlocks)
{
    REQUIRE_RENDERER();
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        if (o.when != wc::When::LampsLit) continue;
        const wc::Place& place = wc::Art().PlaceNumbered(o.screen);
        const imaging::Image out = DraftPlace(place, world_render::BasePrelude(place));
        const imaging::Image lit = DraftPlace(place, world_render::OverlayPrelude(place, o));
        ExpectChangeInsideBlock(o, out, lit);
        // Each lamp column burns inside its own hotspot.
        for (const wc::Feature& f : place.features) {
            if (f.look != wc::Look::Torch) continue;
            long brighter = 0;
            for (int y = f.y1; y < f.y2; ++y)
                for (int x = f.x1; x < f.x2; ++x) brighter += Brightness(lit, x, y) > Brightness(out, x, y) + 60;
            EXPECT_GT(brighter, 40) << o.image << ": no lamp burns at columns " << f.x1 << " .. " << f.x2;
        }
    }
}

// The numbers of `#declare NAME = array[N] {a, b, ...}` in a scene file's text, or none.
std::vector<double> DeclaredArray(const std::string& text, const std::string& name)
{
    const std::size_t at = text.find("#declare " + name + " = array[");
    if (at == std::string::npos) return {};
    const std::size_t open = text.find('{', at), close = text.find('}', open);
    std::vector<double> values;
    std::string item;
    for (char c : text.substr(open + 1, close - open - 1) + ",") {
        if (c == ',') {
            if (item.find_first_not_of(" \"") != std::string::npos) values.push_back(std::atof(item.c_str()));
            item.clear();
        } else item += c;
    }
    return values;
}

std::string SceneFileText(const std::string& path)
{
    std::ifstream in(render::DefaultSceneLibrary() + "/" + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Each panorama names its scene, says what every one of its landmarks is, and renders alone
// with the world's own rectangles, so the picture the artist renders is the game's.
TEST(RenderedHeights, EachPanoramaNamesAFixtureForEveryLandmarkAndTheWorldsRectangles)
{
    for (const wc::Place& place : wc::Art().places) {
        if (!OfTheHeights(place) || !place.panorama) continue;
        ASSERT_NE(place.scene, nullptr) << place.image << " names no scene";
        const std::string text = SceneFileText(place.scene);
        ASSERT_FALSE(text.empty()) << place.scene << " is missing";
        const std::vector<render::SceneLandmark> landmarks = world_render::LandmarksOf(place);
        EXPECT_NE(text.find("#declare LandmarkFixture = array[" + std::to_string(landmarks.size()) + "]"), std::string::npos)
            << place.scene << " does not name a fixture for each of its " << landmarks.size() << " landmarks";
        const std::vector<double> left = DeclaredArray(text, "LandmarkLeft"), top = DeclaredArray(text, "LandmarkTop"),
                                  right = DeclaredArray(text, "LandmarkRight"), bottom = DeclaredArray(text, "LandmarkBottom");
        ASSERT_EQ(left.size(), landmarks.size()) << place.scene;
        ASSERT_EQ(top.size(), landmarks.size()) << place.scene;
        ASSERT_EQ(right.size(), landmarks.size()) << place.scene;
        ASSERT_EQ(bottom.size(), landmarks.size()) << place.scene;
        for (std::size_t i = 0; i < landmarks.size(); ++i) {
            EXPECT_EQ(left[i], landmarks[i].left) << place.scene << ", landmark " << i;
            EXPECT_EQ(top[i], landmarks[i].top) << place.scene << ", landmark " << i;
            EXPECT_EQ(right[i], landmarks[i].right) << place.scene << ", landmark " << i;
            EXPECT_EQ(bottom[i], landmarks[i].bottom) << place.scene << ", landmark " << i;
        }
    }
}

// The number of `#declare NAME = N;` in a scene file's text.
double DeclaredNumber(const std::string& text, const std::string& name)
{
    const std::size_t at = text.find("#declare " + name + " = ");
    if (at == std::string::npos) return -1;
    return std::atof(text.c_str() + at + name.size() + 12);
}

// Each board renders alone with its world's key panel, so the board the artist renders lines
// up with the strips the generator cuts from it.
TEST(RenderedHeights, EachBoardsSceneKnowsItsKeyPanelsCells)
{
    for (const wc::KeyPanel& panel : wc::Art().keyPanels) {
        const wc::Place& place = wc::Art().PlaceNumbered(panel.screen);
        if (!OfTheHeights(place)) continue;
        const std::string file = heights::BoardRequest(place, place.image, "").sceneFile;
        const std::string text = SceneFileText(file);
        const wc::GridDef& grid = wc::Art().grids[panel.grid - 1];
        EXPECT_EQ(DeclaredNumber(text, "KeyColumns"), grid.width) << file;
        EXPECT_EQ(DeclaredNumber(text, "KeyRows"), grid.height) << file;
        EXPECT_EQ(DeclaredNumber(text, "KeyLeft"), panel.x) << file;
        EXPECT_EQ(DeclaredNumber(text, "KeyTop"), panel.y) << file;
        EXPECT_EQ(DeclaredNumber(text, "KeyWidth"), panel.w) << file;
        EXPECT_EQ(DeclaredNumber(text, "KeyHeight"), panel.h) << file;
        EXPECT_EQ(DeclaredNumber(text, "KeyStepX"), panel.dx) << file;
        EXPECT_EQ(DeclaredNumber(text, "KeyStepY"), panel.dy) << file;
    }
}

// The dome's star chart draws the figures the star panels must show.
TEST(RenderedHeights, TheStarChartDrawsThePanelsFigures)
{
    const std::string text = SceneFileText("models/star_figures.inc");
    const std::size_t at = text.find("#declare StarFigure = array[4][9]");
    ASSERT_NE(at, std::string::npos);
    std::vector<int> cells;
    for (std::size_t i = text.find('{', at) + 1; i < text.size() && cells.size() < 36; ++i) {
        if (text.compare(i, 2, "//") == 0) i = text.find('\n', i);
        else if (text[i] == '0' || text[i] == '1') cells.push_back(text[i] - '0');
    }
    ASSERT_EQ(cells.size(), 36u);
    for (int figure = 0; figure < 4; ++figure)
        for (int cell = 0; cell < 9; ++cell)
            EXPECT_EQ(cells[static_cast<std::size_t>(figure * 9 + cell)], wc::Art().starPatterns[figure][cell] != 0)
                << "figure " << figure << ", pane " << cell;
}

TEST(RenderedHeights, TheLensAndTheOpenShutterChangeOnlyTheirBlocks)
{
    REQUIRE_RENDERER();
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        const wc::Place& place = wc::Art().PlaceNumbered(o.screen);
        if (place.realm != wc::Realm::Dome) continue;
        ExpectChangeInsideBlock(o, DraftPlace(place, world_render::BasePrelude(place)),
                                DraftPlace(place, world_render::OverlayPrelude(place, o)));
    }
}

// Every cell of a board lights when its lamps are lit, and nothing between the cells does.
void ExpectEveryCellLights(const wc::KeyPanel& panel, const imaging::Image& out, const imaging::Image& lit)
{
    const wc::GridDef& grid = wc::Art().grids[panel.grid - 1];
    for (int row = 0; row < grid.height; ++row)
        for (int column = 0; column < grid.width; ++column) {
            const int x0 = panel.x + column * panel.dx, y0 = panel.y + row * panel.dy;
            long gain = 0;
            for (int y = y0; y < y0 + panel.h; ++y)
                for (int x = x0; x < x0 + panel.w; ++x) gain += Brightness(lit, x, y) - Brightness(out, x, y);
            EXPECT_GT(gain / (panel.w * panel.h), 30) << panel.strip << ": cell " << column << ", " << row << " stays dark";
        }
    // Between the cells (a draft's scaling blurs a few pixels over the cells' edges).
    long changed = 0;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            bool nearCell = false;
            for (int row = 0; row < grid.height && !nearCell; ++row)
                for (int column = 0; column < grid.width && !nearCell; ++column)
                    nearCell = Inside(x, y, panel.x + column * panel.dx - 4, panel.y + row * panel.dy - 4,
                                      panel.x + column * panel.dx + panel.w + 4, panel.y + row * panel.dy + panel.h + 4);
            if (!nearCell) changed += std::abs(Brightness(lit, x, y) - Brightness(out, x, y)) > 6;
        }
    EXPECT_EQ(changed, 0) << panel.strip << ": lit lamps show outside their cells";
}

TEST(RenderedHeights, EveryLampOfTheRingAndEveryStarLightsInItsOwnCell)
{
    REQUIRE_RENDERER();
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    const auto board = [&](const wc::Place& place, int value) {
        return render::Render(heights::BoardRequest(place, place.image, heights::BoardPrelude(place, value)), settings);
    };
    std::set<std::string> scenes;  // each board's scene once: the four star panels share theirs
    for (const wc::KeyPanel& panel : wc::Art().keyPanels) {
        const wc::Place& place = wc::Art().PlaceNumbered(panel.screen);
        if (!OfTheHeights(place)) continue;
        if (scenes.insert(heights::BoardRequest(place, place.image, "").sceneFile).second)
            ExpectEveryCellLights(panel, board(place, 0), board(place, 1));
    }
    EXPECT_EQ(scenes.size(), 2u) << "the lamp ring's board and the star panels";
}

TEST(RenderedHeights, AKeyStripTakesFrameKFromTheCellOfRenderK)
{
    const wc::KeyPanel& panel = wc::Art().KeyPanelOn(551);  // the lamp ring's board
    ASSERT_EQ(panel.screen, 551);
    // Two boards whose pixels say which render and where they are.
    std::vector<imaging::Image> renders(2);
    for (int k = 0; k < 2; ++k) {
        renders[k] = {1024, 512, std::vector<std::uint8_t>(1024 * 512 * 4)};
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 1024; ++x) {
                std::uint8_t* p = renders[k].Row(y) + x * 4;
                p[0] = static_cast<std::uint8_t>(x & 255);
                p[1] = static_cast<std::uint8_t>(y & 255);
                p[2] = static_cast<std::uint8_t>(k * 100 + (x >> 8));
                p[3] = 255;
            }
    }
    const imaging::Image strip = heights::KeyStrip(renders, panel, 5, 1);
    ASSERT_EQ(strip.width, 2 * panel.w);
    ASSERT_EQ(strip.height, panel.h);
    for (int k = 0; k < 2; ++k)
        for (int y : {0, panel.h - 1})
            for (int x : {0, panel.w - 1}) {
                const std::uint8_t* p = strip.Row(y) + (k * panel.w + x) * 4;
                const int sx = panel.x + 5 * panel.dx + x, sy = panel.y + panel.dy + y;
                EXPECT_EQ(p[0], sx & 255);
                EXPECT_EQ(p[1], sy & 255);
                EXPECT_EQ(p[2], k * 100 + (sx >> 8)) << "frame " << k << " is not cut from render " << k;
            }
    // A cell outside the board is an error that names the block.
    EXPECT_THROW(heights::KeyStrip(renders, panel, 20, 1), Error);
}

// Makes the group's asset for `gamePath` at draft quality in `dir` and reads the picture back
// as the game does: unscrambled with the path's offset and decoded.
imaging::Image MadeAndReadBack(const std::string& gamePath, const std::filesystem::path& dir)
{
    std::vector<content::Asset> assets;
    world_render::AddHeights(assets, tools_test::GameTexts());
    content::AssetContext context;
    context.outputDir = dir.string();
    context.render.quality = render::Quality::Draft;
    for (const content::Asset& asset : assets)
        if (asset.name == gamePath) asset.make(context);
    std::ifstream in(content::FileForGamePath(dir.string(), gamePath), std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    bytes = imaging::UnrotateImageBytes(std::move(bytes), content::OffsetForGamePath(gamePath));
    imaging::Image image;
    std::string error;
    EXPECT_TRUE(imaging::DecodeImage(bytes.data(), bytes.size(), &image, &error)) << gamePath << ": " << error;
    return image;
}

TEST(RenderedHeights, StarPanelsDifferOnlyByTheNamePaintedOverThemAndStripsLoad)
{
    REQUIRE_RENDERER();
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kelvane-heights-" + std::to_string(::getpid()));
    const imaging::Image heron = MadeAndReadBack("data/dome_panel1.enc", dir);
    const imaging::Image gull = MadeAndReadBack("data/dome_panel4.enc", dir);
    ASSERT_EQ(heron.width, 1024);
    ASSERT_EQ(heron.height, 512);
    ASSERT_EQ(gull.width, 1024);
    long inName = 0, elsewhere = 0;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 1024; ++x) {
            const bool differs = std::abs(Brightness(heron, x, y) - Brightness(gull, x, y)) > 90;
            (Inside(x, y, 340, 10, 684, 76) ? inName : elsewhere) += differs;
        }
    EXPECT_GT(inName, 300) << "the panels' names are not painted over them";
    EXPECT_EQ(elsewhere, 0) << "the panels differ outside their name boards";
    // The lamp ring's strip: a lamp out, then a lamp burning, each a cell of the board.
    const imaging::Image strip = MadeAndReadBack("data/gallery_ring_lamps.enc", dir);
    ASSERT_EQ(strip.width, 128);
    ASSERT_EQ(strip.height, 64);
    long out = 0, burning = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) out += Brightness(strip, x, y), burning += Brightness(strip, x + 64, y);
    EXPECT_GT(burning, out + 64 * 64 * 20) << "the burning lamp's frame is not brighter than the one out";
    std::filesystem::remove_all(dir);
}

TEST(RenderedHeights, ScenesOnlyForTheirOwnRooms)
{
    EXPECT_THROW(heights::DomeScene(wc::Art().places.front().number), Error);
    EXPECT_THROW(heights::DomeScene(12345), Error);
    // The star panels carry the names the letters and the chart give the figures.
    EXPECT_EQ(heights::StarPanelName(wc::Art().PlaceNumbered(752), tools_test::GameTexts()), "THE HERON");
    EXPECT_EQ(heights::StarPanelName(wc::Art().PlaceNumbered(755), tools_test::GameTexts()), "THE GULL");
    EXPECT_EQ(heights::StarPanelName(wc::Art().PlaceNumbered(751), tools_test::GameTexts()), std::nullopt);
    EXPECT_EQ(heights::StarPanelName(wc::Art().PlaceNumbered(551), tools_test::GameTexts()), std::nullopt);
    // A board's place that names no scene and is no star panel has nothing to render from.
    EXPECT_THROW(heights::BoardRequest(wc::Art().PlaceNumbered(550), "plaque", ""), Error);
}

}  // namespace
