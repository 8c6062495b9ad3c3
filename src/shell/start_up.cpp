#include "shell/start_up.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "core/error.h"
#include "core/game_paths.h"
#include "core/latin1_text.h"
#include "core/text_catalogue.h"
#include "display/cd3dfont.h"
#include "display/cursor.h"
#include "display/d3dfunc.h"
#include "display/image_offsets.h"
#include "input/key_manager.h"
#include "input/mouse_manager.h"
#include "media/game_sound_manager.h"
#include "media/music_manager.h"
#include "media/video_player.h"
#include "menus/credits_manager.h"
#include "menus/menu_manager.h"
#include "menus/save_manager.h"
#include "menus/settings_overlay.h"
#include "shell/autosave.h"
#include "shell/game_manager.h"
#include "shell/game_saves.h"
#include "shell/hint_ladder.h"
#include "shell/journal.h"
#include "shell/journal_screen.h"
#include "shell/player_settings.h"
#include "shell/quick_save.h"
#include "world/hotspot_cursor.h"
#include "shell/winfunc.h"
#include "shell/world_reload.h"
#include "script/world_files.h"
#include "world/world_manager.h"

MouseManager* _pMouseManager = nullptr;
KeyManager* _pKeyManager = nullptr;

namespace {

// The running game's objects. Released by the shutdown hook, before the device goes. After a
// fatal error they are left alone, so a plain pointer holds them rather than a static owner:
// nothing of the game may be destroyed by the exit-time destructors, after the device and the
// sound output have gone.
GameObjects* g_game = nullptr;

constexpr float kCreditsSpeed = 0.028f;  // pixels per millisecond
constexpr int kPanoramaSlices = 128;
constexpr int kPanoramaStacks = 40;
constexpr int kViewSwitchLength = 350;   // ms
constexpr float kRotationSpeed = 32500.0f;
constexpr int kStandardTransition = 600;  // ms
constexpr int kStartScreenAfterBuild = 3;  // no such screen: the lookup yields the last one

void StartMusic(GameObjects& game)
{
    game.music = std::make_unique<MusicManager>();
    game.music->AddSong(1, L"data/music/1.mp3");
    game.music->AddSong(2, L"data/music/2.mp3");
    game.music->AddSong(3, L"data/music/3.mp3");
    game.music->AddSong(4, L"data/music/4.mp3");
    game.music->PlaySong(1, false);  // the menu music plays while the rest loads
}

void CreateCredits(GameObjects& game)
{
    game.creditsItalic = std::make_unique<CD3DFont>("Times New Roman", 15, 2);
    game.creditsBold = std::make_unique<CD3DFont>("Times New Roman", 15, 1);
    game.creditsPlain = std::make_unique<CD3DFont>("Times New Roman", 15, 0);
    game.credits = CreateCreditsManager(game);
}

void CreateWorld(GameObjects& game)
{
    game.world = CreateWorldManager(game);
}

// Cursors 0 and 1 are shared with the menu; 2 to 4 turn left, turn right and loading; then the
// hotspots' kinds.
void CreateCursors(GameObjects& game)
{
    auto normal = std::make_unique<Cursor>(D3Dfunc::pD3Ddevice);
    normal->OpenImageFile("data/cursor/cursor1.enc", "data/cursor/cursor1_alpha2.enc", 85, 90, 3, 3,
                          kCursorImageOffset);
    auto highlighted = std::make_unique<Cursor>(D3Dfunc::pD3Ddevice);
    highlighted->OpenImageFile("data/cursor/cursor1.enc", "data/cursor/cursor1_alpha1.enc", 85, 90, 3, 3,
                               kCursorImageOffset);
    game.normalCursor = normal.get();
    game.highlightedCursor = highlighted.get();
    game.world->AddCursor(std::move(normal));
    game.world->AddCursor(std::move(highlighted));
    game.world->AddCursor("data/cursor/cursor2.enc", "data/cursor/cursor2_alpha.enc", 85, 85, 10, 42,
                          kCursorImageOffset);
    game.world->AddCursor("data/cursor/cursor3.enc", "data/cursor/cursor3_alpha.enc", 85, 85, 80, 42,
                          kCursorImageOffset);
    game.world->AddCursor("data/cursor/cursorL.enc", "data/cursor/cursorL_alpha.enc", 85, 90, 3, 3,
                          kCursorImageOffset);
    // 5 onwards: the hotspots' kinds (walk, take, use, look, read, back), each the pointer with a
    // sign beside it. A game whose data has no picture for a kind shows the highlighted pointer.
    for (int kind = hotspot_cursor::kWalk; kind < hotspot_cursor::kCount; ++kind) {
        const std::string base = std::string("data/cursor/cursor_") + hotspot_cursor::Name(kind);
        auto cursor = std::make_unique<Cursor>(D3Dfunc::pD3Ddevice);
        if (std::filesystem::exists(base + ".enc"))
            cursor->OpenImageFile((base + ".enc").c_str(), (base + "_alpha.enc").c_str(), 85, 90, 3, 3, kCursorImageOffset);
        else
            cursor->OpenImageFile("data/cursor/cursor1.enc", "data/cursor/cursor1_alpha1.enc", 85, 90, 3, 3, kCursorImageOffset);
        game.world->AddCursor(std::move(cursor));
    }
}

void CreatePhases(GameObjects& game)
{
    game.game = std::make_unique<GameManager>(game.sounds.get());
    game.game->SetWorldManager(game.world.get());
    game.game->SetMouseManager(_pMouseManager);
    game.menu = std::make_unique<MenuManager>(game.highlightedCursor, game.normalCursor, _pMouseManager,
                                              game.music.get(), game.saves.get(), kMenuImageOffset);
    game.game->SetMenuManager(game.menu.get());
    game.game->SetMusicManager(game.music.get());
    game.game->SetCreditsManager(game.credits.get());
}

// The player's settings are read and put into effect before the first frame; the settings
// screen draws with the menu's pointer.
void CreateSettings(GameObjects& game)
{
    game.settings = std::make_unique<PlayerSettings>(SettingsPath(), game.world.get(), _pVideoPlayer,
                                                     D3Dfunc::pD3Ddevice);
    game.settings->Load();
    game.settingsScreen =
        std::make_unique<SettingsOverlay>(D3Dfunc::pD3Ddevice, _pMouseManager, _pKeyManager, game.normalCursor);
    game.settingsScreen->set_Words([texts = game.texts.get()](const char* id, const char* english) {
        return QuickSave::TextOr(texts, id, english);
    });
    game.game->SetSettings(game.settingsScreen.get(), game.settings.get(), _pKeyManager, game.saves.get());
}

// Every save keeps its place and the game's additions beside it; the game saves by itself to
// the autosave, and F5 and F9 keep and restore a quick save.
void CreateOwnSaves(GameObjects& game)
{
    game.saveCompanions = std::make_unique<GameSaveCompanions>(game);
    game.saves->set_CompanionSource(game.saveCompanions.get());
    const auto placeOf = [companions = game.saveCompanions.get()](int screen) { return companions->PlaceOf(screen); };
    game.autosave = std::make_unique<Autosave>(game.saves.get(), placeOf);
    game.quickSave = std::make_unique<QuickSave>(game.saves.get(), game.texts.get());
    NameOwnSlots(game);
    game.game->SetOwnSaves(game.autosave.get(), game.quickSave.get(), placeOf);
}

// Releases the objects of the last assembly, users before what they use (the members'
// reverse order), and clears the globals that pointed at them.
void ReleaseGame()
{
    _pVideoPlayer = nullptr;
    _pKeyManager = nullptr;
    _pMouseManager = nullptr;
    delete g_game;
    g_game = nullptr;
}

// Without its data every picture would fail on its own; the player learns instead where the
// game looked and how to get the data.
void RequireGameData()
{
    const GamePaths::DataSearch search = GamePaths::FindData();
    if (!search.directory.empty()) return;
    FailSafe::SetInfo(GamePaths::kHowToGetData);
    throw Error(GamePaths::MissingDataMessage(search));
}

FrameHooks FrameWiring(GameObjects& game)
{
    WorldReload* reload = game.reload.get();
    FrameHooks hooks;
    hooks.frameStart = [] { _pMouseManager->ClearMouseButtons(); };
    hooks.inputEvent = _pMouseManager->get_MouseEvent();
    hooks.onInputEvent = [] { _pMouseManager->ProcessMessage(Winfunc::hWnd); };
    GameManager* phases = game.game.get();
    hooks.frameStep = [phases, reload] {
        if (reload != nullptr) reload->Poll(phases->get_Phase());
        _pKeyManager->Update();
        _pMouseManager->SetAcquire();  // comes back after the window regains the foreground
        return phases->Run();
    };
    hooks.restTime = [phases] { return phases->RestTime(); };
    return hooks;
}

// The game's world folder and its texts, as the game names them inside its data.
constexpr const char* kWorldFolder = "data/world";
constexpr const char* kTextsFolder = "data/po";

// Where the world files and the texts are read. The data holds copies; an author working with
// --develop edits the originals, which the data's marker names ("source world", "source
// texts"), so those are read and watched when they are still there.
struct GameFolders {
    std::string world, texts;
};
GameFolders FoldersToRead(bool develop)
{
    GameFolders folders{GamePaths::Resolve(kWorldFolder), GamePaths::Resolve(kTextsFolder)};
    if (!develop) return folders;
    std::error_code error;
    const std::string world = GamePaths::DataMarkerValue("source world");
    const std::string texts = GamePaths::DataMarkerValue("source texts");
    if (!world.empty() && std::filesystem::is_regular_file(std::filesystem::path(world) / "main.lua", error))
        folders.world = world;
    if (!texts.empty() && std::filesystem::is_directory(texts, error)) folders.texts = texts;
    return folders;
}

// Runs `read`; when it fails without saying where (a fault of the files, which its message
// names by file, line and column), the error information names the folder that was read.
template <typename Read>
void Reading(const std::string& what, Read read)
{
    const std::wstring before = FailSafe::Info;
    try {
        read();
    } catch (...) {
        if (FailSafe::Info == before) FailSafe::SetInfo(what);
        throw;
    }
}

// Reads the game's texts; from then on the pictures that carry text are read in the
// catalogue's language where the data has them (the top strip's buttons among the first).
void LoadGameTexts(GameObjects& game, const GameFolders& folders)
{
    const std::string& texts = folders.texts;
    Reading("Reading the game's texts in " + texts, [&] {
        game.texts = std::make_unique<TextCatalogue>(TextCatalogue::Load(texts, PreferredLanguages()));
    });
    GamePaths::SetLanguage(game.texts->get_Language() == "en" ? "" : game.texts->get_Language());
}

// Builds the game's world and credits from the world files, in the texts read before.
void LoadGameWorld(GameObjects& game, const GameFolders& folders)
{
    const std::string& world = folders.world;
    Reading("Reading the game's world files in " + world, [&] {
        game.worldFiles = WorldFiles::Load(*game.world, game.credits.get(), world, *game.texts);
    });
}

// The assembly around `buildWorld`, which fills the world (and the credits, if it has any).
GameAssembly Assemble(const std::function<void(GameObjects&)>& buildWorld, const AssemblyOptions& options,
                      const std::function<void(GameObjects&)>& readTexts = {})
{
    // A game left behind by a fatal error (tests enter the game again and again) goes first.
    ReleaseGame();
    RequireGameData();
    g_game = new GameObjects();
    GameObjects& game = *g_game;

    try {
        StartMusic(game);
        game.sounds = std::make_unique<GameSoundManager>();
        game.mouse = std::make_unique<MouseManager>(Winfunc::hWnd);
        _pMouseManager = game.mouse.get();
        game.keys = std::make_unique<KeyManager>(Winfunc::hWnd);
        _pKeyManager = game.keys.get();
        game.video = std::make_unique<VideoPlayer>(Winfunc::hWnd, _pKeyManager);
        _pVideoPlayer = game.video.get();
        CreateCredits(game);
        if (readTexts) readTexts(game);
        CreateWorld(game);
        CreateCursors(game);

        buildWorld(game);

        // Slot 0 is the new-game state: the world exactly as its definition left it. The save
        // manager keeps it in memory, so New Game starts even when the file cannot be written.
        game.saves = std::make_unique<SaveManager>(game.world.get(), _pKeyManager);
        if (!game.saves->SaveGame(0, "")) {
            std::cerr << "Kelvane: " << game.saves->get_LastError() << " (New Game starts from memory)\n";
        }

        CreatePhases(game);
        CreateSettings(game);
        if (game.worldFiles) {
            game.hints = std::make_unique<HintLadder>(*game.worldFiles);
            game.game->SetHints(game.hints.get());
            ConnectJournal(game);
        }
        CreateOwnSaves(game);
        game.world->TransportToScreen(kStartScreenAfterBuild);
        if (options.develop) {
            const GameFolders folders = FoldersToRead(true);
            game.reload = std::make_unique<WorldReload>(game, folders.world, folders.texts);
            std::cerr << "Kelvane: developing: the world files in " << folders.world << " and the texts in "
                      << folders.texts << " are reloaded when they change\n";
        }
    } catch (...) {
        ReleaseGame();
        throw;
    }

    GameAssembly assembly;
    assembly.hooks = FrameWiring(game);
    assembly.shutdown = ReleaseGame;
    return assembly;
}

}  // namespace

