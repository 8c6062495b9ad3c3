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
constexpr std::size_t kVideoQueueFrames = 4;      // decoded pictures waiting for their time
constexpr auto kIdlePoll = std::chrono::milliseconds(5);
constexpr MediaTime kEndMargin = 1001;
constexpr int kPrerollMs = 20;                    // decoded by RenderFile itself for sounds
constexpr int kPrerollSteps = 8;
constexpr std::int64_t kPcmProbeBytes = 4096;            // keeps "current" short of the end until it is

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
    std::string error;
    FormatContextPtr format;
    MediaTime startOffset = 0;     // the container's first timestamp, as 100 ns
    int audioStream = -1;
    CodecContextPtr audioCodec;
    SwrContextPtr resampler;
    std::unique_ptr<Voice> voice;
    int videoStream = -1;
    CodecContextPtr videoCodec;
    SwsContextPtr scaler;
    VideoFormat videoFormat;

    // ---- shared state, guarded by `lock` ----
    std::mutex lock;
    std::condition_variable wake;
    bool quit = false;
    bool seekRequested = false;    // the decoder and presenter park while the main thread seeks
    bool decoderParked = false;
    bool delivering = false;       // the presenter is inside the sink
    bool running = false;
    bool demuxEnded = false;
    bool videoEnded = true;        // no video, or its last frame has been shown
    MediaTime duration = 0;
    MediaTime stop = 0;
    bool stopSet = false;          // the stop position was set (else it is the end of the file)
    MediaTime skipUntil = 0;       // decoded media before this position is dropped (after seeks)
    MediaTime audioBase = 0;       // the position of the voice's first frame since the last seek
    bool audioFinished = true;     // no sound, or it has played out: the wall clock takes over
    MediaTime wallPosition = 0;    // wall clock: position at `wallSince` ...
    MediaTime wallSince = 0;       // ... and the steady time it was taken at
    std::vector<QueuedFrame> frames;
    std::size_t frameHead = 0;
    std::size_t frameCount = 0;

    // ---- decoder thread only ----
    std::vector<float> pendingAudio;   // converted frames not yet in the voice
    std::size_t pendingOffset = 0;     // in frames
    MediaTime audioCursor = kUnknown;  // position of the next converted sample
    FramePtr decoded;
    PacketPtr packet;

    std::thread decoder;
    std::thread presenter;

    ~Impl();
    bool Open(const std::string& path);
    bool OpenAudio();
    bool OpenVideo();
    void Start();

    MediaTime ToUnits(std::int64_t ts, AVRational base) const
    {
        return av_rescale_q(ts, base, kMediaTimeBase) - startOffset;
    }
    MediaTime ClockLocked();
    bool EndedLocked();
    void StartWallLocked(MediaTime at) { wallPosition = at; wallSince = NowUnits(); }

    void DecoderLoop();
    bool DecoderStep(std::unique_lock<std::mutex>& guard);
    bool FlushPendingAudio();
    void DecodeAudio(const AVPacket* pkt);
    void ConvertAudio(const AVFrame* frame);
    void DecodeVideo(const AVPacket* pkt, std::unique_lock<std::mutex>& guard);
    void QueueVideoFrame(const AVFrame* frame, std::unique_lock<std::mutex>& guard);
    void EndOfFile(std::unique_lock<std::mutex>& guard);
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
    if (raw->start_time != AV_NOPTS_VALUE) startOffset = av_rescale_q(raw->start_time, AV_TIME_BASE_Q, kMediaTimeBase);
    if (!OpenAudio()) return false;
    if (sink != nullptr && !OpenVideo()) return false;
    if (audioStream < 0 && videoStream < 0) {
        error = sink != nullptr ? "has no sound or picture stream to play" : "has no sound stream";
        return false;
    }
    if (headerDuration != kUnknown)
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
    audioCodec.reset(avcodec_alloc_context3(codec));
    int rc = avcodec_parameters_to_context(audioCodec.get(), stream->codecpar);
    if (rc >= 0) rc = avcodec_open2(audioCodec.get(), codec, nullptr);
    if (rc < 0) {
        error = "cannot decode its sound (" + AvErrorText(rc) + ")";
        return false;
    }
    AVChannelLayout inLayout{};
    if (audioCodec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&inLayout, audioCodec->ch_layout.nb_channels);
    else
        av_channel_layout_copy(&inLayout, &audioCodec->ch_layout);
    AVChannelLayout outLayout = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext* swr = nullptr;
    rc = swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_FLT, mixer->SampleRate(), &inLayout,
                             audioCodec->sample_fmt, audioCodec->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    resampler.reset(swr);
    // A mono sound plays at full level on both sides, not spread at -3 dB.
    const double monoToBoth[2] = {1.0, 1.0};
    if (rc >= 0 && audioCodec->ch_layout.nb_channels == 1) rc = swr_set_matrix(swr, monoToBoth, 1);
    if (rc >= 0) rc = swr_init(swr);
    if (rc < 0) {
        error = "cannot convert its sound (" + AvErrorText(rc) + ")";
        return false;
    }
    audioStream = index;
    const std::size_t capacity = sink != nullptr
                                     ? static_cast<std::size_t>(kVideoRingSeconds * mixer->SampleRate())
                                     : kSoundRingFrames * static_cast<std::size_t>(mixer->SampleRate()) / 48000;
    voice = std::make_unique<Voice>(mixer->SampleRate(), capacity);
    audioFinished = false;
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
    scaler.reset(sws_getContext(videoFormat.width, videoFormat.height, videoCodec->pix_fmt, videoFormat.width,
                                videoFormat.height, AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr));
    if (!scaler) {
        error = "cannot convert its pictures to 24-bit RGB";
        return false;
    }
    frames.resize(kVideoQueueFrames);
    for (QueuedFrame& f : frames)
        f.pixels.assign(static_cast<std::size_t>(videoFormat.pitch) * videoFormat.height, 0);
    videoStream = index;
    videoEnded = false;
    return true;
}

