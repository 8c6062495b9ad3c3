// A panorama of the lamp gallery (gallery_plaque_walk): the walk by the plaque: the stair down the tower, the brass plaque that tells how the ring answers a hand, archways round the ring.
// kelvane-data renders it 2048 x 512 after a prelude of the place's landmarks and the story's
// state; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/gallery/plaque_walk.pov
#version 3.7;
#ifndef (Landmarks)
  #declare Panorama = true;
  #declare Landmarks = 4;
  #declare LandmarkLook = array[4] {"stairs", "arch", "panel", "arch"};
  #declare LandmarkLeft = array[4] {100, 900, 1500, 1850};
  #declare LandmarkTop = array[4] {200, 170, 220, 170};
  #declare LandmarkRight = array[4] {280, 1100, 1700, 2000};
  #declare LandmarkBottom = array[4] {420, 400, 380, 400};
#end
// What each landmark is, in the world files' order.
#declare LandmarkFixture = array[4] {"stair down", "archway", "plaque", "archway"};
#include "gallery/gallery.inc"
