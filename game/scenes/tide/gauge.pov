// The tide gauge: its marked board on the iron post at the foot of the steps.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/tide/gauge.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "tide/flats.inc"
#include "tide/closeview.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"pillar"}, array[1][4] {{460, 30, 564, 430}})
#end

FlatCamera(1.6, 0, 60)
UprightAt(0)
FlatsGround()
object { GaugePost(Fixed(UprightWidth), Fixed(UprightHeight - 0.15)) translate <0, 0, Fixed(UprightDistance)> }
