// The bench under the thorn tree on the island's top, looking out to sea.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/shore/bench.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"tree"}, array[1][4] {{300, 40, 724, 420}})
#end

FlatCamera(1.6, 0, 60)
UprightAt(0)
DuskSky(20, 24, 3.6, 1.0)
SeaAt(-9)
cylinder { <0, -40, 0>, <0, 0, 0>, Fixed(UprightDistance + 3) texture { Turf } }
cone { <0, 0, 0>, Fixed(UprightDistance + 3.5), <0, -11, 0>, Fixed(UprightDistance + 10) texture { IslandRock scale 2 } }
object { WindTree(Fixed(UprightWidth), Fixed(UprightHeight)) translate <0, 0, Fixed(UprightDistance)> }
object { Crag(3, 0.8, 2, 15) translate <-5, 0, 9> }
object { Crag(2, 0.5, 2, 16) translate <4.5, 0, 7> }
