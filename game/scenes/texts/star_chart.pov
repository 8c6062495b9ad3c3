// The dome stair's brass plate on the plastered wall, the sky's figures on a panel of
// night-blue enamel let into it. kelvane-data sets the plate's words over the render (picture
// pixels 182, 36 .. 842, 196) and draws the four figures on the enamel (162, 192 .. 862, 420).
// On its own: povray +W1024 +H512 game/scenes/texts/star_chart.pov
#version 3.7;
#include "materials.inc"
#include "texts/plate.inc"

#declare Face = -0.02;
plane { z, 0 texture { pigment { granite colour_map { [0 rgb <0.30, 0.32, 0.42>] [1 rgb <0.36, 0.38, 0.48>] } scale 0.4 } normal { bumps 0.2 scale 0.05 } } }
Plate(132, 14, 760, 418, Face, CastBrass)
box { FrameCorners(162, 192, 700, 228, Face - 0.002, Face + 0.001) texture { pigment { rgb <0.05, 0.07, 0.18> } finish { diffuse 0.6 specular 0.7 roughness 0.005 reflection 0.04 } } }
light_source { <-0.4, 0.9, -1.5>, rgb <0.95, 0.92, 0.88> * 1.05 }
light_source { <0.9, -0.1, -1.2>, rgb <0.55, 0.60, 0.80> * 0.35 shadowless }
