// The close views of the observatory's ground floor and tower, and the cabinet's bell-wheel
// strip. Each view's camera keeps its picture plane parallel to the wall behind the subject,
// so a picture pixel lies at a known place on the plane z = 0 and the subject fills the
// rectangle the world's hotspot gives it.
#include <algorithm>
#include <cmath>
#include <string>

#include "core/error.h"
#include "game/assets/render_halls_models.h"
#include "game/assets/world_art.h"
#include "render/kit.h"

namespace world_render::halls {

namespace {

namespace wc = world_content;

// A camera at height `eyeY`, `distance` in front of the plane z = 0, whose picture shows
// that plane at `scale` metres per pixel with column 512 at x = 0 and row 256 at `centreY`
// (a shifted view: the picture plane stays upright however high the eye).
struct FlatFrame {
    double scale, centreY, eyeY, distance;

    double X(double column) const { return (column - 512.0) * scale; }
    double Y(double row) const { return centreY - (row - 256.0) * scale; }
    std::string Camera() const
    {
        const double f = distance / (512.0 * scale);
        return Text("camera { perspective location <0, %.4f, -%.4f> direction <0, %.4f, %.4f> right x * 2 up y }\n", eyeY,
                      distance, (centreY - eyeY) / (512.0 * scale), f);
    }
};

// What every close view shares: the materials, its camera, a wall behind the subject at
// `wallZ` (none when it is not above 0: the view builds its own), the floor, a warm key light from the upper left and a soft fill.
std::string Backdrop(const FlatFrame& frame, const char* wall, const char* floor, double wallZ, double keyPower)
{
    std::string text = frame.Camera();
    text += render::Materials();
    text += HallMaterials();
    text += Text(R"(
background { rgb <0.02, 0.02, 0.03> }
#if (%.4f > 0) plane { -z, -%.4f texture { %s } } #end
box { <-30, -1, -30>, <30, 0, %.4f> texture { %s } }
light_source { <-1.6, 2.6, -2.2>, rgb <1.0, 0.8, 0.56> * %.4f }
light_source { <1.5, 1.5, -3.0>, rgb <0.8, 0.72, 0.62> * 0.22 shadowless }
)", wallZ, wallZ, wall, std::max(wallZ, 0.5) + 0.01, floor, keyPower);
    return text;
}

std::string Lectern250()
{
    const FlatFrame f{0.0034, 0.78, 1.75, 3.0};
    std::string scene = Backdrop(f, "Blocks", "Flags", 1.2, 1.1);
    scene += Lectern(1.36, 1.22);
    scene += R"(
union {
  cylinder { <0, 0, 0>, <0, 1.3, 0>, 0.025 texture { DarkIron } }
  cone { <0, 0, 0>, 0.2, <0, 0.1, 0>, 0.03 texture { DarkIron } }
  cylinder { <0, 1.3, 0>, <0, 1.33, 0>, 0.09 texture { DarkIron } }
  cylinder { <0, 1.33, 0>, <0, 1.45, 0>, 0.04 pigment { rgb <0.86, 0.82, 0.7> } }
  sphere { <0, 0, 0>, 0.03 scale <1, 1.8, 1> translate <0, 1.5, 0> texture { Flame } no_shadow }
  light_source { <0, 1.52, -0.2>, rgb <1, 0.75, 0.45> * 0.5 fade_distance 1.0 fade_power 2 shadowless }
  translate <-1.05, 0, 0.3>
}
)";
    return scene;
}

std::string Desk251(bool logbook)
{
    const FlatFrame f{0.0038, 1.14, 2.4, 2.0};
    std::string scene = Backdrop(f, "Plaster", "Planks", 0.86, 1.0);
    scene += "difference { box { <-5, 0, 0.82>, <5, 1.1, 0.86> } box { <-5, -1, 0>, <5, 2, 0.83> } texture { Panelling } }\n";
    scene += Desk(DeskKind::Keeper, 1.9, 1.35);
    if (logbook) scene += "object { " + Logbook() + " rotate <0, -8, 0> translate <0.0, 0.803, 0.26> }\n";
    return scene;
}

std::string Stove252()
{
    const FlatFrame f{0.0042, 1.05, 1.3, 3.2};
    std::string scene = Backdrop(f, "Plaster", "Planks", 0.75, 0.7);
    scene += "box { <-0.75, 0, -0.45>, <0.75, 0.03, 0.75> texture { Tiles scale 0.35 } }\n";
    scene += "box { <-0.9, 0, 0.7>, <0.9, 2.4, 0.76> texture { Tiles scale 0.35 } }\n";
    scene += "object { " + Stove(0.95, 1.05, 2.05, 0.75, true) + " translate <0, 0.03, -0.05> }\n";
    return scene;
}

std::string WindowSeat253()
{
    const FlatFrame f{0.004, 0.85, 1.45, 3.4};
    std::string scene = Backdrop(f, "Plaster", "Planks", -1, 0.6);
    // The window's deep reveal through the wall, the panes, the night sea under the moon.
    const double w = 0.9, bottom = f.Y(330), top = f.Y(60);
    scene += Text(R"(
#declare Opening = union { box { <-%.4f, %.4f, -1>, <%.4f, %.4f, 2> } cylinder { <0, %.4f, -1>, <0, %.4f, 2>, %.4f } }
difference { box { <-5, -1, 0>, <5, 5, 0.8> } object { Opening } box { <-%.4f, 0, -1>, <%.4f, %.4f, 0.5> } texture { Plaster } }
intersection {
  union {
    #for (I, -2, 2) box { <I * %.4f - 0.012, -5, 0.5>, <I * %.4f + 0.012, 5, 0.53> } #end
    #for (I, 0, 12) box { <-5, %.4f + I * 0.2 - 0.012, 0.5>, <5, %.4f + I * 0.2 + 0.012, 0.53> } #end
  }
  object { Opening }
  texture { DarkIron }
}
box { <-%.4f, %.4f, 0.51>, <%.4f, %.4f, 0.52> texture { Glass } }
plane { y, -6 texture { Sea } }
sphere { <-8, 14, 60>, 2.4 texture { pigment { rgb <1, 0.97, 0.86> } finish { ambient 0 diffuse 0 emission 1.4 } } }
sky_sphere { pigment { gradient y colour_map { [0 rgb <0.10, 0.13, 0.22>] [0.2 rgb <0.04, 0.06, 0.13>] [1 rgb <0.01, 0.02, 0.05>] } } }
light_source { <-8, 14, 60>, rgb <0.6, 0.66, 0.85> * 0.9 }
// The seat in the recess: a chest with a cushion and a folded blanket.
box { <-%.4f, 0, -0.1>, <%.4f, %.4f, 0.5> texture { Wood } }
box { <-%.4f, %.4f, -0.08>, <%.4f, %.4f, 0.48> texture { pigment { rgb <0.42, 0.12, 0.1> } normal { quilted 0.4 scale 0.05 } } }
box { <-0.25, 0, -0.2>, <0.25, 0.08, 0.2> rotate <0, 10, 0> translate <0.3, %.4f, 0.3> texture { pigment { rgb <0.55, 0.48, 0.3> } normal { quilted 0.5 scale 0.04 } } }
)", w / 2, bottom, w / 2, top - w / 2, top - w / 2, top - w / 2, w / 2, w / 2 + 0.35, w / 2 + 0.35, bottom, w / 4,
                    w / 4, bottom, bottom, w / 2, bottom, w / 2, top, w / 2 + 0.34, w / 2 + 0.34, bottom - 0.12, w / 2 + 0.33,
                    bottom - 0.12, w / 2 + 0.33, bottom - 0.03, bottom - 0.03);
    return scene;
}

