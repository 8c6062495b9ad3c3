#include "render/scenes.h"

#include <cmath>
#include <cstdio>

#include "render/panorama.h"

namespace render {

namespace {

constexpr double kEyeHeight = 1.6;
constexpr int kPanoramaWidth = 2048;
constexpr int kPanoramaHeight = 512;

// Scene text with numbers put in: every argument is printed as a double.
template <typename... Numbers>
std::string Format(const char* pattern, Numbers... numbers)
{
    char text[4096];
    std::snprintf(text, sizeof text, pattern, static_cast<double>(numbers)...);
    return text;
}

// Longitude in degrees (povray's rotate about y turns +z towards +x for positive angles in
// a left-handed frame, the same way the panorama runs) of a picture column.
double DegreesOfColumn(double column) { return column / kPanoramaWidth * 360.0; }

// The height at `distance` where a picture row lies.
double HeightOfRow(double row, double distance)
{
    const double latitude = (0.5 - row / kPanoramaHeight) * 2.0 * kBandLatitude;
    return kEyeHeight + distance * std::tan(latitude);
}

// Materials shared by the scenes; the default finish gives drafts (no radiosity) a little
// ambient light so that shadows are not black.
const char* const kMaterials = R"(
#default { finish { ambient #if (Draft) 0.10 #else 0 #end diffuse 0.75 } }
#declare Stone = texture {
  pigment { granite colour_map { [0 rgb <0.42, 0.43, 0.47>] [0.6 rgb <0.52, 0.53, 0.56>] [1 rgb <0.36, 0.37, 0.41>] } scale 0.6 }
  normal { granite 0.15 scale 0.4 }
  finish { diffuse 0.75 }
}
#declare Blocks = texture {
  pigment { brick rgb <0.12, 0.11, 0.1>, rgb <0.33, 0.31, 0.3> brick_size <0.7, 0.35, 0.7> mortar 0.025 }
  normal { granite 0.2 scale 0.3 }
}
#declare Brass = texture {
  pigment { rgb <0.72, 0.52, 0.22> }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.45 specular 0.6 roughness 0.02 metallic reflection { 0.15 metallic } }
}
#declare DarkIron = texture {
  pigment { rgb <0.10, 0.10, 0.11> }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.55 specular 0.35 roughness 0.05 metallic }
}
#declare Wood = texture {
  pigment { wood turbulence 0.06 colour_map { [0 rgb <0.42, 0.24, 0.11>] [0.7 rgb <0.34, 0.18, 0.08>] [1 rgb <0.26, 0.13, 0.05>] } scale 0.05 rotate <90, 0, 0> }
  finish { diffuse 0.7 specular 0.15 roughness 0.05 }
}
#declare Planks = texture {
  pigment { gradient x colour_map { [0 rgb <0.20, 0.13, 0.08>] [0.03 rgb <0.20, 0.13, 0.08>] [0.04 rgb <0.38, 0.25, 0.14>] [1 rgb <0.33, 0.21, 0.11>] } scale 0.3 }
  normal { wood 0.1 scale 0.2 }
}
)";

// A wall lamp: a glowing glass with a warm light inside, fixed to the drum at `degrees`.
std::string WallLamp(double degrees, double radius, double height)
{
    return Format(R"(
union {
  sphere { <0, 0, 0>, 0.13 pigment { rgbf <1, 0.8, 0.5, 0.6> } finish { ambient 0 diffuse 0 emission 1.6 } no_shadow }
  cylinder { <0, 0.13, 0>, <0, 0.3, 0>, 0.05 texture { Brass } }
  cylinder { <0, 0.25, 0>, <0, 0.25, 0.35>, 0.025 texture { Brass } }
  // Its shadows would cost two thirds of the render's time; the lamps hang on the wall, where
  // little stands in their light.
  light_source { <0, 0, -0.25>, rgb <1.0, 0.72, 0.42> * 0.55 fade_distance 3 fade_power 2 shadowless }
  translate <0, %.4f, %.4f> rotate <0, %.4f, 0>
}
)", height, radius - 0.4, degrees);
}

