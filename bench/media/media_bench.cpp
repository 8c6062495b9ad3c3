// Sound and video costs with their baselines in the same run: how long PlayFile holds the
// main thread and how soon the first sample reaches the mixer (against reading the same file
// whole), what a streaming music track keeps in memory (against decoding it whole), the CPU
// time of playing a 512 x 256 video, and how far picture and sound drift apart in 30 s.
// Run with SDL_AUDIODRIVER=dummy: the output then takes samples on the real clock.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

#include "media/sound.h"
#include "platform/audio/audio_mixer.h"
#include "platform/media/media_graph.h"
#include "platform/media/media_writer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

class BenchFiles {
public:
    static BenchFiles& Get()
    {
        static BenchFiles files;
        return files;
    }
    std::string Path(const std::string& name) const { return (c_dir / name).string(); }
    std::wstring WPath(const std::string& name) const
    {
        const std::string p = Path(name);
        return std::wstring(p.begin(), p.end());
    }

private:
    BenchFiles() : c_dir(fs::temp_directory_path() / ("kelvane_media_bench_" + std::to_string(::getpid())))
    {
        fs::create_directories(c_dir);
        platform::WriteSoundFile(Path("click.wav"),
                                 {44100, 2, 44100 / 2, platform::SineTone(1000.0, 0.5f, 44100, 2)});
        platform::WriteSoundFile(Path("music.mp3"),
                                 {44100, 2, 44100LL * 180, platform::SineTone(220.0, 0.3f, 44100, 2)});
        for (int seconds : {10, 32}) {
            platform::VideoSpec video;
            video.width = 512;
            video.height = 256;
            video.framesPerSecond = 25;
            video.frameCount = 25 * seconds;
            // A moving gradient with noise, so the decoder has real work in every frame.
            video.pictures = [](std::uint8_t* rgb, int w, int h, int pitch, int index) {
                std::uint32_t seed = 2166136261u ^ static_cast<std::uint32_t>(index);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        seed = seed * 1664525u + 1013904223u;
                        std::uint8_t* p = rgb + y * pitch + x * 3;
                        p[0] = static_cast<std::uint8_t>(x + index * 4);
                        p[1] = static_cast<std::uint8_t>(y * 2 + index);
                        p[2] = static_cast<std::uint8_t>((seed >> 24) & 0x3F);
                    }
            };
            video.sound = platform::SoundSpec{44100, 2, 44100LL * seconds, platform::SineTone(300.0, 0.3f, 44100, 2)};
            platform::WriteVideoFile(Path("video" + std::to_string(seconds) + ".wmv"), video);
        }
    }
    ~BenchFiles() { fs::remove_all(c_dir); }
    fs::path c_dir;
};

std::size_t ResidentBytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Baseline: reading the same .wav whole into memory.
void BM_ReadWavWhole(benchmark::State& state)
{
    const std::string path = BenchFiles::Get().Path("click.wav");
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadWavWhole)->Unit(benchmark::kMillisecond);

// One-shot sound: PlayFile's blocking time and the time until the mixer has taken its first
// samples (the position moves only with what the output consumed).
void BM_OneShotPlayFile(benchmark::State& state)
{
    const std::wstring path = BenchFiles::Get().WPath("click.wav");
    platform::Mixer::Default();
    std::vector<double> blocking, firstSample;
    for (auto _ : state) {
        Sound sound;
        const auto t0 = Clock::now();
        sound.PlayFile(path);
        blocking.push_back(MsSince(t0));
        while (sound.get_Position() == 0) std::this_thread::sleep_for(std::chrono::microseconds(100));
        firstSample.push_back(MsSince(t0));
    }
    state.counters["playfile_block_ms_median"] = Median(blocking);
    state.counters["first_sample_ms_median"] = Median(firstSample);
}
BENCHMARK(BM_OneShotPlayFile)->Iterations(40)->Unit(benchmark::kMillisecond);

// Music: PlayFile's blocking time for a 3-minute mp3, and the memory a playing track holds
// against the size of the same track decoded whole (48 kHz stereo float).
void BM_MusicPlayFile(benchmark::State& state)
{
    const std::wstring path = BenchFiles::Get().WPath("music.mp3");
    platform::Mixer::Default();
    std::vector<double> blocking;
    double heldMiB = 0.0;
    for (auto _ : state) {
        const std::size_t before = ResidentBytes();
        Sound sound;
        const auto t0 = Clock::now();
        sound.PlayFile(path);
        blocking.push_back(MsSince(t0));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        heldMiB = std::max(heldMiB, static_cast<double>(ResidentBytes() - before) / (1024.0 * 1024.0));
    }
    state.counters["playfile_block_ms_median"] = Median(blocking);
    state.counters["held_MiB_max"] = heldMiB;
    state.counters["decoded_whole_MiB"] = 180.0 * 48000 * 2 * 4 / (1024.0 * 1024.0);
}
BENCHMARK(BM_MusicPlayFile)->Iterations(8)->Unit(benchmark::kMillisecond);

