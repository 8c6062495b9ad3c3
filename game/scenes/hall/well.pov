// The well head in the well room, seen from above: the stone rim, the dark water, the windlass
// and its bucket, a cold light from the cistern below.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/hall/well.pov
#include "hall/close_view.inc"
#include "models/well.inc"

CloseView(0.0026, 0.44, 2.4, 2.2, Stone, Flags, 1.6, 0.7)
object { Well(0.62, 0.45) translate <0, 0, 0.62> }
light_source { <0.8, 1.0, 0.9>, rgb <0.5, 0.6, 0.75> * 0.3 fade_distance 1 fade_power 2 shadowless }
