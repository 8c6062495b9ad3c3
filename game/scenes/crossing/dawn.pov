// The ending's dawn: the island with its light lit, gulls over the water, the sun just under
// the horizon behind it. kelvane-data renders it as the ending's picture; on its own in povray:
//   povray +W1024 +H512 game/scenes/crossing/dawn.pov
#version 3.7;
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "models/island.inc"
FlatCamera(2.0, -4, 55)
// Dawn: a pale gold sky over the sea, the sun just under the horizon behind the island.
sky_sphere {
  pigment { gradient y colour_map { [0 rgb <1.0, 0.55, 0.28>] [0.06 rgb <0.92, 0.62, 0.45>] [0.2 rgb <0.55, 0.55, 0.70>] [1 rgb <0.25, 0.32, 0.55>] } }
  pigment { spherical colour_map { [0 rgbt 1] [1 rgbt <1.0, 0.85, 0.55, 0>] } scale 0.6 translate <0.3, 0, 1> }
}
light_source { <300, 60, 2000>, rgb <1.0, 0.78, 0.55> * 1.2 parallel point_at 0 }
light_source { <-500, 2000, -800>, rgb <0.35, 0.40, 0.55> shadowless }
SeaAt(0)
object { Island(1) translate <-8, 0, 140> }
// Gulls over the water.
object { Gull() scale 0.6 translate <-6, 9, 40> }
object { Gull() scale 0.5 rotate <0, 0, 10> translate <-3, 11, 45> }
object { Gull() scale 0.4 translate <8, 14, 60> }
