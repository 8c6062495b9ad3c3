// The films' scenes: each place of a film built as a small scene lit directly (no radiosity:
// every frame is rendered), moving with T from 0 to 1. The places follow the world's
// descriptions: the island called the Lamp with its observatory, the gate in the shore wall,
// the flooded cistern with its pump and sea gate, the tide flats and the skylight the lowest
// ebb uncovers, the tower's barred hatch, the gallery's ring of lamps, the dome with its
// shutter and telescope, and the sea door of the drowned observatory.
#include <cmath>
#include <string>

#include "game/assets/render_films.h"
#include "render/kit.h"

namespace world_render {

std::string Moving() { return "clock"; }
std::string At(double t) { return render::Format("%.4f", t); }

std::vector<double> LampMoments()
{
    std::vector<double> moments;
    for (int k = 0; k < 36; ++k) moments.push_back(0.08 + 0.78 * k / 35.0);
    return moments;
}

namespace film_scenes {

namespace {

using render::Format;

// The materials, T, and Ease(A, B): 0 before T = A, 1 after T = B, smooth between.
std::string Head(const std::string& t)
{
    return render::Materials() + ("#declare T = " + t + ";\n") + R"(
#macro Ease(A, B)
  #local U = min(1, max(0, (T - A) / (B - A)));
  (U * U * (3 - 2 * U))
#end
#declare Glow = finish { ambient 0 diffuse 0 emission 1 }
)";
}

// A night sky with seeded stars and the full moon at `moonAzimuth` / `moonElevation`
// (degrees), with its cold light over the scene.
std::string NightSky(int seed, int stars, double moonAzimuth, double moonElevation, double moonlight)
{
    return Format(R"(
sky_sphere { pigment { gradient y colour_map { [0 rgb <0.05, 0.07, 0.11>] [0.15 rgb <0.025, 0.035, 0.07>] [1 rgb <0.006, 0.01, 0.025>] } } }
#declare StarSeed = seed(%.0f);
#for (I, 1, %.0f)
  #declare StarA = rand(StarSeed) * 360;
  #declare StarE = 4 + rand(StarSeed) * 80;
  #declare StarS = 2.0 + rand(StarSeed) * 3.0;
  sphere { <0, 0, 1000>, StarS pigment { rgb <0.9, 0.92, 1> } finish { Glow } no_shadow no_reflection rotate <-StarE, StarA, 0> }
#end
sphere { <0, 0, 900>, 26 pigment { rgb <1, 0.96, 0.84> } finish { ambient 0 diffuse 0 emission 1.3 } no_shadow rotate <-%.4f, %.4f, 0> }
light_source { <0, 0, 1000>, rgb <0.55, 0.62, 0.8> * %.4f rotate <-%.4f, %.4f, 0> }
)", seed, stars, moonElevation, moonAzimuth, moonlight, moonElevation, moonAzimuth);
}

// The island called the Lamp: a rock with the observatory on it (the tower, the gallery ring
// under the dome, the keeper's house), its base at the water, `lit` 0 .. 1 the gallery's lamps.
std::string Island(const std::string& lit)
{
    return R"(
#declare Lit = )" + lit + R"(;
#declare Island = union {
  sphere { <0, 0, 0>, 1 scale <62, 20, 44> translate <0, -6, 0> texture { Rock scale 6 } }
  sphere { <0, 0, 0>, 1 scale <26, 16, 22> translate <-4, 2, 4> texture { Rock scale 5 } }
  // The tower, the gallery with its windows and the dome.
  cylinder { <0, 10, 0>, <0, 33, 0>, 4.6 texture { Blocks scale 3 } }
  cylinder { <0, 33, 0>, <0, 33.8, 0>, 5.6 texture { Stone } }
  cylinder { <0, 33.8, 0>, <0, 37, 0>, 5.1 pigment { rgb <0.04, 0.04, 0.05> + Lit * <1.0, 0.72, 0.38> }
    finish { ambient 0 diffuse 0.3 emission Lit * 1.4 } }
  #for (I, 0, 11) box { <-0.25, 33.8, 4.9>, <0.25, 37, 5.4> rotate <0, I * 30, 0> texture { DarkIron } } #end
  cylinder { <0, 37, 0>, <0, 37.6, 0>, 5.5 texture { Stone } }
  sphere { <0, 37.6, 0>, 5.2 clipped_by { plane { -y, -37.6 } } texture { DarkIron } }
  // The keeper's house under the tower, one window lit with the gallery.
  box { <-19, 9, -7>, <-8, 15, 3> texture { Blocks scale 3 } }
  prism { linear_sweep linear_spline -7.5, 3.5, 4, <-20, 15>, <-7, 15>, <-13.5, 19>, <-20, 15> rotate <-90, 0, 0> scale <1, 1, -1> texture { Tarred scale 4 } }
  box { <-15, 11, -7.1>, <-13, 13, -6.9> pigment { rgb <0.02, 0.02, 0.03> + Lit * <0.9, 0.6, 0.3> } finish { ambient 0 emission Lit } }
}
)";
}

// A rowing boat's bow, from its stern thwart: planks, gunwales and the stem.
const char* const kBoatBow = R"(
#declare Bow = union {
  intersection {
    cylinder { <0, 0, -2>, <0, 0, 5>, 1 scale <0.95, 0.6, 1> }
    plane { y, 0 }
    cone { <0, 0, -1>, 1.4, <0, 0, 4.2>, 0.05 scale <1, 4, 1> }
    texture { Tarred scale 0.6 }
  }
  torus { 0.9, 0.04 scale <1, 1, 3.2> clipped_by { plane { -z, 0 } } translate <0, 0.02, 0.3> texture { Wood } }
  box { <-0.85, -0.05, 1.2>, <0.85, 0.02, 1.45> texture { Planks } }
  cylinder { <0, -0.55, 4.1>, <0, 0.25, 4.2>, 0.05 texture { Wood } }
}
)";

}  // namespace

