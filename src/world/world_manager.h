// The world: every record of the game world (screens, variables, grids, cursors, ambient
// sounds, the inventory), the script interpreter that tests conditions and runs action lists,
// and the per-frame runtime that turns the view, finds the hotspot under the pointer and
// draws the frame. Depends on the display, input and media layers; never on the menus.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "world/world_global_var.h"
#include "world/world_global_var_array.h"
#include "world/world_frame_rest.h"
#include "world/world_screen.h"

class CD3DFont;
class Cursor;
class DisplayScreen;
class FullScreenImage;
class HotspotMarks;
class WayBackBand;
class GameSoundManager;
class MouseManager;
class MusicManager;
class PictureCache;
class RepetiveSound;
class SubtitleItem;
class Texture;
class VideoPlayer;
class WorldInventory;
class WorldTopMenu;
namespace gfx {
class Device;
}
namespace imaging {
struct Image;
}

class WorldManager {
public:
    // Cursor indices (positions in the cursor list, fixed by the order start-up adds them).
    static constexpr int kCursorNormal = 0;
    static constexpr int kCursorReact = 1;
    static constexpr int kCursorTurnLeft = 2;
    static constexpr int kCursorTurnRight = 3;
    static constexpr int kCursorLoading = 4;

    // Where the pointer acts, in pixels of the 800 x 600 screen (strict bounds): the view,
    // the margins of a panorama that turn it, and the inventory bar's click band.
    static constexpr int kViewTop = 100;
    static constexpr int kViewBottom = 500;
    static constexpr int kTurnLeftEdge = 100;
    static constexpr int kTurnRightEdge = 700;
    static constexpr int kBarTop = 512;
    static constexpr int kBarClickBottom = 575;
    // Hotspots are placed in picture pixels: a panorama is 2048 x 512, a flat screen 1024 x 512.
    static constexpr int kPanoramaWidth = 2048;
    static constexpr int kFlatWidth = 1024;
    static constexpr int kImageHeight = 512;

    // Results of Run: what the phase controller is asked to do.
    static constexpr int kKeepPlaying = 0;
    static constexpr int kRestore = 1;
    static constexpr int kSave = 2;
    static constexpr int kQuitToMenu = 3;
    static constexpr int kCredits = 4;
    static constexpr int kHints = 5;    // the top strip's hints button
    static constexpr int kJournal = 6;  // the top strip's journal button

    // Builds the view (slices x stacks panorama mesh, cross-fades of `switchLength` ms) showing
    // the black image at once, the black background texture, the inventory bar and the top
    // menu (four scrambled pictures with `topOffset`), on the game's device. The mouse, music
    // and video player are not owned. `rotationSpeed` divides the turning speed; screens are
    // entered with cross-fades of `transStandard` ms unless an action says otherwise.
    WorldManager(int slices, int stacks, int switchLength, const char* blackImage, int blackOffset,
                 MouseManager* mouseManager, MusicManager* musicManager, VideoPlayer* videoPlayer,
                 float rotationSpeed, int transStandard, const char* top1, const char* top2, const char* top3,
                 const char* top4, int topOffset);
    WorldManager(int slices, int stacks, int switchLength, const char* blackImage, MouseManager* mouseManager,
                 MusicManager* musicManager, VideoPlayer* videoPlayer, float rotationSpeed, int transStandard,
                 const char* top1, const char* top2, const char* top3, const char* top4, int topOffset);
    ~WorldManager();
    WorldManager(const WorldManager&) = delete;
    WorldManager& operator=(const WorldManager&) = delete;

    // The top strip's hints and journal buttons, from two scrambled pictures with `offset`.
    void AddTopMenuHelpButtons(const char* hints, const char* journal, int offset);

