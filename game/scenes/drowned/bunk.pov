// The keeper's bunk in its recess, the blanket thrown back, a book on it and his mug on the
// ledge.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/drowned/bunk.pov
#version 3.7;
#include "drowned/close_view.inc"

DrownedCloseUp(<0, 1.6, -2.4>, <0, 0.6, 0>, 60, 1.6, 0.6)
box { <-1.3, 0, -0.45>, <1.3, 0.45, 0.6> texture { Wood scale 3 } }
box { <-1.25, 0.45, -0.42>, <1.25, 0.55, 0.58> pigment { rgb <0.28, 0.24, 0.18> } normal { wrinkles 0.3 scale 0.1 } }
// The blanket thrown back, sodden, and the pillow.
box { <-0.6, 0.55, -0.44>, <1.22, 0.6, 0.56> pigment { checker rgb <0.32, 0.1, 0.08>, rgb <0.22, 0.08, 0.06> scale 0.12 } normal { wrinkles 0.8 scale 0.15 } }
sphere { <-0.95, 0.62, 0.15>, 1 scale <0.25, 0.09, 0.35> pigment { rgb <0.55, 0.52, 0.45> } normal { wrinkles 0.5 scale 0.06 } }
box { <-1.35, 0, -0.5>, <-1.25, 1.6, 0.6> texture { Wood scale 3 } }
box { <1.25, 0, -0.5>, <1.35, 1.6, 0.6> texture { Wood scale 3 } }
box { <-1.35, 0.3, -0.5>, <1.35, 0.45, -0.42> texture { Wood scale 3 } }
// A book left on the blanket, and the keeper's mug on the ledge.
box { <0.5, 0.63, -0.15>, <0.72, 0.67, 0.15> rotate <0, 20, 0> pigment { rgb <0.25, 0.12, 0.08> } }
cylinder { <1.0, 0.55, 0.45>, <1.0, 0.66, 0.45>, 0.045 pigment { rgb <0.7, 0.68, 0.6> } finish { specular 0.5 } }
