// A panorama of the dome (dome_telescope): the great telescope on its pier.
// kelvane-data renders it 2048 x 512 after a prelude of the place's landmarks and the story's
// state; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/dome/telescope.pov
#version 3.7;
#ifndef (Landmarks)
  #declare Panorama = true;
  #declare Landmarks = 4;
  #declare LandmarkLook = array[4] {"arch", "machine", "arch", "arch"};
  #declare LandmarkLeft = array[4] {100, 800, 1400, 1800};
  #declare LandmarkTop = array[4] {170, 250, 170, 170};
  #declare LandmarkRight = array[4] {300, 1040, 1600, 2000};
  #declare LandmarkBottom = array[4] {400, 390, 400, 400};
#end
// What each landmark is, in the world files' order.
#declare LandmarkFixture = array[4] {"archway", "telescope", "archway", "archway"};
// How far round this spot of the floor sees the drum's lamps and the slit, in degrees.
#declare SpotTurn = 13;
#include "dome/dome.inc"
