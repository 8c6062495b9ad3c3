#include "content/sounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <utility>

#include "content/dmath.h"
#include "core/error.h"
#include "platform/media/media_writer.h"

namespace content {

namespace {

constexpr double kRate = kSampleRate;

// ---- building blocks -----------------------------------------------------------------------

// Single-cycle wave tables, read with linear interpolation (cheap and the same everywhere).
constexpr int kTableSize = 4096;
enum class Wave { Sine, Saw, Soft };

const std::vector<float>& Table(Wave wave)
{
    static const std::array<std::vector<float>, 3> tables = [] {
        std::array<std::vector<float>, 3> t;
        for (auto& v : t) v.resize(kTableSize + 1);
        for (int i = 0; i <= kTableSize; ++i) {
            const double ph = kTwoPi * i / kTableSize;
            t[0][i] = static_cast<float>(Sin(ph));
            double saw = 0, soft = 0;
            for (int n = 1; n <= 10; ++n) saw += Sin(n * ph) / n;
            for (int n = 1; n <= 7; n += 2) soft += Sin(n * ph) / (n * n);
            t[1][i] = static_cast<float>(saw * 0.55);
            t[2][i] = static_cast<float>(soft * 0.8);
        }
        return t;
    }();
    return tables[static_cast<int>(wave)];
}

float Read(const std::vector<float>& table, double phase)
{
    const double p = (phase - std::floor(phase)) * kTableSize;
    const int i = static_cast<int>(p);
    const float f = static_cast<float>(p - i);
    return table[i] + (table[i + 1] - table[i]) * f;
}

double NoteHz(int midi) { return 440.0 * Exp((midi - 69) * 0.057762265046662105); }  // 2^(n/12)

// Resonant band-pass/low-pass (state-variable filter).
struct Svf {
    float low = 0, band = 0;
    float Process(float in, float cutoffHz, float q, bool bandPass)
    {
        const float f = 2.0f * static_cast<float>(Sin(kPi * std::min(cutoffHz, 16000.0f) / kRate));
        low += f * band;
        const float high = in - low - band / q;
        band += f * high;
        return bandPass ? band : low;
    }
};

// A small Schroeder reverb: four combs and two all-passes per channel.
class Reverb {
public:
    Reverb(float size, float damping, int channelOffset)
    {
        const int combs[4] = {1557, 1617, 1491, 1422}, passes[2] = {556, 441};
        for (int i = 0; i < 4; ++i) c_combs[i].assign(static_cast<std::size_t>((combs[i] + channelOffset) * size), 0.0f);
        for (int i = 0; i < 2; ++i) c_passes[i].assign(static_cast<std::size_t>(passes[i] + channelOffset), 0.0f);
        c_fDamping = damping;
    }
    float Process(float in)
    {
        float out = 0;
        for (int i = 0; i < 4; ++i) {
            auto& line = c_combs[i];
            std::size_t& pos = c_combPos[i];
            const float y = line[pos];
            c_filter[i] = y * (1.0f - c_fDamping) + c_filter[i] * c_fDamping;
            line[pos] = in + c_filter[i] * 0.84f;
            pos = (pos + 1) % line.size();
            out += y;
        }
        for (int i = 0; i < 2; ++i) {
            auto& line = c_passes[i];
            std::size_t& pos = c_passPos[i];
            const float b = line[pos];
            line[pos] = out + b * 0.5f;
            out = b - out;
            pos = (pos + 1) % line.size();
        }
        return out * 0.25f;
    }

private:
    std::array<std::vector<float>, 4> c_combs;
    std::array<std::vector<float>, 2> c_passes;
    std::array<std::size_t, 4> c_combPos{};
    std::array<std::size_t, 2> c_passPos{};
    std::array<float, 4> c_filter{};
    float c_fDamping = 0.3f;
};

SoundBuffer Mono(double seconds)
{
    SoundBuffer b;
    b.channels = 1;
    b.samples.assign(static_cast<std::size_t>(seconds * kRate), 0.0f);
    return b;
}

void AddReverb(SoundBuffer& b, float size, float wet)
{
    Reverb reverb(size, 0.35f, 0);
    for (float& s : b.samples) s = s + wet * reverb.Process(s);
}

// Scales the peak to `peak` and fades the last 20 ms to silence.
void Finish(SoundBuffer& b, float peak)
{
    float m = 1e-6f;
    for (float s : b.samples) m = std::max(m, std::fabs(s));
    const std::size_t n = b.samples.size(), fade = std::min<std::size_t>(n, static_cast<std::size_t>(0.02 * kRate) * b.channels);
    for (std::size_t i = 0; i < n; ++i) {
        float g = peak / m;
        if (i >= n - fade) g *= static_cast<float>(n - i) / fade;
        b.samples[i] *= g;
    }
}

float Noise(Rng& rng) { return rng.Uniform() * 2.0f - 1.0f; }

// ---- effects -------------------------------------------------------------------------------

SoundBuffer Drip(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(1.6);
    const double f0 = 900 + 700 * rng.Uniform(), start = 0.02;
    double phase = 0;
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const double t = i / kRate - start;
        if (t < 0) continue;
        const double f = f0 * (1.0 + 1.2 * (1.0 - Exp(-t / 0.018)));
        phase += f / kRate;
        b.samples[i] = static_cast<float>(Sin(kTwoPi * phase) * Exp(-t / 0.035) + (t < 0.002 ? 0.4 * Noise(rng) : 0.0));
    }
    AddReverb(b, 1.3f, 0.9f);
    Finish(b, 0.6f);
    return b;
}

SoundBuffer Click(std::uint32_t seed, const std::vector<double>& times, const std::vector<double>& modes, double decay, double seconds)
{
    Rng rng(seed);
    SoundBuffer b = Mono(seconds);
    for (double at : times)
        for (std::size_t m = 0; m < modes.size(); ++m) {
            const double f = modes[m] * (0.97 + 0.06 * rng.Uniform());
            for (std::size_t i = static_cast<std::size_t>(at * kRate); i < b.samples.size(); ++i) {
                const double t = i / kRate - at;
                if (t > decay * 8) break;
                b.samples[i] += static_cast<float>(Sin(kTwoPi * f * t) * Exp(-t / decay) / (m + 1));
            }
            for (int k = 0; k < 60; ++k) {
                const std::size_t i = static_cast<std::size_t>(at * kRate) + k;
                if (i < b.samples.size()) b.samples[i] += 0.5f * Noise(rng) * (1.0f - k / 60.0f);
            }
        }
    return b;
}

SoundBuffer Explosion(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(4.0);
    Svf filter, rumble;
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const double t = i / kRate;
        const float cutoff = static_cast<float>(200.0 + 3200.0 * Exp(-t / 0.25));
        const double env = (1.0 - Exp(-t / 0.004)) * Exp(-t / 0.9);
        const float crackle = rng.Uniform() < 0.002f * static_cast<float>(Exp(-t / 0.6)) ? Noise(rng) * 4.0f : 0.0f;
        const float n = filter.Process(Noise(rng) + crackle, cutoff, 0.7f, false);
        const float low = rumble.Process(Noise(rng), 70.0f, 0.9f, false) * 3.0f;
        const double thump = Sin(kTwoPi * (48.0 * t + 30.0 * (1.0 - Exp(-t / 0.08)) * 0.08)) * Exp(-t / 0.35);
        b.samples[i] = static_cast<float>(env * (n + low * Exp(-t / 1.6) * 1.5) + 0.9 * thump);
    }
    AddReverb(b, 1.5f, 0.6f);
    Finish(b, 0.85f);
    return b;
}

SoundBuffer PageTurn(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(0.7);
    Svf filter;
    float jitter = 1.0f;
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const double t = i / kRate;
        if (i % 220 == 0) jitter = 0.5f + rng.Uniform();
        const double env = Smooth(0.0f, 0.12f, static_cast<float>(t)) * Exp(-Smooth(0.2f, 0.6f, static_cast<float>(t)) * 5.0);
        const float cutoff = 2500.0f + 3500.0f * static_cast<float>(t / 0.7);
        b.samples[i] = static_cast<float>(env) * jitter * filter.Process(Noise(rng), cutoff, 0.8f, true);
    }
    Finish(b, 0.5f);
    return b;
}

