// The close views of the heights seen in perspective: the telescope's lens seat, the dome's
// shutter, and the gallery's window, stair and bench. Each fills the rectangle its place's
// feature gives, with plain floor or wall along the bottom strip where the way back is.
#include <string>

#include "render/kit.h"
#include "game/assets/render_heights.h"

namespace world_render::heights {

namespace {

using render::Format;

// The gallery's limewashed stone.
const char* const kLimewash = R"(
#declare Limewash = texture {
  pigment { granite colour_map { [0 rgb <0.50, 0.48, 0.43>] [0.7 rgb <0.58, 0.56, 0.5>] [1 rgb <0.44, 0.42, 0.38>] } scale 0.8 }
  normal { bumps 0.2 scale 0.15 }
}
#declare Flags = texture {
  pigment { brick rgb <0.2, 0.2, 0.21>, rgb <0.45, 0.44, 0.42> brick_size <0.9, 0.9, 0.9> mortar 0.02 }
  normal { granite 0.1 scale 0.5 } finish { specular 0.1 roughness 0.05 }
}
)";

// The night over the sea as the gallery's windows show it: the full moon low over the water,
// its light on the waves, the far shore dark along the horizon, and the Heron rising.
const char* const kNightSea = R"(
sky_sphere { pigment { gradient y colour_map { [0 rgb <0.05, 0.07, 0.14>] [0.08 rgb <0.04, 0.06, 0.12>] [0.4 rgb <0.012, 0.018, 0.045>] [1 rgb <0.008, 0.01, 0.03>] } } }
plane { y, -30 texture { Sea scale 3 } hollow }
// The moon and its light.
sphere { <-60, 150, 1000>, 22 texture { pigment { rgb <1, 0.96, 0.86> } finish { ambient 0 diffuse 0 emission 1.4 } } no_shadow }
light_source { <-60, 150, 1000>, rgb <0.6, 0.66, 0.82> * 1.2 parallel point_at <0, 0, 0> }
// The far shore: low dark land along the horizon.
box { <-2000, -40, 2400>, <-300, -12, 2500> texture { pigment { rgb <0.02, 0.025, 0.03> } } }
)";

// The Heron's stars, as the chart sets them, somewhere up the sky at `x, y` (units at 1000).
std::string HeronStars(double x, double y, double spacing)
{
    static const int kHeron[9] = {1, 0, 1, 0, 1, 0, 1, 1, 1};
    std::string text;
    for (int cell = 0; cell < 9; ++cell)
        if (kHeron[cell])
            text += Format("sphere { <%.4f, %.4f, 1000>, 2.6 texture { pigment { rgb <1, 0.97, 0.9> } finish { ambient 0 diffuse 0 emission 2 } } no_shadow }\n",
                           x + (cell % 3 - 1) * spacing, y - (cell / 3 - 1) * spacing);
    return text;
}

// A close view of the gallery: its materials, the camera, and the night outside.
std::string GalleryView(const char* camera)
{
    return render::Materials() + std::string(kLimewash) + camera + kNightSea;
}

}  // namespace

std::string MountScene(bool lensSeated)
{
    std::string scene = render::Materials();
    scene += R"(
camera { perspective location <0.2, 0.1, -2.4> look_at <-0.12, 0.1, 0.5> right x * 2 up y angle 52 }
background { rgb <0.01, 0.015, 0.04> }
// The drum behind, the floor boards below.
plane { -z, -2.5 texture { Blocks } }
plane { y, -0.78 texture { Planks } }
// The tube, tilted up and away, its lower end towards us: an iron tube with a brass band
// and the lens cell, a deep brass ring with three clips round an empty seat.
#declare Tube = union {
  difference {
    cylinder { <0, 0, 0>, <0, 0, 3>, 0.27 }
    cylinder { <0, 0, -0.1>, <0, 0, 3.1>, 0.24 }
    texture { DarkIron }
  }
  // The inside of the tube, black, with a stop ring deep down.
  disc { <0, 0, 1.2>, z, 0.25 texture { pigment { rgb 0.01 } } }
  // The lens cell.
  difference {
    cylinder { <0, 0, -0.12>, <0, 0, 0.12>, 0.33 }
    cylinder { <0, 0, -0.2>, <0, 0, 0.2>, 0.22 }
    texture { Brass }
  }
  torus { 0.225, 0.012 rotate <90, 0, 0> translate <0, 0, 0.06> texture { Brass } }
  #for (I, 0, 2)
    box { <-0.03, 0.2, -0.14>, <0.03, 0.3, -0.11> rotate <0, 0, I * 120 + 30> texture { Brass } }
  #end
  cylinder { <0, 0, 0.5>, <0, 0, 0.6>, 0.29 texture { Brass } }
  // The trunnions the fork holds.
  cylinder { <-0.45, 0, 1.0>, <0.45, 0, 1.0>, 0.06 texture { Brass } }
}
)";
    if (lensSeated)
        scene += R"(
