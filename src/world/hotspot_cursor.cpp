#include "world/hotspot_cursor.h"

#include <cmath>
#include <variant>

#include "world/action_codes.h"
#include "world/world_action.h"
#include "world/world_actionlist.h"
#include "world/world_hotspot.h"
#include "world/world_screen.h"

namespace hotspot_cursor {

namespace {

constexpr const char* kNames[kCount] = {"normal", "react", "turn_left", "turn_right", "loading", "walk",
                                        "take",   "use",   "look",      "read",       "back"};

// A close view's way back runs along its foot: from this row down, across its whole width.
constexpr int kFootRow = 400;
constexpr int kFlatWidth = 1024;

// The screen a move goes to: its parameter of type 0 (the interpreter's default is screen 1).
int MoveTarget(const WorldAction& action)
{
    for (int i = 0; i < action.get_ParamCount(); ++i) {
        if (action.getParamType(i) != 0) continue;
        if (const float* value = std::get_if<float>(&action.getParamValueObject(i))) return static_cast<int>(*value);
    }
    return 1;
}

struct Does {
    bool gives = false, shows = false, moves = false;
    int target = 0;
};

void Scan(const WorldActionlist& list, Does& does)
{
    for (int i = 0; i < list.get_ActionNumber(); ++i) {
        const WorldAction& action = *list.getAction(i);
        switch (action.get_Type()) {
        case ACT_ActivateItem: does.gives = true; break;
        case ACT_ShowItem: does.shows = true; break;
        case ACT_GotoScreen:
            if (!does.moves) does.target = MoveTarget(action);
            does.moves = true;
            break;
        default: break;
        }
    }
}

int KindOfMove(const WorldHotspot& hotspot, const WorldScreen& on, const WorldScreen* to)
{
    if (to == nullptr) return kWalk;
    if (to->get_BookPage()) return kRead;
    const bool fromPanorama = on.get_Type() == WorldScreen::kPanorama;
    const bool toPanorama = to->get_Type() == WorldScreen::kPanorama;
    if (fromPanorama) return toPanorama ? kWalk : kLook;
    const bool alongFoot = hotspot.get_Y1() >= kFootRow && hotspot.get_X1() <= 0 && hotspot.get_X2() >= kFlatWidth - 1;
    if (alongFoot) return kBack;
    return toPanorama ? kWalk : kLook;
}

}  // namespace

const char* Name(int cursor) { return cursor >= 0 && cursor < kCount ? kNames[cursor] : ""; }

std::optional<int> Named(std::string_view name)
{
    for (int i = 0; i < kCount; ++i)
        if (name == kNames[i]) return i;
    return std::nullopt;
}

bool Reacts(int cursor) { return cursor == kReact || (cursor >= kWalk && cursor < kCount); }

int ByAction(const WorldHotspot& hotspot, const WorldScreen& on, const std::function<const WorldScreen*(int)>& screen)
{
    Does plain, withItem;
    for (int i = 0; i < hotspot.get_ActionlistCount(); ++i) {
        const WorldActionlist& list = *hotspot.GetActionlist(i);
        Scan(list, list.get_Type() && list.get_Number() == 0 ? plain : withItem);
    }
    if (plain.gives) return kTake;
    if (plain.shows) return kLook;
    if (plain.moves) return KindOfMove(hotspot, on, screen(plain.target));
    // Nothing moves without an item: a way that opens to one (a dark passage and the lamp) is
    // still a way on; anything else is a thing to use.
    if (withItem.moves && !withItem.gives) return KindOfMove(hotspot, on, screen(withItem.target));
    return kUse;
}

int ItemGiven(const WorldHotspot& hotspot)
{
    for (int i = 0; i < hotspot.get_ActionlistCount(); ++i) {
        const WorldActionlist& list = *hotspot.GetActionlist(i);
        if (!(list.get_Type() && list.get_Number() == 0)) continue;
        for (int a = 0; a < list.get_ActionNumber(); ++a) {
            const WorldAction& action = *list.getAction(a);
            if (action.get_Type() != ACT_ActivateItem || action.get_ParamCount() == 0) continue;
            if (const float* value = std::get_if<float>(&action.getParamValueObject(0))) return static_cast<int>(*value);
        }
    }
    return 0;
}

}  // namespace hotspot_cursor
