// The world's pictures that come from 3D scenes: each replaces the painted asset of the same
// game path in the manifest, with the same file name, size and scramble offset, so the world's
// hotspots and the game's loaders see no difference but the picture.
#pragma once

#include <vector>

#include "content/generator.h"

namespace render {

// Replaces the painted assets by rendered ones. Throws Error if a path the renderer
// makes is not in `assets` (a renamed file must be renamed here too).
void UseRenderedAssets(std::vector<content::Asset>& assets);

// A rendered picture asset: `request` rendered at the context's quality and written under
// `gamePath` as the game opens it (scrambled by the path's offset).
content::Asset RenderedPicture(const std::string& gamePath, const RenderRequest& request,
                               content::PictureFormat format, double weight);

}  // namespace render
