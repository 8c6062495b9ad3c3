// What the game tells its saves beside the world's state: the place names of the world files'
// regions, and the game's own additions to a save (the hints given so far, the journal). Reads the game's
// objects at each call, so a world reloaded while the game runs is the one asked.
#pragma once

#include <map>
#include <string>

#include "menus/save_manager.h"

struct GameObjects;

class GameSaveCompanions : public SaveCompanionSource {
public:
    explicit GameSaveCompanions(const GameObjects& game) : c_game(game) {}

    std::string PlaceOf(int screen) const override;
    std::map<std::string, std::string> CaptureExtras() const override;
    void RestoreExtras(const std::map<std::string, std::string>& extras) override;

private:
    const GameObjects& c_game;
};
