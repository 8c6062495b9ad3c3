// The close view of the hand lamp lit on the keeper's desk against the whitewashed wall of
// his room: its own flame lights the desk and the wall round it; a cold glimmer from the
// window at the right.
// A flat view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/items/hand_lamp_closeup.pov
#version 3.7;
#include "materials.inc"
#include "models/hand_lamp.inc"

// Whether the item is there: kelvane-data always shows it; false shows the setting alone.
#ifndef (WithItem) #declare WithItem = true; #end

camera { perspective location <0.0, 0.20, -0.40> look_at <0.0, 0.115, 0> right x * 2 up y angle 74 }
background { rgb 0 }
box { <-1, -0.05, -0.5>, <1, 0, 0.45> texture { Wood scale 3 rotate x * -90 rotate y * 90 } }
plane { -z, -0.45 texture { pigment { granite colour_map { [0 rgb <0.62, 0.58, 0.50>] [1 rgb <0.52, 0.48, 0.42>] } scale 0.3 }
                            normal { bumps 0.25 scale 0.04 } finish { diffuse 0.8 } } }
// The desk's far edge and a pen tray under the wall.
box { <0.22, 0, 0.22>, <0.42, 0.012, 0.30> texture { Wood rotate x * -90 rotate y * 90 } }
cylinder { <0.26, 0.018, 0.26>, <0.39, 0.022, 0.25>, 0.004 pigment { rgb 0.05 } }
light_source { <1.4, 0.8, -0.6>, rgb <0.40, 0.48, 0.66> * 0.35 shadowless }
light_source { <-0.5, 0.5, -0.9>, rgb <1.0, 0.85, 0.65> * 0.35 shadowless }

#if (WithItem)
  object { HandLamp rotate y * 20 }
#else
  // Without it, the light of its flame stays.
  light_source { <0, 0.11, 0>, rgb <1.0, 0.72, 0.38> * 1.2 fade_distance 0.12 fade_power 2 }
#end
