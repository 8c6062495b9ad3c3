// The cistern's upper walk with the hand pump at its edge over the basin, in the dark: cold
// light down two gratings in the vault.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks; on its own
// in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/cistern/pump_walk.pov
#version 3.7;
#include "cistern/dark.inc"
#include "models/cistern_pump.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[3] {"tunnel", "machine", "tunnel"},
                   array[3][4] {{100, 200, 280, 390}, {700, 250, 940, 390}, {1400, 200, 1580, 390}})
#end
#declare R = 5.6;

DarkWays(R)
RockChamber(R, -2.4, 2.8, 2.2, WetRock, 3)
Basin(R, array[3] {0, 2, 1})
object { CisternPump(false) rotate <0, -20, 0> scale 1.05 PlacedAt(1, 4.2) }
Column(60, 3.4, -2.4, 2.8)
Column(210, 3.2, -2.4, 2.8)
Column(330, 3.8, -2.4, 2.8)
VaultGrating(2.1, -2.9, 1.3, 4.2)
VaultGrating(-2.6, 1.5, 0.6, 4.2)
DrippingGlints(10, R, 3002)
