// A star panel of the dome, close (dome_panel1 .. dome_panel4, one panel under four names):
// nine star lamps, three by three, on a plate of blued iron in a brass frame, seen square on,
// the name board over it left bare (kelvane-data paints the figure's name on after the
// render). Every star shines when KeyValue is 1 (the key strip's lit frame). On its own in
// povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/dome/star_panel.pov
#version 3.7;
#ifndef (Landmarks)
  #declare Panorama = false;
  #declare Landmarks = 1;
  #declare LandmarkLook = array[1] {"panel"};
  #declare LandmarkLeft = array[1] {312};
  #declare LandmarkTop = array[1] {80};
  #declare LandmarkRight = array[1] {712};
  #declare LandmarkBottom = array[1] {420};
#end
// The star panels' key panel (game/world/dome.lua).
#ifndef (KeyColumns)
  #declare KeyColumns = 3;
  #declare KeyRows = 3;
  #declare KeyLeft = 392;
  #declare KeyTop = 130;
  #declare KeyWidth = 64;
  #declare KeyHeight = 64;
  #declare KeyStepX = 88;
  #declare KeyStepY = 88;
#end
#include "materials.inc"
#include "models/star_lamp.inc"
#include "rigs/square_on.inc"
#declare Lit = (KeyValue = 1);

#declare PanelLeft = PixelX(LandmarkLeft[0]);
#declare PanelRight = PixelX(LandmarkRight[0]);
#declare PanelTop = PixelY(LandmarkTop[0]);
#declare PanelBottom = PixelY(LandmarkBottom[0]);
background { rgb <0.02, 0.02, 0.04> }
// The dome's drum, and the panel (the landmark): a brass frame round a plate of blued iron.
plane { -z, -0.3 texture { Blocks scale 1.4 } }
box { <PanelLeft, PanelBottom, 0>, <PanelRight, PanelTop, 0.3> texture { Brass } }
// The plate 10 pixels inside the frame.
box { <PixelX(LandmarkLeft[0] + 10), PixelY(LandmarkBottom[0] - 10), -0.03>, <PixelX(LandmarkRight[0] - 10), PixelY(LandmarkTop[0] + 10), 0.2>
      texture { pigment { rgb <0.06, 0.07, 0.1> } finish { diffuse 0.5 specular 0.4 roughness 0.03 metallic } } }
// The name board over the panel; its name is painted on after the render.
box { <3.5, -0.1, 0>, <6.74, -0.72, 0.3> texture { Wood scale 4 } }
box { <3.56, -0.16, -0.02>, <6.68, -0.66, 0.2> texture { pigment { rgb <0.13, 0.07, 0.04> } finish { diffuse 0.6 specular 0.2 roughness 0.05 } } }
#for (Row, 0, KeyRows - 1)
  #for (Column, 0, KeyColumns - 1)
    #local StarX = PixelX(KeyLeft + Column * KeyStepX + KeyWidth / 2);
    #local StarY = PixelY(KeyTop + Row * KeyStepY + KeyHeight / 2);
    object { StarLamp(Lit) translate <StarX, StarY, -0.03> }
    #if (Lit) LampHalo(StarX, StarY, -0.035, 0.31, false) #end
  #end
#end
