// Furthest out on the flats: the skylight of the drowned hall standing out of the sand, the
// arches back to the marker and the landing.
// kelvane-data renders it as the place's panorama at high water and, with Story_tide 2 .. 4, as
// its versions at the lower tides; on its own in povray (add Declare=Story_tide=4 for the
// lowest ebb), from the checkout's root:
//   povray +W2048 +H512 game/scenes/tide/skylight_flats.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "rigs/panorama.inc"
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "tide/flats.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[4] {"arch", "window", "pool", "arch"},
                   array[4][4] {{100, 170, 300, 400}, {900, 200, 1100, 400}, {600, 380, 1500, 500}, {1700, 170, 1900, 400}})
#end

#declare FloorSeed = 603;
#declare HighMoonDegrees = 171;
#declare IslandColumn = 1800;
#include "tide/outdoors.inc"
