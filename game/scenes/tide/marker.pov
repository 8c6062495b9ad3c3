// The tide marker post on the flats, its marks cut in it, the island beyond.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/tide/marker.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "tide/flats.inc"
#include "tide/closeview.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"pillar"}, array[1][4] {{470, 40, 554, 430}})
#end

FlatCamera(1.6, 0, 60)
UprightAt(0)
FlatsGround()
object { MarkerPost(Fixed(UprightWidth * 1.6), Fixed(UprightHeight - 0.15)) translate <0, 0, Fixed(UprightDistance)> }
object { Observatory(0) translate <0, 1, 80> rotate <0, 35, 0> }