std::string Crossing(const std::string& t)
{
    std::string scene = Head(t) + NightSky(11, 220, 25, 28, 0.9) + Island("0") + kBoatBow;
    scene += R"(
// The boat runs in towards the island; it rolls and pitches on the swell, the camera with it.
#declare Roll = 3.0 * sin(T * 2 * pi * 1.6);
#declare Pitch = 1.5 * sin(T * 2 * pi * 1.1 + 0.7);
#declare Ahead = T * 45;
camera { perspective location <0, 1.25, 0> look_at <0, 4.5, 100> right x * 2 up y angle 62
         rotate <Pitch, 0, Roll> translate <0, 0, Ahead> }
object { Bow translate <0, 0.35, 0.6> rotate <Pitch, 0, Roll> translate <0, 0, Ahead> }
plane { y, 0 texture { Sea translate <T * 3, 0, T * 9> } }
object { Island rotate <0, 20, 0> translate <-12, 0, 190> }
// Oars over the sides, dipping in turn.
#for (Side, -1, 1, 2)
  cylinder { <0, 0, 0>, <Side * 2.6, 0, 0>, 0.035 texture { Wood }
    rotate <0, Side * (-20 + 25 * sin(T * 2 * pi * 3)), Side * (-18 + 9 * cos(T * 2 * pi * 3))>
    translate <Side * 0.8, 0.45, 0.9> rotate <Pitch, 0, Roll> translate <0, 0, Ahead> }
#end
)";
    return scene;
}

std::string Beam(const std::string& t)
{
    std::string scene = Head(t) + NightSky(12, 220, -40, 30, 0.6) + Island("1");
    scene += R"(
camera { perspective location <-30 + T * 25, 3.5, -40 + T * 20> look_at <0, 20, 170> right x * 2 up y angle 55 }
plane { y, 0 texture { Sea translate <T * 2, 0, T * 6> } }
#declare Sweep = -75 + T * 110;
union {
  object { Island }
  // The beam from the gallery: two nested cones of glowing haze, turning.
  union {
    cone { <0, 0, 0>, 0.8, <0, 0, 320>, 26 hollow pigment { rgbt <1, 0.86, 0.55, 0.93> } finish { Glow } no_shadow }
    cone { <0, 0, 0>, 0.5, <0, 0, 320>, 12 hollow pigment { rgbt <1, 0.9, 0.65, 0.85> } finish { Glow } no_shadow }
    rotate <2, Sweep, 0> translate <0, 35.4, 0>
  }
  light_source { <0, 35.4, 0>, rgb <1, 0.85, 0.6> * 2.5 spotlight point_at <0, 0, 160> radius 8 falloff 16 shadowless rotate <0, Sweep, 0> }
  light_source { <0, 35.4, 0>, rgb <1, 0.8, 0.5> * 1.2 fade_distance 20 fade_power 2 shadowless }
  rotate <0, 15, 0> translate <0, 0, 170>
}
)";
    return scene;
}

std::string Gate(const std::string& t)
{
    std::string scene = Head(t) + NightSky(13, 160, 160, 35, 1.1);
    scene += R"(
#declare Swing = 98 * Ease(0.12, 0.86);
camera { perspective location <0.3 - T * 0.3, 1.7, -10 + T * 3> look_at <0, 2.7, 8> right x * 2 up y angle 62 }
// The ground: the path of worn flags up to the gate and the courtyard beyond, sand on either side.
plane { y, 0 texture { Sand scale 3 } }
box { <-1.3, -0.1, -12>, <1.3, 0.02, 20> texture { Stone scale 0.8 } }
// The shore wall, its gate pillars with their caps, and the padlock's chain hanging loose.
difference {
  box { <-14, 0, -0.3>, <14, 3.0, 0.3> }
  box { <-1.25, -1, -1>, <1.25, 4, 1> }
  texture { Blocks scale 1.2 }
}
#for (Side, -1, 1, 2)
  box { <-0.3, 0, -0.45>, <0.3, 3.5, 0.45> translate <Side * 1.55, 0, 0> texture { Stone } }
  sphere { <Side * 1.55, 3.75, 0>, 0.28 texture { Stone } }
#end
// The gate: two leaves of iron bars with rails and spear heads, swinging in on their hinges.
#declare Leaf = union {
  #for (I, 0, 7) cylinder { <0.08 + I * 0.152, 0.05, 0>, <0.08 + I * 0.152, 2.75, 0>, 0.022 }
    cone { <0.08 + I * 0.152, 2.75, 0>, 0.045, <0.08 + I * 0.152, 2.95, 0>, 0 } #end
  #for (H, 0, 2) box { <0, 0.25 + H * 1.1, -0.03>, <1.2, 0.33 + H * 1.1, 0.03> } #end
  box { <0, 0, -0.035>, <0.06, 2.8, 0.035> }
  texture { RustIron }
}
object { Leaf rotate <0, -Swing, 0> translate <-1.22, 0, 0.05> }
object { Leaf scale <-1, 1, 1> rotate <0, Swing, 0> translate <1.22, 0, 0.05> }
torus { 0.06, 0.012 rotate <90, 0, 0> translate <-0.05, 1.35 - 0.9 * Ease(0.05, 0.2), -0.1> texture { DarkIron } }
// The observatory across the courtyard: its round hall, the tower and dome, a lit doorway.
union {
  cylinder { <0, 0, 0>, <0, 7, 0>, 7 texture { Blocks scale 1.4 } }
  cylinder { <0, 7, 0>, <0, 7.4, 0>, 7.3 texture { Stone } }
  cylinder { <0, 7, 0>, <0, 16, 0>, 3 translate <0, 0, 1> texture { Blocks scale 1.4 } }
  sphere { <0, 16, 1>, 3.2 clipped_by { plane { -y, -16 } } texture { DarkIron } }
  box { <-1.1, 0, -7.1>, <1.1, 2.8, -6.6> pigment { rgb <1, 0.72, 0.4> } finish { ambient 0 diffuse 0 emission 1.2 } }
  box { <-3.6, 3.2, -6.3>, <-2.8, 4.6, -6.0> rotate <0, 8, 0> pigment { rgb <0.9, 0.6, 0.3> } finish { ambient 0 diffuse 0 emission 0.9 } }
  translate <0, 0, 22>
}
light_source { <0, 2.2, 14.3>, rgb <1.0, 0.72, 0.42> * 2.2 fade_distance 5 fade_power 2 shadowless }
)";
    return scene;
}

