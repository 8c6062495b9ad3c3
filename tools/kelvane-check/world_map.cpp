#include "world_map.h"

#include <spawn.h>
#include <sys/wait.h>

#include <map>
#include <sstream>
#include <tuple>

#include "display/world_inventory.h"
#include "display/world_item.h"
#include "world/action_codes.h"
#include "world/world_manager.h"
#include "world_walk.h"

extern char** environ;

namespace {

enum class Way { Click, Entry, Conditional, ItemUse, CloseUp };

const char* WayStyle(Way way)
{
    switch (way) {
    case Way::Click: return "solid";
    case Way::Entry: return "bold";
    case Way::Conditional: return "dashed";
    default: return "dotted";
    }
}

std::string Node(int number) { return "s" + std::string(number < 0 ? "m" : "") + std::to_string(number < 0 ? -number : number); }

// The file name of a picture without its folder, for node labels.
std::string Stem(const char* path)
{
    if (path == nullptr) return "?";
    std::string text(path);
    const std::size_t slash = text.find_last_of('/');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

Way WayOf(const ListSite& site)
{
    if (site.hotspot == nullptr) return site.list->get_Conditions().empty() ? Way::Entry : Way::Conditional;
    if (!site.list->get_Type()) return Way::ItemUse;
    if (!site.list->get_Conditions().empty() || !site.hotspot->get_Conditions().empty()) return Way::Conditional;
    return Way::Click;
}

}  // namespace

std::string WorldMapDot(const WorldManager& world, const std::set<const WorldScreen*>& reached,
                        const std::set<int>& obtainable)
{
    std::ostringstream dot;
    dot << "digraph world {\n  rankdir=LR;\n  node [fontsize=10];\n  edge [arrowsize=0.6];\n";
    std::set<int> drawn;
    for (const auto& screen : world.get_Screens()) {
        if (!drawn.insert(screen->get_Number()).second) continue;  // a shadowed duplicate
        dot << "  " << Node(screen->get_Number()) << " [label=\"" << screen->get_Number() << "\\n"
            << Stem(screen->get_BaseImage()) << "\", shape="
            << (screen->get_Type() == WorldScreen::kPanorama ? "ellipse" : "box");
        if (reached.count(screen.get()) == 0) dot << ", style=filled, fillcolor=\"#ff8080\"";
        dot << "];\n";
    }

    // One arrow per (from, to, way), however many hotspots share it.
    std::set<std::tuple<int, int, Way>> ways;
    ForEachListSite(world, [&](const ListSite& site) {
        for (int i = 0; i < site.list->get_ActionNumber(); ++i) {
            const WorldAction& action = *site.list->getAction(i);
            int to = 0;
            Way way = WayOf(site);
            if (action.get_Type() == ACT_GotoScreen) {
                to = GotoTarget(action);
            } else if (action.get_Type() == ACT_ShowItem && FirstNumber(action)) {
                const WorldItem* item = world.get_Inventory()->GetItem(*FirstNumber(action));
                if (item == nullptr) continue;
                to = item->get_Screen();
                way = Way::CloseUp;
            } else {
                continue;
            }
            if (drawn.count(to) == 0) continue;
            ways.insert({site.screen->get_Number(), to, way});
        }
    });
    for (const auto& [from, to, way] : ways) {
        dot << "  " << Node(from) << " -> " << Node(to) << " [style=" << WayStyle(way) << "];\n";
    }
    if (!obtainable.empty()) {
        dot << "  bar [label=\"inventory bar\", shape=note];\n";
        for (int number : obtainable) {
            const WorldItem* item = world.get_Inventory()->GetItem(number);
            if (item == nullptr || drawn.count(item->get_Screen()) == 0) continue;
            dot << "  bar -> " << Node(item->get_Screen()) << " [style=dotted, label=\"item " << number << "\"];\n";
        }
    }
    dot << "}\n";
    return dot.str();
}

bool RenderDot(const std::string& dotPath, const std::string& outPath, const std::string& format, std::string* error)
{
    std::string output = "-o" + outPath;
    char program[] = "dot";
    std::string type = "-T" + format;
    std::string input = dotPath;
    char* argv[] = {program, type.data(), output.data(), input.data(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0) {
        if (error) *error = "Graphviz's dot is not installed";
        return false;
    }
    int status = 0;
    if (waitpid(child, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        if (error) *error = "dot could not draw " + dotPath;
        return false;
    }
    return true;
}

bool RenderMapPng(const std::string& dotPath, const std::string& pngPath, std::string* error)
{
    return RenderDot(dotPath, pngPath, "png", error);
}