    // ---- construction (the world definition) ----
    // The manager that plays one-shot sounds and drives ambient ones; not owned. Set it before
    // any sound is added or played.
    void set_SoundManager(GameSoundManager* soundManager) { c_pGameSoundManager = soundManager; }
    void SetTextureSizes(int widthPano, int heightPano, int widthNormal, int heightNormal);
    WorldScreen* AddWorldScreen(int number, int type, const char* image, int offset);
    WorldScreen* AddWorldScreen(int number, int type, const char* image);
    void AddGlobalVar(int number, unsigned char value);
    WorldGlobalVarArray* AddGlobalVarArray(int number, int start, int width, int height, int numberMax);
    // An action list owned by the world and attached by the caller to several screens or
    // hotspots (AddPreActionList / AddActionlist with an existing list).
    WorldActionlist* AddSharedActionlist(bool type, int number);
    // The list run when the player uses an item on a hotspot (not a plain move) where no list for
    // that item runs: the world's short answer that it is of no use there. Not owned; null: none.
    void set_NoUseList(const WorldActionlist* list) { c_pNoUseList = list; }
    // The name a player reads for item `number` when the pointer rests on it in the bar or on
    // a thing a click would take (empty: no name is shown).
    void set_ItemTitle(int number, std::string title);
    const std::string& ItemTitle(int number) const;
    // The item whose name the pointer shows this frame: the one under it in the bar, or the one
    // the hotspot under it gives; 0 for none.
    int get_HoveredItem() const { return c_iHoveredItem; }
    // Defines an item (forwarded to the inventory); ActivateItem puts it into the bar.
    void AddItem(int number, const char* picture, const char* cursor1Image, const char* cursor1Alpha,
                 const char* cursor2Image, const char* cursor2Alpha, const wchar_t* sound, int width, int height,
                 int hotspotX, int hotspotY, int offset, int screen);
    void ActivateItem(int number);
    // Cursors, appended in index order. Width and height 0 take the picture's own size.
    void AddCursor(const char* image, const char* alpha, int width, int height, int hotspotX, int hotspotY,
                   int offset);
    void AddCursor(const char* image, const char* alpha, int width, int height, int hotspotX, int hotspotY);
    void AddCursor(const char* image, const char* alpha, int hotspotX, int hotspotY, int offset);
    void AddCursor(std::unique_ptr<Cursor> cursor);
    // Hands over every cursor, in their order, leaving the world with none: a world built anew
    // (the world files reloaded) takes them, so that the menu's pointers to cursors 0 and 1
    // stay good.
    std::vector<std::unique_ptr<Cursor>> ReleaseCursors();

    // ---- sounds ----
    // Creates ambient sound `number` (owned here; a bed, looping while on, if `bed`) and
    // registers it with the sound manager.
    void AddRepetiveSound(int number, const wchar_t* file, bool bed = false);
    // The same, with a caption: each time the sound starts, `caption`'s lines are shown from
    // that moment on, timed like a film's subtitles, for players who cannot hear it. The list
    // (not owned) lives as long as the world.
    void AddRepetiveSound(int number, const wchar_t* file, const SubtitleItem* caption, bool bed = false);
    // Every ambient sound with that number takes the replay bounds (ms) and is switched on
    // unless it already is.
    void ActivateRepetiveSound(int number, int min, int max);
    void DeactivateRepetiveSound(int number);
    void DeactivateAllRepetiveSounds();
    // Plays a one-shot sound.
    void AddSound(const wchar_t* file);

    // ---- lookups: first match; no match gives the last element; an empty list gives null ----
    WorldGlobalVar* getGlobalVar(int number) const;
    // The variable's byte read as signed 8-bit (200 reads as -56); 0 when there are no variables.
    signed char getGlobalVarValue(int number) const;
    // Sets the first variable with that number; an unknown number changes nothing.
    void setGlobalVarValue(int number, signed char value);
    WorldScreen* getWorldScreen(int number) const;
    // The first grid with that number, or null.
    WorldGlobalVarArray* getGlobalVarArray(int number) const;
    void ResetGlobalVarArray(int number, signed char value);

    // ---- scripts ----
    bool TestConditionList(const int* tokens, unsigned count) const;
    bool TestConditionList(const WorldActionlist* list) const;
    bool TestConditionList(const WorldHotspot* hotspot) const;
    bool TestConditionList(const WorldOverlay* overlay) const;
    // Performs the list's actions in order (its condition is the caller's business). A
    // parameter that is missing or of the wrong kind raises Error naming screen and action.
    void ExcuteActionList(const WorldActionlist* list);

