#include "game/assets/render_shore_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/error.h"
#include "render/kit.h"
#include "render/panorama.h"

namespace world_render::shore {

namespace {

namespace wc = world_content;
using render::Format;

// The fixtures' macros, in the kit's way: standing on y = 0, front at z = 0 facing -z.
const char* const kFixtures = R"(
// The boathouse's workbench `W` long: a thick top on legs, a vice at one end, tools, and the
// nets heaped on it; with `Key` the gate's iron key lies half out from under the nets.
#macro IronKey()
  union {
    torus { 0.035, 0.009 rotate <0, 0, 0> translate <-0.1, 0, 0> }
    cylinder { <-0.065, 0, 0>, <0.1, 0, 0>, 0.009 }
    box { <0.06, -0.004, 0.0>, <0.085, 0.004, 0.04> }
    box { <0.09, -0.004, 0.0>, <0.1, 0.004, 0.03> }
    texture { RustIron scale 0.3 }
  }
#end
#macro Workbench(W, H, Key)
  #local Top = min(0.95, H * 0.8);
  union {
    box { <-W / 2, Top - 0.08, 0>, <W / 2, Top, 0.85> texture { Wood scale 4 rotate <0, 90, 0> } }
    #for (I, 0, 3)
      box { <-W / 2 + 0.1 + I * (W - 0.3) / 3, 0, 0.05>, <-W / 2 + 0.2 + I * (W - 0.3) / 3, Top - 0.08, 0.15> texture { Wood scale 3 } }
      box { <-W / 2 + 0.1 + I * (W - 0.3) / 3, 0, 0.7>, <-W / 2 + 0.2 + I * (W - 0.3) / 3, Top - 0.08, 0.8> texture { Wood scale 3 } }
    #end
    box { <-W / 2, 0.15, 0.05>, <W / 2, 0.2, 0.8> texture { Planks } }
    // The vice at the right end.
    union {
      box { <-0.12, Top, 0.0>, <0.12, Top + 0.12, 0.1> }
      box { <-0.12, Top - 0.1, -0.1>, <0.12, Top + 0.12, -0.02> }
      cylinder { <0, Top + 0.03, -0.35>, <0, Top + 0.03, 0.1>, 0.015 }
      cylinder { <-0.15, Top + 0.03, -0.35>, <0.15, Top + 0.03, -0.35>, 0.012 }
      texture { DarkIron }
      translate <W / 2 - 0.35, 0, 0>
    }
    // A mallet and a plane, and a pot of tar.
    union {
      cylinder { <-0.15, 0, 0>, <0.15, 0, 0>, 0.05 translate <0, 0.05, 0> }
      cylinder { <0, 0.02, 0>, <0, 0.02, 0.35>, 0.015 }
      texture { Wood scale 2 }
      rotate <0, 30, 0> translate <-W * 0.33, Top, 0.35>
    }
    box { <-0.04, 0, -0.12>, <0.04, 0.07, 0.12> texture { Wood scale 2 } rotate <0, -20, 0> translate <W * 0.25, Top, 0.45> }
    cylinder { <0, 0, 0>, <0, 0.16, 0>, 0.08 texture { DarkIron } translate <-W * 0.42, Top, 0.6> }
    // The nets heaped on the bench: folds of a mesh draped over it.
    union {
      #local R = seed(31);
      #for (I, 0, 5)
        sphere { 0, 1 scale <0.35 + 0.15 * rand(R), 0.08 + 0.05 * rand(R), 0.25>
          translate <(rand(R) - 0.5) * 0.6 + 0.25, 0, 0.45 + (rand(R) - 0.5) * 0.3> }
      #end
      texture { pigment { rgb <0.30, 0.26, 0.19> } normal { quilted 1 control0 0.3 control1 0.3 scale 0.025 } finish { diffuse 0.8 } }
      translate <0, Top, 0>
    }
    #if (Key)
      object { IronKey() scale 1.6 rotate <0, 20, 0> translate <0.0, Top + 0.012, 0.2> }
    #end
  }
#end

// The tool rack: a board `W` wide on the wall from `Bottom` to `H`, pegs along a rail at `Rail`,
// tools hung on them; with `Crank` the crank handle hangs on the middle peg.
#macro CrankHandle()
 union {
  union {
    difference { cylinder { <0, 0, -0.04>, <0, 0, 0.01>, 0.045 } box { <-0.015, -0.015, -0.06>, <0.015, 0.015, 0.02> } }
    prism { linear_sweep linear_spline -0.03, -0.005, 5, <-0.035, 0>, <0.035, 0>, <0.018, -0.32>, <-0.018, -0.32>, <-0.035, 0> rotate <-90, 0, 0> }
    cylinder { <0, -0.32, -0.03>, <0, -0.32, -0.005>, 0.026 }
    cylinder { <0, -0.32, -0.03>, <0, -0.32, -0.2>, 0.008 }
    texture { RustIron scale 0.5 }
  }
  lathe { cubic_spline 7, <0, -0.01>, <0.02, 0>, <0.026, 0.04>, <0.022, 0.09>, <0.027, 0.14>, <0, 0.16>, <0, 0.17>
    texture { Wood scale 0.4 } rotate <-90, 0, 0> translate <0, -0.32, -0.04> }
 }
#end
#macro ToolRack(W, H, Bottom, Rail, Crank)
  union {
    box { <-W / 2, Bottom, 0.0>, <W / 2, H, 0.05> texture { Planks rotate <0, 0, 90> } }
    box { <-W / 2 - 0.05, H - 0.08, -0.05>, <W / 2 + 0.05, H, 0.05> texture { Wood scale 3 } }
    box { <-W / 2, Rail - 0.04, -0.06>, <W / 2, Rail + 0.04, 0.0> texture { Wood scale 3 } }
    #for (I, -3, 3)
      cylinder { <I * W / 8, Rail, -0.06>, <I * W / 8, Rail + 0.02, -0.16>, 0.014 texture { Wood } }
    #end
    // A saw, a coil of line, an auger, a boat hook and a lantern.
    union {
      prism { linear_sweep linear_spline 0, 0.005, 4, <0, 0>, <0.55, 0.05>, <0.55, 0.14>, <0, 0.14> rotate <-90, 0, 0> }
      texture { pigment { rgb <0.45, 0.45, 0.47> } finish { specular 0.5 metallic } }
      translate <-3 * W / 8 - 0.1, Rail - 0.25, -0.1>
    }
    torus { 0.14, 0.03 rotate <90, 0, 0> translate <-2 * W / 8, Rail - 0.15, -0.08> pigment { rgb <0.5, 0.42, 0.28> } normal { quilted 0.6 scale 0.01 } }
    cylinder { <-W / 8, Rail, -0.1>, <-W / 8 - 0.03, Rail - 0.6, -0.08>, 0.012 texture { RustIron } }
    cylinder { <-W / 8 - 0.12, Rail - 0.02, -0.1>, <-W / 8 + 0.12, Rail - 0.02, -0.1>, 0.02 texture { Wood } }
    cylinder { <2 * W / 8, Bottom + 0.05, -0.1>, <2 * W / 8 + 0.05, H - 0.1, -0.1>, 0.02 texture { Wood scale 3 } }
    union {
      cylinder { <0, -0.25, 0>, <0, -0.05, 0>, 0.07 texture { Glass } }
      cylinder { <0, -0.05, 0>, <0, 0, 0>, 0.08 texture { DarkIron } }
      cylinder { <0, -0.27, 0>, <0, -0.25, 0>, 0.08 texture { DarkIron } }
      torus { 0.04, 0.006 rotate <90, 0, 0> translate <0, 0.03, 0> texture { DarkIron } }
      translate <3 * W / 8, Rail, -0.14>
    }
    #if (Crank)
      object { CrankHandle() scale 1.5 rotate <0, 0, 8> translate <0, Rail + 0.02, -0.08> }
    #end
  }
#end

// A window in the boathouse wall from `Bottom` to `Top`: small panes in a timber frame,
// the moonlit sea beyond.
#macro ShedWindow(W, Bottom, Top)
  union {
    box { <-W / 2, Bottom, 0>, <W / 2, Top, 0.05> pigment { gradient y colour_map { [0 rgb <0.10, 0.14, 0.22>] [0.45 rgb <0.14, 0.18, 0.30>] [0.5 rgb <0.35, 0.40, 0.55>] [1 rgb <0.12, 0.15, 0.28>] } scale (Top - Bottom) translate <0, Bottom, 0> } finish { Lit } }
    #for (I, 0, 3)
      box { <-W / 2 + I * W / 3 - 0.04, Bottom, -0.06>, <-W / 2 + I * W / 3 + 0.04, Top, 0.0> texture { Wood scale 3 } }
    #end
    #for (I, 0, 3)
      box { <-W / 2, Bottom + I * (Top - Bottom) / 3 - 0.04, -0.06>, <W / 2, Bottom + I * (Top - Bottom) / 3 + 0.04, 0.0> texture { Wood scale 3 } }
    #end
    box { <-W / 2 - 0.1, Bottom - 0.08, -0.2>, <W / 2 + 0.1, Bottom, 0.05> texture { Wood scale 3 } }
    light_source { <0, (Bottom + Top) / 2, -0.4>, rgb <0.35, 0.42, 0.6> * 0.6 fade_distance 2 fade_power 2 shadowless }
  }
#end

// The cliff over the cove with the sea door cut in it.
#macro SeaCliff(W, H, Open)
  union {
    object { SeaDoor(W, H, Open) }
    difference {
      union {
        box { <-16, -2, 1.2>, <16, 14, 12> }
        object { Crag(12, 6, 4, 85) translate <0, H + 0.6, 1.6> }
      }
      box { <-W / 2 - 0.5, -3, -3>, <W / 2 + 0.5, H + 0.6, 6.2> }
      texture { Rock scale 3 normal { bumps 0.8 scale <1.5, 2.5, 1> } }
    }
    object { Crag(8, 5, 3, 81) translate <-W / 2 - 5, 0, 0> }
    object { Crag(7, 4, 3, 82) translate <W / 2 + 5, 0, 0> }
    object { Crag(3, 1.0, 2, 83) translate <-W / 2 - 1.8, 0, -0.4> }
  }
#end

// A lookout on the cliff path: a stone pillar `H` high with a brass spyglass on it, turned
// to the tower.
#macro Lookout(W, H)
  union {
    cylinder { <0, 0, 0>, <0, H - 0.35, 0>, W * 0.3 texture { Blocks scale 0.7 } }
    cylinder { <0, H - 0.35, 0>, <0, H - 0.25, 0>, W * 0.4 texture { Stone } }
    union {
      cylinder { <0, 0, -0.35>, <0, 0, 0.35>, 0.05 }
      cylinder { <0, 0, 0.3>, <0, 0, 0.45>, 0.065 }
      cylinder { <0, -0.1, 0>, <0, 0, 0>, 0.02 }
      texture { Brass }
      rotate <-8, 40, 0> translate <0, H - 0.1, 0>
    }
    object { Boulder(9) scale <W * 0.55, 0.3, W * 0.55> texture { Stone } }
  }
#end

// The wing of the observatory nearest the gate, a tall arched window from `Bottom` to `Top`
// in its whitewashed wall, `W` wide, on the rock.
#macro ObservatoryWing(W, Bottom, Top)
  #local A = W * 0.35;
  union {
    difference {
      box { <-W * 1.6, Bottom - 2, 0>, <W * 1.6, Top + 2.5, 5> }
      box { <-A, Bottom, -1>, <A, Top - A, 0.3> }
      cylinder { <0, Top - A, -1>, <0, Top - A, 0.3>, A }
      texture { Whitewash scale 2 }
    }
    box { <-A, Bottom, 0.2>, <A, Top, 0.3> pigment { rgb <0.03, 0.035, 0.05> } finish { specular 0.9 roughness 0.005 reflection 0.25 } }
    #for (I, 1, 3)
      box { <-A, Bottom + I * (Top - Bottom) / 4 - 0.05, 0.15>, <A, Bottom + I * (Top - Bottom) / 4 + 0.05, 0.22> texture { DarkIron } }
    #end
    box { <-0.05, Bottom, 0.15>, <0.05, Top, 0.22> texture { DarkIron } }
    box { <-W * 1.7, Top + 2.5, -0.3>, <W * 1.7, Top + 2.8, 5.3> texture { Stone } }
    object { Crag(W * 4, Bottom + 1.5, 6, 91) translate <0, Bottom - 3.5, -1> }
  }
#end
)";

}  // namespace