SoundBuffer Door(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(1.8);
    Svf body1, body2, thud;
    double next = 0.05, period = 1.0 / 90.0;
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const double t = i / kRate;
        float excite = 0;
        if (t < 1.0 && t >= next) {  // stick-slip of the hinge: impulses at a wandering rate
            excite = 1.0f;
            period = 1.0 / (70.0 + 60.0 * Sin(t * 4.2) * Sin(t * 1.3 + 0.4) + 20.0 * rng.Uniform());
            next += period;
        }
        const float creak = body1.Process(excite, 650.0f, 9.0f, true) + 0.6f * body2.Process(excite, 1450.0f, 12.0f, true);
        const double env = Smooth(0.0f, 0.1f, static_cast<float>(t)) * (t < 1.0 ? 1.0 : Exp(-(t - 1.0) / 0.05));
        double knock = 0;
        if (t > 1.05) {
            const double u = t - 1.05;
            knock = (Sin(kTwoPi * 75.0 * u) * 0.9 + thud.Process(Noise(rng), 300.0f, 0.7f, false) * 1.5) * Exp(-u / 0.12);
        }
        b.samples[i] = static_cast<float>(creak * env * 0.3 + knock);
    }
    AddReverb(b, 0.9f, 0.35f);
    Finish(b, 0.75f);
    return b;
}

SoundBuffer Chime(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(1.4);
    const double f = 660.0 * (1.0 + 0.5 * rng.Uniform());
    const double partials[] = {1.0, 2.76, 5.4, 8.93};
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const double t = i / kRate;
        double s = 0;
        for (int k = 0; k < 4; ++k) s += Sin(kTwoPi * f * partials[k] * t) * Exp(-t * (2.0 + 3.0 * k)) / (k + 1);
        b.samples[i] = static_cast<float>(s * (1.0 - Exp(-t / 0.002)));
    }
    AddReverb(b, 1.0f, 0.4f);
    Finish(b, 0.5f);
    return b;
}

SoundBuffer Whoosh(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(1.2);
    Svf filter;
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const float t = static_cast<float>(i / kRate);
        const float env = Smooth(0.0f, 0.5f, t) * (1.0f - Smooth(0.5f, 1.2f, t));
        b.samples[i] = env * filter.Process(Noise(rng), 300.0f + 2500.0f * env, 2.0f, true);
    }
    Finish(b, 0.5f);
    return b;
}

// Made further down, from the pieces of the films' sounds.
SoundBuffer IronClank(std::uint32_t seed);
SoundBuffer LeverCreak(std::uint32_t seed);
SoundBuffer Ratchet(std::uint32_t seed);
SoundBuffer BrassSeat(std::uint32_t seed);
SoundBuffer SeaPound(std::uint32_t seed);
SoundBuffer ShoreBed(std::uint32_t seed);
SoundBuffer HallBed(std::uint32_t seed);
SoundBuffer LampRoomBed(std::uint32_t seed);
SoundBuffer DomeBed(std::uint32_t seed);
SoundBuffer CaveBed(std::uint32_t seed);

const std::pair<const char*, SoundKind> kKindNames[] = {
    {"drip", SoundKind::Drip},
    {"switch_click", SoundKind::SwitchClick},
    {"explosion", SoundKind::Explosion},
    {"page_turn", SoundKind::PageTurn},
    {"door", SoundKind::Door},
    {"lock_click", SoundKind::LockClick},
    {"item_chime", SoundKind::ItemChime},
    {"whoosh", SoundKind::Whoosh},
    {"iron_clank", SoundKind::IronClank},
    {"lever_creak", SoundKind::LeverCreak},
    {"ratchet", SoundKind::Ratchet},
    {"brass_seat", SoundKind::BrassSeat},
    {"sea_pound", SoundKind::SeaPound},
    {"shore_bed", SoundKind::ShoreBed},
    {"hall_bed", SoundKind::HallBed},
    {"lamp_room_bed", SoundKind::LampRoomBed},
    {"dome_bed", SoundKind::DomeBed},
    {"cave_bed", SoundKind::CaveBed},
};

}  // namespace

const char* SoundKindName(SoundKind kind)
{
    for (const auto& [name, k] : kKindNames)
        if (k == kind) return name;
    throw Error("Unknown sound kind");
}

bool SoundKindNamed(std::string_view name, SoundKind* kind)
{
    for (const auto& [n, k] : kKindNames)
        if (name == n) {
            *kind = k;
            return true;
        }
    return false;
}

std::string SoundKindNames()
{
    std::string names;
    for (const auto& [name, kind] : kKindNames) names += (names.empty() ? "" : ", ") + std::string(name);
    return names;
}

bool IsBed(SoundKind kind)
{
    switch (kind) {
    case SoundKind::ShoreBed:
    case SoundKind::HallBed:
    case SoundKind::LampRoomBed:
    case SoundKind::DomeBed:
    case SoundKind::CaveBed: return true;
    default: return false;
    }
}

SoundBuffer SynthSound(SoundKind kind, std::uint32_t seed)
{
    switch (kind) {
    case SoundKind::Drip: return Drip(seed);
    case SoundKind::SwitchClick: {
        SoundBuffer b = Click(seed, {0.01, 0.045}, {1850.0, 3900.0}, 0.006, 0.25);
        Finish(b, 0.6f);
        return b;
    }
    case SoundKind::Explosion: return Explosion(seed);
    case SoundKind::PageTurn: return PageTurn(seed);
    case SoundKind::Door: return Door(seed);
    case SoundKind::LockClick: {
        SoundBuffer b = Click(seed, {0.01, 0.11}, {2500.0, 4100.0, 6300.0, 900.0}, 0.012, 0.45);
        AddReverb(b, 0.6f, 0.25f);
        Finish(b, 0.7f);
        return b;
    }
    case SoundKind::ItemChime: return Chime(seed);
    case SoundKind::Whoosh: return Whoosh(seed);
    case SoundKind::IronClank: return IronClank(seed);
    case SoundKind::LeverCreak: return LeverCreak(seed);
    case SoundKind::Ratchet: return Ratchet(seed);
    case SoundKind::BrassSeat: return BrassSeat(seed);
    case SoundKind::SeaPound: return SeaPound(seed);
    case SoundKind::ShoreBed: return ShoreBed(seed);
    case SoundKind::HallBed: return HallBed(seed);
    case SoundKind::LampRoomBed: return LampRoomBed(seed);
    case SoundKind::DomeBed: return DomeBed(seed);
    case SoundKind::CaveBed: return CaveBed(seed);
    }
    throw Error("Unknown sound kind");
}

// ---- the films' events ----------------------------------------------------------------------

namespace {

SoundBuffer Stereo(double seconds)
{
    SoundBuffer b;
    b.channels = 2;
    b.samples.assign(static_cast<std::size_t>(seconds * kRate) * 2, 0.0f);
    return b;
}

// Adds a mono piece into a stereo buffer from `at` seconds, at `gain`, placed at `pan`
// (-1 left .. 1 right); what runs past the end is dropped.
void Put(SoundBuffer& out, const SoundBuffer& piece, double at, float gain, float pan)
{
    const std::size_t first = static_cast<std::size_t>(std::max(0.0, at) * kRate), frames = static_cast<std::size_t>(out.Frames());
    const float left = gain * (1.0f - 0.6f * pan), right = gain * (1.0f + 0.6f * pan);
    for (std::size_t i = 0; i < piece.samples.size() && first + i < frames; ++i) {
        out.samples[(first + i) * 2] += piece.samples[i] * left;
        out.samples[(first + i) * 2 + 1] += piece.samples[i] * right;
    }
}

// Noise through a resonant filter whose cutoff and level follow `shape(t)` (cutoff Hz, level).
SoundBuffer ShapedNoise(Rng& rng, double seconds, float q, bool bandPass,
                        const std::function<std::pair<float, float>(double)>& shape)
{
    SoundBuffer b = Mono(seconds);
    Svf filter;
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const auto [cutoff, level] = shape(i / kRate);
        b.samples[i] = level * filter.Process(Noise(rng), cutoff, q, bandPass);
    }
    return b;
}

