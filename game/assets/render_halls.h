// The observatory's ground floor and its tower: their places are rendered from their scene
// files (game/scenes/hall, game/scenes/tower) with every other place that names one; what is
// left here is the strip of a key panel's frames.
#pragma once

#include "content/generator.h"
#include "game/assets/world_art.h"

namespace world_render {

// The strip of a key panel's frames, frame k showing the panel's wheel turned to k: the
// panel's place's scene rendered once with the strip declared (KeyFrames, and the panel's
// cells: KeyCellLeft, KeyCellTop, KeyCellWidth, KeyCellHeight, KeyStepX), the scene laying
// frame k in the cell KeyStepX * k pixels from the left; each cell is cut out, side by side.
content::Asset KeyStrip(const world_content::Place& place, const world_content::KeyPanel& panel);

}  // namespace world_render
