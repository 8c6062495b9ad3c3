// The ground floor's and the tower's rendered pictures: every picture of theirs the world
// names is made once; what changes with the story changes inside its block and nowhere
// else, so the block lies on its base without a seam; the lamps burn where the world puts
// them; the cabinet's wheels show their strokes.
#include "content/generator.h"
#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_halls.h"
#include "game/assets/render_heights.h"
#include "game/assets/render_world.h"
#include "game/assets/world_art.h"
#include "imaging/image.h"
#include "render/kit.h"
#include "render/povray.h"
#include "render/scene_library.h"
#include "game_texts.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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

// The place rendered from the scene file `scene` ("hall/entrance.pov").
const wc::Place& PlaceOfScene(const std::string& scene)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.scene != nullptr && place.scene == scene) return place;
    throw Error("no place is rendered from " + scene);
}

using render_test::Draft;

// A place's scene file rendered at draft quality after `prelude`.
imaging::Image DraftOfScene(const wc::Place& place, const std::string& prelude)
{
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    return render::Render(world_render::PlaceRequest(place, place.image, prelude), settings);
}

const wc::OverlayDef& OverlayNamed(const std::string& image)
{
    for (const wc::OverlayDef& o : wc::Art().overlays)
        if (o.image == image) return o;
    throw Error("no changing block " + image);
}

const wc::KeyPanel& CabinetPanel()
{
    for (const wc::KeyPanel& panel : wc::Art().keyPanels)
        if (std::string(panel.strip) == "data/tower_cabinet_wheels.enc") return panel;
    throw Error("the world has no cabinet wheels");
}

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

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
    ASSERT_EQ(expected.size(), 27u + 7u + 1u) << "the world's ground floor and tower changed: check this group";

    // The places that name their scene file are made with every other such place's.
    std::vector<content::Asset> rendered, scenes;
    world_render::AddHalls(rendered);
    world_render::AddPlaceScenes(scenes, tools_test::GameTexts());
    for (const content::Asset& asset : scenes)
        if (expected.count(asset.name)) rendered.push_back(asset);
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
    // Every changing block of the group: the close views' (the logbook, the hand lamp, the
    // cabinet opened, with the letters, the hatch) and the panoramas' (one whose block wraps
    // the picture's columns, the spare lamp on its board). A block whose state the scene does not know shows no change.
    std::vector<std::string> images;
    for (const wc::OverlayDef& o : wc::Art().overlays)
        if (OfHallsOrTower(o.screen)) images.push_back(o.image);
    ASSERT_EQ(images.size(), 7u);
    for (const std::string& image : images) {
        const wc::OverlayDef* overlay = &OverlayNamed(image);
        const wc::Place& place = PlaceNumbered(overlay->screen);
        const imaging::Image base = DraftOfScene(place, world_render::BasePrelude(place));
        const imaging::Image changed = DraftOfScene(place, world_render::OverlayPrelude(place, *overlay));
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
            << image << ": the change reaches outside its block";
        // The hand lamp's bail hangs 5 pixels under its block's top, closer than a draft's
        // pixels blur: its edge is left to the full renders.
        if (image != "data/hall_lamphook_overlay01.enc")
            EXPECT_LT(MeanDifference(base, changed, edge), 1.0) << image << ": the block's edge does not meet its base";
        EXPECT_GT(MeanDifference(base, changed, inside), 2.0) << image << ": nothing changes in the block";
    }
}

