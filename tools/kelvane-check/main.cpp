// kelvane-check [--map FILE.dot | --no-map] [--world DIR] [--texts DIR] [--uses] [--search ...]
// (the usage text below has every option):
// builds the game's world headless from its world files in the current directory's data (which
// must hold data/, as for the game), checks it and prints the findings and the world's figures.
// Writes a map of the screens (Graphviz dot, and a PNG beside it when dot is installed). With
// --search, also plays every state the player can reach (StateSearch) and reports dead ends,
// what is never reached, the shortest solution and the puzzle chart. Exit status: 0 when no
// fault was found (warnings allowed), 1 with faults (a world file that cannot be read among
// them), 2 on wrong usage or when no window or device can be made.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <fstream>
#include <iostream>
#include <sstream>
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
#include "puzzle_chart.h"
#include "script/world_files.h"
#include "state_search.h"

namespace {

constexpr int kBackBufferWidth = 800;
constexpr int kBackBufferHeight = 600;

struct Options {
    std::string mapPath = "world_map.dot";  // empty: no map
    std::string worldDir;                   // empty: the data's world folder
    std::string textsDir;                   // empty: the data's po folder
    bool uses = false;
    bool help = false;
    bool search = false;
    bool onlySearch = false;     // the search without the other checks (no file is probed)
    std::string solutionPath;    // the shortest solution's replay script
    std::string chartPath;       // the puzzle chart (dot, and SVG beside it)
    std::string chartCheckPath;  // a committed chart the search's must equal
    std::string deadEndDir;      // one replay script per dead end
    std::size_t stateLimit = StateSearch::kDefaultStateLimit;
};

constexpr const char* kUsage =
    "usage: kelvane-check [--map FILE.dot | --no-map] [--world DIR] [--texts DIR] [--uses]\n"
    "                     [--search | --only-search] [--solution FILE] [--chart FILE.dot]\n"
    "                     [--chart-check FILE.dot] [--dead-ends DIR] [--state-limit N]\n"
    "Checks the game's world in the current directory (which holds data/): the world files read\n"
    "without a fault (reported as file:line:col), every file exists and decodes, every screen is\n"
    "reachable, every condition is well formed; lists variables, items and hotspots never used.\n"
    "  --map FILE.dot  write the map of the screens there (default world_map.dot; a PNG beside it\n"
    "                  when Graphviz dot is installed)\n"
    "  --no-map        write no map\n"
    "  --world DIR     read the world files there (default: data/world)\n"
    "  --texts DIR     read the texts there (default: data/po)\n"
    "  --uses          list for each variable where it is read and where it is set\n"
    "  --search        play every state a player can reach from a new game (the world's random\n"
    "                  set-up drawn as a replay draws it) and report the dead ends (states\n"
    "                  the credits cannot be reached from), every screen, hotspot list, item\n"
    "                  use, overlay, picture version and film never reached, the shortest\n"
    "                  solution, the states and the time; the world's note(\"search_allows\")\n"
    "                  excuses what it lists\n"
    "  --only-search   the search alone: none of the other checks, no map\n"
    "  --solution FILE write the shortest solution there as a replay script (kelvane-replay)\n"
    "  --chart FILE.dot  write the puzzle chart there (and an SVG beside it with dot)\n"
    "  --chart-check FILE.dot  fail unless the puzzle chart equals that file\n"
    "  --dead-ends DIR write the shortest route into each dead end there, one replay script each\n"
    "  --state-limit N stop searching after N states (default 2000000)\n"
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
        } else if (arg == "--search") {
            options->search = true;
        } else if (arg == "--only-search") {
            options->search = true;
            options->onlySearch = true;
            options->mapPath.clear();
        } else if (arg == "--solution" && i + 1 < argc) {
            options->solutionPath = argv[++i];
        } else if (arg == "--chart" && i + 1 < argc) {
            options->chartPath = argv[++i];
        } else if (arg == "--chart-check" && i + 1 < argc) {
            options->chartCheckPath = argv[++i];
        } else if (arg == "--dead-ends" && i + 1 < argc) {
            options->deadEndDir = argv[++i];
        } else if (arg == "--state-limit" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long long limit = std::strtoull(argv[++i], &end, 10);
            if (end == argv[i] || *end != '\0' || limit == 0) return false;
            options->stateLimit = static_cast<std::size_t>(limit);
        } else {
            return false;
        }
    }
    // The search's files are only written by a search.
    const bool searchFiles = !options->solutionPath.empty() || !options->chartPath.empty() ||
                             !options->chartCheckPath.empty() || !options->deadEndDir.empty();
    return options->search || !searchFiles;
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

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) std::cerr << "kelvane-check: cannot write " << path << "\n";
    return static_cast<bool>(out);
}

