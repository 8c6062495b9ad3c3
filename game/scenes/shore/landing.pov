// The landing: the quay where the boat puts in, the boathouse, the tide post and the steps up the island and down to the flats.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks and of what
// a changing block shows; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/shore/landing.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "rigs/panorama.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[6] {"stairs", "door", "pillar", "stairs", "moon", "arch"},
                   array[6][4] {{200, 150, 380, 400}, {700, 190, 850, 400}, {1110, 180, 1170, 420}, {1500, 200, 1700, 420}, {1850, 60, 1910, 120}, {1950, 170, 2132, 400}})
#end

// How the place lies: the sea below, the ground round the eye, the observatory on its rock.
#declare SeaLevel = -1.2;
#declare GroundRadius = 9;
#declare ObservatoryColumn = 290;
#declare ObservatoryDistance = 55;
#declare ObservatoryTurn = 20;
#declare ObservatoryHeight = 5;
#declare RockSeed = 100;
#declare HighMoonDegrees = 20;
// The landing is paved.
#declare Ground = texture { Blocks scale 1.6 }
// The steps up to the island (landmark 1) climb; the flight to the flats (landmark 4) goes down.
#macro GoesDown(I) (I = 3) #end
#macro DoorThere(W, H, Open) BoathouseOutside(W, H) #end
#macro PillarThere(W, H) TidePost(W, H) #end
#include "shore/outdoors.inc"