GameAssembly AssembleGame(const WorldDefinition& defineWorld)
{
    return Assemble([&defineWorld](GameObjects& game) { defineWorld(*game.world); }, AssemblyOptions{});
}

GameAssembly AssembleGame(const AssemblyOptions& options)
{
    const GameFolders folders = FoldersToRead(options.develop);
    return Assemble([folders](GameObjects& game) { LoadGameWorld(game, folders); }, options,
                    [folders](GameObjects& game) { LoadGameTexts(game, folders); });
}

void NameOwnSlots(GameObjects& game)
{
    game.saves->set_OwnSlotLabels(QuickSave::TextOr(game.texts.get(), "ui.autosave_label", "Auto"),
                                  QuickSave::TextOr(game.texts.get(), "ui.quick_save_label", "Quick"));
}

std::unique_ptr<WorldManager> CreateWorldManager(const GameObjects& game)
{
    auto world = std::make_unique<WorldManager>(
        kPanoramaSlices, kPanoramaStacks, kViewSwitchLength, "data/black.jpg", 0, _pMouseManager, game.music.get(),
        _pVideoPlayer, kRotationSpeed, kStandardTransition, "data/menu/Top1.enc", "data/menu/Top2.enc",
        "data/menu/Top3.enc", "data/menu/Top4.enc", kTopMenuImageOffset);
    world->AddTopMenuHelpButtons("data/menu/Top5.enc", "data/menu/Top6.enc", kTopMenuImageOffset);
    world->set_SoundManager(game.sounds.get());
    world->SetTextureSizes(2276, 400, 800, 400);
    return world;
}

