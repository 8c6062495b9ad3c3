// The close view of the last lens standing in its wooden cradle in the drowned rooms, the
// wet stone wall behind it seen through the glass; green sea light from above and the
// keeper's lamp.
// A flat view, 1024 x 512 in the game; on its own in povray:
//   povray +W1024 +H512 game/scenes/items/lens_closeup.pov
#version 3.7;
#include "materials.inc"
#include "models/lens.inc"

// Whether the item is there: kelvane-data always shows it; false shows the setting alone.
#ifndef (WithItem) #declare WithItem = true; #end

camera { perspective location <0.0, 0.20, -0.52> look_at <0.0, 0.15, 0> right x * 2 up y angle 68 }
background { rgb 0 }
plane { y, 0 texture { Stone scale 0.4 } texture { pigment { rgbt <0.08, 0.16, 0.14, 0.6> } } }
plane { -z, -0.35 texture { Blocks scale 0.35 } texture { pigment { rgbt <0.05, 0.14, 0.12, 0.7> } finish { specular 0.4 roughness 0.02 } } }
// The cradle: two uprights with notches for the trunnions, on a sill.
#declare Upright = difference {
  box { <-0.022, 0, -0.04>, <0.022, 0.16, 0.04> }
  cylinder { <0, 0.152, -0.05>, <0, 0.152, 0.05>, 0.0125 }
  texture { Wood scale 0.6 }
}
object { Upright translate x * -0.165 }
object { Upright translate x * 0.165 }
box { <-0.21, 0, -0.06>, <0.21, 0.02, 0.06> texture { Wood scale 0.6 } }
light_source { <-0.6, 0.7, -0.7>, rgb <1.0, 0.80, 0.56> * 1.1 }
light_source { <0.3, 1.6, -0.2>, rgb <0.35, 0.65, 0.60> * 0.6 shadowless }

#if (WithItem)
  object { Lens }
#end
