// The keeper's settle in the lamp gallery, close (gallery_bench): the bench under the foot of
// a window, a folded blanket and the taper box on it. On its own in povray, from the
// checkout's root:
//   povray +W1024 +H512 game/scenes/gallery/bench.pov
#version 3.7;
#include "materials.inc"
#include "gallery/gallery_materials.inc"

camera { perspective location <0, 1.25, -2.5> look_at <0, 0.75, 0> right x * 2 up y angle 58 }
#include "gallery/night_sea.inc"
plane { y, 0 texture { Flags } }
// The wall, with the foot of a window over the bench.
difference {
  box { <-6, -1, 0.3>, <6, 5, 0.9> }
  box { <-0.55, 1.35, 0>, <0.55, 4, 1.2> }
  texture { Limewash }
}
box { <-0.62, 1.28, 0.1>, <0.62, 1.35, 0.9> texture { Stone } }
// The settle: a seat, a high back of boards, arms at both ends.
union {
  box { <-0.95, 0.42, -0.3>, <0.95, 0.47, 0.2> }
  box { <-0.95, 0, -0.26>, <0.95, 0.42, -0.22> }
  box { <-0.95, 0, 0.18>, <0.95, 1.05, 0.26> }
  box { <-1.0, 0, -0.32>, <-0.93, 0.7, 0.26> }
  box { <0.93, 0, -0.32>, <1.0, 0.7, 0.26> }
  texture { Wood scale 3 }
}
// A folded blanket, and the keeper's taper box with its tapers and a tinder box.
box { <-0.85, 0.47, -0.2>, <-0.25, 0.6, 0.15> texture { Cloth pigment { rgb <0.35, 0.12, 0.1> } } }
union {
  difference { box { <0, 0, 0>, <0.45, 0.1, 0.14> } box { <0.02, 0.02, 0.02>, <0.43, 0.2, 0.12> } }
  texture { Wood }
  translate <0.15, 0.47, -0.15>
}
#for (I, 0, 4)
  cylinder { <0.18, 0.53 + 0.012 * I, -0.12 + 0.018 * I>, <0.58, 0.53 + 0.012 * I, -0.12 + 0.018 * I>, 0.008
             texture { pigment { rgb <0.85, 0.8, 0.62> } } }
#end
box { <0.65, 0.47, -0.15>, <0.8, 0.53, -0.04> texture { Brass } }
// The gallery's lamplight from the left, the moon through the window.
light_source { <-2.2, 2.0, -2.0>, rgb <1.0, 0.8, 0.55> * 0.8 }
light_source { <1.5, 2.5, -2.5>, rgb <0.4, 0.46, 0.62> * 0.35 shadowless }
