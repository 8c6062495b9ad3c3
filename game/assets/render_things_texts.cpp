// The views that are read: the letter of appointment on the keeper's desk, the open watch
// with the bells engraved in its lid, the tide post's board, the gallery's brass plaque, the
// dome stair's star chart and the drowned hall's bronze plaque. Each sheet or plate faces the
// camera squarely, so a picture rectangle maps to a rectangle of the scene; the text is set
// with the game's serif face over the render, where the sheet or plate lies, at the sizes the
// painted views used.
#include <cmath>
#include <string>
#include <vector>

#include "content/dmath.h"
#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_things.h"
#include "game/assets/world_texts.h"
#include "game/assets/world_art.h"

namespace world_render {

namespace {

namespace wc = world_content;
using content::Canvas;
using content::Hex;
using content::Rect;
using content::Rgb;
using render::Format;

constexpr double kDegrees = 3.14159265358979 / 180.0;

// The picture of a place the world numbers `screen`.
std::string ImageOf(int screen)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == screen) return place.image;
    throw Error("the world has no place " + std::to_string(screen));
}

// A camera straight in front of the plane z = 0 (the wall, the desk top): picture columns and
// rows map linearly to the plane's x and y, and to any plane parallel to it.
struct FlatFrame {
    double distance;   // from the camera to the plane z = 0
    double halfWidth;  // half the view's width on that plane

    // Scene x and y of a picture column and row on the plane at depth z (towards the camera < 0).
    double X(double column, double z = 0) const { return (column - 512.0) * halfWidth / 512.0 * (distance + z) / distance; }
    double Y(double row, double z = 0) const { return (256.0 - row) * halfWidth / 512.0 * (distance + z) / distance; }
    double Pixels(double size, double z = 0) const { return size / (halfWidth / 512.0 * (distance + z) / distance); }
    std::string Camera() const
    {
        return Format("camera { perspective location <0, 0, %.5f> look_at <0, 0, 0> right x * 2 up y angle %.5f }\n",
                      -distance, 2.0 * std::atan(halfWidth / distance) / kDegrees);
    }
    // The corners of a box over picture rectangle r, from depth `front` back to `back`.
    std::string Corners(Rect r, double front, double back) const
    {
        return Format("<%.5f, %.5f, %.5f>, <%.5f, %.5f, %.5f>", X(r.x, front), Y(r.Bottom(), front), front,
                      X(r.Right(), front), Y(r.y, front), back);
    }
};

const Rgb kInk = Hex(0x2a1a10);

// Heading (centred, bold) and paragraph set in `area`; with a highlight, every stroke gets a
// pale edge below and to the right, as letters cut into metal or wood catch the light.
int SetText(Canvas& c, const content::PageText& page, Rect area, Rgb ink, const Rgb* highlight, int paragraphTop = 0)
{
    const int centre = static_cast<int>(area.CentreX());
    const int top = paragraphTop > 0 ? paragraphTop : area.y + 62;
    if (highlight) {
        c.Text(page.heading, centre + 1, area.y + 1, 30, *highlight, true, false, content::TextAlign::Centre);
        c.Paragraph(page.text, area.x + 1, top + 1, area.w, 22, 1.35f, *highlight);
    }
    c.Text(page.heading, centre, area.y, 30, ink, true, false, content::TextAlign::Centre);
    return c.Paragraph(page.text, area.x, top, area.w, 22, 1.35f, ink);
}

imaging::Image Finished(const imaging::Image& picture, const std::function<void(Canvas&)>& draw)
{
    Canvas c = CanvasOf(picture);
    draw(c);
    return c.ToImage();
}

// ---- the letter of appointment ----

// The sheet lies on the keeper's desk, folded in three and opened out again.
constexpr Rect kLetterSheet{176, 20, 672, 404};
constexpr Rect kLetterText{226, 52, 572, 330};
constexpr FlatFrame kDesk{1.2, 0.5};

