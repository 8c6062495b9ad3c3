// Where the shore's and the flats' objects stand so that each fills its hotspot, and the
// pieces every one of their scenes shares: the sky of a place, paths, scattered rock.
#pragma once

#include <string>
#include <vector>

#include "content/generator.h"
#include "game/assets/world_art.h"

namespace world_render::shore {

// An object standing where a feature's rectangle lies in a panorama: its distance from the
// eye, its width there, and the heights over its ground of the rectangle's top and bottom rows.
struct Spot {
    double distance, width, top, bottom;
};
// With `distance` 0 the object stands where the rectangle's bottom row meets ground at
// height `ground` (over the eye's floor); otherwise at `distance`.
Spot SpotOf(const world_content::Feature& f, double ground, double distance = 0);

// A close view's camera: at height `eye` over the ground at x = z = 0, looking along +z and
// `pitch` degrees down, `fov` degrees across; and where its picture's pixels land in the scene.
struct FlatCamera {
    double eye, pitch, fov;

    std::string Text() const;
    // The direction through pixel (px, py) of the 1024 x 512 picture.
    void Ray(double px, double py, double* dx, double* dy, double* dz) const;
    // Where that pixel's ray meets the level y = `height`; throws Error if it looks up.
    void OnLevel(double px, double py, double height, double* x, double* z) const;
    // Where that pixel's ray meets the upright plane z = `depth`.
    void OnWall(double px, double py, double depth, double* x, double* y) const;
};

// An upright object filling the rectangle x1, y1 .. x2, y2 of a close view: standing on the
// ground where the rectangle's bottom row meets it; its distance, width and height.
struct Upright {
    double distance, width, height;
};
Upright UprightIn(const FlatCamera& camera, double x1, double y1, double x2, double y2);

// `object` turned to look at the eye from `distance` away, `degrees` round from +z.
std::string Placed(const std::string& object, double distance, double degrees);

// The place shown on screen `screen`; throws Error when the world names none.
const world_content::Place& PlaceShowing(int screen);

// Whether a flight of steps from `screen` to `target` goes down from where the eye stands.
bool GoesDown(int screen, int target);

// The dusk sky over a place: the moon where its Moon feature lies, or high above the band.
std::string SkyOver(const world_content::Place& place, int screen);

// A gravel path from the eye's feet to the way a feature leads to.
std::string PathTowards(const world_content::Feature& f);

// Rocks scattered at about `distance` in the columns no feature of the place uses.
std::string RocksBetween(const world_content::Place& place, double distance, unsigned seed);

// The scene macros of the boathouse's fixtures, the cliff, the lookout and the flats.
std::string ShoreFixtureMacros();

// The scene macros of the flats: the tide clock and its wheels, the posts, the wreck, the
// skylight and the way down to the lower rooms.
std::string FlatsKit();

// Every picture of the shore, the flats and the crossing, as assets.
void AddShoreAssets(std::vector<content::Asset>& rendered);

}  // namespace world_render::shore
