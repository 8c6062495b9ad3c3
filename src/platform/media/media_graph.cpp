#include "platform/media/media_graph.h"

#include "core/game_paths.h"
#include "platform/audio/audio_mixer.h"
#include "platform/media/ffmpeg_handles.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr AVRational kMediaTimeBase{1, 10000000};
constexpr MediaTime kUnknown = std::numeric_limits<MediaTime>::max() / 4;
constexpr std::size_t kSoundRingFrames = 24000;   // 0.5 s at 48 kHz: a sound's read-ahead
constexpr double kVideoRingSeconds = 2.0;         // a video's sound runs further ahead
constexpr std::size_t kVideoQueueFrames = 8;      // decoded pictures waiting for their time
constexpr auto kIdlePoll = std::chrono::milliseconds(5);
constexpr MediaTime kEndMargin = 1001;
constexpr int kPrerollMs = 20;                    // decoded by RenderFile itself for sounds
constexpr int kPrerollSteps = 8;
constexpr std::int64_t kPcmProbeBytes = 4096;            // keeps "current" short of the end until it is
constexpr MediaTime kUnitsPerSecond = 10000000;
// Sample rates a sound may declare; a file outside them is refused rather than resampled
// into hundreds of megabytes (a 1 Hz header turns each sample into a second of output).
constexpr int kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 192000;
// What one decoded frame may add to the samples waiting for the voice: 8 MiB of stereo float
// (about 11 s at 48 kHz). A frame that would convert to more is dropped as damaged.
constexpr std::size_t kMaxPendingFloats = 8u << 20 >> 2;
// Sound this far from where the clock stands is a gap or a late start, not jitter.
constexpr MediaTime kSoundGap = 50 * kMediaUnitsPerMs;
// The longest silence put before sound that starts late, when the file's length is unknown.
constexpr MediaTime kMaxSilence = 10000 * kMediaUnitsPerMs;
// Packets of one stream in a row that give nothing (an error, or no output at all, as with
// encrypted data) before the stream counts as undecodable: about a second of pictures, well
// beyond any decoder's start-up delay.
constexpr int kMaxFailedPackets = 24;
// How far into a film (from where playback starts) its first picture must have come.
constexpr MediaTime kFirstPictureWithin = 1000 * kMediaUnitsPerMs;
// A file whose data ends this much before the length its header declares was cut short.
constexpr MediaTime kShortFileMargin = 500 * kMediaUnitsPerMs;

MediaTime NowUnits()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(SteadyClock::now().time_since_epoch())
               .count() / 100;
}

// The length of a sound-only file whose header gives its streams' format and length (a
// .wav), or kUnknown when the streams must be probed.
MediaTime HeaderOnlyDuration(const AVFormatContext* format)
{
    MediaTime longest = kUnknown;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* st = format->streams[i];
        const AVCodecParameters* par = st->codecpar;
        if (par->codec_type != AVMEDIA_TYPE_AUDIO) return kUnknown;
        const bool pcm = par->codec_id >= AV_CODEC_ID_FIRST_AUDIO && par->codec_id < AV_CODEC_ID_ADPCM_IMA_QT;
        if (!pcm || par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0 ||
            st->duration == AV_NOPTS_VALUE)
            return kUnknown;
        const MediaTime length = av_rescale_q(st->duration, st->time_base, kMediaTimeBase);
        longest = longest == kUnknown ? length : std::max(longest, length);
    }
    return longest;
}

// Counts one packet of a stream: true once its packets have given nothing kMaxFailedPackets
// times in a row.
bool StreamFails(int& failedInARow, bool gotFrame)
{
    failedInARow = gotFrame ? 0 : failedInARow + 1;
    return failedInARow >= kMaxFailedPackets;
}

// Why a stream's packets gave nothing: the decoder's error, or its silence.
std::string FailureText(int rc)
{
    return rc == AVERROR(EAGAIN) || rc >= 0 ? "the decoder gives nothing for them" : AvErrorText(rc);
}

// "1.25 s": a position as the lines about damaged files give it.
std::string SecondsText(MediaTime position)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", static_cast<double>(position) / 10000000.0);
    return text;
}

