// Playback graphs over files the tests write themselves: positions, halting, seeking, the end
// of the stream, silent graphs for bad files, and video frames in step with their sound.
#include "platform/audio/audio_mixer.h"
#include "platform/media/media_graph.h"
#include "platform/media/media_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform::AM_SEEKING_AbsolutePositioning;
using platform::AM_SEEKING_NoPositioning;
using platform::MediaGraph;
using platform::MediaTime;
using platform::Mixer;

constexpr MediaTime kMs = platform::kMediaUnitsPerMs;
constexpr int kFps = 10;

// Frame i of the test videos is painted in colour i of this list (red, green and blue apart).
std::uint32_t FrameColour(int index)
{
    const std::uint32_t r = (index * 40) % 256, g = 255 - (index * 40) % 256, b = (index * 90) % 256;
    return (r << 16) | (g << 8) | b;
}

class MediaFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = fs::temp_directory_path() / ("kelvane_media_test_" + std::to_string(::getpid()));
        fs::create_directories(s_dir);
        platform::SoundSpec tone{44100, 1, 44100, platform::SineTone(440.0, 0.5f, 44100, 1)};
        platform::WriteSoundFile(Path("tone1s.wav"), tone);
        platform::SoundSpec music{44100, 2, 44100 * 2, platform::SineTone(330.0, 0.5f, 44100, 2)};
        platform::WriteSoundFile(Path("tone2s.mp3"), music);
        for (int width : {320, 322}) {
            platform::VideoSpec video;
            video.width = width;
            video.height = 240;
            video.framesPerSecond = kFps;
            video.frameCount = 4 * kFps;
            video.pictures = TwoToned;
            video.sound = platform::SoundSpec{44100, 2, 44100 * 4, platform::SineTone(220.0, 0.5f, 44100, 2)};
            platform::WriteVideoFile(Path("clip" + std::to_string(width) + ".wmv"), video);
        }
        std::ofstream(Path("garbage.wav")) << "this is not a sound file at all";
    }
    static void TearDownTestSuite() { fs::remove_all(s_dir); }

    // Top 20 rows white, the rest in the frame's colour: shows which row comes first.
    static void TwoToned(std::uint8_t* rgb, int width, int height, int pitch, int index)
    {
        platform::SolidColour(FrameColour)(rgb, width, height, pitch, index);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < width * 3; ++x) rgb[y * pitch + x] = 255;
    }

    static std::string Path(const std::string& name) { return (s_dir / name).string(); }
    static std::wstring WPath(const std::string& name)
    {
        const std::string p = Path(name);
        return std::wstring(p.begin(), p.end());
    }

    static MediaTime Current(MediaGraph& g)
    {
        MediaTime cur = -1, stop = -1;
        g.GetPositions(&cur, &stop);
        return cur;
    }
    static MediaTime Stop(MediaGraph& g)
    {
        MediaTime cur = -1, stop = -1;
        g.GetPositions(&cur, &stop);
        return stop;
    }
    // Pulls `ms` of output from a manual mixer, in device-sized steps, and returns the peak.
    static float Pull(Mixer& mixer, int ms)
    {
        std::vector<float> out(2 * 480);
        float peak = 0.0f;
        for (int done = 0; done < ms; done += 10) {
            // Give the decoder thread a moment so the ring never runs dry in the test.
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            mixer.Mix(out.data(), 480);
            for (float s : out) peak = std::max(peak, std::abs(s));
        }
        return peak;
    }

    // Mixes 10 ms blocks until the graph's position reaches `ms` (a loaded machine may leave
    // the decoder behind for a moment: a block that finds the ring empty plays silence and
    // moves nothing, so the test waits for the decoder rather than for the clock). Returns
    // the peak level heard.
    static float PullUntil(Mixer& mixer, MediaGraph& graph, int ms)
    {
        std::vector<float> out(2 * 480);
        float peak = 0.0f;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (Current(graph) + 5 * kMs < static_cast<std::int64_t>(ms) * kMs &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            mixer.Mix(out.data(), 480);
            for (float s : out) peak = std::max(peak, std::abs(s));
        }
        return peak;
    }

    static fs::path s_dir;
};
fs::path MediaFiles::s_dir;

struct RecordingSink : platform::FrameSink {
    std::mutex lock;
    platform::VideoFormat format;
    std::vector<std::uint32_t> colours;    // centre pixel of each frame as 0xRRGGBB
    std::vector<std::uint32_t> firstRows;  // first pixel of the buffer's first row
    std::size_t lastBytes = 0;
    std::vector<MediaTime> times;          // presentation times handed over

