// The depths: the old sea cistern cut in the rock under the observatory, and the drowned lower
// observatory under the flats. Below the hall there is no light but what the player carries:
// the panoramas are drawn as the dark shows them (cold light from gratings and the sea, wet
// glints, the ways' mouths and frames faintly), and the close views, reached only with the
// lit hand lamp, as that lamp shows them: warm light from the viewer's side.
#include "game/assets/render_depths.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <string>
#include <vector>

#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/world_art.h"
#include "render/kit.h"
#include "render/panorama.h"

namespace world_render {

namespace depths {

namespace {

namespace wc = world_content;
using render::HeightOfRow;
using render::kEyeHeight;
using render::kPi;

constexpr int kPanoramaWidth = content::kPanoramaWidth;

// Scene text with numbers and words put in, in order: %.4f takes a number, %s a word or a
// piece of scene. A pattern that does not match its parts is a fault in this file: it throws.
struct Part {
    std::string text;
    bool number;
};
Part ToPart(const std::string& text) { return {text, false}; }
Part ToPart(const char* text) { return {text, false}; }
template <typename T>
    requires std::is_arithmetic_v<T>
Part ToPart(T number)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(number));
    return {text, true};
}
template <typename... Parts>
std::string Say(const char* pattern, const Parts&... parts)
{
    const std::vector<Part> given{ToPart(parts)...};
    std::string out;
    std::size_t next = 0;
    for (const char* p = pattern; *p; ++p) {
        const bool number = std::strncmp(p, "%.4f", 4) == 0, word = std::strncmp(p, "%s", 2) == 0;
        if (!number && !word) {
            out += *p;
            continue;
        }
        if (next >= given.size() || given[next].number != number)
            throw Error(std::string("a depths scene pattern wants ") + (number ? "a number" : "a word") + " as part " +
                        std::to_string(next + 1) + " near: " + std::string(p).substr(0, 60));
        out += given[next++].text;
        p += number ? 3 : 1;
    }
    if (next != given.size())
        throw Error("a depths scene pattern takes " + std::to_string(next) + " parts, not " + std::to_string(given.size()));
    return out;
}

// The depths' own materials, on top of the shared ones: wet rock, fine old stonework with the
// sea's weed and barnacles on its lower courses, silt, verdigris brass, copper, oilskin.
const char* const kDepthMaterials = R"(
#declare WetRock = texture {
  pigment { granite turbulence 0.5 colour_map { [0 rgb <0.15, 0.15, 0.14>] [0.5 rgb <0.25, 0.24, 0.22>] [1 rgb <0.11, 0.12, 0.12>] } scale 1.3 }
  normal { bumps 0.8 scale 0.35 }
  finish { diffuse 0.7 specular 0.5 roughness 0.008 }
}
#declare Dressed = texture {
  pigment { brick rgb <0.09, 0.09, 0.08>, rgb <0.33, 0.32, 0.29> brick_size <0.8, 0.4, 0.8> mortar 0.025 }
  normal { granite 0.15 scale 0.3 }
  finish { diffuse 0.7 specular 0.35 roughness 0.01 }
}
#declare Flags = texture {
  pigment { brick rgb <0.07, 0.07, 0.06>, rgb <0.29, 0.28, 0.26> brick_size <1.0, 0.3, 0.7> mortar 0.03 }
  normal { granite 0.12 scale 0.25 }
  finish { diffuse 0.7 specular 0.55 roughness 0.006 }
}
#declare Ashlar = texture {
  pigment { brick rgb <0.13, 0.12, 0.10>, rgb <0.44, 0.41, 0.35> brick_size <0.9, 0.38, 0.9> mortar 0.012 }
  normal { granite 0.06 scale 0.4 }
  finish { diffuse 0.7 specular 0.3 roughness 0.01 }
}
#declare Barnacled = texture {
  pigment { crackle colour_map { [0 rgb <0.44, 0.42, 0.36>] [0.08 rgb <0.36, 0.35, 0.30>] [0.1 rgb <0.08, 0.12, 0.06>] [1 rgb <0.12, 0.16, 0.08>] } scale 0.05 }
  normal { crackle 1.2 scale 0.05 }
  finish { diffuse 0.7 specular 0.5 roughness 0.01 }
}
#declare Weed = texture {
  pigment { rgb <0.08, 0.14, 0.05> }
  normal { wrinkles 0.7 scale 0.06 }
  finish { diffuse 0.7 specular 0.5 roughness 0.01 }
}
// The drowned rooms' walls: fine courses above, weed and barnacles where the sea stands.
#declare SeaWall = texture {
  gradient y
  texture_map { [0 Barnacled] [0.28 Barnacled] [0.34 Weed] [0.4 Ashlar] [1 Ashlar] }
  scale 3.2
}
#declare Silt = texture {
  pigment { granite colour_map { [0 rgb <0.20, 0.18, 0.13>] [1 rgb <0.29, 0.26, 0.19>] } scale 0.5 }
  normal { wrinkles 0.5 scale 0.4 }
  finish { diffuse 0.7 specular 0.45 roughness 0.01 }
}
#declare Verdigris = texture {
  pigment { granite colour_map { [0 rgb <0.55, 0.40, 0.17>] [0.55 rgb <0.48, 0.35, 0.15>] [0.7 rgb <0.22, 0.40, 0.32>] [1 rgb <0.28, 0.48, 0.40>] } scale 0.08 }
  finish { diffuse 0.55 specular 0.5 roughness 0.02 metallic }
}
#declare Copper = texture {
  pigment { rgb <0.58, 0.30, 0.15> }
  finish { diffuse 0.5 specular 0.6 roughness 0.015 metallic reflection { 0.1 metallic } }
}
#declare Oilskin = texture {
  pigment { rgb <0.55, 0.43, 0.10> }
  normal { wrinkles 0.7 scale 0.09 }
  finish { diffuse 0.7 specular 0.4 roughness 0.02 }
}
#declare Oilcloth = texture {
  pigment { rgb <0.30, 0.25, 0.12> }
  normal { wrinkles 0.6 scale 0.03 }
  finish { diffuse 0.7 specular 0.5 roughness 0.01 }
}
#declare Puddle = texture {
  pigment { rgbf <0.05, 0.08, 0.09, 0.7> }
  normal { ripples 0.08 frequency 5 scale 0.4 }
  finish { ambient 0 diffuse 0.05 specular 0.8 roughness 0.004 reflection { 0.2, 0.8 fresnel } conserve_energy }
}
#declare Seam = texture { pigment { rgb 0 } finish { ambient 0 diffuse 0 } }
#declare Rnd = seed(4411);
)";

// The cold light of the dark: what comes down gratings and in from the sea.
const char* const kCold = "<0.45, 0.55, 0.72>";

const wc::Place& PlaceNumbered(int number)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == number) return place;
    throw Error("the world names no place " + std::to_string(number) + " for the depths to draw");
}

const wc::Feature& FeatureOf(int place, int index)
{
    const wc::Place& p = PlaceNumbered(place);
    if (index < 0 || index >= wc::kMaxFeatures || p.features[index].look == wc::Look::None)
        throw Error("place " + std::to_string(place) + " has no feature " + std::to_string(index) + " to draw");
    return p.features[index];
}

// A feature's centre longitude in degrees, and the half width it spans at `distance`.
double Centre(const wc::Feature& f) { return render::DegreesOfColumn((f.x1 + f.x2) / 2.0); }
double HalfWidth(const wc::Feature& f, double distance)
{
    return distance * std::tan((f.x2 - f.x1) / 2.0 / kPanoramaWidth * 2.0 * kPi);
}
// Moves a thing built facing the eye at the origin out to `distance` along a feature's centre.
std::string Out(const wc::Feature& f, double distance)
{
    return Say(" translate <0, 0, %.4f> rotate <0, %.4f, 0> ", distance, Centre(f));
}

std::string PanoramaHead()
{
    return render::PanoramaCamera(0, kEyeHeight, 0) + render::Materials() + kDepthMaterials +
           "background { rgb 0 }\n#declare Holes = sphere { <0, -100, 0>, 0.001 }\n" +
           // What little light the dark keeps, from everywhere and nowhere: enough to make out
           // the frames of the ways, not their depth.
           Say("light_source { <0, 2.2, 0>, rgb %s * 0.07 shadowless }\n", kCold);
}

// ---- ways: tunnels, stairs and doorways through a round wall of radius R ----

enum class Steps { None, Up, Down };

struct WayLook {
    Steps steps = Steps::None;
    const char* ring = "Dressed";     // the surround's stone
    const char* lining = "WetRock";   // the passage's own walls
    double glow = 0.18;               // a faint cold light deep in the passage: the way goes on
    const char* glowColour = kCold;
    bool squareHead = false;          // a doorway rather than an arch
};

std::string Way(const wc::Feature& f, double R, const WayLook& look)
{
    const double hw = HalfWidth(f, R) * 0.86;
    const double top = HeightOfRow(f.y1, R);
    const double spring = look.squareHead ? top : std::max(0.9, top - hw);
    const double head = look.squareHead ? 0.0 : hw;
    std::string s = Say(R"(
#declare WayHole = union {
  box { <-%.4f, 0, -1.5>, <%.4f, %.4f, 7> }
  cylinder { <0, %.4f, -1.5>, <0, %.4f, 7>, %.4f }
)", hw, hw, spring, spring, spring, head > 0 ? head : 0.001);
    if (look.steps == Steps::Up) s += Say("  box { <-%.4f, 0, 1.0>, <%.4f, %.4f, 7> }\n", hw, hw, spring + head + 2.6);
    if (look.steps == Steps::Down) s += Say("  box { <-%.4f, -3.6, 0.5>, <%.4f, %.4f, 7> }\n", hw, hw, spring);
    s += "}\n";
    s += Say(R"(
#declare WayBody = union {
  difference { box { <-%.4f, -4, 0>, <%.4f, %.4f, 7.3> } object { WayHole } texture { %s } }
)", hw + 0.5, hw + 0.5, spring + head + 3.2, look.lining);
    if (look.steps == Steps::Up)
        s += Say(R"(  #for (I, 0, 16) box { <-%.4f, -1, 1.0 + I * 0.32>, <%.4f, (I + 1) * 0.19, 7.3> texture { Flags } } #end
)", hw, hw);
    if (look.steps == Steps::Down)
        s += Say(R"(  #for (I, 0, 16) box { <-%.4f, -4, 0.5 + I * 0.3>, <%.4f, -(I + 1) * 0.2, 7.3> texture { Flags } } #end
)", hw, hw);
    s += Say(R"(
  difference {
    union { box { <-%.4f, 0, -0.2>, <%.4f, %.4f, 0.05> } cylinder { <0, %.4f, -0.2>, <0, %.4f, 0.05>, %.4f } }
    object { WayHole }
    texture { %s }
  }
}
)", hw + 0.35, hw + 0.35, spring + (look.squareHead ? 0.35 : 0.0), spring, spring, head + 0.35, look.ring);
    const double glowHeight = look.steps == Steps::Up ? spring + 1.2 : look.steps == Steps::Down ? -0.3 : spring + head * 0.7;
    s += "#declare Holes = union { object { Holes } object { WayHole " + Out(f, R) + "} }\n";
    s += Say(R"(
light_group {
  light_source { <0, %.4f, 1.6>, rgb %s * %.4f fade_distance 0.9 fade_power 2 shadowless }
  object { WayBody }
  global_lights on
)", glowHeight, look.glowColour, look.glow) +
         Out(f, R) + "}\n";
    return s;
}

