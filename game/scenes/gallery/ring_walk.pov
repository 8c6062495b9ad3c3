// A panorama of the lamp gallery (gallery_ring_walk): the walk by the lamp ring's board, two columns of the ring's lamps on the wall.
// kelvane-data renders it 2048 x 512 after a prelude of the place's landmarks and the story's
// state; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/gallery/ring_walk.pov
#version 3.7;
#ifndef (Landmarks)
  #declare Panorama = true;
  #declare Landmarks = 6;
  #declare LandmarkLook = array[6] {"arch", "panel", "arch", "torch", "torch", "arch"};
  #declare LandmarkLeft = array[6] {134, 800, 1400, 1200, 1800, 1900};
  #declare LandmarkTop = array[6] {170, 220, 170, 200, 200, 170};
  #declare LandmarkRight = array[6] {300, 1000, 1600, 1240, 1840, 2066};
  #declare LandmarkBottom = array[6] {400, 380, 400, 310, 310, 400};
#end
// What each landmark is, in the world files' order.
#declare LandmarkFixture = array[6] {"archway", "ring board", "archway", "lamp column", "lamp column", "archway"};
#include "gallery/gallery.inc"