std::string LampHook254(bool lamp)
{
    const FlatFrame f{0.003, 1.5, 1.55, 3.0};
    std::string scene = Backdrop(f, "Whitewash", "Flags", 0.001, 0.9);
    const double bottom = f.Y(420), top = f.Y(100);
    scene += "object { union { " + LampBoard(0.9, top - bottom, f.Y(185) - 0.05 - bottom, false) +
             Text(" } translate <0, %.4f, 0> }\n", bottom);
    if (lamp) scene += "object { union { " + HandLantern(0.8) + Text(" } translate <0, %.4f, -0.12> }\n", f.Y(185));
    return scene;
}

std::string Oil255()
{
    const FlatFrame f{0.0044, 0.85, 1.5, 4.2};
    std::string scene = Backdrop(f, "Whitewash", "Flags", 1.0, 1.0);
    scene += "object { union { " + OilStore(2.15, 1.08) + " } translate <0, 0, -0.05> }\n";
    scene += "disc { <0.2, 0.002, -0.2>, y, 0.35 pigment { rgbf <0.05, 0.04, 0.02, 0.3> } finish { specular 0.8 roughness 0.005 reflection 0.2 } }\n";
    return scene;
}

std::string Clock256()
{
    const FlatFrame f{0.0032, 1.55, 1.6, 3.0};
    std::string scene = Backdrop(f, "Blocks", "Tiles", 0.001, 0.9);
    scene += "object { " + WallClock(0.78, f.Y(80) - f.Y(410), f.Y(410)) + " }\n";
    return scene;
}

