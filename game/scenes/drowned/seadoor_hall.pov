// The drowned lower hall: the barred sea door with a line of daylight where its planks have
// shrunk, the keeper's oilskin and sou'wester on a post of the hall's timber, the vault on
// columns of the builders' fine stone.
// kelvane-data renders it as the place's panorama after a prelude of its landmarks; on its own
// in povray, from the checkout's root:
//   povray +W2048 +H512 game/scenes/drowned/seadoor_hall.pov
#version 3.7;
#include "drowned/room.inc"
#ifndef (Landmarks)
  DefaultLandmarks(true, array[4] {"tunnel", "door", "tunnel", "panel"},
                   array[4][4] {{100, 200, 280, 390}, {700, 180, 860, 400}, {1300, 200, 1480, 390}, {1700, 220, 1900, 380}})
#end
#declare R = 5.6;

DrownedWay()
Way(0, R)
Way(2, R)
// The sea door in its arch, 5 m out, barred across.
#declare DoorW = LandmarkWidth(1, 5.0) / 2 * 0.82;
#declare DoorTop = HeightOfRow(LandmarkTop[1], 5.0) - 0.1;
#declare SeaDoorHole = union { box { <-Fixed(DoorW), 0, -2>, <Fixed(DoorW), Fixed(DoorTop - DoorW), 3> } cylinder { <0, Fixed(DoorTop - DoorW), -2>, <0, Fixed(DoorTop - DoorW), 3>, Fixed(DoorW) } }
#declare Holes = union { object { Holes } object { SeaDoorHole PlacedAt(1, 5.0) } }
union {
  box { <-Fixed(DoorW), 0, 0.12>, <Fixed(DoorW), Fixed(DoorTop), 0.3> texture { Tarred rotate <0, 0, 90> } }
  #for (Y, 0.25, Fixed(DoorTop - 0.1), 0.6) box { <-Fixed(DoorW), Y, 0.06>, <Fixed(DoorW), Y + 0.09, 0.12> texture { RustIron } } #end
  // The bar across the door in its iron brackets.
  box { <-Fixed(DoorW + 0.25), 1.0, -0.12>, <Fixed(DoorW + 0.25), 1.22, 0.06> texture { Wood scale 2 } }
  box { <-Fixed(DoorW + 0.3), 0.92, -0.16>, <-Fixed(DoorW - 0.05), 1.3, 0.1> texture { RustIron } }
  box { <Fixed(DoorW - 0.05), 0.92, -0.16>, <Fixed(DoorW + 0.3), 1.3, 0.1> texture { RustIron } }
  box { <-Fixed(DoorW), 0, 0.0>, <Fixed(DoorW), 0.6, 0.12> texture { Barnacled } }
  difference { union { box { <-Fixed(DoorW + 0.35), 0, -0.22>, <Fixed(DoorW + 0.35), Fixed(DoorTop - DoorW), 0.1> } cylinder { <0, Fixed(DoorTop - DoorW), -0.22>, <0, Fixed(DoorTop - DoorW), 0.1>, Fixed(DoorW + 0.35) } } object { SeaDoorHole } texture { Ashlar } }
  // A line of daylight where the sea door's planks have shrunk.
  box { <-0.02, 0.1, 0.29>, <0.02, Fixed(DoorTop - 0.4), 0.31> pigment { rgb <0.5, 0.6, 0.7> } finish { ambient 0 diffuse 0 emission 0.5 } }
  PlacedAt(1, 5.0)
}
// The coat on its hook on a post of the hall's timber.
union {
  cylinder { <0, 0, 0.25>, <0, 3.2, 0.25>, 0.13 texture { Wood } }
  cylinder { <0, 1.95, 0.2>, <0, 2.0, -0.05>, 0.02 texture { RustIron } }
  // The oilskin: shoulders, a long body flaring to the hem, sleeves hanging.
  union {
    sphere { <0, 1.78, 0.05>, 1 scale <0.24, 0.1, 0.12> }
    cone { <0, 1.8, 0.05>, 0.23, <0, 0.9, 0.08>, 0.33 scale <1, 1, 0.5> }
    cylinder { <-0.22, 1.74, 0.05>, <-0.3, 1.12, 0.02>, 0.07 }
    cylinder { <0.22, 1.74, 0.05>, <0.3, 1.12, 0.02>, 0.07 }
    box { <-0.01, 0.9, -0.12>, <0.01, 1.74, -0.08> pigment { rgb <0.2, 0.15, 0.05> } }
    texture { Oilskin }
  }
  // The keeper's lamp-hook and his sou'wester on the post above.
  cone { <0, 2.15, 0.05>, 0.2, <0, 2.32, 0.05>, 0.1 texture { Oilskin } }
  scale 1.25
  PlacedAt(3, 2.7)
}
// The hall's vault stands on columns of the builders' fine stone.
#declare ColumnDegrees = array[3] {85, 190, 280};
#for (K, 0, 2)
  #declare Degrees = ColumnDegrees[K];
  union {
    cylinder { <0, 0, 0>, <0, 3.2, 0>, 0.24 }
    cylinder { <0, 0, 0>, <0, 0.3, 0>, 0.34 }
    box { <-0.34, 2.95, -0.34>, <0.34, 3.2, 0.34> }
    texture { SeaWall }
    translate <0, 0, 3.4> rotate <0, Degrees, 0>
  }
#end
DrownedRoom(R, 8002)
