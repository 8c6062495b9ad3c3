#include "content/film.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "content/dmath.h"
#include "content/sounds.h"
#include "core/error.h"
#include "platform/media/media_writer.h"

namespace content {

namespace {

constexpr double kFadeSeconds = 0.8;  // from black at the start, to black at the end, between shots

// A shot's panorama at half size (1024 x 256): what the camera pans across.
Canvas HalfPanorama(const PlaceSpec& place)
{
    const Canvas full = PaintPanorama(place);
    Canvas half(full.Width() / 2, full.Height() / 2, true);
    for (int y = 0; y < half.Height(); ++y)
        for (int x = 0; x < half.Width(); ++x)
            half.At(x, y) = (full.At(2 * x, 2 * y) + full.At(2 * x + 1, 2 * y) + full.At(2 * x, 2 * y + 1) + full.At(2 * x + 1, 2 * y + 1)) * 0.25f;
    return half;
}

Rgb Sample(const Canvas& c, float x, float y)
{
    const int W = c.Width(), H = c.Height();
    const float fx = std::floor(x), fy = std::clamp(std::floor(y), 0.0f, static_cast<float>(H - 2));
    const int x0 = ((static_cast<int>(fx) % W) + W) % W, x1 = (x0 + 1) % W, y0 = static_cast<int>(fy);
    const float tx = x - fx, ty = std::clamp(y - fy, 0.0f, 1.0f);
    return Mix(Mix(c.At(x0, y0), c.At(x1, y0), tx), Mix(c.At(x0, y0 + 1), c.At(x1, y0 + 1), tx), ty);
}

struct Renderer {
    const FilmSpec& film;
    std::vector<Canvas> backgrounds;
    std::vector<double> starts;  // start of each shot, seconds
    double shotLength = 1.0;
    double length = 1.0;

    void Frame(std::uint8_t* rgb, int pitch, int index) const
    {
        const double t = static_cast<double>(index) / film.framesPerSecond;
        const int shot = std::min(static_cast<int>(t / shotLength), static_cast<int>(film.shots.size()) - 1);
        const double local = (t - shot * shotLength) / shotLength;  // 0 .. 1 within the shot
        const Shot& s = film.shots[static_cast<std::size_t>(shot)];
        const Canvas& bg = backgrounds[static_cast<std::size_t>(shot)];
        const float pan = Lerp(s.panFrom, s.panTo, static_cast<float>(local)) * bg.Width();
        // The view: the shot's band scaled so its height shows 200 of the 256 rows.
        const float scale = 200.0f / film.height;
        float shakeX = 0, shakeY = 0, dust = 0, dawn = 1.0f;
        if (s.effect == ShotEffect::Collapse && local > 0.4) {
            const float strength = static_cast<float>(std::min(1.0, (local - 0.4) * 4.0));
            shakeX = strength * 6.0f * static_cast<float>(Sin(index * 2.1));
            shakeY = strength * 4.0f * static_cast<float>(Sin(index * 3.3 + 1.0));
            dust = static_cast<float>(std::min(1.0, (local - 0.45) * 1.6));
        }
        if (s.effect == ShotEffect::Dawn) dawn = 0.45f + 0.8f * static_cast<float>(local);
        // Fades: in from black, out to black, and through black between shots.
        float fade = 1.0f;
        fade = std::min(fade, static_cast<float>(t / kFadeSeconds));
        fade = std::min(fade, static_cast<float>((length - t) / kFadeSeconds));
        const double inShot = t - shot * shotLength;
        if (shot > 0) fade = std::min(fade, static_cast<float>(inShot / (kFadeSeconds / 2)));
        if (shot + 1 < static_cast<int>(film.shots.size())) fade = std::min(fade, static_cast<float>((shotLength - inShot) / (kFadeSeconds / 2)));
        fade = Clamp01(fade);

        const Rgb dustColour = Hex(0x6a5a48);
        for (int y = 0; y < film.height; ++y) {
            std::uint8_t* row = rgb + static_cast<std::ptrdiff_t>(y) * pitch;
            for (int x = 0; x < film.width; ++x) {
                const float sx = pan + (x + shakeX) * scale, sy = 28.0f + (y + shakeY) * scale;
                Rgb p = Sample(bg, sx, sy) * dawn;
                if (dust > 0) p = Mix(p, dustColour * (0.6f + 0.4f * static_cast<float>(y) / film.height), dust * 0.7f);
                p = p * fade;
                row[x * 3] = static_cast<std::uint8_t>(std::lround(Clamp01(p.r) * 255));
                row[x * 3 + 1] = static_cast<std::uint8_t>(std::lround(Clamp01(p.g) * 255));
                row[x * 3 + 2] = static_cast<std::uint8_t>(std::lround(Clamp01(p.b) * 255));
            }
        }
        Particles(rgb, pitch, s, shot, local, fade);
    }

