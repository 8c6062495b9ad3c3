// Subtitles: the timed lines of one video, and how the video player draws the line for the
// current time (a black shadow, then the game's text colour, at the bottom of the screen).
// Lists are built once by the world definition and read-only afterwards. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class WorldSubtitleLine {
public:
    WorldSubtitleLine(std::uint32_t time, const char* line) : c_dwTime(time), c_lpLine(line != nullptr ? line : "") {}
    // Milliseconds from the beginning of the video file at which the line appears.
    std::uint32_t get_Time() const { return c_dwTime; }
    const char* get_Line() const { return c_lpLine.c_str(); }

private:
    std::uint32_t c_dwTime;
    std::string c_lpLine;
};

class SubtitleItem {
public:
    // Appends a line; callers add in ascending time. An empty line clears the text.
    void Add(std::uint32_t time, const char* line) { c_pItems.emplace_back(time, line); }
    // The line to show at `time` (ms from the beginning of the file): that of the last entry
    // whose time lies strictly before `time`. Before the first entry, or with no entries,
    // the empty line. The text lives as long as the list.
    const char* Get(std::uint32_t time) const;
    // Every entry, in the order added.
    const std::vector<WorldSubtitleLine>& get_Lines() const { return c_pItems; }

private:
    std::vector<WorldSubtitleLine> c_pItems;
};

namespace subtitles {

// The game's subtitle font and placement.
constexpr const char* kFontFace = "Times New Roman";
constexpr std::uint32_t kFontHeight = 14;
constexpr std::uint32_t kLargeFontHeight = 20;  // the player's "large" subtitle size
constexpr std::uint32_t kFontBold = 1;
constexpr std::uint32_t kDrawFiltered = 8;       // bilinear filtering of the glyph atlas
constexpr std::uint32_t kShadowColour = 0xFF000000;
constexpr std::uint32_t kTextColour = 0xFFEDB469;
constexpr float kShadowX = 12.0f, kShadowY = 552.0f;
constexpr float kTextX = 10.0f, kTextY = 550.0f;

// The list time of a frame drawn at `now` (timeGetTime) for a playback started at `t0` at
// `startMs` into the file.
inline std::uint32_t PlaybackTime(std::uint32_t t0, std::uint32_t now, std::int64_t startMs)
{
    return (now - t0) + static_cast<std::uint32_t>(startMs);
}

// Draws `line` with `font` (the video player's CD3DFont, between BeginScene and EndScene):
// the shadow first, then the text over it, both filtered. An empty line draws nothing.
template <class Font>
void DrawLine(Font& font, const char* line)
{
    if (line == nullptr || line[0] == '\0') return;
    font.DrawTextA(kShadowX, kShadowY, kShadowColour, line, kDrawFiltered);
    font.DrawTextA(kTextX, kTextY, kTextColour, line, kDrawFiltered);
}

}  // namespace subtitles
