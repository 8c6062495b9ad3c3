// Kelvane's world: the keeper's island, the observatory over the cistern, the tower with its
// letters, the lamp gallery, the dome, the tide flats and the drowned observatory below them.
// The places and their exits come from world_content.h (which the content generator reads
// too); the story's machinery - what each puzzle needs and what it changes - is built here.
#include "game/init_world.h"

#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <vector>

#include "core/error.h"
#include "media/subtitle_item.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world/world_book_creator.h"
#include "game/pick_areas.h"
#include "game/world_content.h"
#include "world/world_manager.h"

namespace {

using namespace world_content;
using Tokens = std::vector<int>;

constexpr int kItemSide = 75;
constexpr int kItemHotspot = 37;
constexpr int kPanoramaWidth = 2048;
constexpr int kLamp = 5;  // the hand lamp, needed wherever it is dark
constexpr int kCutSceneWait = 700;
constexpr int kEndingPause = 2000;
// The opening: the logo, the boat and the fade to the causeway, long enough to be seen.
constexpr int kLogoWait = 1000;
constexpr int kLogoFade = 2500;
constexpr int kCrossingWait = 3500;
constexpr int kCausewayFade = 5000;

// ---- conditions ----

Tokens VarIs(int var, int value) { return {CT_Var, var, CT_Equal, CT_Value, value}; }
Tokens GridIs(int grid, int total) { return {CT_ArrayTotal, grid, CT_Equal, CT_Value, total}; }
Tokens LampsLit() { return {CT_ArrayAllChecked, 2}; }
// `a` and `b`; the evaluator has no precedence, so `b` goes in brackets.
Tokens Both(Tokens a, const Tokens& b)
{
    a.push_back(CT_And);
    a.push_back(CT_Open);
    a.insert(a.end(), b.begin(), b.end());
    a.push_back(CT_Close);
    return a;
}
int StarTotal(int panel) { return GridTotal(kStarPatterns[panel], 9, 2); }
Tokens StarsSet()
{
    Tokens t = GridIs(3, StarTotal(0));
    for (int panel = 1; panel < 4; ++panel) t = Both(t, GridIs(3 + panel, StarTotal(panel)));
    return t;
}
int CabinetTotal() { return GridTotal(kCabinetCode, 8, 8); }
int TideTotal(int tide) { return GridTotal(TideSetting(tide), 5, 5); }
// `a` or `b`; each comparison goes in brackets, as the evaluator has no precedence.
Tokens Either(const Tokens& a, const Tokens& b)
{
    Tokens t{CT_Open};
    t.insert(t.end(), a.begin(), a.end());
    t.insert(t.end(), {CT_Close, CT_Or, CT_Open});
    t.insert(t.end(), b.begin(), b.end());
    t.push_back(CT_Close);
    return t;
}

template <class T>
void Require(T* target, const Tokens& tokens)
{
    for (int token : tokens) target->addCondition(token);
}

Tokens OverlayCondition(const OverlayDef& o)
{
    switch (o.when) {
    case When::VarEquals: return VarIs(o.var, o.value);
    case When::LampsLit: return LampsLit();
    case When::StarsSet: return StarsSet();
    case When::TideLow: return VarIs(kTide, 4);
    case When::CabinetOpen: return GridIs(1, CabinetTotal());
    case When::LettersThere: return Both(VarIs(kLettersInCabinet, 1), GridIs(1, CabinetTotal()));
    }
    return {};
}

// ---- actions ----

void Goto(WorldActionlist* list, int screen) { list->addAction(ACT_GotoScreen)->addParam(0, static_cast<float>(screen)); }
void SetVar(WorldActionlist* list, int var, int value)
{
    WorldAction* set = list->addAction(ACT_SetVar);
    set->addParam(0, static_cast<float>(var));
    set->addParam(1, static_cast<float>(value));
}
void Sound(WorldActionlist* list, const wchar_t* path) { list->addAction(ACT_PlaySound)->addParamObject(0, path); }
// A sound with its words shown for players who cannot hear it.
void Sound(WorldActionlist* list, const wchar_t* path, SubtitleItem* caption)
{
    WorldAction* play = list->addAction(ACT_PlaySound);
    play->addParamObject(0, path);
    play->addParamObject(5, caption);
}
void Reload(WorldActionlist* list) { list->addAction(ACT_ReloadScreen)->addParam(0, 0.0f); }
void Hide(WorldActionlist* list, bool hidden)
{
    list->addAction(ACT_HideCursor)->addParam(0, hidden ? 1.0f : 0.0f);
    list->addAction(ACT_HideInventory)->addParam(0, hidden ? 1.0f : 0.0f);
}
void Wait(WorldActionlist* list, int ms, bool hide)
{
    WorldAction* wait = list->addAction(ACT_Wait);
    wait->addParam(0, static_cast<float>(ms));
    if (hide) {
        wait->addParam(1, 1.0f);
        wait->addParam(2, 1.0f);
    }
}
void PlayFilm(WorldActionlist* list, const FilmDef& film, SubtitleItem* subtitles, bool fullScreen)
{
    WorldAction* play = list->addAction(ACT_PlayVideo);
    play->addParamObject(0, film.path);
    play->addParam(3, 1.0f);  // the music pauses while the film speaks
    if (fullScreen) play->addParam(4, 1.0f);
    if (subtitles != nullptr) play->addParamObject(5, subtitles);
}
// Cursor and bar away, a moment's pause, the film, then cursor and bar back.
void CutScene(WorldActionlist* list, const FilmDef& film, SubtitleItem* subtitles = nullptr)
{
    Hide(list, true);
    Wait(list, kCutSceneWait, true);
    PlayFilm(list, film, subtitles, false);
    Hide(list, false);
}

// ---- subtitle lists: built once, kept for the whole run (actions refer to them) ----

struct SubtitleLists {
    SubtitleItem arrival, letters, recorder, ending;
    // The captions of sounds.
    SubtitleItem waves, tick, pound, knock, dark, heavy, cradle, lever;
};

template <std::size_t N>
void Fill(SubtitleItem& item, const Cue (&cues)[N])
{
    for (const Cue& cue : cues) item.Add(cue.time, cue.line);
}

SubtitleLists& Subtitles()
{
    static SubtitleLists lists = [] {
        SubtitleLists made;
        Fill(made.arrival, kArrivalCues);
        Fill(made.letters, kLettersCues);
        Fill(made.recorder, kRecorderCues);
        Fill(made.ending, kEndingCues);
        Fill(made.waves, kWavesCaption);
        Fill(made.tick, kTickCaption);
        Fill(made.pound, kPoundCaption);
        Fill(made.knock, kKnockCaption);
        Fill(made.dark, kDarkCaption);
        Fill(made.heavy, kHeavyCaption);
        Fill(made.cradle, kCradleCaption);
        Fill(made.lever, kLeverCaption);
        return made;
    }();
    return lists;
}

// ---- the shared entry lists ----

struct SharedLists {
    WorldActionlist* silence;
    WorldActionlist* explore;  // song 2: the shore and the ground floor
    WorldActionlist* dome;     // song 1: the dome under its stars
    WorldActionlist* depths;   // song 3 until the sea door is opened ...
    WorldActionlist* warm;     // ... song 4 after it
    WorldActionlist* drips;
    WorldActionlist* waves;    // the broken sea gate pounds every two seconds
};

WorldActionlist* SongList(WorldManager& w, int song)
{
    WorldActionlist* list = w.AddSharedActionlist(false, 0);
    list->addAction(ACT_PlaySong)->addParam(0, static_cast<float>(song));
    return list;
}

void Ambient(WorldActionlist* list, int number, int min, int max)
{
    WorldAction* start = list->addAction(ACT_StartRepetiveSound);
    start->addParam(0, static_cast<float>(number));
    start->addParam(1, static_cast<float>(min));
    start->addParam(2, static_cast<float>(max));
}

SharedLists MakeSharedLists(WorldManager& w)
{
    SharedLists s{};
    s.silence = SongList(w, -999);
    s.explore = SongList(w, 2);
    s.dome = SongList(w, 1);
    s.depths = SongList(w, 3);
    Require(s.depths, VarIs(kWarmMusic, 0));
    s.warm = SongList(w, 4);
    Require(s.warm, VarIs(kWarmMusic, 1));
    s.drips = w.AddSharedActionlist(false, 0);
    for (int drip = 1; drip <= 3; ++drip) Ambient(s.drips, drip, 2000, 20000);
    s.waves = w.AddSharedActionlist(false, 0);
    Ambient(s.waves, 5, 2000, 2001);
    Require(s.waves, VarIs(kSeaGateOpen, 1));
    return s;
}

void AttachSharedLists(WorldScreen* screen, const Place& place, const SharedLists& s)
{
    switch (place.realm) {
    case Realm::Opening: break;
    case Realm::Shore:
    case Realm::Hall:
        screen->AddPreActionList(s.explore);
        break;
    case Realm::Dome:
        if (place.panorama) screen->AddPreActionList(s.dome);
        break;
    case Realm::Cistern:
    case Realm::Tide:
    case Realm::Tower:
    case Realm::Gallery:
    case Realm::Drowned:
        screen->AddPreActionList(s.depths);
        screen->AddPreActionList(s.warm);
        break;
    }
    if (place.realm == Realm::Cistern) {
        screen->AddPreActionList(s.drips);
        screen->AddPreActionList(s.waves);
    }
}

// ---- places ----

const Place& PlaceNumbered(int number)
{
    for (const Place& place : kPlaces)
        if (place.number == number) return place;
    throw Error("the world's tables name no place " + std::to_string(number));
}

struct Span {
    int x1, x2;
};

// A hotspot's columns: one span, or two where a panorama's region runs across the seam.
std::vector<Span> Spans(const Place& place, const PickArea& a)
{
    if (place.panorama && a.x2 >= kPanoramaWidth) return {{a.x1, kPanoramaWidth}, {0, a.x2 - kPanoramaWidth}};
    return {{a.x1, a.x2}};
}

void AddNeed(WorldHotspot* hotspot, const Feature& f)
{
    if (f.need == Need::Var) Require(hotspot, VarIs(f.var, f.value));
    if (f.need == Need::LampsLit) Require(hotspot, LampsLit());
}

void AddFeature(WorldScreen* screen, const Place& place, int index)
{
    const Feature& f = place.features[index];
    const PickArea a = PickAreaOf(place, index);
    for (const Span& span : Spans(place, a)) {
        switch (f.way) {
        case Way::Scenery: return;
        case Way::Walk: {
            WorldAction* move = screen->QHS_StandardMove(span.x1, a.y1, span.x2, a.y2, f.target, f.cursor);
            // Out of a wide view the pointer comes back to the middle, clear of the turning margins.
            if (f.cursor != WorldManager::kCursorReact) move->addParam(3, 1.0f);
            AddNeed(screen->GetHotspot(screen->get_HotspotCount() - 1), f);
            break;
        }
        case Way::Choose: {
            WorldHotspot* hotspot = screen->AddHotspot(span.x1, a.y1, span.x2, a.y2, f.cursor);
            if (f.alt >= 0) hotspot->addVarDependantLocation(f.var, f.value, f.target, f.alt);
            else hotspot->addVarDependantLocation(f.var, f.value, f.target);
            AddNeed(hotspot, f);
            break;
        }
        case Way::Dark: {
            WorldHotspot* hotspot = screen->AddHotspot(span.x1, a.y1, span.x2, a.y2, f.cursor);
            Goto(hotspot->AddActionlist(false, kLamp), f.target);
            // With an empty hand the player stumbles at the edge of the dark, and is told why.
            Sound(hotspot->AddActionlist(true, 0), kStumbleSound, &Subtitles().dark);
            AddNeed(hotspot, f);
            break;
        }
        }
    }
}

void AddPictureChanges(WorldScreen* screen, int number)
{
    for (const OverlayDef& o : kOverlays) {
        if (o.screen != number) continue;
        Require(screen->AddOverlay(o.x, o.y, o.w, o.h, o.image, ScrambleOffsetFor(o.image)), OverlayCondition(o));
    }
    for (const TideVersion& v : kTideVersions) {
        if (v.screen != number) continue;
        for (int tide = 2; tide <= 4; ++tide) screen->AddOverwriteBaseImage(kTide, tide, v.versions[tide - 2]);
    }
}

void AddCodeKeys(WorldManager& w, WorldScreen* screen, int number)
{
    for (const KeyPanel& panel : kKeyPanels) {
        if (panel.screen != number) continue;
        const WorldGlobalVarArray* grid = w.getGlobalVarArray(panel.grid);
        const wchar_t* sound = panel.style == KeyStyle::Digits ? kWheelSound : kLampSound;
        for (int y = 0; y < grid->get_Height(); ++y) {
            for (int x = 0; x < grid->get_Width(); ++x) {
                screen->AddCodeKey(panel.x + x * panel.dx, panel.y + y * panel.dy, panel.w, panel.h,
                                   grid->get_Start() + x + y * grid->get_Width(), panel.grid, x, y, panel.strip,
                                   ScrambleOffsetFor(panel.strip), sound);
            }
        }
    }
}

// A thing lying in a close view: while `flag` holds `there`, a click takes item `item`.
void Take(WorldScreen* screen, int x1, int y1, int x2, int y2, int flag, int there, int item)
{
    WorldHotspot* hotspot = screen->AddHotspot(x1, y1, x2, y2);
    Require(hotspot, VarIs(flag, there));
    WorldActionlist* list = hotspot->AddActionlist(true, 0);
    Sound(list, kTakeSound);
    list->addAction(ACT_ActivateItem)->addParam(0, static_cast<float>(item));
    SetVar(list, flag, 1 - there);
    Reload(list);
}

// The island and the ground floor: the arrival, things to take, the gate, the lectern.
void AddShoreStory(WorldScreen* screen, int number)
{
    SubtitleLists& subs = Subtitles();
    switch (number) {
    case 100: {  // first landing: the boatman leaves
        WorldActionlist* arrival = screen->AddPreActionList();
        Require(arrival, VarIs(kArrived, 0));
        CutScene(arrival, kArrivalFilm, &subs.arrival);
        SetVar(arrival, kArrived, 1);
        break;
    }
    case 152: {  // the observatory gate's padlock
        WorldHotspot* lock = screen->AddHotspot(300, 60, 724, 430);
        WorldActionlist* unlock = lock->AddActionlist(false, 3);
        Require(unlock, VarIs(kGateLocked, 1));
        Sound(unlock, kUnlockSound);
        unlock->addAction(ACT_DropItem);
        SetVar(unlock, kGateLocked, 0);
        CutScene(unlock, kGateFilm);
        Reload(unlock);
        lock->addVarDependantLocation(kGateLocked, 0, 200);
        break;
    }
    case 154: Take(screen, 440, 230, 584, 330, kKeyTaken, 0, 3); break;
    case 155: Take(screen, 440, 180, 584, 300, kCrankInRack, 1, 4); break;
    case 157: Take(screen, 440, 300, 584, 410, kWatchInPool, 1, 7); break;
    case 251: Take(screen, 440, 240, 584, 340, kLogbookOnDesk, 1, 1); break;
    case 254: Take(screen, 440, 180, 584, 310, kLampOnHook, 1, kLamp); break;
    case 156: {  // the sea door from outside: no handle, no keyhole
        WorldHotspot* door = screen->AddHotspot(380, 40, 644, 430);
        Require(door, VarIs(kSeaDoorShut, 1));
        Sound(door->AddActionlist(true, 0), kKnockSound, &subs.knock);
        break;
    }
    case 250: {  // the tide register on the lectern
        WorldActionlist* open = screen->AddHotspot(312, 200, 712, 430)->AddActionlist(true, 0);
        Goto(open, kRegisterScreen);
        Sound(open, kCoverSound);
        break;
    }
    default: break;
    }
}

// The cistern and the rooms under the sea: the valve, the pump, the sea door, the cylinder.
void AddDepthsStory(WorldScreen* screen, int number)
{
    SubtitleLists& subs = Subtitles();
    switch (number) {
    case 1152: {  // the last lens: too heavy for the tunnel, it leaves only by the sea door
        WorldHotspot* cradle = screen->AddHotspot(440, 220, 584, 330);
        Require(cradle, Both(VarIs(kLensInCradle, 1), VarIs(kSeaDoorShut, 1)));
        Sound(cradle->AddActionlist(true, 0), kStumbleSound, &subs.cradle);
        WorldHotspot* lens = screen->AddHotspot(440, 220, 584, 330);
        Require(lens, Both(VarIs(kLensInCradle, 1), VarIs(kSeaDoorShut, 0)));
        WorldActionlist* take = lens->AddActionlist(true, 0);
        Sound(take, kTakeSound);
        take->addAction(ACT_ActivateItem)->addParam(0, 8.0f);
        SetVar(take, kLensInCradle, 0);
        Reload(take);
        break;
    }
    case 1100: {  // with the lens in the arms the tunnel is no way out
        const PickArea way = PickAreaOf(PlaceNumbered(1100), 0);
        WorldHotspot* door = screen->AddHotspot(way.x1, way.y1, way.x2, way.y2);
        Require(door, VarIs(kLensInCradle, 0));
        Sound(door->AddActionlist(true, 0), kStumbleSound, &subs.heavy);
        Sound(door->AddActionlist(false, kLamp), kStumbleSound, &subs.heavy);
        break;
    }
    case 350: {  // the float valve: its ticking runs together over the hidden catch
        screen->set_CustomFunction(1);
        // The catch leaves the pointer as it is: only the ticks (heard, or read at the foot of
        // the view) find it.
        WorldHotspot* catchSpot = screen->AddHotspot(500, 300, 590, 380, WorldManager::kCursorNormal);
        Require(catchSpot, VarIs(kSeaGateOpen, 0));
        WorldActionlist* list = catchSpot->AddActionlist(true, 0);
        Sound(list, kCatchSound);
        CutScene(list, kSeaGateFilm);
        SetVar(list, kSeaGateOpen, 1);
        Reload(list);
        break;
    }
    case 351: {  // the cistern pump wants the crank
        WorldActionlist* pump = screen->AddHotspot(262, 150, 762, 420)->AddActionlist(false, 4);
        Require(pump, VarIs(kCisternFlooded, 1));
        CutScene(pump, kPumpFilm);
        SetVar(pump, kCisternFlooded, 0);
        Reload(pump);
        break;
    }
    case 1151: {  // the sea door from inside: its bar lifts
        WorldHotspot* bar = screen->AddHotspot(362, 40, 662, 430);
        Require(bar, VarIs(kSeaDoorShut, 1));
        WorldActionlist* lift = bar->AddActionlist(true, 0);
        CutScene(lift, kSeaDoorFilm);
        SetVar(lift, kSeaDoorShut, 0);
        SetVar(lift, kWarmMusic, 1);
        Reload(lift);
        break;
    }
    case 1154: {  // the keeper's last cylinder
        CutScene(screen->AddHotspot(362, 150, 662, 420)->AddActionlist(true, 0), kRecorderFilm, &subs.recorder);
        break;
    }
    default: break;
    }
}

// The tower, the gallery, the flats and the dome: the cabinet, the hatch, the lamps, the tide, the stars.
void AddUpperStory(WorldScreen* screen, int number)
{
    SubtitleLists& subs = Subtitles();
    switch (number) {
    case 451: {  // the letter cabinet opens to the bells of the keeper's watch
        WorldHotspot* letters = screen->AddHotspot(40, 40, 300, 430);
        Require(letters, Both(VarIs(kLettersInCabinet, 1), GridIs(1, CabinetTotal())));
        WorldActionlist* list = letters->AddActionlist(true, 0);
        Sound(list, kTakeSound);
        list->addAction(ACT_ActivateItem)->addParam(0, 6.0f);
        SetVar(list, kLettersInCabinet, 0);
        CutScene(list, kLettersFilm, &subs.letters);
        Reload(list);
        // The release knob drops every wheel back to the blank.
        WorldActionlist* release =
            screen->AddHotspot(kCabinetRelease[0], kCabinetRelease[1], kCabinetRelease[2], kCabinetRelease[3])
                ->AddActionlist(true, 0);
        Sound(release, kUnlockSound);
        for (int cell = 0; cell < kGrids[0].width; ++cell) SetVar(release, kGrids[0].start + cell, 0);
        Reload(release);
        break;
    }
    case 453: {  // the winch that unbars the gallery hatch
        WorldActionlist* winch = screen->AddHotspot(262, 150, 762, 420)->AddActionlist(false, 4);
        Require(winch, VarIs(kHatchBarred, 1));
        CutScene(winch, kHatchFilm);
        SetVar(winch, kHatchBarred, 0);
        Reload(winch);
        break;
    }
    case 551: {  // the lamp ring: the moment every lamp burns, and the snuffer
        WorldActionlist* lit = screen->AddPreActionList();
        Require(lit, Both(LampsLit(), VarIs(kArrived, 1)));
        CutScene(lit, kLampsFilm);
        SetVar(lit, kArrived, 2);
        WorldActionlist* snuff = screen->AddHotspot(440, 380, 584, 430)->AddActionlist(true, 0);
        Sound(snuff, kSnuffSound);
        const GridDef& ring = kGrids[1];
        for (int cell = 0; cell < ring.width * ring.height; ++cell) SetVar(snuff, ring.start + cell, 0);
        Reload(snuff);
        break;
    }
    case 650: {  // the tide clock's lever: tonight's setting of the next tide up or down takes the water there
        WorldHotspot* lever = screen->AddHotspot(kTideLever[0], kTideLever[1], kTideLever[2], kTideLever[3]);
        Sound(lever->AddActionlist(true, 0), kLeverSound, &subs.lever);
        for (int tide = 1; tide <= 4; ++tide) {
            WorldActionlist* set = lever->AddActionlist(true, 0);
            const Tokens fromNeighbour = tide == 1   ? VarIs(kTide, 2)
                                         : tide == 4 ? VarIs(kTide, 3)
                                                     : Either(VarIs(kTide, tide - 1), VarIs(kTide, tide + 1));
            Require(set, Both(GridIs(7, TideTotal(tide)), fromNeighbour));
            CutScene(set, kTideFilms[tide - 1]);
            SetVar(set, kTide, tide);
        }
        break;
    }
    case 702:
    case 703: {  // back from the panels with all four figures set: the shutter opens
        WorldActionlist* open = screen->AddPreActionList();
        Require(open, Both(StarsSet(), VarIs(kArrived, 2)));
        CutScene(open, kShutterFilm);
        SetVar(open, kArrived, 3);
        break;
    }
    case 751: {  // the telescope takes the last lens once the shutter is open
        WorldActionlist* seat = screen->AddHotspot(262, 100, 762, 420)->AddActionlist(false, 8);
        Require(seat, StarsSet());
        Sound(seat, kSeatSound);
        seat->addAction(ACT_DropItem);
        SetVar(seat, kLensPlaced, 1);
        Goto(seat, 9999);
        break;
    }
    default: break;
    }
}

// What the story does on particular screens, beyond their exits.
void AddStory(WorldScreen* screen, int number)
{
    AddShoreStory(screen, number);
    AddDepthsStory(screen, number);
    AddUpperStory(screen, number);
}

void AddPlace(WorldManager& w, const Place& place, const SharedLists& shared)
{
    WorldScreen* screen = w.AddWorldScreen(place.number, place.panorama ? WorldScreen::kPanorama : WorldScreen::kFlat,
                                           place.image, ScrambleOffsetFor(place.image));
    AttachSharedLists(screen, place, shared);
    for (int i = 0; i < kMaxFeatures; ++i) {
        const Feature& f = place.features[i];
        if (f.look == Look::None && f.target < 0) break;
        AddFeature(screen, place, i);
    }
    AddPictureChanges(screen, place.number);
    AddCodeKeys(w, screen, place.number);
    AddStory(screen, place.number);
}

WorldScreen* AddFlat(WorldManager& w, int number, const char* image)
{
    return w.AddWorldScreen(number, WorldScreen::kFlat, image, ScrambleOffsetFor(image));
}

// ---- construction steps ----

void AddItems(WorldManager& w)
{
    for (const ItemDef& item : kItems) {
        w.AddItem(item.number, item.picture, item.picture, item.alpha2, item.picture, item.alpha1, item.sound, kItemSide,
                  kItemSide, kItemHotspot, kItemHotspot, ItemOffset(item), ItemScreen(item.number));
    }
    w.ActivateItem(2);  // the letter of appointment comes with the keeper
}

void AddVariables(WorldManager& w)
{
    for (int i = 0; i < 16; ++i) w.AddGlobalVar(i + 1, kFlagStart[i]);
}

void Clicks(WorldGlobalVarArray* grid, std::initializer_list<std::pair<int, int>> cells)
{
    for (const auto& [x, y] : cells) grid->Click(x, y);
}

void AddGrids(WorldManager& w)
{
    WorldGlobalVarArray* grids[7];
    for (int i = 0; i < 7; ++i) {
        const GridDef& g = kGrids[i];
        grids[i] = w.AddGlobalVarArray(g.number, g.start, g.width, g.height, g.max);
    }
    // The cabinet's wheels stand wherever the last hand left them.
    for (int cell = 0; cell < 8; ++cell) w.setGlobalVarValue(kGrids[0].start + cell, static_cast<signed char>(std::rand() % 8));
    // The lamp ring: each lamp also switches its four neighbours, round the ring but not
    // over the top or bottom edge. Four lamps of the middle ring were switched last evening.
    grids[1]->set_ChangeAjenct(true);
    grids[1]->set_LoopH(true);
    grids[1]->set_LoopV(false);
    Clicks(grids[1], {{1, 1}, {4, 1}, {6, 1}, {10, 1}});
    // The star panels, scrambled by the damp.
    Clicks(grids[2], {{0, 0}, {1, 1}, {2, 2}, {0, 2}});
    Clicks(grids[3], {{1, 0}, {0, 1}, {2, 1}});
    Clicks(grids[4], {{0, 0}, {2, 0}, {1, 1}, {0, 2}, {2, 2}, {1, 2}});
    Clicks(grids[5], {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}});
    // The tide clock as the keeper left it: high water.
    for (int cell = 0; cell < 5; ++cell)
        w.setGlobalVarValue(kGrids[6].start + cell, static_cast<signed char>(kHighWater[cell]));
}

