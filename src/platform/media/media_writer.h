// A small media writer for tests and the content generator: sound files (.wav as 16-bit PCM,
// .mp3) and videos (.wmv: WMV2 pictures with WMA2 sound) made from synthesised samples and
// pictures. Built on FFmpeg's encoders, private to platform/media.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// Fills `frames` frames of interleaved samples in [-1, 1]; `first` is the index of the
// first frame in the file.
using SampleGenerator = std::function<void(float* interleaved, int frames, std::int64_t first)>;
// Fills picture number `index` of `width` x `height` pixels: RGB24 (bytes red, green, blue),
// top row first, rows `pitch` bytes apart.
using PictureGenerator = std::function<void(std::uint8_t* rgb, int width, int height, int pitch, int index)>;

struct SoundSpec {
    int sampleRate = 44100;
    int channels = 2;          // 1 or 2
    std::int64_t frames = 0;   // length in sample frames
    SampleGenerator samples;   // null: silence
    int wavBits = 16;          // a .wav's sample size: 16 (signed) or 8 (unsigned)
};

struct VideoSpec {
    int width = 320;           // even sizes
    int height = 240;
    int framesPerSecond = 25;
    int frameCount = 25;
    PictureGenerator pictures;
    std::optional<SoundSpec> sound;  // the sound track, if any
    int soundStartMs = 0;      // the sound track's first sample comes this far into the clip
    int bitRate = 2000000;     // pictures, bits per second
};

// Writes a sound file; the format follows the extension (".wav" or ".mp3"). Throws Error.
void WriteSoundFile(const std::string& path, const SoundSpec& layout);
// Writes a ".wmv" video. Throws Error.
void WriteVideoFile(const std::string& path, const VideoSpec& layout);

// Generators for content and tests: a sine tone, and a picture of one colour.
SampleGenerator SineTone(double frequency, float amplitude, int sampleRate, int channels);
PictureGenerator SolidColour(std::function<std::uint32_t(int index)> rgbOfFrame);

}  // namespace platform
