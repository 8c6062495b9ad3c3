// A panorama of the dome (dome_entry): the head of the stair from the gallery, and the builders' star chart.
// kelvane-data renders it 2048 x 512 after a prelude of the place's landmarks and the story's
// state; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/dome/entry.pov
#version 3.7;
#ifndef (Landmarks)
  #declare Panorama = true;
  #declare Landmarks = 4;
  #declare LandmarkLook = array[4] {"stairs", "arch", "panel", "arch"};
  #declare LandmarkLeft = array[4] {100, 800, 1300, 1750};
  #declare LandmarkTop = array[4] {200, 170, 220, 170};
  #declare LandmarkRight = array[4] {280, 1000, 1500, 1950};
  #declare LandmarkBottom = array[4] {420, 400, 380, 400};
#end
// What each landmark is, in the world files' order.
#declare LandmarkFixture = array[4] {"stair down", "archway", "star chart", "archway"};
// How far round this spot of the floor sees the drum's lamps and the slit, in degrees.
#declare SpotTurn = 0;
#include "dome/dome.inc"
