// The whole game on its generated data, headless:
//   BM_Walkthrough plays tests/game/walkthrough.txt once from the main menu to the credits and
//   reports the slowest screen entry (target < 40 ms) with its screen, the mean entry and the
//   peak resident memory of its process over the run (target < 300 MiB).
//   BM_StartUpToFirstMenuFrame: window, start-up assembly (every picture, font, sound and the
//   world) and the first main-menu frame presented (target < 1.5 s).
//   BM_ReloadWorldToNextFrame: with --develop, the whole world reloaded from its files while
//   the player stands in a place, to the next world frame drawn (target < 300 ms), against an
//   ordinary world frame of the same run.
//   BM_AutosaveFrames: the frames of play while the game saves by itself (the view kept by the
//   frame as the save's picture, the save taken, its files written on the worker thread, fsync
//   included),
//   the longest of them against an ordinary world frame of the same run (target: at most 2x,
//   and under 33 ms).
// Every run is a process of its own (forked), so start-ups are cold and peaks separate.
// The data is the test suite's: the directory holding data/ is KELVANE_GAME_DIR, by default
// tests/game under the current directory (run from the build directory after the tests).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
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
#include "display/d3dfunc.h"
#include "menus/save_manager.h"
#include "platform/gfx/device.h"
#include "script/world_files.h"
#include "shell/game_manager.h"
#include "shell/replay.h"
#include "shell/start_up.h"
#include "shell/win_main.h"
#include "shell/world_reload.h"
#include "world/world_manager.h"

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
    double reloadMeanMs = 0.0, reloadMaxMs = 0.0, frameMs = 0.0;
    double longestSavingFrameMs = 0.0, longestFrameMs = 0.0;
    int savingFrames = 0;
};

// Runs `body` in a fresh child process, so that every start-up is a cold one (fonts, window,
// device, shader programs) and the peak memory is that run's alone. This process has started
// no threads, so forking it is safe.
template <typename Body>
RunFigures RunBodyInChild(Body body)
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
        RunFigures mine = body();
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

// Plays `script` in a child process.
RunFigures RunInChild(const std::string& script)
{
    return RunBodyInChild([&script] {
        RunFigures mine;
        const ReplayResult result = RunReplay(script, ReplayOptions{});
        mine.passed = result.Passed();
        if (!result.failures.empty()) std::snprintf(mine.failure, sizeof mine.failure, "%s", result.failures[0].c_str());
        mine.frames = result.frames;
        mine.firstFrameSeconds = result.firstFrameSeconds;
        mine.entries = result.screenEntries;
        return mine;
    });
}

// In the game's own assembly with --develop: the player stands in the hall's entrance;
// `reloads` times the world is reloaded and the next world frame drawn, and as many ordinary
// world frames are drawn for comparison.
RunFigures ReloadsInTheGame(int reloads)
{
    RunFigures mine;
    const auto ms = [](auto from) {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
    };
    WinMain([&] {
        GameAssembly game = AssembleGame(AssemblyOptions{true});
        game.hooks.frameStep = [&] {
            GameObjects& objects = *GetGameObjects();
            // A panorama whose entry lists start no film.
            objects.world->TransportToScreen(objects.worldFiles->get_Screens().at("hall_entrance"));
            double total = 0.0;
            for (int i = 0; i < reloads; ++i) {
                const auto started = std::chrono::steady_clock::now();
                if (!objects.reload->Reload(GameManager::kWorld)) {
                    std::snprintf(mine.failure, sizeof mine.failure, "%s", objects.reload->get_LastError().c_str());
                    return false;
                }
                objects.world->Render();
                const double took = ms(started);
                total += took;
                mine.reloadMaxMs = std::max(mine.reloadMaxMs, took);
            }
            mine.reloadMeanMs = total / reloads;
            const auto framesStarted = std::chrono::steady_clock::now();
            for (int i = 0; i < reloads; ++i) {
                objects.world->set_Rotation(0.01f * static_cast<float>(i + 1));  // turned, so the frame is drawn
                objects.world->Render();
            }
            mine.frameMs = ms(framesStarted) / reloads;
            mine.passed = true;
            return false;
        };
        return game;
    });
    return mine;
}

