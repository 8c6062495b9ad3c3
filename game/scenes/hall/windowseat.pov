// The window seat of the keeper's study: the window's deep reveal through the wall with its
// leaded panes, the night sea under the moon, the seat's chest with a cushion and a blanket.
// The window spans the rows of the view's landmark.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/hall/windowseat.pov
#include "hall/close_view.inc"

#ifndef (Landmarks)
  #declare Landmarks = 1;
  #declare LandmarkTop = array[1] { 60 };
  #declare LandmarkBottom = array[1] { 330 };
#end

CloseView(0.004, 0.85, 1.45, 3.4, Plaster, Planks, -1, 0.6)
#declare W = 0.9;
#declare Bottom = ViewY(LandmarkBottom[0]);
#declare Top = ViewY(LandmarkTop[0]);
#declare Opening = union { box { <-Fixed(W / 2), Fixed(Bottom), -1>, <Fixed(W / 2), Fixed(Top - W / 2), 2> } cylinder { <0, Fixed(Top - W / 2), -1>, <0, Fixed(Top - W / 2), 2>, Fixed(W / 2) } }
difference { box { <-5, -1, 0>, <5, 5, 0.8> } object { Opening } box { <-Fixed(W / 2 + 0.35), 0, -1>, <Fixed(W / 2 + 0.35), Fixed(Bottom), 0.5> } texture { Plaster } }
intersection {
  union {
    #for (I, -2, 2) box { <I * Fixed(W / 4) - 0.012, -5, 0.5>, <I * Fixed(W / 4) + 0.012, 5, 0.53> } #end
    #for (I, 0, 12) box { <-5, Fixed(Bottom) + I * 0.2 - 0.012, 0.5>, <5, Fixed(Bottom) + I * 0.2 + 0.012, 0.53> } #end
  }
  object { Opening }
  texture { DarkIron }
}
box { <-Fixed(W / 2), Fixed(Bottom), 0.51>, <Fixed(W / 2), Fixed(Top), 0.52> texture { Glass } }
NightOutside(-6, <-8, 14, 60>, 2.4, 0.9)
// The seat in the recess: a chest with a cushion and a folded blanket.
box { <-Fixed(W / 2 + 0.34), 0, -0.1>, <Fixed(W / 2 + 0.34), Fixed(Bottom - 0.12), 0.5> texture { Wood } }
box { <-Fixed(W / 2 + 0.33), Fixed(Bottom - 0.12), -0.08>, <Fixed(W / 2 + 0.33), Fixed(Bottom - 0.03), 0.48> texture { pigment { rgb <0.42, 0.12, 0.1> } normal { quilted 0.4 scale 0.05 } } }
box { <-0.25, 0, -0.2>, <0.25, 0.08, 0.2> rotate <0, 10, 0> translate <0.3, Fixed(Bottom - 0.03), 0.3> texture { pigment { rgb <0.55, 0.48, 0.3> } normal { quilted 0.5 scale 0.04 } } }