// A round chamber cut in the rock: its wall from `bottom` to `wallTop`, a low vault over it,
// and `ribs` dressed ribs across the vault.
std::string RockChamber(double R, double bottom, double wallTop, double rise, const char* wall, int ribs)
{
    std::string s = Say(R"(
difference {
  cylinder { <0, %.4f, 0>, <0, %.4f, 0>, %.4f }
  cylinder { <0, %.4f, 0>, <0, %.4f, 0>, %.4f }
  object { Holes }
  texture { %s }
}
difference {
  sphere { <0, 0, 0>, %.4f }
  sphere { <0, 0, 0>, %.4f }
  plane { y, 0 }
  scale <1, %.4f, 1> translate <0, %.4f, 0>
  texture { %s }
}
)", bottom, wallTop + 0.01, R + 0.9, bottom - 1, wallTop + 1, R, wall, R + 0.9, R, rise / R, wallTop, wall);
    for (int i = 0; i < ribs; ++i)
        s += Say(R"(
intersection {
  difference { sphere { <0, 0, 0>, %.4f } sphere { <0, 0, 0>, %.4f } plane { y, 0 } }
  box { <-0.22, -1, -20>, <0.22, 20, 20> }
  scale <1, %.4f, 1> translate <0, %.4f, 0> rotate <0, %.4f, 0>
  texture { Dressed }
}
)", R + 0.01, R - 0.25, rise / R, wallTop, 180.0 / ribs * i + 20.0);
    return s;
}

// A dressed column standing in the basin, from the basin floor up to the vault.
std::string Column(double degrees, double distance, double bottom, double top)
{
    return Say(R"(
union {
  cylinder { <0, %.4f, 0>, <0, %.4f, 0>, 0.26 }
  box { <-0.38, %.4f, -0.38>, <0.38, %.4f, 0.38> }
  box { <-0.36, %.4f, -0.36>, <0.36, %.4f, 0.36> }
  texture { Dressed rotate <0, 0, 90> }
  translate <0, 0, %.4f> rotate <0, %.4f, 0>
}
)", bottom, top, bottom, bottom + 0.5, top - 0.3, top, distance, degrees);
}

// The basin of a chamber: its silt floor, the water over it (or puddles when pumped dry), and
// the walk: a platform round the eye, causeways out to the ways and a ledge along the wall.
struct Walk {
    double R = 5.6;
    double ledge = 1.0;
    std::vector<double> causeways;  // longitudes in degrees
    double water = -0.35;           // the water's level; none when at or below the floor
    double bottom = -2.4;
};

std::string Basin(const Walk& w)
{
    std::string s = Say(R"(
disc { <0, %.4f, 0>, y, %.4f texture { Silt } }
union {
  cylinder { <0, %.4f, 0>, <0, 0, 0>, 1.7 }
  difference { cylinder { <0, %.4f, 0>, <0, 0, 0>, %.4f } cylinder { <0, %.4f, 0>, <0, 1, 0>, %.4f } }
)", w.bottom, w.R + 0.5, w.bottom, w.bottom, w.R + 0.2, w.bottom - 1, w.R - w.ledge);
    for (double c : w.causeways)
        s += Say("  box { <-1.1, %.4f, 0>, <1.1, 0, %.4f> rotate <0, %.4f, 0> }\n", w.bottom, w.R, c);
    s += "  texture { Flags }\n}\n";
    if (w.water > w.bottom)
        s += Say("disc { <0, %.4f, 0>, y, %.4f texture { Water } }\n", w.water, w.R + 0.1);
    return s;
}

// ---- the cistern's fixtures, built facing the eye at the origin ----

// The hand pump on its plinth at the walk's edge: a cast-iron barrel, a long handle on a fork,
// the gear box with the square shaft the crank fits, and the pipe down into the basin.
std::string Pump(bool drained)
{
    return Say(R"(
#declare HandleTurn = %.4f;
#declare GaugeTurn = %.4f;
union {
  box { <-0.55, 0, -0.45>, <0.55, 0.22, 0.45> texture { Dressed } }
  cylinder { <0, 0.22, 0>, <0, 1.25, 0>, 0.2 texture { RustIron } }
  cylinder { <0, 0.22, 0>, <0, 0.3, 0>, 0.27 texture { RustIron } }
  cylinder { <0, 1.17, 0>, <0, 1.25, 0>, 0.26 texture { RustIron } }
  cylinder { <0, 1.25, 0>, <0, 1.38, 0>, 0.16 texture { DarkIron } }
  box { <-0.05, 1.3, -0.05>, <0.05, 1.66, 0.05> texture { DarkIron } }
  // The spout over a trough.
  cylinder { <0, 0.98, 0>, <0, 0.98, -0.42>, 0.06 texture { RustIron } }
  cylinder { <0, 0.98, -0.42>, <0, 0.86, -0.46>, 0.06 texture { RustIron } }
  // The long handle on its pivot, the rod down into the barrel.
  union {
    cylinder { <-0.45, 0, 0>, <1.7, 0, 0>, 0.035 texture { DarkIron } }
    cylinder { <1.45, 0, 0>, <1.85, 0, 0>, 0.05 texture { Wood } }
    cylinder { <0, 0, -0.07>, <0, 0, 0.07>, 0.05 texture { Brass } }
    rotate <0, 0, HandleTurn> translate <0, 1.6, 0>
  }
  cylinder { <-0.3, 1.28, 0>, <-0.3, 1.6 - 0.3 * sin(radians(HandleTurn)), 0>, 0.02 texture { Brass } }
  // The gauge of the basin's water on the barrel: its needle falls as the pump empties it.
  cylinder { <0, 0.72, -0.18>, <0, 0.72, -0.24>, 0.11 texture { Brass } }
  cylinder { <0, 0.72, -0.238>, <0, 0.72, -0.242>, 0.09 pigment { rgb <0.8, 0.76, 0.64> } }
  box { <-0.006, 0, -0.25>, <0.006, 0.075, -0.245> pigment { rgb <0.05, 0.03, 0.02> } rotate <0, 0, GaugeTurn> translate <0, 0.72, 0> }
  // The gear box on the barrel's side and the square shaft that takes the crank.
  box { <-0.62, 0.5, -0.22>, <-0.2, 0.95, 0.22> texture { RustIron } }
  cylinder { <-0.41, 0.72, -0.22>, <-0.41, 0.72, 0.22>, 0.3 texture { DarkIron } }
  box { <-0.46, 0.67, -0.5>, <-0.36, 0.77, -0.2> texture { Brass } }
  // The pipe: out of the barrel's foot, over the walk's edge and down into the basin.
  cylinder { <0.15, 0.3, 0>, <1.2, 0.3, -0.2>, 0.08 texture { RustIron } }
  sphere { <1.2, 0.3, -0.2>, 0.08 texture { RustIron } }
  cylinder { <1.2, 0.3, -0.2>, <1.2, -2.2, -0.2>, 0.08 texture { RustIron } }
  cylinder { <1.2, -0.5, -0.2>, <1.2, -0.44, -0.2>, 0.12 texture { RustIron } }
  cylinder { <1.2, -2.2, -0.2>, <1.2, -1.9, -0.2>, 0.16 texture { RustIron } }
  box { <1.08, -0.05, -0.3>, <1.35, 0.05, -0.1> texture { DarkIron } }
}
)", drained ? -8.0 : 8.0, drained ? 100.0 : -70.0);
}

// The float valve in its pipe chamber: a main pipe along the wall with a globe valve, the arm
// from the valve's spindle out to a copper float on the water of a stone cistern, and the
// small brass case of the ticking clapper. The builders' catch lies in the dark behind it.
std::string FloatValve()
{
    return R"(
union {
  cylinder { <-2.4, 1.15, 0.45>, <2.4, 1.15, 0.45>, 0.17 texture { RustIron } }
  cylinder { <1.5, 1.15, 0.45>, <1.5, 3.6, 0.45>, 0.17 texture { RustIron } }
  sphere { <1.5, 1.15, 0.45>, 0.19 texture { RustIron } }
  #for (X, -1.8, 1.2, 1.0) cylinder { <X - 0.04, 1.15, 0.45>, <X + 0.04, 1.15, 0.45>, 0.24 texture { DarkIron } } #end
  cylinder { <1.5, 2.0, 0.45>, <1.5, 2.08, 0.45>, 0.24 texture { DarkIron } }
  // The globe valve, its bonnet, spindle and the pivot of the arm.
  sphere { <0, 1.15, 0.4>, 0.32 texture { Verdigris } }
  cylinder { <0, 1.15, 0.4>, <0, 1.62, 0.4>, 0.11 texture { Verdigris } }
  cylinder { <0, 1.62, 0.4>, <0, 1.72, 0.4>, 0.16 texture { Brass } }
  cylinder { <-0.06, 1.72, 0.3>, <-0.06, 1.72, 0.5>, 0.05 texture { Brass } }
  // The clapper's case: a round brass box with a glass over its tick wheel.
  cylinder { <0.45, 1.55, 0.42>, <0.45, 1.55, 0.28>, 0.16 texture { Brass } }
  cylinder { <0.45, 1.55, 0.29>, <0.45, 1.55, 0.27>, 0.12 texture { Glass } }
  // The arm, down to the float on the water.
  cylinder { <-0.06, 1.72, 0.4>, <-1.05, 0.62, -0.55>, 0.03 texture { Brass } }
  sphere { <-1.1, 0.5, -0.6>, 0.3 texture { Copper } }
  // The stone cistern the float rides in, and its water.
  difference {
    box { <-2.1, 0, -1.25>, <0.2, 0.55, -0.05> }
    box { <-2.0, 0.12, -1.15>, <0.1, 0.8, -0.15> }
    texture { Dressed }
  }
  box { <-2.0, 0.12, -1.15>, <0.1, 0.44, -0.15> texture { Water } }
  // The inlet into the cistern, and the dark slot behind the valve.
  cylinder { <-0.9, 1.15, 0.45>, <-0.9, 0.6, -0.3>, 0.07 texture { RustIron } }
  box { <-0.25, 0.5, 0.62>, <0.35, 0.8, 0.75> texture { Seam } }
}
)";
}

// The iron grating low in the wall over a culvert: bars in a stone frame, cold light behind.
std::string Grating(double hw, double height)
{
    return Say(R"(
#declare GrateW = %.4f;
#declare GrateH = %.4f;
#declare GrateHole = box { <-GrateW, 0.0, -1>, <GrateW, GrateH, 3> }
#declare GrateBars = union {
  #for (X, -GrateW + 0.06, GrateW, 0.16) cylinder { <X, -0.05, 0.1>, <X, GrateH + 0.05, 0.1>, 0.028 } #end
  #for (Y, 0.2, GrateH, 0.35) box { <-GrateW, Y - 0.03, 0.05>, <GrateW, Y + 0.03, 0.15> } #end
  texture { RustIron }
}
)", hw, height);
}

