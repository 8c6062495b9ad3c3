// kelvane-replay SCRIPT: plays the game headless under a script of moves, clicks, keys and
// waits (see src/shell/replay.h for the commands), with the game's data and saves where the
// game itself would find them. Prints every failed expectation; exit status 0 when the script
// ran to its end with none, 1 otherwise, 2 on wrong usage. Afterwards it prints how long screen
// entries took (the slowest with its screen) and the process's peak resident memory, and on
// standard error how soon clicks showed the screens they entered (p50, p95, worst).
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string_view>

#include <sys/resource.h>

#include "shell/replay.h"

int main(int argc, char** argv)
{
    const char* const kUsage =
        "usage: kelvane-replay [--pace MS] [--no-prefetch] SCRIPT\n"
        "Runs the game headless under SCRIPT, a text of moves, clicks, keys, waits and expectations\n"
        "(the commands are listed in src/shell/replay.h). It finds the game's data and keeps its\n"
        "saves as the game does: data/ and save/ in the current directory when data/ is there.\n"
        "--pace MS: every presented frame adds MS (1..1000) ms of game time, whatever the script's\n"
        "own pace commands say. At the end, standard error gets the click-to-frame latency of the\n"
        "clicks that changed the screen: p50, p95 and worst, in ms and in frames of the pace.\n"
        "--no-prefetch: screens' pictures are read when entered, none decoded ahead.\n"
        "Exit status: 0 the script ran to its end with no failed expectation, 1 otherwise,\n"
        "2 wrong usage.\n";
    if (argc == 2 && std::string_view(argv[1]) == "--help") {
        std::cout << kUsage;
        return 0;
    }
    ReplayOptions options;
    while (argc > 2) {
        const std::string_view option = argv[1];
        if (option == "--no-prefetch") {
            options.prefetch = false;
            argv += 1;
            argc -= 1;
        } else if (option == "--pace" && argc > 3) {
            const int pace = std::atoi(argv[2]);
            if (pace < 1 || pace > 1000) {
                std::cerr << "kelvane-replay: --pace takes 1 to 1000 milliseconds per frame\n";
                return 2;
            }
            options.forcedPace = static_cast<std::uint32_t>(pace);
            argv += 2;
            argc -= 2;
        } else {
            break;
        }
    }
    if (argc != 2) {
        std::cerr << kUsage;
        return 2;
    }
    std::ifstream file(argv[1]);
    if (!file) {
        std::cerr << "kelvane-replay: cannot read the script '" << argv[1] << "'\n";
        return 2;
    }
    std::ostringstream text;
    text << file.rdbuf();

    // Headless unless the person running it asks for a window.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    const ReplayResult result = RunReplay(text.str(), options);
    for (const std::string& failure : result.failures) std::cerr << argv[1] << ": " << failure << "\n";
    std::cout << (result.Passed() ? "passed" : "FAILED") << " after " << result.frames << " frames, "
              << result.gameMs << " ms of game time\n";
    // What a content author wants to know about the run: the heaviest screen and the memory.
    const WorldManager::EntryTimes& entries = result.screenEntries;
    if (entries.count > 0) {
        std::cout << entries.count << " screen entries, mean " << entries.totalMs / entries.count << " ms, slowest "
                  << entries.slowestMs << " ms (screen " << entries.slowestScreen << ")\n";
    }
    if (options.prefetch)
        std::cout << "pictures decoded ahead and taken on entry: " << result.picturesAhead << ", read on entry: "
                  << result.picturesRead << "\n";
    std::cerr << LatencyReport(result, options.forcedPace != 0 ? options.forcedPace : options.msPerFrame) << "\n";
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) == 0) std::cout << "peak resident memory " << usage.ru_maxrss / 1024 << " MiB\n";
    return result.Passed() ? 0 : 1;
}
