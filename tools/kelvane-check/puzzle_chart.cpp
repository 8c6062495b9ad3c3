#include "puzzle_chart.h"

#include <algorithm>
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

// The needs of each node that no other need of it already implies.
std::vector<std::vector<int>> DirectNeeds(const std::vector<std::set<int>>& needs)
{
    std::vector<std::vector<int>> direct(needs.size());
    for (std::size_t a = 0; a < needs.size(); ++a) {
        for (int b : needs[a]) {
            const bool implied = std::any_of(needs[a].begin(), needs[a].end(), [&](int c) {
                return c != b && needs[static_cast<std::size_t>(c)].count(b) != 0;
            });
            if (!implied) direct[a].push_back(b);
        }
    }
    return direct;
}

}  // namespace

std::string PuzzleChartDot(const SearchResult& result)
{
    // Nodes: the goals reached, then the credits; every goal's needs, the credits' included.
    std::vector<int> shown;
    for (std::size_t g = 0; g < result.goals.size(); ++g)
        if (result.goals[g].reached) shown.push_back(static_cast<int>(g));
    const int credits = static_cast<int>(result.goals.size());
    std::vector<std::set<int>> needs(result.goals.size() + 1);
    for (int g : shown) needs[static_cast<std::size_t>(g)].insert(result.goals[static_cast<std::size_t>(g)].needs.begin(), result.goals[static_cast<std::size_t>(g)].needs.end());
    needs[static_cast<std::size_t>(credits)].insert(result.endingNeeds.begin(), result.endingNeeds.end());
    const std::vector<std::vector<int>> direct = DirectNeeds(needs);
    const auto name = [&](int g) { return g == credits ? std::string("the credits") : result.goals[static_cast<std::size_t>(g)].name; };

    std::ostringstream out;
    out << "// What each goal of the story needs before it, from kelvane-check --search.\n"
        << "digraph puzzles {\n  rankdir=LR;\n  node [shape=box, style=rounded, fontname=\"Helvetica\"];\n";
    std::vector<std::string> lines;
    for (int g : shown) lines.push_back("  " + Quoted(name(g)) + ";\n");
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) out << line;
    out << "  " << Quoted(name(credits)) << " [shape=doubleoctagon];\n";
    lines.clear();
    std::vector<int> targets = shown;
    if (result.endingReachable) targets.push_back(credits);
    for (int a : targets)
        for (int b : direct[static_cast<std::size_t>(a)]) lines.push_back("  " + Quoted(name(b)) + " -> " + Quoted(name(a)) + ";\n");
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) out << line;
    out << "}\n";
    return out.str();
}