std::string Pump(const std::string& t)
{
    std::string scene = Head(t);
    scene += R"(
#declare Turn = T * 4 * 360;
#declare Level = -0.35 - 2.3 * Ease(0.12, 0.95);
camera { perspective location <-0.9 + T * 0.3, 1.8, -3.4> look_at <1.0, -0.4, 3> right x * 2 up y angle 72 }
background { rgb 0 }
// The cistern: a barrel vault of blocks over the upper walk and the deep basin beyond it.
difference {
  box { <-5, -3.4, -4>, <5, 4.6, 9> }
  union {
    box { <-4.5, 0, -3.6>, <4.5, 2.4, 8.6> }
    cylinder { <0, 2.4, -3.6>, <0, 2.4, 8.6>, 4.5 }
    box { <-4.5, -3.2, 0.6>, <4.5, 0.1, 8.6> }
  }
  texture { Blocks scale 0.8 }
}
box { <-4.6, -3.2, 0.5>, <4.6, -3.0, 8.7> texture { Stone } }
// Steps down into the basin along its left wall.
#for (I, 0, 9) box { <-4.5, -3 + I * 0.3, 0.6 + (9 - I) * 0.5>, <-3.4, -2.7 + I * 0.3, 8.6> texture { Stone } } #end
// The water, draining.
plane { y, Level clipped_by { box { <-4.5, -3.1, 0.6>, <4.5, 0.2, 8.6> } } texture { Water translate <0, 0, T * 2> } }
// A wet line where the water stood.
box { <-4.51, -0.42, 0.6>, <4.51, -0.35, 8.61> pigment { rgb <0.06, 0.07, 0.06> } }
// The pump on the walk: a base, the iron barrel, the flywheel turned by its crank, the rod
// going up and down, the suction pipe down into the basin and the spout over the channel.
union {
  box { <-0.4, 0, -0.4>, <0.4, 0.15, 0.4> texture { Stone } }
  cylinder { <0, 0.15, 0>, <0, 1.25, 0>, 0.2 texture { DarkIron } }
  cylinder { <0, 1.25, 0>, <0, 1.32, 0>, 0.25 texture { Brass } }
  cylinder { <0, 1.3 + 0.12 * sin(radians(Turn)), 0>, <0, 1.75 + 0.12 * sin(radians(Turn)), 0>, 0.03 texture { Brass } }
  box { <0.22, 0.85, -0.05>, <0.42, 1.05, 0.05> texture { DarkIron } }
  union {
    torus { 0.48, 0.035 rotate <0, 0, 90> }
    #for (S, 0, 5) cylinder { <0, 0, 0>, <0, 0.47, 0>, 0.018 rotate <S * 60, 0, 0> } #end
    cylinder { <-0.05, 0, 0>, <0.05, 0, 0>, 0.07 }
    cylinder { <0, 0, 0>, <0.12, 0, 0>, 0.03 translate <0.05, 0.4, 0> }
    cylinder { <0, 0, 0>, <0.18, 0, 0>, 0.03 translate <0.17, 0.4, 0> texture { Wood } }
    texture { RustIron }
    rotate <Turn, 0, 0> translate <0.5, 0.95, 0>
  }
  cylinder { <0, 0.35, 0.15>, <0, 0.35, 0.75>, 0.07 texture { RustIron } }
  cylinder { <0, 0.35, 0.75>, <0, -2.9, 0.75>, 0.07 texture { RustIron } }
  cylinder { <-0.18, 1.05, 0>, <-0.9, 1.05, 0>, 0.05 texture { RustIron } }
  // The water gushing from the spout at each stroke.
  cylinder { <-0.9, 1.0, 0>, <-0.9, 0.0, 0>, 0.035 * (0.4 + 0.6 * max(0, sin(radians(Turn)))) * (T > 0.05 & T < 0.97)
    pigment { rgbf <0.55, 0.62, 0.62, 0.5> } finish { specular 0.6 } no_shadow }
  translate <1.3, 0, -0.15>
}
box { <0.2, -0.2, -1.2>, <0.6, 0.01, 0.3> pigment { rgb 0.03 } }
// The hand lamp's light from beside the eye, and a faint cold light down the shaft of the stair.
light_source { <-1.4, 2.0, -3.0>, rgb <1.0, 0.74, 0.45> * 2.6 fade_distance 4 fade_power 2 }
light_source { <2, 4, 7>, rgb <0.3, 0.38, 0.5> * 0.5 shadowless }
)";
    return scene;
}