ReadView LetterView(const TextCatalogue& texts)
{
    const FlatFrame& f = kDesk;
    std::string scene = render::Materials();
    scene += f.Camera();
    scene += R"(
background { rgb 0 }
plane { z, 0 texture { Wood scale 2.5 rotate z * 90 } }
#declare LetterPaper = texture { pigment { rgb <0.93, 0.90, 0.82> } normal { bumps 0.03 scale 0.004 } finish { diffuse 0.85 } }
)";
    // The sheet, and the two creases where it was folded in three.
    scene += "box { " + f.Corners(kLetterSheet, -0.003, -0.001) + " texture { LetterPaper } }\n";
    for (int fold = 1; fold <= 2; ++fold) {
        const Rect crease{kLetterSheet.x, kLetterSheet.y + fold * kLetterSheet.h / 3, kLetterSheet.w, 2};
        scene += "box { " + f.Corners(crease, -0.0031, -0.0029) + " pigment { rgb <0.80, 0.77, 0.70> } }\n";
    }
    // The broken seal at the foot of the sheet, the envelope under its left edge, the pen and
    // the inkwell at the right.
    scene += Format(R"(
union {
  cylinder { <0, 0, 0>, <0, 0, -0.006>, 0.030 }
  torus { 0.028, 0.004 rotate x * 90 translate z * -0.003 }
  torus { 0.017, 0.002 rotate x * 90 translate z * -0.006 }
  texture { pigment { rgb <0.50, 0.04, 0.03> } finish { diffuse 0.6 specular 0.6 roughness 0.01 } }
  translate <%.5f, %.5f, -0.003>
}
box { <%.5f, %.5f, -0.0012>, <%.5f, %.5f, -0.0002> pigment { rgb <0.80, 0.72, 0.56> } rotate z * -6 }
cylinder { <0.40, -0.20, -0.012>, <0.50, 0.12, -0.012>, 0.006 pigment { rgb <0.08, 0.07, 0.06> } finish { specular 0.5 roughness 0.02 } }
cylinder { <0.43, 0.16, 0>, <0.43, 0.16, -0.06>, 0.045 texture { Glass } interior { GlassInterior } }
cylinder { <0.43, 0.16, -0.002>, <0.43, 0.16, -0.04>, 0.040 pigment { rgb <0.02, 0.02, 0.05> } }
light_source { <-0.5, 0.7, -1.2>, rgb <1.0, 0.88, 0.70> * 1.15
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0.2, 0>, 3, 3 adaptive 1 circular orient #end }
light_source { <0.8, -0.4, -1.0>, rgb <0.5, 0.55, 0.7> * 0.35 shadowless }
)",
                    f.X(kLetterSheet.Right() - 70, -0.003), f.Y(kLetterSheet.Bottom() - 46, -0.003), f.X(40), f.Y(470), f.X(210),
                    f.Y(120));
    const content::PageText letter = content::AppointmentLetter(texts);
    return {wc::Art().items[1].closeUp, scene,
            [letter](imaging::Image picture) {
                return Finished(picture, [&letter](Canvas& c) { SetText(c, letter, kLetterText, kInk, nullptr, 112); });
            },
            kLetterText};
}

// ---- the keeper's watch ----

// The watch lies open on the desk's baize, its lid turned right back on the hinge: the lid's
// inside, with the engraving, at the left; the dial at the right, the crown at twelve.
constexpr FlatFrame kBaize{1.2, 0.5};
constexpr double kLidColumn = 300, kLidRow = 220, kLidRadius = 212;
constexpr double kCaseColumn = 728, kCaseRow = 236, kCaseRadius = 196;
constexpr double kLidFace = -0.010;  // the lid's inside, towards the camera

