#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/error.h"
#include "game/world_content.h"
#include "render/kit.h"
#include "render/panorama.h"
#include "game/assets/render_groups.h"

namespace world_render {

namespace {

namespace wc = world_content;
using render::Format;
using render::HeightOfRow;
using render::kPi;
using render::kEyeHeight;
using render::PanoramaCamera;

constexpr int kPanoramaWidth = content::kPanoramaWidth;

// What a panorama shows at a hotspot: picture columns x1 .. x2 and rows y1 .. y2.
enum class Fixture {
    Archway,    // an opening in the wall to a lit passage
    Telescope,  // the great telescope on its pier and mount
};
struct FixtureAt {
    Fixture what;
    int x1, y1, x2, y2;
};

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
    const double centre = render::DegreesOfColumn((f.x1 + f.x2) / 2.0);
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
    const double centre = render::DegreesOfColumn((f.x1 + f.x2) / 2.0);
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

// The observatory dome seen from the middle of its floor: a round stone drum under a ribbed
// dome with its shutter closed, lamps on the wall, and the fixtures at their columns.
std::string DomeScene(const std::vector<FixtureAt>& fixtures)
{
    constexpr double kRadius = 6.0;
    std::string scene = PanoramaCamera(0, kEyeHeight, 0);
    scene += render::Materials();
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


const wc::Place& PlaceShowing(const char* image)
{
    for (const wc::Place& place : wc::kPlaces)
        if (std::strcmp(place.image, image) == 0) return place;
    throw Error(std::string("the world names no place shown by ") + image);
}

// The dome's fixtures where the world's hotspots for them lie.
std::vector<FixtureAt> DomeFixtures(const char* image)
{
    std::vector<FixtureAt> fixtures;
    for (const wc::Feature& f : PlaceShowing(image).features) {
        if (f.look == wc::Look::Arch) fixtures.push_back({Fixture::Archway, f.x1, f.y1, f.x2, f.y2});
        if (f.look == wc::Look::Machine) fixtures.push_back({Fixture::Telescope, f.x1, f.y1, f.x2, f.y2});
    }
    return fixtures;
}

}  // namespace

void AddHeights(std::vector<content::Asset>& rendered)
{
    constexpr const char* kDomeWithTelescope = "data/dome_pano02.enc";
    rendered.push_back(render::RenderedPicture(
        kDomeWithTelescope,
        {kDomeWithTelescope, DomeScene(DomeFixtures(kDomeWithTelescope)), content::kPanoramaWidth,
         content::kPanoramaHeight, false, true},
        {}, 40.0));
}

}  // namespace world_render
