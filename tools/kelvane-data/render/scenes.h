// The 3D scenes of the world's places and things, as povray scene text (objects, lights and
// camera; the header comes from SceneText). Each scene puts what the player can click where
// the world's hotspot for it lies.
#pragma once

#include <string>
#include <vector>

namespace render {

// What a panorama shows at a hotspot: picture columns x1 .. x2 and rows y1 .. y2.
enum class Fixture {
    Archway,    // an opening in the wall to a lit passage
    Telescope,  // the great telescope on its pier and mount
};
struct FixtureAt {
    Fixture what;
    int x1, y1, x2, y2;
};

// The observatory dome seen from the middle of its floor: a round stone drum under a ribbed
// dome with its shutter closed, lamps on the wall, and the fixtures at their columns of a
// 2048 x 512 panorama.
std::string DomeScene(const std::vector<FixtureAt>& fixtures);

// The crank handle of the pump and the winch, lying on a bench under a lamp, filling a
// 1024 x 512 close view: a socket for the shaft, a bent iron arm and a turned wooden grip.
std::string CrankCloseUpScene();


}  // namespace render
