// The observatory's ground floor and its tower, rendered: the hall's six rooms of dressed
// stone and the tower's five round floors as panoramas, their close views, the blocks that
// change with the story (the logbook, the hand lamp, the cabinet, the hatch) and the
// cabinet's bell wheels. Every thing stands where the world's hotspot for it lies.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_halls_models.h"
#include "game/assets/world_art.h"
#include "render/kit.h"
#include "render/panorama.h"

namespace world_render {

namespace halls {

namespace {

namespace wc = world_content;
using render::HeightOfRow;
using render::kPi;

constexpr double kTowerRadius = 5.0;  // the inner face of the tower's round wall, from the eye
constexpr double kWall = 1.0;    // the wall's thickness

// Where a feature lies in the panorama: its centre's longitude, its half width in degrees,
// its top and bottom rows.
// `radius`: how far the room's wall stands from the eye, where the thing is built; `flat`:
// the wall there is a flat one square to the slot's centre, not the round drum.
struct Slot {
    double degrees, halfDegrees;
    int y1, y2;
    double radius;
    bool flat = false;
};

Slot SlotOf(const wc::Feature& f, double radius, bool flat = false)
{
    return {render::DegreesOfColumn((f.x1 + f.x2) / 2.0), render::DegreesOfColumn((f.x2 - f.x1) / 2.0), f.y1, f.y2, radius,
            flat};
}

// The width a slot spans at `distance` from the eye.
double WidthAt(const Slot& s, double distance) { return 2.0 * distance * std::tan(s.halfDegrees * kPi / 180.0); }

// Scene text that puts a thing built in its own frame (front at z = 0) at `distance` along the slot.
std::string At(const Slot& s, double distance)
{
    return Text(" translate <0, 0, %.4f> rotate <0, %.4f, 0>", distance, s.degrees);
}

std::string Cut(const std::string& hole, const Slot& s)
{
    return "#declare Holes = union { object { Holes } object { " + hole + At(s, s.radius) + " } }\n";
}

// A round-headed opening through the wall, its top at `top`.
std::string ArchHole(double w, double top, double depth, double bottom = -3)
{
    const double spring = std::max(0.9, top - w / 2);
    return Text("union { box { <-%.4f, %.4f, -0.6>, <%.4f, %.4f, %.4f> } cylinder { <0, %.4f, -0.6>, <0, %.4f, %.4f>, %.4f } }",
                w / 2, bottom, w / 2, spring, depth, spring, spring, depth, w / 2);
}

// A passage beyond an opening: floor, walls and vault of `texture`, lit near its far end.
std::string Passage(const Slot& s, double w, double top, double depth, const char* texture, double light,
                    bool floor = true)
{
    std::string text = Text(R"(
object { difference {
  box { <-%.4f, -5, 0.2>, <%.4f, %.4f, %.4f> }
  object { %s scale <0.999, 1, 1> }
} texture { %s } %s }
)", w / 2 + 0.4, w / 2 + 0.4, top + 0.5, depth, ArchHole(w, top, depth - 0.3, floor ? 0.0 : -4.5), texture,
        At(s, s.radius));
    if (light > 0)
        text += Text("light_source { <0, %.4f, %.4f>, rgb <1.0, 0.76, 0.5> * %.4f fade_distance 1.5 fade_power 2 shadowless %s }\n",
                       top - 0.4, depth - 1.2, light, At(s, s.radius).c_str());
    return text;
}

// A closed plank door in a stone frame.
std::string Doorway(const Slot& s)
{
    const double w = WidthAt(s, s.radius), top = HeightOfRow(s.y1, s.radius);
    std::string text = Cut(Text("box { <-%.4f, -0.2, -0.6>, <%.4f, %.4f, 0.5> }", w / 2, w / 2, top), s);
    text += Text(R"(
union {
  difference {
    box { <-%.4f, 0, -0.06>, <%.4f, %.4f, 0.1> }
    box { <-%.4f, -1, -1>, <%.4f, %.4f, 1> }
    texture { Stone }
  }
  box { <-%.4f, 0, 0.35>, <%.4f, %.4f, 0.45> texture { Planks scale 0.7 } }
  #for (I, 0, 1) box { <-%.4f, %.4f + I * %.4f, 0.32>, <%.4f, %.4f + I * %.4f, 0.35> texture { DarkIron } } #end
  torus { 0.07, 0.012 rotate <90, 0, 0> translate <%.4f, %.4f, 0.31> texture { DarkIron } }
  cylinder { <%.4f, %.4f, 0.35>, <%.4f, %.4f, 0.3>, 0.03 texture { DarkIron } }
  %s
}
)", w / 2 + 0.2, w / 2 + 0.2, top + 0.22, w / 2, w / 2, top, w / 2, w / 2, top, w / 2, top * 0.2, top * 0.55, w / 2 - 0.1,
                   top * 0.2 + 0.08, top * 0.55, w * 0.3, top * 0.45, w * 0.3, top * 0.5, w * 0.3, top * 0.5,
                   At(s, s.radius).c_str());
    return text;
}

// An open archway with a lit passage.
std::string Archway(const Slot& s, const char* texture)
{
    const double w = WidthAt(s, s.radius), top = HeightOfRow(s.y1, s.radius);
    std::string text = Cut(ArchHole(w, top, kWall + 0.5), s);
    text += Passage(s, w, top, 4.0, texture, 0.8);
    const double spring = std::max(0.9, top - w / 2);
    text += Text("torus { %.4f, 0.1 rotate <90, 0, 0> clipped_by { plane { -y, 0 } } translate <0, %.4f, -0.02> texture { Stone } %s }\n",
                 w / 2 + 0.08, spring, At(s, s.radius));
    text += Text(R"(
#for (S, -1, 1, 2) box { <-0.1, 0, -0.06>, <0.1, %.4f, 0.08> translate <S * %.4f, 0, 0> texture { Stone } %s } #end
)", spring, w / 2 + 0.08, At(s, s.radius).c_str());
    return text;
}

// The observatory's gate, its two iron-bound leaves standing open on the night outside.
std::string Gate(const Slot& s)
{
    const double w = WidthAt(s, s.radius), top = HeightOfRow(s.y1, s.radius);
    const double spring = std::max(0.9, top - w / 2);
    std::string text = Cut(ArchHole(w, top, kWall + 0.5), s);
    text += Text(R"(
// The court outside and a low parapet; the moon's light falls in through the gate.
box { <-12, -0.2, %.4f>, <12, 0, 30> texture { Flags scale 1.4 } %s }
box { <-12, 0, 14>, <12, 0.9, 14.6> texture { Blocks } %s }
light_source { <-6, 14, 30>, rgb <0.55, 0.62, 0.85> * 0.9 %s }
#for (S, -1, 1, 2)
union {
  box { <0, 0.02, -0.04>, <%.4f, %.4f, 0.06> texture { Planks scale 0.7 } }
  #for (I, 0, 2) box { <0.04, 0.3 + I * %.4f, -0.06>, <%.4f, 0.38 + I * %.4f, -0.04> texture { DarkIron } } #end
  scale <-S, 1, 1>
  rotate <0, S * 70, 0>
  translate <S * %.4f, 0, %.4f>
  %s
}
#end
torus { %.4f, 0.12 rotate <90, 0, 0> clipped_by { plane { -y, 0 } } translate <0, %.4f, -0.03> texture { Stone } %s }
#for (S, -1, 1, 2) box { <-0.14, 0, -0.08>, <0.14, %.4f, 0.1> translate <S * %.4f, 0, 0> texture { Stone } %s } #end
)", kWall - 0.05, At(s, s.radius).c_str(), At(s, s.radius).c_str(), At(s, s.radius).c_str(),
                   -w / 2 + 0.02, spring, (spring - 0.6) / 2, w / 2 - 0.04, (spring - 0.6) / 2,
                   w / 2, kWall, At(s, s.radius).c_str(),
                   w / 2 + 0.1, spring, At(s, s.radius).c_str(),
                   spring, w / 2 + 0.1, At(s, s.radius).c_str());
    return text;
}

