// The keeper's cylinder recorder on his table, with its horn and spare cylinders.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/drowned/recorder.pov
#version 3.7;
#include "drowned/close_view.inc"
#include "models/cylinder_recorder.inc"

DrownedCloseUp(<0, 1.6, -3.0>, <0, 1.35, 0>, 58, 1.7, 0.7)
box { <-1.4, 0.6, -0.5>, <1.4, 0.66, 0.6> texture { Wood scale 3 } }
object { Recorder() scale 1.25 rotate <0, -12, 0> translate <-0.02, 0.66, 0> }
box { <0.55, 0.66, -0.25>, <1.05, 0.76, 0.2> texture { Wood } }
#for (K, 0, 3) cylinder { <0.63 + K * 0.12, 0.76, 0>, <0.63 + K * 0.12, 0.9, 0>, 0.045 pigment { rgb <0.42, 0.26, 0.11> } finish { specular 0.5 roughness 0.01 } } #end
cylinder { <-0.85, 0.66, 0.1>, <-0.85, 0.7, 0.1>, 0.12 texture { Brass } }
