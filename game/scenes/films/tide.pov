// The tide flats below the landing with the water going from tide TideFrom to TideTo (1 high
// water, 2 half ebb, 3 low water, 4 the lowest ebb, which uncovers the skylight of the drowned
// observatory). kelvane-data declares both before the scene; alone it shows the lowest ebb
// coming in.
// On its own: povray +W512 +H256 game/scenes/films/tide.pov (the shot's first moment; the
// clock 0 .. 1 of an animation, +KFI1 +KFF25, runs the shot, see films/film.inc).
#version 3.7;
#include "films/film.inc"
#ifndef (TideFrom) #declare TideFrom = 3; #end
#ifndef (TideTo) #declare TideTo = 4; #end
NightSky(14, 200, 28, 22, 0.75)
// The water's height at each tide over flats that slope down from the landing.
#declare TideLevels = array[5] { 0, 1.51, 0.79, 0.07, -0.77 }
#declare Level = TideLevels[TideFrom] + (TideLevels[TideTo] - TideLevels[TideFrom]) * Ease(0.08, 0.92);
#declare Slope = 0.12;
camera { perspective location <-2 + T * 1.5, 4.6, -4> look_at <-3 + T * 6, -0.8, 20> right x * 2 up y angle 66 }
// The flats: sand falling gently away from the landing, with bars, ripples and rocks.
#declare WetSand = texture {
  pigment { granite colour_map { [0 rgb <0.36, 0.3, 0.2>] [0.6 rgb <0.42, 0.35, 0.24>] [1 rgb <0.3, 0.26, 0.18>] } scale 0.5 }
  normal { ripples 0.4 frequency 6 scale <4, 1, 1.5> turbulence 0.4 }
  finish { diffuse 0.6 specular 0.08 roughness 0.06 }
}
plane { <0, 1, Slope>, 1.75 / vlength(<0, 1, Slope>) texture { WetSand } }
#declare RockSeed = seed(21);
#for (I, 1, 26)
  #declare RZ = 3 + rand(RockSeed) * 30;
  sphere { <0, 0, 0>, 1 scale <0.5 + rand(RockSeed), 0.35 + rand(RockSeed) * 0.5, 0.5 + rand(RockSeed)>
           translate <-14 + rand(RockSeed) * 28, 1.75 - Slope * RZ, RZ> texture { Rock } }
#end
// The landing's stair and the cliff of the island on the left.
#for (I, 0, 8) box { <-9, -1, -4 + I * 0.6>, <-7, 3.2 - I * 0.38, -3.4 + I * 0.6> texture { Stone } } #end
sphere { <0, 0, 0>, 1 scale <8, 14, 26> translate <-17, 0, 6> texture { Rock scale 3 } }
// The tide marker: a post painted in bands, one band to each tide.
union {
  cylinder { <0, -2, 0>, <0, 2.6, 0>, 0.14 pigment { gradient y colour_map { [0 rgb <0.8, 0.78, 0.7>] [0.5 rgb <0.8, 0.78, 0.7>] [0.5 rgb <0.08, 0.07, 0.07>] [1 rgb <0.08, 0.07, 0.07>] } scale 1.1 } }
  sphere { <0, 2.7, 0>, 0.2 texture { DarkIron } }
  translate <3.2, 1.75 - Slope * 12, 12>
}
// The drowned observatory's skylight, a glass dome ribbed with brass, uncovered by the lowest ebb.
union {
  sphere { <0, 0, 0>, 1.4 clipped_by { plane { -y, 0 } } texture { Glass } interior { GlassInterior } }
  #for (R, 0, 5) torus { 1.4, 0.04 rotate <90, R * 30, 0> clipped_by { plane { -y, 0 } } texture { Brass } } #end
  torus { 1.42, 0.07 texture { Brass } }
  scale 2.2 translate <1.5, 1.75 - Slope * 17 - 2.9, 17>
}
sphere { <1.5, 1.75 - Slope * 17 - 1.9, 17>, 2.0 pigment { rgb <0.9, 0.6, 0.3> } finish { ambient 0 diffuse 0 emission 0.6 } }
// The sea, its level going with the tide, and the line of foam where it meets the sand.
plane { y, Level texture { Sea pigment { rgb <0.01, 0.025, 0.04> } translate <T * 2, 0, T * 5> } }
#declare Shore = (1.75 - Level) / Slope;
box { <-40, Level - 0.02, Shore - 0.9>, <40, Level + 0.02, Shore + 0.1>
  pigment { bozo turbulence 0.7 colour_map { [0 rgbt <0.8, 0.85, 0.85, 0.1>] [0.5 rgbt <0.7, 0.75, 0.78, 0.6>] [1 rgbt 1] } scale <0.8, 1, 0.25> translate <T * 3, 0, 0> }
  finish { ambient 0.15 diffuse 0.7 } no_shadow }
