// The sea gate at the far end of the cistern bursting and the sea pouring in.
// On its own: povray +W512 +H256 game/scenes/films/sea_gate.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
#declare Burst = 0.22;
#declare After = max(0, T - Burst);
#declare Shake = 0.05 * (T > Burst) * exp(-After * 4);
camera { perspective location <0.4 + Shake * sin(T * 377), 1.7 + Shake * sin(T * 291 + 1), -1.8 + T * 0.5>
         look_at <0, 1.5, 9> right x * 2 up y angle 64 }
background { rgb 0 }
// The far end of the cistern: a vault of blocks, the walk along the flooded basin, and the
// sea gate's arch with the sea cave behind it.
#declare GateHole = union { box { <-1.5, 0, 8>, <1.5, 2.2, 11> } cylinder { <0, 2.2, 8>, <0, 2.2, 11>, 1.5 } }
difference {
  box { <-4.5, -1.5, -3>, <4.5, 5, 9> }
  box { <-4, -1.6, -2.5>, <4, 2.8, 8.5> }
  cylinder { <0, 2.8, -2.5>, <0, 2.8, 8.5>, 4 }
  object { GateHole }
  texture { Blocks scale 0.8 }
}
box { <-4, -0.3, -2.5>, <-1.6, 0, 8.5> texture { Stone } }
box { <1.6, -0.3, -2.5>, <4, 0, 8.5> texture { Stone } }
difference { box { <-2.2, -1.5, 8.5>, <2.2, 4, 14> } box { <-1.5, -2, 8.4>, <1.5, 2.2, 14.5> } cylinder { <0, 2.2, 8.4>, <0, 2.2, 14.5>, 1.5 } texture { Rock } }
plane { y, -0.45 + 0.55 * Ease(Burst + 0.05, 0.9) texture { Water translate <0, 0, -T * 6> } }
// The cave's sea light behind the gate.
light_source { <0, 1.5, 13>, rgb <0.35, 0.55, 0.6> * 1.4 fade_distance 5 fade_power 1 shadowless }
// The gate: a heavy grid of iron in a frame, bursting in off its hinges and falling.
union {
  #for (I, -4, 4) cylinder { <I * 0.33, -0.4, 0>, <I * 0.33, 3.6, 0>, 0.045 } #end
  #for (H, 0, 5) box { <-1.5, -0.3 + H * 0.7, -0.05>, <1.5, -0.2 + H * 0.7, 0.05> } #end
  texture { RustIron }
  clipped_by { object { GateHole scale <0.99, 1, 1> translate <0, 0, -8.3> } }
  rotate <-80 * Ease(Burst, Burst + 0.18), 0, 12 * Ease(Burst, Burst + 0.25)>
  translate <0.3 * Ease(Burst, 0.5), -0.8 * Ease(Burst + 0.1, 0.5), 8.3 - 3.5 * Ease(Burst, Burst + 0.2)>
}
// The sea pouring in: a tongue of foaming water through the arch, spreading over the walk.
#declare Foam = texture {
  pigment { bozo turbulence 0.9 colour_map { [0 rgb <0.8, 0.85, 0.85>] [0.45 rgb <0.2, 0.3, 0.32>] [1 rgb <0.88, 0.92, 0.92>] }
            scale 0.35 translate <0, 0, -T * 25> }
  normal { bumps 0.8 scale 0.2 translate <0, 0, -T * 25> }
  finish { ambient 0.05 diffuse 0.7 specular 0.5 roughness 0.02 }
}
#declare Reach = 8.8 - 6.3 * Ease(Burst, Burst + 0.35);
#if (T > Burst)
  #declare Crest = 2.2 * (1 - 0.55 * Ease(Burst + 0.2, 1));
  #declare Sl = (Crest + 0.45) / max(0.3, 8.6 - Reach);
  union {
    intersection { box { <-1.45, -0.45, Reach>, <1.45, Crest, 13> }
                   plane { <0, 1, -Sl>, (-0.45 - Sl * Reach) / vlength(<0, 1, -Sl>) } }
    intersection { box { <-4, -0.45, Reach + 0.6>, <4, 0.5, 8.6> }
                   plane { <0, 1, -Sl * 0.4>, (-0.45 - Sl * 0.4 * (Reach + 0.6)) / vlength(<0, 1, -Sl * 0.4>) } }
    texture { Foam }
  }
  #declare SpraySeed = seed(7);
  #for (I, 1, 30)
    #declare Born = Burst + rand(SpraySeed) * 0.5;
    #declare V = <rand(SpraySeed) * 4 - 2, 1.5 + rand(SpraySeed) * 3, -2 - rand(SpraySeed) * 3>;
    #declare Age = (T - Born) * 7;
    #if (Age > 0 & Age < 1.1)
      sphere { <0, 1.2, 8.6> + V * Age - <0, 4.9, 0> * Age * Age, 0.05 + rand(SpraySeed) * 0.08
        pigment { rgb <0.8, 0.86, 0.88> } finish { ambient 0.2 diffuse 0.6 specular 0.6 } no_shadow }
    #else
      #declare Skip = rand(SpraySeed);
    #end
  #end
#end
light_source { <-1.2, 2.0, -1.5>, rgb <1.0, 0.74, 0.45> * 2.2 fade_distance 3.5 fade_power 2 }
