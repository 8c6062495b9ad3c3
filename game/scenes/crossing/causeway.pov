// The opening's causeway: a line of stones through the breaking waves out to the island's stairs.
// kelvane-data renders it as the opening's second picture; on its own in povray:
//   povray +W1024 +H512 game/scenes/crossing/causeway.pov
#version 3.7;
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "models/island.inc"
FlatCamera(1.7, 4, 60)
DuskSky(35, 20, 2.2, 1.0)
plane { y, -0.3 texture { Sea normal { waves 0.9 frequency 1.4 scale <2, 1, 1.2> turbulence 0.5 } } }
object { Island(0) translate <0, 0, 95> }
// The stairs up from the end of the causeway.
object { StairsUp(4, 8, 6) translate <0, 0, 50> }
// Foam where the waves break over the stones.
#declare Foam = texture { pigment { granite colour_map { [0 rgbt 1] [0.55 rgbt 1] [0.7 rgbt <0.8, 0.85, 0.9, 0.3>] [1 rgb <0.85, 0.9, 0.95>] } scale 0.4 } finish { diffuse 0.9 } }
// The causeway: flat-topped stones in a line out to the island, awash at their sides.
#for (I, 0, 33)
  #local Z = 1.5 + I * 1.45;
  #local X = sin(I * 1.7) * 0.12;
  object { Boulder(300 + I) scale <1.3, 0.55, 0.7> translate <X, -0.25, Z> texture { Stone } }
  cylinder { <X, -0.29, Z>, <X, -0.24, Z>, 1.1 texture { Foam } }
#end
