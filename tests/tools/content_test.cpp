// The content generator: its files open through the game's own loaders at the sizes the game
// uses, panoramas join at their seam, sounds and videos decode with sound, music loops, and
// the same content comes out byte for byte on every run.
#include "content/dmath.h"
#include "content/generator.h"
#include "game_texts.h"
#include "core/error.h"
#include "core/game_paths.h"
#include "display/image_offsets.h"
#include "imaging/d3dx_tex.h"
#include "imaging/image.h"
#include "imaging/scrambled.h"
#include "platform/audio/audio_mixer.h"
#include "platform/media/media_graph.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace content;

const InterfaceTexts& Words()
{
    static const InterfaceTexts words = InterfaceTexts::From(tools_test::GameTexts());
    return words;
}

std::vector<std::uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A picture loaded as the game loads it: unrotated by its offset, then decoded.
imaging::Image LoadAsGame(const fs::path& dataDir, const std::string& gamePath)
{
    std::vector<std::uint8_t> bytes = ReadFile(FileForGamePath(dataDir.string(), gamePath));
    EXPECT_GT(bytes.size(), static_cast<std::size_t>(OffsetForGamePath(gamePath))) << gamePath << " is longer than its offset";
    bytes = imaging::UnrotateImageBytes(std::move(bytes), static_cast<std::size_t>(OffsetForGamePath(gamePath)));
    D3DXIMAGE_INFO info;
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(bytes.data(), static_cast<UINT>(bytes.size()), &info), S_OK) << gamePath;
    imaging::Image image;
    std::string error;
    EXPECT_TRUE(imaging::DecodeImage(bytes.data(), bytes.size(), &image, &error)) << gamePath << ": " << error;
    EXPECT_EQ(static_cast<int>(info.Width), image.width) << gamePath;
    return image;
}

int Luma(const imaging::Image& image, int x, int y)
{
    const std::uint8_t* p = image.Row(y) + x * 4;
    return (p[2] * 3 + p[1] * 6 + p[0]) / 10;
}

// One small run of the real manifest, shared by the suite.
class GeneratedData : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = fs::temp_directory_path() / ("kelvane_content_test_" + std::to_string(::getpid()));
        GenerateOptions options;
        options.only = {"data/black.jpg", "data/menu/", "data/cursor/", "data/inven3.enc", "data/court_pano.enc",
                        "cave_lock_digits", "data/drip1.wav", "data/door.mp3"};
        s_report = Generate(SampleManifest(tools_test::GameTexts()), (s_dir / "data").string(), options);
    }
    static void TearDownTestSuite() { fs::remove_all(s_dir); }
    static fs::path Data() { return s_dir / "data"; }

    static fs::path s_dir;
    static GenerateReport s_report;
};
fs::path GeneratedData::s_dir;
GenerateReport GeneratedData::s_report;

TEST_F(GeneratedData, PicturesOpenThroughTheGameLoaderAtTheSizesTheGameDrawsThem)
{
    ASSERT_TRUE(s_report.errors.empty()) << s_report.errors.front();
    const struct {
        const char* path;
        int width, height;
    } pictures[] = {
        {"data/black.jpg", 64, 64},
        {"data/menu/background.enc", 800, 600}, {"data/menu/restore.enc", 800, 600},
        {"data/menu/save.enc", 800, 600}, {"data/menu/credits.enc", 800, 600},
        {"data/menu/Top1.enc", 192, 128}, {"data/menu/Top4.enc", 192, 128}, {"data/menu/Top6.enc", 192, 128},
        {"data/cursor/cursor1.enc", 85, 90}, {"data/cursor/cursor1_alpha1.enc", 85, 90},
        {"data/cursor/cursor1_alpha2.enc", 85, 90}, {"data/cursor/cursor2.enc", 85, 85},
        {"data/cursor/cursor2_alpha.enc", 85, 85}, {"data/cursor/cursor3_alpha.enc", 85, 85},
        {"data/cursor/cursorL.enc", 85, 90}, {"data/cursor/cursorL_alpha.enc", 85, 90},
        {"data/inven3.enc", 75, 75}, {"data/inven3_alpha1.enc", 75, 75}, {"data/inven3_alpha2.enc", 75, 75},
        {"data/court_pano.enc", 2048, 512}, {"data/cave_lock_digits.enc", 670, 66},
    };
    for (const auto& p : pictures) {
        const imaging::Image image = LoadAsGame(Data(), p.path);
        EXPECT_EQ(image.width, p.width) << p.path;
        EXPECT_EQ(image.height, p.height) << p.path;
    }
}

TEST_F(GeneratedData, ScrambledFilesAreRotatedAndPlainOnesAreNot)
{
    const auto menu = ReadFile(Data() / "menu/background.enc");
    EXPECT_EQ(imaging::DetectImageFormat(menu.data(), menu.size()), imaging::ImageFileFormat::Unknown)
        << "a scrambled file does not start with an image header";
    const auto black = ReadFile(Data() / "black.jpg");
    EXPECT_EQ(imaging::DetectImageFormat(black.data(), black.size()), imaging::ImageFileFormat::Jpeg);
    EXPECT_EQ(OffsetForGamePath("data/menu/save.enc"), kMenuImageOffset);
    EXPECT_EQ(OffsetForGamePath("data/menu/Top2.enc"), kTopMenuImageOffset);
    EXPECT_EQ(OffsetForGamePath("data/cursor/cursor3.enc"), kCursorImageOffset);
    EXPECT_EQ(OffsetForGamePath("data/hall_pano.enc"), ScrambleOffsetFor("data/hall_pano.enc"));
    // The world opens all of an item's pictures with the offset of the item's own picture.
    EXPECT_EQ(OffsetForGamePath("data/inven3_alpha2.enc"), ScrambleOffsetFor("data/inven3.enc"));
    EXPECT_EQ(OffsetForGamePath("data/inven3_alpha1.enc"), ItemImageOffset(3));
    EXPECT_EQ(FileForGamePath("/out", "data//FMV//intro.wmv"), "/out/FMV/intro.wmv");
    EXPECT_THROW(FileForGamePath("/out", "save/save1.sav"), Error);
}

TEST_F(GeneratedData, PanoramaJoinsWhereTheRightEdgeMeetsTheLeft)
{
    const imaging::Image pano = LoadAsGame(Data(), "data/court_pano.enc");
    // Across the seam the picture must change no more than between two neighbouring columns
    // elsewhere; a door is painted across it, so a painter that did not wrap would break here.
    auto columnStep = [&pano](int a, int b) {
        double sum = 0;
        for (int y = 0; y < pano.height; ++y) sum += std::abs(Luma(pano, a, y) - Luma(pano, b, y));
        return sum / pano.height;
    };
    const double seam = columnStep(2047, 0);
    double inside = 0;
    for (int x : {300, 1000, 1023, 1500}) inside = std::max(inside, columnStep(x, x + 1));
    EXPECT_LT(seam, std::max(3.0, inside * 1.5)) << "seam step " << seam << ", steps elsewhere up to " << inside;
    EXPECT_GT(columnStep(2047, 1024), seam * 3) << "the check itself sees different columns as different";
}