ReadView WatchView(const TextCatalogue& texts)
{
    const FlatFrame& f = kBaize;
    std::string scene = render::Materials();
    scene += f.Camera();
    const double lidR = f.X(512 + kLidRadius, kLidFace) - f.X(512, kLidFace);
    const double caseR = f.X(512 + kCaseRadius, -0.02) - f.X(512, -0.02);
    scene += Format(R"(
background { rgb 0 }
plane { z, 0 texture { Cloth pigment { rgb <0.10, 0.22, 0.14> } normal { quilted 0.35 control0 0.5 control1 0.5 scale 0.006 } } }
#declare Gold = texture { pigment { rgb <0.86, 0.66, 0.28> }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.55 specular 0.6 roughness 0.02 metallic reflection { 0.18 metallic } } }
#declare LidInside = texture { pigment { rgb <0.88, 0.72, 0.40> } normal { bumps 0.02 scale 0.01 }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.7 specular 0.4 roughness 0.04 metallic reflection { 0.06 metallic } } }
// The lid: a shallow gold dish lying on its back, its polished inside towards us.
union {
  cylinder { <0, 0, 0>, <0, 0, %.5f>, %.5f texture { LidInside } }
  torus { %.5f, 0.010 rotate x * 90 translate z * %.5f texture { Gold } }
  translate <%.5f, %.5f, 0>
}
// The case: its back on the cloth, the rim, the white dial, the hands, the crown and bow.
union {
  cylinder { <0, 0, 0>, <0, 0, -0.020>, %.5f texture { Gold } }
  torus { %.5f, 0.016 rotate x * 90 translate z * -0.018 texture { Gold } }
  cylinder { <0, 0, -0.019>, <0, 0, -0.024>, %.5f pigment { rgb <0.95, 0.93, 0.87> } finish { specular 0.3 roughness 0.01 } }
  #for (Hour, 0, 11, 1)
    box { <-0.004, %.5f, -0.0245>, <0.004, %.5f, -0.025> rotate z * (Hour * 30) pigment { rgb 0.04 } }
  #end
  #for (Minute, 0, 59, 1)
    box { <-0.0012, %.5f, -0.0245>, <0.0012, %.5f, -0.025> rotate z * (Minute * 6) pigment { rgb 0.10 } }
  #end
  box { <-0.005, -0.01, -0.026>, <0.005, %.5f, -0.027> rotate z * 62 pigment { rgb 0.03 } }
  box { <-0.0035, -0.012, -0.027>, <0.0035, %.5f, -0.028> rotate z * -155 pigment { rgb 0.03 } }
  cylinder { <0, 0, -0.024>, <0, 0, -0.03>, 0.008 texture { Gold } }
  torus { %.5f, 0.0015 rotate x * 90 translate <0, %.5f, -0.0245> pigment { rgb 0.25 } }
  cylinder { <0, %.5f, -0.010>, <0, %.5f, -0.010>, 0.018 texture { Gold } }
  cylinder { <0, %.5f, -0.010>, <0, %.5f, -0.010>, 0.026 texture { Gold } }
  torus { 0.040, 0.007 rotate x * 90 translate <0, %.5f, -0.008> texture { Gold } }
  translate <%.5f, %.5f, 0>
}
// The hinge between them.
cylinder { <%.5f, %.5f, -0.012>, <%.5f, %.5f, -0.012>, 0.012 texture { Gold } }
light_source { <-0.6, 0.8, -1.2>, rgb <1.0, 0.90, 0.74> * 1.1
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0.2, 0>, 3, 3 adaptive 1 circular orient #end }
light_source { <0.9, -0.3, -1.0>, rgb <0.5, 0.55, 0.7> * 0.4 shadowless }
)",
                    kLidFace, lidR, lidR, kLidFace, f.X(kLidColumn, kLidFace), f.Y(kLidRow, kLidFace),
                    // the case
                    caseR, caseR, caseR * 0.9, caseR * 0.74, caseR * 0.86, caseR * 0.80, caseR * 0.86, caseR * 0.5,
                    caseR * 0.78, caseR * 0.16, -caseR * 0.45, caseR * 1.0, caseR * 1.12, caseR * 1.1, caseR * 1.2,
                    caseR * 1.28, f.X(kCaseColumn, -0.02), f.Y(kCaseRow, -0.02),
                    // the hinge
                    f.X((kLidColumn + kLidRadius + kCaseColumn - kCaseRadius) / 2), f.Y(kLidRow - 40),
                    f.X((kLidColumn + kLidRadius + kCaseColumn - kCaseRadius) / 2), f.Y(kLidRow + 40));
    const Rect field{static_cast<int>(kLidColumn - kLidRadius), static_cast<int>(kLidRow - kLidRadius),
                     static_cast<int>(2 * kLidRadius), static_cast<int>(2 * kLidRadius)};
    const content::PageText dedication = content::WatchDedication(texts);
    return {wc::Art().items[6].closeUp, scene,
            [dedication](imaging::Image picture) {
                return Finished(picture, [&dedication](Canvas& c) {
                    // Engraved: dark cuts, each with a bright edge where the burnished metal
                    // catches the light.
                    const Rgb cut = Hex(0x2a1806), edge = Hex(0xfff0c0);
                    const content::PageText& d = dedication;
                    const int x = static_cast<int>(kLidColumn), y = static_cast<int>(kLidRow);
                    // Two lines; a translation given as one line leaves the second empty.
                    const std::size_t split = d.text.find('\n');
                    const std::string first = d.text.substr(0, split);
                    const std::string second = split == std::string::npos ? std::string() : d.text.substr(split + 1);
                    for (const auto& [colour, shift] : {std::pair<Rgb, int>{edge, 1}, std::pair<Rgb, int>{cut, 0}}) {
                        c.Text(d.heading, x + shift, y - 180 + shift, 30, colour, true, false, content::TextAlign::Centre);
                        c.Text(first, x + shift, y - 136 + shift, 21, colour, false, true, content::TextAlign::Centre);
                        c.Text(second, x + shift, y - 110 + shift, 21, colour, false, true, content::TextAlign::Centre);
                    }
                    content::DrawWatchBells(c, x - 3.5f * 45 + 1, y - 54 + 1, 45, 0.9f, edge);
                    content::DrawWatchBells(c, x - 3.5f * 45, y - 54, 45, 0.9f, cut);
                });
            },
            field};
}