// A sink that does what the video player's renderer does with each frame: convert it to
// 32-bit pixels in a 512 x 256 texture-sized buffer.
struct TextureLikeSink : platform::FrameSink {
    platform::VideoFormat format;
    std::vector<std::uint32_t> texture = std::vector<std::uint32_t>(512 * 256);
    std::atomic<int> frames{0};
    platform::MediaGraph* graph = nullptr;
    std::mutex lock;
    std::vector<double> drift;  // ms: the sound's position at delivery minus the frame's time

    void SetMediaType(const platform::VideoFormat& f) override { format = f; }
    void DoRenderSample(const std::uint8_t* frame, std::size_t, std::int64_t time) override
    {
        for (int y = 0; y < format.height; ++y) {
            const std::uint8_t* src = frame + y * format.pitch;
            std::uint32_t* dst = texture.data() + y * 512;
            for (int x = 0; x < format.width; ++x, src += 3)
                dst[x] = 0xFF000000u | std::uint32_t(src[2]) << 16 | std::uint32_t(src[1]) << 8 | src[0];
        }
        frames.fetch_add(1);
        if (graph != nullptr) {
            platform::MediaTime now = 0;
            graph->GetPositions(&now, nullptr);
            std::lock_guard<std::mutex> guard(lock);
            drift.push_back(static_cast<double>(now - time) / platform::kMediaUnitsPerMs);
        }
    }
};

// Baseline for the video: the same process idling for the same time.
void BM_VideoCpuPerSecond(benchmark::State& state)
{
    const std::wstring path = BenchFiles::Get().WPath("video10.wmv");
    double share = 0.0;
    for (auto _ : state) {
        TextureLikeSink sink;
        auto graph = platform::MediaGraph::RenderFile(path, &sink);
        const double cpu0 = ProcessCpuSeconds();
        const auto t0 = Clock::now();
        graph->Run();
        platform::MediaTime cur = 0, stop = 1;
        while (cur < stop) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            graph->GetPositions(&cur, &stop);
        }
        share = (ProcessCpuSeconds() - cpu0) / (MsSince(t0) / 1000.0);
        state.counters["frames"] = sink.frames.load();
    }
    state.counters["cpu_share_of_one_core"] = share;
}
BENCHMARK(BM_VideoCpuPerSecond)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_IdleCpuPerSecond(benchmark::State& state)
{
    for (auto _ : state) {
        const double cpu0 = ProcessCpuSeconds();
        const auto t0 = Clock::now();
        while (MsSince(t0) < 2000) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        state.counters["cpu_share_of_one_core"] = (ProcessCpuSeconds() - cpu0) / (MsSince(t0) / 1000.0);
    }
}
BENCHMARK(BM_IdleCpuPerSecond)->Iterations(1)->Unit(benchmark::kMillisecond);

// Picture against sound after 30 s: each frame's time against the sound's position when the
// frame is delivered, and the sound's position against the wall clock.
void BM_VideoDriftAfter30s(benchmark::State& state)
{
    const std::wstring path = BenchFiles::Get().WPath("video32.wmv");
    for (auto _ : state) {
        TextureLikeSink sink;
        auto graph = platform::MediaGraph::RenderFile(path, &sink);
        sink.graph = graph.get();
        const auto t0 = Clock::now();
        graph->Run();
        while (sink.frames.load() < 751) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        platform::MediaTime now = 0;
        graph->GetPositions(&now, nullptr);
        const double wall = MsSince(t0);
        std::lock_guard<std::mutex> guard(sink.lock);
        double worstLate = 0.0;
        for (double d : sink.drift) worstLate = std::max(worstLate, std::abs(d));
        state.counters["frame_vs_sound_ms_at_30s"] = std::abs(sink.drift[750]);
        state.counters["frame_vs_sound_ms_worst"] = worstLate;
        state.counters["sound_vs_wall_ms_at_30s"] = wall - static_cast<double>(now) / platform::kMediaUnitsPerMs;
    }
}
BENCHMARK(BM_VideoDriftAfter30s)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
