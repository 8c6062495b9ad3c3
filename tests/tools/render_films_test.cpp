// The world's films rendered from scenes: frame sequences keep povray's clock across the parts
// rendered side by side, repeat exactly and come back from the cache; a film's shots hold,
// pan and dip as planned; a short film of a real scene is a WMV2 + WMA2 video at the game's
// size and rate whose pictures move; every event film sounds its own event, and the voiced
// films keep their subtitle lists.
#include "content/film.h"
#include "core/error.h"
#include "game/assets/render_films.h"
#include "game/assets/render_groups.h"
#include "game/assets/world_art.h"
#include "platform/audio/audio_mixer.h"
#include "platform/media/media_graph.h"
#include "render/animation.h"
#include "renderer_available.h"

#include <gtest/gtest.h>

#include <algorithm>
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
namespace wc = world_content;


struct TempDir {
    fs::path path = fs::temp_directory_path() / ("kelvane_films_test_" + std::to_string(::getpid()));
    TempDir() { fs::create_directories(path); }
    ~TempDir() { fs::remove_all(path); }
};

// The column of the brightest pixel on the middle row.
int BrightestColumn(const imaging::Image& image)
{
    int best = 0, column = 0;
    for (int x = 0; x < image.width; ++x) {
        const std::uint8_t* p = image.Row(image.height / 2) + x * 4;
        if (p[0] + p[1] + p[2] > best) {
            best = p[0] + p[1] + p[2];
            column = x;
        }
    }
    return column;
}

double MeanDifference(const imaging::Image& a, const imaging::Image& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) sum += std::abs(a.pixels[i] - b.pixels[i]);
    return sum / static_cast<double>(a.pixels.size());
}

double Rms(const content::SoundBuffer& sound, double from, double to)
{
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = static_cast<std::size_t>(from * content::kSampleRate) * sound.channels;
         i < static_cast<std::size_t>(to * content::kSampleRate) * sound.channels && i < sound.samples.size(); ++i, ++n)
        sum += sound.samples[i] * sound.samples[i];
    return n == 0 ? 0.0 : std::sqrt(sum / static_cast<double>(n));
}

// A white ball crossing a black field from left to right as the clock runs.
render::AnimationRequest CrossingBall(int frames)
{
    return {"crossing ball",
            "camera { orthographic location <0, 0, -5> look_at <0, 0, 0> right x * 4 up y * 2 }\n"
            "background { rgb 0 }\n"
            "sphere { <-1.6 + clock * 3.2, 0, 0>, 0.25 pigment { rgb 1 } finish { ambient 1 diffuse 0 } }\n",
            64, 32, frames, {}};
}

