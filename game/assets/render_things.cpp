#include <string>
#include <vector>

#include "render/kit.h"
#include "game/assets/render_groups.h"

namespace world_render {

namespace {

using render::Format;

// The crank handle of the pump and the winch, hung on its peg in the boathouse rack under a
// lamp, filling a 1024 x 512 close view: a socket for the shaft, a bent iron arm and a turned
// wooden grip.
std::string CrankCloseUpScene()
{
    std::string scene = render::Materials();
    scene += R"(
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
// The crank: a boss with a square socket that fits the pump's and the winch's shaft, hung
// on its peg; an iron arm down to the grip's pin, and a turned wooden grip on the pin.
#declare Iron = texture {
  pigment { granite colour_map { [0 rgb <0.13, 0.12, 0.12>] [0.8 rgb <0.17, 0.16, 0.15>] [1 rgb <0.30, 0.17, 0.09>] } scale 0.05 }
  normal { granite 0.05 scale 0.02 }
  finish { ambient #if (Draft) 0.08 #else 0 #end diffuse 0.5 specular 0.5 roughness 0.02 metallic reflection 0.05 }
}
#declare Crank = union {
  difference {
    cylinder { <0, 0, -0.075>, <0, 0, 0>, 0.058 }
    box { <-0.021, -0.021, -0.1>, <0.021, 0.021, 0.01> }
  }
  // The arm, wider at the boss, tapering to the eye of the pin.
  prism { linear_sweep linear_spline -0.055, -0.02, 5,
          <-0.045, 0>, <0.045, 0>, <0.022, -0.4>, <-0.022, -0.4>, <-0.045, 0>
          rotate <-90, 0, 0> }
  cylinder { <0, -0.4, -0.055>, <0, -0.4, -0.02>, 0.034 }
  // The pin through the grip.
  cylinder { <0, -0.4, -0.055>, <0, -0.4, -0.27>, 0.011 }
  texture { Iron }
}
#declare Grip = lathe {
  cubic_spline 9,
  <0.0, -0.01>, <0.012, 0.0>, <0.026, 0.01>, <0.031, 0.05>, <0.026, 0.1>, <0.032, 0.15>, <0.024, 0.19>, <0.0, 0.2>, <0.0, 0.21>
  texture { Wood scale 0.5 }
  rotate <-90, 0, 0>
  translate <0, -0.4, -0.065>
}
// The peg it hangs on.
cylinder { <0, 0.1, 0>, <0, 0.1, -0.13>, 0.018 texture { Wood } }
union {
  object { Crank }
  object { Grip }
  translate <0, 0.0, 0>
  rotate <0, -38, 0>
  rotate <0, 0, 6>
  translate <0, 0.08, -0.02>
}
)";
    return scene;
}


}  // namespace

void AddThings(std::vector<content::Asset>& rendered)
{
    constexpr const char* kCrankCloseUp = "data/item4_crank.enc";
    rendered.push_back(render::RenderedPicture(
        kCrankCloseUp, {kCrankCloseUp, CrankCloseUpScene(), content::kFlatWidth, content::kFlatHeight, false, false},
        {}, 15.0));
}

}  // namespace world_render
