// The close views of the lamp gallery and the dome, and the code-key strips of their boards.
// The lamp ring's board and the star panels are seen square on through an orthographic
// camera (one unit to 100 pixels, x right, y up from the picture's top edge at 0), so each
// cell of a board looks like every other and the strip frames, cut from the board's own
// renders with every lamp out and every lamp lit, fit over any cell.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "content/canvas.h"
#include "content/output.h"
#include "core/error.h"
#include "render/kit.h"
#include "game/assets/render_heights.h"
#include "game/assets/world_texts.h"

namespace world_render::heights {

namespace {

namespace wc = world_content;
using render::Format;

// Picture pixels as scene units of the square-on close views.
double UnitX(double px) { return px / 100.0; }
double UnitY(double py) { return -py / 100.0; }

const char* const kSquareOnCamera = R"(
camera { orthographic location <5.12, -2.56, -10> look_at <5.12, -2.56, 0> right x * 10.24 up y * 5.12 }
)";

// Light for the square-on boards: a far warm lamp up on the left, casting the lamps' shadows
// alike in every cell, and a cold fill. Neither changes when lamps are lit.
const char* const kBoardLight = R"(
light_source { <-30, 40, -60>, rgb <1.0, 0.86, 0.68> * 1.05 parallel point_at <5, -2.5, 0> }
light_source { <5, -2.5, -30>, rgb <0.35, 0.4, 0.5> * 0.35 shadowless }
)";

const wc::KeyPanel& KeyPanelOf(int screen)
{
    for (const wc::KeyPanel& panel : wc::Art().keyPanels)
        if (panel.screen == screen) return panel;
    throw Error("the world names no key panel on place " + std::to_string(screen));
}

// A glow on the board behind a lit lamp, kept inside its cell (`radius` in units).
std::string Halo(double x, double y, double z, double radius, bool warm)
{
    const std::string colour = warm ? "1, 0.62, 0.28" : "0.75, 0.85, 1";
    return "disc { <0, 0, 0>, -z, 1 texture { pigment { spherical colour_map { [0 rgbt <" + colour + ", 1>] [1 rgbt <" +
           colour + ", 0.25>] } }\n  finish { ambient 0 diffuse 0 emission 1 } }" +
           Format(" scale %.4f translate <%.4f, %.4f, %.4f> no_shadow no_radiosity }\n", radius, x, y, z);
}

}  // namespace

std::string RingBoardScene(bool lampsLit)
{
    const wc::KeyPanel& panel = KeyPanelOf(551);
    const wc::GridDef& grid = wc::Art().grids[panel.grid - 1];
    std::string scene = kSquareOnCamera;
    scene += render::Materials();
    scene += LampModels();
    scene += kBoardLight;
    scene += R"(
background { rgb <0.02, 0.02, 0.03> }
// The gallery's limewashed wall, and the board: dark boards in a moulded frame.
plane { -z, -0.3 texture { pigment { granite colour_map { [0 rgb <0.50, 0.48, 0.43>] [0.7 rgb <0.58, 0.56, 0.5>] [1 rgb <0.44, 0.42, 0.38>] } scale 0.8 }
                           normal { bumps 0.2 scale 0.15 } } }
box { <0.4, -4.0, 0>, <9.84, -0.4, 0.3> texture { Wood scale 6 } }
box { <0.5, -3.9, -0.03>, <9.74, -0.5, 0.2> texture { Tarred rotate <0, 0, 90> } }
)";
    for (int row = 0; row < grid.height; ++row) {
        const double bottom = UnitY(panel.y + row * panel.dy + panel.h);
        // The ring's rail: a brass strip the twelve lamps of the ring stand on.
        scene += Format("box { <0.5, %.4f, -0.22>, <9.74, %.4f, -0.02> texture { Brass } }\n", bottom + 0.02,
                        bottom + 0.06);
        for (int column = 0; column < grid.width; ++column) {
            const double x = UnitX(panel.x + column * panel.dx + panel.w / 2.0);
            scene += Format("object { OilLamp(%.0f) scale 1.75 translate <%.4f, %.4f, -0.12> }\n", lampsLit ? 1.0 : 0.0,
                            x, bottom + 0.06);
            if (lampsLit) scene += Halo(x, bottom + 0.33, -0.04, 0.3, true);
        }
    }
    // The snuffer on its hook below the rings: a brass cone on a handle.
    const wc::Place& place = [] () -> const wc::Place& {
        for (const wc::Place& p : wc::Art().places)
            if (p.number == 551) return p;
        throw Error("the world names no place 551");
    }();
    const wc::Feature& snuffer = place.features[1];
    const double sx = UnitX((snuffer.x1 + snuffer.x2) / 2.0), top = UnitY(snuffer.y1), foot = UnitY(snuffer.y2 - 6);
    scene += Format(R"(
union {
  torus { 0.04, 0.01 rotate <90, 0, 0> translate <%.4f, %.4f, -0.1> }
  cylinder { <%.4f, %.4f, -0.1>, <%.4f, %.4f, -0.1>, 0.016 }
  cone { <%.4f, %.4f, -0.1>, 0.025, <%.4f, %.4f, -0.1>, 0.15 }
  texture { Brass }
}
cylinder { <%.4f, %.4f, -0.1>, <%.4f, %.4f, 0.05>, 0.012 texture { DarkIron } }
)", sx, top - 0.04, sx, top - 0.08, sx, foot + 0.22, sx, foot + 0.24, sx, foot, sx, top - 0.01, sx, top - 0.01);
    return scene;
}

