// The stair from the lamp gallery to the dome, close (gallery_stair): steep stone steps
// between the walls up to the dome's trapdoor. On its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/gallery/stair.pov
#version 3.7;
#include "materials.inc"
#include "gallery/gallery_materials.inc"

camera { perspective location <0, 1.55, -3.2> look_at <0, 2.05, 0> right x * 2 up y angle 56 }
background { rgb 0 }
plane { y, 0 texture { Flags } }
// The gallery's wall with the doorway.
difference {
  box { <-6, -1, 0>, <6, 6, 0.5> }
  box { <-0.62, -0.1, -1>, <0.62, 2.7, 1> }
  texture { Limewash }
}
box { <-0.8, 2.7, -0.06>, <0.8, 2.92, 0.1> texture { Stone } }
// The steps and the well's walls.
union {
  #for (K, 0, 15)
    box { <-0.6, -0.1, 0.25 + K * 0.27>, <0.6, 0.2 * (K + 1), 5> texture { Stone } }
  #end
  box { <-0.9, -0.1, 0>, <-0.6, 6, 5> texture { Blocks scale 0.7 } }
  box { <0.6, -0.1, 0>, <0.9, 6, 5> texture { Blocks scale 0.7 } }
  // The iron rail on the right wall, following the steps.
  cylinder { <0.55, 0.95, 0.2>, <0.55, 3.95, 4.2>, 0.025 texture { DarkIron } }
  #for (I, 0, 3) cylinder { <0.55, 0.95 + I * 1.0, 0.2 + I * 1.333>, <0.6, 0.95 + I * 1.0, 0.2 + I * 1.333>, 0.02 texture { DarkIron } } #end
  // The vault over the steps.
  box { <-0.9, 0, -0.1>, <0.9, 0.2, 6> rotate <-36.5, 0, 0> translate <0, 3.0, 0.3> texture { Blocks scale 0.7 } }
  // The trapdoor at the top: boards and iron straps, a line of the dome's light round it.
  box { <-0.6, 3.36, 4.3>, <0.6, 3.4, 5> texture { Planks rotate <0, 90, 0> } }
}
// The lamps of the gallery behind, and the dome's cold light from the top.
light_source { <0.3, 1.0, -2.4>, rgb <1.0, 0.78, 0.5> * 0.8 }
light_source { <0, 3.3, 4.6>, rgb <0.45, 0.52, 0.72> * 0.5 fade_distance 1.5 fade_power 2 }
