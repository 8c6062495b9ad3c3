#include "game/assets/render_halls_models.h"

#include <algorithm>
#include <cmath>

#include "render/kit.h"

namespace world_render::halls {


namespace {

const char* const kHallMaterials = R"(
#declare Plaster = texture {
  pigment { granite colour_map { [0 rgb <0.60, 0.55, 0.46>] [1 rgb <0.52, 0.47, 0.39>] } scale 0.9 }
  normal { bumps 0.1 scale 0.06 }
  finish { diffuse 0.75 }
}
#declare Whitewash = texture {
  pigment { granite colour_map { [0 rgb <0.70, 0.69, 0.64>] [0.8 rgb <0.62, 0.61, 0.57>] [1 rgb <0.45, 0.42, 0.36>] } scale 0.7 }
  normal { bumps 0.2 scale 0.12 }
  finish { diffuse 0.8 }
}
#declare Panelling = texture {
  pigment { gradient x colour_map { [0 rgb <0.13, 0.07, 0.03>] [0.03 rgb <0.13, 0.07, 0.03>] [0.05 rgb <0.34, 0.19, 0.08>] [1 rgb <0.28, 0.15, 0.06>] } scale 0.5 }
  normal { wood 0.08 scale 0.1 }
  finish { diffuse 0.7 specular 0.2 roughness 0.05 }
}
#declare Flags = texture {
  pigment { brick rgb <0.10, 0.09, 0.08>, rgb <0.36, 0.34, 0.31> brick_size <0.9, 0.4, 0.62> mortar 0.02 }
  normal { granite 0.15 scale 0.5 }
  finish { diffuse 0.7 specular 0.12 roughness 0.04 }
}
#declare Tiles = texture {
  pigment { checker rgb <0.42, 0.16, 0.10>, rgb <0.62, 0.56, 0.44> scale 0.45 }
  normal { bumps 0.05 scale 0.1 }
  finish { diffuse 0.7 specular 0.25 roughness 0.03 }
}
#declare CastIron = texture {
  pigment { granite colour_map { [0 rgb <0.06, 0.06, 0.065>] [1 rgb <0.10, 0.10, 0.105>] } scale 0.05 }
  normal { granite 0.12 scale 0.02 }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.6 specular 0.35 roughness 0.04 metallic }
}
#declare Leather = texture {
  pigment { granite colour_map { [0 rgb <0.28, 0.12, 0.05>] [1 rgb <0.20, 0.08, 0.03>] } scale 0.08 }
  normal { bumps 0.25 scale 0.01 }
  finish { diffuse 0.7 specular 0.25 roughness 0.06 }
}
#declare Rope = texture { pigment { rgb <0.55, 0.45, 0.30> } normal { quilted 0.6 scale 0.012 } finish { diffuse 0.8 } }
#declare Chain = texture {
  pigment { rgb <0.16, 0.15, 0.14> }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.5 specular 0.5 roughness 0.02 metallic }
}
// The tower's rough coursed stone: dark deep mortar, each stone a warm grey-brown of its
// own, hammer-dressed faces that catch the lamp light.
#declare TowerStone = pigment {
  average pigment_map {
    [2 granite colour_map { [0 rgb <0.20, 0.17, 0.13>] [0.5 rgb <0.27, 0.23, 0.18>] [1 rgb <0.17, 0.15, 0.12>] } scale 0.3]
    [1 cells colour_map { [0 rgb <0.12, 0.10, 0.08>] [0.5 rgb <0.26, 0.22, 0.17>] [1 rgb <0.36, 0.31, 0.24>] } scale <0.21, 0.24, 0.21>]
  }
}
#declare TowerBlocks = texture {
  pigment { brick pigment { rgb <0.04, 0.035, 0.03> }, pigment { TowerStone } brick_size <0.42, 0.24, 0.42> mortar 0.035 }
  normal { average normal_map { [1 brick 0.9 brick_size <0.42, 0.24, 0.42> mortar 0.035] [2 granite 0.6 scale 0.25] [1 bumps 0.5 scale 0.06] } }
  finish { diffuse 0.75 specular 0.05 roughness 0.1 }
}
#declare Ink = texture { pigment { rgb <0.05, 0.04, 0.03> } finish { diffuse 0.6 } }
#declare Flame = texture { pigment { rgbf <1.0, 0.75, 0.35, 0.2> } finish { ambient 0 diffuse 0 emission 2.2 } }
#declare Ember = texture { pigment { rgb <1.0, 0.42, 0.08> } finish { ambient 0 diffuse 0 emission 1.6 } }
#declare Ruled = texture {
  pigment { average pigment_map {
    [1 gradient z colour_map { [0 rgb <0.3, 0.25, 0.2>] [0.08 rgb <0.3, 0.25, 0.2>] [0.1 rgb <0.88, 0.82, 0.68>] [1 rgb <0.88, 0.82, 0.68>] } scale 0.025 ]
    [1 gradient x colour_map { [0 rgb <0.3, 0.25, 0.2>] [0.03 rgb <0.3, 0.25, 0.2>] [0.05 rgb <0.88, 0.82, 0.68>] [1 rgb <0.88, 0.82, 0.68>] } scale 0.07 ] } }
  finish { diffuse 0.85 }
}
)";

}  // namespace

const char* HallMaterials() { return kHallMaterials; }

