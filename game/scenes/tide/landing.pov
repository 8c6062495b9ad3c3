// The flats' landing at the foot of the steps from the shore: the tide clock, the arch out to
// the wreck, the tide gauge.
// kelvane-data renders it as the place's panorama at high water and, with Story_tide 2 .. 4, as
// its versions at the lower tides; on its own in povray (add Declare=Story_tide=4 for the
// lowest ebb), from the checkout's root:
//   povray +W2048 +H512 game/scenes/tide/landing.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "rigs/panorama.inc"
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "tide/flats.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[6] {"stairs", "machine", "arch", "pillar", "pool", "moon"},
                   array[6][4] {{100, 150, 280, 400}, {700, 250, 940, 390}, {1250, 170, 1450, 400}, {1800, 180, 1860, 420}, {1000, 400, 1700, 500}, {1480, 50, 1540, 110}})
#end

#declare FloorSeed = 600;
#declare HighMoonDegrees = 120;
#declare IslandColumn = 190;
// The gauge: its marked board on an iron post.
#macro PillarThere(W, H) GaugePost(W, H) #end
#include "tide/outdoors.inc"