std::string Well257()
{
    const FlatFrame f{0.0026, 0.44, 2.4, 2.2};
    std::string scene = Backdrop(f, "Stone", "Flags", 1.6, 0.7);
    scene += "object { " + Well(0.62, 0.45) + " translate <0, 0, 0.62> }\n";
    scene += "light_source { <0.8, 1.0, 0.9>, rgb <0.5, 0.6, 0.75> * 0.3 fade_distance 1 fade_power 2 shadowless }\n";
    return scene;
}

std::string Instruments258()
{
    const FlatFrame f{0.0038, 1.2, 2.3, 2.2};
    std::string scene = Backdrop(f, "Plaster", "Planks", 0.86, 1.0);
    scene += Desk(DeskKind::Instruments, 1.9, 1.7);
    return scene;
}

// A window through the tower's thick round wall: a splayed embrasure to a narrow slit (or a
// wider glazed window) and the night sea beyond.
std::string TowerWindow(int x1, int y1, int x2, int y2, double outerWidth, bool glazed)
{
    const FlatFrame f{0.003, 1.5, 1.5, 3.0};
    std::string scene = Backdrop(f, "TowerBlocks", "Planks", -1, 0.8);
    const double l = f.X(x1), r = f.X(x2), top = f.Y(y1), bottom = f.Y(y2);
    scene += Text(R"(
difference {
  box { <-6, -1, 0>, <6, 6, 1.2> }
  prism { linear_spline %.4f, %.4f, 5, <%.4f, -0.01>, <%.4f, -0.01>, <%.4f, 1.21>, <%.4f, 1.21>, <%.4f, -0.01> }
  texture { TowerBlocks }
}
plane { y, -30 texture { Sea } }
sphere { <6, 22, 90>, 3 texture { pigment { rgb <1, 0.97, 0.86> } finish { ambient 0 diffuse 0 emission 1.4 } } }
sky_sphere { pigment { gradient y colour_map { [0 rgb <0.10, 0.13, 0.22>] [0.2 rgb <0.04, 0.06, 0.13>] [1 rgb <0.01, 0.02, 0.05>] } } }
light_source { <6, 22, 90>, rgb <0.6, 0.66, 0.85> * 1.0 }
)", bottom, top, l, r, outerWidth / 2, -outerWidth / 2, l);
    if (glazed)
        scene += Text(R"(
intersection {
  union {
    #for (I, -3, 3) box { <I * 0.1 - 0.01, -5, 1.0>, <I * 0.1 + 0.01, 5, 1.02> } #end
    #for (I, 0, 30) box { <-5, I * 0.15 - 0.01, 1.0>, <5, I * 0.15 + 0.01, 1.02> } #end
  }
  box { <-%.4f, %.4f, 0>, <%.4f, %.4f, 2> }
  texture { DarkIron }
}
box { <-%.4f, %.4f, 1.005>, <%.4f, %.4f, 1.01> texture { Glass } }
)", outerWidth / 2 + 0.2, bottom, outerWidth / 2 + 0.2, top, outerWidth / 2 + 0.2, bottom, outerWidth / 2 + 0.2, top);
    return scene;
}