// Runs the search on the built world, prints its report and writes what was asked for; the
// number of faults (dead ends and unreached things not allowed, errors, a chart that differs,
// a file not written).
std::size_t Search(WorldManager& world, const WorldFiles& files, const Options& options)
{
    StateSearch search(world, SearchNames::FromFiles(files), SearchAllowancesFromFiles(files));
    const SearchResult result = search.Run(options.stateLimit);
    std::cout << "\n" << FormatSearchReport(result);
    std::size_t faults = result.Faults() + (result.complete ? 0 : 1);
    if (!options.solutionPath.empty()) {
        if (result.solution.empty() && !result.endingReachable) {
            std::cerr << "kelvane-check: no solution to write: the ending cannot be reached\n";
            ++faults;
        } else if (WriteText(options.solutionPath,
                             FormatReplayScript(result.solution, "The shortest solution the state search finds (" +
                                                                     std::to_string(result.solutionClicks) + " clicks).",
                                                true, search.get_StartScreen()))) {
            std::cout << "solution: " << options.solutionPath << "\n";
        } else {
            ++faults;
        }
    }
    if (!options.deadEndDir.empty()) {
        std::filesystem::create_directories(options.deadEndDir);
        int n = 0;
        for (const SearchDeadEnd& dead : result.deadEnds) {
            const std::string path = (std::filesystem::path(options.deadEndDir) / ("dead_end_" + std::to_string(++n) + ".txt")).string();
            if (!WriteText(path, FormatReplayScript(dead.route, "Into a dead end: " + dead.cause + ".", false, search.get_StartScreen())))
                ++faults;
        }
    }
    const std::string chart = PuzzleChartDot(result);
    if (!options.chartPath.empty() && WriteText(options.chartPath, chart)) {
        const std::size_t dotAt = options.chartPath.rfind(".dot");
        const std::string svg = (dotAt != std::string::npos ? options.chartPath.substr(0, dotAt) : options.chartPath) + ".svg";
        std::string error;
        std::cout << "puzzle chart: " << options.chartPath;
        if (RenderDot(options.chartPath, svg, "svg", &error)) std::cout << ", " << svg << "\n";
        else std::cout << " (no SVG: " << error << ")\n";
    }
    if (!options.chartCheckPath.empty()) {
        std::ifstream in(options.chartCheckPath, std::ios::binary);
        std::ostringstream committed;
        committed << in.rdbuf();
        if (!in || committed.str() != chart) {
            std::cout << "FAULT   the puzzle chart differs from " << options.chartCheckPath
                      << " (write it again with --chart); the search gives:\n" << chart;
            ++faults;
        } else {
            std::cout << "puzzle chart: the same as " << options.chartCheckPath << "\n";
        }
    }
    return faults;
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
        // The world's random set-up as a replay of the search's routes will draw it.
        if (options.search) std::srand(StateSearch::kReplaySeed);
        CheckedWorld built(window.get());
        const std::string worldDir = options.worldDir.empty() ? GamePaths::Resolve("data/world") : options.worldDir;
        const std::string textsDir = options.textsDir.empty() ? GamePaths::Resolve("data/po") : options.textsDir;
        std::vector<CheckFinding> findings = built.BuildFromFiles(worldDir, textsDir, probe);
        for (const CheckFinding& finding : findings) {
            // As a compiler reports, so that an editor can jump to the place.
            if (finding.rule == CheckRule::WorldFileFault) std::cerr << finding.where << ": error: " << finding.what << "\n";
        }
        if (WorldManager* world = built.get_World(); world != nullptr && !options.onlySearch) {
            WorldChecker checker(*world, CheckedWorld::Tracks(), probe);
            const std::vector<CheckFinding> more = checker.Check();
            findings.insert(findings.end(), more.begin(), more.end());
            const std::vector<CheckFinding> clues = CheckClues(*built.get_Files(), *world, checker.get_Reached());
            findings.insert(findings.end(), clues.begin(), clues.end());
            const WorldUses uses(*world, *built.get_Files());
            findings.insert(findings.end(), uses.get_Unused().begin(), uses.get_Unused().end());
            if (options.uses) std::cout << "Variables, where read and where set\n" << uses.FormatVariableUses() << "\n";
            std::cout << "World figures\n" << FormatCensus(TakeCensus(*world));
            if (!options.mapPath.empty()) {
                WriteMap(options.mapPath, WorldMapDot(*world, checker.get_Reached(), checker.get_Obtainable()));
            }
        }
        PrintFindings(findings);
        if (options.search && built.get_World() != nullptr && Search(*built.get_World(), *built.get_Files(), options) > 0)
            status = 1;
        for (const CheckFinding& finding : findings) {
            if (IsFault(finding.rule)) status = 1;
        }
    }
    D3Dfunc::Destroy();
    platform::SetMainWindow(nullptr);
    return status;
}
