#include <cmath>
#include <string>

#include "core/error.h"
#include "game/assets/render_shore_layout.h"
#include "game/assets/render_shore_scenes.h"
#include "game/assets/world_art.h"
#include "render/kit.h"

namespace world_render::shore {

namespace {

namespace wc = world_content;
using render::Format;

// The close views of the flats stand at half ebb: wet sand, pools, the water off a way.
constexpr const char* kFlatsGround = R"(
DuskSky(200, 35, 3.6, 1.0)
SeaAt(-0.45)
sphere { 0, 1 scale <120, 3, 120> translate <0, -3, 0> texture { WetSand } }
)";

std::string Begin(const FlatCamera& camera)
{
    return camera.Text() + ShoreKit() + ShoreFixtureMacros() + FlatsKit();
}

std::string Setting(const int* wheels)
{
    return Format("#declare Setting = array[5] { %.0f, %.0f, %.0f, %.0f, %.0f };\n", wheels[0], wheels[1], wheels[2],
                  wheels[3], wheels[4]);
}

// The light on the clock's face: a lantern above left and the moon; the wheel strip is lit the
// same way, so that its frames match the windows of the close view.
constexpr const char* kClockLight = R"(
light_source { <-3, 4, -4> * 100, rgb <1.0, 0.82, 0.58> * 0.9 parallel point_at 0 }
light_source { <4, 2, -5> * 100, rgb <0.25, 0.30, 0.45> * 0.6 parallel point_at 0 shadowless }
)";

}  // namespace

