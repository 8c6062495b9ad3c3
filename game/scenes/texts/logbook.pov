// The keeper's logbook, bound in worn leather, lying open on the keeper's desk, one render under every page of it.
// On its own: povray +W1024 +H512 game/scenes/texts/logbook.pov
#version 3.7;
#include "materials.inc"

#declare BookCover = texture { pigment { granite colour_map { [0 rgb <0.30, 0.13, 0.06>] [1 rgb <0.20, 0.08, 0.04>] } scale 0.05 } normal { granite 0.3 scale 0.01 } finish { diffuse 0.7 specular 0.25 roughness 0.03 } }
#declare FoxingShift = <0, 0, 0>;
#include "texts/open_book.inc"
