// The panoramas of the lamp gallery and the dome. Both are round rooms at the top of the
// tower seen from a spot on their floor: the gallery a low limewashed ring under the dome's
// timber floor, with windows on the night sea and the lamp ring's columns of oil lamps; the
// dome a stone drum under a ribbed dome with the great telescope, the star panels and the
// shutter. Every fixture stands where the world's hotspot for it lies.
#include "game/assets/render_heights.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/error.h"
#include "render/kit.h"
#include "render/panorama.h"
#include "game/assets/render_groups.h"

namespace world_render {

namespace heights {

namespace {

namespace wc = world_content;
using render::Format;
using render::HeightOfRow;
using render::kEyeHeight;
using render::kPi;
using render::PanoramaCamera;

constexpr int kPanoramaWidth = content::kPanoramaWidth;
constexpr double kGalleryRadius = 5.0;
constexpr double kGalleryCeiling = 3.3;
constexpr double kDomeRadius = 6.0;

// What a panorama shows at a hotspot: picture columns x1 .. x2 and rows y1 .. y2.
enum class Fixture {
    Archway,     // an opening in the wall to a lit passage
    StairDown,   // a stairwell in the floor by the wall, going down the tower
    StairUp,     // a doorway with the stair climbing to the dome (lit when the lamps burn)
    StairSide,   // the same stair seen climbing behind a balustrade in the wall
    Plaque,      // a bronze plaque in a stone tablet
    RingBoard,   // the lamp ring's board: thirty-six small lamps in three rows
    LampColumn,  // a column of the lamp ring: three oil lamps on a board
    SeaWindow,   // a window on the night sea
    Bench,       // a high-backed settle against the wall
    StarChart,   // the builders' chart of the sky: a dark enamel plate of stars
    StarPanel,   // a panel of nine star lamps, three by three
    Shutter,     // the dome's shutter: iron leaves down the slit into the drum, with its winches
    Telescope,   // the great telescope on its pier and mount
};
struct FixtureAt {
    Fixture what;
    int x1, y1, x2, y2;
};

double CentreDegrees(const FixtureAt& f) { return render::DegreesOfColumn((f.x1 + f.x2) / 2.0); }
double HalfAngle(const FixtureAt& f) { return (f.x2 - f.x1) / 2.0 / kPanoramaWidth * 2.0 * kPi; }
// The half width a flat object at `distance` needs to fill the fixture's columns.
double HalfWidthAt(const FixtureAt& f, double distance) { return distance * std::tan(HalfAngle(f)); }

// Places something built at distance z straight ahead round to the fixture's longitude.
std::string Turned(const FixtureAt& f) { return Format(" rotate <0, %.4f, 0>", CentreDegrees(f)); }

// An archway through the drum from column x1 to x2, its top at row y1: an opening with a
// stone surround and a short lit passage behind it.
std::string Archway(const FixtureAt& f, double radius)
{
    const double centre = CentreDegrees(f);
    const double halfWidth = std::sin(HalfAngle(f)) * (radius - 0.2) * 0.92;
    const double top = HeightOfRow(f.y1, radius) - 0.05;
    const double spring = std::max(1.2, top - halfWidth);  // where the round head starts
    // The opening: a box below the springing line and a cylinder for the round head. The
    // passage's lamp casts no shadows: the drum is between it and the room.
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
  light_source { <0, %.4f, 2.5>, rgb <1.0, 0.78, 0.5> * 0.9 fade_distance 2 fade_power 2 shadowless }
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

// A stairwell going down: a doorway through the drum and an opening in the floor in front
// of it, the steps dropping away outwards, an iron rail on both sides, a glimmer from below.
std::string StairDown(const FixtureAt& f, double radius)
{
    const double w = HalfWidthAt(f, radius) * 0.85;
    const double top = HeightOfRow(f.y1, radius);
    const double start = kEyeHeight / std::tan(-(0.5 - static_cast<double>(f.y2) / content::kPanoramaHeight) * 2.0 *
                                                render::kBandLatitude);  // where row y2 meets the floor
    std::string text = Format(R"(
#declare WellHole = box { <-%.4f, -0.1, %.4f>, <%.4f, %.4f, %.4f> }
#declare Holes = union { object { Holes } object { WellHole )", w, start, w, top, radius + 1.0) + Turned(f) + " } }\n" +
                       Format(R"(
#declare FloorHoles = union { object { FloorHoles } box { <-%.4f, -1, %.4f>, <%.4f, 0.1, %.4f> )", w, start, w,
                              radius + 3.0) +
                       Turned(f) + " } }\n";
    text += "union {\n";
    for (int k = 0; k < 12; ++k)
        text += Format("  box { <-%.4f, %.4f, %.4f>, <%.4f, %.4f, %.4f> texture { Stone } }\n", w, -0.19 * (k + 1),
                       start + 0.05 + 0.27 * k, w, -0.19 * k - 0.01, radius + 3.5);
    text += Format(R"(
  // The well's walls and its vault, stone, running down and away.
  box { <-%.4f, -3, %.4f>, <-%.4f, %.4f, %.4f> texture { Blocks } }
  box { <%.4f, -3, %.4f>, <%.4f, %.4f, %.4f> texture { Blocks } }
  box { <-%.4f, %.4f, %.4f>, <%.4f, %.4f, %.4f> texture { Blocks } }
  box { <-%.4f, -3, %.4f>, <%.4f, %.4f, %.4f> texture { Blocks } }
  // The rails round the opening.
  #for (S, -1, 1, 2)
    #declare RailX = S * %.4f;
    union {
    cylinder { <RailX, 0, %.4f>, <RailX, 0.95, %.4f>, 0.025 }
    cylinder { <RailX, 0, %.4f>, <RailX, 0.95, %.4f>, 0.025 }
    cylinder { <RailX, 0.95, %.4f>, <RailX, 0.95, %.4f>, 0.03 }
    cylinder { <RailX, 0.5, %.4f>, <RailX, 0.5, %.4f>, 0.018 }
    texture { DarkIron } }
  #end
  light_source { <0, -2.2, %.4f>, rgb <1.0, 0.75, 0.45> * 0.6 fade_distance 1.5 fade_power 2 }
)", w + 0.3, start, w, top, radius + 4, w, start, w + 0.3, top, radius + 4, w + 0.3, top, radius - 0.3, w + 0.3, top + 0.3,
                   radius + 4, w + 0.3, radius + 3.4, w + 0.3, top + 0.3, radius + 3.6, w + 0.04, start, start, radius - 0.25, radius - 0.25, start, radius - 0.25, start,
                   radius - 0.25, radius + 2.5);
    text += Turned(f) + "\n}\n";
    return text;
}

// The stair up to the dome through a doorway in the drum: stone steps climbing outwards
// into the tower's top. Lit, a lamp in the well shows them; only the well takes its light.
std::string StairUp(const FixtureAt& f, double radius, bool lit)
{
    const double w = HalfWidthAt(f, radius) * 0.8;
    const double top = HeightOfRow(f.y1, radius) - 0.05;
    std::string well = Format(R"(
#declare Holes = union { object { Holes } box { <-%.4f, -0.1, %.4f>, <%.4f, %.4f, %.4f> )", w, radius - 1, w, top,
                              radius + 1) +
                       Turned(f) + " } }\n";
    std::string steps;
    for (int k = 0; k < 14; ++k)
        steps += Format("    box { <-%.4f, -0.1, %.4f>, <%.4f, %.4f, %.4f> }\n", w, radius + 0.05 + 0.3 * k, w,
                        0.21 * (k + 1), radius + 5);
    well += R"(
light_group {
  union {
    union {
)" + steps + R"(
      texture { Stone }
    }
)" + Format(R"(
    // The well's walls, its sloping vault and the rail on the right.
    box { <-%.4f, -0.1, %.4f>, <-%.4f, 5, %.4f> texture { Blocks } }
    box { <%.4f, -0.1, %.4f>, <%.4f, 5, %.4f> texture { Blocks } }
    box { <-%.4f, 0, 0>, <%.4f, 0.2, 6> texture { Blocks } rotate <-35, 0, 0> translate <0, %.4f, %.4f> }
    cylinder { <%.4f, 1.0, %.4f>, <%.4f, 3.3, %.4f>, 0.03 texture { Brass } }
    no_radiosity
  }
)", w + 0.3, radius + 0.02, w, radius + 5, w, radius + 0.02, w + 0.3, radius + 5, w + 0.4, w + 0.4, top, radius + 0.35,
                w - 0.08, radius, w - 0.08, radius + 3.2);
    if (lit)
        well += Format(R"(
  light_source { <0, %.4f, %.4f>, rgb <1.0, 0.78, 0.48> * 1.6 fade_distance 1.6 fade_power 2 }
  light_source { <0, 1.6, %.4f>, rgb <1.0, 0.78, 0.48> * 0.7 fade_distance 1.2 fade_power 2 }
)", top + 0.3, radius + 1.6, radius + 0.3);
    well += "  global_lights on\n" + std::string("  ") + Turned(f) + "\n}\n";
    // The door's stone surround, in the room.
    well += Format(R"(
union {
  box { <-%.4f, 0, -0.12>, <-%.4f, %.4f, 0.1> }
  box { <%.4f, 0, -0.12>, <%.4f, %.4f, 0.1> }
  box { <-%.4f, %.4f, -0.12>, <%.4f, %.4f, 0.1> }
  texture { Stone }
  translate <0, 0, %.4f>
)", w + 0.18, w, top + 0.05, w, w + 0.18, top + 0.05, w + 0.18, top, w + 0.18, top + 0.22, radius - 0.05) +
            Turned(f) + "\n}\n";
    return well;
}

// The stair seen climbing behind the wall through an opening with iron balusters.
std::string StairSide(const FixtureAt& f, double radius)
{
    const double w = HalfWidthAt(f, radius) * 0.9;
    const double top = HeightOfRow(f.y1, radius), bottom = HeightOfRow(f.y2, radius);
    std::string text = Format(R"(
#declare Holes = union { object { Holes } box { <-%.4f, %.4f, %.4f>, <%.4f, %.4f, %.4f> )", w, bottom, radius - 1, w, top,
                              radius + 1) +
                       Turned(f) + " } }\n";
    text += "union {\n";
    // Steps rising from left to right behind the wall, seen from their side.
    for (int k = 0; k < 12; ++k) {
        const double x = -w - 0.3 + k * 0.3;
        text += Format("  box { <%.4f, -0.1, %.4f>, <%.4f, %.4f, %.4f> texture { Stone } }\n", x, radius + 0.3, x + 0.3,
                       bottom - 0.4 + 0.2 * k, radius + 1.3);
    }
    text += Format(R"(
  box { <-%.4f, -0.1, %.4f>, <%.4f, 5, %.4f> texture { Blocks } }
  // The balusters and the rail along the opening.
  #for (I, 0, 10)
    cylinder { <-%.4f + I * %.4f, %.4f, %.4f>, <-%.4f + I * %.4f, %.4f, %.4f>, 0.022 texture { DarkIron } }
  #end
  box { <-%.4f, %.4f, %.4f>, <%.4f, %.4f, %.4f> texture { Wood } }
  box { <-%.4f, %.4f, %.4f>, <%.4f, %.4f, %.4f> texture { Stone } }
  light_source { <%.4f, %.4f, %.4f>, rgb <0.5, 0.55, 0.75> * 0.5 fade_distance 1.5 fade_power 2 shadowless }
)", w + 1, radius + 1.3, w + 1, radius + 1.5, w * 0.95, w * 0.19, bottom, radius - 0.1, w * 0.95, w * 0.19, top - 0.1,
                   radius - 0.1, w + 0.05, top - 0.12, radius - 0.16, w + 0.05, top, radius - 0.04, w + 0.1, bottom - 0.1,
                   radius - 0.2, w + 0.1, bottom, radius + 0.1, w * 0.5, top + 0.5, radius + 0.8);
    text += Turned(f) + "\n}\n";
    return text;
}

// A flat thing on the wall filling the fixture's rectangle: the frame and its face are
// given as povray objects in a unit box (-1 .. 1 across, 0 .. 1 up, face at z = 0).
struct WallFace {
    double left, right, bottom, top, z;
};
WallFace FaceOnWall(const FixtureAt& f, double distance)
{
    const double w = HalfWidthAt(f, distance);
    return {-w, w, HeightOfRow(f.y2, distance), HeightOfRow(f.y1, distance), distance};
}

// A board on the wall filling the face: its frame and, set 0.08 in from the edges, its face.
std::string FramedBoard(const WallFace& p, const char* frame, const char* face)
{
    return Format("  box { <%.4f, %.4f, -0.02>, <%.4f, %.4f, 0.2> ", p.left, p.bottom, p.right, p.top) + frame + " }\n" +
           Format("  box { <%.4f, %.4f, -0.04>, <%.4f, %.4f, 0.2> ", p.left + 0.08, p.bottom + 0.08, p.right - 0.08,
                  p.top - 0.08) +
           face + " }\n";
}

std::string Plaque(const FixtureAt& f, double radius)
{
    const WallFace p = FaceOnWall(f, radius - 0.15);
    return Format(R"(
union {
  // The stone tablet, and the bronze plate set in it: lines of small dark letters on the
  // metal, a heading over them on a brass strip.
  box { <%.4f, %.4f, 0>, <%.4f, %.4f, 0.2> texture { Stone scale 0.5 } }
  box { <%.4f, %.4f, -0.03>, <%.4f, %.4f, 0.05>
    texture {
      pigment { gradient y pigment_map {
        [0.0 rgb <0.52, 0.4, 0.2>] [0.35 rgb <0.52, 0.4, 0.2>]
        [0.35 granite colour_map { [0 rgb <0.52, 0.4, 0.2>] [0.45 rgb <0.52, 0.4, 0.2>] [0.5 rgb <0.12, 0.09, 0.05>] [1 rgb <0.12, 0.09, 0.05>] } scale <0.05, 0.3, 1>]
        [0.75 granite colour_map { [0 rgb <0.52, 0.4, 0.2>] [0.45 rgb <0.52, 0.4, 0.2>] [0.5 rgb <0.12, 0.09, 0.05>] [1 rgb <0.12, 0.09, 0.05>] } scale <0.05, 0.3, 1>]
        [0.75 rgb <0.52, 0.4, 0.2>] } scale 0.09 }
      finish { diffuse 0.6 specular 0.5 roughness 0.03 metallic } } }
  box { <%.4f, %.4f, -0.04>, <%.4f, %.4f, 0.05> texture { Brass } }
  translate <0, 0, %.4f>
)", p.left, p.bottom, p.right, p.top, p.left * 0.82, p.bottom + 0.15 * (p.top - p.bottom), p.right * 0.82,
                  p.bottom + 0.7 * (p.top - p.bottom), p.left * 0.7, p.bottom + 0.74 * (p.top - p.bottom), p.right * 0.7,
                  p.bottom + 0.86 * (p.top - p.bottom), p.z) +
           Turned(f) + "\n}\n";
}

// The lamp ring's board: a dark wooden board with three brass rails of twelve small lamps.
std::string RingBoard(const FixtureAt& f, double radius)
{
    const WallFace p = FaceOnWall(f, radius - 0.2);
    const double w = p.right - p.left, h = p.top - p.bottom;
    std::string text = "union {\n" + FramedBoard(p, "texture { Wood scale 4 }", "texture { Tarred }");
    for (int row = 0; row < 3; ++row) {
        const double y = p.bottom + h * (0.78 - 0.27 * row);
        text += Format("  box { <%.4f, %.4f, -0.08>, <%.4f, %.4f, -0.03> texture { Brass } }\n", p.left + 0.15, y - 0.02,
                       p.right - 0.15, y);
        for (int i = 0; i < 12; ++i)
            text += Format("  object { OilLamp(false) scale 0.55 translate <%.4f, %.4f, -0.1> }\n",
                           p.left + w * (0.07 + 0.86 * i / 11.0), y);
    }
    text += Format("  translate <0, 0, %.4f>", p.z) + Turned(f) + "\n}\n";
    return text;
}

// A column of the lamp ring: three oil lamps, one for each ring, on brackets from a board.
std::string LampColumn(const FixtureAt& f, double radius, bool lit)
{
    const double d = radius - 0.3;
    const WallFace p = FaceOnWall(f, d);
    const double h = p.top - p.bottom;
    std::string text = Format(R"(
union {
  box { <%.4f, %.4f, 0.1>, <%.4f, %.4f, 0.3> texture { Stone } }
  box { <%.4f, %.4f, 0.05>, <%.4f, %.4f, 0.1> texture { Brass } }
)", p.left, p.bottom, p.right, p.top, p.left * 0.15, p.bottom, p.right * 0.15, p.top);
    for (int ring = 0; ring < 3; ++ring) {
        const double y = p.bottom + h * (0.06 + 0.33 * ring);
        text += Format(R"(
  box { <-0.13, %.4f, -0.08>, <0.13, %.4f, 0.12> texture { Brass } }
  object { OilLamp(%.0f) scale 1.25 translate <0, %.4f, -0.02> }
)", y - 0.02, y, lit ? 1.0 : 0.0, y);
        if (lit)
            text += Format(R"(
  disc { <0, 0, 0>, -z, 1 texture { pigment { spherical colour_map { [0 rgbt <1, 0.6, 0.25, 1>] [1 rgbt <1, 0.72, 0.4, 0.35>] } }
         finish { ambient 0 diffuse 0 emission 1.2 } } scale <%.4f, 0.2, 1> translate <0, %.4f, 0.08> no_shadow no_radiosity }
)", p.right * 0.9, y + 0.15);
    }
    text += Format("  translate <0, 0, %.4f>", d) + Turned(f) + "\n}\n";
    return text;
}

// A window on the night sea: an opening with a round head, glazing bars and a deep sill.
std::string SeaWindow(const FixtureAt& f, double radius)
{
    const double w = std::min(HalfWidthAt(f, radius), 0.6);
    const double top = HeightOfRow(f.y1, radius), bottom = HeightOfRow(f.y2, radius);
    const double spring = top - w;
    std::string text = Format(R"(
#declare WindowHole = union {
  box { <-%.4f, %.4f, -1>, <%.4f, %.4f, 2> }
  cylinder { <0, %.4f, -1>, <0, %.4f, 2>, %.4f }
}
#declare Holes = union { object { Holes } object { WindowHole translate <0, 0, %.4f> )", w, bottom, w, spring, spring, spring,
                              w, radius) +
                       Turned(f) + " } }\n";
    text += Format(R"(
union {
  // The glazing bars: a mullion, three transoms and the round head's rim.
  box { <-0.025, %.4f, -0.03>, <0.025, %.4f, 0.03> }
  #for (I, 1, 3)
    box { <-%.4f, %.4f + I * %.4f, -0.03>, <%.4f, %.4f + I * %.4f + 0.05, 0.03> }
  #end
  torus { %.4f, 0.03 rotate <90, 0, 0> clipped_by { plane { -y, 0 } } translate <0, %.4f, 0> }
  texture { DarkIron }
  translate <0, 0, %.4f>
)", bottom, top, w, bottom, (spring - bottom) / 4.0, w, bottom, (spring - bottom) / 4.0, w - 0.02, spring, radius + 0.25) +
            Turned(f) + "\n}\n";
    text += Format("box { <-%.4f, %.4f, %.4f>, <%.4f, %.4f, %.4f> texture { Stone }", w + 0.1, bottom - 0.08,
                   radius - 0.12, w + 0.1, bottom + 0.01, radius + 0.4) +
            Turned(f) + " }\n";
    return text;
}

// A high-backed settle of dark boards against the wall, a folded blanket on it.
std::string Bench(const FixtureAt& f, double radius)
{
    const double d = radius - 0.45;
    const WallFace p = FaceOnWall(f, d);
    const double w = p.right * 0.95;
    return Format(R"(
union {
  union {
    box { <-%.4f, 0.42, -0.25>, <%.4f, 0.48, 0.2> }
    box { <-%.4f, 0.0, -0.2>, <%.4f, 0.42, -0.16> }
    box { <-%.4f, 0.0, 0.2>, <%.4f, %.4f, 0.27> }
    box { <-%.4f, 0.0, -0.25>, <-%.4f, 0.75, 0.27> }
    box { <%.4f, 0.0, -0.25>, <%.4f, 0.75, 0.27> }
    texture { Wood scale 3 }
  }
  box { <-0.5, 0.48, -0.2>, <0.3, 0.58, 0.15> texture { Cloth pigment { rgb <0.35, 0.12, 0.1> } } translate <%.4f, 0, 0> }
  translate <0, 0, %.4f>
)", w, w, w, w, w, w, p.top, w, w - 0.06, w - 0.06, w, -w * 0.4, d) +
           Turned(f) + "\n}\n";
}

// The builders' star chart: a dark blue enamel plate in a brass frame with stars on it.
std::string StarChart(const FixtureAt& f, double radius)
{
    const WallFace p = FaceOnWall(f, radius - 0.15);
    const double w = p.right - p.left, h = p.top - p.bottom;
    std::string text = "union {\n" + FramedBoard(p, "texture { Brass }",
                                                 "texture { pigment { rgb <0.05, 0.07, 0.16> } finish { diffuse 0.5 specular 0.4 roughness 0.02 } }");
    // The four figures as the chart draws them, side by side, each star where its pane is.
    for (int figure = 0; figure < 4; ++figure)
        for (int cell = 0; cell < 9; ++cell) {
            if (!wc::Art().starPatterns[figure][cell]) continue;
            const double x = p.left + w * (0.125 + 0.25 * figure + 0.06 * (cell % 3 - 1));
            const double y = p.bottom + h * (0.55 - 0.16 * (cell / 3 - 1));
            text += Format("  sphere { <%.4f, %.4f, -0.05>, 0.035 texture { pigment { rgb <1, 0.95, 0.8> } finish { ambient 0 diffuse 0.2 emission 0.9 } } }\n", x, y);
        }
    text += Format("  translate <0, 0, %.4f>", p.z) + Turned(f) + "\n}\n";
    return text;
}

// A star panel on the wall: a dark iron panel under a brass name board, nine dark star lamps.
std::string StarPanel(const FixtureAt& f, double radius)
{
    const WallFace p = FaceOnWall(f, radius - 0.15);
    const double w = p.right - p.left, h = p.top - p.bottom;
    std::string text = Format(R"(
union {
  box { <%.4f, %.4f, -0.02>, <%.4f, %.4f, 0.2> texture { Brass } }
  box { <%.4f, %.4f, -0.05>, <%.4f, %.4f, 0.2> texture { DarkIron } }
  box { <%.4f, %.4f, -0.06>, <%.4f, %.4f, 0.2> texture { Wood } }
)", p.left + w * 0.04, p.bottom, p.right - w * 0.04, p.top - h * 0.12, p.left + w * 0.07, p.bottom + h * 0.04,
                              p.right - w * 0.07, p.top - h * 0.16, p.left + w * 0.3, p.top - h * 0.1, p.right - w * 0.3,
                              p.top);
    const double step = (h * 0.84) / 3.4;
    for (int cell = 0; cell < 9; ++cell) {
        const double x = (cell % 3 - 1) * step, y = p.bottom + h * 0.04 + step * (2.7 - cell / 3);
        text += Format("  object { StarLamp(false) scale %.4f translate <%.4f, %.4f, -0.06> }\n", step * 1.1, x, y);
    }
    text += Format("  translate <0, 0, %.4f>", p.z) + Turned(f) + "\n}\n";
    return text;
}

// The shutter's foot in the drum: two riveted iron leaves closing the slit where it comes
// down the dome into the wall, with a winding wheel on each side.
std::string ShutterLeaves(const FixtureAt& f, double radius)
{
    const WallFace p = FaceOnWall(f, radius - 0.1);
    const double leaf = p.right * 0.5;
    return Format(R"(
#declare ShutterTurn = %.4f;
union {
  box { <-%.4f, %.4f, -0.05>, <-0.01, 3.2, 0.05> }
  box { <0.01, %.4f, -0.05>, <%.4f, 3.2, 0.05> }
  #for (I, 0, 6)
    box { <-%.4f, %.4f + I * 0.42, -0.08>, <%.4f, %.4f + I * 0.42 + 0.06, -0.04> }
  #end
  texture { RustIron }
  translate <0, 0, %.4f>
)", CentreDegrees(f), leaf, p.bottom, p.bottom, leaf, leaf, p.bottom + 0.1, leaf, p.bottom + 0.1, p.z) +
           Turned(f) + "\n}\n" +
           Format(R"(
#for (S, -1, 1, 2)
union {
  torus { 0.5, 0.05 rotate <90, 0, 0> }
  #for (I, 0, 5) cylinder { <0, 0, 0>, <0.5, 0, 0>, 0.03 rotate <0, 0, I * 60> } #end
  cylinder { <0, 0, -0.1>, <0, 0, 0.25>, 0.08 }
  cylinder { <0, 0, 0.25>, <0, -%.4f, 0.25>, 0.04 }
  texture { DarkIron }
  translate <S * %.4f, %.4f, %.4f>
)", 1.1, (p.right + leaf) / 2.0 + 0.1, kEyeHeight + 0.1, p.z - 0.35) +
           Turned(f) + "\n}\n#end\n";
}

// The great telescope: a stone pier, a brass fork mount and a long tube raised towards the
// shutter, its eyepiece end low beside the hotspot's bottom edge.
std::string Telescope(const FixtureAt& f)
{
    const double centre = CentreDegrees(f);
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

const wc::Place& PlaceNumbered(int number)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == number) return place;
    throw Error("the world names no place " + std::to_string(number));
}

// The fixture drawn for a feature of a gallery or dome place, by its look and where it leads.
bool FixtureOf(const wc::Feature& f, Fixture* what)
{
    switch (f.look) {
    case wc::Look::Arch: *what = Fixture::Archway; return true;
    case wc::Look::Stairs: *what = f.target == 700 ? Fixture::StairUp : Fixture::StairDown; return true;
    case wc::Look::Torch: *what = Fixture::LampColumn; return true;
    case wc::Look::Window: *what = f.target == 756 ? Fixture::Shutter : Fixture::SeaWindow; return true;
    case wc::Look::Desk: *what = Fixture::Bench; return true;
    case wc::Look::Machine: *what = Fixture::Telescope; return true;
    case wc::Look::Panel:
        switch (f.target) {
        case 550: *what = Fixture::Plaque; return true;
        case 551: *what = Fixture::RingBoard; return true;
        case 553: *what = Fixture::StairSide; return true;
        case 750: *what = Fixture::StarChart; return true;
        default: *what = Fixture::StarPanel; return true;
        }
    default: return false;
    }
}

std::vector<FixtureAt> FixturesOf(const wc::Place& place)
{
    std::vector<FixtureAt> fixtures;
    for (const wc::Feature& f : place.features) {
        if (f.look == wc::Look::None && f.target < 0) break;
        Fixture what;
        if (FixtureOf(f, &what)) fixtures.push_back({what, f.x1, f.y1, f.x2, f.y2});
    }
    return fixtures;
}

// The fixtures' text for a room of `radius`, holes and all; `lit`: the lamp ring burns.
std::string FixturesText(const std::vector<FixtureAt>& fixtures, double radius, bool lit)
{
    std::string text = R"(
#declare Holes = sphere { <0, -100, 0>, 0.001 }
#declare FloorHoles = sphere { <0, -100, 0>, 0.001 }
)";
    for (const FixtureAt& f : fixtures) {
        switch (f.what) {
        case Fixture::Archway: text += Archway(f, radius); break;
        case Fixture::StairDown: text += StairDown(f, radius); break;
        case Fixture::StairUp: text += StairUp(f, radius, lit); break;
        case Fixture::StairSide: text += StairSide(f, radius); break;
        case Fixture::Plaque: text += Plaque(f, radius); break;
        case Fixture::RingBoard: text += RingBoard(f, radius); break;
        case Fixture::LampColumn: text += LampColumn(f, radius, lit); break;
        case Fixture::SeaWindow: text += SeaWindow(f, radius); break;
        case Fixture::Bench: text += Bench(f, radius); break;
        case Fixture::StarChart: text += StarChart(f, radius); break;
        case Fixture::StarPanel: text += StarPanel(f, radius); break;
        case Fixture::Shutter: text += ShutterLeaves(f, radius); break;
        case Fixture::Telescope: text += Telescope(f); break;
        }
    }
    return text;
}

// Windows in the stretches of wall that no fixture takes, so the sea shows all round.
std::vector<FixtureAt> WindowsBetween(const std::vector<FixtureAt>& fixtures)
{
    std::vector<bool> taken(kPanoramaWidth, false);
    for (const FixtureAt& f : fixtures)
        for (int x = f.x1 - 60; x <= f.x2 + 60; ++x) taken[((x % kPanoramaWidth) + kPanoramaWidth) % kPanoramaWidth] = true;
    std::vector<FixtureAt> windows;
    // Walk round once from a taken column, measuring each free run.
    int start = 0;
    while (start < kPanoramaWidth && !taken[start]) ++start;
    if (start == kPanoramaWidth) return windows;
    for (int i = 1, run = 0; i <= kPanoramaWidth; ++i) {
        const int x = (start + i) % kPanoramaWidth;
        if (!taken[x] && i < kPanoramaWidth) {
            ++run;
            continue;
        }
        if (run >= 110) {
            const int centre = start + i - run / 2;
            windows.push_back({Fixture::SeaWindow, centre - 45, 175, centre + 45, 345});
        }
        run = 0;
    }
    return windows;
}

// The night outside the gallery's windows: sky, a far horizon and the sea far below, and the
// moon's light falling in through the windows.
const char* const kNightOutside = R"(
sky_sphere { pigment { gradient y colour_map { [0 rgb <0.03, 0.045, 0.09>] [0.12 rgb <0.05, 0.07, 0.14>] [0.5 rgb <0.015, 0.02, 0.05>] [1 rgb <0.01, 0.012, 0.03>] } } }
plane { y, -30 texture { Sea } hollow }
light_source { <-400, 260, 500>, rgb <0.55, 0.62, 0.8> * 0.9 parallel point_at <0, 0, 0> }
)";

}  // namespace

std::string GalleryScene(int number, bool lampsLit)
{
    const wc::Place& place = PlaceNumbered(number);
    if (place.realm != wc::Realm::Gallery) throw Error("place " + std::to_string(number) + " is not in the lamp gallery");
    std::vector<FixtureAt> fixtures = FixturesOf(place);
    const std::vector<FixtureAt> windows = WindowsBetween(fixtures);
    fixtures.insert(fixtures.end(), windows.begin(), windows.end());
    std::string scene = PanoramaCamera(0, kEyeHeight, 0);
    scene += render::Materials();
    scene += LampModels();
    scene += kNightOutside;
    scene += FixturesText(fixtures, kGalleryRadius, lampsLit);
    scene += Format(R"(
// The floor: square flags of grey stone.
difference {
  box { <-12, -0.2, -12>, <12, 0, 12> }
  object { FloorHoles }
  texture { pigment { brick rgb <0.2, 0.2, 0.21>, rgb <0.45, 0.44, 0.42> brick_size <0.9, 0.9, 0.9> mortar 0.02 }
            normal { granite 0.1 scale 0.5 } finish { specular 0.1 roughness 0.05 } }
}
// The wall: limewashed stone, thick enough for deep window reveals.
difference {
  cylinder { <0, 0, 0>, <0, %.4f, 0>, %.4f }
  cylinder { <0, -1, 0>, <0, 5, 0>, %.4f }
  object { Holes }
  texture { pigment { granite colour_map { [0 rgb <0.50, 0.48, 0.43>] [0.7 rgb <0.58, 0.56, 0.5>] [1 rgb <0.44, 0.42, 0.38>] } scale 0.8 }
            normal { bumps 0.2 scale 0.15 } }
}
torus { %.4f, 0.05 translate <0, 0.35, 0> texture { Wood } }
// The ceiling: the dome's floor of boards on radial beams.
disc { <0, %.4f, 0>, y, %.4f texture { Planks scale 1.2 } }
#for (I, 0, 11)
  box { <-0.1, %.4f, 0>, <0.1, %.4f, %.4f> texture { Wood scale 3 } rotate <0, I * 30 + 15, 0> }
#end
// A cold light through the windows all round, and the glow of the lantern room below.
light_source { <0, 3.0, 0>, rgb <0.42, 0.48, 0.62> * 0.45 shadowless }
)", kGalleryCeiling, kGalleryRadius + 0.5, kGalleryRadius, kGalleryRadius - 0.02, kGalleryCeiling, kGalleryRadius + 1,
                    kGalleryCeiling - 0.2, kGalleryCeiling, kGalleryRadius);
    return scene;
}

std::string DomeScene(int number)
{
    const wc::Place& place = PlaceNumbered(number);
    if (place.realm != wc::Realm::Dome) throw Error("place " + std::to_string(number) + " is not in the dome");
    std::string scene = PanoramaCamera(0, kEyeHeight, 0);
    scene += render::Materials();
    scene += LampModels();
    scene += R"(
background { rgb <0.01, 0.015, 0.04> }
)";
    const std::vector<FixtureAt> fixtures = FixturesOf(place);
    scene += FixturesText(fixtures, kDomeRadius, false);
    // Each spot of the floor sees the drum's lamps and the slit at its own turn.
    const double turn = (number - 700) * 13.0;
    scene += Format("#ifndef (TelescopeTurn) #declare TelescopeTurn = %.4f; #end\n", turn);
    scene += R"(
// The floor: dark stained boards round a stone centre.
difference { disc { <0, 0, 0>, y, 12 } object { FloorHoles } texture { Planks pigment { gradient x colour_map { [0 rgb 0.02] [0.03 rgb 0.02] [0.04 rgb <0.12, 0.09, 0.07>] [1 rgb <0.10, 0.075, 0.06>] } scale 0.3 } } }  // on under the passages too
cylinder { <0, -0.01, 0>, <0, 0.02, 0>, 1.0 texture { Stone } }
// The drum: smooth plaster painted a cold slate blue, timber rings at its foot and head.
difference {
  cylinder { <0, 0, 0>, <0, 3.2, 0>, 6.4 }
  cylinder { <0, -1, 0>, <0, 4, 0>, 6.0 }
  object { Holes }
  texture { pigment { granite colour_map { [0 rgb <0.11, 0.13, 0.19>] [0.6 rgb <0.14, 0.16, 0.23>] [1 rgb <0.10, 0.11, 0.16>] } scale 1.2 }
            normal { bumps 0.08 scale 0.2 } finish { diffuse 0.75 specular 0.08 roughness 0.05 } }
}
torus { 6.0, 0.12 translate <0, 3.2, 0> texture { Wood } }
torus { 6.0, 0.06 translate <0, 1.0, 0> texture { Wood } }
// The dome: a shallow cap springing from the drum's head and sweeping over the room, its
// boards painted as the night sky with gilt stars, on curved ribs that meet at the crown.
#declare DomeCentre = <0, -3.608, 0>;
#declare DomeRadius = 9.208;
#declare DomeShell = difference {
  sphere { DomeCentre, DomeRadius + 0.2 }
  sphere { DomeCentre, DomeRadius }
  plane { y, 3.2 }
}
object { DomeShell
  texture { pigment { bozo turbulence 0.3 colour_map { [0 rgb <0.025, 0.035, 0.09>] [0.5 rgb <0.04, 0.055, 0.13>] [1 rgb <0.03, 0.04, 0.10>] } scale 1.5 } }
  texture { pigment { bozo colour_map { [0 rgbt 1] [0.86 rgbt 1] [0.87 rgb <0.85, 0.68, 0.30>] [1 rgb <1.0, 0.85, 0.45>] } scale 0.06 }
            finish { specular 0.5 roughness 0.02 metallic } }
}
// Ribs: thin slices of a shell just inside the boards, and two rings round the cap.
#declare RibShell = difference { sphere { DomeCentre, DomeRadius } sphere { DomeCentre, DomeRadius - 0.16 } plane { y, 3.2 } }
#declare Rib = intersection { object { RibShell } box { <-0.08, 3.1, -7>, <0.08, 10, 7> } }
union {
  #for (I, 0, 7)
    object { Rib rotate <0, I * 22.5 + 11.25 + TelescopeTurn, 0> }
  #end
  intersection { object { RibShell } box { <-8, 4.3, -8>, <8, 4.42, 8> } }
  intersection { object { RibShell } box { <-8, 5.15, -8>, <8, 5.27, 8> } }
  texture { Wood pigment { rgb <0.30, 0.19, 0.09> } }
}
// The closed shutter: two iron leaves along the slit over the telescope, a line of the
// moonlit sky where they meet.
union {
  intersection {
    difference { sphere { DomeCentre, DomeRadius - 0.005 } sphere { DomeCentre, DomeRadius - 0.06 } plane { y, 3.2 } }
    box { <-0.7, -1, -12>, <0.7, 12, 12> }
    texture { DarkIron }
  }
  intersection {
    difference { sphere { DomeCentre, DomeRadius - 0.06 } sphere { DomeCentre, DomeRadius - 0.07 } plane { y, 3.2 } }
    box { <-0.03, -1, -12>, <0.03, 12, 12> }
    pigment { rgb <0.45, 0.55, 0.85> } finish { ambient 0 diffuse 0 emission 1.2 } no_shadow
  }
  #ifdef (ShutterTurn) rotate <0, ShutterTurn, 0> #else rotate <0, TelescopeTurn + 70, 0> #end
}
// Lamps round the drum, and a cold glow under the dome.
)";
    for (int i = 0; i < 8; ++i) {
        // A lamp hangs between the fixtures, never in front of one.
        const double degrees = std::fmod(i * 45.0 + 22.5 + turn, 360.0);
        const double column = degrees / 360.0 * kPanoramaWidth;
        bool clear = true;
        for (const FixtureAt& f : fixtures)
            for (double c : {column, column + kPanoramaWidth})
                if (c > f.x1 - 25 && c < f.x2 + 25 && f.what != Fixture::Telescope) clear = false;
        if (!clear) continue;
        scene += Format(R"(
union {
  sphere { <0, 0, 0>, 0.13 pigment { rgbf <1, 0.8, 0.5, 0.6> } finish { ambient 0 diffuse 0 emission 1.6 } no_shadow }
  cylinder { <0, 0.13, 0>, <0, 0.3, 0>, 0.05 texture { Brass } }
  cylinder { <0, 0.25, 0>, <0, 0.25, 0.35>, 0.025 texture { Brass } }
  // Its shadows would cost two thirds of the render's time; the lamps hang on the wall, where
  // little stands in their light.
  light_source { <0, 0, -0.25>, rgb <1.0, 0.72, 0.42> * 0.3 fade_distance 2 fade_power 2 shadowless }
  translate <0, 2.45, 5.6> rotate <0, %.4f, 0>
}
)", degrees);
    }
    scene += R"(
