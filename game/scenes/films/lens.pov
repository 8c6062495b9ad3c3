// The last lens carried up the lift into the telescope's cell and the light waking in it.
// On its own: povray +W512 +H256 game/scenes/films/lens.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
#declare Rise = Ease(0.08, 0.62);
#declare Light = Ease(0.66, 0.95);
camera { perspective location <1.7, 1.0, -1.9> look_at <0, 0.8, -0.5> right x * 2 up y angle 60 }
background { rgb 0 }
// The dome's floor and drum, dim.
disc { <0, 0, 0>, y, 8 texture { Planks } }
difference { cylinder { <0, 0, 0>, <0, 4, 0>, 6.4 } cylinder { <0, -1, 0>, <0, 5, 0>, 6.0 } texture { Blocks } }
// The telescope's lower end: the tube with its brass cell open below, on its fork.
#declare Axis = <0, -sin(radians(38)), cos(radians(38))>;
union {
  cylinder { <0, 0, 0.35>, <0, 0, 3.5>, 0.3 texture { DarkIron } }
  difference { cylinder { <0, 0, 0>, <0, 0, 0.4>, 0.36 } cylinder { <0, 0, -1>, <0, 0, 1>, 0.28 } texture { Brass } }
  torus { 0.32, 0.03 rotate <90, 0, 0> translate <0, 0, 1.2> texture { Brass } }
  cylinder { <-0.45, 0, 1.0>, <0.45, 0, 1.0>, 0.06 texture { Brass } }
  rotate <-38, 0, 0> translate <0, 0.9, -0.4>
}
#for (S, -1, 1, 2) box { <S * 0.45 - 0.06, 0, 0.35>, <S * 0.45 + 0.06, 1.5, 0.5> texture { Brass } } #end
// The last lens in its brass ring, carried up the lift into the cell.
#declare LensGlass = intersection { sphere { <0, 0, -0.968>, 1.0 } sphere { <0, 0, 0.968>, 1.0 } }
union {
  object { LensGlass texture { pigment { rgbf <0.9, 0.95, 1, 0.9> + Light * <0.1, -0.1, -0.4, -0.5> }
           finish { ambient 0 diffuse 0.05 specular 0.9 roughness 0.003 reflection { 0.05, 0.3 fresnel } emission Light * 1.2 } }
           interior { GlassInterior } }
  torus { 0.255, 0.028 rotate <90, 0, 0> texture { Brass } }
  // The lift's fork under the ring.
  #for (S, -1, 1, 2) cylinder { <S * 0.26, 0, 0>, <S * 0.26, 0, -0.5>, 0.02 texture { Brass } } #end
  translate <0, 0, -1.2 * (1 - Rise) + 0.12>
  rotate <-38, 0, 0> translate <0, 0.9, -0.4>
}
// The lift's rods below.
cylinder { <0, 0, 0>, <0, 0.9 - 0.75 * (1 - Rise), 0>, 0.03 translate <0.2, 0, -0.2> texture { Brass } }
cylinder { <0, 0, 0>, <0, 0.9 - 0.75 * (1 - Rise), 0>, 0.03 translate <-0.2, 0, -0.2> texture { Brass } }
// Lamps of the drum, and the light waking in the glass.
light_source { <2.5, 2.5, -2.5>, rgb <1.0, 0.74, 0.45> * 1.2 fade_distance 3 fade_power 2 }
light_source { <-3, 3, 2>, rgb <0.4, 0.45, 0.6> * 0.3 shadowless }
light_source { <0, 0.9, -0.4> + Axis * 0.1, rgb <1, 0.82, 0.5> * 3 * Light fade_distance 1 fade_power 2 shadowless }
