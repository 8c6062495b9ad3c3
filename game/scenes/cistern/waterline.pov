// The tide's mark on the rock at the sea end of the tunnel, the pool at its foot between the
// shelf the viewer stands on and the rock masses at both sides; at the lowest ebb
// (Story_tide_low) the water is gone from its foot and barnacled stones and puddles show.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root (add
// Declare=Story_tide_low=1 for the lowest ebb):
//   povray +W1024 +H512 game/scenes/cistern/waterline.pov
#version 3.7;
#include "cistern/lamp_view.inc"
#ifndef (Story_tide_low) #declare Story_tide_low = 0; #end

LampView(<0, 1.4, -2.6>, <0, 0.55, 0>, 64, 1.6)
// The rock face at the tunnel's end: weed and barnacles below the tide's mark, a dark line of
// weed along the mark itself, bare wet rock above.
plane { -z, -1.05 texture { gradient y texture_map { [0 Weed] [0.5 Weed] [0.5 Barnacled] [0.63 Barnacled] [0.635 Weed] [0.66 Weed] [0.665 WetRock] [1 WetRock] } scale 4 translate <0, -2, 0> } }
// The pool between rocks: the shelf the viewer stands on, rock masses at both sides.
box { <-4, -1, -4>, <4, 0.08, -0.17> texture { Flags } }
prism { linear_sweep linear_spline -1, 0.35, 5, <-4, -0.17>, <-0.95, -0.17>, <-1.5, 1.1>, <-4, 1.1>, <-4, -0.17> texture { WetRock } }
prism { linear_sweep linear_spline -1, 0.35, 5, <4, -0.17>, <0.95, -0.17>, <1.5, 1.1>, <4, 1.1>, <4, -0.17> texture { WetRock } }
box { <-4, -0.7, -0.3>, <4, -0.6, 1.1> texture { WetRock } }
#if (Story_tide_low)
  #declare Drip = seed(3541);
  #for (K, 1, 16) sphere { <-1.1 + rand(Drip) * 2.2, -0.6, -0.1 + rand(Drip) * 1.1>, 0.06 + rand(Drip) * 0.14 scale <1, 0.6, 1> texture { Barnacled } } #end
  #for (K, 1, 8) disc { <-1.0 + rand(Drip) * 2.0, -0.59, 0.0 + rand(Drip) * 0.9>, y, 0.08 + rand(Drip) * 0.15 texture { Puddle } scale <1.5, 1, 1> } #end
#else
  box { <-1.6, -0.6, -0.17>, <1.6, 0.0, 1.05> texture { Water } }
#end
