#include "render/preview.h"

#include <algorithm>

namespace render {

namespace {

void Paint(imaging::Image& picture, int x, int y, const OutlinedArea& area, bool wraps)
{
    if (y < 0 || y >= picture.height) return;
    if (wraps) x = ((x % picture.width) + picture.width) % picture.width;
    else if (x < 0 || x >= picture.width) return;
    std::uint8_t* p = picture.Row(y) + static_cast<std::size_t>(x) * 4;
    p[0] = area.blue, p[1] = area.green, p[2] = area.red, p[3] = 255;
}

}  // namespace

void DrawOutlines(imaging::Image& picture, const std::vector<OutlinedArea>& areas, bool wraps, int thickness)
{
    if (picture.width <= 0 || picture.height <= 0) return;
    for (const OutlinedArea& area : areas) {
        const content::Rect& r = area.rect;
        if (r.w <= 0 || r.h <= 0) continue;
        const int t = std::min({thickness, (r.w + 1) / 2, (r.h + 1) / 2});
        for (int y = r.y; y < r.Bottom(); ++y) {
            const bool edgeRow = y < r.y + t || y >= r.Bottom() - t;
            for (int x = r.x; x < r.Right(); ++x) {
                if (!edgeRow && x >= r.x + t && x < r.Right() - t) {
                    x = r.Right() - t - 1;  // skip the inside of the row
                    continue;
                }
                Paint(picture, x, y, area, wraps);
            }
        }
    }
}

OutlinedArea HotspotOutline(content::Rect rect) { return {rect, 255, 220, 0}; }
OutlinedArea BlockOutline(content::Rect rect) { return {rect, 0, 200, 255}; }

}  // namespace render
