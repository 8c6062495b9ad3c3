// The inventory bar's picture of an item: the hand lamp, lit, seen from just above the table.
// kelvane-data renders it square (75 pixels in the game) with alpha; on its own in povray:
//   povray +W300 +H300 +UA game/scenes/items/hand_lamp.pov
#version 3.7;
#include "materials.inc"
#include "models/hand_lamp.inc"
#include "rigs/item_bar.inc"

ItemBar(<0, 0.13, 0>, 0.145, 14, 0)
object { HandLamp }
