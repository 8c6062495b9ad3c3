#include "world_checker.h"

#include <algorithm>
#include <map>
#include <variant>

#include "display/world_inventory.h"
#include "display/world_item.h"
#include "file_probe.h"
#include "media/music_manager.h"
#include "media/repetive_sound.h"
#include "script/world_files.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/condition_evaluator.h"
#include "world/world_manager.h"
#include "world_walk.h"

namespace {

// Hotspot image space: around a panorama, and across a flat screen; both 512 rows high.
constexpr int kPanoramaWidth = 2048;
constexpr int kFlatWidth = 1024;
constexpr int kImageHeight = 512;
constexpr int kStartScreen = 0;

enum class ParamKind { Number, Path, Subtitles };

const char* KindName(ParamKind kind)
{
    switch (kind) {
    case ParamKind::Number: return "a number";
    case ParamKind::Path: return "a file path";
    default: return "a subtitle list";
    }
}

ParamKind KindOf(const WorldParamValue& value)
{
    if (std::holds_alternative<float>(value)) return ParamKind::Number;
    if (std::holds_alternative<const wchar_t*>(value)) return ParamKind::Path;
    return ParamKind::Subtitles;
}

// The parameter types an action reads by type code, with the kind of each; every other
// type code is ignored by the interpreter.
std::optional<ParamKind> TypedParamKind(int code, int type)
{
    const auto numbers = [type](int last) -> std::optional<ParamKind> {
        if (type >= 0 && type <= last) return ParamKind::Number;
        return std::nullopt;
    };
    switch (code) {
    case ACT_GotoScreen: return numbers(3);
    case ACT_ReloadScreen: return numbers(1);
    case ACT_SetVar: return numbers(3);
    case ACT_Wait: return numbers(4);
    case ACT_PlaySong: return numbers(1);
    case ACT_ClickArray: return numbers(2);
    case ACT_StartRepetiveSound: return numbers(2);
    case ACT_EndGame: return numbers(0);  // 1: on to the credits at once
    case ACT_PlayVideo:
        if (type == 0) return ParamKind::Path;
        if (type == 5) return ParamKind::Subtitles;
        return numbers(4);
    default: return std::nullopt;
    }
}

// Actions that read only their first parameter, whatever its type code.
std::optional<ParamKind> FirstParamKind(int code)
{
    switch (code) {
    case ACT_ActivateItem:
    case ACT_ShowItem:
    case ACT_HideCursor:
    case ACT_HideInventory: return ParamKind::Number;
    case ACT_PlaySound: return ParamKind::Path;
    default: return std::nullopt;
    }
}

bool IsKnownOperator(int code)
{
    switch (code) {
    case CT_Equal: case CT_Greater: case CT_Less: case CT_NotEqual:
    case CT_Not: case CT_Or: case CT_And: case CT_Open: case CT_Close: return true;
    default: return false;
    }
}

bool IsGridOperand(int code)
{
    return code == CT_ArrayTotal || code == CT_ArrayAllChecked || code == CT_ArrayNotAllChecked;
}

std::string Tokens(const std::vector<int>& tokens)
{
    std::string text = "[";
    for (std::size_t i = 0; i < tokens.size(); ++i) text += (i ? ", " : "") + std::to_string(tokens[i]);
    return text + "]";
}

std::string ActionWhere(const std::string& where, int index, const WorldAction& action)
{
    return where + ", action " + std::to_string(index) + " (" + ActionName(action.get_Type()) + ")";
}

}  // namespace

bool IsFault(CheckRule rule) { return rule < CheckRule::UnknownVariable; }

