// The boathouse from inside: tarred walls round a plank floor under open rafters, a lamp
// hung from a beam, the boat upturned on its trestles, and its door, bench, rack and window
// where the place's landmarks lie; in the changing block the crank handle hangs on the rack.
// kelvane-data renders it as the place's panorama; on its own:
//   povray +W2048 +H512 game/scenes/shore/boathouse.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "rigs/panorama.inc"
#include "shore/kit.inc"
#include "shore/fixtures.inc"
#include "shore/layout.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[4] {"door", "desk", "panel", "window"},
                   array[4][4] {{100, 190, 250, 400}, {600, 290, 820, 400}, {1200, 220, 1400, 380}, {1700, 190, 1790, 330}})
#end

// Each fixture stands against its own stretch of wall, square to the eye; the walls between
// them close the room at about five metres. A wall is its longitude and its distance.
#declare WallDegrees = array[Landmarks + 12];
#declare WallDistance = array[Landmarks + 12];
#declare Walls = 0;
#macro AddWall(Degrees, Distance)
  #declare WallDegrees[Walls] = Degrees;
  #declare WallDistance[Walls] = Distance;
  #declare Walls = Walls + 1;
#end
// The item hanging on the tool rack in the changing block ("crank"), or "".
#ifndef (ItemShown) #declare ItemShown = ""; #end
#declare RackWall = 4.7;
#declare WindowWall = 4.4;
#declare Fixtures = union {
  sphere { <0, -100, 0>, 0.001 }
  #for (I, 0, Landmarks - 1)
    #if (LandmarkIs(I, "door"))
      // The wide door in the front wall, one leaf ajar on the moonlit shore.
      Spot(I, 0, 0)
      AddWall(LandmarkDegrees[I], SpotDistance)
      #local W = SpotWidth / 2;
      #local H = SpotTop;
      union {
        box { <-Fixed(W), 0, -0.02>, <Fixed(W), Fixed(H), 0.03> texture { Planks rotate <0, 0, 90> scale 1.2 } }
        box { <-Fixed(W + 0.15), Fixed(H), -0.06>, <Fixed(W + 0.15), Fixed(H + 0.15), 0.02> texture { Wood scale 3 } }
        box { <-Fixed(W + 0.15), 0, -0.06>, <-Fixed(W), Fixed(H), 0.02> texture { Wood scale 3 } }
        box { <Fixed(W), 0, -0.06>, <Fixed(W + 0.15), Fixed(H), 0.02> texture { Wood scale 3 } }
        box { <-Fixed(W - 0.1), 0.4, -0.08>, <Fixed(W - 0.1), 0.55, -0.02> texture { Wood scale 3 } }
        box { <-Fixed(W - 0.1), Fixed(H - 0.55), -0.08>, <Fixed(W - 0.1), Fixed(H - 0.4), -0.02> texture { Wood scale 3 } }
        // The moonlit shore through the gap where the leaf stands ajar.
        box { <-0.06, 0, -0.03>, <0.06, Fixed(H - 0.1), 0.0> pigment { rgb <0.30, 0.36, 0.52> } finish { Lit } }
        PlacedAt(I, SpotDistance)
      }
    #end
    #if (LandmarkIs(I, "desk"))
      Spot(I, 0, 0)
      AddWall(LandmarkDegrees[I], SpotDistance + 0.9)
      object { Workbench(Fixed(SpotWidth), Fixed(SpotTop), 0) PlacedAt(I, SpotDistance) }
    #end
    #if (LandmarkIs(I, "panel"))
      Spot(I, 0, RackWall)
      AddWall(LandmarkDegrees[I], RackWall + 0.06)
      object { ToolRack(Fixed(SpotWidth), Fixed(SpotTop), Fixed(SpotBottom), Fixed((SpotTop + SpotBottom) / 2 + 0.29), (strcmp(ItemShown, "crank") = 0)) PlacedAt(I, RackWall) }
    #end
    #if (LandmarkIs(I, "window"))
      Spot(I, 0, WindowWall)
      AddWall(LandmarkDegrees[I], WindowWall + 0.06)
      object { ShedWindow(Fixed(SpotWidth), Fixed(SpotBottom), Fixed(SpotTop)) PlacedAt(I, WindowWall) }
    #end
  #end
}
#declare FixtureWalls = Walls;
#for (D, 0, 330, 30)
  #local Near = false;
  #for (K, 0, FixtureWalls - 1)
    #local Off = D - WallDegrees[K];
    #if (abs(Off - 360 * floor(Off / 360 + 0.5)) < 25) #local Near = true; #end
  #end
  #if (!Near) AddWall(D, 5.6) #end
#end
#declare RoomInside = intersection {
  plane { y, 3.6 } plane { -y, 0.5 }
  #for (K, 0, Walls - 1)
    plane { <sin(radians(Fixed(WallDegrees[K]))), 0, cos(radians(Fixed(WallDegrees[K])))>, Fixed(WallDistance[K]) }
  #end
}
// The shed's frame: a post where each stretch of wall meets the next, so the boards read as
// nailed to timbers. The walls in order round the room:
#for (K, 1, Walls - 1)
  #local J = K;
  #local Moving = true;
  #while (Moving)
    #if (WallDegrees[J - 1] > WallDegrees[J])
      #local T = WallDegrees[J]; #declare WallDegrees[J] = WallDegrees[J - 1]; #declare WallDegrees[J - 1] = T;
      #local T = WallDistance[J]; #declare WallDistance[J] = WallDistance[J - 1]; #declare WallDistance[J - 1] = T;
      #local J = J - 1;
      #local Moving = (J > 0);
    #else
      #local Moving = false;
    #end
  #end
