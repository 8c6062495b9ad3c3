// The steps on the island's side: the arches to the gate and the cliff path, the thorn tree over the bench, the flights down to the landing and the boathouse.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks and of what
// a changing block shows; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/shore/steps.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "rigs/panorama.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[5] {"stairs", "arch", "tree", "arch", "stairs"},
                   array[5][4] {{100, 200, 300, 420}, {800, 170, 1000, 400}, {1200, 110, 1400, 380}, {1600, 170, 1800, 400}, {480, 200, 660, 420}})
#end

// How the place lies: the sea below, the ground round the eye, the observatory on its rock.
#declare SeaLevel = -6;
#declare GroundRadius = 13;
#declare ObservatoryColumn = 1100;
#declare ObservatoryDistance = 48;
#declare ObservatoryTurn = -30;
#declare ObservatoryHeight = 2;
#declare RockSeed = 101;
#declare HighMoonDegrees = 157;
// The island's top is turf.
#declare Ground = texture { Turf }
// Both flights lead down, to the landing and to the boathouse.
#macro GoesDown(I) true #end
#include "shore/outdoors.inc"
