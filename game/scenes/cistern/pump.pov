// The hand pump close by on the walk's edge over the basin; pumped dry
// (Story_cistern_flooded 0), its handle rests down and the gauge has fallen to empty.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root (add
// Declare=Story_cistern_flooded=0 for the basin pumped dry):
//   povray +W1024 +H512 game/scenes/cistern/pump.pov
#version 3.7;
#include "cistern/lamp_view.inc"
#include "models/cistern_pump.inc"
#ifndef (Story_cistern_flooded) #declare Story_cistern_flooded = 1; #end

LampView(<0.5, 1.7, -4.6>, <0.5, 1.3, 0>, 62, 1.9)
plane { -z, -1.2 texture { WetRock } }
box { <-4, -2.4, -0.5>, <1.05, 0, 2> texture { Flags } }
box { <-4, -3, -4>, <4, -2.4, 2> texture { Silt } }
object { CisternPump((Story_cistern_flooded = 0)) rotate <0, -20, 0> }
disc { <0, -0.4, 0>, y, 8 texture { Water } }