const char* RuleName(CheckRule rule)
{
    switch (rule) {
    case CheckRule::MissingFile: return "missing file";
    case CheckRule::UndecodableFile: return "file does not decode";
    case CheckRule::UnknownScreen: return "no such screen";
    case CheckRule::UnknownItem: return "no such item";
    case CheckRule::UnknownGrid: return "no such grid";
    case CheckRule::UnknownSong: return "no such song";
    case CheckRule::UnknownAmbientSound: return "no such ambient sound";
    case CheckRule::CellOutsideGrid: return "cell outside its grid";
    case CheckRule::MalformedCondition: return "malformed condition";
    case CheckRule::ParameterKind: return "parameter of the wrong kind";
    case CheckRule::MissingParameter: return "missing parameter";
    case CheckRule::UnknownActionCode: return "unknown action code";
    case CheckRule::NoStartScreen: return "no start screen";
    case CheckRule::UnreachableScreen: return "unreachable screen";
    case CheckRule::UnreachableClue: return "clue never found";
    case CheckRule::ItemNeverGiven: return "item used but never given";
    case CheckRule::WorldNotBuilt: return "world not built";
    case CheckRule::WorldFileFault: return "world file";
    case CheckRule::UnknownVariable: return "no such variable";
    case CheckRule::UnreadParameter: return "parameter never read";
    case CheckRule::ShadowedScreen: return "screen number used twice";
    case CheckRule::BlockOutsidePicture: return "block outside its picture";
    case CheckRule::HotspotOutsidePicture: return "hotspot outside the picture";
    case CheckRule::ItemUseWithoutItem: return "item list for no item";
    case CheckRule::UnusedVariable: return "variable never used";
    case CheckRule::UnusedItem: return "item never used";
    case CheckRule::HotspotWithoutActions: return "hotspot without actions";
    }
    return "?";
}

// ---- condition shape ----

namespace {

struct ShapePair {
    bool operand;
    int code;  // operators only
};

enum class ShapeStep { Changed, Unchanged, OperandPair, UnmatchedClose };

// One scan from the left with the interpreter's reduction rules, on kinds alone.
ShapeStep ReduceShapeOnce(std::vector<ShapePair>& pairs)
{
    const auto erase = [&pairs](std::size_t from, std::size_t count) {
        pairs.erase(pairs.begin() + static_cast<std::ptrdiff_t>(from),
                    pairs.begin() + static_cast<std::ptrdiff_t>(from + count));
    };
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (!pairs[i].operand) {
            if (pairs[i].code == CT_Not && i + 1 < pairs.size() && pairs[i + 1].operand) {
                pairs[i] = {true, 0};
                erase(i + 1, 1);
                return ShapeStep::Changed;
            }
            continue;
        }
        if (i + 1 >= pairs.size()) break;
        const ShapePair next = pairs[i + 1];
        if (next.operand) return ShapeStep::OperandPair;
        if (next.code == CT_Open || next.code == CT_Not) continue;
        if (next.code == CT_Close) {
            if (i == 0 || pairs[i - 1].operand || pairs[i - 1].code != CT_Open) return ShapeStep::UnmatchedClose;
            pairs[i - 1] = {true, 0};
            erase(i, 2);
            return ShapeStep::Changed;
        }
        if (i + 2 < pairs.size() && pairs[i + 2].operand) {
            erase(i + 1, 2);
            return ShapeStep::Changed;
        }
    }
    return ShapeStep::Unchanged;
}

}  // namespace

std::string ConditionShapeError(const std::vector<int>& tokens)
{
    std::vector<ShapePair> pairs;
    for (std::size_t i = 0; i < tokens.size();) {
        if (IsConditionOperand(tokens[i])) {
            if (i + 1 >= tokens.size()) return "the last operand (code " + std::to_string(tokens[i]) + ") has no argument";
            pairs.push_back({true, 0});
            i += 2;
        } else {
            if (!IsKnownOperator(tokens[i])) {
                return "token " + std::to_string(i) + " (" + std::to_string(tokens[i]) +
                       ") is neither an operand code nor an operator";
            }
            pairs.push_back({false, tokens[i]});
            i += 1;
        }
    }
    while (pairs.size() > 1) {
        switch (ReduceShapeOnce(pairs)) {
        case ShapeStep::Changed: continue;
        case ShapeStep::OperandPair: return "two operands follow each other without an operator (always false)";
        case ShapeStep::UnmatchedClose: return "a closing parenthesis has no opening one";
        case ShapeStep::Unchanged:
            return "it does not reduce to one value (an operator lacks an operand or a parenthesis is not closed)";
        }
    }
    if (!pairs.empty() && !pairs[0].operand) return "it holds an operator and no operand";
    return {};
}