// The size a Windows Media file's header declares for the whole file, or -1 when `path` is
// not one or does not say. A file shorter than that was cut short; its timestamps alone cannot
// tell, as its index (which gives its length) went with its end.
std::int64_t DeclaredMediaFileSize(const std::string& path)
{
    static constexpr std::uint8_t kHeaderObject[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                                       0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    static constexpr std::uint8_t kFileProperties[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                                         0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
    constexpr std::size_t kFileSizeAt = 40;  // after the object's identifier, its size and the file's identifier
    std::vector<std::uint8_t> head(16384);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return -1;
    head.resize(std::fread(head.data(), 1, head.size(), f));
    std::fclose(f);
    if (head.size() < 16 || !std::equal(kHeaderObject, kHeaderObject + 16, head.begin())) return -1;
    const auto found = std::search(head.begin(), head.end(), kFileProperties, kFileProperties + 16);
    const auto at = static_cast<std::size_t>(found - head.begin());
    if (found == head.end() || at + kFileSizeAt + 8 > head.size()) return -1;
    std::int64_t size = 0;
    for (int i = 7; i >= 0; --i) size = (size << 8) | head[at + kFileSizeAt + static_cast<std::size_t>(i)];
    return size;
}

struct QueuedFrame {
    std::vector<std::uint8_t> pixels;  // height * pitch, allocated once per graph
    MediaTime position = 0;
};

}  // namespace

std::string PathToUtf8(const std::wstring& path)
{
    std::string out;
    for (wchar_t wc : path) {
        const auto c = static_cast<std::uint32_t>(wc);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

struct MediaGraph::Impl {
    // ---- set at open, read-only afterwards ----
    Mixer* mixer = nullptr;
    FrameSink* sink = nullptr;
    std::string file;              // the path, for the lines printed about it
    FormatContextPtr format;
    MediaTime startOffset = 0;     // the container's first timestamp, as 100 ns
    int audioStream = -1;
    CodecContextPtr audioCodec;
    std::unique_ptr<Voice> voice;
    int videoStream = -1;
    CodecContextPtr videoCodec;
    VideoFormat videoFormat;
    MediaTime videoStart = 0;      // where the file says the pictures start (0 if it does not)
    std::string cutShort;          // why the file is known to be incomplete, or empty
    bool exactDuration = false;    // the length comes from the header, not from an estimate

    // ---- shared state, guarded by `lock` ----
    std::mutex lock;
    std::condition_variable wake;
    std::string error;             // why the file does not play, or stopped playing early
    bool quit = false;
    bool seekRequested = false;    // the decoder and presenter park while the main thread seeks
    bool decoderParked = false;
    bool delivering = false;       // the presenter is inside the sink
    bool running = false;
    bool demuxEnded = false;
    bool broken = false;           // the file failed part-way: it reads as ended at once
    bool videoEnded = true;        // no video, or its last frame has been shown
    bool soundDropped = false;     // the sound could not be decoded; the pictures go on alone
    MediaTime duration = 0;
    MediaTime stop = 0;
    bool stopSet = false;          // the stop position was set (else it is the end of the file)
    MediaTime skipUntil = 0;       // decoded media before this position is dropped (after seeks)
    // The clock. While the voice has sound to play (or the decoder is merely behind) the
    // position is that of the sample being played: `audioBase` at the voice's consumed frame
    // `audioBaseFrame`. When the voice is empty and no sound can come before the pictures move
    // on (the sound has ended or starts later, or the decoder waits for a picture slot), the
    // wall clock carries the position from where it stood.
    MediaTime audioBase = 0;
    std::uint64_t audioBaseFrame = 0;
    bool waitingForSlot = false;   // the decoder waits for the presenter to free a picture slot
    bool wallCarrying = false;
    MediaTime wallPosition = 0;    // wall clock: position at `wallSince` ...
    MediaTime wallSince = 0;       // ... and the steady time it was taken at
    MediaTime lastClock = 0;       // the clock never runs backwards between seeks
    std::vector<QueuedFrame> frames;
    std::size_t frameHead = 0;
    std::size_t frameCount = 0;

    // ---- decoder thread only (and Seek, while the decoder is parked) ----
    SwsContextPtr scaler;
    SwrContextPtr resampler;
    AVChannelLayout resamplerLayout{};  // the resampler's input: layout, format, rate
    AVSampleFormat resamplerFormat = AV_SAMPLE_FMT_NONE;
    int resamplerRate = 0;
    std::vector<float> pendingAudio;   // converted frames not yet in the voice
    std::size_t pendingOffset = 0;     // in frames
    MediaTime pendingPosition = 0;     // position of the first pending frame not yet written
    std::size_t silenceOwed = 0;       // frames of silence the voice gets before the pending ones
    MediaTime audioCursor = kUnknown;  // position just past the last converted sample
    MediaTime videoCursor = kUnknown;  // position of the last decoded picture
    MediaTime firstVideoPacket = kUnknown;  // position of the first picture packet read (since a seek)
    int failedAudioPackets = 0;        // packets in a row that gave no sound
    int failedVideoPackets = 0;        // packets in a row that gave no picture
    FramePtr decoded;
    PacketPtr packet;

    std::thread decoder;
    std::thread presenter;

    ~Impl();
    bool Open(const std::string& path);
    bool OpenAudio();
    bool SetUpResampler(const AVChannelLayout& layout, AVSampleFormat sampleFormat, int rate, int& rc);
    bool OpenVideo();
    void Start();

    MediaTime ToUnits(std::int64_t ts, AVRational base) const
    {
        return av_rescale_q(ts, base, kMediaTimeBase) - startOffset;
    }
    MediaTime FramesToUnits(std::size_t frames) const
    {
        return static_cast<MediaTime>(frames) * kUnitsPerSecond / mixer->SampleRate();
    }
    bool SoundLeadsLocked(MediaTime soundPosition) const;
    MediaTime ClockLocked();
    bool EndedLocked();
    void StartWallLocked(MediaTime at) { wallPosition = at; wallSince = NowUnits(); }

    void DecoderLoop();
    bool DecoderStep(std::unique_lock<std::mutex>& guard);
    bool FlushPendingAudio();
    void StartSoundStretch();
    void DecodeAudio(const AVPacket* pkt);
    bool MatchResampler(const AVFrame* frame);
    void ConvertAudio(const AVFrame* frame);
    void DecodeVideo(const AVPacket* pkt, std::unique_lock<std::mutex>& guard);
    bool MatchScaler(const AVFrame* frame);
    void QueueVideoFrame(const AVFrame* frame, std::unique_lock<std::mutex>& guard);
    void DropSound(const std::string& reason);
    void Break(const std::string& reason);
    void EndOfFile(int rc, std::unique_lock<std::mutex>& guard);
    void PresenterLoop();
    void Seek(MediaTime target);
};

MediaGraph::Impl::~Impl()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        quit = true;
    }
    wake.notify_all();
    if (decoder.joinable()) decoder.join();
    if (presenter.joinable()) presenter.join();
    if (voice) mixer->Remove(voice.get());
    av_channel_layout_uninit(&resamplerLayout);
}

bool MediaGraph::Impl::Open(const std::string& path)
{
    AVFormatContext* raw = nullptr;
    int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        error = "cannot open (" + AvErrorText(rc) + ")";
        return false;
    }
    format.reset(raw);
    // Probing the streams by decoding costs several milliseconds even for plain PCM; a
    // sound whose header already tells everything (a .wav) skips it.
    const MediaTime headerDuration = sink == nullptr ? HeaderOnlyDuration(raw) : kUnknown;
    if (headerDuration != kUnknown) {
        // The demuxer would otherwise read up to a megabyte before the first packet, looking
        // for compressed data dressed as PCM; the game's sounds are plain PCM.
        raw->probesize = kPcmProbeBytes;
    } else {
        rc = avformat_find_stream_info(raw, nullptr);
        if (rc < 0) {
            error = "cannot read its streams (" + AvErrorText(rc) + ")";
            return false;
        }
    }
    const std::int64_t declared = DeclaredMediaFileSize(path);
    const std::int64_t actual = avio_size(raw->pb);
    if (declared > 0 && actual >= 0 && actual < declared)
        cutShort = "the file is cut short: " + std::to_string(actual) + " of " + std::to_string(declared) + " bytes";
    if (raw->start_time != AV_NOPTS_VALUE) startOffset = av_rescale_q(raw->start_time, AV_TIME_BASE_Q, kMediaTimeBase);
    if (!OpenAudio()) return false;
    if (sink != nullptr && !OpenVideo()) return false;
    if (audioStream < 0 && videoStream < 0) {
        error = sink != nullptr ? "has no sound or picture stream to play" : "has no sound stream";
        return false;
    }
    exactDuration = headerDuration != kUnknown;
    if (exactDuration)
        duration = headerDuration;
    else
        duration = raw->duration != AV_NOPTS_VALUE ? av_rescale_q(raw->duration, AV_TIME_BASE_Q, kMediaTimeBase)
                                                   : kUnknown;
    stop = duration;
    decoded.reset(av_frame_alloc());
    packet.reset(av_packet_alloc());
    return true;
}

