// The tide register lying open on its lectern in the entrance hall, an iron candle stand
// burning beside it, the dressed stone wall behind.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/hall/lectern.pov
#include "hall/close_view.inc"
#include "models/lectern.inc"
#include "models/candle_stand.inc"

CloseView(0.0034, 0.78, 1.75, 3.0, Blocks, Flags, 1.2, 1.1)
Lectern(1.36, 1.22)
// The candle stand.
union {
  CandleStand(1.5)
  light_source { <0, 1.52, -0.2>, rgb <1, 0.75, 0.45> * 0.5 fade_distance 1.0 fade_power 2 shadowless }
  translate <-1.05, 0, 0.3>
}
