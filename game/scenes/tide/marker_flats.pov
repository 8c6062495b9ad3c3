// Out on the flats by the tide marker: the arches back to the wreck and on to the skylight,
// the marker post, the steps to the landing.
// kelvane-data renders it as the place's panorama at high water and, with Story_tide 2 .. 4, as
// its versions at the lower tides; on its own in povray (add Declare=Story_tide=4 for the
// lowest ebb), from the checkout's root:
//   povray +W2048 +H512 game/scenes/tide/marker_flats.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "rigs/panorama.inc"
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "tide/flats.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[5] {"arch", "pillar", "arch", "pool", "stairs"},
                   array[5][4] {{100, 170, 300, 400}, {800, 180, 860, 420}, {1400, 170, 1584, 400}, {900, 400, 1900, 500}, {1700, 150, 1880, 400}})
#end

#declare FloorSeed = 602;
#declare HighMoonDegrees = 34;
#declare IslandColumn = 1790;
// The marker: a weathered post with its marks cut in it.
#macro PillarThere(W, H) MarkerPost(W, H) #end
#include "tide/outdoors.inc"