    // Sparks or falling rocks: each particle's path is a function of its seed and time.
    void Particles(std::uint8_t* rgb, int pitch, const Shot& s, int shot, double local, float fade) const
    {
        if (s.effect != ShotEffect::Embers && !(s.effect == ShotEffect::Collapse && local > 0.45)) return;
        const bool embers = s.effect == ShotEffect::Embers;
        for (std::uint32_t i = 0; i < 60; ++i) {
            const std::uint32_t h = Hash(film.seed, static_cast<std::uint32_t>(shot), i);
            const double born = Unit(h), speed = 0.5 + Unit(Hash(h)), life = local - born * 0.6;
            if (life < 0) continue;
            const float x = Unit(Hash(h, 1)) * film.width + (embers ? 10.0f * static_cast<float>(Sin(life * 9 + i)) : 0.0f);
            const float y = embers ? film.height * (1.0f - static_cast<float>(life * speed * 2.0))
                                   : film.height * static_cast<float>(life * life * speed * 9.0) - 10.0f;
            const int r = embers ? 1 : 2 + static_cast<int>(h % 3);
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    const int px = static_cast<int>(x) + dx, py = static_cast<int>(y) + dy;
                    if (px < 0 || py < 0 || px >= film.width || py >= film.height) continue;
                    std::uint8_t* p = rgb + static_cast<std::ptrdiff_t>(py) * pitch + px * 3;
                    const Rgb c = (embers ? Hex(0xffa040) : Hex(0x2a241e)) * fade;
                    p[0] = static_cast<std::uint8_t>(std::lround(Clamp01(c.r) * 255));
                    p[1] = static_cast<std::uint8_t>(std::lround(Clamp01(c.g) * 255));
                    p[2] = static_cast<std::uint8_t>(std::lround(Clamp01(c.b) * 255));
                }
        }
    }
};

// A low drone: two tones a fifth apart, rooted on the number of the shot playing at each time.
void AddDrone(SoundBuffer& track, double length, const std::function<int(double)>& shotAt)
{
    const std::size_t frames = static_cast<std::size_t>(track.Frames());
    double pa = 0, pb = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double root = 55.0 * (1.0 + 0.125 * (shotAt(t) % 4));
        pa += root / kSampleRate;
        pb += root * 1.5 / kSampleRate;
        const double fadeIn = std::min(1.0, t / 1.0), fadeOut = std::min(1.0, (length - t) / 1.0);
        const float v = static_cast<float>((Sin(kTwoPi * pa) * 0.5 + Sin(kTwoPi * pb) * 0.3) * 0.12 * fadeIn * std::max(0.0, fadeOut));
        track.samples[i * 2] += v;
        track.samples[i * 2 + 1] += v;
    }
}

