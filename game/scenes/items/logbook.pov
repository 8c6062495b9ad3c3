// The inventory bar's picture of an item: the keeper's logbook, closed, seen from above the cover.
// kelvane-data renders it square (75 pixels in the game) with alpha; on its own in povray:
//   povray +W300 +H300 +UA game/scenes/items/logbook.pov
#version 3.7;
#include "materials.inc"
#include "models/logbook.inc"
#include "rigs/item_bar.inc"

ItemBar(<0, 0.02, 0>, 0.135, 58, -22)
object { Logbook }
