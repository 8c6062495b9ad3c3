// The eight items' models, and their bar pictures and cursors rendered from them: each model
// alone on no background, lit from the upper left, its masks from the render's alpha.
#include <cmath>
#include <string>
#include <vector>

#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_things.h"
#include "game/assets/world_art.h"

namespace world_render {

namespace {

namespace wc = world_content;
using render::Format;

// The keeper's logbook: a thick book bound in worn leather, a rounded spine with raised
// bands, brass corners, a gilt rule on the cover and a red ribbon marking his last page.
const char* const kLogbook = R"(
#declare Leather = texture {
  pigment { granite colour_map { [0 rgb <0.33, 0.14, 0.06>] [0.7 rgb <0.26, 0.10, 0.05>] [1 rgb <0.16, 0.07, 0.03>] } scale 0.04 }
  normal { granite 0.35 scale 0.008 }
  finish { diffuse 0.7 specular 0.25 roughness 0.03 }
}
#declare Gilt = texture { pigment { rgb <0.80, 0.60, 0.22> } finish { diffuse 0.5 specular 0.7 roughness 0.02 metallic } }
#declare Thing = union {
  box { <-0.078, 0.004, -0.108>, <0.083, 0.036, 0.108>
        pigment { gradient y colour_map { [0 rgb <0.86, 0.80, 0.66>] [0.5 rgb <0.72, 0.65, 0.50>] [1 rgb <0.86, 0.80, 0.66>] } scale 0.0016 } }
  box { <-0.084, 0, -0.115>, <0.089, 0.0045, 0.115> texture { Leather } }
  box { <-0.084, 0.0355, -0.115>, <0.089, 0.040, 0.115> texture { Leather } }
  cylinder { <0, 0, -0.115>, <0, 0, 0.115>, 0.02 scale <0.45, 1, 1> translate <-0.084, 0.02, 0> texture { Leather } }
  #for (Band, -2, 2, 1)
    #if (Band != 0)
      cylinder { <0, 0, -0.004>, <0, 0, 0.004>, 0.021 scale <0.5, 1, 1> translate <-0.084, 0.02, Band * 0.04> texture { Leather } }
    #end
  #end
  // The gilt rule round the front cover.
  box { <-0.060, 0.0400, -0.095>, <0.072, 0.0404, -0.092> texture { Gilt } }
  box { <-0.060, 0.0400, 0.092>, <0.072, 0.0404, 0.095> texture { Gilt } }
  box { <-0.060, 0.0400, -0.095>, <-0.057, 0.0404, 0.095> texture { Gilt } }
  box { <0.069, 0.0400, -0.095>, <0.072, 0.0404, 0.095> texture { Gilt } }
  // A paper label on the cover.
  box { <-0.030, 0.0400, -0.035>, <0.045, 0.0406, 0.010> pigment { rgb <0.82, 0.76, 0.60> } }
  // Brass corners.
  prism { linear_sweep linear_spline 0, 0.042, 4, <0.089, -0.115>, <0.065, -0.115>, <0.089, -0.091>, <0.089, -0.115>
          texture { Brass } translate <0, -0.001, 0> }
  prism { linear_sweep linear_spline 0, 0.042, 4, <0.089, 0.115>, <0.065, 0.115>, <0.089, 0.091>, <0.089, 0.115>
          texture { Brass } translate <0, -0.001, 0> }
  // The ribbon out of the front edge.
  box { <0.015, 0.018, -0.14>, <0.026, 0.0195, -0.105> pigment { rgb <0.55, 0.06, 0.05> } }
}
)";