    // ---- runtime ----
    // One frame of the world phase: a kKeepPlaying .. kCredits result.
    int Run();
    // Draws and presents one frame; 0, or the top menu's choice as a Run result (that frame
    // is then not presented). A frame whose picture is the one shown already is not drawn:
    // the device shows its last picture again (get_Rested).
    int Render();
    // Enters a screen with a cross-fade of `transition` ms (0 = instant) and runs its entry lists.
    void JumpToScreen(int number, int transition);
    void JumpToScreen(int number);
    // Enters a screen instantly without running its entry lists.
    void TransportToScreen(int number);
    // Opens item `item`'s close-up screen; a right click closes it again.
    void JumpToInventoryScreen(int item);
    // Composes the current screen's picture (base or replacement image, overlays, strip
    // frames) into the view's back slot. Blocks reaching outside the picture are clipped.
    void BuildScreenImage();
    // The built-in per-frame effect `number` (only 1 exists: ambient sound 4 ticks faster as
    // the pointer nears (424, 366)).
    void CustomFunction(int number);

    // ---- pictures decoded ahead ----
    // While on (from construction, when the device exists), every screen entered has the
    // pictures of the screens one click away decoded ahead on a worker thread, from its first
    // presented frame on (PictureCache:
    // at most 48 MiB, least recently shown dropped first); entering one of them then only copies
    // and uploads. What is drawn, and the order of everything the world does, are the same
    // either way. Off drops every picture held.
    void set_Prefetch(bool on);
    // The pictures held ahead; null while prefetching is off.
    PictureCache* get_PictureCache() const { return c_pPictureCache.get(); }

    // ---- rehearsing play (the world checker's search of every state) ----
    // While rehearsing, the scripts change the world's state exactly as in play but show and
    // play nothing: no picture is read or drawn, no sound, song or film plays, and scripted
    // waits return at once. Parameters are still read, so authoring faults still raise Error.
    void set_Rehearsing(bool on) { c_bRehearsing = on; }
    bool get_Rehearsing() const { return c_bRehearsing; }
    // Told of what the interpreter does, as it does it (rehearsing or not).
    class Watcher {
    public:
        virtual ~Watcher() = default;
        // A screen became the shown one (a move, an entry list's move, a close-up, a page).
        virtual void ScreenEntered(int number) = 0;
        // An action list is about to run (its condition held).
        virtual void ListRun(const WorldActionlist& list) = 0;
    };
    // `watcher` is not owned; null tells nobody.
    void set_Watcher(Watcher* watcher) { c_pWatcher = watcher; }
    // Everything of the player's game a click can change and a later click can depend on.
    struct PlayState {
        std::vector<unsigned char> vars;  // every variable, grid cells included, in list order
        std::vector<int> bar;             // the held row of items, left to right
        int heldItem = 0;
        WorldScreen* screen = nullptr;
        int screenPosition = 0;
        int standingScreen = 0;
        bool onStandingScreen = true;
        bool closeUp = false;
        WorldScreen* closeUpReturn = nullptr;
        int closeUpItem = 0;
        bool hideCursor = false;
        bool hideInventory = false;
        bool endGameMode = false;
        bool creditsDue = false;  // the next frame of play would go to the credits
    };
    PlayState SavePlayState() const;
    // Puts back a state taken from this world; draws nothing and runs no list.
    void RestorePlayState(const PlayState& state);
    // The player's clicks without the pointer, handled as Run handles the pointer's:
    // a left click at picture point (x, y) of the shown screen (picture pixels); false when
    // no hotspot whose condition holds is there.
    bool ClickPicture(int x, int y);
    // A left click on item `number` in the bar: it goes onto the cursor (a held item goes back
    // into the bar there). False when the bar cannot be clicked or does not hold the item.
    bool ClickBarItem(int number);
    // A right click on item `number` in the bar with nothing held: its close-up opens. False
    // when the bar cannot be clicked, an item is held or the bar does not hold the item.
    bool ExamineBarItem(int number);
    // A right click in the view: a held item goes back to the bar, an open close-up closes.
    void RightClick();

    // ---- state read by saving, restoring and the phase controller ----
    std::vector<std::unique_ptr<WorldGlobalVar>>& get_GlobalVars() { return c_pGlobalVars; }
    WorldInventory* get_Inventory() const { return c_pInventory.get(); }
    int get_ScreenPosition() const { return c_iScreenPosition; }
    // Records `number` as the screen to enter when the world resumes (a restored game).
    void set_ScreenPosition(int number);

