// A clickable rectangle of a screen, in the screen's image coordinates (2048 x 512 around a
// panorama, 1024 x 512 on a flat screen), with the action lists a click runs.
#pragma once

#include <memory>
#include <vector>

#include "world/world_actionlist.h"

class WorldHotspot {
public:
    // Defaults: cursor 1 (something reacts), not a simple move.
    WorldHotspot(int x1, int y1, int x2, int y2);
    WorldHotspot(int x1, int y1, int x2, int y2, bool simpleMove);
    WorldHotspot(int x1, int y1, int x2, int y2, int cursor);
    WorldHotspot(int x1, int y1, int x2, int y2, int cursor, bool simpleMove);

    // Creates a list owned by this hotspot, appends it and returns it.
    WorldActionlist* AddActionlist(bool type, int number);
    // Appends a list that lives elsewhere (as long as the world); not owned.
    void AddActionlist(WorldActionlist* list);
    // Appends to `out`, in this hotspot's order, every list with this type and number.
    void getActionlist(bool type, int number, std::vector<WorldActionlist*>& out) const;
    int get_ActionlistCount() const { return static_cast<int>(c_pActionlists.size()); }
    WorldActionlist* GetActionlist(int i) const { return c_pActionlists.at(static_cast<std::size_t>(i)); }

    // True when x1 <= x <= x2 and y1 <= y <= y2 (edges included). Conditions are not tested.
    bool Check(int x, int y) const;

    // The hotspot leads to `screenIfEqual` while variable `var` holds `value`, else to
    // `screenIfDifferent`. The three-argument form adds only the first of the two lists.
    void addVarDependantLocation(int var, int value, int screenIfEqual, int screenIfDifferent);
    void addVarDependantLocation(int var, int value, int screenIfEqual);

    void addCondition(int token) { c_pConditions.push_back(token); }
    int getCondition(int i) const { return c_pConditions.at(static_cast<std::size_t>(i)); }
    const std::vector<int>& get_Conditions() const { return c_pConditions; }
    int get_ConditionNumber() const { return static_cast<int>(c_pConditions.size()); }
    int get_Cursor() const { return c_iCursor; }
    void set_Cursor(int cursor) { c_iCursor = cursor; }
    bool get_SimpleMove() const { return c_bSimpleMove; }
    int get_X1() const { return c_iX1; }
    int get_Y1() const { return c_iY1; }
    int get_X2() const { return c_iX2; }
    int get_Y2() const { return c_iY2; }

private:
    WorldActionlist* AddVarDependantList(int var, int value, int comparison, int screen);

    int c_iX1, c_iY1, c_iX2, c_iY2;
    int c_iCursor;
    bool c_bSimpleMove;
    std::vector<WorldActionlist*> c_pActionlists;                 // in click order, not owned
    std::vector<std::unique_ptr<WorldActionlist>> c_pOwnedLists;  // the lists created here
    std::vector<int> c_pConditions;
};