// ---- the places' plates ----

// The tide post on the flats: a weathered board nailed across a tarred post, the tide marks
// cut in the post below it; the sand and the sea behind, under a grey sky.
constexpr FlatFrame kShoreFrame{1.0, 0.62};
constexpr Rect kPostBoard{188, 62, 648, 268};

std::string TidePostScene()
{
    const FlatFrame& f = kShoreFrame;
    std::string scene = render::Materials();
    scene += f.Camera();
    scene += Format(R"(
sky_sphere { pigment { gradient y colour_map { [0 rgb <0.62, 0.64, 0.66>] [0.3 rgb <0.45, 0.52, 0.62>] [1 rgb <0.25, 0.33, 0.48>] } } }
plane { y, -1.6 texture { Sand scale 4 } }
plane { y, -1.58 texture { Sea } clipped_by { plane { -z, -14 } } }
// Rocks out on the flats.
#declare R = seed(150);
#for (RockIndex, 0, 14, 1)
  sphere { 0, 1 scale <0.2 + 0.4 * rand(R), 0.12 + 0.15 * rand(R), 0.2 + 0.4 * rand(R)> translate <-12 + 24 * rand(R), -1.6, 7 + 7 * rand(R)> texture { Rock } }
#end
#declare Weathered = texture {
  pigment { wood turbulence 0.08 colour_map { [0 rgb <0.56, 0.53, 0.47>] [0.6 rgb <0.66, 0.63, 0.56>] [1 rgb <0.50, 0.47, 0.42>] } scale 0.06 rotate y * 90 }
  normal { wood 0.3 scale 0.06 rotate y * 90 }
  finish { diffuse 0.8 }
}
// The post, and the marks cut across it below the board, the last almost worn away.
difference {
  box { <%.5f, -3, 0.005>, <%.5f, %.5f, 0.12> }
  #for (Mark, 0, 3, 1)
    box { <-2, %.5f - Mark * 0.045, -0.01>, <2, %.5f - Mark * 0.045 + (Mark = 3 ? 0.004 : 0.008), 0.02> }
  #end
  texture { Weathered rotate z * 90 scale 1.5 } texture { pigment { rgbt <0.05, 0.04, 0.03, 0.45> } }
}
#for (Nail, 0, 3, 1)
  cylinder { <0, 0, 0>, <0, 0, -0.006>, 0.008 translate <%.5f + mod(Nail, 2) * %.5f, %.5f + div(Nail, 2) * %.5f, -0.012> texture { DarkIron } }
#end
light_source { <-6, 8, -10>, rgb <0.95, 0.92, 0.86> * 1.1 }
light_source { <6, 3, -8>, rgb <0.45, 0.50, 0.60> * 0.4 shadowless }
)",
                    f.X(440), f.X(584), f.Y(kPostBoard.y - 24), f.Y(kPostBoard.Bottom() + 40), f.Y(kPostBoard.Bottom() + 40),
                    f.X(470), f.X(554) - f.X(470), f.Y(kPostBoard.Bottom() - 30), f.Y(kPostBoard.y + 30) - f.Y(kPostBoard.Bottom() - 30));
    // The board: two planks one above the other, nailed to the post.
    const int half = kPostBoard.h / 2;
    scene += "box { " + f.Corners({kPostBoard.x, kPostBoard.y, kPostBoard.w, half}, -0.03, 0.0) + " texture { Weathered } }\n";
    scene += "box { " + f.Corners({kPostBoard.x, kPostBoard.y + half, kPostBoard.w, kPostBoard.h - half}, -0.03, 0.0) +
             " texture { Weathered translate x * 0.3 } }\n";
    return scene;
}

