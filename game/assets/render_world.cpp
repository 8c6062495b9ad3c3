#include "game/assets/render_world.h"

#include "core/error.h"
#include "content/canvas.h"
#include "render/kit.h"

namespace world_render {

namespace {

namespace wc = world_content;

constexpr double kPanoramaWeight = 40.0, kFlatWeight = 15.0;

double WeightOf(const wc::Place& place) { return place.panorama ? kPanoramaWeight : kFlatWeight; }

const wc::Place* PlaceOf(int screen)
{
    for (const wc::Place& place : wc::Art().places)
        if (place.number == screen) return &place;
    return nullptr;
}

}  // namespace

std::vector<render::SceneLandmark> LandmarksOf(const wc::Place& place)
{
    std::vector<render::SceneLandmark> landmarks;
    for (const wc::Feature& f : place.features) {
        if (f.look == wc::Look::None) break;
        landmarks.push_back({wc::LookName(f.look), f.x1, f.y1, f.x2, f.y2, f.active, false});
    }
    return landmarks;
}

std::string BasePrelude(const wc::Place& place) { return render::PlacePrelude(place.panorama, LandmarksOf(place), {}); }

std::string OverlayPrelude(const wc::Place& place, const wc::OverlayDef& o)
{
    std::vector<render::SceneLandmark> landmarks = LandmarksOf(place);
    const auto landmark = [&](int index) -> render::SceneLandmark& {
        if (index < 0 || static_cast<std::size_t>(index) >= landmarks.size())
            throw Error("a changing block of " + std::string(place.image) + " names landmark " + std::to_string(index + 1) +
                        ", but the place has " + std::to_string(landmarks.size()));
        return landmarks[static_cast<std::size_t>(index)];
    };
    render::SceneStory story;
    switch (o.shows) {
    case wc::Shows::Changed: landmark(o.feature).changed = true; break;
    case wc::Shows::Removed: landmark(o.feature).removed = true; break;
    case wc::Shows::Item:
        story.itemShown = wc::Art().items.at(static_cast<std::size_t>(o.item - 1)).name;
        if (o.open) landmark(o.feature).changed = true;
        break;
    }
    if (o.when == wc::When::VarEquals) story.values.push_back({wc::Art().VariableName(o.var), o.value});
    else story.values.push_back({wc::StateName(o.when), 1});
    return render::PlacePrelude(place.panorama, landmarks, story);
}

std::string TidePrelude(const wc::Place& place, int tide)
{
    render::SceneStory story;
    story.values.push_back({"tide", tide});
    return render::PlacePrelude(place.panorama, LandmarksOf(place), story);
}

render::RenderRequest PlaceRequest(const wc::Place& place, const std::string& name, const std::string& prelude)
{
    if (place.scene == nullptr) throw Error(std::string(place.image) + " names no scene to render");
    render::RenderRequest request;
    request.name = name;
    request.scene = prelude;
    request.sceneFile = place.scene;
    request.width = place.panorama ? content::kPanoramaWidth : content::kFlatWidth;
    request.height = place.panorama ? content::kPanoramaHeight : content::kFlatHeight;
    request.wrapsAround = place.panorama;
    return request;
}

namespace {

// The picture's own name: "data/shore_pano01.enc" is "shore_pano01".
std::string PictureName(const char* image)
{
    std::string name = image;
    const std::size_t slash = name.rfind('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

bool NamesPlace(const wc::Place& place, const std::string& name)
{
    const std::string scene = place.scene;
    return scene == name || scene == name + ".pov" || PictureName(place.image) == name;
}

}  // namespace

std::vector<ScenePreview> PreviewsOf(const std::string& name)
{
    std::vector<ScenePreview> previews;
    for (const wc::Place& place : wc::Art().places) {
        if (place.scene == nullptr || !NamesPlace(place, name)) continue;
        ScenePreview preview;
        preview.request = PlaceRequest(place, PictureName(place.image), BasePrelude(place));
        for (const wc::HotspotArea& a : wc::Art().AreasOf(place.number))
            preview.hotspots.push_back({a.x1, a.y1, a.x2 - a.x1, a.y2 - a.y1});
        for (const wc::OverlayDef& o : wc::Art().overlays)
            if (o.screen == place.number) preview.blocks.push_back({o.x, o.y, o.w, o.h});
        previews.push_back(std::move(preview));
    }
    if (previews.empty()) {
        std::string known;
        for (const wc::Place& place : wc::Art().places)
            if (place.scene != nullptr && known.size() < 200) known += std::string(known.empty() ? "" : ", ") + place.scene;
        throw Error("no place of the world files is rendered from a scene or picture named '" + name +
                    "' (scenes the places name: " + known + ", ...)");
    }
    return previews;
}

std::string PlaceTextsPrelude(const wc::Place& place, const TextCatalogue& texts)
{
    if (place.texts.empty()) return "";
    std::vector<std::pair<std::string, std::string>> set;
    for (const auto& [name, id] : place.texts) {
        const std::string* text = texts.Find(id);
        if (text == nullptr) throw Error(std::string(place.image) + " sets the text '" + id + "', which the game's texts lack");
        set.push_back({name, *text});
    }
    return render::TextsPrelude(set, content::SerifFontFile());
}

void AddPlaceScenes(std::vector<content::Asset>& rendered, const TextCatalogue& texts)
{
    // Each picture's prelude, with the texts its place's scene sets.
    const auto add = [&](const wc::Place& place, const char* path, const std::string& prelude, const render::PictureOut& out) {
        rendered.push_back(render::RenderedPicture(path, PlaceRequest(place, path, prelude + PlaceTextsPrelude(place, texts)),
                                                   out, WeightOf(place)));
        rendered.back().carriesText = !place.texts.empty();
    };
    for (const wc::Place& place : wc::Art().places)
        if (place.scene != nullptr) add(place, place.image, BasePrelude(place), {});
    for (const wc::OverlayDef& o : wc::Art().overlays) {
        const wc::Place* place = PlaceOf(o.screen);
        if (place == nullptr || place->scene == nullptr) continue;
        render::PictureOut block;
        block.format = content::PictureFormat::Png;
        block.block = true;
        block.rect = {o.x, o.y, o.w, o.h};
        add(*place, o.image, OverlayPrelude(*place, o), block);
    }
    for (const wc::TideVersion& v : wc::Art().tideVersions) {
        const wc::Place* place = PlaceOf(v.screen);
        if (place == nullptr || place->scene == nullptr) continue;
        // The game opens a screen's versions with its base picture's offset.
        render::PictureOut version;
        version.offset = content::OffsetForGamePath(place->image);
        for (int i = 0; i < 3; ++i) add(*place, v.versions[i], TidePrelude(*place, i + 2), version);
    }
}

}  // namespace world_render