    // What a screen number is to the player: a place to stand, or something looked at from
    // one (an item's close-up, a page of a book), or no screen at all.
    enum class ScreenKind { Missing, Standing, ItemCloseUp, BookPage };
    // The first screen bearing `number` decides; a number that is some item's close-up screen
    // is a close-up wherever it is entered from.
    ScreenKind KindOfScreen(int number) const;
    // The screen the player stands on: the screen shown, or, while a close-up or a book page
    // is shown, the last standing screen entered before it (the one it was opened from).
    int get_StandingScreen() const { return c_iStandingScreen; }
    // The view angle there, radians: the angle taken at the start of the last frame while the
    // player stands on it, else the angle the view had when the player left it.
    float get_StandingRotation() const { return c_bOnStandingScreen ? c_fRotation : c_fStandingRotation; }
    // The view angle captured at the start of the last frame, radians.
    float get_Rotation() const { return c_fRotation; }
    // Turns the shown view to `radians`.
    void set_Rotation(float radians);
    // The angle at which the next screen will appear.
    void set_BackRotation(float radians);

    WorldScreen* get_Screen() const { return c_pScreen; }
    // Every screen in the order added (read-only: checking and mapping the world).
    const std::vector<std::unique_ptr<WorldScreen>>& get_Screens() const { return c_pScreens; }
    // Every grid in the order added (read-only: a restored save is checked against them).
    const std::vector<std::unique_ptr<WorldGlobalVarArray>>& get_GlobalVarArrays() const { return c_pGlobalVarArrays; }
    DisplayScreen* get_DisplayScreen() const { return c_pDisplayScreen.get(); }
    int get_Cursor() const { return c_iCursor; }
    int get_CursorItem() const { return c_iCursorItem; }
    bool get_HideCursor() const { return c_bHideCursor; }
    bool get_HideInventory() const { return c_bHideInventory; }
    bool get_EndGameMode() const { return c_bEndGameMode; }
    // The caption line shown now (the lines of the last captioned sound, timed from its start,
    // each from its own time on); "" when none.
    const char* get_Caption() const;
    // Starts showing `caption` (not owned; null stops the caption) from now on.
    void ShowCaption(const SubtitleItem* caption);
    // While on (the player holds the reveal key), each frame marks what on the view reacts to
    // a click now. Set by the phase controller before Run.
    void set_Reveal(bool on) { c_bReveal = on; }
    bool get_Reveal() const { return c_bReveal; }
    // One mark of the reveal: a hotspot of the current screen whose condition holds now,
    // placed at the centre of the part of it the view shows (screen pixels), bright when a
    // click there (with the item held, if one is) runs an action list now, faint when it has
    // done all it can for now. Hotspots out of view have none.
    struct RevealMark {
        int hotspot = 0;  // its index on the screen
        int x = 0, y = 0;
        bool reacts = false;
    };
    // The marks of the view as it stands, in the screen's hotspot order (key held or not).
    std::vector<RevealMark> RevealMarks() const;

    // The view alone as it stands, without the marks, the bar, the top strip, the caption or
    // the pointer: 800 x 600 pixels as the device reads its back buffer (a save's picture).
    // Draws into the back buffer without presenting; the next frame is drawn afresh.
    std::vector<std::uint32_t> DrawViewPicture();
    // The same kept by the next frame drawn, as it draws (no frame drawn twice): asks for it,
    // and takes it once a frame has kept it (false until then). The frame asked is drawn even
    // where it could have shown the last picture again.
    void RequestViewPicture();
    bool TakeViewPicture(std::vector<std::uint32_t>* pixels);

    // A message for the game's author drawn over the top of the view (a world file that could
    // not be reloaded, say), lines split at '\n' and wrapped to the view; "" shows none.
    void set_Notice(std::string text);
    const std::string& get_Notice() const { return c_sNotice; }
    bool get_ScreenIsInventory() const { return c_bScreenIsInventory; }
    int get_TransStandard() const { return c_iTransStandard; }

    // ---- the player's settings ----
    // The view turns `factor` times as fast as the speed the world was built with.
    void set_TurningFactor(float factor) { c_fTurningFactor = factor; }
    float get_TurningFactor() const { return c_fTurningFactor; }
    // Scripted waits (ACT_Wait) return at once.
    void set_SkipWaits(bool skip) { c_bSkipWaits = skip; }
    // True once after a scripted wait was cut short with Escape, so that the same press does
    // not act again when the main loop reads the keyboard.
    bool TakeWaitCutByEscape();
    // After the world was not run for a while (the settings screen was open): the time
    // between is not turning time.
    void ResumeClock();
    // Whether the last Run showed the picture already shown instead of drawing a frame.
    bool get_Rested() const { return c_bRested; }

