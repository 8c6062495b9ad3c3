// The inventory bar's picture of an item: the keeper's letters, tied in their bundle, seen from above.
// kelvane-data renders it square (75 pixels in the game) with alpha; on its own in povray:
//   povray +W300 +H300 +UA game/scenes/items/letters.pov
#version 3.7;
#include "materials.inc"
#include "models/letters.inc"
#include "rigs/item_bar.inc"

ItemBar(<0, 0.01, 0>, 0.092, 60, -8)
object { LetterBundle }
