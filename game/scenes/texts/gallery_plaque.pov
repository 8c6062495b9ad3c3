// The gallery's brass plaque on its wall of dressed stone, a lamp on its bracket beside it.
// kelvane-data sets the plaque's words over the render (picture pixels 292, 94 .. 732, 384).
// On its own: povray +W1024 +H512 game/scenes/texts/gallery_plaque.pov
#version 3.7;
#include "materials.inc"
#include "texts/plate.inc"

plane { z, 0 texture { Blocks scale 0.4 } }
Plate(252, 50, 520, 370, -0.02, CastBrass)
union {
  sphere { <0, 0, 0>, 0.05 pigment { rgbf <1, 0.8, 0.5, 0.6> } finish { ambient 0 diffuse 0 emission 1.6 } no_shadow }
  cylinder { <0, 0.05, 0>, <0, 0.12, 0>, 0.018 texture { Brass } }
  cylinder { <0, 0.10, 0>, <0, 0.10, 0.15>, 0.01 texture { Brass } }
  light_source { <0, 0, -0.06>, rgb <1.0, 0.72, 0.42> * 0.8 fade_distance 0.4 fade_power 2 }
  translate <-0.40, 0.05, -0.15>
}
light_source { <-0.5, 0.9, -1.4>, rgb <1.0, 0.86, 0.66> * 1.0 }
light_source { <0.9, -0.2, -1.2>, rgb <0.45, 0.48, 0.6> * 0.3 shadowless }
