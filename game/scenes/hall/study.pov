// The keeper's study: a small low room round its stove, walled in flat panelled walls (one
// behind each door, window and the fireplace), his writing desk, the window seat.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/hall/study.pov
#include "hall/room.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[6] { "door", "desk", "machine", "window", "torch", "door" };
  #declare LandmarkRect = array[6][4] {
    {100, 190, 250, 400},
    {600, 290, 820, 400},
    {1100, 250, 1300, 390},
    {1600, 190, 1690, 330},
    {400, 200, 440, 310},
    {1850, 190, 2000, 400}
  };
  LandmarksFromRects()
#end
#declare RoomWall = Plaster;
#declare RoomFloor = Planks;
#declare RoomPassage = Plaster;
#declare RoomCeiling = "beams";
#declare RoomHeight = 2.9;
#declare RoomLight = <1.0, 0.78, 0.5>;
#declare RoomLightPower = 0.7;
#declare RoomPanelled = true;
#declare RoomRadius = 3.9;
#declare RoomFaceted = true;
#declare RoomWindows = "seat";
#include "models/desk.inc"
#include "models/stove.inc"

RoomFeatures()
// The writing desk against its wall.
#declare D = AgainstWall(1, 0.85);
object { union { Desk("keeper", LandmarkWidth(1, D) * 0.92, HeightOfRow(LandmarkTop[1], D)) } AtMark(1, D) }
// The fireplace recess with the stove burning in it.
#declare D = AgainstWall(2, 0.95);
#declare W = LandmarkWidth(2, D);
#declare Mantel = HeightOfRow(LandmarkTop[2], D) + 0.25;
union {
  #for (S, -1, 1, 2) box { <-0.22, 0, 0>, <0.22, Fixed(Mantel), 0.95> translate <S * Fixed(W / 2 - 0.22), 0, 0> texture { Stone } } #end
  box { <-Fixed(W / 2), Fixed(Mantel), -0.05>, <Fixed(W / 2), Fixed(RoomHeight), 0.95> texture { Stone } }
  box { <-Fixed(W / 2 + 0.15), Fixed(Mantel - 0.08), -0.1>, <Fixed(W / 2 + 0.15), Fixed(Mantel), 0.95> texture { Wood } }
  box { <-Fixed(W / 2 - 0.1), 0, -0.35>, <Fixed(W / 2 - 0.1), 0.04, 0.95> texture { Stone } }
  box { <-Fixed(W / 2 - 0.44), 0, 0.85>, <Fixed(W / 2 - 0.44), Fixed(Mantel), 0.95> pigment { rgb <0.05, 0.04, 0.035> } }
  #for (I, 0, 3) box { <-0.04, 0, -0.6>, <0.04, 0.03, 0.3> rotate <0, I * 7 - 10, 0> translate <Fixed(W / 2 - 0.38) + I * 0.09, 0.04, 0.2> texture { Wood } } #end
  object { union { Stove(1.0, 0.95, Mantel - 0.25, 0.9, true) } translate <0, 0.04, 0.05> }
  AtMark(2, D)
}
RoomShell()