// Murmur under each subtitle line: a buzzing voice shaped by two moving formants, broken into
// syllables.
void AddMurmur(SoundBuffer& track, const std::vector<SubtitleCue>& subtitles, std::uint32_t seed)
{
    const std::size_t frames = static_cast<std::size_t>(track.Frames());
    Rng rng(seed * 7 + 3);
    for (std::size_t c = 0; c < subtitles.size(); ++c) {
        if (subtitles[c].line.empty()) continue;
        const double from = subtitles[c].timeMs / 1000.0;
        const double to = c + 1 < subtitles.size() ? subtitles[c + 1].timeMs / 1000.0 : from + 2.0;
        const double pitch = 110.0 + 40.0 * rng.Uniform();
        double phase = 0;
        float f1 = 0, b1 = 0, f2 = 0, b2 = 0;
        for (std::size_t i = static_cast<std::size_t>(from * kSampleRate); i < std::min(frames, static_cast<std::size_t>((to - 0.15) * kSampleRate)); ++i) {
            const double t = static_cast<double>(i) / kSampleRate - from;
            phase += pitch * (1.0 + 0.08 * Sin(t * 2.3)) / kSampleRate;
            const float source = static_cast<float>(phase - std::floor(phase)) * 2.0f - 1.0f;
            const double syllable = 0.5 - 0.5 * Cos(kTwoPi * t * 4.2);
            const float formant1 = static_cast<float>(500.0 + 250.0 * Sin(t * 7.1)), formant2 = static_cast<float>(1500.0 + 500.0 * Sin(t * 5.3 + 1.0));
            const float g1 = 2.0f * static_cast<float>(Sin(kPi * formant1 / kSampleRate)), g2 = 2.0f * static_cast<float>(Sin(kPi * formant2 / kSampleRate));
            f1 += g1 * b1; b1 += g1 * (source - f1 - b1 / 6.0f);
            f2 += g2 * b2; b2 += g2 * (source - f2 - b2 / 8.0f);
            const float v = static_cast<float>((b1 + 0.6f * b2) * 0.12 * syllable * std::min(1.0, t / 0.05));
            track.samples[i * 2] += v;
            track.samples[i * 2 + 1] += v;
        }
    }
}

// Mixes `sound` (mono or stereo) into the stereo `track` from frame `at` on, as far as it reaches.
void AddAt(SoundBuffer& track, const SoundBuffer& sound, std::size_t at)
{
    const std::size_t frames = static_cast<std::size_t>(track.Frames());
    for (std::size_t i = 0; i < static_cast<std::size_t>(sound.Frames()) && at + i < frames; ++i) {
        const float left = sound.samples[i * sound.channels];
        const float right = sound.channels > 1 ? sound.samples[i * sound.channels + 1] : left;
        track.samples[(at + i) * 2] += left;
        track.samples[(at + i) * 2 + 1] += right;
    }
}

SoundBuffer SilentTrack(double length)
{
    SoundBuffer track;
    track.channels = 2;
    track.samples.assign(static_cast<std::size_t>(length * kSampleRate) * 2, 0.0f);
    return track;
}

void Clip(SoundBuffer& track)
{
    for (float& v : track.samples) v = std::clamp(v, -1.0f, 1.0f);
}

// The sound track of a painted film: the drone that follows the shots, the murmur, and a
// blast in collapsing shots.
SoundBuffer Soundtrack(const FilmSpec& film, double length, double shotLength)
{
    SoundBuffer track = SilentTrack(length);
    const int lastShot = static_cast<int>(film.shots.size()) - 1;
    AddDrone(track, length, [shotLength, lastShot](double t) { return std::min(static_cast<int>(t / shotLength), lastShot); });
    AddMurmur(track, film.subtitles, film.seed);
    for (std::size_t s = 0; s < film.shots.size(); ++s) {
        if (film.shots[s].effect != ShotEffect::Collapse) continue;
        AddAt(track, SynthSound(SoundKind::Explosion, film.seed + static_cast<std::uint32_t>(s)),
              static_cast<std::size_t>((s + 0.4) * shotLength * kSampleRate));
    }
    Clip(track);
    return track;
}

}  // namespace

double FilmLength(const FilmSpec& film)
{
    double length = film.seconds;
    if (!film.subtitles.empty()) length = std::max(length, film.subtitles.back().timeMs / 1000.0 + 1.0);
    return length;
}

