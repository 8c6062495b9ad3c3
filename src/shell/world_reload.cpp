#include "shell/world_reload.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <iostream>
#include <map>
#include <memory>
#include <system_error>
#include <utility>

#include "core/game_paths.h"
#include "core/text_catalogue.h"
#include "display/cursor.h"
#include "display/display_screen.h"
#include "display/world_inventory.h"
#include "display/world_item.h"
#include "media/game_sound_manager.h"
#include "media/repetive_sound.h"
#include "menus/credits_manager.h"
#include "menus/save_manager.h"
#include "platform/clock/clock.h"
#include "script/world_files.h"
#include "shell/game_manager.h"
#include "shell/hint_ladder.h"
#include "shell/player_settings.h"
#include "shell/quick_save.h"
#include "shell/start_up.h"
#include "world/world_manager.h"

namespace fs = std::filesystem;

namespace {

// No such screen: the lookup yields the last one, as at start-up, behind the menu.
constexpr int kScreenBehindTheMenu = 3;

// The name a map gives `number`, or "" when it names none.
std::string NameOf(const std::map<std::string, int>& names, int number)
{
    for (const auto& [name, n] : names) {
        if (n == number) return name;
    }
    return "";
}

// The number `name` has in `names`, or -1.
int NumberOf(const std::map<std::string, int>& names, const std::string& name)
{
    const auto it = names.find(name);
    return it == names.end() ? -1 : it->second;
}

// The world's ambient sounds are driven by the sound manager but owned by the world: before a
// world goes, the manager lets go of them.
void LetGoOfSounds(WorldManager& world, GameSoundManager* sounds)
{
    world.DeactivateAllRepetiveSounds();
    if (sounds == nullptr) return;
    for (const auto& sound : world.get_RepetiveSounds()) sounds->DropRepetiveSound(sound.get());
}

// Where the player stood in the old world, by the authors' names, with what they carried.
struct PlayerState {
    std::map<std::string, signed char> variables;
    struct Grid {
        int width = 0, height = 0;
        std::vector<signed char> cells;
    };
    std::map<std::string, Grid> grids;
    std::vector<std::string> items;  // the bar left to right, then the item in hand
    std::string screen;
    float heading = 0.0f;
};

PlayerState ReadPlayer(const WorldManager& world, const WorldFiles& names)
{
    PlayerState state;
    for (const auto& [name, number] : names.get_Variables()) state.variables[name] = world.getGlobalVarValue(number);
    for (const auto& [name, number] : names.get_Grids()) {
        const WorldGlobalVarArray* grid = world.getGlobalVarArray(number);
        if (grid == nullptr || grid->get_Number() != number) continue;
        PlayerState::Grid& cells = state.grids[name];
        cells.width = grid->get_Width();
        cells.height = grid->get_Height();
        for (int i = 0; i < cells.width * cells.height; ++i)
            cells.cells.push_back(world.getGlobalVarValue(grid->get_Start() + i));
    }
    for (const WorldItem* item : world.get_Inventory()->get_ActiveItems())
        state.items.push_back(NameOf(names.get_Items(), item->get_Number()));
    if (world.get_CursorItem() != 0) state.items.push_back(NameOf(names.get_Items(), world.get_CursorItem()));
    state.screen = NameOf(names.get_Screens(), world.get_StandingScreen());
    // On the screen they stand on, the view's own angle is newer than the one the last frame noted.
    const bool standing = world.KindOfScreen(world.get_ScreenPosition()) == WorldManager::ScreenKind::Standing;
    state.heading = standing ? world.get_DisplayScreen()->GetRotation() : world.get_StandingRotation();
    return state;
}

// Puts `state` into the new world wherever its names still mean something there; returns the
// screen to enter, or -1 when the place is gone. A grid whose shape changed starts afresh.
int WritePlayer(const PlayerState& state, WorldManager& world, const WorldFiles& names)
{
    for (const auto& [name, value] : state.variables) {
        const int number = NumberOf(names.get_Variables(), name);
        if (number >= 0) world.setGlobalVarValue(number, value);
    }
    for (const auto& [name, cells] : state.grids) {
        const int number = NumberOf(names.get_Grids(), name);
        const WorldGlobalVarArray* grid = number < 0 ? nullptr : world.getGlobalVarArray(number);
        if (grid == nullptr || grid->get_Number() != number || grid->get_Width() != cells.width ||
            grid->get_Height() != cells.height)
            continue;
        for (std::size_t i = 0; i < cells.cells.size(); ++i)
            world.setGlobalVarValue(grid->get_Start() + static_cast<int>(i), cells.cells[i]);
    }
    std::vector<WorldItem*>& bar = world.get_Inventory()->get_ActiveItems();
    bar.clear();
    for (const std::string& name : state.items) {
        const int number = NumberOf(names.get_Items(), name);
        if (number > 0 && world.get_Inventory()->GetItem(number) != nullptr) world.ActivateItem(number);
    }
    return NumberOf(names.get_Screens(), state.screen);
}

}  // namespace

WorldReload::WorldReload(GameObjects& game, fs::path worldDir, fs::path textsDir)
    : c_game(game), c_worldDir(std::move(worldDir)), c_textsDir(std::move(textsDir))
{
    c_stamps = StampFiles();
}