// A hinge's creak: stick-slip impulses at a wandering rate ringing two wooden or iron modes.
SoundBuffer Creak(Rng& rng, double seconds, double rate, float mode1, float mode2)
{
    SoundBuffer b = Mono(seconds);
    Svf body1, body2;
    double next = 0.0;
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const double t = i / kRate;
        float excite = 0;
        if (t >= next) {
            excite = 1.0f;
            next += 1.0 / (rate * (1.0 + 0.6 * Sin(t * 3.7) * Sin(t * 1.1 + 0.4)) + 15.0 * rng.Uniform());
        }
        const float env = Smooth(0.0f, 0.08f, static_cast<float>(t)) * (1.0f - Smooth(static_cast<float>(seconds) - 0.1f, static_cast<float>(seconds), static_cast<float>(t)));
        b.samples[i] = env * (body1.Process(excite, mode1, 9.0f, true) + 0.6f * body2.Process(excite, mode2, 12.0f, true));
    }
    return b;
}

// Struck metal: a few inharmonic modes, a noisy attack, a decay of `decay` seconds.
SoundBuffer Clank(Rng& rng, double base, double decay)
{
    SoundBuffer b = Click(rng.Next(), {0.0}, {base, base * 2.41, base * 3.93, base * 6.1}, decay, decay * 9);
    AddReverb(b, 1.1f, 0.5f);
    return b;
}

// A dull blow: a low falling sine and a low-passed noise burst.
SoundBuffer Thud(Rng& rng, double hz)
{
    SoundBuffer b = Mono(0.8);
    Svf low;
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const double t = i / kRate;
        b.samples[i] = static_cast<float>((Sin(kTwoPi * hz * t * (1.0 - 0.3 * t)) + 1.5 * low.Process(Noise(rng), 250.0f, 0.7f, false)) *
                                          Exp(-t / 0.12) * std::min(1.0, t / 0.002));
    }
    AddReverb(b, 1.2f, 0.4f);
    return b;
}

// Water breaking: noise swelling and falling over `seconds`, bright at its crest.
SoundBuffer Breaker(Rng& rng, double seconds, float brightness)
{
    return ShapedNoise(rng, seconds, 0.8f, false, [seconds, brightness](double t) {
        const float u = static_cast<float>(t / seconds);
        const float swell = Smooth(0.0f, 0.35f, u) * (1.0f - Smooth(0.45f, 1.0f, u));
        return std::pair<float, float>{300.0f + brightness * 2800.0f * swell, swell};
    });
}

// Bubbles: short rising sine chirps at random moments, denser where `density(t)` is higher.
SoundBuffer Gurgle(Rng& rng, double seconds, const std::function<float(double)>& density)
{
    SoundBuffer b = Mono(seconds);
    for (double t = 0; t < seconds; t += 0.004)
        if (rng.Uniform() < 0.06f * density(t)) {
            const double f0 = 300.0 + 700.0 * rng.Uniform(), len = 0.02 + 0.05 * rng.Uniform();
            const std::size_t first = static_cast<std::size_t>(t * kRate);
            for (std::size_t i = 0; i < static_cast<std::size_t>(len * kRate) && first + i < b.samples.size(); ++i) {
                const double u = i / kRate;
                b.samples[first + i] += static_cast<float>(Sin(kTwoPi * f0 * u * (1.0 + u / len)) * Sin(kPi * u / len) * 0.5);
            }
        }
    return b;
}

// ---- effects with weight: the island's heavy machinery ------------------------------------

// Adds a mono piece into a mono buffer from `at` seconds, at `gain`; what runs past the end is
// dropped.
void Mix(SoundBuffer& out, const SoundBuffer& piece, double at, float gain)
{
    const std::size_t first = static_cast<std::size_t>(std::max(0.0, at) * kRate);
    for (std::size_t i = 0; i < piece.samples.size() && first + i < out.samples.size(); ++i)
        out.samples[first + i] += piece.samples[i] * gain;
}

// A struck body that rings on: inharmonic partials of `base` Hz, the higher dying sooner.
SoundBuffer Ring(Rng& rng, double base, const std::vector<double>& partials, double decay)
{
    SoundBuffer b = Mono(decay * 7.0);
    for (std::size_t p = 0; p < partials.size(); ++p) {
        const double f = base * partials[p] * (0.99 + 0.02 * rng.Uniform()), d = decay / (1.0 + 0.7 * static_cast<double>(p));
        for (std::size_t i = 0; i < b.samples.size(); ++i) {
            const double t = i / kRate;
            b.samples[i] += static_cast<float>(Sin(kTwoPi * f * t) * Exp(-t / d) * std::min(1.0, t / 0.001) / (p + 1.0));
        }
    }
    return b;
}

// The low weight of a heavy blow: a sine falling from `hz` with the given decay.
SoundBuffer Mass(double hz, double decay)
{
    SoundBuffer b = Mono(decay * 7.0);
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const double t = i / kRate;
        b.samples[i] = static_cast<float>(Sin(kTwoPi * hz * t * (1.0 - 0.25 * std::min(t, 0.5))) * Exp(-t / decay) * std::min(1.0, t / 0.002));
    }
    return b;
}

// Brings the last `seconds` smoothly down to silence (a ring or an echo still sounding there).
void FadeTail(SoundBuffer& b, double seconds)
{
    const std::size_t n = b.samples.size(), fade = std::min(n, static_cast<std::size_t>(seconds * kRate) * b.channels);
    for (std::size_t i = n - fade; i < n; ++i) b.samples[i] *= 1.0f - Smooth(0.0f, 1.0f, static_cast<float>(i - (n - fade)) / fade);
}

SoundBuffer IronClank(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(0.9);
    for (double at : {0.02, 0.08, 0.15})  // the key's wards going round
        Mix(b, Click(rng.Next(), {0.0}, {2200.0, 3600.0}, 0.004, 0.05), at, 0.25f);
    const double spring = 0.22;  // the shackle springs out of the body
    Mix(b, Clank(rng, 310.0, 0.06), spring, 0.8f);
    Mix(b, Ring(rng, 740.0, {1.0, 2.76, 5.4}, 0.22), spring, 0.35f);
    Mix(b, Mass(95.0, 0.07), spring, 0.6f);
    Mix(b, Clank(rng, 190.0, 0.05), 0.42, 0.45f);  // the hasp drops against the gate
    AddReverb(b, 0.9f, 0.3f);
    FadeTail(b, 0.2);
    Finish(b, 0.75f);
    return b;
}

SoundBuffer LeverCreak(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(1.3);
    const double home = 0.68;
    Mix(b, Creak(rng, home, 38.0, 260.0f, 610.0f), 0.0, 0.5f);  // the dry iron pivot
    Mix(b, ShapedNoise(rng, home, 3.0f, true, [home](double t) {  // the arm dragging in its slot
            return std::pair<float, float>{900.0f, 0.3f * Smooth(0.0f, 0.15f, static_cast<float>(t)) *
                                                       (1.0f - Smooth(static_cast<float>(home) - 0.1f, static_cast<float>(home), static_cast<float>(t)))};
        }), 0.0, 0.5f);
    Mix(b, Thud(rng, 62.0), home, 0.9f);
    Mix(b, Clank(rng, 150.0, 0.07), home, 0.45f);  // the iron stop, ringing
    AddReverb(b, 1.0f, 0.35f);
    FadeTail(b, 0.25);
    Finish(b, 0.75f);
    return b;
}