int FilmFrameCount(const FilmSpec& film) { return static_cast<int>(std::lround(FilmLength(film) * film.framesPerSecond)); }

namespace {

Renderer PrepareRenderer(const std::string& path, const FilmSpec& film)
{
    if (film.width > 512 || film.height > 256 || film.width % 2 || film.height % 2)
        throw Error("Video \"" + path + "\": pictures must be even sizes of at most 512 x 256");
    if (film.shots.empty()) throw Error("Video \"" + path + "\": no shots");
    Renderer renderer{film, {}, {}, 1.0, FilmLength(film)};
    renderer.shotLength = renderer.length / static_cast<double>(film.shots.size());
    for (const Shot& shot : film.shots) renderer.backgrounds.push_back(HalfPanorama(shot.place));
    return renderer;
}

}  // namespace

std::vector<imaging::Image> FilmStills(const FilmSpec& film)
{
    const Renderer renderer = PrepareRenderer("(stills)", film);
    std::vector<imaging::Image> stills;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(film.width) * film.height * 3);
    for (std::size_t s = 0; s < film.shots.size(); ++s) {
        const int index = static_cast<int>(std::lround((s + 0.6) * renderer.shotLength * film.framesPerSecond));
        renderer.Frame(rgb.data(), film.width * 3, index);
        imaging::Image image;
        image.width = film.width;
        image.height = film.height;
        image.pixels.resize(static_cast<std::size_t>(film.width) * film.height * 4);
        for (std::size_t i = 0; i < static_cast<std::size_t>(film.width) * film.height; ++i) {
            image.pixels[i * 4] = rgb[i * 3 + 2];
            image.pixels[i * 4 + 1] = rgb[i * 3 + 1];
            image.pixels[i * 4 + 2] = rgb[i * 3];
            image.pixels[i * 4 + 3] = 255;
        }
        stills.push_back(std::move(image));
    }
    return stills;
}

namespace {

// Writes pictures and a stereo track as a .wmv.
void WriteVideo(const std::string& path, int width, int height, int framesPerSecond, int frameCount,
                platform::PictureGenerator pictures, const SoundBuffer& track)
{
    platform::VideoSpec layout;
    layout.width = width;
    layout.height = height;
    layout.framesPerSecond = framesPerSecond;
    layout.frameCount = frameCount;
    layout.bitRate = 1200000;
    layout.pictures = std::move(pictures);
    platform::SoundSpec sound;
    sound.sampleRate = kSampleRate;
    sound.channels = 2;
    sound.frames = track.Frames();
    sound.samples = [&track](float* out, int frames, std::int64_t first) {
        std::copy_n(track.samples.begin() + static_cast<std::ptrdiff_t>(first * 2), static_cast<std::size_t>(frames) * 2, out);
    };
    layout.sound = sound;
    platform::WriteVideoFile(path, layout);
}

}  // namespace

void WriteFilm(const std::string& path, const FilmSpec& film)
{
    const Renderer renderer = PrepareRenderer(path, film);
    const SoundBuffer track = Soundtrack(film, renderer.length, renderer.shotLength);
    WriteVideo(path, film.width, film.height, film.framesPerSecond, FilmFrameCount(film),
               [&renderer](std::uint8_t* rgb, int, int, int pitch, int index) { renderer.Frame(rgb, pitch, index); }, track);
}

// ---- films of given pictures ----