// The letter of appointment: one stiff white sheet folded in three, its top third lying
// over the rest, the address written across it and the Harbour Board's red wax seal.
const char* const kAppointment = R"(
#declare LetterPaper = texture { pigment { rgb <0.95, 0.93, 0.86> } normal { bumps 0.04 scale 0.004 } finish { diffuse 0.85 } }
#declare Writing = pigment { rgb <0.10, 0.10, 0.18> }
#declare Thing = union {
  box { <-0.10, 0, -0.065>, <0.10, 0.0012, 0.065> texture { LetterPaper } }
  // The top third, folded down, its edge lifted a little.
  box { <-0.10, 0, -0.065>, <0.10, 0.0008, 0.005> texture { LetterPaper } rotate <-2.5, 0, 0> translate <0, 0.0015, 0.002> }
  // The address: three lines of ink.
  box { <-0.06, 0, 0.025>, <0.03, 0.0003, 0.028> pigment { Writing } translate y * 0.0012 }
  box { <-0.05, 0, 0.038>, <0.05, 0.0003, 0.041> pigment { Writing } translate y * 0.0012 }
  box { <-0.04, 0, 0.051>, <0.02, 0.0003, 0.054> pigment { Writing } translate y * 0.0012 }
  // The seal over the fold's edge: a blob of wax with a ring pressed into it.
  union {
    cylinder { <0, 0, 0>, <0, 0.004, 0>, 0.019 }
    torus { 0.018, 0.0025 translate y * 0.002 }
    torus { 0.011, 0.0012 translate y * 0.0042 }
    texture { pigment { rgb <0.50, 0.04, 0.03> } finish { diffuse 0.6 specular 0.6 roughness 0.01 } }
    scale <1, 1, 0.92> translate <0.045, 0.0016, -0.030>
  }
}
)";

// The gate key: a heavy iron key with a ring bow, collars on the shank and a cut bit.
const char* const kKey = R"(
#declare Thing = union {
  torus { 0.021, 0.0055 translate <-0.048, 0, 0> }
  torus { 0.009, 0.0025 translate <-0.048, 0, 0> }
  cylinder { <-0.030, 0, 0>, <0.072, 0, 0>, 0.0055 }
  cylinder { <-0.030, 0, 0>, <-0.024, 0, 0>, 0.008 }
  cylinder { <-0.006, 0, 0>, <0.0, 0, 0>, 0.0075 }
  sphere { <0.072, 0, 0>, 0.0055 }
  difference {
    box { <0.045, -0.0045, 0>, <0.072, 0.0045, 0.030> }
    box { <0.051, -0.01, 0.012>, <0.055, 0.01, 0.031> }
    box { <0.061, -0.01, 0.020>, <0.065, 0.01, 0.031> }
    box { <0.044, -0.01, 0.024>, <0.048, 0.01, 0.031> }
  }
  texture { RustIron }
  translate y * 0.0055
}
)";

// The crank handle of the pump and the winch: a boss with a square socket that fits both
// shafts, an iron arm tapering to the grip's pin, and a turned wooden grip on the pin. It
// is modelled hanging, boss at the origin, the arm down and the grip towards -z.
const char* const kCrank = R"(
#declare CrankIron = texture {
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
  texture { CrankIron }
}
#declare Grip = lathe {
  cubic_spline 9,
  <0.0, -0.01>, <0.012, 0.0>, <0.026, 0.01>, <0.031, 0.05>, <0.026, 0.1>, <0.032, 0.15>, <0.024, 0.19>, <0.0, 0.2>, <0.0, 0.21>
  texture { Wood scale 0.5 }
  rotate <-90, 0, 0>
  translate <0, -0.4, -0.065>
}
#declare Thing = union { object { Crank } object { Grip } }
)";

