// The process entry: window, device, start-up font, loading banner, the start-up assembly,
// the main loop, shutdown, and the one place where errors are caught for good.
#pragma once

#include <functional>

#include "shell/main_loop.h"

class CD3DFont;

// The start-up font: exists before anything can fail, so the fatal-error screen can draw.
// Owned by WinMain, released at shutdown (kept after a fatal error).
extern CD3DFont* _pFont;

// What the start-up assembly hands the entry routine: the loop's hooks and what to release
// at shutdown, before the device goes (the game's objects).
struct GameAssembly {
    FrameHooks hooks;
    std::function<void()> shutdown;
};

// What the command line asks for. Arguments the game does not know are ignored.
struct LaunchOptions {
    bool windowed = false;  // --windowed: a window instead of desktop full screen
    bool help = false;      // --help: print the usage and exit
    bool version = false;   // --version: print the version and exit
    bool develop = false;   // --develop: reload the world files and texts when they change
};
LaunchOptions ParseCommandLine(int argc, const char* const* argv);

// Runs the whole game with the given assembly; returns 0 on every path.
int WinMain(const std::function<GameAssembly()>& assemble, const LaunchOptions& options = {});
// Runs the whole game with the game's own start-up assembly.
int WinMain(const LaunchOptions& options = {});
