// The hatch bar winched up at the top of the tower and the hatch to the gallery opening.
// On its own: povray +W512 +H256 game/scenes/films/hatch.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
#declare Lift = Ease(0.08, 0.32);
#declare Drop = Ease(0.32, 0.5);
#declare Open = 105 * Ease(0.55, 0.88);
camera { perspective location <0.25, 0.9 + T * 0.2, -1.7> look_at <0, 3.0, 2.1> right x * 2 up y angle 70 }
background { rgb 0 }
// The top of the tower: round walls of blocks, the last steps, and the timber ceiling with the
// hatch to the gallery in it.
difference { cylinder { <0, -3, 1>, <0, 7, 1>, 3.6 } cylinder { <0, -4, 1>, <0, 8, 1>, 3.2 } texture { Blocks scale 0.7 } }
#for (I, 0, 6) box { <-0.6, -2 + I * 0.35, -1.6 + I * 0.45>, <1.4, -1.65 + I * 0.35, -1.15 + I * 0.45> texture { Stone } } #end
plane { y, 0.45 texture { Stone } }
difference {
  box { <-3.4, 3.0, -3>, <3.4, 3.25, 5> }
  box { <-0.75, 2.9, 1.35>, <0.75, 3.4, 2.85> }
  texture { Planks scale 0.7 }
}
#for (B, -1, 1, 2) box { <-3.4, 2.85, B * 1.45 + 2.1 - 0.08>, <3.4, 3.0, B * 1.45 + 2.1 + 0.08> texture { Wood } } #end
// The gallery above: its ceiling and a window of the night.
box { <-3.4, 6.2, -3>, <3.4, 6.4, 5> texture { Planks } }
box { <-1, 3.8, 3.55>, <1, 5.4, 3.7> pigment { rgb <0.12, 0.16, 0.28> } finish { ambient 0 diffuse 0 emission 0.6 } }
// The hatch: planks with iron straps, hinged along its far edge, swinging up.
union {
  box { <-0.74, -0.08, -1.5>, <0.74, 0, 0> texture { Planks scale 0.5 rotate <0, 90, 0> } }
  #for (S, 0, 1) box { <-0.76, -0.1, -1.3 + S * 1.0>, <0.76, -0.07, -1.18 + S * 1.0> texture { DarkIron } } #end
  sphere { <0, -0.12, -1.35>, 0.05 texture { Brass } }
  rotate <-Open, 0, 0> translate <0, 3.08, 2.85>
}
// The bar across the hatch in its two hooks: winched up out of them, then swung down to hang.
#for (S, -1, 1, 2) box { <S * 0.95 - 0.06, 2.78, 1.92>, <S * 0.95 + 0.06, 3.0, 2.22> texture { DarkIron } } #end
union {
  box { <0, -0.05, -0.05>, <2.0, 0.05, 0.05> texture { RustIron } }
  torus { 0.06, 0.015 rotate <90, 0, 0> translate <1.95, 0.1, 0> texture { DarkIron } }
  rotate <0, 0, -92 * Drop> translate <-1.0, 2.86 + 0.08 * Lift, 2.07>
}
// The winch rope from the bar's end over a pulley on the wall.
cylinder { <-1.0 + 1.95 * cos(radians(-92 * Drop)), 2.96 + 1.95 * sin(radians(-92 * Drop)), 2.07>, <2.9, 2.6, 2.1>, 0.012 pigment { rgb <0.5, 0.42, 0.3> } }
cylinder { <2.9, 2.6, 2.0>, <2.9, 2.6, 2.2>, 0.1 texture { Brass } }
// A lamp on the wall, and the night's light falling through the open hatch.
light_source { <2.4, 2.2, -0.6>, rgb <1.0, 0.72, 0.42> * 1.7 fade_distance 2.5 fade_power 2 }
sphere { <2.6, 2.2, -0.6>, 0.1 pigment { rgb <1, 0.8, 0.5> } finish { Glow } no_shadow }
light_source { <0, 5.8, 2.6>, rgb <0.5, 0.58, 0.8> * 1.4 * Ease(0.55, 0.9) fade_distance 2 fade_power 1 shadowless }