// An archway through the drum from column x1 to x2, its top at row y1: an opening with a
// stone surround and a short lit passage behind it.
std::string Archway(const FixtureAt& f, double radius)
{
    const double centre = DegreesOfColumn((f.x1 + f.x2) / 2.0);
    const double halfAngle = (f.x2 - f.x1) / 2.0 / kPanoramaWidth * 2.0 * kPi;
    const double halfWidth = std::sin(halfAngle) * (radius - 0.2) * 0.92;
    const double top = HeightOfRow(f.y1, radius) - 0.05;
    const double spring = std::max(1.2, top - halfWidth);  // where the round head starts
    // The opening: a box below the springing line and a cylinder for the round head.
    return Format(R"(
#declare ArchHole = union {
  box { <-%.4f, -0.1, -1>, <%.4f, %.4f, 3> }
  cylinder { <0, %.4f, -1>, <0, %.4f, 3>, %.4f }
}
#declare ArchPassage = union {
  difference {
    box { <-%.4f, 0, 0>, <%.4f, %.4f, 4> }
    object { ArchHole scale <0.98, 1, 1> }
    texture { Blocks }
  }
  light_source { <0, %.4f, 2.5>, rgb <1.0, 0.78, 0.5> * 0.9 fade_distance 2 fade_power 2 }
}
)", halfWidth, halfWidth, spring, spring, spring, halfWidth, halfWidth + 0.3, halfWidth + 0.3, spring + halfWidth + 0.6,
                  spring * 0.8) +
           Format(R"(
object { ArchPassage translate <0, 0, %.4f> rotate <0, %.4f, 0> }
#declare Holes = union { object { Holes } object { ArchHole translate <0, 0, %.4f> rotate <0, %.4f, 0> } }
)", radius - 0.2, centre, radius - 0.6, centre) +
           Format(R"(
torus { %.4f, 0.09 rotate <90, 0, 0> clipped_by { plane { -y, -%.4f } } translate <0, %.4f, %.4f> rotate <0, %.4f, 0> texture { Stone } }
)", halfWidth + 0.05, 0.0, spring, radius - 0.55, centre);
}

// The great telescope: a stone pier, a brass fork mount and a long tube raised towards the
// shutter, its eyepiece end low beside the hotspot's bottom edge.
std::string Telescope(const FixtureAt& f)
{
    const double centre = DegreesOfColumn((f.x1 + f.x2) / 2.0);
    const double distance = 3.4;
    const double axis = HeightOfRow((f.y1 + f.y2) / 2.0, distance);  // the tube's trunnions
    const double pierTop = axis - 0.5;
    return Format(R"(
#declare TelescopeTurn = %.4f;
union {
  // The pier and its capital.
  cylinder { <0, 0, 0>, <0, %.4f, 0>, 0.38 texture { Stone } }
  cylinder { <0, %.4f, 0>, <0, %.4f, 0>, 0.5 texture { Stone } }
  // The fork: a brass turntable and two arms holding the tube's trunnions.
  cylinder { <0, %.4f, 0>, <0, %.4f, 0>, 0.46 texture { Brass } }
  box { <-0.44, %.4f, -0.09>, <-0.33, %.4f, 0.09> texture { Brass } }
  box { <0.33, %.4f, -0.09>, <0.44, %.4f, 0.09> texture { Brass } }
  union {
    cylinder { <-0.47, 0, 0>, <0.47, 0, 0>, 0.07 texture { Brass } }
    // The tube: dark iron with brass bands, the objective end up towards the shutter.
    cylinder { <0, 0, -1.3>, <0, 0, 2.3>, 0.26 texture { DarkIron } }
    cylinder { <0, 0, 2.2>, <0, 0, 2.45>, 0.3 texture { Brass } }
    cylinder { <0, 0, -0.05>, <0, 0, 0.05>, 0.29 texture { Brass } }
    cylinder { <0, 0, 1.2>, <0, 0, 1.3>, 0.28 texture { Brass } }
    cylinder { <0, 0, -1.3>, <0, 0, -1.2>, 0.28 texture { Brass } }
    // The eyepiece and the finder.
    cylinder { <0, 0, -1.3>, <0, 0, -1.6>, 0.07 texture { Brass } }
    cylinder { <0, 0.38, -0.6>, <0, 0.38, 0.8>, 0.07 texture { DarkIron } }
    box { <-0.03, 0.26, -0.3>, <0.03, 0.38, -0.2> texture { Brass } }
    box { <-0.03, 0.26, 0.4>, <0.03, 0.38, 0.5> texture { Brass } }
    rotate <-38, 0, 0> rotate <0, 70, 0>
    translate <0, %.4f, 0>
  }
  // The observer's chair.
  union {
    cylinder { <0, 0, 0>, <0, 0.55, 0>, 0.04 }
    cylinder { <0, 0.55, 0>, <0, 0.6, 0>, 0.25 }
    texture { Wood }
    translate <-0.9, 0, -0.6>
  }
  translate <0, 0, %.4f> rotate <0, %.4f, 0>
}
)", centre, pierTop, pierTop, pierTop + 0.12, pierTop + 0.12, pierTop + 0.2, pierTop + 0.2, axis + 0.12, pierTop + 0.2,
                  axis + 0.12, axis, distance, centre);
}

}  // namespace