// A plate on a wall, its face at depth `face`: its material, and what stands round it.
struct PlateLook {
    std::string textures;  // the scene's own #declared textures
    const char* wall;      // the wall's texture
    const char* plate;     // the plate's texture
    const char* extra;     // more of the scene (lights, fittings), in scene text
};

std::string PlateScene(const FlatFrame& f, Rect plate, const PlateLook& look, double face)
{
    std::string scene = render::Materials();
    scene += look.textures;
    scene += f.Camera();
    scene += "background { rgb 0 }\n";
    scene += std::string("plane { z, 0 texture { ") + look.wall + " } }\n";
    // The plate, its raised rim, and a bolt head in each corner.
    const int rim = 12;
    const std::string plateTexture = std::string(" texture { ") + look.plate + " }";
    scene += "box { " + f.Corners(plate, face, 0.0) + plateTexture + " }\n";
    const Rect edges[4] = {{plate.x, plate.y, plate.w, rim}, {plate.x, plate.Bottom() - rim, plate.w, rim},
                           {plate.x, plate.y, rim, plate.h}, {plate.Right() - rim, plate.y, rim, plate.h}};
    for (const Rect& e : edges) scene += "box { " + f.Corners(e, face - 0.006, face) + plateTexture + " }\n";
    const double bolt = f.X(512 + 7, face) - f.X(512, face);
    for (int corner = 0; corner < 4; ++corner) {
        const double column = corner % 2 == 0 ? plate.x + 26 : plate.Right() - 26;
        const double row = corner / 2 == 0 ? plate.y + 26 : plate.Bottom() - 26;
        scene += Format("sphere { 0, %.5f scale <1, 1, 0.5> translate <%.5f, %.5f, %.5f>", bolt, f.X(column, face),
                        f.Y(row, face), face) + plateTexture + " }\n";
    }
    scene += look.extra;
    return scene;
}

constexpr FlatFrame kWallFrame{1.2, 0.6};
constexpr Rect kGalleryPlate{252, 50, 520, 370};
constexpr Rect kDrownedPlate{252, 44, 520, 384};
constexpr Rect kDomePlate{132, 14, 760, 418};
constexpr Rect kDomeChart{162, 192, 700, 228};

const char* const kPlateBrass = R"(
#declare CastBrass = texture { pigment { granite colour_map { [0 rgb <0.74, 0.58, 0.30>] [1 rgb <0.66, 0.50, 0.25>] } scale 0.05 }
  normal { granite 0.05 scale 0.01 }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.75 specular 0.5 roughness 0.03 metallic reflection { 0.05 metallic } } }
)";

