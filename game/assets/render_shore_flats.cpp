#include <cmath>
#include <cstdint>
#include <string>

#include "core/error.h"
#include "game/assets/render_shore_layout.h"
#include "game/assets/render_shore_scenes.h"
#include "game/assets/world_art.h"
#include "render/kit.h"
#include "render/panorama.h"

namespace world_render::shore {

namespace {

namespace wc = world_content;
using render::Format;

// The flats' objects, in the kit's way (standing on y = 0, front at z = 0 facing -z).
const char* const kFlatsKit = R"(
// One of the tide clock's wheels behind its window: a brass drum with the figures 0 .. 4
// round its rim, turned to show `Value`, in a bezel `CellW` x `CellH` on the front plate
// (the plate at z = 0, the drum behind it).
#declare CellW = 0.2;
#declare CellH = 0.197;
#macro TideWheel(Value)
  union {
    difference {
      box { <-CellW / 2, -CellH / 2, -0.05>, <CellW / 2, CellH / 2, 0.0> }
      box { <-CellW * 0.34, -CellH * 0.4, -0.1>, <CellW * 0.34, CellH * 0.4, 0.1> }
      texture { Brass }
    }
    // The bezel's rivets.
    #for (I, 0, 3)
      sphere { <(mod(I, 2) - 0.5) * CellW * 0.82, (int(I / 2) - 0.5) * CellH * 0.82, -0.05>, 0.008 texture { Brass } }
    #end
    // The drum stands out of the plate into the window; only its face shows.
    union {
      cylinder { <-CellW * 0.32, 0, 0>, <CellW * 0.32, 0, 0>, 0.16
        pigment { rgb <0.82, 0.68, 0.40> } finish { diffuse 0.8 specular 0.5 roughness 0.03 metallic 0.4 } }
      #for (K, 0, 4)
        text { ttf "timrom.ttf" str(K, 0, 0) 0.02, 0
          pigment { rgb <0.16, 0.10, 0.05> }
          scale <0.15, 0.15, 1> translate <-0.04, -0.052, -0.16 - 0.004>
          rotate <K * 72, 0, 0> }
      #end
      rotate <-Value * 72, 0, 0>
      translate <0, 0, 0.115>
    }
  }
#end

// The tide clock: an iron case on a stone plinth, its brass front plate with the five wheel
// windows in a row and the lever at the right; great cog wheels at its sides drive the shaft
// down to the sluices. `W` wide, `H` high; the plate's wheels at `Setting`.
#macro TideClock(W, H)
  #local Plinth = 0.45;
  #local S = (W * 0.55) / (5 * CellW * 1.35);
  union {
    box { <-W / 2, -3, 0.05>, <W / 2, Plinth, 1.3> texture { Blocks } }
    box { <-W * 0.38, Plinth, 0.2>, <W * 0.38, H - 0.1, 1.0> texture { DarkIron } }
    box { <-W * 0.4, H - 0.15, 0.15>, <W * 0.4, H, 1.05> texture { DarkIron } }
    box { <-W * 0.36, Plinth + 0.08, 0.17>, <W * 0.36, H - 0.2, 0.2> texture { Brass } }
    #for (I, 0, 4)
      object { TideWheel(Setting[I]) scale S translate <(I - 2.4) * CellW * 1.35 * S, (Plinth + H) / 2, 0.17> }
    #end
    // The lever in its slot at the right.
    box { <W * 0.22, Plinth + 0.15, 0.15>, <W * 0.26, H - 0.3, 0.17> pigment { rgb 0.02 } }
    union {
      cylinder { <0, 0, 0>, <0, 0.55 * (H - Plinth), -0.12>, 0.025 }
      sphere { <0, 0.55 * (H - Plinth), -0.12>, 0.06 }
      texture { Brass }
      translate <W * 0.24, Plinth + 0.25, 0.15>
    }
    // The cog wheels at the sides, and the shaft to the sluices.
    #for (Side, -1, 1, 2)
      union {
        cylinder { <0, 0, -0.04>, <0, 0, 0.04>, (H - Plinth) * 0.42 }
        #for (T, 0, 23)
          box { <-0.03, (H - Plinth) * 0.4, -0.04>, <0.03, (H - Plinth) * 0.48, 0.04> rotate <0, 0, T * 15> }
        #end
        cylinder { <0, 0, -0.1>, <0, 0, 0.1>, 0.06 }
        texture { Brass }
        rotate <0, 90, 0>
        translate <Side * W * 0.43, (Plinth + H) / 2, 0.6>
      }
    #end
    cylinder { <W * 0.43, (Plinth + H) / 2, 0.6>, <W * 0.43, -3, 0.6>, 0.05 texture { DarkIron } }
  }
#end

// The tide gauge: a white board marked in tides on an iron post, `H` high.
#macro GaugePost(W, H)
  union {
    box { <-W * 0.32, -3, -W * 0.32 + 0.1>, <W * 0.32, 0.2, W * 0.32 + 0.1> texture { Blocks } }
    cylinder { <0, 0.2, 0.12>, <0, H, 0.12>, 0.06 texture { RustIron } }
    box { <-W * 0.22, 0.4, 0>, <W * 0.22, H - 0.1, 0.05>
      pigment { gradient y colour_map { [0 rgb <0.75, 0.74, 0.68>] [0.85 rgb <0.75, 0.74, 0.68>] [0.85 rgb 0.04] [1 rgb 0.04] } scale 0.25 } }
    #for (I, 1, 4)
      text { ttf "timrom.ttf" str(I, 0, 0) 0.01, 0 pigment { rgb <0.5, 0.05, 0.03> } scale 0.16 translate <-W * 0.18, H - 0.1 - I * (H - 0.5) / 4.4, -0.005> }
    #end
    sphere { <0, H + 0.05, 0.12>, 0.08 texture { RustIron } }
  }
#end

// The tide marker: a weathered post on the flats with its marks cut in it, weed at its foot.
#macro MarkerPost(W, H)
  union {
    box { <-W * 0.25, -3, -W * 0.25>, <W * 0.25, H, W * 0.25> texture { Wood scale 4 } }
    cone { <0, H, 0>, W * 0.36, <0, H + 0.15, 0>, 0.02 texture { Wood scale 4 } }
    #for (I, 0, 3)
      box { <-W * 0.26, H * (0.8 - I * 0.2), -W * 0.26>, <W * 0.26, H * (0.8 - I * 0.2) + 0.04, W * 0.2> pigment { rgb 0.03 } }
    #end
    box { <-W * 0.26, -3, -W * 0.26>, <W * 0.26, H * 0.15, W * 0.26> texture { Weed } }
  }
#end

// The wreck: an old boat sunk to her bilges in the sand and listing, a hole stove in her side
// showing her ribs, and the deckhouse on her deck with its door facing the eye; `W` long,
// `H` from the sand to the deckhouse roof.
#macro Wreck(W, H)
  union {
    difference {
      intersection { sphere { 0, 1 scale <W * 0.5, H * 0.6, H * 0.45> } plane { y, 0 } }
      intersection { sphere { 0, 1 scale <W * 0.5 - 0.1, H * 0.6 - 0.1, H * 0.45 - 0.1> } plane { y, 0.1 } }
      box { <-W * 0.36, -H * 0.25, -H>, <-W * 0.2, 1, 0> }
      texture { Tarred rotate <0, 0, 90> scale 0.5 }
      translate <0, H * 0.45, H * 0.45>
    }
    #for (I, 0, 3)
      torus { H * 0.42, 0.04 rotate <0, 0, 90> scale <1, 1.3, 1> clipped_by { plane { y, 0 } } translate <-W * 0.34 + I * W * 0.045, H * 0.45, H * 0.45> texture { Wood scale 3 } }
    #end
    // The gunwale and the deckhouse with its door.
    torus { 1, 0.04 scale <W * 0.5, 1, H * 0.45> translate <0, H * 0.45, H * 0.45> texture { Wood scale 3 } }
    union {
      box { <-W * 0.15, 0, 0>, <W * 0.15, H * 0.5, H * 0.5> texture { Planks rotate <0, 0, 90> } }
      box { <-W * 0.17, H * 0.5, -0.08>, <W * 0.17, H * 0.55, H * 0.55> texture { Wood scale 3 } }
      box { <-W * 0.06, 0.04, -0.04>, <W * 0.06, H * 0.44, 0.02> texture { Wood scale 2 } }
      box { <W * 0.035, H * 0.2, -0.07>, <W * 0.05, H * 0.24, -0.03> texture { Brass } }
      box { <-W * 0.13, H * 0.28, -0.02>, <-W * 0.08, H * 0.4, 0.01> pigment { rgb 0.02 } }
      translate <0, H * 0.45, H * 0.2>
    }
    // A broken mast lying across the sand.
    cylinder { <W * 0.25, H * 0.45, H * 0.5>, <W * 0.6, 0.1, -H * 0.4>, 0.07 texture { Wood scale 3 } }
    rotate <0, 0, 5>
  }
#end

// The skylight of the drowned observatory's hall: an iron-ribbed hipped roof of glass standing
// out of the sand, `W` across and `H` high, dark water below its panes.
#macro Skylight(W, H)
  #local B = W / 2;
  union {
    box { <-B - 0.3, -2, -0.3>, <B + 0.3, 0.35, W + 0.3> texture { Blocks } }
    intersection {
      box { <-B, 0.35, 0>, <B, H, W> }
      plane { <0, B, -(H - 0.35)>, vdot(<0, B, -(H - 0.35)>, <0, 0.35, 0>) / vlength(<0, B, -(H - 0.35)>) }
      plane { <0, B, H - 0.35>, vdot(<0, B, H - 0.35>, <0, 0.35, W>) / vlength(<0, B, H - 0.35>) }
      plane { <B, H - 0.35, 0>, vdot(<B, H - 0.35, 0>, <B, 0.35, 0>) / vlength(<B, H - 0.35, 0>) }
      plane { <-B, H - 0.35, 0>, vdot(<-B, H - 0.35, 0>, <-B, 0.35, 0>) / vlength(<-B, H - 0.35, 0>) }
      texture { pigment { rgb <0.05, 0.08, 0.10> } finish { specular 0.9 roughness 0.004 reflection { 0.1, 0.5 } } }
    }
    // The iron ribs up the roof, and the bars across.
    #for (I, -4, 4)
      cylinder { <I * B / 5, 0.35, -0.02>, <I * B / 5 * 0.1, H - 0.05, B * 0.9>, 0.04 texture { RustIron } }
    #end
    #for (J, 1, 3)
      box { <-B * (1 - J / 4), 0.35 + J * (H - 0.35) / 4 - 0.03, J * B / 4 - 0.06>, <B * (1 - J / 4), 0.35 + J * (H - 0.35) / 4 + 0.03, J * B / 4 + 0.02> texture { RustIron } }
    #end
    sphere { <0, H, W / 2>, 0.1 texture { RustIron } }
  }
#end

// The way down at the lowest ebb: a pit walled in stone sunk in the sand, steps down its
// left side to the door of the lower rooms in its far wall. `PitHole` is the sand it takes.
#declare PitHole = box { <-2.4, -3.2, -0.5>, <2.4, 3, 3> }
#macro LowerDoorway()
  union {
    box { <-3, -3.4, 0>, <-2.4, 0.4, 3.6> texture { Blocks } }
    box { <2.4, -3.4, 0>, <3, 0.3, 3.6> texture { Blocks } }
    difference {
      box { <-3, -3.4, 3>, <3, 0.6, 3.6> }
      box { <-0.2, -3.3, 2.9>, <1.2, -1.3, 3.7> }
      cylinder { <0.5, -1.3, 2.9>, <0.5, -1.3, 3.7>, 0.7 }
      texture { Blocks }
    }
    box { <-0.2, -3.2, 3.3>, <1.2, -0.6, 3.35> texture { Planks rotate <0, 0, 90> } }
    #for (I, 0, 2)
      box { <-0.2, -2.9 + I * 0.75, 3.25>, <1.2, -2.8 + I * 0.75, 3.3> texture { RustIron } }
    #end
    #for (I, 0, 9)
      box { <-2.4, -3.3, I * 0.29>, <-1.3, -1.0 - I * 0.22, 3> texture { Stone } }
    #end
    box { <-2.4, -3.4, -0.5>, <2.4, -3.2, 3> texture { Weed } }
  }
#end
)";

// How high the water stands at each tide, over the causeway's top (the eye's floor).
constexpr double kWaterAt[5] = {0, -0.3, -0.85, -1.4, -2.6};
constexpr double kSandLevel = -2.2;

// What stands on the flats where a hotspot lies.
std::string FlatsFixture(int screen, const wc::Feature& f)
{
    const double degrees = render::DegreesOfColumn((f.x1 + f.x2) / 2.0);
    switch (f.look) {
    case wc::Look::Arch: {
        const Spot s = SpotOf(f, 0);
        return Placed(Format("StoneArch(%.4f, %.4f, 0.8)", s.width, s.top), s.distance, degrees);
    }
    case wc::Look::Stairs: {
        const Spot s = SpotOf(f, 0);
        constexpr double kRun = 4.0;
        const double rise = render::HeightOfRow(f.y1, s.distance + kRun) - 0.3;
        return Placed(Format("StairsUp(%.4f, %.4f, %.4f)", s.width, kRun, rise), s.distance, degrees);
    }
    case wc::Look::Machine: {
        const Spot s = SpotOf(f, 0);
        return Placed(Format("TideClock(%.4f, %.4f)", s.width, s.top), s.distance, degrees);
    }
    case wc::Look::Pillar: {
        const Spot s = SpotOf(f, 0);
        if (screen == 600) return Placed(Format("GaugePost(%.4f, %.4f)", s.width, s.top), s.distance, degrees);
        return Placed(Format("MarkerPost(%.4f, %.4f)", s.width, s.top), s.distance, degrees);
    }
    case wc::Look::Door: {
        const Spot s = SpotOf(f, kSandLevel);
        return "object { Wreck(" + Format("%.4f, %.4f) translate <0, %.4f, 0>", s.width, s.top, kSandLevel) +
               Format(" translate <0, 0, %.4f> rotate <0, %.4f, 0> }\n", s.distance, degrees);
    }
    case wc::Look::Window: {
        const Spot s = SpotOf(f, kSandLevel);
        return "object { Skylight(" + Format("%.4f, %.4f) translate <0, %.4f, 0>", s.width, s.top, kSandLevel) +
               Format(" translate <0, 0, %.4f> rotate <0, %.4f, 0> }\n", s.distance, degrees);
    }
    default: return {};
    }
}

// Where the island stands seen from each spot on the flats: the column of its middle.
double IslandColumn(int screen)
{
    switch (screen) {
    case 600: return 190;
    case 601: return 190;
    case 602: return 1790;
    default: return 1800;
    }
}

// The wet sand, the banks that show as the water falls, and rocks with weed on them.
std::string FlatsFloor(unsigned seed)
{
    // The sand falls away so gently that the sea stays in sight at the lowest ebb, some
    // seventy metres out.
    std::string floor = Format(
        "difference { sphere { 0, 1 scale <160, 4, 160> translate <0, %.4f, 0> } object { PitHole transform PitPlace } texture { WetSand } }\n",
        kSandLevel - 4);
    std::uint32_t state = seed * 2246822519u + 7;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    };
    for (int i = 0; i < 26; ++i) {
        const double degrees = next() * 360, distance = 9 + next() * 45;
        const double top = kSandLevel + 0.3 + next() * 1.4;
        floor += Format("sphere { 0, 1 scale <%.4f, %.4f, %.4f> translate <0, %.4f, %.4f> rotate <0, %.4f, 0> texture { WetSand } }\n",
                        3 + next() * 6, top - kSandLevel + 0.5, 2 + next() * 4, kSandLevel - 0.5, distance, degrees);
    }
    for (int i = 0; i < 16; ++i) {
        const double degrees = next() * 360, distance = 7 + next() * 30;
        floor += Placed(Format("Crag(%.4f, %.4f, 2, %.4f) translate <0, %.4f, 0> texture { Weed }", 1.5 + next() * 2.5,
                               0.8 + next() * 1.4, seed * 50 + i, kSandLevel - 0.3),
                        distance, degrees);
    }
    return floor;
}

}  // namespace