// A window in a deep reveal: leaded panes, the night sky, a stone sill; optionally a cushioned
// seat in the reveal below it.
std::string Window(const Slot& s, bool seat)
{
    const double w = WidthAt(s, s.radius), top = HeightOfRow(s.y1, s.radius), bottom = HeightOfRow(s.y2, s.radius);
    std::string text = Cut(Text("union { box { <-%.4f, %.4f, -0.6>, <%.4f, %.4f, 3> } cylinder { <0, %.4f, -0.6>, <0, %.4f, 3>, %.4f } }",
                                  w / 2, bottom, w / 2, top - w / 2, top - w / 2, top - w / 2, w / 2),
                           s);
    text += Text(R"(
union {
  // The glazing: a frame, bars and panes half way through the wall.
  intersection {
    union {
      #for (I, -3, 3) box { <I * %.4f - 0.015, -5, 0.55>, <I * %.4f + 0.015, 5, 0.6> } #end
      #for (I, 0, 12) box { <-5, %.4f + I * 0.25 - 0.015, 0.55>, <5, %.4f + I * 0.25 + 0.015, 0.6> } #end
    }
    object { union { box { <-%.4f, %.4f, -1>, <%.4f, %.4f, 3> } cylinder { <0, %.4f, -1>, <0, %.4f, 3>, %.4f } } }
    texture { DarkIron }
  }
  box { <-%.4f, %.4f, 0.57>, <%.4f, %.4f, 0.58> texture { Glass } }
  box { <-%.4f, %.4f, -0.12>, <%.4f, %.4f, 0.6> texture { Stone } }
  light_source { <1.5, %.4f, 8>, rgb <0.5, 0.58, 0.8> * 0.7 }
  %s
}
)", w / 6, w / 6, bottom, bottom, w / 2, bottom, w / 2, top - w / 2, top - w / 2, top - w / 2, w / 2, w / 2, bottom, w / 2,
                   top, w / 2 + 0.08, bottom - 0.08, w / 2 + 0.08, bottom, top + 4, At(s, s.radius).c_str());
    if (seat)
        text += Text(R"(
union {
  box { <-%.4f, 0, -0.5>, <%.4f, 0.45, 0.2> texture { Wood } }
  box { <-%.4f, 0.45, -0.48>, <%.4f, 0.55, 0.15> texture { pigment { rgb <0.42, 0.12, 0.1> } normal { quilted 0.4 scale 0.05 } } }
  box { <-0.18, 0.55, 0.0>, <0.18, 0.85, 0.15> rotate <-15, 0, 10> translate <%.4f, 0, 0> texture { pigment { rgb <0.5, 0.42, 0.2> } normal { quilted 0.4 scale 0.05 } } }
  %s
}
)", w / 2 + 0.1, w / 2 + 0.1, w / 2 + 0.05, w / 2 + 0.05, -w / 2 + 0.3, At(s, s.radius).c_str());
    return text;
}

