// What a world read from its world files does with the names its authors gave: where each
// variable is read (conditions, pictures chosen by it, copies) and where it is set (actions),
// and which variables, items and hotspots play no part at all. Places are named by the
// authors' screen names. Read-only; depends on the world records and the world files' names.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "world_checker.h"

class WorldFiles;
class WorldManager;

class WorldUses {
public:
    // Walks every record of `world`; `names` are the names its world files gave (both read
    // only, not owned, used only during the call).
    WorldUses(const WorldManager& world, const WorldFiles& names);

    // Warnings: each variable no condition reads and no action sets, each item never given,
    // not carried at the start and never used on a hotspot, each hotspot without action lists;
    // variables and items in name order, hotspots in the order the screens were added.
    const std::vector<CheckFinding>& get_Unused() const { return c_pUnused; }
    // One block per variable in name order: its name, then "read:" and "set:" lines listing
    // the places ("shore_north, hotspot 2"), or "nowhere".
    std::string FormatVariableUses() const;

private:
    struct Uses {
        std::vector<std::string> reads, sets;  // each place once, in the order found
    };
    std::string ScreenName(int number) const;
    void Read(int variable, const std::string& where);
    void Set(int variable, const std::string& where);

    std::map<int, std::string> c_pScreenNames;
    std::map<std::string, int> c_pVariables;
    std::map<int, Uses> c_pUses;  // by variable number, named variables only
    std::vector<CheckFinding> c_pUnused;
};