Spot SpotOf(const wc::Feature& f, double ground, double distance)
{
    if (distance <= 0) {
        const double below = render::kEyeHeight - render::HeightOfRow(f.y2, 1.0);  // drop per metre out
        if (below <= 0) throw Error("a feature whose bottom row " + std::to_string(f.y2) + " lies above the horizon cannot stand on the ground");
        distance = (render::kEyeHeight - ground) / below;
    }
    const double halfAngle = (f.x2 - f.x1) / 2.0 / content::kPanoramaWidth * 2.0 * render::kPi;
    return {distance, 2.0 * distance * std::tan(halfAngle), render::HeightOfRow(f.y1, distance) - ground,
            render::HeightOfRow(f.y2, distance) - ground};
}

std::string Placed(const std::string& object, double distance, double degrees)
{
    return "object { " + object + Format(" translate <0, 0, %.4f> rotate <0, %.4f, 0> }\n", distance, degrees);
}

std::string FlatCamera::Text() const
{
    const double p = pitch * render::kPi / 180.0;
    return Format("camera { perspective location <0, %.4f, 0> right x * 2 up y angle %.4f look_at <0, %.4f, %.4f> }\n", eye,
                  fov, eye - std::sin(p), std::cos(p));
}

void FlatCamera::Ray(double px, double py, double* dx, double* dy, double* dz) const
{
    const double p = pitch * render::kPi / 180.0;
    const double u = (px / content::kFlatWidth - 0.5) * 2.0, v = 0.5 - py / content::kFlatHeight;
    const double f = 1.0 / std::tan(fov * render::kPi / 360.0);
    *dx = u;
    *dy = v * std::cos(p) - f * std::sin(p);
    *dz = v * std::sin(p) + f * std::cos(p);
}

