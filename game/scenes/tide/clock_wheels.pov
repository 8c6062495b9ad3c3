// The tide clock's wheels turned to 0 .. WheelValues - 1, side by side, one frame of
// FrameWidth x FrameHeight pixels each, as the close view shows one wheel in its window: the
// game draws a wheel's cell from the frame of its value. kelvane-data renders the strip
// WheelValues frames wide from the world's key panel; on its own in povray:
//   povray +W335 +H66 game/scenes/tide/clock_wheels.pov
#version 3.7;
#ifndef (WheelValues) #declare WheelValues = 5; #end
#ifndef (FrameWidth) #declare FrameWidth = 67; #end
#ifndef (FrameHeight) #declare FrameHeight = 66; #end
#include "shore/kit.inc"
#include "tide/flats.inc"
#include "tide/closeview.inc"

// One cell of the wheel model is 0.2 across; the frames are side by side at that scale.
#declare FrameW = 0.2;
#declare FrameH = 0.2 * FrameHeight / FrameWidth;
camera { orthographic location <FrameW * (WheelValues - 1) / 2, 0, -3> look_at <FrameW * (WheelValues - 1) / 2, 0, 0>
         right x * FrameW * WheelValues up y * FrameH }
ClockLight()
background { rgb <0.12, 0.09, 0.05> }
#for (K, 0, WheelValues - 1)
  object { TideWheel(K) translate <K * FrameW, 0, 0> }
#end
