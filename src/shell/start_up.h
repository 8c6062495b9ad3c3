// The start-up assembly: creates the game's long-lived objects in their fixed order, connects
// them and supplies the main loop's hooks.
#pragma once

#include <functional>
#include <memory>

#include "shell/win_main.h"

class CD3DFont;
class CreditsManager;
class Cursor;
class Autosave;
class GameManager;
class GameSaveCompanions;
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
class TextCatalogue;
class VideoPlayer;
class WorldFiles;
class WorldManager;
class WorldReload;

extern MouseManager* _pMouseManager;
extern KeyManager* _pKeyManager;

// Every object the assembly made, members in the order of creation: destroying the whole
// releases them in the reverse order, users before what they use. The globals _pMouseManager,
// _pKeyManager and _pVideoPlayer point at `mouse`, `keys` and `video` while these live. The
// replay harness reads the game's state through them.
struct GameObjects {
    std::unique_ptr<MusicManager> music;
    std::unique_ptr<GameSoundManager> sounds;
    std::unique_ptr<MouseManager> mouse;
    std::unique_ptr<KeyManager> keys;
    std::unique_ptr<VideoPlayer> video;
    // The game's texts and what its world files left for the records: the world's and the
    // credits' lines and paths point into them, so they go after both. Null for a world a
    // test defines itself.
    std::unique_ptr<TextCatalogue> texts;
    std::unique_ptr<WorldFiles> worldFiles;
    std::unique_ptr<CD3DFont> creditsItalic, creditsBold, creditsPlain;
    std::unique_ptr<CreditsManager> credits;
    std::unique_ptr<WorldManager> world;
    Cursor* normalCursor = nullptr;       // owned by the world (cursor 0)
    Cursor* highlightedCursor = nullptr;  // owned by the world (cursor 1)
    std::unique_ptr<SaveManager> saves;
    std::unique_ptr<MenuManager> menu;
    std::unique_ptr<GameManager> game;
    std::unique_ptr<PlayerSettings> settings;  // the player's settings file, in effect
    std::unique_ptr<SettingsOverlay> settingsScreen;
    std::unique_ptr<HintLadder> hints;    // the goals' hints; null for a world a test defines
    // The game's own saves (autosave and quick save) and what every save keeps beside it.
    std::unique_ptr<GameSaveCompanions> saveCompanions;
    std::unique_ptr<Autosave> autosave;
    std::unique_ptr<QuickSave> quickSave;
    std::unique_ptr<WorldReload> reload;  // --develop only: watches the world files
    std::unique_ptr<Journal> journal;     // the clues found; null for a world a test defines
    std::unique_ptr<JournalScreen> journalScreen;
};

// What the game's own assembly is asked for beside the game.
struct AssemblyOptions {
    bool develop = false;  // watch the world files and texts, and reload them when they change
};

// Builds a small world of a test's own into the manager.
using WorldDefinition = std::function<void(WorldManager&)>;

// The game's assembly with the game's own world: the texts from the data's po/ folder in the
// player's languages, the world and the credits from the world files in its world/ folder.
// Its shutdown hook releases every object it made (before the entry routine releases the
// device); an assembly that fails part-way releases what it had made before the error goes
// on. A fault of the world files raises an Error naming file:line:col.
GameAssembly AssembleGame(const AssemblyOptions& options = {});
// The same with a world the definition builds, and no credits lines.
GameAssembly AssembleGame(const WorldDefinition& defineWorld);

// A world manager and a credits list as the assembly makes them, empty, with the assembly's
// view, sizes, sounds and input: for the assembly and for a world built anew while it runs.
// The world has no cursors yet.
std::unique_ptr<WorldManager> CreateWorldManager(const GameObjects& game);
// The restore page's words for the autosave and the quick save, from the game's texts.
void NameOwnSlots(GameObjects& game);
std::unique_ptr<CreditsManager> CreateCreditsManager(const GameObjects& game);

// The objects of the running assembly; null before one ran and after its shutdown. After a
// fatal error they stay until the process ends, or until the next assembly replaces them.
GameObjects* GetGameObjects();

// Makes the journal of the world files' clues (replacing one made before), its screen once,
// and connects them: the phase controller files and shows, the video player tells the lines
// of films, a new game clears it. Needs game.worldFiles.
void ConnectJournal(GameObjects& game);
