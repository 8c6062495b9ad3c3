// The letter cabinet on the tower's cabinet floor, seen close, its body filling the view's
// first landmark, and beside it the brass lock plate with its eight bell wheels on the key
// panel's cells and the release knob below them. In the changing blocks its front is rolled up
// (the landmark changed), the letters inside when the item shown is "letters".
// Declared KeyFrames (kelvane-data does, for the key panel's strip), the scene is instead the
// strip: the bell wheels in a row, one cell of KeyStepX pixels each, wheel k turned to value k.
// A close view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/tower/cabinet.pov
//   povray +W640 +H66 Declare=KeyFrames=8 game/scenes/tower/cabinet.pov   (the strip)
#include "hall/close_view.inc"
#include "models/cabinet.inc"

#ifndef (Landmarks)
  #declare Landmarks = 2;
  #declare LandmarkLeft = array[2] { 40, 320 };
  #declare LandmarkTop = array[2] { 40, 180 };
  #declare LandmarkRight = array[2] { 300, 980 };
  #declare LandmarkBottom = array[2] { 430, 290 };
  #declare LandmarkChanged = array[2] { false, false };
#end
#ifndef (ItemShown) #declare ItemShown = ""; #end
// The key panel's cells as the world's key_panel for the cabinet gives them: the first cell's
// top left, a cell's size and the step from cell to cell, in picture pixels; and the release
// knob's rectangle (the world's cabinet_release).
#ifndef (KeyCellLeft) #declare KeyCellLeft = 330; #end
#ifndef (KeyCellTop) #declare KeyCellTop = 200; #end
#ifndef (KeyCellWidth) #declare KeyCellWidth = 67; #end
#ifndef (KeyCellHeight) #declare KeyCellHeight = 66; #end
#ifndef (KeyStepX) #declare KeyStepX = 80; #end
#declare Release = array[4] { 610, 320, 690, 400 };

#declare Scale = 0.0034;
#ifndef (KeyFrames)
  CloseView(Scale, 0.85, 1.2, 3.3, TowerBlocks, Planks, 0.5, 1.0)
#else
  #declare ViewScale = Scale;
  #declare ViewCentreY = 0.85;
#end
#declare CentreX = ViewX((LandmarkLeft[0] + LandmarkRight[0]) / 2);
#declare WheelRadius = KeyCellWidth * 0.46 * Scale;

#ifndef (KeyFrames)
  object {
    union {
      Cabinet(ViewX(LandmarkRight[0]) - ViewX(LandmarkLeft[0]), ViewY(LandmarkTop[0]),
              ViewX(KeyCellLeft + KeyCellWidth / 2) - CentreX, ViewY(KeyCellTop + KeyCellHeight / 2), KeyStepX * Scale,
              WheelRadius, ViewX((Release[0] + Release[2]) / 2) - CentreX, ViewY((Release[1] + Release[3]) / 2),
              (Release[2] - Release[0]) * 0.36 * Scale, ViewX(985) - CentreX,
              LandmarkChanged[0], (strcmp(ItemShown, "letters") = 0))
    }
    translate <Fixed(CentreX), 0, 0.1>
  }
#else
  // The strip, at the close view's scale and light.
  #declare StripWidth = KeyFrames * KeyStepX * Scale;
  camera { orthographic location <Fixed(StripWidth / 2), 0, -3> look_at <Fixed(StripWidth / 2), 0, 0> right x * Fixed(StripWidth) up y * Fixed(KeyCellHeight * Scale) }
  box { <-1, -1, 0.06>, <Fixed(StripWidth + 1), 1, 0.1> texture { Brass } }
  light_source { <-1.6, 2.6, -2.2>, rgb <1.0, 0.8, 0.56> * 1.0 }
  light_source { <1.5, 1.5, -3.0>, rgb <0.8, 0.72, 0.62> * 0.22 shadowless }
  #for (Frame, 0, KeyFrames - 1)
    object { union { BellWheel(WheelRadius, Frame) } translate <Fixed((Frame * KeyStepX + KeyCellWidth / 2) * Scale), 0, 0> }
  #end
#end
