#include "shell/hint_ladder.h"

#include <algorithm>

#include "world/world_manager.h"

HintLadder::HintLadder(const WorldFiles& files)
    : c_goals(files.get_Goals()), c_given(files.get_Goals().size(), 0), c_sIdle(files.get_IdleHint())
{
}

int HintLadder::OpenGoal(const WorldManager& world) const
{
    const auto holds = [&world](const std::vector<int>& tokens) {
        return world.TestConditionList(tokens.data(), static_cast<unsigned>(tokens.size()));
    };
    for (std::size_t i = 0; i < c_goals.size(); ++i) {
        if (holds(c_goals[i].open) && !holds(c_goals[i].done)) return static_cast<int>(i);
    }
    return -1;
}

HintLadder::Hint HintLadder::Ask(const WorldManager& world)
{
    Hint hint;
    hint.goal = OpenGoal(world);
    if (hint.goal < 0) {
        hint.text = c_sIdle;
        return hint;
    }
    const std::size_t i = static_cast<std::size_t>(hint.goal);
    const int last = static_cast<int>(c_goals[i].hints.size()) - 1;
    hint.step = std::min(c_given[i], last);
    hint.text = c_goals[i].hints[static_cast<std::size_t>(hint.step)];
    c_given[i] = std::min(c_given[i] + 1, last + 1);
    return hint;
}

std::uint32_t HintLadder::ShowFor(std::size_t characters)
{
    constexpr std::uint32_t kShortest = 3000, kPerCharacter = 70;  // about 14 letters a second
    return std::max(kShortest, static_cast<std::uint32_t>(characters) * kPerCharacter);
}

HintLadder::Hint HintLadder::AskAndShow(WorldManager& world)
{
    Hint hint = Ask(world);
    if (hint.text.empty()) return hint;
    const std::string& text = c_texts.emplace_back(hint.text);
    SubtitleItem& caption = c_captions.emplace_back();
    caption.Add(0, text.c_str());
    caption.Add(ShowFor(text.size()), "");
    world.ShowCaption(&caption);
    return hint;
}
