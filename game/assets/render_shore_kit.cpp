#include "game/assets/render_shore_scenes.h"
#include "render/kit.h"

namespace world_render::shore {

namespace {

// Everything the island's scenes build from, as scene macros. Each object stands on y = 0 at
// x = 0 with its front at z = 0 facing -z (towards the eye), so that a scene puts it where a
// hotspot says by turning it about y and moving it out along +z.
const char* const kKit = R"(
// The island's rock is dark and wet, not the pale stone of the buildings.
#declare Rock = texture {
  pigment { granite turbulence 0.3 colour_map { [0 rgb <0.10, 0.10, 0.10>] [0.5 rgb <0.15, 0.14, 0.13>] [0.8 rgb <0.12, 0.12, 0.13>] [1 rgb <0.18, 0.17, 0.16>] } scale 2.5 }
  normal { bumps 0.35 scale 0.5 }
  finish { diffuse 0.7 specular 0.1 roughness 0.08 }
}
#declare PoolWater = texture {
  pigment { rgbt <0.04, 0.08, 0.09, 0.78> }
  normal { ripples 0.05 frequency 4 scale 0.5 }
  finish { ambient 0 diffuse 0.1 specular 0.8 roughness 0.005 reflection 0.22 }
}
#declare Turf = texture {
  pigment { granite turbulence 0.3 colour_map { [0 rgb <0.14, 0.17, 0.10>] [0.6 rgb <0.19, 0.21, 0.12>] [1 rgb <0.24, 0.22, 0.15>] } scale 0.8 }
  normal { bumps 0.5 scale 0.05 }
  finish { diffuse 0.7 }
}
#declare Gravel = texture {
  pigment { granite colour_map { [0 rgb <0.36, 0.34, 0.31>] [0.5 rgb <0.46, 0.44, 0.40>] [1 rgb <0.30, 0.29, 0.27>] } scale 0.15 }
  normal { bumps 0.4 scale 0.04 }
}
#declare WetSand = texture {
  pigment { granite colour_map { [0 rgb <0.36, 0.32, 0.25>] [1 rgb <0.30, 0.27, 0.21>] } scale 0.3 }
  normal { ripples 0.5 frequency 6 scale 3 turbulence 0.4 }
  finish { diffuse 0.7 specular 0.35 roughness 0.02 }
}
#declare Weed = texture {
  pigment { granite turbulence 0.6 colour_map { [0 rgb <0.10, 0.12, 0.04>] [0.5 rgb <0.17, 0.16, 0.05>] [1 rgb <0.08, 0.07, 0.03>] } scale 0.2 }
  normal { wrinkles 0.8 scale 0.05 }
  finish { diffuse 0.6 specular 0.3 roughness 0.03 }
}
#declare Leaves = texture {
  pigment { granite turbulence 0.5 colour_map { [0 rgb <0.07, 0.10, 0.05>] [0.6 rgb <0.12, 0.16, 0.08>] [1 rgb <0.17, 0.20, 0.10>] } scale 0.25 }
  normal { bumps 1.2 scale 0.06 }
  finish { diffuse 0.7 }
}
#declare Bark = texture {
  pigment { bozo turbulence 0.4 colour_map { [0 rgb <0.13, 0.11, 0.09>] [1 rgb <0.22, 0.19, 0.15>] } scale <0.05, 0.4, 0.05> }
  normal { wrinkles 0.9 scale <0.04, 0.3, 0.04> }
}
#declare NetCord = rgb <0.30, 0.27, 0.20>;
#declare NetTexture = texture {
  pigment { gradient x colour_map { [0 NetCord] [0.1 NetCord] [0.1 rgbt 1] [1 rgbt 1] } scale 0.035 rotate <0, 0, 40> }
}
texture {
  pigment { gradient x colour_map { [0 NetCord] [0.1 NetCord] [0.1 rgbt 1] [1 rgbt 1] } scale 0.035 rotate <0, 0, -40> }
}
#declare Whitewash = texture {
  pigment { granite colour_map { [0 rgb <0.62, 0.61, 0.58>] [1 rgb <0.52, 0.51, 0.49>] } scale 0.5 }
  normal { bumps 0.2 scale 0.1 }
}
#declare Slate = texture {
  pigment { gradient y colour_map { [0 rgb <0.09, 0.10, 0.12>] [0.9 rgb <0.14, 0.15, 0.17>] [1 rgb <0.05, 0.05, 0.06>] } scale 0.22 }
  finish { diffuse 0.6 specular 0.3 roughness 0.05 }
}
#declare Lit = finish { ambient 0 diffuse 0 emission 1 }
// The boathouse's weathered boards: horizontal planks lapped one over the next, each a
// shade of its own (a cell of its own height), grey-brown grain bleached by salt, dark gaps
// between them and the shadow line under each lap.
#declare ShedGrain = pigment {
  wood turbulence 0.12 octaves 3
  colour_map { [0 rgb <0.16, 0.12, 0.08>] [0.35 rgb <0.12, 0.09, 0.06>] [0.6 rgb <0.19, 0.16, 0.12>] [1 rgb <0.09, 0.07, 0.05>] }
  scale <0.04, 0.04, 1.6> rotate <0, 90, 0>
}
#declare ShedFace = pigment {
  average pigment_map {
    [3 ShedGrain scale 1 / 0.24]
    [1 cells colour_map { [0 rgb <0.05, 0.04, 0.03>] [0.5 rgb <0.14, 0.11, 0.08>] [1 rgb <0.24, 0.22, 0.19>] } scale <1000, 1, 1000>]
  }
}
#declare ShedBoards = texture {
  pigment {
    gradient y
    pigment_map { [0 rgb <0.012, 0.010, 0.008>] [0.05 rgb <0.012, 0.010, 0.008>] [0.07 ShedFace] [1 ShedFace] }
    scale 0.24
  }
  normal { average normal_map { [2 gradient y 0.8 scale 0.24] [1 wood 0.5 turbulence 0.1 scale <0.04, 0.04, 1.6> rotate <0, 90, 0>] [1 granite 0.25 scale 0.3] } }
  finish { diffuse 0.75 specular 0.06 roughness 0.08 }
}

