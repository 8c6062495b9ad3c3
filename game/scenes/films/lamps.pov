// The gallery's 36 lamps lighting in turn round the ring.
// On its own: povray +W512 +H256 game/scenes/films/lamps.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
camera { perspective location <0.3 - T * 0.6, 3.0, -2.4> look_at <0, 1.7, 2.5> right x * 2 up y angle 84 }
background { rgb 0 }
// The lamp gallery: a ring of blocks under a timber ceiling, its windows on the night.
difference { cylinder { <0, 0, 0>, <0, 4.6, 0>, 5.4 } cylinder { <0, -1, 0>, <0, 5, 0>, 5.0 }
  #for (W, 0, 5) box { <-0.45, 2.9, 4.5>, <0.45, 4.1, 6> rotate <0, W * 60 + 30, 0> } #end
  texture { Blocks scale 0.7 } }
#for (W, 0, 5) box { <-0.45, 2.9, 5.2>, <0.45, 4.1, 5.25> rotate <0, W * 60 + 30, 0> pigment { rgb <0.06, 0.08, 0.16> } finish { ambient 0 diffuse 0 emission 0.5 } } #end
disc { <0, 0, 0>, y, 5.5 texture { Planks } }
disc { <0, 4.6, 0>, -y, 5.5 texture { Planks rotate <0, 90, 0> } }
cylinder { <0, 0, 0>, <0, 1.0, 0>, 0.9 texture { Stone } }
torus { 4.95, 0.05 translate <0, 1.55, 0> texture { Brass } }

// The lamps, lit in turn round the ring from the first at T = 0.08 to the last at T = 0.86 (the
// sound of each lighting is timed to these moments): a brass cup on a bracket, a glass chimney,
// and a flame.
#macro LampMoment(K) (0.08 + 0.78 * K / 35) #end
#for (K, 0, 35)
  #declare On = Ease(LampMoment(K), LampMoment(K) + 0.03);
  union {
    cylinder { <0, 0, 0>, <0, 0, 0.3>, 0.03 texture { Brass } }
    cylinder { <0, -0.12, 0>, <0, 0.03, 0>, 0.11 texture { Brass } }
    cylinder { <0, 0.03, 0>, <0, 0.42, 0>, 0.085 pigment { rgbf <0.5, 0.5, 0.45, 0.7> + On * <0.5, 0.3, 0.0, -0.5> } finish { ambient 0 diffuse 0.2 specular 0.7 emission On * 0.9 } no_shadow }
    sphere { <0, 0.16, 0>, 0.05 scale <1, 1.8, 1> pigment { rgb <1, 0.7, 0.3> } finish { Glow } scale On + 0.001 no_shadow }
    translate <0, 2.1, -4.7> rotate <0, 180 + K * 10, 0>
  }
#end
// Their light on the walls and floor: one source to each six lamps, as bright as those lit.
#for (S, 0, 5)
  #declare LampsLit = 0;
  #for (K, S * 6, S * 6 + 5) #declare LampsLit = LampsLit + Ease(LampMoment(K), LampMoment(K) + 0.03); #end
  light_source { <0, 2.3, -4.0>, rgb <1.0, 0.7, 0.38> * LampsLit * 0.28 fade_distance 2.5 fade_power 2 shadowless rotate <0, 180 + S * 60 + 25, 0> }
#end
light_source { <0, 4, 0>, rgb <0.3, 0.35, 0.5> * 0.12 shadowless }
