// The arrival: the boat running in towards the dark island across the sea by night, seen
// from its stern thwart over the bow.
// On its own: povray +W512 +H256 game/scenes/films/crossing.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
#declare Lit = 0;
#include "films/island.inc"
#include "films/boat_bow.inc"
NightSky(11, 220, 25, 28, 0.9)
// The boat runs in towards the island; it rolls and pitches on the swell, the camera with it.
#declare Roll = 3.0 * sin(T * 2 * pi * 1.6);
#declare Pitch = 1.5 * sin(T * 2 * pi * 1.1 + 0.7);
#declare Ahead = T * 45;
camera { perspective location <0, 1.25, 0> look_at <0, 4.5, 100> right x * 2 up y angle 62
         rotate <Pitch, 0, Roll> translate <0, 0, Ahead> }
object { Bow translate <0, 0.35, 0.6> rotate <Pitch, 0, Roll> translate <0, 0, Ahead> }
plane { y, 0 texture { Sea translate <T * 3, 0, T * 9> } }
object { Island rotate <0, 20, 0> translate <-12, 0, 190> }
// Oars over the sides, dipping in turn.
#for (Side, -1, 1, 2)
  cylinder { <0, 0, 0>, <Side * 2.6, 0, 0>, 0.035 texture { Wood }
    rotate <0, Side * (-20 + 25 * sin(T * 2 * pi * 3)), Side * (-18 + 9 * cos(T * 2 * pi * 3))>
    translate <Side * 0.8, 0.45, 0.9> rotate <Pitch, 0, Roll> translate <0, 0, Ahead> }
#end
