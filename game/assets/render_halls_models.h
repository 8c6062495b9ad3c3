// The things of the observatory's ground floor and tower as scene text, shared by the
// panoramas and the close views: the keeper's furniture and machines, each built in its own
// frame (x across to the right as seen, y up from the floor, z away from the viewer, its
// front at z = 0, centred on x = 0) and sized to the width and height it is asked to fill.
#pragma once

#include <cstdio>
#include <string>
#include <vector>
#include <type_traits>

#include "content/generator.h"

namespace world_render::halls {

// Scene text with numbers (printed as doubles: %.4f) and names (%s) put in.
template <typename T>
auto SceneArgument(const T& value)
{
    if constexpr (std::is_same_v<T, std::string>)
        return value.c_str();
    else if constexpr (std::is_convertible_v<T, const char*>)
        return static_cast<const char*>(value);
    else
        return static_cast<double>(value);
}
template <typename... Arguments>
std::string Text(const char* pattern, const Arguments&... arguments)
{
    const int n = std::snprintf(nullptr, 0, pattern, SceneArgument(arguments)...);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, SceneArgument(arguments)...);
    text.pop_back();
    return text;
}

// The ground floor's and tower's own materials (#declare'd textures: Plaster, Whitewash,
// Panelling, Flags, Tiles, TowerBlocks, CastIron, Leather, Rope, Chain, Ink), after render::Materials().
const char* HallMaterials();

// A burning cast-iron stove (w wide, h tall body) with its flue pipe rising to `flueTop`
// and turning into the wall at z = `wallZ`; the fire glows through the door when `burning`.
std::string Stove(double w, double h, double flueTop, double wallZ, bool burning);
// The lamp oil store: a riveted tank on a timber cradle with a brass tap over a can, and
// two drums beside it.
std::string OilStore(double w, double h);
// The tower winch: iron side frames, a drum wound with chain, the ratchet wheel and its pawl
// on the left, the square shaft end for the crank on the right; the chain runs up to `chainTop`.
std::string Winch(double w, double h, double chainTop);
// A wall regulator clock in a wooden case: a dial with its hands, a pendulum behind glass.
std::string WallClock(double w, double h, double bottom);
// A lectern with the tide register lying open on its sloped top.
std::string Lectern(double w, double h);
// Desks: the keeper's writing desk (papers, inkwell, a candle); the instrument desk (a
// brass telescope on its stand, a chronometer box, a barometer, a chart); the tower's round
// table (a chart weighted down, a candle, a mug).
enum class DeskKind { Keeper, Instruments, TowerTable };
std::string Desk(DeskKind kind, double w, double h);
// The keeper's leather logbook lying closed, as on his desk (its centre on the origin).
std::string Logbook();
// The letter cabinet: a tall locked cabinet with a tambour front over its pigeonholes, and a brass
// lock plate beside it with `wheels` bell wheels at `pitch` and a release knob below them
// (the plate's wheels start at x = `wheelsX`, at height `wheelsY`). `open` rolls the front up;
// `letters` puts the bundle of letters in its pigeonholes.
struct CabinetShape {
    double w = 1.0, h = 2.0;           // the cabinet body
    double wheelsX = 1.2, wheelsY = 1.2, pitch = 0.3, wheelRadius = 0.11;
    double knobX = 2.0, knobY = 0.7, knobRadius = 0.12;
    double plateRight = 3.8;
};
std::string Cabinet(const CabinetShape& shape, bool open, bool letters);
// One bell wheel of the cabinet, its face to the viewer at z = 0, turned to `value`: blank
// at 0, else a small bell with `value` strokes under it in pairs.
std::string BellWheel(double radius, int value);
// Shelves on the wall with jars, books, tins and a coil of rope.
std::string Shelf(double w, double h);
// The board of lamp hooks; `lamp` hangs the hand lamp on the middle hook at `hookY`.
std::string LampBoard(double w, double h, double hookY, bool lamp);
// The brass and glass hand lantern with its bail handle, hanging from the origin.
std::string HandLantern(double scale);
// The well head: a round stone rim of outer radius r and height h with dark water inside,
// and a timber windlass over it.
std::string Well(double r, double h);
// A wall lamp burning (its glass at `height`), fixed to the wall at z = 0: a brass back plate,
// a glass chimney with a flame and a short-reaching light.
std::string WallLamp(double height, double size);

// The steep stair to the gallery hatch, its steps from z = 0.2 rising to a timber roof at
// `hatchY` with the hatch in it: barred from below by an iron bar in two brackets, or (open)
// the bar lifted aside and the hatch swung up on the night.
std::string HatchParts(double w, double hatchY, bool open);

// ---- whole scenes ----

// The cabinet's key strip: frame k shows a bell wheel turned to value k (0 .. 7).
content::Asset CabinetWheels();

// The scene of a place of the ground floor or the tower: its panorama or close view in the
// story's first state, or with `changed` its other state (the gallery hatch open, the logbook
// gone from the desk ... see FlatScene).
std::string PlaceScene(int number, bool changed);
// A close view's scene. `changed`: the logbook lies on the desk (251), the hand lamp hangs on
// its hook (254), the cabinet stands open (451; `letters` with the bundle inside), the hatch
// is unbarred and open (456).
std::string FlatScene(int number, bool changed, bool letters = false);

// The bearings (degrees, ascending, within one turn from the first) of a faceted room's flat
// walls, each square to the eye; empty for a room whose wall is round.
std::vector<double> WallBearings(int number);

}  // namespace world_render::halls