TEST_F(GeneratedData, MaskShapesAndHotSpots)
{
    const imaging::Image normal = LoadAsGame(Data(), "data/inven3_alpha2.enc");
    const imaging::Image halo = LoadAsGame(Data(), "data/inven3_alpha1.enc");
    int normalCount = 0, haloCount = 0;
    for (int y = 0; y < 75; ++y)
        for (int x = 0; x < 75; ++x) {
            normalCount += normal.Row(y)[x * 4] > 128;
            haloCount += halo.Row(y)[x * 4] > 128;
        }
    EXPECT_EQ(normal.Row(0)[0], 0) << "the corner of an item cursor is transparent";
    EXPECT_GT(normalCount, 300) << "the item itself is opaque";
    EXPECT_GT(haloCount, normalCount * 3 / 2) << "the highlighted mask adds a halo";

    // Cursor hot spots: the pointer's tip at (3, 3), the turn arrows' points at (10, 42), (80, 42).
    const imaging::Image pointer = LoadAsGame(Data(), "data/cursor/cursor1_alpha2.enc");
    EXPECT_GT(pointer.Row(6)[4 * 4], 128);
    EXPECT_EQ(pointer.Row(80)[80 * 4], 0);
    const imaging::Image left = LoadAsGame(Data(), "data/cursor/cursor2_alpha.enc");
    const imaging::Image right = LoadAsGame(Data(), "data/cursor/cursor3_alpha.enc");
    EXPECT_GT(left.Row(42)[12 * 4], 128);
    EXPECT_EQ(left.Row(42)[2 * 4], 0);
    EXPECT_GT(right.Row(42)[78 * 4], 128);
    EXPECT_EQ(right.Row(42)[83 * 4], 0);
}

TEST_F(GeneratedData, MenuButtonsSitOnTheMenuRectanglesAndSlotAreasStayReadable)
{
    const imaging::Image main = LoadAsGame(Data(), "data/menu/background.enc");
    for (const MenuButton& b : ButtonsOf(MenuPage::Main, Words())) {
        const int midY = (b.y1 + b.y2) / 2, midX = (b.x1 + b.x2) / 2;
        EXPECT_LT(Luma(main, b.x1 - 1, midY), 25) << b.label << ": dark rim at the left edge";
        EXPECT_LT(Luma(main, b.x2, midY), 25) << b.label << ": dark rim at the right edge";
        EXPECT_LT(Luma(main, midX, b.y1 - 1), 25) << b.label << ": dark rim at the top edge";
        int brightest = 0;
        for (int x = b.x1 + 5; x < b.x2 - 5; ++x) brightest = std::max(brightest, Luma(main, x, midY));
        EXPECT_GT(brightest, 120) << b.label << ": a light label inside";
    }
    for (const char* page : {"data/menu/restore.enc", "data/menu/save.enc"}) {
        const imaging::Image image = LoadAsGame(Data(), page);
        for (int col = 0; col < 2; ++col)
            for (int row = 0; row < 8; ++row) {
                int brightest = 0;
                for (int y = 130 + 50 * row; y < 160 + 50 * row; ++y)
                    for (int x = 60 + 400 * col; x < 390 + 400 * col; ++x) brightest = std::max(brightest, Luma(image, x, y));
                EXPECT_LT(brightest, 70) << page << " slot " << col * 8 + row + 1
                                         << ": the game writes grey (128) and white text here";
            }
        const imaging::Image back = image;
        EXPECT_LT(Luma(back, 150, 575), 25) << page << ": the back button's rim at x 150";
    }
}

struct CountingSink : platform::FrameSink {
    std::mutex lock;
    platform::VideoFormat format;
    int frames = 0;
    void SetMediaType(const platform::VideoFormat& f) override { format = f; }
    void DoRenderSample(const std::uint8_t*, std::size_t, std::int64_t) override
    {
        std::lock_guard<std::mutex> guard(lock);
        ++frames;
    }
};

// Plays a file through a manual mixer as fast as the decoder allows; returns the loudest sample.
float PlayToEnd(platform::MediaGraph& graph, platform::Mixer& mixer)
{
    std::vector<float> out(2 * 480);
    float peak = 0.0f;
    graph.Run();
    for (int i = 0; i < 3000; ++i) {
        platform::MediaTime current = 0, stop = 0;
        graph.GetPositions(&current, &stop);
        if (current >= stop) break;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        mixer.Mix(out.data(), 480);
        for (float s : out) peak = std::max(peak, std::abs(s));
    }
    return peak;
}

std::wstring Wide(const fs::path& p)
{
    const std::string s = p.string();
    return std::wstring(s.begin(), s.end());
}

TEST_F(GeneratedData, SoundsDecodeWithSound)
{
    for (const char* name : {"drip1.wav", "door.mp3"}) {
        platform::Mixer mixer(platform::Mixer::Output::Manual);
        auto graph = platform::MediaGraph::RenderFile(Wide(Data() / name), nullptr, &mixer);
        ASSERT_TRUE(graph->IsRendered()) << name << ": " << graph->GetError();
        EXPECT_TRUE(graph->HasAudio());
        EXPECT_GT(PlayToEnd(*graph, mixer), 0.1f) << name << " is audible";
    }
}

