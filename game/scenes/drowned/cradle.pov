// The brass cradle close by on its pier, empty or, with the lens in the cradle
// (Story_lens_in_cradle 1), the wrapped lens lying in its arms.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root (add
// Declare=Story_lens_in_cradle=1 for the lens in its arms):
//   povray +W1024 +H512 game/scenes/drowned/cradle.pov
#version 3.7;
#include "drowned/close_view.inc"
#include "models/lens_cradle.inc"
#ifndef (Story_lens_in_cradle) #declare Story_lens_in_cradle = 0; #end

DrownedCloseUp(<0, 1.75, -3.3>, <0, 1.42, 0>, 60, 1.8, 1.4)
LensCradle((Story_lens_in_cradle = 1))
union { object { CradleArms } object { WrappedLens } }
#declare Drift = seed(1152);
#for (K, 1, 6) disc { <-1.6 + rand(Drift) * 3.2, 0.005, -0.3 - rand(Drift) * 1.0>, y, 0.12 + rand(Drift) * 0.2 texture { Puddle } scale <1.5, 1, 1> } #end