void MediaGraph::Impl::Start()
{
    if (voice) mixer->Add(voice.get());
    if (sink != nullptr && videoStream >= 0) sink->SetMediaType(videoFormat);
    if (videoStream < 0) {
        // A sound's first few milliseconds are decoded here, so that the output finds samples
        // at its very next pass after Run instead of waiting for the decoder thread to wake.
        std::unique_lock<std::mutex> guard(lock);
        const std::size_t wanted = static_cast<std::size_t>(mixer->SampleRate()) * kPrerollMs / 1000;
        for (int step = 0; step < kPrerollSteps && !demuxEnded && voice->BufferedFrames() < wanted; ++step)
            DecoderStep(guard);
    }
    decoder = std::thread([this] { DecoderLoop(); });
    if (videoStream >= 0) presenter = std::thread([this] { PresenterLoop(); });
}

// ---- clock ------------------------------------------------------------------------------

MediaTime MediaGraph::Impl::ClockLocked()
{
    if (!audioFinished) {
        const MediaTime played = audioBase + static_cast<MediaTime>(voice->ConsumedFrames()) * 10000000 /
                                                 voice->SampleRate();
        if (!voice->IsDrained()) return played;
        // The sound has played out: the wall clock carries on from its end (pictures may last longer).
        audioFinished = true;
        StartWallLocked(played);
    }
    return running ? wallPosition + (NowUnits() - wallSince) : wallPosition;
}

