// The drowned hall's bronze plaque gone green, barnacles crusted round its edge, the wall wet
// and dark below the line the sea leaves. kelvane-data sets the plaque's words over the render
// (picture pixels 296, 100 .. 728, 384).
// On its own: povray +W1024 +H512 game/scenes/texts/drowned_plaque.pov
#version 3.7;
#include "materials.inc"
#include "texts/plate.inc"

// The plaque, in picture pixels.
#declare PlaqueLeft = 252;
#declare PlaqueTop = 44;
#declare PlaqueWidth = 520;
#declare PlaqueHeight = 384;
#declare Face = -0.02;

#declare Verdigris = texture { pigment { granite turbulence 0.3 colour_map { [0 rgb <0.50, 0.62, 0.52>] [0.6 rgb <0.58, 0.66, 0.56>] [1 rgb <0.44, 0.40, 0.26>] } scale 0.08 }
  normal { granite 0.15 scale 0.02 } finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.8 specular 0.15 roughness 0.05 } }
#declare WetWall = texture { Blocks scale 0.35 } texture { pigment { gradient y colour_map { [0 rgbt <0.02, 0.08, 0.07, 0.3>] [0.5 rgbt <0.02, 0.08, 0.07, 0.3>] [0.52 rgbt <0, 0, 0, 1>] [1 rgbt <0, 0, 0, 1>] } scale 1.2 translate y * -0.9 } finish { specular 0.5 roughness 0.01 } }

plane { z, 0 texture { WetWall } }
Plate(PlaqueLeft, PlaqueTop, PlaqueWidth, PlaqueHeight, Face, Verdigris)
// Barnacles, crusted along the plate's rim and clear of the text: placed on a frame of
// 0.68 x 0.54 round the plate's centre, then stretched to the plate.
union {
#declare B = seed(1150);
#for (Shell, 0, 90, 1)
  #local Side = floor(rand(B) * 4);
  #local T = rand(B);
  #local At = (Side = 0 ? <-0.34 + 0.68 * T, 0.26, 0> : (Side = 1 ? <-0.34 + 0.68 * T, -0.27, 0> :
              (Side = 2 ? <-0.33, -0.27 + 0.53 * T, 0> : <0.33, -0.27 + 0.53 * T, 0>)));
  #local S = 0.006 + 0.012 * rand(B);
  cone { <0, 0, 0>, S, <0, 0, -S * 1.2>, S * 0.45
         texture { pigment { rgb <0.70, 0.68, 0.60> } normal { bumps 0.6 scale 0.003 } }
         translate At + <0.02 * (rand(B) - 0.5), 0.02 * (rand(B) - 0.5), 0> }
#end
  scale <(FrameX(PlaqueLeft + PlaqueWidth, Face) - FrameX(PlaqueLeft, Face)) / 0.68,
         (FrameY(PlaqueTop, Face) - FrameY(PlaqueTop + PlaqueHeight, Face)) / 0.54, 1>
  translate <FrameX(PlaqueLeft + PlaqueWidth / 2, Face), FrameY(PlaqueTop + PlaqueHeight / 2, Face), Face>
}
light_source { <-0.4, 1.2, -1.2>, rgb <0.65, 0.85, 0.80> * 0.9 }
light_source { <0.7, -0.2, -1.0>, rgb <1.0, 0.78, 0.52> * 0.45 shadowless }
