// What a save keeps beside its file: the place and the moment it was made, a small picture of
// the view, and the game's own additions to its state (the journal, the hints given). The save
// file itself keeps its format byte for byte; all of this lives in files of its own next to it,
// so a save without them (made before they existed, or whose companion was lost) still
// restores, and only shows less on the slot pages. Pure: text and pixels in, text and pixels out.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct SaveCompanion {
    std::string place;       // where the player stood, in the engine's Latin-1; may be empty
    std::int64_t time = 0;   // when, seconds since the epoch; 0: not known
    // Checksums (SaveChecksum) of the save file and the picture it was written with: a
    // companion belongs to the save whose bytes give its check; the picture likewise.
    std::string saveCheck, pictureCheck;
    // The game's additions by name, each one line of text (no line break).
    std::map<std::string, std::string> extras;
    bool operator==(const SaveCompanion&) const = default;
};

// A checksum of a file's bytes as a companion records it (16 hex digits).
std::string SaveChecksum(const std::vector<std::uint8_t>& bytes);

// The companion as text: a first line naming the format, then "place", "time", "save",
// "picture" and one "extra <name> <text>" line each. Raises Error when a field would break its line (a line
// break in a value, a name with a space).
std::string EncodeSaveCompanion(const SaveCompanion& companion);

// Reads a companion written by EncodeSaveCompanion; lines it does not know (from a later
// version) are passed over. False with the reason in `error` (when given) for text that is no
// companion; `out` is then left alone.
bool ParseSaveCompanion(std::string_view text, SaveCompanion* out, std::string* error);

// The moment as the slot pages show it, in the player's local time zone: "2026-12-09 20:55".
// Digits only, so that it reads the same in every language. Empty for 0.
std::string SaveTimeText(std::int64_t time);

// The slot picture's size in pixels: the view band's shape, two wide to one high.
constexpr int kSlotPictureWidth = 120;
constexpr int kSlotPictureHeight = 60;

// Rows `top` to `bottom` (exclusive) of a picture shrunk to the slot picture: `pixels` is
// width x height, 0xAARRGGBB, top row first; each picture pixel is the mean of the pixels it
// covers. Returns kSlotPictureWidth x kSlotPictureHeight pixels, opaque; empty when the rows
// lie outside the picture or are fewer than the slot picture's.
std::vector<std::uint32_t> ShrinkToSlotPicture(const std::vector<std::uint32_t>& pixels, int width, int height,
                                               int top, int bottom);