TEST(ContentFilm, VideoHasTheFramesOfItsSubtitledLengthAndSound)
{
    const fs::path dir = fs::temp_directory_path() / ("kelvane_film_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    FilmSpec film;
    film.width = 256;
    film.height = 128;
    film.framesPerSecond = 10;
    film.seconds = 1.0;
    PlaceSpec place{5, Setting::Hall, {Hex(0x302020), Hex(0x807060), Hex(0x605040), Hex(0x604020), Hex(0xffa050)}, {}, 0.8f};
    film.shots = {{place, 1.0, 0.0f, 0.1f, ShotEffect::Embers}, {place, 1.0, 0.5f, 0.6f, ShotEffect::Collapse}};
    film.subtitles = {{0, ""}, {300, "A line."}, {2500, ""}};
    ASSERT_DOUBLE_EQ(FilmLength(film), 3.5) << "the film lasts until a second after its last cue";
    const fs::path file = dir / "clip.wmv";
    WriteFilm(file.string(), film);

    platform::Mixer mixer(platform::Mixer::Output::Manual);
    CountingSink sink;
    auto graph = platform::MediaGraph::RenderFile(Wide(file), &sink, &mixer);
    ASSERT_TRUE(graph->IsRendered()) << graph->GetError();
    EXPECT_TRUE(graph->HasVideo());
    EXPECT_TRUE(graph->HasAudio());
    EXPECT_EQ(sink.format.width, 256);
    EXPECT_EQ(sink.format.height, 128);
    platform::MediaTime duration = 0;
    graph->GetDuration(&duration);
    EXPECT_NEAR(duration / 1e7, 3.5, 0.15);
    EXPECT_GT(PlayToEnd(*graph, mixer), 0.02f) << "the film has a sound track";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::lock_guard<std::mutex> guard(sink.lock);
    EXPECT_GE(sink.frames, FilmFrameCount(film) - 1);
    EXPECT_LE(sink.frames, FilmFrameCount(film));
    fs::remove_all(dir);
}

TEST(ContentMusic, TrackLoopsWithoutABreakAndStartsAndEndsInSilence)
{
    const SoundBuffer track = SynthMusic(MusicMood::Exploration, 40.0, 3);
    const double seconds = static_cast<double>(track.Frames()) / kSampleRate;
    EXPECT_GT(seconds, 25.0);
    EXPECT_LT(seconds, 60.0);
    EXPECT_LT(std::abs(track.samples.front()), 0.01f);
    EXPECT_LT(std::abs(track.samples.back()), 0.01f);
    // Just inside the short fades at both ends the music is going on at a similar level: the
    // end's ringing notes continue at the start instead of the start rising from silence.
    auto rms = [&track](std::size_t firstFrame, std::size_t frames) {
        double sum = 0;
        for (std::size_t i = firstFrame * 2; i < (firstFrame + frames) * 2; ++i) sum += track.samples[i] * track.samples[i];
        return std::sqrt(sum / (frames * 2));
    };
    const std::size_t window = kSampleRate / 20, edge = kSampleRate / 50;
    const double head = rms(edge, window), tail = rms(static_cast<std::size_t>(track.Frames()) - edge - window, window);
    EXPECT_GT(head, 0.02);
    EXPECT_GT(tail, 0.02);
    EXPECT_LT(std::max(head, tail) / std::min(head, tail), 3.0);
}

TEST(ContentPlaces, OverlayLinesUpWithItsBaseAndShowsTheChange)
{
    PlaceSpec place{21, Setting::Cave, {Hex(0x101820), Hex(0x405a60), Hex(0x204050), Hex(0x305040), Hex(0x80d0ff)},
                    {{LandmarkKind::Torch, {170, 190, 36, 110}, true}, {LandmarkKind::Door, {380, 130, 260, 270}}}, 0.9f};
    const Canvas base = PaintFlatView(place);
    ASSERT_EQ(base.Width(), kFlatWidth);
    ASSERT_EQ(base.Height(), kFlatHeight);
    place.landmarks[1].active = true;
    const Rect block{368, 118, 284, 282};
    const Canvas overlay = PaintOverlay(place, false, block);
    ASSERT_EQ(overlay.Width(), block.w);
    auto same = [](Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) < 1e-5f; };
    for (auto [x, y] : {std::pair{0, 0}, std::pair{block.w - 1, 0}, std::pair{2, 30}})
        EXPECT_TRUE(same(overlay.At(x, y), base.At(block.x + x, block.y + y))) << "unchanged pixel " << x << ", " << y;
    EXPECT_FALSE(same(overlay.At(block.w / 2, block.h / 2), base.At(block.x + block.w / 2, block.y + block.h / 2)))
        << "the open door differs from the closed one";
}

TEST(ContentPlaces, CodeStripHasOneDistinctFramePerValue)
{
    const Canvas strip = PaintCodeStrip(40, 30, 6, StripStyle::Digits);
    ASSERT_EQ(strip.Width(), 240);
    for (int k = 0; k + 1 < 6; ++k) {
        float difference = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const Rgb a = strip.At(k * 40 + x, y), b = strip.At((k + 1) * 40 + x, y);
                difference += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
            }
        EXPECT_GT(difference, 20.0f) << "frames " << k << " and " << k + 1 << " show different values";
    }
}

TEST(ContentMath, PortableFunctionsMatchTheLibraryAndNoiseRepeatsRoundTheView)
{
    for (double x : {-40.0, -3.0, -1.0, 0.0, 0.5, 1.5707963, 2.0, 3.1, 6.0, 100.0, 12345.6})
        EXPECT_NEAR(content::Sin(x), std::sin(x), 1e-9) << "sin " << x;
    for (double x : {-30.0, -2.0, -0.1, 0.0, 0.7, 3.0, 20.0})
        EXPECT_NEAR(content::Exp(x) / std::exp(x), 1.0, 1e-12) << "exp " << x;
    // A panorama's noise: 32 cells of 64 pixels round 2048 pixels repeat exactly.
    for (float y : {3.0f, 100.5f, 400.0f})
        for (float x : {0.0f, 17.25f, 63.9f}) {
            EXPECT_FLOAT_EQ(ValueNoise(7, x, y, 64.0f, 32), ValueNoise(7, x + 2048.0f, y, 64.0f, 32));
            EXPECT_FLOAT_EQ(Fbm(7, x, y, 64.0f, 32, 4), Fbm(7, x + 2048.0f, y, 64.0f, 32, 4));
        }
    EXPECT_NE(ValueNoise(7, 10.0f, 10.0f, 64.0f, 0), ValueNoise(8, 10.0f, 10.0f, 64.0f, 0)) << "seeds matter";
}

TEST(ContentSounds, EveryKindIsAudibleBoundedAndVariesWithItsSeed)
{
    const SoundKind kinds[] = {SoundKind::Drip,      SoundKind::SwitchClick, SoundKind::Explosion, SoundKind::PageTurn,
                               SoundKind::Door,      SoundKind::LockClick,   SoundKind::ItemChime, SoundKind::Whoosh,
                               SoundKind::IronClank, SoundKind::LeverCreak,  SoundKind::Ratchet,   SoundKind::BrassSeat,
                               SoundKind::SeaPound};
    for (SoundKind kind : kinds) {
        const SoundBuffer sound = SynthSound(kind, 1);
        float peak = 0;
        for (float v : sound.samples) {
            ASSERT_TRUE(std::isfinite(v));
            peak = std::max(peak, std::abs(v));
        }
        EXPECT_GT(peak, 0.3f) << "kind " << static_cast<int>(kind);
        EXPECT_LE(peak, 1.0f) << "kind " << static_cast<int>(kind);
        EXPECT_LT(std::abs(sound.samples.back()), 0.01f) << "kind " << static_cast<int>(kind) << " ends in silence";
    }
    EXPECT_GT(SynthSound(SoundKind::Explosion, 1).Frames(), 3 * SynthSound(SoundKind::SwitchClick, 1).Frames());
    EXPECT_NE(SynthSound(SoundKind::Drip, 1).samples, SynthSound(SoundKind::Drip, 2).samples) << "three drips, not one";
}