SoundBuffer Ratchet(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(1.0);
    for (double at : {0.02, 0.10, 0.17, 0.23, 0.28}) {  // the pawl over the teeth, quicker as the spring gives
        Mix(b, Click(rng.Next(), {0.0}, {2300.0, 3700.0, 1200.0}, 0.005, 0.06), at, 0.3f);
        Mix(b, Ring(rng, 600.0, {1.0}, 0.02), at, 0.15f);
    }
    const double gives = 0.34;
    Mix(b, Clank(rng, 130.0, 0.09), gives, 0.8f);
    Mix(b, Thud(rng, 55.0), gives, 0.7f);
    Mix(b, Ring(rng, 520.0, {1.0, 2.41, 3.93}, 0.25), gives, 0.2f);
    AddReverb(b, 1.2f, 0.4f);
    FadeTail(b, 0.2);
    Finish(b, 0.75f);
    return b;
}

SoundBuffer BrassSeat(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(1.4);
    const double seat = 0.15;
    Mix(b, ShapedNoise(rng, seat, 2.0f, true, [seat](double t) {  // glass sliding over brass
            return std::pair<float, float>{2400.0f, Smooth(0.0f, static_cast<float>(seat), static_cast<float>(t))};
        }), 0.0, 0.15f);
    Mix(b, Thud(rng, 58.0), seat, 1.0f);
    Mix(b, Mass(70.0, 0.15), seat, 0.5f);
    Mix(b, Ring(rng, 330.0, {1.0, 2.32, 4.25, 6.63}, 0.45), seat, 0.35f);  // the brass seat rings
    Mix(b, Clank(rng, 420.0, 0.03), seat + 0.17, 0.15f);                  // and settles
    AddReverb(b, 1.3f, 0.4f);
    FadeTail(b, 0.3);
    Finish(b, 0.75f);
    return b;
}

SoundBuffer SeaPound(std::uint32_t seed)
{
    Rng rng(seed);
    SoundBuffer b = Mono(1.8);
    const double hit = 0.03;
    Svf body, spray;
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const double t = i / kRate - hit;
        if (t < 0) continue;
        // The slam of the water's weight on the stone, and the body of water bursting through.
        const double slam = Sin(kTwoPi * 45.0 * t * (1.0 - 0.3 * std::min(t, 0.5))) * Exp(-t / 0.25) * std::min(1.0, t / 0.004);
        const float cutoff = static_cast<float>(250.0 + 2300.0 * Exp(-t / 0.12));
        const double burst = (1.0 - Exp(-t / 0.005)) * Exp(-t / 0.35);
        const float water = body.Process(Noise(rng), cutoff, 0.7f, false);
        const float foam = spray.Process(Noise(rng), 3500.0f, 1.2f, true);
        b.samples[i] = static_cast<float>(slam + burst * 1.6 * water + Exp(-t / 0.2) * 0.3 * foam);
    }
    // The water running back out through the gate.
    Mix(b, ShapedNoise(rng, 1.4, 0.7f, false, [](double t) {
            const float u = static_cast<float>(t);
            return std::pair<float, float>{900.0f - 500.0f * Smooth(0.0f, 1.3f, u), Smooth(0.0f, 0.3f, u) * (1.0f - Smooth(0.6f, 1.35f, u))};
        }), 0.35, 0.5f);
    Mix(b, Gurgle(rng, 1.1, [](double t) { return static_cast<float>(1.0 - t / 1.1); }), 0.4, 0.25f);
    AddReverb(b, 1.4f, 0.6f);
    FadeTail(b, 0.35);
    Finish(b, 0.8f);
    return b;
}

// ---- the regions' beds ---------------------------------------------------------------------

// A bed's sources at frame `k` of its round: its own periodic noise (three independent
// streams that repeat each round) and the time in the round.
struct BedFrame {
    std::size_t k;
    double t;
    float n1, n2, n3;
};

// A bed of `seconds` (whole) whose every source repeats each round: the noise repeats, tones
// have whole cycles per round (whole hertz), swells whole periods per round. `sample` gives
// one stereo frame and keeps its own filters; it runs over two rounds so that every filter and
// echo has settled, and the second round is kept, so its last frame runs into its first. Both
// ends then come down to silence within a few milliseconds, as the music's loops do, so the
// moment a restart takes is not heard as a click.
SoundBuffer LoopBed(int seconds, std::uint32_t seed, float room, float wet, float peak,
                    const std::function<std::pair<float, float>(const BedFrame&)>& sample)
{
    const std::size_t n = static_cast<std::size_t>(seconds) * kSampleRate;
    Rng rng(seed);
    std::array<std::vector<float>, 3> noise;
    for (auto& stream : noise) {
        stream.resize(n);
        for (float& v : stream) v = Noise(rng);
    }
    Reverb left(room, 0.45f, 0), right(room, 0.45f, 23);
    SoundBuffer b;
    b.channels = 2;
    b.samples.assign(2 * n, 0.0f);
    for (std::size_t i = 0; i < 2 * n; ++i) {
        const std::size_t k = i % n;
        const auto [l, r] = sample({k, k / kRate, noise[0][k], noise[1][k], noise[2][k]});
        const float wl = left.Process(l + 0.3f * r), wr = right.Process(r + 0.3f * l);
        if (i < n) continue;
        b.samples[2 * k] = l + wet * wl;
        b.samples[2 * k + 1] = r + wet * wr;
    }
    float m = 1e-6f;
    for (float s : b.samples) m = std::max(m, std::fabs(s));
    const std::size_t edge = kBedEdgeFrames;  // 5 ms
    for (std::size_t k = 0; k < n; ++k) {
        float g = peak / m;
        if (k < edge) g *= static_cast<float>(k) / edge;
        if (k + edge > n) g *= static_cast<float>(n - k) / edge;
        b.samples[2 * k] *= g;
        b.samples[2 * k + 1] *= g;
    }
    return b;
}

// A slow swell of whole periods per round: 0 .. 1.
double Swell(double t, double seconds, int periods, double phase)
{
    return 0.5 + 0.5 * Sin(kTwoPi * (periods * t / seconds + phase));
}

// Where in its rise and fall a wave arriving every round at `onset` is, at time `t`: the wave
// breaks over `length` seconds and may run over the round's end into its start.
float WaveAt(double t, double seconds, double onset, double length)
{
    double u = t - onset;
    if (u < 0) u += seconds;
    const float x = static_cast<float>(u / length);
    return x > 1.0f ? 0.0f : Smooth(0.0f, 0.3f, x) * (1.0f - Smooth(0.35f, 1.0f, x));
}

SoundBuffer ShoreBed(std::uint32_t seed)
{
    constexpr int kSeconds = 9;
    Rng rng(seed);
    const double phase = rng.Uniform();
    const double onsets[] = {0.4 + 0.3 * rng.Uniform(), 3.3 + 0.3 * rng.Uniform(), 6.3 + 0.3 * rng.Uniform()};
    Svf windL, windR, surfL, surfR, lowL, lowR;
    return LoopBed(kSeconds, seed, 1.0f, 0.15f, 0.16f, [=](const BedFrame& f) mutable {
        // The wind: gusts of whole periods, its pitch rising with them, each side its own.
        const double gustL = 0.45 + 0.55 * Swell(f.t, kSeconds, 1, phase) * Swell(f.t, kSeconds, 3, 0.2);
        const double gustR = 0.45 + 0.55 * Swell(f.t, kSeconds, 1, phase + 0.15) * Swell(f.t, kSeconds, 2, 0.6);
        const float wl = windL.Process(f.n1, static_cast<float>(350.0 + 550.0 * gustL), 1.5f, true) * static_cast<float>(gustL);
        const float wr = windR.Process(f.n2, static_cast<float>(350.0 + 550.0 * gustR), 1.5f, true) * static_cast<float>(gustR);
        // The surf: three waves a round breaking on the shingle, over the sea's low roar.
        float surf = 0;
        for (double onset : onsets) surf = std::max(surf, WaveAt(f.t, kSeconds, onset, 2.6));
        const float cutoff = 300.0f + 1800.0f * surf;
        const float sl = surfL.Process(f.n3, cutoff, 0.7f, false), sr = surfR.Process(0.6f * f.n3 + 0.4f * f.n1, cutoff, 0.7f, false);
        const float roarL = lowL.Process(f.n2, 200.0f, 0.7f, false), roarR = lowR.Process(f.n1, 200.0f, 0.7f, false);
        return std::pair<float, float>{0.5f * wl + surf * sl + 0.5f * roarL, 0.5f * wr + surf * sr + 0.5f * roarR};
    });
}

