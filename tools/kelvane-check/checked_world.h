// A world built for checking, the way the game's start-up builds it: the world manager with
// the game's interface pictures and view settings, the five cursors, the four music tracks,
// a sound manager that never plays, and then the world: the game's world files, as the game
// reads them, or a definition of a test's own. Files the start-up loads
// itself are probed first, so that a missing cursor is reported instead of ending the check.
// Needs the game's device (D3Dfunc::pD3Ddevice); paths are relative to the working directory.
#pragma once

#include <filesystem>
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
class TextCatalogue;
class WorldFiles;
class WorldManager;

class CheckedWorld {
public:
    // `window` (not owned) is where the world's mouse would read the pointer.
    explicit CheckedWorld(platform::Window* window);
    ~CheckedWorld();
    CheckedWorld(const CheckedWorld&) = delete;
    CheckedWorld& operator=(const CheckedWorld&) = delete;

    // Builds the world with `define` (the game's world files, or a test's own world). Returns the
    // findings about the start-up's own files and a WorldNotBuilt finding when something
    // raised an error: before the definition ran (get_World is then null), or inside it (the
    // records built up to then stay to be checked).
    std::vector<CheckFinding> Build(const std::function<void(WorldManager&)>& define, FileProbe& probe);
    // Builds the world from the world files in `worldDir` (main.lua and what it includes) with
    // the English texts of `textsDir`, as the game does. A fault of the files or the texts is a
    // WorldFileFault finding placed at its "file:line:col" (or "file:line"); the half-built
    // world is then discarded (get_World is null).
    std::vector<CheckFinding> BuildFromFiles(const std::filesystem::path& worldDir,
                                             const std::filesystem::path& textsDir, FileProbe& probe);

    WorldManager* get_World() const { return c_bBuilt ? c_pWorld.get() : nullptr; }
    // The names the world files gave; null unless BuildFromFiles succeeded.
    const WorldFiles* get_Files() const { return c_pFiles.get(); }
    // The music tracks registered for the world, as ACT_PlaySong names them.
    static const std::vector<MusicTrack>& Tracks();

private:
    // The world manager with its cursors, before any definition; false when it could not be made.
    bool BuildStartUp(FileProbe& probe, std::vector<CheckFinding>& findings);

    std::unique_ptr<MouseManager> c_pMouse;
    std::unique_ptr<MusicManager> c_pMusic;
    std::unique_ptr<GameSoundManager> c_pSounds;
    // What the world's records point into: they go after the world.
    std::unique_ptr<TextCatalogue> c_pTexts;
    std::unique_ptr<WorldFiles> c_pFiles;
    std::unique_ptr<WorldManager> c_pWorld;
    bool c_bBuilt = false;
};
