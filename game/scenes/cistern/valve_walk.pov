// The cistern's valve gallery: a chamber of dressed stone with pipes round its wall at two
// heights, the float valve in its chamber, cold light down two gratings.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks; on its own
// in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/cistern/valve_walk.pov
#version 3.7;
#include "cistern/dark.inc"
#include "models/float_valve.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[3] {"tunnel", "machine", "tunnel"},
                   array[3][4] {{100, 200, 280, 390}, {700, 250, 940, 390}, {1400, 200, 1580, 390}})
#end
#declare R = 5.6;

DarkWays(R)
RockChamber(R, -0.4, 2.6, 1.8, Dressed, 4)
plane { y, 0 texture { Flags } }
// Pipes run round the gallery's wall at two heights.
torus { Fixed(R - 0.2), 0.1 translate <0, 0.35, 0> texture { RustIron } clipped_by { plane { x, 0 rotate <0, 10, 0> } } }
torus { Fixed(R - 0.15), 0.07 translate <0, 2.2, 0> texture { RustIron } }
object { FloatValve() scale 1.0 PlacedAt(1, R - 0.55) }
VaultGrating(2.4, -3.2, 1.2, 3.6)
VaultGrating(-1.5, 2.0, 0.5, 3.9)
DrippingGlints(8, R, 3005)
