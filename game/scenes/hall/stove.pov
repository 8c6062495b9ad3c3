// The study's cast-iron stove burning on its tiled hearth, the flue going into the wall.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/hall/stove.pov
#include "hall/close_view.inc"
#include "models/stove.inc"

CloseView(0.0042, 1.05, 1.3, 3.2, Plaster, Planks, 0.75, 0.7)
box { <-0.75, 0, -0.45>, <0.75, 0.03, 0.75> texture { Tiles scale 0.35 } }
box { <-0.9, 0, 0.7>, <0.9, 2.4, 0.76> texture { Tiles scale 0.35 } }
object { Stove(0.95, 1.05, 2.05, 0.75, true) translate <0, 0.03, -0.05> }