std::string StarPanelScene(bool starsLit)
{
    const wc::KeyPanel& panel = KeyPanelOf(752);
    std::string scene = kSquareOnCamera;
    scene += render::Materials();
    scene += LampModels();
    scene += kBoardLight;
    const double left = UnitX(312), right = UnitX(712), top = UnitY(80), bottom = UnitY(420);
    scene += Format(R"(
background { rgb <0.02, 0.02, 0.04> }
// The dome's drum, and the panel: a brass frame round a plate of blued iron.
plane { -z, -0.3 texture { Blocks scale 1.4 } }
box { <%.4f, %.4f, 0>, <%.4f, %.4f, 0.3> texture { Brass } }
box { <%.4f, %.4f, -0.03>, <%.4f, %.4f, 0.2> texture { pigment { rgb <0.06, 0.07, 0.1> } finish { diffuse 0.5 specular 0.4 roughness 0.03 metallic } } }
// The name board over the panel; its name is painted on after the render.
box { <3.5, -0.1, 0>, <6.74, -0.72, 0.3> texture { Wood scale 4 } }
box { <3.56, -0.16, -0.02>, <6.68, -0.66, 0.2> texture { pigment { rgb <0.13, 0.07, 0.04> } finish { diffuse 0.6 specular 0.2 roughness 0.05 } } }
)", left, bottom, right, top, left + 0.1, bottom + 0.1, right - 0.1, top - 0.1);
    for (int cell = 0; cell < 9; ++cell) {
        const double x = UnitX(panel.x + (cell % 3) * panel.dx + panel.w / 2.0);
        const double y = UnitY(panel.y + (cell / 3) * panel.dy + panel.h / 2.0);
        scene += Format("object { StarLamp(%.0f) translate <%.4f, %.4f, -0.03> }\n", starsLit ? 1.0 : 0.0, x, y);
        if (starsLit) scene += Halo(x, y, -0.035, 0.31, false);
    }
    return scene;
}

std::optional<std::string> StarPanelName(int place, const TextCatalogue& texts)
{
    if (place < 752 || place > 755) return std::nullopt;
    return content::FigureNamesOf(texts)[static_cast<std::size_t>(place - 752)];
}

imaging::Image KeyStrip(const std::vector<imaging::Image>& renders, const wc::KeyPanel& panel, int column, int row)
{
    imaging::Image strip;
    strip.width = panel.w * static_cast<int>(renders.size());
    strip.height = panel.h;
    strip.pixels.assign(static_cast<std::size_t>(strip.width) * strip.height * 4, 0);
    const content::Rect cell{panel.x + column * panel.dx, panel.y + row * panel.dy, panel.w, panel.h};
    for (std::size_t k = 0; k < renders.size(); ++k) {
        const imaging::Image frame = render::CutBlock(renders[k], cell, false);
        for (int y = 0; y < panel.h; ++y)
            std::memcpy(strip.Row(y) + k * panel.w * 4, frame.Row(y), static_cast<std::size_t>(panel.w) * 4);
    }
    return strip;
}

