// The sea door in the cliff face, shut or open on the dark passage.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/shore/seadoor.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"door"}, array[1][4] {{380, 40, 644, 430}})
#end

FlatCamera(1.6, 0, 60)
UprightAt(0)
// The night over a close view: the dusk sky and the moon high behind the eye's left shoulder,
// so that shadows fall away from the eye.
DuskSky(210, 40, 3.6, 1.0)
SeaAt(-0.9)
cylinder { <0, -40, 0>, <0, 0, 0>, Fixed(UprightDistance + 4) texture { IslandRock scale 2 } }
object { SeaCliff(Fixed(UprightWidth), Fixed(UprightHeight), LandmarkChanged[0]) translate <0, 0, Fixed(UprightDistance)> }
object { Crag(2, 0.7, 1.5, 18) translate <-3.4, 0, 5> }