float Peak(const SoundBuffer& sound)
{
    float peak = 0;
    for (float v : sound.samples) peak = std::max(peak, std::abs(v));
    return peak;
}

// The loudness (root mean square) of channel `channel` over frames [from, to).
double Rms(const SoundBuffer& sound, int channel, std::int64_t from, std::int64_t to)
{
    double sum = 0;
    for (std::int64_t i = from; i < to; ++i) {
        const double v = sound.samples[static_cast<std::size_t>(i * sound.channels + channel)];
        sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>(std::max<std::int64_t>(1, to - from)));
}

// How much of a sound's energy lies low (below about 300 Hz): its mass.
double LowShare(const SoundBuffer& sound)
{
    const double a = 1.0 - std::exp(-2.0 * 3.14159265358979 * 300.0 / kSampleRate);
    double low = 0, all = 0, y = 0;
    for (float v : sound.samples) {
        y += a * (v - y);
        low += y * y;
        all += static_cast<double>(v) * v;
    }
    return low / std::max(all, 1e-12);
}

// The beds loop: each runs on from its last frame into its first with no step larger than
// its own motion from sample to sample, its loudness is the same at the seam as anywhere,
// it is several seconds long and it sits well below every effect the world plays.
TEST(ContentSounds, BedsLoopWithoutASeamAndSitUnderTheEffects)
{
    float quietestEffect = 1.0f;
    for (SoundKind effect : {SoundKind::PageTurn, SoundKind::ItemChime, SoundKind::Whoosh, SoundKind::LockClick,
                             SoundKind::SwitchClick, SoundKind::Drip, SoundKind::IronClank, SoundKind::SeaPound})
        quietestEffect = std::min(quietestEffect, Peak(SynthSound(effect, 1)));
    for (SoundKind kind : {SoundKind::ShoreBed, SoundKind::HallBed, SoundKind::LampRoomBed, SoundKind::DomeBed,
                           SoundKind::CaveBed}) {
        const std::string name = SoundKindName(kind);
        EXPECT_TRUE(IsBed(kind)) << name;
        const SoundBuffer bed = SynthSound(kind, 21);
        const std::int64_t frames = bed.Frames();
        EXPECT_GE(frames, 6 * kSampleRate) << name;
        EXPECT_LE(frames, 10 * kSampleRate) << name;
        EXPECT_LT(Peak(bed), 0.5f * quietestEffect) << name << " is quiet under the effects";
        for (int c = 0; c < bed.channels; ++c) {
            const auto at = [&bed, c](std::int64_t i) { return bed.samples[static_cast<std::size_t>(i * bed.channels + c)]; };
            // The bed's own motion from sample to sample, away from its ends.
            std::vector<float> steps;
            for (std::int64_t i = kBedEdgeFrames; i + 1 < frames - kBedEdgeFrames; ++i) steps.push_back(std::abs(at(i + 1) - at(i)));
            std::sort(steps.begin(), steps.end());
            EXPECT_LE(std::abs(at(0) - at(frames - 1)), steps[steps.size() * 999 / 1000])
                << name << " channel " << c << ": the restart does not click";
            // Under the ramps of its ends (frame 0 is silent): the bed as made, whose last frame
            // runs into its first. Over half a millisecond either side, the seam moves no more
            // than the bed does anywhere else.
            const auto core = [&at, frames](std::int64_t i) {
                if (i < kBedEdgeFrames) return at(i) * kBedEdgeFrames / static_cast<float>(i);
                if (i > frames - kBedEdgeFrames) return at(i) * kBedEdgeFrames / static_cast<float>(frames - i);
                return at(i);
            };
            constexpr std::int64_t kHalfMs = kSampleRate / 2000;
            const auto mean = [&core](std::int64_t from) {
                double sum = 0;
                for (std::int64_t i = from; i < from + kHalfMs; ++i) sum += core(i);
                return sum / kHalfMs;
            };
            std::vector<double> moves;
            for (std::int64_t i = kHalfMs + 1; i + kHalfMs < frames; i += 7) moves.push_back(std::abs(mean(i) - mean(i - kHalfMs)));
            std::sort(moves.begin(), moves.end());
            EXPECT_LE(std::abs(mean(1) - mean(frames - kHalfMs)), moves[moves.size() * 999 / 1000])
                << name << " channel " << c << ": the end runs into the start";
            // Not a fade out and in: the second across the seam is no quieter (nor louder) than
            // the bed's other seconds, taken round the loop.
            EXPECT_GT(Rms(bed, c, 0, frames), 0.002) << name << " is heard";
            const auto roundRms = [&bed, c, frames](std::int64_t from) {
                double sum = 0;
                for (std::int64_t i = from; i < from + kSampleRate; ++i) {
                    const double v = bed.samples[static_cast<std::size_t>((i % frames) * bed.channels + c)];
                    sum += v * v;
                }
                return std::sqrt(sum / kSampleRate);
            };
            const double acrossTheSeam = roundRms(frames - kSampleRate / 2);
            double quietest = 1e9, loudest = 0;
            for (std::int64_t from = kSampleRate / 2; from + kSampleRate <= frames - kSampleRate / 2; from += kSampleRate / 4) {
                quietest = std::min(quietest, roundRms(from));
                loudest = std::max(loudest, roundRms(from));
            }
            EXPECT_GT(acrossTheSeam, 0.8 * quietest) << name << " channel " << c;
            EXPECT_LT(acrossTheSeam, 1.25 * loudest) << name << " channel " << c;
        }
        EXPECT_EQ(SynthSound(kind, 21).samples, bed.samples) << name << " is made the same every time";
    }
    EXPECT_FALSE(IsBed(SoundKind::Drip));
    EXPECT_FALSE(IsBed(SoundKind::SeaPound));
}