std::string SeaGate(const std::string& t)
{
    std::string scene = Head(t);
    scene += R"(
#declare Burst = 0.22;
#declare After = max(0, T - Burst);
#declare Shake = 0.05 * (T > Burst) * exp(-After * 4);
camera { perspective location <0.4 + Shake * sin(T * 377), 1.7 + Shake * sin(T * 291 + 1), -1.8 + T * 0.5>
         look_at <0, 1.5, 9> right x * 2 up y angle 64 }
background { rgb 0 }
// The far end of the cistern: a vault of blocks, the walk along the flooded basin, and the
// sea gate's arch with the sea cave behind it.
#declare GateHole = union { box { <-1.5, 0, 8>, <1.5, 2.2, 11> } cylinder { <0, 2.2, 8>, <0, 2.2, 11>, 1.5 } }
difference {
  box { <-4.5, -1.5, -3>, <4.5, 5, 9> }
  box { <-4, -1.6, -2.5>, <4, 2.8, 8.5> }
  cylinder { <0, 2.8, -2.5>, <0, 2.8, 8.5>, 4 }
  object { GateHole }
  texture { Blocks scale 0.8 }
}
box { <-4, -0.3, -2.5>, <-1.6, 0, 8.5> texture { Stone } }
box { <1.6, -0.3, -2.5>, <4, 0, 8.5> texture { Stone } }
difference { box { <-2.2, -1.5, 8.5>, <2.2, 4, 14> } box { <-1.5, -2, 8.4>, <1.5, 2.2, 14.5> } cylinder { <0, 2.2, 8.4>, <0, 2.2, 14.5>, 1.5 } texture { Rock } }
plane { y, -0.45 + 0.55 * Ease(Burst + 0.05, 0.9) texture { Water translate <0, 0, -T * 6> } }
// The cave's sea light behind the gate.
light_source { <0, 1.5, 13>, rgb <0.35, 0.55, 0.6> * 1.4 fade_distance 5 fade_power 1 shadowless }
// The gate: a heavy grid of iron in a frame, bursting in off its hinges and falling.
union {
  #for (I, -4, 4) cylinder { <I * 0.33, -0.4, 0>, <I * 0.33, 3.6, 0>, 0.045 } #end
  #for (H, 0, 5) box { <-1.5, -0.3 + H * 0.7, -0.05>, <1.5, -0.2 + H * 0.7, 0.05> } #end
  texture { RustIron }
  clipped_by { object { GateHole scale <0.99, 1, 1> translate <0, 0, -8.3> } }
  rotate <-80 * Ease(Burst, Burst + 0.18), 0, 12 * Ease(Burst, Burst + 0.25)>
  translate <0.3 * Ease(Burst, 0.5), -0.8 * Ease(Burst + 0.1, 0.5), 8.3 - 3.5 * Ease(Burst, Burst + 0.2)>
}
// The sea pouring in: a tongue of foaming water through the arch, spreading over the walk.
#declare Foam = texture {
  pigment { bozo turbulence 0.9 colour_map { [0 rgb <0.8, 0.85, 0.85>] [0.45 rgb <0.2, 0.3, 0.32>] [1 rgb <0.88, 0.92, 0.92>] }
            scale 0.35 translate <0, 0, -T * 25> }
  normal { bumps 0.8 scale 0.2 translate <0, 0, -T * 25> }
  finish { ambient 0.05 diffuse 0.7 specular 0.5 roughness 0.02 }
}
#declare Reach = 8.8 - 6.3 * Ease(Burst, Burst + 0.35);
#if (T > Burst)
  #declare Crest = 2.2 * (1 - 0.55 * Ease(Burst + 0.2, 1));
  #declare Sl = (Crest + 0.45) / max(0.3, 8.6 - Reach);
  union {
    intersection { box { <-1.45, -0.45, Reach>, <1.45, Crest, 13> }
                   plane { <0, 1, -Sl>, (-0.45 - Sl * Reach) / vlength(<0, 1, -Sl>) } }
    intersection { box { <-4, -0.45, Reach + 0.6>, <4, 0.5, 8.6> }
                   plane { <0, 1, -Sl * 0.4>, (-0.45 - Sl * 0.4 * (Reach + 0.6)) / vlength(<0, 1, -Sl * 0.4>) } }
    texture { Foam }
  }
  #declare SpraySeed = seed(7);
  #for (I, 1, 30)
    #declare Born = Burst + rand(SpraySeed) * 0.5;
    #declare V = <rand(SpraySeed) * 4 - 2, 1.5 + rand(SpraySeed) * 3, -2 - rand(SpraySeed) * 3>;
    #declare Age = (T - Born) * 7;
    #if (Age > 0 & Age < 1.1)
      sphere { <0, 1.2, 8.6> + V * Age - <0, 4.9, 0> * Age * Age, 0.05 + rand(SpraySeed) * 0.08
        pigment { rgb <0.8, 0.86, 0.88> } finish { ambient 0.2 diffuse 0.6 specular 0.6 } no_shadow }
    #else
      #declare Skip = rand(SpraySeed);
    #end
  #end
#end
light_source { <-1.2, 2.0, -1.5>, rgb <1.0, 0.74, 0.45> * 2.2 fade_distance 3.5 fade_power 2 }
)";
    return scene;
}

