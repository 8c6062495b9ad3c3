#include "platform/audio/audio_mixer.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {
constexpr int kChannels = 2;
constexpr int kDeviceBufferFrames = 512;   // about 11 ms at 48 kHz
constexpr int kPacedPeriodMs = 2;          // the paced output's step without a device
}  // namespace

// ---- Voice ------------------------------------------------------------------------------

Voice::Voice(int sampleRate, std::size_t capacityFrames)
    : c_iRate(sampleRate), c_capacity(capacityFrames + 1), c_ring(c_capacity * kChannels, 0.0f)
{
}

std::size_t Voice::BufferedFrames() const
{
    const std::size_t w = c_write.load(std::memory_order_acquire);
    const std::size_t r = c_read.load(std::memory_order_acquire);
    return (w + c_capacity - r) % c_capacity;
}

std::size_t Voice::FreeFrames() const { return c_capacity - 1 - BufferedFrames(); }

std::size_t Voice::Write(const float* interleaved, std::size_t frames)
{
    const std::size_t n = std::min(frames, FreeFrames());
    std::size_t w = c_write.load(std::memory_order_relaxed);
    std::size_t done = 0;
    while (done < n) {
        const std::size_t run = std::min(n - done, c_capacity - w);
        std::memcpy(&c_ring[w * kChannels], interleaved + done * kChannels,
                    run * kChannels * sizeof(float));
        done += run;
        w = (w + run) % c_capacity;
    }
    c_write.store(w, std::memory_order_release);
    return n;
}

void Voice::ResetLocked()
{
    c_read.store(0);
    c_write.store(0);
    c_consumed.store(0);
    c_bEndOfStream.store(false);
}

std::size_t Voice::MixInto(float* accumulator, std::size_t frames, float groupGain)
{
    const std::size_t n = std::min(frames, BufferedFrames());
    const float gain = c_fGain.load(std::memory_order_relaxed) * groupGain;
    std::size_t r = c_read.load(std::memory_order_relaxed);
    for (std::size_t i = 0; i < n; ++i) {
        accumulator[i * kChannels] += c_ring[r * kChannels] * gain;
        accumulator[i * kChannels + 1] += c_ring[r * kChannels + 1] * gain;
        r = (r + 1 == c_capacity) ? 0 : r + 1;
    }
    c_read.store(r, std::memory_order_release);
    c_consumed.fetch_add(n, std::memory_order_release);
    return n;
}

// ---- Mixer ------------------------------------------------------------------------------

Mixer& Mixer::Default()
{
    // The platform's default audio output, like the system's default sound device: one per
    // process, opened when the first sound is built. Never destroyed, so that sounds held by
    // objects that outlive static destruction never reach a closed mixer.
    static Mixer* const mixer = new Mixer(Output::Device);
    return *mixer;
}

Mixer::Mixer(Output output, int sampleRate)
    : c_output(output), c_iRate(sampleRate), c_scratch(kMaxMixFrames * kChannels, 0.0f)
{
    if (c_output == Output::Device) OpenDevice();
    if (c_output == Output::Paced) c_paced = std::thread([this] { RunPaced(); });
}

Mixer::~Mixer()
{
    if (c_deviceId != 0) {
        SDL_CloseAudioDevice(c_deviceId);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    c_bQuit.store(true);
    if (c_paced.joinable()) c_paced.join();
}

void Mixer::OpenDevice()
{
    c_output = Output::Paced;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "Kelvane: no audio output (%s); sound plays silently\n", SDL_GetError());
        return;
    }
    // The dummy driver paces itself only to whole milliseconds; our own pacing keeps media
    // positions on the real clock.
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver != nullptr && std::strcmp(driver, "dummy") == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    SDL_AudioSpec want{};
    want.freq = c_iRate;
    want.format = AUDIO_F32SYS;
    want.channels = kChannels;
    want.samples = kDeviceBufferFrames;
    want.callback = &Mixer::DeviceCallback;
    want.userdata = this;
    SDL_AudioSpec have{};
    c_deviceId = SDL_OpenAudioDevice(nullptr, 0, &want, &have,
                                     SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_FORMAT_CHANGE);
    if (c_deviceId != 0 && have.format != AUDIO_F32SYS && have.format != AUDIO_S16SYS) {
        SDL_CloseAudioDevice(c_deviceId);
        c_deviceId = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    }
    if (c_deviceId == 0) {
        std::fprintf(stderr, "Kelvane: no audio device (%s); sound plays silently\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    c_iRate = have.freq;
    c_bDeviceFloat = have.format == AUDIO_F32SYS;
    c_output = Output::Device;
    SDL_PauseAudioDevice(c_deviceId, 0);
}

void Mixer::DeviceCallback(void* self, std::uint8_t* stream, int bytes)
{
    auto* mixer = static_cast<Mixer*>(self);
    if (mixer->c_bDeviceFloat) {
        mixer->Mix(reinterpret_cast<float*>(stream),
                   static_cast<std::size_t>(bytes) / (kChannels * sizeof(float)));
        return;
    }
    // 16-bit device: mix in float parts on the stack, then convert.
    auto* out = reinterpret_cast<std::int16_t*>(stream);
    std::size_t frames = static_cast<std::size_t>(bytes) / (kChannels * sizeof(std::int16_t));
    float part[256 * kChannels];
    while (frames > 0) {
        const std::size_t n = std::min<std::size_t>(frames, 256);
        mixer->Mix(part, n);
        for (std::size_t i = 0; i < n * kChannels; ++i)
            out[i] = static_cast<std::int16_t>(part[i] * 32767.0f);
        out += n * kChannels;
        frames -= n;
    }
}

void Mixer::RunPaced()
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::vector<float> sink(kMaxMixFrames * kChannels);
    std::uint64_t mixed = 0;
    while (!c_bQuit.load()) {
        const auto elapsedUs =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        const std::uint64_t due = static_cast<std::uint64_t>(elapsedUs) * c_iRate / 1000000;
        while (mixed < due) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(due - mixed, kMaxMixFrames));
            Mix(sink.data(), n);
            mixed += n;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPacedPeriodMs));
    }
}

