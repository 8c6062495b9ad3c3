// Walking a built world's records for the checker, the census and the map: every action
// list with the place it hangs at, and the parameters of an action as the interpreter reads
// them. Read-only; depends on the world records only.
#pragma once

#include <functional>
#include <optional>
#include <string>

class WorldActionlist;
class WorldAction;
class WorldHotspot;
class WorldManager;
class WorldScreen;

// Where an action list hangs: an entry list of a screen, or a list of one of its hotspots.
struct ListSite {
    const WorldScreen* screen = nullptr;
    const WorldHotspot* hotspot = nullptr;  // null for an entry list
    int hotspotIndex = -1;
    int listIndex = 0;  // among the screen's entry lists or the hotspot's lists
    const WorldActionlist* list = nullptr;
};

// Calls `visit` for every list of every screen, screens in the order added. A list attached
// at several places is visited at each of them.
void ForEachListSite(const WorldManager& world, const std::function<void(const ListSite&)>& visit);

// "screen 12, hotspot 3, list 1" or "screen 12, entry list 0".
std::string SiteName(const ListSite& site);
// "ACT_GotoScreen", or "action code 42" for a code the interpreter does not know.
std::string ActionName(int code);

// The number an action reads for parameter type `type`: the last number stored with that
// type (a later one replaces an earlier one), truncated as the interpreter does; nothing
// when absent.
std::optional<int> NumberParam(const WorldAction& action, int type);
// The same without truncation.
std::optional<float> FloatParam(const WorldAction& action, int type);
// The first parameter as a number, whatever its type (items, hide flags); nothing when the
// action has no parameters or the first is not a number.
std::optional<int> FirstNumber(const WorldAction& action);
// The screen a go-to action leads to (1 when it names none).
int GotoTarget(const WorldAction& action);

// How a hotspot was made, recognised from its shape: a standard navigation hotspot, a grid
// cell (code key), a page-turning strip of a book, or any other hotspot.
enum class HotspotKind { StandardMove, CodeKey, BookForward, BookBack, Plain };
HotspotKind ClassifyHotspot(const WorldScreen& screen, const WorldHotspot& hotspot);

// Whether a list is one of a conditional exit's: condition "variable v = x" (or "differs
// from x") and one go-to action. `differs` tells which of the two.
bool IsConditionalExitList(const WorldActionlist& list, bool* differs);
