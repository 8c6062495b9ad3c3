// The glazed window at the top of the tower, seen close, the sea beyond it.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/tower/window.pov
#include "tower/window.inc"

TowerWindow(0.6, true)
