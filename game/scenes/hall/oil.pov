// The lamp room's oil store: the riveted tank on its cradle, the can under the tap, two drums
// and a spill of oil on the flags.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/hall/oil.pov
#include "hall/close_view.inc"
#include "models/oil_store.inc"

CloseView(0.0044, 0.85, 1.5, 4.2, Whitewash, Flags, 1.0, 1.0)
object { union { OilStore(2.15, 1.08) } translate <0, 0, -0.05> }
disc { <0.2, 0.002, -0.2>, y, 0.35 pigment { rgbf <0.05, 0.04, 0.02, 0.3> } finish { specular 0.8 roughness 0.005 reflection 0.2 } }
