#include "world_census.h"

#include <sstream>
#include <string_view>
#include <variant>

#include "display/world_inventory.h"
#include "world/action_codes.h"
#include "world/condition_evaluator.h"
#include "world/world_manager.h"
#include "world/world_overlay.h"
#include "world_checker.h"
#include "world_walk.h"

namespace {

constexpr int kDefaultCursor = 1;

bool EndsWith(std::wstring_view text, std::wstring_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

void CountCodes(WorldCensus& census, const std::vector<int>& tokens)
{
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        census.conditionCodes.insert(tokens[i]);
        if (IsConditionOperand(tokens[i])) ++i;
    }
}

// How many of a list's actions were made by a construction helper rather than written out.
int HelperActions(const ListSite& site, HotspotKind kind)
{
    if (site.hotspot == nullptr) return 0;
    switch (kind) {
    case HotspotKind::StandardMove: return site.listIndex == 0 ? 1 : 0;
    case HotspotKind::CodeKey: return 3;
    case HotspotKind::BookForward:
    case HotspotKind::BookBack: return 2;
    case HotspotKind::Plain: return IsConditionalExitList(*site.list, nullptr) ? 1 : 0;
    }
    return 0;
}

void CountHotspot(WorldCensus& census, const WorldScreen& screen, const WorldHotspot& hotspot)
{
    ++census.hotspots;
    if (!hotspot.get_Conditions().empty()) {
        ++census.conditionListsOnHotspots;
        CountCodes(census, hotspot.get_Conditions());
    }
    switch (ClassifyHotspot(screen, hotspot)) {
    case HotspotKind::StandardMove: {
        ++census.standardMoves;
        if (hotspot.get_Cursor() == kDefaultCursor) ++census.standardMovesDefaultCursor;
        if (hotspot.get_ActionlistCount() > 0 && hotspot.GetActionlist(0)->get_ActionNumber() > 0) {
            const WorldAction& move = *hotspot.GetActionlist(0)->getAction(0);
            if (FloatParam(move, 2)) ++census.movesWithAngle;
            if (NumberParam(move, 3)) ++census.movesWithPointerReset;
            if (NumberParam(move, 1)) ++census.movesWithTransition;
        }
        break;
    }
    case HotspotKind::CodeKey: ++census.codeKeys; break;
    case HotspotKind::BookForward:
    case HotspotKind::BookBack: ++census.bookStrips; break;
    case HotspotKind::Plain: {
        ++census.otherHotspots;
        if (hotspot.get_Cursor() == kDefaultCursor) ++census.otherHotspotsDefaultCursor;
        bool equal = false, differs = false;
        for (int i = 0; i < hotspot.get_ActionlistCount(); ++i) {
            bool isDiffers = false;
            if (IsConditionalExitList(*hotspot.GetActionlist(i), &isDiffers)) (isDiffers ? differs : equal) = true;
        }
        if (equal) ++census.conditionalExits;
        if (equal && differs) ++census.conditionalExitsBothWays;
        break;
    }
    }
}

void CountScreens(WorldCensus& census, const WorldManager& world)
{
    for (const auto& screen : world.get_Screens()) {
        ++census.screens;
        bool forward = false, back = false;
        for (int h = 0; h < screen->get_HotspotCount(); ++h) {
            const WorldHotspot& hotspot = *screen->GetHotspot(h);
            CountHotspot(census, *screen, hotspot);
            const HotspotKind kind = ClassifyHotspot(*screen, hotspot);
            forward |= kind == HotspotKind::BookForward;
            back |= kind == HotspotKind::BookBack;
        }
        if (forward || back) {
            ++census.bookPages;
            if (!back) ++census.books;  // a first page has no way back
        } else if (screen->get_Type() == WorldScreen::kPanorama) {
            ++census.panoramas;
        } else if (screen->get_Type() == WorldScreen::kFlat) {
            ++census.flatScreens;
        } else {
            ++census.otherTypes;
        }
        census.overlays += screen->get_OverlayCount();
        for (int i = 0; i < screen->get_OverlayCount(); ++i) {
            const std::vector<int>& tokens = screen->GetOverlay(i)->get_Conditions();
            if (tokens.empty()) continue;
            ++census.conditionalOverlays;
            ++census.conditionListsOnOverlays;
            CountCodes(census, tokens);
        }
        census.strips += screen->get_OverlayCountArray();
        census.replacementImages += screen->get_OverwriteBaseImageCount();
    }
}

void CountAction(WorldCensus& census, const WorldAction& action, bool direct)
{
    ++census.actions[action.get_Type()];
    if (!direct) return;
    ++census.directActions[action.get_Type()];
    if (action.get_Type() == ACT_PlayVideo) ++census.videos;
    if (action.get_Type() != ACT_PlaySound || action.get_ParamCount() == 0) return;
    const auto* path = std::get_if<const wchar_t*>(&action.getParamValueObject(0));
    if (path == nullptr || *path == nullptr) return;
    if (EndsWith(*path, L".mp3")) ++census.mp3Sounds;
    if (EndsWith(*path, L".wav")) ++census.wavSounds;
}

void CountLists(WorldCensus& census, const WorldManager& world)
{
    std::map<const WorldActionlist*, int> places;
    ForEachListSite(world, [&](const ListSite& site) {
        if (places[site.list]++ > 0) return;
        ++census.actionLists;
        if (!site.list->get_Type() && site.hotspot != nullptr) ++census.itemUseLists[site.list->get_Number()];
        if (!site.list->get_Conditions().empty()) {
            ++census.conditionListsOnActionLists;
            if (site.hotspot != nullptr && IsConditionalExitList(*site.list, nullptr)) ++census.conditionListsOfExits;
            CountCodes(census, site.list->get_Conditions());
        }
        const HotspotKind kind =
            site.hotspot != nullptr ? ClassifyHotspot(*site.screen, *site.hotspot) : HotspotKind::Plain;
        const int made = HelperActions(site, kind);
        for (int i = 0; i < site.list->get_ActionNumber(); ++i) {
            CountAction(census, *site.list->getAction(i), i >= made);
        }
    });
    for (const auto& [list, count] : places) {
        if (count > 1) ++census.sharedLists;
    }
}

}  // namespace

