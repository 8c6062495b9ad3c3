// Before the observatory's gate: the padlocked iron gate (open once unlocked), the wing's tall window on the rock above, the arches back.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks and of what
// a changing block shows; on its own in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/shore/gate.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "rigs/panorama.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[4] {"arch", "gate", "window", "arch"},
                   array[4][4] {{300, 170, 500, 400}, {900, 150, 1100, 400}, {1300, 120, 1390, 260}, {1900, 170, 2150, 400}})
#end

// How the place lies: the sea below, the ground round the eye, the observatory on its rock.
#declare SeaLevel = -9;
#declare GroundRadius = 14;
#declare ObservatoryColumn = 1020;
#declare ObservatoryDistance = 36;
#declare ObservatoryTurn = 0;
#declare ObservatoryHeight = 3.5;
#declare RockSeed = 102;
#declare HighMoonDegrees = 294;
// The island's top is turf.
#declare Ground = texture { Turf }
#macro GoesDown(I) false #end
#include "shore/outdoors.inc"