// A roof between x0 and x1, its eaves at z0 and z1, its ridge `Ht` up in the middle.
#macro Gable(X0, X1, Z0, Z1, Ht)
  #local Zc = (Z0 + Z1) / 2;
  #local N1 = <0, Zc - Z0, -Ht>;
  #local N2 = <0, Z1 - Zc, Ht>;
  intersection {
    box { <X0, 0, Z0>, <X1, Ht, Z1> }
    plane { N1, vdot(N1, <0, 0, Z0>) / vlength(N1) }
    plane { N2, vdot(N2, <0, 0, Z1>) / vlength(N2) }
  }
#end
// A faceted rock: a ball cut by planes at seeded angles, about one unit across.
#macro Boulder(Seed)
  #local R = seed(Seed);
  intersection {
    sphere { 0, 1 }
    #for (I, 0, 9)
      plane { <rand(R) - 0.5, rand(R) * 0.9 - 0.3, rand(R) - 0.5>, 0.55 + 0.35 * rand(R) }
    #end
    plane { -y, 0.3 }
  }
#end
// A heap of rocks `W` wide and `H` high, seeded.
#macro Crag(W, H, Depth, Seed)
  #local R = seed(Seed);
  union {
    #for (I, 0, 6)
      object { Boulder(Seed * 7 + I)
        scale <W * (0.22 + 0.12 * rand(R)), H * (0.55 + 0.45 * rand(R)), Depth * (0.3 + 0.2 * rand(R))>
        rotate <0, rand(R) * 360, 0>
        translate <(rand(R) - 0.5) * W * 0.7, 0, (rand(R) - 0.3) * Depth * 0.5> }
    #end
    texture { Rock }
  }