std::string Tide(const std::string& t, int from, int to)
{
    // The water's height at each tide over flats that slope down from the landing.
    const double levels[5] = {0, 1.51, 0.79, 0.07, -0.77};
    std::string scene = Head(t) + NightSky(14, 200, 28, 22, 0.75);
    scene += Format(R"(
#declare Level = %.4f + (%.4f - %.4f) * Ease(0.08, 0.92);
#declare Slope = 0.12;
)", levels[from], levels[to], levels[from]);
    scene += R"(
camera { perspective location <-2 + T * 1.5, 4.6, -4> look_at <-3 + T * 6, -0.8, 20> right x * 2 up y angle 66 }
// The flats: sand falling gently away from the landing, with bars, ripples and rocks.
#declare WetSand = texture {
  pigment { granite colour_map { [0 rgb <0.36, 0.3, 0.2>] [0.6 rgb <0.42, 0.35, 0.24>] [1 rgb <0.3, 0.26, 0.18>] } scale 0.5 }
  normal { ripples 0.4 frequency 6 scale <4, 1, 1.5> turbulence 0.4 }
  finish { diffuse 0.6 specular 0.08 roughness 0.06 }
}
plane { <0, 1, Slope>, 1.75 / vlength(<0, 1, Slope>) texture { WetSand } }
#declare RockSeed = seed(21);
#for (I, 1, 26)
  #declare RZ = 3 + rand(RockSeed) * 30;
  sphere { <0, 0, 0>, 1 scale <0.5 + rand(RockSeed), 0.35 + rand(RockSeed) * 0.5, 0.5 + rand(RockSeed)>
           translate <-14 + rand(RockSeed) * 28, 1.75 - Slope * RZ, RZ> texture { Rock } }
#end
// The landing's stair and the cliff of the island on the left.
#for (I, 0, 8) box { <-9, -1, -4 + I * 0.6>, <-7, 3.2 - I * 0.38, -3.4 + I * 0.6> texture { Stone } } #end
sphere { <0, 0, 0>, 1 scale <8, 14, 26> translate <-17, 0, 6> texture { Rock scale 3 } }
// The tide marker: a post painted in bands, one band to each tide.
union {
  cylinder { <0, -2, 0>, <0, 2.6, 0>, 0.14 pigment { gradient y colour_map { [0 rgb <0.8, 0.78, 0.7>] [0.5 rgb <0.8, 0.78, 0.7>] [0.5 rgb <0.08, 0.07, 0.07>] [1 rgb <0.08, 0.07, 0.07>] } scale 1.1 } }
  sphere { <0, 2.7, 0>, 0.2 texture { DarkIron } }
  translate <3.2, 1.75 - Slope * 12, 12>
}
// The drowned observatory's skylight, a glass dome ribbed with brass, uncovered by the lowest ebb.
union {
  sphere { <0, 0, 0>, 1.4 clipped_by { plane { -y, 0 } } texture { Glass } interior { GlassInterior } }
  #for (R, 0, 5) torus { 1.4, 0.04 rotate <90, R * 30, 0> clipped_by { plane { -y, 0 } } texture { Brass } } #end
  torus { 1.42, 0.07 texture { Brass } }
  scale 2.2 translate <1.5, 1.75 - Slope * 17 - 2.9, 17>
}
sphere { <1.5, 1.75 - Slope * 17 - 1.9, 17>, 2.0 pigment { rgb <0.9, 0.6, 0.3> } finish { ambient 0 diffuse 0 emission 0.6 } }
// The sea, its level going with the tide, and the line of foam where it meets the sand.
plane { y, Level texture { Sea pigment { rgb <0.01, 0.025, 0.04> } translate <T * 2, 0, T * 5> } }
#declare Shore = (1.75 - Level) / Slope;
box { <-40, Level - 0.02, Shore - 0.9>, <40, Level + 0.02, Shore + 0.1>
  pigment { bozo turbulence 0.7 colour_map { [0 rgbt <0.8, 0.85, 0.85, 0.1>] [0.5 rgbt <0.7, 0.75, 0.78, 0.6>] [1 rgbt 1] } scale <0.8, 1, 0.25> translate <T * 3, 0, 0> }
  finish { ambient 0.15 diffuse 0.7 } no_shadow }
)";
    return scene;
}

