// The clock room at the foot of the tower: tall and angular, its flat walls kept off the
// blocks' joints (at a multiple of their length a joint runs along them); the winding stair up
// the tower, the stair down to the well room and the regulator clock.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/hall/clock_room.pov
#include "hall/room.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[5] { "arch", "stairs", "stairs", "panel", "arch" };
  #declare LandmarkRect = array[5][4] {
    {134, 170, 300, 400},
    {700, 170, 840, 390},
    {1200, 200, 1400, 420},
    {1700, 200, 1784, 340},
    {1900, 170, 2066, 400}
  };
  LandmarksFromRects()
#end
#declare RoomWall = Blocks;
#declare RoomFloor = Tiles;
#declare RoomPassage = Blocks;
#declare RoomCeiling = "beams";
#declare RoomHeight = 4.0;
#declare RoomLight = <1.0, 0.8, 0.55>;
#declare RoomLightPower = 1.0;
#declare RoomPanelled = false;
#declare RoomRadius = 5.5;
#declare RoomFaceted = true;
#include "models/wall_clock.inc"

RoomFeatures()
// Up the tower, and down to the well room.
Stairs(1, true, true)
Stairs(2, false, false)
// The clock on its wall, filling its landmark.
#declare OnWall = AgainstWall(3, 0.0);
object { WallClock(LandmarkWidth(3, OnWall) * 0.85, HeightOfRow(LandmarkTop[3], OnWall) - 0.1, 0.1) AtMark(3, OnWall) }
RoomShell()
