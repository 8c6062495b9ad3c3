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

// Runs the whole game with the given assembly; returns 0 on every path.
int WinMain(const std::function<GameAssembly()>& assemble);
// Runs the whole game with the game's own start-up assembly.
int WinMain();
