// Reloading the game's world while it runs (`kelvane --develop`): watches the world files and
// the texts the world was read from, and when one changes builds the world anew beside the
// running one, carries the player's state over by name (variables, grids, the items in the
// bar and in hand, the place and heading) and puts the new world in the running one's place,
// entering the current screen again. A fault in the files leaves the running world as it was
// and says where the fault lies, over the picture and on standard error.
// Depends on the start-up assembly's objects; knows no game.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct GameObjects;

class WorldReload {
public:
    // How often the files are looked at, in milliseconds of the game's clock (timeGetTime).
    static constexpr int kPollInterval = 250;

    // Watches the files `game`'s world was read from (game.worldFiles) and every catalogue in
    // `textsDir`. `game` is not owned and must outlive the watcher.
    WorldReload(GameObjects& game, std::filesystem::path worldDir, std::filesystem::path textsDir);

    // Called once a frame: at most every kPollInterval ms looks at the files' times and sizes,
    // and reloads when any changed (not while the credits run: then on the first frame after
    // them). True when a reload was tried this call.
    bool Poll(int phase);
    // Builds the world from the files now. True when the new world runs; false when the files
    // have a fault, which get_LastError names (file:line:col) and the running world shows.
    // In the world phase (`phase`, GameManager's) the player's screen is entered again, with
    // its entry lists; in the others the world waits behind the menu as at start-up.
    bool Reload(int phase);

    // Why the last reload failed; empty after a successful one.
    const std::string& get_LastError() const { return c_sLastError; }
    // Milliseconds the last successful reload took, from reading the files to the current
    // screen entered again.
    double get_LastReloadMs() const { return c_fLastReloadMs; }

private:
    struct Stamp {
        std::filesystem::path path;
        std::filesystem::file_time_type time{};
        std::uintmax_t size = 0;
        bool exists = false;
        bool operator==(const Stamp&) const = default;
    };
    // The files to watch, as they stand now.
    std::vector<Stamp> StampFiles() const;

    GameObjects& c_game;
    std::filesystem::path c_worldDir;
    std::filesystem::path c_textsDir;
    std::vector<Stamp> c_stamps;
    std::uint32_t c_dwLastPoll = 0;
    bool c_bPolled = false;
    bool c_bPending = false;  // a change seen while the credits ran
    std::string c_sLastError;
    double c_fLastReloadMs = 0.0;
};