bool MediaGraph::Impl::OpenAudio()
{
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (index < 0) return true;  // no sound: a silent video is still playable
    AVStream* stream = format->streams[index];
    const int rate = stream->codecpar->sample_rate;
    if (rate < kMinSampleRate || rate > kMaxSampleRate) {
        error = "declares a sample rate of " + std::to_string(rate) + " Hz; sounds play at " +
                std::to_string(kMinSampleRate) + " to " + std::to_string(kMaxSampleRate) + " Hz";
        return false;
    }
    audioCodec.reset(avcodec_alloc_context3(codec));
    int rc = avcodec_parameters_to_context(audioCodec.get(), stream->codecpar);
    if (rc >= 0) rc = avcodec_open2(audioCodec.get(), codec, nullptr);
    if (rc < 0) {
        error = "cannot decode its sound (" + AvErrorText(rc) + ")";
        return false;
    }
    if (!SetUpResampler(audioCodec->ch_layout, audioCodec->sample_fmt, audioCodec->sample_rate, rc)) {
        error = "cannot convert its sound (" + AvErrorText(rc) + ")";
        return false;
    }
    audioStream = index;
    const std::size_t capacity = sink != nullptr
                                     ? static_cast<std::size_t>(kVideoRingSeconds * mixer->SampleRate())
                                     : kSoundRingFrames * static_cast<std::size_t>(mixer->SampleRate()) / 48000;
    voice = std::make_unique<Voice>(mixer->SampleRate(), capacity);
    return true;
}

