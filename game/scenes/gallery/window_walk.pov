// A panorama of the lamp gallery (gallery_window_walk): the walk by the window on the sea and the keeper's settle.
// kelvane-data renders it 2048 x 512 after a prelude of the place's landmarks and the story's
// state; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/gallery/window_walk.pov
#version 3.7;
#ifndef (Landmarks)
  #declare Panorama = true;
  #declare Landmarks = 5;
  #declare LandmarkLook = array[5] {"arch", "window", "arch", "desk", "arch"};
  #declare LandmarkLeft = array[5] {100, 800, 1400, 1700, 450};
  #declare LandmarkTop = array[5] {170, 190, 170, 290, 170};
  #declare LandmarkRight = array[5] {300, 890, 1584, 1900, 650};
  #declare LandmarkBottom = array[5] {400, 330, 400, 400, 400};
#end
// What each landmark is, in the world files' order.
#declare LandmarkFixture = array[5] {"archway", "sea window", "archway", "bench", "archway"};
#include "gallery/gallery.inc"
