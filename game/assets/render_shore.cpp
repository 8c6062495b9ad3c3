#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_shore_layout.h"
#include "game/assets/render_shore_scenes.h"
#include "game/assets/world_art.h"
#include "render/kit.h"
#include "render/panorama.h"

namespace world_render {

namespace shore {

namespace {

namespace wc = world_content;
using render::Format;

// The boathouse from inside: tarred walls round a plank floor under open rafters, a lamp
// hung from a beam, the boat on its trestles, and its door, bench, rack and window where the
// world's hotspots lie.
std::string BoathouseInside(const wc::Place& place)
{
    // Each fixture stands against its own stretch of wall, square to the eye; the walls
    // between them close the room at about five metres.
    struct Wall {
        double degrees, distance;
    };
    std::vector<Wall> walls;
    std::string fixtures;
    for (const wc::Feature& f : place.features) {
        if (f.look == wc::Look::None) break;
        const double degrees = render::DegreesOfColumn((f.x1 + f.x2) / 2.0);
        if (f.look == wc::Look::Door) {
            // The wide door in the front wall, one leaf ajar on the moonlit shore.
            const Spot s = SpotOf(f, 0);
            walls.push_back({degrees, s.distance});
            const double w = s.width / 2, h = s.top;
            fixtures += Placed(Format(R"(union {
  box { <-%.4f, 0, -0.02>, <%.4f, %.4f, 0.03> texture { Planks rotate <0, 0, 90> scale 1.2 } }
  box { <-%.4f, %.4f, -0.06>, <%.4f, %.4f, 0.02> texture { Wood scale 3 } }
  box { <-%.4f, 0, -0.06>, <-%.4f, %.4f, 0.02> texture { Wood scale 3 } }
  box { <%.4f, 0, -0.06>, <%.4f, %.4f, 0.02> texture { Wood scale 3 } }
  box { <-%.4f, 0.4, -0.08>, <%.4f, 0.55, -0.02> texture { Wood scale 3 } }
  box { <-%.4f, %.4f, -0.08>, <%.4f, %.4f, -0.02> texture { Wood scale 3 } }
  box { <-0.06, 0, -0.03>, <0.06, %.4f, 0.0> pigment { rgb <0.30, 0.36, 0.52> } finish { Lit } }
})",
                                      w, w, h, w + 0.15, h, w + 0.15, h + 0.15, w + 0.15, w, h, w, w + 0.15, h, w - 0.1,
                                      w - 0.1, h - 0.55, w - 0.1, h - 0.4, h - 0.1),
                               s.distance, degrees);
        } else if (f.look == wc::Look::Desk) {
            const Spot s = SpotOf(f, 0);
            walls.push_back({degrees, s.distance + 0.9});
            fixtures += Placed(Format("Workbench(%.4f, %.4f, 0)", s.width, s.top), s.distance, degrees);
        } else if (f.look == wc::Look::Panel) {
            constexpr double kRackWall = 4.7;
            const Spot s = SpotOf(f, 0, kRackWall);
            walls.push_back({degrees, kRackWall + 0.06});
            fixtures += Placed(Format("ToolRack(%.4f, %.4f, %.4f, %.4f, 1)", s.width, s.top, s.bottom,
                                      (s.top + s.bottom) / 2 + 0.29),
                               kRackWall, degrees);
        } else if (f.look == wc::Look::Window) {
            constexpr double kWindowWall = 4.4;
            const Spot s = SpotOf(f, 0, kWindowWall);
            walls.push_back({degrees, kWindowWall + 0.06});
            fixtures += Placed(Format("ShedWindow(%.4f, %.4f, %.4f)", s.width, s.bottom, s.top), kWindowWall, degrees);
        }
    }
    for (double d = 0; d < 360; d += 30) {
        bool near = false;
        for (const Wall& w : walls) near = near || std::fabs(std::remainder(d - w.degrees, 360.0)) < 25;
        if (!near) walls.push_back({d, 5.6});
    }
    std::string room = "#declare RoomInside = intersection {\n  plane { y, 3.6 } plane { -y, 0.5 }\n";
    for (const Wall& w : walls)
        room += Format("  plane { <sin(radians(%.4f)), 0, cos(radians(%.4f))>, %.4f }\n", w.degrees, w.degrees, w.distance);
    room += "}\n";
    // The shed's frame: a post where each stretch of wall meets the next, so the boards read
    // as nailed to timbers.
    std::sort(walls.begin(), walls.end(), [](const Wall& a, const Wall& b) { return a.degrees < b.degrees; });
    room += "union {\n";
    for (std::size_t i = 0; i < walls.size(); ++i) {
        const Wall& a = walls[i];
        const Wall& b = walls[(i + 1) % walls.size()];
        const double ax = std::sin(a.degrees * render::kPi / 180), az = std::cos(a.degrees * render::kPi / 180);
        const double bx = std::sin(b.degrees * render::kPi / 180), bz = std::cos(b.degrees * render::kPi / 180);
        const double det = ax * bz - az * bx;
        if (std::fabs(det) < 1e-3) continue;
        // Where the two walls' planes meet, seen from above.
        const double x = (a.distance * bz - b.distance * az) / det, z = (ax * b.distance - bx * a.distance) / det;
        room += Format("  box { <-0.11, 0, -0.11>, <0.11, 3.6, 0.11> rotate <0, %.4f, 0> translate <%.4f, 0, %.4f> }\n",
                       (a.degrees + b.degrees) / 2, x, z);
    }
    room += "  clipped_by { object { RoomInside } }\n  texture { Wood scale 4 pigment { rgb <0.09, 0.07, 0.05> } }\n}\n";
    return room + R"(
background { rgb <0.01, 0.012, 0.02> }
// The shed's weathered board walls, the plank floor, the rafters and the roof boards.
difference {
  box { <-12, -0.5, -12>, <12, 3.8, 12> }
  object { RoomInside }
  texture { ShedBoards }
}
plane { y, 0 texture { Planks scale 1.5 finish { diffuse 0.5 } } }
plane { -y, -3.55 texture { Planks scale 1.2 pigment { gradient x colour_map { [0 rgb 0.01] [0.04 rgb 0.01] [0.05 rgb <0.09, 0.07, 0.05>] [1 rgb <0.07, 0.05, 0.035>] } scale 0.3 } } }
#for (I, 0, 5)
  box { <-12, 2.9, -5.8 + I * 2.3>, <12, 3.1, -5.6 + I * 2.3> texture { Wood scale 4 } }
#end
// The boat upturned on trestles in the middle of the floor, away from the fixtures: a
// double-ended clinker hull (its plan two arcs meeting in a point at stem and stern), tarred
// strakes lapped one over the next, a keel following the curve of its back from stem to
// stern, and its gunwale resting on the two trestles' beams.
union {
  intersection {
    sphere { 0, 1 scale <0.75, 0.5, 2.3> }
    cylinder { <0, -1, 0>, <0, 1, 0>, 3.9 translate <-3.15, 0, 0> }
    cylinder { <0, -1, 0>, <0, 1, 0>, 3.9 translate <3.15, 0, 0> }
    plane { y, 0 }
    texture {
      pigment { gradient y colour_map { [0 rgb <0.02, 0.018, 0.015>] [0.12 rgb <0.10, 0.085, 0.065>]
                                        [0.85 rgb <0.14, 0.12, 0.09>] [1 rgb <0.05, 0.045, 0.035>] } scale 0.085 }
      normal { gradient y 0.6 scale 0.085 }
      finish { diffuse 0.6 specular 0.25 roughness 0.02 }
    }
  }
  intersection {
    sphere { 0, 1 scale <1, 0.56, 2.34> }
    box { <-0.045, -1, -2.4>, <0.045, 0.04, 2.4> }
    texture { Wood scale 3 }
  }
  rotate <180, 0, 0> translate <0, 0.72, 0>
  rotate <0, 80, 0> translate <0.4, 0, -3.4>
}
// The trestles: a beam across two splayed pairs of legs, under the gunwale.
#macro Trestle(X)
  union {
    box { <-0.9, 0.62, -0.07>, <0.9, 0.72, 0.07> }
    #for (E, -0.7, 0.71, 1.4)
      box { <-0.04, 0, -0.04>, <0.04, 0.66, 0.04> rotate <12, 0, 0> translate <E, 0, -0.12> }
      box { <-0.04, 0, -0.04>, <0.04, 0.66, 0.04> rotate <-12, 0, 0> translate <E, 0, 0.12> }
    #end
    texture { Wood scale 3 }
    rotate <0, 80, 0> translate <X, 0, -3.4>
  }
#end
Trestle(-0.9)
Trestle(1.7)
// Oars against the wall, a coil of rope.
cylinder { <-3.9, 0, 0.5>, <-3.7, 2.7, 0.9>, 0.04 texture { Wood scale 3 } }
cylinder { <-3.9, 0, 1.1>, <-3.65, 2.6, 1.3>, 0.04 texture { Wood scale 3 } }
torus { 0.35, 0.07 translate <-2.4, 0.07, 2.9> pigment { rgb <0.45, 0.38, 0.26> } normal { quilted 0.6 scale 0.02 } }
// The lamp on its beam, and the moonlight through the window and door.
union {
  cylinder { <0, 2.6, 0>, <0, 3.0, 0>, 0.01 texture { DarkIron } }
  sphere { <0, 2.45, 0>, 0.12 pigment { rgbf <1, 0.8, 0.5, 0.5> } finish { Lit } no_shadow }
  cylinder { <0, 2.58, 0>, <0, 2.6, 0>, 0.15 texture { DarkIron } }
  translate <1.2, 0, -0.6>
}
// The lamp's light is warm and falls off towards the walls, which stay dark timber; the
// moon's cold light comes in by the window and the door.
light_source { <1.2, 2.3, -0.6>, rgb <1.0, 0.72, 0.40> * 1.0 fade_distance 2.2 fade_power 2 }
light_source { <-3, 3, 2>, rgb <0.2, 0.24, 0.36> * 0.3 shadowless }
)" + fixtures;
}