// The iron sea gate in its arch: two riveted leaves, plated below and barred above. Broken
// open, the leaves hang askew out towards the sea and the waves come in over the sill.
std::string SeaGate(double hw, double top, bool open)
{
    std::string s = Say(R"(
#declare GateW = %.4f;
#declare GateTop = %.4f;
#declare Leaf = union {
  box { <0, 0, -0.04>, <GateW, GateTop * 0.45, 0.04> }
  #for (X, 0.08, GateW, 0.18) cylinder { <X, GateTop * 0.45, 0>, <X, GateTop, 0>, 0.03 } #end
  #for (Y, 0.2, GateTop, GateTop * 0.22) box { <0, Y - 0.05, -0.06>, <GateW, Y + 0.05, 0.06> } #end
  box { <0, 0, -0.07>, <0.12, GateTop, 0.07> }
  #for (Y, 0.1, GateTop * 0.45, 0.2) #for (X, 0.2, GateW, 0.25) sphere { <X, Y, -0.045>, 0.025 } #end #end
  texture { RustIron }
}
#declare GateHole = union {
  box { <-GateW, 0, -1>, <GateW, GateTop - GateW * 0.6, 8> }
  cylinder { <0, GateTop - GateW * 0.6, -1>, <0, GateTop - GateW * 0.6, 8>, GateW }
}
)", hw, top);
    // Beyond the gate: the sea tunnel's water, calm and unseen behind the shut gate, pounding
    // and lit grey by the open sea when the gate is broken.
    if (!open) {
        s += R"(
#declare GateLeaves = union {
  object { Leaf translate <-GateW, 0, 0> }
  object { Leaf scale <-1, 1, 1> translate <GateW, 0, 0> }
  box { <-0.1, GateTop * 0.3, -0.12>, <0.1, GateTop * 0.42, 0.12> texture { DarkIron } }
}
#declare Beyond = union {
  box { <-GateW - 1, -0.2, 0.4>, <GateW + 1, 0.02, 9> texture { Water } }
  box { <-GateW - 1, -1, 9>, <GateW + 1, GateTop + 1, 9.2> texture { Seam } }
}
)";
    } else {
        s += R"(
#declare GateLeaves = union {
  // The left leaf torn from its upper hinge and hanging out over the water, the right one
  // thrown back against the tunnel's side.
  object { Leaf rotate <0, 0, -7> rotate <0, -62, 0> translate <-GateW, -0.1, 0> }
  object { Leaf scale <-1, 1, 1> rotate <0, 84, 0> translate <GateW, 0, 0> }
}
#declare Beyond = light_group {
  light_source { <0, 6, 10>, rgb <0.55, 0.65, 0.8> * 1.6 }
  light_source { <2, 1.5, 3>, rgb <0.5, 0.6, 0.75> * 0.5 shadowless }
  height_field {
    function 64, 64 { 0.5 + 0.22 * sin(x * 19) * cos(y * 7 + x * 3) + 0.18 * sin(y * 23 + x * 5) }
    smooth
    texture {
      pigment { bozo turbulence 0.6 colour_map { [0 rgb <0.05, 0.09, 0.11>] [0.6 rgb <0.07, 0.12, 0.14>] [0.75 rgb <0.7, 0.75, 0.75>] [1 rgb <0.9, 0.92, 0.9>] } scale 0.5 }
      normal { bumps 0.6 scale 0.2 }
      finish { ambient 0 diffuse 0.6 specular 0.8 roughness 0.005 }
    }
    translate <-0.5, 0, -0.5> scale <GateW * 2 + 2, 0.9, 9> translate <0, -0.4, 4.8>
  }
  box { <-GateW - 1, -1, 9.3>, <GateW + 1, GateTop + 1, 9.5> pigment { rgb <0.25, 0.3, 0.38> } finish { ambient 0 diffuse 0 emission 0.5 } }
  global_lights off
}
)";
    }
    return s;
}

// ---- the cistern's panoramas ----

// The chamber a dark cistern panorama is built in, with its ways, at radius R.
std::string DarkWays(int place, double R, const WayLook& look)
{
    std::string s;
    const wc::Place& p = PlaceNumbered(place);
    for (const wc::Feature& f : p.features)
        if (f.look == wc::Look::Tunnel) s += Way(f, R, look);
    return s;
}

// A grating high in the vault: a cold shaft of light down on the walk and the water.
std::string VaultGrating(double x, double z, double power, double crown)
{
    return Say(R"(
light_source { <%.4f, %.4f, %.4f>, rgb %s * %.4f spotlight point_at <%.4f, 0, %.4f> radius 20 falloff 50 tightness 1 }
)", x, crown, z, kCold, power, x, z);
}

std::string DrippingGlints(int count, double R, int seedBase)
{
    // Drops of water on the walk and slick patches that catch whatever light there is.
    return Say(R"(
#declare Drip = seed(%.4f);
#for (I, 1, %.4f)
  #declare A = rand(Drip) * 360;
  #declare D = 1.8 + rand(Drip) * (%.4f - 3.0);
  disc { <0, 0.005, 0>, y, 0.1 + rand(Drip) * 0.2 texture { Puddle } scale <1.4, 1, 1> rotate <0, rand(Drip) * 180, 0> translate <0, 0, D> rotate <0, A, 0> }
#end
)", seedBase, count, R);
}

// 300: the cistern's head at the foot of the stair from the hall, lit by its lamp; the walk
// runs on into the dark.
std::string CisternHead()
{
    const double R = 5.6;
    const wc::Feature& stairs = FeatureOf(300, 0);
    const wc::Feature& tunnel = FeatureOf(300, 1);
    const wc::Feature& lamp = FeatureOf(300, 2);
    std::string s = PanoramaHead();
    WayLook up;
    up.steps = Steps::Up;
    up.lining = "Dressed";
    up.glow = 0.9;
    up.glowColour = "<1.0, 0.78, 0.5>";
    s += Way(stairs, R, up);
    WayLook dark;
    dark.glow = 0.12;
    s += Way(tunnel, R, dark);
    s += RockChamber(R, -2.4, 3.0, 2.0, "WetRock", 2);
    Walk walk;
    walk.R = R;
    walk.causeways = {Centre(stairs), Centre(tunnel), Centre(lamp)};
    s += Basin(walk);
    s += Column(200, 3.6, -2.4, 3.0) + Column(240, 4.2, -2.4, 3.0) + Column(300, 3.4, -2.4, 3.0) + Column(35 + 60, 3.0, -2.4, 3.0);
    // The lamp on its bracket: a glass and brass lantern burning warm.
    const double lampTop = HeightOfRow(lamp.y1, R - 0.3), lampBottom = HeightOfRow(lamp.y2, R - 0.3);
    s += Say(R"(
union {
  box { <-0.06, %.4f, 0.18>, <0.06, %.4f, 0.3> texture { DarkIron } }
  cylinder { <0, %.4f, 0.24>, <0, %.4f, 0>, 0.025 texture { DarkIron } }
  cylinder { <0, %.4f, 0>, <0, %.4f, 0>, 0.14 texture { Brass } }
  cylinder { <0, %.4f, 0>, <0, %.4f, 0>, 0.13 pigment { rgbf <1, 0.85, 0.6, 0.7> } finish { ambient 0 diffuse 0 emission 1.4 } no_shadow }
  cone { <0, %.4f, 0>, 0.15, <0, %.4f, 0>, 0.03 texture { Brass } }
  torus { 0.06, 0.012 translate <0, %.4f, 0> texture { Brass } }
  light_source { <0, %.4f, -0.3>, rgb <1.0, 0.72, 0.42> * 2.2 fade_distance 2.2 fade_power 2 }
  translate <0, -%.4f, 0> scale <2, 1, 2> translate <0, %.4f, 0>
  translate <0, 0, %.4f> rotate <0, %.4f, 0>
}
)", lampBottom - 0.1, lampTop + 0.05, lampTop - 0.05, lampTop - 0.05, lampBottom, lampBottom + 0.08, lampBottom + 0.08,
                lampTop - 0.28, lampTop - 0.28, lampTop - 0.12, lampTop - 0.08, (lampTop + lampBottom) / 2, lampBottom, lampBottom,
                R - 0.45, Centre(lamp));
    s += DrippingGlints(14, R, 3001);
    s += Say("light_source { <0, 4, 0>, rgb %s * 0.12 shadowless }\n", kCold);
    return s;
}

// 301: the upper walk with the pump.
std::string PumpWalk()
{
    const double R = 5.6;
    const wc::Feature& pump = FeatureOf(301, 1);
    std::string s = PanoramaHead() + DarkWays(301, R, {});
    s += RockChamber(R, -2.4, 2.8, 2.2, "WetRock", 3);
    Walk walk;
    walk.R = R;
    walk.causeways = {Centre(FeatureOf(301, 0)), Centre(FeatureOf(301, 2)), Centre(pump)};
    s += Basin(walk);
    s += "object { union {" + Pump(false) + "} rotate <0, -20, 0> scale 1.05 " + Out(pump, 4.2) + "}\n";
    s += Column(60, 3.4, -2.4, 2.8) + Column(210, 3.2, -2.4, 2.8) + Column(330, 3.8, -2.4, 2.8);
    s += VaultGrating(2.1, -2.9, 1.3, 4.2) + VaultGrating(-2.6, 1.5, 0.6, 4.2);
    s += DrippingGlints(10, R, 3002);
    return s;
}

// 302: the basin itself: a deep round-ended pit beside the walk, the stair down to its floor.
std::string BasinView(const State& state)
{
    const double R = 7.4;
    const wc::Feature& back = FeatureOf(302, 0);
    const wc::Feature& stairs = FeatureOf(302, 2);
    std::string s = PanoramaHead();
    s += Way(back, 5.6, {});
    WayLook down;
    down.steps = Steps::Down;
    down.glow = 0.22;
    s += Way(stairs, 5.6, down);
    // The walk: a floor round the eye, except where the basin is cut into it. The basin's
    // water shows only over the basin's own picture block: a sector of a ring in front of
    // the rock wall.
    s += Say(R"(
#declare BasinCut = intersection {
  cylinder { <0, -2.6, 0>, <0, 0.5, 0>, %.4f }
  cylinder { <0, -2.7, 0>, <0, 0.6, 0>, 3.5 inverse }
  plane { -x, 0 rotate <0, 109, 0> }
  plane { x, 0 rotate <0, 225, 0> }
}
difference {
  cylinder { <0, -2.4, 0>, <0, 0, 0>, 9 }
  object { BasinCut }
  object { Holes }
  texture { Flags }
}
disc { <0, -2.39, 0>, y, 8 texture { Silt } }
)", R + 0.5);
    // The chamber: a rock wall near where the ways are, and the far wall of the basin behind it.
    s += Say(R"(
difference {
  cylinder { <0, -2.4, 0>, <0, 3.4, 0>, 10 }
  union {
    cylinder { <0, -3, 0>, <0, 4, 0>, 5.6 }
    intersection { cylinder { <0, -3, 0>, <0, 4, 0>, %.4f } plane { -x, 0 rotate <0, 104, 0> } plane { x, 0 rotate <0, 230, 0> } }
  }
  object { Holes }
  texture { WetRock }
}
difference { sphere { <0, 0, 0>, 10.5 } sphere { <0, 0, 0>, 10 } plane { y, 0 } scale <1, 0.3, 1> translate <0, 3.4, 0> texture { WetRock } }
)", R);
    // The basin's floor: silt, a drain channel, puddles when pumped dry.
    if (state.drained) {
        s += R"(
#declare Drip = seed(3022);
#for (I, 1, 16)
  #declare A = 112 + rand(Drip) * 108;
  #declare D = 4.2 + rand(Drip) * 2.8;
  disc { <0, -2.38, 0>, y, 0.2 + rand(Drip) * 0.45 texture { Puddle } scale <1.6, 1, 1> rotate <0, rand(Drip) * 180, 0> translate <0, 0, D> rotate <0, A, 0> }
#end
#for (I, 1, 9)
  #declare A = 114 + rand(Drip) * 104;
  #declare D = 4.5 + rand(Drip) * 2.6;
  sphere { <0, -2.4, 0>, 0.2 + rand(Drip) * 0.25 scale <1, 0.5, 1> translate <0, 0, D> rotate <0, A, 0> texture { WetRock } }
#end
)";
    } else {
        s += "intersection { disc { <0, -0.35, 0>, y, 9 } object { BasinCut } texture { Water } }\n";
    }
    // Tide and flood marks along the basin's wall, and columns at its far edge.
    for (double at : {118.0, 141.0, 164.0, 187.0, 210.0}) s += Column(at, R + 0.2, -2.4, 3.4);
    s += VaultGrating(-2.0, -3.4, 1.4, 5.6);
    s += DrippingGlints(8, 5.4, 3003);
    return s;
}

