#include "shell/quick_save.h"

#include "core/latin1_text.h"
#include "core/text_catalogue.h"
#include "menus/save_manager.h"
#include "world/world_manager.h"

namespace {

constexpr std::uint32_t kShowMs = 3000;

}  // namespace

QuickSave::QuickSave(SaveManager* saves, const TextCatalogue* texts) : c_pSaves(saves), c_pTexts(texts) {}

std::string QuickSave::TextOr(const TextCatalogue* texts, const char* id, const char* english)
{
    const std::string* text = texts != nullptr ? texts->Find(id) : nullptr;
    return text != nullptr ? Utf8ToLatin1(*text) : english;
}

void QuickSave::Say(WorldManager& world, const char* id, const char* english, const std::string& more)
{
    std::string line = TextOr(c_pTexts, id, english);
    if (!more.empty()) line += " " + more;
    const std::string& kept = c_texts.emplace_back(std::move(line));
    SubtitleItem& caption = c_captions.emplace_back();
    caption.Add(0, kept.c_str());
    caption.Add(kShowMs, "");
    world.ShowCaption(&caption);
}

QuickSave::Result QuickSave::Save(WorldManager& world, const std::string& place,
                                  const std::function<void()>& takeViewPicture)
{
    c_bAsked = false;
    takeViewPicture();
    if (!c_pSaves->SaveGame(SaveManager::kQuickSlot, place.c_str())) {
        Say(world, "ui.quick_save_failed", "The game could not be quick-saved.", c_pSaves->get_LastError());
        return Result::Failed;
    }
    Say(world, "ui.quick_saved", "Quick-saved. F9 twice brings you back here.");
    return Result::Saved;
}

QuickSave::Result QuickSave::Restore(WorldManager& world, std::uint32_t now)
{
    const SaveFile* slot = c_pSaves->GetSaveFile(SaveManager::kQuickSlot);
    if (slot == nullptr || !slot->get_Active()) {
        c_bAsked = false;
        Say(world, "ui.no_quick_save", "There is no quick save yet: F5 makes one.");
        return Result::NothingToRestore;
    }
    if (!c_bAsked || now - c_dwAskedAt > kConfirmMs) {
        c_bAsked = true;
        c_dwAskedAt = now;
        Say(world, "ui.quick_restore_confirm", "Press F9 again to go back to the quick save.");
        return Result::AskedToConfirm;
    }
    c_bAsked = false;
    if (!c_pSaves->LoadGame(SaveManager::kQuickSlot)) {
        Say(world, "ui.quick_restore_failed", "The quick save could not be restored; the game goes on.");
        return Result::NothingToRestore;
    }
    return Result::Restored;
}
