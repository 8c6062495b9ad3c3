// The entrance hall, the great room of the ground floor: wide and high under its ribbed vault,
// a ring of columns standing out from the wall, the gate open on the night, the tide register
// on its lectern between two candle stands.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/hall/entrance.pov
#include "hall/room.inc"
#include "models/lectern.inc"
#include "models/candle_stand.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[8] { "gate", "arch", "door", "desk", "arch", "door", "torch", "stairs" };
  #declare LandmarkRect = array[8][4] {
    {110, 150, 300, 400},
    {420, 170, 560, 400},
    {700, 190, 850, 400},
    {1000, 290, 1184, 400},
    {1300, 170, 1500, 400},
    {1750, 190, 1870, 400},
    {1600, 200, 1640, 310},
    {1986, 200, 2042, 420}
  };
  LandmarksFromRects()
#end
#declare RoomWall = Blocks;
#declare RoomFloor = Flags;
#declare RoomPassage = Blocks;
#declare RoomCeiling = "ribbed_vault";
#declare RoomHeight = 4.4;
#declare RoomLight = <1.0, 0.8, 0.55>;
#declare RoomLightPower = 1.2;
#declare RoomPanelled = false;
#declare RoomRadius = 6.6;
#declare RoomFaceted = false;

RoomFeatures()
// The stair down to the well room.
Stairs(7, false, false)
// The lectern with the register, on a step between two iron candle stands, 4 m out.
#declare D = 4.0;
#declare W = LandmarkWidth(3, D);
#declare H = HeightOfRow(LandmarkTop[3], D);
object { Lectern(0.8, H) AtMark(3, D) }
union {
  box { <-Fixed(W / 2 * 0.85), 0, -0.6>, <Fixed(W / 2 * 0.85), 0.12, 0.6> texture { Stone } }
  #for (S, -1, 1, 2)
    object { CandleStand(H) translate <S * Fixed(W / 2 * 0.75), 0, 0> }
  #end
  light_source { <0, Fixed(H), -0.6>, rgb <1, 0.75, 0.45> * 0.5 fade_distance 1.2 fade_power 2 shadowless }
  AtMark(3, D)
}
// The ring of columns, 1.6 m in from the wall where no landmark lies (a column nearer the eye
// than the wall covers more of the view: keep its width clear), so the great room reads as a
// rotunda with an aisle round it.
#for (Column, 0, 11)
  #declare Degrees = Column * 30 + 15;
  #if (ClearOfLandmarks(Degrees, 9))
    union {
      cylinder { <0, 0, 0>, <0, Fixed(RoomHeight), 0>, 0.24 }
      box { <-0.34, 0, -0.34>, <0.34, 0.22, 0.34> }
      torus { 0.26, 0.05 translate <0, 0.26, 0> }
      box { <-0.36, Fixed(RoomHeight - 0.22), -0.36>, <0.36, Fixed(RoomHeight), 0.36> }
      torus { 0.26, 0.06 translate <0, Fixed(RoomHeight - 0.3), 0> }
      texture { Stone }
      translate <0, 0, Fixed(RoomRadius - 1.6)> rotate <0, Fixed(Degrees), 0>
    }
  #end
#end
RoomShell()
