// Playback graphs over files the tests write themselves: positions, halting, seeking, the end
// of the stream, silent graphs for bad files, and video frames in step with their sound.
#include "platform/audio/audio_mixer.h"
#include "platform/media/media_graph.h"
#include "platform/media/media_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

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
        WriteJoinedSounds();
        WriteMismatchedClips();
        WriteDamagedClips();
    }

    // Two sounds joined byte for byte, as a person might make one track of two: the second
    // changes the channel layout, or the sample rate, mid-stream.
    static void WriteJoinedSounds()
    {
        const auto tone = [](int rate, int channels) {
            return platform::SoundSpec{rate, channels, rate, platform::SineTone(440.0, 0.5f, rate, channels)};
        };
        platform::WriteSoundFile(Path("stereo44.mp3"), tone(44100, 2));
        platform::WriteSoundFile(Path("mono44.mp3"), tone(44100, 1));
        platform::WriteSoundFile(Path("stereo22.mp3"), tone(22050, 2));
        Join(Path("joined_layout.mp3"), {Path("stereo44.mp3"), Path("mono44.mp3")});
        Join(Path("joined_rate.mp3"), {Path("stereo44.mp3"), Path("stereo22.mp3")});
    }

    // Films of two seconds of pictures whose sound is shorter, longer, starts late or is absent.
    static void WriteMismatchedClips()
    {
        platform::VideoSpec video;
        video.framesPerSecond = kFps;
        video.frameCount = 2 * kFps;
        video.pictures = platform::SolidColour(FrameColour);
        const auto sound = [](int ms) {
            return platform::SoundSpec{44100, 2, 44100LL * ms / 1000, platform::SineTone(220.0, 0.5f, 44100, 2)};
        };
        video.sound = sound(600);
        platform::WriteVideoFile(Path("sound_shorter.wmv"), video);
        video.sound = sound(3000);
        platform::WriteVideoFile(Path("sound_longer.wmv"), video);
        video.sound = sound(1000);
        video.soundStartMs = 1000;
        platform::WriteVideoFile(Path("sound_late.wmv"), video);
        video.sound.reset();
        video.soundStartMs = 0;
        platform::WriteVideoFile(Path("sound_absent.wmv"), video);
        DelayPictures(Path("sound_longer.wmv"), Path("pictures_late.wmv"), 1500);
    }

    // A copy of a film whose pictures come `ms` later, its sound where it was: the sound leads
    // them, in time and in the file (packets are stored in time order).
    static void DelayPictures(const std::string& from, const std::string& to, int ms)
    {
        AVFormatContext* in = nullptr;
        ASSERT_EQ(avformat_open_input(&in, from.c_str(), nullptr, nullptr), 0);
        ASSERT_GE(avformat_find_stream_info(in, nullptr), 0);
        AVFormatContext* out = nullptr;
        ASSERT_GE(avformat_alloc_output_context2(&out, nullptr, "asf", to.c_str()), 0);
        for (unsigned i = 0; i < in->nb_streams; ++i) {
            AVStream* stream = avformat_new_stream(out, nullptr);
            ASSERT_GE(avcodec_parameters_copy(stream->codecpar, in->streams[i]->codecpar), 0);
            stream->time_base = in->streams[i]->time_base;
        }
        ASSERT_GE(avio_open(&out->pb, to.c_str(), AVIO_FLAG_WRITE), 0);
        ASSERT_GE(avformat_write_header(out, nullptr), 0);
        AVPacket* packet = av_packet_alloc();
        while (av_read_frame(in, packet) >= 0) {
            const AVStream* source = in->streams[packet->stream_index];
            if (source->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
                const std::int64_t shift = av_rescale_q(ms, AVRational{1, 1000}, source->time_base);
                if (packet->pts != AV_NOPTS_VALUE) packet->pts += shift;
                if (packet->dts != AV_NOPTS_VALUE) packet->dts += shift;
            }
            av_packet_rescale_ts(packet, source->time_base, out->streams[packet->stream_index]->time_base);
            packet->pos = -1;
            ASSERT_GE(av_interleaved_write_frame(out, packet), 0);
        }
        av_packet_free(&packet);
        ASSERT_GE(av_write_trailer(out), 0);
        avio_closep(&out->pb);
        avformat_free_context(out);
        avformat_close_input(&in);
    }

    // Copies of a whole film, damaged: cut in half, its header overwritten, its picture
    // stream's decoder unknown (the stream is missing for the player), its pictures' codec
    // named as one that cannot read them, a stretch of its data overwritten.
    static void WriteDamagedClips()
    {
        const std::string clip = Slurp(Path("clip320.wmv"));
        Spit(Path("cut.wmv"), clip.substr(0, clip.size() / 2));
        std::string garbled = clip;
        for (std::size_t i = 0; i < 200; ++i) garbled[i] = static_cast<char>(i * 37 + 11);
        Spit(Path("garbled_header.wmv"), garbled);
        Spit(Path("no_pictures.wmv"), Renamed(clip, "WMV2", "QQQQ"));
        Spit(Path("wrong_codec.wmv"), Renamed(clip, "WMV2", "H264"));
        std::string middle = clip;
        for (std::size_t i = middle.size() / 2; i < middle.size() / 2 + 3000; ++i) middle[i] = static_cast<char>(i * 13);
        Spit(Path("damaged_middle.wmv"), middle);
    }

    static std::string Slurp(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Spit(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static void Join(const std::string& path, const std::vector<std::string>& parts)
    {
        std::string all;
        for (const std::string& part : parts) all += Slurp(part);
        Spit(path, all);
    }
    // Every occurrence of a four-character code replaced (the picture codec's name in the header).
    static std::string Renamed(std::string bytes, const char* from, const char* to)
    {
        for (std::size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + 4))
            bytes.replace(at, 4, to);
        return bytes;
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

// ---- sound whose layout or rate changes mid-stream --------------------------------------

// Plays `name` on a manual mixer to its end (at most `limit`) and returns the milliseconds
// of sound heard: 10 ms blocks with a tone in them.
int HeardMs(MediaGraph& graph, Mixer& mixer, std::chrono::seconds limit)
{
    std::vector<float> out(2 * 480);
    int loudBlocks = 0;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    graph.Run();
    MediaTime cur = 0, stop = 0;
    for (graph.GetPositions(&cur, &stop); cur < stop && std::chrono::steady_clock::now() < deadline;
         graph.GetPositions(&cur, &stop)) {
        std::this_thread::sleep_for(std::chrono::microseconds(300));
        mixer.Mix(out.data(), 480);
        float peak = 0.0f;
        for (float v : out) peak = std::max(peak, std::abs(v));
        if (peak > 0.1f) ++loudBlocks;
    }
    EXPECT_EQ(cur, stop) << "the sound plays to its end within " << limit.count() << " s";
    return loudBlocks * 10;
}

class JoinedSounds : public MediaFiles, public ::testing::WithParamInterface<const char*> {};

TEST_P(JoinedSounds, PlayToTheEndAtTheirSpeed)
{
    // One second of stereo then one of mono at the same rate; one second at 44.1 kHz then one
    // at 22.05 kHz: two seconds of sound at the output either way, not a crash or a second
    // played twice as fast.
    Mixer mixer(Mixer::Output::Manual);
    auto graph = MediaGraph::RenderFile(WPath(GetParam()), nullptr, &mixer);
    ASSERT_TRUE(graph->IsRendered()) << graph->GetError();
    EXPECT_NEAR(HeardMs(*graph, mixer, std::chrono::seconds(20)), 2000, 120);
}

INSTANTIATE_TEST_SUITE_P(LayoutAndRate, JoinedSounds, ::testing::Values("joined_layout.mp3", "joined_rate.mp3"));

// ---- sounds that refuse or end early ------------------------------------------------------

TEST_F(MediaFiles, SoundDeclaringARateOutside8To192KHzIsRefusedAtOnce)
{
    // A 1 KB file whose header says 1 Hz would become a second of output per sample.
    platform::SoundSpec small{8000, 1, 500, platform::SineTone(440.0, 0.5f, 8000, 1)};
    platform::WriteSoundFile(Path("rate.wav"), small);
    std::string bytes = Slurp(Path("rate.wav"));
    ASSERT_EQ(bytes.compare(12, 4, "fmt "), 0);
    for (const std::uint32_t rate : {1u, 200000u}) {
        SCOPED_TRACE(rate);
        const std::uint32_t byteRate = rate * 2;
        std::memcpy(&bytes[24], &rate, 4);
        std::memcpy(&bytes[28], &byteRate, 4);
        Spit(Path("odd_rate.wav"), bytes);
        Mixer mixer(Mixer::Output::Manual);
        const auto start = std::chrono::steady_clock::now();
        auto graph = MediaGraph::RenderFile(WPath("odd_rate.wav"), nullptr, &mixer);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_FALSE(graph->IsRendered());
        EXPECT_NE(graph->GetError().find("sample rate of " + std::to_string(rate) + " Hz"), std::string::npos)
            << graph->GetError();
        EXPECT_EQ(mixer.VoiceCount(), 0u);
    }
}

// ---- films whose sound and pictures differ ------------------------------------------------

// What a real-time playback of a film showed and sounded: the test pulls the manual mixer at
// the output's pace.
struct Watched {
    bool ended = false;
    double seconds = 0.0;         // from Run to the end
    int loudMs = 0;               // sound heard
    double firstSoundAt = -1.0;   // the graph's position when the sound was first heard, s
    std::vector<int> pictures;    // indices of the frames shown, in order
    std::vector<double> shownAt;  // seconds after Run each was shown
};

Watched Watch(const std::wstring& path, std::chrono::seconds limit)
{
    Mixer mixer(Mixer::Output::Manual);
    struct TimedSink : RecordingSink {
        std::chrono::steady_clock::time_point start;
        std::vector<double> at;
        void DoRenderSample(const std::uint8_t* frame, std::size_t bytes, MediaTime time) override
        {
            RecordingSink::DoRenderSample(frame, bytes, time);
            std::lock_guard<std::mutex> guard(lock);
            at.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
    } sink;
    Watched seen;
    auto graph = MediaGraph::RenderFile(path, &sink, &mixer);
    EXPECT_TRUE(graph->IsRendered()) << graph->GetError();
    std::vector<float> out(2 * 4800);
    sink.start = std::chrono::steady_clock::now();
    const auto deadline = sink.start + limit;
    graph->Run();
    std::uint64_t mixed = 0;
    MediaTime cur = 0, stop = 0;
    for (graph->GetPositions(&cur, &stop); cur < stop && std::chrono::steady_clock::now() < deadline;
         graph->GetPositions(&cur, &stop)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - sink.start).count();
        const auto due = static_cast<std::uint64_t>(elapsed * mixer.SampleRate());
        for (; mixed + 480 <= due; mixed += 480) {
            mixer.Mix(out.data(), 480);
            float peak = 0.0f;
            for (std::size_t i = 0; i < 960; ++i) peak = std::max(peak, std::abs(out[i]));
            if (peak > 0.1f) {
                if (seen.firstSoundAt < 0) seen.firstSoundAt = static_cast<double>(cur) / (1000 * kMs);
                seen.loudMs += 10;
            }
        }
    }
    seen.ended = cur == stop;
    seen.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - sink.start).count();
    graph.reset();
    for (std::uint32_t colour : sink.colours) seen.pictures.push_back(FrameIndexOf(colour));
    seen.shownAt = sink.at;
    return seen;
}

struct Mismatch {
    const char* file;
    double seconds;      // how long the film lasts: the longer of its sound and pictures
    int soundMs;         // how much sound it has
    double soundStart;   // where its sound begins, s
};

class MismatchedFilms : public MediaFiles, public ::testing::WithParamInterface<Mismatch> {};

TEST_P(MismatchedFilms, PlayEveryPictureAndEndOnTime)
{
    const Mismatch m = GetParam();
    const Watched seen = Watch(WPath(m.file), std::chrono::seconds(12));
    ASSERT_TRUE(seen.ended) << "the film froze: " << seen.pictures.size() << " pictures shown";
    ASSERT_GE(seen.pictures.size(), 2u * kFps - 2) << "every picture is shown";
    // Timed from the first picture: a loaded machine may take a moment to decode it.
    EXPECT_NEAR(seen.seconds - seen.shownAt.front(), m.seconds, 0.6) << "ends when the longer of sound and pictures does";
    for (std::size_t i = 1; i < seen.pictures.size(); ++i) EXPECT_GT(seen.pictures[i], seen.pictures[i - 1]);
    // Picture n is due n / kFps seconds into the film: the pictures keep time throughout, with
    // sound, after it and before it starts (neither frozen nor rushed). A loaded machine may
    // show a few late, so most, not all, must be on time.
    std::vector<double> lateness;
    for (std::size_t i = 0; i < seen.pictures.size(); ++i)
        lateness.push_back(seen.shownAt[i] - static_cast<double>(seen.pictures[i]) / kFps);
    std::vector<double> sorted = lateness;
    std::sort(sorted.begin(), sorted.end());
    const double usual = sorted[sorted.size() / 2];
    const auto onTime = std::count_if(lateness.begin(), lateness.end(), [usual](double l) { return std::abs(l - usual) < 0.25; });
    EXPECT_GE(onTime, static_cast<long>(lateness.size() * 4 / 5)) << "pictures keep time";
    EXPECT_NEAR(seen.loudMs, m.soundMs, 150) << "all of its sound is heard";
    if (m.soundMs > 0) {
        EXPECT_NEAR(seen.firstSoundAt, m.soundStart, 0.12) << "the sound starts at its own time";
    }
}

INSTANTIATE_TEST_SUITE_P(Films, MismatchedFilms,
                         ::testing::Values(Mismatch{"sound_shorter.wmv", 2.0, 600, 0.0},
                                           Mismatch{"sound_longer.wmv", 3.0, 3000, 0.0},
                                           Mismatch{"sound_late.wmv", 2.0, 1000, 1.0},
                                           Mismatch{"sound_absent.wmv", 2.0, 0, 0.0},
                                           // Sound from 0 to 3 s leads the pictures (1.5 to 3.5 s).
                                           Mismatch{"pictures_late.wmv", 2.0, 3000, 0.0}),
                         [](const auto& info) {
                             const std::string file = info.param.file;
                             return file.substr(0, file.find('.'));
                         });

// ---- damaged films -------------------------------------------------------------------------

TEST_F(MediaFiles, FilmsThatCannotBeOpenedAreRefusedAtOnceWithTheirReason)
{
    for (const char* name : {"garbled_header.wmv", "no_such_film.wmv"}) {
        SCOPED_TRACE(name);
        RecordingSink sink;
        const auto start = std::chrono::steady_clock::now();
        auto graph = MediaGraph::RenderFile(WPath(name), &sink);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_FALSE(graph->IsRendered());
        EXPECT_FALSE(graph->GetError().empty());
    }
    RecordingSink sink;
    auto graph = MediaGraph::RenderFile(WPath("no_pictures.wmv"), &sink);
    EXPECT_FALSE(graph->HasVideo()) << "pictures no decoder can read are a missing stream";
    EXPECT_TRUE(graph->HasAudio());
}

TEST_F(MediaFiles, FilmsDamagedPartWayPlayWhatTheyCanAndEndWithOneLine)
{
    struct Case {
        const char* file;
        double maxSeconds;   // the film ends by then (its pictures run 4 s)
        std::size_t minPictures;
        const char* reason;  // in the one line printed and in GetError
    };
    for (const Case c : {Case{"cut.wmv", 3.5, 10, "cut short"},
                         Case{"wrong_codec.wmv", 1.0, 0, "pictures cannot be decoded"},
                         Case{"damaged_middle.wmv", 5.5, 3 * kFps, ""}}) {
        SCOPED_TRACE(c.file);
        ::testing::internal::CaptureStderr();
        const Watched seen = Watch(WPath(c.file), std::chrono::seconds(10));
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(seen.ended);
        EXPECT_LT(seen.seconds, c.maxSeconds);
        EXPECT_GE(seen.pictures.size(), c.minPictures) << "what can be decoded is shown";
        if (*c.reason != '\0') {
            EXPECT_NE(err.find(c.reason), std::string::npos) << err;
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << "one line: " << err;
        }
    }
}

}  // namespace