// ---- the checker ----

WorldChecker::WorldChecker(WorldManager& world, std::vector<MusicTrack> tracks, FileProbe& probe)
    : c_pWorld(world), c_pTracks(std::move(tracks)), c_pProbe(probe)
{
}

std::vector<CheckFinding> WorldChecker::Check()
{
    c_pFindings.clear();
    c_pReportedFiles.clear();
    CollectGrids();
    CheckTracks();
    CheckScreens();
    CheckItems();
    CheckAmbientSounds();
    CheckLists();
    CheckReachability();
    return c_pFindings;
}

void WorldChecker::Add(CheckRule rule, const std::string& where, const std::string& what)
{
    c_pFindings.push_back({rule, where, what});
}

void WorldChecker::CheckPicture(const std::string& where, const char* path, int offset)
{
    if (path == nullptr) {
        Add(CheckRule::MissingFile, where, "no picture file is named");
        return;
    }
    const ProbedFile& file = c_pProbe.Picture(path, offset);
    if (file.Ok() || !c_pReportedFiles.insert(path).second) return;
    Add(file.missing ? CheckRule::MissingFile : CheckRule::UndecodableFile, where,
        std::string(path) + ": " + file.error);
}

void WorldChecker::CheckSound(const std::string& where, const wchar_t* path)
{
    if (path == nullptr) return;  // reported as a parameter fault where it is named
    const ProbedFile& file = c_pProbe.Sound(path);
    if (file.Ok() || !c_pReportedFiles.insert(Narrow(path)).second) return;
    Add(file.missing ? CheckRule::MissingFile : CheckRule::UndecodableFile, where, Narrow(path) + ": " + file.error);
}

const WorldScreen* WorldChecker::FindScreen(int number) const
{
    // Exact lookup: the game's own lookup falls back to the last screen, which would hide
    // exactly the mistakes looked for here.
    for (const auto& screen : c_pWorld.get_Screens()) {
        if (screen->get_Number() == number) return screen.get();
    }
    return nullptr;
}

bool WorldChecker::HasVariable(int number) const
{
    const auto& vars = c_pWorld.get_GlobalVars();
    return std::any_of(vars.begin(), vars.end(), [number](const auto& var) { return var->get_Number() == number; });
}

bool WorldChecker::HasItem(int number) const { return c_pWorld.get_Inventory()->GetItem(number) != nullptr; }

bool WorldChecker::HasAmbientSound(int number) const
{
    const auto& sounds = c_pWorld.get_RepetiveSounds();
    return std::any_of(sounds.begin(), sounds.end(),
                       [number](const auto& sound) { return sound->get_Number() == number; });
}

void WorldChecker::CollectGrids()
{
    c_pGridNumbers.clear();
    ForEachListSite(c_pWorld, [this](const ListSite& site) {
        for (int i = 0; i < site.list->get_ActionNumber(); ++i) {
            const WorldAction& action = *site.list->getAction(i);
            if (action.get_Type() == ACT_ClickArray) c_pGridNumbers.insert(NumberParam(action, 0).value_or(0));
        }
        const std::vector<int>& tokens = site.list->get_Conditions();
        for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
            if (IsGridOperand(tokens[i])) c_pGridNumbers.insert(tokens[i + 1]);
            if (IsConditionOperand(tokens[i])) ++i;
        }
    });
}