TEST(FilmFrames, ClockRunsAcrossThePartsAndTheSequenceRepeatsFromTheCache)
{
    REQUIRE_RENDERER();
    const TempDir dir;
    render::RenderSettings settings;
    settings.quality = render::Quality::Full;
    settings.cacheDir = (dir.path / "cache").string();
    const render::AnimationRequest request = CrossingBall(17);  // two parts of povray's subset options
    const std::vector<imaging::Image> frames = render::RenderFrames(request, settings);
    ASSERT_EQ(frames.size(), 17u);
    for (const imaging::Image& frame : frames) {
        EXPECT_EQ(frame.width, 64);
        EXPECT_EQ(frame.height, 32);
    }
    EXPECT_LT(BrightestColumn(frames.front()), 14) << "the ball starts at the left (clock 0)";
    EXPECT_GT(BrightestColumn(frames.back()), 50) << "and ends at the right (clock 1)";
    for (std::size_t i = 1; i < frames.size(); ++i)
        EXPECT_GE(BrightestColumn(frames[i]), BrightestColumn(frames[i - 1])) << "the clock never runs back, frame " << i;

    // Rendered again without the cache, the same pixels.
    render::RenderSettings uncached = settings;
    uncached.cacheDir.clear();
    const std::vector<imaging::Image> again = render::RenderFrames(request, uncached);
    for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(again[i].pixels, frames[i].pixels) << "frame " << i;

    // The cache holds the sequence whole, and a second run reads it instead of rendering.
    const fs::path kept = fs::path(settings.cacheDir) /
                          (render::AnimationHash(request, settings.quality, render::RendererVersion("povray")) + ".frames");
    ASSERT_TRUE(fs::is_directory(kept));
    imaging::Image marked = frames[3];
    std::fill(marked.pixels.begin(), marked.pixels.end(), 200);
    {
        const std::vector<std::uint8_t> png = imaging::EncodePng(marked);
        std::ofstream out(kept / "0004.png", std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
    EXPECT_EQ(render::RenderFrames(request, settings)[3].pixels, marked.pixels) << "the cached frame is used";

    // A changed scene is a new sequence.
    render::AnimationRequest moved = request;
    moved.scene += "sphere { <0, 0.6, 0>, 0.1 pigment { rgb 1 } finish { ambient 1 diffuse 0 } }\n";
    EXPECT_NE(render::AnimationHash(moved, settings.quality, "v"), render::AnimationHash(request, settings.quality, "v"));
}

TEST(FilmFrames, DraftsAreRenderedSmallAndFailuresNameTheScene)
{
    REQUIRE_RENDERER();
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    int width = 0, height = 0;
    render::FrameSize(CrossingBall(3), settings.quality, &width, &height);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 8);
    const TempDir dir;
    settings.cacheDir = (dir.path / "cache").string();
    const std::vector<imaging::Image> frames = render::RenderFrames(CrossingBall(3), settings);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].width, 64) << "scaled up to the size asked for";
    // The cache keeps the small frames, and gives back the same scaled pictures.
    const fs::path kept = fs::path(settings.cacheDir) /
                          (render::AnimationHash(CrossingBall(3), settings.quality, render::RendererVersion("povray")) + ".frames");
    imaging::Image small;
    ASSERT_TRUE(render::ReadPng((kept / "0002.png").string(), &small));
    EXPECT_EQ(small.width, 16);
    const std::vector<imaging::Image> again = render::RenderFrames(CrossingBall(3), settings);
    for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(again[i].pixels, frames[i].pixels) << "frame " << i;

    render::AnimationRequest broken = CrossingBall(3);
    broken.scene += "sphere { <0, 0, 0> oops }\n";
    try {
        render::RenderFrames(broken, settings);
        FAIL() << "a scene that does not parse must fail";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("crossing ball"), std::string::npos) << e.what();
    }
}

// A picture whose every column has its own colour, for following a window across it.
imaging::Image Ramp(int width, int height)
{
    imaging::Image image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4, 255)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            image.Row(y)[x * 4] = static_cast<std::uint8_t>(x * 255 / (width - 1));
            image.Row(y)[x * 4 + 1] = 128;
            image.Row(y)[x * 4 + 2] = 64;
        }
    return image;
}

