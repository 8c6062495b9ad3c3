// What the content generator paints, read from the game's world files: the places with their
// landmarks, the blocks that change with the story, the key panels, tide versions, items,
// books, films, the puzzle tables and the fixed pictures, as the files note them (note(kind,
// value)), numbered as the loader numbers their screens, variables, grids and items.
// Depends on the world-file loader and the text catalogue; knows no painting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "display/image_offsets.h"

class TextCatalogue;

namespace world_content {

// ---- the records the pictures are painted from ----

// Grids: number, first variable, width, height, maximum.
struct GridDef {
    int number, start, width, height, max;
};

// What a landmark looks like in the picture; None ends a place's list.
enum class Look : std::uint8_t { None, Door, Arch, Tunnel, Window, Pillar, Torch, Stairs, Machine, Gate, Tree, Pool, Desk, Panel, Moon, Strip };

// How the world reacts to a landmark.
enum class Way : std::uint8_t {
    Walk,     // a navigation hotspot to `target`
    Choose,   // leads to `target` while variable `var` holds `value`, else to `alt` (none: -1)
    Dark,     // leads to `target` only with the lit hand lamp in the hand (item 5); drawn dark,
              // and a click with an empty hand stumbles and says why
    Scenery,  // drawn; the world definition attaches its own behaviour or none
};

// Needs a hotspot can carry: it exists only while the need holds.
enum class Need : std::uint8_t { None, Var, LampsLit };

struct Feature {
    Look look = Look::None;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // picture pixels; a panorama's x2 may pass 2048 (wraps)
    int target = -1;
    Way way = Way::Walk;
    Need need = Need::None;
    int var = 0, value = 0, alt = -1;
    int cursor = 1;
    bool active = false;  // drawn in its changed state (open, lit) in the base picture
};

// The regions the places belong to: each has its look in the generator and its music.
enum class Realm : std::uint8_t { Opening, Shore, Hall, Cistern, Tide, Tower, Gallery, Dome, Drowned };

constexpr int kMaxFeatures = 8;

struct Place {
    int number;
    bool panorama;
    const char* image;
    Realm realm;
    std::uint32_t seed;
    Feature features[kMaxFeatures];
    const char* scene = nullptr;  // the scene library's file its picture is rendered from; null: none named
    // The texts its scene sets, as (the name the scene reads, the texts' identifier).
    std::vector<std::pair<const char*, const char*>> texts;
};

// Where a click finds a landmark: picture pixels, x2 of a panorama's area may pass 2048 (wraps).
struct HotspotArea {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TideVersion {
    int screen;
    const char* versions[3];  // for tides 2, 3 and 4
};

enum class Shows : std::uint8_t {
    Changed,  // the place with landmark `feature` in its other state (open, lit)
    Removed,  // the place without landmark `feature` (water drained away)
    Item,     // the place with item `item` lying in the middle of the block
};
enum class When : std::uint8_t {
    VarEquals,  // variable `var` holds `value`
    LampsLit,   // every lamp of the gallery ring burns
    StarsSet,   // all four star panels show their patterns
    TideLow,    // the tide is at its lowest (4)
    CabinetOpen,   // the cabinet's wheels show the bell code
    LettersThere,  // the cabinet is open and the letters still lie in it
};

struct OverlayDef {
    int screen;
    const char* image;
    int x, y, w, h;
    Shows shows;
    int feature;  // index into the place's features (Changed, Removed)
    int item;     // item number (Item)
    When when;
    int var = 0, value = 0;
    bool open = false;  // Item: the landmark `feature` is also drawn in its other state
};

enum class KeyStyle : std::uint8_t { Digits, Lamps };

struct KeyPanel {
    int screen;
    int grid;
    int x, y;        // top-left cell
    int w, h;        // one cell
    int dx, dy;      // step from cell to cell
    const char* strip;
    KeyStyle style;
};

// A sound as the world files declare it, with how the generator makes it: the kind's name
// (`made`, e.g. "drip", "shore_bed") and the seed that varies it within the kind.
struct SoundDef {
    const char* name;
    const char* file;   // the game path, "data/drip1.wav"
    const char* made;
    std::uint32_t seed;
    const char* where;  // the world file and line that declared it, for messages
};

struct ItemDef {
    int number;
    const char* picture;
    const char* alpha1;  // with a halo: held over something that reacts
    const char* alpha2;  // plain: held over nothing
    const wchar_t* sound;
    const char* closeUp;  // close-up picture; null for the two books
    const char* name = nullptr;  // as the world files name it
    const char* scene = nullptr;        // the scene of its bar picture ("items/gate_key.pov")
    const char* closeUpScene = nullptr; // the scene of its close view; null: none (a book, or read)
};

// The close-up (or book) screen of item `item`.
constexpr int ItemScreen(int item) { return 10001 + (item - 1) * 1000; }
// One rotation offset serves an item's picture and both of its masks: that of the picture.
constexpr int ItemOffset(const ItemDef& item) { return ScrambleOffsetFor(item.picture); }

// One rotation offset serves every page of a book: that of its first page's path.
constexpr int BookOffset(const char* const* pages) { return ScrambleOffsetFor(pages[0]); }

struct Cue {
    std::uint32_t time;  // ms from the start of the film
    const char* line;    // "" clears the text
};

// Every film of the world: its game path and, where it has one, its subtitle list.
struct FilmDef {
    const wchar_t* path;
    const Cue* cues;
    std::size_t cueCount;
    double seconds;  // without subtitles: the film's own length
};

// A view that is read, as the world files note it (read_view{}): the close view of an item, the
// pages of a book or a place, the scene of the library its picture is rendered from, and how
// the generator sets its text over the render.
struct ReadViewDef {
    int item = 0;                  // the item whose close view it is, or 0
    const char* book = nullptr;    // the book whose pages lie open on it, or null
    int screen = 0;                // the place it is, or 0
    const char* scene = nullptr;   // the scene file ("texts/letter.pov")
    const char* setting = nullptr; // "letter", "engraved_lid", "painted_board", "brass_plaque",
                                   // "bronze_plaque", "star_chart" or "book"
    const char* text = nullptr;    // a place's plate: the texts' "<text>.heading" and ".body"
    std::uint32_t seed = 0;        // a book: varies the sketches on its pages that carry no text
};

// ---- the world files' notes as those records ----

class WorldArt {
public:
    // Runs the world files in `worldDir` without building a world and converts their notes;
    // cue lines are set in `texts`. Throws Error naming the world file and line of a note that
    // lacks what the pictures need (or the loader's own "file:line:col" for a fault of the files).
    static std::unique_ptr<WorldArt> Load(const std::filesystem::path& worldDir, const TextCatalogue& texts);