void Mixer::Add(Voice* voice)
{
    std::lock_guard<std::mutex> guard(c_editLock);
    SlotBlock* last = &c_firstBlock;
    for (SlotBlock* block = &c_firstBlock; block != nullptr; block = block->next.load()) {
        for (auto& slot : block->slots) {
            if (slot.load() == voice) return;
        }
        last = block;
    }
    for (SlotBlock* block = &c_firstBlock; block != nullptr; block = block->next.load()) {
        for (auto& slot : block->slots) {
            if (slot.load() == nullptr) {
                slot.store(voice);
                return;
            }
        }
    }
    c_moreBlocks.push_back(std::make_unique<SlotBlock>());
    c_moreBlocks.back()->slots[0].store(voice);
    last->next.store(c_moreBlocks.back().get());
}

void Mixer::Remove(Voice* voice)
{
    std::lock_guard<std::mutex> guard(c_editLock);
    for (SlotBlock* block = &c_firstBlock; block != nullptr; block = block->next.load())
        for (auto& slot : block->slots)
            if (slot.load() == voice) slot.store(nullptr);
    WaitForMixingPass();
}

void Mixer::WaitForMixingPass()
{
    const std::uint64_t pass = c_passes.load();
    if (pass % 2 == 0) return;
    while (c_passes.load() == pass) std::this_thread::yield();
}

std::size_t Mixer::VoiceCount()
{
    std::lock_guard<std::mutex> guard(c_editLock);
    std::size_t count = 0;
    for (SlotBlock* block = &c_firstBlock; block != nullptr; block = block->next.load())
        for (auto& slot : block->slots)
            if (slot.load() != nullptr) ++count;
    return count;
}

void Mixer::ResetVoice(Voice* voice)
{
    // Take the voice out of the output's sight, empty it, and put it back in the same slot.
    std::lock_guard<std::mutex> guard(c_editLock);
    std::atomic<Voice*>* home = nullptr;
    for (SlotBlock* block = &c_firstBlock; block != nullptr && home == nullptr; block = block->next.load())
        for (auto& slot : block->slots)
            if (slot.load() == voice) home = &slot;
    if (home != nullptr) {
        home->store(nullptr);
        WaitForMixingPass();
    }
    voice->ResetLocked();
    if (home != nullptr) home->store(voice);
}

void Mixer::Mix(float* out, std::size_t frames)
{
    while (frames > 0) {
        const std::size_t n = std::min(frames, kMaxMixFrames);
        float* acc = c_scratch.data();
        std::fill(acc, acc + n * kChannels, 0.0f);
        c_passes.fetch_add(1);
        for (SlotBlock* block = &c_firstBlock; block != nullptr; block = block->next.load()) {
            for (auto& slot : block->slots) {
                Voice* voice = slot.load();
                if (voice != nullptr && voice->IsPlaying())
                    voice->MixInto(acc, n, c_groupGain[static_cast<int>(voice->Group())].load(std::memory_order_relaxed));
            }
        }
        c_passes.fetch_add(1);
        for (std::size_t i = 0; i < n * kChannels; ++i) out[i] = std::clamp(acc[i], -1.0f, 1.0f);
        c_mixed.fetch_add(n, std::memory_order_relaxed);
        out += n * kChannels;
        frames -= n;
    }
}

}  // namespace platform