// The hand lamp, lit: a brass oil font, a glass chimney with the flame inside, brass guard
// wires, a vented cap and the bail handle it is carried by.
const char* const kLamp = R"(
#declare Flame = union {
  sphere { 0, 1 scale <0.009, 0.024, 0.009> translate y * 0.112 }
  sphere { 0, 1 scale <0.014, 0.012, 0.014> translate y * 0.098 }
  pigment { rgbf <1, 0.8, 0.4, 0.3> } finish { ambient 0 diffuse 0 emission 2.2 } no_shadow
}
#declare Thing = union {
  lathe { linear_spline 8, <0, 0>, <0.062, 0>, <0.066, 0.008>, <0.064, 0.040>, <0.048, 0.058>, <0.030, 0.066>, <0.030, 0.075>, <0, 0.075>
          texture { Brass } }
  // The chimney: a glass tube, and the flame in it.
  difference {
    cylinder { <0, 0.075, 0>, <0, 0.190, 0>, 0.042 }
    cylinder { <0, 0.070, 0>, <0, 0.195, 0>, 0.039 }
    texture { Glass } interior { GlassInterior } no_shadow
  }
  object { Flame }
  light_source { <0, 0.11, 0>, rgb <1.0, 0.72, 0.38> * 1.2 fade_distance 0.12 fade_power 2 }
  // Guard wires and their rings.
  #for (Wire, 0, 3, 1)
    cylinder { <0.050, 0.070, 0>, <0.050, 0.195, 0>, 0.0022 rotate y * (45 + Wire * 90) texture { Brass } no_shadow }
  #end
  torus { 0.050, 0.0025 translate y * 0.078 texture { Brass } no_shadow }
  torus { 0.050, 0.0025 translate y * 0.150 texture { Brass } no_shadow }
  // The cap with its vent.
  cone { <0, 0.190, 0>, 0.056, <0, 0.225, 0>, 0.022 texture { Brass } }
  difference {
    cylinder { <0, 0.220, 0>, <0, 0.245, 0>, 0.014 }
    cylinder { <0, 0.225, 0>, <0, 0.250, 0>, 0.011 }
    texture { Brass }
  }
  cylinder { <0, 0.252, 0>, <0, 0.255, 0>, 0.019 texture { Brass } }
  // The bail: a half ring over the cap from pivot to pivot.
  difference {
    torus { 0.058, 0.0028 rotate <90, 0, 0> }
    box { <-0.1, -0.1, -0.1>, <0.1, 0, 0.1> }
    translate y * 0.200
    texture { DarkIron }
  }
  sphere { <-0.058, 0.200, 0>, 0.005 texture { Brass } }
  sphere { <0.058, 0.200, 0>, 0.005 texture { Brass } }
}
)";

// The keeper's letters: a bundle of envelopes of several papers, not quite square on each
// other, tied both ways with a faded red tape and a bow.
const char* const kLetterBundle = R"(
#declare Tape = texture { pigment { rgb <0.62, 0.16, 0.12> } normal { gradient x 0.3 scale 0.001 } finish { diffuse 0.75 specular 0.1 } }
#macro Envelope(Colour, Turn, Lift)
  union {
    box { <-0.080, 0, -0.050>, <0.080, 0.0026, 0.050> pigment { rgb Colour } normal { bumps 0.05 scale 0.003 } }
    // The flap's edges, a shade darker.
    prism { linear_sweep linear_spline 0, 0.0003, 4, <-0.080, 0.050>, <0.080, 0.050>, <0, 0.012>, <-0.080, 0.050>
            pigment { rgb Colour * 0.82 } translate y * 0.0026 }
    rotate y * Turn translate y * Lift
  }