std::string FlatsKit() { return kFlatsKit; }

std::string TidePanoramaScene(int screen, int tide)
{
    if (tide < 1 || tide > 4) throw Error("the flats have tides 1 .. 4, not " + std::to_string(tide));
    const wc::Place& place = PlaceShowing(screen);
    std::string scene = render::PanoramaCamera(0, render::kEyeHeight, 0);
    scene += ShoreKit();
    scene += ShoreFixtureMacros();
    scene += kFlatsKit;
    scene += SkyOver(place, screen);
    // The clock's wheels stand at the setting that brought the water to this tide.
    const int* setting = wc::Art().TideSetting(tide);
    scene += Format("#declare Setting = array[5] { %.0f, %.0f, %.0f, %.0f, %.0f };\n", setting[0], setting[1], setting[2],
                    setting[3], setting[4]);
    scene += Format("#declare PitPlace = transform { translate <0, %.4f, 13> rotate <0, %.4f, 0> }\n", kSandLevel + 1.0,
                    render::DegreesOfColumn(1625));
    // At the lowest ebb the water has left the pit of the way down.
    if (tide == 4)
        scene += Format("difference { plane { y, %.4f } object { PitHole transform PitPlace } texture { Sea } }\n", kWaterAt[tide]);
    else
        scene += Format("SeaAt(%.4f)\n", kWaterAt[tide]);
    scene += FlatsFloor(static_cast<unsigned>(screen));
    // The stone landing the eye stands on, and the causeway's arms out to each way on.
    scene += "cylinder { <0, -4, 0>, <0, 0, 0>, 2.8 texture { Blocks scale 1.4 } }\n";
    for (const wc::Feature& f : place.features) {
        if (f.look == wc::Look::None) break;
        scene += FlatsFixture(screen, f);
        if (f.look == wc::Look::Arch || f.look == wc::Look::Stairs || f.look == wc::Look::Machine ||
            f.look == wc::Look::Pillar) {
            const Spot s = SpotOf(f, 0);
            const double reach = f.look == wc::Look::Arch ? s.distance + 40 : s.distance + 1;
            scene += Format("box { <-1.3, -4, 0>, <1.3, 0, %.4f> texture { Blocks scale 1.4 } rotate <0, %.4f, 0> }\n", reach,
                            render::DegreesOfColumn((f.x1 + f.x2) / 2.0));
        }
    }
    // The island over the flats, the observatory on its rock; and the way down to the lower
    // rooms, under water at every tide but the lowest.
    scene += Format("object { Observatory(0) translate <0, 2, 60> rotate <0, %.4f, 0> }\n",
                    render::DegreesOfColumn(IslandColumn(screen)));
    scene += "object { LowerDoorway() transform PitPlace }\n";
    return scene;
}


}  // namespace world_render::shore
