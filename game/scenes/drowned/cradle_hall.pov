// The drowned lens room: the brass cradle on its pier with the wrapped lens in its arms, and
// the builders' charts spread on their table under the silt.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks; on its own
// in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/drowned/cradle_hall.pov
#version 3.7;
#include "drowned/room.inc"
#include "models/lens_cradle.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[4] {"tunnel", "machine", "desk", "tunnel"},
                   array[4][4] {{100, 200, 280, 390}, {700, 250, 940, 390}, {1200, 290, 1400, 400}, {1700, 200, 1880, 390}})
#end
#declare R = 5.6;

DrownedWay()
Way(0, R)
Way(3, R)
LensCradle(true)
union { object { CradleArms } object { WrappedLens } scale 1.5 PlacedAt(1, 3.3) }
union {
  box { <-1.3, 0.85, -0.55>, <1.3, 0.92, 0.55> texture { Wood scale 3 } }
  #for (X, -1.2, 1.2, 2.4) #for (Z, -0.45, 0.45, 0.9) cylinder { <X, 0, Z>, <X, 0.85, Z>, 0.05 texture { Wood } } #end #end
  box { <-1.1, 0.921, -0.4>, <0.2, 0.925, 0.35> texture { Paper } rotate <0, 4, 0> }
  box { <-0.2, 0.925, -0.3>, <0.9, 0.93, 0.4> texture { Paper } rotate <0, -9, 0> }
  cylinder { <0.5, 1.0, 0.3>, <1.2, 1.0, 0.2>, 0.07 texture { Paper } }
  cylinder { <-1.0, 0.99, 0.4>, <-0.3, 0.99, 0.45>, 0.06 texture { Paper } }
  sphere { <0, 0.87, 0>, 1 scale <1.1, 0.06, 0.5> texture { Silt } }
  PlacedAt(2, 5.0)
}
DrownedRoom(R, 8003)