#end
#declare Thing = union {
  Envelope(<0.78, 0.70, 0.52>, 4, 0)
  Envelope(<0.70, 0.74, 0.78>, -3, 0.0028)
  Envelope(<0.86, 0.82, 0.70>, 6, 0.0056)
  Envelope(<0.74, 0.64, 0.48>, -2, 0.0084)
  Envelope(<0.90, 0.87, 0.78>, 1, 0.0112)
  // The address on the top one.
  box { <-0.035, 0, -0.028>, <0.040, 0.0003, -0.025> pigment { rgb <0.12, 0.10, 0.16> } translate y * 0.0140 }
  box { <-0.025, 0, -0.040>, <0.050, 0.0003, -0.037> pigment { rgb <0.12, 0.10, 0.16> } translate y * 0.0140 }
  // The tape round the bundle both ways, and the bow where it crosses.
  difference { box { <-0.090, -0.0008, -0.007>, <0.090, 0.0150, 0.007> } box { <-0.086, 0.0002, -0.01>, <0.086, 0.0140, 0.01> } texture { Tape } }
  difference { box { <-0.007, -0.0008, -0.058>, <0.007, 0.0152, 0.058> } box { <-0.01, 0.0002, -0.054>, <0.01, 0.0142, 0.054> } texture { Tape } }
  torus { 0.011, 0.0025 scale <1, 0.5, 0.6> rotate y * 25 translate <-0.012, 0.0160, -0.003> texture { Tape } }
  torus { 0.011, 0.0025 scale <1, 0.5, 0.6> rotate y * -25 translate <0.012, 0.0160, -0.003> texture { Tape } }
  box { <-0.003, 0, -0.032>, <0.003, 0.001, 0> rotate y * 20 translate <0.006, 0.0155, -0.005> texture { Tape } }
  box { <-0.003, 0, -0.030>, <0.003, 0.001, 0> rotate y * -25 translate <-0.006, 0.0155, -0.005> texture { Tape } }
  sphere { <0, 0.0162, -0.003>, 0.004 scale <1, 0.6, 1> texture { Tape } }
}
)";

// The keeper's pocket watch: a gold hunter case, its lid standing open on the hinge at nine
// o'clock, the white dial with its hands, the crown and bow at twelve and a length of chain.
const char* const kWatch = R"(
#declare Gold = texture { pigment { rgb <0.86, 0.66, 0.28> } finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.45 specular 0.7 roughness 0.015 metallic reflection { 0.25 metallic } } }
#declare WatchCase = union {
  cylinder { <0, 0.002, 0>, <0, 0.010, 0>, 0.0245 }
  torus { 0.0225, 0.0045 translate y * 0.006 }
  sphere { 0, 1 scale <0.0245, 0.004, 0.0245> translate y * 0.0025 }
  texture { Gold }
}
#declare Dial = union {
  cylinder { <0, 0.0095, 0>, <0, 0.0108, 0>, 0.0212 pigment { rgb <0.94, 0.92, 0.86> } finish { specular 0.3 roughness 0.01 } }
  #for (Hour, 0, 11, 1)
    box { <-0.0006, 0, 0.0165>, <0.0006, 0.0002, 0.0195> rotate y * (Hour * 30) translate y * 0.0108 pigment { rgb 0.05 } }
  #end
  box { <-0.0005, 0, 0>, <0.0005, 0.0003, 0.0115> rotate y * 120 translate y * 0.0110 pigment { rgb 0.04 } }
  box { <-0.0004, 0, 0>, <0.0004, 0.0003, 0.0165> rotate y * -30 translate y * 0.0113 pigment { rgb 0.04 } }
  cylinder { <0, 0.0108, 0>, <0, 0.0118, 0>, 0.0012 texture { Gold } }
  torus { 0.0045, 0.0002 translate <0, 0.0109, -0.0095> pigment { rgb 0.2 } }
}
// The lid, modelled shut over the dial, hinged on the edge at -x.
#declare Lid = union {
  difference {
    sphere { 0, 1 scale <0.0248, 0.005, 0.0248> }
    plane { y, 0 }
  }
  cylinder { <0, -0.001, 0>, <0, 0, 0>, 0.0248 }
  texture { Gold }
  translate y * 0.012
}
#declare Crown = union {
  cylinder { <0, 0.006, 0.024>, <0, 0.006, 0.031>, 0.0035 }
  cylinder { <0, 0.006, 0.030>, <0, 0.006, 0.036>, 0.0052 }
  torus { 0.0085, 0.0014 translate <0, 0.006, 0.040> }
  texture { Gold }
}
#macro Watch(Open)
  union {
    object { WatchCase }
    object { Dial }
    object { Crown }
    object { Lid translate <0.0265, -0.012, 0> rotate z * Open translate <-0.0265, 0.012, 0> }
    cylinder { <-0.0265, 0.006, -0.006>, <-0.0265, 0.006, 0.006>, 0.003 texture { Gold } }
  }
