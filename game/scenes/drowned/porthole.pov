// The porthole: a round brass-bound glass with the sea-green light of the flats' water.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/drowned/porthole.pov
#version 3.7;
#include "drowned/close_view.inc"

LampView(<0, 1.5, -2.5>, <0, 1.5, 0>, 60, 1.4)
#declare PortR = 0.62;
#declare PortY = 1.58;
#declare PortHole = cylinder { <0, PortY, -1>, <0, PortY, 1>, PortR }
difference { box { <-4, -0.1, 0>, <4, 4, 0.4> } object { PortHole } texture { SeaWall } }
difference { cylinder { <0, PortY, -0.1>, <0, PortY, 0.02>, PortR + 0.16 } object { PortHole } texture { Verdigris } }
torus { PortR + 0.02, 0.035 rotate <90, 0, 0> translate <0, PortY, -0.1> texture { Brass } }
#for (A, 0, 345, 22.5) sphere { <PortR + 0.09, 0, -0.1>, 0.03 rotate <0, 0, A> translate <0, PortY, 0> texture { Brass } } #end
// Thick old glass: a faint sheen, no mirror (the lamp's reflection would hide the sea).
cylinder { <0, PortY, 0.05>, <0, PortY, 0.07>, PortR pigment { rgbf <0.85, 0.95, 0.92, 0.88> } finish { ambient 0 diffuse 0.05 specular 0.25 roughness 0.04 } }
// The sea outside: green water with weed drifting, lit from above.
box { <-0.9, 0.8, 0.6>, <0.9, 2.4, 0.62> pigment { gradient y colour_map { [0 rgb <0.02, 0.08, 0.07>] [1 rgb <0.18, 0.38, 0.34>] } scale 3 translate <0, -0.2, 0> } finish { ambient 0 diffuse 0 emission 0.9 } }
#for (K, 0, 4) cylinder { <-0.4 + K * 0.2, 0.9, 0.4>, <-0.35 + K * 0.22, 1.6 + mod(K * 7, 3) * 0.15, 0.4>, 0.012 pigment { rgb <0.04, 0.09, 0.04> } } #end
plane { y, 0 texture { Flags } }
