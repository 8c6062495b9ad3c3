// What the content generator paints, read from the game's world files: the places with their
// landmarks, the blocks that change with the story, the key panels, tide versions, items,
// books, films, the puzzle tables and the fixed pictures, as the files note them (note(kind,
// value)), numbered as the loader numbers their screens, variables, grids and items.
// Depends on the world-file loader and the text catalogue; knows no painting.
#pragma once

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/world_content.h"

class TextCatalogue;

namespace world_content {

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

private:
    WorldArt() = default;
    friend class WorldArtReader;

    std::map<std::string, FilmDef, std::less<>> c_pFilms;
    std::map<std::string, std::string, std::less<>> c_pSounds;
    std::map<std::string, std::vector<const char*>, std::less<>> c_pBooks;
    std::map<std::string, int, std::less<>> c_pVariables;
    std::deque<std::string> c_pStrings;
    std::deque<std::wstring> c_pWideStrings;
    std::deque<std::vector<Cue>> c_pCueLists;
};

// The art the generator paints from: the one given to UseWorldArt, else (on first use) read from
// the source tree's game/world with the English texts of its game/po.
const WorldArt& Art();
// Makes `art` the one Art() returns. Call before the first Art(), on one thread.
void UseWorldArt(std::unique_ptr<WorldArt> art);

}  // namespace world_content
