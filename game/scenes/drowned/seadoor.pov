// The sea door from inside, close by: tarred planks banded with iron in an ashlar arch, the
// bar across it in its brackets, barnacles on its foot and a line of daylight through its
// shrunk planks.
// A close view, 1024 x 512 in the game; on its own in povray, from the checkout's root:
//   povray +W1024 +H512 game/scenes/drowned/seadoor.pov
#version 3.7;
#include "drowned/close_view.inc"

LampView(<0, 1.45, -3.9>, <0, 1.35, 0>, 62, 2.2)
#declare DoorW = 0.9;
#declare DoorH = 2.5;
plane { -z, 0 texture { SeaWall } }
difference { union { box { <-DoorW - 0.3, 0, -0.15>, <DoorW + 0.3, DoorH - DoorW, 0.01> } cylinder { <0, DoorH - DoorW, -0.15>, <0, DoorH - DoorW, 0.01>, DoorW + 0.3 } }
             union { box { <-DoorW, -1, -1>, <DoorW, DoorH - DoorW, 1> } cylinder { <0, DoorH - DoorW, -1>, <0, DoorH - DoorW, 1>, DoorW } } texture { Ashlar } }
intersection { box { <-DoorW, 0, -0.05>, <DoorW, DoorH, 0.0> } union { box { <-DoorW, 0, -1>, <DoorW, DoorH - DoorW, 1> } cylinder { <0, DoorH - DoorW, -1>, <0, DoorH - DoorW, 1>, DoorW } } texture { Tarred rotate <0, 0, 90> } }
#for (Y, 0.3, 2.0, 0.55) box { <-DoorW, Y, -0.09>, <DoorW, Y + 0.1, -0.05> texture { RustIron } } #for (X, -0.7, 0.7, 0.35) sphere { <X, Y + 0.05, -0.09>, 0.025 texture { RustIron } } #end #end
// The bar in its brackets, and its staple.
box { <-1.25, 1.05, -0.32>, <1.25, 1.28, -0.1> texture { Wood scale 2 } }
box { <-1.1, 0.95, -0.38>, <-0.95, 1.38, 0.0> texture { RustIron } }
box { <0.95, 0.95, -0.38>, <1.1, 1.38, 0.0> texture { RustIron } }
box { <-DoorW, 0, -0.08>, <DoorW, 0.4, -0.04> texture { Barnacled } }
box { <-0.012, 0.05, -0.01>, <0.012, 1.6, 0.01> pigment { rgb <0.5, 0.6, 0.7> } finish { ambient 0 diffuse 0 emission 0.6 } }
plane { y, 0 texture { Flags } }
#declare Drift = seed(1151);
#for (K, 1, 8) sphere { <-2 + rand(Drift) * 4, 0, -0.5 - rand(Drift) * 2>, 1 scale <0.4, 0.04, 0.3> texture { Silt } } #end
