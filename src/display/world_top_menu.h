// The top menu: restore, save, hints, journal and quit buttons in the strip above the view,
// drawn translucently; restore and quit ask for a second click on the same button to confirm.
// Uses the game's device (D3Dfunc::pD3Ddevice) and the mouse's latched left click.
// Depends on the display classes and the mouse input only.
#pragma once

#include <array>
#include <memory>

#include "display/d3dmat.h"
#include "display/full_screen_image.h"

class MouseManager;
class Texture;

// What the top menu reports for a frame.
enum TopMenuResult : int {
    TMR_None = 0,          // no button under the pointer
    TMR_Hover = 1,         // a button under the pointer, no action
    TMR_Restore = 2,       // restore confirmed (second click)
    TMR_Save = 3,          // save clicked
    TMR_Quit = 4,          // quit confirmed (second click)
    TMR_EndGameQuit = 5,   // quit clicked in end-game mode (first click)
    TMR_Hints = 6,         // hints clicked
    TMR_Journal = 7,       // journal clicked
};

class WorldTopMenu {
public:
    // Loads the restore, save and quit buttons and the confirmation picture, all scrambled
    // with `offset`. The mouse is not owned. Load errors propagate.
    WorldTopMenu(MouseManager* mouseManager, const char* top1, const char* top2, const char* top3,
                 const char* top4, int offset);
    ~WorldTopMenu();
    WorldTopMenu(const WorldTopMenu&) = delete;
    WorldTopMenu& operator=(const WorldTopMenu&) = delete;

    // Loads the hints and journal buttons (scrambled with `offset`); until then their places in
    // the strip stay empty and answer no click. Load errors propagate.
    void AddHelpButtons(const char* hints, const char* journal, int offset);

    // The pointer is in the top strip at screen x `mouseX`: fade in, draw, take a left click on
    // the button under the pointer. End-game mode shows only the quit button. A TopMenuResult.
    int Render(int mouseX, bool endGameMode);
    // The pointer is elsewhere: fade out and draw; both confirmations are dropped.
    void Render(bool endGameMode);

    // The menu's current opacity, 0 .. 0.75.
    float get_SemiTransparent() const { return c_fSemiTransparent; }

private:
    int RenderFin(int mouseX, bool endGameMode);
    // Draws button picture `texture` at normalised x `left`: opaque when hovered, else at the
    // menu's opacity.
    void DrawButton(int texture, float left, bool hovered, float top);
    // A button, and under it the confirmation picture while it awaits its second click: the
    // pointer rests on the button, so the question hangs below it, where it is read.
    void DrawAsking(int texture, float left, bool hovered, bool asking);

    MouseManager* c_pMouseManager;  // not owned
    float c_fSemiTransparent = 0.2f;
    std::unique_ptr<FullScreenImage> c_pFullScreenImage;
    std::unique_ptr<D3Dmat> c_pD3Dmat;
    // 0 restore, 1 save, 2 quit, 3 the confirmation picture, 4 hints, 5 journal (4 and 5 may
    // be null).
    std::array<std::unique_ptr<Texture>, 6> c_pTextures;
    bool c_bRestore = false;  // restore clicked once, awaiting the confirming click
    bool c_bQuit = false;     // quit clicked once, awaiting the confirming click
};
