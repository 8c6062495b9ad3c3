// The journal: every clue the player has found, in the order found, each once, with the place
// where the player stood. The clues are the world files' (clue{}): a screen is filed when the
// player is on it, a line when its captions or subtitles show it. Kept beside a save as one
// line of text. Depends on the world files' clue list only; knows no game.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "script/world_files.h"

class Journal {
public:
    struct Entry {
        int clue = 0;       // index into get_Clues()
        std::string place;  // the region the player stood in (a region{} name; may be empty)
    };

    // Copies the clues of `files`, and the region of each of its screens that stands in one.
    explicit Journal(const WorldFiles& files);
    // The same from the parts: `places` maps a standing screen's number to its region.
    Journal(std::vector<WorldFiles::Clue> clues, std::map<int, std::string> places);

    // The player is on screen `screen`, standing on `standing` (the same screen, or the one a
    // page or close-up was opened from): files the clue of that screen. True when newly filed.
    bool NoticeScreen(int screen, int standing);
    // The captions or subtitles show `line` (Latin-1; null or "" shows none) now: files the
    // clues of that line. True when one was newly filed.
    bool NoticeLine(const char* line, int standing);
    // A new game: nothing found yet.
    void Clear();

    const std::vector<Entry>& get_Entries() const { return c_entries; }
    const std::vector<WorldFiles::Clue>& get_Clues() const { return c_clues; }
    const WorldFiles::Clue& ClueOf(const Entry& entry) const { return c_clues.at(static_cast<std::size_t>(entry.clue)); }
    // Whether the clue named `name` has been filed.
    bool Has(const std::string& name) const;

    // The entries as one line of text without a newline: "journal 1" and one word per entry,
    // the clue's name and its place percent-escaped ("watch_lid@shore").
    std::string Serialize() const;
    // Replaces the entries with those of a Serialize line. Clues this world does not declare
    // (a save from an older world) are left out, as is a clue named twice. Text that is no
    // journal line is refused: false, the reason in `error` (when given), the entries unchanged.
    bool Restore(std::string_view text, std::string* error);

private:
    bool File(int clue, int standing);

    std::vector<WorldFiles::Clue> c_clues;
    std::map<int, std::string> c_places;
    std::vector<Entry> c_entries;
    std::vector<bool> c_filed;      // by clue index
    std::string c_lastLine;         // the line noticed last, so that a line held on screen is looked up once
};
