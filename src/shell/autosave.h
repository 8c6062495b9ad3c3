// The game's own saves: the autosave, written by itself on entering a new region, after each
// goal of the story is done and after every five minutes of play, and the quick save (F5 saves,
// F9 pressed twice restores). The autosave's files are written on a worker thread, so play
// does not stop for the disk. Depends on the world, the save manager and the hints' goals.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class HintLadder;
class SaveManager;
class WorldManager;

class Autosave {
public:
    // Play between two autosaves at most, milliseconds of the game's clock.
    static constexpr std::uint32_t kPeriodMs = 5 * 60 * 1000;
    // A frame longer than this adds only this much play (the game was held up, not played).
    static constexpr std::uint32_t kLongestCountedFrameMs = 1000;

    // What starts an autosave, as the game reports it.
    enum class Reason { None, Region, Goal, Time };

    // `placeOf` names the place (region) a screen belongs to ("" for none). Neither pointer is owned.
    Autosave(SaveManager* saves, std::function<std::string(int screen)> placeOf);

    // The world is entered (a new game, a restore, back from a menu) at game time `now`: what
    // it is now is the starting point, which is not saved again.
    void Enter(const WorldManager& world, const HintLadder* hints, std::uint32_t now);
    // After each frame of play: counts the play, and when an autosave is due and the world can
    // be saved (no scene playing, the game not ending) asks the world's next frame to keep the
    // view, and on the frame after that starts the save with it as its picture; so no frame
    // draws more than its own. Returns why a save started, or None.
    Reason AfterFrame(WorldManager& world, const HintLadder* hints, std::uint32_t now);

    // Autosaves started since the game began.
    int get_Count() const { return c_iCount; }
    Reason get_LastReason() const { return c_lastReason; }
    // Whether the world as it stands can be saved: the player has the game in hand.
    static bool CanSave(const WorldManager& world);

private:
    SaveManager* c_pSaves;
    std::function<std::string(int)> c_placeOf;
    std::string c_sRegion;
    int c_iGoalsDone = 0;
    std::uint32_t c_dwPlayed = 0;  // play since the last autosave
    std::uint32_t c_dwLastFrame = 0;
    Reason c_due = Reason::None;  // a save waiting for a moment it can be made
    bool c_bPictureAsked = false;  // the world's next frame keeps the view for it
    Reason c_lastReason = Reason::None;
    int c_iCount = 0;
};
