// The boathouse's workbench from above: the nets heaped on it; with the key there, the gate's
// iron key lies half out from under them.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/shore/workbench.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"desk"}, array[1][4] {{262, 220, 762, 430}})
#end

FlatCamera(2.4, 35, 60)
#declare BenchTop = 0.9;
// The bench's front edge along the foot of the view, its back edge halfway up; the key's
// place a little below the middle of the view, under a fold of the nets.
#declare FrontLeft = OnLevel(262, 420, BenchTop);
#declare FrontRight = OnLevel(762, 420, BenchTop);
#declare BackMiddle = OnLevel(512, 250, BenchTop);
#declare KeyPlace = OnLevel(512, 282, BenchTop);
#declare KeyX = Fixed(KeyPlace.x); #declare KeyZ = Fixed(KeyPlace.z);
#declare BenchWidth = (FrontRight.x - FrontLeft.x) * 1.5;  // the bench runs on past the view's sides
#declare BenchLeft = Fixed(-BenchWidth / 2); #declare BenchRight = Fixed(BenchWidth / 2);
#declare BenchFront = Fixed(FrontLeft.z); #declare BenchBack = Fixed(BackMiddle.z);
background { rgb 0.01 }
plane { y, 0 texture { Planks scale 1.5 } }
plane { -z, -Fixed(BackMiddle.z + 0.05) texture { ShedBoards } }
// The bench: a thick top on legs, the vice at the right end, tools along the back.
union {
  box { <BenchLeft, BenchTop - 0.09, BenchFront>, <BenchRight, BenchTop, BenchBack> texture { Wood scale 4 rotate <0, 90, 0> } }
  box { <-Fixed(BenchWidth / 2 - 0.05), 0, Fixed(FrontLeft.z + 0.05)>, <-Fixed(BenchWidth / 2 - 0.15), BenchTop - 0.09, Fixed(FrontLeft.z + 0.15)> texture { Wood scale 3 } }
  box { <Fixed(BenchWidth / 2 - 0.15), 0, Fixed(FrontLeft.z + 0.05)>, <Fixed(BenchWidth / 2 - 0.05), BenchTop - 0.09, Fixed(FrontLeft.z + 0.15)> texture { Wood scale 3 } }
}
union {
  box { <-0.1, BenchTop, BenchFront + 0.05>, <0.1, BenchTop + 0.1, BenchFront + 0.15> }
  box { <-0.1, BenchTop - 0.12, BenchFront - 0.02>, <0.1, BenchTop + 0.1, BenchFront + 0.04> }
  cylinder { <0, BenchTop + 0.03, BenchFront - 0.3>, <0, BenchTop + 0.03, BenchFront + 0.1>, 0.014 }
  cylinder { <-0.13, BenchTop + 0.03, BenchFront - 0.3>, <0.13, BenchTop + 0.03, BenchFront - 0.3>, 0.011 }
  texture { DarkIron }
  translate <BenchRight - 0.3, 0, 0>
}
// A mallet, a plane and a tar pot to the left, a coil of line at the back.
union {
  cylinder { <-0.11, 0.045, 0>, <0.11, 0.045, 0>, 0.045 }
  cylinder { <0, 0.02, 0>, <0, 0.02, 0.3>, 0.013 }
  texture { Wood scale 2 }
  rotate <0, 40, 0> translate <BenchLeft + 0.35, BenchTop, BenchFront + 0.2>
}
box { <-0.035, 0, -0.11>, <0.035, 0.065, 0.11> texture { Wood scale 2 } rotate <0, -70, 0> translate <BenchRight - 0.75, BenchTop, BenchBack - 0.2> }
cylinder { <0, 0, 0>, <0, 0.14, 0>, 0.07 texture { DarkIron } translate <BenchLeft + 0.2, BenchTop, BenchBack - 0.15> }
torus { 0.09, 0.02 translate <BenchLeft + 0.6, BenchTop + 0.02, BenchBack - 0.15> pigment { rgb <0.5, 0.42, 0.28> } normal { quilted 0.6 scale 0.01 } }
// The nets heaped on the bench, one fold lying over the place of the key.
union {
  #local R = seed(33);
  #for (I, 0, 6)
    sphere { 0, 1 scale <0.16 + 0.08 * rand(R), 0.05 + 0.03 * rand(R), 0.12 + 0.05 * rand(R)>
      translate <0.32 + (rand(R) - 0.5) * 0.3, 0, (rand(R) - 0.5) * 0.2> }
  #end
  texture { pigment { rgb <0.30, 0.26, 0.19> } normal { quilted 1 control0 0.3 control1 0.3 scale 0.012 } finish { diffuse 0.8 } }
  translate <KeyX, BenchTop, KeyZ>
}
// Tools on the wall behind: a saw and two chisels on nails.
union {
  prism { linear_sweep linear_spline 0, 0.005, 4, <0, 0>, <0.5, 0.05>, <0.5, 0.13>, <0, 0.13> rotate <-90, 0, 0> translate <-0.25, 0.2, 0> }
  texture { pigment { rgb <0.45, 0.45, 0.47> } finish { specular 0.5 metallic } }
  translate <BenchLeft + 0.6, BenchTop + 0.05, BenchBack>
}
// The lamp over the bench.
light_source { <0.2, 2.0, BenchFront - 0.1>, rgb <1.0, 0.76, 0.48> * 1.2 fade_distance 1.5 fade_power 1.5
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0, 0.2>, 2, 2 adaptive 0 #end }
light_source { <-2, 3, -2>, rgb <0.18, 0.22, 0.34> shadowless }
#if (strlen(ItemShown) > 0)
  object { IronKey() scale 1.3 rotate <0, -20, 0> translate <KeyX - 0.04, BenchTop + 0.01, KeyZ> }
#end
