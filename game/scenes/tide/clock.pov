// The tide clock close to: its brass front plate with the five wheel windows where the world's
// wheel cells lie, the lever in its slot at the right, the cogs and the iron case.
// kelvane-data renders it as the place's close view with the wheels as the keeper left them
// (the game turns them with frames of tide/clock_wheels.pov); on its own in povray:
//   povray +W1024 +H512 game/scenes/tide/clock.pov
#version 3.7;
#include "shore/landmarks.inc"
#include "shore/kit.inc"
#include "shore/layout.inc"
#include "tide/flats.inc"
#include "tide/closeview.inc"
// The name engraved on the front plate: kelvane-data declares the game's text in the picture's
// language and the game's serif face to cut it in.
#ifndef (Text_plate) #declare Text_plate = "KELVANE FLATS  TIDE CLOCK"; #end
#ifndef (TextFont) #declare TextFont = "timrom.ttf"; #end
global_settings { charset utf8 }
#ifndef (Landmarks)
  DefaultLandmarks(false, array[1] {"machine"}, array[1][4] {{340, 100, 990, 420}})
#end
// The wheels' setting, as the keeper left the clock at high water; the cells of the world's
// key panel they show in (the first cell's rectangle and the step to the next) and the
// lever's rectangle, as tide.lua places them.
#ifndef (Setting) #declare Setting = array[5] {3, 2, 1, 4, 0}; #end
#ifndef (WheelCells) #declare WheelCells = array[5] {380, 200, 67, 66, 90}; #end
#ifndef (LeverRect) #declare LeverRect = array[4] {860, 150, 960, 400}; #end

FlatCamera(1.0, 0, 50)
#declare PlateZ = 1.2;
#declare PlateTopLeft = OnWall(330, 100, PlateZ);
#declare PlateBottomRight = OnWall(1000, 420, PlateZ);
#declare PlateL = Fixed(PlateTopLeft.x); #declare PlateR = Fixed(PlateBottomRight.x); #declare PlateT = Fixed(PlateTopLeft.y); #declare PlateB = Fixed(PlateBottomRight.y);
FlatsGround()
ClockLight()
// The iron case and its plinth.
box { <PlateL - 0.12, -3, PlateZ - 0.01>, <PlateR + 0.12, PlateT + 0.1, PlateZ + 1> texture { DarkIron } }
box { <PlateL - 0.4, -3, PlateZ - 0.2>, <PlateR + 0.4, PlateB - 0.06, PlateZ + 1.2> texture { Blocks scale 0.6 } }
box { <PlateL - 0.16, PlateT + 0.1, PlateZ - 0.05>, <PlateR + 0.16, PlateT + 0.16, PlateZ + 1> texture { DarkIron } }
// The front plate, engraved with its name, riveted at the edges.
difference {
  box { <PlateL, PlateB, PlateZ - 0.012>, <PlateR, PlateT, PlateZ> }
  #local Name = text { ttf TextFont Text_plate 1, 0 }
  // A longer name (a translation) is cut smaller, so it stays on the plate; the letters are
  // cut 6 mm deep and darkened in the cut.
  #local NameScale = min(0.045, 0.5 / max(0.001, max_extent(Name).x - min_extent(Name).x));
  // Centred over the wheels' windows, clear of the lever's slot.
  #local NameCentre = PlateL + 0.3;
  object { Name scale <NameScale, NameScale, 0.014> translate <NameCentre - NameScale * (max_extent(Name).x + min_extent(Name).x) / 2, PlateT - 0.085, PlateZ - 0.02>
           texture { DarkIron } }
  texture { Brass }
}
#for (I, 0, 11)
  sphere { <PlateL + 0.03 + I * (PlateR - PlateL - 0.06) / 11, PlateT - 0.03, PlateZ - 0.012>, 0.008 texture { Brass } }
  sphere { <PlateL + 0.03 + I * (PlateR - PlateL - 0.06) / 11, PlateB + 0.03, PlateZ - 0.012>, 0.008 texture { Brass } }
#end
// The wheels in their cells; the wheel model's cell is 0.2 across.
#declare CellTopLeft = OnWall(WheelCells[0], WheelCells[1], PlateZ);
#declare CellBottomRight = OnWall(WheelCells[0] + WheelCells[2], WheelCells[1] + WheelCells[3], PlateZ);
#declare WheelScale = Fixed((CellBottomRight.x - CellTopLeft.x) / 0.2);
#for (K, 0, 4)
  #local Centre = OnWall(WheelCells[0] + K * WheelCells[4] + WheelCells[2] / 2, WheelCells[1] + WheelCells[3] / 2, PlateZ);
  object { TideWheel(Setting[K]) scale WheelScale translate <Fixed(Centre.x), Fixed(Centre.y), PlateZ - 0.0121> }
#end
// The lever: a brass arm from its pivot low in the slot, the knob near the slot's top.
#declare LeverTopLeft = OnWall(LeverRect[0], LeverRect[1], PlateZ);
#declare LeverBottomRight = OnWall(LeverRect[2], LeverRect[3], PlateZ);
#declare LeverX = Fixed((LeverTopLeft.x + LeverBottomRight.x) / 2); #declare LeverTop = Fixed(LeverTopLeft.y);
#declare LeverBottom = Fixed(LeverBottomRight.y); #declare LeverW = Fixed(LeverBottomRight.x - LeverTopLeft.x);
box { <LeverX - LeverW * 0.12, LeverBottom + 0.02, PlateZ - 0.013>, <LeverX + LeverW * 0.12, LeverTop - 0.02, PlateZ - 0.011> pigment { rgb 0.01 } }
union {
  cylinder { <LeverX, LeverBottom + 0.05, PlateZ - 0.03>, <LeverX, LeverBottom + 0.05, PlateZ - 0.06>, LeverW * 0.28 }
  cylinder { <LeverX, LeverBottom + 0.05, PlateZ - 0.05>, <LeverX + 0.02, LeverTop - 0.09, PlateZ - 0.14>, LeverW * 0.08 }
  sphere { <LeverX + 0.02, LeverTop - 0.07, PlateZ - 0.15>, LeverW * 0.2 }
  texture { Brass }
}
// The cogs at either end of the case, and the shaft down to the sluices.
#for (Side, -1, 1, 2)
  union {
    cylinder { <0, 0, -0.03>, <0, 0, 0.03>, 0.3 }
    #for (T, 0, 29)
      box { <-0.015, 0.29, -0.03>, <0.015, 0.34, 0.03> rotate <0, 0, T * 12> }
    #end
    difference { cylinder { <0, 0, -0.035>, <0, 0, 0.035>, 0.22 } #for (H, 0, 5) cylinder { <0, 0.13, -1>, <0, 0.13, 1>, 0.05 rotate <0, 0, H * 60> } #end }
    cylinder { <0, 0, -0.08>, <0, 0, 0.08>, 0.04 }
    texture { Brass }
    translate <(Side < 0 ? PlateL - 0.3 : PlateR + 0.3), (PlateT + PlateB) / 2, PlateZ + 0.1>
  }
#end