    WorldArt(const WorldArt&) = delete;
    WorldArt& operator=(const WorldArt&) = delete;

    // The records below point into strings this object owns: they live as long as it does.
    std::vector<Place> places;            // in the order the files declare them
    std::vector<OverlayDef> overlays;     // in the order the files declare them
    std::vector<KeyPanel> keyPanels;
    std::vector<TideVersion> tideVersions;
    std::vector<ItemDef> items;           // item n at [n - 1]
    std::vector<SoundDef> sounds;         // in the order the files declare them
    std::vector<ReadViewDef> readViews;   // in the order the files declare them
    std::vector<GridDef> grids;           // grid n at [n - 1]
    int cabinetCode[8] = {};
    int starPatterns[4][9] = {};
    int highWater[5] = {};
    int tideTable[4][3][5] = {};          // by moon (new, first quarter, full, last quarter)
    int tonight = 0;                      // index of tonight's moon in tideTable
    int cabinetRelease[4] = {};           // x1, y1, x2, y2 on the cabinet's close view
    int tideLever[4] = {};                // x1, y1, x2, y2 on the tide clock's close view
    const char* logoImage = nullptr;
    const char* boatImage = nullptr;
    const char* causewayImage = nullptr;
    const char* endingImage = nullptr;
    int pickColumns = 0, pickRows = 0;    // how far a panorama's hotspots reach past the drawing
    // Every picture, sound and film path the world files name, each once, in the order first
    // named: what the generator must make for this world.
    std::vector<std::string> namedFiles;

    // The hotspot area of landmark `index` (from 0) of the place on screen `number`; throws Error
    // when there is none.
    const HotspotArea& AreaOf(int number, int index) const;
    // Every hotspot area of the place on screen `number`, landmark by landmark (none: empty).
    const std::vector<HotspotArea>& AreasOf(int number) const;
    // The timed lines the files name `name` (a film's subtitles or a sound's caption), texts set.
    const std::vector<Cue>& Captions(std::string_view name) const;

    // The setting of the tide clock that works tonight for tide 1 (high water) .. 4 (lowest ebb).
    const int* TideSetting(int tide) const { return tide == 1 ? highWater : tideTable[tonight][tide - 2]; }
    // The place of screen `number`; throws Error when no place has it.
    const Place& PlaceNumbered(int number) const;
    // The key panel on screen `number`; throws Error when that screen has none.
    const KeyPanel& KeyPanelOn(int number) const;
    // The film the files name `name`; throws Error when there is none.
    const FilmDef& Film(std::string_view name) const;
    // The game path of the sound the files name `name`; throws Error when there is none.
    const std::string& SoundFile(std::string_view name) const;
    // The page pictures of the book the files name `name`, first page first; throws when none.
    const std::vector<const char*>& BookPages(std::string_view name) const;
    // The number the loader gave the story variable `name`; throws Error when there is none.
    int Variable(std::string_view name) const;
    // The name of story variable `number`; throws Error when the files name none so.
    const std::string& VariableName(int number) const;

private:
    WorldArt() = default;
    friend class WorldArtReader;

    std::map<int, std::vector<HotspotArea>> c_pAreas;
    std::map<std::string, std::vector<Cue>, std::less<>> c_pCaptions;
    std::map<std::string, FilmDef, std::less<>> c_pFilms;
    std::map<std::string, std::string, std::less<>> c_pSounds;
    std::map<std::string, std::vector<const char*>, std::less<>> c_pBooks;
    std::map<std::string, int, std::less<>> c_pVariables;
    std::deque<std::string> c_pStrings;
    std::deque<std::wstring> c_pWideStrings;
    std::deque<std::vector<Cue>> c_pCueLists;
};

// The world files' names of a look ("door") and of a named state ("lamps_lit"); "" for none.
const char* LookName(Look look);
const char* StateName(When when);

// The art the generator paints from: the one given to UseWorldArt, else (on first use) read from
// the source tree's game/world with the English texts of its game/po.
const WorldArt& Art();
// Makes `art` the one Art() returns. Call before the first Art(), on one thread.
void UseWorldArt(std::unique_ptr<WorldArt> art);

}  // namespace world_content