// Makes the converter from `layout`, `sampleFormat` and `rate` to the mixer's stereo float;
// false with the library's code in `rc` when it cannot.
bool MediaGraph::Impl::SetUpResampler(const AVChannelLayout& layout, AVSampleFormat sampleFormat, int rate, int& rc)
{
    AVChannelLayout inLayout{};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&inLayout, layout.nb_channels);
    else
        av_channel_layout_copy(&inLayout, &layout);
    AVChannelLayout outLayout = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext* swr = nullptr;
    rc = swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_FLT, mixer->SampleRate(), &inLayout, sampleFormat, rate,
                             0, nullptr);
    SwrContextPtr made(swr);
    // A mono sound plays at full level on both sides, not spread at -3 dB.
    const double monoToBoth[2] = {1.0, 1.0};
    if (rc >= 0 && inLayout.nb_channels == 1) rc = swr_set_matrix(swr, monoToBoth, 1);
    if (rc >= 0) rc = swr_init(swr);
    av_channel_layout_uninit(&inLayout);
    if (rc < 0) return false;
    resampler = std::move(made);
    av_channel_layout_uninit(&resamplerLayout);
    av_channel_layout_copy(&resamplerLayout, &layout);
    resamplerFormat = sampleFormat;
    resamplerRate = rate;
    return true;
}

bool MediaGraph::Impl::OpenVideo()
{
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (index < 0) return true;
    AVStream* stream = format->streams[index];
    videoCodec.reset(avcodec_alloc_context3(codec));
    int rc = avcodec_parameters_to_context(videoCodec.get(), stream->codecpar);
    if (rc >= 0) rc = avcodec_open2(videoCodec.get(), codec, nullptr);
    if (rc < 0 || videoCodec->width <= 0 || videoCodec->height <= 0) {
        error = "cannot decode its pictures (" + AvErrorText(rc) + ")";
        return false;
    }
    videoFormat.width = videoCodec->width;
    videoFormat.height = videoCodec->height;
    videoFormat.pitch = (videoFormat.width * 3 + 3) & ~3;
    frames.resize(kVideoQueueFrames);
    for (QueuedFrame& f : frames)
        f.pixels.assign(static_cast<std::size_t>(videoFormat.pitch) * videoFormat.height, 0);
    videoStream = index;
    videoEnded = false;
    if (stream->start_time != AV_NOPTS_VALUE)
        videoStart = std::max<MediaTime>(0, ToUnits(stream->start_time, stream->time_base));
    return true;
}

void MediaGraph::Impl::Start()
{
    if (voice) mixer->Add(voice.get());
    if (sink != nullptr && videoStream >= 0) sink->SetMediaType(videoFormat);
    if (videoStream < 0) {
        // A sound's first few milliseconds are decoded here, so that the output finds samples
        // at its very next pass after Run instead of waiting for the decoder thread to wake.
        // Each step only does what it can without waiting: the voice is not playing yet.
        std::unique_lock<std::mutex> guard(lock);
        const std::size_t wanted = static_cast<std::size_t>(mixer->SampleRate()) * kPrerollMs / 1000;
        for (int step = 0; step < kPrerollSteps && !demuxEnded && voice->BufferedFrames() < wanted; ++step)
            DecoderStep(guard);
    }
    decoder = std::thread([this] { DecoderLoop(); });
    if (videoStream >= 0) presenter = std::thread([this] { PresenterLoop(); });
}

// ---- clock ------------------------------------------------------------------------------

bool MediaGraph::Impl::SoundLeadsLocked(MediaTime soundPosition) const
{
    if (!voice || voice->IsDrained()) return false;
    if (voice->BufferedFrames() > 0) return true;
    // An empty voice: the decoder is merely behind (the clock waits for it), unless no sound
    // can come before the pictures move on: the decoder waits for a slot that only a picture
    // not yet due would free. Once the wall carries the clock it keeps it until sound is in
    // the voice again.
    const bool picturesWait =
        waitingForSlot && frameCount == frames.size() && frames[frameHead].position > soundPosition;
    return !wallCarrying && !picturesWait && !soundDropped;
}

MediaTime MediaGraph::Impl::ClockLocked()
{
    const MediaTime sound =
        voice ? audioBase + static_cast<MediaTime>(voice->ConsumedFrames() - audioBaseFrame) * kUnitsPerSecond /
                                voice->SampleRate()
              : 0;
    MediaTime now = 0;
    if (SoundLeadsLocked(sound)) {
        wallCarrying = false;
        now = sound;
    } else {
        if (!wallCarrying) {
            wallCarrying = true;
            StartWallLocked(lastClock);
        }
        now = running ? wallPosition + (NowUnits() - wallSince) : wallPosition;
    }
    lastClock = std::max(lastClock, now);
    return lastClock;
}

bool MediaGraph::Impl::EndedLocked()
{
    if (broken) return true;
    const MediaTime now = ClockLocked();
    if (stopSet && now >= stop) return true;
    return demuxEnded && (!voice || voice->IsDrained()) && videoEnded;
}

// ---- decoder thread ---------------------------------------------------------------------

void MediaGraph::Impl::DecoderLoop()
{
    std::unique_lock<std::mutex> guard(lock);
    while (!quit) {
        if (seekRequested) {
            decoderParked = true;
            wake.notify_all();
            wake.wait(guard, [this] { return quit || !seekRequested; });
            decoderParked = false;
            continue;
        }
        if (!DecoderStep(guard)) wake.wait_for(guard, kIdlePoll);
    }
}

