// The player's settings in the running game: read from the user's settings file at start-up,
// put into effect on the game's objects (volumes, brightness, subtitles, turning, window mode,
// scripted waits) and written back when the settings screen closes. Owns none of the objects.
#pragma once

#include <filesystem>

#include "core/settings.h"

class VideoPlayer;
class WorldManager;
namespace gfx {
class Device;
}

class PlayerSettings {
public:
    // `path` is the settings file (empty: nothing is read or kept). The objects are not owned
    // and outlive this one; any may be null (a test's partial game).
    PlayerSettings(std::filesystem::path path, WorldManager* world, VideoPlayer* videos, gfx::Device* device);

    // Puts the settings into effect on `world` (not owned) from now on: a world built anew
    // while the game runs (the world files reloaded).
    void ChangeWorld(WorldManager* world);

    // Reads the file and puts it into effect. The window only changes when the file asks for
    // a window: a game started in a window stays there, and get_Settings says so.
    void Load();
    // Puts `settings` into effect; the window mode changes when it differs.
    void Set(const Settings& settings);
    // Writes the file; a failure is one line on standard error, and the game goes on. The
    // window mode written is the player's last choice (the file's, a switch on the settings
    // screen or Alt+Enter), not the mode the game happened to start in.
    void Save() const;
    // Follows a switch of the window made outside the settings screen (Alt+Enter): the
    // settings take the new mode and keep it in the file. True when the mode changed.
    bool FollowWindow();

    // The settings in effect; fullScreen is the window's real mode.
    const Settings& get_Settings() const { return c_settings; }
    const std::filesystem::path& get_Path() const { return c_path; }

private:
    void Apply(bool switchWindowMode);

    std::filesystem::path c_path;
    WorldManager* c_pWorldManager;
    VideoPlayer* c_pVideoPlayer;
    gfx::Device* c_pDevice;
    Settings c_settings;
    bool c_bKeptFullScreen = true;  // the window mode the file keeps
    int c_iWindowSeen = -1;  // the window mode last seen: 1 full screen, 0 a window, -1 not yet
};