int WorldChecker::StripFrames(int variable) const
{
    for (int number : c_pGridNumbers) {
        const WorldGlobalVarArray* grid = c_pWorld.getGlobalVarArray(number);
        if (grid == nullptr) continue;
        const int cells = grid->get_Width() * grid->get_Height();
        if (variable >= grid->get_Start() && variable < grid->get_Start() + cells) return grid->get_NumberMax() + 1;
    }
    // A plain variable: at least the frame its present value selects must exist.
    return static_cast<unsigned char>(c_pWorld.getGlobalVarValue(variable)) + 1;
}

void WorldChecker::CheckTracks()
{
    for (const MusicTrack& track : c_pTracks) {
        CheckSound("music track " + std::to_string(track.number), track.path.c_str());
    }
}

void WorldChecker::CheckScreens()
{
    std::set<int> seen;
    for (const auto& screen : c_pWorld.get_Screens()) {
        const std::string where = "screen " + std::to_string(screen->get_Number());
        if (!seen.insert(screen->get_Number()).second) {
            Add(CheckRule::ShadowedScreen, where,
                "an earlier screen has the same number, so this one is never entered by its number");
        }
        CheckScreenPictures(*screen);
        CheckHotspots(*screen);
    }
}

void WorldChecker::CheckScreenPictures(const WorldScreen& screen)
{
    const std::string where = "screen " + std::to_string(screen.get_Number());
    CheckPicture(where + ", base image", screen.get_BaseImage(), screen.get_Offset());
    for (int i = 0; i < screen.get_OverwriteBaseImageCount(); ++i) {
        const WorldOverwriteBaseImage* overwrite = screen.GetOverwriteBaseImage(i);
        const std::string at = where + ", replacement image " + std::to_string(i);
        CheckPicture(at, overwrite->get_BaseImage(), screen.get_Offset());
        if (!HasVariable(overwrite->get_VarNumber())) {
            Add(CheckRule::UnknownVariable, at, "depends on variable " + std::to_string(overwrite->get_VarNumber()) +
                                                    ", which the world does not define");
        }
    }
    for (int i = 0; i < screen.get_OverlayCount(); ++i) {
        const WorldOverlay* overlay = screen.GetOverlay(i);
        const std::string at = where + ", overlay " + std::to_string(i);
        CheckPicture(at, overlay->get_ImagePath(), overlay->get_Offset());
        CheckCondition(at, overlay->get_Conditions());
        const ProbedFile& file = c_pProbe.Picture(overlay->get_ImagePath() ? overlay->get_ImagePath() : "",
                                                  overlay->get_Offset());
        if (file.Ok() && (overlay->get_W() > file.width || overlay->get_H() > file.height)) {
            Add(CheckRule::BlockOutsidePicture, at,
                "a " + std::to_string(overlay->get_W()) + " x " + std::to_string(overlay->get_H()) +
                    " block from a " + std::to_string(file.width) + " x " + std::to_string(file.height) + " picture");
        }
    }
    for (int i = 0; i < screen.get_OverlayCountArray(); ++i) {
        const WorldOverlayArray* strip = screen.GetOverlayArray(i);
        const std::string at = where + ", strip " + std::to_string(i);
        CheckPicture(at, strip->get_ImagePath(), strip->get_Offset());
        if (!HasVariable(strip->get_VarDependant())) {
            Add(CheckRule::UnknownVariable, at, "selects its frame by variable " +
                                                    std::to_string(strip->get_VarDependant()) +
                                                    ", which the world does not define");
        }
        const ProbedFile& file = c_pProbe.Picture(strip->get_ImagePath() ? strip->get_ImagePath() : "",
                                                  strip->get_Offset());
        const int frames = StripFrames(strip->get_VarDependant());
        if (file.Ok() && (static_cast<long long>(frames) * strip->get_W() > file.width || strip->get_H() > file.height)) {
            Add(CheckRule::BlockOutsidePicture, at,
                std::to_string(frames) + " frames of " + std::to_string(strip->get_W()) + " x " +
                    std::to_string(strip->get_H()) + " do not fit a " + std::to_string(file.width) + " x " +
                    std::to_string(file.height) + " strip");
        }
    }
}