namespace {

constexpr double kDipSeconds = 0.4;  // to black and back between shots of different places

double ShotsLength(const PictureFilm& film)
{
    double length = 0;
    for (const PictureShot& shot : film.shots) length += shot.seconds;
    return length;
}

// Where picture `index` falls: its shot and the seconds into that shot.
struct ShotTime {
    std::size_t shot = 0;
    double local = 0;
    int frame = 0;  // frames into the shot
};

ShotTime TimeOf(const PictureFilm& film, int index)
{
    ShotTime at;
    int first = 0;
    double start = 0;
    for (std::size_t s = 0; s < film.shots.size(); ++s) {
        const double end = start + film.shots[s].seconds;
        const int next = static_cast<int>(std::lround(end * film.framesPerSecond));
        if (index < next || s + 1 == film.shots.size()) {
            at.shot = s;
            at.frame = index - first;
            at.local = static_cast<double>(at.frame) / film.framesPerSecond;
            return at;
        }
        first = next;
        start = end;
    }
    return at;
}

// Where a film pixel's centre falls in a source picture along one axis, for bilinear
// sampling (source pixel centres at +0.5): the two source pixels and the weight of the second.
struct Tap {
    int first = 0, second = 0;
    float weight = 0;
};

std::vector<Tap> Taps(double start, double step, int count, int size)
{
    std::vector<Tap> taps(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double f = std::clamp(start + (i + 0.5) * step - 0.5, 0.0, size - 1.0);
        Tap& tap = taps[static_cast<std::size_t>(i)];
        tap.first = static_cast<int>(f);
        tap.second = std::min(tap.first + 1, size - 1);
        tap.weight = static_cast<float>(f - tap.first);
    }
    return taps;
}

// A byte of a non-negative value, rounded half up as lround does (the same result, without
// the library call per pixel).
std::uint8_t RoundedByte(float v) { return static_cast<std::uint8_t>(static_cast<int>(static_cast<double>(v) + 0.5)); }

void CheckPictureFilm(const std::string& path, const PictureFilm& film)
{
    if (film.width > 512 || film.height > 256 || film.width % 2 || film.height % 2)
        throw Error("Video \"" + path + "\": pictures must be even sizes of at most 512 x 256");
    if (film.shots.empty()) throw Error("Video \"" + path + "\": no shots");
    for (const PictureShot& shot : film.shots)
        if (shot.frames.empty() && (shot.still.width == 0 || shot.from.width <= 0 || shot.to.width <= 0))
            throw Error("Video \"" + path + "\": a shot has neither frames nor a still with its windows");
}

// Picture `index` into `rgb` (bytes red, green, blue; rows `pitch` apart).
void DrawFrame(const PictureFilm& film, int index, std::uint8_t* rgb, int pitch)
{
    const ShotTime at = TimeOf(film, index);
    const PictureShot& shot = film.shots[at.shot];
    const imaging::Image* source = &shot.still;
    Window view;
    if (!shot.frames.empty()) {
        const int last = static_cast<int>(shot.frames.size()) - 1;
        int picture = at.frame;
        if (shot.frameSpan > 1 && last > 0)
            picture = static_cast<int>((static_cast<std::int64_t>(at.frame) * last * 2 + (shot.frameSpan - 1)) /
                                       (2 * (shot.frameSpan - 1)));  // the nearest in time
        source = &shot.frames[static_cast<std::size_t>(std::clamp(picture, 0, last))];
        view = {0, 0, static_cast<double>(source->width), static_cast<double>(source->height)};
    } else {
        const float u = Smooth(0.0f, 1.0f, static_cast<float>(at.local / shot.seconds));
        view = {Lerp(static_cast<float>(shot.from.x), static_cast<float>(shot.to.x), u),
                Lerp(static_cast<float>(shot.from.y), static_cast<float>(shot.to.y), u),
                Lerp(static_cast<float>(shot.from.width), static_cast<float>(shot.to.width), u),
                Lerp(static_cast<float>(shot.from.height), static_cast<float>(shot.to.height), u)};
    }
    // Fades: in from black at the start, out at the end, through black into a new place.
    const double t = static_cast<double>(index) / film.framesPerSecond, length = FilmLength(film);
    double fade = std::min({1.0, t / kFadeSeconds, (length - t) / kFadeSeconds});
    if (shot.throughBlack) fade = std::min(fade, at.local / kDipSeconds);
    if (at.shot + 1 < film.shots.size() && film.shots[at.shot + 1].throughBlack)
        fade = std::min(fade, (shot.seconds - at.local) / kDipSeconds);
    const float gain = Clamp01(static_cast<float>(fade));
    // The window's columns and rows as bilinear taps into the picture, worked out once a frame.
    const std::vector<Tap> columns = Taps(view.x, view.width / film.width, film.width, source->width);
    const std::vector<Tap> rows = Taps(view.y, view.height / film.height, film.height, source->height);
    for (int y = 0; y < film.height; ++y) {
        std::uint8_t* row = rgb + static_cast<std::ptrdiff_t>(y) * pitch;
        const Tap& r = rows[static_cast<std::size_t>(y)];
        const std::uint8_t* upper = source->Row(r.first);
        const std::uint8_t* lower = source->Row(r.second);
        for (int x = 0; x < film.width; ++x) {
            const Tap& c = columns[static_cast<std::size_t>(x)];
            const int a = c.first * 4, b = c.second * 4;
            float p[3];
            for (int k = 0; k < 3; ++k) {
                const float top = Lerp(upper[a + k], upper[b + k], c.weight);
                const float bottom = Lerp(lower[a + k], lower[b + k], c.weight);
                p[k] = Lerp(top, bottom, r.weight);
            }
            row[x * 3] = RoundedByte(p[2] * gain);
            row[x * 3 + 1] = RoundedByte(p[1] * gain);
            row[x * 3 + 2] = RoundedByte(p[0] * gain);
        }
    }
}

}  // namespace