// 303: the basin floor's low gallery: a culvert grating with cold light through it.
std::string GrateGallery()
{
    const double R = 4.5;
    const wc::Feature& stairs = FeatureOf(303, 0);
    const wc::Feature& grate = FeatureOf(303, 1);
    const wc::Feature& tunnel = FeatureOf(303, 2);
    std::string s = PanoramaHead();
    WayLook up;
    up.steps = Steps::Up;
    up.glow = 0.1;
    s += Way(stairs, 5.2, up) + Way(tunnel, 5.2, {});
    const double hw = HalfWidth(grate, R) * 0.95, height = HeightOfRow(grate.y1, R) - 0.05;
    s += Grating(hw, height);
    s += "#declare Holes = union { object { Holes } object { GrateHole" + Out(grate, R - 0.05) + "} }\n";
    s += Say(R"(
union {
  object { GrateBars }
  difference { box { <-GrateW - 0.3, -0.05, -0.15>, <GrateW + 0.3, GrateH + 0.3, 0.05> } object { GrateHole } texture { Dressed } }
  // The culvert behind: running water and the cold light from its shaft.
  difference { box { <-GrateW - 0.5, -1.2, 0>, <GrateW + 0.5, GrateH + 1.5, 3> } box { <-GrateW, -1, -1>, <GrateW, GrateH + 1.2, 2.6> } texture { WetRock } }
  box { <-GrateW, -0.8, 0.2>, <GrateW, -0.3, 2.6> texture { Water } }
  light_source { <0, GrateH + 1.0, 2.0>, rgb %s * 1.1 fade_distance 1.6 fade_power 2 }
  %s
}
)", kCold, Out(grate, R - 0.05));
    // A lower, narrower chamber than the walk above: rock wall to the vault, a silt floor with
    // puddles and the stair's foot.
    s += Say(R"(
difference {
  cylinder { <0, -1, 0>, <0, 2.6, 0>, 10 }
  intersection { cylinder { <0, -2, 0>, <0, 3, 0>, 5.2 } }
  object { Holes }
  texture { WetRock }
}
difference {
  cylinder { <0, -1, 0>, <0, 2.61, 0>, %.4f }
  cylinder { <0, -2, 0>, <0, 3, 0>, %.4f }
  plane { z, -0.3 rotate <0, %.4f, 0> }
  object { Holes }
  texture { WetRock }
}
difference { sphere { <0, 0, 0>, 6.2 } sphere { <0, 0, 0>, 5.2 } plane { y, 0 } scale <1, 0.32, 1> translate <0, 2.6, 0> texture { WetRock } }
plane { y, 0 texture { Silt } }
)", R + 0.8, R, Centre(grate) + 180.0);
    s += DrippingGlints(22, 5.2, 3004);
    s += Say("light_source { <0, 2.4, 0>, rgb %s * 0.08 shadowless }\n", kCold);
    return s;
}

// 304: the valve gallery: pipes along the wall, the float valve in its chamber.
std::string ValveGallery()
{
    const double R = 5.6;
    const wc::Feature& valve = FeatureOf(304, 1);
    std::string s = PanoramaHead() + DarkWays(304, R, {});
    s += RockChamber(R, -0.4, 2.6, 1.8, "Dressed", 4);
    s += "plane { y, 0 texture { Flags } }\n";
    // Pipes run round the gallery's wall at two heights.
    s += Say(R"(
torus { %.4f, 0.1 translate <0, 0.35, 0> texture { RustIron } clipped_by { plane { x, 0 rotate <0, 10, 0> } } }
torus { %.4f, 0.07 translate <0, 2.2, 0> texture { RustIron } }
)", R - 0.2, R - 0.15);
    s += "object { union {" + FloatValve() + "} scale 1.0 " + Out(valve, R - 0.55) + "}\n";
    s += VaultGrating(2.4, -3.2, 1.2, 3.6) + VaultGrating(-1.5, 2.0, 0.5, 3.9);
    s += DrippingGlints(8, R, 3005);
    return s;
}

// 305: the seaward wall with the sea gate.
std::string SeaGateView(const State& state)
{
    const double R = 5.0;
    const wc::Feature& gate = FeatureOf(305, 1);
    std::string s = PanoramaHead() + DarkWays(305, 5.6, {});
    const double hw = HalfWidth(gate, R) * 0.9, top = HeightOfRow(gate.y1, R) - 0.05;
    s += SeaGate(hw, top, state.seaGateOpen);
    s += "#declare Holes = union { object { Holes } object { GateHole" + Out(gate, R) + "} }\n";
    s += R"(
union {
  object { GateLeaves }
  object { Beyond }
  difference {
    union { box { <-GateW - 0.45, 0, -0.2>, <GateW + 0.45, GateTop - GateW * 0.6, 0.05> } cylinder { <0, GateTop - GateW * 0.6, -0.2>, <0, GateTop - GateW * 0.6, 0.05>, GateW + 0.45 } }
    object { GateHole }
    texture { Dressed }
  }
  difference { box { <-GateW - 0.6, -1, 0>, <GateW + 0.6, GateTop + 0.6, 9.6> } object { GateHole } texture { WetRock } }
)" + Out(gate, R) + "}\n";
    s += RockChamber(5.6, -0.4, 2.9, 1.8, "WetRock", 2);
    s += Say(R"(
difference { cylinder { <0, -0.4, 0>, <0, 2.9, 0>, 5.65 } cylinder { <0, -1, 0>, <0, 3, 0>, %.4f } plane { z, -2.6 rotate <0, %.4f, 0> } object { Holes } texture { WetRock } }
plane { y, 0 texture { Flags } }
)", R, Centre(gate) + 180.0);
    // Weed the sea has thrown through the bars, and puddles.
    s += DrippingGlints(18, 5.0, 3006);
    s += Say("light_source { <0, 2.6, 0>, rgb %s * 0.12 shadowless }\n", kCold);
    return s;
}

// 306: a tunnel under the flats: a straight vaulted bore with a channel of sea water.
std::string UnderTunnel()
{
    const wc::Feature& back = FeatureOf(306, 0);
    const double axis = Centre(back);
    std::string s = PanoramaHead();
    s += Say(R"(
union {
  // The bore: walls of dressed stone, a barrel vault, ribs every three metres, the channel.
  difference {
    box { <-2.4, -1, -40>, <2.4, 4.2, 40> }
    union { box { <-1.6, 0, -41>, <1.6, 2.0, 41> } cylinder { <0, 2.0, -41>, <0, 2.0, 41>, 1.6 } }
    box { <-0.45, -0.5, -41>, <0.45, 0.1, 41> }
    texture { Dressed }
  }
  #for (Z, -30, 30, 3.2)
    difference { cylinder { <0, 2.0, Z - 0.15>, <0, 2.0, Z + 0.15>, 1.6 } cylinder { <0, 2.0, Z - 0.2>, <0, 2.0, Z + 0.2>, 1.42 } plane { y, 2.0 } texture { WetRock } }
    box { <-1.6, 0, Z - 0.15>, <-1.45, 2.0, Z + 0.15> texture { WetRock } }
    box { <1.45, 0, Z - 0.15>, <1.6, 2.0, Z + 0.15> texture { WetRock } }
  #end
  box { <-0.45, -0.5, -41>, <0.45, -0.12, 41> texture { Water } }
  // Cold light from far gratings down the bore, both ways.
  light_source { <0, 3.0, 12>, rgb %s * 0.5 fade_distance 4 fade_power 2 shadowless }
  light_source { <0, 3.0, -14>, rgb %s * 0.35 fade_distance 4 fade_power 2 shadowless }
  light_source { <0.8, 3.2, 1.2>, rgb %s * 0.18 }
  rotate <0, %.4f, 0>
}
)", kCold, kCold, kCold, axis);
    s += DrippingGlints(8, 3.3, 3007);
    return s;
}

// 307: the sea end of the tunnel: the water at the foot of the rock with the tide's mark
// above it, and the old door down to the drowned observatory.
std::string Waterline()
{
    const double R = 5.6;
    const wc::Feature& pool = FeatureOf(307, 1);
    const wc::Feature& door = FeatureOf(307, 2);
    std::string s = PanoramaHead() + DarkWays(307, R, {});
    // The door: oak planks banded with iron in a stone frame, weed on its foot.
    const double hw = HalfWidth(door, 5.0) * 0.78, top = HeightOfRow(door.y1, 5.0) - 0.3;
    s += Say(R"(
#declare DoorHole = box { <-%.4f, 0, -2>, <%.4f, %.4f, 3> }
#declare Holes = union { object { Holes } object { DoorHole %s } }
union {
  box { <-%.4f, 0, 0.1>, <%.4f, %.4f, 0.2> texture { Tarred } }
  #for (Y, 0.3, %.4f, 0.55) box { <-%.4f, Y, 0.04>, <%.4f, Y + 0.08, 0.1> texture { RustIron } } #end
  box { <-%.4f, 0, 0.02>, <%.4f, 0.5, 0.1> texture { Weed } }
  difference { box { <-%.4f, 0, -0.2>, <%.4f, %.4f, 0.1> } object { DoorHole } texture { Dressed } }
  box { <-%.4f, -0.01, -1.4>, <%.4f, 0.12, 0.1> texture { Flags } }
  %s
}
)", hw, hw, top, Out(door, 5.0), hw, hw, top, top - 0.2, hw - 0.05, hw - 0.05, hw, hw, hw + 0.35, hw + 0.35,
                top + 0.35, hw + 0.4, hw + 0.4, Out(door, 5.0));
    s += RockChamber(R, -2.0, 3.0, 2.0, "WetRock", 2);
    // The floor, and the sea's pool along the rock in the pool's direction.
    s += Say(R"(
difference {
  cylinder { <0, -2.0, 0>, <0, 0, 0>, 7 }
  intersection { cylinder { <0, -3, 0>, <0, 1, 0>, 6 } cylinder { <0, -3, 0>, <0, 1, 0>, 3.0 inverse }
                 plane { -x, 0 rotate <0, %.4f, 0> } plane { x, 0 rotate <0, %.4f, 0> } }
  texture { Flags }
}
disc { <0, -0.45, 0>, y, 6.5 texture { Water } }
disc { <0, -1.99, 0>, y, 6.5 texture { Silt } }
// The tide's mark along the rock: a band of barnacles and weed a hand above the water.
intersection {
  difference { cylinder { <0, -0.45, 0>, <0, 0.55, 0>, %.4f } cylinder { <0, -1, 0>, <0, 1, 0>, %.4f } }
  plane { -x, 0 rotate <0, %.4f, 0> } plane { x, 0 rotate <0, %.4f, 0> }
  texture { gradient y texture_map { [0 Weed] [0.55 Barnacled] [0.9 Barnacled] [1 WetRock] } scale 1.0 translate <0, -0.45, 0> }
}
)", Centre(pool) - 42, Centre(pool) + 42, R + 0.02, R - 0.06, Centre(pool) - 50, Centre(pool) + 50);
    s += Say("light_source { <1.5, 2.8, 1.0>, rgb %s * 0.16 fade_distance 3 fade_power 1 }\n", kCold);
    s += DrippingGlints(8, 4.0, 3008);
    return s;
}