// A slit through the tower's wall: a splayed embrasure narrowing to a hand's width.
std::string Slit(const Slot& s)
{
    const double w = WidthAt(s, s.radius), top = HeightOfRow(s.y1, s.radius), bottom = HeightOfRow(s.y2, s.radius);
    std::string text = Cut(Text("prism { linear_spline %.4f, %.4f, 5, <-%.4f, -0.6>, <%.4f, -0.6>, <0.07, %.4f>, <-0.07, %.4f>, <-%.4f, -0.6> }",
                                bottom, top, w / 2 + 0.06, w / 2 + 0.06, kWall + 0.5, kWall + 0.5, w / 2 + 0.06),
                           s);
    text += "light_source { <0, 2.0, 4>, rgb <0.5, 0.58, 0.8> * 0.5 fade_distance 3 fade_power 1 " + At(s, s.radius) + " }\n";
    return text;
}

// Stairs through an arched opening: a straight flight in the hall, a stair winding round a
// newel in the tower, going up or down; a lamp at their far end.
std::string Stairs(const Slot& s, bool up, bool winding, const char* texture)
{
    const double w = WidthAt(s, s.radius), top = HeightOfRow(s.y1, s.radius);
    std::string text = Cut(ArchHole(w, top, kWall + 0.6), s);
    const double rise = up ? 0.19 : -0.19;
    if (winding) {
        text += Text(R"(
union {
  // The stair turret: a round shell, the newel, the steps winding round it.
  difference { cylinder { <0, -4, 0>, <0, 6, 0>, %.4f } cylinder { <0, -5, 0>, <0, 7, 0>, %.4f } box { <-%.4f, -5, -5>, <%.4f, %.4f, 0> } texture { %s } }
  disc { <0, %.4f, 0>, y, %.4f texture { Stone } }
  cylinder { <0, -4, 0>, <0, 6, 0>, 0.16 texture { Stone } }
  #for (I, 0, 22)
    box { <0, -0.2, -0.26>, <%.4f, 0, 0.26> translate <0, %.4f + I * %.4f, 0> rotate <0, %.4f * I + 66, 0> texture { Stone } }
  #end
  light_source { <0.6, %.4f, 0.9>, rgb <1.0, 0.76, 0.5> * 0.9 fade_distance 1.5 fade_power 2 shadowless }
  translate <0, 0, %.4f>
  %s
}
)", w / 2 + 1.1, w / 2 + 0.9, w / 2, w / 2, top, texture, up ? 0.0 : -4.0, w / 2 + 1.0, w / 2 + 1.0, rise, rise, 24.0, up ? top : -1.5,
                       kWall + w / 2 + 0.9, At(s, s.radius).c_str());
    } else {
        text += Passage(s, w, top + (up ? 3.0 : 0.0), 4.5, texture, 0.0, up);
        text += Text(R"(
union {
  #for (I, 0, 16) box { <-%.4f, -4, 0.3 + I * 0.28>, <%.4f, %.4f * (I + 1), 5> texture { Stone } } #end
  light_source { <0, %.4f, 3.5>, rgb <1.0, 0.76, 0.5> * 0.7 fade_distance 1.5 fade_power 2 shadowless }
  %s
}
)", w / 2 + 0.3, w / 2 + 0.3, rise, up ? top + 1.0 : -0.6, At(s, s.radius).c_str());
        if (!up)
            text += Text("cylinder { <-%.4f, 0.9, 0.3>, <-%.4f, -1.5, 4.0>, 0.03 texture { Brass } %s }\n", w / 2 - 0.08,
                           w / 2 - 0.08, At(s, s.radius).c_str());
    }
    return text;
}

// The way down from the well room: a low arch in the rock, steps going down into the dark.
std::string Tunnel(const Slot& s)
{
    const double w = WidthAt(s, s.radius), top = HeightOfRow(s.y1, s.radius);
    std::string text = Cut(ArchHole(w, top, kWall + 0.5), s);
    text += Passage(s, w, top, 6.0, "Rock", 0.0, false);
    text += Text(R"(
union {
  #for (I, 0, 16) box { <-%.4f, -5, 0.5 + I * 0.3>, <%.4f, -0.2 * (I + 1), 7> texture { Rock } } #end
  %s
}
)", w / 2 + 0.3, w / 2 + 0.3, At(s, s.radius).c_str());
    const double spring = std::max(0.9, top - w / 2);
    text += Text("torus { %.4f, 0.12 rotate <90, 0, 0> clipped_by { plane { -y, 0 } } translate <0, %.4f, -0.02> texture { Rock } %s }\n",
                 w / 2 + 0.1, spring, At(s, s.radius));
    return text;
}

// The hatch to the lamp gallery at the head of a steep stair: an iron bar across it in
// its brackets, or lifted and the hatch swung up on the night.
std::string HatchStair(const Slot& s, bool open)
{
    const double w = WidthAt(s, s.radius), top = HeightOfRow(s.y1, s.radius);
    std::string text = Cut(ArchHole(w, top, kWall + 0.6), s);
    text += Passage(s, w, top + 1.5, 3.2, "Blocks", 0.0);
    text += "union {\n" + HatchParts(w, top - 0.35, open) + At(s, s.radius) + "\n}\n";
    return text;
}