void FlatCamera::OnLevel(double px, double py, double height, double* x, double* z) const
{
    double dx, dy, dz;
    Ray(px, py, &dx, &dy, &dz);
    if (dy * (height - eye) <= 0)
        throw Error("the close view's row " + std::to_string(py) + " never meets the level " + std::to_string(height));
    const double t = (height - eye) / dy;
    *x = dx * t;
    *z = dz * t;
}

void FlatCamera::OnWall(double px, double py, double depth, double* x, double* y) const
{
    double dx, dy, dz;
    Ray(px, py, &dx, &dy, &dz);
    const double t = depth / dz;
    *x = dx * t;
    *y = eye + dy * t;
}

Upright UprightIn(const FlatCamera& camera, double x1, double y1, double x2, double y2)
{
    double x, z;
    camera.OnLevel((x1 + x2) / 2, y2, 0.0, &x, &z);
    double left, right, top, ignored;
    camera.OnWall(x1, y1, z, &left, &top);
    camera.OnWall(x2, y1, z, &right, &ignored);
    return {z, right - left, top};
}

const wc::Place& PlaceShowing(int screen)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == screen) return place;
    throw Error("the world names no place numbered " + std::to_string(screen));
}

bool GoesDown(int screen, int target)
{
    // The landing (100) and the cove (105) lie lowest on the shore, the flats below them all.
    auto level = [](int s) {
        if (s >= 600) return 0;
        if (s == 100 || s == 104 || s == 105) return 1;
        return 2;
    };
    return level(target) < level(screen);
}