SoundBuffer HallBed(std::uint32_t seed)
{
    constexpr int kSeconds = 8;
    Svf toneL, toneR, airL, airR, tick, tock, caseBody;
    return LoopBed(kSeconds, seed, 0.9f, 0.35f, 0.12f, [=](const BedFrame& f) mutable {
        // The room: a low still tone and faint air.
        const float l = toneL.Process(f.n1, 120.0f, 0.7f, false) * 0.5f + airL.Process(f.n2, 2000.0f, 0.8f, true) * 0.03f;
        const float r = toneR.Process(f.n2, 120.0f, 0.7f, false) * 0.5f + airR.Process(f.n1, 2000.0f, 0.8f, true) * 0.03f;
        // The clock: a tick on every second, tick and tock by turns, in its wooden case; the
        // first half a second into the round, so that no tick falls on its ends.
        const std::size_t into = (f.k + kSampleRate / 2) % kSampleRate;
        const bool odd = ((f.k + kSampleRate / 2) / kSampleRate) % 2 == 1;
        const float strike = into == 0 ? 1.0f : (into < 30 ? 0.5f * f.n3 * (1.0f - into / 30.0f) : 0.0f);
        const float escapement = tick.Process(odd ? 0.0f : strike, 2600.0f, 14.0f, true) + tock.Process(odd ? strike : 0.0f, 2100.0f, 14.0f, true);
        const float clock = escapement + 0.8f * caseBody.Process(strike, 420.0f, 6.0f, true);
        return std::pair<float, float>{l + 0.6f * clock, r + 0.4f * clock};
    });
}

SoundBuffer LampRoomBed(std::uint32_t seed)
{
    constexpr int kSeconds = 7;
    Rng rng(seed);
    const double phase = rng.Uniform();
    Svf hissL, hissR, roar;
    return LoopBed(kSeconds, seed, 1.1f, 0.3f, 0.07f, [=](const BedFrame& f) mutable {
        // The hum of the lamp room: 50 Hz and its harmonics, wavering slowly with the flames.
        const double waver = 0.85 + 0.15 * Swell(f.t, kSeconds, 2, phase);
        const double h1 = Sin(kTwoPi * 50.0 * f.t), h2 = Sin(kTwoPi * 100.0 * f.t + 0.4), h3 = Sin(kTwoPi * 150.0 * f.t + 1.1),
                     h4 = Sin(kTwoPi * 200.0 * f.t + 2.0);
        const double humL = waver * (h1 + 0.5 * h2 + 0.3 * h3 + 0.15 * h4);
        const double humR = waver * (h1 + 0.4 * h2 + 0.35 * h3 + 0.1 * h4);
        // The flames: a hiss that flickers, and their soft roar.
        const double flicker = 0.6 + 0.4 * Swell(f.t, kSeconds, 5, phase + 0.3) * Swell(f.t, kSeconds, 3, 0.1);
        const float roarSound = roar.Process(f.n3, 180.0f, 0.7f, false) * 0.3f;
        const float hl = hissL.Process(f.n1, 3000.0f, 1.0f, true), hr = hissR.Process(f.n2, 3000.0f, 1.0f, true);
        return std::pair<float, float>{static_cast<float>(0.25 * humL + 0.05 * flicker * hl) + roarSound,
                                       static_cast<float>(0.25 * humR + 0.05 * flicker * hr) + roarSound};
    });
}

SoundBuffer DomeBed(std::uint32_t seed)
{
    constexpr int kSeconds = 8;
    Rng rng(seed);
    const double phase = rng.Uniform();
    Svf lowL, lowR, airL, airR;
    return LoopBed(kSeconds, seed, 1.5f, 0.6f, 0.05f, [=](const BedFrame& f) mutable {
        // Faint air moving under the great dome, breathing slowly.
        const double breath = 0.7 + 0.3 * Swell(f.t, kSeconds, 1, phase) * Swell(f.t, kSeconds, 2, phase + 0.4);
        const float l = lowL.Process(f.n1, 500.0f, 0.7f, false) + 0.4f * airL.Process(f.n2, 1500.0f, 0.8f, true);
        const float r = lowR.Process(f.n2, 500.0f, 0.7f, false) + 0.4f * airR.Process(f.n3, 1500.0f, 0.8f, true);
        return std::pair<float, float>{static_cast<float>(breath) * l, static_cast<float>(breath) * r};
    });
}

SoundBuffer CaveBed(std::uint32_t seed)
{
    constexpr int kSeconds = 10;
    Rng rng(seed);
    const double onsets[] = {0.5 + 0.5 * rng.Uniform(), 3.0 + 0.5 * rng.Uniform(), 5.5 + 0.5 * rng.Uniform(), 8.0 + 0.5 * rng.Uniform()};
    Svf rumbleL, rumbleR, lapL, lapR;
    return LoopBed(kSeconds, seed, 1.4f, 0.5f, 0.14f, [=](const BedFrame& f) mutable {
        // The stone's low rumble and a deep resonance of the vault.
        const float resonance = static_cast<float>(0.12 * Sin(kTwoPi * 41.0 * f.t) * (0.6 + 0.4 * Swell(f.t, kSeconds, 1, 0.0)));
        const float l = rumbleL.Process(f.n1, 90.0f, 0.8f, false), r = rumbleR.Process(f.n2, 90.0f, 0.8f, false);
        // Water lapping at the walls, four slow swells a round.
        float lap = 0;
        for (double onset : onsets) lap = std::max(lap, WaveAt(f.t, kSeconds, onset, 2.2));
        const float cutoff = 400.0f + 300.0f * lap;
        const float wl = lapL.Process(f.n3, cutoff, 1.5f, true), wr = lapR.Process(0.5f * f.n3 + 0.5f * f.n1, cutoff, 1.5f, true);
        return std::pair<float, float>{l + resonance + 0.4f * lap * wl, r + resonance + 0.4f * lap * wr};
    });
}

double At(const FilmSoundSpec& timing, std::size_t i, double otherwise)
{
    return i < timing.times.size() ? timing.times[i] : otherwise;
}

SoundBuffer GateSound(const FilmSoundSpec& timing, Rng& rng)
{
    SoundBuffer out = Stereo(timing.seconds);
    const double swing = At(timing, 0, 1.0), stop = At(timing, 1, timing.seconds - 1.0);
    SoundBuffer creak = Creak(rng, stop - swing, 55.0, 420.0f, 980.0f);
    AddReverb(creak, 1.0f, 0.4f);
    Put(out, creak, swing, 0.35f, -0.3f);
    Put(out, Clank(rng, 190.0, 0.09), stop, 0.8f, 0.2f);
    Put(out, Clank(rng, 260.0, 0.05), stop + 0.18, 0.35f, 0.3f);
    Put(out, Breaker(rng, timing.seconds, 0.2f), 0.0, 0.08f, 0.0f);  // the sea behind the island
    return out;
}