std::string Stove(double w, double h, double flueTop, double wallZ, bool burning)
{
    const double d = w * 0.75;  // the body's depth
    std::string text = std::string("#declare StoveFire = texture { ") + (burning ? "Ember" : "CastIron") + " }\n";
    text += Text(R"(
union {
  // Feet, the plinth and the body with its cast top plate and rail.
  #for (I, 0, 3)
    cylinder { <0, 0, 0>, <0, %.4f, 0>, %.4f translate <(mod(I, 2) - 0.5) * %.4f, 0, %.4f + div(I, 2) * %.4f> texture { CastIron } }
  #end
  box { <-%.4f, %.4f, 0.0>, <%.4f, %.4f, %.4f> texture { CastIron } }
  box { <-%.4f, %.4f, 0.0>, <%.4f, %.4f, %.4f> texture { CastIron } }
  box { <-%.4f, %.4f, -0.03>, <%.4f, %.4f, %.4f> texture { CastIron } }
  torus { %.4f, 0.012 scale <1, 1, 0.7> translate <0, %.4f, %.4f> texture { Brass } }
  // The fire door with its grille, the fire behind it, the ash door under it.
  difference {
    box { <-%.4f, %.4f, -0.06>, <%.4f, %.4f, -0.03> }
    #for (I, 0, 5) box { <-%.4f + I * %.4f, %.4f, -0.1>, <-%.4f + I * %.4f + %.4f, %.4f, 0.1> } #end
    texture { CastIron }
  }
  box { <-%.4f, %.4f, -0.025>, <%.4f, %.4f, -0.01> texture { StoveFire } }
  box { <-%.4f, %.4f, -0.04>, <%.4f, %.4f, 0.0> texture { CastIron } }
  sphere { <%.4f, %.4f, -0.06>, 0.025 texture { Brass } }
  // A copper kettle on the top plate.
  union {
    sphere { <0, 0.09, 0>, 0.12 scale <1, 0.8, 1> }
    cylinder { <0, 0.0, 0>, <0, 0.05, 0>, 0.09 }
    cylinder { <0.09, 0.08, 0>, <0.2, 0.16, 0>, 0.018 }
    torus { 0.08, 0.012 rotate <90, 0, 0> translate <0, 0.2, 0> }
    pigment { rgb <0.62, 0.30, 0.16> } finish { diffuse 0.5 specular 0.6 roughness 0.02 metallic reflection 0.08 }
    translate <-%.4f, %.4f, %.4f>
  }
  // The flue: up from the back of the top, then into the wall.
  cylinder { <%.4f, %.4f, %.4f>, <%.4f, %.4f, %.4f>, %.4f texture { CastIron } }
  sphere { <%.4f, %.4f, %.4f>, %.4f texture { CastIron } }
  cylinder { <%.4f, %.4f, %.4f>, <%.4f, %.4f, %.4f>, %.4f texture { CastIron } }
  torus { %.4f, 0.015 translate <%.4f, %.4f, %.4f> texture { CastIron } }
  torus { %.4f, 0.015 translate <%.4f, %.4f, %.4f> texture { CastIron } }
)",
        h * 0.12, w * 0.05, w * 0.8, d * 0.15, d * 0.7,
        w * 0.48, h * 0.12, w * 0.48, h * 0.2, d,
        w * 0.44, h * 0.2, w * 0.44, h * 0.94, d * 0.95,
        w * 0.5, h * 0.94, w * 0.5, h, d + 0.02,
        w * 0.42, h + 0.02, d * 0.5,
        w * 0.32, h * 0.48, w * 0.32, h * 0.86,
        w * 0.26, w * 0.1, h * 0.52, w * 0.26, w * 0.1, w * 0.045, h * 0.8,
        w * 0.3, h * 0.5, w * 0.3, h * 0.84,
        w * 0.3, h * 0.26, w * 0.3, h * 0.42,
        w * 0.27, h * 0.67,
        w * 0.2, h + 0.01, d * 0.4,
        w * 0.15, h, d * 0.65, w * 0.15, flueTop, d * 0.65, w * 0.11,
        w * 0.15, flueTop, d * 0.65, w * 0.11,
        w * 0.15, flueTop, d * 0.65, w * 0.15, flueTop, wallZ, w * 0.11,
        w * 0.115, w * 0.15, h + (flueTop - h) * 0.35, d * 0.65,
        w * 0.115, w * 0.15, h + (flueTop - h) * 0.7, d * 0.65);
    if (burning)
        text += Text(R"(
  // The fire's light, warm and short-reaching, out through the grille.
  light_source { <0, %.4f, -0.25>, rgb <1.0, 0.5, 0.18> * 1.4 fade_distance 0.9 fade_power 2 shadowless }
)", h * 0.6);
    text += "}\n";
    return text;
}

std::string OilStore(double w, double h)
{
    const double r = h * 0.3, length = w * 0.56, cx = -w / 2 + length / 2 + 0.02, cy = h - r;
    return Text(R"(
union {
  // The tank on its cradle: a riveted cylinder with flanged ends.
  cylinder { <-%.4f, 0, 0>, <%.4f, 0, 0>, %.4f texture { RustIron } }
  torus { %.4f, 0.03 rotate <0, 0, 90> translate <-%.4f, 0, 0> texture { RustIron } }
  torus { %.4f, 0.03 rotate <0, 0, 90> translate <%.4f, 0, 0> texture { RustIron } }
  #for (I, 0, 23)
    sphere { <-%.4f, %.4f, 0>, 0.014 rotate <I * 15, 0, 0> texture { DarkIron } }
    sphere { <%.4f, %.4f, 0>, 0.014 rotate <I * 15, 0, 0> texture { DarkIron } }
  #end
  cylinder { <0, %.4f, 0>, <0, %.4f, 0>, 0.05 texture { Brass } }
  box { <-%.4f, -%.4f, -%.4f>, <-%.4f, -%.4f, %.4f> texture { Wood } }
  box { <%.4f, -%.4f, -%.4f>, <%.4f, -%.4f, %.4f> texture { Wood } }
  // The brass tap at the front, with its handle across.
  cylinder { <0, -%.4f, -%.4f>, <0, -%.4f, -%.4f>, 0.03 texture { Brass } }
  cylinder { <0, -%.4f, -%.4f>, <0, -%.4f, -%.4f>, 0.026 texture { Brass } }
  box { <-0.09, -%.4f, -%.4f>, <0.09, -%.4f, -%.4f> texture { Brass } }
  translate <%.4f, %.4f, %.4f>
}
// The can under the tap, on a drip tray.
union {
  box { <-0.22, 0, -0.18>, <0.22, 0.03, 0.18> texture { DarkIron } }
  cylinder { <0, 0.03, 0>, <0, 0.32, 0>, 0.12 texture { RustIron } }
  cylinder { <0.06, 0.28, 0>, <0.2, 0.38, 0>, 0.015 texture { RustIron } }
  torus { 0.07, 0.01 translate <0, 0.38, 0> texture { DarkIron } }
  translate <%.4f, 0, %.4f>
}
// Two drums of oil, hooped, one with a funnel.
#for (I, 0, 1)
union {
  cylinder { <0, 0, 0>, <0, %.4f, 0>, %.4f }
  torus { %.4f, 0.015 translate <0, %.4f, 0> }
  torus { %.4f, 0.015 translate <0, %.4f, 0> }
  pigment { rgb <0.30, 0.12, 0.07> } normal { granite 0.08 scale 0.05 } finish { diffuse 0.6 specular 0.2 roughness 0.05 }
  translate <%.4f + I * %.4f, 0, %.4f>
}
#end
cone { <0, 0, 0>, 0.02, <0, 0.14, 0>, 0.1 texture { Brass } translate <%.4f, %.4f, %.4f> }
)",
        length / 2, length / 2, r, r, length / 2, r, length / 2,
        length / 2, r * 0.88, length / 2, r * 0.88,
        r, r + 0.12,
        length * 0.4, r * 0.6, r, length * 0.4 - 0.12, cy, r,
        length * 0.4 - 0.12, r * 0.6, r, length * 0.4, cy, r,
        r * 0.75, r * 0.6, r * 0.75, r * 1.15,
        r * 0.75 + 0.0, r * 1.15, r * 0.75 + 0.25, r * 1.15,
        r * 0.78, r * 1.15 + 0.01, r * 0.78 - 0.03, r * 1.15 + 0.03,
        cx, cy, r * 1.05,
        cx, -0.01 + r * 0.2,
        h * 0.72, w * 0.1, w * 0.1, h * 0.1, w * 0.1, h * 0.62,
        w / 2 - w * 0.32, w * 0.2, w * 0.12,
        w / 2 - w * 0.32, h * 0.72, w * 0.12);
}

