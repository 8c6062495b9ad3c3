#include "world/world_hotspot.h"

#include "world/action_codes.h"
#include "world/condition_codes.h"

namespace {
constexpr int kReactCursor = 1;
}

WorldHotspot::WorldHotspot(int x1, int y1, int x2, int y2) : WorldHotspot(x1, y1, x2, y2, kReactCursor, false) {}

WorldHotspot::WorldHotspot(int x1, int y1, int x2, int y2, bool simpleMove)
    : WorldHotspot(x1, y1, x2, y2, kReactCursor, simpleMove)
{
}

WorldHotspot::WorldHotspot(int x1, int y1, int x2, int y2, int cursor) : WorldHotspot(x1, y1, x2, y2, cursor, false) {}

WorldHotspot::WorldHotspot(int x1, int y1, int x2, int y2, int cursor, bool simpleMove)
    : c_iX1(x1), c_iY1(y1), c_iX2(x2), c_iY2(y2), c_iCursor(cursor), c_bSimpleMove(simpleMove)
{
}

WorldActionlist* WorldHotspot::AddActionlist(bool type, int number)
{
    c_pOwnedLists.push_back(std::make_unique<WorldActionlist>(type, number));
    c_pActionlists.push_back(c_pOwnedLists.back().get());
    return c_pActionlists.back();
}

void WorldHotspot::AddActionlist(WorldActionlist* list) { c_pActionlists.push_back(list); }

void WorldHotspot::getActionlist(bool type, int number, std::vector<WorldActionlist*>& out) const
{
    for (WorldActionlist* list : c_pActionlists) {
        if (list->get_Type() == type && list->get_Number() == number) out.push_back(list);
    }
}

bool WorldHotspot::Check(int x, int y) const { return c_iX1 <= x && x <= c_iX2 && c_iY1 <= y && y <= c_iY2; }

WorldActionlist* WorldHotspot::AddVarDependantList(int var, int value, int comparison, int screen)
{
    WorldActionlist* list = AddActionlist(true, 0);
    for (int token : {static_cast<int>(CT_Var), var, comparison, static_cast<int>(CT_Value), value}) {
        list->addCondition(token);
    }
    list->addAction(ACT_GotoScreen)->addParam(0, static_cast<float>(screen));
    return list;
}

void WorldHotspot::addVarDependantLocation(int var, int value, int screenIfEqual, int screenIfDifferent)
{
    AddVarDependantList(var, value, CT_Equal, screenIfEqual);
    AddVarDependantList(var, value, CT_NotEqual, screenIfDifferent);
}

void WorldHotspot::addVarDependantLocation(int var, int value, int screenIfEqual)
{
    AddVarDependantList(var, value, CT_Equal, screenIfEqual);
}
