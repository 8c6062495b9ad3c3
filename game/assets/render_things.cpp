// The items' close views, from the scene library's items/*_closeup.pov: each object large and
// lit where the story leaves it, filling the 1024 x 512 view above the plain strip at its foot
// that leads back.
#include <string>
#include <vector>

#include "core/error.h"
#include "render/kit.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_things.h"
#include "game/assets/world_art.h"

namespace world_render {

render::RenderRequest CloseUpRequest(int item, bool withItem)
{
    if (item != 3 && item != 4 && item != 5 && item != 8)
        throw Error("item " + std::to_string(item) + " has no close view of its own");
    render::RenderRequest request;
    request.name = "close view of item " + std::to_string(item);
    request.scene = withItem ? "" : "#declare WithItem = false;\n";
    request.sceneFile = std::string("items/") + ItemSceneName(item) + "_closeup.pov";
    request.width = content::kFlatWidth;
    request.height = content::kFlatHeight;
    return request;
}

void AddThings(std::vector<content::Asset>& rendered, const TextCatalogue& texts)
{
    AddItemPictures(rendered);
    AddReadViews(rendered, texts);
    for (const int item : {3, 4, 5, 8}) {
        const std::string path = world_content::Art().items[item - 1].closeUp;
        rendered.push_back(render::RenderedPicture(
            path, CloseUpRequest(item, true), {}, 15.0));
    }
}

}  // namespace world_render