void AddAmbientSounds(WorldManager& w)
{
    for (int drip = 1; drip <= 3; ++drip) w.AddRepetiveSound(drip, kDripSounds[drip - 1]);
    w.AddRepetiveSound(4, kSwitchSound, &Subtitles().tick);
    w.AddRepetiveSound(5, kExplosionSound, &Subtitles().pound);
}

void AddOpening(WorldManager& w, const SharedLists& shared)
{
    WorldScreen* logo = AddFlat(w, 0, kLogoImage);
    logo->AddPreActionList(shared.silence);
    WorldActionlist* toBoat = logo->AddPreActionList();
    Hide(toBoat, true);
    Wait(toBoat, kLogoWait, false);
    WorldAction* fade = toBoat->addAction(ACT_GotoScreen);
    fade->addParam(0, 1.0f);
    fade->addParam(1, static_cast<float>(kLogoFade));

    WorldActionlist* crossing = AddFlat(w, 1, kBoatImage)->AddPreActionList();
    Sound(crossing, kWavesSound, &Subtitles().waves);
    Wait(crossing, kCrossingWait, false);
    WorldAction* slow = crossing->addAction(ACT_GotoScreen);
    slow->addParam(0, 2.0f);
    slow->addParam(1, static_cast<float>(kCausewayFade));
    Wait(crossing, kCausewayFade, false);
    Hide(crossing, false);
    WorldAction* song = crossing->addAction(ACT_PlaySong);
    song->addParam(0, 2.0f);
    song->addParam(1, 1.0f);

    AddFlat(w, 2, kCausewayImage)->QHS_StandardMove(200, 80, 824, 440, 100);
}