// ---- the drowned lower observatory ----

// A round room of the first observatory: fine courses with the sea's weed and barnacles on the
// lower ones, a shallow dome with a dry skylight, a floor of flags under silt and pools.
std::string DrownedRoom(double R, int seedBase)
{
    return Say(R"(
difference {
  cylinder { <0, -0.2, 0>, <0, 3.2, 0>, %.4f }
  cylinder { <0, -1, 0>, <0, 4, 0>, %.4f }
  object { Holes }
  texture { SeaWall }
}
torus { %.4f, 0.1 translate <0, 3.2, 0> texture { Ashlar } }
torus { %.4f, 0.06 translate <0, 2.2, 0> texture { Verdigris } }
difference {
  sphere { <0, 0, 0>, %.4f } sphere { <0, 0, 0>, %.4f } plane { y, 0 }
  cylinder { <0, 0, 0>, <0, 10, 0>, 0.9 }
  scale <1, 0.42, 1> translate <0, 3.2, 0> texture { Ashlar }
}
plane { y, 0 texture { Flags } }
#declare Drift = seed(%.4f);
#for (I, 1, 14)
  #declare A = rand(Drift) * 360;
  #declare D = 1.4 + rand(Drift) * %.4f;
  sphere { <0, 0, 0>, 1 scale <0.5 + rand(Drift) * 0.9, 0.05, 0.4 + rand(Drift) * 0.6> rotate <0, rand(Drift) * 180, 0> translate <0, 0, D> rotate <0, A, 0> texture { Silt } }
  disc { <0, 0.012, 0>, y, 0.2 + rand(Drift) * 0.5 texture { Puddle } scale <1.5, 1, 1> rotate <0, rand(Drift) * 180, 0> translate <0, 0, 1.3 + rand(Drift) * %.4f> rotate <0, rand(Drift) * 360, 0> }
#end
// Moonlight on the flats, down through the dry skylight.
light_source { <0, 9, 0>, rgb %s * 0.4 spotlight point_at <0, 0, 0> radius 12 falloff 22 }
light_source { <0, 2.6, 0>, rgb %s * 0.06 shadowless }
)", R + 0.7, R, R - 0.08, R - 0.05, R + 0.7, R, seedBase, R - 2.2, R - 2.0, kCold, kCold);
}

WayLook DrownedWay()
{
    WayLook look;
    look.ring = "Ashlar";
    look.lining = "SeaWall";
    look.glow = 0.14;
    return look;
}

// A cylinder recorder: a brass mandrel with a wax cylinder on a wooden case, a feed screw and
// stylus arm, and a flared horn.
const char* const kRecorder = R"(
#declare Recorder = union {
  box { <-0.32, 0, -0.18>, <0.32, 0.2, 0.18> texture { Wood } }
  box { <-0.34, 0.2, -0.2>, <0.34, 0.22, 0.2> texture { Wood } }
  cylinder { <-0.26, 0.22, 0>, <-0.26, 0.3, 0>, 0.03 texture { Brass } }
  cylinder { <0.26, 0.22, 0>, <0.26, 0.3, 0>, 0.03 texture { Brass } }
  cylinder { <-0.24, 0.33, -0.02>, <0.2, 0.33, -0.02>, 0.055 pigment { rgb <0.45, 0.28, 0.12> } finish { specular 0.6 roughness 0.01 } }
  cylinder { <-0.28, 0.33, -0.02>, <0.28, 0.33, -0.02>, 0.012 texture { Brass } }
  cylinder { <-0.26, 0.42, 0.06>, <0.26, 0.42, 0.06>, 0.012 texture { Brass } }
  box { <-0.05, 0.38, -0.02>, <0.05, 0.45, 0.1> texture { Brass } }
  cylinder { <0.32, 0.1, -0.19>, <0.32, 0.1, -0.25>, 0.05 texture { Brass } }
  // The horn: a tube from the stylus box widening to a bell.
  cylinder { <0, 0.45, 0.04>, <0, 0.58, 0.08>, 0.02 texture { Brass } }
  difference {
    cone { <0, 0.58, 0.08>, 0.02, <-0.32, 0.98, -0.1>, 0.28 }
    cone { <0, 0.58, 0.08>, 0.01, <-0.324, 0.985, -0.102>, 0.27 }
    texture { Brass }
  }
}
)";

// The brass cradle of the last lens: a ring held by four curved arms on a stone pier.
std::string Cradle(bool lens)
{
    std::string s = R"(
#declare CradleArms = union {
  cylinder { <0, 0, 0>, <0, 0.9, 0>, 0.34 texture { Ashlar scale 0.4 } }
  cylinder { <0, 0.9, 0>, <0, 0.98, 0>, 0.44 texture { Ashlar scale 0.4 } }
  cylinder { <0, 0.98, 0>, <0, 1.04, 0>, 0.32 texture { Verdigris } }
  // Four long arms splay up from the hub like the fingers of a hand; a sling of brass
  // straps between them holds the lens.
  #for (A, 0, 270, 90)
    union {
      cylinder { <0, 1.02, 0>, <0.34, 1.12, 0>, 0.035 }
      cylinder { <0.34, 1.12, 0>, <0.62, 1.34, 0>, 0.032 }
      cylinder { <0.62, 1.34, 0>, <0.78, 1.62, 0>, 0.03 }
      sphere { <0.34, 1.12, 0>, 0.045 }
      sphere { <0.62, 1.34, 0>, 0.04 }
      sphere { <0.78, 1.62, 0>, 0.055 }
      cylinder { <0.3, 1.2, 0>, <0.34, 1.12, 0>, 0.02 }
      rotate <0, A + 45, 0>
      texture { Verdigris }
    }
  #end
  torus { 0.3, 0.022 translate <0, 1.2, 0> texture { Verdigris } }
  torus { 0.62, 0.018 translate <0, 1.34, 0> texture { Verdigris } clipped_by { plane { z, 0.1 } } }
}
)";
    if (lens)
        s += R"(
#declare WrappedLens = union {
  sphere { <0, 0, 0>, 1 scale <0.27, 0.1, 0.27> }
  torus { 0.22, 0.035 scale <1, 1.3, 1> }
  sphere { <0.18, 0.05, -0.15>, 0.05 scale <1, 0.6, 1.6> }
  cylinder { <-0.27, 0, 0>, <0.27, 0, 0>, 0.016 texture { pigment { rgb <0.5, 0.42, 0.28> } } }
  texture { Oilcloth }
  no_shadow
  rotate <-12, 0, 6>
  translate <0, 1.3, 0>
}
)";
    else
        s += "#declare WrappedLens = sphere { <0, -50, 0>, 0.001 }\n";
    return s;
}

// 1100: the foot of the stair from the cistern: the plaque and the builders' bench.
std::string DrownedStairFoot()
{
    const double R = 5.6;
    const wc::Feature& door = FeatureOf(1100, 0);
    const wc::Feature& plaque = FeatureOf(1100, 2);
    const wc::Feature& bench = FeatureOf(1100, 3);
    std::string s = PanoramaHead();
    WayLook up = DrownedWay();
    up.steps = Steps::Up;
    up.squareHead = true;
    up.glow = 0.2;
    s += Way(door, R, up) + Way(FeatureOf(1100, 1), R, DrownedWay());
    const double pw = HalfWidth(plaque, R - 0.1) * 0.92, ptop = HeightOfRow(plaque.y1, R - 0.1),
                 pbottom = HeightOfRow(plaque.y2, R - 0.1) + 0.35;
    s += Say(R"(
union {
  box { <-%.4f, %.4f, -0.2>, <%.4f, %.4f, 0.1> texture { Ashlar scale 0.5 } }
  box { <-%.4f, %.4f, -0.26>, <%.4f, %.4f, -0.18> texture { Verdigris } }
  #for (I, 0, 5) box { <-%.4f, %.4f - I * 0.13, -0.275>, <%.4f - mod(I * 37, 5) * 0.1, %.4f - I * 0.13, -0.26> pigment { rgb <0.2, 0.3, 0.24> } } #end
  %s
}
)", pw, pbottom, pw, ptop, pw * 0.72, pbottom + 0.18, pw * 0.72, ptop - 0.18, pw * 0.6, ptop - 0.36, pw * 0.6,
                ptop - 0.32, Out(plaque, R - 0.1));
    // The bench: a heavy stone-legged table with the builders' tools, a jar, a lamp.
    const double bw = HalfWidth(bench, 4.6) * 0.9;
    s += Say(R"(
union {
  box { <-%.4f, 0.8, -0.45>, <%.4f, 0.92, 0.45> texture { Wood scale 3 } }
  box { <-%.4f, 0, -0.35>, <-%.4f, 0.8, 0.35> texture { Ashlar } }
  box { <%.4f, 0, -0.35>, <%.4f, 0.8, 0.35> texture { Ashlar } }
  cylinder { <-0.6, 0.92, 0>, <-0.6, 1.2, 0>, 0.11 pigment { rgbf <0.3, 0.4, 0.3, 0.5> } finish { specular 0.6 roughness 0.01 } }
  box { <0.1, 0.92, -0.2>, <0.9, 0.96, 0.15> texture { Verdigris } }
  cylinder { <0.4, 0.98, -0.25>, <1.0, 0.98, -0.28>, 0.02 texture { RustIron } }
  cylinder { <-1.2, 0.92, 0.1>, <-1.2, 1.15, 0.1>, 0.08 texture { Verdigris } }
  %s
}
)", bw, bw, bw - 0.1, bw - 0.45, bw - 0.45, bw - 0.1, Out(bench, 4.6));
    s += DrownedRoom(R, 8001);
    return s;
}

