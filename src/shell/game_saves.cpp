#include "shell/game_saves.h"

#include <iostream>

#include "script/world_files.h"
#include "shell/hint_ladder.h"
#include "shell/journal.h"
#include "shell/start_up.h"

namespace {

constexpr const char* kHints = "hints";
constexpr const char* kJournal = "journal";

}  // namespace

std::string GameSaveCompanions::PlaceOf(int screen) const
{
    return c_game.worldFiles ? c_game.worldFiles->PlaceOf(screen) : std::string();
}

std::map<std::string, std::string> GameSaveCompanions::CaptureExtras() const
{
    std::map<std::string, std::string> extras;
    if (c_game.hints) extras[kHints] = c_game.hints->Serialize();
    if (c_game.journal) extras[kJournal] = c_game.journal->Serialize();
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
    if (c_game.journal) {
        const auto found = extras.find(kJournal);
        std::string why;
        // A save from before the journal (or whose journal cannot be read) starts it empty.
        if (found == extras.end() || !c_game.journal->Restore(found->second, &why)) {
            if (found != extras.end()) std::cerr << "Kelvane: the save's journal cannot be read (" << why << ")\n";
            c_game.journal->Clear();
        }
    }
}
