// The game's world definition: every screen, hotspot, variable, grid, item, sound and book of
// Kelvane, built through the world manager's construction operations.
#pragma once

class WorldManager;

// Builds the whole world into `worldManager` and places it on screen 0.
void InitWorld(WorldManager* worldManager);