// Where the cabinet's parts lie in its close view, from the world's cells and knob.
struct CabinetLayout {
    FlatFrame frame;
    CabinetShape shape;
    double centreX;
};

CabinetLayout CabinetLayoutOf()
{
    const wc::KeyPanel& panel = wc::Art().KeyPanelOn(451);
    CabinetLayout c{{0.0034, 0.85, 1.2, 3.3}, {}, 0};
    const FlatFrame& f = c.frame;
    c.centreX = f.X(170);
    c.shape.w = f.X(300) - f.X(40);
    c.shape.h = f.Y(40);
    c.shape.wheelRadius = panel.w * 0.46 * f.scale;
    c.shape.pitch = panel.dx * f.scale;
    c.shape.wheelsX = f.X(panel.x + panel.w / 2.0) - c.centreX;
    c.shape.wheelsY = f.Y(panel.y + panel.h / 2.0);
    c.shape.knobX = f.X((wc::Art().cabinetRelease[0] + wc::Art().cabinetRelease[2]) / 2.0) - c.centreX;
    c.shape.knobY = f.Y((wc::Art().cabinetRelease[1] + wc::Art().cabinetRelease[3]) / 2.0);
    c.shape.knobRadius = (wc::Art().cabinetRelease[2] - wc::Art().cabinetRelease[0]) * 0.36 * f.scale;
    c.shape.plateRight = f.X(985) - c.centreX;
    return c;
}

std::string Cabinet451(bool open, bool letters)
{
    const CabinetLayout c = CabinetLayoutOf();
    std::string scene = Backdrop(c.frame, "TowerBlocks", "Planks", 0.5, 1.0);
    scene += "object { union { " + Cabinet(c.shape, open, letters) + Text(" } translate <%.4f, 0, 0.1> }\n", c.centreX);
    return scene;
}

std::string Table452()
{
    const FlatFrame f{0.0034, 0.45, 1.8, 2.4};
    std::string scene = Backdrop(f, "TowerBlocks", "Planks", 1.5, 1.0);
    scene += "object { union { " + Desk(DeskKind::TowerTable, 1.6, 1.3) + " } translate <0, 0, -0.3> }\n";
    return scene;
}

std::string Winch453()
{
    const FlatFrame f{0.0045, 0.78, 1.7, 3.6};
    std::string scene = Backdrop(f, "TowerBlocks", "Planks", 1.2, 1.0);
    scene += "object { union { " + Winch(2.3, 1.5, 3.5) + " } translate <0, 0, -0.1> }\n";
    return scene;
}

std::string Shelf454()
{
    const FlatFrame f{0.0036, 1.15, 1.5, 3.0};
    std::string scene = Backdrop(f, "TowerBlocks", "Planks", 0.42, 0.9);
    scene += "object { union { " + Shelf(1.4, f.Y(100)) + " } }\n";
    return scene;
}