ReadView PlateView(int screen, const TextCatalogue& texts)
{
    const FlatFrame& f = kWallFrame;
    const double face = -0.02;
    const Rgb brassEdge = Hex(0xf4dca0);
    switch (screen) {
    case 550: {
        // The gallery: dressed stone, a lamp on its bracket beside the plaque.
        const std::string scene =
            PlateScene(f, kGalleryPlate, {kPlateBrass, "Blocks scale 0.4", "CastBrass", R"(
union {
  sphere { <0, 0, 0>, 0.05 pigment { rgbf <1, 0.8, 0.5, 0.6> } finish { ambient 0 diffuse 0 emission 1.6 } no_shadow }
  cylinder { <0, 0.05, 0>, <0, 0.12, 0>, 0.018 texture { Brass } }
  cylinder { <0, 0.10, 0>, <0, 0.10, 0.15>, 0.01 texture { Brass } }
  light_source { <0, 0, -0.06>, rgb <1.0, 0.72, 0.42> * 0.8 fade_distance 0.4 fade_power 2 }
  translate <-0.40, 0.05, -0.15>
}
light_source { <-0.5, 0.9, -1.4>, rgb <1.0, 0.86, 0.66> * 1.0 }
light_source { <0.9, -0.2, -1.2>, rgb <0.45, 0.48, 0.6> * 0.3 shadowless }
)"}, face);
        const Rect text{kGalleryPlate.x + 40, kGalleryPlate.y + 44, kGalleryPlate.w - 80, kGalleryPlate.h - 80};
        const content::PageText page = *content::TextOf(550, texts);
        return {ImageOf(550), scene, [page, text, brassEdge](imaging::Image picture) {
                    return Finished(picture, [&](Canvas& c) { SetText(c, page, text, kInk, &brassEdge); });
                }, text};
    }
    case 1150: {
        // The drowned hall: a bronze plaque gone green, barnacles crusted round its edge, the
        // wall wet and dark below the line the sea leaves.
        // Barnacles, crusted along the plate's rim and clear of the text: placed on a frame
        // of 0.68 x 0.54 round the plate's centre, then stretched to the plate.
        const std::string barnacles = R"(
#declare B = seed(1150);
#for (Shell, 0, 90, 1)
  #local Side = floor(rand(B) * 4);
  #local T = rand(B);
  #local At = (Side = 0 ? <-0.34 + 0.68 * T, 0.26, 0> : (Side = 1 ? <-0.34 + 0.68 * T, -0.27, 0> :
              (Side = 2 ? <-0.33, -0.27 + 0.53 * T, 0> : <0.33, -0.27 + 0.53 * T, 0>)));
  #local S = 0.006 + 0.012 * rand(B);
  cone { <0, 0, 0>, S, <0, 0, -S * 1.2>, S * 0.45
         texture { pigment { rgb <0.70, 0.68, 0.60> } normal { bumps 0.6 scale 0.003 } }
         translate At + <0.02 * (rand(B) - 0.5), 0.02 * (rand(B) - 0.5), 0> }
#end
)";
        const double sx = (f.X(kDrownedPlate.Right(), face) - f.X(kDrownedPlate.x, face)) / 0.68;
        const double sy = (f.Y(kDrownedPlate.y, face) - f.Y(kDrownedPlate.Bottom(), face)) / 0.54;
        const std::string extra = "union {\n" + barnacles +
                                  Format(" scale <%.5f, %.5f, 1> translate <%.5f, %.5f, %.5f> }\n", sx, sy,
                                         f.X(kDrownedPlate.CentreX(), face), f.Y(kDrownedPlate.CentreY(), face), face) + R"(
light_source { <-0.4, 1.2, -1.2>, rgb <0.65, 0.85, 0.80> * 0.9 }
light_source { <0.7, -0.2, -1.0>, rgb <1.0, 0.78, 0.52> * 0.45 shadowless }
)";
        const std::string textures = R"(
#declare Verdigris = texture { pigment { granite turbulence 0.3 colour_map { [0 rgb <0.50, 0.62, 0.52>] [0.6 rgb <0.58, 0.66, 0.56>] [1 rgb <0.44, 0.40, 0.26>] } scale 0.08 }
  normal { granite 0.15 scale 0.02 } finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.8 specular 0.15 roughness 0.05 } }