std::string DomeScene(const std::vector<FixtureAt>& fixtures)
{
    constexpr double kRadius = 6.0;
    std::string scene = PanoramaCamera(0, kEyeHeight, 0);
    scene += kMaterials;
    scene += R"(
background { rgb <0.01, 0.015, 0.04> }
#declare Holes = sphere { <0, -100, 0>, 0.001 }
)";
    for (const FixtureAt& f : fixtures)
        if (f.what == Fixture::Archway) scene += Archway(f, kRadius);
    for (const FixtureAt& f : fixtures)
        if (f.what == Fixture::Telescope) scene += Telescope(f);
    scene += R"(
// The floor: boards in rings round a stone centre.
disc { <0, 0, 0>, y, 12 texture { Planks } }  // on under the passages too
cylinder { <0, -0.01, 0>, <0, 0.02, 0>, 1.0 texture { Stone } }
// The drum: stone blocks, a timber ring on top of it.
difference {
  cylinder { <0, 0, 0>, <0, 3.2, 0>, 6.4 }
  cylinder { <0, -1, 0>, <0, 4, 0>, 6.0 }
  object { Holes }
  texture { Blocks }
}
torus { 6.0, 0.12 translate <0, 3.2, 0> texture { Wood } }
torus { 6.0, 0.06 translate <0, 1.0, 0> texture { Wood } }
// The dome: painted boards on ribs, a shutter slit closed by dark iron leaves, the slit
// running over the top towards the telescope.
#declare DomeShell = difference {
  sphere { <0, 0, 0>, 6.3 }
  sphere { <0, 0, 0>, 6.1 }
  plane { y, 0 }
  translate <0, 3.2, 0>
}
object { DomeShell
  texture { pigment { gradient y colour_map { [0 rgb <0.16, 0.18, 0.25>] [0.5 rgb <0.2, 0.22, 0.3>] [1 rgb <0.16, 0.18, 0.25>] } scale 0.3 }
            normal { gradient y 0.4 scale 0.3 } }
}
// Ribs: thin slices of a shell just inside the boards (cheaper to trace than tori).
#declare Rib = intersection {
  difference { sphere { <0, 0, 0>, 6.1 } sphere { <0, 0, 0>, 5.98 } plane { y, 0 } translate <0, 3.2, 0> }
  box { <-0.07, 3.1, -7>, <0.07, 10, 7> }
  texture { Wood }
}
#for (I, 0, 7)
  object { Rib rotate <0, I * 22.5 + 11.25, 0> }
#end
// The closed shutter: two iron leaves along the slit, over the telescope.
#ifndef (TelescopeTurn) #declare TelescopeTurn = 0; #end
intersection {
  object { DomeShell scale 0.995 }
  box { <-0.7, -1, -10>, <0.7, 12, 10> }
  texture { DarkIron }
  rotate <0, TelescopeTurn + 70, 0>
}
// Lamps round the drum, and a cold glow under the dome.
)";
    for (int i = 0; i < 8; ++i) scene += WallLamp(i * 45.0 + 22.5, 6.0, 2.45);
    scene += R"(