std::string SkyOver(const wc::Place& place, int screen)
{
    for (const wc::Feature& f : place.features)
        if (f.look == wc::Look::Moon) {
            const double column = (f.x1 + f.x2) / 2.0, row = (f.y1 + f.y2) / 2.0;
            const double up = (0.5 - row / content::kPanoramaHeight) * 2.0 * render::kBandLatitude * 180.0 / render::kPi;
            const double radius = (f.y2 - f.y1) / 2.0 / content::kPanoramaHeight * 2.0 * render::kBandLatitude * 180.0 / render::kPi;
            return Format("DuskSky(%.4f, %.4f, %.4f, 1.0)\n", render::DegreesOfColumn(column), up, radius);
        }
    // No moon in the band: it stands high, out of the picture, and only its light shows.
    return Format("DuskSky(%.4f, 55, 3.6, 1.0)\n", (screen * 137) % 360);
}

std::string PathTowards(const wc::Feature& f)
{
    const Spot s = SpotOf(f, 0);
    return Format("box { <-0.8, -0.3, 0>, <0.8, 0.012, %.4f> texture { Gravel } rotate <0, %.4f, 0> }\n", s.distance,
                  render::DegreesOfColumn((f.x1 + f.x2) / 2.0));
}

std::string RocksBetween(const wc::Place& place, double distance, unsigned seed)
{
    std::vector<bool> used(content::kPanoramaWidth, false);
    for (const wc::Feature& f : place.features) {
        if (f.look == wc::Look::None) break;
        if (f.look == wc::Look::Moon || f.look == wc::Look::Pool) continue;
        for (int c = f.x1 - 60; c <= f.x2 + 60; ++c) used[(c + content::kPanoramaWidth) % content::kPanoramaWidth] = true;
    }
    std::string rocks;
    std::uint32_t state = seed * 2654435761u + 1;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    };
    for (int c = 0; c < content::kPanoramaWidth; c += 90) {
        const double jitter = next();
        const int column = c + static_cast<int>(jitter * 60);
        if (used[column % content::kPanoramaWidth]) continue;
        rocks += Placed(Format("Crag(%.4f, %.4f, 2.5, %.4f)", 2.0 + 2.0 * next(), 0.6 + 1.6 * next(), seed * 100 + c),
                        distance + 2.0 * next(), render::DegreesOfColumn(column));
    }
    return rocks;
}

std::string ShoreFixtureMacros() { return kFixtures; }

}  // namespace world_render::shore
