// The inventory bar's picture of an item: the pocket watch with its lid open, seen from above the dial.
// kelvane-data renders it square (75 pixels in the game) with alpha; on its own in povray:
//   povray +W300 +H300 +UA game/scenes/items/watch.pov
#version 3.7;
#include "materials.inc"
#include "models/watch.inc"
#include "rigs/item_bar.inc"

ItemBar(<0, 0.014, 0.012>, 0.046, 48, 18)
object { PocketWatch }
