// The letter of appointment lying open on the keeper's desk, folded in three and opened out
// again, its seal broken; the envelope under its left edge, the pen and the inkwell at the
// right. kelvane-data sets the letter's text over the sheet (picture pixels 226, 52 .. 798, 382).
// On its own: povray +W1024 +H512 game/scenes/texts/letter.pov
#version 3.7;
#include "materials.inc"
#include "texts/desk.inc"

// The sheet, in picture pixels.
#declare SheetLeft = 176;
#declare SheetTop = 20;
#declare SheetWidth = 672;
#declare SheetHeight = 404;

#declare LetterPaper = texture { pigment { rgb <0.93, 0.90, 0.82> } normal { bumps 0.03 scale 0.004 } finish { diffuse 0.85 } }
box { FrameCorners(SheetLeft, SheetTop, SheetWidth, SheetHeight, -0.003, -0.001) texture { LetterPaper } }
// The two creases where it was folded in three.
#for (Fold, 1, 2)
  box { FrameCorners(SheetLeft, SheetTop + int(Fold * SheetHeight / 3), SheetWidth, 2, -0.0031, -0.0029) pigment { rgb <0.80, 0.77, 0.70> } }
#end
// The broken seal at the foot of the sheet.
union {
  cylinder { <0, 0, 0>, <0, 0, -0.006>, 0.030 }
  torus { 0.028, 0.004 rotate x * 90 translate z * -0.003 }
  torus { 0.017, 0.002 rotate x * 90 translate z * -0.006 }
  texture { pigment { rgb <0.50, 0.04, 0.03> } finish { diffuse 0.6 specular 0.6 roughness 0.01 } }
  translate <FrameX(SheetLeft + SheetWidth - 70, -0.003), FrameY(SheetTop + SheetHeight - 46, -0.003), -0.003>
}
// The envelope, the pen and the inkwell.
box { <FrameX(40, 0), FrameY(470, 0), -0.0012>, <FrameX(210, 0), FrameY(120, 0), -0.0002> pigment { rgb <0.80, 0.72, 0.56> } rotate z * -6 }
cylinder { <0.40, -0.20, -0.012>, <0.50, 0.12, -0.012>, 0.006 pigment { rgb <0.08, 0.07, 0.06> } finish { specular 0.5 roughness 0.02 } }
cylinder { <0.43, 0.16, 0>, <0.43, 0.16, -0.06>, 0.045 texture { Glass } interior { GlassInterior } }
cylinder { <0.43, 0.16, -0.002>, <0.43, 0.16, -0.04>, 0.040 pigment { rgb <0.02, 0.02, 0.05> } }
DeskLight(<1.0, 0.88, 0.70> * 1.15)
