// The island from the sea, its gallery lit and its light sweeping the water.
// On its own: povray +W512 +H256 game/scenes/films/beam.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
#declare Lit = 1;
#include "films/island.inc"
NightSky(12, 220, -40, 30, 0.6)
camera { perspective location <-30 + T * 25, 3.5, -40 + T * 20> look_at <0, 20, 170> right x * 2 up y angle 55 }
plane { y, 0 texture { Sea translate <T * 2, 0, T * 6> } }
#declare Sweep = -75 + T * 110;
union {
  object { Island }
  // The beam from the gallery: two nested cones of glowing haze, turning.
  union {
    cone { <0, 0, 0>, 0.8, <0, 0, 320>, 26 hollow pigment { rgbt <1, 0.86, 0.55, 0.93> } finish { Glow } no_shadow }
    cone { <0, 0, 0>, 0.5, <0, 0, 320>, 12 hollow pigment { rgbt <1, 0.9, 0.65, 0.85> } finish { Glow } no_shadow }
    rotate <2, Sweep, 0> translate <0, 35.4, 0>
  }
  light_source { <0, 35.4, 0>, rgb <1, 0.85, 0.6> * 2.5 spotlight point_at <0, 0, 160> radius 8 falloff 16 shadowless rotate <0, Sweep, 0> }
  light_source { <0, 35.4, 0>, rgb <1, 0.8, 0.5> * 1.2 fade_distance 20 fade_power 2 shadowless }
  rotate <0, 15, 0> translate <0, 0, 170>
}
