// The gallery hatch at the head of its steep stair, seen close through the opening of the
// view's landmark: barred, or in the changing block (the landmark changed) unbarred and open
// on the night.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/tower/hatch.pov
#include "hall/close_view.inc"
#include "models/hatch.inc"

#ifndef (Landmarks)
  #declare Landmarks = 1;
  #declare LandmarkLeft = array[1] { 362 };
  #declare LandmarkTop = array[1] { 40 };
  #declare LandmarkRight = array[1] { 662 };
  #declare LandmarkChanged = array[1] { false };
#end

CloseView(0.0034, 1.5, 1.5, 3.0, TowerBlocks, Planks, -1, 0.6)
#declare L = ViewX(LandmarkLeft[0]);
#declare R = ViewX(LandmarkRight[0]);
#declare Top = ViewY(LandmarkTop[0]);
difference { box { <-6, -1, 0>, <6, 6, 0.8> } box { <Fixed(L), -0.5, -1>, <Fixed(R), Fixed(Top), 2> } texture { TowerBlocks } }
difference { box { <Fixed(L - 0.4), -1, 0.01>, <Fixed(R + 0.4), Fixed(Top + 2.5), 4> } box { <Fixed(L), -2, -1>, <Fixed(R), Fixed(Top + 2), 5> } texture { TowerBlocks } }
union { HatchParts(R - L, Top - 0.1, LandmarkChanged[0]) }
light_source { <0, Fixed(Top - 0.6), 0.6>, rgb <1.0, 0.76, 0.5> * 0.5 fade_distance 1.0 fade_power 2 shadowless }
