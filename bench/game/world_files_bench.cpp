// Building the game's world into a fresh world manager on the headless device:
//   BM_LoadWorldFiles: the Lua world files and the text catalogue (game/world, game/po of the
//   source tree), as start-up loads them  vs  BM_DescribeWorldFiles: the same files run without
//   building a world (what the interpreter and the loader's checks cost alone; the rest is the
//   records and the pictures they open). Target: the load under 20 ms of CPU. When the world
//   was still built by C++ code as well, the load took 1.25 times that build's CPU.
// Both read the pictures the world shows at once from the suite's generated data: run from the
// build directory after the tests (the directory holding data/ is KELVANE_GAME_DIR, by default
// tests/game), as BM_Walkthrough.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include <unistd.h>

#include "core/text_catalogue.h"
#include "display/d3dfunc.h"
#include "display/d3dmat.h"
#include "display/image_offsets.h"
#include "input/mouse_manager.h"
#include "media/game_sound_manager.h"
#include "media/music_manager.h"
#include "script/world_files.h"
#include "support/harness.h"
#include "world/world_manager.h"

namespace {

namespace fs = std::filesystem;

// The device, mouse, music and sounds a world needs, made once; the working directory is the
// game's (its data/ folder holds the pictures).
struct WorldParts {
    static WorldParts& Get()
    {
        static WorldParts* parts = new WorldParts;  // never destroyed: textures outlive main
        return *parts;
    }
    std::unique_ptr<WorldManager> NewWorld()
    {
        auto world = std::make_unique<WorldManager>(128, 40, 350, "data/black.jpg", 0, mouse.get(), &music, nullptr,
                                                    32500.0f, 600, "data/menu/Top1.enc", "data/menu/Top2.enc",
                                                    "data/menu/Top3.enc", "data/menu/Top4.enc", kTopMenuImageOffset);
        world->set_SoundManager(&sounds);
        return world;
    }
    bool ready = false;
    std::unique_ptr<MouseManager> mouse;
    MusicManager music;
    GameSoundManager sounds;
    TextCatalogue texts;

private:
    WorldParts()
    {
        const char* dir = std::getenv("KELVANE_GAME_DIR");
        const fs::path gameDir = dir != nullptr ? fs::path(dir) : fs::path("tests/game");
        if (!fs::exists(gameDir / "data" / "black.jpg")) return;
        fs::current_path(gameDir);
        D3Dfunc::pD3Ddevice = &kt::GetDevice();
        D3Dfunc::WhiteMaterial = D3Dmat();
        mouse = std::make_unique<MouseManager>(&kt::GetWindow());
        texts = TextCatalogue::Load(fs::path(KELVANE_SOURCE_DIR) / "game/po", {});
        ready = true;
    }
};

bool Ready(benchmark::State& state)
{
    if (WorldParts::Get().ready) return true;
    state.SkipWithError("no generated game data: run the tests first, or set KELVANE_GAME_DIR");
    return false;
}

void BM_DescribeWorldFiles(benchmark::State& state)
{
    if (!Ready(state)) return;
    WorldParts& parts = WorldParts::Get();
    const fs::path worldDir = fs::path(KELVANE_SOURCE_DIR) / "game/world";
    for (auto _ : state) benchmark::DoNotOptimize(WorldFiles::Describe(worldDir, parts.texts));
}

void BM_LoadWorldFiles(benchmark::State& state)
{
    if (!Ready(state)) return;
    WorldParts& parts = WorldParts::Get();
    const fs::path worldDir = fs::path(KELVANE_SOURCE_DIR) / "game/world";
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<WorldManager> world = parts.NewWorld();
        std::srand(1);
        state.ResumeTiming();
        std::unique_ptr<WorldFiles> files = WorldFiles::Load(*world, nullptr, worldDir, parts.texts);
        state.PauseTiming();
        world.reset();
        files.reset();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_DescribeWorldFiles)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LoadWorldFiles)->Unit(benchmark::kMillisecond)->MinTime(1.0);
