// The world's pictures and films rendered from 3D scenes, by region. Each group appends the
// assets it renders; every one replaces the painted asset of the same game path, with the same
// file name, size and scramble offset, so the world's hotspots and the game's loaders see no
// difference but the picture. The texts set into pictures come from the catalogue given.
#pragma once

#include <string>
#include <vector>

#include "content/generator.h"

namespace world_render {

// The flats' tide clock wheel strip and the crossing's pictures (the opening's boat and
// causeway, the ending's dawn); the shore's and the flats' places name their scenes.
void AddShore(std::vector<content::Asset>& rendered);
// The prelude of a wheel strip: `values` frames of `frameWidth` x `frameHeight` pixels.
std::string WheelStripPrelude(int values, int frameWidth, int frameHeight);
// The observatory's ground floor and the tower.
void AddHalls(std::vector<content::Asset>& rendered);
// The lamp gallery and the dome.
void AddHeights(std::vector<content::Asset>& rendered, const TextCatalogue& texts);
// The items (bar pictures, cursors, close-ups), the code-key strips and the page backgrounds.
void AddThings(std::vector<content::Asset>& rendered, const TextCatalogue& texts);
// The films.
void AddFilms(std::vector<content::Asset>& rendered);

}  // namespace world_render