#end

// Sea and sky at dusk under the full moon. The moon hangs `MoonDegrees` round from +z and
// `MoonUp` degrees above the horizon, `MoonRadius` degrees across half its face; the last of
// the sunset glows low on the opposite side.
#macro DuskSky(MoonDegrees, MoonUp, MoonRadius, Glow)
  #local MoonDir = vrotate(vrotate(z, <-MoonUp, 0, 0>), <0, MoonDegrees, 0>);
  #local WestDir = vrotate(vrotate(z, <-3, 0, 0>), <0, MoonDegrees + 180, 0>);
  sky_sphere {
    pigment { gradient y colour_map {
      [0.0 rgb <0.16, 0.15, 0.22>] [0.05 rgb <0.10, 0.11, 0.22>] [0.2 rgb <0.04, 0.055, 0.13>] [0.5 rgb <0.015, 0.02, 0.055>] [1 rgb <0.01, 0.012, 0.035>] } }
    pigment { spherical colour_map { [0 rgbt <0, 0, 0, 1>] [0.6 rgbt <0.35, 0.18, 0.10, 0.55>] [1 rgbt <0.60, 0.32, 0.16, 0.0>] }
      scale 1.0 translate WestDir * Glow }
    pigment { spherical colour_map { [0 rgbt <0, 0, 0, 1>] [1 rgbt <0.30, 0.32, 0.40, 0.2>] } scale 0.5 translate MoonDir }
    pigment { granite colour_map { [0 rgbt 1] [0.8 rgbt 1] [0.82 rgbt <0.7, 0.75, 0.9, 0.4>] [1 rgbt <1, 1, 1, 0>] } scale 0.004 }
  }
  // The moon: a pale disc with its darker seas, and the moonlight from it.
  sphere { 0, 1
    pigment { bozo turbulence 0.5 colour_map { [0 rgb <0.95, 0.94, 0.86>] [0.55 rgb <0.92, 0.90, 0.82>] [0.7 rgb <0.62, 0.62, 0.60>] [1 rgb <0.70, 0.70, 0.66>] } scale 0.45 }
    finish { Lit } no_shadow no_reflection
    scale 2000 * tan(radians(MoonRadius)) translate MoonDir * 2000 }
  light_source { MoonDir * 5000, rgb <0.72, 0.78, 0.95> * 0.95 parallel point_at 0 }
  light_source { <0, 3000, 0>, rgb <0.12, 0.14, 0.22> shadowless }
  light_source { WestDir * 3000 + y * 200, rgb <0.20, 0.11, 0.06> shadowless }
#end
#macro SeaAt(Level)
  plane { y, Level texture { Sea } }
#end

// A stone archway `W` wide, `H` high, in a wall running `WallLength` off either side, with
// the path through it.
#macro StoneArch(W, H, WallLength)
  #local A = W / 2 - 0.5;
  #local Spring = max(0.9, H - A - 0.35);
  union {
    difference {
      box { <-W / 2, 0, 0>, <W / 2, H, 0.7> }
      box { <-A, -1, -1>, <A, Spring, 2> }
      cylinder { <0, Spring, -1>, <0, Spring, 2>, A }
      texture { Blocks scale 1.1 }
    }
    box { <-W / 2 - 0.1, H - 0.12, -0.1>, <W / 2 + 0.1, H, 0.8> texture { Stone } }
    // The wall going off on either side, lower than the arch.
    box { <W / 2, 0, 0.05>, <W / 2 + WallLength, 1.0, 0.65> texture { Blocks } }
    box { <-W / 2 - WallLength, 0, 0.05>, <-W / 2, 1.0, 0.65> texture { Blocks } }
    // The path under it.
    box { <-A, -0.2, -3>, <A, 0.02, 9> texture { Gravel } }
  }
#end