// In the game's own assembly: the player stands in the hall's entrance, turning a little each
// frame. `frames` ordinary frames, then `saves` autosaves, each as the game makes one (the
// view read back and shrunk, the state and its companion taken, the files written on the
// worker thread) with the frames drawn until its files are on disk.
RunFigures AutosavesInTheGame(int frames, int saves)
{
    RunFigures mine;
    const auto ms = [](auto from) {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
    };
    WinMain([&] {
        GameAssembly game = AssembleGame(AssemblyOptions{});
        game.hooks.frameStep = [&] {
            GameObjects& objects = *GetGameObjects();
            objects.world->TransportToScreen(objects.worldFiles->get_Screens().at("hall_entrance"));
            int turn = 0;
            const auto frame = [&] {
                objects.world->set_Rotation(0.01f * static_cast<float>(++turn % 300));
                objects.world->Render();
            };
            for (int i = 0; i < 5; ++i) frame();  // the first frames upload what the view needs
            const auto framesStarted = std::chrono::steady_clock::now();
            for (int i = 0; i < frames; ++i) {
                const auto started = std::chrono::steady_clock::now();
                frame();
                mine.longestFrameMs = std::max(mine.longestFrameMs, ms(started));
            }
            mine.frameMs = ms(framesStarted) / frames;
            for (int i = 0; i < saves; ++i) {
                // As the autosave does: the frame keeps the view as it draws, and the save
                // starts with it after the frame.
                objects.world->RequestViewPicture();
                auto started = std::chrono::steady_clock::now();
                frame();
                std::vector<std::uint32_t> view;
                if (!objects.world->TakeViewPicture(&view)) {
                    std::snprintf(mine.failure, sizeof mine.failure, "the frame kept no view");
                    return false;
                }
                objects.saves->set_ViewPicture(view);
                if (!objects.saves->SaveGameInBackground(SaveManager::kAutoSlot, "Bench")) {
                    std::snprintf(mine.failure, sizeof mine.failure, "%s", objects.saves->get_LastError().c_str());
                    return false;
                }
                bool done = false;
                while (!done) {
                    mine.longestSavingFrameMs = std::max(mine.longestSavingFrameMs, ms(started));
                    ++mine.savingFrames;
                    started = std::chrono::steady_clock::now();
                    frame();
                    done = objects.saves->PollBackground();
                }
                if (!objects.saves->get_LastError().empty()) {
                    std::snprintf(mine.failure, sizeof mine.failure, "%s", objects.saves->get_LastError().c_str());
                    return false;
                }
            }
            mine.passed = true;
            return false;
        };
        return game;
    });
    return mine;
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

void BM_ReloadWorldToNextFrame(benchmark::State& state)
{
    constexpr int kReloads = 10;
    RunFigures figures;
    for (auto _ : state) {
        figures = RunBodyInChild([] { return ReloadsInTheGame(kReloads); });
        if (!figures.passed) {
            const std::string why = std::string("the reload failed: ") + figures.failure;
            state.SkipWithError(why.c_str());
            return;
        }
    }
    state.counters["reload_mean_ms"] = figures.reloadMeanMs;
    state.counters["reload_max_ms"] = figures.reloadMaxMs;
    state.counters["frame_ms"] = figures.frameMs;
    state.counters["reload_per_frame"] = figures.frameMs > 0.0 ? figures.reloadMeanMs / figures.frameMs : 0.0;
}

}  // namespace

void BM_AutosaveFrames(benchmark::State& state)
{
    RunFigures figures;
    for (auto _ : state) {
        figures = RunBodyInChild([] { return AutosavesInTheGame(60, 10); });
        if (!figures.passed) {
            const std::string why = std::string("the autosave failed: ") + figures.failure;
            state.SkipWithError(why.c_str());
            return;
        }
    }
    state.counters["ordinary_frame_ms"] = figures.frameMs;
    state.counters["longest_ordinary_frame_ms"] = figures.longestFrameMs;
    state.counters["longest_saving_frame_ms"] = figures.longestSavingFrameMs;
    state.counters["saving_frames"] = figures.savingFrames;
    state.counters["saving_per_ordinary"] = figures.frameMs > 0.0 ? figures.longestSavingFrameMs / figures.frameMs : 0.0;
}

BENCHMARK(BM_AutosaveFrames)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_ReloadWorldToNextFrame)->Unit(benchmark::kSecond)->Iterations(1);
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
