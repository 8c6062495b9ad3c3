// A panorama of the dome (dome_shutter_side): the foot of the shutter and its winches.
// kelvane-data renders it 2048 x 512 after a prelude of the place's landmarks and the story's
// state; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/dome/shutter_side.pov
#version 3.7;
#ifndef (Landmarks)
  #declare Panorama = true;
  #declare Landmarks = 3;
  #declare LandmarkLook = array[3] {"arch", "window", "arch"};
  #declare LandmarkLeft = array[3] {100, 800, 1600};
  #declare LandmarkTop = array[3] {170, 100, 170};
  #declare LandmarkRight = array[3] {300, 1100, 1800};
  #declare LandmarkBottom = array[3] {400, 330, 400};
#end
// What each landmark is, in the world files' order.
#declare LandmarkFixture = array[3] {"archway", "shutter", "archway"};
// How far round this spot of the floor sees the drum's lamps and the slit, in degrees.
#declare SpotTurn = 52;
#include "dome/dome.inc"
