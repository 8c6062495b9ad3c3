// The game's interface pictures: cursors with their alpha masks, the main menu's pages with
// their buttons where the menu tests them, and the top menu's four buttons.
#pragma once

#include <string>
#include <vector>

#include "content/canvas.h"

class TextCatalogue;

namespace content {

// The words set into the interface pictures, in one language (the engine's Latin-1), all from
// the game's texts (ids "menu.*", "top.*", "title.*").
struct InterfaceTexts {
    std::string title, tagline;                          // the main page's name and the line under it
    std::string newGame, restore, credits, quit, settings, back;   // the menu pages' buttons
    std::string restoreTitle, saveTitle, saveHint;       // the slot pages
    std::string creditsTitle;
    std::vector<std::string> creditsLines;               // heading, what it names, heading, ...
    std::string topRestore, topSave, topHints, topJournal, topQuit, topSure, topClickAgain;

    // Raises Error naming the first id the catalogue lacks.
    static InterfaceTexts From(const TextCatalogue& texts);
};

// The menu pages are 800 x 600, drawn over the whole screen.
constexpr int kMenuWidth = 800;
constexpr int kMenuHeight = 600;
// Top-menu buttons: drawn 200 x 100 on screen; the pictures are 256 x 128 (the same shape, a
// power of two, so the texture needs no resampling).
constexpr int kTopButtonWidth = 192;  // drawn 150 x 100: five fit the strip
constexpr int kTopButtonHeight = 128;

// A menu button: the rectangle the menu tests the pointer against (x1, y1, x2, y2 in screen
// pixels) and its label.
struct MenuButton {
    int x1, y1, x2, y2;
    std::string label;
};

enum class MenuPage { Main, Restore, Save, Credits };
// The page's buttons, at the rectangles the main menu reacts to.
std::vector<MenuButton> ButtonsOf(MenuPage page, const InterfaceTexts& words);
Canvas PaintMenuPage(MenuPage page, const InterfaceTexts& words);

enum class TopButton { Restore, Save, Quit, Confirm, Hints, Journal };
// A label is set smaller where a language's word would not fit the button.
Canvas PaintTopButton(TopButton button, const InterfaceTexts& words);

// The pointer, the turning arrows, the hourglass, and the pointer over a hotspot by what a click
// on it does: walk on (an arrow ahead), take (a grasping hand), use (a cog), look closer (a
// magnifying glass), read (an open book), go back (an arrow down, out of the close view).
enum class CursorKind { Pointer, TurnLeft, TurnRight, Loading, Walk, Take, Use, Look, Read, Back };
// A cursor's picture and masks. The pointer has two masks: `normal` (alpha2, over nothing)
// and `highlighted` (alpha1, over something that reacts, with a halo); the others use only
// `normal`, the hotspots' kinds with the pointer's halo. Sizes: turn cursors 85 x 85, the
// others 85 x 90 with the arrow's tip at (3, 3).
struct CursorPictures {
    Canvas picture{1, 1};
    std::vector<float> normal;
    std::vector<float> highlighted;
};
CursorPictures PaintCursor(CursorKind kind);

}  // namespace content