namespace {

// Text painted on a rendered picture through the generator's canvas.
imaging::Image WithLabel(const imaging::Image& picture, const std::string& label)
{
    content::Canvas canvas(picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = picture.Row(y) + x * 4;  // B, G, R, A
            canvas.At(x, y) = {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f};
        }
    canvas.Text(label, 512, 22, 34, content::Hex(0xf0d890), true, false, content::TextAlign::Centre);
    return canvas.ToImage();
}

render::RenderRequest Flat(const std::string& name, std::string scene)
{
    return {name, std::move(scene), content::kFlatWidth, content::kFlatHeight, false, false};
}

// A key panel's strip asset: the board rendered once per value (the renders are the same
// scenes as the board's own picture, so they come from the cache), one cell cut from each.
content::Asset StripAsset(const wc::KeyPanel& panel, std::vector<std::string> scenes, int column, int row)
{
    const std::string path = panel.strip;
    return {path, {path}, 10.0, [path, panel, scenes, column, row](const content::AssetContext& context) {
                std::vector<imaging::Image> renders;
                for (const std::string& scene : scenes) renders.push_back(render::Render(Flat(path, scene), context.render));
                content::WritePicture(context.outputDir, path, KeyStrip(renders, panel, column, row),
                                      content::PictureFormat::Png, context.previewDir);
            }};
}

}  // namespace

void AddCloseViews(std::vector<content::Asset>& rendered, const TextCatalogue& texts)
{
    // The lamp ring's board with its lamps out; its strip from the same board out and lit.
    rendered.push_back(render::RenderedPicture("data/gallery_ring.enc", Flat("data/gallery_ring.enc", RingBoardScene(false)), {}, 15.0));
    rendered.push_back(StripAsset(KeyPanelOf(551), {RingBoardScene(false), RingBoardScene(true)}, 5, 1));
    // The star panels: one panel under four names, and the strips of its middle star.
    for (int place = 752; place <= 755; ++place) {
        const wc::KeyPanel& panel = KeyPanelOf(place);
        std::string image;
        for (const wc::Place& p : wc::Art().places)
            if (p.number == place) image = p.image;
        const std::string label = *StarPanelName(place, texts);
        render::PictureOut out;
        out.finish = [label](imaging::Image picture) { return WithLabel(picture, label); };
        rendered.push_back(render::RenderedPicture(image, Flat(image, StarPanelScene(false)), out, 15.0));
        rendered.back().carriesText = true;
        rendered.push_back(StripAsset(panel, {StarPanelScene(false), StarPanelScene(true)}, 1, 1));
    }
    // The telescope's mount and lens seat, and the dome's shutter, each with its changed block.
    const struct {
        const char* image;
        std::string (*scene)(bool);
    } changing[] = {{"data/dome_mount.enc", MountScene}, {"data/dome_shutter.enc", ShutterScene}};
    for (const auto& view : changing) {
        rendered.push_back(render::RenderedPicture(view.image, Flat(view.image, view.scene(false)), {}, 15.0));
        for (const wc::OverlayDef& o : wc::Art().overlays) {
            std::string base;
            for (const wc::Place& p : wc::Art().places)
                if (p.number == o.screen) base = p.image;
            if (base != view.image) continue;
            rendered.push_back(render::RenderedPicture(o.image, Flat(o.image, view.scene(true)),
                                                       {content::PictureFormat::Png, -1, true, {o.x, o.y, o.w, o.h}, {}}, 15.0));
        }
    }
    const struct {
        const char* image;
        std::string (*scene)();
    } still[] = {{"data/gallery_window.enc", GalleryWindowScene},
                 {"data/gallery_stair.enc", GalleryStairScene},
                 {"data/gallery_bench.enc", GalleryBenchScene}};
    for (const auto& view : still)
        rendered.push_back(render::RenderedPicture(view.image, Flat(view.image, view.scene()), {}, 15.0));
}

}  // namespace world_render::heights
