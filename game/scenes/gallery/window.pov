// The lamp gallery's window on the sea, close (gallery_window): the Heron rising over the
// moonlit water through the deep reveal. On its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/gallery/window.pov
#version 3.7;
#include "materials.inc"
#include "gallery/gallery_materials.inc"
#include "models/star_figures.inc"

camera { perspective location <0, 1.5, -3.36> look_at <0, 1.5, 0> right x * 2 up y angle 60 }
#include "gallery/night_sea.inc"
FigureInTheSky(0, -190, 150, 28)  // the Heron
// The gallery wall, thick, with a deep splayed reveal round a round-headed window.
#declare Opening = union {
  box { <-0.5, 1.03, -0.1>, <0.5, 1.82, 0.7> }
  cylinder { <0, 1.82, -0.1>, <0, 1.82, 0.7>, 0.5 }
}
difference {
  box { <-6, -1, 0>, <6, 5, 0.6> }
  object { Opening }
  object { Opening scale <1.35, 1.1, 1> translate <0, -0.11, -0.45> }
  texture { Limewash }
}
// The sill, the iron frame, its glazing bars.
box { <-0.62, 0.95, -0.25>, <0.62, 1.03, 0.6> texture { Stone } }
union {
  box { <-0.02, 1.03, 0.44>, <0.02, 2.32, 0.48> }
  #for (I, 1, 3) box { <-0.5, 1.03 + I * 0.2, 0.44>, <0.5, 1.05 + I * 0.2, 0.48> } #end
  torus { 0.49, 0.02 rotate <90, 0, 0> translate <0, 1.82, 0.46> }
  texture { DarkIron }
}
// The floor below.
plane { y, 0 texture { Flags } }
// The gallery's glow from behind.
light_source { <0.8, 2.4, -3.0>, rgb <0.9, 0.8, 0.65> * 0.35 shadowless }
