// The drowned hall at the foot of the stair from the cistern: the builders' plaque gone green
// on the wall and their heavy bench with its tools, a jar and a lamp.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks; on its own
// in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/drowned/hall.pov
#version 3.7;
#include "drowned/room.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[4] {"door", "tunnel", "panel", "desk"},
                   array[4][4] {{100, 180, 260, 400}, {800, 200, 980, 390}, {1300, 220, 1500, 380}, {1700, 290, 1900, 400}})
#end
#declare R = 5.6;

// Up the stair to the cistern, through a square-headed doorway.
DrownedWay()
#declare WaySteps = 1;
#declare WaySquareHead = true;
#declare WayGlow = 0.2;
Way(0, R)
DrownedWay()
Way(1, R)
// The plaque on the wall: a green plate on a dressed stone, lines of its lettering.
#declare PlaqueW = LandmarkWidth(2, R - 0.1) / 2 * 0.92;
#declare PlaqueTop = HeightOfRow(LandmarkTop[2], R - 0.1);
#declare PlaqueBottom = HeightOfRow(LandmarkBottom[2], R - 0.1) + 0.35;
union {
  box { <-Fixed(PlaqueW), Fixed(PlaqueBottom), -0.2>, <Fixed(PlaqueW), Fixed(PlaqueTop), 0.1> texture { Ashlar scale 0.5 } }
  box { <-Fixed(PlaqueW * 0.72), Fixed(PlaqueBottom + 0.18), -0.26>, <Fixed(PlaqueW * 0.72), Fixed(PlaqueTop - 0.18), -0.18> texture { Verdigris } }
  #for (K, 0, 5) box { <-Fixed(PlaqueW * 0.6), Fixed(PlaqueTop - 0.36) - K * 0.13, -0.275>, <Fixed(PlaqueW * 0.6) - mod(K * 37, 5) * 0.1, Fixed(PlaqueTop - 0.32) - K * 0.13, -0.26> pigment { rgb <0.2, 0.3, 0.24> } } #end
  PlacedAt(2, R - 0.1)
}
// The bench: a heavy stone-legged table with the builders' tools, a jar, a lamp.
#declare BenchW = LandmarkWidth(3, 4.6) / 2 * 0.9;
union {
  box { <-Fixed(BenchW), 0.8, -0.45>, <Fixed(BenchW), 0.92, 0.45> texture { Wood scale 3 } }
  box { <-Fixed(BenchW - 0.1), 0, -0.35>, <-Fixed(BenchW - 0.45), 0.8, 0.35> texture { Ashlar } }
  box { <Fixed(BenchW - 0.45), 0, -0.35>, <Fixed(BenchW - 0.1), 0.8, 0.35> texture { Ashlar } }
  cylinder { <-0.6, 0.92, 0>, <-0.6, 1.2, 0>, 0.11 pigment { rgbf <0.3, 0.4, 0.3, 0.5> } finish { specular 0.6 roughness 0.01 } }
  box { <0.1, 0.92, -0.2>, <0.9, 0.96, 0.15> texture { Verdigris } }
  cylinder { <0.4, 0.98, -0.25>, <1.0, 0.98, -0.28>, 0.02 texture { RustIron } }
  cylinder { <-1.2, 0.92, 0.1>, <-1.2, 1.15, 0.1>, 0.08 texture { Verdigris } }
  PlacedAt(3, 4.6)
}
DrownedRoom(R, 8001)
