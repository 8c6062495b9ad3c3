// The tool rack on the boathouse wall, square on: the tools on their pegs; with the crank there,
// the crank handle hangs on the middle peg.
// kelvane-data renders it as the place's close view; on its own in povray:
//   povray +W1024 +H512 game/scenes/shore/toolrack.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"panel"}, array[1][4] {{300, 100, 724, 420}})
#end

FlatCamera(1.45, 0, 60)
#declare Wall = 1.9;
// The rack fills the landmark's rectangle on the wall; its rail runs a third of the way down.
#declare RackTopLeft = OnWall(LandmarkLeft[0], LandmarkTop[0], Wall);
#declare RackBottomRight = OnWall(LandmarkRight[0], LandmarkBottom[0], Wall);
#declare Rail = Fixed(OnWall(512, 196, Wall).y);
background { rgb 0.01 }
plane { y, 0 texture { Planks scale 1.5 } }
plane { -z, -(Wall + 0.06) texture { ShedBoards } }
object { ToolRack(Fixed(RackBottomRight.x - RackTopLeft.x), Fixed(RackTopLeft.y), Fixed(RackBottomRight.y), Rail, 0) translate <0, 0, Wall> }
cylinder { <0, Rail, Wall - 0.06>, <0, Rail + 0.02, Wall - 0.16>, 0.014 texture { Wood } }
light_source { <-0.1, 1.7, 0.1>, rgb <1.0, 0.78, 0.5> * 1.3 fade_distance 2 fade_power 1.5
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0.2, 0>, 2, 2 adaptive 0 #end }
light_source { <1.5, 1.5, -1>, rgb <0.18, 0.22, 0.34> shadowless }
#if (strlen(ItemShown) > 0)
  object { CrankHandle() scale 0.5 rotate <0, -25, 0> rotate <0, 0, 6> translate <0, Rail + 0.01, Wall - 0.1> }
#end
