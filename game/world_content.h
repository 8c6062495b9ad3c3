// The content tables of Kelvane's world in C++, which the C++ world definition builds from: the
// places with the things drawn in them (exits, machines, panels) at the rectangles the hotspots
// use, the picture blocks that change with the story, the code-key panels, the items, the book
// page files and the subtitle lines of the films. The content generator reads the same from the
// world files instead (game/assets/world_art.h, which declares the records).
// Plain constant data: no dependency on the world records or on any painting code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "display/image_offsets.h"
#include "game/assets/world_art.h"

namespace world_content {

// The story flags (variables 1 .. 16) by what they mean in Kelvane.
enum Flag : int {
    kGateLocked = 1,      // 1: the observatory gate is padlocked
    kKeyTaken = 2,        // 1: the iron key has been taken from the boathouse bench
    kLogbookOnDesk = 3,   // 1: the keeper's logbook still lies on his desk
    kSeaGateOpen = 4,     // 1: the sea gate of the cistern is broken open (waves pound below)
    kCisternFlooded = 5,  // 1: the cistern basin is under water
    kLampOnHook = 6,      // 1: the hand lamp still hangs in the lamp room
    kCrankInRack = 7,     // 1: the crank handle still hangs in the boathouse rack
    kHatchBarred = 8,     // 1: the hatch to the lamp gallery is barred
    kLensInCradle = 9,    // 1: the last lens still lies below the sea
    kTide = 10,           // 1 .. 4: the tide, from high water (1) to the lowest ebb (4)
    kLettersInCabinet = 11,  // 1: the keeper's letters are still in the tower cabinet
    kArrived = 12,        // 1: the arrival on the island has been shown
    kLensPlaced = 13,     // 1: the last lens sits in the great telescope
    kWarmMusic = 14,      // 0: the depths play song 3; 1: song 4 (after the sea door opened)
    kWatchInPool = 15,    // 1: the keeper's watch still lies in the rock pool
    kSeaDoorShut = 16,    // 1: the sea door under the cliff is shut (it opens only from inside)
};

// Starting values of variables 1 .. 16.
inline constexpr unsigned char kFlagStart[16] = {1, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 1, 1};

inline constexpr GridDef kGrids[7] = {
    {1, 100, 8, 1, 7},   // the letter cabinet's eight bell wheels
    {2, 200, 12, 3, 1},  // the ring of gallery lamps
    {3, 300, 3, 3, 1},   // the four star panels of the dome
    {4, 310, 3, 3, 1},
    {5, 320, 3, 3, 1},
    {6, 330, 3, 3, 1},
    {7, 400, 5, 1, 4},   // the tide clock's five wheels
};

// The cabinet's bell code, wheel 0 (left) first: "three, one, four, one, five, two, six, five".
inline constexpr int kCabinetCode[8] = {3, 1, 4, 1, 5, 2, 6, 5};
// The four star patterns (the Heron, the Lantern, the Anchor, the Gull), as 3 x 3 cells row
// by row, top row first; 1 = the star is lit.
inline constexpr int kStarPatterns[4][9] = {
    {1, 0, 1, 0, 1, 0, 1, 1, 1},  // Heron
    {0, 1, 0, 1, 1, 1, 0, 1, 0},  // Lantern
    {0, 1, 0, 0, 1, 0, 1, 1, 1},  // Anchor
    {1, 0, 1, 1, 1, 1, 0, 0, 0},  // Gull
};
// The tide clock's settings (wheel 0 first), as the tide register tables them by the moon's
// age. The clock takes the water down or up one tide at a time, and only with the settings of
// tonight's moon: the full moon, drawn in the sky over the shore.
enum Moon : int { kNewMoon, kFirstQuarter, kFullMoon, kLastQuarter };
inline constexpr int kTonight = kFullMoon;
inline constexpr int kHighWater[5] = {3, 2, 1, 4, 0};  // how the keeper left the clock, at every moon
// Half ebb, low water and the lowest ebb for each moon; the lowest ebb comes only with the
// spring tides of the new and the full moon (at the quarters its row is all -1: no setting).
inline constexpr int kTideTable[4][3][5] = {
    {{0, 3, 4, 1, 2}, {4, 2, 0, 1, 3}, {1, 0, 4, 3, 2}},        // new moon
    {{2, 1, 3, 0, 4}, {3, 4, 2, 1, 0}, {-1, -1, -1, -1, -1}},   // first quarter
    {{1, 4, 0, 2, 3}, {2, 0, 3, 3, 1}, {4, 1, 2, 0, 4}},        // full moon
    {{4, 0, 1, 3, 2}, {0, 2, 4, 4, 3}, {-1, -1, -1, -1, -1}},   // last quarter
};
// The setting that works tonight for tide 1 (high water) .. 4 (the lowest ebb).
constexpr const int* TideSetting(int tide) { return tide == 1 ? kHighWater : kTideTable[kTonight][tide - 2]; }

// A grid's total (cell 0 least significant) for the given cell values.
constexpr int GridTotal(const int* cells, int count, int base)
{
    int total = 0, power = 1;
    for (int i = 0; i < count; ++i) {
        total += cells[i] * power;
        power *= base;
    }
    return total;
}

// ---- places ----


// The back strip along the bottom of a close view.
constexpr Feature Back(int target) { return {Look::None, 0, 440, 1023, 511, target}; }
// The turning strips at both sides of a wide view, both leading back.
constexpr Feature EdgeLeft(int target) { return {Look::None, 0, 0, 150, 511, target, Way::Walk, Need::None, 0, 0, -1, 2}; }
constexpr Feature EdgeRight(int target) { return {Look::None, 824, 0, 1023, 511, target, Way::Walk, Need::None, 0, 0, -1, 3}; }
constexpr Feature Go(Look look, int x1, int y1, int x2, int y2, int target) { return {look, x1, y1, x2, y2, target}; }
constexpr Feature Dark(Look look, int x1, int y1, int x2, int y2, int target)
{
    return {look, x1, y1, x2, y2, target, Way::Dark};
}
constexpr Feature See(Look look, int x1, int y1, int x2, int y2, bool active = false)
{
    return {look, x1, y1, x2, y2, -1, Way::Scenery, Need::None, 0, 0, -1, 1, active};
}

using enum Look;

inline constexpr Place kPlaces[] = {
    // ---- the shore of the island ----
    {100, true, "data/shore_pano01.enc", Realm::Shore, 1001,
     {Go(Stairs, 200, 150, 380, 400, 101), Go(Door, 700, 190, 850, 400, 104), Go(Pillar, 1110, 180, 1170, 420, 150),
      Go(Stairs, 1500, 200, 1700, 420, 600), See(Moon, 1850, 60, 1910, 120), Go(Arch, 1950, 170, 2132, 400, 103)}},
    {101, true, "data/shore_pano02.enc", Realm::Shore, 1002,
     {Go(Stairs, 100, 200, 300, 420, 100), Go(Arch, 800, 170, 1000, 400, 102), Go(Tree, 1200, 110, 1400, 380, 151),
      Go(Arch, 1600, 170, 1800, 400, 103), Go(Stairs, 480, 200, 660, 420, 104)}},
    {102, true, "data/shore_pano03.enc", Realm::Shore, 1003,
     {Go(Arch, 300, 170, 500, 400, 103),
      {Gate, 900, 150, 1100, 400, 200, Way::Choose, Need::None, kGateLocked, 0, 152},
      See(Window, 1300, 120, 1390, 260), Go(Arch, 1900, 170, 2150, 400, 101)}},
    {103, true, "data/shore_pano04.enc", Realm::Shore, 1004,
     {Go(Arch, 100, 170, 300, 400, 101), Go(Stairs, 700, 200, 900, 420, 105), Go(Pillar, 1300, 180, 1360, 420, 153),
      Go(Arch, 1700, 170, 1900, 400, 102), Go(Stairs, 420, 200, 580, 420, 100)}},
    {104, true, "data/shore_pano05.enc", Realm::Shore, 1005,
     {Go(Door, 100, 190, 250, 400, 100), Go(Desk, 600, 290, 820, 400, 154), Go(Panel, 1200, 220, 1400, 380, 155),
      See(Window, 1700, 190, 1790, 330)}},
    {105, true, "data/shore_pano06.enc", Realm::Shore, 1006,
     {Go(Stairs, 200, 200, 400, 420, 103),
      {Door, 900, 180, 1060, 400, 1101, Way::Choose, Need::None, kSeaDoorShut, 0, 156},
      Go(Pool, 1400, 400, 1784, 490, 157), Go(Arch, 1900, 170, 2100, 400, 100)}},
    {150, false, "data/shore_post.enc", Realm::Shore, 1050, {See(Pillar, 440, 40, 584, 430), Back(100)}},
    {151, false, "data/shore_bench.enc", Realm::Shore, 1051, {See(Tree, 300, 40, 724, 420), EdgeLeft(101), EdgeRight(101)}},
    {152, false, "data/shore_padlock.enc", Realm::Shore, 1052, {See(Gate, 300, 60, 724, 430), Back(102)}},
    {153, false, "data/shore_towerview.enc", Realm::Shore, 1053,
     {See(Window, 430, 60, 594, 300), EdgeLeft(103), EdgeRight(103)}},
    {154, false, "data/shore_workbench.enc", Realm::Shore, 1054, {See(Desk, 262, 220, 762, 430), Back(104)}},
    {155, false, "data/shore_toolrack.enc", Realm::Shore, 1055, {See(Panel, 300, 100, 724, 420), Back(104)}},
    {156, false, "data/shore_seadoor.enc", Realm::Shore, 1056, {See(Door, 380, 40, 644, 430), Back(105)}},
    {157, false, "data/shore_rockpool.enc", Realm::Shore, 1057, {See(Pool, 200, 280, 824, 430), Back(105)}},

    // ---- the observatory's ground floor ----
    {200, true, "data/hall_pano01.enc", Realm::Hall, 2001,
     {Go(Gate, 110, 150, 300, 400, 102), Go(Arch, 420, 170, 560, 400, 205), Go(Door, 700, 190, 850, 400, 201),
      Go(Desk, 1000, 290, 1184, 400, 250), Go(Arch, 1300, 170, 1500, 400, 203), Go(Door, 1750, 190, 1870, 400, 202),
      See(Torch, 1600, 200, 1640, 310, true), Go(Stairs, 1986, 200, 2042, 420, 204)}},
    {201, true, "data/hall_pano02.enc", Realm::Hall, 2002,
     {Go(Door, 100, 190, 250, 400, 200), Go(Desk, 600, 290, 820, 400, 251), Go(Machine, 1100, 250, 1300, 390, 252),
      Go(Window, 1600, 190, 1690, 330, 253), See(Torch, 400, 200, 440, 310, true), Go(Door, 1850, 190, 2000, 400, 202)}},
    {202, true, "data/hall_pano03.enc", Realm::Hall, 2003,
     {Go(Door, 150, 190, 300, 400, 200), See(Torch, 700, 200, 740, 310, true), Go(Panel, 800, 220, 1000, 380, 254),
      Go(Machine, 1400, 250, 1640, 390, 255), Go(Door, 1800, 190, 1950, 400, 201)}},
    {203, true, "data/hall_pano04.enc", Realm::Hall, 2004,
     {Go(Arch, 134, 170, 300, 400, 200), Go(Stairs, 700, 170, 840, 390, 401), Go(Stairs, 1200, 200, 1400, 420, 204),
      Go(Panel, 1700, 200, 1784, 340, 256), Go(Arch, 1900, 170, 2066, 400, 205)}},
    {204, true, "data/hall_pano05.enc", Realm::Hall, 2005,
     {Go(Stairs, 300, 170, 440, 390, 203), Go(Tunnel, 900, 200, 1080, 390, 300), Go(Pool, 1400, 400, 1684, 480, 257),
      See(Torch, 1200, 200, 1240, 310, true), Go(Arch, 1800, 170, 1980, 400, 200)}},
    {205, true, "data/hall_pano06.enc", Realm::Hall, 2006,
     {Go(Arch, 100, 170, 300, 400, 200), Go(Desk, 700, 290, 920, 400, 258), See(Window, 1300, 190, 1390, 330),
      See(Pillar, 1600, 150, 1644, 390), Go(Arch, 1800, 170, 2000, 400, 203)}},
    {250, false, "data/hall_lectern.enc", Realm::Hall, 2050, {See(Desk, 312, 200, 712, 430), Back(200)}},
    {251, false, "data/hall_desk.enc", Realm::Hall, 2051, {See(Desk, 262, 230, 762, 430), Back(201)}},
    {252, false, "data/hall_stove.enc", Realm::Hall, 2052, {See(Machine, 312, 150, 712, 420, true), Back(201)}},
    {253, false, "data/hall_windowseat.enc", Realm::Hall, 2053, {See(Window, 400, 60, 624, 330), Back(201)}},
    {254, false, "data/hall_lamphook.enc", Realm::Hall, 2054, {See(Panel, 362, 100, 662, 420), Back(202)}},
    {255, false, "data/hall_oil.enc", Realm::Hall, 2055, {See(Machine, 262, 180, 762, 420), Back(202)}},
    {256, false, "data/hall_clock.enc", Realm::Hall, 2056, {See(Panel, 362, 80, 662, 400), Back(203)}},
    {257, false, "data/hall_well.enc", Realm::Hall, 2057, {See(Pool, 262, 260, 762, 430), Back(204)}},
    {258, false, "data/hall_instruments.enc", Realm::Hall, 2058, {See(Desk, 262, 230, 762, 430), Back(205)}},

    // ---- the cistern under the observatory (dark beyond its head) ----
    {300, true, "data/cistern_pano01.enc", Realm::Cistern, 3001,
     {Go(Stairs, 100, 170, 240, 390, 204), Dark(Tunnel, 800, 200, 980, 390, 301), See(Torch, 1300, 200, 1340, 300, true)}},
    {301, true, "data/cistern_pano02.enc", Realm::Cistern, 3002,
     {Dark(Tunnel, 100, 200, 280, 390, 300), Dark(Machine, 700, 250, 940, 390, 351), Dark(Tunnel, 1400, 200, 1580, 390, 302)}},
    {302, true, "data/cistern_pano03.enc", Realm::Cistern, 3003,
     {Dark(Tunnel, 100, 200, 280, 390, 301), See(Pool, 600, 380, 1300, 490),
      {Stairs, 1500, 200, 1650, 420, 303, Way::Dark, Need::Var, kCisternFlooded, 0}}},
    {303, true, "data/cistern_pano04.enc", Realm::Cistern, 3004,
     {Dark(Stairs, 200, 170, 340, 390, 302), Dark(Panel, 800, 300, 1000, 420, 352), Dark(Tunnel, 1400, 200, 1580, 390, 304)}},
    {304, true, "data/cistern_pano05.enc", Realm::Cistern, 3005,
     {Dark(Tunnel, 100, 200, 280, 390, 303), Dark(Machine, 700, 250, 940, 390, 350), Dark(Tunnel, 1400, 200, 1580, 390, 305)}},
    {305, true, "data/cistern_pano06.enc", Realm::Cistern, 3006,
     {Dark(Tunnel, 100, 200, 280, 390, 304), Dark(Gate, 800, 150, 1000, 400, 353)}},
    {306, true, "data/cistern_pano07.enc", Realm::Cistern, 3007,
     {Dark(Tunnel, 100, 200, 280, 390, 305), Dark(Tunnel, 1100, 200, 1280, 390, 307)}},
    {307, true, "data/cistern_pano08.enc", Realm::Cistern, 3008,
     {Dark(Tunnel, 100, 200, 280, 390, 306), Go(Pool, 700, 380, 1100, 490, 354),
      {Door, 1400, 180, 1560, 400, 1100, Way::Dark, Need::Var, kTide, 4}}},
    {350, false, "data/cistern_valve.enc", Realm::Cistern, 3050, {See(Machine, 262, 150, 762, 420), Back(304)}},
    {351, false, "data/cistern_pump.enc", Realm::Cistern, 3051, {See(Machine, 262, 150, 762, 420), Back(301)}},
    {352, false, "data/cistern_grate.enc", Realm::Cistern, 3052, {See(Panel, 312, 250, 712, 430), Back(303)}},
    {353, false, "data/cistern_seagate.enc", Realm::Cistern, 3053,
     {{Gate, 312, 60, 712, 430, 306, Way::Dark, Need::Var, kSeaGateOpen, 1}, Back(305)}},
    {354, false, "data/cistern_waterline.enc", Realm::Cistern, 3054, {See(Pool, 162, 300, 862, 430), Back(307)}},

    // ---- the tide flats below the landing ----
    {600, true, "data/tide_pano01.enc", Realm::Tide, 6001,
     {Go(Stairs, 100, 150, 280, 400, 100), Go(Machine, 700, 250, 940, 390, 650), Go(Arch, 1250, 170, 1450, 400, 601),
      Go(Pillar, 1800, 180, 1860, 420, 654), See(Pool, 1000, 400, 1700, 500), See(Moon, 1480, 50, 1540, 110)}},
    {601, true, "data/tide_pano02.enc", Realm::Tide, 6002,
     {Go(Stairs, 100, 200, 280, 420, 600), Go(Door, 800, 190, 950, 400, 651), Go(Arch, 1400, 170, 1600, 400, 602),
      See(Pool, 300, 400, 1300, 500)}},
    {602, true, "data/tide_pano03.enc", Realm::Tide, 6003,
     {Go(Arch, 100, 170, 300, 400, 601), Go(Pillar, 800, 180, 860, 420, 652), Go(Arch, 1400, 170, 1584, 400, 603),
      See(Pool, 900, 400, 1900, 500), Go(Stairs, 1700, 150, 1880, 400, 600)}},
    {603, true, "data/tide_pano04.enc", Realm::Tide, 6004,
     {Go(Arch, 100, 170, 300, 400, 602), {Window, 900, 200, 1100, 400, 653, Way::Walk, Need::Var, kTide, 4},
      See(Pool, 600, 380, 1500, 500), Go(Arch, 1700, 170, 1900, 400, 600)}},
    {650, false, "data/tide_clock.enc", Realm::Tide, 6050, {See(Machine, 340, 100, 990, 420), Back(600)}},
    {651, false, "data/tide_wreck.enc", Realm::Tide, 6051, {See(Door, 380, 60, 644, 430), Back(601)}},
    {652, false, "data/tide_marker.enc", Realm::Tide, 6052, {See(Pillar, 470, 40, 554, 430), EdgeLeft(602), EdgeRight(602)}},
    {653, false, "data/tide_skylight.enc", Realm::Tide, 6053, {See(Window, 312, 60, 712, 400), Back(603)}},
    {654, false, "data/tide_gauge.enc", Realm::Tide, 6054, {See(Pillar, 460, 30, 564, 430), Back(600)}},

    // ---- the tower ----
    {401, true, "data/tower_pano01.enc", Realm::Tower, 4001,
     {Go(Stairs, 100, 200, 280, 420, 203), Go(Window, 700, 190, 790, 330, 450), Go(Stairs, 1300, 170, 1440, 390, 402)}},
    {402, true, "data/tower_pano02.enc", Realm::Tower, 4002,
     {Go(Stairs, 100, 200, 280, 420, 401), Go(Panel, 600, 220, 800, 380, 451), Go(Desk, 1000, 290, 1220, 400, 452),
      Go(Stairs, 1600, 170, 1740, 390, 403), See(Torch, 1400, 200, 1440, 310, true)}},
    {403, true, "data/tower_pano03.enc", Realm::Tower, 4003,
     {Go(Stairs, 100, 200, 280, 420, 402), Go(Machine, 800, 250, 1040, 390, 453), Go(Stairs, 1500, 170, 1640, 390, 404)}},
    {404, true, "data/tower_pano04.enc", Realm::Tower, 4004,
     {Go(Stairs, 100, 200, 280, 420, 403), Go(Panel, 700, 220, 900, 380, 454), Go(Arch, 1300, 170, 1500, 400, 405), Go(Stairs, 1800, 170, 1940, 390, 401)}},
    {405, true, "data/tower_pano05.enc", Realm::Tower, 4005,
     {Go(Arch, 100, 170, 300, 400, 404), {Stairs, 800, 170, 940, 390, 500, Way::Choose, Need::None, kHatchBarred, 0, 456},
      Go(Window, 1500, 190, 1590, 330, 455), Go(Stairs, 1800, 170, 1940, 390, 403)}},
    {450, false, "data/tower_slit.enc", Realm::Tower, 4050, {See(Window, 440, 40, 584, 400), EdgeLeft(401), EdgeRight(401)}},
    {451, false, "data/tower_cabinet.enc", Realm::Tower, 4051, {See(Door, 40, 40, 300, 430), See(Panel, 320, 180, 980, 290), Back(402)}},
    {452, false, "data/tower_table.enc", Realm::Tower, 4052, {See(Desk, 262, 230, 762, 430), Back(402)}},
    {453, false, "data/tower_winch.enc", Realm::Tower, 4053, {See(Machine, 262, 150, 762, 420), Back(403)}},
    {454, false, "data/tower_shelf.enc", Realm::Tower, 4054, {See(Panel, 312, 100, 712, 420), Back(404)}},
    {455, false, "data/tower_window.enc", Realm::Tower, 4055, {See(Window, 380, 40, 644, 380), Back(405)}},
    {456, false, "data/tower_hatch.enc", Realm::Tower, 4056, {See(Door, 362, 40, 662, 430), Back(405)}},

    // ---- the lamp gallery ----
    {500, true, "data/gallery_pano01.enc", Realm::Gallery, 5001,
     {Go(Stairs, 100, 200, 280, 420, 405), Go(Arch, 900, 170, 1100, 400, 501), Go(Panel, 1500, 220, 1700, 380, 550), Go(Arch, 1850, 170, 2000, 400, 502)}},
    {501, true, "data/gallery_pano02.enc", Realm::Gallery, 5002,
     {Go(Arch, 134, 170, 300, 400, 500), Go(Panel, 800, 220, 1000, 380, 551), Go(Arch, 1400, 170, 1600, 400, 502),
      See(Torch, 1200, 200, 1240, 310), See(Torch, 1800, 200, 1840, 310), Go(Arch, 1900, 170, 2066, 400, 503)}},
    {502, true, "data/gallery_pano03.enc", Realm::Gallery, 5003,
     {Go(Arch, 100, 170, 300, 400, 501), Go(Window, 800, 190, 890, 330, 552), Go(Arch, 1400, 170, 1584, 400, 503),
      Go(Desk, 1700, 290, 1900, 400, 554), Go(Arch, 450, 170, 650, 400, 500)}},
    {503, true, "data/gallery_pano04.enc", Realm::Gallery, 5004,
     {Go(Arch, 100, 170, 300, 400, 502), {Stairs, 800, 170, 940, 390, 700, Way::Walk, Need::LampsLit},
      Go(Panel, 1200, 220, 1400, 380, 553), Go(Arch, 1750, 170, 1950, 400, 500), See(Torch, 600, 200, 640, 310),
      See(Torch, 1080, 200, 1120, 310)}},
    {550, false, "data/gallery_plaque.enc", Realm::Gallery, 5050, {See(Panel, 312, 80, 712, 400), Back(500)}},
    {551, false, "data/gallery_ring.enc", Realm::Gallery, 5051, {See(Panel, 40, 40, 984, 400), See(Torch, 492, 372, 532, 432), Back(501)}},
    {552, false, "data/gallery_window.enc", Realm::Gallery, 5052, {See(Window, 380, 40, 644, 380), Back(502)}},
    {553, false, "data/gallery_stair.enc", Realm::Gallery, 5053, {See(Stairs, 362, 60, 662, 430), Back(503)}},
    {554, false, "data/gallery_bench.enc", Realm::Gallery, 5054, {See(Desk, 262, 230, 762, 430), Back(502)}},

    // ---- the dome ----
    {700, true, "data/dome_pano01.enc", Realm::Dome, 7001,
     {Go(Stairs, 100, 200, 280, 420, 503), Go(Arch, 800, 170, 1000, 400, 701), Go(Panel, 1300, 220, 1500, 380, 750),
      Go(Arch, 1750, 170, 1950, 400, 704)}},
    {701, true, "data/dome_pano02.enc", Realm::Dome, 7002,
     {Go(Arch, 100, 170, 300, 400, 700), Go(Machine, 800, 250, 1040, 390, 751), Go(Arch, 1400, 170, 1600, 400, 702), Go(Arch, 1800, 170, 2000, 400, 703)}},
    {702, true, "data/dome_pano03.enc", Realm::Dome, 7003,
     {Go(Arch, 134, 170, 300, 400, 701), Go(Panel, 600, 220, 800, 380, 752), Go(Panel, 1100, 220, 1300, 380, 753),
      Go(Arch, 1600, 170, 1784, 400, 703), Go(Arch, 1900, 170, 2066, 400, 704)}},
    {703, true, "data/dome_pano04.enc", Realm::Dome, 7004,
     {Go(Arch, 134, 170, 300, 400, 702), Go(Panel, 600, 220, 800, 380, 754), Go(Panel, 1100, 220, 1300, 380, 755),
      Go(Arch, 1600, 170, 1784, 400, 704), Go(Arch, 1900, 170, 2066, 400, 701)}},
    {704, true, "data/dome_pano05.enc", Realm::Dome, 7005,
     {Go(Arch, 100, 170, 300, 400, 703), Go(Window, 800, 100, 1100, 330, 756), Go(Arch, 1600, 170, 1800, 400, 700)}},
    {750, false, "data/dome_plaque.enc", Realm::Dome, 7050, {See(Panel, 312, 60, 712, 420), Back(700)}},
    {751, false, "data/dome_mount.enc", Realm::Dome, 7051, {See(Machine, 262, 100, 762, 420), Back(701)}},
    {752, false, "data/dome_panel1.enc", Realm::Dome, 7052, {See(Panel, 312, 80, 712, 420), Back(702)}},
    {753, false, "data/dome_panel2.enc", Realm::Dome, 7053, {See(Panel, 312, 80, 712, 420), Back(702)}},
    {754, false, "data/dome_panel3.enc", Realm::Dome, 7054, {See(Panel, 312, 80, 712, 420), Back(703)}},
    {755, false, "data/dome_panel4.enc", Realm::Dome, 7055, {See(Panel, 312, 80, 712, 420), Back(703)}},
    {756, false, "data/dome_shutter.enc", Realm::Dome, 7056, {See(Window, 312, 30, 712, 330), EdgeLeft(704), EdgeRight(704)}},

    // ---- the drowned lower observatory (dark) ----
    {1100, true, "data/drowned_pano01.enc", Realm::Drowned, 8001,
     {{Door, 100, 180, 260, 400, 307, Way::Dark, Need::Var, kLensInCradle, 1}, Dark(Tunnel, 800, 200, 980, 390, 1101), Dark(Panel, 1300, 220, 1500, 380, 1150),
      Dark(Desk, 1700, 290, 1900, 400, 1157)}},
    {1101, true, "data/drowned_pano02.enc", Realm::Drowned, 8002,
     {Dark(Tunnel, 100, 200, 280, 390, 1100), Dark(Door, 700, 180, 860, 400, 1151), Dark(Tunnel, 1300, 200, 1480, 390, 1102),
      Dark(Panel, 1700, 220, 1900, 380, 1158)}},
    {1102, true, "data/drowned_pano03.enc", Realm::Drowned, 8003,
     {Dark(Tunnel, 100, 200, 280, 390, 1101), Dark(Machine, 700, 250, 940, 390, 1152), Dark(Desk, 1200, 290, 1400, 400, 1153),
      Dark(Tunnel, 1700, 200, 1880, 390, 1103)}},
    {1103, true, "data/drowned_pano04.enc", Realm::Drowned, 8004,
     {Dark(Tunnel, 100, 200, 280, 390, 1102), Dark(Desk, 600, 290, 820, 400, 1154), Dark(Window, 1100, 190, 1190, 330, 1155),
      Dark(Panel, 1600, 220, 1800, 380, 1156)}},
    {1150, false, "data/drowned_plaque.enc", Realm::Drowned, 8050, {See(Panel, 312, 60, 712, 420), Back(1100)}},
    {1151, false, "data/drowned_seadoor.enc", Realm::Drowned, 8051,
     {{Door, 362, 40, 662, 430, 105, Way::Walk, Need::Var, kSeaDoorShut, 0}, Back(1101)}},
    {1152, false, "data/drowned_cradle.enc", Realm::Drowned, 8052, {See(Machine, 262, 150, 762, 420), Back(1102)}},
    {1153, false, "data/drowned_charts.enc", Realm::Drowned, 8053, {See(Desk, 262, 230, 762, 430), Back(1102)}},
    {1154, false, "data/drowned_recorder.enc", Realm::Drowned, 8054, {See(Machine, 362, 150, 662, 420), Back(1103)}},
    {1155, false, "data/drowned_porthole.enc", Realm::Drowned, 8055, {See(Window, 380, 40, 644, 380), Back(1103)}},
    {1156, false, "data/drowned_bunk.enc", Realm::Drowned, 8056, {See(Desk, 262, 230, 762, 430), Back(1103)}},
    {1157, false, "data/drowned_bench.enc", Realm::Drowned, 8057, {See(Desk, 262, 230, 762, 430), Back(1100)}},
    {1158, false, "data/drowned_coat.enc", Realm::Drowned, 8058, {See(Panel, 362, 60, 662, 420), Back(1101)}},
};

// The opening, the ending and the close-ups of items that are not books.
inline constexpr const char* kLogoImage = "data/opening_logo.enc";
inline constexpr const char* kBoatImage = "data/opening_boat.enc";
inline constexpr const char* kCausewayImage = "data/opening_causeway.enc";
inline constexpr const char* kEndingImage = "data/ending_dawn.enc";
inline constexpr const char* kPlaceholderImage = "data/newscreen.jpg";

// The tide's four versions of the flats: variable kTide = 2, 3, 4 replaces the base picture.
// A version is scrambled with the offset of its screen's base picture.
inline constexpr TideVersion kTideVersions[4] = {
    {600, {"data/tide_pano01_vers2.enc", "data/tide_pano01_vers3.enc", "data/tide_pano01_vers4.enc"}},
    {601, {"data/tide_pano02_vers2.enc", "data/tide_pano02_vers3.enc", "data/tide_pano02_vers4.enc"}},
    {602, {"data/tide_pano03_vers2.enc", "data/tide_pano03_vers3.enc", "data/tide_pano03_vers4.enc"}},
    {603, {"data/tide_pano04_vers2.enc", "data/tide_pano04_vers3.enc", "data/tide_pano04_vers4.enc"}},
};

// ---- picture blocks that change with the story ----


inline constexpr OverlayDef kOverlays[] = {
    {102, "data/shore_pano03_overlay01.enc", 890, 140, 220, 270, Shows::Changed, 1, 0, When::VarEquals, kGateLocked, 0},
    {152, "data/shore_padlock_overlay01.enc", 290, 50, 444, 390, Shows::Changed, 0, 0, When::VarEquals, kGateLocked, 0},
    {154, "data/shore_workbench_overlay01.enc", 440, 230, 144, 100, Shows::Item, 0, 3, When::VarEquals, kKeyTaken, 0},
    {155, "data/shore_toolrack_overlay01.enc", 440, 180, 144, 120, Shows::Item, 0, 4, When::VarEquals, kCrankInRack, 1},
    {157, "data/shore_rockpool_overlay01.enc", 440, 300, 144, 110, Shows::Item, 0, 7, When::VarEquals, kWatchInPool, 1},
    {105, "data/shore_pano06_overlay01.enc", 890, 170, 180, 240, Shows::Changed, 1, 0, When::VarEquals, kSeaDoorShut, 0},
    {156, "data/shore_seadoor_overlay01.enc", 370, 30, 284, 410, Shows::Changed, 0, 0, When::VarEquals, kSeaDoorShut, 0},
    {251, "data/hall_desk_overlay01.enc", 440, 240, 144, 100, Shows::Item, 0, 1, When::VarEquals, kLogbookOnDesk, 1},
    {254, "data/hall_lamphook_overlay01.enc", 440, 180, 144, 130, Shows::Item, 0, 5, When::VarEquals, kLampOnHook, 1},
    {302, "data/cistern_pano03_overlay01.enc", 590, 370, 720, 130, Shows::Removed, 1, 0, When::VarEquals, kCisternFlooded, 0},
    {351, "data/cistern_pump_overlay01.enc", 252, 140, 520, 290, Shows::Changed, 0, 0, When::VarEquals, kCisternFlooded, 0},
    {305, "data/cistern_pano06_overlay01.enc", 790, 140, 220, 270, Shows::Changed, 1, 0, When::VarEquals, kSeaGateOpen, 1},
    {353, "data/cistern_seagate_overlay01.enc", 302, 50, 420, 390, Shows::Changed, 0, 0, When::VarEquals, kSeaGateOpen, 1},
    {354, "data/cistern_waterline_overlay01.enc", 152, 290, 720, 150, Shows::Removed, 0, 0, When::TideLow},
    {451, "data/tower_cabinet_overlay01.enc", 30, 30, 280, 410, Shows::Changed, 0, 0, When::CabinetOpen},
    {451, "data/tower_cabinet_overlay02.enc", 30, 30, 280, 410, Shows::Item, 0, 6, When::LettersThere, 0, 0, true},
    {405, "data/tower_pano05_overlay01.enc", 790, 160, 160, 240, Shows::Changed, 1, 0, When::VarEquals, kHatchBarred, 0},
    {456, "data/tower_hatch_overlay01.enc", 352, 30, 320, 410, Shows::Changed, 0, 0, When::VarEquals, kHatchBarred, 0},
    {501, "data/gallery_pano02_overlay01.enc", 1190, 190, 660, 130, Shows::Changed, 3, 0, When::LampsLit},
    {503, "data/gallery_pano04_overlay01.enc", 590, 160, 540, 240, Shows::Changed, 4, 0, When::LampsLit},
    {756, "data/dome_shutter_overlay01.enc", 302, 20, 420, 320, Shows::Changed, 0, 0, When::StarsSet},
    {1152, "data/drowned_cradle_overlay01.enc", 440, 220, 144, 110, Shows::Item, 0, 8, When::VarEquals, kLensInCradle, 1},
    {751, "data/dome_mount_overlay01.enc", 252, 90, 520, 340, Shows::Changed, 0, 0, When::VarEquals, kLensPlaced, 1},
};

// ---- code-key panels ----


inline constexpr KeyPanel kKeyPanels[] = {
    {451, 1, 330, 200, 67, 66, 80, 0, "data/tower_cabinet_wheels.enc", KeyStyle::Digits},
    {551, 2, 52, 90, 64, 64, 78, 100, "data/gallery_ring_lamps.enc", KeyStyle::Lamps},
    {752, 3, 392, 130, 64, 64, 88, 88, "data/dome_panel1_stars.enc", KeyStyle::Lamps},
    {753, 4, 392, 130, 64, 64, 88, 88, "data/dome_panel2_stars.enc", KeyStyle::Lamps},
    {754, 5, 392, 130, 64, 64, 88, 88, "data/dome_panel3_stars.enc", KeyStyle::Lamps},
    {755, 6, 392, 130, 64, 64, 88, 88, "data/dome_panel4_stars.enc", KeyStyle::Lamps},
    {650, 7, 380, 200, 67, 66, 90, 0, "data/tide_clock_wheels.enc", KeyStyle::Digits},
};
// The cabinet's release knob, below its wheels: it drops every wheel back to the blank.
inline constexpr int kCabinetRelease[4] = {610, 320, 690, 400};
// The tide clock's lever, right of its wheels.
inline constexpr int kTideLever[4] = {860, 150, 960, 400};

// ---- sounds ----

inline constexpr const wchar_t* kPageSound = L"data/pageturn.wav";
inline constexpr const wchar_t* kCoverSound = L"data/bookfront.wav";
inline constexpr const wchar_t* kWheelSound = L"data/wheel.wav";    // a brass wheel clicks round
inline constexpr const wchar_t* kLampSound = L"data/lamp.wav";      // a gallery lamp switched
inline constexpr const wchar_t* kTakeSound = L"data/take.mp3";      // something picked up
inline constexpr const wchar_t* kKnockSound = L"data/knock.mp3";    // a fist on a heavy door
inline constexpr const wchar_t* kLeverSound = L"data/lever.mp3";    // the tide clock's lever
inline constexpr const wchar_t* kWavesSound = L"data/waves.mp3";    // the crossing to the island
inline constexpr const wchar_t* kUnlockSound = L"data/unlock.wav";  // a padlock opens
inline constexpr const wchar_t* kSnuffSound = L"data/snuff.mp3";    // the gallery lamps put out
inline constexpr const wchar_t* kCatchSound = L"data/catch.wav";    // the hidden catch gives
inline constexpr const wchar_t* kSeatSound = L"data/seat.wav";      // the lens settles in its seat
inline constexpr const wchar_t* kItemSound = L"data/item.mp3";      // an item examined
inline constexpr const wchar_t* kPaperSound = L"data/paper.mp3";    // a letter unfolded
inline constexpr const wchar_t* kDripSounds[3] = {L"data/drip1.wav", L"data/drip2.wav", L"data/drip3.wav"};
inline constexpr const wchar_t* kSwitchSound = L"data/switch.wav";    // the float valve ticking
inline constexpr const wchar_t* kStumbleSound = L"data/stumble.wav";  // a foot slipping on wet stone
inline constexpr const wchar_t* kExplosionSound = L"data/explosion.wav";  // the sea through the broken gate

// ---- items ----


inline constexpr ItemDef kItems[8] = {
    {1, "data/inven1.enc", "data/inven1_alpha1.enc", "data/inven1_alpha2.enc", kCoverSound, nullptr},
    {2, "data/inven2.enc", "data/inven2_alpha1.enc", "data/inven2_alpha2.enc", kPaperSound, "data/item2_letter.enc"},
    {3, "data/inven3.enc", "data/inven3_alpha1.enc", "data/inven3_alpha2.enc", kItemSound, "data/item3_key.enc"},
    {4, "data/inven4.enc", "data/inven4_alpha1.enc", "data/inven4_alpha2.enc", kItemSound, "data/item4_crank.enc"},
    {5, "data/inven5.enc", "data/inven5_alpha1.enc", "data/inven5_alpha2.enc", kItemSound, "data/item5_lamp.enc"},
    {6, "data/inven6.enc", "data/inven6_alpha1.enc", "data/inven6_alpha2.enc", kCoverSound, nullptr},
    {7, "data/inven7.enc", "data/inven7_alpha1.enc", "data/inven7_alpha2.enc", kItemSound, "data/item7_watch.enc"},
    {8, "data/inven8.enc", "data/inven8_alpha1.enc", "data/inven8_alpha2.enc", kItemSound, "data/item8_lens.enc"},
};


// ---- books ----

inline constexpr const char* kLogbookPages[11] = {
    "data/logbook_p01.enc", "data/logbook_p02.enc", "data/logbook_p03.enc", "data/logbook_p04.enc",
    "data/logbook_p05.enc", "data/logbook_p06.enc", "data/logbook_p07.enc", "data/logbook_p08.enc",
    "data/logbook_p09.enc", "data/logbook_p10.enc", "data/logbook_p11.enc",
};
inline constexpr const char* kLetterPages[16] = {
    "data/letters_p01.enc", "data/letters_p02.enc", "data/letters_p03.enc", "data/letters_p04.enc",
    "data/letters_p05.enc", "data/letters_p06.enc", "data/letters_p07.enc", "data/letters_p08.enc",
    "data/letters_p09.enc", "data/letters_p10.enc", "data/letters_p11.enc", "data/letters_p12.enc",
    "data/letters_p13.enc", "data/letters_p14.enc", "data/letters_p15.enc", "data/letters_p16.enc",
};
inline constexpr const char* kRegisterPages[5] = {
    "data/register_p01.enc", "data/register_p02.enc", "data/register_p03.enc", "data/register_p04.enc",
    "data/register_p05.enc",
};

constexpr int kLogbookScreen = 10001;
constexpr int kLetterScreen = 15001;
constexpr int kRegisterScreen = 90001;

// ---- films and their subtitles ----


inline constexpr Cue kArrivalCues[] = {
    {0, ""},
    {800, "Kelvane. The boatman would not wait for the tide."},
    {4200, "The lamps are dark. Nobody has lit them for a month."},
    {7300, ""},
};

inline constexpr Cue kLettersCues[] = {
    {0, ""},
    {1500, "To whoever keeps Kelvane after me. I am Ansel Vey, keeper for eleven years."},
    {6000, ""},
    {7000, "If you are hearing this, you found the cabinet and the eight bells of my watch."},
    {11700, ""},
    {12700, "I will tell it plainly, because I have no time left to tell it well."},
    {17200, ""},
    {18200, "The observatory was built over the old sea cistern, on the rock called the Lamp."},
    {23700, "Below it, under the tide, stands the first observatory. The sea took it in a night."},
    {29700, ""},
    {30700, "Its builders ground one lens before the water came. The last lens, they called it."},
    {36200, "Every keeper since has looked for it. I found it in the spring, at a lowest ebb."},
    {42200, ""},
    {43200, "The lower rooms are dry at that tide. Dry, and dark, and full of their papers."},
    {48700, "I went down with the hand lamp. I came back up. I went down again. And again."},
    {54700, ""},
    {55700, "The lens is too heavy for the tunnel. I could only set it back in its cradle."},
    {61700, "I mean to take it out by the sea door, when the water lets me."},
    {66700, ""},
    {67700, "The sea door opens only from the inside. Its builders wanted to keep the sea out,"},
    {73200, "and the keepers in, until their work was done."},
    {76700, ""},
    {77700, "The cistern is flooded again. Use the pump on the upper walk. It wants a crank."},
    {83700, "The float valve ticks when the water moves. Listen where the ticks run together."},
    {90200, ""},
    {91200, "Behind the valve is a catch. It breaks the sea gate. You will hear the waves after."},
    {97700, "Walk the tide clock down to the lowest ebb. Read the moon, then the register."},
    {104200, ""},
    {105200, "The lamps of the gallery must all burn before the dome will let anyone up."},
    {110700, "How the ring answers a hand is in the letters. Work it out, as I did."},
    {115700, ""},
    {116700, "I am going down one last time. If the door stays shut, do not wait for me."},
    {121700, "Light the lamps. Put the lens in the telescope. Keep the light."},
    {125500, ""},
    {126000, "A. V."},
    {127500, ""},
    {127800, ""},
};

inline constexpr Cue kRecorderCues[] = {
    {0, ""},
    {1500, "This is the last cylinder. The tide is turning and I am on the wrong side of it."},
    {7000, ""},
    {8000, "I reached the cradle. The lens was whole, wrapped in oilcloth, as they left it."},
    {14000, "I lifted it out and set it back. My arms are not what they were."},
    {19500, ""},
    {20500, "The sea door is here, at the end of the lower hall. Its bar is on this side."},
    {26500, "I could lift the bar and walk out onto the shore. But the water is already there."},
    {33000, ""},
    {34000, "So I will wait in the dark with the lamp and the papers, and count the drips."},
    {40500, "Three voices: high, low, and one that never keeps time. Like the cistern above."},
    {47000, ""},
    {48000, "Whoever hears this: the bar lifts. Lift it, and the door opens for you."},
    {54000, "Take the lens up the tower. Take it past the lamps, up to the dome."},
    {60000, ""},
    {61000, "The star panels must show the four figures of the plaque in the dome."},
    {67500, "The Heron, the Lantern, the Anchor, the Gull: the builders cut them in the plaque."},
    {74000, ""},
    {75000, "When the stars are set, the shutter opens. Then the telescope takes the lens."},
    {81500, "And then, I think, the light comes back to Kelvane."},
    {86500, ""},
    {87500, "I was afraid of this place for eleven years. I am not afraid of it tonight."},
    {93500, "The water is quiet. The lamp is steady. I can hear the sea door breathing."},
    {99500, ""},
    {100500, "Keeper. Whoever you are. Mind the stairs."},
    {104500, ""},
    {105500, "End of the record."},
    {108000, ""},
    {109000, "(the cylinder turns on, empty)"},
    {111000, ""},
    {111300, ""},
    {111500, ""},
};

inline constexpr Cue kEndingCues[] = {
    {0, ""},
    {2000, "I set the last lens in its seat, and the telescope took its weight without a sound."},
    {8000, ""},
    {9000, "Above me the shutter stood open on the four figures: Heron, Lantern, Anchor, Gull."},
    {15500, ""},
    {16500, "For a moment nothing happened. Then the gallery lamps leaned towards the dome."},
    {23000, "Their light went up the tower, through the lens, and out over the water."},
    {29500, ""},
    {30500, "I have read every letter in the cabinet. I knew what I was meant to feel."},
    {36500, "I did not expect the quiet."},
    {39500, ""},
    {40500, "The sea turned over below the island. The flats went silver, then black, then grey."},
    {47000, "Down at the sea door something moved in the water, and went still."},
    {52500, ""},
    {53500, "Ansel Vey kept this light eleven years, and went down under the tide to finish it."},
    {60500, "The door that only opens from the inside stood open. I had lifted its bar myself."},
    {67000, ""},
    {68000, "I looked for him on the shore when the tide went out. I found no lamp, no keeper;"},
    {74500, "only his coat in the lower hall, and his last cylinder, turning on and on."},
    {80000, ""},
    {81000, "I did not find him. The boatman says the sea keeps what it is given."},
    {87000, "The boatman also says there are no lights at Kelvane. The boatman is wrong."},
    {93000, ""},
    {94000, "Every evening now I go round the gallery with the taper. Thirty-six lamps."},
    {100000, "I count the drips in the cistern. Three voices. I know them all by now."},
    {106500, ""},
    {107500, "Every evening I wind the tide clock and write the tide in the register."},
    {113500, "High water, half ebb, low water. The lowest ebb comes only with a new or full moon."},
    {119500, ""},
    {120500, "When it comes I will go down with the lamp, and lift the bar, and look."},
    {126500, "Perhaps there is someone on the other side of that door who wants to come home."},
    {133000, ""},
    {134000, "I have started my own logbook. The first page says only the date and the tide."},
    {140500, "The second page says: the light is lit."},
    {143000, "The rest of the book is waiting for the tide."},
    {145700, ""},
    {146700, "Kelvane stands over the drowned observatory, and the sea goes round it."},
    {152700, "The lamps are lit. The lens is in its place. The door is open."},
    {158200, ""},
    {159200, "Whoever comes after me: read the moon before the clock. The crank is in the rack."},
    {164000, "Mind the stairs."},
    {166000, ""},
    {166500, "Kelvane."},
    {168000, ""},
    {168500, "a story of the drowned observatory"},
    {170500, ""},
    {170900, ""},
    {171200, ""},
    {171400, ""},
    {171500, ""},
};

// ---- captions: the words of sounds that tell the player something ----
// Each line shows from its time on, timed from the moment its sound starts.

inline constexpr Cue kWavesCaption[] = {{0, ""}, {300, "(waves break on the causeway)"}, {3300, ""}};
// Shown each time the float valve ticks: the faster the ticks, the steadier the word.
inline constexpr Cue kTickCaption[] = {{0, "(tick)"}, {120, ""}};
inline constexpr Cue kPoundCaption[] = {{0, "(the sea pounds below)"}, {1900, ""}};
inline constexpr Cue kKnockCaption[] = {{0, "(a knock on the door, and no answer)"}, {2600, ""}};
inline constexpr Cue kDarkCaption[] = {{0, "Too dark to go on. I need the lamp in my hand."}, {3000, ""}};
inline constexpr Cue kHeavyCaption[] = {{0, "The lens is too heavy for the tunnel."}, {2600, ""}};
inline constexpr Cue kCradleCaption[] = {
    {0, "Too heavy to carry far. Not till the way out is open."}, {3400, ""}};
inline constexpr Cue kLeverCaption[] = {{0, "(the lever clunks over)"}, {1600, ""}};


template <std::size_t N>
constexpr FilmDef Subtitled(const wchar_t* path, const Cue (&cues)[N])
{
    return {path, cues, N, cues[N - 1].time / 1000.0 + 1.0};
}

inline constexpr FilmDef kArrivalFilm = Subtitled(L"data//FMV//arrival.wmv", kArrivalCues);
inline constexpr FilmDef kLettersFilm = Subtitled(L"data//FMV//letters.wmv", kLettersCues);
inline constexpr FilmDef kRecorderFilm = Subtitled(L"data//FMV//recorder.wmv", kRecorderCues);
inline constexpr FilmDef kEndingFilm = Subtitled(L"data//FMV//ending.wmv", kEndingCues);
inline constexpr FilmDef kGateFilm{L"data//FMV//gate.wmv", nullptr, 0, 5.0};
inline constexpr FilmDef kPumpFilm{L"data//FMV//pump.wmv", nullptr, 0, 6.0};
inline constexpr FilmDef kSeaGateFilm{L"data//FMV//collapse.wmv", nullptr, 0, 7.0};
inline constexpr FilmDef kTideFilms[4] = {
    {L"data//FMV//tide1.wmv", nullptr, 0, 5.0},
    {L"data//FMV//tide2.wmv", nullptr, 0, 5.0},
    {L"data//FMV//tide3.wmv", nullptr, 0, 5.0},
    {L"data//FMV//tide4.wmv", nullptr, 0, 6.0},
};
inline constexpr FilmDef kHatchFilm{L"data//FMV//hatch.wmv", nullptr, 0, 5.0};
inline constexpr FilmDef kLampsFilm{L"data//FMV//lamps.wmv", nullptr, 0, 6.0};
inline constexpr FilmDef kShutterFilm{L"data//FMV//shutter.wmv", nullptr, 0, 6.0};
inline constexpr FilmDef kSeaDoorFilm{L"data//FMV//seadoor.wmv", nullptr, 0, 6.0};
inline constexpr FilmDef kLensFilm{L"data//FMV//lens.wmv", nullptr, 0, 8.0};

}  // namespace world_content
