// Loading the game's scrambled images as textures, each against plain libjpeg-turbo decoding
// of the same JPEG bytes in the same run:
//   panorama 2048 x 512 (texture keeps its size: read, unrotate, decode, copy)
//   flat 800 x 400 (resampled into a 1024 x 512 texture)
// Compare BM_LoadTexture/<case> with BM_PlainJpegDecode/<case>.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../common/baseline_decode.h"
#include "../common/headless.h"
#include "display/d3dfunc.h"
#include "imaging/image.h"
#include "imaging/scrambled.h"
#include "support/harness.h"

namespace {

constexpr int kJpegQuality = 90;
constexpr int kRotationOffset = 12345;


struct Case {
    std::vector<std::uint8_t> jpeg;
    std::string encPath;
};

const Case& GetCase(int width, int height)
{
    static std::vector<std::pair<std::pair<int, int>, std::unique_ptr<Case>>> cases;
    for (const auto& [size, c] : cases)
        if (size == std::make_pair(width, height)) return *c;
    auto c = std::make_unique<Case>();
    c->jpeg = imaging::EncodeJpeg(ProceduralPicture(width, height), kJpegQuality);
    c->encPath = (std::filesystem::temp_directory_path() /
                  ("kelvane-bench-" + std::to_string(width) + "x" + std::to_string(height) + ".enc"))
                     .string();
    const auto file = imaging::RotateImageBytes(c->jpeg, kRotationOffset);
    std::ofstream(c->encPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    cases.emplace_back(std::make_pair(width, height), std::move(c));
    return *cases.back().second;
}

void BM_PlainJpegDecode(benchmark::State& state)
{
    const Case& c = GetCase(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        std::vector<std::uint8_t> rgb;  // a decoder's output is a fresh buffer each time
        PlainDecode(c.jpeg, &rgb);
        benchmark::DoNotOptimize(rgb.data());
    }
}

void BM_LoadTexture(benchmark::State& state)
{
    const Case& c = GetCase(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    D3Dfunc::pD3Ddevice = &kt::GetDevice();
    for (auto _ : state) {
        std::unique_ptr<gfx::Texture> texture;
        D3Dfunc::CreateTextureFromEncrypted(c.encPath.c_str(), kRotationOffset, &texture);
        benchmark::DoNotOptimize(texture.get());
    }
}

}  // namespace

BENCHMARK(BM_PlainJpegDecode)->Args({2048, 512})->Args({800, 400})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTexture)->Args({2048, 512})->Args({800, 400})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunHeadlessBenchmarks(argc, argv); }