// A rock pool's basin (`macro` RockPool) or its hollow (PoolBowl) from the near to the far row
// of its rectangle.
std::string PoolAt(const wc::Feature& f, const char* macro)
{
    const Spot s = SpotOf(f, 0);
    const double drop = render::kEyeHeight - render::HeightOfRow(f.y1, 1.0);  // per metre out
    const double far = drop > 0 ? render::kEyeHeight / drop : s.distance + 2;
    return Placed(std::string(macro) + Format("(%.4f, %.4f)", s.width * 0.9, far - s.distance), s.distance,
                  render::DegreesOfColumn((f.x1 + f.x2) / 2.0));
}

// What stands on the shore where a hotspot lies. `ground` is the ground's height there.
std::string ShoreFixture(const wc::Feature& f, const ShoreState& state, int screen)
{
    const double degrees = render::DegreesOfColumn((f.x1 + f.x2) / 2.0);
    auto place = [degrees](const std::string& object, double distance) { return Placed(object, distance, degrees); };
    switch (f.look) {
    case wc::Look::Arch: {
        const Spot s = SpotOf(f, 0);
        return place(Format("StoneArch(%.4f, %.4f, 5)", s.width, s.top), s.distance);
    }
    case wc::Look::Stairs: {
        const Spot s = SpotOf(f, 0);
        if (GoesDown(screen, f.target))
            return place(Format("StairsDown(%.4f, %.4f, 3)", s.width, s.top), s.distance);
        constexpr double kRun = 4.0;
        const double rise = render::HeightOfRow(f.y1, s.distance + kRun) - 0.3;
        return place(Format("StairsUp(%.4f, %.4f, %.4f)", s.width, kRun, rise), s.distance);
    }
    case wc::Look::Door: {
        const Spot s = SpotOf(f, 0);
        if (screen == 100) return place(Format("BoathouseOutside(%.4f, %.4f)", s.width, s.top), s.distance);
        return place(Format("SeaCliff(%.4f, %.4f, %.0f)", s.width, s.top, state.seaDoorOpen ? 1 : 0), s.distance);
    }
    case wc::Look::Pillar: {
        const Spot s = SpotOf(f, 0);
        if (screen == 100) return place(Format("TidePost(%.4f, %.4f)", s.width, s.top), s.distance);
        return place(Format("Lookout(%.4f, %.4f)", s.width, s.top), s.distance);
    }
    case wc::Look::Tree: {
        const Spot s = SpotOf(f, 0);
        return place(Format("WindTree(%.4f, %.4f)", s.width, s.top), s.distance);
    }
    case wc::Look::Gate: {
        const Spot s = SpotOf(f, 0);
        return place(Format("IronGate(%.4f, %.4f, %.0f)", s.width, s.top, state.gateOpen ? 1 : 0), s.distance);
    }
    case wc::Look::Window: {
        // The observatory's tall window in the wing nearest the gate, on the rock above.
        constexpr double kDistance = 16.0;
        const Spot s = SpotOf(f, 0, kDistance);
        return place(Format("ObservatoryWing(%.4f, %.4f, %.4f)", s.width, s.bottom, s.top), kDistance);
    }
    case wc::Look::Pool: return PoolAt(f, "RockPool");
    default: return {};
    }
}

