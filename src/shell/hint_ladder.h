// The hints a player asks for (the H key): the first goal of the story that is open now and
// not done gets its next hint, each asking one step further, from a nudge to the answer; a
// goal done closes its hints. The hint shows as the world's caption. Nothing is ever shown
// unasked. Depends on the world and the goals its world files declare; knows no game.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "media/subtitle_item.h"
#include "script/world_files.h"

class WorldManager;

class HintLadder {
public:
    // Copies the goals and the idle line of `files`.
    explicit HintLadder(const WorldFiles& files);

    struct Hint {
        int goal = -1;     // the goal's index in the files' order; -1: none open (the idle line)
        int step = 0;      // 0 for the first hint of the goal
        std::string text;  // Latin-1; empty when no goal is open and the files give no idle line
    };
    // The index of the first goal open and not done in `world`'s state; -1 when none is.
    int OpenGoal(const WorldManager& world) const;
    // The hint the player gets when asking now, in `world`'s state; each call for the same
    // goal goes one step further, and stays on the answer once it is reached.
    Hint Ask(const WorldManager& world);
    // Asks, and shows the hint as the world's caption for as long as it takes to read.
    Hint AskAndShow(WorldManager& world);

    // How many of the goals are done in `world`'s state.
    int DoneCount(const WorldManager& world) const;

    // The hints given, for a save: "<goal>=<count>" for each goal asked about, space-separated.
    std::string Serialize() const;
    // Puts back what Serialize wrote; goals the world no longer has are passed over and goals
    // not named start unasked. False, with nothing changed, for text that is not such a list.
    bool Restore(const std::string& text, std::string* error);

    // How many hints of goal `index` have been given.
    int get_Given(int index) const { return c_given.at(static_cast<std::size_t>(index)); }
    const std::vector<WorldFiles::Goal>& get_Goals() const { return c_goals; }

    // Milliseconds a hint of `characters` letters stays up: long enough to read, at least 3 s.
    static std::uint32_t ShowFor(std::size_t characters);

private:
    std::vector<WorldFiles::Goal> c_goals;
    std::vector<int> c_given;
    std::string c_sIdle;
    // What the captions shown point to; kept for the ladder's life (a few lines a session).
    std::deque<std::string> c_texts;
    std::deque<SubtitleItem> c_captions;
};
