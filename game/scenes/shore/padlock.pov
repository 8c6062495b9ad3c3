// The observatory gate close to: padlocked and chained, or open on the steps beyond.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/shore/padlock.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"gate"}, array[1][4] {{300, 60, 724, 430}})
#end

FlatCamera(1.6, 0, 60)
UprightAt(0)
// The night over a close view: the dusk sky and the moon high behind the eye's left shoulder,
// so that shadows fall away from the eye.
DuskSky(210, 40, 3.6, 1.0)
SeaAt(-9)
cylinder { <0, -40, 0>, <0, 0, 0>, 60 texture { Turf } }
box { <-1.2, -0.3, -1>, <1.2, 0.012, Fixed(UprightDistance)> texture { Gravel } }
object { IronGate(Fixed(UprightWidth), Fixed(UprightHeight), LandmarkChanged[0]) translate <0, 0, Fixed(UprightDistance)> }
object { Observatory(0) translate <0, 3, Fixed(UprightDistance + 30)> }
