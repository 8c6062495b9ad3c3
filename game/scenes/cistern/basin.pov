// The cistern's basin: a deep round-ended pit cut into the walk, columns along its far edge,
// the stair down to its floor. Its water stands over the basin's own picture block; pumped
// dry (Story_cistern_flooded 0), the silt floor shows with puddles and stones.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks and of what
// a changing block shows; on its own in povray, from the checkout's root (add
// Declare=Story_cistern_flooded=0 for the basin pumped dry):
//   povray +W2048 +H512 game/scenes/cistern/basin.pov
#version 3.7;
#include "cistern/dark.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[3] {"tunnel", "pool", "stairs"},
                   array[3][4] {{100, 200, 280, 390}, {600, 380, 1300, 490}, {1500, 200, 1650, 420}})
#end
#ifndef (Story_cistern_flooded) #declare Story_cistern_flooded = 1; #end
#declare R = 7.4;

PlainWay()
Way(0, 5.6)
// Down to the basin's floor.
#declare WaySteps = -1;
#declare WayGlow = 0.22;
Way(2, 5.6)
// The walk: a floor round the eye, except where the basin is cut into it. The basin's water
// shows only over the basin's own picture block: a sector of a ring in front of the rock wall.
#declare BasinCut = intersection {
  cylinder { <0, -2.6, 0>, <0, 0.5, 0>, Fixed(R + 0.5) }
  cylinder { <0, -2.7, 0>, <0, 0.6, 0>, 3.5 inverse }
  plane { -x, 0 rotate <0, 109, 0> }
  plane { x, 0 rotate <0, 225, 0> }
}
difference {
  cylinder { <0, -2.4, 0>, <0, 0, 0>, 9 }
  object { BasinCut }
  object { Holes }
  texture { Flags }
}
disc { <0, -2.39, 0>, y, 8 texture { Silt } }
// The chamber: a rock wall near where the ways are, and the far wall of the basin behind it.
difference {
  cylinder { <0, -2.4, 0>, <0, 3.4, 0>, 10 }
  union {
    cylinder { <0, -3, 0>, <0, 4, 0>, 5.6 }
    intersection { cylinder { <0, -3, 0>, <0, 4, 0>, R } plane { -x, 0 rotate <0, 104, 0> } plane { x, 0 rotate <0, 230, 0> } }
  }
  object { Holes }
  texture { WetRock }
}
difference { sphere { <0, 0, 0>, 10.5 } sphere { <0, 0, 0>, 10 } plane { y, 0 } scale <1, 0.3, 1> translate <0, 3.4, 0> texture { WetRock } }
// The basin's floor: silt, puddles and stones when pumped dry, else the water.
#if (Story_cistern_flooded = 0)
  #declare Drip = seed(3022);
  #for (K, 1, 16)
    #declare A = 112 + rand(Drip) * 108;
    #declare D = 4.2 + rand(Drip) * 2.8;
    disc { <0, -2.38, 0>, y, 0.2 + rand(Drip) * 0.45 texture { Puddle } scale <1.6, 1, 1> rotate <0, rand(Drip) * 180, 0> translate <0, 0, D> rotate <0, A, 0> }
  #end
  #for (K, 1, 9)
    #declare A = 114 + rand(Drip) * 104;
    #declare D = 4.5 + rand(Drip) * 2.6;
    sphere { <0, -2.4, 0>, 0.2 + rand(Drip) * 0.25 scale <1, 0.5, 1> translate <0, 0, D> rotate <0, A, 0> texture { WetRock } }
  #end
#else
  intersection { disc { <0, -0.35, 0>, y, 9 } object { BasinCut } texture { Water } }
#end
// Columns at the basin's far edge.
#for (K, 0, 4) Column(118 + K * 23, Fixed(R + 0.2), -2.4, 3.4) #end
VaultGrating(-2.0, -3.4, 1.4, 5.6)
DrippingGlints(8, 5.4, 3003)
