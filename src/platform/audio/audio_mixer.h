// Audio output: one output device and our own mixer that sums any number of voices into it.
// Voices are fed by decoder threads through bounded lock-free rings; the output side (the
// device callback, or a paced thread of our own when no device plays) only mixes: it never
// decodes, allocates or touches files. Nothing above platform/ sees SDL.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

class Mixer;

// The player's two volumes: each voice belongs to one, and the mixer scales it by the group's gain.
enum class VoiceGroup : int { Effects = 0, Music = 1 };
constexpr int kVoiceGroupCount = 2;

// One stream of interleaved stereo float samples at the mixer's rate. A single producer
// (a decoder thread) writes; the mixer reads. The voice's clock counts the frames the mixer
// has actually taken from it, so its position is what has been played.
class Voice {
public:
    // `capacityFrames`: how far the producer may run ahead of the output.
    Voice(int sampleRate, std::size_t capacityFrames);
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    // Producer side. Copies up to `frames` frames; returns how many fit.
    std::size_t Write(const float* interleaved, std::size_t frames);
    std::size_t FreeFrames() const;
    // The producer has written its last frame (end of stream or of the stop position).
    void SetEndOfStream(bool ended) { c_bEndOfStream.store(ended); }
    bool IsEndOfStream() const { return c_bEndOfStream.load(); }

    // Whether the mixer takes samples from this voice (false = halted, position holds).
    void SetPlaying(bool playing) { c_bPlaying.store(playing); }
    bool IsPlaying() const { return c_bPlaying.load(); }
    void SetGain(float gain) { c_fGain.store(gain); }
    void SetGroup(VoiceGroup group) { c_group.store(group); }
    VoiceGroup Group() const { return c_group.load(std::memory_order_relaxed); }

    // Frames the mixer has consumed since the last Reset.
    std::uint64_t ConsumedFrames() const { return c_consumed.load(); }
    // True once the producer ended and every written frame has been played.
    bool IsDrained() const { return IsEndOfStream() && BufferedFrames() == 0; }
    std::size_t BufferedFrames() const;
    int SampleRate() const { return c_iRate; }

    // Empties the ring and zeroes the clock. Only while the producer is idle and the output
    // cannot see the voice (call through Mixer::ResetVoice).
    void ResetLocked();

    // Mixer side: adds up to `frames` frames into `accumulator`, scaled by the voice's gain
    // times `groupGain`; returns the frames taken.
    std::size_t MixInto(float* accumulator, std::size_t frames, float groupGain = 1.0f);

private:
    int c_iRate;
    std::size_t c_capacity;          // in frames; one slot stays empty
    std::vector<float> c_ring;       // 2 * c_capacity floats, allocated once
    std::atomic<std::size_t> c_read{0};
    std::atomic<std::size_t> c_write{0};
    std::atomic<std::uint64_t> c_consumed{0};
    std::atomic<bool> c_bPlaying{false};
    std::atomic<bool> c_bEndOfStream{false};
    std::atomic<float> c_fGain{1.0f};
    std::atomic<VoiceGroup> c_group{VoiceGroup::Effects};
};

// The mixer and its output. Default() opens the process's audio output on first use: the
// SDL device when one plays (float or 16-bit samples, whichever the device takes), otherwise
// (no card, or the dummy driver) a paced thread that consumes samples in real time, so media
// positions advance either way and the game never fails for lack of sound.
class Mixer {
public:
    enum class Output { Device, Paced, Manual };

    // The process-wide audio output, opened on first call.
    static Mixer& Default();

    // A mixer whose output is chosen by `output`. Manual mixers only mix when Mix is called
    // (tests pull samples themselves).
    Mixer(Output output, int sampleRate = 48000);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    Output GetOutput() const { return c_output; }
    int SampleRate() const { return c_iRate; }

    // A voice fed by its owner; the mixer refers to it until Remove. Any thread but the
    // output's. The output never waits for these: it reads the voice slots without a lock.
    void Add(Voice* voice);
    // After Remove returns the output no longer touches the voice (it waits for a mixing pass
    // in progress to end).
    void Remove(Voice* voice);
    // Empties a voice's ring and clock without racing the output.
    void ResetVoice(Voice* voice);

    // Sums every playing voice into `out` (interleaved stereo, `frames` frames), clipped to
    // [-1, 1]. This is what the output calls; no allocation. `frames` up to kMaxMixFrames
    // per call (larger requests are mixed in parts).
    void Mix(float* out, std::size_t frames);
    static constexpr std::size_t kMaxMixFrames = 4096;

    // Frames mixed since the output opened (all voices or none).
    std::uint64_t MixedFrames() const { return c_mixed.load(); }
    // Voices currently attached (playing or halted).
    std::size_t VoiceCount();

    // The gain (0 silent .. 1 as recorded) of every voice of `group`; any thread.
    void SetGroupGain(VoiceGroup group, float gain) { c_groupGain[static_cast<int>(group)].store(gain); }
    float GroupGain(VoiceGroup group) const { return c_groupGain[static_cast<int>(group)].load(); }

private:
    void OpenDevice();
    void RunPaced();
    static void DeviceCallback(void* self, std::uint8_t* stream, int bytes);

    // Voice slots in blocks that are only ever appended (by Add, never by the output) and
    // freed with the mixer, so the output walks them without a lock or an allocation.
    static constexpr std::size_t kSlotsPerBlock = 64;
    struct SlotBlock {
        std::atomic<Voice*> slots[kSlotsPerBlock] = {};
        std::atomic<SlotBlock*> next{nullptr};
    };
    // Waits until no mixing pass that may have seen a slot's old value is still running.
    void WaitForMixingPass();

    Output c_output;
    int c_iRate;
    std::mutex c_editLock;               // serialises Add/Remove/ResetVoice; the output never takes it
    SlotBlock c_firstBlock;
    std::vector<std::unique_ptr<SlotBlock>> c_moreBlocks;
    std::atomic<std::uint64_t> c_passes{0};  // odd while a mixing pass runs
    std::vector<float> c_scratch;        // accumulator, allocated once
    std::atomic<std::uint64_t> c_mixed{0};
    std::atomic<float> c_groupGain[kVoiceGroupCount] = {1.0f, 1.0f};
    std::uint32_t c_deviceId = 0;
    bool c_bDeviceFloat = true;
    std::atomic<bool> c_bQuit{false};
    std::thread c_paced;
};

}  // namespace platform
