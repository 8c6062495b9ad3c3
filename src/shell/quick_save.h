// The quick save: F5 saves the game to a slot of its own, F9 restores it once pressed a second
// time within a few seconds (as the top strip's restore asks for a second click), so a misplaced
// press loses nothing. What happened is said in the world's caption line. Depends on the world
// and the save manager; the texts come from the game's catalogue, English when it has none.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "media/subtitle_item.h"

class SaveManager;
class TextCatalogue;
class WorldManager;

class QuickSave {
public:
    // How long the first F9 waits for the second, milliseconds of the game's clock.
    static constexpr std::uint32_t kConfirmMs = 3000;

    // `texts` may be null (English only). Neither pointer is owned.
    QuickSave(SaveManager* saves, const TextCatalogue* texts);
    void set_Texts(const TextCatalogue* texts) { c_pTexts = texts; }

    enum class Result { None, Saved, Failed, AskedToConfirm, Restored, NothingToRestore };
    // F5 pressed: `takeViewPicture` is called first, then the game is saved to the quick slot
    // under the place's name `place`.
    Result Save(WorldManager& world, const std::string& place, const std::function<void()>& takeViewPicture);
    // F9 pressed at game time `now`: the first press asks, a second within kConfirmMs restores
    // the quick save into `world` (the caller then re-enters the restored screen).
    Result Restore(WorldManager& world, std::uint32_t now);

    // The catalogue's text for `id` in the engine's Latin-1, or `english` when it has none.
    static std::string TextOr(const TextCatalogue* texts, const char* id, const char* english);

private:
    // Shows `id`'s text (or `english`) as the caption for a few seconds.
    void Say(WorldManager& world, const char* id, const char* english, const std::string& more = {});

    SaveManager* c_pSaves;
    const TextCatalogue* c_pTexts;
    bool c_bAsked = false;
    std::uint32_t c_dwAskedAt = 0;
    // What the captions shown point to; a few lines a session.
    std::deque<std::string> c_texts;
    std::deque<SubtitleItem> c_captions;
};
