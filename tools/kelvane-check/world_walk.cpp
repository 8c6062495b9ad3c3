#include "world_walk.h"

#include <variant>

#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/hotspot_cursor.h"
#include "world/world_action.h"
#include "world/world_manager.h"

namespace {
constexpr int kDefaultGotoTarget = 1;  // the interpreter's default when no target is given
}

void ForEachListSite(const WorldManager& world, const std::function<void(const ListSite&)>& visit)
{
    for (const auto& screen : world.get_Screens()) {
        ListSite site;
        site.screen = screen.get();
        for (int i = 0; i < screen->get_PreActionsCount(); ++i) {
            site.listIndex = i;
            site.list = screen->GetPreActionList(i);
            visit(site);
        }
        for (int h = 0; h < screen->get_HotspotCount(); ++h) {
            site.hotspot = screen->GetHotspot(h);
            site.hotspotIndex = h;
            for (int i = 0; i < site.hotspot->get_ActionlistCount(); ++i) {
                site.listIndex = i;
                site.list = site.hotspot->GetActionlist(i);
                visit(site);
            }
        }
    }
}

std::string SiteName(const ListSite& site)
{
    std::string name = "screen " + std::to_string(site.screen->get_Number());
    if (site.hotspot == nullptr) return name + ", entry list " + std::to_string(site.listIndex);
    return name + ", hotspot " + std::to_string(site.hotspotIndex) + ", list " + std::to_string(site.listIndex);
}

std::string ActionName(int code)
{
    static const char* const kNames[] = {
        "ACT_GotoScreen", "ACT_ReloadScreen",  "ACT_SetVar",   "ACT_ActivateItem",       "ACT_ShowItem",
        "ACT_HideCursor", "ACT_HideInventory", "ACT_PlaySound", "ACT_Wait",              "ACT_PlayVideo",
        "ACT_PlaySong",   "ACT_ClickArray",    "ACT_StartRepetiveSound", "ACT_DropItem", "ACT_EndGame"};
    if (code >= ACT_GotoScreen && code <= ACT_EndGame) return kNames[code];
    return "action code " + std::to_string(code);
}

std::optional<float> FloatParam(const WorldAction& action, int type)
{
    std::optional<float> value;
    for (int i = 0; i < action.get_ParamCount(); ++i) {
        if (action.getParamType(i) != type) continue;
        if (const float* number = std::get_if<float>(&action.getParamValueObject(i))) value = *number;
    }
    return value;
}

std::optional<int> NumberParam(const WorldAction& action, int type)
{
    const std::optional<float> value = FloatParam(action, type);
    if (!value) return std::nullopt;
    return TruncateParam(*value);
}

std::optional<int> FirstNumber(const WorldAction& action)
{
    if (action.get_ParamCount() == 0) return std::nullopt;
    if (const float* number = std::get_if<float>(&action.getParamValueObject(0))) return TruncateParam(*number);
    return std::nullopt;
}

int GotoTarget(const WorldAction& action) { return NumberParam(action, 0).value_or(kDefaultGotoTarget); }

namespace {

// Book strips: the forward strip across a page's right edge, the back strip across its left.
constexpr int kForwardX1 = 824, kForwardX2 = 1024;
constexpr int kBackX1 = 0, kBackX2 = 200;
constexpr int kStripY1 = 0, kStripY2 = 512;
constexpr int kCursorTurnLeft = 2;
constexpr int kCursorTurnRight = 3;

bool IsSingleClickList(const WorldHotspot& hotspot)
{
    if (hotspot.get_ActionlistCount() != 1) return false;
    const WorldActionlist* list = hotspot.GetActionlist(0);
    return list->get_Type() && list->get_Number() == 0 && list->get_ConditionNumber() == 0;
}

bool HasCodes(const WorldActionlist& list, std::initializer_list<int> codes)
{
    if (list.get_ActionNumber() != static_cast<int>(codes.size())) return false;
    int i = 0;
    for (int code : codes) {
        if (list.getAction(i++)->get_Type() != code) return false;
    }
    return true;
}

bool IsPageTurn(const WorldHotspot& hotspot, int x1, int x2, int cursor, int target)
{
    if (hotspot.get_X1() != x1 || hotspot.get_X2() != x2 || hotspot.get_Y1() != kStripY1 ||
        hotspot.get_Y2() != kStripY2 || hotspot.get_Cursor() != cursor || hotspot.get_SimpleMove() ||
        !IsSingleClickList(hotspot)) {
        return false;
    }
    const WorldActionlist& list = *hotspot.GetActionlist(0);
    return HasCodes(list, {ACT_GotoScreen, ACT_PlaySound}) && GotoTarget(*list.getAction(0)) == target &&
           NumberParam(*list.getAction(0), 1) == 0;
}

}  // namespace

HotspotKind ClassifyHotspot(const WorldScreen& screen, const WorldHotspot& hotspot)
{
    if (hotspot.get_SimpleMove()) return HotspotKind::StandardMove;
    const int number = screen.get_Number();
    if (screen.get_Type() == WorldScreen::kFlat) {
        if (IsPageTurn(hotspot, kForwardX1, kForwardX2, kCursorTurnRight, number + 1)) return HotspotKind::BookForward;
        if (IsPageTurn(hotspot, kBackX1, kBackX2, kCursorTurnLeft, number - 1)) return HotspotKind::BookBack;
    }
    if (hotspot_cursor::Reacts(hotspot.get_Cursor()) && IsSingleClickList(hotspot) &&
        HasCodes(*hotspot.GetActionlist(0), {ACT_PlaySound, ACT_ClickArray, ACT_ReloadScreen})) {
        return HotspotKind::CodeKey;
    }
    return HotspotKind::Plain;
}

bool IsConditionalExitList(const WorldActionlist& list, bool* differs)
{
    const std::vector<int>& c = list.get_Conditions();
    if (c.size() != 5 || c[0] != CT_Var || c[3] != CT_Value || (c[2] != CT_Equal && c[2] != CT_NotEqual)) return false;
    if (!list.get_Type() || !HasCodes(list, {ACT_GotoScreen})) return false;
    if (differs != nullptr) *differs = c[2] == CT_NotEqual;
    return true;
}
