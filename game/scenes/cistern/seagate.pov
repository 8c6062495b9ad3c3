// The sea gate close by in its arch; broken open (Story_sea_gate_open 1), its leaves hang
// askew and the waves come in beyond it.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root (add
// Declare=Story_sea_gate_open=1 for the gate broken open):
//   povray +W1024 +H512 game/scenes/cistern/seagate.pov
#version 3.7;
#include "cistern/lamp_view.inc"
#include "models/sea_gate.inc"
#ifndef (Story_sea_gate_open) #declare Story_sea_gate_open = 0; #end

LampView(<0, 1.3, -4.4>, <0, 1.0, 0>, 62, 2.3)
SeaGate(0.85, 2.0, (Story_sea_gate_open = 1))
difference { plane { -z, 0 } object { GateHole } texture { WetRock } }
difference { union { box { <-GateW - 0.35, 0, -0.2>, <GateW + 0.35, GateTop - GateW * 0.6, 0.05> } cylinder { <0, GateTop - GateW * 0.6, -0.2>, <0, GateTop - GateW * 0.6, 0.05>, GateW + 0.35 } } object { GateHole } texture { Dressed } }
difference { box { <-GateW - 0.6, -1, 0>, <GateW + 0.6, GateTop + 0.6, 9.6> } object { GateHole } texture { WetRock } }
object { GateLeaves }
object { Beyond }
plane { y, 0 texture { Flags } }
