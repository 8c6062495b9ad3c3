// The lamp gallery's and the dome's rendered pictures: every picture the group makes is one
// the world names, made once, and the group makes all of its places' pictures; the lit,
// open and seated states change nothing outside the blocks the world cuts from them; every
// lamp of the ring's board and every star of a panel lights inside its own cell; and the key
// strips are cut from the right cells of the right renders.
#include "content/output.h"
#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_heights.h"
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


imaging::Image Draft(const std::string& scene, bool panorama)
{
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    const int width = panorama ? 2048 : 1024;
    return render::Render({"heights test", scene, width, 512, false, panorama}, settings);
}

int Brightness(const imaging::Image& image, int x, int y)
{
    const std::uint8_t* p = image.Row(y) + x * 4;
    return p[0] + p[1] + p[2];
}

bool Inside(int x, int y, int left, int top, int right, int bottom) { return x >= left && x < right && y >= top && y < bottom; }

bool OfTheHeights(const wc::Place& place) { return place.realm == wc::Realm::Gallery || place.realm == wc::Realm::Dome; }

TEST(RenderedHeights, MakesEveryPictureOfTheGalleryAndTheDomeOnceAndNothingElse)
{
    std::vector<content::Asset> assets;
    world_render::AddHeights(assets, tools_test::GameTexts());
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

TEST(RenderedHeights, TheLampsLightOnlyInsideTheGallerysBlocks)
{
    REQUIRE_RENDERER();
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        if (o.when != wc::When::LampsLit) continue;
        const imaging::Image out = Draft(heights::GalleryScene(o.screen, false), true);
        const imaging::Image lit = Draft(heights::GalleryScene(o.screen, true), true);
        ExpectChangeInsideBlock(o, out, lit);
        // Each lamp column burns inside its own hotspot.
        for (const wc::Place& place : wc::Art().places) {
            if (place.number != o.screen) continue;
            for (const wc::Feature& f : place.features) {
                if (f.look != wc::Look::Torch) continue;
                long brighter = 0;
                for (int y = f.y1; y < f.y2; ++y)
                    for (int x = f.x1; x < f.x2; ++x) brighter += Brightness(lit, x, y) > Brightness(out, x, y) + 60;
                EXPECT_GT(brighter, 40) << o.image << ": no lamp burns at columns " << f.x1 << " .. " << f.x2;
            }
        }
    }
}

TEST(RenderedHeights, TheLensAndTheOpenShutterChangeOnlyTheirBlocks)
{
    REQUIRE_RENDERER();
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        if (o.screen != 751 && o.screen != 756) continue;
        std::string (*scene)(bool) = o.screen == 751 ? heights::MountScene : heights::ShutterScene;
        ExpectChangeInsideBlock(o, Draft(scene(false), false), Draft(scene(true), false));
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
    for (const wc::KeyPanel& panel : wc::Art().keyPanels) {
        if (panel.screen == 551)
            ExpectEveryCellLights(panel, Draft(heights::RingBoardScene(false), false), Draft(heights::RingBoardScene(true), false));
        if (panel.screen == 752)
            ExpectEveryCellLights(panel, Draft(heights::StarPanelScene(false), false), Draft(heights::StarPanelScene(true), false));
    }
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
    EXPECT_THROW(heights::GalleryScene(700, false), Error);
    EXPECT_THROW(heights::DomeScene(501), Error);
    EXPECT_THROW(heights::GalleryScene(12345, false), Error);
    // The star panels carry the names the letters and the chart give the figures.
    EXPECT_EQ(heights::StarPanelName(752, tools_test::GameTexts()), "THE HERON");
    EXPECT_EQ(heights::StarPanelName(755, tools_test::GameTexts()), "THE GULL");
    EXPECT_EQ(heights::StarPanelName(751, tools_test::GameTexts()), std::nullopt);
}

}  // namespace