double FilmLength(const PictureFilm& film)
{
    double length = ShotsLength(film);
    if (!film.subtitles.empty()) length = std::max(length, film.subtitles.back().timeMs / 1000.0 + 1.0);
    return length;
}

int FilmFrameCount(const PictureFilm& film) { return static_cast<int>(std::lround(FilmLength(film) * film.framesPerSecond)); }

imaging::Image FilmFrame(const PictureFilm& film, int index)
{
    CheckPictureFilm("(frame)", film);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(film.width) * film.height * 3);
    DrawFrame(film, index, rgb.data(), film.width * 3);
    imaging::Image image{film.width, film.height, std::vector<std::uint8_t>(static_cast<std::size_t>(film.width) * film.height * 4)};
    for (std::size_t i = 0; i < static_cast<std::size_t>(film.width) * film.height; ++i) {
        image.pixels[i * 4] = rgb[i * 3 + 2];
        image.pixels[i * 4 + 1] = rgb[i * 3 + 1];
        image.pixels[i * 4 + 2] = rgb[i * 3];
        image.pixels[i * 4 + 3] = 255;
    }
    return image;
}

SoundBuffer FilmSoundtrack(const PictureFilm& film)
{
    const double length = FilmLength(film);
    SoundBuffer track = SilentTrack(length);
    AddAt(track, film.sound, 0);
    // The drone follows the shots by their seconds, so that the track is the same at any
    // picture rate.
    if (film.drone && !film.shots.empty())
        AddDrone(track, length, [&film](double t) {
            std::size_t shot = 0;
            for (double end = film.shots[0].seconds; shot + 1 < film.shots.size() && t >= end;)
                end += film.shots[++shot].seconds;
            return static_cast<int>(shot);
        });
    AddMurmur(track, film.subtitles, film.seed);
    Clip(track);
    return track;
}

void WriteFilm(const std::string& path, const PictureFilm& film)
{
    CheckPictureFilm(path, film);
    const SoundBuffer track = FilmSoundtrack(film);
    WriteVideo(path, film.width, film.height, film.framesPerSecond, FilmFrameCount(film),
               [&film](std::uint8_t* rgb, int, int, int pitch, int index) { DrawFrame(film, index, rgb, pitch); }, track);
}

std::vector<imaging::Image> FilmStills(const PictureFilm& film)
{
    std::vector<imaging::Image> stills;
    double start = 0;
    for (const PictureShot& shot : film.shots) {
        for (double part : {0.25, 0.5, 0.75})
            stills.push_back(FilmFrame(film, static_cast<int>((start + part * shot.seconds) * film.framesPerSecond)));
        start += shot.seconds;
    }
    return stills;
}

}  // namespace content