// 1101: the lower hall: the barred sea door and the keeper's coat on its hook.
std::string DrownedHall()
{
    const double R = 5.6;
    const wc::Feature& door = FeatureOf(1101, 1);
    const wc::Feature& coat = FeatureOf(1101, 3);
    std::string s = PanoramaHead() + Way(FeatureOf(1101, 0), R, DrownedWay()) + Way(FeatureOf(1101, 2), R, DrownedWay());
    const double hw = HalfWidth(door, 5.0) * 0.82, top = HeightOfRow(door.y1, 5.0) - 0.1;
    s += Say(R"(
#declare SeaDoorHole = union { box { <-%.4f, 0, -2>, <%.4f, %.4f, 3> } cylinder { <0, %.4f, -2>, <0, %.4f, 3>, %.4f } }
#declare Holes = union { object { Holes } object { SeaDoorHole %s } }
union {
  box { <-%.4f, 0, 0.12>, <%.4f, %.4f, 0.3> texture { Tarred rotate <0, 0, 90> } }
  #for (Y, 0.25, %.4f, 0.6) box { <-%.4f, Y, 0.06>, <%.4f, Y + 0.09, 0.12> texture { RustIron } } #end
  // The bar across the door in its iron brackets.
  box { <-%.4f, 1.0, -0.12>, <%.4f, 1.22, 0.06> texture { Wood scale 2 } }
  box { <-%.4f, 0.92, -0.16>, <-%.4f, 1.3, 0.1> texture { RustIron } }
  box { <%.4f, 0.92, -0.16>, <%.4f, 1.3, 0.1> texture { RustIron } }
  box { <-%.4f, 0, 0.0>, <%.4f, 0.6, 0.12> texture { Barnacled } }
  difference { union { box { <-%.4f, 0, -0.22>, <%.4f, %.4f, 0.1> } cylinder { <0, %.4f, -0.22>, <0, %.4f, 0.1>, %.4f } } object { SeaDoorHole } texture { Ashlar } }
  // A line of daylight where the sea door's planks have shrunk.
  box { <-0.02, 0.1, 0.29>, <0.02, %.4f, 0.31> pigment { rgb <0.5, 0.6, 0.7> } finish { ambient 0 diffuse 0 emission 0.5 } }
  %s
}
)", hw, hw, top - hw, top - hw, top - hw, hw, Out(door, 5.0), hw, hw, top, top - 0.1, hw, hw, hw + 0.25, hw + 0.25,
                hw + 0.3, hw - 0.05, hw - 0.05, hw + 0.3, hw, hw, hw + 0.35, hw + 0.35, top - hw, top - hw, top - hw, hw + 0.35,
                top - 0.4, Out(door, 5.0));
    // The coat on its hook on a post of the hall's timber.
    s += Say(R"(
union {
  cylinder { <0, 0, 0.25>, <0, 3.2, 0.25>, 0.13 texture { Wood } }
  cylinder { <0, 1.95, 0.2>, <0, 2.0, -0.05>, 0.02 texture { RustIron } }
  // The oilskin: shoulders, a long body flaring to the hem, sleeves hanging.
  union {
    sphere { <0, 1.78, 0.05>, 1 scale <0.24, 0.1, 0.12> }
    cone { <0, 1.8, 0.05>, 0.23, <0, 0.9, 0.08>, 0.33 scale <1, 1, 0.5> }
    cylinder { <-0.22, 1.74, 0.05>, <-0.3, 1.12, 0.02>, 0.07 }
    cylinder { <0.22, 1.74, 0.05>, <0.3, 1.12, 0.02>, 0.07 }
    box { <-0.01, 0.9, -0.12>, <0.01, 1.74, -0.08> pigment { rgb <0.2, 0.15, 0.05> } }
    texture { Oilskin }
  }
  // The keeper's lamp-hook and his sou'wester on the post above.
  cone { <0, 2.15, 0.05>, 0.2, <0, 2.32, 0.05>, 0.1 texture { Oilskin } }
  scale 1.25
  %s
}
)", Out(coat, 2.7));
    // The hall's vault stands on columns of the builders' fine stone.
    for (double at : {85.0, 190.0, 280.0})
        s += Say(R"(
union {
  cylinder { <0, 0, 0>, <0, 3.2, 0>, 0.24 }
  cylinder { <0, 0, 0>, <0, 0.3, 0>, 0.34 }
  box { <-0.34, 2.95, -0.34>, <0.34, 3.2, 0.34> }
  texture { SeaWall }
  translate <0, 0, 3.4> rotate <0, %.4f, 0>
}
)", at);
    s += DrownedRoom(R, 8002);
    return s;
}

// 1102: the lens room: the cradle on its pier and the charts on their table.
std::string DrownedLensRoom()
{
    const double R = 5.6;
    const wc::Feature& cradle = FeatureOf(1102, 1);
    const wc::Feature& charts = FeatureOf(1102, 2);
    std::string s = PanoramaHead() + Way(FeatureOf(1102, 0), R, DrownedWay()) + Way(FeatureOf(1102, 3), R, DrownedWay());
    s += Cradle(true);
    s += "union { object { CradleArms } object { WrappedLens } scale 1.5 " + Out(cradle, 3.3) + "}\n";
    s += Say(R"(
union {
  box { <-1.3, 0.85, -0.55>, <1.3, 0.92, 0.55> texture { Wood scale 3 } }
  #for (X, -1.2, 1.2, 2.4) #for (Z, -0.45, 0.45, 0.9) cylinder { <X, 0, Z>, <X, 0.85, Z>, 0.05 texture { Wood } } #end #end
  box { <-1.1, 0.921, -0.4>, <0.2, 0.925, 0.35> texture { Paper } rotate <0, 4, 0> }
  box { <-0.2, 0.925, -0.3>, <0.9, 0.93, 0.4> texture { Paper } rotate <0, -9, 0> }
  cylinder { <0.5, 1.0, 0.3>, <1.2, 1.0, 0.2>, 0.07 texture { Paper } }
  cylinder { <-1.0, 0.99, 0.4>, <-0.3, 0.99, 0.45>, 0.06 texture { Paper } }
  sphere { <0, 0.87, 0>, 1 scale <1.1, 0.06, 0.5> texture { Silt } }
  %s
}
)", Out(charts, 5.0));
    // The shelf of the builders' instruments along the wall, behind the cradle.
    s += DrownedRoom(R, 8003);
    return s;
}

// 1103: the keeper's corner: the recorder on its table, the porthole, the bunk.
std::string DrownedBunkRoom()
{
    const double R = 5.6;
    const wc::Feature& recorder = FeatureOf(1103, 1);
    const wc::Feature& porthole = FeatureOf(1103, 2);
    const wc::Feature& bunk = FeatureOf(1103, 3);
    std::string s = PanoramaHead() + Way(FeatureOf(1103, 0), R, DrownedWay());
    const double pr = HalfWidth(porthole, R) * 0.8, pc = (HeightOfRow(porthole.y1, R) + HeightOfRow(porthole.y2, R)) / 2;
    s += Say(R"(
#declare PortHole = cylinder { <0, %.4f, -2>, <0, %.4f, 3>, %.4f }
#declare Holes = union { object { Holes } object { PortHole %s } }
union {
  difference { cylinder { <0, %.4f, -0.12>, <0, %.4f, 0.05>, %.4f } object { PortHole } texture { Verdigris } }
  #for (A, 0, 330, 30) sphere { <0, %.4f, -0.12>, 0.035 translate <%.4f, 0, 0> rotate <0, 0, A> translate <0, %.4f, 0> texture { Brass } } #end
  cylinder { <0, %.4f, 0.3>, <0, %.4f, 0.34>, %.4f pigment { rgbf <0.2, 0.45, 0.4, 0.2> } finish { ambient 0 diffuse 0.1 emission 0.45 specular 0.9 roughness 0.003 } no_shadow }
  light_source { <0, %.4f, -0.5>, rgb <0.3, 0.6, 0.55> * 1.1 fade_distance 1.4 fade_power 2 shadowless }
  %s
}
)", pc, pc, pr, Out(porthole, R), pc, pc, pr + 0.18, 0.0, pr + 0.09, -0.0, pc, pc, pr, pc,
                Out(porthole, R));
    // The recorder on the keeper's table.
    s += kRecorder;
    s += Say(R"(
union {
  box { <-1.3, 0.8, -0.5>, <1.3, 0.88, 0.5> texture { Wood scale 3 } }
  #for (X, -1.2, 1.2, 2.4) box { <X - 0.05, 0, -0.4>, <X + 0.05, 0.8, 0.4> texture { Wood } } #end
  object { Recorder scale 1.6 translate <-0.1, 0.88, 0> }
  box { <0.5, 0.88, -0.2>, <1.1, 0.98, 0.3> texture { Wood } }
  #for (I, 0, 4) cylinder { <0.6 + I * 0.11, 0.98, 0.05>, <0.6 + I * 0.11, 1.12, 0.05>, 0.045 pigment { rgb <0.35, 0.22, 0.1> } } #end
  %s
}
)", Out(recorder, 4.8));
    // The bunk in a recess of the wall: a timber box bed, a sodden blanket.
    const double bw = HalfWidth(bunk, 5.2) * 0.9;
    s += Say(R"(
union {
  box { <-%.4f, 0, -0.6>, <%.4f, 0.55, 0.4> texture { Wood scale 3 } }
  box { <-%.4f, 0.55, -0.5>, <%.4f, 0.7, 0.35> pigment { rgb <0.2, 0.19, 0.17> } normal { wrinkles 0.6 scale 0.1 } }
  sphere { <-%.4f, 0.75, 0>, 1 scale <0.3, 0.1, 0.25> pigment { rgb <0.3, 0.28, 0.24> } }
  box { <-%.4f, 0, -0.62>, <-%.4f, 1.9, 0.4> texture { Wood scale 3 } }
  box { <%.4f, 0, -0.62>, <%.4f, 1.9, 0.4> texture { Wood scale 3 } }
  box { <-%.4f, 1.8, -0.62>, <%.4f, 1.95, 0.4> texture { Wood scale 3 } }
  box { <-%.4f, 0, 0.4>, <%.4f, 1.95, 0.5> texture { Planks } }
  %s
}
)", bw, bw, bw - 0.1, bw - 0.1, bw - 0.4, bw + 0.1, bw - 0.02, bw - 0.02, bw + 0.1, bw + 0.1, bw + 0.1, bw, bw,
                Out(bunk, 5.0));
    s += DrownedRoom(R, 8004);
    return s;
}

// ---- close views: lit by the warm hand lamp held at the viewer's side ----

// A perspective view from `eye` at `look`, with the lamp in the viewer's left hand and a faint
// cold fill of the dark around.
std::string LampView(const char* eye, const char* look, double angle, double lampPower)
{
    return Say(R"(
camera { perspective location %s look_at %s right x * 2 up y angle %.4f }
background { rgb 0 }
#declare Eye = %s;
// The lamp's flame is small: its shadows are sharp.
light_source { Eye + <-0.45, 0.15, 0.1>, rgb <1.0, 0.74, 0.45> * %.4f fade_distance 2.2 fade_power 1.5 }
light_source { Eye + <2, 2.5, 1>, rgb <0.45, 0.55, 0.72> * 0.05 shadowless }
)", eye, look, angle, eye, lampPower);
}

std::string FlatHead() { return std::string(render::Materials()) + kDepthMaterials; }

// A close view in the drowned rooms: the lamp-lit view, the sea-marked wall `wall` behind the
// subject and the flagged floor under it.
std::string DrownedCloseUp(const char* eye, const char* look, double angle, double lamp, double wall)
{
    return FlatHead() + LampView(eye, look, angle, lamp) +
           Say("plane { -z, -%.4f texture { SeaWall } }\nplane { y, 0 texture { Flags } }\n", wall);
}

// 350: the float valve close by.
std::string ValveCloseUp()
{
    return FlatHead() + LampView("<-0.45, 1.5, -3.8>", "<-0.45, 0.95, 0>", 62, 1.6) + R"(
plane { -z, -1.0 texture { Dressed } }
plane { y, 0 texture { Flags } }
)" + FloatValve() + "\n";
}

// 351: the pump close by; pumped dry, its handle rests down and the gauge has fallen to empty.
std::string PumpCloseUp(bool drained)
{
    std::string s = FlatHead() + LampView("<0.5, 1.7, -4.6>", "<0.5, 1.3, 0>", 62, 1.9);
    s += R"(
plane { -z, -1.2 texture { WetRock } }
box { <-4, -2.4, -0.5>, <1.05, 0, 2> texture { Flags } }
box { <-4, -3, -4>, <4, -2.4, 2> texture { Silt } }
)";
    s += "union {" + Pump(drained) + " rotate <0, -20, 0> }\n";
    s += "disc { <0, -0.4, 0>, y, 8 texture { Water } }\n";
    return s;
}

