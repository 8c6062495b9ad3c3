// The cove under the cliff: the sea door in the rock (open once opened from inside), the rock pool, the steps up to the path and the arch to the landing.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks and of what
// a changing block shows; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/shore/cove.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "rigs/panorama.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[4] {"stairs", "door", "pool", "arch"},
                   array[4][4] {{200, 200, 400, 420}, {900, 180, 1060, 400}, {1400, 400, 1784, 490}, {1900, 170, 2100, 400}})
#end

// How the place lies: the sea below, the ground round the eye, the observatory on its rock.
#declare SeaLevel = -0.9;
#declare GroundRadius = 8;
#declare ObservatoryColumn = 1650;
#declare ObservatoryDistance = 70;
#declare ObservatoryTurn = -10;
#declare ObservatoryHeight = 6;
#declare RockSeed = 105;
#declare HighMoonDegrees = 345;
// The cove is bare rock.
#declare Ground = texture { IslandRock scale 2 }
// The steps climb to the cliff path.
#macro GoesDown(I) false #end
#macro DoorThere(W, H, Open) SeaCliff(W, H, Open) #end
#include "shore/outdoors.inc"