// The last lens, seated in its cell: a thick disc of glass catching the lamp.
#declare Tube = union {
  object { Tube }
  intersection {
    sphere { <0, 0, 1.1>, 1.2 }
    sphere { <0, 0, -1.1>, 1.2 }
    cylinder { <0, 0, -0.2>, <0, 0, 0.2>, 0.222 }
    texture { Glass pigment { rgbf <0.6, 0.8, 0.95, 0.55> } finish { reflection { 0.12, 0.5 fresnel } } }
    interior { GlassInterior }
    translate <0, 0, 0.03>
    no_shadow no_radiosity
  }
}
)";
    scene += R"(
union {
  // The tube turns on its trunnions at the top of the fork; its lower end, with the lens
  // cell, comes down towards us.
  object { Tube translate <0, 0, -1> rotate <-42, 0, 0> translate <0, 0.42, 0> }
  // The fork: brass arms rising from the turntable to the trunnions.
  #for (S, -1, 1, 2)
    box { <S * 0.45 - 0.05, -0.6, -0.12>, <S * 0.45 + 0.05, 0.45, 0.12> texture { Brass } }
    cylinder { <S * 0.45, 0.42, -0.14>, <S * 0.45, 0.42, 0.14>, 0.09 texture { Brass } }
  #end
  box { <-0.5, -0.66, -0.2>, <0.5, -0.56, 0.2> texture { Brass } }
  cylinder { <0, -0.72, 0>, <0, -0.66, 0>, 0.5 texture { Brass } }
  // The stone pier.
  cylinder { <0, -1.1, 0>, <0, -0.72, 0>, 0.42 texture { Stone } }
  rotate <0, 12, 0>
  translate <0, 0.24, 0.9>
}
// A wall lamp up on the left, the dome's cold light from above.
light_source { <-1.8, 1.2, -1.4>, rgb <1.0, 0.8, 0.55> * 1.2 }
light_source { <1.0, 4, -0.5>, rgb <0.45, 0.5, 0.7> * 0.5 shadowless }
)";
    return scene;
}

std::string ShutterScene(bool open)
{
    std::string scene = render::Materials();
    scene += R"(
// Looking straight up the dome from its floor at the shutter slit running over the top.
camera { perspective location <0, 0, -1.0> look_at <0, 5, 2.2> right x * 2 up y angle 62 }
sky_sphere { pigment { gradient y colour_map { [0 rgb <0.02, 0.03, 0.07>] [1 rgb <0.005, 0.008, 0.025>] } } }
// Stars beyond the slit: the sky's pattern, and brighter ones of the figures.
sphere { <0, 0, 0>, 900 texture { pigment { granite colour_map { [0 rgbt 1] [0.62 rgbt 1] [0.64 rgb <0.9, 0.92, 1>] [0.66 rgbt 1] [1 rgbt 1] } scale 4 }
                                  finish { ambient 0 diffuse 0 emission 1 } } hollow no_shadow no_radiosity }
#declare DomeShell = difference {
  sphere { <0, 0, 0>, 6.3 }
  sphere { <0, 0, 0>, 6.1 }
  plane { y, -1.6 }
}
#declare Slit = box { <-0.75, -2, -10>, <0.75, 10, 10> }
difference {
  object { DomeShell }
  object { Slit }
  texture { pigment { gradient y colour_map { [0 rgb <0.16, 0.18, 0.25>] [0.5 rgb <0.2, 0.22, 0.3>] [1 rgb <0.16, 0.18, 0.25>] } scale 0.3 }
            normal { gradient y 0.4 scale 0.3 } }
}
// The slit's iron rails along both edges, and the ribs.
#for (S, -1, 1, 2)
  intersection {
    difference { sphere { <0, 0, 0>, 6.12 } sphere { <0, 0, 0>, 5.9 } plane { y, -1.6 } }
    box { <S * 0.75 - 0.08, -2, -10>, <S * 0.75 + 0.08, 10, 10> }
    texture { DarkIron }
  }