// One unit of work that never waits; false when there was nothing to do (the caller idles a
// little).
bool MediaGraph::Impl::DecoderStep(std::unique_lock<std::mutex>& guard)
{
    if (pendingOffset * 2 < pendingAudio.size()) return FlushPendingAudio();
    if (demuxEnded) {
        // The voice ends once the last converted samples are in it.
        if (!voice || voice->IsEndOfStream()) return false;
        voice->SetEndOfStream(true);
        wake.notify_all();
        return true;
    }
    guard.unlock();
    const int rc = av_read_frame(format.get(), packet.get());
    guard.lock();
    if (seekRequested || quit) {
        av_packet_unref(packet.get());
        return true;
    }
    if (rc < 0) {
        EndOfFile(rc, guard);
        return true;
    }
    // Pictures a decoder swallows without a word (encrypted data, a codec named wrongly) give
    // no failures to count: a film whose first second of pictures brings none cannot be shown.
    // The second is the picture stream's own: sound may lead the pictures by more than that.
    // Pictures a decoder (or the parser before it) swallows without a word (encrypted data, a
    // codec named wrongly) give no failures to count: a film whose first second of pictures
    // brings none cannot be shown. That second starts where the pictures do (their first
    // packet, or before it the start the file gives them), not where the film does: sound may
    // lead the pictures by more than a second.
    if (videoStream >= 0 && videoCursor == kUnknown && packet->pts != AV_NOPTS_VALUE && !broken) {
        const MediaTime at = ToUnits(packet->pts, format->streams[packet->stream_index]->time_base);
        if (packet->stream_index == videoStream && firstVideoPacket == kUnknown) firstVideoPacket = at;
        const MediaTime picturesStart = firstVideoPacket != kUnknown ? firstVideoPacket : videoStart;
        if (at > std::max(skipUntil, picturesStart) + kFirstPictureWithin)
            Break("its pictures cannot be decoded (none in its first second)");
    }
    if (packet->stream_index == audioStream) {
        DecodeAudio(packet.get());
    } else if (packet->stream_index == videoStream && !broken) {
        DecodeVideo(packet.get(), guard);
    }
    av_packet_unref(packet.get());
    return true;
}

bool MediaGraph::Impl::FlushPendingAudio()
{
    if (voice->BufferedFrames() == 0) StartSoundStretch();
    std::size_t written = 0;
    while (silenceOwed > 0) {
        static const std::vector<float> silence(2 * 1024, 0.0f);
        const std::size_t n = voice->Write(silence.data(), std::min<std::size_t>(silenceOwed, silence.size() / 2));
        if (n == 0) return written > 0;
        silenceOwed -= n;
        written += n;
    }
    const std::size_t total = pendingAudio.size() / 2;
    const std::size_t taken = voice->Write(pendingAudio.data() + pendingOffset * 2, total - pendingOffset);
    pendingOffset += taken;
    pendingPosition += FramesToUnits(taken);
    if (pendingOffset >= total) {
        pendingAudio.clear();
        pendingOffset = 0;
    }
    return written + taken > 0;
}

// The voice is empty, so the pending sound begins a new stretch at its own position: sound
// ahead of the clock (a late start, a gap) is preceded by silence up to it, so that the
// clock runs on with the voice; sound behind a clock that the wall carried on is dropped up
// to it.
void MediaGraph::Impl::StartSoundStretch()
{
    const MediaTime clock = ClockLocked();
    silenceOwed = 0;
    // A timestamp beyond the file's end is damage, not a gap: the sound runs on instead.
    const MediaTime latest = duration != kUnknown ? duration : clock + kMaxSilence;
    if (pendingPosition > clock + kSoundGap && pendingPosition <= latest) {
        silenceOwed = static_cast<std::size_t>((pendingPosition - clock) * mixer->SampleRate() / kUnitsPerSecond);
        audioBase = clock;
    } else {
        if (wallCarrying && pendingPosition + kSoundGap < clock) {
            const std::size_t left = pendingAudio.size() / 2 - pendingOffset;
            const auto late = std::min(left, static_cast<std::size_t>((clock - pendingPosition) *
                                                                      mixer->SampleRate() / kUnitsPerSecond));
            pendingOffset += late;
            pendingPosition += FramesToUnits(late);
        }
        audioBase = pendingPosition;
    }
    audioBaseFrame = voice->ConsumedFrames();
}

void MediaGraph::Impl::DecodeAudio(const AVPacket* pkt)
{
    if (soundDropped) return;
    int rc = avcodec_send_packet(audioCodec.get(), pkt);
    bool gotFrame = false;
    while (rc >= 0) {
        rc = avcodec_receive_frame(audioCodec.get(), decoded.get());
        if (rc < 0) break;
        gotFrame = true;
        ConvertAudio(decoded.get());
        av_frame_unref(decoded.get());
    }
    // Sound the decoder cannot handle is skipped; when it keeps failing the pictures go on alone.
    if (pkt != nullptr && StreamFails(failedAudioPackets, gotFrame))
        DropSound("its sound cannot be decoded (" + FailureText(rc) + ")");
}

