// The start-up assembly: creates the game's long-lived objects in their fixed order and
// supplies the main loop's hooks.
#pragma once

#include "shell/win_main.h"

GameAssembly AssembleGame();
