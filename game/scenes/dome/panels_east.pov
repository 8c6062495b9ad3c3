// A panorama of the dome (dome_panels_east): the last two star panels.
// kelvane-data renders it 2048 x 512 after a prelude of the place's landmarks and the story's
// state; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/dome/panels_east.pov
#version 3.7;
#ifndef (Landmarks)
  #declare Panorama = true;
  #declare Landmarks = 5;
  #declare LandmarkLook = array[5] {"arch", "panel", "panel", "arch", "arch"};
  #declare LandmarkLeft = array[5] {134, 600, 1100, 1600, 1900};
  #declare LandmarkTop = array[5] {170, 220, 220, 170, 170};
  #declare LandmarkRight = array[5] {300, 800, 1300, 1784, 2066};
  #declare LandmarkBottom = array[5] {400, 380, 380, 400, 400};
#end
// What each landmark is, in the world files' order.
#declare LandmarkFixture = array[5] {"archway", "star panel", "star panel", "archway", "archway"};
// How far round this spot of the floor sees the drum's lamps and the slit, in degrees.
#declare SpotTurn = 39;
#include "dome/dome.inc"
