// The close view of the gate key on the boathouse bench where it was found, the net it lay
// under pushed back over the far planks, a cork float on the net; a lamp's light from the
// upper left.
// A flat view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/items/gate_key_closeup.pov
#version 3.7;
#include "materials.inc"
#include "models/gate_key.inc"

// Whether the item is there: kelvane-data always shows it; false shows the setting alone.
#ifndef (WithItem) #declare WithItem = true; #end

camera { perspective location <0.0, 0.150, -0.115> look_at <0.008, 0.0, 0.012> right x * 2 up y angle 52 }
background { rgb <0.02, 0.02, 0.02> }
plane { y, 0 texture { Planks scale 0.28 rotate y * 90 } }
// The net: knotted twine in a square mesh, lying in loose folds over the far planks.
#declare Mesh = pigment {
  function { min(abs(sin(x * 260)), abs(sin(z * 260))) }
  colour_map { [0 rgbt <0.42, 0.33, 0.20, 0>] [0.16 rgbt <0.42, 0.33, 0.20, 0>] [0.24 rgbt <0, 0, 0, 1>] [1 rgbt <0, 0, 0, 1>] }
}
height_field {
  function 64, 64 { 0.5 + 0.5 * sin(x * 19) * cos(y * 13) }
  smooth
  scale <0.6, 0.016, 0.3> translate <-0.3, 0.001, 0.05>
  texture { pigment { Mesh } }
}
sphere { <0.085, 0.016, 0.068>, 0.016 scale <1, 0.7, 1> texture { pigment { rgb <0.62, 0.44, 0.26> } normal { granite 0.4 scale 0.01 } } }
light_source { <-0.5, 0.9, -0.3>, rgb <1.0, 0.84, 0.62> * 1.25
  #if (!Draft) area_light <0.06, 0, 0>, <0, 0, 0.06>, 3, 3 adaptive 1 circular orient #end }
light_source { <0.8, 0.4, -0.8>, rgb <0.45, 0.52, 0.7> * 0.5 shadowless }

#if (WithItem)
  object { GateKey rotate y * -8 translate <0.004, 0, 0.0> }
#end