TEST(PictureFilm, FramesPlayThenHoldStillsPanAndNewPlacesDipThroughBlack)
{
    content::PictureFilm film;
    film.width = 64;
    film.height = 32;
    film.framesPerSecond = 10;
    content::PictureShot moving;
    moving.seconds = 2.0;
    for (int i = 0; i < 12; ++i) {  // fewer frames than the shot: the last is held
        imaging::Image frame{64, 32, std::vector<std::uint8_t>(64 * 32 * 4, static_cast<std::uint8_t>(10 + i * 20))};
        moving.frames.push_back(frame);
    }
    content::PictureShot pan;
    pan.seconds = 2.0;
    pan.still = Ramp(256, 128);
    pan.from = {0, 0, 64, 32};
    pan.to = {192, 96, 64, 32};
    pan.throughBlack = true;
    film.shots = {moving, pan};
    EXPECT_DOUBLE_EQ(content::FilmLength(film), 4.0);
    EXPECT_EQ(content::FilmFrameCount(film), 40);

    EXPECT_EQ(content::FilmFrame(film, 9).Row(16)[32 * 4], 190) << "picture 9 of the film is the shot's frame 9";
    EXPECT_EQ(content::FilmFrame(film, 14).Row(16)[32 * 4], 230) << "past its frames the shot holds the last";
    EXPECT_LT(content::FilmFrame(film, 19).Row(16)[32 * 4], 60) << "it dips to black before the new place";
    EXPECT_LT(content::FilmFrame(film, 20).Row(16)[32 * 4], 10) << "which comes up from black";
    EXPECT_EQ(content::FilmFrame(film, 0).Row(16)[32 * 4], 0) << "the film starts from black";
    const int early = content::FilmFrame(film, 25).Row(16)[32 * 4], late = content::FilmFrame(film, 31).Row(16)[32 * 4];
    EXPECT_GT(late, early + 40) << "the window moves across the still to the right";

    film.subtitles = {{0, ""}, {5000, "A line."}, {6000, ""}};
    EXPECT_DOUBLE_EQ(content::FilmLength(film), 7.0) << "the last shot is held to carry the subtitles";
    pan.still = {};
    film.shots = {pan};
    EXPECT_THROW(content::WriteFilm("/nonexistent/x.wmv", film), Error) << "a shot with nothing to show";
}

// The column a thin bright line lies at in a frame's middle row, to a fraction of a pixel:
// the centre of its brightness.
double LineCentre(const imaging::Image& frame)
{
    double sum = 0, weighted = 0;
    for (int x = 0; x < frame.width; ++x) {
        const double v = frame.Row(frame.height / 2)[x * 4];
        sum += v;
        weighted += v * (x + 0.5);
    }
    return sum > 0 ? weighted / sum : -1;
}

TEST(PictureFilm, APanMovesItsWindowEveryFrameByAFractionOfAPixel)
{
    // A black still with one bright column, seen through a window sliding 12 pixels in 4 s:
    // about a tenth of a pixel a frame, eased.
    imaging::Image still{256, 32, std::vector<std::uint8_t>(256 * 32 * 4, 0)};
    for (int y = 0; y < 32; ++y) still.Row(y)[150 * 4] = 255;
    content::PictureFilm film;
    film.width = 64;
    film.height = 32;
    content::PictureShot pan;
    pan.seconds = 4.0;
    pan.still = still;
    pan.from = {100, 0, 64, 32};
    pan.to = {112, 0, 64, 32};
    film.shots = {pan};
    ASSERT_EQ(content::FilmFrameCount(film), 100);
    double before = 0;
    for (int i = 25; i < 75; ++i) {  // clear of the fades
        const double t = i / 100.0, eased = t * t * (3 - 2 * t);
        const double line = LineCentre(content::FilmFrame(film, i));
        EXPECT_NEAR(line, 150.5 - (100 + 12 * eased), 0.03) << "frame " << i << " sits where the eased window puts it";
        if (i > 25) {
            EXPECT_LT(line, before - 0.05) << "frame " << i << " moves on from the one before";
        }
        before = line;
    }
}

