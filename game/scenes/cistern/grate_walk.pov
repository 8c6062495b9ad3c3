// The low gallery off the basin's floor: a lower, narrower chamber than the walk above, the
// culvert's grating in its wall with running water and cold light behind the bars, the stair
// up to the basin and the tunnel on to the valve gallery.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks; on its own
// in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/cistern/grate_walk.pov
#version 3.7;
#include "cistern/dark.inc"
#include "models/culvert_grating.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[3] {"stairs", "panel", "tunnel"},
                   array[3][4] {{200, 170, 340, 390}, {800, 300, 1000, 420}, {1400, 200, 1580, 390}})
#end
#declare R = 4.5;

// Up to the basin, and on along the gallery.
PlainWay()
#declare WaySteps = 1;
#declare WayGlow = 0.1;
Way(0, 5.2)
PlainWay()
Way(2, 5.2)
// The grating, as wide and as tall as its landmark on the wall.
CulvertGrating(Fixed(LandmarkWidth(1, R) / 2 * 0.95), Fixed(HeightOfRow(LandmarkTop[1], R) - 0.05))
#declare Holes = union { object { Holes } object { GrateHole PlacedAt(1, R - 0.05) } }
union {
  object { GrateBars }
  difference { box { <-GrateW - 0.3, -0.05, -0.15>, <GrateW + 0.3, GrateH + 0.3, 0.05> } object { GrateHole } texture { Dressed } }
  // The culvert behind: running water and the cold light from its shaft.
  difference { box { <-GrateW - 0.5, -1.2, 0>, <GrateW + 0.5, GrateH + 1.5, 3> } box { <-GrateW, -1, -1>, <GrateW, GrateH + 1.2, 2.6> } texture { WetRock } }
  box { <-GrateW, -0.8, 0.2>, <GrateW, -0.3, 2.6> texture { Water } }
  light_source { <0, GrateH + 1.0, 2.0>, rgb Cold * 1.1 fade_distance 1.6 fade_power 2 }
  PlacedAt(1, R - 0.05)
}
// The chamber: rock wall to the vault, a silt floor with puddles and the stair's foot.
difference {
  cylinder { <0, -1, 0>, <0, 2.6, 0>, 10 }
  cylinder { <0, -2, 0>, <0, 3, 0>, 5.2 }
  object { Holes }
  texture { WetRock }
}
difference {
  cylinder { <0, -1, 0>, <0, 2.61, 0>, Fixed(R + 0.8) }
  cylinder { <0, -2, 0>, <0, 3, 0>, R }
  plane { z, -0.3 rotate <0, Fixed(LandmarkDegrees[1] + 180), 0> }
  object { Holes }
  texture { WetRock }
}
difference { sphere { <0, 0, 0>, 6.2 } sphere { <0, 0, 0>, 5.2 } plane { y, 0 } scale <1, 0.32, 1> translate <0, 2.6, 0> texture { WetRock } }
plane { y, 0 texture { Silt } }
DrippingGlints(22, 5.2, 3004)
light_source { <0, 2.4, 0>, rgb Cold * 0.08 shadowless }
