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

render::RenderRequest CloseUpRequest(const world_content::ItemDef& item, bool withItem)
{
    if (item.closeUpScene == nullptr)
        throw Error(std::string("the item '") + item.name + "' names no scene for a close view of its own");
    render::RenderRequest request;
    request.name = std::string("close view of the ") + item.name;
    request.scene = withItem ? "" : "#declare WithItem = false;\n";
    request.sceneFile = item.closeUpScene;
    request.width = content::kFlatWidth;
    request.height = content::kFlatHeight;
    return request;
}

void AddThings(std::vector<content::Asset>& rendered, const TextCatalogue& texts)
{
    AddItemPictures(rendered);
    AddReadViews(rendered, texts);
    for (const world_content::ItemDef& item : world_content::Art().items)
        if (item.closeUpScene != nullptr && item.closeUp != nullptr)
            rendered.push_back(render::RenderedPicture(item.closeUp, CloseUpRequest(item, true), {}, 15.0));
}

}  // namespace world_render
