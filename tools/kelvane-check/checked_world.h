// A world built for checking, the way the game's start-up builds it: the world manager with
// the game's interface pictures and view settings, the five cursors, the four music tracks,
// a sound manager that never plays, and then the world definition. Files the start-up loads
// itself are probed first, so that a missing cursor is reported instead of ending the check.
// Needs the game's device (D3Dfunc::pD3Ddevice); paths are relative to the working directory.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "world_checker.h"

namespace platform {
class Window;
}
class GameSoundManager;
class MouseManager;
class MusicManager;
class WorldManager;

class CheckedWorld {
public:
    // `window` (not owned) is where the world's mouse would read the pointer.
    explicit CheckedWorld(platform::Window* window);
    ~CheckedWorld();
    CheckedWorld(const CheckedWorld&) = delete;
    CheckedWorld& operator=(const CheckedWorld&) = delete;

    // Builds the world with `define` (the game's InitWorld, or a test's own world). Returns the
    // findings about the start-up's own files and a WorldNotBuilt finding when something
    // raised an error: before the definition ran (get_World is then null), or inside it (the
    // records built up to then stay to be checked).
    std::vector<CheckFinding> Build(const std::function<void(WorldManager&)>& define, FileProbe& probe);

    WorldManager* get_World() const { return c_bBuilt ? c_pWorld.get() : nullptr; }
    // The music tracks registered for the world, as ACT_PlaySong names them.
    static const std::vector<MusicTrack>& Tracks();

private:
    std::unique_ptr<MouseManager> c_pMouse;
    std::unique_ptr<MusicManager> c_pMusic;
    std::unique_ptr<GameSoundManager> c_pSounds;
    std::unique_ptr<WorldManager> c_pWorld;
    bool c_bBuilt = false;
};
