// The opening's crossing: the boat on the night sea, the island ahead under the moon.
// kelvane-data renders it as the opening's first picture; on its own in povray:
//   povray +W1024 +H512 game/scenes/crossing/boat.pov
#version 3.7;
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "models/island.inc"
#include "models/boat.inc"
FlatCamera(1.2, -3, 55)
DuskSky(-17, 9, 1.8, 1.0)
SeaAt(0)
object { Island(0) scale 1.3 translate <0, 0, 230> rotate <0, 8, 0> }
// The boat crossing from the right, the boatman at the oars.
object { Boat rotate <0, -80, 0> translate <1.5, 0.3, 11> }