void WorldChecker::CheckHotspots(const WorldScreen& screen)
{
    const int width = screen.get_Type() == WorldScreen::kPanorama ? kPanoramaWidth : kFlatWidth;
    for (int h = 0; h < screen.get_HotspotCount(); ++h) {
        const WorldHotspot* hotspot = screen.GetHotspot(h);
        const std::string at = "screen " + std::to_string(screen.get_Number()) + ", hotspot " + std::to_string(h);
        CheckCondition(at, hotspot->get_Conditions());
        const bool inside = hotspot->get_X1() >= 0 && hotspot->get_Y1() >= 0 && hotspot->get_X2() <= width &&
                            hotspot->get_Y2() <= kImageHeight && hotspot->get_X1() <= hotspot->get_X2() &&
                            hotspot->get_Y1() <= hotspot->get_Y2();
        if (!inside) {
            Add(CheckRule::HotspotOutsidePicture, at,
                "(" + std::to_string(hotspot->get_X1()) + ", " + std::to_string(hotspot->get_Y1()) + ")-(" +
                    std::to_string(hotspot->get_X2()) + ", " + std::to_string(hotspot->get_Y2()) +
                    ") is not within the screen's " + std::to_string(width) + " x " + std::to_string(kImageHeight));
        }
        for (int i = 0; i < hotspot->get_ActionlistCount(); ++i) {
            const WorldActionlist* list = hotspot->GetActionlist(i);
            if (list->get_Type()) continue;
            const std::string listAt = at + ", list " + std::to_string(i);
            if (list->get_Number() == 0) {
                Add(CheckRule::ItemUseWithoutItem, listAt, "an item list for item 0 (no item) never runs");
            } else if (!HasItem(list->get_Number())) {
                Add(CheckRule::UnknownItem, listAt,
                    "runs when item " + std::to_string(list->get_Number()) + " is used, which the world does not define");
            }
        }
    }
}

void WorldChecker::CheckItems()
{
    for (int number = kFirstItemNumber; number <= kLastItemNumber; ++number) {
        const WorldItem* item = c_pWorld.get_Inventory()->GetItem(number);
        if (item == nullptr) continue;
        const std::string where = "item " + std::to_string(number);
        if (FindScreen(item->get_Screen()) == nullptr) {
            Add(CheckRule::UnknownScreen, where,
                "its close-up is screen " + std::to_string(item->get_Screen()) + ", which does not exist");
        }
        CheckSound(where + ", close-up sound", item->get_Sound().c_str());
    }
}

void WorldChecker::CheckAmbientSounds()
{
    for (const auto& sound : c_pWorld.get_RepetiveSounds()) {
        CheckSound("ambient sound " + std::to_string(sound->get_Number()), sound->get_File().c_str());
    }
}

void WorldChecker::CheckLists()
{
    // A list attached at several places is checked once, where it is first attached.
    std::set<const WorldActionlist*> checked;
    ForEachListSite(c_pWorld, [&](const ListSite& site) {
        if (!checked.insert(site.list).second) return;
        const std::string where = SiteName(site);
        CheckCondition(where, site.list->get_Conditions());
        for (int i = 0; i < site.list->get_ActionNumber(); ++i) {
            const WorldAction& action = *site.list->getAction(i);
            CheckAction(ActionWhere(where, i, action), action);
        }
    });
}

void WorldChecker::CheckAction(const std::string& where, const WorldAction& action)
{
    if (action.get_Type() < ACT_GotoScreen || action.get_Type() > ACT_EndGame) {
        Add(CheckRule::UnknownActionCode, where, "the interpreter does nothing for this code");
        return;
    }
    CheckActionParameters(where, action);
    CheckActionTargets(where, action);
}

