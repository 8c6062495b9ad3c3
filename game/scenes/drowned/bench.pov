// The builders' bench: tools, a jar, an old lamp and a mallet, under silt.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/drowned/bench.pov
#version 3.7;
#include "drowned/close_view.inc"

DrownedCloseUp(<0, 1.7, -2.0>, <0, 0.75, 0>, 60, 1.5, 0.8)
box { <-1.4, 0.72, -0.55>, <1.4, 0.82, 0.55> texture { Wood scale 3 } }
box { <-1.3, 0, -0.4>, <-0.95, 0.72, 0.4> texture { Ashlar } }
box { <0.95, 0, -0.4>, <1.3, 0.72, 0.4> texture { Ashlar } }
cylinder { <-0.7, 0.82, 0.1>, <-0.7, 1.12, 0.1>, 0.1 pigment { rgbf <0.3, 0.42, 0.3, 0.55> } finish { specular 0.7 roughness 0.01 } }
union {
  cylinder { <0, 0, 0>, <0, 0.1, 0>, 0.09 }
  cylinder { <0, 0.1, 0>, <0, 0.25, 0>, 0.06 pigment { rgbf <0.8, 0.8, 0.7, 0.6> } }
  cone { <0, 0.25, 0>, 0.08, <0, 0.33, 0>, 0.02 }
  texture { Verdigris } translate <-0.25, 0.82, 0.25>
}
union { cylinder { <0, 0, 0>, <0.45, 0, 0>, 0.018 texture { Wood } } box { <0.45, -0.05, -0.04>, <0.6, 0.05, 0.04> texture { RustIron } } rotate <0, -20, 0> translate <0.1, 0.84, -0.2> }
box { <0.3, 0.82, 0.0>, <0.75, 0.84, 0.35> rotate <0, 10, 0> texture { Verdigris } }
cylinder { <0.85, 0.835, -0.3>, <1.2, 0.835, -0.1>, 0.015 texture { RustIron } }
sphere { <0.1, 0.82, 0.0>, 1 scale <0.5, 0.02, 0.3> texture { Silt } }
sphere { <0.9, 0.9, 0.2>, 1 scale <0.06, 0.06, 0.06> texture { Barnacled } }