// The island's machinery has weight: each effect lasts 0.4 .. 1.5 s, much of its energy is
// low (mass), and it still sounds a quarter second after its loudest moment (resonance) -
// where the small clicks it replaces are neither. The sea's pound ends before its next stroke
// (every 2 s; its caption shows 1.9 s) and has the weight of water.
TEST(ContentSounds, MachineryHasMassAndRingAndTheSeaPoundEndsBeforeItsNextStroke)
{
    const auto ringsOn = [](const SoundBuffer& sound) {
        std::int64_t loudest = 0;
        for (std::int64_t i = 0; i < sound.Frames(); ++i)
            if (std::abs(sound.samples[static_cast<std::size_t>(i)]) > std::abs(sound.samples[static_cast<std::size_t>(loudest)])) loudest = i;
        const std::int64_t from = loudest + kSampleRate / 4, to = std::min(sound.Frames(), from + kSampleRate / 10);
        return from < to ? Rms(sound, 0, from, to) / Peak(sound) : 0.0;
    };
    for (SoundKind kind : {SoundKind::IronClank, SoundKind::LeverCreak, SoundKind::Ratchet, SoundKind::BrassSeat}) {
        const std::string name = SoundKindName(kind);
        const SoundBuffer sound = SynthSound(kind, 14);
        EXPECT_GE(sound.Frames(), 4 * kSampleRate / 10) << name;
        EXPECT_LE(sound.Frames(), 15 * kSampleRate / 10) << name;
        EXPECT_GT(LowShare(sound), 0.15) << name << " has mass";
        EXPECT_GT(ringsOn(sound), 0.01) << name << " rings on";
    }
    for (SoundKind blip : {SoundKind::LockClick, SoundKind::SwitchClick}) {
        const SoundBuffer sound = SynthSound(blip, 14);
        EXPECT_FALSE(LowShare(sound) > 0.15 && ringsOn(sound) > 0.01) << SoundKindName(blip) << " is only a blip";
    }
    const SoundBuffer pound = SynthSound(SoundKind::SeaPound, 5);
    EXPECT_LT(pound.Frames(), 19 * kSampleRate / 10) << "over before the caption and the next stroke";
    EXPECT_GT(pound.Frames(), kSampleRate) << "with a body of water after the slam";
    EXPECT_GT(LowShare(pound), 0.3);
    EXPECT_LT(std::abs(pound.samples.back()), 0.001f);
}

// The world files name the kinds in snake case; every kind has one name and back.
TEST(ContentSounds, EveryKindHasASnakeCaseNameAndIsFoundByIt)
{
    const std::string names = SoundKindNames();
    for (int k = 0; k <= static_cast<int>(SoundKind::CaveBed); ++k) {
        const SoundKind kind = static_cast<SoundKind>(k);
        const std::string name = SoundKindName(kind);
        SoundKind found = SoundKind::Whoosh;
        ASSERT_TRUE(SoundKindNamed(name, &found)) << name;
        EXPECT_EQ(found, kind) << name;
        EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz_"), std::string::npos) << name;
        EXPECT_NE(names.find(name), std::string::npos) << name;
    }
    SoundKind untouched = SoundKind::Drip;
    EXPECT_FALSE(SoundKindNamed("thunder", &untouched));
    EXPECT_FALSE(SoundKindNamed("Drip", &untouched)) << "names are exact";
    EXPECT_EQ(untouched, SoundKind::Drip);
}

TEST(ContentBooks, TextIsSetOnTheLeftPageAndLongTextContinuesOnTheRight)
{
    auto inkIn = [](const Canvas& page, Rect r) {
        int dark = 0;
        for (int y = r.y; y < r.Bottom(); ++y)
            for (int x = r.x; x < r.Right(); ++x) dark += page.At(x, y).r < 0.35f;
        return dark;
    };
    // The right page's first lines (above where a sketch would go).
    const Rect leftText{80, 104, 392, 200}, rightText{560, 56, 392, 60};
    const Canvas shortPage = PaintBookPage({"Heading", "A short note.", 1, 4});
    EXPECT_GT(inkIn(shortPage, leftText), 50) << "the text is set in ink";
    EXPECT_EQ(inkIn(shortPage, rightText), 0) << "a short text does not run on to the right page";
    std::string longText;
    for (int i = 0; i < 12; ++i) longText += "This sentence is one of many that fill the page. ";
    const Canvas longPage = PaintBookPage({"Heading", longText, 2, 4});
    EXPECT_GT(inkIn(longPage, rightText), 50) << "a long text runs on to the right page";
}