#end
#declare Rib = intersection {
  difference { sphere { <0, 0, 0>, 6.1 } sphere { <0, 0, 0>, 5.98 } plane { y, -1.6 } }
  box { <-0.07, -2, -7>, <0.07, 10, 7> }
  object { Slit inverse }
  texture { Wood }
}
#for (I, 0, 7)
  object { Rib rotate <0, I * 22.5 + 11.25, 0> }
#end
)";
    // The shutter's leaves: open, the middle ones run back off the slit and the lowest and the
    // topmost stay, so the opening is the part of the slit the view's block holds.
    scene += R"(
#declare Leaves = union {
  intersection {
    difference { sphere { <0, 0, 0>, 6.2 } sphere { <0, 0, 0>, 6.14 } plane { y, -1.6 } }
    object { Slit }
    texture { RustIron }
  }
  #for (I, 0, 8)
    intersection {
      difference { sphere { <0, 0, 0>, 6.15 } sphere { <0, 0, 0>, 6.1 } }
      box { <-0.75, -0.04, -10>, <0.75, 0.04, 10> rotate <I * 18 - 20, 0, 0> }
      plane { y, -1.6 inverse }
      texture { DarkIron }
    }
  #end
}
)";
    scene += open ? "object { Leaves clipped_by { box { <-1, -10, 1.05>, <1, 10, 2.95> inverse } } }\n" : "object { Leaves }\n";
    scene += R"(
// The joints where the leaves that open meet the ones that stay.
#for (Z, 1.05, 2.95, 1.9)
  intersection {
    difference { sphere { <0, 0, 0>, 6.22 } sphere { <0, 0, 0>, 6.0 } }
    box { <-0.75, -10, Z - 0.03>, <0.75, 10, Z + 0.03> }
    texture { DarkIron }
  }
#end
)";
    scene += R"(
// The lamps round the drum below light the dome from beneath.
light_source { <-3, -1.2, -2>, rgb <1.0, 0.75, 0.45> * 0.8 shadowless }
light_source { <3, -1.2, 1>, rgb <1.0, 0.75, 0.45> * 0.6 shadowless }
)";
    if (open) scene += "// The Heron overhead, in the open slit.\n" + HeronStars(0, 1800, 80);
    return scene;
}

std::string GalleryWindowScene()
{
    std::string scene = GalleryView("camera { perspective location <0, 1.5, -3.36> look_at <0, 1.5, 0> right x * 2 up y angle 60 }\n");
    scene += HeronStars(-190, 150, 28);
    scene += R"(
// The gallery wall, thick, with a deep splayed reveal round a round-headed window.
#declare Opening = union {
  box { <-0.5, 1.03, -0.1>, <0.5, 1.82, 0.7> }
  cylinder { <0, 1.82, -0.1>, <0, 1.82, 0.7>, 0.5 }
}
difference {
  box { <-6, -1, 0>, <6, 5, 0.6> }
  object { Opening }
  object { Opening scale <1.35, 1.1, 1> translate <0, -0.11, -0.45> }
  texture { Limewash }
}
// The sill, the iron frame, its glazing bars.
box { <-0.62, 0.95, -0.25>, <0.62, 1.03, 0.6> texture { Stone } }
union {
  box { <-0.02, 1.03, 0.44>, <0.02, 2.32, 0.48> }
  #for (I, 1, 3) box { <-0.5, 1.03 + I * 0.2, 0.44>, <0.5, 1.05 + I * 0.2, 0.48> } #end
  torus { 0.49, 0.02 rotate <90, 0, 0> translate <0, 1.82, 0.46> }
  texture { DarkIron }
}
// The floor below.
plane { y, 0 texture { Flags } }
// The gallery's glow from behind.
light_source { <0.8, 2.4, -3.0>, rgb <0.9, 0.8, 0.65> * 0.35 shadowless }
)";
    return scene;
}