SoundBuffer PumpSound(const FilmSoundSpec& timing, Rng& rng)
{
    SoundBuffer out = Stereo(timing.seconds);
    for (std::size_t k = 0; k < timing.times.size(); ++k) {
        const double at = timing.times[k];
        Put(out, Creak(rng, 0.35, 90.0, 300.0f, 700.0f), at, 0.25f, -0.2f);
        Put(out, Clank(rng, 140.0, 0.05), at + 0.35, 0.45f, -0.1f);
        Put(out, ShapedNoise(rng, 0.5, 1.5f, true, [](double t) {  // the gush out of the pipe
                 return std::pair<float, float>{600.0f, static_cast<float>(Exp(-t / 0.15) * std::min(1.0, t / 0.03))};
             }), at + 0.4, 0.5f, 0.4f);
    }
    const double first = At(timing, 0, 0.5), seconds = timing.seconds;
    SoundBuffer gurgle = Gurgle(rng, seconds, [first, seconds](double t) {
        return t < first ? 0.0f : 0.3f + 0.7f * Smooth(static_cast<float>(first), static_cast<float>(seconds * 0.8), static_cast<float>(t));
    });
    AddReverb(gurgle, 1.4f, 0.8f);
    Put(out, gurgle, 0.0, 0.5f, 0.1f);
    return out;
}

SoundBuffer SeaGateSound(const FilmSoundSpec& timing, Rng& rng)
{
    SoundBuffer out = Stereo(timing.seconds);
    const double burst = At(timing, 0, 1.5), rest = timing.seconds - burst;
    Put(out, Breaker(rng, burst, 0.3f), 0.0, 0.15f, -0.4f);  // the sea pounding behind the gate
    Put(out, Explosion(rng.Next()), burst, 0.9f, 0.0f);
    for (float pan : {-0.5f, 0.5f})
        Put(out, ShapedNoise(rng, rest, 0.6f, false, [rest](double t) {
                return std::pair<float, float>{2500.0f - 1200.0f * static_cast<float>(t / rest),
                                               Smooth(0.0f, 0.3f, static_cast<float>(t)) * (1.0f - 0.4f * static_cast<float>(t / rest))};
            }), burst + 0.1, 0.5f, pan);
    return out;
}

SoundBuffer TideSound(const FilmSoundSpec& timing, Rng& rng, bool rising)
{
    SoundBuffer out = Stereo(timing.seconds);
    double t = 0.1;
    for (int k = 0; t < timing.seconds; ++k) {
        const double u = t / timing.seconds, length = 1.8 + 0.8 * rng.Uniform();
        const float level = static_cast<float>(rising ? 0.35 + 0.65 * u : 1.0 - 0.7 * u);
        // Each wave breaks, then its wash runs up (or back down) the sand, fading across.
        const float pan = rising ? -0.6f + 1.2f * static_cast<float>(u) : 0.6f - 1.2f * static_cast<float>(u);
        Put(out, Breaker(rng, length, 0.6f * level), t, 0.35f * level, pan);
        Put(out, ShapedNoise(rng, length, 0.7f, true, [length](double x) {
                return std::pair<float, float>{4000.0f - 2500.0f * static_cast<float>(x / length),
                                               Smooth(0.3f, 0.6f, static_cast<float>(x / length)) * (1.0f - Smooth(0.6f, 1.0f, static_cast<float>(x / length)))};
            }), t + 0.6, 0.15f * level, -pan);
        t += 1.1 + 0.5 * rng.Uniform();
    }
    return out;
}

SoundBuffer HatchSound(const FilmSoundSpec& timing, Rng& rng)
{
    SoundBuffer out = Stereo(timing.seconds);
    const double start = At(timing, 0, 0.5), free = At(timing, 1, 2.5), thud = At(timing, 2, 3.5);
    for (double t = start; t < free; t += 0.11)  // the ratchet's pawl over its teeth
        Put(out, Click(rng.Next(), {0.0}, {2300.0, 3700.0}, 0.004, 0.05), t, 0.35f, -0.3f);
    Put(out, Clank(rng, 170.0, 0.07), free, 0.6f, 0.0f);
    SoundBuffer hinge = Creak(rng, thud - free, 60.0, 380.0f, 850.0f);
    Put(out, hinge, free + 0.1, 0.3f, 0.2f);
    Put(out, Thud(rng, 55.0), thud, 0.9f, 0.1f);
    return out;
}

SoundBuffer LampsSound(const FilmSoundSpec& timing, Rng& rng)
{
    SoundBuffer out = Stereo(timing.seconds);
    for (std::size_t k = 0; k < timing.times.size(); ++k) {
        // A spit of sparks and the soft catch of the flame.
        SoundBuffer crackle = Mono(0.35);
        Svf body;
        for (std::size_t i = 0; i < crackle.samples.size(); ++i) {
            const double t = i / kRate;
            const float spark = rng.Uniform() < 0.012f * static_cast<float>(Exp(-t / 0.08)) ? Noise(rng) * 3.0f : 0.0f;
            const float whump = body.Process(Noise(rng), 400.0f, 0.8f, false) * static_cast<float>(Sin(kPi * std::min(1.0, t / 0.35)));
            crackle.samples[i] = spark + 0.6f * whump;
        }
        const float pan = static_cast<float>(Sin(kTwoPi * static_cast<double>(k) / std::max<std::size_t>(1, timing.times.size())));
        Put(out, crackle, timing.times[k], 0.35f, pan);
    }
    // The burning lamps' hiss grows with their number.
    const std::vector<double> times = timing.times;
    SoundBuffer hiss = ShapedNoise(rng, timing.seconds, 0.7f, true, [times](double t) {
        const float lit = static_cast<float>(std::count_if(times.begin(), times.end(), [t](double x) { return x <= t; }));
        return std::pair<float, float>{3000.0f, 0.006f * lit};
    });
    Put(out, hiss, 0.0, 1.0f, 0.0f);
    return out;
}

SoundBuffer ShutterSound(const FilmSoundSpec& timing, Rng& rng)
{
    SoundBuffer out = Stereo(timing.seconds);
    const double start = At(timing, 0, 1.0), stop = At(timing, 1, timing.seconds - 1.0), run = stop - start;
    Put(out, Clank(rng, 150.0, 0.06), start - 0.1, 0.5f, 0.0f);  // the catch lets go
    for (float pan : {-0.6f, 0.6f}) {
        SoundBuffer rumble = Mono(run);
        Svf low, rattle;
        for (std::size_t i = 0; i < rumble.samples.size(); ++i) {
            const double t = i / kRate;
            const float env = Smooth(0.0f, 0.4f, static_cast<float>(t)) * (1.0f - Smooth(static_cast<float>(run) - 0.3f, static_cast<float>(run), static_cast<float>(t)));
            const float wheels = static_cast<float>(0.6 + 0.4 * Sin(kTwoPi * 7.0 * t));  // rollers over the rail's joints
            rumble.samples[i] = env * wheels * (2.0f * low.Process(Noise(rng), 90.0f, 0.9f, false) + 0.3f * rattle.Process(Noise(rng), 1400.0f, 4.0f, true));
        }
        AddReverb(rumble, 1.5f, 0.7f);
        Put(out, rumble, start, 0.6f, pan);
    }
    Put(out, Thud(rng, 48.0), stop, 0.7f, 0.0f);
    return out;
}

SoundBuffer SeaDoorSound(const FilmSoundSpec& timing, Rng& rng)
{
    SoundBuffer out = Stereo(timing.seconds);
    const double bar = At(timing, 0, 0.5), door = At(timing, 1, 2.0), surf = At(timing, 2, 3.0);
    Put(out, ShapedNoise(rng, door - bar, 6.0f, true, [](double t) {  // iron scraping up its brackets
            return std::pair<float, float>{static_cast<float>(700.0 + 500.0 * t), static_cast<float>(0.5 + 0.5 * Sin(t * 40.0))};
        }), bar, 0.25f, -0.2f);
    Put(out, Clank(rng, 120.0, 0.1), door - 0.15, 0.6f, -0.1f);
    SoundBuffer creak = Creak(rng, surf - door + 0.6, 40.0, 330.0f, 760.0f);
    AddReverb(creak, 1.3f, 0.6f);
    Put(out, creak, door, 0.35f, 0.1f);
    for (double t = surf - 0.3; t < timing.seconds; t += 1.6 + 0.6 * rng.Uniform())
        Put(out, Breaker(rng, 2.4, 0.7f), t, 0.4f, static_cast<float>(rng.Range(-0.5f, 0.5f)));
    return out;
}