#end
union {
  #for (K, 0, Walls - 1)
    #local A = radians(WallDegrees[K]);
    #local B = radians(WallDegrees[mod(K + 1, Walls)]);
    #local Da = WallDistance[K];
    #local Db = WallDistance[mod(K + 1, Walls)];
    #local Det = sin(A) * cos(B) - cos(A) * sin(B);
    #if (abs(Det) >= 1e-3)
      // Where the two walls' planes meet, seen from above.
      box { <-0.11, 0, -0.11>, <0.11, 3.6, 0.11> rotate <0, Fixed((WallDegrees[K] + WallDegrees[mod(K + 1, Walls)]) / 2), 0>
            translate <Fixed((Da * cos(B) - Db * cos(A)) / Det), 0, Fixed((sin(A) * Db - sin(B) * Da) / Det)> }
    #end
  #end
  clipped_by { object { RoomInside } }
  texture { Wood scale 4 pigment { rgb <0.09, 0.07, 0.05> } }
}

background { rgb <0.01, 0.012, 0.02> }
// The shed's weathered board walls, the plank floor, the rafters and the roof boards.
difference {
  box { <-12, -0.5, -12>, <12, 3.8, 12> }
  object { RoomInside }
  texture { ShedBoards }
}
plane { y, 0 texture { Planks scale 1.5 finish { diffuse 0.5 } } }
plane { -y, -3.55 texture { Planks scale 1.2 pigment { gradient x colour_map { [0 rgb 0.01] [0.04 rgb 0.01] [0.05 rgb <0.09, 0.07, 0.05>] [1 rgb <0.07, 0.05, 0.035>] } scale 0.3 } } }
#for (I, 0, 5)
  box { <-12, 2.9, -5.8 + I * 2.3>, <12, 3.1, -5.6 + I * 2.3> texture { Wood scale 4 } }
#end
// The boat upturned on trestles in the middle of the floor, away from the fixtures: a
// double-ended clinker hull (its plan two arcs meeting in a point at stem and stern), tarred
// strakes lapped one over the next, a keel following the curve of its back from stem to
// stern, and its gunwale resting on the two trestles' beams.
union {
  intersection {
    sphere { 0, 1 scale <0.75, 0.5, 2.3> }
    cylinder { <0, -1, 0>, <0, 1, 0>, 3.9 translate <-3.15, 0, 0> }
    cylinder { <0, -1, 0>, <0, 1, 0>, 3.9 translate <3.15, 0, 0> }
    plane { y, 0 }
    texture {
      pigment { gradient y colour_map { [0 rgb <0.02, 0.018, 0.015>] [0.12 rgb <0.10, 0.085, 0.065>]
                                        [0.85 rgb <0.14, 0.12, 0.09>] [1 rgb <0.05, 0.045, 0.035>] } scale 0.085 }
      normal { gradient y 0.6 scale 0.085 }
      finish { diffuse 0.6 specular 0.25 roughness 0.02 }
    }
  }
  intersection {
    sphere { 0, 1 scale <1, 0.56, 2.34> }
    box { <-0.045, -1, -2.4>, <0.045, 0.04, 2.4> }
    texture { Wood scale 3 }
  }
  rotate <180, 0, 0> translate <0, 0.72, 0>
  rotate <0, 80, 0> translate <0.4, 0, -3.4>
}
// The trestles: a beam across two splayed pairs of legs, under the gunwale.
#macro Trestle(X)
  union {
    box { <-0.9, 0.62, -0.07>, <0.9, 0.72, 0.07> }
    #for (E, -0.7, 0.71, 1.4)
      box { <-0.04, 0, -0.04>, <0.04, 0.66, 0.04> rotate <12, 0, 0> translate <E, 0, -0.12> }
      box { <-0.04, 0, -0.04>, <0.04, 0.66, 0.04> rotate <-12, 0, 0> translate <E, 0, 0.12> }
    #end
    texture { Wood scale 3 }
    rotate <0, 80, 0> translate <X, 0, -3.4>
  }
#end
Trestle(-0.9)
Trestle(1.7)
// Oars against the wall, a coil of rope.
cylinder { <-3.9, 0, 0.5>, <-3.7, 2.7, 0.9>, 0.04 texture { Wood scale 3 } }
cylinder { <-3.9, 0, 1.1>, <-3.65, 2.6, 1.3>, 0.04 texture { Wood scale 3 } }
torus { 0.35, 0.07 translate <-2.4, 0.07, 2.9> pigment { rgb <0.45, 0.38, 0.26> } normal { quilted 0.6 scale 0.02 } }
// The lamp on its beam, and the moonlight through the window and door.
union {
  cylinder { <0, 2.6, 0>, <0, 3.0, 0>, 0.01 texture { DarkIron } }
  sphere { <0, 2.45, 0>, 0.12 pigment { rgbf <1, 0.8, 0.5, 0.5> } finish { Lit } no_shadow }
  cylinder { <0, 2.58, 0>, <0, 2.6, 0>, 0.15 texture { DarkIron } }
  translate <1.2, 0, -0.6>
}
// The lamp's light is warm and falls off towards the walls, which stay dark timber; the
// moon's cold light comes in by the window and the door.
light_source { <1.2, 2.3, -0.6>, rgb <1.0, 0.72, 0.40> * 1.0 fade_distance 2.2 fade_power 2 }
light_source { <-3, 3, 2>, rgb <0.2, 0.24, 0.36> * 0.3 shadowless }
object { Fixtures }