    // How long entering screens has taken in real time: reading, unscrambling and decoding
    // the pictures, composing overlays and strips, and the upload - not the cross-fade nor the
    // entry lists that run afterwards. For finding heavy screens and for the benchmarks.
    struct EntryTimes {
        int count = 0;
        double totalMs = 0.0;
        double slowestMs = 0.0;
        int slowestScreen = -1;
    };
    const EntryTimes& get_EntryTimes() const { return c_entryTimes; }
    // The frames around the latest screen entries (the last kRecentEntries), for measuring how
    // soon a click shows its screen. Times are seconds of the steady clock.
    struct EntryFrames {
        int entry = 0;                    // EntryTimes::count once this entry was counted
        int screen = 0;                   // the number entered
        std::uint64_t framesBefore = 0;   // frames Render had presented when the view switched
        double lastFrameBefore = 0.0;     // when the last of them was presented (0: none yet)
        double firstFrameAfter = 0.0;     // when the first frame with the new screen was (0: not yet)
    };
    static constexpr std::size_t kRecentEntries = 8;
    const std::vector<EntryFrames>& get_RecentEntries() const { return c_recentEntries; }
    // Frames Render has presented so far.
    std::uint64_t get_FramesPresented() const { return c_iFramesPresented; }
    const std::vector<std::unique_ptr<RepetiveSound>>& get_RepetiveSounds() const { return c_pRepetiveSounds; }

private:
    struct Pick {
        bool inView = false;
        int x = 0;
        int y = 0;
    };
    Pick PickPoint(float dt);
    void HandleInventoryBar();
    void HandleRightClick();
    void HandleHotspots(const Pick& pick);
    // Runs what a left click on `hotspot` does with the held item (or none).
    void RunClickedHotspot(const WorldHotspot& hotspot);
    // A left or right click in the inventory bar at screen x `mouseX`.
    void LeftClickBar(int mouseX);
    void RightClickBar(int mouseX);
    // The screen x of the middle of item `number`'s slot in the bar; nothing when not there.
    std::optional<int> BarItemX(int number) const;
    void CloseInventoryScreen();
    void EnterScreen(int number);
    // The view has switched to screen `number`, leaving a view at `leftRotation` radians.
    void NoteScreenEntered(int number, float leftRotation);
    void ComposeBlock(const imaging::Image& picture, int dstX, int dstY, std::int64_t srcX, int w, int h);
    // Asks the picture cache for the pictures of every screen one click away.
    void PrefetchNeighbours();
    Cursor* FrameCursor() const;
    // What the frame about to be drawn is made of, for the rest rule.
    WorldFrame DescribeFrame(const gfx::Device& device) const;
    // Draws the frame WorldManager::Render has decided to draw.
    int DrawFrame(gfx::Device* device);
    // A close view's ways back (hotspots with the back cursor), shown as a faint band at its foot.
    void DrawWaysBack(gfx::Device* device, int mx, int my);
    int ConditionOperand(int code, int argument) const;

    // Action codes: each reads its parameters, then performs its effect.
    void ActGotoScreen(const WorldAction& action);
    void ActReloadScreen(const WorldAction& action);
    void ActSetVar(const WorldAction& action);
    void ActWait(const WorldAction& action);
    void ActPlayVideo(const WorldAction& action);
    void ActClickArray(const WorldAction& action);
    void ExecuteAction(const WorldAction& action);
    // Raises the Error of a script-authoring fault, with the screen and action named and the
    // error-information text set.
    [[noreturn]] void ScriptError(const WorldAction& action, const std::string& what) const;