void WorldChecker::CheckActionParameters(const std::string& where, const WorldAction& action)
{
    const int code = action.get_Type();
    const auto wrongKind = [&](int i, ParamKind expected) {
        Add(CheckRule::ParameterKind, where,
            "parameter " + std::to_string(i) + " (type " + std::to_string(action.getParamType(i)) + ") is " +
                KindName(KindOf(action.getParamValueObject(i))) + " where " + KindName(expected) + " is read");
    };
    const auto unread = [&](int i) {
        Add(CheckRule::UnreadParameter, where,
            "parameter " + std::to_string(i) + " (type " + std::to_string(action.getParamType(i)) +
                ") is never read by this action");
    };
    if (const std::optional<ParamKind> first = FirstParamKind(code)) {
        if (action.get_ParamCount() == 0) {
            Add(CheckRule::MissingParameter, where, std::string("the action needs ") + KindName(*first) + " and has none");
            return;
        }
        if (KindOf(action.getParamValueObject(0)) != *first) wrongKind(0, *first);
        for (int i = 1; i < action.get_ParamCount(); ++i) {
            // A sound's caption: a subtitle list under type 5, as for a film.
            const bool caption = code == ACT_PlaySound && action.getParamType(i) == 5;
            if (caption && KindOf(action.getParamValueObject(i)) != ParamKind::Subtitles) wrongKind(i, ParamKind::Subtitles);
            else if (!caption) unread(i);
        }
        return;
    }
    bool hasVideoPath = false;
    for (int i = 0; i < action.get_ParamCount(); ++i) {
        const std::optional<ParamKind> expected = TypedParamKind(code, action.getParamType(i));
        if (!expected) {
            unread(i);
            continue;
        }
        const WorldParamValue& value = action.getParamValueObject(i);
        if (KindOf(value) != *expected) {
            wrongKind(i, *expected);
        } else if (*expected == ParamKind::Path && std::get<const wchar_t*>(value) == nullptr) {
            Add(CheckRule::ParameterKind, where, "parameter " + std::to_string(i) + " is an empty file path");
        } else if (code == ACT_PlayVideo && action.getParamType(i) == 0) {
            hasVideoPath = true;
        }
    }
    if (code == ACT_PlayVideo && !hasVideoPath) Add(CheckRule::MissingParameter, where, "the video action names no video file");
}

