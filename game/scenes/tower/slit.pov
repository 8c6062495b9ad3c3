// The slit in the wall at the foot of the tower, seen close: the embrasure narrowing to a
// hand's width, the sea beyond it.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/tower/slit.pov
#ifndef (Landmarks)
  #declare Landmarks = 1;
  #declare LandmarkLeft = array[1] { 440 };
  #declare LandmarkTop = array[1] { 40 };
  #declare LandmarkRight = array[1] { 584 };
  #declare LandmarkBottom = array[1] { 400 };
#end
#include "tower/window.inc"

TowerWindow(0.14, false)
