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

    // Reads the file and puts it into effect. The window only changes when the file asks for
    // a window: a game started in a window stays there.
    void Load();
    // Puts `settings` into effect; the window mode changes when it differs.
    void Set(const Settings& settings);
    // Writes the file; a failure is one line on standard error, and the game goes on.
    void Save() const;
    // Follows a switch of the window made outside the settings screen (Alt+Enter): the
    // settings take the new mode and keep it in the file. True when the mode changed.
    bool FollowWindow();

    const Settings& get_Settings() const { return c_settings; }
    const std::filesystem::path& get_Path() const { return c_path; }

private:
    void Apply(bool switchWindowMode);

    std::filesystem::path c_path;
    WorldManager* c_pWorldManager;
    VideoPlayer* c_pVideoPlayer;
    gfx::Device* c_pDevice;
    Settings c_settings;
    int c_iWindowSeen = -1;  // the window mode last seen: 1 full screen, 0 a window, -1 not yet
};