std::string Hatch456(bool open)
{
    const FlatFrame f{0.0034, 1.5, 1.5, 3.0};
    std::string scene = Backdrop(f, "TowerBlocks", "Planks", -1, 0.6);
    const double l = f.X(362), r = f.X(662), top = f.Y(40);
    scene += Text(R"(
difference { box { <-6, -1, 0>, <6, 6, 0.8> } box { <%.4f, -0.5, -1>, <%.4f, %.4f, 2> } texture { TowerBlocks } }
difference { box { <%.4f, -1, 0.01>, <%.4f, %.4f, 4> } box { <%.4f, -2, -1>, <%.4f, %.4f, 5> } texture { TowerBlocks } }
)", l, r, top, l - 0.4, r + 0.4, top + 2.5, l, r, top + 2);
    scene += "union { " + HatchParts(r - l, top - 0.1, open) + " }\n";
    scene += Text("light_source { <0, %.4f, 0.6>, rgb <1.0, 0.76, 0.5> * 0.5 fade_distance 1.0 fade_power 2 shadowless }\n", top - 0.6);
    return scene;
}

}  // namespace

std::string FlatScene(int number, bool changed, bool letters)
{
    switch (number) {
    case 250: return Lectern250();
    case 251: return Desk251(changed);
    case 252: return Stove252();
    case 253: return WindowSeat253();
    case 254: return LampHook254(changed);
    case 255: return Oil255();
    case 256: return Clock256();
    case 257: return Well257();
    case 258: return Instruments258();
    case 450: return TowerWindow(440, 40, 584, 400, 0.14, false);
    case 451: return Cabinet451(changed, letters);
    case 452: return Table452();
    case 453: return Winch453();
    case 454: return Shelf454();
    case 455: return TowerWindow(380, 40, 644, 380, 0.6, true);
    case 456: return Hatch456(changed);
    default: throw Error("no close view of place " + std::to_string(number) + " is rendered with the hall and the tower");
    }
}

content::Asset CabinetWheels()
{
    // The wheels in a row at the cabinet view's scale and light, one slot of the panel's step
    // each; the finish cuts each wheel's cell out of its slot, side by side.
    const wc::KeyPanel& panel = wc::Art().KeyPanelOn(451);
    const wc::GridDef& grid = wc::Art().grids[panel.grid - 1];
    const int values = grid.max + 1;
    const CabinetLayout c = CabinetLayoutOf();
    const double s = c.frame.scale;
    std::string scene = render::Materials();
    scene += HallMaterials();
    scene += Text(R"(
camera { orthographic location <%.4f, 0, -3> look_at <%.4f, 0, 0> right x * %.4f up y * %.4f }
box { <-1, -1, 0.06>, <%.4f, 1, 0.1> texture { Brass } }
light_source { <-1.6, 2.6, -2.2>, rgb <1.0, 0.8, 0.56> * 1.0 }
light_source { <1.5, 1.5, -3.0>, rgb <0.8, 0.72, 0.62> * 0.22 shadowless }
)", values * panel.dx * s / 2, values * panel.dx * s / 2, values * panel.dx * s, panel.h * s, values * panel.dx * s + 1);
    for (int k = 0; k < values; ++k)
        scene += "object { union { " + BellWheel(c.shape.wheelRadius, k) + " }" +
                 Text(" translate <%.4f, 0, 0> }\n", (k * panel.dx + panel.w / 2.0) * s);
    const int w = panel.w, h = panel.h, dx = panel.dx;
    render::PictureOut out;
    out.format = content::PictureFormat::Png;
    out.finish = [w, h, dx, values](imaging::Image slots) {
        imaging::Image strip;
        strip.width = w * values;
        strip.height = h;
        strip.pixels.resize(static_cast<std::size_t>(strip.width) * h * 4);
        for (int k = 0; k < values; ++k)
            for (int y = 0; y < h; ++y)
                std::copy_n(slots.Row(y) + k * dx * 4, w * 4, strip.Row(y) + k * w * 4);
        return strip;
    };
    return render::RenderedPicture(panel.strip, {panel.strip, scene, values * dx, h, false, false}, out, 2.0);
}

}  // namespace world_render::halls