// A flight of steps `W` wide going up away from the eye: `Rise` over `Run`, between rock
// cheeks, with a landing at the top.
#macro StairsUp(W, Run, Rise)
  #local N = max(3, int(Rise / 0.18));
  union {
    #for (I, 0, N - 1)
      box { <-W / 2 + 0.25, -0.3, I * Run / N>, <W / 2 - 0.25, (I + 1) * Rise / N, Run + 3> texture { Stone } }
    #end
    #local K = Rise / Run;
    intersection {
      union { box { <-W / 2 - 0.3, -0.3, -0.2>, <-W / 2 + 0.25, Rise + 2, Run + 3> } box { <W / 2 - 0.25, -0.3, -0.2>, <W / 2 + 0.3, Rise + 2, Run + 3> } }
      plane { <0, 1, -K>, 0.75 / sqrt(1 + K * K) }
      texture { Blocks }
    }
    object { Crag(W * 0.9, Rise * 0.7 + 0.4, 3, 11) translate <-W * 0.85, 0, Run * 0.6> }
    object { Crag(W * 0.9, Rise * 0.6 + 0.4, 3, 12) translate <W * 0.85, 0, Run * 0.6> }
  }
#end

// The head of a flight of steps going down away from the eye: two stone newels `H` high
// `W` apart with an iron rail between them and down the flight.
#macro StairsDown(W, H, Drop)
  #local N = 8;
  union {
    #for (Side, -1, 1, 2)
      union {
        box { <-0.22, 0, -0.22>, <0.22, H - 0.25, 0.22> texture { Blocks scale 0.8 } }
        box { <-0.28, H - 0.25, -0.28>, <0.28, H - 0.13, 0.28> texture { Stone } }
        sphere { <0, H - 0.02, 0>, 0.13 texture { Stone } }
        cylinder { <0, 0.95, 0>, <0, 0.95 - Drop, 5>, 0.03 texture { DarkIron } }
        translate <Side * (W / 2 - 0.22), 0, 0>
      }
    #end
    #for (I, 0, N - 1)
      box { <-W / 2 + 0.45, -(I + 1) * Drop / N - 0.3, 0.2 + I * 5 / N>, <W / 2 - 0.45, -I * Drop / N, 8> texture { Stone } }
    #end
    box { <-W / 2 - 0.2, -Drop - 0.6, 0.2>, <-W / 2 + 0.45, 0.3, 6> texture { Blocks } }
    box { <W / 2 - 0.45, -Drop - 0.6, 0.2>, <W / 2 + 0.2, 0.3, 6> texture { Blocks } }
  }
#end

// The tide post: a weathered oak post with marks cut in it, its foot in a stone block.
#macro TidePost(W, H)
  union {
    box { <-W * 0.22, 0, -W * 0.22>, <W * 0.22, H, W * 0.22> texture { Wood scale 3 } }
    box { <-W * 0.26, H - 0.08, -W * 0.26>, <W * 0.26, H, W * 0.26> texture { Wood scale 3 } }
    #for (I, 0, 3)
      box { <-W * 0.23, H * (0.75 - I * 0.16), -W * 0.23>, <W * 0.23, H * (0.75 - I * 0.16) + 0.03, W * 0.1> pigment { rgb 0.05 } }
    #end
    object { Boulder(5) scale <W * 0.5, 0.35, W * 0.5> texture { Stone } }
  }
#end

