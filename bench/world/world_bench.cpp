// The world runtime's two costs, each against a baseline in the same run:
//   entering a panorama screen with 3 conditional overlays and 2 strips (files on disk,
//   scrambled, really decoded and composed)  vs  plain libjpeg-turbo decoding of its base
//   picture: compare BM_EnterPanoramaScreen with BM_PlainDecodeBasePicture (target ratio 1.3;
//   the /process_time pair counts the CPU of every thread, the overlays' decoding beside the
//   base picture included); BM_EnterPanoramaScreenDecodedAhead enters it from a screen one click
//   away after its pictures were decoded ahead (what a player's click costs);
//   one frame's hotspot pass over 60 hotspots with three-comparison conditions, through the
//   world's public tests (Check, TestConditionList) as Run makes them: BM_HotspotPass
//   (target < 50 us). BM_RunFrame - BM_RenderFrame is the rest of Run besides drawing.
// BM_LoadBaseTexture (the base picture alone into a texture) shows what composing adds.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "../common/baseline_decode.h"
#include "../common/headless.h"
#include "display/d3dfunc.h"
#include "display/d3dmat.h"
#include "display/picture_cache.h"
#include "imaging/image.h"
#include "imaging/scrambled.h"
#include "input/mouse_manager.h"
#include "media/game_sound_manager.h"
#include "media/music_manager.h"
#include "support/harness.h"
#include "world/condition_codes.h"
#include "world/world_manager.h"

namespace {

namespace fs = std::filesystem;

constexpr int kJpegQuality = 90;
constexpr int kPanoramaScreen = 100;
constexpr int kHotspotScreen = 200;
constexpr int kDoorScreen = 300;  // one click from the panorama
constexpr int kHotspots = 60;
constexpr int kOverlays = 3;
constexpr int kStrips = 2;
constexpr int kStripFrames = 4;


// [var a = x] and ([var b = y]) and ([var c differs from z]): the conditions' usual shape.
void AddThreeComparisons(const std::function<void(int)>& add, int a, int b, int c)
{
    for (int token : std::initializer_list<int>{CT_Var, a, CT_Equal, CT_Value, 1, CT_And, CT_Open, CT_Var, b, CT_Equal, CT_Value, 0, CT_Close,
                      CT_And, CT_Open, CT_Var, c, CT_NotEqual, CT_Value, 7, CT_Close}) {
        add(token);
    }
}

// One world shared by the benchmarks: the headless device, files in a temporary directory.
class BenchWorld {
public:
    static BenchWorld& Get()
    {
        static BenchWorld* world = new BenchWorld;  // never destroyed: textures outlive main
        return *world;
    }

    std::vector<std::uint8_t> baseJpeg;
    std::unique_ptr<WorldManager> world;

private:
    BenchWorld()
    {
        D3Dfunc::pD3Ddevice = &kt::GetDevice();
        D3Dfunc::WhiteMaterial = D3Dmat();
        c_dir = fs::temp_directory_path() / ("kelvane-bench-world-" + std::to_string(::getpid()));
        fs::create_directories(c_dir);
        const char* black = Write("black.jpg", imaging::EncodeJpeg(ProceduralPicture(8, 8, 1), kJpegQuality), 0);
        c_mouse = std::make_unique<MouseManager>(&kt::GetWindow());
        world = std::make_unique<WorldManager>(128, 40, 350, black, 0, c_mouse.get(), &c_music, nullptr, 32500.0f, 600,
                                               black, black, black, black, 0);
        world->set_SoundManager(&c_sounds);
        for (int v = 1; v <= 9; ++v) world->AddGlobalVar(v, v == 1 ? 1 : 0);
        BuildPanorama();
        BuildHotspotScreen();
        WorldScreen* door = world->AddWorldScreen(kDoorScreen, WorldScreen::kFlat,
                                                  Write("door.jpg", imaging::EncodeJpeg(ProceduralPicture(64, 32, 5), kJpegQuality), 0));
        door->QHS_StandardMove(0, 0, 1023, 511, kPanoramaScreen);
    }

