#include "shell/game_saves.h"

#include <iostream>

#include "script/world_files.h"
#include "shell/hint_ladder.h"
#include "shell/start_up.h"

namespace {

constexpr const char* kHints = "hints";

}  // namespace

std::string GameSaveCompanions::PlaceOf(int screen) const
{
    return c_game.worldFiles ? c_game.worldFiles->PlaceOf(screen) : std::string();
}

std::map<std::string, std::string> GameSaveCompanions::CaptureExtras() const
{
    std::map<std::string, std::string> extras;
    if (c_game.hints) extras[kHints] = c_game.hints->Serialize();
    return extras;
}

void GameSaveCompanions::RestoreExtras(const std::map<std::string, std::string>& extras)
{
    if (c_game.hints) {
        const auto found = extras.find(kHints);
        std::string why;
        // A line that cannot be read leaves the hints as they start: nothing given yet.
        if (!c_game.hints->Restore(found != extras.end() ? found->second : "", &why)) {
            std::cerr << "Kelvane: the save's hints cannot be read (" << why << "); they start afresh\n";
            c_game.hints->Restore("", nullptr);
        }
    }
}
