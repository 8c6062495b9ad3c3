// A conditional list of actions: what a click, an item used on a hotspot or the entry into a
// screen does. One list may be attached to several screens, so lists are not owned by the
// records that refer to them (see WorldScreen and WorldHotspot).
#pragma once

#include <memory>
#include <vector>

#include "world/world_action.h"

class WorldActionlist {
public:
    // type true: runs on a click with no item held; false: runs when item `number` is used.
    WorldActionlist(bool type, int number) : c_bType(type), c_iNumber(number) {}

    // Creates an action, appends it and returns it so that the caller can add parameters.
    WorldAction* addAction(int code);
    WorldAction* getAction(int i) const { return c_pActions.at(static_cast<std::size_t>(i)).get(); }
    void addCondition(int token) { c_pConditions.push_back(token); }
    int getCondition(int i) const { return c_pConditions.at(static_cast<std::size_t>(i)); }
    const std::vector<int>& get_Conditions() const { return c_pConditions; }

    bool get_Type() const { return c_bType; }
    int get_Number() const { return c_iNumber; }
    int get_ActionNumber() const { return static_cast<int>(c_pActions.size()); }
    int get_ConditionNumber() const { return static_cast<int>(c_pConditions.size()); }

private:
    bool c_bType;
    int c_iNumber;
    std::vector<int> c_pConditions;
    std::vector<std::unique_ptr<WorldAction>> c_pActions;
};
