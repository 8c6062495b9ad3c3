// The world's pictures and films that come from 3D scenes, gathered from every region of the
// world: each replaces the painted asset of the same game path in the manifest.
#pragma once

#include <vector>

#include "content/generator.h"

namespace render {

// Replaces the painted assets by rendered ones. Throws Error if a path the renderer makes is
// not in `assets` (a renamed file must be renamed in its scene too), or is made twice. The texts
// set into the pictures come from `texts`.
void UseRenderedAssets(std::vector<content::Asset>& assets, const TextCatalogue& texts);

}  // namespace render
