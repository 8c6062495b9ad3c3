// The instrument room: flat panelled walls, a column engaged in one of them, the instrument
// desk and a window.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/hall/instrument_room.pov
#include "hall/room.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[5] { "arch", "desk", "window", "pillar", "arch" };
  #declare LandmarkRect = array[5][4] {
    {100, 170, 300, 400},
    {700, 290, 920, 400},
    {1300, 190, 1390, 330},
    {1600, 150, 1644, 390},
    {1800, 170, 2000, 400}
  };
  LandmarksFromRects()
#end
#declare RoomWall = Plaster;
#declare RoomFloor = Planks;
#declare RoomPassage = Plaster;
#declare RoomCeiling = "beams";
#declare RoomHeight = 3.4;
#declare RoomLight = <1.0, 0.85, 0.65>;
#declare RoomLightPower = 0.9;
#declare RoomPanelled = true;
#declare RoomRadius = 4.7;
#declare RoomFaceted = true;
#include "models/desk.inc"

RoomFeatures()
// The instrument desk against its wall.
#declare D = AgainstWall(1, 0.85);
object { union { Desk("instruments", LandmarkWidth(1, D) * 0.92, HeightOfRow(LandmarkTop[1], D)) } AtMark(1, D) }
RoomShell()
