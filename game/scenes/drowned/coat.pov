// The keeper's oilskin coat on its hook, his sou'wester on the peg beside it.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/drowned/coat.pov
#version 3.7;
#include "drowned/close_view.inc"

DrownedCloseUp(<0, 1.3, -3.2>, <0, 1.25, 0>, 56, 1.8, 0.25)
box { <-1.2, 1.9, -0.02>, <1.2, 2.02, 0.25> texture { Wood scale 2 } }
cylinder { <0, 1.92, 0.0>, <0, 1.92, -0.14>, 0.018 texture { RustIron } }
cylinder { <0, 1.92, -0.14>, <0, 1.98, -0.16>, 0.018 texture { RustIron } }
cylinder { <-0.7, 1.95, 0.0>, <-0.7, 1.95, -0.12>, 0.02 texture { Wood } }
// The sou'wester on the left peg.
union { cone { <0, 0, 0>, 0.14, <0, 0.16, 0>, 0.1 } cylinder { <0, 0, 0>, <0, 0.012, 0>, 0.26 } texture { Oilskin } rotate <20, 0, 12> translate <-0.7, 1.82, -0.2> }
// The coat: shoulders on the hook, the body falling to the hem, sleeves, buttons and a collar.
union {
  sphere { <0, 1.86, -0.13>, 1 scale <0.26, 0.08, 0.1> }
  cone { <0, 1.86, -0.13>, 0.24, <0, 0.72, -0.16>, 0.36 scale <1, 1, 0.45> translate <0, 0, -0.08> }
  cylinder { <-0.27, 1.82, -0.14>, <-0.42, 1.0, -0.2>, 0.085 }
  cylinder { <0.27, 1.82, -0.14>, <0.42, 1.0, -0.2>, 0.085 }
  cylinder { <-0.42, 1.0, -0.2>, <-0.43, 0.96, -0.2>, 0.09 }
  cylinder { <0.42, 1.0, -0.2>, <0.43, 0.96, -0.2>, 0.09 }
  torus { 0.1, 0.035 scale <1.5, 1, 0.9> translate <0, 1.9, -0.16> }
  box { <-0.26, 1.05, -0.33>, <-0.08, 1.12, -0.27> rotate <0, 0, -3> }
  box { <0.08, 1.05, -0.33>, <0.26, 1.12, -0.27> rotate <0, 0, 3> }
  texture { Oilskin }
}
box { <-0.008, 0.75, -0.25>, <0.008, 1.8, -0.22> pigment { rgb <0.2, 0.15, 0.05> } }
#for (Y, 0.95, 1.7, 0.2) cylinder { <0.06, Y, -0.26>, <0.06, Y, -0.22>, 0.02 texture { Brass } } #end