// 352: the culvert grating: iron bars low in the wall, cold light and running water behind.
std::string GrateCloseUp()
{
    std::string s = FlatHead() + LampView("<0, 1.1, -2.2>", "<0, 0.55, 0>", 60, 1.4);
    s += Grating(0.85, 0.8);
    s += Say(R"(
difference { plane { -z, 0 } object { GrateHole } texture { WetRock } }
difference { box { <-1.15, -0.05, -0.15>, <1.15, 1.1, 0.01> } object { GrateHole } texture { Dressed } }
object { GrateBars }
difference { box { <-1.5, -1.2, 0>, <1.5, 2, 3> } box { <-0.85, -1, -1>, <0.85, 1.6, 2.6> } texture { WetRock } }
box { <-0.85, -0.8, 0.2>, <0.85, -0.15, 2.6> texture { Water } }
light_source { <0, 1.4, 2.0>, rgb %s * 1.4 fade_distance 1.5 fade_power 2 }
plane { y, 0 texture { Silt } }
disc { <0.3, 0.005, -0.5>, y, 0.35 texture { Puddle } scale <1.6, 1, 1> }
)", kCold);
    return s;
}

// 353: the sea gate close by; broken open, the waves come in beyond it.
std::string SeaGateCloseUp(bool open)
{
    std::string s = FlatHead() + LampView("<0, 1.3, -4.4>", "<0, 1.0, 0>", 62, 2.3);
    s += SeaGate(0.85, 2.0, open);
    s += R"(
difference { plane { -z, 0 } object { GateHole } texture { WetRock } }
difference { union { box { <-GateW - 0.35, 0, -0.2>, <GateW + 0.35, GateTop - GateW * 0.6, 0.05> } cylinder { <0, GateTop - GateW * 0.6, -0.2>, <0, GateTop - GateW * 0.6, 0.05>, GateW + 0.35 } } object { GateHole } texture { Dressed } }
difference { box { <-GateW - 0.6, -1, 0>, <GateW + 0.6, GateTop + 0.6, 9.6> } object { GateHole } texture { WetRock } }
object { GateLeaves }
object { Beyond }
plane { y, 0 texture { Flags } }
)";
    return s;
}

// 354: the tide's mark on the rock; at the lowest ebb the water is gone from its foot.
std::string WaterlineCloseUp(bool ebb)
{
    std::string s = FlatHead() + LampView("<0, 1.4, -2.6>", "<0, 0.55, 0>", 64, 1.6);
    s += R"(
// The rock face at the tunnel's end: weed and barnacles below the tide's mark, a dark line of
// weed along the mark itself, bare wet rock above.
plane { -z, -1.05 texture { gradient y texture_map { [0 Weed] [0.5 Weed] [0.5 Barnacled] [0.63 Barnacled] [0.635 Weed] [0.66 Weed] [0.665 WetRock] [1 WetRock] } scale 4 translate <0, -2, 0> } }
// The pool between rocks: the shelf the viewer stands on, rock masses at both sides.
box { <-4, -1, -4>, <4, 0.08, -0.17> texture { Flags } }
prism { linear_sweep linear_spline -1, 0.35, 5, <-4, -0.17>, <-0.95, -0.17>, <-1.5, 1.1>, <-4, 1.1>, <-4, -0.17> texture { WetRock } }
prism { linear_sweep linear_spline -1, 0.35, 5, <4, -0.17>, <0.95, -0.17>, <1.5, 1.1>, <4, 1.1>, <4, -0.17> texture { WetRock } }
box { <-4, -0.7, -0.3>, <4, -0.6, 1.1> texture { WetRock } }
)";
    if (ebb)
        s += R"(
#declare Drip = seed(3541);
#for (I, 1, 16) sphere { <-1.1 + rand(Drip) * 2.2, -0.6, -0.1 + rand(Drip) * 1.1>, 0.06 + rand(Drip) * 0.14 scale <1, 0.6, 1> texture { Barnacled } } #end
#for (I, 1, 8) disc { <-1.0 + rand(Drip) * 2.0, -0.59, 0.0 + rand(Drip) * 0.9>, y, 0.08 + rand(Drip) * 0.15 texture { Puddle } scale <1.5, 1, 1> } #end
)";
    else
        s += "box { <-1.6, -0.6, -0.17>, <1.6, 0.0, 1.05> texture { Water } }\n";
    return s;
}

// 1151: the sea door from inside, barred.
std::string SeaDoorCloseUp()
{
    std::string s = FlatHead() + LampView("<0, 1.45, -3.9>", "<0, 1.35, 0>", 62, 2.2);
    s += R"(
#declare DoorW = 0.9;
#declare DoorH = 2.5;
plane { -z, 0 texture { SeaWall } }
difference { union { box { <-DoorW - 0.3, 0, -0.15>, <DoorW + 0.3, DoorH - DoorW, 0.01> } cylinder { <0, DoorH - DoorW, -0.15>, <0, DoorH - DoorW, 0.01>, DoorW + 0.3 } }
             union { box { <-DoorW, -1, -1>, <DoorW, DoorH - DoorW, 1> } cylinder { <0, DoorH - DoorW, -1>, <0, DoorH - DoorW, 1>, DoorW } } texture { Ashlar } }
intersection { box { <-DoorW, 0, -0.05>, <DoorW, DoorH, 0.0> } union { box { <-DoorW, 0, -1>, <DoorW, DoorH - DoorW, 1> } cylinder { <0, DoorH - DoorW, -1>, <0, DoorH - DoorW, 1>, DoorW } } texture { Tarred rotate <0, 0, 90> } }
#for (Y, 0.3, 2.0, 0.55) box { <-DoorW, Y, -0.09>, <DoorW, Y + 0.1, -0.05> texture { RustIron } } #for (X, -0.7, 0.7, 0.35) sphere { <X, Y + 0.05, -0.09>, 0.025 texture { RustIron } } #end #end
// The bar in its brackets, and its staple.
box { <-1.25, 1.05, -0.32>, <1.25, 1.28, -0.1> texture { Wood scale 2 } }
box { <-1.1, 0.95, -0.38>, <-0.95, 1.38, 0.0> texture { RustIron } }
box { <0.95, 0.95, -0.38>, <1.1, 1.38, 0.0> texture { RustIron } }
box { <-DoorW, 0, -0.08>, <DoorW, 0.4, -0.04> texture { Barnacled } }
box { <-0.012, 0.05, -0.01>, <0.012, 1.6, 0.01> pigment { rgb <0.5, 0.6, 0.7> } finish { ambient 0 diffuse 0 emission 0.6 } }
plane { y, 0 texture { Flags } }
#declare Drift = seed(1151);
#for (I, 1, 8) sphere { <-2 + rand(Drift) * 4, 0, -0.5 - rand(Drift) * 2>, 1 scale <0.4, 0.04, 0.3> texture { Silt } } #end
)";
    return s;
}

// 1152: the cradle close by, empty or with the wrapped lens in its arms.
std::string CradleCloseUp(bool lens)
{
    std::string s = DrownedCloseUp("<0, 1.75, -3.3>", "<0, 1.42, 0>", 60, 1.8, 1.4);
    s += Cradle(lens);
    s += R"(
union { object { CradleArms } object { WrappedLens } }
#declare Drift = seed(1152);
#for (I, 1, 6) disc { <-1.6 + rand(Drift) * 3.2, 0.005, -0.3 - rand(Drift) * 1.0>, y, 0.12 + rand(Drift) * 0.2 texture { Puddle } scale <1.5, 1, 1> } #end
)";
    return s;
}

// 1153: the builders' charts on their table.
std::string ChartsCloseUp()
{
    std::string s = DrownedCloseUp("<0, 2.2, -2.3>", "<0, 0.7, 0.1>", 60, 1.6, 1.0);
    s += R"(
box { <-1.3, 0.78, -0.6>, <1.3, 0.86, 0.6> texture { Wood scale 3 } }
box { <-1.2, 0, -0.5>, <-1.1, 0.78, -0.4> texture { Wood } }
box { <1.1, 0, -0.5>, <1.2, 0.78, -0.4> texture { Wood } }
// A chart of the coast spread out, stained by the sea, another over it, rolls and dividers.
box { <-0.95, 0.861, -0.42>, <0.35, 0.863, 0.4> rotate <0, 5, 0>
  texture { pigment { bozo turbulence 0.5 colour_map { [0 rgb <0.78, 0.70, 0.52>] [0.55 rgb <0.72, 0.64, 0.46>] [0.7 rgb <0.5, 0.42, 0.28>] [1 rgb <0.45, 0.38, 0.25>] } scale 0.12 } normal { wrinkles 0.3 scale 0.05 } } }
box { <-0.95, 0.8635, -0.42>, <0.35, 0.8638, 0.4> rotate <0, 5, 0>
  texture { pigment { gradient x colour_map { [0 rgbt <0.25, 0.2, 0.15, 0>] [0.03 rgbt <0.25, 0.2, 0.15, 0>] [0.04 rgbt 1] [1 rgbt 1] } scale 0.2 } } }
union {
  torus { 0.18, 0.006 translate <-0.35, 0.865, 0.0> }
  torus { 0.12, 0.006 translate <-0.35, 0.865, 0.0> }
  cylinder { <-0.75, 0.865, 0.05>, <0.05, 0.865, -0.08>, 0.004 }
  cylinder { <-0.5, 0.865, -0.35>, <-0.1, 0.865, 0.3>, 0.004 }
  pigment { rgb <0.25, 0.18, 0.12> } rotate <0, 5, 0>
}
box { <0.1, 0.864, -0.3>, <1.05, 0.867, 0.35> rotate <0, -12, 0>
  texture { pigment { granite colour_map { [0 rgb <0.8, 0.74, 0.58>] [1 rgb <0.7, 0.62, 0.45>] } scale 0.3 } } }
cylinder { <0.35, 0.93, 0.42>, <1.15, 0.93, 0.36>, 0.065 texture { Paper } }
cylinder { <-1.15, 0.92, 0.45>, <-0.5, 0.92, 0.5>, 0.055 texture { Paper } }
union {
  cylinder { <0, 0, 0>, <0.22, 0, 0.02>, 0.006 }
  cylinder { <0, 0, 0>, <0.2, 0, -0.1>, 0.006 }
  sphere { <0, 0, 0>, 0.015 }
  texture { Verdigris } translate <0.45, 0.875, -0.05>
}
sphere { <0.2, 0.86, 0.3>, 1 scale <0.4, 0.03, 0.2> texture { Silt } }
)";
    return s;
}

// 1154: the keeper's cylinder recorder on his table, with its horn and spare cylinders.
std::string RecorderCloseUp()
{
    std::string s = DrownedCloseUp("<0, 1.6, -3.0>", "<0, 1.35, 0>", 58, 1.7, 0.7);
    s += kRecorder;
    s += R"(
box { <-1.4, 0.6, -0.5>, <1.4, 0.66, 0.6> texture { Wood scale 3 } }
object { Recorder scale 1.25 rotate <0, -12, 0> translate <-0.02, 0.66, 0> }
box { <0.55, 0.66, -0.25>, <1.05, 0.76, 0.2> texture { Wood } }
#for (I, 0, 3) cylinder { <0.63 + I * 0.12, 0.76, 0>, <0.63 + I * 0.12, 0.9, 0>, 0.045 pigment { rgb <0.42, 0.26, 0.11> } finish { specular 0.5 roughness 0.01 } } #end
cylinder { <-0.85, 0.66, 0.1>, <-0.85, 0.7, 0.1>, 0.12 texture { Brass } }
)";
    return s;
}

