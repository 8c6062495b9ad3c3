// The shelves on the tower's wall, seen close, up to the top of the view's landmark.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/tower/shelf.pov
#include "hall/close_view.inc"
#include "models/shelf.inc"

#ifndef (Landmarks)
  #declare Landmarks = 1;
  #declare LandmarkTop = array[1] { 100 };
#end

CloseView(0.0036, 1.15, 1.5, 3.0, TowerBlocks, Planks, 0.42, 0.9)
object { union { Shelf(1.4, ViewY(LandmarkTop[0])) } }
