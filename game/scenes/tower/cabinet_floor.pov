// The tower's cabinet floor: the letter cabinet with its lock plate of bell wheels, the round
// table between two stools, the stairs down and up.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/tower/cabinet_floor.pov
#include "tower/room.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[5] { "stairs", "panel", "desk", "stairs", "torch" };
  #declare LandmarkRect = array[5][4] {
    {100, 200, 280, 420},
    {600, 220, 800, 380},
    {1000, 290, 1220, 400},
    {1600, 170, 1740, 390},
    {1400, 200, 1440, 310}
  };
  LandmarksFromRects()
#end
#include "models/cabinet.inc"
#include "models/desk.inc"

RoomFeatures()
Stairs(0, false, true)
Stairs(3, true, true)
// The cabinet at the left of its landmark, the lock plate filling the rest.
#declare D = AgainstWall(1, 0.47);
#declare Wide = LandmarkWidth(1, D);
#declare CabinetW = Wide * 0.34;
#declare CabinetH = HeightOfRow(LandmarkTop[1], D);
#declare WheelRadius = Wide * 0.024;
#declare Pitch = (Wide - CabinetW - 0.1) / 8;
#declare WheelsX = CabinetW / 2 + 0.05 + Pitch / 2;
object {
  union { Cabinet(CabinetW, CabinetH, WheelsX, CabinetH * 0.58, Pitch, WheelRadius, WheelsX + Pitch * 3.5, CabinetH * 0.36,
                  WheelRadius * 1.1, Wide - CabinetW / 2, false, false) }
  translate <Fixed(-Wide / 2 + CabinetW / 2), 0, 0> AtMark(1, D)
}
// The round table (no wider than 1.6 m) pulled out from the wall, a stool either side.
#declare D = AgainstWall(2, 0.85);
#declare W = min(LandmarkWidth(2, D), 1.6);
object { union { Desk("tower_table", W, HeightOfRow(LandmarkTop[2], D)) } translate <0, 0, -0.4> AtMark(2, D) }
#for (S, -1, 1, 2)
  union {
    cylinder { <0, 0, 0>, <0, 0.45, 0>, 0.2 }
    cylinder { <0.12, 0.45, 0.12>, <0.16, 0.95, 0.16>, 0.02 }
    cylinder { <-0.12, 0.45, 0.12>, <-0.16, 0.95, 0.16>, 0.02 }
    texture { Wood } translate <S * Fixed(W / 2 + 0.35), 0, 0.1> AtMark(2, D)
  }
#end
TowerSlits()
TowerLamps()
RoomShell()
