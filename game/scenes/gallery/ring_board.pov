// The lamp ring's board, close (gallery_ring): thirty-six small oil lamps on three brass rails
// of a dark board, twelve to a ring, seen square on; the snuffer hangs on its hook below. Every
// lamp burns when KeyValue is 1 (the key strip's lit frame). On its own in povray, from the
// checkout's root:
//   povray +W1024 +H512 game/scenes/gallery/ring_board.pov
#version 3.7;
#ifndef (Landmarks)
  #declare Panorama = false;
  #declare Landmarks = 2;
  #declare LandmarkLook = array[2] {"panel", "torch"};
  #declare LandmarkLeft = array[2] {40, 492};
  #declare LandmarkTop = array[2] {40, 372};
  #declare LandmarkRight = array[2] {984, 532};
  #declare LandmarkBottom = array[2] {400, 432};
#end
// The lamp ring's key panel (game/world/gallery.lua).
#ifndef (KeyColumns)
  #declare KeyColumns = 12;
  #declare KeyRows = 3;
  #declare KeyLeft = 52;
  #declare KeyTop = 90;
  #declare KeyWidth = 64;
  #declare KeyHeight = 64;
  #declare KeyStepX = 78;
  #declare KeyStepY = 100;
#end
#include "materials.inc"
#include "gallery/gallery_materials.inc"
#include "models/oil_lamp.inc"
#include "rigs/square_on.inc"
#declare Lit = (KeyValue = 1);

background { rgb <0.02, 0.02, 0.03> }
// The gallery's limewashed wall, and the board: dark boards in a moulded frame.
plane { -z, -0.3 texture { Limewash } }
box { <0.4, -4.0, 0>, <9.84, -0.4, 0.3> texture { Wood scale 6 } }
box { <0.5, -3.9, -0.03>, <9.74, -0.5, 0.2> texture { Tarred rotate <0, 0, 90> } }
#for (Row, 0, KeyRows - 1)
  #local RailTop = PixelY(KeyTop + Row * KeyStepY + KeyHeight);
  // The ring's rail: a brass strip the twelve lamps of the ring stand on.
  box { <0.5, RailTop + 0.02, -0.22>, <9.74, RailTop + 0.06, -0.02> texture { Brass } }
  #for (Column, 0, KeyColumns - 1)
    #local LampX = PixelX(KeyLeft + Column * KeyStepX + KeyWidth / 2);
    object { OilLamp(Lit) scale 1.75 translate <LampX, RailTop + 0.06, -0.12> }
    #if (Lit) LampHalo(LampX, RailTop + 0.33, -0.04, 0.3, true) #end
  #end
#end
// The snuffer on its hook below the rings (the second landmark): a brass cone on a handle.
#declare SnufferX = PixelX((LandmarkLeft[1] + LandmarkRight[1]) / 2);
#declare SnufferTop = PixelY(LandmarkTop[1]);
#declare SnufferFoot = PixelY(LandmarkBottom[1] - 6);
union {
  torus { 0.04, 0.01 rotate <90, 0, 0> translate <SnufferX, SnufferTop - 0.04, -0.1> }
  cylinder { <SnufferX, SnufferTop - 0.08, -0.1>, <SnufferX, SnufferFoot + 0.22, -0.1>, 0.016 }
  cone { <SnufferX, SnufferFoot + 0.24, -0.1>, 0.025, <SnufferX, SnufferFoot, -0.1>, 0.15 }
  texture { Brass }
}
cylinder { <SnufferX, SnufferTop - 0.01, -0.1>, <SnufferX, SnufferTop - 0.01, 0.05>, 0.012 texture { DarkIron } }
