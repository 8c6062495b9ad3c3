// The whole game on its generated data, headless:
//   BM_Walkthrough plays tests/game/walkthrough.txt once from the main menu to the credits and
//   reports the slowest screen entry (target < 40 ms) with its screen, the mean entry and the
//   peak resident memory of its process over the run (target < 300 MiB).
//   BM_StartUpToFirstMenuFrame: window, start-up assembly (every picture, font, sound and the
//   world) and the first main-menu frame presented (target < 1.5 s).
// Every run is a process of its own (forked), so start-ups are cold and peaks separate.
// The data is the test suite's: the directory holding data/ is KELVANE_GAME_DIR, by default
// tests/game under the current directory (run from the build directory after the tests).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../common/headless.h"
#include "shell/replay.h"

namespace {

namespace fs = std::filesystem;

std::string ReadScript(const fs::path& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// What a run reports back from its own process.
struct RunFigures {
    bool passed = false;
    char failure[512] = {};
    int frames = 0;
    double firstFrameSeconds = 0.0;
    WorldManager::EntryTimes entries;
    long peakRssKiB = 0;
};

// Runs the script in a fresh child process, so that every start-up is a cold one (fonts,
// window, device, shader programs) and the peak memory is that run's alone. This process has
// started no threads, so forking it is safe.
RunFigures RunInChild(const std::string& script)
{
    RunFigures figures;
    int channel[2];
    if (pipe(channel) != 0) {
        std::snprintf(figures.failure, sizeof figures.failure, "cannot open a pipe");
        return figures;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        RunFigures mine;
        const ReplayResult result = RunReplay(script, ReplayOptions{});
        mine.passed = result.Passed();
        if (!result.failures.empty()) std::snprintf(mine.failure, sizeof mine.failure, "%s", result.failures[0].c_str());
        mine.frames = result.frames;
        mine.firstFrameSeconds = result.firstFrameSeconds;
        mine.entries = result.screenEntries;
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        mine.peakRssKiB = usage.ru_maxrss;
        const bool sent = write(channel[1], &mine, sizeof mine) == static_cast<ssize_t>(sizeof mine);
        _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    const bool received = child > 0 && read(channel[0], &figures, sizeof figures) == static_cast<ssize_t>(sizeof figures);
    close(channel[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    if (!received) {
        figures = RunFigures{};
        std::snprintf(figures.failure, sizeof figures.failure, "the game's process ended without reporting");
    }
    return figures;
}

// Fails the benchmark with the run's own message.
bool Check(benchmark::State& state, const RunFigures& figures)
{
    if (figures.passed) return true;
    const std::string why = std::string("the replay failed: ") + figures.failure;
    state.SkipWithError(why.c_str());
    return false;
}

void BM_Walkthrough(benchmark::State& state)
{
    const std::string script = ReadScript(fs::path(KELVANE_SOURCE_DIR) / "tests/game/walkthrough.txt");
    RunFigures figures;
    for (auto _ : state) {
        figures = RunInChild(script);
        if (!Check(state, figures)) return;
    }
    const WorldManager::EntryTimes& entries = figures.entries;
    state.counters["entries"] = entries.count;
    state.counters["mean_entry_ms"] = entries.count > 0 ? entries.totalMs / entries.count : 0.0;
    state.counters["slowest_entry_ms"] = entries.slowestMs;
    state.counters["slowest_screen"] = entries.slowestScreen;
    state.counters["peak_rss_MiB"] = static_cast<double>(figures.peakRssKiB) / 1024.0;
    state.counters["frames"] = figures.frames;
}

void BM_StartUpToFirstMenuFrame(benchmark::State& state)
{
    for (auto _ : state) {
        const RunFigures figures = RunInChild("expect phase menu\nquit\n");
        if (!Check(state, figures)) return;
        state.SetIterationTime(figures.firstFrameSeconds);
    }
}

}  // namespace

BENCHMARK(BM_Walkthrough)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_StartUpToFirstMenuFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5)->Repetitions(3)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    const char* dir = std::getenv("KELVANE_GAME_DIR");
    const fs::path game = dir != nullptr ? fs::path(dir) : fs::current_path() / "tests/game";
    if (!fs::is_directory(game / "data")) {
        std::cerr << "bench_game: no game data in " << (game / "data")
                  << "; run the test suite first (it generates it), or set KELVANE_GAME_DIR to a directory holding "
                     "data/ (kelvane-data DIR/data writes one)\n";
        return 1;
    }
    // Saves go to a scratch directory of this run, beside a link to the data.
    const fs::path scratch = fs::temp_directory_path() / ("kelvane-bench-game-" + std::to_string(::getpid()));
    fs::create_directories(scratch);
    fs::create_directory_symlink(fs::absolute(game / "data"), scratch / "data");
    fs::current_path(scratch);
    setenv("KELVANE_HEADLESS", "1", 0);
    const int status = RunHeadlessBenchmarks(argc, argv);
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return status;
}
