// The round table on the tower's cabinet floor with its chart, candle and mug.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/tower/table.pov
#include "hall/close_view.inc"
#include "models/desk.inc"

CloseView(0.0034, 0.45, 1.8, 2.4, TowerBlocks, Planks, 1.5, 1.0)
object { union { Desk("tower_table", 1.6, 1.3) } translate <0, 0, -0.3> }
