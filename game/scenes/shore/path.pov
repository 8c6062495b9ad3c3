// The cliff path: the arches to the steps and the gate, the lookout's spyglass, the flights down to the cove and the landing.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks and of what
// a changing block shows; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/shore/path.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "rigs/panorama.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[5] {"arch", "stairs", "pillar", "arch", "stairs"},
                   array[5][4] {{100, 170, 300, 400}, {700, 200, 900, 420}, {1300, 180, 1360, 420}, {1700, 170, 1900, 400}, {420, 200, 580, 420}})
#end

// How the place lies: the sea below, the ground round the eye, the observatory on its rock.
#declare SeaLevel = -14;
#declare GroundRadius = 10;
#declare ObservatoryColumn = 1530;
#declare ObservatoryDistance = 55;
#declare ObservatoryTurn = 40;
#declare ObservatoryHeight = 1;
#declare RockSeed = 103;
#declare HighMoonDegrees = 71;
// The island's top is turf.
#declare Ground = texture { Turf }
// Both flights lead down, to the cove and to the landing.
#macro GoesDown(I) true #end
#macro PillarThere(W, H) Lookout(W, H) #end
#include "shore/outdoors.inc"
