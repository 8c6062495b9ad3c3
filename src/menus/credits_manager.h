// The end credits: lines of text scrolling up a black screen at a speed measured against the
// clock, each centred and drawn three times (two dim, jittering copies behind a bright one) in
// a flickering amber. Draws with the game's device and three fonts it does not own; depends on
// the display layer only.
#pragma once

#include <cstdint>
#include <vector>

#include "display/cd3dfont.h"
#include "menus/credits_line.h"

class KeyManager;
class MouseManager;

class CreditsManager {
public:
    // The amber of the credits text.
    static constexpr int kBaseRed = 237, kBaseGreen = 180, kBaseBlue = 105;

    // Keeps the plain, bold and italic fonts (not owned; they must outlive the credits) and
    // prepares their device objects on the game's device. `speed` is in pixels per millisecond.
    CreditsManager(CD3DFont* plain, CD3DFont* bold, CD3DFont* italic, float speed);

    // Appends a line of kind `type` (CreditsLine::kPlain, kBold or kItalic); any other kind
    // raises Error, since it names no font.
    void AddLine(const char* text, int type);
    void AddLine(const char* text) { AddLine(text, CreditsLine::kPlain); }
    // Appends `count` empty plain lines.
    void AddSpaceLines(int count);
    void set_Speed(float speed) { c_fSpeed = speed; }
    // The player's mouse and keyboard (not owned; null: the credits always run to their end).
    // With them, Escape or a left click ends the credits as if the last line had gone.
    void SetPlayerInput(MouseManager* mouse, KeyManager* keys);

    // The credits start again from the bottom of the screen, now.
    void Reset();
    // One frame: draws and presents it and returns 0, or returns 1 without drawing anything
    // once every line has scrolled past the top.
    int Run();

    int get_TextHeight() const { return c_iTextHeight; }
    int get_LineCount() const { return static_cast<int>(c_pLines.size()); }
    const CreditsLine& get_Line(int index) const { return c_pLines[static_cast<std::size_t>(index)]; }
    float get_ColourMult() const { return c_fColourMult; }

private:
    void Flicker();
    void Jitter();
    bool PlayerLeaves();

    std::uint32_t c_dStartingTime = 0;  // timeGetTime at Reset, milliseconds
    float c_fSpeed;                     // pixels per millisecond
    float c_fColourMult = 1.0f;
    float c_iXoffset1 = 0.0f, c_iYoffset1 = 0.0f;  // the middle copy's offset, pixels
    float c_iXoffset2 = 0.0f, c_iYoffset2 = 0.0f;  // the dimmest copy's offset, pixels
    int c_iTextHeight = 0;                         // line pitch, pixels
    CD3DFont* c_pFont[3];                          // by line kind; not owned
    std::vector<CreditsLine> c_pLines;
    std::vector<CD3DFont::TextRun> c_runs;  // the strings of one font gathered for one draw
    MouseManager* c_pMouseManager = nullptr;  // not owned
    KeyManager* c_pKeyManager = nullptr;      // not owned
};