std::string Winch(double w, double h, double chainTop)
{
    const double axis = h * 0.5, drum = h * 0.2, halfLength = w * 0.26;
    return Text(R"(
union {
  // The timber bed and the two iron side frames.
  box { <-%.4f, 0, -0.35>, <%.4f, 0.12, 0.35> texture { Wood } }
  #for (S, -1, 1, 2)
    union {
      prism { linear_sweep linear_spline -0.04, 0.04, 5, <-0.34, 0.12>, <0.34, 0.12>, <0.07, %.4f>, <-0.07, %.4f>, <-0.34, 0.12> rotate <-90, 0, 0> rotate <0, 90, 0> }
      cylinder { <-0.06, %.4f, 0>, <0.06, %.4f, 0>, 0.09 }
      texture { CastIron }
      translate <S * %.4f, 0, 0>
    }
  #end
  // The drum with its flanges, wound with chain.
  cylinder { <-%.4f, %.4f, 0>, <%.4f, %.4f, 0>, %.4f texture { Wood } }
  cylinder { <-%.4f, %.4f, 0>, <-%.4f, %.4f, 0>, %.4f texture { CastIron } }
  cylinder { <%.4f, %.4f, 0>, <%.4f, %.4f, 0>, %.4f texture { CastIron } }
  #for (I, 0, 13)
    torus { %.4f, 0.022 rotate <0, 0, 90> translate <-%.4f + (I + 0.5) * %.4f, %.4f, 0> texture { Chain } }
  #end
  // The chain up from the back of the drum to the bar's pulley.
  #declare Links = floor((%.4f - %.4f) / 0.09);
  #for (I, 0, Links)
    torus { 0.035, 0.012 scale <1, 1.5, 1> rotate <90 * mod(I, 2), 0, 0> rotate <0, 90 * mod(I, 2), 0>
            translate <%.4f, %.4f + I * 0.09, %.4f> texture { Chain } }
  #end
  // The shaft through both frames: on the left the ratchet wheel and its pawl, on the right
  // the square end where the crank fits.
  cylinder { <-%.4f, %.4f, 0>, <%.4f, %.4f, 0>, 0.045 texture { DarkIron } }
  union {
    cylinder { <-0.05, 0, 0>, <0.05, 0, 0>, %.4f }
    #for (I, 0, 19) box { <-0.05, -0.03, 0>, <0.05, 0.03, %.4f> rotate <I * 18, 0, 0> } #end
    texture { CastIron }
    translate <-%.4f, %.4f, 0>
  }
  box { <-0.03, -0.03, -0.02>, <0.03, 0.03, %.4f> rotate <-60, 0, 0> translate <-%.4f, %.4f, -%.4f> texture { DarkIron } }
  cylinder { <-%.4f, %.4f, -%.4f>, <-%.4f, %.4f, -%.4f>, 0.03 texture { Brass } }
  box { <0, -0.045, -0.045>, <0.16, 0.045, 0.045> translate <%.4f, %.4f, 0>
        texture { pigment { rgb <0.38, 0.37, 0.35> } finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.5 specular 0.7 roughness 0.01 metallic } } }
  translate <0, 0, 0.35>
}
)",
        halfLength + 0.35, halfLength + 0.35,
        axis + 0.06, axis + 0.06, axis, axis,
        halfLength + 0.06,
        halfLength, axis, halfLength, axis, drum,
        halfLength, axis, halfLength - 0.04, axis, drum * 1.6,
        halfLength, axis, halfLength - 0.04, axis, drum * 1.6,
        drum + 0.022, halfLength, halfLength * 2 / 14, axis,
        chainTop, axis,
        halfLength * 0.3, axis, drum + 0.04,
        halfLength + 0.3, axis, halfLength + 0.3, axis,
        drum * 1.15, drum * 1.3,
        halfLength + 0.22, axis,
        drum * 1.4, halfLength + 0.22, axis + drum * 1.2, 0.02,
        halfLength + 0.27, axis + drum * 1.1, 0.08, halfLength + 0.17, axis + drum * 1.1, 0.08,
        halfLength + 0.3, axis);
}

std::string WallClock(double w, double h, double bottom)
{
    const double hood = h * 0.42, top = bottom + h, dial = std::min(w * 0.42, hood * 0.4);
    const double dialY = top - hood * 0.52, trunk = w * 0.72, trunkTop = top - hood;
    return Text(R"(
union {
  // The case: a hood with a cornice round the dial, a long trunk with a glass door over the
  // pendulum and its weights.
  box { <-%.4f, %.4f, -0.28>, <%.4f, %.4f, 0> texture { Wood } }
  box { <-%.4f, %.4f, -0.33>, <%.4f, %.4f, 0> texture { Wood } }
  box { <-%.4f, %.4f, -0.31>, <%.4f, %.4f, 0> texture { Wood } }
  box { <-%.4f, %.4f, -0.26>, <%.4f, %.4f, 0> texture { Wood } }
  // The dial: enamel, twelve marks, two hands, a brass bezel.
  cylinder { <0, %.4f, -0.3>, <0, %.4f, -0.28>, %.4f texture { pigment { rgb <0.88, 0.85, 0.76> } finish { diffuse 0.8 specular 0.3 } } }
  torus { %.4f, %.4f rotate <90, 0, 0> translate <0, %.4f, -0.3> texture { Brass } }
  #for (I, 0, 11)
    box { <-%.4f, %.4f, -0.31>, <%.4f, %.4f, -0.3> rotate <0, 0, I * 30> translate <0, %.4f, 0> texture { Ink } }
  #end
  box { <-%.4f, 0, -0.325>, <%.4f, %.4f, -0.315> rotate <0, 0, -65> translate <0, %.4f, 0> texture { Ink } }
  box { <-%.4f, 0, -0.335>, <%.4f, %.4f, -0.325> rotate <0, 0, 160> translate <0, %.4f, 0> texture { Ink } }
  cylinder { <0, %.4f, -0.34>, <0, %.4f, -0.31>, %.4f texture { Brass } }
  // The trunk's door: a frame round a glass, the pendulum and two weights behind it.
  difference {
    box { <-%.4f, %.4f, -0.29>, <%.4f, %.4f, -0.26> }
    box { <-%.4f, %.4f, -0.4>, <%.4f, %.4f, 0> }
    texture { Wood }
  }
  box { <-%.4f, %.4f, -0.275>, <%.4f, %.4f, -0.27> texture { Glass } }
  box { <-%.4f, %.4f, -0.25>, <%.4f, %.4f, -0.02> texture { pigment { rgb <0.12, 0.07, 0.04> } } }
  cylinder { <0, %.4f, -0.12>, <0, %.4f, -0.12>, %.4f texture { Brass } }
  cylinder { <0, %.4f, -0.15>, <0, %.4f, -0.09>, %.4f texture { Brass } }
  cylinder { <-%.4f, %.4f, -0.15>, <-%.4f, %.4f, -0.15>, %.4f texture { Brass } }
  cylinder { <%.4f, %.4f, -0.15>, <%.4f, %.4f, -0.15>, %.4f texture { Brass } }
}
)",
        w * 0.5, trunkTop, w * 0.5, top - hood * 0.08,
        w * 0.56, top - hood * 0.08, w * 0.56, top,
        w * 0.54, trunkTop - 0.04, w * 0.54, trunkTop + 0.02,
        trunk / 2, bottom, trunk / 2, trunkTop,
        dialY, dialY, dial,
        dial, dial * 0.07, dialY,
        dial * 0.03, dial * 0.78, dial * 0.03, dial * 0.95, dialY,
        dial * 0.04, dial * 0.04, dial * 0.55, dialY, dial * 0.025, dial * 0.025, dial * 0.8, dialY,
        dialY, dialY, dial * 0.07,
        trunk * 0.42, bottom + 0.1, trunk * 0.42, trunkTop - 0.08,
        trunk * 0.34, bottom + 0.16, trunk * 0.34, trunkTop - 0.14,
        trunk * 0.36, bottom + 0.14, trunk * 0.36, trunkTop - 0.12,
        trunk * 0.42, bottom + 0.1, trunk * 0.42, trunkTop - 0.08,
        trunkTop - 0.05, bottom + 0.3, dial * 0.03,
        bottom + 0.3, bottom + 0.3, dial * 0.3,
        trunk * 0.22, trunkTop - 0.1, trunk * 0.22, trunkTop - 0.1 - h * 0.2, dial * 0.12,
        trunk * 0.22, trunkTop - 0.06, trunk * 0.22, trunkTop - 0.06 - h * 0.16, dial * 0.12);
}

