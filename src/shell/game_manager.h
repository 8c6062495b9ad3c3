// The phase controller: once per frame runs the menu, the world or the credits, keeps the
// music and sounds ticking, and hands over between the phases. Owns none of the objects.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class Autosave;
class CreditsManager;
class GameSoundManager;
class HintLadder;
class Journal;
class JournalScreen;
class KeyManager;
class MenuManager;
class MouseManager;
class MusicManager;
class PlayerSettings;
class QuickSave;
class SaveManager;
class SettingsOverlay;
class WorldManager;

class GameManager {
public:
    enum Phase { kMenu = 0, kWorld = 1, kCredits = 2 };

    explicit GameManager(GameSoundManager* soundManager);

    void SetWorldManager(WorldManager* worldManager) { c_pWorldManager = worldManager; }
    void SetMouseManager(MouseManager* mouseManager) { c_pMouseManager = mouseManager; }
    void SetMusicManager(MusicManager* musicManager) { c_pMusicManager = musicManager; }
    void SetCreditsManager(CreditsManager* creditsManager) { c_pCreditsManager = creditsManager; }
    // Stores the menu and loads it at once (its pictures, the menu music, the fade).
    void SetMenuManager(MenuManager* menuManager);

    // The settings screen, opened with F1, or with Escape where Escape means nothing else (not
    // while a save title is typed, not in the credits); while it is open it runs instead of
    // the phase. `saves` tells when a title is being typed. None owned; all must be set.
    void SetSettings(SettingsOverlay* overlay, PlayerSettings* settings, KeyManager* keys, SaveManager* saves);

    // One frame of the current phase, or of the settings screen; false when the program is to end.
    bool Run();

    // The hints the H key asks for in the world (not owned; null: the key does nothing).
    void SetHints(HintLadder* hints) { c_pHints = hints; }
    // The game's own saves: the autosave after frames of play, F5 and F9 for the quick save,
    // and the place names they are made under. Not owned; null: none.
    void SetOwnSaves(Autosave* autosave, QuickSave* quickSave, std::function<std::string(int screen)> placeOf);
    // The journal the world's clues are filed in, and its screen, opened with J or the top
    // strip's button (neither owned; null: no journal).
    void SetJournal(Journal* journal, JournalScreen* screen)
    {
        c_pJournal = journal;
        c_pJournalScreen = screen;
    }

    int get_Phase() const { return c_iPhase; }
    // After Run: how long the main loop may wait for input before the next frame,
    // milliseconds. Only a world frame that showed its last picture again waits, and never
    // past the next ambient sound due, nor longer than a twentieth of a second (the music's
    // end is noticed by the next frame).
    std::uint32_t RestTime() const;

private:
    bool RunMenu();
    void RunWorld();
    void RunCredits();
    // Clears every sound and shows the menu on `page`.
    void EnterMenu(int page);
    // Runs the settings screen when it is open or asked for this frame; false when the phase
    // is to run instead.
    bool RunSettings();
    bool EscapeIsFree() const;
    // The world is entered or re-entered at its recorded screen.
    void EnterWorld();
    // F5 and F9 in the world; true when F9 restored the quick save.
    bool RunQuickSave();
    // Keeps the view shown now as the next save's picture.
    void TakeViewPicture();
    // Runs the journal screen while it is open; false when the phase is to run instead.
    bool RunJournal();
    // Files what the world shows now: the screen the player is on, the caption's line.
    void NoticeClues();

    WorldManager* c_pWorldManager = nullptr;
    MouseManager* c_pMouseManager = nullptr;
    MenuManager* c_pMenuManager = nullptr;
    GameSoundManager* c_pGameSoundManager;
    MusicManager* c_pMusicManager = nullptr;
    CreditsManager* c_pCreditsManager = nullptr;
    int c_iPhase = kMenu;
    SettingsOverlay* c_pSettingsOverlay = nullptr;
    PlayerSettings* c_pPlayerSettings = nullptr;
    KeyManager* c_pKeyManager = nullptr;
    SaveManager* c_pSaveManager = nullptr;
    HintLadder* c_pHints = nullptr;
    Autosave* c_pAutosave = nullptr;
    QuickSave* c_pQuickSave = nullptr;
    std::function<std::string(int)> c_placeOf;
    Journal* c_pJournal = nullptr;
    JournalScreen* c_pJournalScreen = nullptr;
    bool c_bRested = false;  // the last Run's world frame drew nothing new
    bool c_bSettingsAsked = false;  // a button asked for the settings screen
};
