// Procedural places: panoramas (2048 x 512, joining where x 2048 meets x 0), flat views
// (1024 x 512), and the blocks and versions of them that overlays and overwrite pictures need.
// A place is a setting, a palette and landmarks at picture positions; the world's hotspots use
// the same rectangles, so exits and things that react are drawn where the player clicks.
#pragma once

#include <cstdint>
#include <vector>

#include "content/canvas.h"

namespace content {

constexpr int kPanoramaWidth = 2048;
constexpr int kPanoramaHeight = 512;
constexpr int kFlatWidth = 1024;
constexpr int kFlatHeight = 512;

enum class Setting {
    Hall,   // dressed stone, beams, flagstones, lamp light
    Cave,   // rock, stalactites, water, cold light
    Court,  // open sky at dusk, hills, walls and paving
};

enum class LandmarkKind {
    Door,     // wooden door in a stone frame; active: open
    Arch,     // open archway to a passage; active: light beyond
    Tunnel,   // rough opening in rock
    Window,   // arched window, lets light in
    Pillar,   // round column
    Torch,    // wall torch; active: burning
    Stairs,   // steps up to an opening
    Machine,  // brass panel with dials and a lever; active: lamps lit, lever down
    Gate,     // iron gate in an arch; active: open
    Tree,     // tree with a crown
    Pool,     // water on the ground
    Desk,     // writing desk with a drawer; active: drawer open with a key in it
    Panel,    // plain metal panel, a mount for code keys
    Moon,     // the moon in the sky (Court)
};

struct Landmark {
    LandmarkKind kind;
    Rect where;           // picture pixels; for panoramas x may run past 2048 (it wraps)
    bool active = false;  // the changed state named at each kind
};

struct Palette {
    Rgb sky;     // ceiling or sky
    Rgb wall;    // walls or rock
    Rgb floor;   // floor, ground or water
    Rgb accent;  // wood, metal, plants
    Rgb light;   // colour of the lamps or the sun
};

struct PlaceSpec {
    std::uint32_t seed = 1;
    Setting setting = Setting::Hall;
    Palette palette;
    std::vector<Landmark> landmarks;
    float ambient = 0.7f;  // overall brightness, 0 .. 1
};

// A 360-degree view: a wrapping 2048 x 512 canvas.
Canvas PaintPanorama(const PlaceSpec& place);
// A fixed view (close view of part of a place).
Canvas PaintFlatView(const PlaceSpec& place, int width = kFlatWidth, int height = kFlatHeight);
// The block `r` of a place painted as `changed` (the same place with some landmarks in
// another state): an overlay that lines up with the base picture at (r.x, r.y).
Canvas PaintOverlay(const PlaceSpec& changed, bool panorama, Rect r);

}  // namespace content
