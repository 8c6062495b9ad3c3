// A panorama of the lamp gallery (gallery_stair_walk): the walk by the stair to the dome, lit once every lamp of the ring burns, and two columns of the ring.
// kelvane-data renders it 2048 x 512 after a prelude of the place's landmarks and the story's
// state; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/gallery/stair_walk.pov
#version 3.7;
#ifndef (Landmarks)
  #declare Panorama = true;
  #declare Landmarks = 6;
  #declare LandmarkLook = array[6] {"arch", "stairs", "panel", "arch", "torch", "torch"};
  #declare LandmarkLeft = array[6] {100, 800, 1200, 1750, 600, 1080};
  #declare LandmarkTop = array[6] {170, 170, 220, 170, 200, 200};
  #declare LandmarkRight = array[6] {300, 940, 1400, 1950, 640, 1120};
  #declare LandmarkBottom = array[6] {400, 390, 380, 400, 310, 310};
#end
// What each landmark is, in the world files' order.
#declare LandmarkFixture = array[6] {"archway", "stair up", "stair side", "archway", "lamp column", "lamp column"};
#include "gallery/gallery.inc"
