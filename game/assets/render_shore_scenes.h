// The scenes of the shore, the tide flats and the crossing, as scene text for the renderer:
// the island at dusk under tonight's full moon. Each scene is made by one function from the
// state it shows, so a picture and its changed block (a gate open, an item lying there) are
// the same scene but for that one thing. Used by AddShore and by its tests.
#pragma once

#include <string>

namespace world_render::shore {

// The state a shore picture is drawn in.
struct ShoreState {
    bool gateOpen = false;     // the observatory gate unlocked and swung open
    bool seaDoorOpen = false;  // the sea door in the cliff open
    bool itemThere = false;    // the close view's item lies in its place (key, crank, watch)
};

// The shore panorama of screen 100 .. 105.
std::string ShorePanoramaScene(int screen, const ShoreState& state);
// The shore's close view of screen 151 .. 157.
std::string ShoreViewScene(int screen, const ShoreState& state);

// The tide flats' panorama of screen 600 .. 603 at `tide` (1 high water .. 4 the lowest ebb).
std::string TidePanoramaScene(int screen, int tide);
// The flats' close view of screen 650 .. 654.
std::string TideViewScene(int screen);
// The tide clock's close view (650) with its five wheels turned to `setting` (0 .. 4 each).
std::string TideClockScene(const int* setting);
// The tide clock's wheels turned to 0 .. values-1, side by side, one frame of
// `frameWidth` x `frameHeight` each, as the close view shows one wheel in its window.
std::string TideWheelStripScene(int values, int frameWidth, int frameHeight);

// The opening's crossing by boat, its causeway, and the island at dawn with the light lit.
std::string BoatScene();
std::string CausewayScene();
std::string DawnScene();

// The island's shared scene parts: the materials, sky, sea and the objects the scenes build from.
std::string ShoreKit();

}  // namespace world_render::shore
