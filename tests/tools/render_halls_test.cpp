// The ground floor's and the tower's rendered pictures: every picture of theirs the world
// names is made once; what changes with the story changes inside its block and nowhere
// else, so the block lies on its base without a seam; the lamps burn where the world puts
// them; the cabinet's wheels show their strokes.
#include "content/generator.h"
#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_halls_models.h"
#include "game/assets/render_heights.h"
#include "game/assets/world_art.h"
#include "imaging/image.h"
#include "render/kit.h"
#include "render/povray.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
namespace wc = world_content;


bool OfHallsOrTower(int screen)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == screen) return place.realm == wc::Realm::Hall || place.realm == wc::Realm::Tower;
    return false;
}

const wc::Place& PlaceNumbered(int number)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == number) return place;
    throw Error("no place " + std::to_string(number));
}

using render_test::Draft;

// The mean difference of the channels of two equal pictures over the pixels `pick` accepts.
template <typename Pick>
double MeanDifference(const imaging::Image& a, const imaging::Image& b, Pick pick)
{
    double sum = 0;
    long count = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            if (!pick(x, y)) continue;
            for (int c = 0; c < 3; ++c) sum += std::abs(a.Row(y)[x * 4 + c] - b.Row(y)[x * 4 + c]);
            ++count;
        }
    return count > 0 ? sum / (3.0 * count) : 0.0;
}

double Brightness(const imaging::Image& image, content::Rect r)
{
    double sum = 0;
    for (int y = r.y; y < r.Bottom(); ++y)
        for (int x = r.x; x < r.Right(); ++x)
            for (int c = 0; c < 3; ++c) sum += image.Row(y)[(x % image.width) * 4 + c];
    return sum / (3.0 * r.w * r.h);
}

TEST(RenderHalls, MakesEveryPictureOfTheGroundFloorAndTowerOnce)
{
    std::set<std::string> expected;
    for (const wc::Place& place : wc::Art().places)
        if (OfHallsOrTower(place.number)) expected.insert(place.image);
    for (const wc::OverlayDef& o : wc::Art().overlays)
        if (OfHallsOrTower(o.screen)) expected.insert(o.image);
    for (const wc::KeyPanel& panel : wc::Art().keyPanels)
        if (OfHallsOrTower(panel.screen)) expected.insert(panel.strip);
    ASSERT_EQ(expected.size(), 27u + 6u + 1u) << "the world's ground floor and tower changed: check this group";

    std::vector<content::Asset> rendered;
    world_render::AddHalls(rendered);
    std::set<std::string> made;
    for (const content::Asset& asset : rendered) {
        EXPECT_TRUE(made.insert(asset.name).second) << asset.name << " is made twice";
        EXPECT_EQ(asset.files, std::vector<std::string>{asset.name});
        EXPECT_TRUE(expected.count(asset.name)) << asset.name << " is not a picture of the ground floor or the tower";
    }
    for (const std::string& name : expected) EXPECT_TRUE(made.count(name)) << name << " is still painted";
}