// Sets the resampler up again when a frame's layout, sample format or rate differs from what
// it converts (joined files change them mid-stream). False for a frame that cannot be
// converted; it is dropped.
bool MediaGraph::Impl::MatchResampler(const AVFrame* frame)
{
    if (frame->sample_rate < kMinSampleRate || frame->sample_rate > kMaxSampleRate || frame->ch_layout.nb_channels <= 0)
        return false;
    if (frame->format == resamplerFormat && frame->sample_rate == resamplerRate &&
        av_channel_layout_compare(&frame->ch_layout, &resamplerLayout) == 0)
        return true;
    int rc = 0;
    return SetUpResampler(frame->ch_layout, static_cast<AVSampleFormat>(frame->format), frame->sample_rate, rc);
}

// Resamples one decoded frame to the mixer's stereo float, drops what lies before the seek
// target or past the stop position, and appends the rest to the pending samples.
void MediaGraph::Impl::ConvertAudio(const AVFrame* frame)
{
    if (!MatchResampler(frame)) return;
    const int rate = mixer->SampleRate();
    // Sound runs on from the last frame; a timestamp further ahead than jitter is a gap (or a
    // late start), and the frame is placed where its timestamp says.
    MediaTime at = audioCursor != kUnknown ? audioCursor : skipUntil;
    if (frame->pts != AV_NOPTS_VALUE) {
        const MediaTime stamped = ToUnits(frame->pts, format->streams[audioStream]->time_base);
        if (audioCursor == kUnknown || stamped > audioCursor + kSoundGap) at = stamped;
    }
    const int room = swr_get_out_samples(resampler.get(), frame->nb_samples);
    if (room <= 0) return;
    const std::size_t old = pendingAudio.size();
    if (old + static_cast<std::size_t>(room) * 2 > kMaxPendingFloats) return;  // damaged: far too long
    pendingAudio.resize(old + static_cast<std::size_t>(room) * 2);
    auto* out = reinterpret_cast<std::uint8_t*>(pendingAudio.data() + old);
    const int got = swr_convert(resampler.get(), &out, room, const_cast<const std::uint8_t**>(frame->extended_data),
                                frame->nb_samples);
    std::size_t first = 0;
    std::size_t count = got > 0 ? static_cast<std::size_t>(got) : 0;
    if (at < skipUntil) {
        const auto drop = static_cast<std::size_t>((skipUntil - at) * rate / kUnitsPerSecond);
        first = std::min(drop, count);
    }
    if (stopSet) {
        const MediaTime end = at + FramesToUnits(count);
        if (end > stop) {
            const MediaTime keep = std::max<MediaTime>(0, (stop - at) * rate / kUnitsPerSecond);
            count = std::min(count, static_cast<std::size_t>(keep));
        }
    }
    audioCursor = at + FramesToUnits(got > 0 ? static_cast<std::size_t>(got) : 0);
    if (first >= count) {
        pendingAudio.resize(old);
        return;
    }
    if (old == 0) pendingPosition = at + FramesToUnits(first);
    if (first > 0) pendingAudio.erase(pendingAudio.begin() + static_cast<std::ptrdiff_t>(old),
                                      pendingAudio.begin() + static_cast<std::ptrdiff_t>(old + first * 2));
    pendingAudio.resize(old + (count - first) * 2);
}

void MediaGraph::Impl::DecodeVideo(const AVPacket* pkt, std::unique_lock<std::mutex>& guard)
{
    int rc = avcodec_send_packet(videoCodec.get(), pkt);
    bool gotFrame = false;
    while (rc >= 0) {
        rc = avcodec_receive_frame(videoCodec.get(), decoded.get());
        if (rc < 0) break;
        if (MatchScaler(decoded.get())) {
            gotFrame = true;
            QueueVideoFrame(decoded.get(), guard);
        }
        av_frame_unref(decoded.get());
        if (seekRequested || quit) return;
    }
    // A picture the decoder cannot handle is skipped; pictures that keep failing end the film.
    if (pkt != nullptr && StreamFails(failedVideoPackets, gotFrame))
        Break("its pictures cannot be decoded (" + FailureText(rc) + ")");
}

// Sets the picture converter up for the frame's size and pixel format (made at the first
// picture; a damaged stream may change them); false for a picture that cannot be converted,
// which is dropped. Pictures of another size are scaled to the one the sink was given.
bool MediaGraph::Impl::MatchScaler(const AVFrame* frame)
{
    if (frame->width <= 0 || frame->height <= 0 || frame->format < 0 ||
        sws_isSupportedInput(static_cast<AVPixelFormat>(frame->format)) <= 0)
        return false;
    scaler.reset(sws_getCachedContext(scaler.release(), frame->width, frame->height,
                                      static_cast<AVPixelFormat>(frame->format), videoFormat.width,
                                      videoFormat.height, AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr));
    return scaler != nullptr;
}