std::string Lectern(double w, double h)
{
    const double top = h * 0.86;
    return Text(R"(
union {
  // Turned post on a cross of feet.
  box { <-%.4f, 0, -0.06>, <%.4f, 0.1, 0.06> texture { Wood } }
  box { <-0.06, 0, -%.4f>, <0.06, 0.1, %.4f> texture { Wood } }
  lathe { linear_spline 8, <0.0, 0>, <0.09, 0>, <0.07, 0.1>, <0.05, 0.3>, <0.07, 0.5>, <0.05, %.4f>, <0.09, %.4f>, <0.0, %.4f> texture { Wood } }
  // The sloped desk and the register lying open on it.
  union {
    box { <-%.4f, -0.04, -0.28>, <%.4f, 0, 0.28> texture { Wood } }
    box { <-%.4f, 0, -0.3>, <%.4f, 0.035, -0.26> texture { Wood } }
    box { <-%.4f, 0, -0.25>, <%.4f, 0.03, 0.25> texture { Leather } }
    box { <-%.4f, 0.03, -0.23>, <-0.005, 0.05, 0.23> rotate <0, 0, -3> texture { Ruled } }
    box { <0.005, 0.03, -0.23>, <%.4f, 0.05, 0.23> rotate <0, 0, 3> texture { Ruled } }
    cylinder { <0, 0.05, 0.0>, <0, 0.05, -0.24>, 0.003 texture { pigment { rgb <0.5, 0.1, 0.08> } } }
    rotate <-32, 0, 0>
    translate <0, %.4f, 0.0>
  }
}
)",
        w * 0.3, w * 0.3, w * 0.25, w * 0.25,
        top - 0.2, top - 0.12, top - 0.12,
        w * 0.5, w * 0.5, w * 0.5, w * 0.5,
        w * 0.46, w * 0.46, w * 0.44, w * 0.44,
        top);
}

