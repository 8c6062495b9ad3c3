// The items' bar pictures and cursors, rendered from the scenes their item{} names (each model
// alone on no background, lit from the upper left), their masks from the render's alpha.
#include <string>
#include <vector>

#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_things.h"
#include "game/assets/world_art.h"

namespace world_render {

namespace wc = world_content;

render::RenderRequest ItemBarRequest(const wc::ItemDef& item)
{
    if (item.scene == nullptr) throw Error(std::string("the item '") + item.name + "' names no scene for its picture");
    render::RenderRequest request;
    request.name = std::string("item ") + item.name;
    request.sceneFile = item.scene;
    request.width = request.height = content::kItemSide;
    request.alpha = true;
    return request;
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
        const render::RenderRequest request = ItemBarRequest(item);
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
