// The tide post on the flats: a weathered board of two planks nailed across a tarred post, the
// tide marks cut in the post below it; the sand and the sea behind, under a grey sky.
// kelvane-data paints the board's words over the render (picture pixels 228, 82 .. 796, 320).
// On its own: povray +W1024 +H512 game/scenes/texts/tide_post.pov
#version 3.7;
#include "materials.inc"
#declare FrameDistance = 1.0;
#declare FrameHalfWidth = 0.62;
#include "texts/flat_frame.inc"

// The board, in picture pixels.
#declare BoardLeft = 188;
#declare BoardTop = 62;
#declare BoardWidth = 648;
#declare BoardHeight = 268;
#declare BoardBottom = BoardTop + BoardHeight;

sky_sphere { pigment { gradient y colour_map { [0 rgb <0.62, 0.64, 0.66>] [0.3 rgb <0.45, 0.52, 0.62>] [1 rgb <0.25, 0.33, 0.48>] } } }
plane { y, -1.6 texture { Sand scale 4 } }
plane { y, -1.58 texture { Sea } clipped_by { plane { -z, -14 } } }
// Rocks out on the flats.
#declare R = seed(150);
#for (RockIndex, 0, 14, 1)
  sphere { 0, 1 scale <0.2 + 0.4 * rand(R), 0.12 + 0.15 * rand(R), 0.2 + 0.4 * rand(R)> translate <-12 + 24 * rand(R), -1.6, 7 + 7 * rand(R)> texture { Rock } }
#end
#declare Weathered = texture {
  pigment { wood turbulence 0.08 colour_map { [0 rgb <0.56, 0.53, 0.47>] [0.6 rgb <0.66, 0.63, 0.56>] [1 rgb <0.50, 0.47, 0.42>] } scale 0.06 rotate y * 90 }
  normal { wood 0.3 scale 0.06 rotate y * 90 }
  finish { diffuse 0.8 }
}
// The post, and the marks cut across it below the board, the last almost worn away.
difference {
  box { <FrameX(440, 0), -3, 0.005>, <FrameX(584, 0), FrameY(BoardTop - 24, 0), 0.12> }
  #for (Mark, 0, 3, 1)
    box { <-2, FrameY(BoardBottom + 40, 0) - Mark * 0.045, -0.01>, <2, FrameY(BoardBottom + 40, 0) - Mark * 0.045 + (Mark = 3 ? 0.004 : 0.008), 0.02> }
  #end
  texture { Weathered rotate z * 90 scale 1.5 } texture { pigment { rgbt <0.05, 0.04, 0.03, 0.45> } }
}
#for (Nail, 0, 3, 1)
  cylinder { <0, 0, 0>, <0, 0, -0.006>, 0.008
    translate <FrameX(470, 0) + mod(Nail, 2) * (FrameX(554, 0) - FrameX(470, 0)),
               FrameY(BoardBottom - 30, 0) + div(Nail, 2) * (FrameY(BoardTop + 30, 0) - FrameY(BoardBottom - 30, 0)), -0.012> texture { DarkIron } }
#end
light_source { <-6, 8, -10>, rgb <0.95, 0.92, 0.86> * 1.1 }
light_source { <6, 3, -8>, rgb <0.45, 0.50, 0.60> * 0.4 shadowless }
// The board: two planks one above the other, nailed to the post.
#declare Half = int(BoardHeight / 2);
box { FrameCorners(BoardLeft, BoardTop, BoardWidth, Half, -0.03, 0.0) texture { Weathered } }
box { FrameCorners(BoardLeft, BoardTop + Half, BoardWidth, BoardHeight - Half, -0.03, 0.0) texture { Weathered translate x * 0.3 } }