std::string Desk(DeskKind kind, double w, double h)
{
    constexpr double kTop = 0.8;
    std::string text;
    if (kind == DeskKind::TowerTable) {
        text = Text(R"(
union {
  cylinder { <0, %.4f, 0>, <0, %.4f, 0>, %.4f texture { Wood } }
  cylinder { <0, 0.05, 0>, <0, %.4f, 0>, 0.07 texture { Wood } }
  #for (I, 0, 2) box { <-0.04, 0, 0>, <0.04, 0.07, 0.45> rotate <0, I * 120 + 30, 0> texture { Wood } } #end
  translate <0, 0, %.4f>
}
)", kTop - 0.05, kTop, w * 0.5, kTop - 0.05, w * 0.5);
        text += Text(R"(
// A chart held flat by a stone and the candlestick, a mug, a folded glass.
box { <-0.35, 0, -0.25>, <0.35, 0.004, 0.25> texture { Paper } rotate <0, 12, 0> translate <-0.05, %.4f, %.4f> }
union {
  box { <-0.35, 0, -0.25>, <0.35, 0.001, 0.25> }
  pigment { gradient x colour_map { [0 rgb <0.25, 0.3, 0.45>] [0.02 rgb <0.25, 0.3, 0.45>] [0.03 rgbt 1] [1 rgbt 1] } scale 0.1 }
  rotate <0, 12, 0> translate <-0.05, %.4f, %.4f>
}
sphere { <0, 0, 0>, 0.06 scale <1, 0.6, 0.8> texture { Stone } translate <-0.33, %.4f, %.4f> }
union {
  cylinder { <0, 0, 0>, <0, 0.02, 0>, 0.07 }
  cylinder { <0, 0, 0>, <0, 0.1, 0>, 0.018 }
  texture { Brass }
  translate <0.32, %.4f, %.4f>
}
cylinder { <0.32, %.4f, %.4f>, <0.32, %.4f, %.4f>, 0.016 texture { pigment { rgb <0.86, 0.82, 0.7> } } }
sphere { <0, 0, 0>, 0.022 scale <1, 1.8, 1> texture { Flame } no_shadow translate <0.32, %.4f, %.4f> }
light_source { <0.32, %.4f, %.4f>, rgb <1, 0.75, 0.45> * 0.6 fade_distance 0.6 fade_power 2 shadowless }
union {
  difference { cylinder { <0, 0, 0>, <0, 0.11, 0>, 0.045 } cylinder { <0, 0.01, 0>, <0, 0.2, 0>, 0.038 } }
  torus { 0.03, 0.008 rotate <90, 0, 0> translate <0.055, 0.055, 0> }
  pigment { rgb <0.55, 0.52, 0.45> } finish { diffuse 0.6 specular 0.4 roughness 0.02 }
  translate <0.12, %.4f, %.4f>
}
cylinder { <-0.3, 0, 0>, <0.25, 0, 0>, 0.035 texture { Brass } rotate <0, -25, 0> translate <0.05, %.4f, %.4f> }
)", kTop + 0.001, w * 0.5, kTop + 0.006, w * 0.5, kTop + 0.03, w * 0.3, kTop, w * 0.55, kTop + 0.1, w * 0.55,
                       kTop + 0.26, w * 0.55, kTop + 0.29, w * 0.55, kTop + 0.34, w * 0.5, kTop, w * 0.25,
                       kTop + 0.04, w * 0.72);
        return text;
    }
    // A long desk: the top, two pedestals of drawers, and the things on it.
    const double d = 0.8;
    text = std::string("#declare DeskTop = texture { ") + (kind == DeskKind::Keeper ? "Leather" : "Wood scale 2") + " }\n";
    text += Text(R"(
union {
  box { <-%.4f, %.4f, 0>, <%.4f, %.4f, %.4f> texture { Wood } }
  box { <-%.4f, %.4f, 0.05>, <%.4f, %.4f, %.4f> texture { DeskTop } }
  #for (S, -1, 1, 2)
    union {
      box { <-0.3, 0, 0.04>, <0.3, %.4f, %.4f> texture { Wood } }
      #for (I, 0, 2)
        box { <-0.27, 0.06 + I * %.4f, 0.02>, <0.27, 0.06 + (I + 1) * %.4f - 0.03, 0.04> texture { Wood scale 1.3 } }
        sphere { <0, 0.06 + (I + 0.5) * %.4f, 0.01>, 0.025 texture { Brass } }
      #end
      translate <S * %.4f, 0, 0>
    }
  #end
  box { <-%.4f, 0, %.4f>, <%.4f, %.4f, %.4f> texture { Wood } }
}
)", w * 0.5, kTop - 0.05, w * 0.5, kTop, d, w * 0.47, kTop, w * 0.47, kTop + 0.003, d - 0.05,
                  kTop - 0.05, d - 0.04,
                  (kTop - 0.14) / 3, (kTop - 0.14) / 3, (kTop - 0.14) / 3, w * 0.5 - 0.32,
                  w * 0.5, d - 0.04, w * 0.5, kTop - 0.05, d);
    if (kind == DeskKind::Keeper) {
        text += Text(R"(
// The keeper's desk: a rack of pigeonholes at the back, papers, the inkwell and its pen, a
// candle in a brass stick, and a pipe.
union {
  difference {
    box { <-%.4f, 0, 0>, <%.4f, %.4f, 0.28> }
    #for (I, 0, 5) #for (J, 0, 1)
      box { <-%.4f + I * %.4f + 0.02, 0.03 + J * %.4f, -0.01>, <-%.4f + (I + 1) * %.4f - 0.02, (J + 1) * %.4f - 0.02, 0.25> }
    #end #end
    texture { Wood }
  }
  #for (I, 0, 5)
    box { <-%.4f + I * %.4f + 0.04, 0.04, 0.05>, <-%.4f + (I + 1) * %.4f - 0.04, %.4f, 0.24> texture { Paper } rotate <-6, 0, 0> }
  #end
  translate <0, %.4f, %.4f>
}
#for (I, 0, 3)
  box { <-0.15, 0, -0.11>, <0.15, 0.003, 0.11> texture { Paper } rotate <0, -20 + I * 17, 0> translate <0.2 + I * 0.05, %.4f + I * 0.003, 0.35> }
#end
cylinder { <-0.35, %.4f, 0.3>, <-0.35, %.4f, 0.3>, 0.05 texture { Glass } }
cylinder { <-0.35, %.4f, 0.3>, <-0.35, %.4f, 0.3>, 0.035 texture { Ink } }
cylinder { <-0.35, %.4f, 0.3>, <-0.2, %.4f, 0.45>, 0.006 texture { Paper } }
union {
  cylinder { <0, 0, 0>, <0, 0.02, 0>, 0.08 }
  cylinder { <0, 0, 0>, <0, 0.12, 0>, 0.02 }
  texture { Brass }
  translate <-%.4f, %.4f, 0.4>
}
cylinder { <-%.4f, %.4f, 0.4>, <-%.4f, %.4f, 0.4>, 0.018 texture { pigment { rgb <0.86, 0.82, 0.7> } } }
sphere { <0, 0, 0>, 0.024 scale <1, 1.8, 1> texture { Flame } no_shadow translate <-%.4f, %.4f, 0.4> }
light_source { <-%.4f, %.4f, 0.3>, rgb <1, 0.75, 0.45> * 0.5 fade_distance 0.7 fade_power 2 shadowless }
)", w * 0.42, w * 0.42, (h - kTop) * 0.85, w * 0.42, w * 0.84 / 6, (h - kTop) * 0.42, w * 0.42, w * 0.84 / 6,
                       (h - kTop) * 0.42, w * 0.42, w * 0.84 / 6, w * 0.42, w * 0.84 / 6, (h - kTop) * 0.3,
                       kTop, d - 0.32, kTop + 0.004, kTop, kTop + 0.09, kTop + 0.02, kTop + 0.08, kTop + 0.06,
                       kTop + 0.25, w * 0.3, kTop, w * 0.3, kTop + 0.12, w * 0.3, kTop + 0.3, w * 0.3, kTop + 0.34,
                       w * 0.3, kTop + 0.4);
        return text;
    }
    // The instrument desk.
    text += Text(R"(
// A brass telescope on its tripod, a chronometer in its box, a barometer, a globe and a chart.
union {
  cylinder { <0, 0, -0.45>, <0, 0, 0.45>, 0.05 }
  cylinder { <0, 0, 0.4>, <0, 0, 0.5>, 0.065 }
  cylinder { <0, 0, -0.45>, <0, 0, -0.58>, 0.03 }
  texture { Brass }
  rotate <-14, -25, 0>
  translate <-%.4f, %.4f, 0.35>
}
#for (I, 0, 2) cylinder { <0, 0, 0>, <0.14, -0.3, 0>, 0.012 rotate <0, I * 120, 0> texture { Brass } translate <-%.4f, %.4f, 0.35> } #end
union {
  box { <-0.14, 0, -0.12>, <0.14, 0.14, 0.12> texture { Wood } }
  cylinder { <0, 0.14, 0>, <0, 0.15, 0>, 0.1 texture { Brass } }
  cylinder { <0, 0.15, 0>, <0, 0.152, 0>, 0.085 texture { pigment { rgb <0.9, 0.88, 0.8> } } }
  box { <-0.14, 0.14, 0.11>, <0.14, 0.34, 0.13> rotate <-20, 0, 0> translate <0, 0, 0> texture { Wood } }
  translate <-0.05, %.4f, 0.3>
}
union {
  cylinder { <0, 0, 0>, <0, 0.02, 0>, 0.09 }
  cylinder { <0, 0, 0>, <0, 0.3, 0>, 0.012 }
  torus { 0.16, 0.012 rotate <90, 0, 0> translate <0, 0.32, 0> }
  texture { Brass }
  translate <%.4f, %.4f, 0.4>
}
sphere { <%.4f, %.4f, 0.4>, 0.15 texture { pigment { bozo colour_map { [0 rgb <0.2, 0.3, 0.45>] [0.55 rgb <0.25, 0.36, 0.5>] [0.56 rgb <0.72, 0.64, 0.44>] [1 rgb <0.6, 0.52, 0.36>] } scale 0.06 } finish { specular 0.4 roughness 0.02 } } }
box { <-0.3, 0, -0.2>, <0.3, 0.003, 0.2> texture { Paper } rotate <0, 8, 0> translate <%.4f, %.4f, 0.32> }
union {
  cylinder { <0, 0, 0>, <0, 0.9, 0>, 0.025 }
  cylinder { <0, 0.62, 0>, <0, 0.68, 0>, 0.06 }
  cylinder { <0, 0, 0>, <0, 0.08, 0>, 0.05 }
  texture { Brass }
  translate <%.4f, %.4f, %.4f>
}
)", w * 0.28, kTop + 0.33, w * 0.28 - 0.0, kTop + 0.33, kTop, w * 0.22, kTop, w * 0.22, kTop + 0.32, -w * 0.05 + 0.15, kTop,
                   w * 0.42, kTop + 0.02, 0.72);
    return text;
}

std::string Logbook()
{
    return R"(
union {
  box { <-0.17, 0, -0.12>, <0.17, 0.05, 0.12> texture { Leather } }
  box { <-0.16, 0.004, -0.115>, <0.168, 0.046, 0.115> texture { Paper } }
  box { <-0.172, 0.045, -0.122>, <0.172, 0.056, 0.122> texture { Leather } }
  box { <-0.175, 0, -0.122>, <-0.15, 0.056, 0.122> texture { Leather } }
  box { <-0.02, 0.056, -0.125>, <0.0, 0.058, 0.125> texture { Brass } }
  cylinder { <0.06, 0.057, -0.122>, <0.06, 0.057, -0.2>, 0.003 texture { pigment { rgb <0.5, 0.1, 0.08> } } }
}
)";
}

