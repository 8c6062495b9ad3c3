// The inventory bar's picture of an item: the last lens standing on its edge, seen from low in front.
// kelvane-data renders it square (75 pixels in the game) with alpha; on its own in povray:
//   povray +W300 +H300 +UA game/scenes/items/lens.pov
#version 3.7;
#include "materials.inc"
#include "models/lens.inc"
#include "rigs/item_bar.inc"

ItemBar(<0, 0.152, 0>, 0.148, 24, 32)
object { Lens }