std::string GalleryStairScene()
{
    std::string scene = render::Materials();
    scene += kLimewash;
    scene += R"(
// The stair to the dome: steep stone steps between the walls up to the dome's trapdoor.
camera { perspective location <0, 1.55, -3.2> look_at <0, 2.05, 0> right x * 2 up y angle 56 }
background { rgb 0 }
plane { y, 0 texture { Flags } }
// The gallery's wall with the doorway.
difference {
  box { <-6, -1, 0>, <6, 6, 0.5> }
  box { <-0.62, -0.1, -1>, <0.62, 2.7, 1> }
  texture { Limewash }
}
box { <-0.8, 2.7, -0.06>, <0.8, 2.92, 0.1> texture { Stone } }
// The steps and the well's walls.
union {
  #for (K, 0, 15)
    box { <-0.6, -0.1, 0.25 + K * 0.27>, <0.6, 0.2 * (K + 1), 5> texture { Stone } }
  #end
  box { <-0.9, -0.1, 0>, <-0.6, 6, 5> texture { Blocks scale 0.7 } }
  box { <0.6, -0.1, 0>, <0.9, 6, 5> texture { Blocks scale 0.7 } }
  // The iron rail on the right wall, following the steps.
  cylinder { <0.55, 0.95, 0.2>, <0.55, 3.95, 4.2>, 0.025 texture { DarkIron } }
  #for (I, 0, 3) cylinder { <0.55, 0.95 + I * 1.0, 0.2 + I * 1.333>, <0.6, 0.95 + I * 1.0, 0.2 + I * 1.333>, 0.02 texture { DarkIron } } #end
  // The vault over the steps.
  box { <-0.9, 0, -0.1>, <0.9, 0.2, 6> rotate <-36.5, 0, 0> translate <0, 3.0, 0.3> texture { Blocks scale 0.7 } }
  // The trapdoor at the top: boards and iron straps, a line of the dome's light round it.
  box { <-0.6, 3.36, 4.3>, <0.6, 3.4, 5> texture { Planks rotate <0, 90, 0> } }
}
// The lamps of the gallery behind, and the dome's cold light from the top.
light_source { <0.3, 1.0, -2.4>, rgb <1.0, 0.78, 0.5> * 0.8 }
light_source { <0, 3.3, 4.6>, rgb <0.45, 0.52, 0.72> * 0.5 fade_distance 1.5 fade_power 2 }
)";
    return scene;
}

std::string GalleryBenchScene()
{
    std::string scene = GalleryView("camera { perspective location <0, 1.25, -2.5> look_at <0, 0.75, 0> right x * 2 up y angle 58 }\n");
    scene += R"(
plane { y, 0 texture { Flags } }
// The wall, with the foot of a window over the bench.
difference {
  box { <-6, -1, 0.3>, <6, 5, 0.9> }
  box { <-0.55, 1.35, 0>, <0.55, 4, 1.2> }
  texture { Limewash }
}
box { <-0.62, 1.28, 0.1>, <0.62, 1.35, 0.9> texture { Stone } }
// The settle: a seat, a high back of boards, arms at both ends.
union {
  box { <-0.95, 0.42, -0.3>, <0.95, 0.47, 0.2> }
  box { <-0.95, 0, -0.26>, <0.95, 0.42, -0.22> }
  box { <-0.95, 0, 0.18>, <0.95, 1.05, 0.26> }
  box { <-1.0, 0, -0.32>, <-0.93, 0.7, 0.26> }
  box { <0.93, 0, -0.32>, <1.0, 0.7, 0.26> }
  texture { Wood scale 3 }
}
// A folded blanket, and the keeper's taper box with its tapers and a tinder box.
box { <-0.85, 0.47, -0.2>, <-0.25, 0.6, 0.15> texture { Cloth pigment { rgb <0.35, 0.12, 0.1> } } }
union {
  difference { box { <0, 0, 0>, <0.45, 0.1, 0.14> } box { <0.02, 0.02, 0.02>, <0.43, 0.2, 0.12> } }
  texture { Wood }
  translate <0.15, 0.47, -0.15>
}
#for (I, 0, 4)
  cylinder { <0.18, 0.53 + 0.012 * I, -0.12 + 0.018 * I>, <0.58, 0.53 + 0.012 * I, -0.12 + 0.018 * I>, 0.008
             texture { pigment { rgb <0.85, 0.8, 0.62> } } }
#end
box { <0.65, 0.47, -0.15>, <0.8, 0.53, -0.04> texture { Brass } }
// The gallery's lamplight from the left, the moon through the window.
light_source { <-2.2, 2.0, -2.0>, rgb <1.0, 0.8, 0.55> * 0.8 }
light_source { <1.5, 2.5, -2.5>, rgb <0.4, 0.46, 0.62> * 0.35 shadowless }
)";
    return scene;
}

}  // namespace world_render::heights