std::string BellWheel(double radius, int value)
{
    const double r = radius;
    std::string text = Text(R"(
union {
  // The brass wheel: a milled rim, a sunk face.
  difference {
    cylinder { <0, 0, 0>, <0, 0, 0.06>, %.4f }
    cylinder { <0, 0, -0.01>, <0, 0, 0.01>, %.4f }
  }
  cylinder { <0, 0, 0.008>, <0, 0, 0.06>, %.4f }
  #for (I, 0, 47) box { <-0.004, %.4f, -0.002>, <0.004, %.4f, 0.05> rotate <0, 0, I * 7.5> } #end
  texture { Brass }
}
)", r, r * 0.82, r * 0.82, r * 0.93, r * 1.01);
    if (value <= 0) return text;
    // The bell cut in the face and, below it, its strokes in pairs.
    text += Text(R"(
union {
  prism { linear_spline -0.01, 0.01, 5, <-%.4f, %.4f>, <%.4f, %.4f>, <%.4f, %.4f>, <-%.4f, %.4f>, <-%.4f, %.4f> rotate <-90, 0, 0> }
  cylinder { <-%.4f, %.4f, -0.01>, <%.4f, %.4f, 0.01>, %.4f }
  box { <-%.4f, %.4f, -0.01>, <%.4f, %.4f, 0.01> }
)", r * 0.07, r * 0.72, r * 0.07, r * 0.72, r * 0.18, r * 0.42, r * 0.18, r * 0.42, r * 0.07, r * 0.72,
                 r * 0.2, r * 0.4, r * 0.2, r * 0.4, r * 0.035, r * 0.025, r * 0.72, r * 0.025, r * 0.8);
    for (int i = 0; i < value; ++i) {
        const double x = (i % 2 == 0 ? -1.0 : 1.0) * r * 0.2;
        const double y = r * 0.28 - (i / 2) * r * 0.27;
        text += Text("  box { <%.4f, %.4f, -0.01>, <%.4f, %.4f, 0.01> }\n", x - r * 0.07, y - r * 0.15, x + r * 0.07, y);
    }
    text += R"(  texture { pigment { rgb <0.09, 0.06, 0.03> } finish { diffuse 0.6 } }
  scale <1, 1, 0.05>
  translate <0, 0, 0.0075>
}
)";
    return text;
}

std::string Cabinet(const CabinetShape& s, bool open, bool letters)
{
    const double hinge = s.h * 0.45;  // the flap's hinge, where it lies when down
    const double d = 0.45;
    std::string text = Text(R"(
union {
  // The carcass: a plinth, the body, a cornice; drawers below the flap.
  box { <-%.4f, 0, -0.02>, <%.4f, 0.1, %.4f> texture { Wood } }
  difference {
    box { <-%.4f, 0.1, 0>, <%.4f, %.4f, %.4f> }
    box { <-%.4f, %.4f, -0.1>, <%.4f, %.4f, %.4f> }
    texture { Wood }
  }
  box { <-%.4f, %.4f, -0.05>, <%.4f, %.4f, %.4f> texture { Wood } }
  #for (I, 0, 2)
    box { <-%.4f, 0.14 + I * %.4f, -0.02>, <%.4f, 0.1 + (I + 1) * %.4f, 0.0> texture { Wood scale 1.4 } }
    sphere { <-0.12, 0.12 + (I + 0.5) * %.4f, -0.03>, 0.025 texture { Brass } }
    sphere { <0.12, 0.12 + (I + 0.5) * %.4f, -0.03>, 0.025 texture { Brass } }
  #end
  // Inside: a dark back and pigeonholes.
  box { <-%.4f, %.4f, %.4f>, <%.4f, %.4f, %.4f> texture { pigment { rgb <0.12, 0.07, 0.04> } } }
  #for (I, 1, 2) box { <-%.4f, %.4f + I * %.4f, 0.05>, <%.4f, %.4f + I * %.4f + 0.02, %.4f> texture { Wood } } #end
  box { <-0.01, %.4f, 0.05>, <0.01, %.4f, %.4f> texture { Wood } }
)", s.w * 0.52, s.w * 0.52, d + 0.02,
                              s.w * 0.5, s.w * 0.5, s.h - 0.1, d,
                              s.w * 0.44, hinge + 0.02, s.w * 0.44, s.h - 0.16, d - 0.04,
                              s.w * 0.55, s.h - 0.1, s.w * 0.55, s.h, d + 0.05,
                              s.w * 0.45, (hinge - 0.14) / 3, s.w * 0.45, (hinge - 0.14) / 3, (hinge - 0.14) / 3,
                              (hinge - 0.14) / 3,
                              s.w * 0.44, hinge, d - 0.06, s.w * 0.44, s.h - 0.1, d - 0.04,
                              s.w * 0.44, hinge, (s.h - 0.16 - hinge) / 3, s.w * 0.44, hinge,
                              (s.h - 0.16 - hinge) / 3, d - 0.06,
                              hinge, s.h - 0.16, d - 0.06);
    // The tambour front: down and locked, or rolled up into the top, its last slats showing.
    const double front = s.h - 0.18 - hinge;
    text += Text(R"(
  union {
    box { <-%.4f, 0, -0.035>, <%.4f, %.4f, 0> texture { Wood } }
    #for (I, 1, %.4f) box { <-%.4f, I * %.4f - 0.004, -0.04>, <%.4f, I * %.4f, -0.035> texture { Ink } } #end
    box { <-0.09, 0.02, -0.06>, <0.09, 0.06, -0.035> texture { Brass } }
    box { <-0.012, 0.03, -0.065>, <0.012, 0.05, -0.06> texture { Ink } }
    translate <0, %.4f, 0.0>
  }
)", s.w * 0.46, s.w * 0.46, open ? 0.1 : front, open ? 0.0 : 12.0, s.w * 0.46, front / 13, s.w * 0.46, front / 13,
                 open ? hinge + 0.02 + front - 0.1 : hinge + 0.02);
    if (letters)
        text += Text(R"(
  // The keeper's letters: a bundle tied with a ribbon, in the middle pigeonhole.
  union {
    #for (I, 0, 5) box { <-0.16, I * 0.012, -0.11>, <0.16, I * 0.012 + 0.01, 0.11> rotate <0, I * 4 - 10, 0> texture { Paper } } #end
    box { <-0.165, -0.002, -0.02>, <0.165, 0.075, 0.02> texture { pigment { rgb <0.55, 0.08, 0.08> } } }
    box { <-0.02, -0.002, -0.115>, <0.02, 0.075, 0.115> texture { pigment { rgb <0.55, 0.08, 0.08> } } }
    translate <0, %.4f, %.4f>
  }
)", hinge + 0.04, d * 0.45);
    text += "}\n";
    // The lock plate beside it: the wheels in a row and the release knob under them.
    text += Text(R"(
box { <%.4f, %.4f, -0.04>, <%.4f, %.4f, 0> texture { Brass } }
box { <%.4f, %.4f, -0.045>, <%.4f, %.4f, -0.04> texture { DarkIron } }
union {
  cylinder { <0, 0, -0.04>, <0, 0, -0.1>, %.4f }
  sphere { <0, 0, -0.1>, %.4f scale <1, 1, 0.6> }
  texture { Brass }
  translate <%.4f, %.4f, 0>
}
cylinder { <%.4f, %.4f, -0.04>, <%.4f, %.4f, -0.05>, %.4f texture { DarkIron } }
)", s.w * 0.5 + 0.02, s.wheelsY - s.wheelRadius * 1.9, s.plateRight, s.wheelsY + s.wheelRadius * 1.9,
                   s.w * 0.5 + 0.02, s.wheelsY - s.wheelRadius * 1.9 - 0.02, s.plateRight, s.wheelsY - s.wheelRadius * 1.9,
                   s.knobRadius * 0.5, s.knobRadius, s.knobX, s.knobY,
                   s.knobX, s.knobY, s.knobX, s.knobY, s.knobRadius * 1.3);
    for (int i = 0; i < 8; ++i)
        text += "object { union { " + BellWheel(s.wheelRadius, 0) + " }" +
                Text(" translate <%.4f, %.4f, -0.1> }\n", s.wheelsX + i * s.pitch, s.wheelsY);
    return text;
}

