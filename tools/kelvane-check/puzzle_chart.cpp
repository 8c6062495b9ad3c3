#include "puzzle_chart.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "state_search.h"

namespace {

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string PuzzleChartDot(const SearchResult& result)
{
    // Goals that need each other are reached by the same click (a thing taken is both "has
    // it" and "no longer there"): they are one box. Boxes in the order of their first goal.
    const std::size_t count = result.goals.size();
    const auto needs = [&](std::size_t a, std::size_t b) {
        const std::vector<int>& n = result.goals[a].needs;
        return std::find(n.begin(), n.end(), static_cast<int>(b)) != n.end();
    };
    std::vector<int> box(count, -1);
    std::vector<std::vector<std::size_t>> members;
    for (std::size_t g = 0; g < count; ++g) {
        if (!result.goals[g].reached || box[g] >= 0) continue;
        box[g] = static_cast<int>(members.size());
        members.push_back({g});
        for (std::size_t h = g + 1; h < count; ++h) {
            if (result.goals[h].reached && box[h] < 0 && needs(g, h) && needs(h, g)) {
                box[h] = box[g];
                members.back().push_back(h);
            }
        }
    }
    // What each box needs (the credits are the last box), then only what no other need of it
    // already implies.
    const std::size_t credits = members.size();
    std::vector<std::set<std::size_t>> boxNeeds(credits + 1);
    for (std::size_t g = 0; g < count; ++g) {
        if (box[g] < 0) continue;
        for (int n : result.goals[g].needs)
            if (box[static_cast<std::size_t>(n)] >= 0 && box[static_cast<std::size_t>(n)] != box[g])
                boxNeeds[static_cast<std::size_t>(box[g])].insert(static_cast<std::size_t>(box[static_cast<std::size_t>(n)]));
    }
    if (result.endingReachable)
        for (int n : result.endingNeeds)
            if (box[static_cast<std::size_t>(n)] >= 0) boxNeeds[credits].insert(static_cast<std::size_t>(box[static_cast<std::size_t>(n)]));
    const auto name = [&](std::size_t b) {
        if (b == credits) return std::string("the credits");
        std::string label;
        for (std::size_t g : members[b]) label += (label.empty() ? "" : " / ") + result.goals[g].name;
        return label;
    };

    std::ostringstream out;
    out << "// What each goal of the story needs before it, from kelvane-check --search.\n"
        << "digraph puzzles {\n  rankdir=LR;\n  node [shape=box, style=rounded, fontname=\"Helvetica\"];\n";
    std::vector<std::string> lines;
    for (std::size_t b = 0; b < credits; ++b) lines.push_back("  " + Quoted(name(b)) + ";\n");
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) out << line;
    out << "  " << Quoted(name(credits)) << " [shape=doubleoctagon];\n";
    lines.clear();
    for (std::size_t a = 0; a <= credits; ++a) {
        for (std::size_t b : boxNeeds[a]) {
            const bool implied = std::any_of(boxNeeds[a].begin(), boxNeeds[a].end(),
                                             [&](std::size_t c) { return c != b && boxNeeds[c].count(b) != 0; });
            if (!implied) lines.push_back("  " + Quoted(name(b)) + " -> " + Quoted(name(a)) + ";\n");
        }
    }
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) out << line;
    out << "}\n";
    return out.str();
}
