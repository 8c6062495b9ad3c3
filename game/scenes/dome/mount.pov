// The telescope's mount, close (dome_mount): the lower end of the great tube with the lens
// cell and its empty seat; seated (Story_lens_placed), the last lens in it. On its own in
// povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/dome/mount.pov
#version 3.7;
#ifndef (Story_lens_placed) #declare Story_lens_placed = 0; #end
#include "materials.inc"
camera { perspective location <0.2, 0.1, -2.4> look_at <-0.12, 0.1, 0.5> right x * 2 up y angle 52 }
background { rgb <0.01, 0.015, 0.04> }
// The drum behind, the floor boards below.
plane { -z, -2.5 texture { Blocks } }
plane { y, -0.78 texture { Planks } }
// The tube, tilted up and away, its lower end towards us: an iron tube with a brass band
// and the lens cell, a deep brass ring with three clips round an empty seat.
#declare Tube = union {
  difference {
    cylinder { <0, 0, 0>, <0, 0, 3>, 0.27 }
    cylinder { <0, 0, -0.1>, <0, 0, 3.1>, 0.24 }
    texture { DarkIron }
  }
  // The inside of the tube, black, with a stop ring deep down.
  disc { <0, 0, 1.2>, z, 0.25 texture { pigment { rgb 0.01 } } }
  // The lens cell.
  difference {
    cylinder { <0, 0, -0.12>, <0, 0, 0.12>, 0.33 }
    cylinder { <0, 0, -0.2>, <0, 0, 0.2>, 0.22 }
    texture { Brass }
  }
  torus { 0.225, 0.012 rotate <90, 0, 0> translate <0, 0, 0.06> texture { Brass } }
  #for (I, 0, 2)
    box { <-0.03, 0.2, -0.14>, <0.03, 0.3, -0.11> rotate <0, 0, I * 120 + 30> texture { Brass } }
  #end
  cylinder { <0, 0, 0.5>, <0, 0, 0.6>, 0.29 texture { Brass } }
  // The trunnions the fork holds.
  cylinder { <-0.45, 0, 1.0>, <0.45, 0, 1.0>, 0.06 texture { Brass } }
}
#if (Story_lens_placed)
// The last lens, seated in its cell: a thick disc of glass catching the lamp.
#declare Tube = union {
  object { Tube }
  intersection {
    sphere { <0, 0, 1.1>, 1.2 }
    sphere { <0, 0, -1.1>, 1.2 }
    cylinder { <0, 0, -0.2>, <0, 0, 0.2>, 0.222 }
    texture { Glass pigment { rgbf <0.6, 0.8, 0.95, 0.55> } finish { reflection { 0.12, 0.5 fresnel } } }
    interior { GlassInterior }
    translate <0, 0, 0.03>
    no_shadow no_radiosity
  }
}
#end
union {
  // The tube turns on its trunnions at the top of the fork; its lower end, with the lens
  // cell, comes down towards us.
  object { Tube translate <0, 0, -1> rotate <-42, 0, 0> translate <0, 0.42, 0> }
  // The fork: brass arms rising from the turntable to the trunnions.
  #for (S, -1, 1, 2)
    box { <S * 0.45 - 0.05, -0.6, -0.12>, <S * 0.45 + 0.05, 0.45, 0.12> texture { Brass } }
    cylinder { <S * 0.45, 0.42, -0.14>, <S * 0.45, 0.42, 0.14>, 0.09 texture { Brass } }
  #end
  box { <-0.5, -0.66, -0.2>, <0.5, -0.56, 0.2> texture { Brass } }
  cylinder { <0, -0.72, 0>, <0, -0.66, 0>, 0.5 texture { Brass } }
  // The stone pier.
  cylinder { <0, -1.1, 0>, <0, -0.72, 0>, 0.42 texture { Stone } }
  rotate <0, 12, 0>
  translate <0, 0.24, 0.9>
}
// A wall lamp up on the left, the dome's cold light from above.
light_source { <-1.8, 1.2, -1.4>, rgb <1.0, 0.8, 0.55> * 1.2 }
light_source { <1.0, 4, -0.5>, rgb <0.45, 0.5, 0.7> * 0.5 shadowless }
