// The observatory gate in the shore wall swinging open on the courtyard.
// On its own: povray +W512 +H256 game/scenes/films/gate.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
NightSky(13, 160, 160, 35, 1.1)
#declare Swing = 98 * Ease(0.12, 0.86);
camera { perspective location <0.3 - T * 0.3, 1.7, -10 + T * 3> look_at <0, 2.7, 8> right x * 2 up y angle 62 }
// The ground: the path of worn flags up to the gate and the courtyard beyond, sand on either side.
plane { y, 0 texture { Sand scale 3 } }
box { <-1.3, -0.1, -12>, <1.3, 0.02, 20> texture { Stone scale 0.8 } }
// The shore wall, its gate pillars with their caps, and the padlock's chain hanging loose.
difference {
  box { <-14, 0, -0.3>, <14, 3.0, 0.3> }
  box { <-1.25, -1, -1>, <1.25, 4, 1> }
  texture { Blocks scale 1.2 }
}
#for (Side, -1, 1, 2)
  box { <-0.3, 0, -0.45>, <0.3, 3.5, 0.45> translate <Side * 1.55, 0, 0> texture { Stone } }
  sphere { <Side * 1.55, 3.75, 0>, 0.28 texture { Stone } }
#end
// The gate: two leaves of iron bars with rails and spear heads, swinging in on their hinges.
#declare Leaf = union {
  #for (I, 0, 7) cylinder { <0.08 + I * 0.152, 0.05, 0>, <0.08 + I * 0.152, 2.75, 0>, 0.022 }
    cone { <0.08 + I * 0.152, 2.75, 0>, 0.045, <0.08 + I * 0.152, 2.95, 0>, 0 } #end
  #for (H, 0, 2) box { <0, 0.25 + H * 1.1, -0.03>, <1.2, 0.33 + H * 1.1, 0.03> } #end
  box { <0, 0, -0.035>, <0.06, 2.8, 0.035> }
  texture { RustIron }
}
object { Leaf rotate <0, -Swing, 0> translate <-1.22, 0, 0.05> }
object { Leaf scale <-1, 1, 1> rotate <0, Swing, 0> translate <1.22, 0, 0.05> }
torus { 0.06, 0.012 rotate <90, 0, 0> translate <-0.05, 1.35 - 0.9 * Ease(0.05, 0.2), -0.1> texture { DarkIron } }
// The observatory across the courtyard: its round hall, the tower and dome, a lit doorway.
union {
  cylinder { <0, 0, 0>, <0, 7, 0>, 7 texture { Blocks scale 1.4 } }
  cylinder { <0, 7, 0>, <0, 7.4, 0>, 7.3 texture { Stone } }
  cylinder { <0, 7, 0>, <0, 16, 0>, 3 translate <0, 0, 1> texture { Blocks scale 1.4 } }
  sphere { <0, 16, 1>, 3.2 clipped_by { plane { -y, -16 } } texture { DarkIron } }
  box { <-1.1, 0, -7.1>, <1.1, 2.8, -6.6> pigment { rgb <1, 0.72, 0.4> } finish { ambient 0 diffuse 0 emission 1.2 } }
  box { <-3.6, 3.2, -6.3>, <-2.8, 4.6, -6.0> rotate <0, 8, 0> pigment { rgb <0.9, 0.6, 0.3> } finish { ambient 0 diffuse 0 emission 0.9 } }
  translate <0, 0, 22>
}
light_source { <0, 2.2, 14.3>, rgb <1.0, 0.72, 0.42> * 2.2 fade_distance 5 fade_power 2 shadowless }
