// The float valve close by, in its pipe chamber against the gallery's dressed wall.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/cistern/valve.pov
#version 3.7;
#include "cistern/lamp_view.inc"
#include "models/float_valve.inc"

LampView(<-0.45, 1.5, -3.8>, <-0.45, 0.95, 0>, 62, 1.6)
plane { -z, -1.0 texture { Dressed } }
plane { y, 0 texture { Flags } }
FloatValve()
