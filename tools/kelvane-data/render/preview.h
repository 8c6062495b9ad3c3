// What an artist checks a scene with: its render with the world's hotspot areas and changing
// blocks drawn over it as outlines, so that what a player clicks can be seen lying on what is
// drawn for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "content/canvas.h"
#include "imaging/image.h"

namespace render {

struct OutlinedArea {
    content::Rect rect;  // picture pixels; on a panorama it may pass the right edge
    std::uint8_t red = 255, green = 0, blue = 0;
};

// Draws each area's outline, `thickness` pixels wide inside its rectangle, over `picture`. On a
// panorama (`wraps`) the columns past the right edge continue at the left; elsewhere the part
// outside the picture is left out.
void DrawOutlines(imaging::Image& picture, const std::vector<OutlinedArea>& areas, bool wraps, int thickness = 2);

// The colours the preview uses: hotspots in yellow, changing blocks in cyan.
OutlinedArea HotspotOutline(content::Rect rect);
OutlinedArea BlockOutline(content::Rect rect);

}  // namespace render
