// The dome's shutter running open on the stars, the plaque's four figures among them.
// On its own: povray +W512 +H256 game/scenes/films/shutter.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
NightSky(15, 260, 0, 70, 0.0)
#declare Open = 24 * Ease(0.14, 0.86);
camera { perspective location <0.3, 1.2, -3.6> look_at <0, 5.6, 3.5> right x * 2 up y angle 72 }
// The four figures of the plaque among the stars, in the sky the shutter opens on.
#declare Figures = array[4][9] { {1,0,1,0,1,0,1,1,1}, {0,1,0,1,1,1,0,1,0}, {0,1,0,0,1,0,1,1,1}, {1,0,1,1,1,1,0,0,0} }
#for (F, 0, 3)
  #for (C, 0, 8)
    #if (Figures[F][C] = 1)
      sphere { <(mod(C, 3) - 1) * 16, (1 - div(C, 3)) * 16, 1000>, 7 pigment { rgb <1, 0.95, 0.8> } finish { Glow } no_shadow
               rotate <-(30 + F * 6.5), -3 + mod(F, 2) * 6, 0> }
    #end
  #end
#end
// The drum of the dome and its lamps.
difference { cylinder { <0, 0, 0>, <0, 3.2, 0>, 6.4 } cylinder { <0, -1, 0>, <0, 4, 0>, 6.0 } texture { Blocks } }
disc { <0, 0, 0>, y, 6.5 texture { Planks } }
torus { 6.0, 0.12 translate <0, 3.2, 0> texture { Wood } }
// The dome with the slit over the top, and the shutter's two leaves running apart on it.
#declare Shell = difference { sphere { <0, 0, 0>, 6.3 } sphere { <0, 0, 0>, 6.1 } plane { y, 0 } }
#declare Slit = box { <-1.2, -1, -7>, <1.2, 7, 7> }
object { Shell clipped_by { object { Slit inverse } } translate <0, 3.2, 0>
  texture { pigment { gradient y colour_map { [0 rgb <0.16, 0.18, 0.25>] [0.5 rgb <0.2, 0.22, 0.3>] [1 rgb <0.16, 0.18, 0.25>] } scale 0.3 } } }
#for (R, 0, 7)
  intersection { difference { sphere { <0, 0, 0>, 6.1 } sphere { <0, 0, 0>, 5.98 } plane { y, 0 } }
    box { <-0.07, -0.1, -7>, <0.07, 7, 7> } texture { Wood } rotate <0, R * 22.5 + 11.25, 0> translate <0, 3.2, 0> }
#end
#for (Side, -1, 1, 2)
  intersection { object { Shell scale 0.995 } box { <0, -1, -7>, <Side * 1.22, 7, 7> }
    texture { DarkIron } rotate <0, 0, Side * Open> translate <0, 3.2, 0> }
#end
// The telescope under the slit.
union {
  cylinder { <0, 0, 0>, <0, 1.2, 0>, 0.38 texture { Stone } }
  union {
    cylinder { <0, 0, -1.3>, <0, 0, 2.4>, 0.26 texture { DarkIron } }
    cylinder { <0, 0, 2.3>, <0, 0, 2.5>, 0.3 texture { Brass } }
    cylinder { <0, 0, -1.3>, <0, 0, -1.2>, 0.28 texture { Brass } }
    rotate <-52, 0, 0> translate <0, 1.5, 0>
  }
  translate <0, 0, 1.2>
}
#for (L, 0, 7)
  sphere { <0, 2.45, 5.8>, 0.12 pigment { rgb <1, 0.8, 0.5> } finish { Glow } no_shadow rotate <0, L * 45 + 22.5, 0> }
#end
#for (L, 0, 3)
  light_source { <0, 2.45, 5.2>, rgb <1.0, 0.72, 0.42> * 0.9 fade_distance 4 fade_power 2 shadowless rotate <0, L * 90 + 45, 0> }
#end
light_source { <0, 40, 0>, rgb <0.45, 0.52, 0.75> * (0.1 + 0.8 * Ease(0.2, 0.9)) }
