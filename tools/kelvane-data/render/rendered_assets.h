// The world's pictures and films that come from 3D scenes, gathered from every region of the
// world: each place, changing block, tide version, key strip, item, read view and film the
// world files name, rendered from the scene they name.
#pragma once

#include <vector>

#include "content/generator.h"
#include "core/text_catalogue.h"

namespace render {

// Every rendered asset of the world; the texts set into the pictures come from `texts`.
std::vector<content::Asset> RenderedWorldAssets(const TextCatalogue& texts);

}  // namespace render
