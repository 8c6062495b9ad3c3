// The inventory bar's picture of an item: the letter of appointment, folded, seen from above.
// kelvane-data renders it square (75 pixels in the game) with alpha; on its own in povray:
//   povray +W300 +H300 +UA game/scenes/items/appointment.pov
#version 3.7;
#include "materials.inc"
#include "models/appointment.inc"
#include "rigs/item_bar.inc"

ItemBar(<0, 0, 0>, 0.105, 62, 12)
object { Appointment }
