#include "shell/hint_ladder.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "world/world_manager.h"

HintLadder::HintLadder(const WorldFiles& files)
    : c_goals(files.get_Goals()), c_given(files.get_Goals().size(), 0), c_sIdle(files.get_IdleHint())
{
}

namespace {

bool Holds(const WorldManager& world, const std::vector<int>& tokens)
{
    return world.TestConditionList(tokens.data(), static_cast<unsigned>(tokens.size()));
}

}  // namespace

int HintLadder::DoneCount(const WorldManager& world) const
{
    return static_cast<int>(
        std::count_if(c_goals.begin(), c_goals.end(), [&world](const WorldFiles::Goal& goal) { return Holds(world, goal.done); }));
}

std::string HintLadder::Serialize() const
{
    std::string text;
    for (std::size_t i = 0; i < c_goals.size(); ++i) {
        if (c_given[i] == 0) continue;
        if (!text.empty()) text += ' ';
        text += c_goals[i].name + "=" + std::to_string(c_given[i]);
    }
    return text;
}

bool HintLadder::Restore(const std::string& text, std::string* error)
{
    std::vector<int> given(c_goals.size(), 0);
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        const std::size_t equals = word.find('=');
        int count = 0;
        const char* digits = word.data() + (equals == std::string::npos ? word.size() : equals + 1);
        const auto [end, fault] = std::from_chars(digits, word.data() + word.size(), count);
        if (equals == std::string::npos || equals == 0 || fault != std::errc() || end != word.data() + word.size() ||
            count < 0) {
            if (error != nullptr) *error = "\"" + word + "\" is not <goal>=<hints given>";
            return false;
        }
        const std::string name = word.substr(0, equals);
        for (std::size_t i = 0; i < c_goals.size(); ++i)
            if (c_goals[i].name == name) given[i] = std::min(count, static_cast<int>(c_goals[i].hints.size()));
    }
    c_given = std::move(given);
    return true;
}

int HintLadder::OpenGoal(const WorldManager& world) const
{
    const auto holds = [&world](const std::vector<int>& tokens) { return Holds(world, tokens); };
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