// How far along a slot a thing `depth` deep stands with its back to the wall, so that its
// back corners (it fills the slot's width there) stay clear of a round wall's curve.
double AgainstWall(const Slot& s, double depth)
{
    double d = s.radius - depth;
    if (s.flat) return d - 0.02;
    for (int i = 0; i < 3; ++i) {
        const double half = WidthAt(s, d) / 2;
        d = std::sqrt(s.radius * s.radius - half * half) - depth - 0.02;
    }
    return d;
}

// How far from the eye the floor lies at a picture row below the horizon.
double FloorDistance(int row) { return render::kEyeHeight / (render::kEyeHeight - HeightOfRow(row, 1.0)); }

// The fireplace recess of the keeper's study with the stove burning in it.
std::string Hearth(const Slot& s, double ceiling)
{
    const double d = AgainstWall(s, 0.95), w = WidthAt(s, d), mantel = HeightOfRow(s.y1, d) + 0.25;
    return Text(R"(
union {
  #for (S, -1, 1, 2) box { <-0.22, 0, 0>, <0.22, %.4f, 0.95> translate <S * %.4f, 0, 0> texture { Stone } } #end
  box { <-%.4f, %.4f, -0.05>, <%.4f, %.4f, 0.95> texture { Stone } }
  box { <-%.4f, %.4f, -0.1>, <%.4f, %.4f, 0.95> texture { Wood } }
  box { <-%.4f, 0, -0.35>, <%.4f, 0.04, 0.95> texture { Stone } }
  box { <-%.4f, 0, 0.85>, <%.4f, %.4f, 0.95> pigment { rgb <0.05, 0.04, 0.035> } }
  #for (I, 0, 3) box { <-0.04, 0, -0.6>, <0.04, 0.03, 0.3> rotate <0, I * 7 - 10, 0> translate <%.4f + I * 0.09, 0.04, 0.2> texture { Wood } } #end
  object { union { %s } translate <0, 0.04, 0.05> }
  %s
}
)", mantel, w / 2 - 0.22, w / 2, mantel, w / 2, ceiling, w / 2 + 0.15, mantel - 0.08, w / 2 + 0.15, mantel, w / 2 - 0.1,
                  w / 2 - 0.1, w / 2 - 0.44, w / 2 - 0.44, mantel, w / 2 - 0.38,
                  Stove(1.0, 0.95, mantel - 0.25, 0.9, true).c_str(), At(s, d).c_str());
}

// Degrees between two longitudes, 0 .. 180.
double Apart(double a, double b) { return std::fabs(std::fmod(a - b + 540.0, 360.0) - 180.0); }

// Whether the wall at `degrees` is clear of every feature of the place by `margin` degrees.
bool ClearOfFeatures(const wc::Place& place, double degrees, double margin)
{
    for (const wc::Feature& f : place.features) {
        if (f.look == wc::Look::None) continue;
        const Slot s = SlotOf(f, kTowerRadius);
        if (Apart(degrees, s.degrees) < s.halfDegrees + margin) return false;
    }
    return true;
}

// The tower's narrow slits where no feature lies: the round wall is pierced all the way up.
std::string TowerSlits(const wc::Place& place)
{
    std::string text;
    for (int i = 0; i < 8; ++i) {
        const double degrees = i * 45.0 + 22.5;
        if (!ClearOfFeatures(place, degrees, 9.0)) continue;
        const Slot s{degrees, 1.0, 0, 0, kTowerRadius};
        text += Cut("prism { linear_spline 1.25, 2.6, 5, <-0.35, -0.6>, <0.35, -0.6>, <0.07, 1.0>, <-0.07, 1.0>, <-0.35, -0.6> }", s);
        text += "light_source { <0, 2.2, 4>, rgb <0.5, 0.58, 0.8> * 0.3 fade_distance 3 fade_power 1 " + At(s, s.radius) + " }\n";
    }
    return text;
}

// The tower's wall lamps: two burning on iron brackets on each floor, where no feature or
// slit lies, so each floor is lit warm in pools along its stone.
std::string TowerLamps(const wc::Place& place)
{
    std::string text;
    int lamps = 0;
    double first = -1000.0;
    for (int i = 0; i < 8 && lamps < 2; ++i) {
        const double degrees = i * 45.0;
        // The second lamp stands well round the wall from the first.
        if (!ClearOfFeatures(place, degrees, 8.0) || (lamps > 0 && Apart(degrees, first) < 100.0)) continue;
        if (lamps++ == 0) first = degrees;
        const Slot s{degrees, 1.0, 0, 0, kTowerRadius};
        text += "object { " + WallLamp(2.1, 1.0) + At(s, s.radius) + " }\n";
        text += Text("light_source { <0, 2.25, -0.6>, rgb <1.0, 0.66, 0.36> * 0.9 fade_distance 1.4 fade_power 2 shadowless %s }\n",
                     At(s, s.radius).c_str());
    }
    return text;
}