// The tide clock close to: its brass front plate with the five wheel windows where the world's
// wheel cells lie, the lever in its slot at the right, the cogs and the iron case.
std::string TideClockScene(const int* setting)
{
    const FlatCamera camera{1.0, 0, 50};
    constexpr double kPlate = 1.2;
    const wc::KeyPanel* panel = nullptr;
    for (const wc::KeyPanel& p : wc::Art().keyPanels)
        if (p.screen == 650) panel = &p;
    if (panel == nullptr) throw Error("the world has no wheels for the tide clock's close view 650");
    double left, top, right, bottom, x0, y0, x1, y1;
    camera.OnWall(330, 100, kPlate, &left, &top);
    camera.OnWall(1000, 420, kPlate, &right, &bottom);
    camera.OnWall(panel->x, panel->y, kPlate, &x0, &y0);
    camera.OnWall(panel->x + panel->w, panel->y + panel->h, kPlate, &x1, &y1);
    const double scale = (x1 - x0) / 0.2;  // the wheel model's cell is 0.2 across
    std::string scene = Begin(camera) + kFlatsGround + Setting(setting) + kClockLight;
    scene += Format(R"(
#declare PlateL = %.4f; #declare PlateR = %.4f; #declare PlateT = %.4f; #declare PlateB = %.4f; #declare PlateZ = %.4f;
// The iron case and its plinth.
box { <PlateL - 0.12, -3, PlateZ - 0.01>, <PlateR + 0.12, PlateT + 0.1, PlateZ + 1> texture { DarkIron } }
box { <PlateL - 0.4, -3, PlateZ - 0.2>, <PlateR + 0.4, PlateB - 0.06, PlateZ + 1.2> texture { Blocks scale 0.6 } }
box { <PlateL - 0.16, PlateT + 0.1, PlateZ - 0.05>, <PlateR + 0.16, PlateT + 0.16, PlateZ + 1> texture { DarkIron } }
// The front plate, engraved with its name, riveted at the edges.
difference {
  box { <PlateL, PlateB, PlateZ - 0.012>, <PlateR, PlateT, PlateZ> }
  text { ttf "timrom.ttf" "KELVANE FLATS  TIDE CLOCK" 0.02, 0 scale 0.055 translate <PlateL + 0.12, PlateT - 0.09, PlateZ - 0.016> }
  texture { Brass }
}
#for (I, 0, 11)
  sphere { <PlateL + 0.03 + I * (PlateR - PlateL - 0.06) / 11, PlateT - 0.03, PlateZ - 0.012>, 0.008 texture { Brass } }
  sphere { <PlateL + 0.03 + I * (PlateR - PlateL - 0.06) / 11, PlateB + 0.03, PlateZ - 0.012>, 0.008 texture { Brass } }
#end
)", left, right, top, bottom, kPlate);
    for (int k = 0; k < 5; ++k) {
        double cx, cy;
        camera.OnWall(panel->x + k * panel->dx + panel->w / 2.0, panel->y + panel->h / 2.0, kPlate, &cx, &cy);
        scene += Format("object { TideWheel(Setting[%.0f]) scale %.4f translate <%.4f, %.4f, %.4f> }\n", k, scale, cx, cy,
                        kPlate - 0.0121);
    }
    // The lever: a brass arm from its pivot low in the slot, the knob near the slot's top.
    double lx0, ly0, lx1, ly1;
    camera.OnWall(wc::Art().tideLever[0], wc::Art().tideLever[1], kPlate, &lx0, &ly0);
    camera.OnWall(wc::Art().tideLever[2], wc::Art().tideLever[3], kPlate, &lx1, &ly1);
    scene += Format(R"(
#declare LeverX = %.4f; #declare LeverTop = %.4f; #declare LeverBottom = %.4f; #declare LeverW = %.4f;
box { <LeverX - LeverW * 0.12, LeverBottom + 0.02, PlateZ - 0.013>, <LeverX + LeverW * 0.12, LeverTop - 0.02, PlateZ - 0.011> pigment { rgb 0.01 } }
union {
  cylinder { <LeverX, LeverBottom + 0.05, PlateZ - 0.03>, <LeverX, LeverBottom + 0.05, PlateZ - 0.06>, LeverW * 0.28 }
  cylinder { <LeverX, LeverBottom + 0.05, PlateZ - 0.05>, <LeverX + 0.02, LeverTop - 0.09, PlateZ - 0.14>, LeverW * 0.08 }
  sphere { <LeverX + 0.02, LeverTop - 0.07, PlateZ - 0.15>, LeverW * 0.2 }
  texture { Brass }
}
// The cogs at either end of the case, and the shaft down to the sluices.
#for (Side, -1, 1, 2)
  union {
    cylinder { <0, 0, -0.03>, <0, 0, 0.03>, 0.3 }
    #for (T, 0, 29)
      box { <-0.015, 0.29, -0.03>, <0.015, 0.34, 0.03> rotate <0, 0, T * 12> }
    #end
    difference { cylinder { <0, 0, -0.035>, <0, 0, 0.035>, 0.22 } #for (H, 0, 5) cylinder { <0, 0.13, -1>, <0, 0.13, 1>, 0.05 rotate <0, 0, H * 60> } #end }
    cylinder { <0, 0, -0.08>, <0, 0, 0.08>, 0.04 }
    texture { Brass }
    translate <(Side < 0 ? PlateL - 0.3 : PlateR + 0.3), (PlateT + PlateB) / 2, PlateZ + 0.1>
  }
#end
)", (lx0 + lx1) / 2, ly0, ly1, lx1 - lx0);
    return scene;
}

namespace {

// The wreck lying on the sand: its hull on its side, the deckhouse door facing the eye.
std::string WreckScene()
{
    const FlatCamera camera{1.6, 0, 60};
    const Upright wreck = UprightIn(camera, 380, 60, 644, 430);
    // The deckhouse is 0.3 of the hull's length across; its roof is the top of the wreck.
    return Begin(camera) + kFlatsGround +
           Format("object { Wreck(%.4f, %.4f) translate <0, 0, %.4f> }\n", wreck.width / 0.3, wreck.height,
                  wreck.distance - wreck.height * 0.2);
}

// The tide marker post on the flats, its marks cut in it, the island beyond.
std::string MarkerScene()
{
    const FlatCamera camera{1.6, 0, 60};
    const Upright post = UprightIn(camera, 470, 40, 554, 430);
    return Begin(camera) + kFlatsGround +
           Format("object { MarkerPost(%.4f, %.4f) translate <0, 0, %.4f> }\n"
                  "object { Observatory(0) translate <0, 1, 80> rotate <0, 35, 0> }\n",
                  post.width * 1.6, post.height - 0.15, post.distance);
}

// The skylight of the drowned hall standing dry at the lowest ebb.
std::string SkylightScene()
{
    const FlatCamera camera{1.6, 0, 60};
    const Upright light = UprightIn(camera, 312, 60, 712, 400);
    return Begin(camera) + "DuskSky(200, 35, 3.6, 1.0)\nSeaAt(-2.5)\n" +
           "sphere { 0, 1 scale <160, 4, 160> translate <0, -4, 0> texture { WetSand } }\n" +
           Format("object { Skylight(%.4f, %.4f) translate <0, 0, %.4f> }\n", light.width, light.height - 0.1,
                  light.distance) +
           "object { Crag(2, 0.6, 2, 19) translate <-4, 0, 7> texture { Weed } }\n";
}

// The tide gauge: its marked board on the iron post at the foot of the steps.
std::string GaugeScene()
{
    const FlatCamera camera{1.6, 0, 60};
    const Upright gauge = UprightIn(camera, 460, 30, 564, 430);
    return Begin(camera) + kFlatsGround +
           Format("object { GaugePost(%.4f, %.4f) translate <0, 0, %.4f> }\n", gauge.width, gauge.height - 0.15,
                  gauge.distance);
}

// The island from the sea: its rock, the landing and the stairs, the observatory on top.
constexpr const char* kIsland = R"(
#macro Island(LampLit)
  union {
    object { Observatory(LampLit) }
    object { Crag(70, 10, 30, 51) translate <0, -6, -6> }
    object { Crag(40, 6, 20, 52) translate <-30, -4, -12> }
    object { Crag(30, 5, 20, 53) translate <28, -4, -14> }
  }
#end
)";

}  // namespace

