#include <algorithm>
#include <cmath>
#include <string>

#include "core/error.h"
#include "game/assets/render_shore_layout.h"
#include "game/assets/render_shore_scenes.h"
#include "game/assets/world_art.h"
#include "render/kit.h"
#include "render/panorama.h"

namespace world_render::shore {

namespace {

namespace wc = world_content;
using render::Format;

// The night over a close view: the dusk sky and the moon high behind the eye's left shoulder,
// so that shadows fall away from the eye.
constexpr const char* kCloseSky = "DuskSky(210, 40, 3.6, 1.0)\n";

std::string Begin(const FlatCamera& camera)
{
    return camera.Text() + ShoreKit() + ShoreFixtureMacros();
}

// The bench under the thorn tree on the island's top, looking out to sea.
std::string BenchScene()
{
    const FlatCamera camera{1.6, 0, 60};
    const Upright tree = UprightIn(camera, 300, 40, 724, 420);
    return Begin(camera) + "DuskSky(20, 24, 3.6, 1.0)\nSeaAt(-9)\n" +
           Format(R"(
cylinder { <0, -40, 0>, <0, 0, 0>, %.4f texture { Turf } }
cone { <0, 0, 0>, %.4f, <0, -11, 0>, %.4f texture { Rock scale 2 } }
object { WindTree(%.4f, %.4f) translate <0, 0, %.4f> }
object { Crag(3, 0.8, 2, 15) translate <-5, 0, 9> }
object { Crag(2, 0.5, 2, 16) translate <4.5, 0, 7> }
)", tree.distance + 3, tree.distance + 3.5, tree.distance + 10, tree.width, tree.height, tree.distance);
}

// The observatory gate close to: padlocked and chained, or open on the steps beyond.
std::string PadlockScene(const ShoreState& state)
{
    const FlatCamera camera{1.6, 0, 60};
    const Upright gate = UprightIn(camera, 300, 60, 724, 430);
    return Begin(camera) + kCloseSky + "SeaAt(-9)\n" +
           Format(R"(
cylinder { <0, -40, 0>, <0, 0, 0>, 60 texture { Turf } }
box { <-1.2, -0.3, -1>, <1.2, 0.012, %.4f> texture { Gravel } }
object { IronGate(%.4f, %.4f, %.0f) translate <0, 0, %.4f> }
object { Observatory(0) translate <0, 3, %.4f> }
)", gate.distance, gate.width, gate.height, state.gateOpen ? 1.0 : 0.0, gate.distance, gate.distance + 30);
}

// The tower seen from the lookout on the cliff path: its whitewashed shaft and the tall
// window halfway up, the lantern dark above.
std::string TowerViewScene()
{
    const FlatCamera camera{1.6, -14, 50};
    constexpr double kTower = 30.0;
    double left, top, right, bottom;
    camera.OnWall(430, 60, kTower - 3.1, &left, &top);
    camera.OnWall(594, 300, kTower - 3.1, &right, &bottom);
    return Begin(camera) + "DuskSky(150, 25, 3.6, 1.0)\nSeaAt(-14)\n" +
           Format(R"(
#declare WinL = %.4f; #declare WinR = %.4f; #declare WinB = %.4f; #declare WinT = %.4f;
union {
  difference {
    cylinder { <0, -30, 0>, <0, 60, 0>, 3.2 }
    box { <WinL, WinB, -5>, <WinR, WinT - (WinR - WinL) / 2, 0> }
    cylinder { <(WinL + WinR) / 2, WinT - (WinR - WinL) / 2, -5>, <(WinL + WinR) / 2, WinT - (WinR - WinL) / 2, 0>, (WinR - WinL) / 2 }
    texture { Whitewash scale 2 }
  }
  cylinder { <0, -30, 0>, <0, 60, 0>, 2.5 pigment { rgb 0.02 } }
  box { <WinL, WinB, -2.7>, <WinR, WinT, -2.6> pigment { rgb <0.03, 0.04, 0.06> } finish { specular 0.9 roughness 0.004 reflection 0.3 } }
  #for (I, 1, 4)
    box { <WinL, WinB + I * (WinT - WinB) / 5 - 0.06, -2.8>, <WinR, WinB + I * (WinT - WinB) / 5 + 0.06, -2.7> texture { DarkIron } }
  #end
  box { <(WinL + WinR) / 2 - 0.06, WinB, -2.8>, <(WinL + WinR) / 2 + 0.06, WinT, -2.7> texture { DarkIron } }
  box { <WinL - 0.3, WinB - 0.3, -3.4>, <WinR + 0.3, WinB, -2.6> texture { Stone } }
  translate <0, 0, %.4f>
}
object { Crag(30, 16, 14, 44) translate <0, -16, %.4f> }
)", left, right, bottom, top, kTower, kTower + 4);
}

// The boathouse's workbench from above: the nets heaped on it; with `key` the gate's iron
// key lies half out from under them.
std::string WorkbenchScene(const ShoreState& state)
{
    const FlatCamera camera{2.4, 35, 60};
    constexpr double kTop = 0.9;
    double frontLeft, front, frontRight, back, ignored, keyX, keyZ;
    camera.OnLevel(262, 420, kTop, &frontLeft, &front);
    camera.OnLevel(762, 420, kTop, &frontRight, &ignored);
    camera.OnLevel(512, 250, kTop, &ignored, &back);
    camera.OnLevel(512, 282, kTop, &keyX, &keyZ);
    const double width = (frontRight - frontLeft) * 1.5;  // the bench runs on past the view's sides
    std::string scene = Begin(camera) + Format(R"(
background { rgb 0.01 }
plane { y, 0 texture { Planks scale 1.5 } }
plane { -z, -%.4f texture { ShedBoards } }
#declare BenchTop = %.4f;
// The bench: a thick top on legs, the vice at the right end, tools along the back.
union {
  box { <-%.4f, BenchTop - 0.09, %.4f>, <%.4f, BenchTop, %.4f> texture { Wood scale 4 rotate <0, 90, 0> } }
  box { <-%.4f, 0, %.4f>, <-%.4f, BenchTop - 0.09, %.4f> texture { Wood scale 3 } }
  box { <%.4f, 0, %.4f>, <%.4f, BenchTop - 0.09, %.4f> texture { Wood scale 3 } }
}
#declare BenchLeft = %.4f; #declare BenchRight = %.4f; #declare BenchFront = %.4f; #declare BenchBack = %.4f;
)", back + 0.05, kTop, width / 2, front, width / 2, back, width / 2 - 0.05, front + 0.05, width / 2 - 0.15,
                                               front + 0.15, width / 2 - 0.15, front + 0.05, width / 2 - 0.05,
                                               front + 0.15, -width / 2, width / 2, front, back);
    scene += R"(
union {
  box { <-0.1, BenchTop, BenchFront + 0.05>, <0.1, BenchTop + 0.1, BenchFront + 0.15> }
  box { <-0.1, BenchTop - 0.12, BenchFront - 0.02>, <0.1, BenchTop + 0.1, BenchFront + 0.04> }
  cylinder { <0, BenchTop + 0.03, BenchFront - 0.3>, <0, BenchTop + 0.03, BenchFront + 0.1>, 0.014 }
  cylinder { <-0.13, BenchTop + 0.03, BenchFront - 0.3>, <0.13, BenchTop + 0.03, BenchFront - 0.3>, 0.011 }
  texture { DarkIron }
  translate <BenchRight - 0.3, 0, 0>
}
// A mallet, a plane and a tar pot to the left, a coil of line at the back.
union {
  cylinder { <-0.11, 0.045, 0>, <0.11, 0.045, 0>, 0.045 }
  cylinder { <0, 0.02, 0>, <0, 0.02, 0.3>, 0.013 }
  texture { Wood scale 2 }
  rotate <0, 40, 0> translate <BenchLeft + 0.35, BenchTop, BenchFront + 0.2>
}
box { <-0.035, 0, -0.11>, <0.035, 0.065, 0.11> texture { Wood scale 2 } rotate <0, -70, 0> translate <BenchRight - 0.75, BenchTop, BenchBack - 0.2> }
cylinder { <0, 0, 0>, <0, 0.14, 0>, 0.07 texture { DarkIron } translate <BenchLeft + 0.2, BenchTop, BenchBack - 0.15> }
torus { 0.09, 0.02 translate <BenchLeft + 0.6, BenchTop + 0.02, BenchBack - 0.15> pigment { rgb <0.5, 0.42, 0.28> } normal { quilted 0.6 scale 0.01 } }
// The nets heaped on the bench, one fold lying over the place of the key.
union {
  #local R = seed(33);
  #for (I, 0, 6)
    sphere { 0, 1 scale <0.16 + 0.08 * rand(R), 0.05 + 0.03 * rand(R), 0.12 + 0.05 * rand(R)>
      translate <0.32 + (rand(R) - 0.5) * 0.3, 0, (rand(R) - 0.5) * 0.2> }
  #end
  texture { pigment { rgb <0.30, 0.26, 0.19> } normal { quilted 1 control0 0.3 control1 0.3 scale 0.012 } finish { diffuse 0.8 } }
  translate <KeyX, BenchTop, KeyZ>
}
// Tools on the wall behind: a saw and two chisels on nails.
union {
  prism { linear_sweep linear_spline 0, 0.005, 4, <0, 0>, <0.5, 0.05>, <0.5, 0.13>, <0, 0.13> rotate <-90, 0, 0> translate <-0.25, 0.2, 0> }
  texture { pigment { rgb <0.45, 0.45, 0.47> } finish { specular 0.5 metallic } }
  translate <BenchLeft + 0.6, BenchTop + 0.05, BenchBack>
}
// The lamp over the bench.
light_source { <0.2, 2.0, BenchFront - 0.1>, rgb <1.0, 0.76, 0.48> * 1.2 fade_distance 1.5 fade_power 1.5
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0, 0.2>, 2, 2 adaptive 0 #end }
light_source { <-2, 3, -2>, rgb <0.18, 0.22, 0.34> shadowless }
)";
    scene = Format("#declare KeyX = %.4f; #declare KeyZ = %.4f;\n", keyX, keyZ) + scene;
    if (state.itemThere) scene += "object { IronKey() scale 1.3 rotate <0, -20, 0> translate <KeyX - 0.04, BenchTop + 0.01, KeyZ> }\n";
    return scene;
}

// The tool rack on the boathouse wall, square on: the tools on their pegs; with `crank` the
// crank handle hangs on the middle peg.
std::string ToolRackScene(const ShoreState& state)
{
    const FlatCamera camera{1.45, 0, 60};
    constexpr double kWall = 1.9;
    double left, top, right, bottom, ignored, rail;
    camera.OnWall(300, 100, kWall, &left, &top);
    camera.OnWall(724, 420, kWall, &right, &bottom);
    camera.OnWall(512, 196, kWall, &ignored, &rail);
    std::string scene = Begin(camera) + Format(R"(
background { rgb 0.01 }
plane { y, 0 texture { Planks scale 1.5 } }
plane { -z, -%.4f texture { ShedBoards } }
#declare Rail = %.4f;
object { ToolRack(%.4f, %.4f, %.4f, Rail, 0) translate <0, 0, %.4f> }
cylinder { <0, Rail, %.4f>, <0, Rail + 0.02, %.4f>, 0.014 texture { Wood } }
light_source { <-0.1, 1.7, 0.1>, rgb <1.0, 0.78, 0.5> * 1.3 fade_distance 2 fade_power 1.5
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0.2, 0>, 2, 2 adaptive 0 #end }
light_source { <1.5, 1.5, -1>, rgb <0.18, 0.22, 0.34> shadowless }
)", kWall + 0.06, rail, right - left, top, bottom, kWall, kWall - 0.06, kWall - 0.16);
    if (state.itemThere)
        scene += Format("object { CrankHandle() scale 0.5 rotate <0, -25, 0> rotate <0, 0, 6> translate <0, Rail + 0.01, %.4f> }\n",
                        kWall - 0.1);
    return scene;
}

// The sea door in the cliff face, shut or open on the dark passage.
std::string SeaDoorScene(const ShoreState& state)
{
    const FlatCamera camera{1.6, 0, 60};
    const Upright door = UprightIn(camera, 380, 40, 644, 430);
    return Begin(camera) + kCloseSky + "SeaAt(-0.9)\n" +
           Format(R"(
cylinder { <0, -40, 0>, <0, 0, 0>, %.4f texture { Rock scale 2 } }
object { SeaCliff(%.4f, %.4f, %.0f) translate <0, 0, %.4f> }
object { Crag(2, 0.7, 1.5, 18) translate <-3.4, 0, 5> }
)", door.distance + 4, door.width, door.height, state.seaDoorOpen ? 1.0 : 0.0, door.distance);
}

// The rock pool under the sea door, from above: still water, weed and stones; with `watch`
// the keeper's pocket watch lies on its floor.
std::string RockPoolScene(const ShoreState& state)
{
    const FlatCamera camera{1.4, 30, 60};
    double left, near, right, far, ignored, watchX, watchZ;
    camera.OnLevel(200, 430, 0, &left, &near);
    camera.OnLevel(824, 430, 0, &right, &ignored);
    camera.OnLevel(512, 282, 0, &ignored, &far);
    // The watch lies on the pool's floor under the pixel in the middle of its block: the
    // floor's depth there, found by following the pixel's ray down to it.
    const double width = (right - left) * 0.95, depth = far - near;
    const double bowl = std::min(0.45, 0.35 * std::min(width, depth)) - 0.01;  // as PoolDepth
    double floor = -bowl / 2;
    for (int i = 0; i < 24; ++i) {
        camera.OnLevel(512, 355, floor, &watchX, &watchZ);
        const double ex = watchX / (width / 2), ez = (watchZ - near - depth / 2) / (depth / 2);
        floor = (floor + 0.02 - bowl * std::sqrt(std::max(0.05, 1 - ex * ex - ez * ez))) / 2;
    }
    std::string scene = Begin(camera) + kCloseSky + Format(R"(
difference { box { <-20, -1, -5>, <20, 0, 30> } object { PoolBowl(%.4f, %.4f) translate <0, 0, %.4f> } texture { Rock } }
object { RockPool(%.4f, %.4f) translate <0, 0, %.4f> }
)", width, depth, near, width, depth, near);
    if (state.itemThere)
        scene += Format(R"(
union {
  cylinder { <0, 0, 0>, <0, 0.012, 0>, 0.03 texture { Brass } }
  cylinder { <0, 0.012, 0>, <0, 0.014, 0>, 0.026 pigment { rgb <0.85, 0.82, 0.72> } finish { specular 0.8 roughness 0.01 } }
  cylinder { <0, 0.006, 0.03>, <0, 0.006, 0.037>, 0.006 texture { Brass } }
  torus { 0.008, 0.0018 rotate <90, 0, 0> translate <0, 0.006, 0.045> texture { Brass } }
  #for (I, 0, 10)
    sphere { <0.01 * sin(I * 0.7) + 0.004 * I, 0.003, 0.05 + 0.006 * I>, 0.0025 texture { Brass } }
  #end
  scale 1.9 rotate <0, 30, 0> translate <%.4f, %.4f, %.4f>
}
)", watchX, floor + 0.004, watchZ);
    return scene;
}

}  // namespace

std::string ShoreViewScene(int screen, const ShoreState& state)
{
    switch (screen) {
    case 151: return BenchScene();
    case 152: return PadlockScene(state);
    case 153: return TowerViewScene();
    case 154: return WorkbenchScene(state);
    case 155: return ToolRackScene(state);
    case 156: return SeaDoorScene(state);
    case 157: return RockPoolScene(state);
    default: throw Error("the shore has no close view numbered " + std::to_string(screen));
    }
}

}  // namespace world_render::shore