std::string Shelf(double w, double h)
{
    return Text(R"(
union {
  box { <-%.4f, 0, 0>, <-%.4f, %.4f, 0.4> texture { Wood } }
  box { <%.4f, 0, 0>, <%.4f, %.4f, 0.4> texture { Wood } }
  #for (I, 0, 3) box { <-%.4f, 0.08 + I * %.4f, 0>, <%.4f, 0.12 + I * %.4f, 0.4> texture { Wood } } #end
  box { <-%.4f, 0, 0.38>, <%.4f, %.4f, 0.4> texture { Wood scale 2 } }
}
#declare R = seed(451);
// Books on the top shelf, jars and tins on the next, rope and a spare lamp glass below.
#declare X = -%.4f;
#while (X < %.4f)
  #declare BW = 0.035 + 0.03 * rand(R);
  #declare BH = 0.22 + 0.12 * rand(R);
  box { <X, 0, 0.05>, <X + BW, BH, 0.33> translate <0, 0.12 + 3 * %.4f, 0>
        pigment { rgb <0.25 + 0.3 * rand(R), 0.1 + 0.12 * rand(R), 0.06 + 0.1 * rand(R)> } finish { diffuse 0.7 specular 0.1 } }
  #declare X = X + BW + 0.006;
#end
#for (I, 0, 5)
  cylinder { <0, 0, 0>, <0, 0.16 + 0.05 * mod(I, 2), 0>, 0.07 translate <-%.4f + (I + 0.5) * %.4f, 0.12 + 2 * %.4f, 0.18>
             texture { #if (mod(I, 3) = 0) Glass #else RustIron #end } }
#end
torus { 0.14, 0.04 translate <-%.4f, 0.16 + %.4f, 0.2> texture { Rope } }
torus { 0.12, 0.04 translate <-%.4f, 0.24 + %.4f, 0.2> texture { Rope } }
difference { cylinder { <0, 0, 0>, <0, 0.26, 0>, 0.07 } cylinder { <0, 0.01, 0>, <0, 0.3, 0>, 0.06 } texture { Glass } interior { GlassInterior } translate <%.4f, 0.12 + %.4f, 0.2> }
box { <-0.12, 0, -0.08>, <0.12, 0.14, 0.08> texture { Wood } translate <%.4f, 0.12 + %.4f, 0.2> }
box { <-0.18, 0, -0.12>, <0.18, 0.3, 0.12> texture { Wood } translate <%.4f, 0.12, 0.2> }
)", w * 0.5, w * 0.46, h, w * 0.46, w * 0.5, h, w * 0.46, (h - 0.2) / 3.3, w * 0.46, (h - 0.2) / 3.3,
                  w * 0.46, w * 0.46, h,
                  w * 0.44, w * 0.44, (h - 0.2) / 3.3,
                  w * 0.44, w * 0.88 / 6, (h - 0.2) / 3.3,
                  w * 0.25, (h - 0.2) / 3.3, w * 0.25, (h - 0.2) / 3.3,
                  w * 0.1, (h - 0.2) / 3.3, w * 0.3, (h - 0.2) / 3.3, w * 0.25);
}

std::string HandLantern(double scale)
{
    return Text(R"(
union {
  // The bail handle, the cap with its vent, the glass between brass guards, the fount.
  torus { 0.07, 0.006 rotate <90, 0, 0> clipped_by { plane { -y, 0 } } translate <0, -0.07, 0> }
  cylinder { <0, -0.07, 0>, <0, -0.1, 0>, 0.03 }
  cone { <0, -0.1, 0>, 0.03, <0, -0.16, 0>, 0.075 }
  cylinder { <0, -0.16, 0>, <0, -0.175, 0>, 0.08 }
  #for (I, 0, 3) cylinder { <0.078, -0.175, 0>, <0.078, -0.33, 0>, 0.006 rotate <0, I * 90 + 45, 0> } #end
  torus { 0.078, 0.005 translate <0, -0.25, 0> }
  cylinder { <0, -0.33, 0>, <0, -0.42, 0>, 0.085 }
  cylinder { <0, -0.42, 0>, <0, -0.43, 0>, 0.09 }
  texture { Brass }
  scale %.4f
}
difference {
  cylinder { <0, -0.175, 0>, <0, -0.33, 0>, 0.065 }
  cylinder { <0, -0.17, 0>, <0, -0.34, 0>, 0.06 }
  texture { Glass } interior { GlassInterior }
  scale %.4f
}
cylinder { <0, -0.33, 0>, <0, -0.28, 0>, 0.01 texture { pigment { rgb <0.8, 0.78, 0.7> } } scale %.4f }
)", scale, scale, scale);
}

std::string LampBoard(double w, double h, double hookY, bool lamp)
{
    std::string text = Text(R"(
// The board: planks with a moulded edge, a row of iron hooks; a funnel and a trimmer's
// scissors on the outer hooks.
box { <-%.4f, %.4f, -0.04>, <%.4f, %.4f, 0> texture { Planks rotate <0, 0, 90> } }
box { <-%.4f, %.4f, -0.06>, <%.4f, %.4f, 0> texture { Wood } }
box { <-%.4f, %.4f, -0.06>, <%.4f, %.4f, 0> texture { Wood } }
#for (I, -1, 1)
  union {
    cylinder { <0, 0, -0.04>, <0, 0, -0.12>, 0.012 }
    cylinder { <0, 0, -0.12>, <0, 0.05, -0.12>, 0.012 }
    sphere { <0, 0.05, -0.12>, 0.014 }
    texture { DarkIron }
    translate <I * %.4f, %.4f, 0>
  }
#end
cone { <0, 0, 0>, 0.015, <0, 0.13, 0>, 0.09 texture { RustIron } translate <-%.4f, %.4f, -0.13> }
box { <-0.01, -0.18, -0.005>, <0.01, 0, 0.005> texture { DarkIron } rotate <0, 0, 10> translate <%.4f, %.4f, -0.13> }
box { <-0.01, -0.18, -0.005>, <0.01, 0, 0.005> texture { DarkIron } rotate <0, 0, -10> translate <%.4f, %.4f, -0.13> }
// A shelf of wicks and spare glasses under the hooks.
box { <-%.4f, %.4f, -0.25>, <%.4f, %.4f, 0> texture { Wood } }
#for (I, 0, 3)
  difference { cylinder { <0, 0, 0>, <0, 0.16, 0>, 0.05 } cylinder { <0, 0.01, 0>, <0, 0.2, 0>, 0.044 }
               texture { Glass } interior { GlassInterior } translate <-%.4f + I * 0.13, %.4f, -0.13> }
#end
#for (I, 0, 2) torus { 0.05, 0.012 translate <%.4f + I * 0.03, %.4f + I * 0.025, -0.13> texture { Cloth } } #end
)", w * 0.5, h * 0.02, w * 0.5, h, w * 0.52, h - 0.04, w * 0.52, h + 0.02, w * 0.52, h * 0.02 - 0.03, w * 0.52, h * 0.02 + 0.03,
                              w * 0.32, hookY, w * 0.32, hookY - 0.12, w * 0.32 - 0.03, hookY - 0.02, w * 0.32 + 0.03,
                              hookY - 0.02,
                              w * 0.48, h * 0.22, w * 0.48, h * 0.22 + 0.03, w * 0.42, h * 0.22 + 0.03, w * 0.2,
                              h * 0.22 + 0.045);
    if (lamp) text += "object { union { " + HandLantern(1.1) + Text(" } translate <0, %.4f, -0.12> }\n", hookY + 0.05);
    return text;
}