std::string TideViewScene(int screen)
{
    switch (screen) {
    case 650: return TideClockScene(wc::Art().highWater);
    case 651: return WreckScene();
    case 652: return MarkerScene();
    case 653: return SkylightScene();
    case 654: return GaugeScene();
    default: throw Error("the flats have no close view numbered " + std::to_string(screen));
    }
}

std::string TideWheelStripScene(int values, int frameWidth, int frameHeight)
{
    // One cell of the wheel model is 0.2 across; the frames are side by side at that scale.
    const double cellW = 0.2, cellH = 0.2 * frameHeight / frameWidth;
    std::string scene = Format(
        "camera { orthographic location <%.4f, 0, -3> look_at <%.4f, 0, 0> right x * %.4f up y * %.4f }\n",
        cellW * (values - 1) / 2.0, cellW * (values - 1) / 2.0, cellW * values, cellH);
    scene += ShoreKit() + FlatsKit() + kClockLight;
    scene += "background { rgb <0.12, 0.09, 0.05> }\n";
    for (int k = 0; k < values; ++k) scene += Format("object { TideWheel(%.0f) translate <%.4f, 0, 0> }\n", k, k * cellW);
    return scene;
}

std::string BoatScene()
{
    const FlatCamera camera{1.2, -3, 55};
    return Begin(camera) + kIsland + R"(
DuskSky(-17, 9, 1.8, 1.0)
SeaAt(0)
object { Island(0) scale 1.3 translate <0, 0, 230> rotate <0, 8, 0> }
// The boat: a small open boat crossing from the right, the boatman at the oars.
union {
  difference {
    sphere { 0, 1 scale <0.8, 0.5, 2.4> }
    sphere { 0, 1 scale <0.72, 0.44, 2.3> }
    plane { -y, 0 }
    texture { Tarred scale 0.4 }
  }
  box { <-0.7, -0.1, -0.2>, <0.7, -0.05, 0.2> texture { Wood } }
  // The boatman, hunched in his coat, and his oars.
  union {
    cylinder { <0, -0.1, 0>, <0, 0.55, 0.05>, 0.2 }
    sphere { <0, 0.7, 0.08>, 0.12 }
    cone { <0, 0.8, 0.08>, 0.16, <0, 0.9, 0.08>, 0.0 }
    pigment { rgb <0.06, 0.06, 0.07> }
  }
  cylinder { <-0.2, 0.3, 0.2>, <-1.9, -0.25, 0.6>, 0.025 texture { Wood } }
  cylinder { <0.2, 0.3, 0.2>, <1.9, -0.25, 0.6>, 0.025 texture { Wood } }
  // A lantern, unlit, on the stern.
  cylinder { <0, 0, -2.2>, <0, 0.5, -2.2>, 0.02 texture { DarkIron } }
  rotate <0, -80, 0> translate <1.5, 0.3, 11>
}
)";
}