TEST(PictureFilm, DraftFramesSpreadOverTheirShotAndTheSoundDoesNotFollowThePictureRate)
{
    // Four pictures of a motion spread over ten film frames: first and last in place, each
    // frame showing the picture nearest its moment.
    content::PictureFilm film;
    film.width = 8;
    film.height = 4;
    content::PictureShot moving;
    moving.seconds = 0.4;
    moving.frameSpan = 10;
    for (int i = 0; i < 4; ++i)
        moving.frames.push_back({8, 4, std::vector<std::uint8_t>(8 * 4 * 4, static_cast<std::uint8_t>(40 + i * 40))});
    content::PictureShot after = moving;
    after.frameSpan = 0;
    film.shots = {moving, after};
    // The film fades in from black: each frame is compared with the same frame of pictures
    // all 200, for its gain.
    content::PictureFilm flat = film;
    for (content::PictureShot& shot : flat.shots)
        for (imaging::Image& f : shot.frames) std::fill(f.pixels.begin(), f.pixels.end(), 200);
    const auto expected = [&](int j, int picture) {
        return (40 + picture * 40) * (content::FilmFrame(flat, j).Row(2)[0] / 200.0);
    };
    const int shown[] = {0, 0, 1, 1, 1, 2, 2, 2, 3, 3};
    for (int j = 2; j < 10; ++j)
        EXPECT_NEAR(content::FilmFrame(film, j).Row(2)[0], expected(j, shown[j]), 1.5) << "film frame " << j;
    EXPECT_NEAR(content::FilmFrame(film, 12).Row(2)[0], expected(12, 2), 1.5) << "without a span, one picture a frame";

    // A voiced film's drone changes with its shots at their seconds, whatever the picture rate.
    content::PictureFilm voiced;
    voiced.drone = true;
    voiced.subtitles = {{0, ""}, {500, "A line."}, {2500, ""}};
    content::PictureShot a;
    a.seconds = 1.5;  // ends between two frames at 25 a second
    content::PictureShot b = a;
    b.seconds = 2.5;
    voiced.shots = {a, b};
    voiced.framesPerSecond = 12;
    const content::SoundBuffer slow = content::FilmSoundtrack(voiced);
    voiced.framesPerSecond = 25;
    EXPECT_EQ(content::FilmSoundtrack(voiced).samples, slow.samples);
}

// Records each frame's picture as it is presented.
struct KeepingSink : platform::FrameSink {
    std::mutex lock;
    platform::VideoFormat format;
    std::vector<std::vector<std::uint8_t>> frames;
    void SetMediaType(const platform::VideoFormat& f) override { format = f; }
    void DoRenderSample(const std::uint8_t* frame, std::size_t bytes, std::int64_t) override
    {
        std::lock_guard<std::mutex> guard(lock);
        frames.emplace_back(frame, frame + bytes);
    }
};

// One frame of a film shot at draft quality, small: the shot after `shot.prelude`.
imaging::Image ShotFrame(const world_render::FilmShot& shot)
{
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    return render::RenderFrames({shot.sceneFile, shot.prelude, 128, 64, 1, shot.sceneFile}, settings).front();
}

// Every shot of the films' scene folder renders alone (its clock at its first moment) and
// moves as its clock runs; the flats' water stands where the prelude's tides put it.
TEST(FilmShots, EachShotRendersAloneAtItsFirstMomentAndMovesWithItsClock)
{
    REQUIRE_RENDERER();
    std::vector<std::string> shots;
    for (const auto& entry : fs::directory_iterator(fs::path(render::DefaultSceneLibrary()) / "films"))
        if (entry.path().extension() == ".pov") shots.push_back("films/" + entry.path().filename().string());
    EXPECT_EQ(shots.size(), 11u);
    for (const std::string& file : shots) {
        const imaging::Image first = ShotFrame(world_render::At(file, 0.0));
        EXPECT_EQ(ShotFrame({file, ""}).pixels, first.pixels) << file << " alone is not its first moment";
        EXPECT_GT(MeanDifference(first, ShotFrame(world_render::At(file, 1.0))), 0.3) << file << " does not move";
    }
    const auto flats = [](int from, int to) {
        return ShotFrame(world_render::Declaring(world_render::Declaring(world_render::At("films/tide.pov", 1.0), "TideFrom", from),
                                                 "TideTo", to));
    };
    EXPECT_EQ(flats(3, 4).pixels, ShotFrame(world_render::At("films/tide.pov", 1.0)).pixels) << "alone, the lowest ebb";
    EXPECT_GT(MeanDifference(flats(1, 2), flats(3, 4)), 1.0) << "half ebb and the lowest ebb look alike";
}