std::vector<WorldReload::Stamp> WorldReload::StampFiles() const
{
    std::vector<fs::path> paths;
    if (c_game.worldFiles) paths.assign(c_game.worldFiles->get_Files().begin(), c_game.worldFiles->get_Files().end());
    if (paths.empty()) paths.push_back(c_worldDir / "main.lua");
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(c_textsDir, error)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".po" || extension == ".pot") paths.push_back(entry.path());
    }
    std::vector<Stamp> stamps;
    for (const fs::path& path : paths) {
        Stamp stamp;
        stamp.path = path;
        stamp.time = fs::last_write_time(path, error);
        stamp.exists = !error;
        stamp.size = stamp.exists ? fs::file_size(path, error) : 0;
        stamps.push_back(std::move(stamp));
    }
    std::sort(stamps.begin(), stamps.end(), [](const Stamp& a, const Stamp& b) { return a.path < b.path; });
    return stamps;
}

bool WorldReload::Poll(int phase)
{
    const std::uint32_t now = timeGetTime();
    if (c_bPolled && now - c_dwLastPoll < static_cast<std::uint32_t>(kPollInterval)) return false;
    c_bPolled = true;
    c_dwLastPoll = now;
    std::vector<Stamp> stamps = StampFiles();
    if (stamps != c_stamps) {
        c_stamps = std::move(stamps);
        c_bPending = true;
    }
    // The credits read their lines every frame: they are replaced once they have run.
    if (!c_bPending || phase == GameManager::kCredits) return false;
    c_bPending = false;
    Reload(phase);
    return true;
}

bool WorldReload::Reload(int phase)
{
    const auto started = std::chrono::steady_clock::now();
    WorldManager& old = *c_game.world;
    std::unique_ptr<TextCatalogue> texts;
    std::unique_ptr<CreditsManager> credits;
    std::unique_ptr<WorldManager> world;
    std::unique_ptr<WorldFiles> files;
    try {
        texts = std::make_unique<TextCatalogue>(TextCatalogue::Load(c_textsDir, PreferredLanguages()));
        credits = CreateCreditsManager(c_game);
        world = CreateWorldManager(c_game);
        // The new world takes the cursors the menu points to; they go back if it fails.
        for (std::unique_ptr<Cursor>& cursor : old.ReleaseCursors()) world->AddCursor(std::move(cursor));
        files = WorldFiles::Load(*world, credits.get(), c_worldDir, *texts);
    } catch (const std::exception& error) {
        if (world) {
            for (std::unique_ptr<Cursor>& cursor : world->ReleaseCursors()) old.AddCursor(std::move(cursor));
            LetGoOfSounds(*world, c_game.sounds.get());
        }
        c_sLastError = error.what();
        std::cerr << "Kelvane: the world files could not be reloaded: " << c_sLastError << '\n';
        old.set_Notice("The world files could not be reloaded; the last good world plays on.\n" + c_sLastError);
        return false;
    }

    // The new world as its files leave it is the new game.
    if (c_game.saves) {
        c_game.saves->ChangeWorld(world.get());
        if (!c_game.saves->SaveGame(SaveManager::kNewGameSlot, ""))
            std::cerr << "Kelvane: " << c_game.saves->get_LastError() << " (New Game starts from memory)\n";
    }
    const PlayerState player = ReadPlayer(old, *c_game.worldFiles);
    const int screen = WritePlayer(player, *world, *files);

    LetGoOfSounds(old, c_game.sounds.get());
    std::unique_ptr<WorldManager> replaced = std::exchange(c_game.world, std::move(world));
    WorldManager& now = *c_game.world;
    // The hints start afresh with the new goals; their captions went with the old world.
    std::unique_ptr<HintLadder> hints = std::make_unique<HintLadder>(*files);
    if (c_game.game) {
        c_game.game->SetWorldManager(&now);
        c_game.game->SetCreditsManager(credits.get());
        c_game.game->SetHints(hints.get());
    }
    if (c_game.settings) c_game.settings->ChangeWorld(&now);
    // What the old records point to goes after them: the world, its files, then the texts.
    replaced.reset();
    c_game.hints = std::move(hints);
    c_game.credits = std::move(credits);
    c_game.worldFiles = std::move(files);
    c_game.texts = std::move(texts);
    ConnectJournal(c_game);  // what was found carries over, clue by name

    GamePaths::SetLanguage(c_game.texts->get_Language() == "en" ? "" : c_game.texts->get_Language());
    if (c_game.quickSave) c_game.quickSave->set_Texts(c_game.texts.get());
    if (c_game.saves) NameOwnSlots(c_game);
    const int entered = screen >= 0 ? screen : 0;
    now.set_ScreenPosition(entered);
    now.set_BackRotation(player.heading);
    std::string notice;
    if (screen < 0) {
        notice = "The world files no longer have the screen '" + player.screen + "'; the new game's first screen is shown.";
    }
    // A screen the files declare but the data cannot show yet (a picture not made) is the
    // author's to mend, not the end of the game: it is said over the view, which keeps its picture.
    try {
        if (phase == GameManager::kWorld) {
            now.JumpToScreen(entered, 0);
        } else {
            now.TransportToScreen(kScreenBehindTheMenu);
        }
    } catch (const std::exception& error) {
        notice = std::string("The world was reloaded, but its screen cannot be shown: ") + error.what();
        std::cerr << "Kelvane: " << notice << '\n';
    }
    now.set_Notice(notice);
    c_sLastError.clear();
    c_fLastReloadMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    std::cerr << "Kelvane: the world files were reloaded in " << static_cast<int>(c_fLastReloadMs + 0.5) << " ms\n";
    return true;
}