// The shore's own lie at each spot: how far below the sea is, where the observatory stands
// on its rock, and what fills the rest.
struct ShoreLie {
    double seaLevel;
    double groundRadius;
    double observatoryColumn, observatoryDistance, observatoryTurn, observatoryHeight;
    unsigned seed;
};

ShoreLie LieOf(int screen)
{
    switch (screen) {
    case 100: return {-1.2, 9.0, 290, 55, 20, 5, 100};
    case 101: return {-6.0, 13.0, 1100, 48, -30, 2, 101};
    case 102: return {-9.0, 14.0, 1020, 36, 0, 3.5, 102};
    case 103: return {-14.0, 10.0, 1530, 55, 40, 1, 103};
    case 105: return {-0.9, 8.0, 1650, 70, -10, 6, 105};
    default: return {-4.0, 12.0, 1000, 50, 0, 0, 99};
    }
}

}  // namespace

std::string ShorePanoramaScene(int screen, const ShoreState& state)
{
    const wc::Place& place = PlaceShowing(screen);
    std::string scene = render::PanoramaCamera(0, render::kEyeHeight, 0);
    scene += ShoreKit();
    scene += ShoreFixtureMacros();
    if (screen == 104) return scene + BoathouseInside(place);
    scene += SkyOver(place, screen);

    const ShoreLie lie = LieOf(screen);
    // The ground round a rock pool leaves its basin open.
    std::string holes = "#declare GroundHoles = union { sphere { <0, -100, 0>, 0.001 } sphere { <0, -100, 0>, 0.001 }\n";
    for (const wc::Feature& f : place.features)
        if (f.look == wc::Look::Pool) holes += PoolAt(f, "PoolBowl");
    scene += holes + "}\n";
    // The landing is paved, the cove bare rock, the rest of the island turf.
    scene += screen == 100 ? "#declare Ground = texture { Blocks scale 1.6 }\n"
             : screen == 105 ? "#declare Ground = texture { Rock scale 2 }\n"
                             : "#declare Ground = texture { Turf }\n";
    scene += Format(R"(
SeaAt(%.4f)
// The island's ground where the eye stands, and the rock falling to the sea round it.
difference { cylinder { <0, -40, 0>, <0, 0, 0>, %.4f } object { GroundHoles } texture { Ground } }
cone { <0, 0, 0>, %.4f, <0, %.4f, 0>, %.4f texture { Rock scale 2 } }
object { Observatory(0) rotate <0, %.4f, 0> translate <0, %.4f, %.4f> rotate <0, %.4f, 0> }
)", lie.seaLevel, lie.groundRadius, lie.groundRadius + 0.5, lie.seaLevel - 2, lie.groundRadius + 9, lie.observatoryTurn,
                    lie.observatoryHeight, lie.observatoryDistance, render::DegreesOfColumn(lie.observatoryColumn));
    for (const wc::Feature& f : place.features) {
        if (f.look == wc::Look::None) break;
        scene += ShoreFixture(f, state, screen);
        if (f.look == wc::Look::Arch || f.look == wc::Look::Stairs || f.look == wc::Look::Gate)
            scene += PathTowards(f);
    }
    scene += RocksBetween(place, lie.groundRadius - 1.5, lie.seed);
    return scene;
}

}  // namespace shore

void AddShore(std::vector<content::Asset>& rendered) { shore::AddShoreAssets(rendered); }

}  // namespace world_render
