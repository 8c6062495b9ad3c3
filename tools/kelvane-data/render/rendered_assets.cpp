#include "render/rendered_assets.h"

#include "game/assets/render_groups.h"
#include "game/assets/render_world.h"

namespace render {

std::vector<content::Asset> RenderedWorldAssets(const TextCatalogue& texts)
{
    std::vector<content::Asset> rendered;
    world_render::AddPlaceScenes(rendered, texts);
    world_render::AddShore(rendered);
    world_render::AddHalls(rendered);
    world_render::AddHeights(rendered, texts);
    world_render::AddThings(rendered, texts);
    world_render::AddFilms(rendered);
    return rendered;
}

}  // namespace render
