#include "render/rendered_assets.h"

#include <algorithm>
#include <set>

#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_world.h"

namespace render {

void UseRenderedAssets(std::vector<content::Asset>& assets, const TextCatalogue& texts)
{
    std::vector<content::Asset> rendered;
    world_render::AddPlaceScenes(rendered);
    world_render::AddShore(rendered);
    world_render::AddHalls(rendered);
    world_render::AddHeights(rendered, texts);
    world_render::AddThings(rendered, texts);
    world_render::AddFilms(rendered);
    std::set<std::string> made;
    for (const content::Asset& asset : rendered) {
        if (!made.insert(asset.name).second) throw Error("the renderer makes " + asset.name + " twice");
        auto painted = std::find_if(assets.begin(), assets.end(),
                                    [&asset](const content::Asset& a) { return a.name == asset.name; });
        if (painted == assets.end())
            throw Error("the renderer makes " + asset.name + ", but the game's data names no such file");
        // A rendered picture shows what the painted one did: the texts it sets among them.
        const bool text = painted->carriesText;
        *painted = asset;
        painted->carriesText = painted->carriesText || text;
    }
}

}  // namespace render