bool MediaGraph::Impl::EndedLocked()
{
    const MediaTime now = ClockLocked();
    if (stopSet && now >= stop) return true;
    return demuxEnded && audioFinished && videoEnded;
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

// One unit of work; false when there was nothing to do (the caller idles a little).
bool MediaGraph::Impl::DecoderStep(std::unique_lock<std::mutex>& guard)
{
    if (pendingOffset * 2 < pendingAudio.size()) return FlushPendingAudio();
    if (demuxEnded) return false;
    guard.unlock();
    const int rc = av_read_frame(format.get(), packet.get());
    guard.lock();
    if (seekRequested || quit) {
        av_packet_unref(packet.get());
        return true;
    }
    if (rc < 0) {
        EndOfFile(guard);
        return true;
    }
    if (packet->stream_index == audioStream) {
        DecodeAudio(packet.get());
    } else if (packet->stream_index == videoStream) {
        DecodeVideo(packet.get(), guard);
    }
    av_packet_unref(packet.get());
    return true;
}

bool MediaGraph::Impl::FlushPendingAudio()
{
    const std::size_t total = pendingAudio.size() / 2;
    const std::size_t written = voice->Write(pendingAudio.data() + pendingOffset * 2, total - pendingOffset);
    pendingOffset += written;
    if (pendingOffset == total) {
        pendingAudio.clear();
        pendingOffset = 0;
    }
    return written > 0;
}

void MediaGraph::Impl::DecodeAudio(const AVPacket* pkt)
{
    if (avcodec_send_packet(audioCodec.get(), pkt) < 0) return;
    while (avcodec_receive_frame(audioCodec.get(), decoded.get()) >= 0) {
        ConvertAudio(decoded.get());
        av_frame_unref(decoded.get());
    }
}

// Resamples one decoded frame to the mixer's stereo float, drops what lies before the seek
// target or past the stop position, and appends the rest to the pending samples.
void MediaGraph::Impl::ConvertAudio(const AVFrame* frame)
{
    const int rate = mixer->SampleRate();
    if (audioCursor == kUnknown) {
        audioCursor = frame->pts != AV_NOPTS_VALUE ? ToUnits(frame->pts, format->streams[audioStream]->time_base)
                                                   : skipUntil;
    }
    const int room = swr_get_out_samples(resampler.get(), frame->nb_samples);
    if (room <= 0) return;
    const std::size_t old = pendingAudio.size();
    pendingAudio.resize(old + static_cast<std::size_t>(room) * 2);
    auto* out = reinterpret_cast<std::uint8_t*>(pendingAudio.data() + old);
    const int got = swr_convert(resampler.get(), &out, room, const_cast<const std::uint8_t**>(frame->extended_data),
                                frame->nb_samples);
    std::size_t first = 0;
    std::size_t count = got > 0 ? static_cast<std::size_t>(got) : 0;
    if (audioCursor < skipUntil) {
        const auto drop = static_cast<std::size_t>((skipUntil - audioCursor) * rate / 10000000);
        first = std::min(drop, count);
    }
    if (stopSet) {
        const MediaTime end = audioCursor + static_cast<MediaTime>(count) * 10000000 / rate;
        if (end > stop) {
            const MediaTime keep = std::max<MediaTime>(0, (stop - audioCursor) * rate / 10000000);
            count = std::min(count, static_cast<std::size_t>(keep));
        }
    }
    audioCursor += static_cast<MediaTime>(got > 0 ? got : 0) * 10000000 / rate;
    if (first >= count) {
        pendingAudio.resize(old);
        return;
    }
    if (first > 0) pendingAudio.erase(pendingAudio.begin() + static_cast<std::ptrdiff_t>(old),
                                      pendingAudio.begin() + static_cast<std::ptrdiff_t>(old + first * 2));
    pendingAudio.resize(old + (count - first) * 2);
}

void MediaGraph::Impl::DecodeVideo(const AVPacket* pkt, std::unique_lock<std::mutex>& guard)
{
    if (avcodec_send_packet(videoCodec.get(), pkt) < 0) return;
    while (avcodec_receive_frame(videoCodec.get(), decoded.get()) >= 0) {
        QueueVideoFrame(decoded.get(), guard);
        av_frame_unref(decoded.get());
        if (seekRequested || quit) return;
    }
}

void MediaGraph::Impl::QueueVideoFrame(const AVFrame* frame, std::unique_lock<std::mutex>& guard)
{
    const std::int64_t ts = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
    const MediaTime position = ts != AV_NOPTS_VALUE ? ToUnits(ts, format->streams[videoStream]->time_base) : 0;
    if (position < skipUntil || (stopSet && position >= stop)) return;
    // Wait for a free slot; meanwhile the sound keeps flowing into the voice.
    while (frameCount == frames.size()) {
        if (seekRequested || quit) return;
        if (pendingOffset * 2 < pendingAudio.size()) FlushPendingAudio();
        wake.wait_for(guard, kIdlePoll);
    }
    QueuedFrame& slot = frames[(frameHead + frameCount) % frames.size()];
    guard.unlock();
    // Bottom row first: start at the last row and step backwards.
    std::uint8_t* dst[4] = {slot.pixels.data() + static_cast<std::size_t>(videoFormat.height - 1) * videoFormat.pitch,
                            nullptr, nullptr, nullptr};
    int dstStride[4] = {-videoFormat.pitch, 0, 0, 0};
    sws_scale(scaler.get(), frame->data, frame->linesize, 0, videoFormat.height, dst, dstStride);
    guard.lock();
    slot.position = position;
    ++frameCount;
    wake.notify_all();
}

void MediaGraph::Impl::EndOfFile(std::unique_lock<std::mutex>& guard)
{
    if (audioCodec) DecodeAudio(nullptr);
    if (videoCodec) DecodeVideo(nullptr, guard);
    if (seekRequested || quit) return;
    demuxEnded = true;
    if (duration == kUnknown) duration = audioCursor != kUnknown ? audioCursor : ClockLocked();
    if (!stopSet) stop = duration;
    // The voice ends once the last converted samples are in it (see the loop's idle check).
    while (pendingOffset * 2 < pendingAudio.size() && !seekRequested && !quit) {
        if (!FlushPendingAudio()) wake.wait_for(guard, kIdlePoll);
    }
    if (voice && !seekRequested && !quit) voice->SetEndOfStream(true);
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
        audioFinished = false;
    }
    frameHead = frameCount = 0;
    demuxEnded = false;
    videoEnded = videoStream < 0;
    audioBase = target;
    StartWallLocked(target);
    skipUntil = target;
    pendingAudio.clear();
    pendingOffset = 0;
    audioCursor = kUnknown;
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
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_ERROR); });
    auto impl = std::make_unique<Impl>();
    impl->mixer = mixer != nullptr ? mixer : &Mixer::Default();
    impl->sink = sink;
    // The game names its sounds and videos "data/..."; an installed game keeps them elsewhere.
    const std::string file = GamePaths::Resolve(PathToUtf8(path));
    if (!impl->Open(file)) {
        std::fprintf(stderr, "Kelvane: cannot play \"%s\": %s; it stays silent\n", file.c_str(), impl->error.c_str());
        auto silent = std::make_unique<Impl>();
        silent->mixer = impl->mixer;
        silent->error = impl->error;
        silent->demuxEnded = true;
        return std::unique_ptr<MediaGraph>(new MediaGraph(std::move(silent)));
    }
    impl->Start();
    return std::unique_ptr<MediaGraph>(new MediaGraph(std::move(impl)));
}

bool MediaGraph::IsRendered() const { return c_pImpl->format != nullptr; }
const std::string& MediaGraph::GetError() const { return c_pImpl->error; }
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
    if (stop != nullptr && (stopFlags & AM_SEEKING_AbsolutePositioning) != 0) {
        std::lock_guard<std::mutex> guard(g.lock);
        g.stop = std::max<MediaTime>(0, *stop);
        g.stopSet = g.stop != g.duration;
    }
    if (current != nullptr && (currentFlags & AM_SEEKING_AbsolutePositioning) != 0)
        g.Seek(std::clamp<MediaTime>(*current, 0, std::max<MediaTime>(0, g.duration)));
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