#declare WetWall = texture { Blocks scale 0.35 } texture { pigment { gradient y colour_map { [0 rgbt <0.02, 0.08, 0.07, 0.3>] [0.5 rgbt <0.02, 0.08, 0.07, 0.3>] [0.52 rgbt <0, 0, 0, 1>] [1 rgbt <0, 0, 0, 1>] } scale 1.2 translate y * -0.9 } finish { specular 0.5 roughness 0.01 } }
)";
        const std::string scene = PlateScene(f, kDrownedPlate, {textures, "WetWall", "Verdigris", extra.c_str()}, face);
        const Rect text{kDrownedPlate.x + 44, kDrownedPlate.y + 56, kDrownedPlate.w - 88, kDrownedPlate.h - 100};
        const content::PageText page = *content::TextOf(1150, texts);
        const Rgb edge = Hex(0xd8e8d0);
        return {ImageOf(1150), scene, [page, text, edge](imaging::Image picture) {
                    return Finished(picture, [&](Canvas& c) { SetText(c, page, text, Hex(0x14100a), &edge); });
                }, text};
    }
    case 750: {
        // The dome stair: a brass plate on the plastered wall, the sky's figures on a panel of
        // night-blue enamel let into it.
        const std::string extra = "box { " + f.Corners(kDomeChart, face - 0.002, face + 0.001) + R"( texture { pigment { rgb <0.05, 0.07, 0.18> } finish { diffuse 0.6 specular 0.7 roughness 0.005 reflection 0.04 } } }
light_source { <-0.4, 0.9, -1.5>, rgb <0.95, 0.92, 0.88> * 1.05 }
light_source { <0.9, -0.1, -1.2>, rgb <0.55, 0.60, 0.80> * 0.35 shadowless }
)";
        const std::string scene =
            PlateScene(f, kDomePlate, {kPlateBrass, "pigment { granite colour_map { [0 rgb <0.30, 0.32, 0.42>] [1 rgb <0.36, 0.38, 0.48>] } scale 0.4 } normal { bumps 0.2 scale 0.05 }",
                                       "CastBrass", extra.c_str()}, face);
        const Rect text{kDomePlate.x + 50, kDomePlate.y + 22, kDomePlate.w - 100, 160};
        const content::PageText page = content::StarPlaque(texts);
        const content::FigureNames names = content::FigureNamesOf(texts);
        return {ImageOf(750), scene, [page, names, text, brassEdge](imaging::Image picture) {
                    return Finished(picture, [&](Canvas& c) {
                        SetText(c, page, text, kInk, &brassEdge, text.y + 54);
                        content::DrawStarFigures(c, kDomeChart.x + (kDomeChart.w - 642) / 2.0f, kDomeChart.y + 8.0f, 1.0f,
                                                 names);
                    });
                }, {text.x, text.y, text.w, kDomeChart.Bottom() - text.y}};
    }
    default: break;
    }
    throw Error("screen " + std::to_string(screen) + " shows no plate to read");
}

// ---- the books ----

// An open book on the desk seen from straight above: its cover round the two pages, the pages
// dipping into the gutter at the spine, paper foxed with age.
struct BookLook {
    const char* cover;  // the cover's texture
    const char* book;   // the book's name in the world files, which list its pages
};
const BookLook kBooks[3] = {
    {"pigment { granite colour_map { [0 rgb <0.30, 0.13, 0.06>] [1 rgb <0.20, 0.08, 0.04>] } scale 0.05 } normal { granite 0.3 scale 0.01 } "
     "finish { diffuse 0.7 specular 0.25 roughness 0.03 }",
     "logbook"},
    {"pigment { rgb <0.12, 0.16, 0.26> } normal { quilted 0.4 control0 0.5 control1 0.5 scale 0.004 } finish { diffuse 0.8 }",
     "letters"},
    {"pigment { rgb <0.12, 0.22, 0.14> } normal { quilted 0.4 control0 0.5 control1 0.5 scale 0.004 } finish { diffuse 0.8 }",
     "register"},
};
constexpr Rect kPaper{28, 18, 968, 476};
constexpr Rect kPageText{36, 40, 952, 450};  // both pages' text, numbers and turning marks