std::string Hatch(const std::string& t)
{
    std::string scene = Head(t);
    scene += R"(
#declare Lift = Ease(0.08, 0.32);
#declare Drop = Ease(0.32, 0.5);
#declare Open = 105 * Ease(0.55, 0.88);
camera { perspective location <0.25, 0.9 + T * 0.2, -1.7> look_at <0, 3.0, 2.1> right x * 2 up y angle 70 }
background { rgb 0 }
// The top of the tower: round walls of blocks, the last steps, and the timber ceiling with the
// hatch to the gallery in it.
difference { cylinder { <0, -3, 1>, <0, 7, 1>, 3.6 } cylinder { <0, -4, 1>, <0, 8, 1>, 3.2 } texture { Blocks scale 0.7 } }
#for (I, 0, 6) box { <-0.6, -2 + I * 0.35, -1.6 + I * 0.45>, <1.4, -1.65 + I * 0.35, -1.15 + I * 0.45> texture { Stone } } #end
plane { y, 0.45 texture { Stone } }
difference {
  box { <-3.4, 3.0, -3>, <3.4, 3.25, 5> }
  box { <-0.75, 2.9, 1.35>, <0.75, 3.4, 2.85> }
  texture { Planks scale 0.7 }
}
#for (B, -1, 1, 2) box { <-3.4, 2.85, B * 1.45 + 2.1 - 0.08>, <3.4, 3.0, B * 1.45 + 2.1 + 0.08> texture { Wood } } #end
// The gallery above: its ceiling and a window of the night.
box { <-3.4, 6.2, -3>, <3.4, 6.4, 5> texture { Planks } }
box { <-1, 3.8, 3.55>, <1, 5.4, 3.7> pigment { rgb <0.12, 0.16, 0.28> } finish { ambient 0 diffuse 0 emission 0.6 } }
// The hatch: planks with iron straps, hinged along its far edge, swinging up.
union {
  box { <-0.74, -0.08, -1.5>, <0.74, 0, 0> texture { Planks scale 0.5 rotate <0, 90, 0> } }
  #for (S, 0, 1) box { <-0.76, -0.1, -1.3 + S * 1.0>, <0.76, -0.07, -1.18 + S * 1.0> texture { DarkIron } } #end
  sphere { <0, -0.12, -1.35>, 0.05 texture { Brass } }
  rotate <-Open, 0, 0> translate <0, 3.08, 2.85>
}
// The bar across the hatch in its two hooks: winched up out of them, then swung down to hang.
#for (S, -1, 1, 2) box { <S * 0.95 - 0.06, 2.78, 1.92>, <S * 0.95 + 0.06, 3.0, 2.22> texture { DarkIron } } #end
union {
  box { <0, -0.05, -0.05>, <2.0, 0.05, 0.05> texture { RustIron } }
  torus { 0.06, 0.015 rotate <90, 0, 0> translate <1.95, 0.1, 0> texture { DarkIron } }
  rotate <0, 0, -92 * Drop> translate <-1.0, 2.86 + 0.08 * Lift, 2.07>
}
// The winch rope from the bar's end over a pulley on the wall.
cylinder { <-1.0 + 1.95 * cos(radians(-92 * Drop)), 2.96 + 1.95 * sin(radians(-92 * Drop)), 2.07>, <2.9, 2.6, 2.1>, 0.012 pigment { rgb <0.5, 0.42, 0.3> } }
cylinder { <2.9, 2.6, 2.0>, <2.9, 2.6, 2.2>, 0.1 texture { Brass } }
// A lamp on the wall, and the night's light falling through the open hatch.
light_source { <2.4, 2.2, -0.6>, rgb <1.0, 0.72, 0.42> * 1.7 fade_distance 2.5 fade_power 2 }
sphere { <2.6, 2.2, -0.6>, 0.1 pigment { rgb <1, 0.8, 0.5> } finish { Glow } no_shadow }
light_source { <0, 5.8, 2.6>, rgb <0.5, 0.58, 0.8> * 1.4 * Ease(0.55, 0.9) fade_distance 2 fade_power 1 shadowless }
)";
    return scene;
}

std::string Lamps(const std::string& t)
{
    std::string scene = Head(t);
    scene += R"(
camera { perspective location <0.3 - T * 0.6, 3.0, -2.4> look_at <0, 1.7, 2.5> right x * 2 up y angle 84 }
background { rgb 0 }
// The lamp gallery: a ring of blocks under a timber ceiling, its windows on the night.
difference { cylinder { <0, 0, 0>, <0, 4.6, 0>, 5.4 } cylinder { <0, -1, 0>, <0, 5, 0>, 5.0 }
  #for (W, 0, 5) box { <-0.45, 2.9, 4.5>, <0.45, 4.1, 6> rotate <0, W * 60 + 30, 0> } #end
  texture { Blocks scale 0.7 } }
#for (W, 0, 5) box { <-0.45, 2.9, 5.2>, <0.45, 4.1, 5.25> rotate <0, W * 60 + 30, 0> pigment { rgb <0.06, 0.08, 0.16> } finish { ambient 0 diffuse 0 emission 0.5 } } #end
disc { <0, 0, 0>, y, 5.5 texture { Planks } }
disc { <0, 4.6, 0>, -y, 5.5 texture { Planks rotate <0, 90, 0> } }
cylinder { <0, 0, 0>, <0, 1.0, 0>, 0.9 texture { Stone } }
torus { 4.95, 0.05 translate <0, 1.55, 0> texture { Brass } }
)";
    // The lamps, each with its moment: a brass cup on a bracket, a glass chimney, and a flame.
    const std::vector<double> moments = LampMoments();
    for (std::size_t k = 0; k < moments.size(); ++k)
        scene += Format(R"(
#declare On = Ease(%.4f, %.4f);
union {
  cylinder { <0, 0, 0>, <0, 0, 0.3>, 0.03 texture { Brass } }
  cylinder { <0, -0.12, 0>, <0, 0.03, 0>, 0.11 texture { Brass } }
  cylinder { <0, 0.03, 0>, <0, 0.42, 0>, 0.085 pigment { rgbf <0.5, 0.5, 0.45, 0.7> + On * <0.5, 0.3, 0.0, -0.5> } finish { ambient 0 diffuse 0.2 specular 0.7 emission On * 0.9 } no_shadow }
  sphere { <0, 0.16, 0>, 0.05 scale <1, 1.8, 1> pigment { rgb <1, 0.7, 0.3> } finish { Glow } scale On + 0.001 no_shadow }
  translate <0, 2.1, -4.7> rotate <0, %.4f, 0>
}
)", moments[k], moments[k] + 0.03, 180.0 + k * 10.0);
    // Their light on the walls and floor: one source to each six lamps, as bright as those lit.
    for (int s = 0; s < 6; ++s) {
        std::string lit;
        for (int k = s * 6; k < s * 6 + 6; ++k) lit += Format(" + Ease(%.4f, %.4f)", moments[k], moments[k] + 0.03);
        scene += "light_source { <0, 2.3, -4.0>, rgb <1.0, 0.7, 0.38> * (0" + lit +
                 Format(") * 0.28 fade_distance 2.5 fade_power 2 shadowless rotate <0, %.4f, 0> }\n", 180.0 + s * 60.0 + 25.0);
    }
    scene += R"(
light_source { <0, 4, 0>, rgb <0.3, 0.35, 0.5> * 0.12 shadowless }
)";
    return scene;
}

