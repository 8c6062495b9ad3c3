// The tower's shelf floor: shelves on the wall, the archway to the top floor, the stair down
// and the stair round to the tower's foot.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/tower/shelf_floor.pov
#include "tower/room.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[4] { "stairs", "panel", "arch", "stairs" };
  #declare LandmarkRect = array[4][4] {
    {100, 200, 280, 420},
    {700, 220, 900, 380},
    {1300, 170, 1500, 400},
    {1800, 170, 1940, 390}
  };
  LandmarksFromRects()
#end
#include "models/shelf.inc"

RoomFeatures()
Stairs(0, false, true)
Stairs(3, false, true)
#declare D = AgainstWall(1, 0.42);
object { union { Shelf(LandmarkWidth(1, D) * 0.95, HeightOfRow(LandmarkTop[1], D)) } AtMark(1, D) }
TowerSlits()
TowerLamps()
RoomShell()
