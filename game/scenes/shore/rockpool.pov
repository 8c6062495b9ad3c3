// The rock pool under the sea door, from above: still water, weed and stones; with the watch
// there, the keeper's pocket watch lies on its floor.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/shore/rockpool.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"pool"}, array[1][4] {{200, 280, 824, 430}})
#end

FlatCamera(1.4, 30, 60)
// The pool runs from the landmark's foot, across its width, to a row just under its top.
#declare NearLeft = OnLevel(LandmarkLeft[0], LandmarkBottom[0], 0);
#declare NearRight = OnLevel(LandmarkRight[0], LandmarkBottom[0], 0);
#declare FarMiddle = OnLevel(512, 282, 0);
#declare PoolNear = NearLeft.z;
#declare PoolWidth = (NearRight.x - NearLeft.x) * 0.95;
#declare PoolLength = FarMiddle.z - PoolNear;
// The night over a close view: the dusk sky and the moon high behind the eye's left shoulder,
// so that shadows fall away from the eye.
DuskSky(210, 40, 3.6, 1.0)
difference { box { <-20, -1, -5>, <20, 0, 30> } object { PoolBowl(Fixed(PoolWidth), Fixed(PoolLength)) translate <0, 0, Fixed(PoolNear)> } texture { IslandRock } }
object { RockPool(Fixed(PoolWidth), Fixed(PoolLength)) translate <0, 0, Fixed(PoolNear)> }
#if (strlen(ItemShown) > 0)
  // The watch lies on the pool's floor under the pixel in the middle of its block: the
  // floor's depth there, found by following the pixel's ray down to it.
  #declare Bowl = PoolDepth(PoolWidth, PoolLength) - 0.01;
  #declare Floor = -Bowl / 2;
  #for (I, 0, 23)
    #declare WatchPlace = OnLevel(512, 355, Floor);
    #local Ex = WatchPlace.x / (PoolWidth / 2);
    #local Ez = (WatchPlace.z - PoolNear - PoolLength / 2) / (PoolLength / 2);
    #declare Floor = (Floor + 0.02 - Bowl * sqrt(max(0.05, 1 - Ex * Ex - Ez * Ez))) / 2;
  #end
  union {
    cylinder { <0, 0, 0>, <0, 0.012, 0>, 0.03 texture { Brass } }
    cylinder { <0, 0.012, 0>, <0, 0.014, 0>, 0.026 pigment { rgb <0.85, 0.82, 0.72> } finish { specular 0.8 roughness 0.01 } }
    cylinder { <0, 0.006, 0.03>, <0, 0.006, 0.037>, 0.006 texture { Brass } }
    torus { 0.008, 0.0018 rotate <90, 0, 0> translate <0, 0.006, 0.045> texture { Brass } }
    #for (I, 0, 10)
      sphere { <0.01 * sin(I * 0.7) + 0.004 * I, 0.003, 0.05 + 0.006 * I>, 0.0025 texture { Brass } }
    #end
    scale 1.9 rotate <0, 30, 0> translate <Fixed(WatchPlace.x), Fixed(Floor + 0.004), Fixed(WatchPlace.z)>
  }
#end
