// The dome's shutter, close (dome_shutter): looking straight up the dome at the slit; once
// the star panels show their figures (Story_stars_set), its middle leaves run back on the
// night sky and the Heron overhead. On its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/dome/shutter.pov
#version 3.7;
#ifndef (Story_stars_set) #declare Story_stars_set = 0; #end
#include "materials.inc"
#include "models/star_figures.inc"
// Looking straight up the dome from its floor at the shutter slit running over the top.
camera { perspective location <0, 0, -1.0> look_at <0, 5, 2.2> right x * 2 up y angle 62 }
sky_sphere { pigment { gradient y colour_map { [0 rgb <0.02, 0.03, 0.07>] [1 rgb <0.005, 0.008, 0.025>] } } }
// Stars beyond the slit: the sky's pattern, and brighter ones of the figures.
sphere { <0, 0, 0>, 900 texture { pigment { granite colour_map { [0 rgbt 1] [0.62 rgbt 1] [0.64 rgb <0.9, 0.92, 1>] [0.66 rgbt 1] [1 rgbt 1] } scale 4 }
                                  finish { ambient 0 diffuse 0 emission 1 } } hollow no_shadow no_radiosity }
#declare DomeShell = difference {
  sphere { <0, 0, 0>, 6.3 }
  sphere { <0, 0, 0>, 6.1 }
  plane { y, -1.6 }
}
#declare Slit = box { <-0.75, -2, -10>, <0.75, 10, 10> }
difference {
  object { DomeShell }
  object { Slit }
  texture { pigment { gradient y colour_map { [0 rgb <0.16, 0.18, 0.25>] [0.5 rgb <0.2, 0.22, 0.3>] [1 rgb <0.16, 0.18, 0.25>] } scale 0.3 }
            normal { gradient y 0.4 scale 0.3 } }
}
// The slit's iron rails along both edges, and the ribs.
#for (S, -1, 1, 2)
  intersection {
    difference { sphere { <0, 0, 0>, 6.12 } sphere { <0, 0, 0>, 5.9 } plane { y, -1.6 } }
    box { <S * 0.75 - 0.08, -2, -10>, <S * 0.75 + 0.08, 10, 10> }
    texture { DarkIron }
  }
#end
#declare Rib = intersection {
  difference { sphere { <0, 0, 0>, 6.1 } sphere { <0, 0, 0>, 5.98 } plane { y, -1.6 } }
  box { <-0.07, -2, -7>, <0.07, 10, 7> }
  object { Slit inverse }
  texture { Wood }
}
#for (I, 0, 7)
  object { Rib rotate <0, I * 22.5 + 11.25, 0> }
#end
// The shutter's leaves: open, the middle ones run back off the slit and the lowest and the
// topmost stay, so the opening is the part of the slit the view's block holds.
#declare Leaves = union {
  intersection {
    difference { sphere { <0, 0, 0>, 6.2 } sphere { <0, 0, 0>, 6.14 } plane { y, -1.6 } }
    object { Slit }
    texture { RustIron }
  }
  #for (I, 0, 8)
    intersection {
      difference { sphere { <0, 0, 0>, 6.15 } sphere { <0, 0, 0>, 6.1 } }
      box { <-0.75, -0.04, -10>, <0.75, 0.04, 10> rotate <I * 18 - 20, 0, 0> }
      plane { y, -1.6 inverse }
      texture { DarkIron }
    }
  #end
}
#if (Story_stars_set)
  object { Leaves clipped_by { box { <-1, -10, 1.05>, <1, 10, 2.95> inverse } } }
#else
  object { Leaves }
#end
// The joints where the leaves that open meet the ones that stay.
#for (Z, 1.05, 2.95, 1.9)
  intersection {
    difference { sphere { <0, 0, 0>, 6.22 } sphere { <0, 0, 0>, 6.0 } }
    box { <-0.75, -10, Z - 0.03>, <0.75, 10, Z + 0.03> }
    texture { DarkIron }
  }
#end
// The lamps round the drum below light the dome from beneath.
light_source { <-3, -1.2, -2>, rgb <1.0, 0.75, 0.45> * 0.8 shadowless }
light_source { <3, -1.2, 1>, rgb <1.0, 0.75, 0.45> * 0.6 shadowless }
#if (Story_stars_set)
  // The Heron overhead, in the open slit.
  FigureInTheSky(0, 0, 1800, 80)
#end