    void SetMediaType(const platform::VideoFormat& f) override { format = f; }
    void DoRenderSample(const std::uint8_t* frame, std::size_t bytes, MediaTime time) override
    {
        std::lock_guard<std::mutex> guard(lock);
        const std::uint8_t* c = frame + (format.height / 2) * format.pitch + (format.width / 2) * 3;
        colours.push_back(std::uint32_t(c[2]) << 16 | std::uint32_t(c[1]) << 8 | c[0]);
        firstRows.push_back(std::uint32_t(frame[2]) << 16 | std::uint32_t(frame[1]) << 8 | frame[0]);
        lastBytes = bytes;
        times.push_back(time);
    }
    std::size_t Count()
    {
        std::lock_guard<std::mutex> guard(lock);
        return colours.size();
    }
};

bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 40)
{
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)) > tolerance) return false;
    return true;
}

// Index of the test colour closest to `colour`.
int FrameIndexOf(std::uint32_t colour)
{
    for (int i = 0; i < 4 * kFps; ++i)
        if (Near(colour, FrameColour(i), 12)) return i;
    return -1;
}

TEST_F(MediaFiles, SoundPlaysThroughMixerAndPositionFollowsWhatWasPlayed)
{
    Mixer mixer(Mixer::Output::Manual);
    auto graph = MediaGraph::RenderFile(WPath("tone1s.wav"), nullptr, &mixer);
    ASSERT_TRUE(graph->IsRendered()) << graph->GetError();
    EXPECT_NEAR(Stop(*graph), 1000 * kMs, 1 * kMs) << "the stop position is the file's end";
    EXPECT_EQ(Current(*graph), 0);
    EXPECT_EQ(Pull(mixer, 100), 0.0f) << "a halted graph is silent";
    EXPECT_EQ(Current(*graph), 0);

    graph->Run();
    EXPECT_GT(PullUntil(mixer, *graph, 400), 0.4f) << "the tone reaches the output";
    EXPECT_NEAR(Current(*graph), 400 * kMs, 15 * kMs);

    graph->Stop();
    const std::int64_t halted = Current(*graph);
    Pull(mixer, 200);
    EXPECT_EQ(Current(*graph), halted) << "Stop holds the position";
    graph->Run();
    PullUntil(mixer, *graph, 600);
    EXPECT_NEAR(Current(*graph), 600 * kMs, 15 * kMs) << "Run continues where it halted";
}

TEST_F(MediaFiles, EndOfStreamKeepsPositionAtEndUntilSeekToStart)
{
    Mixer mixer(Mixer::Output::Manual);
    auto graph = MediaGraph::RenderFile(WPath("tone1s.wav"), nullptr, &mixer);
    graph->Run();
    Pull(mixer, 900);
    EXPECT_LT(Current(*graph), Stop(*graph) - 1000) << "not finished before the end";
    Pull(mixer, 300);
    EXPECT_EQ(Current(*graph), Stop(*graph)) << "at the end";
    Pull(mixer, 300);
    EXPECT_EQ(Current(*graph), Stop(*graph)) << "and it stays there";

    const MediaTime zero = 0;
    graph->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    EXPECT_EQ(Current(*graph), 0);
    EXPECT_GT(Pull(mixer, 100), 0.4f) << "plays again from the start";
    EXPECT_EQ(mixer.VoiceCount(), 1u) << "on the same voice";
    graph.reset();
    EXPECT_EQ(mixer.VoiceCount(), 0u) << "destroying the graph removes its voice";
}

TEST_F(MediaFiles, SeekWhilePlayingJumpsBack)
{
    Mixer mixer(Mixer::Output::Manual);
    auto graph = MediaGraph::RenderFile(WPath("tone2s.mp3"), nullptr, &mixer);
    ASSERT_TRUE(graph->IsRendered()) << graph->GetError();
    EXPECT_NEAR(Stop(*graph), 2000 * kMs, 60 * kMs);
    graph->Run();
    Pull(mixer, 700);
    const MediaTime zero = 0;
    graph->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    Pull(mixer, 200);
    EXPECT_NEAR(Current(*graph), 200 * kMs, 30 * kMs);
    Pull(mixer, 2000);
    EXPECT_EQ(Current(*graph), Stop(*graph)) << "an mp3 also ends at its stop position";
}

TEST_F(MediaFiles, MissingOrUndecodableFileGivesSilentGraphThatIsDoneAtOnce)
{
    for (const char* name : {"no_such_file.wav", "garbage.wav"}) {
        Mixer mixer(Mixer::Output::Manual);
        auto graph = MediaGraph::RenderFile(WPath(name), nullptr, &mixer);
        EXPECT_FALSE(graph->IsRendered()) << name;
        EXPECT_FALSE(graph->GetError().empty()) << name;
        graph->Run();
        MediaTime cur = -1, stop = -1;
        graph->GetPositions(&cur, &stop);
        EXPECT_EQ(cur, 0) << name;
        EXPECT_EQ(stop, 0) << name;
        EXPECT_EQ(mixer.VoiceCount(), 0u) << name;
        const MediaTime zero = 0;
        graph->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        graph->Stop();
    }
}