std::string Shutter(const std::string& t)
{
    std::string scene = Head(t) + NightSky(15, 260, 0, 70, 0.0);
    scene += R"(
#declare Open = 24 * Ease(0.14, 0.86);
camera { perspective location <0.3, 1.2, -3.6> look_at <0, 5.6, 3.5> right x * 2 up y angle 72 }
// The four figures of the plaque among the stars, in the sky the shutter opens on.
#declare Figures = array[4][9] { {1,0,1,0,1,0,1,1,1}, {0,1,0,1,1,1,0,1,0}, {0,1,0,0,1,0,1,1,1}, {1,0,1,1,1,1,0,0,0} }
#for (F, 0, 3)
  #for (C, 0, 8)
    #if (Figures[F][C] = 1)
      sphere { <(mod(C, 3) - 1) * 16, (1 - div(C, 3)) * 16, 1000>, 7 pigment { rgb <1, 0.95, 0.8> } finish { Glow } no_shadow
               rotate <-(30 + F * 6.5), -3 + mod(F, 2) * 6, 0> }
    #end
  #end
#end
// The drum of the dome and its lamps.
difference { cylinder { <0, 0, 0>, <0, 3.2, 0>, 6.4 } cylinder { <0, -1, 0>, <0, 4, 0>, 6.0 } texture { Blocks } }
disc { <0, 0, 0>, y, 6.5 texture { Planks } }
torus { 6.0, 0.12 translate <0, 3.2, 0> texture { Wood } }
// The dome with the slit over the top, and the shutter's two leaves running apart on it.
#declare Shell = difference { sphere { <0, 0, 0>, 6.3 } sphere { <0, 0, 0>, 6.1 } plane { y, 0 } }
#declare Slit = box { <-1.2, -1, -7>, <1.2, 7, 7> }
object { Shell clipped_by { object { Slit inverse } } translate <0, 3.2, 0>
  texture { pigment { gradient y colour_map { [0 rgb <0.16, 0.18, 0.25>] [0.5 rgb <0.2, 0.22, 0.3>] [1 rgb <0.16, 0.18, 0.25>] } scale 0.3 } } }
#for (R, 0, 7)
  intersection { difference { sphere { <0, 0, 0>, 6.1 } sphere { <0, 0, 0>, 5.98 } plane { y, 0 } }
    box { <-0.07, -0.1, -7>, <0.07, 7, 7> } texture { Wood } rotate <0, R * 22.5 + 11.25, 0> translate <0, 3.2, 0> }
#end
#for (Side, -1, 1, 2)
  intersection { object { Shell scale 0.995 } box { <0, -1, -7>, <Side * 1.22, 7, 7> }
    texture { DarkIron } rotate <0, 0, Side * Open> translate <0, 3.2, 0> }
#end
// The telescope under the slit.
union {
  cylinder { <0, 0, 0>, <0, 1.2, 0>, 0.38 texture { Stone } }
  union {
    cylinder { <0, 0, -1.3>, <0, 0, 2.4>, 0.26 texture { DarkIron } }
    cylinder { <0, 0, 2.3>, <0, 0, 2.5>, 0.3 texture { Brass } }
    cylinder { <0, 0, -1.3>, <0, 0, -1.2>, 0.28 texture { Brass } }
    rotate <-52, 0, 0> translate <0, 1.5, 0>
  }
  translate <0, 0, 1.2>
}
#for (L, 0, 7)
  sphere { <0, 2.45, 5.8>, 0.12 pigment { rgb <1, 0.8, 0.5> } finish { Glow } no_shadow rotate <0, L * 45 + 22.5, 0> }
#end
#for (L, 0, 3)
  light_source { <0, 2.45, 5.2>, rgb <1.0, 0.72, 0.42> * 0.9 fade_distance 4 fade_power 2 shadowless rotate <0, L * 90 + 45, 0> }
#end
light_source { <0, 40, 0>, rgb <0.45, 0.52, 0.75> * (0.1 + 0.8 * Ease(0.2, 0.9)) }
)";
    return scene;
}