// Each changed state differs from its base only inside the block the game lays over it, so
// the block's edge meets the base without a seam; and inside it something does change.
TEST(RenderHalls, ChangesStayInsideTheirBlocks)
{
    REQUIRE_RENDERER();
    struct Case {
        int screen;
        const char* image;
        bool letters;
    };
    // A close view whose change is large (the cabinet opened on the letters) and a panorama's,
    // whose block wraps the picture's columns.
    for (const Case& c : {Case{451, "data/tower_cabinet_overlay02.enc", true}, Case{405, "data/tower_pano05_overlay01.enc", false}}) {
        const wc::OverlayDef* overlay = nullptr;
        for (const wc::OverlayDef& o : wc::Art().overlays)
            if (std::string(o.image) == c.image) overlay = &o;
        ASSERT_NE(overlay, nullptr) << c.image;
        const bool panorama = PlaceNumbered(c.screen).panorama;
        const imaging::Image base = Draft(c.image, world_render::halls::PlaceScene(c.screen, false), panorama);
        const imaging::Image changed =
            Draft(c.image, panorama ? world_render::halls::PlaceScene(c.screen, true)
                                    : world_render::halls::FlatScene(c.screen, true, c.letters),
                  panorama);
        const content::Rect r{overlay->x, overlay->y, overlay->w, overlay->h};
        auto inside = [&](int x, int y) {
            const int dx = (x - r.x + base.width) % base.width;
            return dx < r.w && y >= r.y && y < r.Bottom();
        };
        // Drafts are scaled up four times: a change blurs a few pixels past its edge.
        auto edge = [&](int x, int y) {
            const int dx = (x - r.x + base.width) % base.width;
            return inside(x, y) && (dx < 2 || dx >= r.w - 2 || y < r.y + 2 || y >= r.Bottom() - 2);
        };
        EXPECT_LT(MeanDifference(base, changed, [&](int x, int y) { return !inside(x, y); }), 0.05)
            << c.image << ": the change reaches outside its block";
        EXPECT_LT(MeanDifference(base, changed, edge), 1.0) << c.image << ": the block's edge does not meet its base";
        EXPECT_GT(MeanDifference(base, changed, inside), 2.0) << c.image << ": nothing changes in the block";
    }
}

TEST(RenderHalls, WallLampsBurnWhereTheWorldPutsThem)
{
    REQUIRE_RENDERER();
    const wc::Place& hall = PlaceNumbered(200);
    const imaging::Image picture = Draft("hall", world_render::halls::PlaceScene(200, false), true);
    const double room = Brightness(picture, {0, 150, picture.width, 250});
    int lamps = 0;
    for (const wc::Feature& f : hall.features) {
        if (f.look != wc::Look::Torch) continue;
        ++lamps;
        EXPECT_GT(Brightness(picture, {f.x1, f.y1, f.x2 - f.x1, f.y2 - f.y1}), room * 1.3)
            << "no lamp burns at columns " << f.x1 << " .. " << f.x2;
    }
    EXPECT_GT(lamps, 0);
}

// The study, the stair hall and the instrument room are walled in flat walls meeting in
// corners, not one round wall: each feature the world builds into a wall lies flush on a
// wall of its own, square to the eye, inside that wall's two corners; no two walls turn by
// more than a wide corner; and the rooms' shapes differ.
TEST(RenderHalls, FacetedRoomsSetEachFeatureOnAFlatWallOfItsOwn)
{
    std::set<std::vector<long>> shapes;
    for (int number : {201, 203, 205}) {
        const std::vector<double> walls = world_render::halls::WallBearings(number);
        ASSERT_GE(walls.size(), 4u) << "place " << number << " has too few walls";
        std::vector<long> turns;
        for (std::size_t i = 0; i < walls.size(); ++i) {
            const double next = i + 1 < walls.size() ? walls[i + 1] : walls[0] + 360.0;
            EXPECT_GT(next, walls[i]) << "place " << number << ": walls out of order";
            EXPECT_LE(next - walls[i], 100.0 + 1e-9) << "place " << number << ": a corner runs far out";
            turns.push_back(std::lround(next - walls[i]));
        }
        EXPECT_LT(walls.back() - walls.front(), 360.0);
        shapes.insert(turns);
        bool aSquareCorner = false;
        for (long turn : turns) aSquareCorner = aSquareCorner || turn >= 75;
        EXPECT_TRUE(aSquareCorner) << "place " << number << " would still read as round";

        for (const wc::Feature& f : PlaceNumbered(number).features) {
            if (f.look == wc::Look::None || f.look == wc::Look::Pool) continue;
            const double centre = std::fmod(render::DegreesOfColumn((f.x1 + f.x2) / 2.0) + 360.0, 360.0);
            const double half = render::DegreesOfColumn((f.x2 - f.x1) / 2.0);
            std::size_t own = walls.size();
            for (std::size_t i = 0; i < walls.size(); ++i)
                if (std::fabs(std::fmod(walls[i], 360.0) - centre) < 1e-6) own = i;
            ASSERT_LT(own, walls.size()) << "place " << number << ": no wall square to the feature at column " << f.x1;
            const std::size_t n = walls.size();
            const double before = own > 0 ? walls[own - 1] : walls[n - 1] - 360.0;
            const double after = own + 1 < n ? walls[own + 1] : walls[0] + 360.0;
            EXPECT_LT(half, (walls[own] - before) / 2) << "place " << number << ": the feature at column " << f.x1
                                                       << " runs round its wall's left corner";
            EXPECT_LT(half, (after - walls[own]) / 2) << "place " << number << ": the feature at column " << f.x1
                                                      << " runs round its wall's right corner";
        }
    }
    EXPECT_EQ(shapes.size(), 3u) << "two faceted rooms have one shape";
    EXPECT_TRUE(world_render::halls::WallBearings(200).empty()) << "the entrance hall is a rotunda";
    EXPECT_TRUE(world_render::halls::WallBearings(204).empty()) << "the well room is round";
}