// A thorn tree bent by the wind over a bench: `W` across its crown, `H` high.
#macro WindTree(W, H)
  union {
    union {
      cone { <0, 0, 0.4>, 0.22, <W * 0.12, H * 0.55, 0.5>, 0.13 }
      cone { <W * 0.12, H * 0.55, 0.5>, 0.13, <W * 0.32, H * 0.8, 0.7>, 0.06 }
      cone { <W * 0.12, H * 0.55, 0.5>, 0.10, <-W * 0.25, H * 0.78, 0.6>, 0.05 }
      cone { <W * 0.05, H * 0.4, 0.45>, 0.09, <-W * 0.1, H * 0.6, 0.2>, 0.04 }
      texture { Bark }
    }
    union {
      #local R = seed(77);
      #for (I, 0, 13)
        sphere { <(rand(R) - 0.45) * W * 0.8, H * (0.62 + 0.3 * rand(R)), 0.6 + (rand(R) - 0.5) * 1.2>, W * (0.14 + 0.06 * rand(R))
          scale <1.2, 0.65, 1> }
      #end
      texture { Leaves }
    }
    // The bench: a plank seat on two stone legs, facing the sea.
    union {
      box { <-0.7, 0.42, -0.22>, <0.7, 0.48, 0.22> texture { Wood scale 3 } }
      box { <-0.7, 0.55, 0.2>, <0.7, 0.85, 0.25> texture { Wood scale 3 } }
      box { <-0.6, 0, -0.15>, <-0.45, 0.42, 0.15> texture { Stone } }
      box { <0.45, 0, -0.15>, <0.6, 0.42, 0.15> texture { Stone } }
      rotate <0, 15, 0> translate <-W * 0.15, 0, -0.3>
    }
  }
#end

// The observatory gate: stone posts `H` high, two leaves of iron bars `W` across between
// them, a chain and padlock on them while locked; the leaves swing in when open.
#macro Gatepost()
  union {
    box { <-0.3, 0, -0.3>, <0.3, GateH - 0.3, 0.3> texture { Blocks scale 0.8 } }
    box { <-0.36, GateH - 0.3, -0.36>, <0.36, GateH - 0.18, 0.36> texture { Stone } }
    sphere { <0, GateH - 0.04, 0>, 0.16 texture { Stone } }
  }
#end
#macro GateLeaf(L, Hgt)
  union {
    #for (I, 1, 7)
      cylinder { <I * L / 8, 0.08, 0>, <I * L / 8, Hgt + 0.1 * sin(I / 8 * pi), 0>, 0.018 }
      cone { <I * L / 8, Hgt + 0.1 * sin(I / 8 * pi), 0>, 0.03, <I * L / 8, Hgt + 0.1 * sin(I / 8 * pi) + 0.1, 0>, 0 }
    #end
    box { <0, 0.05, -0.02>, <L, 0.12, 0.02> }
    box { <0, Hgt * 0.45, -0.02>, <L, Hgt * 0.45 + 0.06, 0.02> }
    box { <0, Hgt - 0.12, -0.02>, <L, Hgt - 0.06, 0.02> }
    cylinder { <0.02, 0.02, 0>, <0.02, Hgt, 0>, 0.035 }
    cylinder { <L - 0.02, 0.02, 0>, <L - 0.02, Hgt, 0>, 0.03 }
    texture { RustIron scale 3 }
  }
#end
#macro IronGate(W, H, Open)
  #declare GateH = H;
  #local L = W / 2 - 0.3;
  #local Leaf = H - 0.55;
  union {
    object { Gatepost() translate <-W / 2, 0, 0.3> }
    object { Gatepost() translate <W / 2, 0, 0.3> }
    box { <W / 2 + 0.3, 0, 0.05>, <W / 2 + 6, 2.1, 0.6> texture { Blocks } }
    box { <-W / 2 - 6, 0, 0.05>, <-W / 2 - 0.3, 2.1, 0.6> texture { Blocks } }
    box { <W / 2 + 0.3, 2.1, 0>, <W / 2 + 6, 2.2, 0.65> texture { Stone } }
    box { <-W / 2 - 6, 2.1, 0>, <-W / 2 - 0.3, 2.2, 0.65> texture { Stone } }
    object { GateLeaf(L, Leaf) rotate <0, (Open ? -80 : 0), 0> translate <-W / 2 + 0.3, 0, 0.3> }
    object { GateLeaf(L, Leaf) scale <-1, 1, 1> rotate <0, (Open ? 80 : 0), 0> translate <W / 2 - 0.3, 0, 0.3> }
    #if (!Open)
      // The chain round both middle bars and the padlock hanging from it.
      #for (I, 0, 9)
        torus { 0.035, 0.009 rotate <(mod(I, 2) = 0 ? 90 : 0), 0, 90> translate <-0.2 + I * 0.045, Leaf * 0.45 - 0.05 - 0.1 * sin(I / 9 * pi), 0.24> texture { RustIron } }
      #end
      union {
        box { <-0.09, -0.2, -0.035>, <0.09, -0.04, 0.035> }
        torus { 0.055, 0.014 rotate <90, 0, 0> translate <0, -0.04, 0> }
        texture { Brass }
        translate <0, Leaf * 0.45 - 0.12, 0.24>
      }
    #end
    // The path through the gate and the steps up to the observatory beyond.
    box { <-W / 2 + 0.3, -0.3, -2>, <W / 2 - 0.3, 0.02, 6> texture { Gravel } }
    object { StairsUp(W - 0.6, 6, 4) translate <0, 0, 6> }
  }