std::string Well(double r, double h)
{
    return Text(R"(
union {
  // The rim of dressed stone, the dark water a little way down.
  difference {
    cylinder { <0, 0, 0>, <0, %.4f, 0>, %.4f }
    cylinder { <0, -3, 0>, <0, %.4f, 0>, %.4f }
    texture { Blocks scale 0.5 }
  }
  torus { %.4f, 0.08 translate <0, %.4f, 0> texture { Stone } }
  difference {
    cylinder { <0, -3, 0>, <0, 0, 0>, %.4f }
    cylinder { <0, -4, 0>, <0, 0.1, 0>, %.4f }
    texture { Rock }
  }
  disc { <0, -0.35, 0>, y, %.4f texture { Water } }
  disc { <0, -0.45, 0>, y, %.4f pigment { rgb <0.01, 0.02, 0.02> } }
  // The windlass: two posts, a roller with its rope and a bucket hanging.
  #for (S, -1, 1, 2) box { <-0.07, 0, -0.07>, <0.07, %.4f, 0.07> texture { Wood } translate <S * %.4f, %.4f, 0> } #end
  cylinder { <-%.4f, %.4f, 0>, <%.4f, %.4f, 0>, 0.08 texture { Wood } }
  cylinder { <-%.4f, %.4f, 0>, <%.4f, %.4f, 0>, 0.095 texture { Rope } }
  cylinder { <0, %.4f, -0.09>, <0, %.4f, -0.09>, 0.015 texture { Rope } }
  difference { cone { <0, 0, 0>, 0.12, <0, 0.22, 0>, 0.15 } cone { <0, 0.02, 0>, 0.11, <0, 0.25, 0>, 0.14 } texture { Wood } translate <0, %.4f, -0.09> }
  torus { 0.15, 0.01 translate <0, %.4f, -0.09> texture { DarkIron } }
}
)", h, r, h + 1, r * 0.72, r * 0.86, h, r * 0.72, r * 0.68, r * 0.72, r * 0.72,
                  1.3, r * 0.95, h - 0.02, r * 0.95, h + 1.15, r * 0.95, h + 1.15, r * 0.3, h + 1.15, r * 0.3, h + 1.15,
                  h + 1.15, h + 0.55, h + 0.33, h + 0.55);
}

std::string WallLamp(double height, double size)
{
    return Text(R"(
union {
  // Back plate, bracket arm, the lamp's fount, chimney and flame.
  cylinder { <0, 0, 0>, <0, 0, -0.02>, 0.2 scale <1, 1.4, 1> texture { Brass } }
  box { <-0.02, -0.03, -0.02>, <0.02, 0.03, -0.25> texture { DarkIron } }
  cylinder { <0, -0.03, -0.25>, <0, -0.12, -0.25>, 0.02 texture { DarkIron } }
  cylinder { <0, -0.12, -0.25>, <0, -0.05, -0.25>, 0.09 texture { Brass } }
  difference {
    cylinder { <0, -0.05, -0.25>, <0, 0.3, -0.25>, 0.07 }
    cylinder { <0, -0.06, -0.25>, <0, 0.31, -0.25>, 0.064 }
    texture { pigment { rgbf <1, 0.92, 0.8, 0.85> } finish { ambient 0 diffuse 0.1 emission 0.25 specular 0.6 roughness 0.01 } }
    no_shadow
  }
  sphere { <0, 0.06, -0.25>, 0.04 scale <1, 2, 1> translate <0, -0.06, 0> texture { Flame } no_shadow }
  light_source { <0, 0.08, -0.35>, rgb <1.0, 0.72, 0.42> * 0.6 fade_distance 2.5 fade_power 2 shadowless }
  scale %.4f
  translate <0, %.4f, 0>
}
)", size, height);
}

std::string HatchParts(double w, double hatchY, bool open)
{
    // The steps climb to the hatch's lower edge; the hatch leans back over the stair head.
    const double sill = hatchY - 0.9, head = 0.2 + sill, half = w / 2 - 0.08;
    const int steps = static_cast<int>(sill / 0.25 + 0.5);
    std::string text = Text(R"(
#for (I, 0, %.4f) box { <-%.4f, -1, 0.2 + I * 0.25>, <%.4f, 0.25 * (I + 1), 6> texture { Stone } } #end
// The frame the hatch closes on, and the sky beyond it.
difference {
  box { <-%.4f, %.4f, %.4f>, <%.4f, %.4f, %.4f> }
  box { <-%.4f, 0, -1>, <%.4f, 1.2, 0.5> rotate <35, 0, 0> translate <0, %.4f, %.4f> }
  texture { Wood }
}
box { <-3, -3, 0>, <3, 3, 0.1> rotate <35, 0, 0> translate <0, %.4f, %.4f>
      texture { pigment { gradient y colour_map { [0 rgb <0.10, 0.13, 0.24>] [1 rgb <0.03, 0.04, 0.10>] } scale 3 translate <0, -1, 0> } finish { ambient 0 diffuse 0 emission 1 } } }
)", static_cast<double>(steps - 1), w / 2 + 0.3, w / 2 + 0.3,
                            w / 2 + 0.3, sill - 0.1, head - 0.1, w / 2 + 0.3, hatchY + 0.8, head + 0.9,
                            half, half, sill, head,
                            sill, head + 0.9);
    // The hatch: planks with iron straps, hinged along its upper edge.
    text += Text(R"(
union {
  box { <-%.4f, -1.15, 0>, <%.4f, 0, 0.08> texture { Planks scale 0.7 } }
  #for (I, 0, 1) box { <-%.4f, -1.0 + I * 0.75, -0.015>, <%.4f, -0.92 + I * 0.75, 0> texture { DarkIron } } #end
  rotate <%.4f, 0, 0>
  translate <0, 1.18, 0>
  rotate <35, 0, 0>
  translate <0, %.4f, %.4f>
}
)", half - 0.02, half - 0.02, half - 0.04, half - 0.04, open ? -95.0 : 0.0, sill, head);
    if (open)
        text += Text(R"(
// The bar lifted on its chain and hooked aside; the night beyond the open hatch.
box { <-0.05, -0.75, -0.05>, <0.05, 0.0, 0.05> texture { DarkIron } rotate <0, 0, 6> translate <%.4f, %.4f, %.4f> }
light_source { <0, %.4f, %.4f>, rgb <0.55, 0.62, 0.9> * 1.6 fade_distance 1.5 fade_power 2 }
)", -half + 0.05, hatchY + 0.3, head + 0.1, hatchY + 0.6, head + 1.2);
    else
        text += Text(R"(
// The bar across the hatch, resting in its brackets on the jambs.
union {
  box { <-%.4f, -0.07, -0.1>, <%.4f, 0.07, -0.02> texture { DarkIron } }
  #for (S, -1, 1, 2) box { <-0.04, -0.12, -0.14>, <0.04, 0.12, 0.02> translate <S * %.4f, 0, 0> texture { DarkIron } } #end
  translate <0, 0.55, 0> rotate <35, 0, 0> translate <0, %.4f, %.4f>
}
)", half + 0.12, half + 0.12, half + 0.1, sill, head);
    return text;
}

}  // namespace world_render::halls