light_source { <0, 7.5, 0>, rgb <0.45, 0.5, 0.7> * 0.3 }
)";
    return scene;
}

std::string CrankCloseUpScene()
{
    std::string scene = kMaterials;
    scene += R"(
camera { perspective location <0.02, -0.08, -1.0> look_at <0.02, -0.13, 0> right x * 2 up y angle 60 }
background { rgb <0.03, 0.025, 0.02> }
// The boathouse wall: tarred planks, a rack rail with pegs, and the shelf below.
plane { -z, -0.02 texture { Planks rotate <0, 0, 90> scale 0.8 } }
box { <-2, 0.06, -0.01>, <2, 0.14, 0.02> texture { Wood } }
box { <-2, -0.56, -0.25>, <2, -0.52, 0.02> texture { Wood scale 2 } }
cylinder { <-0.55, 0.1, 0>, <-0.55, 0.1, -0.12>, 0.018 texture { Wood } }
cylinder { <0.6, 0.1, 0>, <0.6, 0.1, -0.12>, 0.018 texture { Wood } }
// A coil of rope on the next peg.
torus { 0.11, 0.022 rotate <90, 0, 0> translate <0.6, -0.02, -0.06> pigment { rgb <0.55, 0.45, 0.3> } normal { quilted 0.6 scale 0.01 } }
// The lamp light from above on the left, a cold fill from the door on the right.
light_source { <-0.8, 0.7, -1.0>, rgb <1.0, 0.8, 0.55> * 1.3
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0.2, 0>, 3, 3 adaptive 1 circular orient #end }
light_source { <1.4, 0.2, -1.4>, rgb <0.45, 0.52, 0.7> * 0.45 shadowless }
// The crank: a boss with a square socket that fits the pump's and the winch's shaft, hung
// on its peg; an iron arm down to the grip's pin, and a turned wooden grip on the pin.
#declare Iron = texture {
  pigment { granite colour_map { [0 rgb <0.13, 0.12, 0.12>] [0.8 rgb <0.17, 0.16, 0.15>] [1 rgb <0.30, 0.17, 0.09>] } scale 0.05 }
  normal { granite 0.05 scale 0.02 }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.5 specular 0.5 roughness 0.02 metallic reflection 0.05 }
}
#declare Crank = union {
  difference {
    cylinder { <0, 0, -0.075>, <0, 0, 0>, 0.058 }
    box { <-0.021, -0.021, -0.1>, <0.021, 0.021, 0.01> }
  }
  // The arm, wider at the boss, tapering to the eye of the pin.
  prism { linear_sweep linear_spline -0.055, -0.02, 5,
          <-0.045, 0>, <0.045, 0>, <0.022, -0.4>, <-0.022, -0.4>, <-0.045, 0>
          rotate <-90, 0, 0> }
  cylinder { <0, -0.4, -0.055>, <0, -0.4, -0.02>, 0.034 }
  // The pin through the grip.
  cylinder { <0, -0.4, -0.055>, <0, -0.4, -0.27>, 0.011 }
  texture { Iron }
}
#declare Grip = lathe {
  cubic_spline 9,
  <0.0, -0.01>, <0.012, 0.0>, <0.026, 0.01>, <0.031, 0.05>, <0.026, 0.1>, <0.032, 0.15>, <0.024, 0.19>, <0.0, 0.2>, <0.0, 0.21>
  texture { Wood scale 0.5 }
  rotate <-90, 0, 0>
  translate <0, -0.4, -0.065>
}
// The peg it hangs on.
cylinder { <0, 0.1, 0>, <0, 0.1, -0.13>, 0.018 texture { Wood } }
union {
  object { Crank }
  object { Grip }
  translate <0, 0.0, 0>
  rotate <0, -38, 0>
  rotate <0, 0, 6>
  translate <0, 0.08, -0.02>
}
)";
    return scene;
}

}  // namespace render
