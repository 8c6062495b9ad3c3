// The inventory bar's picture of an item: the crank handle, hanging, seen from the side of its grip.
// kelvane-data renders it square (75 pixels in the game) with alpha; on its own in povray:
//   povray +W300 +H300 +UA game/scenes/items/crank.pov
#version 3.7;
#include "materials.inc"
#include "models/crank.inc"
#include "rigs/item_bar.inc"

ItemBar(<0, -0.19, -0.12>, 0.26, 22, -42)
object { Crank }