// The entrance hall's ring of columns, standing out from the wall where no feature lies, so
// the great room reads as a rotunda with an aisle round it.
std::string Colonnade(const wc::Place& place, double radius, double height)
{
    std::string text;
    const double ring = radius - 1.6;
    for (int i = 0; i < 12; ++i) {
        const double degrees = i * 30.0 + 15.0;
        // A column nearer the eye than the wall covers more of the view: keep its width clear.
        if (!ClearOfFeatures(place, degrees, 9.0)) continue;
        text += Text(R"(
union {
  cylinder { <0, 0, 0>, <0, %.4f, 0>, 0.24 }
  box { <-0.34, 0, -0.34>, <0.34, 0.22, 0.34> }
  torus { 0.26, 0.05 translate <0, 0.26, 0> }
  box { <-0.36, %.4f, -0.36>, <0.36, %.4f, 0.36> }
  torus { 0.26, 0.06 translate <0, %.4f, 0> }
  texture { Stone }
  translate <0, 0, %.4f> rotate <0, %.4f, 0>
}
)", height, height - 0.22, height, height - 0.3, ring, degrees);
    }
    return text;
}

// The rooms' looks: the wall, floor and ceiling, the height of the wall, the lamp light.
enum class Ceiling { RibbedVault, Vault, Beams, Joists };
struct RoomLook {
    const char* wall;
    const char* floor;
    const char* passage;
    Ceiling ceiling;
    double height;
    double r, g, b, power;  // the hanging lamp over the middle of the room
    bool panelled;          // a wooden dado round the wall
    double radius;          // how far the wall stands from the eye
    bool faceted = false;   // flat walls meeting in corners instead of one round wall
};

RoomLook LookOf(int place)
{
    switch (place) {
    // The entrance hall is the great room of the floor: wide and high under its ribbed vault.
    case 200: return {"Blocks", "Flags", "Blocks", Ceiling::RibbedVault, 4.4, 1.0, 0.8, 0.55, 1.2, false, 6.6};
    // The keeper's study is a small low room round its stove.
    // It is walled in flat panelled walls, one behind each door, window and fireplace.
    case 201: return {"Plaster", "Planks", "Plaster", Ceiling::Beams, 2.9, 1.0, 0.78, 0.5, 0.7, true, 3.9, true};
    // The lamp store is a narrow whitewashed cell under a low vault.
    case 202: return {"Whitewash", "Flags", "Whitewash", Ceiling::Vault, 2.6, 1.0, 0.86, 0.6, 0.6, false, 4.2};
    // The stair hall is tall and angular, the way up the tower and down to the well leaving
    // it. (Its walls stay off the blocks' joints: at a multiple of their length a joint runs
    // along them.)
    case 203: return {"Blocks", "Tiles", "Blocks", Ceiling::Beams, 4.0, 1.0, 0.8, 0.55, 1.0, false, 5.5, true};
    // The well room is a wide cold cellar round the well, under a shallow vault.
    case 204: return {"Stone", "Flags", "Rock", Ceiling::Vault, 2.85, 0.75, 0.8, 0.9, 0.5, false, 6.2};
    // The instrument room: flat panelled walls, a column engaged in one of them.
    case 205: return {"Plaster", "Planks", "Plaster", Ceiling::Beams, 3.4, 1.0, 0.85, 0.65, 0.9, true, 4.7, true};
    default: return {"TowerBlocks", place == 401 ? "Flags" : "Planks", "TowerBlocks", Ceiling::Joists, 3.4, 1.0, 0.7, 0.4, 0.5, false, kTowerRadius};
    }
}

// Which floor a place is on, so a stair to it goes up or down.
int LevelOf(int place)
{
    if (place == 204) return -1;
    if (place >= 400 && place < 500) return place - 400;
    if (place >= 500) return 6;
    return 0;
}

// No two neighbouring walls of a faceted room turn by more than this: wider stretches of
// bare wall are split, so that no corner runs far out from the eye.
constexpr double kWidestTurn = 100.0;

std::vector<double> Bearings(const wc::Place& place)
{
    std::vector<double> features;
    for (const wc::Feature& f : place.features)
        if (f.look != wc::Look::None && f.look != wc::Look::Pool)
            features.push_back(std::fmod(SlotOf(f, 1.0).degrees + 360.0, 360.0));
    if (features.size() < 2) throw Error("a faceted room needs two features in its walls: place " + std::to_string(place.number));
    std::sort(features.begin(), features.end());
    std::vector<double> walls;
    for (std::size_t i = 0; i < features.size(); ++i) {
        const double from = features[i], to = i + 1 < features.size() ? features[i + 1] : features[0] + 360.0;
        const int parts = static_cast<int>(std::ceil((to - from) / kWidestTurn));
        for (int k = 0; k < parts; ++k) walls.push_back(from + (to - from) * k / parts);
    }
    return walls;
}

// A faceted room's walls: a slab `thickness` thick whose face stands `radius` from the eye,
// square to each bearing, reaching past its corners into its neighbours' backs, `y1` .. `y2`
// high. The texture is laid on each slab before it is turned, so a pattern runs along its wall.
std::string FacetedWalls(const std::vector<double>& walls, double radius, double thickness, double y1, double y2,
                         const std::string& texture)
{
    std::string text = "union {\n";
    const std::size_t n = walls.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double before = i > 0 ? walls[i - 1] : walls[n - 1] - 360.0;
        const double after = i + 1 < n ? walls[i + 1] : walls[0] + 360.0;
        const double left = radius * std::tan((before - walls[i]) / 2 * kPi / 180.0) - thickness - 0.05;
        const double right = radius * std::tan((after - walls[i]) / 2 * kPi / 180.0) + thickness + 0.05;
        text += Text("  box { <%.4f, %.4f, 0>, <%.4f, %.4f, %.4f> texture { %s } translate <0, 0, %.4f> rotate <0, %.4f, 0> }\n",
                     left, y1, right, y2, thickness, texture.c_str(), radius, walls[i]);
    }
    return text + "}\n";
}

