// The observatory's ground floor and its tower. Their panoramas, close views and changing
// blocks are rendered from the scene files their world files name (AddPlaceScenes); the
// cabinet's bell wheels are a key panel's strip, rendered here from the cabinet's scene.
#include "game/assets/render_halls.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_world.h"
#include "render/kit.h"

namespace world_render {

namespace wc = world_content;

content::Asset KeyStrip(const wc::Place& place, const wc::KeyPanel& panel)
{
    const int values = wc::Art().grids.at(static_cast<std::size_t>(panel.grid - 1)).max + 1;
    const auto declare = [](const char* name, int value) {
        return "#declare " + std::string(name) + " = " + std::to_string(value) + ";\n";
    };
    const std::string prelude = BasePrelude(place) + declare("KeyFrames", values) + declare("KeyCellLeft", panel.x) +
                                declare("KeyCellTop", panel.y) + declare("KeyCellWidth", panel.w) +
                                declare("KeyCellHeight", panel.h) + declare("KeyStepX", panel.dx);
    render::RenderRequest request = PlaceRequest(place, panel.strip, prelude);
    request.width = values * panel.dx;
    request.height = panel.h;
    request.wrapsAround = false;
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
    return render::RenderedPicture(panel.strip, request, out, 2.0);
}

void AddHalls(std::vector<content::Asset>& rendered)
{
    for (const wc::KeyPanel& panel : wc::Art().keyPanels) {
        const wc::Place* place = nullptr;
        for (const wc::Place& p : wc::Art().places)
            if (p.number == panel.screen) place = &p;
        if (place == nullptr || (place->realm != wc::Realm::Hall && place->realm != wc::Realm::Tower)) continue;
        if (place->scene == nullptr)
            throw Error(std::string("the key panel of ") + place->image + " is rendered from its place's scene, but it names none");
        rendered.push_back(KeyStrip(*place, panel));
    }
}

}  // namespace world_render
