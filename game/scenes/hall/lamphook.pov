// The board of lamp hooks on the lamp room's whitewashed wall; in the changing block the hand
// lamp hangs on its middle hook. The board spans the rows of the view's landmark.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/hall/lamphook.pov
#include "hall/close_view.inc"
#include "models/lamp_board.inc"

#ifndef (Landmarks)
  #declare Landmarks = 1;
  #declare LandmarkTop = array[1] { 100 };
  #declare LandmarkBottom = array[1] { 420 };
#end
// The item hanging on the hook in the changing block ("lamp"), or "".
#ifndef (ItemShown) #declare ItemShown = ""; #end

CloseView(0.003, 1.5, 1.55, 3.0, Whitewash, Flags, 0.001, 0.9)
#declare Bottom = ViewY(LandmarkBottom[0]);
#declare Top = ViewY(LandmarkTop[0]);
#declare Hook = ViewY(185);  // where the lamp's bail hangs on the middle hook
object { union { LampBoard(0.9, Top - Bottom, Hook - 0.05 - Bottom, false) } translate <0, Fixed(Bottom), 0> }
#if (strcmp(ItemShown, "lamp") = 0)
  object { union { HandLantern(0.8) } translate <0, Fixed(Hook), -0.12> }
#end