// 1155: the porthole: a round brass-bound glass with the sea-green light of the flats' water.
std::string PortholeCloseUp()
{
    std::string s = FlatHead() + LampView("<0, 1.5, -2.5>", "<0, 1.5, 0>", 60, 1.4);
    s += R"(
#declare PortR = 0.62;
#declare PortY = 1.58;
#declare PortHole = cylinder { <0, PortY, -1>, <0, PortY, 1>, PortR }
difference { box { <-4, -0.1, 0>, <4, 4, 0.4> } object { PortHole } texture { SeaWall } }
difference { cylinder { <0, PortY, -0.1>, <0, PortY, 0.02>, PortR + 0.16 } object { PortHole } texture { Verdigris } }
torus { PortR + 0.02, 0.035 rotate <90, 0, 0> translate <0, PortY, -0.1> texture { Brass } }
#for (A, 0, 345, 22.5) sphere { <PortR + 0.09, 0, -0.1>, 0.03 rotate <0, 0, A> translate <0, PortY, 0> texture { Brass } } #end
// Thick old glass: a faint sheen, no mirror (the lamp's reflection would hide the sea).
cylinder { <0, PortY, 0.05>, <0, PortY, 0.07>, PortR pigment { rgbf <0.85, 0.95, 0.92, 0.88> } finish { ambient 0 diffuse 0.05 specular 0.25 roughness 0.04 } }
// The sea outside: green water with weed drifting, lit from above.
box { <-0.9, 0.8, 0.6>, <0.9, 2.4, 0.62> pigment { gradient y colour_map { [0 rgb <0.02, 0.08, 0.07>] [1 rgb <0.18, 0.38, 0.34>] } scale 3 translate <0, -0.2, 0> } finish { ambient 0 diffuse 0 emission 0.9 } }
#for (I, 0, 4) cylinder { <-0.4 + I * 0.2, 0.9, 0.4>, <-0.35 + I * 0.22, 1.6 + mod(I * 7, 3) * 0.15, 0.4>, 0.012 pigment { rgb <0.04, 0.09, 0.04> } } #end
plane { y, 0 texture { Flags } }
)";
    return s;
}

// 1156: the keeper's bunk in its recess.
std::string BunkCloseUp()
{
    std::string s = DrownedCloseUp("<0, 1.6, -2.4>", "<0, 0.6, 0>", 60, 1.6, 0.6);
    s += R"(
box { <-1.3, 0, -0.45>, <1.3, 0.45, 0.6> texture { Wood scale 3 } }
box { <-1.25, 0.45, -0.42>, <1.25, 0.55, 0.58> pigment { rgb <0.28, 0.24, 0.18> } normal { wrinkles 0.3 scale 0.1 } }
// The blanket thrown back, sodden, and the pillow.
box { <-0.6, 0.55, -0.44>, <1.22, 0.6, 0.56> pigment { checker rgb <0.32, 0.1, 0.08>, rgb <0.22, 0.08, 0.06> scale 0.12 } normal { wrinkles 0.8 scale 0.15 } }
sphere { <-0.95, 0.62, 0.15>, 1 scale <0.25, 0.09, 0.35> pigment { rgb <0.55, 0.52, 0.45> } normal { wrinkles 0.5 scale 0.06 } }
box { <-1.35, 0, -0.5>, <-1.25, 1.6, 0.6> texture { Wood scale 3 } }
box { <1.25, 0, -0.5>, <1.35, 1.6, 0.6> texture { Wood scale 3 } }
box { <-1.35, 0.3, -0.5>, <1.35, 0.45, -0.42> texture { Wood scale 3 } }
// A book left on the blanket, and the keeper's mug on the ledge.
box { <0.5, 0.63, -0.15>, <0.72, 0.67, 0.15> rotate <0, 20, 0> pigment { rgb <0.25, 0.12, 0.08> } }
cylinder { <1.0, 0.55, 0.45>, <1.0, 0.66, 0.45>, 0.045 pigment { rgb <0.7, 0.68, 0.6> } finish { specular 0.5 } }
)";
    return s;
}

// 1157: the builders' bench: tools, a jar, an old lamp and a mallet, under silt.
std::string BenchCloseUp()
{
    std::string s = DrownedCloseUp("<0, 1.7, -2.0>", "<0, 0.75, 0>", 60, 1.5, 0.8);
    s += R"(
box { <-1.4, 0.72, -0.55>, <1.4, 0.82, 0.55> texture { Wood scale 3 } }
box { <-1.3, 0, -0.4>, <-0.95, 0.72, 0.4> texture { Ashlar } }
box { <0.95, 0, -0.4>, <1.3, 0.72, 0.4> texture { Ashlar } }
cylinder { <-0.7, 0.82, 0.1>, <-0.7, 1.12, 0.1>, 0.1 pigment { rgbf <0.3, 0.42, 0.3, 0.55> } finish { specular 0.7 roughness 0.01 } }
union {
  cylinder { <0, 0, 0>, <0, 0.1, 0>, 0.09 }
  cylinder { <0, 0.1, 0>, <0, 0.25, 0>, 0.06 pigment { rgbf <0.8, 0.8, 0.7, 0.6> } }
  cone { <0, 0.25, 0>, 0.08, <0, 0.33, 0>, 0.02 }
  texture { Verdigris } translate <-0.25, 0.82, 0.25>
}
union { cylinder { <0, 0, 0>, <0.45, 0, 0>, 0.018 texture { Wood } } box { <0.45, -0.05, -0.04>, <0.6, 0.05, 0.04> texture { RustIron } } rotate <0, -20, 0> translate <0.1, 0.84, -0.2> }
box { <0.3, 0.82, 0.0>, <0.75, 0.84, 0.35> rotate <0, 10, 0> texture { Verdigris } }
cylinder { <0.85, 0.835, -0.3>, <1.2, 0.835, -0.1>, 0.015 texture { RustIron } }
sphere { <0.1, 0.82, 0.0>, 1 scale <0.5, 0.02, 0.3> texture { Silt } }
sphere { <0.9, 0.9, 0.2>, 1 scale <0.06, 0.06, 0.06> texture { Barnacled } }
)";
    return s;
}

// 1158: the keeper's oilskin coat on its hook, his sou'wester on the peg above.
std::string CoatCloseUp()
{
    std::string s = DrownedCloseUp("<0, 1.3, -3.2>", "<0, 1.25, 0>", 56, 1.8, 0.25);
    s += R"(
box { <-1.2, 1.9, -0.02>, <1.2, 2.02, 0.25> texture { Wood scale 2 } }
cylinder { <0, 1.92, 0.0>, <0, 1.92, -0.14>, 0.018 texture { RustIron } }
cylinder { <0, 1.92, -0.14>, <0, 1.98, -0.16>, 0.018 texture { RustIron } }
cylinder { <-0.7, 1.95, 0.0>, <-0.7, 1.95, -0.12>, 0.02 texture { Wood } }
// The sou'wester on the left peg.
union { cone { <0, 0, 0>, 0.14, <0, 0.16, 0>, 0.1 } cylinder { <0, 0, 0>, <0, 0.012, 0>, 0.26 } texture { Oilskin } rotate <20, 0, 12> translate <-0.7, 1.82, -0.2> }
// The coat: shoulders on the hook, the body falling to the hem, sleeves, buttons and a collar.
union {
  sphere { <0, 1.86, -0.13>, 1 scale <0.26, 0.08, 0.1> }
  cone { <0, 1.86, -0.13>, 0.24, <0, 0.72, -0.16>, 0.36 scale <1, 1, 0.45> translate <0, 0, -0.08> }
  cylinder { <-0.27, 1.82, -0.14>, <-0.42, 1.0, -0.2>, 0.085 }
  cylinder { <0.27, 1.82, -0.14>, <0.42, 1.0, -0.2>, 0.085 }
  cylinder { <-0.42, 1.0, -0.2>, <-0.43, 0.96, -0.2>, 0.09 }
  cylinder { <0.42, 1.0, -0.2>, <0.43, 0.96, -0.2>, 0.09 }
  torus { 0.1, 0.035 scale <1.5, 1, 0.9> translate <0, 1.9, -0.16> }
  box { <-0.26, 1.05, -0.33>, <-0.08, 1.12, -0.27> rotate <0, 0, -3> }
  box { <0.08, 1.05, -0.33>, <0.26, 1.12, -0.27> rotate <0, 0, 3> }
  texture { Oilskin }
}
box { <-0.008, 0.75, -0.25>, <0.008, 1.8, -0.22> pigment { rgb <0.2, 0.15, 0.05> } }
#for (Y, 0.95, 1.7, 0.2) cylinder { <0.06, Y, -0.26>, <0.06, Y, -0.22>, 0.02 texture { Brass } } #end
)";
    return s;
}

}  // namespace

std::string SceneOf(int place, const State& state)
{
    switch (place) {
    case 300: return CisternHead();
    case 301: return PumpWalk();
    case 302: return BasinView(state);
    case 303: return GrateGallery();
    case 304: return ValveGallery();
    case 305: return SeaGateView(state);
    case 306: return UnderTunnel();
    case 307: return Waterline();
    case 350: return ValveCloseUp();
    case 351: return PumpCloseUp(state.drained);
    case 352: return GrateCloseUp();
    case 353: return SeaGateCloseUp(state.seaGateOpen);
    case 354: return WaterlineCloseUp(state.lowestEbb);
    case 1100: return DrownedStairFoot();
    case 1101: return DrownedHall();
    case 1102: return DrownedLensRoom();
    case 1103: return DrownedBunkRoom();
    case 1151: return SeaDoorCloseUp();
    case 1152: return CradleCloseUp(state.lensInCradle);
    case 1153: return ChartsCloseUp();
    case 1154: return RecorderCloseUp();
    case 1155: return PortholeCloseUp();
    case 1156: return BunkCloseUp();
    case 1157: return BenchCloseUp();
    case 1158: return CoatCloseUp();
    default: break;
    }
    throw Error("the depths draw no place " + std::to_string(place));
}

}  // namespace depths

namespace {

namespace wc = world_content;

// Every place of the depths the renderer draws (the drowned plaque is typeset text).
constexpr int kDepthsPlaces[] = {300, 301, 302, 303, 304, 305, 306, 307, 350, 351, 352, 353, 354,
                                 1100, 1101, 1102, 1103, 1151, 1152, 1153, 1154, 1155, 1156, 1157, 1158};

// The state an overlay of the depths shows against its base.
depths::State OverlayState(const wc::OverlayDef& o)
{
    depths::State state;
    if (o.when == wc::When::TideLow) state.lowestEbb = true;
    if (o.when == wc::When::VarEquals) {
        if (o.var == wc::Art().Variable("cistern_flooded") && o.value == 0) state.drained = true;
        if (o.var == wc::Art().Variable("sea_gate_open") && o.value == 1) state.seaGateOpen = true;
        if (o.var == wc::Art().Variable("lens_in_cradle") && o.value == 1) state.lensInCradle = true;
    }
    return state;
}

}  // namespace

void AddDepths(std::vector<content::Asset>& rendered)
{
    for (int number : kDepthsPlaces) {
        const wc::Place& place = depths::PlaceNumbered(number);
        const int width = place.panorama ? content::kPanoramaWidth : content::kFlatWidth;
        const int height = place.panorama ? content::kPanoramaHeight : content::kFlatHeight;
        rendered.push_back(render::RenderedPicture(
            place.image, {place.image, depths::SceneOf(number, {}), width, height, false, place.panorama}, {},
            place.panorama ? 40.0 : 15.0));
        for (const wc::OverlayDef& o : wc::Art().overlays) {
            if (o.screen != number) continue;
            rendered.push_back(render::RenderedPicture(
                o.image, {o.image, depths::SceneOf(number, OverlayState(o)), width, height, false, place.panorama},
                {content::PictureFormat::Png, -1, true, {o.x, o.y, o.w, o.h}, {}}, place.panorama ? 40.0 : 15.0));
        }
    }
}

}  // namespace world_render
