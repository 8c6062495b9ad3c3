#include "game/pick_areas.h"

#include <algorithm>

namespace world_content {

namespace {

constexpr int kWidth = 2048;
constexpr int kHeight = 512;

bool HasHotspot(const Feature& f) { return f.way != Way::Scenery && !(f.look == Look::None && f.target < 0); }

int FeatureCount(const Place& place)
{
    int n = 0;
    while (n < kMaxFeatures && !(place.features[n].look == Look::None && place.features[n].target < 0)) ++n;
    return n;
}

// Columns from the right edge of `a` round to the left edge of `b`, or -1 where their column
// ranges overlap (on the circle of the panorama).
int GapRight(const Feature& a, const Feature& b)
{
    const int gap = ((b.x1 - a.x2) % kWidth + kWidth) % kWidth;
    const int wa = a.x2 - a.x1, wb = b.x2 - b.x1;
    // Overlapping ranges show as a gap longer than what is left of the circle.
    return gap + wa + wb > kWidth ? -1 : gap;
}

bool RowsMeet(int a1, int a2, int b1, int b2) { return a1 < b2 && b1 < a2; }

}  // namespace

PickArea PickAreaOf(const Place& place, int index)
{
    const Feature& f = place.features[index];
    if (!place.panorama) return {f.x1, f.y1, f.x2, f.y2};
    int left = kPickColumns, right = kPickColumns, up = kPickRows, down = kPickRows;
    const int count = FeatureCount(place);
    for (int i = 0; i < count; ++i) {
        const Feature& g = place.features[i];
        if (i == index || !HasHotspot(g)) continue;
        const bool rowsOverlap = RowsMeet(f.y1, f.y2, g.y1, g.y2);
        if (RowsMeet(f.y1 - kPickRows, f.y2 + kPickRows, g.y1 - kPickRows, g.y2 + kPickRows)) {
            // Side by side: share the columns between them.
            const int toRight = GapRight(f, g), toLeft = GapRight(g, f);
            if (toRight >= 0 && toRight < 2 * kPickColumns) right = std::min(right, toRight / 2);
            if (toLeft >= 0 && toLeft < 2 * kPickColumns) left = std::min(left, toLeft - toLeft / 2);
        }
        if (!rowsOverlap && GapRight(f, g) < 0 && GapRight(g, f) < 0) {
            // One above the other: share the rows between them.
            if (g.y1 >= f.y2 && g.y1 - f.y2 < 2 * kPickRows) down = std::min(down, (g.y1 - f.y2) / 2);
            if (f.y1 >= g.y2 && f.y1 - g.y2 < 2 * kPickRows) up = std::min(up, (f.y1 - g.y2) - (f.y1 - g.y2) / 2);
        }
    }
    PickArea area{f.x1 - left, std::max(0, f.y1 - up), f.x2 + right, std::min(kHeight, f.y2 + down)};
    if (area.x1 < 0) {
        area.x1 += kWidth;
        area.x2 += kWidth;
    }
    return area;
}

}  // namespace world_content