float Difference(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

Rgb MeanColour(const Canvas& c, Rect r)
{
    Rgb sum;
    for (int y = r.y; y < r.Bottom(); ++y)
        for (int x = r.x; x < r.Right(); ++x) sum = sum + c.At(x, y);
    return sum * (1.0f / (r.w * r.h));
}

TEST(ContentCanvas, ShapesOnAWrappingCanvasContinueAcrossTheEdge)
{
    Canvas wrapping(200, 50, true), flat(200, 50, false);
    for (Canvas* c : {&wrapping, &flat}) c->FillRect({180, 10, 40, 20}, Rgb{1, 0, 0});
    EXPECT_FLOAT_EQ(wrapping.At(190, 20).r, 1.0f);
    EXPECT_FLOAT_EQ(wrapping.At(10, 20).r, 1.0f) << "the part beyond x 200 lands at the left edge";
    EXPECT_FLOAT_EQ(wrapping.At(30, 20).r, 0.0f);
    EXPECT_FLOAT_EQ(flat.At(10, 20).r, 0.0f) << "a flat canvas clips instead";
    wrapping.Glow(-5.0f, 25.0f, 20.0f, Rgb{0, 1, 0}, 1.0f);
    EXPECT_GT(wrapping.At(195, 25).g, 0.5f) << "light left of x 0 shines at the right edge";
}

TEST(ContentCanvas, TextLeavesInkWhereItIsSetAndParagraphsWrapAtTheirWidth)
{
    Canvas c(400, 200, false, Rgb{1, 1, 1});
    const int width = c.Text("Kelvane", 200, 10, 30, Rgb{}, false, false, TextAlign::Centre);
    EXPECT_GT(width, 60);
    auto inkInColumns = [&c](int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += c.At(x, y).r < 0.5f;
        return n;
    };
    EXPECT_GT(inkInColumns(200 - width / 2, 200 + width / 2, 10, 45), 100) << "centred on x 200";
    EXPECT_EQ(inkInColumns(0, 200 - width / 2 - 4, 10, 45), 0);
    const int bottom = c.Paragraph("one two three four five six seven eight nine ten", 10, 60, 120, 16, 1.25f, Rgb{});
    EXPECT_EQ(inkInColumns(134, 400, 60, 200), 0) << "no line runs past the width";
    EXPECT_GE(bottom, 60 + 3 * 20) << "the words take several lines";
}

TEST(ContentPlaces, SettingsLookDifferentAndLandmarksStandWhereTheyAreGiven)
{
    const Palette palette{Hex(0x304878), Hex(0x8a8078), Hex(0x5a5448), Hex(0x2e5a2a), Hex(0xffb070)};
    const Rect door{400, 180, 150, 200};
    PlaceSpec place{4, Setting::Hall, palette, {{LandmarkKind::Door, door}}, 0.8f};
    const Canvas hall = PaintFlatView(place);
    place.setting = Setting::Cave;
    const Canvas cave = PaintFlatView(place);
    place.setting = Setting::Court;
    const Canvas court = PaintFlatView(place);
    const Rect wall{50, 200, 200, 150};
    EXPECT_GT(Difference(MeanColour(hall, wall), MeanColour(cave, wall)), 0.05f);
    EXPECT_GT(Difference(MeanColour(hall, {0, 0, 1024, 100}), MeanColour(court, {0, 0, 1024, 100})), 0.05f)
        << "a ceiling is not a sky";
    // The door's planks are in the accent colour, not the wall's: its middle differs from the wall beside it.
    const Rect doorMiddle{door.x + 30, door.y + 80, 90, 60}, beside{door.Right() + 40, door.y + 80, 90, 60};
    EXPECT_GT(Difference(MeanColour(hall, doorMiddle), MeanColour(hall, beside)), 0.1f);
}

TEST(ContentPlaces, EverySettingJoinsAtThePanoramaSeam)
{
    const Palette palette{Hex(0x3a2a20), Hex(0x8a7a66), Hex(0x6a5a4a), Hex(0x6a4628), Hex(0xffa850)};
    for (Setting setting : {Setting::Hall, Setting::Cave, Setting::Court}) {
        const PlaceSpec place{6, setting, palette, {{LandmarkKind::Arch, {1980, 170, 160, 220}, true}}, 0.8f};
        const Canvas pano = PaintPanorama(place);
        ASSERT_EQ(pano.Width(), kPanoramaWidth);
        // Column 1024 starts the same brick, beam and tile pattern as column 0, so the step
        // from 1023 to 1024 is what the step from 2047 to 0 must look like.
        float seam = 0, inside = 0;
        for (int y = 0; y < kPanoramaHeight; ++y) {
            seam += Difference(pano.At(kPanoramaWidth - 1, y), pano.At(0, y));
            inside += Difference(pano.At(1023, y), pano.At(1024, y));
        }
        EXPECT_LT(seam, inside * 1.5f + 5.0f) << "setting " << static_cast<int>(setting);
    }
}

// The interface's words come from the texts; a language's longer word is set smaller so that
// it stays inside its button.
TEST(ContentInterface, TheInterfacePicturesAreSetInTheLanguageOfTheirTexts)
{
    InterfaceTexts longer = Words();
    longer.topJournal = "J\xF4\xFBrn\xE0l \xE0nd m\xF4r\xE9";
    const Canvas english = PaintTopButton(TopButton::Journal, Words());
    const Canvas fitted = PaintTopButton(TopButton::Journal, longer);
    EXPECT_GT(Difference(MeanColour(english, {0, 0, kTopButtonWidth, kTopButtonHeight}),
                         MeanColour(fitted, {0, 0, kTopButtonWidth, kTopButtonHeight})), 0.001f);
    for (const Rect margin : {Rect{0, 20, 16, 60}, Rect{kTopButtonWidth - 16, 20, 16, 60}})
        EXPECT_LT(Difference(MeanColour(fitted, margin), MeanColour(english, margin)), 0.01f)
            << "the longer word runs into the button's edge";
    EXPECT_EQ(ButtonsOf(MenuPage::Main, longer).front().label, Words().newGame);
    EXPECT_EQ(Words().topJournal, "Journal") << "the template's own words";
}

TEST(ContentInterface, TopButtonsCursorsAndItemsAreEachTheirOwn)
{
    const Canvas restore = PaintTopButton(TopButton::Restore, Words()), confirm = PaintTopButton(TopButton::Confirm, Words());
    EXPECT_EQ(restore.Width(), kTopButtonWidth);
    EXPECT_EQ(restore.Height(), kTopButtonHeight);
    EXPECT_GT(Difference(MeanColour(restore, {0, 0, kTopButtonWidth, kTopButtonHeight}),
                         MeanColour(confirm, {0, 0, kTopButtonWidth, kTopButtonHeight})), 0.03f)
        << "the confirmation looks different from the button it replaces";
    // Every label fits its narrow button: the side margins look as those of the short "Save".
    const Canvas save = PaintTopButton(TopButton::Save, Words());
    for (const TopButton b : {TopButton::Restore, TopButton::Journal, TopButton::Hints}) {
        const Canvas button = PaintTopButton(b, Words());
        for (const Rect margin : {Rect{0, 20, 16, 60}, Rect{kTopButtonWidth - 16, 20, 16, 60}})
            EXPECT_LT(Difference(MeanColour(button, margin), MeanColour(save, margin)), 0.01f)
                << "label " << static_cast<int>(b) << " runs into the button's edge";
        EXPECT_GT(Difference(MeanColour(button, {0, 0, kTopButtonWidth, kTopButtonHeight}),
                             MeanColour(save, {0, 0, kTopButtonWidth, kTopButtonHeight})), 0.001f)
            << "label " << static_cast<int>(b) << " is its own";
    }

    const CursorPictures pointer = PaintCursor(CursorKind::Pointer), loading = PaintCursor(CursorKind::Loading);
    EXPECT_EQ(pointer.picture.Width(), 85);
    EXPECT_EQ(pointer.picture.Height(), 90);
    EXPECT_EQ(PaintCursor(CursorKind::TurnLeft).picture.Height(), 85);
    float pointerInk = 0, loadingInk = 0;
    for (std::size_t i = 0; i < pointer.normal.size(); ++i) {
        pointerInk += pointer.normal[i];
        loadingInk += loading.normal[i];
    }
    EXPECT_GT(loadingInk, pointerInk * 1.3f) << "the loading cursor adds its hourglass to the arrow";
    // The hotspots' kinds: the highlighted pointer with a sign of its own, whole inside the
    // picture (no ink on its edges) and differing from every other kind's.
    const CursorKind kinds[] = {CursorKind::Walk, CursorKind::Take, CursorKind::Use, CursorKind::Look, CursorKind::Read, CursorKind::Back};
    std::vector<std::vector<float>> signs;
    for (CursorKind kind : kinds) {
        const CursorPictures cursor = PaintCursor(kind);
        ASSERT_EQ(cursor.picture.Width(), 85);
        ASSERT_EQ(cursor.picture.Height(), 90);
        float edge = 0, ink = 0;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 85; ++x) {
                const float a = cursor.normal[static_cast<std::size_t>(y) * 85 + x];
                ink += a;
                if (x == 84 || y == 89) edge += a;
            }
        EXPECT_EQ(edge, 0.0f) << "kind " << static_cast<int>(kind) << "'s sign runs off the picture";
        EXPECT_GT(ink, pointerInk * 1.3f) << "kind " << static_cast<int>(kind) << " has no sign beside the arrow";
        for (const std::vector<float>& other : signs) {
            float differ = 0;
            for (std::size_t i = 0; i < other.size(); ++i) differ += std::fabs(other[i] - cursor.normal[i]);
            EXPECT_GT(differ, 150.0f) << "kind " << static_cast<int>(kind) << " looks like another";
        }
        signs.push_back(cursor.normal);
    }

    std::vector<std::vector<float>> masks;
    for (ItemKind kind : {ItemKind::Journal, ItemKind::Lantern, ItemKind::Key, ItemKind::Gear, ItemKind::Crystal,
                          ItemKind::Medallion, ItemKind::Vial}) {
        const ItemPictures item = PaintItem(kind, Hex(0xc0a040));
        for (const auto& other : masks) EXPECT_NE(item.normal, other) << "item kind " << static_cast<int>(kind);
        masks.push_back(item.normal);
        EXPECT_GT(item.normal[37 * kItemSide + 37] + item.normal[45 * kItemSide + 37], 0.5f)
            << "the item covers the cursor's hot spot area, kind " << static_cast<int>(kind);
    }
}

