#include "world_uses.h"

#include <algorithm>
#include <set>

#include "display/world_inventory.h"
#include "display/world_item.h"
#include "script/world_files.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/condition_evaluator.h"
#include "world/world_manager.h"
#include "world_walk.h"

namespace {

void AddOnce(std::vector<std::string>& places, const std::string& where)
{
    if (std::find(places.begin(), places.end(), where) == places.end()) places.push_back(where);
}

}  // namespace

WorldUses::WorldUses(const WorldManager& world, const WorldFiles& names)
    : c_pVariables(names.get_Variables())
{
    for (const auto& [name, number] : names.get_Screens()) c_pScreenNames.emplace(number, name);
    for (const auto& [name, number] : c_pVariables) c_pUses[number];

    const auto readCondition = [this](const std::vector<int>& tokens, const std::string& where) {
        for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
            if (!IsConditionOperand(tokens[i])) continue;
            if (tokens[i] == CT_Var) Read(tokens[i + 1], where);
            ++i;  // the argument is not a code
        }
    };

    std::set<int> given, taken;
    for (const WorldItem* item : world.get_Inventory()->get_ActiveItems()) given.insert(item->get_Number());
    ForEachListSite(world, [&](const ListSite& site) {
        const std::string screen = ScreenName(site.screen->get_Number());
        const std::string where =
            site.hotspot == nullptr ? screen + ", on entry" : screen + ", hotspot " + std::to_string(site.hotspotIndex);
        readCondition(site.list->get_Conditions(), where);
        if (site.hotspot != nullptr && !site.list->get_Type()) taken.insert(site.list->get_Number());
        for (int i = 0; i < site.list->get_ActionNumber(); ++i) {
            const WorldAction& action = *site.list->getAction(i);
            if (action.get_Type() == ACT_ActivateItem) {
                if (const std::optional<int> item = FirstNumber(action)) given.insert(*item);
            }
            if (action.get_Type() != ACT_SetVar) continue;
            const int variable = NumberParam(action, 0).value_or(1);
            Set(variable, where);
            // A toggle reads the value it turns over; a copy reads its source.
            for (int p = 0; p < action.get_ParamCount(); ++p)
                if (action.getParamType(p) == 2) Read(variable, where);
            if (const std::optional<int> from = NumberParam(action, 3)) Read(*from, where);
        }
    });

    for (const auto& screen : world.get_Screens()) {
        const std::string name = ScreenName(screen->get_Number());
        for (int i = 0; i < screen->get_OverwriteBaseImageCount(); ++i)
            Read(screen->GetOverwriteBaseImage(i)->get_VarNumber(), name + ", replacement image " + std::to_string(i));
        for (int i = 0; i < screen->get_OverlayCount(); ++i)
            readCondition(screen->GetOverlay(i)->get_Conditions(), name + ", overlay " + std::to_string(i));
        for (int i = 0; i < screen->get_OverlayCountArray(); ++i)
            Read(screen->GetOverlayArray(i)->get_VarDependant(), name + ", strip " + std::to_string(i));
        for (int h = 0; h < screen->get_HotspotCount(); ++h) {
            const WorldHotspot& hotspot = *screen->GetHotspot(h);
            const std::string at = name + ", hotspot " + std::to_string(h);
            readCondition(hotspot.get_Conditions(), at);
            if (hotspot.get_ActionlistCount() == 0) {
                c_pUnused.push_back({CheckRule::HotspotWithoutActions, at,
                                     "(" + std::to_string(hotspot.get_X1()) + ", " + std::to_string(hotspot.get_Y1()) +
                                         ")-(" + std::to_string(hotspot.get_X2()) + ", " +
                                         std::to_string(hotspot.get_Y2()) + ") does nothing when clicked"});
            }
        }
    }

    std::vector<CheckFinding> unused;
    for (const auto& [name, number] : c_pVariables) {
        const Uses& uses = c_pUses[number];
        if (uses.reads.empty() && uses.sets.empty())
            unused.push_back({CheckRule::UnusedVariable, "variable " + name, "no condition reads it and no action sets it"});
    }
    for (const auto& [name, number] : names.get_Items()) {
        if (!given.count(number) && !taken.count(number)) {
            unused.push_back({CheckRule::UnusedItem, "item " + name,
                              "no action gives it, it is not carried at the start and no hotspot takes it"});
        }
    }
    c_pUnused.insert(c_pUnused.begin(), unused.begin(), unused.end());
}

std::string WorldUses::ScreenName(int number) const
{
    const auto it = c_pScreenNames.find(number);
    return it != c_pScreenNames.end() ? it->second : "screen " + std::to_string(number);
}

void WorldUses::Read(int variable, const std::string& where)
{
    if (const auto it = c_pUses.find(variable); it != c_pUses.end()) AddOnce(it->second.reads, where);
}

void WorldUses::Set(int variable, const std::string& where)
{
    if (const auto it = c_pUses.find(variable); it != c_pUses.end()) AddOnce(it->second.sets, where);
}

std::string WorldUses::FormatVariableUses() const
{
    const auto places = [](const std::vector<std::string>& list) {
        if (list.empty()) return std::string(" nowhere");
        std::string text;
        for (const std::string& place : list) text += "\n      " + place;
        return text;
    };
    std::string text;
    for (const auto& [name, number] : c_pVariables) {
        const Uses& uses = c_pUses.at(number);
        text += "  " + name + " (" + std::to_string(number) + ")\n    read:" + places(uses.reads) + "\n    set:" +
                places(uses.sets) + "\n";
    }
    return text;
}