    // A scrambled file with rotation `offset`; returns its path (kept for the world).
    const char* Write(const std::string& name, const std::vector<std::uint8_t>& bytes, int offset)
    {
        const std::vector<std::uint8_t> file =
            offset == 0 ? bytes : imaging::RotateImageBytes(bytes, static_cast<std::size_t>(offset));
        c_paths.push_back(std::make_unique<std::string>((c_dir / name).string()));
        std::ofstream(*c_paths.back(), std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        return c_paths.back()->c_str();
    }

    void BuildPanorama()
    {
        constexpr int kOffset = 2001;
        baseJpeg = imaging::EncodeJpeg(ProceduralPicture(2048, 512, 7), kJpegQuality);
        WorldScreen* pano = world->AddWorldScreen(kPanoramaScreen, WorldScreen::kPanorama,
                                                  Write("pano.enc", baseJpeg, kOffset), kOffset);
        for (int i = 0; i < kOverlays; ++i) {
            const auto jpeg = imaging::EncodeJpeg(ProceduralPicture(200, 150, 11u + i), kJpegQuality);
            WorldOverlay* overlay = pano->AddOverlay(100 + i * 500, 120, 200, 150,
                                                     Write("overlay" + std::to_string(i) + ".enc", jpeg, 1000 + i),
                                                     1000 + i);
            AddThreeComparisons([overlay](int t) { overlay->addCondition(t); }, 1, 2, 3);
        }
        for (int i = 0; i < kStrips; ++i) {
            const auto jpeg = imaging::EncodeJpeg(ProceduralPicture(96 * kStripFrames, 96, 21u + i), kJpegQuality);
            pano->AddOverlayArray(1400 + i * 200, 300, 96, 96, 4 + i,
                                  Write("strip" + std::to_string(i) + ".enc", jpeg, 1500 + i), 1500 + i);
        }
    }

    void BuildHotspotScreen()
    {
        const char* picture = Write("flat.jpg", imaging::EncodeJpeg(ProceduralPicture(1024, 512, 3), kJpegQuality), 0);
        WorldScreen* screen = world->AddWorldScreen(kHotspotScreen, WorldScreen::kFlat, picture);
        // Every hotspot holds the pointer and every condition is evaluated: the worst frame.
        for (int i = 0; i < kHotspots; ++i) {
            WorldHotspot* hotspot = screen->AddHotspot(i * 4, 0, 1023, 511);
            AddThreeComparisons([hotspot](int t) { hotspot->addCondition(t); }, 1 + i % 3, 2 + i % 5, 3 + i % 7);
            hotspot->AddActionlist(true, 0);
        }
    }

    fs::path c_dir;
    std::vector<std::unique_ptr<std::string>> c_paths;
    std::unique_ptr<MouseManager> c_mouse;
    MusicManager c_music;
    GameSoundManager c_sounds;
};

void BM_PlainDecodeBasePicture(benchmark::State& state)
{
    const BenchWorld& bench = BenchWorld::Get();
    for (auto _ : state) {
        std::vector<std::uint8_t> rgb;
        PlainDecode(bench.baseJpeg, &rgb);
        benchmark::DoNotOptimize(rgb.data());
    }
}

// Part of entering: the base picture alone read, unscrambled and decoded into a texture.
void BM_LoadBaseTexture(benchmark::State& state)
{
    BenchWorld& bench = BenchWorld::Get();
    const WorldScreen* pano = bench.world->getWorldScreen(kPanoramaScreen);
    for (auto _ : state) {
        std::unique_ptr<gfx::Texture> texture;
        D3Dfunc::CreateTextureFromEncrypted(pano->get_BaseImage(), pano->get_Offset(), &texture);
        benchmark::DoNotOptimize(texture.get());
    }
}

void BM_EnterPanoramaScreen(benchmark::State& state)
{
    WorldManager& world = *BenchWorld::Get().world;
    for (auto _ : state) {
        world.JumpToScreen(kPanoramaScreen, 0);
        benchmark::DoNotOptimize(world.get_Screen());
    }
}

void BM_EnterPanoramaScreenDecodedAhead(benchmark::State& state)
{
    WorldManager& world = *BenchWorld::Get().world;
    for (auto _ : state) {
        state.PauseTiming();
        world.TransportToScreen(kDoorScreen);
        world.Render();  // decoding ahead starts after the first frame
        world.get_PictureCache()->WaitIdle();
        state.ResumeTiming();
        world.JumpToScreen(kPanoramaScreen, 0);
        benchmark::DoNotOptimize(world.get_Screen());
    }
}

void BM_HotspotPass(benchmark::State& state)
{
    WorldManager& world = *BenchWorld::Get().world;
    const WorldScreen* screen = world.getWorldScreen(kHotspotScreen);
    const int x = 512, y = 256;  // the picked point of the pointer at the view's centre
    for (auto _ : state) {
        int cursor = 0;
        for (int i = 0; i < screen->get_HotspotCount(); ++i) {
            const WorldHotspot* hotspot = screen->GetHotspot(i);
            if (hotspot->Check(x, y) && world.TestConditionList(hotspot)) cursor = hotspot->get_Cursor();
        }
        benchmark::DoNotOptimize(cursor);
    }
}

void BM_RunFrame(benchmark::State& state)
{
    WorldManager& world = *BenchWorld::Get().world;
    world.JumpToScreen(kHotspotScreen, 0);
    for (auto _ : state) benchmark::DoNotOptimize(world.Run());
}

void BM_RenderFrame(benchmark::State& state)
{
    WorldManager& world = *BenchWorld::Get().world;
    world.JumpToScreen(kHotspotScreen, 0);
    for (auto _ : state) benchmark::DoNotOptimize(world.Render());
}

}  // namespace

BENCHMARK(BM_PlainDecodeBasePicture)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadBaseTexture)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_EnterPanoramaScreen)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainDecodeBasePicture)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_EnterPanoramaScreen)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_EnterPanoramaScreenDecodedAhead)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_HotspotPass)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RunFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) { return RunHeadlessBenchmarks(argc, argv); }
