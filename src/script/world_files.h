// A game's world read from its Lua world files: `main.lua` in the world folder and the files it
// includes declare variables, grids, items, sounds, films, screens, hotspots and action lists
// by name, and the loader builds the same records the construction interface builds, numbering
// what the authors name. The scripts run in a sandbox (no files, no processes, no loading of
// code) with a bound on instructions and memory. Every error names file:line:col.
// Depends on the world records, the credits list and the text catalogue; knows no game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "media/subtitle_item.h"

class CreditsManager;
class TextCatalogue;
class WorldManager;

// A value the files hand to the tools with note(kind, value): a number, a string, a flag, a
// list or a table of named values. The engine reads none of it; the content generator reads
// what a picture needs (what stands where, what changes) from the same files the game runs.
struct WorldNote {
    enum Kind { Nil, Flag, Number, Text, List, Table } kind = Nil;
    bool flag = false;
    double number = 0.0;
    std::string text;
    std::vector<WorldNote> list;
    std::map<std::string, WorldNote> table;

    // The named value of a table, or a Nil note.
    const WorldNote& operator[](const std::string& name) const;
};

class WorldFiles {
public:
    // One screen as the files declared it, in the order they did.
    struct Screen {
        std::string name;
        int number = 0;
        bool panorama = false;
        std::string image;
        std::string region;  // the region, or for a page the book's name; may be empty
        bool place = false;  // `region` names a region{} (a place to stand), not a book or an item
    };
    struct Note {
        std::string kind;
        WorldNote value;
        std::string where;  // file:line of the note() call
    };

    // A goal of the story, for the hints: while `open` holds and `done` does not, the player is
    // working on it; its hints go from a nudge to the answer (three or more, the catalogue's
    // texts in the engine's Latin-1). Conditions are the interpreter's tokens.
    struct Goal {
        std::string name;
        std::vector<int> open, done;
        std::vector<std::string> hints;
        std::string where;  // file:line of the goal{} call
    };

    // Something the player reads or hears that the journal keeps once found: a screen looked at
    // (a book page, a plaque, a close-up) or a line of a film's or a sound's captions. Exactly
    // one of `screen` and `line` is set. Texts are the catalogue's, in the engine's Latin-1.
    struct Clue {
        std::string name;
        std::string screen;     // the screen's name; empty for a line
        int screenNumber = -1;  // its number; -1 for a line
        std::string image;      // the screen's picture and its scramble offset; empty for a line
        int imageOffset = 0;
        std::string lineId;     // the line's text identifier; empty for a screen
        std::string line;       // the line's text, as the captions show it
        std::string title;
        std::string where;  // file:line of the clue{} call
    };

    struct Limits {
        std::size_t memoryBytes = 64u << 20;        // the scripts' whole heap
        std::uint64_t instructions = 200'000'000;  // virtual machine instructions for all files
    };

    // Runs `<worldDir>/main.lua` and builds the world into `world` (which must be empty, with
    // its cursors added) and, when `credits` is not null, the credits lines into it; ends with
    // the world on screen 0. Texts come from `texts`, turned from its UTF-8 into the engine's
    // Latin-1. Throws Error "<file>:<line>:<col>: <what>" for any fault of the files; the world
    // is then half-built and must be discarded.
    // The returned object holds the paths and line lists the records point to: keep it as long
    // as the world.
    static std::unique_ptr<WorldFiles> Load(WorldManager& world, CreditsManager* credits,
                                            const std::filesystem::path& worldDir, const TextCatalogue& texts,
                                            const Limits& limits);
    static std::unique_ptr<WorldFiles> Load(WorldManager& world, CreditsManager* credits,
                                            const std::filesystem::path& worldDir, const TextCatalogue& texts)
    {
        return Load(world, credits, worldDir, texts, Limits{});
    }

    // Runs the files without building a world: names, numbers, screens and notes only (every
    // fault is still found). For tools that have no graphics device.
    static std::unique_ptr<WorldFiles> Describe(const std::filesystem::path& worldDir, const TextCatalogue& texts,
                                                const Limits& limits);
    static std::unique_ptr<WorldFiles> Describe(const std::filesystem::path& worldDir, const TextCatalogue& texts)
    {
        return Describe(worldDir, texts, Limits{});
    }

    const std::vector<Screen>& get_ScreenList() const { return c_pScreenList; }
    const std::vector<Note>& get_Notes() const { return c_pNotes; }
    // The story's goals in the order declared (the first open one is hinted at), and the line
    // given when none is open (empty when the files give none).
    const std::vector<Goal>& get_Goals() const { return c_pGoals; }
    const std::string& get_IdleHint() const { return c_sIdleHint; }
    // The title of the region screen `number` belongs to, as the player reads it (Latin-1):
    // the region's title text, else its name. Empty for a screen outside every region (a
    // book's page) and for a number no screen has.
    std::string PlaceOf(int number) const;
    // Every region's title by its name (the name where the files give no title).
    const std::map<std::string, std::string>& get_RegionTitles() const { return c_pRegionTitles; }
    // The clues in the order declared, every screen of them numbered.
    const std::vector<Clue>& get_Clues() const { return c_pClues; }

    // The authors' names and the numbers the loader gave them.
    const std::map<std::string, int>& get_Screens() const { return c_pScreens; }
    const std::map<std::string, int>& get_Variables() const { return c_pVariables; }
    const std::map<std::string, int>& get_Grids() const { return c_pGrids; }
    const std::map<std::string, int>& get_Items() const { return c_pItems; }
    // Every caption and subtitle list the files made, and every line text() gave them: what
    // the player reads of the world, in the catalogue's language.
    const std::deque<SubtitleItem>& get_LineLists() const { return c_pLineLists; }
    const std::deque<std::string>& get_Lines() const { return c_pLines; }
    // Every file the world was read from (main.lua first), for a watcher.
    const std::deque<std::filesystem::path>& get_Files() const { return c_pFiles; }
    // Every picture path, and every sound and film path, the files name (in the order named,
    // a path named twice listed twice): what the game's data must hold for this world.
    const std::deque<std::string>& get_ImagePaths() const { return c_pImagePaths; }
    const std::deque<std::wstring>& get_MediaPaths() const { return c_pMediaPaths; }

private:
    friend class WorldFilesLoader;
    WorldFiles() = default;

    std::map<std::string, int> c_pScreens, c_pVariables, c_pGrids, c_pItems;
    std::vector<Screen> c_pScreenList;
    std::vector<Note> c_pNotes;
    std::vector<Goal> c_pGoals;
    std::string c_sIdleHint;
    std::map<std::string, std::string> c_pRegionTitles;  // region name -> title
    std::vector<Clue> c_pClues;
    std::deque<std::filesystem::path> c_pFiles;
    // What the records point to: image paths, sound and film paths, line lists.
    std::deque<std::string> c_pImagePaths;
    std::deque<std::wstring> c_pMediaPaths;
    std::deque<std::string> c_pLines;
    std::deque<SubtitleItem> c_pLineLists;
};