void AddEnding(WorldManager& w)
{
    WorldScreen* dawn = AddFlat(w, 9999, kEndingImage);
    WorldActionlist* ending = dawn->AddPreActionList();
    Hide(ending, true);
    Wait(ending, kCutSceneWait, true);
    PlayFilm(ending, kLensFilm, nullptr, false);
    Wait(ending, kEndingPause, true);
    PlayFilm(ending, kEndingFilm, &Subtitles().ending, true);
    ending->addAction(ACT_HideCursor)->addParam(0, 0.0f);
    ending->addAction(ACT_HideInventory)->addParam(0, 1.0f);
    ending->addAction(ACT_PlaySong)->addParam(0, 4.0f);
    ending->addAction(ACT_EndGame);
    // The dawn picture leads on: a click anywhere on it goes to the credits.
    WorldActionlist* onward = dawn->AddHotspot(0, 0, 1024, 512)->AddActionlist(true, 0);
    onward->addAction(ACT_EndGame)->addParam(0, 1.0f);
    // Never shown: the first screen 9999 is the one every lookup finds.
    w.AddWorldScreen(9999, WorldScreen::kPanorama, kPlaceholderImage, 0);
}

void AddCloseUp(WorldManager& w, int item)
{
    const ItemDef& def = kItems[item - 1];
    AddFlat(w, ItemScreen(item), def.closeUp);
}