TEST(RenderedFilms, AShortFilmOfTheGateIsAWmv2Wma2VideoAtTheGameSizeAndRateThatMoves)
{
    REQUIRE_RENDERER();
    const TempDir dir;
    render::RenderSettings settings;
    settings.quality = render::Quality::Draft;
    const world_render::FilmShot gate = world_render::Moving("films/gate.pov");
    const std::vector<imaging::Image> frames =
        render::RenderFrames({"gate", gate.prelude, 512, 256, 60, gate.sceneFile}, settings);
    EXPECT_GT(MeanDifference(frames[22], frames[36]), 3.0) << "the gate swings between the two frames";

    content::PictureFilm film;
    content::PictureShot shot;
    shot.seconds = 2.4;
    shot.frames = frames;
    film.shots = {shot};
    film.sound = content::SynthFilmSound({content::FilmEvent::Gate, 2.4, {0.3, 2.0}, 5});
    const fs::path file = dir.path / "gate.wmv";
    content::WriteFilm(file.string(), film);

    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(bytes.find("WMV2"), std::string::npos) << "WMV2 pictures";
    EXPECT_NE(bytes.find(std::string("\x61\x01\x02\x00\x44\xac\x00\x00", 8)), std::string::npos)
        << "WMA2 sound (format 0x0161), stereo at 44.1 kHz";

    platform::Mixer mixer(platform::Mixer::Output::Manual);
    KeepingSink sink;
    const std::string name = file.string();
    auto graph = platform::MediaGraph::RenderFile(std::wstring(name.begin(), name.end()), &sink, &mixer);
    ASSERT_TRUE(graph->IsRendered()) << graph->GetError();
    EXPECT_TRUE(graph->HasAudio());
    EXPECT_EQ(sink.format.width, 512);
    EXPECT_EQ(sink.format.height, 256);
    platform::MediaTime duration = 0;
    graph->GetDuration(&duration);
    EXPECT_NEAR(duration / 1e7, 2.4, 0.1);
    graph->Run();
    std::vector<float> out(2 * 480);
    for (int i = 0; i < 4000; ++i) {
        platform::MediaTime current = 0, stop = 0;
        graph->GetPositions(&current, &stop);
        if (current >= stop) break;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
        mixer.Mix(out.data(), 480);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::lock_guard<std::mutex> guard(sink.lock);
    EXPECT_GE(static_cast<int>(sink.frames.size()), 59) << "60 frames at 25 a second";
    ASSERT_GE(sink.frames.size(), 40u);
    // Both frames lie between the fade from black and the fade to black.
    double changed = 0;
    for (std::size_t i = 0; i < sink.frames[22].size(); ++i) changed += std::abs(sink.frames[22][i] - sink.frames[36][i]);
    EXPECT_GT(changed / static_cast<double>(sink.frames[22].size()), 2.0) << "the decoded pictures move";
}

const world_render::FilmOutline& OutlineOf(const std::vector<world_render::FilmOutline>& outlines, const wchar_t* path)
{
    const std::wstring wide(path);
    const std::string narrow(wide.begin(), wide.end());
    const auto it = std::find_if(outlines.begin(), outlines.end(),
                                 [&narrow](const world_render::FilmOutline& o) { return o.gamePath == narrow; });
    if (it == outlines.end()) throw Error("no film " + narrow);
    return *it;
}

// The films' plans with their sound tracks, made once for the suite.
class FilmPlans : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_outlines = world_render::FilmOutlines(); }
    static std::vector<world_render::FilmOutline> s_outlines;
};
std::vector<world_render::FilmOutline> FilmPlans::s_outlines;