void WorldChecker::CheckActionTargets(const std::string& where, const WorldAction& action)
{
    switch (action.get_Type()) {
    case ACT_GotoScreen: {
        const int target = GotoTarget(action);
        if (FindScreen(target) == nullptr) {
            Add(CheckRule::UnknownScreen, where,
                "leads to screen " + std::to_string(target) + ", which does not exist" +
                    (NumberParam(action, 0) ? "" : " (no target is given, so it leads to screen 1)"));
        }
        break;
    }
    case ACT_ActivateItem:
    case ACT_ShowItem:
        if (const std::optional<int> item = FirstNumber(action); item && !HasItem(*item)) {
            Add(CheckRule::UnknownItem, where, "names item " + std::to_string(*item) + ", which the world does not define");
        }
        break;
    case ACT_PlaySound:
        if (action.get_ParamCount() > 0) {
            if (const auto* path = std::get_if<const wchar_t*>(&action.getParamValueObject(0))) CheckSound(where, *path);
        }
        break;
    case ACT_PlayVideo:
        for (int i = 0; i < action.get_ParamCount(); ++i) {
            const auto* path = std::get_if<const wchar_t*>(&action.getParamValueObject(i));
            if (action.getParamType(i) != 0 || path == nullptr || *path == nullptr) continue;
            const ProbedFile& file = c_pProbe.Video(*path);
            if (!file.Ok() && c_pReportedFiles.insert(Narrow(*path)).second) {
                Add(file.missing ? CheckRule::MissingFile : CheckRule::UndecodableFile, where,
                    Narrow(*path) + ": " + file.error);
            }
        }
        break;
    case ACT_PlaySong: {
        const int song = NumberParam(action, 0).value_or(1);
        const bool known = song == MusicManager::kNoSong ||
                           std::any_of(c_pTracks.begin(), c_pTracks.end(),
                                       [song](const MusicTrack& track) { return track.number == song; });
        if (!known) Add(CheckRule::UnknownSong, where, "plays song " + std::to_string(song) + ", which is not a track");
        break;
    }
    case ACT_ClickArray: {
        const int number = NumberParam(action, 0).value_or(0);
        const WorldGlobalVarArray* grid = c_pWorld.getGlobalVarArray(number);
        if (grid == nullptr) {
            Add(CheckRule::UnknownGrid, where, "clicks grid " + std::to_string(number) + ", which the world does not define");
            break;
        }
        const int column = NumberParam(action, 1).value_or(1);
        const int row = NumberParam(action, 2).value_or(1);
        if (column < 0 || row < 0 || column >= grid->get_Width() || row >= grid->get_Height()) {
            Add(CheckRule::CellOutsideGrid, where,
                "clicks cell (" + std::to_string(column) + ", " + std::to_string(row) + ") of grid " +
                    std::to_string(number) + ", which is " + std::to_string(grid->get_Width()) + " x " +
                    std::to_string(grid->get_Height()));
        }
        break;
    }
    case ACT_StartRepetiveSound: {
        const int number = NumberParam(action, 0).value_or(0);
        if (!HasAmbientSound(number)) {
            Add(CheckRule::UnknownAmbientSound, where,
                "starts ambient sound " + std::to_string(number) + ", which the world does not define");
        }
        break;
    }
    case ACT_SetVar:
        for (int type : {0, 3}) {
            const std::optional<int> var = NumberParam(action, type);
            const int number = type == 0 ? var.value_or(1) : var.value_or(-1);
            if ((type == 0 || var) && !HasVariable(number)) {
                Add(CheckRule::UnknownVariable, where,
                    (type == 0 ? "sets variable " : "copies variable ") + std::to_string(number) +
                        ", which the world does not define");
            }
        }
        break;
    default: break;
    }
}

void WorldChecker::CheckCondition(const std::string& where, const std::vector<int>& tokens)
{
    if (tokens.empty()) return;
    if (const std::string shape = ConditionShapeError(tokens); !shape.empty()) {
        Add(CheckRule::MalformedCondition, where, "condition " + Tokens(tokens) + ": " + shape);
    }
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (!IsConditionOperand(tokens[i])) continue;
        const int argument = tokens[i + 1];
        if (tokens[i] == CT_Var && !HasVariable(argument)) {
            Add(CheckRule::UnknownVariable, where,
                "condition " + Tokens(tokens) + " reads variable " + std::to_string(argument) +
                    ", which the world does not define");
        }
        if (IsGridOperand(tokens[i]) && c_pWorld.getGlobalVarArray(argument) == nullptr) {
            Add(CheckRule::UnknownGrid, where,
                "condition " + Tokens(tokens) + " reads grid " + std::to_string(argument) +
                    ", which the world does not define");
        }
        ++i;  // the argument is not a code
    }
}

// ---- reachability ----