std::string OpenBookScene(const BookLook& look, int book)
{
    const FlatFrame& f = kDesk;
    std::string scene = render::Materials();
    scene += f.Camera();
    const double page = -0.026;  // the pages' face
    const double gutter = f.X(540, page) - f.X(512, page);  // half the gutter's width
    scene += "background { rgb 0 }\nplane { z, 0 texture { Wood scale 2.5 rotate z * 90 } }\n";
    scene += "box { " + f.Corners({8, 4, 1008, 504}, -0.012, 0.0) + " texture { " + look.cover + " } }\n";
    scene += Format(R"(
#declare Foxed = texture {
  pigment { bozo turbulence 0.6 colour_map { [0 rgb <0.93, 0.88, 0.75>] [0.62 rgb <0.91, 0.85, 0.71>] [0.8 rgb <0.84, 0.75, 0.57>] [1 rgb <0.78, 0.66, 0.46>] }
            scale 0.06 translate <%.1f, %.1f, 0> }
  normal { bumps 0.04 scale 0.003 }
  finish { diffuse 0.85 }
}
difference {
  box { <%.5f, %.5f, %.5f>, <%.5f, %.5f, -0.012> }
  // The gutter: the pages curve down into the spine.
  cylinder { <0, -1, 0>, <0, 1, 0>, 1 scale <%.5f, 1, 0.012> translate <%.5f, 0, %.5f> }
  texture { Foxed }
}
light_source { <-0.5, 0.7, -1.2>, rgb <1.0, 0.90, 0.74> * 1.1
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0.2, 0>, 3, 3 adaptive 1 circular orient #end }
light_source { <0.8, -0.4, -1.0>, rgb <0.5, 0.55, 0.7> * 0.35 shadowless }
)",
                    book * 3.1, book * 1.7, f.X(kPaper.x, page), f.Y(kPaper.Bottom(), page), page, f.X(kPaper.Right(), page),
                    f.Y(kPaper.y, page), gutter, f.X(512, page), page - 0.012 + 0.010);
    return scene;
}

}  // namespace

ReadView BookPageView(int book, int index, const TextCatalogue& texts)
{
    if (book < 0 || book > 2) throw Error("there is no book " + std::to_string(book));
    const BookLook& look = kBooks[book];
    const std::vector<const char*>& paths = wc::Art().BookPages(look.book);
    const std::vector<content::BookPage> pages = content::PagesOf(static_cast<content::Book>(book), texts);
    if (index < 0 || static_cast<std::size_t>(index) >= pages.size() || pages.size() != paths.size())
        throw Error("book " + std::to_string(book) + " has no page " + std::to_string(index + 1));
    const content::BookPage page = pages[static_cast<std::size_t>(index)];
    return {paths[static_cast<std::size_t>(index)], OpenBookScene(look, book),
            [page](imaging::Image picture) {
                return Finished(picture, [&page](Canvas& c) { content::SetBookPage(c, page); });
            },
            kPageText};
}

ReadView ItemReadView(int item, const TextCatalogue& texts)
{
    switch (item) {
    case 2: return LetterView(texts);
    case 7: return WatchView(texts);
    default: throw Error("item " + std::to_string(item) + " is not read");
    }
}

ReadView PlaceReadView(int screen, const TextCatalogue& texts)
{
    if (screen != 150) return PlateView(screen, texts);
    const Rect text{kPostBoard.x + 40, kPostBoard.y + 20, kPostBoard.w - 80, kPostBoard.h - 30};
    const content::PageText page = *content::TextOf(150, texts);
    const Rgb paint = Hex(0x1c140e);
    return {ImageOf(150), TidePostScene(), [page, text, paint](imaging::Image picture) {
                return Finished(picture, [&](Canvas& c) { SetText(c, page, text, paint, nullptr, text.y + 52); });
            }, text};
}

void AddReadViews(std::vector<content::Asset>& rendered, const TextCatalogue& texts)
{
    std::vector<ReadView> views{ItemReadView(2, texts), ItemReadView(7, texts)};
    for (const int screen : {150, 550, 750, 1150}) views.push_back(PlaceReadView(screen, texts));
    for (ReadView& v : views) {
        render::PictureOut out;
        out.finish = std::move(v.finish);
        rendered.push_back(render::RenderedPicture(
            v.path, {v.path, v.scene, content::kFlatWidth, content::kFlatHeight, false, false}, out, 10.0));
        rendered.back().carriesText = true;
    }
    // A book's pages share its scene (one render, then the cache) and its scramble offset.
    for (int book = 0; book < 3; ++book) {
        const std::vector<const char*>& paths = wc::Art().BookPages(kBooks[book].book);
        for (std::size_t i = 0; i < paths.size(); ++i) {
            ReadView v = BookPageView(book, static_cast<int>(i), texts);
            render::PictureOut out;
            out.offset = wc::BookOffset(paths.data());
            out.finish = std::move(v.finish);
            rendered.push_back(render::RenderedPicture(
                v.path, {v.path, v.scene, content::kFlatWidth, content::kFlatHeight, false, false}, out, 1.5));
            rendered.back().carriesText = true;
        }
    }
}

}  // namespace world_render