std::string SeaDoor(const std::string& t)
{
    std::string scene = Head(t) + NightSky(16, 160, 65, 24, 0.7);
    scene += R"(
#declare Raise = 80 * Ease(0.08, 0.36);
#declare Swing = 100 * Ease(0.42, 0.85);
camera { perspective location <0.4, 1.6, 0.2 + T * 2.0> look_at <0, 1.45, 9> right x * 2 up y angle 66 }
// The lower hall of the drowned observatory: wet blocks, puddled flags, the sea door's arch.
#declare DoorHole = union { box { <-1.05, 0, 5>, <1.05, 2.3, 7> } cylinder { <0, 2.3, 5>, <0, 2.3, 7>, 1.05 } }
difference {
  box { <-3, -0.5, -2>, <3, 4.5, 6.3> }
  box { <-2.6, 0, -1.8>, <2.6, 3.8, 5.8> }
  object { DoorHole }
  texture { Blocks scale 0.7 finish { diffuse 0.45 } }
}
plane { y, 0 clipped_by { plane { z, 6.3 } } texture { Stone finish { diffuse 0.5 specular 0.5 roughness 0.015 reflection 0.08 } } }
// The door: tarred planks with iron straps, hinged on the left, swinging out onto the shore.
union {
  box { <0, 0.02, -0.06>, <2.08, 3.3, 0.06> texture { Tarred rotate <0, 0, 90> scale 0.8 } }
  #for (S, 0, 2) box { <0.05, 0.4 + S * 1.2, -0.09>, <2.0, 0.52 + S * 1.2, -0.06> texture { DarkIron } } #end
  clipped_by { object { DoorHole translate <1.04, 0, -6.0> scale <0.99, 1, 1> } }
  rotate <0, -Swing, 0> translate <-1.04, 0, 6.0>
}
// The bar in its brackets across the door, raised on its pivot.
#for (S, -1, 1, 2) box { <S * 1.25 - 0.08, 1.15, 5.7>, <S * 1.25 + 0.08, 1.45, 5.82> texture { DarkIron } } #end
union {
  box { <0, -0.07, -0.07>, <2.7, 0.07, 0.07> texture { RustIron } }
  rotate <0, 0, Raise> translate <-1.35, 1.38, 5.68>
}
cylinder { <-1.35, 1.38, 5.6>, <-1.35, 1.38, 5.82>, 0.05 texture { Brass } }
// Outside: the shore under the moon, rocks, and the surf coming in.
plane { y, -0.02 clipped_by { box { <-60, -1, 6.3>, <60, 1, 7.6> } } texture { Sand finish { diffuse 0.35 } } }
plane { y, -0.04 clipped_by { plane { -z, -7.6 } } texture { Sea pigment { rgb <0.01, 0.025, 0.04> } translate <0, 0, -T * 6> } }
// The surf running up the shore and back.
#declare Surf = 8.4 - 0.5 * sin(T * 9);
box { <-40, -0.03, Surf - 0.5>, <40, 0.0, Surf + 0.4>
  pigment { bozo turbulence 0.7 colour_map { [0 rgbt <0.85, 0.9, 0.9, 0.1>] [0.5 rgbt <0.7, 0.75, 0.78, 0.5>] [1 rgbt 1] } scale <0.6, 1, 0.2> translate <T * 2, 0, 0> }
  finish { ambient 0.15 diffuse 0.7 } no_shadow }
sphere { <0, 0, 0>, 1 scale <3, 2.2, 2> translate <-4.5, 0, 12> texture { Rock } }
sphere { <0, 0, 0>, 1 scale <2, 1.5, 2> translate <3.8, 0, 16> texture { Rock } }
// The hand lamp by the eye.
light_source { <-0.6, 1.9, -0.4 + T * 2.0>, rgb <1.0, 0.74, 0.45> * 2.0 fade_distance 3 fade_power 2 }
)";
    return scene;
}

std::string Lens(const std::string& t)
{
    std::string scene = Head(t);
    scene += R"(
#declare Rise = Ease(0.08, 0.62);
#declare Light = Ease(0.66, 0.95);
camera { perspective location <1.7, 1.0, -1.9> look_at <0, 0.8, -0.5> right x * 2 up y angle 60 }
background { rgb 0 }
// The dome's floor and drum, dim.
disc { <0, 0, 0>, y, 8 texture { Planks } }
difference { cylinder { <0, 0, 0>, <0, 4, 0>, 6.4 } cylinder { <0, -1, 0>, <0, 5, 0>, 6.0 } texture { Blocks } }
// The telescope's lower end: the tube with its brass cell open below, on its fork.
#declare Axis = <0, -sin(radians(38)), cos(radians(38))>;
union {
  cylinder { <0, 0, 0.35>, <0, 0, 3.5>, 0.3 texture { DarkIron } }
  difference { cylinder { <0, 0, 0>, <0, 0, 0.4>, 0.36 } cylinder { <0, 0, -1>, <0, 0, 1>, 0.28 } texture { Brass } }
  torus { 0.32, 0.03 rotate <90, 0, 0> translate <0, 0, 1.2> texture { Brass } }
  cylinder { <-0.45, 0, 1.0>, <0.45, 0, 1.0>, 0.06 texture { Brass } }
  rotate <-38, 0, 0> translate <0, 0.9, -0.4>
}
#for (S, -1, 1, 2) box { <S * 0.45 - 0.06, 0, 0.35>, <S * 0.45 + 0.06, 1.5, 0.5> texture { Brass } } #end
// The last lens in its brass ring, carried up the lift into the cell.
#declare LensGlass = intersection { sphere { <0, 0, -0.968>, 1.0 } sphere { <0, 0, 0.968>, 1.0 } }
union {
  object { LensGlass texture { pigment { rgbf <0.9, 0.95, 1, 0.9> + Light * <0.1, -0.1, -0.4, -0.5> }
           finish { ambient 0 diffuse 0.05 specular 0.9 roughness 0.003 reflection { 0.05, 0.3 fresnel } emission Light * 1.2 } }
           interior { GlassInterior } }
  torus { 0.255, 0.028 rotate <90, 0, 0> texture { Brass } }
  // The lift's fork under the ring.
  #for (S, -1, 1, 2) cylinder { <S * 0.26, 0, 0>, <S * 0.26, 0, -0.5>, 0.02 texture { Brass } } #end
  translate <0, 0, -1.2 * (1 - Rise) + 0.12>
  rotate <-38, 0, 0> translate <0, 0.9, -0.4>
}
// The lift's rods below.
cylinder { <0, 0, 0>, <0, 0.9 - 0.75 * (1 - Rise), 0>, 0.03 translate <0.2, 0, -0.2> texture { Brass } }
cylinder { <0, 0, 0>, <0, 0.9 - 0.75 * (1 - Rise), 0>, 0.03 translate <-0.2, 0, -0.2> texture { Brass } }
// Lamps of the drum, and the light waking in the glass.
light_source { <2.5, 2.5, -2.5>, rgb <1.0, 0.74, 0.45> * 1.2 fade_distance 3 fade_power 2 }
light_source { <-3, 3, 2>, rgb <0.4, 0.45, 0.6> * 0.3 shadowless }
light_source { <0, 0.9, -0.4> + Axis * 0.1, rgb <1, 0.82, 0.5> * 3 * Light fade_distance 1 fade_power 2 shadowless }
)";
    return scene;
}

}  // namespace film_scenes

}  // namespace world_render
