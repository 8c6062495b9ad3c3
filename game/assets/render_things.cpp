// The items' close views: each object large and lit where the story leaves it, filling the
// 1024 x 512 view above the plain strip at its foot that leads back.
#include <string>
#include <vector>

#include "core/error.h"
#include "render/kit.h"
#include "game/assets/render_groups.h"
#include "game/assets/render_things.h"
#include "game/assets/world_art.h"

namespace world_render {

namespace {

// Where each item's close view shows it: the setting (camera, surroundings, light) and the
// item placed in it; without the item, what stands in for it (the light of the lamp's flame).
struct CloseUpSetting {
    int item;
    const char* setting;
    const char* placed;
    const char* empty;
};

const CloseUpSetting kCloseUps[] = {
    // The gate key on the boathouse bench where it was found, the net it lay under pushed
    // back over the far planks, a cork float on the net; a lamp's light from the upper left.
    {3, R"(
camera { perspective location <0.0, 0.150, -0.115> look_at <0.008, 0.0, 0.012> right x * 2 up y angle 52 }
background { rgb <0.02, 0.02, 0.02> }
plane { y, 0 texture { Planks scale 0.28 rotate y * 90 } }
// The net: knotted twine in a square mesh, lying in loose folds over the far planks.
#declare Mesh = pigment {
  function { min(abs(sin(x * 260)), abs(sin(z * 260))) }
  colour_map { [0 rgbt <0.42, 0.33, 0.20, 0>] [0.16 rgbt <0.42, 0.33, 0.20, 0>] [0.24 rgbt <0, 0, 0, 1>] [1 rgbt <0, 0, 0, 1>] }
}
height_field {
  function 64, 64 { 0.5 + 0.5 * sin(x * 19) * cos(y * 13) }
  smooth
  scale <0.6, 0.016, 0.3> translate <-0.3, 0.001, 0.05>
  texture { pigment { Mesh } }
}
sphere { <0.085, 0.016, 0.068>, 0.016 scale <1, 0.7, 1> texture { pigment { rgb <0.62, 0.44, 0.26> } normal { granite 0.4 scale 0.01 } } }
light_source { <-0.5, 0.9, -0.3>, rgb <1.0, 0.84, 0.62> * 1.25
  #if (!Draft) area_light <0.06, 0, 0>, <0, 0, 0.06>, 3, 3 adaptive 1 circular orient #end }
light_source { <0.8, 0.4, -0.8>, rgb <0.45, 0.52, 0.7> * 0.5 shadowless }
)",
     "object { Thing rotate y * -8 translate <0.004, 0, 0.0> }\n", ""},
    // The crank handle of the pump and the winch, hung on its peg in the boathouse rack under
    // a lamp: a socket for the shaft, a bent iron arm and a turned wooden grip.
    {4, R"(
camera { perspective location <0.02, -0.08, -1.0> look_at <0.02, -0.13, 0> right x * 2 up y angle 60 }
background { rgb <0.03, 0.025, 0.02> }
// The boathouse wall: tarred planks, a rack rail with pegs, and the shelf below.
plane { -z, -0.02 texture { Planks rotate <0, 0, 90> scale 0.8 } }
box { <-2, 0.06, -0.01>, <2, 0.14, 0.02> texture { Wood } }
box { <-2, -0.56, -0.25>, <2, -0.52, 0.02> texture { Wood scale 2 } }
cylinder { <-0.55, 0.1, 0>, <-0.55, 0.1, -0.12>, 0.018 texture { Wood } }
cylinder { <0.6, 0.1, 0>, <0.6, 0.1, -0.12>, 0.018 texture { Wood } }
// A coil of rope on the next peg.
torus { 0.11, 0.022 rotate <90, 0, 0> translate <0.6, -0.02, -0.06> pigment { rgb <0.55, 0.45, 0.3> } normal { quilted 0.6 scale 0.01 } }
// The lamp light from above on the left, a cold fill from the door on the right.
light_source { <-0.8, 0.7, -1.0>, rgb <1.0, 0.8, 0.55> * 1.3
  #if (!Draft) area_light <0.2, 0, 0>, <0, 0.2, 0>, 3, 3 adaptive 1 circular orient #end }
light_source { <1.4, 0.2, -1.4>, rgb <0.45, 0.52, 0.7> * 0.45 shadowless }
// The peg it hangs on.
cylinder { <0, 0.1, 0>, <0, 0.1, -0.13>, 0.018 texture { Wood } }
)", R"(object {
  Thing
  rotate <0, -38, 0>
  rotate <0, 0, 6>
  translate <0, 0.08, -0.02>
}
)", ""},
    // The hand lamp lit on the keeper's desk against the whitewashed wall of his room: its own
    // flame lights the desk and the wall round it; a cold glimmer from the window at the right.
    {5, R"(
camera { perspective location <0.0, 0.20, -0.40> look_at <0.0, 0.115, 0> right x * 2 up y angle 74 }
background { rgb 0 }
box { <-1, -0.05, -0.5>, <1, 0, 0.45> texture { Wood scale 3 rotate x * -90 rotate y * 90 } }
plane { -z, -0.45 texture { pigment { granite colour_map { [0 rgb <0.62, 0.58, 0.50>] [1 rgb <0.52, 0.48, 0.42>] } scale 0.3 }
                            normal { bumps 0.25 scale 0.04 } finish { diffuse 0.8 } } }
// The desk's far edge and a pen tray under the wall.
box { <0.22, 0, 0.22>, <0.42, 0.012, 0.30> texture { Wood rotate x * -90 rotate y * 90 } }
cylinder { <0.26, 0.018, 0.26>, <0.39, 0.022, 0.25>, 0.004 pigment { rgb 0.05 } }
light_source { <1.4, 0.8, -0.6>, rgb <0.40, 0.48, 0.66> * 0.35 shadowless }
light_source { <-0.5, 0.5, -0.9>, rgb <1.0, 0.85, 0.65> * 0.35 shadowless }
)",
     "object { Thing rotate y * 20 }\n",
     "light_source { <0, 0.11, 0>, rgb <1.0, 0.72, 0.38> * 1.2 fade_distance 0.12 fade_power 2 }\n"},
    // The last lens standing in its wooden cradle in the drowned rooms, the wet stone wall
    // behind it seen through the glass; green sea light from above and the keeper's lamp.
    {8, R"(
camera { perspective location <0.0, 0.20, -0.52> look_at <0.0, 0.15, 0> right x * 2 up y angle 68 }
background { rgb 0 }
plane { y, 0 texture { Stone scale 0.4 } texture { pigment { rgbt <0.08, 0.16, 0.14, 0.6> } } }
plane { -z, -0.35 texture { Blocks scale 0.35 } texture { pigment { rgbt <0.05, 0.14, 0.12, 0.7> } finish { specular 0.4 roughness 0.02 } } }
// The cradle: two uprights with notches for the trunnions, on a sill.
#declare Upright = difference {
  box { <-0.022, 0, -0.04>, <0.022, 0.16, 0.04> }
  cylinder { <0, 0.152, -0.05>, <0, 0.152, 0.05>, 0.0125 }
  texture { Wood scale 0.6 }
}
object { Upright translate x * -0.165 }
object { Upright translate x * 0.165 }
box { <-0.21, 0, -0.06>, <0.21, 0.02, 0.06> texture { Wood scale 0.6 } }
light_source { <-0.6, 0.7, -0.7>, rgb <1.0, 0.80, 0.56> * 1.1 }
light_source { <0.3, 1.6, -0.2>, rgb <0.35, 0.65, 0.60> * 0.6 shadowless }
)", "object { Thing }\n", ""},
};

}  // namespace

std::string CloseUpScene(int item, bool withItem)
{
    for (const CloseUpSetting& c : kCloseUps) {
        if (c.item != item) continue;
        std::string scene = render::Materials();
        if (withItem) scene += ThingModel(item);
        scene += c.setting;
        scene += withItem ? c.placed : c.empty;
        return scene;
    }
    throw Error("item " + std::to_string(item) + " has no close view of its own");
}

void AddThings(std::vector<content::Asset>& rendered, const TextCatalogue& texts)
{
    AddItemPictures(rendered);
    AddReadViews(rendered, texts);
    for (const int item : {3, 4, 5, 8}) {
        const std::string path = world_content::Art().items[item - 1].closeUp;
        rendered.push_back(render::RenderedPicture(
            path, {path, CloseUpScene(item, true), content::kFlatWidth, content::kFlatHeight, false, false}, {}, 15.0));
    }
}

}  // namespace world_render