TEST_F(MediaFiles, PositionsAdvanceInRealTimeOnTheDefaultOutput)
{
    auto graph = MediaGraph::RenderFile(WPath("tone1s.wav"));
    const auto start = std::chrono::steady_clock::now();
    graph->Run();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const double elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NEAR(static_cast<double>(Current(*graph)) / kMs, elapsed, 40.0);
}

class VideoWidths : public MediaFiles, public ::testing::WithParamInterface<int> {};

TEST_P(VideoWidths, FramesArriveInOrderBottomRowFirstWithPaddedPitch)
{
    const int width = GetParam();
    RecordingSink sink;
    auto graph = MediaGraph::RenderFile(WPath("clip" + std::to_string(width) + ".wmv"), &sink);
    ASSERT_TRUE(graph->IsRendered()) << graph->GetError();
    EXPECT_TRUE(graph->HasVideo());
    EXPECT_TRUE(graph->HasAudio());
    EXPECT_EQ(sink.format.width, width);
    EXPECT_EQ(sink.format.height, 240);
    EXPECT_EQ(sink.format.pitch, (width * 3 + 3) & ~3);
    EXPECT_EQ(sink.Count(), 0u) << "nothing is shown before Run";

    graph->Run();
    for (int i = 0; i < 300 && Current(*graph) < Stop(*graph); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(Current(*graph), Stop(*graph)) << "the video reached its end";
    std::lock_guard<std::mutex> guard(sink.lock);
    EXPECT_EQ(sink.lastBytes, static_cast<std::size_t>(sink.format.pitch) * 240);
    ASSERT_GE(sink.colours.size(), 38u) << "frames may only rarely be late-dropped";
    int previous = -1;
    for (std::size_t i = 0; i < sink.colours.size(); ++i) {
        const int index = FrameIndexOf(sink.colours[i]);
        ASSERT_GT(index, previous) << "frame " << i << " colour " << std::hex << sink.colours[i];
        previous = index;
        EXPECT_TRUE(Near(sink.firstRows[i], FrameColour(index))) << "the first row in memory is the bottom row";
    }
    EXPECT_EQ(FrameIndexOf(sink.colours.front()), 0);
    EXPECT_EQ(previous, 4 * kFps - 1);
    for (std::size_t i = 1; i < sink.times.size(); ++i)
        EXPECT_NEAR(sink.times[i] - sink.times[i - 1], 1000 * kMs / kFps, 2 * kMs) << "frame times step by the frame rate";
}

INSTANTIATE_TEST_SUITE_P(Widths, VideoWidths, ::testing::Values(320, 322));

TEST_F(MediaFiles, VideoStartAndStopPositions)
{
    RecordingSink sink;
    auto graph = MediaGraph::RenderFile(WPath("clip320.wmv"), &sink);
    MediaTime duration = 0;
    graph->GetDuration(&duration);
    EXPECT_NEAR(duration, 4000 * kMs, 150 * kMs);
    const MediaTime start = 2000 * kMs;
    graph->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    graph->Run();
    while (sink.Count() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(FrameIndexOf(sink.colours.front()), 2 * kFps) << "start 2000 skips the first two seconds";
    EXPECT_GE(Current(*graph), start);

    RecordingSink sink2;
    auto graph2 = MediaGraph::RenderFile(WPath("clip320.wmv"), &sink2);
    const MediaTime stop = 2000 * kMs;
    graph2->SetPositions(nullptr, AM_SEEKING_NoPositioning, &stop, AM_SEEKING_AbsolutePositioning);
    const auto t0 = std::chrono::steady_clock::now();
    graph2->Run();
    while (Current(*graph2) < stop) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_NEAR(took, 2.0, 0.15) << "stop 2000 ends after two seconds";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::lock_guard<std::mutex> guard(sink2.lock);
    EXPECT_EQ(FrameIndexOf(sink2.colours.back()), 2 * kFps - 1) << "no frame at or after the stop is shown";
}

TEST_F(MediaFiles, VideoSoundPlaysThroughMixerAndPacesThePictures)
{
    Mixer mixer(Mixer::Output::Manual);
    RecordingSink sink;
    auto graph = MediaGraph::RenderFile(WPath("clip320.wmv"), &sink, &mixer);
    graph->Run();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LE(sink.Count(), 1u) << "without sound being played, the pictures wait (only frame 0 is due)";
    EXPECT_GT(Pull(mixer, 1000), 0.3f) << "the video's sound reaches the mixer";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::size_t shown = sink.Count();
    EXPECT_GE(shown, 9u);
    EXPECT_LE(shown, 12u) << "one second of sound shows about one second of pictures";
}

}  // namespace
