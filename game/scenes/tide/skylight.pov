// The skylight of the drowned hall standing dry at the lowest ebb.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/tide/skylight.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "tide/flats.inc"
#include "tide/closeview.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"window"}, array[1][4] {{312, 60, 712, 400}})
#end

FlatCamera(1.6, 0, 60)
UprightAt(0)
DuskSky(200, 35, 3.6, 1.0)
SeaAt(-2.5)
sphere { 0, 1 scale <160, 4, 160> translate <0, -4, 0> texture { WetSand } }
object { Skylight(Fixed(UprightWidth), Fixed(UprightHeight - 0.1)) translate <0, 0, Fixed(UprightDistance)> }
object { Crag(2, 0.6, 2, 19) translate <-4, 0, 7> texture { Weed } }