TEST(ContentFilm, LengthFollowsTheSubtitlesAndPicturesFadeInFromBlack)
{
    FilmSpec film;
    film.width = 128;
    film.height = 64;
    film.seconds = 4.0;
    film.subtitles = {{0, ""}, {1000, "Line."}, {2000, ""}};
    EXPECT_DOUBLE_EQ(FilmLength(film), 4.0) << "subtitles that end early do not shorten it";
    film.subtitles.push_back({9000, ""});
    EXPECT_DOUBLE_EQ(FilmLength(film), 10.0);
    EXPECT_EQ(FilmFrameCount(film), 250);
    film.width = 640;
    EXPECT_THROW(WriteFilm("/nonexistent/x.wmv", film), Error) << "wider than the game's 512 x 256 video texture";
    film.width = 128;
    const PlaceSpec place{5, Setting::Court, {Hex(0x304878), Hex(0x8a8078), Hex(0x5a5448), Hex(0x2e5a2a), Hex(0xffb070)}, {}, 0.9f};
    film.shots = {{place, 1.0, 0.0f, 0.1f, ShotEffect::None}, {place, 1.0, 0.5f, 0.6f, ShotEffect::Dawn}};
    const std::vector<imaging::Image> stills = FilmStills(film);
    ASSERT_EQ(stills.size(), 2u);
    int lit = 0;
    for (int y = 0; y < 64; ++y) lit += Luma(stills[0], 64, y) > 20;
    EXPECT_GT(lit, 10) << "mid-shot the picture shows the place";
}

TEST(ContentPadding, SmallPicturesArePaddedBeyondTheirOffsetAndStillDecode)
{
    Canvas tiny(2, 2);
    for (PictureFormat format : {PictureFormat::Png, PictureFormat::Jpeg}) {
        const std::vector<std::uint8_t> bytes = EncodePicture(tiny.ToImage(), format, 5000);
        EXPECT_GE(bytes.size(), 5000u);
        imaging::Image image;
        std::string error;
        ASSERT_TRUE(imaging::DecodeImage(bytes.data(), bytes.size(), &image, &error)) << error;
        EXPECT_EQ(image.width, 2);
    }
}

// A list with one asset of each kind, small enough to make twice in a few seconds.
AssetList SmallList()
{
    AssetList list;
    PlaceSpec place{9, Setting::Cave, {Hex(0x101820), Hex(0x405a60), Hex(0x204050), Hex(0x305040), Hex(0x80d0ff)},
                    {{LandmarkKind::Tunnel, {100, 200, 150, 150}}, {LandmarkKind::Door, {600, 180, 150, 200}}}, 0.8f};
    list.FlatView("data/a_view.enc", place);
    place.landmarks[1].active = true;
    list.Overlay("data/a_view_overlay01.enc", place, false, {588, 168, 174, 212});
    list.Strip("data/a_strip.enc", 40, 40, 4, StripStyle::Lamps);
    list.Book("data/a_book_p", {{"Heading", "Some words on a page.", 1, 3}});
    list.Item(4, ItemKind::Gear, Hex(0xb07840), "");
    list.Cursor("data/cursor/cursor3", CursorKind::TurnRight, false);
    list.Sound("data/a_click.wav", SoundKind::LockClick, 1);
    list.Sound("data/a_chime.mp3", SoundKind::ItemChime, 2);
    FilmSpec film;
    film.width = 128;
    film.height = 64;
    film.framesPerSecond = 10;
    film.seconds = 1.0;
    film.shots = {{place, 1.0, 0.0f, 0.1f, ShotEffect::Dawn}};
    list.Film("data//FMV//a_film.wmv", film);
    return list;
}

TEST(ContentGenerator, RegenerationGivesTheSameBytes)
{
    const fs::path dir = fs::temp_directory_path() / ("kelvane_regen_test_" + std::to_string(::getpid()));
    const AssetList list = SmallList();
    GenerateOptions twoThreads;
    GenerateOptions oneThread;
    oneThread.threads = 1;
    const GenerateReport first = Generate(list.Assets(), (dir / "one").string(), twoThreads);
    const GenerateReport second = Generate(list.Assets(), (dir / "two").string(), oneThread);
    ASSERT_TRUE(first.errors.empty()) << first.errors.front();
    ASSERT_TRUE(second.errors.empty()) << second.errors.front();
    EXPECT_EQ(first.files, 12) << "view, overlay, strip, page, item (3), cursor (2), two sounds, film";
    for (const Asset& asset : list.Assets())
        for (const std::string& file : asset.files) {
            const auto a = ReadFile(FileForGamePath((dir / "one").string(), file));
            const auto b = ReadFile(FileForGamePath((dir / "two").string(), file));
            EXPECT_FALSE(a.empty()) << file;
            EXPECT_TRUE(a == b) << file << " differs between two runs";
        }
    fs::remove_all(dir);
}

TEST(ContentGenerator, CopiesTheWorldFilesAndTextsAndNamesTheirFoldersInTheMarker)
{
    const fs::path dir = fs::temp_directory_path() / ("kelvane_sources_test_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "world");
    fs::create_directories(dir / "po");
    std::ofstream(dir / "world/main.lua") << "include \"shore.lua\"\n";
    std::ofstream(dir / "world/shore.lua") << "variable(\"tide\", 1)\n";
    std::ofstream(dir / "world/notes.txt") << "not a world file";
    std::ofstream(dir / "po/kelvane.pot") << "msgctxt \"a\"\nmsgid \"A\"\nmsgstr \"\"\n";
    std::ofstream(dir / "po/de.po") << "msgctxt \"a\"\nmsgid \"A\"\nmsgstr \"Ä\"\n";

    const std::vector<Asset> assets = GameSourceAssets((dir / "world").string(), (dir / "po").string());
    std::vector<std::string> files;
    for (const Asset& asset : assets) files.insert(files.end(), asset.files.begin(), asset.files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"data/world/main.lua", "data/world/shore.lua", "data/po/de.po",
                                               "data/po/kelvane.pot"}));
    GenerateOptions options;
    options.markerLines = {"source world = " + (dir / "world").string()};
    ASSERT_TRUE(Generate(assets, (dir / "data").string(), options).errors.empty());
    EXPECT_EQ(ReadFile(dir / "data/world/shore.lua"), ReadFile(dir / "world/shore.lua"));
    EXPECT_EQ(ReadFile(dir / "data/po/de.po"), ReadFile(dir / "po/de.po"));
    EXPECT_FALSE(fs::exists(dir / "data/world/notes.txt"));
    const std::vector<std::uint8_t> marker = ReadFile(dir / "data" / GamePaths::kDataMarker);
    EXPECT_EQ(std::string(marker.begin(), marker.end()),
              GamePaths::DataMarkerText() + "source world = " + (dir / "world").string() + "\n");

    // A world folder without its main file is no world.
    fs::remove(dir / "world/main.lua");
    EXPECT_THROW(GameSourceAssets((dir / "world").string(), (dir / "po").string()), Error);
    EXPECT_THROW(GameSourceAssets((dir / "nowhere").string(), (dir / "po").string()), Error);
    fs::remove_all(dir);
}

