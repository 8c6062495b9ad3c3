// Out on the flats by the wreck: the steps back to the landing, the wreck's deckhouse door,
// the arch on to the marker.
// kelvane-data renders it as the place's panorama at high water and, with Story_tide 2 .. 4, as
// its versions at the lower tides; on its own in povray (add Declare=Story_tide=4 for the
// lowest ebb), from the checkout's root:
//   povray +W2048 +H512 game/scenes/tide/wreck_flats.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "rigs/panorama.inc"
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "tide/flats.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[4] {"stairs", "door", "arch", "pool"},
                   array[4][4] {{100, 200, 280, 420}, {800, 190, 950, 400}, {1400, 170, 1600, 400}, {300, 400, 1300, 500}})
#end

#declare FloorSeed = 601;
#declare HighMoonDegrees = 257;
#declare IslandColumn = 190;
#include "tide/outdoors.inc"
