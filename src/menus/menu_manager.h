// The main menu phase: five full-screen pages drawn from images (main page, restore from the
// main page, restore and save opened from the game, credits page), their buttons, the save
// manager's slot lists over the restore and save pages, the game's cursor, and a dark veil
// that lifts from black on every page change and then flickers. Depends on display, input,
// media and the save manager; never on the shell.
#pragma once

#include <cstdint>
#include <memory>

#include "display/d3dfunc.h"
#include "display/d3dmat.h"
#include "display/image_offsets.h"

class ButtonGlow;
class Cursor;
class FullScreenImage;
class MouseManager;
class MusicManager;
class SaveManager;
class Texture;

class MenuManager {
public:
    // Pages.
    static constexpr int kMainPage = 0;
    static constexpr int kRestorePage = 1;        // opened from the main page
    static constexpr int kGameRestorePage = 2;    // opened from the game
    static constexpr int kGameSavePage = 3;       // opened from the game
    static constexpr int kCreditsPage = 4;

    // Results of Run.
    static constexpr int kStay = 0;
    static constexpr int kEnterWorld = 1;
    static constexpr int kQuit = 2;
    static constexpr int kOpenSettings = 3;  // the main page's Settings button

    // The menu's music track.
    static constexpr int kMenuSong = 1;

    // `cursor` is drawn over active buttons and slots, `cursorLight` elsewhere; none of the
    // five objects is owned. `imageOffset` is the rotation offset of the four page images.
    // Main page; no images until Load.
    MenuManager(Cursor* cursor, Cursor* cursorLight, MouseManager* mouse, MusicManager* music,
                SaveManager* saveManager, int imageOffset = kMenuImageOffset);
    ~MenuManager();
    MenuManager(const MenuManager&) = delete;
    MenuManager& operator=(const MenuManager&) = delete;

    // Loads the page images and the black veil (replacing any still loaded), starts the menu
    // music unless it is already playing, and restarts the fade from dark. Loader errors
    // propagate. The page is not changed.
    void Load();
    // Releases everything Load created.
    void Unload();
    // Shows `page` (kMainPage .. kCreditsPage), fading in from dark.
    void SetScreen(int page);
    // One frame: draws and presents it and handles the pointer. kStay, kEnterWorld or kQuit.
    int Run();

    int get_CurrentMenu() const { return c_iCurrentMenu; }
    float get_Blackness() const { return c_fBlackness; }
    bool IsLoaded() const { return c_pBlackTexture != nullptr; }

private:
    enum class Hover { None, Active, HideCursor };

    void FadeStep();
    // The page, scaled by `light` (1: as it is).
    void DrawPage(float light);
    // The picture DrawPage shows for `picture`: the kept copy of it when that holds it under
    // the device's present states; otherwise `picture` is drawn here as it is and copied, and
    // the copy is returned (or `picture` itself if it could not be copied). Sets `*drawn` when
    // the frame already holds the page at full light.
    gfx::Texture* KeptPage(gfx::Texture* picture, bool* drawn);
    // The slot list of a restore or save page; may load a game (then kEnterWorld).
    int RunSlotList(Hover* hover);
    int RunButtons(Hover* hover);
    void DrawCursor(Hover hover);
    // The share of light the veil lets through this frame: 0 dark, 1 none veiled.
    float VeilLight() const;
    // Draws the veil's picture over the whole screen at `opacity`.
    void DrawDarkness(float opacity);
    // Whether every pixel of `picture` is black: a veil of it only darkens.
    static bool IsBlack(const Texture& picture);
    // Draws `picture` with the stage's alpha taken from the texture, putting the stage back.
    void DrawPictureAlone(FullScreenImage& picture);
    Texture* PageImage() const;

    Cursor* c_pCursor;             // not owned
    Cursor* c_pCursorLight;        // not owned
    MouseManager* c_pMouseManager;  // not owned
    MusicManager* c_pMusicManager;  // not owned
    SaveManager* c_pSaveManager;    // not owned
    int c_iImageOffset;
    std::unique_ptr<FullScreenImage> c_pFullScreen;
    std::unique_ptr<Texture> c_pBackground;
    std::unique_ptr<Texture> c_pRestore;
    std::unique_ptr<Texture> c_pSave;
    std::unique_ptr<Texture> c_pCredits;
    std::unique_ptr<Texture> c_pBlackTexture;
    D3Dmat c_pD3Dmat;
    // The page picture is a power-of-two texture scaled down to the screen, the costliest fill
    // of a menu frame, and the same every frame of a page: what it drew is copied once and
    // later frames draw the copy texel for pixel, dimmed as the veil asks.
    struct Kept {
        std::unique_ptr<gfx::Texture> copy;       // 800 x 600, the page as drawn at full light
        const gfx::Texture* source = nullptr;     // what `copy` shows; null: nothing yet
        std::uint64_t version = 0;
        D3Dfunc::SamplingStates states{};
    };
    Kept c_kept;
    // The button the pointer is over this frame (800 x 600 pixels), and its glow.
    struct ButtonRect {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    };
    ButtonRect c_hovered;
    bool c_bButtonHovered = false;
    std::unique_ptr<ButtonGlow> c_pGlow;
    int c_iCurrentMenu = kMainPage;
    float c_fBlackness = 0.0f;  // 0 = fully dark
    bool c_bVeilIsBlack = false;  // the veil's picture is black: frames are drawn dimmed instead
};
