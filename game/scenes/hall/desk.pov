// The keeper's writing desk in his study against the panelled wall; in the changing block his
// logbook lies closed on it.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/hall/desk.pov
#include "hall/close_view.inc"
#include "models/desk.inc"

// The item lying on the desk in the changing block ("logbook"), or "".
#ifndef (ItemShown) #declare ItemShown = ""; #end

CloseView(0.0038, 1.14, 2.4, 2.0, Plaster, Planks, 0.86, 1.0)
difference { box { <-5, 0, 0.82>, <5, 1.1, 0.86> } box { <-5, -1, 0>, <5, 2, 0.83> } texture { Panelling } }
Desk("keeper", 1.9, 1.35)
#if (strcmp(ItemShown, "logbook") = 0)
  object { DeskLogbook rotate <0, -8, 0> translate <0.0, 0.803, 0.26> }
#end
