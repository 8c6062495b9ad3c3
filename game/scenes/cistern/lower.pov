// The sea end of the cistern's tunnel: the sea's pool at the foot of the rock with the tide's
// mark above it, and the old door of oak and iron down to the drowned observatory.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks; on its own
// in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/cistern/lower.pov
#version 3.7;
#include "cistern/dark.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[3] {"tunnel", "pool", "door"},
                   array[3][4] {{100, 200, 280, 390}, {700, 380, 1100, 490}, {1400, 180, 1560, 400}})
#end
#declare R = 5.6;

DarkWays(R)
// The door, 5 m out: oak planks banded with iron in a stone frame, weed on its foot.
#declare DoorW = LandmarkWidth(2, 5.0) / 2 * 0.78;
#declare DoorTop = HeightOfRow(LandmarkTop[2], 5.0) - 0.3;
#declare DoorHole = box { <-Fixed(DoorW), 0, -2>, <Fixed(DoorW), Fixed(DoorTop), 3> }
#declare Holes = union { object { Holes } object { DoorHole PlacedAt(2, 5.0) } }
union {
  box { <-Fixed(DoorW), 0, 0.1>, <Fixed(DoorW), Fixed(DoorTop), 0.2> texture { Tarred } }
  #for (Y, 0.3, Fixed(DoorTop - 0.2), 0.55) box { <-Fixed(DoorW - 0.05), Y, 0.04>, <Fixed(DoorW - 0.05), Y + 0.08, 0.1> texture { RustIron } } #end
  box { <-Fixed(DoorW), 0, 0.02>, <Fixed(DoorW), 0.5, 0.1> texture { Weed } }
  difference { box { <-Fixed(DoorW + 0.35), 0, -0.2>, <Fixed(DoorW + 0.35), Fixed(DoorTop + 0.35), 0.1> } object { DoorHole } texture { Dressed } }
  box { <-Fixed(DoorW + 0.4), -0.01, -1.4>, <Fixed(DoorW + 0.4), 0.12, 0.1> texture { Flags } }
  PlacedAt(2, 5.0)
}
RockChamber(R, -2.0, 3.0, 2.0, WetRock, 2)
// The floor, and the sea's pool along the rock in the pool's direction.
#declare PoolAt = LandmarkDegrees[1];
difference {
  cylinder { <0, -2.0, 0>, <0, 0, 0>, 7 }
  intersection { cylinder { <0, -3, 0>, <0, 1, 0>, 6 } cylinder { <0, -3, 0>, <0, 1, 0>, 3.0 inverse }
                 plane { -x, 0 rotate <0, Fixed(PoolAt - 42), 0> } plane { x, 0 rotate <0, Fixed(PoolAt + 42), 0> } }
  texture { Flags }
}
disc { <0, -0.45, 0>, y, 6.5 texture { Water } }
disc { <0, -1.99, 0>, y, 6.5 texture { Silt } }
// The tide's mark along the rock: a band of barnacles and weed a hand above the water.
intersection {
  difference { cylinder { <0, -0.45, 0>, <0, 0.55, 0>, Fixed(R + 0.02) } cylinder { <0, -1, 0>, <0, 1, 0>, Fixed(R - 0.06) } }
  plane { -x, 0 rotate <0, Fixed(PoolAt - 50), 0> } plane { x, 0 rotate <0, Fixed(PoolAt + 50), 0> }
  texture { gradient y texture_map { [0 Weed] [0.55 Barnacled] [0.9 Barnacled] [1 WetRock] } scale 1.0 translate <0, -0.45, 0> }
}
light_source { <1.5, 2.8, 1.0>, rgb Cold * 0.16 fade_distance 3 fade_power 1 }
DrippingGlints(8, 4.0, 3008)
