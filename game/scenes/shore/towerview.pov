// The tower seen from the lookout on the cliff path: its whitewashed shaft and the tall window
// halfway up, the lantern dark above.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/shore/towerview.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"window"}, array[1][4] {{430, 60, 594, 300}})
#end

FlatCamera(1.6, -14, 50)
#declare Tower = 30;
// The window fills the landmark's rectangle on the shaft's face.
#declare WinTopLeft = OnWall(LandmarkLeft[0], LandmarkTop[0], Tower - 3.1);
#declare WinBottomRight = OnWall(LandmarkRight[0], LandmarkBottom[0], Tower - 3.1);
#declare WinL = Fixed(WinTopLeft.x); #declare WinR = Fixed(WinBottomRight.x); #declare WinB = Fixed(WinBottomRight.y); #declare WinT = Fixed(WinTopLeft.y);
DuskSky(150, 25, 3.6, 1.0)
SeaAt(-14)
union {
  difference {
    cylinder { <0, -30, 0>, <0, 60, 0>, 3.2 }
    box { <WinL, WinB, -5>, <WinR, WinT - (WinR - WinL) / 2, 0> }
    cylinder { <(WinL + WinR) / 2, WinT - (WinR - WinL) / 2, -5>, <(WinL + WinR) / 2, WinT - (WinR - WinL) / 2, 0>, (WinR - WinL) / 2 }
    texture { Whitewash scale 2 }
  }
  cylinder { <0, -30, 0>, <0, 60, 0>, 2.5 pigment { rgb 0.02 } }
  box { <WinL, WinB, -2.7>, <WinR, WinT, -2.6> pigment { rgb <0.03, 0.04, 0.06> } finish { specular 0.9 roughness 0.004 reflection 0.3 } }
  #for (I, 1, 4)
    box { <WinL, WinB + I * (WinT - WinB) / 5 - 0.06, -2.8>, <WinR, WinB + I * (WinT - WinB) / 5 + 0.06, -2.7> texture { DarkIron } }
  #end
  box { <(WinL + WinR) / 2 - 0.06, WinB, -2.8>, <(WinL + WinR) / 2 + 0.06, WinT, -2.7> texture { DarkIron } }
  box { <WinL - 0.3, WinB - 0.3, -3.4>, <WinR + 0.3, WinB, -2.6> texture { Stone } }
  translate <0, 0, Tower>
}
object { Crag(30, 16, 14, 44) translate <0, -16, Tower + 4> }
