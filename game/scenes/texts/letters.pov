// The bundle of letters, bound in blue cloth, lying open on the keeper's desk, one render under every page of it.
// On its own: povray +W1024 +H512 game/scenes/texts/letters.pov
#version 3.7;
#include "materials.inc"

#declare BookCover = texture { pigment { rgb <0.12, 0.16, 0.26> } normal { quilted 0.4 control0 0.5 control1 0.5 scale 0.004 } finish { diffuse 0.8 } }
#declare FoxingShift = <3.1, 1.7, 0>;
#include "texts/open_book.inc"