TEST(ContentGenerator, KeepsOtherFilesMarksTheTreeAsTheGamesAndOnlyWholeRunsComplete)
{
    const fs::path dir = fs::temp_directory_path() / ("kelvane_marker_test_" + std::to_string(::getpid()));
    const fs::path out = dir / "data";
    fs::create_directories(out);
    std::ofstream(out / "own_picture.enc") << "a game maker's own file";
    AssetList list;
    list.Sound("data/a_click.wav", SoundKind::SwitchClick, 1);
    list.Sound("data/b_click.wav", SoundKind::SwitchClick, 2);

    GenerateOptions partial;
    partial.only = {"a_click"};
    EXPECT_TRUE(Generate(list.Assets(), out.string(), partial).errors.empty());
    EXPECT_TRUE(fs::exists(out / "a_click.wav"));
    EXPECT_FALSE(fs::exists(out / "b_click.wav"));
    EXPECT_FALSE(fs::exists(out / kCompleteMarker)) << "a partial run into an incomplete output does not complete it";
    const std::vector<std::uint8_t> marker = ReadFile(out / GamePaths::kDataMarker);
    EXPECT_EQ(std::string(marker.begin(), marker.end()), GamePaths::DataMarkerText())
        << "even a partial tree is the game's data, told apart from any other folder called data";

    EXPECT_TRUE(Generate(list.Assets(), out.string(), {}).errors.empty());
    EXPECT_TRUE(fs::exists(out / kCompleteMarker));
    EXPECT_TRUE(fs::exists(out / "own_picture.enc")) << "files the generator does not make are left alone";
    for (const auto& entry : fs::directory_iterator(out))
        EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos) << "no scratch directory is left behind";

    list.Add({"broken", {"data/broken.wav"}, 1.0, [](const AssetContext&) { throw Error("cannot"); }});
    const GenerateReport failed = Generate(list.Assets(), out.string(), {});
    ASSERT_EQ(failed.errors.size(), 1u);
    EXPECT_NE(failed.errors[0].find("broken"), std::string::npos);
    EXPECT_FALSE(fs::exists(out / kCompleteMarker)) << "a run with a failure leaves the output incomplete";
    fs::remove_all(dir);
}

}  // namespace

// A translation gets its own version of each picture that sets a text, in data/lang/<language>/
// under the same name and scrambled as the original, so that the game opens it in its place.
TEST(ContentGenerator, ATranslationGetsItsOwnVersionOfEveryPictureThatCarriesText)
{
    const auto listIn = [](const std::string& heading) {
        AssetList list;
        list.TextPicture("data/a_letter.enc", [heading] {
            Canvas c(512, 256, false, Hex(0xe8dcc0));
            c.Text(heading, 256, 100, 40, Hex(0x201810), true, false, TextAlign::Centre);
            return c;
        }, PictureFormat::Jpeg);
        list.FlatView("data/a_wall.enc", PlaceSpec{3, Setting::Cave, {Hex(0x101820), Hex(0x405a60), Hex(0x204050),
                                                                       Hex(0x305040), Hex(0x80d0ff)}, {}, 0.8f});
        return list;
    };
    const std::vector<Asset> translated = TranslatedAssets(listIn("[Lëttër ~~]").Assets(), "qps");
    ASSERT_EQ(translated.size(), 1u) << "only the picture with a text";
    EXPECT_EQ(translated[0].files, (std::vector<std::string>{"data/lang/qps/a_letter.enc"}));

    const fs::path dir = fs::temp_directory_path() / ("kelvane_translated_test_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    std::vector<Asset> assets = listIn("Letter").Assets();
    assets.insert(assets.end(), translated.begin(), translated.end());
    const GenerateReport report = Generate(assets, (dir / "data").string(), GenerateOptions{});
    ASSERT_TRUE(report.errors.empty()) << report.errors.front();
    EXPECT_FALSE(fs::exists(dir / "data/lang/qps/a_wall.enc"));
    const imaging::Image english = LoadAsGame(dir / "data", "data/a_letter.enc");
    const imaging::Image pseudo = LoadAsGame(dir / "data/lang/qps", "data/a_letter.enc");
    ASSERT_EQ(pseudo.width, english.width) << "scrambled with the original's offset, the same size";
    EXPECT_NE(pseudo.pixels, english.pixels) << "set in the translation's text";
    fs::remove_all(dir);

    // The game's own pictures that carry text: the read views, the books' pages, the labelled
    // panels, the tide clock's engraved plate and the title, and no place, item or film besides.
    const TextCatalogue qps = TextCatalogue::Load(KELVANE_GAME_TEXTS, {"qps"});
    std::set<std::string> files;
    for (const Asset& asset : TranslatedAssets(GameManifest(qps), "qps"))
        files.insert(asset.files.begin(), asset.files.end());
    for (const char* file : {"data/lang/qps/item2_letter.enc", "data/lang/qps/item7_watch.enc",
                             "data/lang/qps/logbook_p01.enc", "data/lang/qps/register_p05.enc",
                             "data/lang/qps/letters_p16.enc", "data/lang/qps/gallery_plaque.enc",
                             "data/lang/qps/dome_plaque.enc", "data/lang/qps/drowned_plaque.enc",
                             "data/lang/qps/shore_post.enc", "data/lang/qps/dome_panel1.enc",
                             "data/lang/qps/dome_panel4.enc", "data/lang/qps/opening_logo.enc",
                             "data/lang/qps/tide_clock.enc",
                             "data/lang/qps/menu/background.enc", "data/lang/qps/menu/restore.enc",
                             "data/lang/qps/menu/credits.enc", "data/lang/qps/menu/Top4.enc",
                             "data/lang/qps/menu/Top6.enc"})
        EXPECT_EQ(files.count(file), 1u) << file;
    for (const std::string& file : files) {
        EXPECT_EQ(file.find("_pano"), std::string::npos) << file << ": a place carries no text";
        EXPECT_EQ(file.find("FMV"), std::string::npos) << file << ": a film's words are its subtitles";
    }
}
