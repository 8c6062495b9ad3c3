// The observatory's register, bound in green cloth, lying open on the keeper's desk, one render under every page of it.
// On its own: povray +W1024 +H512 game/scenes/texts/register.pov
#version 3.7;
#include "materials.inc"

#declare BookCover = texture { pigment { rgb <0.12, 0.22, 0.14> } normal { quilted 0.4 control0 0.5 control1 0.5 scale 0.004 } finish { diffuse 0.8 } }
#declare FoxingShift = <6.2, 3.4, 0>;
#include "texts/open_book.inc"
