// The regulator clock on the clock room's wall, its top at the top of the view's landmark.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/hall/clock.pov
#include "hall/close_view.inc"
#include "models/wall_clock.inc"

#ifndef (Landmarks)
  #declare Landmarks = 1;
  #declare LandmarkTop = array[1] { 80 };
#end

CloseView(0.0032, 1.55, 1.6, 3.0, Blocks, Tiles, 0.001, 0.9)
object { WallClock(0.78, ViewY(LandmarkTop[0]) - ViewY(410), ViewY(410)) }