void WorldChecker::Reach()
{
    c_pReached.clear();
    c_pObtainable.clear();
    for (const WorldItem* item : c_pWorld.get_Inventory()->get_ActiveItems()) c_pObtainable.insert(item->get_Number());

    const auto visit = [this](int number) {
        if (const WorldScreen* screen = FindScreen(number)) return c_pReached.insert(screen).second;
        return false;
    };
    const auto closeUp = [&](int itemNumber) {
        const WorldItem* item = c_pWorld.get_Inventory()->GetItem(itemNumber);
        return item != nullptr && visit(item->get_Screen());
    };
    const auto follow = [&](const WorldActionlist& list) {
        bool grew = false;
        for (int i = 0; i < list.get_ActionNumber(); ++i) {
            const WorldAction& action = *list.getAction(i);
            switch (action.get_Type()) {
            case ACT_GotoScreen: grew |= visit(GotoTarget(action)); break;
            case ACT_ShowItem:
                if (const std::optional<int> item = FirstNumber(action)) grew |= closeUp(*item);
                break;
            case ACT_ActivateItem:
                if (const std::optional<int> item = FirstNumber(action)) grew |= c_pObtainable.insert(*item).second;
                break;
            default: break;
            }
        }
        return grew;
    };

    // Conditions are assumed to come true at some point; an item's own lists open once
    // something can give the item, and any item in the bar opens its close-up.
    visit(kStartScreen);
    for (bool grew = true; grew;) {
        grew = false;
        const std::vector<const WorldScreen*> reached(c_pReached.begin(), c_pReached.end());
        for (const WorldScreen* screen : reached) {
            for (int i = 0; i < screen->get_PreActionsCount(); ++i) grew |= follow(*screen->GetPreActionList(i));
            for (int h = 0; h < screen->get_HotspotCount(); ++h) {
                const WorldHotspot* hotspot = screen->GetHotspot(h);
                for (int i = 0; i < hotspot->get_ActionlistCount(); ++i) {
                    const WorldActionlist* list = hotspot->GetActionlist(i);
                    if (list->get_Type() || c_pObtainable.count(list->get_Number()) != 0) grew |= follow(*list);
                }
            }
        }
        const std::set<int> items = c_pObtainable;
        for (int item : items) grew |= closeUp(item);
    }
}

void WorldChecker::CheckReachability()
{
    Reach();
    if (FindScreen(kStartScreen) == nullptr) {
        Add(CheckRule::NoStartScreen, "the world", "there is no screen 0, where a new game starts");
        return;
    }
    std::set<int> seen;
    for (const auto& screen : c_pWorld.get_Screens()) {
        if (!seen.insert(screen->get_Number()).second) continue;  // reported as shadowed
        const std::string where = "screen " + std::to_string(screen->get_Number());
        if (c_pReached.count(screen.get()) == 0) {
            Add(CheckRule::UnreachableScreen, where,
                "no go-to action, conditional exit, book page or close-up leads here from screen 0");
            continue;
        }
        for (int h = 0; h < screen->get_HotspotCount(); ++h) {
            const WorldHotspot* hotspot = screen->GetHotspot(h);
            for (int i = 0; i < hotspot->get_ActionlistCount(); ++i) {
                const WorldActionlist* list = hotspot->GetActionlist(i);
                const int item = list->get_Number();
                if (list->get_Type() || item == 0 || !HasItem(item) || c_pObtainable.count(item) != 0) continue;
                Add(CheckRule::ItemNeverGiven, where + ", hotspot " + std::to_string(h) + ", list " + std::to_string(i),
                    "item " + std::to_string(item) +
                        " is used here, but it is not in the bar at the start and no reachable action gives it");
            }
        }
    }
}

std::vector<CheckFinding> CheckClues(const WorldFiles& files, const WorldManager& world,
                                     const std::set<const WorldScreen*>& reached)
{
    std::vector<CheckFinding> findings;
    for (const WorldFiles::Clue& clue : files.get_Clues()) {
        if (clue.screen.empty()) continue;
        bool found = false;
        for (const auto& screen : world.get_Screens())
            found |= screen->get_Number() == clue.screenNumber && reached.count(screen.get()) != 0;
        if (!found)
            findings.push_back({CheckRule::UnreachableClue, clue.where,
                                "clue '" + clue.name + "' is on screen '" + clue.screen +
                                    "', which no way leads to from screen 0: the journal can never file it"});
    }
    return findings;
}
