// Saved games: one slot's title as the save pages show it (SaveFile), the bytes of a save
// file in both directions (EncodeSaveFile, ParseSaveFile), and the check of what a save names
// against the world it is restored into (CheckSaveAgainstWorld). Parser and check are pure
// (bytes in, a checked record or a reason out) so that a damaged file can never half-restore
// a game. Depends on the standard library only; the world is described by SaveWorldShape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

// One save slot's title and whether the slot holds a save.
class SaveFile {
public:
    // Bytes of the title field, terminator included.
    static constexpr int kTitleSize = 48;
    // Longest title the player can type.
    static constexpr int kMaxTypedLength = 24;

    // An empty title.
    explicit SaveFile(bool active);

    bool get_Active() const { return c_bActive; }
    void set_Active(bool active) { c_bActive = active; }
    // The slot has a file that is not a readable save (shown as such, never loaded).
    bool get_Unreadable() const { return c_bUnreadable; }
    void set_Unreadable(bool unreadable) { c_bUnreadable = unreadable; }

    // Copies `title` in, cut to kTitleSize - 1 bytes so that the field always ends in a 0.
    void set_Name(const char* title);
    // Copies the whole 48-byte field out into `buffer`, which must hold kTitleSize bytes.
    void get_Name(char* buffer) const;
    // The title as a terminated string (lives as long as this object).
    const char* get_Title() const { return c_pTitle; }

    // Appends `c` unless the title already has kMaxTypedLength characters.
    void AddChar(char c);
    // Removes the last character; an empty title stays empty.
    void RemoveLastChar();

private:
    bool c_bActive;
    bool c_bUnreadable = false;
    char c_pTitle[kTitleSize];
};

// One game variable as a save file stores it.
struct SaveVariable {
    std::uint16_t number = 0;
    std::uint8_t value = 0;
    bool operator==(const SaveVariable&) const = default;
};

// Everything a save file holds. Numbers are as stored: the heading is hundredths of a radian.
struct SaveRecord {
    std::string title;  // at most SaveFile::kTitleSize - 1 bytes, no 0 byte inside
    std::uint16_t screen = 0;
    std::uint16_t heading = 0;
    std::vector<SaveVariable> variables;  // in the world's variable order
    std::vector<std::uint8_t> items;      // inventory bar, left to right
    bool operator==(const SaveRecord&) const = default;
};

// The largest file a valid save can be: a full title, 65535 variables and 255 items. Readers
// refuse anything longer before reading it.
constexpr std::size_t kMaxSaveFileSize = SaveFile::kTitleSize + 6 + 3 * 65535 + 1 + 255;

// The file's bytes: title and its 0, then screen, heading, variable count, (number, value)
// pairs, item count and item numbers, every number big-endian. Raises Error if the record
// cannot be stored as given (a title too long or holding a 0 byte, more than 65535 variables
// or 255 items).
std::vector<std::uint8_t> EncodeSaveFile(const SaveRecord& record);

// Checks a whole file and fills `out` only if it is a complete save: a title terminated within
// its 48 bytes, every count matched by the bytes that follow, and nothing after the last item.
// Otherwise returns false, leaves `out` alone and says why in `error` (if given).
bool ParseSaveFile(std::span<const std::uint8_t> bytes, SaveRecord* out, std::string* error);

// The largest heading a save holds: 2 pi radians in hundredths, truncated.
constexpr std::uint16_t kMaxSaveHeading = 628;

// What a save may name in the world it is restored into.
struct SaveWorldShape {
    struct Variable {
        int defined = 0;                // how many of the world's variables carry the number
        std::uint8_t maxValue = 0xFF;   // a grid cell's value stays within its grid's states
    };
    std::set<int> screens;  // the places a player can stand on
    // Screens that exist but are only looked at from a place (close-ups, book pages), with
    // what they are in words.
    std::map<int, std::string> lookedAtScreens;
    std::map<int, Variable> variables;
    std::set<int> items;
};

// Checks a parsed save against the world before anything is restored: the screen is a place
// the player can stand on, the heading lies within 0 .. kMaxSaveHeading, the variables are
// exactly the world's (each listed as often as the world defines it, as the game writes them)
// with values they may hold, and every item is defined and listed once. False with the first
// fault in `error` (if given).
bool CheckSaveAgainstWorld(const SaveRecord& record, const SaveWorldShape& world, std::string* error);

// ParseSaveFile, then CheckSaveAgainstWorld: `out` is filled only with a save that can be
// restored into that world as it stands.
bool ReadSaveFile(std::span<const std::uint8_t> bytes, const SaveWorldShape& world, SaveRecord* out,
                  std::string* error);

// The heading as stored: radians (brought into 0 .. 2 pi) times 100, truncated toward zero.
std::uint16_t HeadingToFile(float radians);
// The stored heading back in radians.
float HeadingFromFile(std::uint16_t hundredths);
