// Feeds arbitrary bytes through the whole check a save passes before it is restored: the
// parser and the check against a small world of screens, plain variables, a grid, a variable
// the world defines twice, and items. It must never read outside the bytes; a file it accepts
// must encode back to exactly the same bytes, and restoring it into the small world must leave
// every value within what the world allows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "menus/save_file.h"

namespace {

constexpr int kGridStart = 100;
constexpr int kGridCells = 12;
constexpr std::uint8_t kGridMax = 7;
constexpr int kTwiceDefined = 40;

SaveWorldShape SmallWorld()
{
    SaveWorldShape world;
    world.screens = {0, 5, 350, 10001, 12001, 17001};
    for (int number : {1, 2, 3, 300}) world.variables[number].defined = 1;
    world.variables[kTwiceDefined].defined = 2;
    for (int cell = 0; cell < kGridCells; ++cell) world.variables[kGridStart + cell] = {1, kGridMax};
    world.items = {1, 2, 3, 4, 5, 6, 7, 8};
    return world;
}

// The small world's state, restored as the save manager restores a game.
struct WorldState {
    int screen = 0;
    std::map<int, std::uint8_t> values;
    std::vector<int> bar;
};

void Restore(const SaveRecord& record, WorldState* state)
{
    state->screen = record.screen;
    for (const SaveVariable& variable : record.variables) state->values[variable.number] = variable.value;
    state->bar.assign(record.items.begin(), record.items.end());
}

bool StateFits(const WorldState& state, const SaveWorldShape& world)
{
    if (world.screens.count(state.screen) == 0) return false;
    for (const auto& [number, value] : state.values) {
        const auto defined = world.variables.find(number);
        if (defined == world.variables.end() || value > defined->second.maxValue) return false;
    }
    std::vector<int> bar = state.bar;
    std::sort(bar.begin(), bar.end());
    if (std::adjacent_find(bar.begin(), bar.end()) != bar.end()) return false;
    return std::all_of(bar.begin(), bar.end(), [&](int item) { return world.items.count(item) != 0; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const SaveWorldShape world = SmallWorld();
    const std::span<const std::uint8_t> bytes(data, size);
    SaveRecord record;
    std::string error;
    const bool parsed = ParseSaveFile(bytes, &record, &error);
    SaveRecord checked;
    const bool accepted = ReadSaveFile(bytes, world, &checked, &error);
    if (accepted && (!parsed || !(checked == record))) std::abort();
    if (!accepted) {
        if (error.empty()) std::abort();
        return 0;
    }
    const std::vector<std::uint8_t> again = EncodeSaveFile(checked);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();
    if (checked.heading > kMaxSaveHeading) std::abort();
    WorldState state;
    Restore(checked, &state);
    if (!StateFits(state, world)) std::abort();
    return 0;
}
