// The close view of the crank handle of the pump and the winch, hung on its peg in the
// boathouse rack under a lamp.
// A flat view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/items/crank_closeup.pov
#version 3.7;
#include "materials.inc"
#include "models/crank.inc"

// Whether the item is there: kelvane-data always shows it; false shows the setting alone.
#ifndef (WithItem) #declare WithItem = true; #end

camera { perspective location <0.02, -0.08, -1.0> look_at <0.02, -0.13, 0> right x * 2 up y angle 60 }
background { rgb <0.03, 0.025, 0.02> }
// The boathouse wall: tarred planks, a rack rail with pegs, and the shelf below.
plane { -z, -0.02 texture { Planks rotate <0, 0, 90> scale 0.8 } }
box { <-2, 0.06, -0.01>, <2, 0.14, 0.02> texture { Wood } }
box { <-2, -0.56, -0.25>, <2, -0.52, 0.02> texture { Wood scale 2 } }
cylinder { <-0.55, 0.1, 0>, <-0.55, 0.1, -0.12>, 0.018 texture { Wood } }
cylinder { <0.6, 0.1, 0>, <0.6, 0.1, -0.12>, 0.018 texture { Wood } }
// A coil of rope on the next peg.
torus { 0.11, 0.022 rotate <90, 0, 0> translate <0.6, -0.02, -0.06> pigment { rgb <0.55, 0.45, 0.3> } normal { quilted 0.6 scale 0.01 } }
// The lamp light from above on the left, a cold fill from the door on the right.
light_source { <-0.8, 0.7, -1.0>, rgb <1.0, 0.8, 0.55> * 1.3
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0.2, 0>, 3, 3 adaptive 1 circular orient #end }
light_source { <1.4, 0.2, -1.4>, rgb <0.45, 0.52, 0.7> * 0.45 shadowless }
// The peg it hangs on.
cylinder { <0, 0.1, 0>, <0, 0.1, -0.13>, 0.018 texture { Wood } }

#if (WithItem)
  object {
    Crank
    rotate <0, -38, 0>
    rotate <0, 0, 6>
    translate <0, 0.08, -0.02>
  }
#end
