// Where a click finds a panorama's landmark. The game picks one picture column per screen
// pixel from the view's centre and scales rows straight, while the panorama is drawn in
// perspective: a point drawn off the centre of the view is picked further out, by up to
// kPickColumns columns and kPickRows rows at the edges of the clickable view. A landmark's
// hotspot is therefore its drawn rectangle grown by that much on every side, so that a click
// on what the player sees lands in it at every turn of the view; where two landmarks stand
// closer than that, the ground between them is shared at its middle.
#pragma once

#include "game/world_content.h"

namespace world_content {

// The largest distance between the point picked and the point drawn over the clickable view
// (screen x 100 .. 700, the whole band's height), rounded up.
inline constexpr int kPickColumns = 58;
inline constexpr int kPickRows = 60;

struct PickArea {
    int x1, y1, x2, y2;  // picture pixels; x2 may pass 2048 (wraps); x1 is never negative
};

// The hotspot of feature `index` of `place`: on a flat view its drawn rectangle, on a
// panorama that rectangle grown as above, rows kept inside the picture.
PickArea PickAreaOf(const Place& place, int index);

}  // namespace world_content