WorldCensus TakeCensus(WorldManager& world)
{
    WorldCensus census;
    CountScreens(census, world);
    CountLists(census, world);
    census.variables = static_cast<int>(world.get_GlobalVars().size());
    for (int n = kFirstItemNumber; n <= kLastItemNumber; ++n) {
        if (world.get_Inventory()->GetItem(n) != nullptr) ++census.items;
    }
    census.ambientSounds = static_cast<int>(world.get_RepetiveSounds().size());
    return census;
}

std::string FormatCensus(const WorldCensus& c)
{
    std::ostringstream out;
    const auto codes = [](const std::map<int, int>& byCode) {
        std::string text;
        for (const auto& [code, count] : byCode) text += " " + std::to_string(code) + ":" + std::to_string(count);
        return text.empty() ? std::string(" none") : text;
    };
    out << "screens            " << c.screens << " (panoramas " << c.panoramas << ", flat " << c.flatScreens
        << ", other types " << c.otherTypes << ", book pages " << c.bookPages << " in " << c.books << " books)\n";
    out << "hotspots           " << c.hotspots << "\n";
    out << "  standard moves   " << c.standardMoves << " (default cursor " << c.standardMovesDefaultCursor
        << ", with view angle " << c.movesWithAngle << ", pointer reset " << c.movesWithPointerReset
        << ", transition " << c.movesWithTransition << ")\n";
    out << "  other hotspots   " << c.otherHotspots << " (default cursor " << c.otherHotspotsDefaultCursor
        << "; conditional exits " << c.conditionalExits << ", " << c.conditionalExitsBothWays << " with both targets)\n";
    out << "  code keys        " << c.codeKeys << "\n";
    out << "  book strips      " << c.bookStrips << "\n";
    out << "pictures           overlays " << c.overlays << " (" << c.conditionalOverlays << " conditional), strips "
        << c.strips << ", replacement images " << c.replacementImages << "\n";
    out << "action lists       " << c.actionLists << " (" << c.sharedLists << " attached at several places)\n";
    out << "action codes       all" << codes(c.actions) << "\n";
    out << "  written out      " << codes(c.directActions).substr(1) << "\n";
    int itemUses = 0;
    for (const auto& [item, count] : c.itemUseLists) itemUses += count;
    out << "item-use lists     " << itemUses << " (by item" << codes(c.itemUseLists) << ")\n";
    out << "condition lists    " << c.conditionListsOnActionLists + c.conditionListsOnOverlays + c.conditionListsOnHotspots
        << " (on action lists " << c.conditionListsOnActionLists << ", of which conditional exits "
        << c.conditionListsOfExits << "; on overlays " << c.conditionListsOnOverlays << "; on hotspots "
        << c.conditionListsOnHotspots << ")\n";
    out << "condition codes   ";
    for (int code : c.conditionCodes) out << " " << code;
    out << "\n";
    out << "sounds played      " << c.mp3Sounds << " .mp3, " << c.wavSounds << " .wav (written-out actions); videos "
        << c.videos << "\n";
    out << "variables          " << c.variables << "; items " << c.items << "; ambient sounds " << c.ambientSounds
        << "\n";
    return out.str();
}