std::unique_ptr<CreditsManager> CreateCreditsManager(const GameObjects& game)
{
    auto credits = std::make_unique<CreditsManager>(game.creditsPlain.get(), game.creditsBold.get(),
                                                    game.creditsItalic.get(), kCreditsSpeed);
    credits->SetPlayerInput(_pMouseManager, _pKeyManager);  // Escape or a click leaves them
    return credits;
}

GameObjects* GetGameObjects()
{
    return g_game;
}

namespace {

// The journal screen's words from the catalogue, where it has them.
JournalScreen::Texts JournalTexts(const TextCatalogue* texts)
{
    JournalScreen::Texts words;
    auto take = [texts](const char* id, std::string* into) {
        const std::string* text = texts != nullptr ? texts->Find(id) : nullptr;
        if (text != nullptr) *into = Utf8ToLatin1(*text);
    };
    take("journal.heading", &words.heading);
    take("journal.empty", &words.empty);
    take("journal.found", &words.found);
    return words;
}

}  // namespace

void ConnectJournal(GameObjects& game)
{
    std::unique_ptr<Journal> journal = std::make_unique<Journal>(*game.worldFiles);
    // A world built anew keeps what was found, as far as its clues still exist.
    if (game.journal) journal->Restore(game.journal->Serialize(), nullptr);
    if (!game.journalScreen)
        game.journalScreen = std::make_unique<JournalScreen>(D3Dfunc::pD3Ddevice, _pMouseManager, _pKeyManager,
                                                             game.normalCursor, JournalTexts(game.texts.get()));
    if (game.game) game.game->SetJournal(journal.get(), game.journalScreen.get());
    game.journal = std::move(journal);
    // A new game clears it as every restore sets it: through the save's companion (GameSaveCompanions).
    game.journalScreen->set_PlaceTitles(game.worldFiles->get_RegionTitles());
    if (game.video) game.video->set_LineHook([](const char* line) {
        GameObjects* g = GetGameObjects();
        if (g != nullptr && g->journal && g->world) g->journal->NoticeLine(line, g->world->get_StandingScreen());
    });
}