#end

// The observatory on its rock: a hall with a round tower at one end, its lantern room on
// top (lit or dark), and the dome of the telescope at the other, all on a heap of rock.
#macro Observatory(LampLit)
  union {
    // The rock it stands on: a steep-sided mass with crags round its foot.
    cone { <0, -20, 3>, 24, <0, 7.6, 4>, 14 texture { Rock scale 2 } normal { bumps 1.5 scale <3, 1.5, 3> } }
    object { Crag(34, 25, 16, 40) translate <0, -16, 0> }
    object { Crag(20, 22, 12, 41) translate <-9, -16, -3> }
    union {
      box { <-7, 0, -3.5>, <6, 7, 3.5> texture { Whitewash } }
      object { Gable(-7.3, 6.3, -3.9, 3.9, 2.6) translate <0, 7, 0> texture { Slate } }
      #for (I, 0, 3)
        box { <-5.6 + I * 3, 2.5, -3.6>, <-4.6 + I * 3, 5.2, -3.4> pigment { rgb <0.04, 0.05, 0.07> } finish { specular 0.8 roughness 0.01 reflection 0.2 } }
      #end
      // The tower and its lantern.
      cylinder { <-10, 0, 0>, <-10, 17, 0>, 2.6 texture { Whitewash } }
      cylinder { <-10, 17, 0>, <-10, 17.4, 0>, 3.1 texture { Stone } }
      cylinder { <-10, 17.4, 0>, <-10, 19.6, 0>, 1.7
        #if (LampLit) pigment { rgb <1.0, 0.85, 0.55> } finish { Lit } #else texture { Glass } interior { GlassInterior } #end }
      #if (LampLit)
        // The light's glow round the lantern, and its beam's light on the building.
        disc { 0, -z, 9 pigment { spherical colour_map { [0 rgbt 1] [0.6 rgbt <1, 0.8, 0.5, 0.7>] [1 rgbt <1, 0.9, 0.7, 0>] } scale 9 }
          finish { Lit } no_shadow translate <-10, 18.5, -3> }
        light_source { <-10, 18.5, 0>, rgb <1.0, 0.8, 0.5> * 3 fade_distance 6 fade_power 2 looks_like {
          sphere { <0, 0, 0>, 1.4 pigment { rgbt <1, 0.85, 0.6, 0.4> } finish { Lit } } } }
      #end
      cone { <-10, 19.6, 0>, 1.9, <-10, 21.2, 0>, 0.1 texture { DarkIron } }
      cylinder { <-10, 21.2, 0>, <-10, 21.8, 0>, 0.08 texture { DarkIron } }
      #for (I, 0, 2)
        box { <-10.5, 5 + I * 4, -2.7>, <-9.5, 6.8 + I * 4, -2.4> pigment { rgb 0.03 } }
      #end
      // The dome on its drum.
      cylinder { <8.5, 0, 0>, <8.5, 6, 0>, 3.4 texture { Whitewash } }
      sphere { <8.5, 6, 0>, 3.5 clipped_by { plane { -y, -6 } } texture { pigment { rgb <0.22, 0.27, 0.26> } finish { specular 0.5 roughness 0.03 } } }
      translate <0, 7.5, 4>
    }
  }
#end

// The boathouse from outside: a tarred timber shed with a slate roof, its wide doors
// (`W` x `H`) shut, nets hung to dry on the wall beside them.
#macro BoathouseOutside(W, H)
  union {
    difference {
      box { <-W / 2 - 3.5, 0, 0>, <W / 2 + 2.5, H + 0.9, 7> }
      box { <-W / 2 - 3.3, 0.2, 0.2>, <W / 2 + 2.3, H + 5, 6.8> }
      texture { Tarred rotate <0, 0, 90> }
    }
    object { Gable(-W / 2 - 3.8, W / 2 + 2.8, -0.4, 7.4, 2.4) translate <0, H + 0.9, 0> texture { Slate } }
    // The doors, planked and braced, in a frame.
    union {
      box { <-W / 2, 0, -0.08>, <-0.01, H, 0.02> }
      box { <0.01, 0, -0.08>, <W / 2, H, 0.02> }
      texture { Planks rotate <0, 0, 90> scale 1.2 }
    }
    #for (Side, -1, 1, 2)
      union {
        box { <0.05, H * 0.2, -0.12>, <W / 2 - 0.05, H * 0.2 + 0.14, -0.07> }
        box { <0.05, H * 0.8, -0.12>, <W / 2 - 0.05, H * 0.8 + 0.14, -0.07> }
        texture { Wood scale 3 }
        scale <Side, 1, 1>
      }
    #end
    difference { box { <-W / 2 - 0.15, 0, -0.15>, <W / 2 + 0.15, H + 0.15, 0.05> } box { <-W / 2, -1, -1>, <W / 2, H, 1> } texture { Wood scale 3 } }
    box { <-0.05, H * 0.45, -0.2>, <0.05, H * 0.55, -0.1> texture { RustIron } }
    // Nets on pegs beside the doors, and a float or two.
    box { <-W / 2 - 3.2, 0.6, -0.1>, <-W / 2 - 0.5, H - 0.1, -0.09> texture { NetTexture } }
    box { <-W / 2 - 3.1, 0.9, -0.16>, <-W / 2 - 0.8, H - 0.4, -0.15> texture { NetTexture rotate <0, 0, 12> } }
    sphere { <-W / 2 - 1.5, 1.2, -0.2>, 0.12 pigment { rgb <0.55, 0.32, 0.12> } }
    sphere { <-W / 2 - 2.5, 1.5, -0.2>, 0.12 pigment { rgb <0.55, 0.32, 0.12> } }
    // The slipway down to the water.
    box { <-W / 2, -2, -8>, <W / 2, 0.02, 0> texture { Planks scale 2 } rotate <-6, 0, 0> }
  }
#end

// The sea door: a heavy door of timber bound with iron in a stone frame cut in the cliff,
// `W` x `H`; open, it swings out on its hinges and the dark passage shows.
#macro SeaDoor(W, H, Open)
  #local Spring = max(1.2, H - (W / 2 - 0.12));
  union {
    difference {
      box { <-W / 2 - 0.5, -1, 0>, <W / 2 + 0.5, H + 0.6, 1.2> }
      box { <-W / 2 + 0.12, 0, -1>, <W / 2 - 0.12, Spring, 2> }
      cylinder { <0, Spring, -1>, <0, Spring, 2>, W / 2 - 0.12 }
      texture { Blocks scale 0.9 }
    }
    // The passage behind: dark, wet stone.
    difference {
      box { <-W / 2, -0.1, 0.5>, <W / 2, H, 6> }
      box { <-W / 2 + 0.2, 0, 0.4>, <W / 2 - 0.2, H - 0.1, 5.8> }
      texture { Stone } finish { diffuse 0.4 specular 0.4 roughness 0.02 }
    }
    union {
      intersection {
        box { <0, 0, 0>, <W - 0.24, Spring + W / 2 - 0.12, 0.14> }
        union {
          box { <0, -1, -1>, <W - 0.24, Spring, 1> }
          cylinder { <W / 2 - 0.12, Spring, -1>, <W / 2 - 0.12, Spring, 1>, W / 2 - 0.12 }
        }
        texture { Planks rotate <0, 0, 90> scale 1.4 }
      }
      #for (I, 0, 2)
        box { <-0.03, 0.35 + I * (Spring - 0.7) / 2, -0.05>, <W - 0.4, 0.5 + I * (Spring - 0.7) / 2, 0.01> texture { RustIron scale 3 } }
        #for (J, 0, 5)
          sphere { <0.15 + J * (W - 0.7) / 5, 0.425 + I * (Spring - 0.7) / 2, -0.05>, 0.03 texture { RustIron } }
        #end
      #end
      torus { 0.12, 0.025 rotate <90, 0, 0> translate <W - 0.55, H * 0.42, -0.1> texture { RustIron } }
      rotate <0, (Open ? -100 : 0), 0>
      translate <-W / 2 + 0.12, 0, 0.35>
    }
  }
#end

// The rock pool: still water in a basin of rock `W` wide and `D` deep, weed at its rim.
// The hollow of the pool's basin, for carving it out of the ground round it; a basin is
// deep in proportion to its size, at most 0.45.
#macro PoolDepth(W, D) min(0.45, 0.35 * min(W, D)) #end
#macro PoolBowl(W, D)
  sphere { 0, 1 scale <W / 2, PoolDepth(W, D), D / 2> translate <0, 0.02, D / 2> }
#end
#macro RockPool(W, D)
  #local Dep = PoolDepth(W, D);
  union {
    difference {
      box { <-W / 2 - 1.5, -0.6, -0.5>, <W / 2 + 1.5, 0.02, D + 1.5> }
      object { PoolBowl(W, D) }
      texture { Rock }
    }
    intersection {
      object { PoolBowl(W, D) }
      plane { y, -0.03 }
      texture { PoolWater }
      interior { ior 1.33 }
    }
    sphere { 0, 1 scale <W / 2, Dep - 0.01, D / 2> translate <0, 0.02, D / 2> clipped_by { plane { y, -0.04 } }
      texture { pigment { granite colour_map { [0 rgb <0.30, 0.27, 0.20>] [1 rgb <0.18, 0.20, 0.14>] } scale 0.1 } } }
    // Stones and weed round the far rim, out of the way of the water.
    #local R = seed(21);
    #for (I, 0, 11)
      #local A = radians(200 + I * 12.5);
      object { Boulder(60 + I) scale <W * (0.05 + 0.04 * rand(R)), W * (0.03 + 0.03 * rand(R)), W * (0.05 + 0.03 * rand(R))>
        translate <cos(A) * W / 2 * 1.08, 0, D / 2 - sin(A) * D / 2 * 1.08> texture { #if (rand(R) < 0.5) Weed #else Rock #end } }
    #end
  }
#end

// A gull's flying shape for the sky: two bent wings.
#macro Gull()
  union {
    cylinder { <0, 0, 0>, <-0.5, 0.15, 0>, 0.03 }
    cylinder { <0, 0, 0>, <0.5, 0.15, 0>, 0.03 }
    cylinder { <-0.5, 0.15, 0>, <-0.9, 0.05, 0>, 0.025 }
    cylinder { <0.5, 0.15, 0>, <0.9, 0.05, 0>, 0.025 }
    pigment { rgb 0.02 }
  }
#end
)";

}  // namespace

std::string ShoreKit()
{
    std::string kit = render::Materials();
    kit += kKit;
    return kit;
}

}  // namespace world_render::shore