    std::unique_ptr<FullScreenImage> c_iFullScreenImage;
    MouseManager* c_pMouseManager;
    MusicManager* c_pMusicManager;
    std::unique_ptr<Texture> c_pBlackTexture;
    WorldScreen* c_pScreen = nullptr;
    WorldScreen* c_pLastScreen = nullptr;
    VideoPlayer* c_pVideoPlayer;
    float c_fLastRotation = 0.0f;
    bool c_bScreenIsInventory = false;
    int c_iScreenPosition = 0;
    int c_iStandingScreen = 0;
    bool c_bOnStandingScreen = true;
    float c_fStandingRotation = 0.0f;
    std::vector<int> c_closeUpScreens;  // every defined item's close-up screen
    int c_iTransStandard;
    EntryTimes c_entryTimes;
    std::vector<EntryFrames> c_recentEntries;
    std::uint64_t c_iFramesPresented = 0;
    double c_lastPresentAt = 0.0;
    void NoteScreenSwitched(int number, double enteredMs);
    void NoteFramePresented();
    int c_iCursor = kCursorNormal;
    int c_iCursorItem = 0;
    int c_iHoveredItem = 0;
    std::map<int, std::string> c_itemTitles;
    void RenderItemName(gfx::Device* device, int mouseX, int mouseY);
    void NameHoveredBarItem();
    CD3DFont& CaptionFont(gfx::Device* device);
    int c_iWidthPano = 2000, c_iHeightPano = 400, c_iWidthNormal = 800, c_iHeightNormal = 400;
    int c_iMenu = 0;
    int c_iInventoryItem = 0;
    bool c_bHideCursor = false;
    bool c_bHideInventory = false;
    bool c_bEndGameMode = false;
    bool c_bCreditsNow = false;  // an end-game action asked for the credits at once
    const SubtitleItem* c_pCaption = nullptr;
    std::uint32_t c_dwCaptionStart = 0;
    // The captions of ambient sounds, by index into c_pRepetiveSounds, with the start time of
    // the play whose caption was last shown.
    struct SoundCaption {
        std::size_t sound;
        const SubtitleItem* caption;
        std::uint32_t shownFor;
    };
    std::vector<SoundCaption> c_pSoundCaptions;
    std::unique_ptr<CD3DFont> c_pCaptionFont;
    void UpdateSoundCaptions();
    void RenderCaption(gfx::Device* device);
    void RenderNotice(gfx::Device* device);
    bool c_bReveal = false;
    std::unique_ptr<HotspotMarks> c_pRevealMarks;
    std::unique_ptr<WayBackBand> c_pWayBack;
    const WorldActionlist* c_pNoUseList = nullptr;  // made when a close view first shows its way back
    std::string c_sNotice;
    std::vector<std::string> c_noticeLines;  // c_sNotice wrapped to the view
    std::uint64_t c_iNoticeVersion = 0;      // counts changes of the notice, for the rest rule
    float c_fRotation = 0.0f;
    float c_fRotationSpeed;
    float c_fTurningFactor = 1.0f;
    bool c_bSkipWaits = false;
    bool c_bWaitCutByEscape = false;
    std::unique_ptr<DisplayScreen> c_pDisplayScreen;
    std::unique_ptr<PictureCache> c_pPictureCache;
    bool c_bPrefetchDue = false;  // a screen was entered: decode its neighbours after the next frame
    std::vector<std::unique_ptr<Cursor>> c_pCursors;
    std::vector<std::unique_ptr<WorldScreen>> c_pScreens;
    std::vector<std::unique_ptr<WorldGlobalVar>> c_pGlobalVars;
    std::vector<std::unique_ptr<WorldGlobalVarArray>> c_pGlobalVarArrays;
    std::vector<std::unique_ptr<RepetiveSound>> c_pRepetiveSounds;
    std::vector<std::unique_ptr<WorldActionlist>> c_pSharedActionlists;
    std::unique_ptr<WorldInventory> c_pInventory;
    std::unique_ptr<WorldTopMenu> c_pTopMenu;
    GameSoundManager* c_pGameSoundManager = nullptr;
    std::uint32_t c_dLastTime = 0;
    WorldFrameRest c_rest;
    // Clears the frame, begins the scene and draws the view alone (the screen's picture and
    // what lies behind a flat one); the rest of the frame is the caller's.
    void DrawView(gfx::Device* device);
    bool c_bViewPictureWanted = false;
    std::vector<std::uint32_t> c_viewPicture;  // the view kept by the frame asked, until taken
    bool c_bRested = false;
    bool c_bClickedThisFrame = false;
    std::uint64_t c_iActionsRun = 0;
    bool c_bRehearsing = false;
    Watcher* c_pWatcher = nullptr;
};
