// The tower's winch floor: the winch whose chain runs up to the gallery hatch's bar, the
// stairs down and up.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/tower/winch_floor.pov
#include "tower/room.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[3] { "stairs", "machine", "stairs" };
  #declare LandmarkRect = array[3][4] {
    {100, 200, 280, 420},
    {800, 250, 1040, 390},
    {1500, 170, 1640, 390}
  };
  LandmarksFromRects()
#end
#include "models/winch.inc"

RoomFeatures()
Stairs(0, false, true)
Stairs(2, true, true)
// The winch against its wall, its chain up to the ceiling.
#declare D = AgainstWall(1, 0.8);
object { union { Winch(LandmarkWidth(1, D) * 0.9, HeightOfRow(LandmarkTop[1], D), RoomHeight) } AtMark(1, D) }
TowerSlits()
TowerLamps()
RoomShell()