#end
#declare Thing = union {
  Watch(110)
  // The chain, falling away from the bow.
  #for (Link, 0, 10, 1)
    torus { 0.0032, 0.0008 rotate <(mod(Link, 2) = 0 ? 0 : 90), 0, 90> rotate y * 90
            translate <0.004 * sin(Link * 0.35), 0.0012, 0.052 + Link * 0.0055> texture { Gold } }
  #end
}
)";

// The last lens: a great lens of green-tinted glass ground by the observatory's builders,
// in a brass ring with the two trunnions it turns on in its cradle; it stands on its edge.
const char* const kLens = R"(
#declare LensGlass = texture {
  pigment { rgbf <0.80, 0.93, 0.90, 0.6> }
  finish { ambient 0 diffuse 0.08 specular 0.9 roughness 0.004 reflection { 0.14, 0.6 fresnel } conserve_energy }
}
#declare Thing = union {
  intersection {
    sphere { <0, 0, -0.36>, 0.38 }
    sphere { <0, 0, 0.36>, 0.38 }
    texture { LensGlass } interior { ior 1.52 }
  }
  difference {
    cylinder { <0, 0, -0.022>, <0, 0, 0.022>, 0.136 }
    cylinder { <0, 0, -0.03>, <0, 0, 0.03>, 0.121 }
    texture { Brass }
  }
  torus { 0.128, 0.004 rotate x * 90 translate z * -0.022 texture { Brass } }
  torus { 0.128, 0.004 rotate x * 90 translate z * 0.022 texture { Brass } }
  cylinder { <-0.150, 0, 0>, <-0.134, 0, 0>, 0.012 texture { Brass } }
  cylinder { <0.134, 0, 0>, <0.150, 0, 0>, 0.012 texture { Brass } }
  translate y * 0.152
}
)";

// How the bar shows each model: the point it looks at, the radius it frames and the
// camera's height angle and turn (degrees).
struct BarView {
    const char* model;
    double centreX, centreY, centreZ;
    double radius;
    double elevation;
    double turn;
};
const BarView kBarViews[kThingCount] = {
    {kLogbook, 0.0, 0.02, 0.0, 0.135, 58, -22},
    {kAppointment, 0.0, 0.0, 0.0, 0.105, 62, 12},
    {kKey, 0.012, 0.005, 0.006, 0.068, 70, 0},
    {kCrank, 0.0, -0.19, -0.12, 0.26, 22, -42},
    {kLamp, 0.0, 0.13, 0.0, 0.145, 14, 0},
    {kLetterBundle, 0.0, 0.01, 0.0, 0.092, 60, -8},
    {kWatch, 0.0, 0.014, 0.012, 0.046, 48, 18},
    {kLens, 0.0, 0.152, 0.0, 0.148, 24, 32},
};

const BarView& ViewOf(int item)
{
    if (item < 1 || item > kThingCount) throw Error("there is no item " + std::to_string(item) + " to render");
    return kBarViews[item - 1];
}

}  // namespace

std::string ThingModel(int item) { return ViewOf(item).model; }

