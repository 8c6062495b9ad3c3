// The foot of the tower: a round floor of coursed stone, the stair down to the clock room, the
// winding stair up, the slit looking out to sea.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/tower/foot.pov
#include "tower/room.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[3] { "stairs", "window", "stairs" };
  #declare LandmarkRect = array[3][4] {
    {100, 200, 280, 420},
    {700, 190, 790, 330},
    {1300, 170, 1440, 390}
  };
  LandmarksFromRects()
#end
#declare RoomFloor = Flags;  // the foot of the tower is flagged
#declare RoomWindows = "slit";

RoomFeatures()
Stairs(0, false, true)
Stairs(2, true, true)
TowerSlits()
TowerLamps()
RoomShell()
