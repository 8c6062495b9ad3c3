// The boards of lamps of the lamp gallery and the dome, and their code-key strips. Each board is
// a scene file (the lamp ring's the world names for its place; the dome's star panels share
// one, under four names painted on after the render); a strip's frame k is the board's middle
// cell cut from the board rendered with every cell at value k, KeyValue declared after the
// place's prelude.
#include <cstring>
#include <string>
#include <vector>

#include "content/canvas.h"
#include "content/output.h"
#include "core/error.h"
#include "render/kit.h"
#include "game/assets/render_heights.h"
#include "game/assets/render_world.h"
#include "game/assets/world_texts.h"

namespace world_render::heights {

namespace {

namespace wc = world_content;

// The scene the star panels share: the world names no scene for their places, as each gets
// its figure's name painted on.
constexpr const char* kStarPanelScene = "dome/star_panel.pov";

// The dome's star panels, in the world's order (the order of the figures).
std::vector<const wc::Place*> StarPanelPlaces()
{
    std::vector<const wc::Place*> places;
    for (const wc::KeyPanel& panel : wc::Art().keyPanels) {
        const wc::Place& place = wc::Art().PlaceNumbered(panel.screen);
        if (place.realm == wc::Realm::Dome) places.push_back(&place);
    }
    return places;
}

// Text painted on a rendered picture through the generator's canvas.
imaging::Image WithLabel(const imaging::Image& picture, const std::string& label)
{
    content::Canvas canvas(picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = picture.Row(y) + x * 4;  // B, G, R, A
            canvas.At(x, y) = {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f};
        }
    canvas.Text(label, 512, 22, 34, content::Hex(0xf0d890), true, false, content::TextAlign::Centre);
    return canvas.ToImage();
}

// A key panel's strip asset: the board rendered once out and once lit, its middle cell cut
// from each. The board at rest is the place's own picture (so its render comes from the cache).
content::Asset StripAsset(const wc::Place& place, const wc::KeyPanel& panel)
{
    const wc::GridDef& grid = wc::Art().grids.at(static_cast<std::size_t>(panel.grid - 1));
    const int column = (grid.width - 1) / 2, row = (grid.height - 1) / 2;
    std::vector<render::RenderRequest> requests;
    for (int value = 0; value < 2; ++value)
        requests.push_back(BoardRequest(place, panel.strip, BoardPrelude(place, value)));
    const std::string path = panel.strip;
    return {path, {path}, 10.0, [path, panel, requests, column, row](const content::AssetContext& context) {
                std::vector<imaging::Image> renders;
                for (const render::RenderRequest& request : requests) renders.push_back(render::Render(request, context.render));
                content::WritePicture(context.outputDir, path, KeyStrip(renders, panel, column, row),
                                      content::PictureFormat::Png, context.previewDir);
            }};
}

}  // namespace

render::RenderRequest BoardRequest(const wc::Place& place, const std::string& name, const std::string& prelude)
{
    if (place.scene != nullptr) return PlaceRequest(place, name, prelude);
    if (place.realm != wc::Realm::Dome) throw Error(std::string(place.image) + " names no scene for its board");
    render::RenderRequest request;
    request.name = name;
    request.scene = prelude;
    request.sceneFile = kStarPanelScene;
    request.width = content::kFlatWidth;
    request.height = content::kFlatHeight;
    return request;
}

std::string BoardPrelude(const wc::Place& place, int value)
{
    std::string prelude = BasePrelude(place);
    if (value != 0) prelude += "#declare KeyValue = " + std::to_string(value) + ";\n";
    return prelude;
}

std::optional<std::string> StarPanelName(const wc::Place& place, const TextCatalogue& texts)
{
    const std::vector<const wc::Place*> panels = StarPanelPlaces();
    for (std::size_t i = 0; i < panels.size(); ++i)
        if (panels[i] == &place) {
            const content::FigureNames names = content::FigureNamesOf(texts);
            if (i >= names.size()) throw Error(std::string(place.image) + " is a star panel the figures' names do not reach");
            return names[i];
        }
    return std::nullopt;
}

imaging::Image KeyStrip(const std::vector<imaging::Image>& renders, const wc::KeyPanel& panel, int column, int row)
{
    imaging::Image strip;
    strip.width = panel.w * static_cast<int>(renders.size());
    strip.height = panel.h;
    strip.pixels.assign(static_cast<std::size_t>(strip.width) * strip.height * 4, 0);
    const content::Rect cell{panel.x + column * panel.dx, panel.y + row * panel.dy, panel.w, panel.h};
    for (std::size_t k = 0; k < renders.size(); ++k) {
        const imaging::Image frame = render::CutBlock(renders[k], cell, false);
        for (int y = 0; y < panel.h; ++y)
            std::memcpy(strip.Row(y) + k * panel.w * 4, frame.Row(y), static_cast<std::size_t>(panel.w) * 4);
    }
    return strip;
}

void AddCloseViews(std::vector<content::Asset>& rendered, const TextCatalogue& texts)
{
    for (const wc::KeyPanel& panel : wc::Art().keyPanels) {
        const wc::Place& place = wc::Art().PlaceNumbered(panel.screen);
        if (place.realm != wc::Realm::Gallery && place.realm != wc::Realm::Dome) continue;
        rendered.push_back(StripAsset(place, panel));
        // A star panel's own picture, its figure's name painted on the board over it; a board
        // whose place names its scene is rendered with the other places.
        const std::optional<std::string> label = StarPanelName(place, texts);
        if (place.scene != nullptr || !label) continue;
        render::PictureOut out;
        out.finish = [name = *label](imaging::Image picture) { return WithLabel(picture, name); };
        rendered.push_back(render::RenderedPicture(place.image, BoardRequest(place, place.image, BoardPrelude(place, 0)), out, 15.0));
        rendered.back().carriesText = true;
    }
}

}  // namespace world_render::heights