// The moon's cold light from high under the crown: the dome is a blue, night-lit room.
light_source { <0.8, 5.2, -0.5>, rgb <0.42, 0.52, 0.85> * 0.75 }
)";
    return scene;
}

std::string LampModels()
{
    // The star lamp's rosette: an eight-pointed star of brass, outline built point by point.
    std::string star = "prism { linear_sweep linear_spline 0, 0.04, 17,\n   ";
    for (int i = 0; i <= 16; ++i) {
        const double a = (i % 16) * kPi / 8.0 + kPi / 2.0, r = i % 2 == 0 ? 0.3 : 0.13;
        star += Format(" <%.4f, %.4f>", r * std::cos(a), r * std::sin(a));
    }
    star += "\n    rotate <-90, 0, 0> texture { Brass } }\n";
    return R"(
// An oil lamp of the ring: a brass font, the burner and a glass chimney; lit, a flame in it.
// The glass and the flame are left out of the light bouncing round the room, so a lamp that
// burns changes nothing but itself and its glow.
#macro OilLamp(Lit)
union {
  cylinder { <0, 0, 0>, <0, 0.012, 0>, 0.055 texture { Brass } }
  sphere { <0, 0, 0>, 1 scale <0.075, 0.05, 0.075> translate <0, 0.055, 0> texture { Brass } }
  cylinder { <0, 0.095, 0>, <0, 0.118, 0>, 0.032 texture { Brass } }
  union {
    sphere { <0, 0.17, 0>, 0.05 }
    cylinder { <0, 0.17, 0>, <0, 0.3, 0>, 0.026 }
    #if (Lit)
      texture { pigment { rgbf <1, 0.82, 0.55, 0.55> } finish { ambient 0 diffuse 0.1 emission 0.9 specular 0.6 roughness 0.01 } }
    #else
      texture { pigment { rgbf <0.5, 0.5, 0.48, 0.7> } finish { ambient 0 diffuse 0.3 specular 0.7 roughness 0.01 } }
    #end
    no_shadow no_radiosity
  }
  #if (Lit)
    sphere { <0, 0, 0>, 1 scale <0.013, 0.036, 0.013> translate <0, 0.16, 0>
      texture { pigment { rgb <1, 0.85, 0.4> } finish { ambient 0 diffuse 0 emission 3 } } no_shadow no_radiosity }
  #else
    cylinder { <0, 0.118, 0>, <0, 0.13, 0>, 0.007 texture { pigment { rgb 0.04 } } }
  #end
}
#end
// A star lamp of the dome's panels: a glass boss in a brass rosette; lit, it shines white.
#macro StarLamp(Lit)
union {
  )" + star + R"(
  sphere { <0, 0, 0>, 0.12 scale <1, 1, 0.7> translate <0, 0, -0.035>
    #if (Lit)
      texture { pigment { rgb <0.92, 0.95, 1> } finish { ambient 0 diffuse 0 emission 1.5 } } no_radiosity
    #else
      texture { pigment { rgb <0.05, 0.07, 0.12> } finish { diffuse 0.4 specular 0.8 roughness 0.008 } }
    #end
  }
}
#end
)";
}

}  // namespace heights

