// The builders' charts on their table: a chart of the coast spread out and stained by the sea,
// another over it, rolls, dividers and silt.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/drowned/charts.pov
#version 3.7;
#include "drowned/close_view.inc"

DrownedCloseUp(<0, 2.2, -2.3>, <0, 0.7, 0.1>, 60, 1.6, 1.0)
box { <-1.3, 0.78, -0.6>, <1.3, 0.86, 0.6> texture { Wood scale 3 } }
box { <-1.2, 0, -0.5>, <-1.1, 0.78, -0.4> texture { Wood } }
box { <1.1, 0, -0.5>, <1.2, 0.78, -0.4> texture { Wood } }
// A chart of the coast spread out, stained by the sea, another over it, rolls and dividers.
box { <-0.95, 0.861, -0.42>, <0.35, 0.863, 0.4> rotate <0, 5, 0>
  texture { pigment { bozo turbulence 0.5 colour_map { [0 rgb <0.78, 0.70, 0.52>] [0.55 rgb <0.72, 0.64, 0.46>] [0.7 rgb <0.5, 0.42, 0.28>] [1 rgb <0.45, 0.38, 0.25>] } scale 0.12 } normal { wrinkles 0.3 scale 0.05 } } }
box { <-0.95, 0.8635, -0.42>, <0.35, 0.8638, 0.4> rotate <0, 5, 0>
  texture { pigment { gradient x colour_map { [0 rgbt <0.25, 0.2, 0.15, 0>] [0.03 rgbt <0.25, 0.2, 0.15, 0>] [0.04 rgbt 1] [1 rgbt 1] } scale 0.2 } } }
union {
  torus { 0.18, 0.006 translate <-0.35, 0.865, 0.0> }
  torus { 0.12, 0.006 translate <-0.35, 0.865, 0.0> }
  cylinder { <-0.75, 0.865, 0.05>, <0.05, 0.865, -0.08>, 0.004 }
  cylinder { <-0.5, 0.865, -0.35>, <-0.1, 0.865, 0.3>, 0.004 }
  pigment { rgb <0.25, 0.18, 0.12> } rotate <0, 5, 0>
}
box { <0.1, 0.864, -0.3>, <1.05, 0.867, 0.35> rotate <0, -12, 0>
  texture { pigment { granite colour_map { [0 rgb <0.8, 0.74, 0.58>] [1 rgb <0.7, 0.62, 0.45>] } scale 0.3 } } }
cylinder { <0.35, 0.93, 0.42>, <1.15, 0.93, 0.36>, 0.065 texture { Paper } }
cylinder { <-1.15, 0.92, 0.45>, <-0.5, 0.92, 0.5>, 0.055 texture { Paper } }
union {
  cylinder { <0, 0, 0>, <0.22, 0, 0.02>, 0.006 }
  cylinder { <0, 0, 0>, <0.2, 0, -0.1>, 0.006 }
  sphere { <0, 0, 0>, 0.015 }
  texture { Verdigris } translate <0.45, 0.875, -0.05>
}
sphere { <0.2, 0.86, 0.3>, 1 scale <0.4, 0.03, 0.2> texture { Silt } }
