#include "render/kit.h"

#include <cmath>
#include <cstring>

#include "core/error.h"
#include "render/panorama.h"

namespace render {

const char* Materials() { return "#include \"materials.inc\"\n"; }

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
