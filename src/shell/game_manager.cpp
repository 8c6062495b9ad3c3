#include "shell/game_manager.h"

#include <utility>

#include "display/d3dfunc.h"
#include "input/key_manager.h"
#include "media/game_sound_manager.h"
#include "media/music_manager.h"
#include "menus/credits_manager.h"
#include "menus/menu_manager.h"
#include "menus/save_manager.h"
#include "menus/settings_overlay.h"
#include "platform/clock/clock.h"
#include "platform/gfx/device.h"
#include "shell/autosave.h"
#include "shell/hint_ladder.h"
#include "shell/journal.h"
#include "shell/journal_screen.h"
#include "shell/player_settings.h"
#include "shell/quick_save.h"
#include "world/world_manager.h"

namespace {

// Results of MenuManager::Run.
constexpr int kMenuEnterWorld = 1;
constexpr int kMenuQuit = 2;
constexpr int kMenuOpenSettings = 3;
// Results of WorldManager::Run: the top menu's buttons.
constexpr int kWorldRestore = 1;
constexpr int kWorldSave = 2;
constexpr int kWorldQuitToMenu = 3;
constexpr int kWorldCredits = 4;
constexpr int kWorldHints = 5;
constexpr int kWorldJournal = 6;
// Result of CreditsManager::Run when the last line has gone.
constexpr int kCreditsDone = 1;

// Menu pages the world opens.
constexpr int kPageMain = 0;
constexpr int kPageRestoreInGame = 2;
constexpr int kPageSave = 3;

constexpr int kCreditsSong = 4;

// The longest a resting world waits for input before it runs a frame again, milliseconds.
constexpr std::uint32_t kLongestRestMs = 50;

}  // namespace

GameManager::GameManager(GameSoundManager* soundManager) : c_pGameSoundManager(soundManager) {}

void GameManager::SetMenuManager(MenuManager* menuManager)
{
    c_pMenuManager = menuManager;
    c_pMenuManager->Load();
}

bool GameManager::Run()
{
    c_bRested = false;
    c_pMusicManager->Run();
    c_pGameSoundManager->Run();

    // The world's view band leaves its own viewport behind; every phase starts full screen.
    const D3DVIEWPORT9 fullScreen{0, 0, 800, 600, 0.0f, 1.0f};
    D3Dfunc::pD3Ddevice->SetViewport(fullScreen);

    if (c_pPlayerSettings != nullptr && c_pPlayerSettings->FollowWindow() && c_pSettingsOverlay != nullptr &&
        c_pSettingsOverlay->IsOpen())
        c_pSettingsOverlay->ShowWindowMode(c_pPlayerSettings->get_Settings().fullScreen);
    if (RunSettings()) return true;
    if (RunJournal()) return true;
    bool goOn = true;
    switch (c_iPhase) {
    case kMenu:
        goOn = RunMenu();
        break;
    case kWorld:
        RunWorld();
        break;
    case kCredits:
        RunCredits();
        break;
    default:
        break;
    }
    // Escape that ended a scripted wait is spent; it must not open the settings as well.
    if (c_pWorldManager != nullptr && c_pWorldManager->TakeWaitCutByEscape() && c_pKeyManager != nullptr) {
        c_pKeyManager->Update();
        c_pKeyManager->GetKeyPressedDel(platform::DIK_ESCAPE);
    }
    return goOn;
}

void GameManager::SetSettings(SettingsOverlay* overlay, PlayerSettings* settings, KeyManager* keys,
                              SaveManager* saves)
{
    c_pSettingsOverlay = overlay;
    c_pPlayerSettings = settings;
    c_pKeyManager = keys;
    c_pSaveManager = saves;
}

bool GameManager::EscapeIsFree() const
{
    if (c_iPhase == kCredits) return false;  // Escape leaves the credits
    if (c_pJournalScreen != nullptr && c_pJournalScreen->IsOpen()) return false;  // Escape closes the journal
    return !(c_iPhase == kMenu && c_pSaveManager != nullptr && c_pSaveManager->get_Edit() != 0);
}

bool GameManager::RunSettings()
{
    if (c_pSettingsOverlay == nullptr) return false;
    if (!c_pSettingsOverlay->IsOpen()) {
        bool open = std::exchange(c_bSettingsAsked, false) || c_pKeyManager->GetKeyPressedDel(platform::DIK_F1);
        if (!open && EscapeIsFree()) open = c_pKeyManager->GetKeyPressedDel(platform::DIK_ESCAPE);
        if (!open) return false;
        c_pSettingsOverlay->Open(c_pPlayerSettings->get_Settings());
    }
    switch (c_pSettingsOverlay->Run()) {
    case SettingsOverlay::kChanged:
        c_pPlayerSettings->Set(c_pSettingsOverlay->get_Settings());
        break;
    case SettingsOverlay::kClosed:
        c_pPlayerSettings->Save();
        // The world's turning clock does not count the time the screen was open.
        if (c_pWorldManager != nullptr) c_pWorldManager->ResumeClock();
        break;
    default:
        break;
    }
    return true;
}

void GameManager::SetOwnSaves(Autosave* autosave, QuickSave* quickSave, std::function<std::string(int)> placeOf)
{
    c_pAutosave = autosave;
    c_pQuickSave = quickSave;
    c_placeOf = std::move(placeOf);
}

void GameManager::EnterWorld()
{
    // A new game, a restore and the back-to-game button all re-enter the recorded screen at
    // once, running its entry lists.
    c_pWorldManager->JumpToScreen(c_pWorldManager->get_ScreenPosition(), 0);
    if (c_pAutosave != nullptr) c_pAutosave->Enter(*c_pWorldManager, c_pHints, timeGetTime());
}

