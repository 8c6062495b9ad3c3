// The cistern pump worked four turns of its crank and the basin draining.
// On its own: povray +W512 +H256 game/scenes/films/pump.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
#declare Turn = T * 4 * 360;
#declare Level = -0.35 - 2.3 * Ease(0.12, 0.95);
camera { perspective location <-0.9 + T * 0.3, 1.8, -3.4> look_at <1.0, -0.4, 3> right x * 2 up y angle 72 }
background { rgb 0 }
// The cistern: a barrel vault of blocks over the upper walk and the deep basin beyond it.
difference {
  box { <-5, -3.4, -4>, <5, 4.6, 9> }
  union {
    box { <-4.5, 0, -3.6>, <4.5, 2.4, 8.6> }
    cylinder { <0, 2.4, -3.6>, <0, 2.4, 8.6>, 4.5 }
    box { <-4.5, -3.2, 0.6>, <4.5, 0.1, 8.6> }
  }
  texture { Blocks scale 0.8 }
}
box { <-4.6, -3.2, 0.5>, <4.6, -3.0, 8.7> texture { Stone } }
// Steps down into the basin along its left wall.
#for (I, 0, 9) box { <-4.5, -3 + I * 0.3, 0.6 + (9 - I) * 0.5>, <-3.4, -2.7 + I * 0.3, 8.6> texture { Stone } } #end
// The water, draining.
plane { y, Level clipped_by { box { <-4.5, -3.1, 0.6>, <4.5, 0.2, 8.6> } } texture { Water translate <0, 0, T * 2> } }
// A wet line where the water stood.
box { <-4.51, -0.42, 0.6>, <4.51, -0.35, 8.61> pigment { rgb <0.06, 0.07, 0.06> } }
// The pump on the walk: a base, the iron barrel, the flywheel turned by its crank, the rod
// going up and down, the suction pipe down into the basin and the spout over the channel.
union {
  box { <-0.4, 0, -0.4>, <0.4, 0.15, 0.4> texture { Stone } }
  cylinder { <0, 0.15, 0>, <0, 1.25, 0>, 0.2 texture { DarkIron } }
  cylinder { <0, 1.25, 0>, <0, 1.32, 0>, 0.25 texture { Brass } }
  cylinder { <0, 1.3 + 0.12 * sin(radians(Turn)), 0>, <0, 1.75 + 0.12 * sin(radians(Turn)), 0>, 0.03 texture { Brass } }
  box { <0.22, 0.85, -0.05>, <0.42, 1.05, 0.05> texture { DarkIron } }
  union {
    torus { 0.48, 0.035 rotate <0, 0, 90> }
    #for (S, 0, 5) cylinder { <0, 0, 0>, <0, 0.47, 0>, 0.018 rotate <S * 60, 0, 0> } #end
    cylinder { <-0.05, 0, 0>, <0.05, 0, 0>, 0.07 }
    cylinder { <0, 0, 0>, <0.12, 0, 0>, 0.03 translate <0.05, 0.4, 0> }
    cylinder { <0, 0, 0>, <0.18, 0, 0>, 0.03 translate <0.17, 0.4, 0> texture { Wood } }
    texture { RustIron }
    rotate <Turn, 0, 0> translate <0.5, 0.95, 0>
  }
  cylinder { <0, 0.35, 0.15>, <0, 0.35, 0.75>, 0.07 texture { RustIron } }
  cylinder { <0, 0.35, 0.75>, <0, -2.9, 0.75>, 0.07 texture { RustIron } }
  cylinder { <-0.18, 1.05, 0>, <-0.9, 1.05, 0>, 0.05 texture { RustIron } }
  // The water gushing from the spout at each stroke.
  cylinder { <-0.9, 1.0, 0>, <-0.9, 0.0, 0>, 0.035 * (0.4 + 0.6 * max(0, sin(radians(Turn)))) * (T > 0.05 & T < 0.97)
    pigment { rgbf <0.55, 0.62, 0.62, 0.5> } finish { specular 0.6 } no_shadow }
  translate <1.3, 0, -0.15>
}
box { <0.2, -0.2, -1.2>, <0.6, 0.01, 0.3> pigment { rgb 0.03 } }
// The hand lamp's light from beside the eye, and a faint cold light down the shaft of the stair.
light_source { <-1.4, 2.0, -3.0>, rgb <1.0, 0.74, 0.45> * 2.6 fade_distance 4 fade_power 2 }
light_source { <2, 4, 7>, rgb <0.3, 0.38, 0.5> * 0.5 shadowless }