void AddHeights(std::vector<content::Asset>& rendered, const TextCatalogue& texts)
{
    heights::AddGalleryAndDomePanoramas(rendered);
    heights::AddCloseViews(rendered, texts);
}

namespace heights {

void AddGalleryAndDomePanoramas(std::vector<content::Asset>& rendered)
{
    auto request = [](const char* path, std::string scene) {
        return render::RenderRequest{path, std::move(scene), content::kPanoramaWidth, content::kPanoramaHeight, false, true};
    };
    for (const wc::Place& place : wc::Art().places) {
        if (!place.panorama) continue;
        if (place.realm == wc::Realm::Gallery)
            rendered.push_back(render::RenderedPicture(place.image, request(place.image, GalleryScene(place.number, false)), {}, 40.0));
        if (place.realm == wc::Realm::Dome)
            rendered.push_back(render::RenderedPicture(place.image, request(place.image, DomeScene(place.number)), {}, 40.0));
    }
    // The gallery with its lamps burning, cut to the blocks the world shows then.
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        const wc::Place& place = PlaceNumbered(o.screen);
        if (place.realm != wc::Realm::Gallery || o.when != wc::When::LampsLit) continue;
        rendered.push_back(render::RenderedPicture(
            o.image, request(o.image, GalleryScene(place.number, true)),
            {content::PictureFormat::Png, -1, true, {o.x, o.y, o.w, o.h}, {}}, 40.0));
    }
}

}  // namespace heights

}  // namespace world_render
