// The sea door of the drowned observatory: its bar lifted and the door swinging out onto the
// shore under the moon.
// On its own: povray +W512 +H256 game/scenes/films/sea_door.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
NightSky(16, 160, 65, 24, 0.7)
#declare Raise = 80 * Ease(0.08, 0.36);
#declare Swing = 100 * Ease(0.42, 0.85);
camera { perspective location <0.4, 1.6, 0.2 + T * 2.0> look_at <0, 1.45, 9> right x * 2 up y angle 66 }
// The lower hall of the drowned observatory: wet blocks, puddled flags, the sea door's arch.
#declare DoorHole = union { box { <-1.05, 0, 5>, <1.05, 2.3, 7> } cylinder { <0, 2.3, 5>, <0, 2.3, 7>, 1.05 } }
difference {
  box { <-3, -0.5, -2>, <3, 4.5, 6.3> }
  box { <-2.6, 0, -1.8>, <2.6, 3.8, 5.8> }
  object { DoorHole }
  texture { Blocks scale 0.7 finish { diffuse 0.45 } }
}
plane { y, 0 clipped_by { plane { z, 6.3 } } texture { Stone finish { diffuse 0.5 specular 0.5 roughness 0.015 reflection 0.08 } } }
// The door: tarred planks with iron straps, hinged on the left, swinging out onto the shore.
union {
  box { <0, 0.02, -0.06>, <2.08, 3.3, 0.06> texture { Tarred rotate <0, 0, 90> scale 0.8 } }
  #for (S, 0, 2) box { <0.05, 0.4 + S * 1.2, -0.09>, <2.0, 0.52 + S * 1.2, -0.06> texture { DarkIron } } #end
  clipped_by { object { DoorHole translate <1.04, 0, -6.0> scale <0.99, 1, 1> } }
  rotate <0, -Swing, 0> translate <-1.04, 0, 6.0>
}
// The bar in its brackets across the door, raised on its pivot.
#for (S, -1, 1, 2) box { <S * 1.25 - 0.08, 1.15, 5.7>, <S * 1.25 + 0.08, 1.45, 5.82> texture { DarkIron } } #end
union {
  box { <0, -0.07, -0.07>, <2.7, 0.07, 0.07> texture { RustIron } }
  rotate <0, 0, Raise> translate <-1.35, 1.38, 5.68>
}
cylinder { <-1.35, 1.38, 5.6>, <-1.35, 1.38, 5.82>, 0.05 texture { Brass } }
// Outside: the shore under the moon, rocks, and the surf coming in.
plane { y, -0.02 clipped_by { box { <-60, -1, 6.3>, <60, 1, 7.6> } } texture { Sand finish { diffuse 0.35 } } }
plane { y, -0.04 clipped_by { plane { -z, -7.6 } } texture { Sea pigment { rgb <0.01, 0.025, 0.04> } translate <0, 0, -T * 6> } }
// The surf running up the shore and back.
#declare Surf = 8.4 - 0.5 * sin(T * 9);
box { <-40, -0.03, Surf - 0.5>, <40, 0.0, Surf + 0.4>
  pigment { bozo turbulence 0.7 colour_map { [0 rgbt <0.85, 0.9, 0.9, 0.1>] [0.5 rgbt <0.7, 0.75, 0.78, 0.5>] [1 rgbt 1] } scale <0.6, 1, 0.2> translate <T * 2, 0, 0> }
  finish { ambient 0.15 diffuse 0.7 } no_shadow }
sphere { <0, 0, 0>, 1 scale <3, 2.2, 2> translate <-4.5, 0, 12> texture { Rock } }
sphere { <0, 0, 0>, 1 scale <2, 1.5, 2> translate <3.8, 0, 16> texture { Rock } }
// The hand lamp by the eye.
light_source { <-0.6, 1.9, -0.4 + T * 2.0>, rgb <1.0, 0.74, 0.45> * 2.0 fade_distance 3 fade_power 2 }