SoundBuffer LensSound(const FilmSoundSpec& timing, Rng& rng)
{
    SoundBuffer out = Stereo(timing.seconds);
    const double seat = At(timing, 0, 1.0), light = At(timing, 1, 4.0);
    Put(out, Chime(rng.Next()), seat, 0.5f, 0.0f);  // glass on brass
    Put(out, Click(rng.Next(), {0.0}, {3100.0, 5200.0}, 0.01, 0.2), seat + 0.05, 0.3f, 0.1f);
    // A tone rising from the seat to the light, then holding, with a fifth above it.
    SoundBuffer tone = Mono(timing.seconds - seat);
    double p1 = 0, p2 = 0;
    for (std::size_t i = 0; i < tone.samples.size(); ++i) {
        const double t = i / kRate, rise = std::min(1.0, t / (light - seat));
        const double f = 110.0 * Exp(rise * 1.386);  // two octaves up
        p1 += f / kRate;
        p2 += f * 1.5 / kRate;
        const double env = Smooth(0.0f, 0.6f, static_cast<float>(t)) * (1.0 - Smooth(static_cast<float>(timing.seconds - seat) - 0.8f, static_cast<float>(timing.seconds - seat), static_cast<float>(t)));
        tone.samples[i] = static_cast<float>(env * (Sin(kTwoPi * p1) + 0.4 * Sin(kTwoPi * p2) * rise));
    }
    AddReverb(tone, 1.5f, 0.6f);
    Put(out, tone, seat, 0.3f, 0.0f);
    Put(out, Breaker(rng, timing.seconds, 0.3f), 0.0, 0.1f, 0.0f);
    return out;
}

SoundBuffer CrossingSound(const FilmSoundSpec& timing, Rng& rng)
{
    SoundBuffer out = Stereo(timing.seconds);
    for (double t = 0; t < timing.seconds; t += 1.4 + 0.5 * rng.Uniform())
        Put(out, Breaker(rng, 2.6, 0.4f), t, 0.25f, rng.Range(-0.7f, 0.7f));
    for (double at : timing.times) {
        Put(out, Click(rng.Next(), {0.0}, {420.0, 950.0}, 0.015, 0.15), at, 0.25f, -0.3f);  // the oar in its pin
        Put(out, ShapedNoise(rng, 0.45, 1.2f, true, [](double t) {  // the blade in the water
                return std::pair<float, float>{1800.0f, static_cast<float>(Sin(kPi * std::min(1.0, t / 0.45)))};
            }), at + 0.1, 0.3f, 0.3f);
    }
    return out;
}

}  // namespace

SoundBuffer SynthFilmSound(const FilmSoundSpec& timing)
{
    Rng rng(timing.seed);
    SoundBuffer out;
    switch (timing.event) {
    case FilmEvent::Gate: out = GateSound(timing, rng); break;
    case FilmEvent::Pump: out = PumpSound(timing, rng); break;
    case FilmEvent::SeaGate: out = SeaGateSound(timing, rng); break;
    case FilmEvent::TideIn: out = TideSound(timing, rng, true); break;
    case FilmEvent::TideOut: out = TideSound(timing, rng, false); break;
    case FilmEvent::Hatch: out = HatchSound(timing, rng); break;
    case FilmEvent::Lamps: out = LampsSound(timing, rng); break;
    case FilmEvent::Shutter: out = ShutterSound(timing, rng); break;
    case FilmEvent::SeaDoor: out = SeaDoorSound(timing, rng); break;
    case FilmEvent::Lens: out = LensSound(timing, rng); break;
    case FilmEvent::Crossing: out = CrossingSound(timing, rng); break;
    }
    Finish(out, 0.8f);
    return out;
}

// ---- music ---------------------------------------------------------------------------------

namespace {

// A piece of music being rendered into a loop: notes that run past the end wrap round.
class LoopRenderer {
public:
    explicit LoopRenderer(std::size_t frames) : c_left(frames, 0.0f), c_right(frames, 0.0f) {}
    std::size_t Frames() const { return c_left.size(); }

    // One note: `wave` at `midi`, from `start` seconds for `length` seconds, with an attack and a
    // release (seconds), gain, stereo position (-1 left .. 1 right), vibrato depth in cents.
    void Note(Wave wave, int midi, double start, double length, double attack, double release, float gain, float pan,
              double detuneCents = 0.0, double vibrato = 0.0)
    {
        const std::vector<float>& table = Table(wave);
        const double f = NoteHz(midi) * Exp(detuneCents * 0.000577622650466621);
        const std::size_t first = static_cast<std::size_t>(start * kRate);
        const std::size_t count = static_cast<std::size_t>((length + release) * kRate);
        const float gl = gain * (1.0f - pan) * 0.5f, gr = gain * (1.0f + pan) * 0.5f;
        double phase = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const double t = i / kRate;
            double env = attack > 0 ? std::min(1.0, t / attack) : 1.0;
            if (t > length) env *= Exp(-(t - length) / (release * 0.3));
            const double vib = vibrato > 0 ? 1.0 + vibrato * 0.000577622650466621 * Sin(kTwoPi * 5.0 * t) : 1.0;
            phase += f * vib / kRate;
            const float s = Read(table, phase) * static_cast<float>(env);
            const std::size_t at = (first + i) % Frames();
            c_left[at] += s * gl;
            c_right[at] += s * gr;
        }
    }

    // A bell: a sine with an inharmonic partial and a fast decay.
    void Bell(int midi, double start, float gain, float pan, double decay)
    {
        const double f = NoteHz(midi);
        const std::size_t first = static_cast<std::size_t>(start * kRate), count = static_cast<std::size_t>(decay * 6 * kRate);
        const std::vector<float>& sine = Table(Wave::Sine);
        const float gl = gain * (1.0f - pan) * 0.5f, gr = gain * (1.0f + pan) * 0.5f;
        for (std::size_t i = 0; i < count; ++i) {
            const double t = i / kRate;
            const double env = Exp(-t / decay) * std::min(1.0, t / 0.003);
            const float s = static_cast<float>(env) * (Read(sine, f * t) + 0.35f * Read(sine, f * 2.76 * t) * static_cast<float>(Exp(-t / (decay * 0.3))));
            const std::size_t at = (first + i) % Frames();
            c_left[at] += s * gl;
            c_right[at] += s * gr;
        }
    }

    // A plucked string (Karplus-Strong), seeded.
    void Pluck(int midi, double start, float gain, float pan, Rng& rng)
    {
        const int period = std::max(2, static_cast<int>(kRate / NoteHz(midi)));
        std::vector<float> line(static_cast<std::size_t>(period));
        for (float& v : line) v = Noise(rng);
        const std::size_t first = static_cast<std::size_t>(start * kRate), count = static_cast<std::size_t>(3.0 * kRate);
        const float gl = gain * (1.0f - pan) * 0.5f, gr = gain * (1.0f + pan) * 0.5f;
        std::size_t pos = 0;
        float prev = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const float v = line[pos];
            line[pos] = 0.497f * (v + prev);
            prev = v;
            pos = (pos + 1) % line.size();
            const std::size_t at = (first + i) % Frames();
            c_left[at] += v * gl;
            c_right[at] += v * gr;
        }
    }

    // A soft low drum.
    void Thump(double start, float gain)
    {
        const std::size_t first = static_cast<std::size_t>(start * kRate), count = static_cast<std::size_t>(0.6 * kRate);
        for (std::size_t i = 0; i < count; ++i) {
            const double t = i / kRate;
            const float s = gain * static_cast<float>(Sin(kTwoPi * (50.0 * t + 2.4 * (1.0 - Exp(-t / 0.03)))) * Exp(-t / 0.16));
            const std::size_t at = (first + i) % Frames();
            c_left[at] += s;
            c_right[at] += s;
        }
    }

    // Reverb run round the loop twice, so the tail of the end is heard at the start.
    void Reverberate(float size, float wet)
    {
        Reverb left(size, 0.45f, 0), right(size, 0.45f, 23);
        std::vector<float> wl(Frames()), wr(Frames());
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t i = 0; i < Frames(); ++i) {
                wl[i] = left.Process(c_left[i] + c_right[i] * 0.3f);
                wr[i] = right.Process(c_right[i] + c_left[i] * 0.3f);
            }
        for (std::size_t i = 0; i < Frames(); ++i) {
            c_left[i] += wet * wl[i];
            c_right[i] += wet * wr[i];
        }
    }

    SoundBuffer Finish(float peak) const
    {
        SoundBuffer b;
        b.channels = 2;
        b.samples.resize(Frames() * 2);
        float m = 1e-6f;
        for (std::size_t i = 0; i < Frames(); ++i) m = std::max({m, std::fabs(c_left[i]), std::fabs(c_right[i])});
        const std::size_t edge = static_cast<std::size_t>(0.008 * kRate);
        for (std::size_t i = 0; i < Frames(); ++i) {
            float g = peak / m;
            // The loop joins sample to sample; the ends still meet silence for the few
            // milliseconds a restart takes, so both come down to zero smoothly.
            if (i < edge) g *= static_cast<float>(i) / edge;
            if (i + edge > Frames()) g *= static_cast<float>(Frames() - i) / edge;
            b.samples[i * 2] = c_left[i] * g;
            b.samples[i * 2 + 1] = c_right[i] * g;
        }
        return b;
    }

