// A tunnel under the flats between the sea gate and the sea end: a straight vaulted bore of
// dressed stone with ribs every three metres and a channel of sea water along its floor, cold
// light from far gratings down it both ways. It runs along the line of its way back.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks; on its own
// in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/cistern/breach.pov
#version 3.7;
#include "cistern/dark.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[2] {"tunnel", "tunnel"}, array[2][4] {{100, 200, 280, 390}, {1100, 200, 1280, 390}})
#end

union {
  // The bore: walls of dressed stone, a barrel vault, ribs every three metres, the channel.
  difference {
    box { <-2.4, -1, -40>, <2.4, 4.2, 40> }
    union { box { <-1.6, 0, -41>, <1.6, 2.0, 41> } cylinder { <0, 2.0, -41>, <0, 2.0, 41>, 1.6 } }
    box { <-0.45, -0.5, -41>, <0.45, 0.1, 41> }
    texture { Dressed }
  }
  #for (Z, -30, 30, 3.2)
    difference { cylinder { <0, 2.0, Z - 0.15>, <0, 2.0, Z + 0.15>, 1.6 } cylinder { <0, 2.0, Z - 0.2>, <0, 2.0, Z + 0.2>, 1.42 } plane { y, 2.0 } texture { WetRock } }
    box { <-1.6, 0, Z - 0.15>, <-1.45, 2.0, Z + 0.15> texture { WetRock } }
    box { <1.45, 0, Z - 0.15>, <1.6, 2.0, Z + 0.15> texture { WetRock } }
  #end
  box { <-0.45, -0.5, -41>, <0.45, -0.12, 41> texture { Water } }
  // Cold light from far gratings down the bore, both ways.
  light_source { <0, 3.0, 12>, rgb Cold * 0.5 fade_distance 4 fade_power 2 shadowless }
  light_source { <0, 3.0, -14>, rgb Cold * 0.35 fade_distance 4 fade_power 2 shadowless }
  light_source { <0.8, 3.2, 1.2>, rgb Cold * 0.18 }
  rotate <0, Fixed(LandmarkDegrees[0]), 0>
}
DrippingGlints(8, 3.3, 3007)
