// The top of the tower: the steep stair to the gallery hatch (barred, or in the changing block,
// the landmark changed, unbarred and open on the night), a window, the way back down.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/tower/top.pov
#include "tower/room.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[4] { "arch", "stairs", "window", "stairs" };
  #declare LandmarkRect = array[4][4] {
    {100, 170, 300, 400},
    {800, 170, 940, 390},
    {1500, 190, 1590, 330},
    {1800, 170, 1940, 390}
  };
  LandmarksFromRects()
#end

RoomFeatures()
HatchStair(1, LandmarkChanged[1])
Stairs(3, false, true)
TowerSlits()
TowerLamps()
RoomShell()