void MediaGraph::Impl::QueueVideoFrame(const AVFrame* frame, std::unique_lock<std::mutex>& guard)
{
    const std::int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    const MediaTime position = ts != AV_NOPTS_VALUE ? ToUnits(ts, format->streams[videoStream]->time_base) : 0;
    videoCursor = position;
    if (position < skipUntil || (stopSet && position >= stop)) return;
    // Wait for a free slot; meanwhile the sound keeps flowing into the voice, and once it has
    // none left the wall clock moves the pictures on.
    waitingForSlot = true;
    while (frameCount == frames.size()) {
        if (seekRequested || quit) {
            waitingForSlot = false;
            return;
        }
        if (pendingOffset * 2 < pendingAudio.size()) FlushPendingAudio();
        wake.wait_for(guard, kIdlePoll);
    }
    waitingForSlot = false;
    QueuedFrame& slot = frames[(frameHead + frameCount) % frames.size()];
    guard.unlock();
    // Bottom row first: start at the last row and step backwards.
    std::uint8_t* dst[4] = {slot.pixels.data() + static_cast<std::size_t>(videoFormat.height - 1) * videoFormat.pitch,
                            nullptr, nullptr, nullptr};
    int dstStride[4] = {-videoFormat.pitch, 0, 0, 0};
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, dst, dstStride);
    guard.lock();
    slot.position = position;
    ++frameCount;
    wake.notify_all();
}

// The sound stream fails: what it has given plays out, and the clock goes on without it.
void MediaGraph::Impl::DropSound(const std::string& reason)
{
    std::fprintf(stderr, "Kelvane: \"%s\": %s from %s on; it goes on without sound\n", file.c_str(), reason.c_str(),
                 SecondsText(audioCursor == kUnknown ? 0 : audioCursor).c_str());
    error = reason;
    soundDropped = true;
    pendingAudio.clear();
    pendingOffset = 0;
    voice->SetEndOfStream(true);
    wake.notify_all();
}

// The file fails part-way: playback ends at once, as if the end had been reached.
void MediaGraph::Impl::Break(const std::string& reason)
{
    std::fprintf(stderr, "Kelvane: \"%s\": %s at %s; playback ends there\n", file.c_str(), reason.c_str(),
                 SecondsText(lastClock).c_str());
    error = reason;
    broken = true;
    demuxEnded = true;
    videoEnded = true;
    pendingAudio.clear();
    pendingOffset = 0;
    if (voice) voice->SetEndOfStream(true);
    wake.notify_all();
}

void MediaGraph::Impl::EndOfFile(int rc, std::unique_lock<std::mutex>& guard)
{
    if (audioCodec) DecodeAudio(nullptr);
    if (videoCodec) DecodeVideo(nullptr, guard);
    if (seekRequested || quit || broken) return;
    demuxEnded = true;
    const MediaTime reached = std::max(audioCursor == kUnknown ? 0 : audioCursor,
                                       videoCursor == kUnknown ? 0 : videoCursor);
    const bool shortOfHeader = exactDuration && reached + kShortFileMargin < duration && skipUntil < reached;
    if (!cutShort.empty() || rc != AVERROR_EOF || shortOfHeader) {
        // The data ends before the file should: cut short, or its reading fails part-way.
        // What was read plays; the end moves to where it stops.
        const std::string why = !cutShort.empty() ? cutShort
                                : rc != AVERROR_EOF ? AvErrorText(rc)
                                                    : "the file is cut short";
        error = "ends at " + SecondsText(reached) + " (" + why + ")";
        std::fprintf(stderr, "Kelvane: \"%s\" %s\n", file.c_str(), error.c_str());
    }
    if (duration == kUnknown) {
        duration = audioCursor != kUnknown ? audioCursor : ClockLocked();
    } else if (shortOfHeader) {
        duration = reached;
        if (!stopSet || stop > reached) {
            stop = reached;
            stopSet = false;
        }
    } else if (reached > duration) {
        duration = reached;  // joined files: the header knows only the first part's length
    }
    if (!stopSet) stop = duration;
    wake.notify_all();
}

// ---- presenter thread -------------------------------------------------------------------

void MediaGraph::Impl::PresenterLoop()
{
    std::unique_lock<std::mutex> guard(lock);
    while (!quit) {
        if (seekRequested || !running || frameCount == 0) {
            if (!seekRequested && frameCount == 0 && demuxEnded) videoEnded = true;
            wake.wait_for(guard, kIdlePoll);
            continue;
        }
        QueuedFrame& front = frames[frameHead];
        const MediaTime wait = front.position - ClockLocked();
        if (wait > 0) {
            wake.wait_for(guard, std::min(std::chrono::microseconds(wait / 10),
                                          std::chrono::microseconds(kIdlePoll)));
            continue;
        }
        delivering = true;
        guard.unlock();
        sink->DoRenderSample(front.pixels.data(), front.pixels.size(), front.position);
        guard.lock();
        delivering = false;
        frameHead = (frameHead + 1) % frames.size();
        --frameCount;
        wake.notify_all();
    }
}

// ---- seeking (main thread) -----------------------------------------------------------------

void MediaGraph::Impl::Seek(MediaTime target)
{
    std::unique_lock<std::mutex> guard(lock);
    seekRequested = true;
    wake.notify_all();
    wake.wait(guard, [this] { return decoderParked && !delivering; });
    if (voice) {
        mixer->ResetVoice(voice.get());
        if (soundDropped) voice->SetEndOfStream(true);
    }
    frameHead = frameCount = 0;
    broken = false;
    demuxEnded = false;
    videoEnded = videoStream < 0;
    audioBase = target;
    audioBaseFrame = 0;
    waitingForSlot = wallCarrying = false;
    silenceOwed = 0;
    lastClock = target;
    StartWallLocked(target);
    skipUntil = target;
    pendingAudio.clear();
    pendingOffset = 0;
    audioCursor = kUnknown;
    videoCursor = kUnknown;
    firstVideoPacket = kUnknown;
    failedAudioPackets = failedVideoPackets = 0;
    const std::int64_t ts = av_rescale_q(target + startOffset, kMediaTimeBase, AV_TIME_BASE_Q);
    avformat_seek_file(format.get(), -1, std::numeric_limits<std::int64_t>::min(), ts, ts, 0);
    if (audioCodec) {
        avcodec_flush_buffers(audioCodec.get());
        swr_init(resampler.get());
    }
    if (videoCodec) avcodec_flush_buffers(videoCodec.get());
    seekRequested = false;
    wake.notify_all();
}

