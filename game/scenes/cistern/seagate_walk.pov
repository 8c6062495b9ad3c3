// The cistern's seaward wall with the sea gate in its arch and puddles on the flags before it.
// Broken open (Story_sea_gate_open 1), the gate's leaves hang askew and the waves come in
// beyond them, lit grey by the open sea.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks and of what
// a changing block shows; on its own in povray, from the checkout's root (add
// Declare=Story_sea_gate_open=1 for the gate broken open):
//   povray +W2048 +H512 game/scenes/cistern/seagate_walk.pov
#version 3.7;
#include "cistern/dark.inc"
#include "models/sea_gate.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[2] {"tunnel", "gate"}, array[2][4] {{100, 200, 280, 390}, {800, 150, 1000, 400}})
#end
#ifndef (Story_sea_gate_open) #declare Story_sea_gate_open = 0; #end
#declare R = 5.0;

DarkWays(5.6)
// The gate in the seaward wall, R from the eye: as wide and as tall as its landmark.
SeaGate(Fixed(LandmarkWidth(1, R) / 2 * 0.9), Fixed(HeightOfRow(LandmarkTop[1], R) - 0.05), (Story_sea_gate_open = 1))
#declare Holes = union { object { Holes } object { GateHole PlacedAt(1, R) } }
union {
  object { GateLeaves }
  object { Beyond }
  difference {
    union { box { <-GateW - 0.45, 0, -0.2>, <GateW + 0.45, GateTop - GateW * 0.6, 0.05> } cylinder { <0, GateTop - GateW * 0.6, -0.2>, <0, GateTop - GateW * 0.6, 0.05>, GateW + 0.45 } }
    object { GateHole }
    texture { Dressed }
  }
  difference { box { <-GateW - 0.6, -1, 0>, <GateW + 0.6, GateTop + 0.6, 9.6> } object { GateHole } texture { WetRock } }
  PlacedAt(1, R)
}
RockChamber(5.6, -0.4, 2.9, 1.8, WetRock, 2)
// The seaward wall stands nearer than the chamber's round.
difference { cylinder { <0, -0.4, 0>, <0, 2.9, 0>, 5.65 } cylinder { <0, -1, 0>, <0, 3, 0>, R } plane { z, -2.6 rotate <0, Fixed(LandmarkDegrees[1] + 180), 0> } object { Holes } texture { WetRock } }
plane { y, 0 texture { Flags } }
DrippingGlints(18, 5.0, 3006)
light_source { <0, 2.6, 0>, rgb Cold * 0.12 shadowless }