private:
    std::vector<float> c_left, c_right;
};

struct Piece {
    double bpm = 60.0;
    int rootMidi = 48;                          // key note of the low register
    std::vector<int> scale;                // semitones above the root
    std::vector<std::vector<int>> chords;  // scale degrees of each chord, one chord per two bars
};

int Degree(const Piece& p, int degree)
{
    const int n = static_cast<int>(p.scale.size());
    const int octave = degree >= 0 ? degree / n : -((-degree + n - 1) / n);
    return p.rootMidi + 12 * octave + p.scale[static_cast<std::size_t>(degree - octave * n)];
}

}  // namespace

SoundBuffer SynthMusic(MusicMood mood, double seconds, std::uint32_t seed)
{
    Piece piece;
    switch (mood) {
    case MusicMood::Menu: piece = {58, 45, {0, 2, 3, 5, 7, 8, 10}, {{0, 2, 4}, {5, 7, 9}, {2, 4, 6}, {6, 8, 10}}}; break;
    case MusicMood::Exploration: piece = {70, 50, {0, 2, 3, 5, 7, 9, 10}, {{0, 2, 4, 6}, {3, 5, 7}, {1, 3, 5, 7}, {0, 4, 7}}}; break;
    case MusicMood::Depths: piece = {48, 40, {0, 1, 3, 5, 7, 8, 10}, {{0, 4, 7}, {1, 3, 5}, {0, 2, 4}, {6, 1, 3}}}; break;
    case MusicMood::Credits: piece = {84, 48, {0, 2, 4, 5, 7, 9, 11}, {{0, 2, 4}, {5, 7, 9}, {3, 5, 7}, {4, 6, 8}}}; break;
    }
    const double beat = 60.0 / piece.bpm, bar = 4 * beat;
    const int chordBars = 2, cycle = chordBars * static_cast<int>(piece.chords.size());
    const int bars = std::max(cycle, static_cast<int>(std::lround(seconds / bar / cycle)) * cycle);
    LoopRenderer out(static_cast<std::size_t>(bars * bar * kRate));
    Rng rng(seed);

    for (int b = 0; b < bars; b += chordBars) {
        const std::vector<int>& chord = piece.chords[static_cast<std::size_t>((b / chordBars) % piece.chords.size())];
        const double t0 = b * bar, span = chordBars * bar;
        // Pad: the chord held over two bars, slightly detuned pairs spread across the stereo.
        for (std::size_t k = 0; k < chord.size(); ++k) {
            const int midi = Degree(piece, chord[k]) + 12;
            const float pan = -0.5f + static_cast<float>(k) / std::max<std::size_t>(1, chord.size() - 1);
            const Wave padWave = mood == MusicMood::Depths ? Wave::Soft : Wave::Saw;
            const float padGain = mood == MusicMood::Credits ? 0.05f : 0.07f;
            out.Note(padWave, midi, t0, span - 0.2, span * 0.3, 1.5, padGain, pan, -7.0, 8.0);
            out.Note(padWave, midi, t0, span - 0.2, span * 0.3, 1.5, padGain, -pan, 7.0, 8.0);
        }
        // Bass on the chord's root.
        const int bass = Degree(piece, chord[0]) - 12;
        if (mood == MusicMood::Depths) {
            out.Note(Wave::Soft, bass, t0, span, 1.0, 2.0, 0.25f, 0.0f);
            for (int q = 0; q < chordBars * 4; ++q) out.Thump(t0 + q * beat, q % 4 == 0 ? 0.5f : 0.25f);
        } else if (mood == MusicMood::Credits) {
            for (int q = 0; q < chordBars * 4; ++q)
                out.Note(Wave::Soft, bass + (q % 4 == 2 ? 7 : 0), t0 + q * beat, beat * 0.8, 0.01, 0.2, 0.22f, 0.0f);
        } else {
            out.Note(Wave::Soft, bass, t0, span, 0.4, 1.5, 0.2f, 0.0f);
        }
        // The figure above: bells (menu), plucks (exploration), glass tones (depths), melody (credits).
        switch (mood) {
        case MusicMood::Menu:
            for (int e = 0; e < chordBars * 8; ++e)
                if (rng.Uniform() < 0.55f)
                    out.Bell(Degree(piece, chord[rng.Next() % chord.size()] + 14), t0 + e * beat / 2, 0.12f, rng.Range(-0.7f, 0.7f), 0.5);
            break;
        case MusicMood::Exploration:
            for (int e = 0; e < chordBars * 4; ++e)
                if (rng.Uniform() < 0.45f)
                    out.Pluck(Degree(piece, chord[rng.Next() % chord.size()] + 7 + 7 * static_cast<int>(rng.Next() % 2)),
                              t0 + e * beat + (rng.Uniform() < 0.3f ? beat / 2 : 0), 0.35f, rng.Range(-0.6f, 0.6f), rng);
            break;
        case MusicMood::Depths:
            if (rng.Uniform() < 0.6f)
                out.Note(Wave::Sine, Degree(piece, chord[rng.Next() % chord.size()] + 21), t0 + beat * rng.Int(0, 4), bar, 0.8,
                         2.5, 0.06f, rng.Range(-0.8f, 0.8f), 0.0, 12.0);
            break;
        case MusicMood::Credits: {
            int degree = chord[0] + 14;
            for (int q = 0; q < chordBars * 4;) {
                const int len = rng.Uniform() < 0.3f ? 2 : 1;
                degree += static_cast<int>(rng.Next() % 5) - 2;
                degree = std::clamp(degree, 10, 20);
                if (q % 4 == 0) degree = chord[rng.Next() % chord.size()] + 14;  // land on the chord at each bar
                out.Note(Wave::Soft, Degree(piece, degree), t0 + q * beat, len * beat * 0.9, 0.03, 0.4, 0.14f, 0.15f, 0.0, 10.0);
                q += len;
            }
            break;
        }
        }
    }
    out.Reverberate(mood == MusicMood::Depths ? 1.4f : 1.2f, 0.45f);
    return out.Finish(0.8f);
}

void WriteSound(const std::string& path, const SoundBuffer& sound)
{
    platform::SoundSpec layout;
    layout.sampleRate = kSampleRate;
    layout.channels = sound.channels;
    layout.frames = sound.Frames();
    layout.samples = [&sound](float* out, int frames, std::int64_t first) {
        const std::size_t begin = static_cast<std::size_t>(first) * sound.channels;
        std::copy_n(sound.samples.begin() + static_cast<std::ptrdiff_t>(begin), static_cast<std::size_t>(frames) * sound.channels, out);
    };
    platform::WriteSoundFile(path, layout);
}

}  // namespace content