template <std::size_t N>
void AddBook(WorldManager& w, int first, const char* const (&pages)[N])
{
    WorldBookCreator book(&w, kCoverSound, kPageSound, first, BookOffset(pages));
    for (const char* page : pages) book.AddPage(page);
}

void AddRegister(WorldManager& w)
{
    WorldBookCreator book(&w, kCoverSound, kPageSound, kRegisterScreen, BookOffset(kRegisterPages));
    // Every page of the register has a strip along its foot that puts it back on the lectern.
    for (const char* page : kRegisterPages) book.AddPage(page)->QHS_StandardMove(300, 460, 724, 511, 250);
}

}  // namespace

void InitWorld(WorldManager* worldManager)
{
    WorldManager& w = *worldManager;
    AddItems(w);
    AddVariables(w);
    Subtitles();
    AddGrids(w);
    AddAmbientSounds(w);
    const SharedLists shared = MakeSharedLists(w);

    AddOpening(w, shared);
    for (const Place& place : kPlaces) {
        AddPlace(w, place, shared);
        // The close-ups of the things found on the shore and the ground floor follow them.
        if (place.number == 258) {
            AddBook(w, kLogbookScreen, kLogbookPages);
            for (int item = 2; item <= 5; ++item) AddCloseUp(w, item);
        }
    }
    AddEnding(w);

    AddBook(w, kLetterScreen, kLetterPages);
    AddRegister(w);
    AddCloseUp(w, 7);
    AddCloseUp(w, 8);

    w.TransportToScreen(0);
}
