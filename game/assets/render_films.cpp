// The world's films, planned as takes of the film shots (game/scenes/films/), all at 25 frames a second: moving
// takes rendered frame by frame, holds on a moving take's first or last frame with the view
// easing in or out, and stills (larger renders) seen through a slowly moving window for the
// long voiced films, every frame its own window on the still. Each event film carries the
// sound of its event, timed to its picture; the voiced films keep their subtitle lists and a
// murmur under each line. Drafts render every third moment of a moving take and hold each
// for three frames: the same film, length and sound, a third of the renders.
#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "content/output.h"
#include "game/assets/render_films.h"
#include "game/assets/render_groups.h"
#include "game/assets/world_art.h"
#include "render/animation.h"
#include "render/kit.h"
#include "render/prelude.h"

namespace world_render {

FilmShot Moving(const std::string& sceneFile) { return {sceneFile, "#declare ShotClock = clock;\n"}; }
FilmShot At(const std::string& sceneFile, double t) { return {sceneFile, render::Format("#declare ShotClock = %.4f;\n", t)}; }
FilmShot Declaring(FilmShot shot, const std::string& name, double value)
{
    shot.prelude += "#declare " + name + " = " + render::PreludeNumber(value) + ";\n";
    return shot;
}

std::vector<double> LampMoments()
{
    std::vector<double> moments;
    for (int k = 0; k < 36; ++k) moments.push_back(0.08 + 0.78 * k / 35.0);
    return moments;
}

namespace {

namespace wc = world_content;
namespace fs = std::filesystem;
using content::FilmEvent;

constexpr int kFilmWidth = 512;
constexpr int kFilmHeight = 256;
constexpr int kStillWidth = 1024;  // stills are rendered larger, so that a window moving over them stays sharp
constexpr int kStillHeight = 512;
constexpr int kFilmRate = 25;
constexpr int kDraftFrameStep = 3;  // drafts render one moment of a moving take in three

enum class TakeKind {
    Moving,     // the scene rendered at every frame, T running 0 .. 1
    HoldFirst,  // the next moving take's first frame, the view easing out to it
    HoldLast,   // the last moving take's last frame, the view easing in from it
    Still,      // one larger render, seen through a window moving from `from` to `to`
};

struct Take {
    TakeKind kind = TakeKind::Moving;
    double seconds = 1.0;
    std::string name;  // Moving, Still: the shot's name in errors
    FilmShot shot;     // Moving, Still
    double zoom = 1.06;  // holds: how much closer the view comes
    content::Window from, to;  // stills, in the still's pixels
    bool throughBlack = false;
    bool reversed = false;  // Moving: played last frame first (the same frames as the event run back)
};

Take MovingTake(const std::string& name, FilmShot shot, double seconds)
{
    Take take;
    take.seconds = seconds;
    take.name = name;
    take.shot = std::move(shot);
    return take;
}
Take Hold(TakeKind kind, double seconds)
{
    Take take;
    take.kind = kind;
    take.seconds = seconds;
    return take;
}

// A still seen through a window half its width (a film frame's shape) drifting from one
// place to another; x and y are the window's centre as fractions of the still, `width` its
// width as a fraction.
content::Window WindowAt(double x, double y, double width)
{
    const double w = width * kStillWidth, h = w * kFilmHeight / kFilmWidth;
    return {x * kStillWidth - w / 2, y * kStillHeight - h / 2, w, h};
}
Take StillTake(const std::string& name, FilmShot shot, double seconds, content::Window from, content::Window to,
               bool throughBlack = true)
{
    Take take = MovingTake(name, std::move(shot), seconds);
    take.kind = TakeKind::Still;
    take.from = from;
    take.to = to;
    take.throughBlack = throughBlack;
    return take;
}

struct FilmPlan {
    const wc::FilmDef* def = nullptr;
    int framesPerSecond = kFilmRate;
    std::vector<Take> takes;
    std::optional<content::FilmSoundSpec> sound;
    bool drone = false;
    std::uint32_t seed = 1;
};

std::string Narrow(const wchar_t* path)
{
    std::string out;
    for (const wchar_t* p = path; *p != 0; ++p) out.push_back(static_cast<char>(*p));
    return out;
}

int FramesOf(const Take& take, int rate) { return static_cast<int>(std::lround(take.seconds * rate)); }

// The moments of a moving take of `frames` film frames that a run renders: every one, or for
// drafts every third from the first to the last.
int RenderedFramesOf(int frames, render::Quality quality)
{
    if (quality != render::Quality::Draft || frames <= 2) return frames;
    return (frames - 2) / kDraftFrameStep + 2;
}

// The film time of moment `t` (0 .. 1) of moving take `index`.
double TimeOf(const FilmPlan& plan, std::size_t index, double t)
{
    double start = 0;
    for (std::size_t i = 0; i < index; ++i) start += plan.takes[i].seconds;
    const int frames = FramesOf(plan.takes[index], plan.framesPerSecond);
    return start + t * (frames - 1) / plan.framesPerSecond;
}

std::vector<content::SubtitleCue> Subtitles(const wc::FilmDef& def)
{
    std::vector<content::SubtitleCue> cues;
    for (std::size_t i = 0; i < def.cueCount; ++i) cues.push_back({def.cues[i].time, def.cues[i].line});
    return cues;
}

content::SoundBuffer EventSound(const FilmPlan& plan)
{
    if (!plan.sound) return {};
    content::FilmSoundSpec timing = *plan.sound;
    timing.seconds = plan.def->seconds;
    return content::SynthFilmSound(timing);
}

// Renders the plan's takes at the run's quality and puts the film together.
content::PictureFilm MakeFilm(const FilmPlan& plan, const render::RenderSettings& settings)
{
    content::PictureFilm film;
    film.width = kFilmWidth;
    film.height = kFilmHeight;
    film.framesPerSecond = plan.framesPerSecond;
    film.subtitles = Subtitles(*plan.def);
    film.sound = EventSound(plan);
    film.drone = plan.drone;
    film.seed = plan.seed;
    std::vector<std::vector<imaging::Image>> rendered(plan.takes.size());
    // The stills are rendered side by side, one povray each (it idles between its steps); a
    // shot used twice is rendered once.
    const auto same = [&](std::size_t a, std::size_t b) {
        return plan.takes[a].shot.sceneFile == plan.takes[b].shot.sceneFile && plan.takes[a].shot.prelude == plan.takes[b].shot.prelude;
    };
    std::vector<std::size_t> stills;
    for (std::size_t i = 0; i < plan.takes.size(); ++i)
        if (plan.takes[i].kind == TakeKind::Still && std::none_of(stills.begin(), stills.end(), [&](std::size_t s) { return same(s, i); }))
            stills.push_back(i);
    std::vector<std::exception_ptr> failures(stills.size());
    std::vector<std::thread> runs;
    for (std::size_t k = 0; k < stills.size(); ++k)
        runs.emplace_back([&, k] {
            const Take& take = plan.takes[stills[k]];
            try {
                rendered[stills[k]] = render::RenderFrames(
                    {take.name, take.shot.prelude, kStillWidth, kStillHeight, 1, take.shot.sceneFile}, settings);
            } catch (...) {
                failures[k] = std::current_exception();
            }
        });
    std::exception_ptr movingFailure;  // the stills' renders are waited for before it is passed on
    try {
        for (std::size_t i = 0; i < plan.takes.size(); ++i) {
            const Take& take = plan.takes[i];
            if (take.kind != TakeKind::Moving) continue;
            const int frames = RenderedFramesOf(FramesOf(take, plan.framesPerSecond), settings.quality);
            rendered[i] = render::RenderFrames({take.name, take.shot.prelude, kFilmWidth, kFilmHeight, frames, take.shot.sceneFile},
                                               settings);
            if (take.reversed) std::reverse(rendered[i].begin(), rendered[i].end());
        }
    } catch (...) {
        movingFailure = std::current_exception();
    }
    for (std::thread& run : runs) run.join();
    if (movingFailure) std::rethrow_exception(movingFailure);
    for (const std::exception_ptr& failure : failures)
        if (failure) std::rethrow_exception(failure);
    for (std::size_t i = 0; i < plan.takes.size(); ++i)
        if (plan.takes[i].kind == TakeKind::Still && rendered[i].empty())
            for (std::size_t s : stills)
                if (same(s, i)) rendered[i] = rendered[s];
    const content::Window whole{0, 0, static_cast<double>(kFilmWidth), static_cast<double>(kFilmHeight)};
    for (std::size_t i = 0; i < plan.takes.size(); ++i) {
        const Take& take = plan.takes[i];
        content::PictureShot shot;
        shot.seconds = take.seconds;
        shot.throughBlack = take.throughBlack;
        switch (take.kind) {
        case TakeKind::Moving:
            shot.frames = std::move(rendered[i]);
            shot.frameSpan = FramesOf(take, plan.framesPerSecond);
            break;
        case TakeKind::Still:
            shot.still = rendered[i].front();
            shot.from = take.from;
            shot.to = take.to;
            break;
        case TakeKind::HoldFirst:
        case TakeKind::HoldLast: {
            const bool first = take.kind == TakeKind::HoldFirst;
            const std::size_t next = first ? i + 1 : i - 1;
            const std::vector<imaging::Image>& frames = first ? rendered[next] : film.shots[next].frames;
            shot.still = first ? frames.front() : frames.back();
            const double w = kFilmWidth / take.zoom, h = kFilmHeight / take.zoom;
            const content::Window close{(kFilmWidth - w) / 2, (kFilmHeight - h) / 2, w, h};
            shot.from = first ? close : whole;
            shot.to = first ? whole : close;
            break;
        }
        }
        film.shots.push_back(std::move(shot));
    }
    return film;
}

// A film's rough cost beside the pictures' (a flat view 15, a panorama 40): its rendered
// frames, its stills (each about a flat view), and putting every frame of it together.
double RenderWeight(const FilmPlan& plan)
{
    double weight = 0;
    for (const Take& take : plan.takes) {
        const int frames = FramesOf(take, plan.framesPerSecond);
        if (take.kind == TakeKind::Moving) weight += frames / 8.0;
        if (take.kind == TakeKind::Still) weight += 15.0;
        weight += frames / 100.0;
    }
    return weight;
}

content::Asset FilmAsset(FilmPlan plan)
{
    const std::string gamePath = Narrow(plan.def->path);
    const double weight = RenderWeight(plan);
    return {gamePath, {gamePath}, weight, [gamePath, plan = std::move(plan)](const content::AssetContext& context) {
                const content::PictureFilm film = MakeFilm(plan, context.render);
                const std::string file = content::FileForGamePath(context.outputDir, gamePath);
                fs::create_directories(fs::path(file).parent_path());
                content::WriteFilm(file, film);
                if (context.previewDir.empty()) return;
                const std::vector<imaging::Image> stills = content::FilmStills(film);
                const std::string name = gamePath.substr(gamePath.rfind('/') + 1);
                for (std::size_t i = 0; i < stills.size(); ++i)
                    content::WriteBytes((fs::path(context.previewDir) / (name + ".shot" + std::to_string(i + 1) + ".png")).string(),
                                        imaging::EncodePng(stills[i]));
            }};
}

// ---- the plans ----

// The flats' shot with the water going from tide `from` to tide `to` (1 high .. 4 lowest ebb).
FilmShot Tides(FilmShot shot, int from, int to)
{
    return Declaring(Declaring(std::move(shot), "TideFrom", from), "TideTo", to);
}

// An event film: a short hold on the first frame, the event, a hold on its last frame.
FilmPlan EventFilm(const wc::FilmDef& def, const std::string& name, FilmShot shot, double holdBefore,
                   double holdAfter, FilmEvent event, std::uint32_t seed)
{
    FilmPlan plan;
    plan.def = &def;
    plan.seed = seed;
    const double moving = def.seconds - holdBefore - holdAfter;
    if (holdBefore > 0) plan.takes.push_back(Hold(TakeKind::HoldFirst, holdBefore));
    plan.takes.push_back(MovingTake(name, std::move(shot), moving));
    if (holdAfter > 0) plan.takes.push_back(Hold(TakeKind::HoldLast, holdAfter));
    plan.sound = content::FilmSoundSpec{event, def.seconds, {}, seed};
    return plan;
}

// The moments `ts` of the film's moving take, in film seconds.
std::vector<double> Moments(const FilmPlan& plan, const std::vector<double>& ts)
{
    std::size_t moving = 0;
    while (plan.takes[moving].kind != TakeKind::Moving) ++moving;
    std::vector<double> times;
    for (double t : ts) times.push_back(TimeOf(plan, moving, t));
    return times;
}

std::vector<FilmPlan> EventPlans()
{
    std::vector<FilmPlan> plans;
    FilmPlan gate = EventFilm(wc::Art().Film("gate"), "gate", Moving("films/gate.pov"), 0.8, 0.8, FilmEvent::Gate, 205);
    gate.sound->times = Moments(gate, {0.12, 0.86});
    plans.push_back(std::move(gate));

    FilmPlan pump = EventFilm(wc::Art().Film("pump"), "pump", Moving("films/pump.pov"), 0.7, 0.7, FilmEvent::Pump, 206);
    pump.sound->times = Moments(pump, {0.0, 0.25, 0.5, 0.75});  // the crank turns four times
    plans.push_back(std::move(pump));

    FilmPlan collapse = EventFilm(wc::Art().Film("sea_gate"), "collapse", Moving("films/sea_gate.pov"), 0.8, 0.8, FilmEvent::SeaGate, 207);
    collapse.sound->times = Moments(collapse, {0.22});
    plans.push_back(std::move(collapse));

    for (int tide = 1; tide <= 4; ++tide) {
        // The clock brings the water up to high water only from half ebb: the fall from high
        // water to half ebb run back. Every other tide it takes the water down from the one above.
        const bool rising = tide == 1;
        FilmPlan flats = EventFilm(wc::Art().Film("tide" + std::to_string(tide)), "tide" + std::to_string(tide),
                                   Tides(Moving("films/tide.pov"), rising ? 1 : tide - 1, rising ? 2 : tide), 0.8, 0.8,
                                   rising ? FilmEvent::TideIn : FilmEvent::TideOut, 210 + static_cast<std::uint32_t>(tide));
        flats.takes[1].reversed = rising;
        plans.push_back(std::move(flats));
    }

    FilmPlan hatch = EventFilm(wc::Art().Film("hatch"), "hatch", Moving("films/hatch.pov"), 0.7, 0.7, FilmEvent::Hatch, 220);
    hatch.sound->times = Moments(hatch, {0.08, 0.32, 0.86});
    plans.push_back(std::move(hatch));

    FilmPlan lamps = EventFilm(wc::Art().Film("lamps"), "lamps", Moving("films/lamps.pov"), 0.0, 0.8, FilmEvent::Lamps, 221);
    lamps.sound->times = Moments(lamps, LampMoments());
    plans.push_back(std::move(lamps));

    FilmPlan shutter = EventFilm(wc::Art().Film("shutter"), "shutter", Moving("films/shutter.pov"), 0.8, 0.8, FilmEvent::Shutter, 222);
    shutter.sound->times = Moments(shutter, {0.14, 0.86});
    plans.push_back(std::move(shutter));

    FilmPlan door = EventFilm(wc::Art().Film("sea_door"), "seadoor", Moving("films/sea_door.pov"), 0.7, 0.7, FilmEvent::SeaDoor, 223);
    door.sound->times = Moments(door, {0.08, 0.42, 0.7});
    plans.push_back(std::move(door));

    // The lens: it rises into the telescope and lights; then the light goes out over the water.
    FilmPlan lens;
    lens.def = &wc::Art().Film("lens");
    lens.seed = 224;
    lens.takes = {Hold(TakeKind::HoldFirst, 0.6), MovingTake("lens", Moving("films/lens.pov"), 3.2),
                  MovingTake("lens beam", Moving("films/beam.pov"), 4.2)};
    lens.takes.back().throughBlack = true;
    lens.sound = content::FilmSoundSpec{FilmEvent::Lens, wc::Art().Film("lens").seconds, {TimeOf(lens, 1, 0.62), TimeOf(lens, 1, 0.9)}, 224};
    plans.push_back(std::move(lens));

    // The arrival: the boat running in to the island, its lamps dark.
    FilmPlan arrival;
    arrival.def = &wc::Art().Film("arrival");
    arrival.seed = 201;
    arrival.takes = {MovingTake("arrival", Moving("films/crossing.pov"), 6.0), Hold(TakeKind::HoldLast, wc::Art().Film("arrival").seconds - 6.0)};
    arrival.sound = content::FilmSoundSpec{FilmEvent::Crossing, wc::Art().Film("arrival").seconds, {}, 201};
    for (double stroke = 0.4; stroke < 8.0; stroke += 2.0) arrival.sound->times.push_back(stroke);
    plans.push_back(std::move(arrival));
    return plans;
}

// A voiced film told over stills: each shot `seconds` long, drifting across its still.
FilmPlan VoicedFilm(const wc::FilmDef& def, std::vector<Take> takes, std::uint32_t seed)
{
    FilmPlan plan;
    plan.def = &def;
    plan.framesPerSecond = kFilmRate;
    plan.seed = seed;
    plan.drone = true;
    plan.takes = std::move(takes);
    plan.takes.front().throughBlack = false;
    // The last shot runs to the end of the film.
    double before = 0;
    for (std::size_t i = 0; i + 1 < plan.takes.size(); ++i) before += plan.takes[i].seconds;
    plan.takes.back().seconds = def.seconds - before;
    return plan;
}

std::vector<FilmPlan> VoicedPlans()
{
    // The stills, each a moment of a film shot.
    const FilmShot island = At("films/crossing.pov", 0.95), beam = At("films/beam.pov", 0.55),
                   doorShut = At("films/sea_door.pov", 0.0), doorOpen = At("films/sea_door.pov", 1.0),
                   cistern = At("films/pump.pov", 0.0), gallery = At("films/lamps.pov", 0.0), lit = At("films/lamps.pov", 1.0),
                   stars = At("films/shutter.pov", 1.0), lens = At("films/lens.pov", 1.0), ebb = Tides(At("films/tide.pov", 1.0), 3, 4);
    std::vector<FilmPlan> plans;
    plans.push_back(VoicedFilm(
        wc::Art().Film("letters"),
        {StillTake("letters: the island", island, 30.0, WindowAt(0.5, 0.55, 0.8), WindowAt(0.45, 0.5, 0.6)),
         StillTake("letters: the sea door", doorShut, 36.5, WindowAt(0.5, 0.5, 0.9), WindowAt(0.5, 0.5, 0.6)),
         StillTake("letters: the cistern", cistern, 30.0, WindowAt(0.4, 0.5, 0.75), WindowAt(0.6, 0.55, 0.7)),
         StillTake("letters: the gallery", gallery, 31.5, WindowAt(0.55, 0.5, 0.7), WindowAt(0.45, 0.45, 0.85))},
        202));
    plans.push_back(VoicedFilm(
        wc::Art().Film("recorder"),
        {StillTake("recorder: the sea door", doorShut, 47.5, WindowAt(0.45, 0.55, 0.65), WindowAt(0.5, 0.45, 0.85)),
         StillTake("recorder: the stars", stars, 40.0, WindowAt(0.5, 0.6, 0.9), WindowAt(0.5, 0.4, 0.65)),
         StillTake("recorder: the island", island, 24.5, WindowAt(0.55, 0.5, 0.65), WindowAt(0.5, 0.5, 0.9))},
        203));
    plans.push_back(VoicedFilm(
        wc::Art().Film("ending"),
        {StillTake("ending: the lens", lens, 16.0, WindowAt(0.5, 0.5, 0.9), WindowAt(0.5, 0.5, 0.65)),
         StillTake("ending: the lamps", lit, 23.0, WindowAt(0.4, 0.5, 0.8), WindowAt(0.6, 0.5, 0.8)),
         StillTake("ending: the light", beam, 29.5, WindowAt(0.5, 0.5, 0.9), WindowAt(0.5, 0.45, 0.7)),
         StillTake("ending: the sea door", doorOpen, 27.0, WindowAt(0.5, 0.5, 0.65), WindowAt(0.5, 0.5, 0.9)),
         StillTake("ending: the flats", ebb, 37.5, WindowAt(0.35, 0.5, 0.7), WindowAt(0.6, 0.5, 0.7)),
         StillTake("ending: Kelvane", beam, 39.5, WindowAt(0.5, 0.5, 0.6), WindowAt(0.5, 0.5, 1.0))},
        204));
    return plans;
}

std::vector<FilmPlan> Plans()
{
    std::vector<FilmPlan> plans = EventPlans();
    for (FilmPlan& plan : VoicedPlans()) plans.push_back(std::move(plan));
    return plans;
}

}  // namespace

std::vector<FilmOutline> FilmOutlines()
{
    std::vector<FilmOutline> outlines;
    for (const FilmPlan& plan : Plans()) {
        FilmOutline outline;
        outline.gamePath = Narrow(plan.def->path);
        outline.framesPerSecond = plan.framesPerSecond;
        outline.subtitles = Subtitles(*plan.def);
        for (const Take& take : plan.takes) {
            outline.seconds += take.seconds;
            if (take.kind == TakeKind::Moving) outline.renderedFrames += FramesOf(take, plan.framesPerSecond);
            if (take.kind == TakeKind::Still) ++outline.stills;
        }
        // The track as written, without the pictures.
        content::PictureFilm unseen;
        unseen.framesPerSecond = plan.framesPerSecond;
        unseen.subtitles = outline.subtitles;
        unseen.sound = EventSound(plan);
        unseen.drone = plan.drone;
        unseen.seed = plan.seed;
        for (const Take& take : plan.takes) {
            content::PictureShot shot;
            shot.seconds = take.seconds;
            shot.throughBlack = take.throughBlack;
            unseen.shots.push_back(std::move(shot));
        }
        outline.sound = content::FilmSoundtrack(unseen);
        outlines.push_back(std::move(outline));
    }
    return outlines;
}

void AddFilms(std::vector<content::Asset>& rendered)
{
    for (FilmPlan& plan : Plans()) rendered.push_back(FilmAsset(std::move(plan)));
}

}  // namespace world_render
