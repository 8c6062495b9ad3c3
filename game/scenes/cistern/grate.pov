// The culvert's grating close by: iron bars low in the wall, cold light and running water
// behind them, a puddle on the silt before it.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/cistern/grate.pov
#version 3.7;
#include "cistern/lamp_view.inc"
#include "models/culvert_grating.inc"

LampView(<0, 1.1, -2.2>, <0, 0.55, 0>, 60, 1.4)
CulvertGrating(0.85, 0.8)
difference { plane { -z, 0 } object { GrateHole } texture { WetRock } }
difference { box { <-1.15, -0.05, -0.15>, <1.15, 1.1, 0.01> } object { GrateHole } texture { Dressed } }
object { GrateBars }
difference { box { <-1.5, -1.2, 0>, <1.5, 2, 3> } box { <-0.85, -1, -1>, <0.85, 1.6, 2.6> } texture { WetRock } }
box { <-0.85, -0.8, 0.2>, <0.85, -0.15, 2.6> texture { Water } }
light_source { <0, 1.4, 2.0>, rgb Cold * 1.4 fade_distance 1.5 fade_power 2 }
plane { y, 0 texture { Silt } }
disc { <0.3, 0.005, -0.5>, y, 0.35 texture { Puddle } scale <1.6, 1, 1> }