std::string CausewayScene()
{
    const FlatCamera camera{1.7, 4, 60};
    std::string scene = Begin(camera) + kIsland + R"(
DuskSky(35, 20, 2.2, 1.0)
plane { y, -0.3 texture { Sea normal { waves 0.9 frequency 1.4 scale <2, 1, 1.2> turbulence 0.5 } } }
object { Island(0) translate <0, 0, 95> }
// The stairs up from the end of the causeway.
object { StairsUp(4, 8, 6) translate <0, 0, 50> }
// Foam where the waves break over the stones.
#declare Foam = texture { pigment { granite colour_map { [0 rgbt 1] [0.55 rgbt 1] [0.7 rgbt <0.8, 0.85, 0.9, 0.3>] [1 rgb <0.85, 0.9, 0.95>] } scale 0.4 } finish { diffuse 0.9 } }
)";
    // The causeway: flat-topped stones in a line out to the island, awash at their sides.
    for (int i = 0; i < 34; ++i) {
        const double z = 1.5 + i * 1.45, x = std::sin(i * 1.7) * 0.12;
        scene += Format("object { Boulder(%.0f) scale <1.3, 0.55, 0.7> translate <%.4f, -0.25, %.4f> texture { Stone } }\n",
                        300 + i, x, z);
        scene += Format("cylinder { <%.4f, -0.29, %.4f>, <%.4f, -0.24, %.4f>, 1.1 texture { Foam } }\n", x, z, x, z);
    }
    return scene;
}

std::string DawnScene()
{
    const FlatCamera camera{2.0, -4, 55};
    return camera.Text() + ShoreKit() + ShoreFixtureMacros() + kIsland + R"(
// Dawn: a pale gold sky over the sea, the sun just under the horizon behind the island.
sky_sphere {
  pigment { gradient y colour_map { [0 rgb <1.0, 0.55, 0.28>] [0.06 rgb <0.92, 0.62, 0.45>] [0.2 rgb <0.55, 0.55, 0.70>] [1 rgb <0.25, 0.32, 0.55>] } }
  pigment { spherical colour_map { [0 rgbt 1] [1 rgbt <1.0, 0.85, 0.55, 0>] } scale 0.6 translate <0.3, 0, 1> }
}
light_source { <300, 60, 2000>, rgb <1.0, 0.78, 0.55> * 1.2 parallel point_at 0 }
light_source { <-500, 2000, -800>, rgb <0.35, 0.40, 0.55> shadowless }
SeaAt(0)
object { Island(1) translate <-8, 0, 140> }
// Gulls over the water.
object { Gull() scale 0.6 translate <-6, 9, 40> }
object { Gull() scale 0.5 rotate <0, 0, 10> translate <-3, 11, 45> }
object { Gull() scale 0.4 translate <8, 14, 60> }
)";
}

}  // namespace world_render::shore
