// The shore's, the flats' and the crossing's pictures that are not a place's: the places name
// their scenes in the world files (game/scenes/shore/, tide/) and render_world makes them.
// What is left is the generator's part: the tide clock's wheel strip, rendered from the
// world's key panel as wide as its frames, and the opening's and the ending's pictures.
#include <string>
#include <vector>

#include "content/output.h"
#include "core/error.h"
#include "game/assets/render_groups.h"
#include "game/assets/world_art.h"
#include "render/kit.h"
#include "render/prelude.h"

namespace world_render {

namespace {

namespace wc = world_content;

constexpr const char* kFlatsFolder = "tide/";

const wc::Place* PlaceOf(int screen)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == screen) return &place;
    return nullptr;
}

bool InFolder(const char* scene, const char* folder)
{
    return scene != nullptr && std::string(scene).rfind(folder, 0) == 0;
}

// A picture of the opening or the ending, rendered from its scene file alone.
content::Asset Crossing(const char* gamePath, const char* sceneFile)
{
    if (gamePath == nullptr) throw Error(std::string("the world names no picture for ") + sceneFile);
    render::RenderRequest request;
    request.name = gamePath;
    request.sceneFile = sceneFile;
    request.width = content::kFlatWidth;
    request.height = content::kFlatHeight;
    return render::RenderedPicture(gamePath, request, {}, 15.0);
}

}  // namespace

std::string WheelStripPrelude(int values, int frameWidth, int frameHeight)
{
    return "// The strip's frames (written by kelvane-data).\n#declare WheelValues = " + std::to_string(values) +
           ";\n#declare FrameWidth = " + std::to_string(frameWidth) + ";\n#declare FrameHeight = " +
           std::to_string(frameHeight) + ";\n";
}

void AddShore(std::vector<content::Asset>& rendered)
{
    // The wheels of a key panel on the flats, a frame for each value its grid takes, side by
    // side: the scene of the panel's place with "_wheels" before its ending.
    for (const wc::KeyPanel& panel : wc::Art().keyPanels) {
        const wc::Place* place = PlaceOf(panel.screen);
        if (place == nullptr || !InFolder(place->scene, kFlatsFolder)) continue;
        const std::string scene = place->scene;
        const int values = wc::Art().grids.at(static_cast<std::size_t>(panel.grid - 1)).max + 1;
        render::RenderRequest request;
        request.name = panel.strip;
        request.scene = WheelStripPrelude(values, panel.w, panel.h);
        request.sceneFile = scene.substr(0, scene.size() - 4) + "_wheels.pov";
        request.width = panel.w * values;
        request.height = panel.h;
        render::PictureOut out;
        out.format = content::PictureFormat::Png;
        rendered.push_back(render::RenderedPicture(panel.strip, request, out, 2.0));
    }
    rendered.push_back(Crossing(wc::Art().boatImage, "crossing/boat.pov"));
    rendered.push_back(Crossing(wc::Art().causewayImage, "crossing/causeway.pov"));
    rendered.push_back(Crossing(wc::Art().endingImage, "crossing/dawn.pov"));
}

}  // namespace world_render
