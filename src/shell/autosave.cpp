#include "shell/autosave.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "menus/save_manager.h"
#include "shell/hint_ladder.h"
#include "world/world_manager.h"

Autosave::Autosave(SaveManager* saves, std::function<std::string(int screen)> placeOf)
    : c_pSaves(saves), c_placeOf(std::move(placeOf))
{
}

bool Autosave::CanSave(const WorldManager& world) { return !world.get_HideCursor() && !world.get_EndGameMode(); }

void Autosave::Enter(const WorldManager& world, const HintLadder* hints, std::uint32_t now)
{
    c_sRegion = c_placeOf(world.get_StandingScreen());
    c_iGoalsDone = hints != nullptr ? hints->DoneCount(world) : 0;
    c_dwPlayed = 0;
    c_dwLastFrame = now;
    c_due = Reason::None;
    c_bPictureAsked = false;
}

Autosave::Reason Autosave::AfterFrame(WorldManager& world, const HintLadder* hints, std::uint32_t now)
{
    c_pSaves->PollBackground();
    c_dwPlayed += std::min(now - c_dwLastFrame, kLongestCountedFrameMs);
    c_dwLastFrame = now;

    // The region where the player stands; a screen of none (a page) keeps the last.
    const std::string region = c_placeOf(world.get_StandingScreen());
    if (!region.empty() && region != c_sRegion) {
        c_sRegion = region;
        c_due = Reason::Region;
    }
    const int done = hints != nullptr ? hints->DoneCount(world) : 0;
    if (done > c_iGoalsDone && c_due == Reason::None) c_due = Reason::Goal;
    c_iGoalsDone = done;
    if (c_dwPlayed >= kPeriodMs && c_due == Reason::None) c_due = Reason::Time;

    if (c_due == Reason::None || !CanSave(world) || c_pSaves->get_SavingInBackground()) return Reason::None;
    // First the view is asked of the next frame (which forgets any kept before), then taken.
    std::vector<std::uint32_t> view;
    if (!c_bPictureAsked) {
        world.RequestViewPicture();
        c_bPictureAsked = true;
        return Reason::None;
    }
    if (!world.TakeViewPicture(&view)) return Reason::None;
    c_bPictureAsked = false;
    c_pSaves->set_ViewPicture(view);
    const std::string title = c_placeOf(world.get_StandingScreen());
    if (!c_pSaves->SaveGameInBackground(SaveManager::kAutoSlot, title.c_str())) return Reason::None;
    const Reason reason = std::exchange(c_due, Reason::None);
    c_lastReason = reason;
    c_dwPlayed = 0;
    ++c_iCount;
    return reason;
}
