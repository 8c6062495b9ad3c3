// The keeper's watch lying open on the desk's baize, its lid turned right back on the hinge:
// the lid's inside at the left, where kelvane-data cuts the engraving (the dedication and the
// bells) over the render; the dial at the right, the crown at twelve.
// On its own: povray +W1024 +H512 game/scenes/texts/watch.pov
#version 3.7;
#include "materials.inc"
#declare FrameDistance = 1.2;
#declare FrameHalfWidth = 0.5;
#include "texts/flat_frame.inc"

// The lid's and the case's centres and radii in picture pixels, and the lid's inside, towards us.
#declare LidColumn = 300; #declare LidRow = 220; #declare LidRadius = 212;
#declare CaseColumn = 728; #declare CaseRow = 236; #declare CaseRadius = 196;
#declare LidFace = -0.010;
#declare LidR = FrameHeld(FrameLength(LidRadius, LidFace));
#declare CaseR = FrameLength(CaseRadius, -0.02);

background { rgb 0 }
plane { z, 0 texture { Cloth pigment { rgb <0.10, 0.22, 0.14> } normal { quilted 0.35 control0 0.5 control1 0.5 scale 0.006 } } }
#declare Gold = texture { pigment { rgb <0.86, 0.66, 0.28> }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.55 specular 0.6 roughness 0.02 metallic reflection { 0.18 metallic } } }
#declare LidInside = texture { pigment { rgb <0.88, 0.72, 0.40> } normal { bumps 0.02 scale 0.01 }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.7 specular 0.4 roughness 0.04 metallic reflection { 0.06 metallic } } }
// The lid: a shallow gold dish lying on its back, its polished inside towards us.
union {
  cylinder { <0, 0, 0>, <0, 0, LidFace>, LidR texture { LidInside } }
  torus { LidR, 0.010 rotate x * 90 translate z * LidFace texture { Gold } }
  translate <FrameX(LidColumn, LidFace), FrameY(LidRow, LidFace), 0>
}
// The case: its back on the cloth, the rim, the white dial, the hands, the crown and bow (its
// sizes held to five decimals like the frame's, see texts/flat_frame.inc).
union {
  cylinder { <0, 0, 0>, <0, 0, -0.020>, FrameHeld(CaseR) texture { Gold } }
  torus { FrameHeld(CaseR), 0.016 rotate x * 90 translate z * -0.018 texture { Gold } }
  cylinder { <0, 0, -0.019>, <0, 0, -0.024>, FrameHeld(CaseR * 0.9) pigment { rgb <0.95, 0.93, 0.87> } finish { specular 0.3 roughness 0.01 } }
  #for (Hour, 0, 11, 1)
    box { <-0.004, FrameHeld(CaseR * 0.74), -0.0245>, <0.004, FrameHeld(CaseR * 0.86), -0.025> rotate z * (Hour * 30) pigment { rgb 0.04 } }
  #end
  #for (Minute, 0, 59, 1)
    box { <-0.0012, FrameHeld(CaseR * 0.80), -0.0245>, <0.0012, FrameHeld(CaseR * 0.86), -0.025> rotate z * (Minute * 6) pigment { rgb 0.10 } }
  #end
  box { <-0.005, -0.01, -0.026>, <0.005, FrameHeld(CaseR * 0.5), -0.027> rotate z * 62 pigment { rgb 0.03 } }
  box { <-0.0035, -0.012, -0.027>, <0.0035, FrameHeld(CaseR * 0.78), -0.028> rotate z * -155 pigment { rgb 0.03 } }
  cylinder { <0, 0, -0.024>, <0, 0, -0.03>, 0.008 texture { Gold } }
  torus { FrameHeld(CaseR * 0.16), 0.0015 rotate x * 90 translate <0, FrameHeld(-CaseR * 0.45), -0.0245> pigment { rgb 0.25 } }
  cylinder { <0, FrameHeld(CaseR * 1.0), -0.010>, <0, FrameHeld(CaseR * 1.12), -0.010>, 0.018 texture { Gold } }
  cylinder { <0, FrameHeld(CaseR * 1.1), -0.010>, <0, FrameHeld(CaseR * 1.2), -0.010>, 0.026 texture { Gold } }
  torus { 0.040, 0.007 rotate x * 90 translate <0, FrameHeld(CaseR * 1.28), -0.008> texture { Gold } }
  translate <FrameX(CaseColumn, -0.02), FrameY(CaseRow, -0.02), 0>
}
// The hinge between them.
#declare HingeColumn = (LidColumn + LidRadius + CaseColumn - CaseRadius) / 2;
cylinder { <FrameX(HingeColumn, 0), FrameY(LidRow - 40, 0), -0.012>, <FrameX(HingeColumn, 0), FrameY(LidRow + 40, 0), -0.012>, 0.012 texture { Gold } }
light_source { <-0.6, 0.8, -1.2>, rgb <1.0, 0.90, 0.74> * 1.1
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0.2, 0>, 3, 3 adaptive 1 circular orient #end }
light_source { <0.9, -0.3, -1.0>, rgb <0.5, 0.55, 0.7> * 0.4 shadowless }
