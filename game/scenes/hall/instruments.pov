// The instrument room's desk with its telescope, chronometer, barometer, globe and chart.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/hall/instruments.pov
#include "hall/close_view.inc"
#include "models/desk.inc"

CloseView(0.0038, 1.2, 2.3, 2.2, Plaster, Planks, 0.86, 1.0)
Desk("instruments", 1.9, 1.7)