// How far the farthest corner of a faceted room lies from the eye.
double FarthestCorner(const std::vector<double>& walls, double radius)
{
    double farthest = radius;
    for (std::size_t i = 0; i < walls.size(); ++i) {
        const double next = i + 1 < walls.size() ? walls[i + 1] : walls[0] + 360.0;
        farthest = std::max(farthest, radius / std::cos((next - walls[i]) / 2 * kPi / 180.0));
    }
    return farthest;
}

std::string CeilingText(const RoomLook& look)
{
    const double top = look.height;
    switch (look.ceiling) {
    case Ceiling::RibbedVault:
    case Ceiling::Vault: {
        std::string text = Text(R"(
difference { sphere { <0, 0, 0>, %.4f } sphere { <0, 0, 0>, %.4f } plane { y, 0 } scale <1, 0.55, 1> translate <0, %.4f, 0> texture { %s } }
)", look.radius + 0.5, look.radius + 0.01, top, look.wall);
        if (look.ceiling == Ceiling::RibbedVault)
            text += Text(R"(
#for (I, 0, 7)
  intersection {
    difference { sphere { <0, 0, 0>, %.4f } sphere { <0, 0, 0>, %.4f } plane { y, 0 } scale <1, 0.55, 1> translate <0, %.4f, 0> }
    box { <-0.1, 0, -9>, <0.1, 12, 9> rotate <0, I * 22.5 + 11.25, 0> }
    texture { Stone }
  }
#end
torus { %.4f, 0.12 translate <0, %.4f, 0> texture { Stone } }
)", look.radius + 0.01, look.radius - 0.2, top, look.radius - 0.05, top);
        return text;
    }
    case Ceiling::Beams:
        return Text(R"(
plane { -y, -%.4f texture { Plaster } }
#for (I, -6, 6) box { <-9, %.4f, I * 0.9 - 0.1>, <9, %.4f, I * 0.9 + 0.1> texture { Wood scale 3 } } #end
#for (I, -1, 1, 2) box { <I * 1.8 - 0.16, %.4f, -9>, <I * 1.8 + 0.16, %.4f, 9> texture { Wood scale 3 } } #end
)", top, top - 0.2, top + 0.01, top - 0.42, top - 0.19);
    case Ceiling::Joists:
        return Text(R"(
plane { -y, -%.4f texture { Planks } }
#for (I, 0, 11) box { <-0.1, %.4f, 0>, <0.1, %.4f, 9> rotate <0, I * 30 + 15, 0> texture { Wood scale 3 } } #end
cylinder { <0, %.4f, 0>, <0, %.4f, 0>, 0.5 texture { Wood scale 3 } }
)", top, top - 0.24, top + 0.01, top - 0.3, top + 0.01);
    }
    return "";
}

