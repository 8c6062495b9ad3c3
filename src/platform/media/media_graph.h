// Playback graphs: one file's decoder plus one mixer voice (and, for videos, a frame sink fed
// at each frame's presentation time). The stand-in for the desktop's media playback graphs;
// built on FFmpeg, which stays private to this module. Nothing above platform/ sees FFmpeg.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/audio_mixer.h"

namespace platform {


// Positions are counts of 100 ns. Flags of SetPositions, as the game names them.
using MediaTime = std::int64_t;
constexpr std::uint32_t AM_SEEKING_NoPositioning = 0;
constexpr std::uint32_t AM_SEEKING_AbsolutePositioning = 1;
constexpr MediaTime kMediaUnitsPerMs = 10000;

// The picture a video delivers: RGB24 (bytes blue, green, red), bottom row first, rows
// `pitch` bytes apart (width * 3 rounded up to a multiple of 4).
struct VideoFormat {
    int width = 0;
    int height = 0;
    int pitch = 0;
};

// What receives a video's frames (the video player's texture renderer implements it).
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Called once by MediaGraph::RenderFile on the caller's thread, before any frame.
    virtual void SetMediaType(const VideoFormat& format) = 0;
    // One frame of `bytes` = height * pitch bytes, handed over at its presentation time
    // `time` (100 ns into the file) on the graph's own presenter thread. The buffer belongs
    // to the graph and is valid during the call only.
    virtual void DoRenderSample(const std::uint8_t* frame, std::size_t bytes, std::int64_t time) = 0;
};

// Start and halt (the game's run/stop control).
class MediaControl {
public:
    virtual ~MediaControl() = default;
    // Starts or resumes from the current position; returns at once.
    virtual void Run() = 0;
    // Halts; the position is kept (no rewind).
    virtual void Stop() = 0;
};

// Positions (the game's seeking control), in 100 ns.
class MediaSeeking {
public:
    virtual ~MediaSeeking() = default;
    // Moves the current and/or stop position; a flag of AM_SEEKING_NoPositioning leaves that
    // one unchanged. Null pointers count as no positioning.
    virtual void SetPositions(const MediaTime* current, std::uint32_t currentFlags,
                              const MediaTime* stop, std::uint32_t stopFlags) = 0;
    // Current position (what has been played) and stop position (the end of the file unless
    // set). After the end of the stream the current position stays at the stop position.
    virtual void GetPositions(MediaTime* current, MediaTime* stop) = 0;
    virtual void GetDuration(MediaTime* duration) = 0;
};

class MediaGraph : public MediaControl, public MediaSeeking {
public:
    // Opens `path` (.wav, .mp3, .wmv), connects its sound to `mixer` (null: the default
    // output) and its pictures to `sink` (null: pictures are ignored). Never fails: a missing
    // or undecodable file, or a sound declaring a rate outside 8 to 192 kHz, gives a silent
    // graph whose positions are 0 and 0 (it reads as finished at once); for a sound one line
    // naming the file goes to standard error (a film's player reports its own). The graph
    // starts halted. Blocks only for opening the file, choosing decoders and decoding a few
    // milliseconds of a sound; never waits for the output. `sink` and `mixer` must outlive
    // the graph.
    static std::unique_ptr<MediaGraph> RenderFile(const std::wstring& path, FrameSink* sink = nullptr,
                                                  Mixer* mixer = nullptr);
    ~MediaGraph() override;
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    // False for the silent graph of a file that could not be played; GetError says why. A
    // file that fails part-way (cut short, pictures that cannot be decoded, a sound that
    // cannot) prints one line naming it and keeps the reason in GetError too: one it cannot
    // read on ends where its data ends, one whose pictures keep failing reads as ended at
    // once, one whose sound keeps failing goes on without it.
    bool IsRendered() const;
    std::string GetError() const;
    bool HasAudio() const;
    bool HasVideo() const;
    // Which of the player's volumes the sound follows (effects unless set).
    void SetAudioGroup(VoiceGroup group);

    void Run() override;
    void Stop() override;
    void SetPositions(const MediaTime* current, std::uint32_t currentFlags, const MediaTime* stop,
                      std::uint32_t stopFlags) override;
    void GetPositions(MediaTime* current, MediaTime* stop) override;
    void GetDuration(MediaTime* duration) override;

    struct Impl;

private:
    explicit MediaGraph(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> c_pImpl;
};

// A 16-bit path (as the game keeps them) in the UTF-8 the file system takes.
std::string PathToUtf8(const std::wstring& path);

}  // namespace platform