render::RenderRequest ItemBarRequest(int item)
{
    const BarView& v = ViewOf(item);
    constexpr double kDegrees = 3.14159265358979 / 180.0;
    constexpr double kAngle = 30.0;  // the camera's field, degrees
    // Far enough that the framed radius fills four fifths of the square, leaving the halo room.
    const double distance = v.radius / std::tan(kAngle / 2 * kDegrees) / 0.8;
    const double e = v.elevation * kDegrees, t = v.turn * kDegrees;
    const double cx = v.centreX - distance * std::cos(e) * std::sin(t);
    const double cy = v.centreY + distance * std::sin(e);
    const double cz = v.centreZ - distance * std::cos(e) * std::cos(t);
    std::string scene = render::Materials();
    scene += v.model;
    scene += Format(R"(
camera { perspective location <%.5f, %.5f, %.5f> look_at <%.5f, %.5f, %.5f> right x up y angle %.4f }
object { Thing }
// A warm key light from the upper left, a cool fill and a rim light from behind.
light_source { <-1.2, 2.0, -1.4> * %.5f, rgb <1.0, 0.90, 0.74> * 1.15 }
light_source { <1.6, 0.6, -1.0> * %.5f, rgb <0.55, 0.60, 0.72> * 0.5 shadowless }
light_source { <0.6, 1.2, 1.8> * %.5f, rgb <0.8, 0.75, 0.7> * 0.45 shadowless }
// What metal and glass reflect: a room seen by no camera ray, so the background stays clear.
sphere { 0, 1 hollow
  texture { pigment { gradient y colour_map { [0 rgb <0.06, 0.05, 0.04>] [0.5 rgb <0.30, 0.26, 0.22>] [1 rgb <0.85, 0.80, 0.70>] }
                      translate -0.5 scale 2 }
            finish { ambient 0 diffuse 0 emission 1 } }
  scale %.5f no_image no_shadow }
)",
                    cx, cy, cz, v.centreX, v.centreY, v.centreZ, kAngle, distance * 3, distance * 3, distance * 3,
                    distance * 20);
    return {std::string("item ") + std::to_string(item), scene, content::kItemSide, content::kItemSide, true, false};
}

content::Canvas CanvasOf(const imaging::Image& picture)
{
    content::Canvas canvas(picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = picture.Row(y) + x * 4;
            canvas.At(x, y) = {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f};
        }
    return canvas;
}

content::ItemPictures ItemPicturesFromRender(const imaging::Image& render)
{
    if (render.width != content::kItemSide || render.height != content::kItemSide)
        throw Error("an item's render is " + std::to_string(render.width) + " x " + std::to_string(render.height) +
                    ", not the bar's " + std::to_string(content::kItemSide) + " pixels square");
    std::vector<float> coverage(static_cast<std::size_t>(render.width) * render.height);
    for (int y = 0; y < render.height; ++y)
        for (int x = 0; x < render.width; ++x)
            coverage[static_cast<std::size_t>(y) * render.width + x] = render.Row(y)[x * 4 + 3] / 255.0f;
    return content::ItemFromCoverage(CanvasOf(render), coverage);
}

void AddItemPictures(std::vector<content::Asset>& rendered)
{
    for (const wc::ItemDef& item : wc::Art().items) {
        const render::RenderRequest request = ItemBarRequest(item.number);
        const std::string picture = item.picture, alpha1 = item.alpha1, alpha2 = item.alpha2;
        const int offset = wc::ItemOffset(item);
        rendered.push_back({picture, {picture, alpha1, alpha2}, 1.0, [=](const content::AssetContext& context) {
                                const content::ItemPictures pictures = ItemPicturesFromRender(render::Render(request, context.render));
                                const auto write = [&](const std::string& path, const imaging::Image& image) {
                                    content::WritePicture(context.outputDir, path, image, content::PictureFormat::Png,
                                                          context.previewDir, offset);
                                };
                                write(picture, pictures.picture.ToImage());
                                write(alpha1, content::MaskToImage(pictures.highlighted, content::kItemSide, content::kItemSide));
                                write(alpha2, content::MaskToImage(pictures.normal, content::kItemSide, content::kItemSide));
                            }});
    }
}

}  // namespace world_render
