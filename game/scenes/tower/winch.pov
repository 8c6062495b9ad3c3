// The winch that unbars the gallery hatch, seen close: its drum and chain, the ratchet and the
// square shaft end where the crank fits.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/tower/winch.pov
#include "hall/close_view.inc"
#include "models/winch.inc"

CloseView(0.0045, 0.78, 1.7, 3.6, TowerBlocks, Planks, 1.2, 1.0)
object { union { Winch(2.3, 1.5, 3.5) } translate <0, 0, -0.1> }
