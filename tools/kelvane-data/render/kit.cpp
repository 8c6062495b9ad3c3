#include "render/kit.h"

#include <cmath>
#include <cstring>

#include "core/error.h"
#include "render/panorama.h"

namespace render {

namespace {

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
#declare Rock = texture {
  pigment { granite turbulence 0.4 colour_map { [0 rgb <0.20, 0.19, 0.18>] [0.5 rgb <0.30, 0.28, 0.26>] [1 rgb <0.16, 0.16, 0.17>] } scale 1.5 }
  normal { bumps 0.6 scale 0.35 }
  finish { diffuse 0.7 }
}
#declare Sand = texture {
  pigment { granite colour_map { [0 rgb <0.55, 0.49, 0.38>] [1 rgb <0.47, 0.42, 0.33>] } scale 0.2 }
  normal { bumps 0.15 scale 0.08 }
}
#declare Brass = texture {
  pigment { rgb <0.72, 0.52, 0.22> }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.45 specular 0.6 roughness 0.02 metallic reflection { 0.15 metallic } }
}
#declare DarkIron = texture {
  pigment { rgb <0.10, 0.10, 0.11> }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.55 specular 0.35 roughness 0.05 metallic }
}
#declare RustIron = texture {
  pigment { granite colour_map { [0 rgb <0.13, 0.12, 0.12>] [0.7 rgb <0.18, 0.15, 0.13>] [1 rgb <0.36, 0.18, 0.08>] } scale 0.08 }
  normal { granite 0.08 scale 0.03 }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.55 specular 0.3 roughness 0.04 metallic }
}
#declare Wood = texture {
  pigment { wood turbulence 0.06 colour_map { [0 rgb <0.42, 0.24, 0.11>] [0.7 rgb <0.34, 0.18, 0.08>] [1 rgb <0.26, 0.13, 0.05>] } scale 0.05 rotate <90, 0, 0> }
  finish { diffuse 0.7 specular 0.15 roughness 0.05 }
}
#declare Planks = texture {
  pigment { gradient x colour_map { [0 rgb <0.20, 0.13, 0.08>] [0.03 rgb <0.20, 0.13, 0.08>] [0.04 rgb <0.38, 0.25, 0.14>] [1 rgb <0.33, 0.21, 0.11>] } scale 0.3 }
  normal { wood 0.1 scale 0.2 }
}
#declare Tarred = texture {
  pigment { gradient x colour_map { [0 rgb <0.05, 0.04, 0.03>] [0.04 rgb <0.05, 0.04, 0.03>] [0.05 rgb <0.13, 0.10, 0.08>] [1 rgb <0.11, 0.09, 0.07>] } scale 0.25 }
  normal { wood 0.15 scale 0.2 }
  finish { diffuse 0.6 specular 0.2 roughness 0.08 }
}
#declare Paper = texture { pigment { rgb <0.86, 0.80, 0.66> } normal { bumps 0.05 scale 0.01 } finish { diffuse 0.85 } }
#declare Cloth = texture {
  pigment { rgb <0.22, 0.24, 0.26> }
  normal { quilted 0.4 control0 0.5 control1 0.5 scale 0.01 }
  finish { diffuse 0.8 }
}
#declare Glass = texture {
  pigment { rgbf <0.9, 0.95, 1.0, 0.92> }
  finish { ambient 0 diffuse 0.05 specular 0.8 roughness 0.003 reflection { 0.05, 0.3 fresnel } conserve_energy }
}
#declare GlassInterior = interior { ior 1.5 }
#declare Water = texture {
  pigment { rgbf <0.10, 0.16, 0.18, 0.75> }
  normal { ripples 0.25 frequency 3 scale 0.6 }
  finish { ambient 0 diffuse 0.1 specular 0.6 roughness 0.01 reflection { 0.1, 0.6 fresnel } conserve_energy }
}
#declare Sea = texture {
  pigment { rgb <0.04, 0.08, 0.11> }
  normal { waves 0.35 frequency 0.7 scale <6, 1, 4> turbulence 0.3 }
  finish { ambient 0 diffuse 0.2 specular 0.7 roughness 0.006 reflection { 0.15, 0.7 fresnel } }
}
)";

}  // namespace

const char* Materials() { return kMaterials; }

double DegreesOfColumn(double column, int panoramaWidth) { return column / panoramaWidth * 360.0; }

double HeightOfRow(double row, double distance, double eyeHeight, int panoramaHeight)
{
    const double latitude = (0.5 - row / panoramaHeight) * 2.0 * kBandLatitude;
    return eyeHeight + distance * std::tan(latitude);
}

imaging::Image CutBlock(const imaging::Image& picture, content::Rect r, bool wraps)
{
    const bool inside = r.w > 0 && r.h > 0 && r.x >= 0 && r.y >= 0 && r.Bottom() <= picture.height &&
                        (wraps ? r.w <= picture.width : r.Right() <= picture.width);
    if (!inside)
        throw Error("the block " + std::to_string(r.x) + ", " + std::to_string(r.y) + " (" + std::to_string(r.w) +
                    " x " + std::to_string(r.h) + ") leaves the " + std::to_string(picture.width) + " x " +
                    std::to_string(picture.height) + " picture it is cut from");
    imaging::Image block;
    block.width = r.w;
    block.height = r.h;
    block.pixels.resize(static_cast<std::size_t>(r.w) * r.h * 4);
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x) {
            const int sx = (r.x + x) % picture.width;
            std::memcpy(block.Row(y) + x * 4, picture.Row(r.y + y) + sx * 4, 4);
        }
    return block;
}

content::Asset RenderedPicture(const std::string& gamePath, const RenderRequest& request, const PictureOut& out,
                               double weight)
{
    return {gamePath, {gamePath}, weight, [gamePath, request, out](const content::AssetContext& context) {
                imaging::Image picture = Render(request, context.render);
                if (out.finish) picture = out.finish(std::move(picture));
                if (out.block) picture = CutBlock(picture, out.rect, request.wrapsAround);
                const int offset = out.offset >= 0 ? out.offset : content::OffsetForGamePath(gamePath);
                content::WritePicture(context.outputDir, gamePath, picture, out.format, context.previewDir, offset);
            }};
}

}  // namespace render
