// The tide register lying open on its lectern in the entrance hall, an iron candle stand
// burning beside it, the dressed stone wall behind.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/hall/lectern.pov
#include "hall/close_view.inc"
#include "models/lectern.inc"

CloseView(0.0034, 0.78, 1.75, 3.0, Blocks, Flags, 1.2, 1.1)
Lectern(1.36, 1.22)
// The candle stand.
union {
  cylinder { <0, 0, 0>, <0, 1.3, 0>, 0.025 texture { DarkIron } }
  cone { <0, 0, 0>, 0.2, <0, 0.1, 0>, 0.03 texture { DarkIron } }
  cylinder { <0, 1.3, 0>, <0, 1.33, 0>, 0.09 texture { DarkIron } }
  cylinder { <0, 1.33, 0>, <0, 1.45, 0>, 0.04 pigment { rgb <0.86, 0.82, 0.7> } }
  sphere { <0, 0, 0>, 0.03 scale <1, 1.8, 1> translate <0, 1.5, 0> texture { Flame } no_shadow }
  light_source { <0, 1.52, -0.2>, rgb <1, 0.75, 0.45> * 0.5 fade_distance 1.0 fade_power 2 shadowless }
  translate <-1.05, 0, 0.3>
}
