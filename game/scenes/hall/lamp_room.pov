// The lamp store: a narrow whitewashed cell under a low vault, the board of lamp hooks and
// the oil store; in the changing block the spare hand lamp hangs on the board's middle hook.
// A panorama, 2048 x 512 in the game; on its own in povray:
//   povray +W2048 +H512 game/scenes/hall/lamp_room.pov
#include "hall/room.inc"
// The world file's landmarks, for the scene rendered on its own.
#ifndef (Landmarks)
  #declare LandmarkLook = array[5] { "door", "torch", "panel", "machine", "door" };
  #declare LandmarkRect = array[5][4] {
    {150, 190, 300, 400},
    {700, 200, 740, 310},
    {800, 220, 1000, 380},
    {1400, 250, 1640, 390},
    {1800, 190, 1950, 400}
  };
  LandmarksFromRects()
#end
// The item hanging on the board in the changing block ("lamp"), or "".
#ifndef (ItemShown) #declare ItemShown = ""; #end
#declare RoomWall = Whitewash;
#declare RoomFloor = Flags;
#declare RoomPassage = Whitewash;
#declare RoomCeiling = "vault";
#declare RoomHeight = 2.6;
#declare RoomLight = <1.0, 0.86, 0.6>;
#declare RoomLightPower = 0.6;
#declare RoomPanelled = false;
#declare RoomRadius = 4.2;
#declare RoomFaceted = false;
#include "models/lamp_board.inc"
#include "models/oil_store.inc"

RoomFeatures()
// The board of hooks on the wall, filling its landmark.
#declare OnWall = AgainstWall(2, 0.0);
#declare Top = HeightOfRow(LandmarkTop[2], OnWall);
#declare Bottom = HeightOfRow(LandmarkBottom[2], OnWall);
object { union { LampBoard(LandmarkWidth(2, OnWall) * 0.9, Top - Bottom, (Top - Bottom) * 0.62, (strcmp(ItemShown, "lamp") = 0)) } translate <0, Fixed(Bottom), 0> AtMark(2, OnWall) }
// The oil store against its wall.
#declare D = AgainstWall(3, 1.0);
object { union { OilStore(LandmarkWidth(3, D) * 0.95, HeightOfRow(LandmarkTop[3], D)) } AtMark(3, D) }
RoomShell()