// The panorama of a place of the hall or the tower; `hatchOpen` draws the gallery hatch
// unbarred and open.
std::string PanoramaScene(const wc::Place& place, bool hatchOpen)
{
    const RoomLook look = LookOf(place.number);
    const bool tower = place.realm == wc::Realm::Tower;
    std::string scene = render::PanoramaCamera(0, render::kEyeHeight, 0);
    scene += render::Materials();
    scene += HallMaterials();
    scene += R"(
sky_sphere { pigment { gradient y colour_map { [0 rgb <0.05, 0.06, 0.1>] [0.3 rgb <0.02, 0.03, 0.07>] [1 rgb <0.01, 0.01, 0.03>] } } }
#declare Holes = sphere { <0, -100, 0>, 0.001 }
)";
    std::string things;
    for (const wc::Feature& f : place.features) {
        if (f.look == wc::Look::None) continue;
        const Slot s = SlotOf(f, look.radius, look.faceted);
        switch (f.look) {
        case wc::Look::Gate: things += Gate(s); break;
        case wc::Look::Arch: things += Archway(s, look.passage); break;
        case wc::Look::Door: things += Doorway(s); break;
        case wc::Look::Window: things += tower && f.target == 450 ? Slit(s) : Window(s, place.number == 201); break;
        case wc::Look::Tunnel: things += Tunnel(s); break;
        case wc::Look::Stairs:
            if (f.target == 500)
                things += HatchStair(s, hatchOpen);
            else
                things += Stairs(s, LevelOf(f.target) > LevelOf(place.number), tower || f.target > 400, look.passage);
            break;
        case wc::Look::Torch: {
            const double top = HeightOfRow(f.y1, look.radius), bottom = HeightOfRow(f.y2, look.radius);
            things += "object { " + WallLamp((top + bottom) / 2, (top - bottom) / 0.62) + At(s, look.radius) + " }\n";
            break;
        }
        case wc::Look::Pillar: {
            const double w = WidthAt(s, look.radius);
            things += Text(R"(
union {
  cylinder { <0, 0, 0>, <0, %.4f, 0>, %.4f }
  box { <-%.4f, 0, -%.4f>, <%.4f, 0.25, %.4f> }
  box { <-%.4f, %.4f, -%.4f>, <%.4f, %.4f, %.4f> }
  texture { Stone }
  translate <0, 0, -0.05> %s
}
)", look.height + 1, w / 2 * 0.85, w / 2, w / 2, w / 2, w / 2, w / 2, look.height - 0.3, w / 2, w / 2, look.height, w / 2,
                             At(s, look.radius).c_str());
            break;
        }
        case wc::Look::Pool: {
            const double front = FloorDistance(f.y2), r = WidthAt(s, front) / 2 * 0.95;
            things += "object { " + Well(r, HeightOfRow(f.y1, front)) + Text(" translate <0, 0, %.4f>", r) + At(s, front) + " }\n";
            break;
        }
        case wc::Look::Desk: {
            if (place.number == 200) {
                const double d = 4.0, w = WidthAt(s, d), h = HeightOfRow(f.y1, d);
                things += "object { " + Lectern(0.8, h) + At(s, d) + " }\n";
                // Two iron candle stands beside it, and the step it stands on.
                things += Text(R"(
union {
  box { <-%.4f, 0, -0.6>, <%.4f, 0.12, 0.6> texture { Stone } }
  #for (S, -1, 1, 2)
    union {
      cylinder { <0, 0, 0>, <0, %.4f, 0>, 0.025 texture { DarkIron } }
      cone { <0, 0, 0>, 0.2, <0, 0.1, 0>, 0.03 texture { DarkIron } }
      cylinder { <0, %.4f, 0>, <0, %.4f, 0>, 0.09 texture { DarkIron } }
      cylinder { <0, %.4f, 0>, <0, %.4f, 0>, 0.04 pigment { rgb <0.86, 0.82, 0.7> } }
      sphere { <0, 0, 0>, 0.03 scale <1, 1.8, 1> translate <0, %.4f, 0> texture { Flame } no_shadow }
      translate <S * %.4f, 0, 0>
    }
  #end
  light_source { <0, %.4f, -0.6>, rgb <1, 0.75, 0.45> * 0.5 fade_distance 1.2 fade_power 2 shadowless }
  %s
}
)", w / 2 * 0.85, w / 2 * 0.85, h - 0.2, h - 0.2, h - 0.17, h - 0.17, h - 0.05, h, w / 2 * 0.75, h, At(s, d).c_str());
            } else {
                const double d = AgainstWall(s, 0.85), w = WidthAt(s, d), h = HeightOfRow(f.y1, d);
                const DeskKind kind = place.number == 201 ? DeskKind::Keeper
                                      : place.number == 205 ? DeskKind::Instruments
                                                            : DeskKind::TowerTable;
                if (kind == DeskKind::TowerTable)
                    things += "object { union { " + Desk(kind, std::min(w, 1.6), h) + Text(" } translate <0, 0, %.4f> ", -0.4) + At(s, d) + " }\n" +
                              Text("#for (S, -1, 1, 2) union { cylinder { <0, 0, 0>, <0, 0.45, 0>, 0.2 } cylinder { <0.12, 0.45, 0.12>, <0.16, 0.95, 0.16>, 0.02 } cylinder { <-0.12, 0.45, 0.12>, <-0.16, 0.95, 0.16>, 0.02 } texture { Wood } translate <S * %.4f, 0, 0.1> %s } #end\n",
                                     std::min(w, 1.6) / 2 + 0.35, At(s, d).c_str());
                else
                    things += "object { union { " + Desk(kind, w * 0.92, h) + " } " + At(s, d) + " }\n";
            }
            break;
        }
        case wc::Look::Machine: {
            if (place.number == 201) {
                things += Hearth(s, look.height);
            } else if (place.number == 202) {
                const double d = AgainstWall(s, 1.0), w = WidthAt(s, d), h = HeightOfRow(f.y1, d);
                things += "object { union { " + OilStore(w * 0.95, h) + " } " + At(s, d) + " }\n";
            } else {
                const double d = AgainstWall(s, 0.8), w = WidthAt(s, d), h = HeightOfRow(f.y1, d);
                things += "object { union { " + Winch(w * 0.9, h, look.height) + " } " + At(s, d) + " }\n";
            }
            break;
        }
        case wc::Look::Panel: {
            const double onWall = AgainstWall(s, 0.0);
            const double top = HeightOfRow(f.y1, onWall), bottom = HeightOfRow(f.y2, onWall);
            const double w = WidthAt(s, onWall);
            if (place.number == 202) {
                things += "object { union { " + LampBoard(w * 0.9, top - bottom, (top - bottom) * 0.62, false) +
                          Text(" } translate <0, %.4f, 0> ", bottom) + At(s, onWall) + " }\n";
            } else if (place.number == 203) {
                things += "object { " + WallClock(w * 0.85, top - 0.1, 0.1) + At(s, onWall) + " }\n";
            } else if (place.number == 402) {
                CabinetShape shape;
                const double d = AgainstWall(s, 0.47), wd = WidthAt(s, d);
                shape.w = wd * 0.34;
                shape.h = HeightOfRow(f.y1, d);
                shape.wheelRadius = wd * 0.024;
                shape.pitch = (wd - shape.w - 0.1) / 8;
                shape.wheelsX = shape.w / 2 + 0.05 + shape.pitch / 2;
                shape.wheelsY = shape.h * 0.58;
                shape.knobX = shape.wheelsX + shape.pitch * 3.5;
                shape.knobY = shape.h * 0.36;
                shape.knobRadius = shape.wheelRadius * 1.1;
                shape.plateRight = wd - shape.w / 2;
                things += "object { union { " + Cabinet(shape, false, false) +
                          Text(" } translate <%.4f, 0, 0> ", -wd / 2 + shape.w / 2) + At(s, d) + " }\n";
            } else {
                const double d = AgainstWall(s, 0.42);
                things += "object { union { " + Shelf(WidthAt(s, d) * 0.95, HeightOfRow(f.y1, d)) + " } " + At(s, d) + " }\n";
            }
            break;
        }
        default: break;
        }
    }
    if (tower) things += TowerSlits(place) + TowerLamps(place);
    if (place.number == 200) things += Colonnade(place, look.radius, look.height);
    scene += things;
    // The room: a drum of wall, or flat walls, with its openings cut, a floor, the ceiling,
    // the lamp light.
    double floorRadius = look.radius + 0.3;
    if (look.faceted) {
        const std::vector<double> walls = Bearings(place);
        // The texture is shifted off the face: a joint of the blocks runs along every
        // multiple of their length.
        scene += "difference {\n" +
                 FacetedWalls(walls, look.radius, kWall, -5, look.height + 0.01,
                              Text("%s translate <0.13, 0, 0.31>", look.wall)) +
                 "  object { Holes }\n}\n";
        floorRadius = FarthestCorner(walls, look.radius) + 0.3;
    } else {
        scene += Text(R"(
difference {
  cylinder { <0, -5, 0>, <0, %.4f, 0>, %.4f }
  cylinder { <0, -6, 0>, <0, %.4f, 0>, %.4f }
  object { Holes }
  texture { %s }
}
)", look.height + 0.01, look.radius + kWall, look.height + 1, look.radius, look.wall);
    }
    scene += Text(R"(
cylinder { <0, -0.3, 0>, <0, 0, 0>, %.4f texture { %s } }
light_source { <0, %.4f, 0>, rgb <%.4f, %.4f, %.4f> * %.4f fade_distance 4 fade_power 1 }
light_source { <0, 1.2, 0>, rgb <%.4f, %.4f, %.4f> * %.4f shadowless }
)", floorRadius, look.floor, look.height - 0.5, look.r, look.g, look.b, look.power, look.r, look.g, look.b,
                  look.power * 0.12);
    if (look.panelled && look.faceted) {
        // The dado runs along each flat wall, its boards upright, a rail along its top.
        const std::vector<double> walls = Bearings(place);
        scene += "difference {\n  union {\n" + FacetedWalls(walls, look.radius - 0.04, 0.04, 0, 1.1, "Panelling") +
                 FacetedWalls(walls, look.radius - 0.07, 0.03, 1.07, 1.13, "Wood") + "  }\n  object { Holes }\n}\n";
    } else if (look.panelled)
        scene += Text(R"(
difference {
  union {
    difference { cylinder { <0, 0, 0>, <0, 1.1, 0>, %.4f } cylinder { <0, -1, 0>, <0, 2, 0>, %.4f } texture { Panelling } }
    torus { %.4f, 0.03 translate <0, 1.1, 0> texture { Wood } }
  }
  object { Holes }
}
)", look.radius, look.radius - 0.04, look.radius - 0.04);
    scene += CeilingText(look);
    return scene;
}

}  // namespace

