// The lamp gallery and the dome. Their places' pictures are scene files (game/scenes/gallery/,
// game/scenes/dome/): those the world names are rendered with every place that names one
// (render_world.h); here are the code-key strips of the boards of lamps, cut from the boards'
// renders, and the star panels' pictures with their figures' names painted on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "content/generator.h"
#include "core/text_catalogue.h"
#include "game/assets/world_art.h"
#include "imaging/image.h"
#include "render/povray.h"

namespace world_render::heights {

// The whole text of a panorama of the dome numbered `place` in its base state: the prelude its
// scene file is rendered after, and the #include of that file. Throws Error for a place
// outside the dome.
std::string DomeScene(int place);

// The prelude of a board of lamps' place with every cell at `value` (KeyValue; 0 every lamp
// out, 1 every lamp lit): at 0 the place's own prelude.
std::string BoardPrelude(const world_content::Place& place, int value);

// The render of a board of lamps' place after `prelude`: the scene its world file names, or
// for a star panel the scene the four share. Throws Error for any other place naming no scene.
render::RenderRequest BoardRequest(const world_content::Place& place, const std::string& name, const std::string& prelude);

// A key panel's strip: frame k is the panel's cell (column, row) cut from renders[k], the
// board rendered with every cell at value k.
imaging::Image KeyStrip(const std::vector<imaging::Image>& renders, const world_content::KeyPanel& panel, int column,
                        int row);

// The name painted over a star panel's close view (the figure of the panel's place, in the
// world's order of the dome's key panels), or none for any other place.
std::optional<std::string> StarPanelName(const world_content::Place& place, const TextCatalogue& texts);

// The strips of the boards' key panels and the star panels' pictures.
void AddCloseViews(std::vector<content::Asset>& rendered, const TextCatalogue& texts);

}  // namespace world_render::heights