void GameManager::TakeViewPicture()
{
    if (c_pSaveManager != nullptr) c_pSaveManager->set_ViewPicture(c_pWorldManager->DrawViewPicture());
}

bool GameManager::RunQuickSave()
{
    if (c_pQuickSave == nullptr || c_pKeyManager == nullptr) return false;
    const bool save = c_pKeyManager->GetKeyPressedDel(platform::DIK_F5);
    const bool restore = c_pKeyManager->GetKeyPressedDel(platform::DIK_F9);
    // Not while a scene plays or the game ends: there is no game in the player's hand to keep.
    if (!Autosave::CanSave(*c_pWorldManager)) return false;
    if (save) {
        const std::string place = c_placeOf ? c_placeOf(c_pWorldManager->get_StandingScreen()) : std::string();
        c_pQuickSave->Save(*c_pWorldManager, place, [this] { TakeViewPicture(); });
    }
    if (!restore) return false;
    // A held item goes back to the bar and a close-up shuts first, so nothing of the game
    // left behind follows into the restored one.
    if (c_pWorldManager->get_CursorItem() != 0 || c_pWorldManager->get_ScreenIsInventory()) c_pWorldManager->RightClick();
    if (c_pQuickSave->Restore(*c_pWorldManager, timeGetTime()) != QuickSave::Result::Restored) return false;
    c_pGameSoundManager->Clear();
    EnterWorld();
    return true;
}

bool GameManager::RunMenu()
{
    switch (c_pMenuManager->Run()) {
    case kMenuEnterWorld:
        c_pMenuManager->Unload();
        c_iPhase = kWorld;
        c_pMusicManager->Stop();
        EnterWorld();
        return true;
    case kMenuQuit:
        c_pMenuManager->Unload();
        c_pMusicManager->Stop();
        return false;
    case kMenuOpenSettings:
        c_bSettingsAsked = true;  // opened from the next frame, as F1 opens it
        return true;
    default:
        return true;
    }
}

std::uint32_t GameManager::RestTime() const
{
    if (!c_bRested) return 0;
    return c_pGameSoundManager->MsUntilDue(timeGetTime(), kLongestRestMs);
}

void GameManager::RunWorld()
{
    // Holding Space marks what on the view reacts, unless the player turned that off.
    const bool revealAllowed = c_pPlayerSettings == nullptr || c_pPlayerSettings->get_Settings().revealHotspots;
    c_pWorldManager->set_Reveal(revealAllowed && c_pKeyManager != nullptr &&
                                c_pKeyManager->GetKeyPressed(platform::DIK_SPACE));
    if (c_pHints != nullptr && c_pKeyManager != nullptr && c_pKeyManager->GetKeyPressedDel(platform::DIK_H))
        c_pHints->AskAndShow(*c_pWorldManager);
    RunQuickSave();
    if (c_pJournalScreen != nullptr && c_pJournal != nullptr && c_pKeyManager != nullptr &&
        c_pKeyManager->GetKeyPressedDel(platform::DIK_J)) {
        c_pJournalScreen->Open(*c_pJournal);
        return;
    }
    const int result = c_pWorldManager->Run();
    NoticeClues();
    c_bRested = result == WorldManager::kKeepPlaying && c_pWorldManager->get_Rested();
    if (result == WorldManager::kKeepPlaying && c_pAutosave != nullptr) {
        if (c_pAutosave->AfterFrame(*c_pWorldManager, c_pHints, timeGetTime()) != Autosave::Reason::None)
            c_bRested = false;
    }
    switch (result) {
    case kWorldRestore:
        EnterMenu(kPageRestoreInGame);
        break;
    case kWorldSave:
        // The save page shows the view the player left, not the page.
        TakeViewPicture();
        EnterMenu(kPageSave);
        break;
    case kWorldQuitToMenu:
        EnterMenu(kPageMain);
        break;
    case kWorldHints:
        if (c_pHints != nullptr) c_pHints->AskAndShow(*c_pWorldManager);
        break;
    case kWorldJournal:
        if (c_pJournalScreen != nullptr && c_pJournal != nullptr) c_pJournalScreen->Open(*c_pJournal);
        break;
    case kWorldCredits:
        c_pGameSoundManager->Clear();
        c_pMusicManager->PlaySong(kCreditsSong, true);
        c_pCreditsManager->Reset();
        c_iPhase = kCredits;
        break;
    default:
        break;
    }
}

bool GameManager::RunJournal()
{
    if (c_pJournalScreen == nullptr || !c_pJournalScreen->IsOpen()) return false;
    // The world's turning clock does not count the time the journal was open.
    if (c_pJournalScreen->Run() == JournalScreen::kClosed && c_pWorldManager != nullptr)
        c_pWorldManager->ResumeClock();
    return true;
}

void GameManager::NoticeClues()
{
    if (c_pJournal == nullptr) return;
    const int standing = c_pWorldManager->get_StandingScreen();
    c_pJournal->NoticeScreen(c_pWorldManager->get_ScreenPosition(), standing);
    c_pJournal->NoticeLine(c_pWorldManager->get_Caption(), standing);
}

void GameManager::RunCredits()
{
    if (c_pCreditsManager->Run() == kCreditsDone) EnterMenu(kPageMain);
}

void GameManager::EnterMenu(int page)
{
    c_pGameSoundManager->Clear();
    c_pMenuManager->Load();
    c_iPhase = kMenu;
    c_pMenuManager->SetScreen(page);
}