// The tower's floors and the dome must not read as one place: the tower is stone lit warm by
// its lamps, the dome a night-blue room in the moon's cold light. Over the band of wall
// (rows 150 .. 350) the tower is plainly red over blue, the dome blue over red.
TEST(RenderHalls, TheTowerIsLitWarmAndTheDomeCold)
{
    REQUIRE_RENDERER();
    constexpr int kBlue = 0, kRed = 2;  // pictures hold B, G, R, A
    auto mean = [](const imaging::Image& picture, int channel) {
        double sum = 0;
        for (int y = 150; y < 350; ++y)
            for (int x = 0; x < picture.width; ++x) sum += picture.Row(y)[x * 4 + channel];
        return sum / (200.0 * picture.width);
    };
    for (int floor : {402, 403}) {
        const imaging::Image tower = Draft("tower", world_render::halls::PlaceScene(floor, false), true);
        EXPECT_GT(mean(tower, kRed), mean(tower, kBlue) * 1.4) << "tower floor " << floor << " is not lit warm";
    }
    for (int spot : {701, 704}) {
        const imaging::Image dome = Draft("dome", world_render::heights::DomeScene(spot), true);
        EXPECT_GT(mean(dome, kBlue), mean(dome, kRed) * 1.05) << "dome spot " << spot << " is not lit cold";
    }
}

// The strip's frame k is the wheel turned to k: blank at 0, then a bell and k strokes cut
// dark in the brass, so each frame has more dark cuts than the one before.
TEST(RenderHalls, CabinetWheelFramesCountTheirStrokes)
{
    REQUIRE_RENDERER();
    const wc::KeyPanel& panel = wc::Art().KeyPanelOn(451);
    ASSERT_EQ(panel.screen, 451);
    const fs::path dir = fs::temp_directory_path() / ("kelvane-halls-" + std::to_string(::getpid()));
    fs::create_directories(dir / "out");
    content::AssetContext context;
    context.outputDir = (dir / "out").string();
    context.previewDir = dir.string();
    context.render.quality = render::Quality::Full;
    world_render::halls::CabinetWheels().make(context);
    std::ifstream in(dir / "tower_cabinet_wheels.enc.png", std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    imaging::Image strip;
    std::string error;
    ASSERT_TRUE(imaging::DecodeImage(bytes.data(), bytes.size(), &strip, &error)) << error;
    fs::remove_all(dir);
    const int values = wc::Art().grids[panel.grid - 1].max + 1;
    ASSERT_EQ(strip.width, panel.w * values);
    ASSERT_EQ(strip.height, panel.h);
    int previous = -1;
    for (int k = 0; k < values; ++k) {
        int dark = 0;
        for (int y = 0; y < strip.height; ++y)
            for (int x = k * panel.w; x < (k + 1) * panel.w; ++x) {
                const std::uint8_t* p = strip.Row(y) + x * 4;
                if (p[0] + p[1] + p[2] < 3 * 40) ++dark;
            }
        EXPECT_GT(dark, previous) << "frame " << k << " shows no more cuts than frame " << k - 1;
        previous = dark;
    }
}

}  // namespace