std::vector<double> WallBearings(int number)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == number) return place.panorama && LookOf(number).faceted ? Bearings(place) : std::vector<double>{};
    throw Error("the world names no place " + std::to_string(number));
}

std::string PlaceScene(int number, bool changed)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == number) return place.panorama ? PanoramaScene(place, changed) : FlatScene(number, changed);
    throw Error("the world names no place " + std::to_string(number));
}

}  // namespace halls

void AddHalls(std::vector<content::Asset>& rendered)
{
    namespace wc = world_content;
    for (const wc::Place& place : wc::Art().places) {
        if (place.realm != wc::Realm::Hall && place.realm != wc::Realm::Tower) continue;
        const int w = place.panorama ? content::kPanoramaWidth : content::kFlatWidth;
        const int h = place.panorama ? content::kPanoramaHeight : content::kFlatHeight;
        rendered.push_back(render::RenderedPicture(
            place.image, {place.image, halls::PlaceScene(place.number, false), w, h, false, place.panorama}, {},
            place.panorama ? 40.0 : 15.0));
    }
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        const wc::Place* place = nullptr;
        for (const wc::Place& p : wc::Art().places)
            if (p.number == o.screen) place = &p;
        if (place == nullptr || (place->realm != wc::Realm::Hall && place->realm != wc::Realm::Tower)) continue;
        const bool letters = o.shows == wc::Shows::Item && o.item == 6;
        const std::string scene = place->panorama ? halls::PlaceScene(place->number, true)
                                                  : halls::FlatScene(place->number, true, letters);
        const int w = place->panorama ? content::kPanoramaWidth : content::kFlatWidth;
        const int h = place->panorama ? content::kPanoramaHeight : content::kFlatHeight;
        render::PictureOut block;
        block.format = content::PictureFormat::Png;
        block.block = true;
        block.rect = {o.x, o.y, o.w, o.h};
        rendered.push_back(render::RenderedPicture(o.image, {o.image, scene, w, h, false, place->panorama}, block,
                                                   place->panorama ? 40.0 : 15.0));
    }
    rendered.push_back(halls::CabinetWheels());
}

}  // namespace world_render
