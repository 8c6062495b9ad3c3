// The places whose world files name their scene (place{..., scene = "shore/landing.pov"}):
// each picture is its scene file rendered after a prelude of what the world shows there, each
// changing block the same scene with the block's state, cut out, and each tide version the
// same scene with the tide's height.
#pragma once

#include <string>
#include <vector>

#include "content/generator.h"
#include "core/text_catalogue.h"
#include "game/assets/world_art.h"
#include "render/povray.h"
#include "render/prelude.h"

namespace world_render {

// The place's landmarks as its prelude declares them, in their base state.
std::vector<render::SceneLandmark> LandmarksOf(const world_content::Place& place);

// The prelude of the place's picture, of one of its changing blocks, of its tide version.
std::string BasePrelude(const world_content::Place& place);
std::string OverlayPrelude(const world_content::Place& place, const world_content::OverlayDef& overlay);
std::string TidePrelude(const world_content::Place& place, int tide);

// The render of the place's scene after `prelude`, as big as the place's picture.
render::RenderRequest PlaceRequest(const world_content::Place& place, const std::string& name, const std::string& prelude);

// What an artist previews of a place (kelvane-data --scene): its picture's render as the game
// makes it, the areas a click finds there and the blocks the story changes in it.
struct ScenePreview {
    render::RenderRequest request;
    std::vector<content::Rect> hotspots;  // the world's hotspot areas, landmark by landmark
    std::vector<content::Rect> blocks;    // the changing blocks cut from this picture
};

// The previews of every place whose scene is `name` ("shore/landing.pov" or "shore/landing") or
// whose picture is `name` ("shore_pano01"). Throws Error naming the scenes the world names when
// none matches.
std::vector<ScenePreview> PreviewsOf(const std::string& name);

// The texts the place's scene sets (place{texts = {...}}) as its prelude declares them, from
// `texts`; "" for a place that sets none.
std::string PlaceTextsPrelude(const world_content::Place& place, const TextCatalogue& texts);

// Adds the pictures, changing blocks and tide versions of every place that names its scene; a
// place whose scene sets texts carries them (it is made again for every translation).
void AddPlaceScenes(std::vector<content::Asset>& rendered, const TextCatalogue& texts);

}  // namespace world_render
