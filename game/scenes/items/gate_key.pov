// The inventory bar's picture of an item: the gate key, seen from high over its shank.
// kelvane-data renders it square (75 pixels in the game) with alpha; on its own in povray:
//   povray +W300 +H300 +UA game/scenes/items/gate_key.pov
#version 3.7;
#include "materials.inc"
#include "models/gate_key.inc"
#include "rigs/item_bar.inc"

ItemBar(<0.012, 0.005, 0.006>, 0.068, 70, 0)
object { GateKey }
