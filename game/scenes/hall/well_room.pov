// The well room: a wide cold cellar round the well under a shallow vault, the stair up to the
// clock room and the tunnel down to the cistern.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/hall/well_room.pov
#include "hall/room.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[5] { "stairs", "tunnel", "pool", "torch", "arch" };
  #declare LandmarkRect = array[5][4] {
    {300, 170, 440, 390},
    {900, 200, 1080, 390},
    {1400, 400, 1684, 480},
    {1200, 200, 1240, 310},
    {1800, 170, 1980, 400}
  };
  LandmarksFromRects()
#end
#declare RoomWall = Stone;
#declare RoomFloor = Flags;
#declare RoomPassage = Rock;
#declare RoomCeiling = "vault";
#declare RoomHeight = 2.85;
#declare RoomLight = <0.75, 0.8, 0.9>;
#declare RoomLightPower = 0.5;
#declare RoomPanelled = false;
#declare RoomRadius = 6.2;
#declare RoomFaceted = false;

RoomFeatures()
// Up to the clock room.
Stairs(0, true, false)
RoomShell()