TEST(RenderHalls, WallLampsBurnWhereTheWorldPutsThem)
{
    REQUIRE_RENDERER();
    const wc::Place& hall = PlaceOfScene("hall/entrance.pov");
    const imaging::Image picture = DraftOfScene(hall, world_render::BasePrelude(hall));
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

// The bearings (degrees) of a faceted room's flat walls as its scene lays them out: the room's
// own macros run in povray on the place's prelude, which writes them to a file.
std::vector<double> WallBearings(const wc::Place& place)
{
    const fs::path out = fs::temp_directory_path() / ("kelvane-bearings-" + std::to_string(::getpid()) + ".txt");
    const std::string scene = world_render::BasePrelude(place) + "#include \"hall/room.inc\"\nRoomBearings()\n" +
                              "#fopen Bearings \"" + out.string() + "\" write\n" +
                              "#for (I, 0, RoomWallCount - 1) #write (Bearings, str(RoomWalls[I], 0, 9), \"\\n\") #end\n" +
                              "#fclose Bearings\n";
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    render::Render({"bearings", scene, 32, 8, false, false}, settings);
    std::ifstream in(out);
    std::vector<double> walls;
    for (double bearing; in >> bearing;) walls.push_back(bearing);
    fs::remove(out);
    return walls;
}

bool Faceted(const wc::Place& place)
{
    return Slurp(fs::path(render::DefaultSceneLibrary()) / place.scene).find("#declare RoomFaceted = true;") != std::string::npos;
}

// The study, the stair hall and the instrument room are walled in flat walls meeting in
// corners, not one round wall: each feature the world builds into a wall lies flush on a
// wall of its own, square to the eye, inside that wall's two corners; no two walls turn by
// more than a wide corner; and the rooms' shapes differ.
TEST(RenderHalls, FacetedRoomsSetEachFeatureOnAFlatWallOfItsOwn)
{
    REQUIRE_RENDERER();
    std::set<std::vector<long>> shapes;
    for (const char* scene : {"hall/study.pov", "hall/clock_room.pov", "hall/instrument_room.pov"}) {
        const wc::Place& place = PlaceOfScene(scene);
        EXPECT_TRUE(Faceted(place)) << scene << " is not faceted";
        const std::vector<double> walls = WallBearings(place);
        ASSERT_GE(walls.size(), 4u) << scene << " has too few walls";
        std::vector<long> turns;
        for (std::size_t i = 0; i < walls.size(); ++i) {
            const double next = i + 1 < walls.size() ? walls[i + 1] : walls[0] + 360.0;
            EXPECT_GT(next, walls[i]) << scene << ": walls out of order";
            EXPECT_LE(next - walls[i], 100.0 + 1e-6) << scene << ": a corner runs far out";
            turns.push_back(std::lround(next - walls[i]));
        }
        EXPECT_LT(walls.back() - walls.front(), 360.0);
        shapes.insert(turns);
        bool aSquareCorner = false;
        for (long turn : turns) aSquareCorner = aSquareCorner || turn >= 75;
        EXPECT_TRUE(aSquareCorner) << scene << " would still read as round";

        for (const wc::Feature& f : place.features) {
            if (f.look == wc::Look::None || f.look == wc::Look::Pool) continue;
            const double centre = std::fmod(render::DegreesOfColumn((f.x1 + f.x2) / 2.0) + 360.0, 360.0);
            const double half = render::DegreesOfColumn((f.x2 - f.x1) / 2.0);
            std::size_t own = walls.size();
            for (std::size_t i = 0; i < walls.size(); ++i)
                if (std::fabs(std::fmod(walls[i], 360.0) - centre) < 1e-6) own = i;
            ASSERT_LT(own, walls.size()) << scene << ": no wall square to the feature at column " << f.x1;
            const std::size_t n = walls.size();
            const double before = own > 0 ? walls[own - 1] : walls[n - 1] - 360.0;
            const double after = own + 1 < n ? walls[own + 1] : walls[0] + 360.0;
            EXPECT_LT(half, (walls[own] - before) / 2) << scene << ": the feature at column " << f.x1
                                                       << " runs round its wall's left corner";
            EXPECT_LT(half, (after - walls[own]) / 2) << scene << ": the feature at column " << f.x1
                                                      << " runs round its wall's right corner";
        }
    }
    EXPECT_EQ(shapes.size(), 3u) << "two faceted rooms have one shape";
    EXPECT_FALSE(Faceted(PlaceOfScene("hall/entrance.pov"))) << "the entrance hall is a rotunda";
    EXPECT_FALSE(Faceted(PlaceOfScene("hall/well_room.pov"))) << "the well room is round";
}

// The scenes hand every size, height, distance and turn on through Fixed() (hall/materials.inc),
// which keeps it to four decimals exactly as the rooms' pictures were first laid out with: to
// the nearest ten-thousandth, a value halfway between two to the even one, as "%.4f" prints it.
// Rounded otherwise, an edge that falls on a pixel's sampling point moves by a pixel. Checked
// on what the scenes hand on: the longitude of every half column of the band (many end in a 5
// at the fifth place), the height of every row on the walls and the width a landmark spans there.
TEST(RenderHalls, FixedKeepsNumbersToFourDecimalsAsPrinted)
{
    REQUIRE_RENDERER();
    const fs::path out = fs::temp_directory_path() / ("kelvane-fixed-" + std::to_string(::getpid()) + ".txt");
    const std::string scene = "#include \"rigs/panorama.inc\"\n#include \"hall/materials.inc\"\n"
                              "#fopen Numbers \"" + out.string() + "\" write\n"
                              "#macro Put(V) #write (Numbers, str(V, 0, 17), \" \", str(Fixed(V), 0, 9), \"\\n\") #end\n"
                              "#for (Half, 0, 4095) Put(DegreesOfColumn(Half / 2)) Put(-DegreesOfColumn(Half / 2)) #end\n"
                              "#for (Step, 0, 6) #local Distance = 3.9 + Step * 0.45;\n"
                              "  #for (Row, 0, 511) Put(HeightOfRow(Row, Distance)) #end\n"
                              "  #for (Half, 1, 300) Put(2 * Distance * tan(radians(DegreesOfColumn(Half / 2))) / 2) #end\n"
                              "#end\n"
                              "#fclose Numbers\n";
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    render::Render({"fixed", scene, 8, 8, false, false}, settings);
    std::ifstream in(out);
    int numbers = 0, wrong = 0;
    for (std::string raw, kept; in >> raw >> kept;) {
        ++numbers;
        char printed[64];
        std::snprintf(printed, sizeof printed, "%.4f", std::strtod(raw.c_str(), nullptr));
        if (std::strtod(printed, nullptr) == std::strtod(kept.c_str(), nullptr)) continue;
        if (++wrong <= 5) ADD_FAILURE() << raw << " is kept as " << kept << ", printed as " << printed;
    }
    fs::remove(out);
    EXPECT_EQ(numbers, 2 * 4096 + 7 * (512 + 300));
    EXPECT_EQ(wrong, 0);
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
    for (const char* floor : {"tower/cabinet_floor.pov", "tower/winch_floor.pov"}) {
        const wc::Place& place = PlaceOfScene(floor);
        const imaging::Image tower = DraftOfScene(place, world_render::BasePrelude(place));
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
    const wc::KeyPanel& panel = CabinetPanel();
    const fs::path dir = fs::temp_directory_path() / ("kelvane-halls-" + std::to_string(::getpid()));
    fs::create_directories(dir / "out");
    content::AssetContext context;
    context.outputDir = (dir / "out").string();
    context.previewDir = dir.string();
    context.render.quality = render::Quality::Full;
    world_render::KeyStrip(PlaceNumbered(panel.screen), panel).make(context);
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

namespace {

// Every scene file of the group renders on its own, without the generator's prelude, from
// the defaults it declares: the artist opens and renders it as it is.
TEST(RenderHalls, EverySceneRendersOnItsOwn)
{
    REQUIRE_RENDERER();
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    int scenes = 0;
    for (const wc::Place& place : wc::Art().places) {
        if (!OfHallsOrTower(place.number)) continue;
        ASSERT_NE(place.scene, nullptr) << place.image << " names no scene";
        render::RenderRequest request;
        request.name = place.scene;
        request.sceneFile = place.scene;
        request.width = place.panorama ? 256 : 128;
        request.height = 64;
        const imaging::Image picture = render::Render(request, settings);
        EXPECT_GT(Brightness(picture, {0, 0, picture.width, picture.height}), 10.0) << place.scene << " renders dark";
        ++scenes;
    }
    EXPECT_EQ(scenes, 27);
}

// The cabinet's close view lays its wheels and release knob on the world's key panel and
// release rectangle, which its prelude does not declare: the scene's own values must be the
// world's, or the wheels the player turns are not where they are drawn.
TEST(RenderHalls, TheCabinetSceneLaysItsWheelsOnTheWorldsKeyPanel)
{
    const wc::KeyPanel& panel = CabinetPanel();
    const wc::Place& place = PlaceNumbered(panel.screen);
    ASSERT_NE(place.scene, nullptr);
    const std::string scene = Slurp(fs::path(render::DefaultSceneLibrary()) / place.scene);
    const auto declared = [&](const std::string& name, int value) {
        const std::string text = "#declare " + name + " = " + std::to_string(value) + ";";
        EXPECT_NE(scene.find(text), std::string::npos) << place.scene << " does not say " << text;
    };
    declared("KeyCellLeft", panel.x);
    declared("KeyCellTop", panel.y);
    declared("KeyCellWidth", panel.w);
    declared("KeyCellHeight", panel.h);
    declared("KeyStepX", panel.dx);
    const int* r = wc::Art().cabinetRelease;
    const std::string release = "#declare Release = array[4] { " + std::to_string(r[0]) + ", " + std::to_string(r[1]) + ", " +
                                std::to_string(r[2]) + ", " + std::to_string(r[3]) + " };";
    EXPECT_NE(scene.find(release), std::string::npos) << place.scene << " does not say " << release;
}

// A close view builds its subject from its landmark's rectangle: the hatch's opening moved
// along the wall changes the picture where it was and where it went, and not the wall beyond.
TEST(RenderHalls, AHatchViewFollowsItsLandmark)
{
    REQUIRE_RENDERER();
    const wc::Place* hatch = nullptr;
    for (const wc::Place& place : wc::Art().places)
        if (place.scene != nullptr && std::string(place.scene) == "tower/hatch.pov") hatch = &place;
    ASSERT_NE(hatch, nullptr);
    std::vector<render::SceneLandmark> landmarks = world_render::LandmarksOf(*hatch);
    ASSERT_FALSE(landmarks.empty());
    const imaging::Image base = DraftOfScene(*hatch, render::PlacePrelude(false, landmarks, {}));
    const int left = landmarks[0].left, right = landmarks[0].right, shift = 250;
    for (render::SceneLandmark& l : landmarks) l.left -= shift, l.right -= shift;
    const imaging::Image moved = DraftOfScene(*hatch, render::PlacePrelude(false, landmarks, {}));
    const auto columns = [](int from, int to) { return [=](int x, int y) { return x >= from && x < to && y > 100 && y < 400; }; };
    EXPECT_GT(MeanDifference(base, moved, columns(right - shift + 8, right - 8)), 5.0) << "the opening's old place is unchanged";
    EXPECT_GT(MeanDifference(base, moved, columns(left - shift + 8, left - 8)), 5.0) << "the opening's new place is unchanged";
    EXPECT_LT(MeanDifference(base, moved, columns(right + 40, base.width)), 0.5) << "the wall beyond the opening changed";
}

}  // namespace
