// The cistern's head at the foot of the stair from the well room, lit by its lamp on a
// bracket; the walk runs on into the dark between the basin's columns.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks; on its own
// in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/cistern/head.pov
#version 3.7;
#include "cistern/dark.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[3] {"stairs", "tunnel", "torch"},
                   array[3][4] {{100, 170, 240, 390}, {800, 200, 980, 390}, {1300, 200, 1340, 300}})
#end
#declare R = 5.6;

// Up to the well room: dressed steps, the hall's warm light at their head.
PlainWay()
#declare WaySteps = 1;
#declare WayLining = texture { Dressed }
#declare WayGlow = 0.9;
#declare WayGlowColour = <1.0, 0.78, 0.5>;
Way(0, R)
// On into the dark.
PlainWay()
#declare WayGlow = 0.12;
Way(1, R)
RockChamber(R, -2.4, 3.0, 2.0, WetRock, 2)
Basin(R, array[3] {0, 1, 2})
Column(200, 3.6, -2.4, 3.0)
Column(240, 4.2, -2.4, 3.0)
Column(300, 3.4, -2.4, 3.0)
Column(95, 3.0, -2.4, 3.0)

// The lamp on its bracket: a glass and brass lantern burning warm, as tall as its landmark.
#declare LampTop = HeightOfRow(LandmarkTop[2], R - 0.3);
#declare LampBottom = HeightOfRow(LandmarkBottom[2], R - 0.3);
union {
  box { <-0.06, Fixed(LampBottom - 0.1), 0.18>, <0.06, Fixed(LampTop + 0.05), 0.3> texture { DarkIron } }
  cylinder { <0, Fixed(LampTop - 0.05), 0.24>, <0, Fixed(LampTop - 0.05), 0>, 0.025 texture { DarkIron } }
  cylinder { <0, Fixed(LampBottom), 0>, <0, Fixed(LampBottom + 0.08), 0>, 0.14 texture { Brass } }
  cylinder { <0, Fixed(LampBottom + 0.08), 0>, <0, Fixed(LampTop - 0.28), 0>, 0.13 pigment { rgbf <1, 0.85, 0.6, 0.7> } finish { ambient 0 diffuse 0 emission 1.4 } no_shadow }
  cone { <0, Fixed(LampTop - 0.28), 0>, 0.15, <0, Fixed(LampTop - 0.12), 0>, 0.03 texture { Brass } }
  torus { 0.06, 0.012 translate <0, Fixed(LampTop - 0.08), 0> texture { Brass } }
  light_source { <0, Fixed((LampTop + LampBottom) / 2), -0.3>, rgb <1.0, 0.72, 0.42> * 2.2 fade_distance 2.2 fade_power 2 }
  translate <0, -Fixed(LampBottom), 0> scale <2, 1, 2> translate <0, Fixed(LampBottom), 0>
  PlacedAt(2, R - 0.45)
}
DrippingGlints(14, R, 3001)
light_source { <0, 4, 0>, rgb Cold * 0.12 shadowless }