TEST_F(FilmPlans, EveryFilmIsRenderedAndEveryEventSoundsItsOwn)
{
    const std::vector<world_render::FilmOutline>& outlines = s_outlines;
    const wc::FilmDef* events[] = {&wc::Art().Film("gate"), &wc::Art().Film("pump"), &wc::Art().Film("sea_gate"), &wc::Art().Film("tide1"),
                                   &wc::Art().Film("tide2"), &wc::Art().Film("tide3"), &wc::Art().Film("tide4"), &wc::Art().Film("hatch"),
                                   &wc::Art().Film("lamps"), &wc::Art().Film("shutter"), &wc::Art().Film("sea_door"), &wc::Art().Film("lens")};
    EXPECT_EQ(outlines.size(), 16u);
    std::vector<const content::SoundBuffer*> sounds;
    for (const wc::FilmDef* def : events) {
        const world_render::FilmOutline& film = OutlineOf(outlines, def->path);
        EXPECT_EQ(film.framesPerSecond, 25) << film.gamePath;
        EXPECT_NEAR(film.seconds, def->seconds, 1e-9) << film.gamePath << " keeps its length";
        EXPECT_GT(film.renderedFrames, film.seconds * 25 * 0.6) << film.gamePath << " is mostly frames of its event";
        EXPECT_GT(Rms(film.sound, 0, film.seconds), 0.02) << film.gamePath << " is heard";
        sounds.push_back(&film.sound);
    }
    for (std::size_t a = 0; a < sounds.size(); ++a)
        for (std::size_t b = a + 1; b < sounds.size(); ++b)
            EXPECT_NE(sounds[a]->samples, sounds[b]->samples) << "events " << a << " and " << b << " share a sound";

    // The gate's hinge is heard while it swings, not before.
    const world_render::FilmOutline& gate = OutlineOf(outlines, wc::Art().Film("gate").path);
    EXPECT_GT(Rms(gate.sound, 1.5, 3.0), 2 * Rms(gate.sound, 0.0, 0.5));

    std::vector<content::Asset> assets;
    world_render::AddFilms(assets);
    std::set<std::string> names;
    for (const content::Asset& asset : assets) names.insert(asset.name);
    for (const world_render::FilmOutline& film : outlines) EXPECT_EQ(names.count(film.gamePath), 1u) << film.gamePath;
}

TEST_F(FilmPlans, VoicedFilmsKeepTheirSubtitlesWithAMurmurUnderEachLine)
{
    const std::vector<world_render::FilmOutline>& outlines = s_outlines;
    for (const wc::FilmDef* def : {&wc::Art().Film("arrival"), &wc::Art().Film("letters"), &wc::Art().Film("recorder"), &wc::Art().Film("ending")}) {
        const world_render::FilmOutline& film = OutlineOf(outlines, def->path);
        ASSERT_EQ(film.subtitles.size(), def->cueCount) << film.gamePath;
        for (std::size_t i = 0; i < def->cueCount; ++i) {
            EXPECT_EQ(film.subtitles[i].timeMs, def->cues[i].time) << film.gamePath << " cue " << i;
            EXPECT_EQ(film.subtitles[i].line, def->cues[i].line) << film.gamePath << " cue " << i;
        }
        EXPECT_NEAR(film.seconds, def->cues[def->cueCount - 1].time / 1000.0 + 1.0, 1e-9) << film.gamePath;
        EXPECT_GT(film.renderedFrames + film.stills, 0) << film.gamePath << " shows rendered pictures";
    }
    for (const world_render::FilmOutline& film : outlines)
        EXPECT_EQ(film.framesPerSecond, 25) << film.gamePath << " is shown at 25 frames a second";
    // In the letters, the keeper's first line is voiced over a quiet opening.
    const world_render::FilmOutline& letters = OutlineOf(outlines, wc::Art().Film("letters").path);
    EXPECT_GT(Rms(letters.sound, 2.0, 5.5), 1.5 * Rms(letters.sound, 6.2, 6.9));
}

}  // namespace
