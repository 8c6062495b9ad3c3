// The keeper's corner of the drowned observatory: his cylinder recorder on its table with the
// spare cylinders, the porthole with the sea-green light of the flats' water, and his bunk in
// a recess of the wall, a sodden blanket on it.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks; on its own
// in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/drowned/recorder_hall.pov
#version 3.7;
#include "drowned/room.inc"
#include "models/cylinder_recorder.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[4] {"tunnel", "desk", "window", "panel"},
                   array[4][4] {{100, 200, 280, 390}, {600, 290, 820, 400}, {1100, 190, 1190, 330}, {1600, 220, 1800, 380}})
#end
#declare R = 5.6;

DrownedWay()
Way(0, R)
// The porthole in the wall, as wide as its landmark and at its middle height.
#declare PortR = LandmarkWidth(2, R) / 2 * 0.8;
#declare PortY = (HeightOfRow(LandmarkTop[2], R) + HeightOfRow(LandmarkBottom[2], R)) / 2;
#declare PortHole = cylinder { <0, Fixed(PortY), -2>, <0, Fixed(PortY), 3>, Fixed(PortR) }
#declare Holes = union { object { Holes } object { PortHole PlacedAt(2, R) } }
union {
  difference { cylinder { <0, Fixed(PortY), -0.12>, <0, Fixed(PortY), 0.05>, Fixed(PortR + 0.18) } object { PortHole } texture { Verdigris } }
  #for (A, 0, 330, 30) sphere { <0, 0, -0.12>, 0.035 translate <Fixed(PortR + 0.09), 0, 0> rotate <0, 0, A> texture { Brass } } #end
  cylinder { <0, Fixed(PortY), 0.3>, <0, Fixed(PortY), 0.34>, Fixed(PortR) pigment { rgbf <0.2, 0.45, 0.4, 0.2> } finish { ambient 0 diffuse 0.1 emission 0.45 specular 0.9 roughness 0.003 } no_shadow }
  light_source { <0, Fixed(PortY), -0.5>, rgb <0.3, 0.6, 0.55> * 1.1 fade_distance 1.4 fade_power 2 shadowless }
  PlacedAt(2, R)
}
// The recorder on the keeper's table.
union {
  box { <-1.3, 0.8, -0.5>, <1.3, 0.88, 0.5> texture { Wood scale 3 } }
  #for (X, -1.2, 1.2, 2.4) box { <X - 0.05, 0, -0.4>, <X + 0.05, 0.8, 0.4> texture { Wood } } #end
  object { Recorder() scale 1.6 translate <-0.1, 0.88, 0> }
  box { <0.5, 0.88, -0.2>, <1.1, 0.98, 0.3> texture { Wood } }
  #for (K, 0, 4) cylinder { <0.6 + K * 0.11, 0.98, 0.05>, <0.6 + K * 0.11, 1.12, 0.05>, 0.045 pigment { rgb <0.35, 0.22, 0.1> } } #end
  PlacedAt(1, 4.8)
}
// The bunk in a recess of the wall: a timber box bed, a sodden blanket.
#declare BunkW = LandmarkWidth(3, 5.2) / 2 * 0.9;
union {
  box { <-Fixed(BunkW), 0, -0.6>, <Fixed(BunkW), 0.55, 0.4> texture { Wood scale 3 } }
  box { <-Fixed(BunkW - 0.1), 0.55, -0.5>, <Fixed(BunkW - 0.1), 0.7, 0.35> pigment { rgb <0.2, 0.19, 0.17> } normal { wrinkles 0.6 scale 0.1 } }
  sphere { <-Fixed(BunkW - 0.4), 0.75, 0>, 1 scale <0.3, 0.1, 0.25> pigment { rgb <0.3, 0.28, 0.24> } }
  box { <-Fixed(BunkW + 0.1), 0, -0.62>, <-Fixed(BunkW - 0.02), 1.9, 0.4> texture { Wood scale 3 } }
  box { <Fixed(BunkW - 0.02), 0, -0.62>, <Fixed(BunkW + 0.1), 1.9, 0.4> texture { Wood scale 3 } }
  box { <-Fixed(BunkW + 0.1), 1.8, -0.62>, <Fixed(BunkW + 0.1), 1.95, 0.4> texture { Wood scale 3 } }
  box { <-Fixed(BunkW), 0, 0.4>, <Fixed(BunkW), 1.95, 0.5> texture { Planks } }
  PlacedAt(3, 5.0)
}
DrownedRoom(R, 8004)
