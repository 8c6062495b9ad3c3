// The scenes of the depths: the cistern under the observatory and the drowned lower
// observatory, each built from one function of the place and the story's state, so that an
// overlay (water gone, sea gate broken, the lens in its cradle) differs from its base only in
// what changed.
#pragma once

#include <string>

namespace world_render::depths {

// What the story can change in the depths' pictures.
struct State {
    bool drained = false;       // the cistern basin pumped dry
    bool seaGateOpen = false;   // the sea gate broken open, the waves beyond it
    bool lowestEbb = false;     // the tide at its lowest: the water gone from the waterline
    bool lensInCradle = false;  // the wrapped lens lying in the cradle's arms
};

// The povray scene of a place of the depths (its number in the world) in a state; throws
// Error for a place the depths do not draw.
std::string SceneOf(int place, const State& state);

}  // namespace world_render::depths
