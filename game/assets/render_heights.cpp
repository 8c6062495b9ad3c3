// The lamp gallery and the dome: their panoramas are the scenes the world files name
// (game/scenes/gallery/, game/scenes/dome/), rendered with every other place that names one;
// what is left here are the key strips of their boards and the star panels' painted names
// (render_heights_views.cpp).
#include "game/assets/render_heights.h"

#include <string>
#include <vector>

#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_world.h"

namespace world_render {

namespace heights {

namespace wc = world_content;

std::string DomeScene(int number)
{
    const wc::Place& place = wc::Art().PlaceNumbered(number);
    if (place.realm != wc::Realm::Dome) throw Error("place " + std::to_string(number) + " is not in the dome");
    const render::RenderRequest request = PlaceRequest(place, place.image, BasePrelude(place));
    return request.scene + "#include \"" + request.sceneFile + "\"\n";
}

}  // namespace heights

void AddHeights(std::vector<content::Asset>& rendered, const TextCatalogue& texts)
{
    heights::AddCloseViews(rendered, texts);
}

}  // namespace world_render