// ---- MediaGraph -------------------------------------------------------------------------

MediaGraph::MediaGraph(std::unique_ptr<Impl> impl) : c_pImpl(std::move(impl)) {}
MediaGraph::~MediaGraph() = default;

void MediaGraph::SetAudioGroup(VoiceGroup group)
{
    if (c_pImpl->voice) c_pImpl->voice->SetGroup(group);
}

std::unique_ptr<MediaGraph> MediaGraph::RenderFile(const std::wstring& path, FrameSink* sink, Mixer* mixer)
{
    // FFmpeg's own warnings (timestamp guesses and the like) would bury the one line we print.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
    auto impl = std::make_unique<Impl>();
    impl->mixer = mixer != nullptr ? mixer : &Mixer::Default();
    impl->sink = sink;
    // The game names its sounds and videos "data/..."; an installed game keeps them elsewhere.
    impl->file = GamePaths::Resolve(PathToUtf8(path));
    if (!impl->Open(impl->file)) {
        // A film's player reports its own failure (with what it adds about the pictures).
        if (sink == nullptr)
            std::fprintf(stderr, "Kelvane: cannot play \"%s\": %s; it stays silent\n", impl->file.c_str(),
                         impl->error.c_str());
        auto silent = std::make_unique<Impl>();
        silent->mixer = impl->mixer;
        silent->file = impl->file;
        silent->error = impl->error;
        silent->demuxEnded = true;
        return std::unique_ptr<MediaGraph>(new MediaGraph(std::move(silent)));
    }
    impl->Start();
    return std::unique_ptr<MediaGraph>(new MediaGraph(std::move(impl)));
}

bool MediaGraph::IsRendered() const { return c_pImpl->format != nullptr; }

std::string MediaGraph::GetError() const
{
    std::lock_guard<std::mutex> guard(c_pImpl->lock);
    return c_pImpl->error;
}

bool MediaGraph::HasAudio() const { return c_pImpl->audioStream >= 0; }
bool MediaGraph::HasVideo() const { return c_pImpl->videoStream >= 0; }

void MediaGraph::Run()
{
    Impl& g = *c_pImpl;
    std::lock_guard<std::mutex> guard(g.lock);
    if (g.running) return;
    g.wallPosition = g.ClockLocked();
    g.wallSince = NowUnits();
    g.running = true;
    if (g.voice) g.voice->SetPlaying(true);
    g.wake.notify_all();
}

void MediaGraph::Stop()
{
    Impl& g = *c_pImpl;
    std::lock_guard<std::mutex> guard(g.lock);
    if (!g.running) return;
    if (g.voice) g.voice->SetPlaying(false);
    g.wallPosition = g.ClockLocked();
    g.running = false;
}

void MediaGraph::SetPositions(const MediaTime* current, std::uint32_t currentFlags, const MediaTime* stop,
                              std::uint32_t stopFlags)
{
    Impl& g = *c_pImpl;
    if (!IsRendered()) return;
    MediaTime duration = 0;
    {
        // The decoder learns the length at the end of the file (or corrects the header's).
        std::lock_guard<std::mutex> guard(g.lock);
        if (stop != nullptr && (stopFlags & AM_SEEKING_AbsolutePositioning) != 0) {
            g.stop = std::max<MediaTime>(0, *stop);
            g.stopSet = g.stop != g.duration;
        }
        duration = g.duration;
    }
    if (current != nullptr && (currentFlags & AM_SEEKING_AbsolutePositioning) != 0)
        g.Seek(std::clamp<MediaTime>(*current, 0, std::max<MediaTime>(0, duration)));
}

void MediaGraph::GetPositions(MediaTime* current, MediaTime* stop)
{
    Impl& g = *c_pImpl;
    std::lock_guard<std::mutex> guard(g.lock);
    MediaTime now = 0;
    if (!IsRendered()) {
        now = 0;
    } else if (g.EndedLocked()) {
        now = g.stop;
    } else {
        now = std::clamp<MediaTime>(g.ClockLocked(), 0, std::max<MediaTime>(0, g.stop - kEndMargin));
    }
    if (current != nullptr) *current = now;
    if (stop != nullptr) *stop = IsRendered() ? g.stop : 0;
}

void MediaGraph::GetDuration(MediaTime* duration)
{
    std::lock_guard<std::mutex> guard(c_pImpl->lock);
    if (duration != nullptr) *duration = IsRendered() ? c_pImpl->duration : 0;
}

}  // namespace platform
