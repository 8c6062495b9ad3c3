// kelvane-check [--map FILE.dot | --no-map] [--world DIR] [--texts DIR] [--uses]: builds the
// game's world headless from its world files in the current directory's data (which must hold
// data/, as for the game), checks it and prints the findings and the world's figures. Writes a
// map of the screens (Graphviz dot, and a PNG beside it when dot is installed). Exit status: 0
// when no fault was found (warnings allowed), 1 with faults (a world file that cannot be read
// among them), 2 on wrong usage or when no window or device can be made.
#include <cstdlib>
#include <memory>
#include <fstream>
#include <iostream>
#include <string>

#include "checked_world.h"
#include "display/d3dfunc.h"
#include "file_probe.h"
#include "core/game_paths.h"
#include "platform/window/window.h"
#include "world/world_manager.h"
#include "world_census.h"
#include "world_checker.h"
#include "world_map.h"
#include "world_uses.h"

namespace {

constexpr int kBackBufferWidth = 800;
constexpr int kBackBufferHeight = 600;

struct Options {
    std::string mapPath = "world_map.dot";  // empty: no map
    std::string worldDir;                   // empty: the data's world folder
    std::string textsDir;                   // empty: the data's po folder
    bool uses = false;
    bool help = false;
};

constexpr const char* kUsage =
    "usage: kelvane-check [--map FILE.dot | --no-map] [--world DIR] [--texts DIR] [--uses]\n"
    "Checks the game's world in the current directory (which holds data/): the world files read\n"
    "without a fault (reported as file:line:col), every file exists and decodes, every screen is\n"
    "reachable, every condition is well formed; lists variables, items and hotspots never used.\n"
    "  --map FILE.dot  write the map of the screens there (default world_map.dot; a PNG beside it\n"
    "                  when Graphviz dot is installed)\n"
    "  --no-map        write no map\n"
    "  --world DIR     read the world files there (default: data/world)\n"
    "  --texts DIR     read the texts there (default: data/po)\n"
    "  --uses          list for each variable where it is read and where it is set\n"
    "  --help          print this text and exit\n"
    "Exit status: 0 no fault (warnings allowed), 1 faults found, 2 wrong usage or no device.\n";

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            options->help = true;
        } else if (arg == "--no-map") {
            options->mapPath.clear();
        } else if (arg == "--map" && i + 1 < argc) {
            options->mapPath = argv[++i];
        } else if (arg == "--world" && i + 1 < argc) {
            options->worldDir = argv[++i];
        } else if (arg == "--texts" && i + 1 < argc) {
            options->textsDir = argv[++i];
        } else if (arg == "--uses") {
            options->uses = true;
        } else {
            return false;
        }
    }
    return true;
}

void PrintFindings(const std::vector<CheckFinding>& findings)
{
    int faults = 0;
    for (const CheckFinding& finding : findings) faults += IsFault(finding.rule) ? 1 : 0;
    std::cout << "\nFindings: " << faults << " faults, " << findings.size() - static_cast<std::size_t>(faults)
              << " warnings\n";
    for (bool faultPass : {true, false}) {
        for (const CheckFinding& finding : findings) {
            if (IsFault(finding.rule) != faultPass) continue;
            std::cout << (faultPass ? "FAULT   " : "warning ") << RuleName(finding.rule) << ": " << finding.where
                      << ": " << finding.what << "\n";
        }
    }
}

void WriteMap(const std::string& path, const std::string& dot)
{
    std::ofstream(path) << dot;
    std::cout << "\nmap: " << path;
    const std::size_t dotAt = path.rfind(".dot");
    const std::string png = (dotAt != std::string::npos ? path.substr(0, dotAt) : path) + ".png";
    std::string error;
    if (RenderMapPng(path, png, &error)) {
        std::cout << ", " << png << "\n";
    } else {
        std::cout << " (no PNG: " << error << ")\n";
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::cerr << kUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    // Headless unless the person running it asks for a window.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    std::string error;
    std::unique_ptr<platform::Window> window =
        platform::Window::Create("kelvane-check", kBackBufferWidth, kBackBufferHeight, false, &error);
    if (!window) {
        std::cerr << "kelvane-check: no window: " << error << "\n";
        return 2;
    }
    platform::SetMainWindow(window.get());
    if (!D3Dfunc::Create(*window, true)) return 2;

    int status = 0;
    {
        FileProbe probe;
        CheckedWorld built(window.get());
        const std::string worldDir = options.worldDir.empty() ? GamePaths::Resolve("data/world") : options.worldDir;
        const std::string textsDir = options.textsDir.empty() ? GamePaths::Resolve("data/po") : options.textsDir;
        std::vector<CheckFinding> findings = built.BuildFromFiles(worldDir, textsDir, probe);
        for (const CheckFinding& finding : findings) {
            // As a compiler reports, so that an editor can jump to the place.
            if (finding.rule == CheckRule::WorldFileFault) std::cerr << finding.where << ": error: " << finding.what << "\n";
        }
        if (WorldManager* world = built.get_World()) {
            WorldChecker checker(*world, CheckedWorld::Tracks(), probe);
            const std::vector<CheckFinding> more = checker.Check();
            findings.insert(findings.end(), more.begin(), more.end());
            const WorldUses uses(*world, *built.get_Files());
            findings.insert(findings.end(), uses.get_Unused().begin(), uses.get_Unused().end());
            if (options.uses) std::cout << "Variables, where read and where set\n" << uses.FormatVariableUses() << "\n";
            std::cout << "World figures\n" << FormatCensus(TakeCensus(*world));
            if (!options.mapPath.empty()) {
                WriteMap(options.mapPath, WorldMapDot(*world, checker.get_Reached(), checker.get_Obtainable()));
            }
        }
        PrintFindings(findings);
        for (const CheckFinding& finding : findings) {
            if (IsFault(finding.rule)) status = 1;
        }
    }
    D3Dfunc::Destroy();
    platform::SetMainWindow(nullptr);
    return status;
}
