// The wreck lying on the sand: its hull on its side, the deckhouse door facing the eye.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/tide/wreck.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "tide/flats.inc"
#include "tide/closeview.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"door"}, array[1][4] {{380, 60, 644, 430}})
#end

FlatCamera(1.6, 0, 60)
UprightAt(0)
FlatsGround()
// The deckhouse is 0.3 of the hull's length across; its roof is the top of the wreck.
object { Wreck(Fixed(UprightWidth / 0.3), Fixed(UprightHeight)) translate <0, 0, Fixed(UprightDistance - UprightHeight * 0.2)> }
