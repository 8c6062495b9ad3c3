#include "platform/media/media_writer.h"

#include "core/error.h"
#include "platform/media/ffmpeg_handles.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace platform {

namespace {

struct FormatOutputDeleter {
    void operator()(AVFormatContext* p) const
    {
        if (p->pb != nullptr && !(p->oformat->flags & AVFMT_NOFILE)) avio_closep(&p->pb);
        avformat_free_context(p);
    }
};
using FormatOutputPtr = std::unique_ptr<AVFormatContext, FormatOutputDeleter>;

void Check(int rc, const std::string& path, const std::string& what)
{
    if (rc < 0) throw Error("Writing \"" + path + "\": " + what + " failed (" + AvErrorText(rc) + ")");
}

// One encoded stream of the file being written.
struct OutputStream {
    AVStream* stream = nullptr;
    CodecContextPtr codec;
    FramePtr frame;
    std::int64_t next = 0;  // pts of the next frame, in the codec's time base
};

class Writer {
public:
    explicit Writer(const std::string& path) : c_path(path)
    {
        AVFormatContext* raw = nullptr;
        Check(avformat_alloc_output_context2(&raw, nullptr, nullptr, path.c_str()), path, "choosing the container");
        c_format.reset(raw);
        c_packet.reset(av_packet_alloc());
    }

    OutputStream AddStream(const char* encoderName)
    {
        const AVCodec* codec = avcodec_find_encoder_by_name(encoderName);
        if (codec == nullptr) throw Error("Writing \"" + c_path + "\": no " + encoderName + " encoder in this FFmpeg");
        OutputStream out;
        out.stream = avformat_new_stream(c_format.get(), nullptr);
        out.codec.reset(avcodec_alloc_context3(codec));
        out.frame.reset(av_frame_alloc());
        if (c_format->oformat->flags & AVFMT_GLOBALHEADER) out.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        return out;
    }

    void OpenStream(OutputStream& out)
    {
        Check(avcodec_open2(out.codec.get(), out.codec->codec, nullptr), c_path, "opening the encoder");
        Check(avcodec_parameters_from_context(out.stream->codecpar, out.codec.get()), c_path, "stream parameters");
        out.stream->time_base = out.codec->time_base;
    }

    void Begin()
    {
        if (!(c_format->oformat->flags & AVFMT_NOFILE))
            Check(avio_open(&c_format->pb, c_path.c_str(), AVIO_FLAG_WRITE), c_path, "creating the file");
        Check(avformat_write_header(c_format.get(), nullptr), c_path, "writing the header");
    }

    // Encodes `frame` (null: flush) and writes every packet it yields.
    void Encode(OutputStream& out, const AVFrame* frame)
    {
        Check(avcodec_send_frame(out.codec.get(), frame), c_path, "encoding");
        for (;;) {
            const int rc = avcodec_receive_packet(out.codec.get(), c_packet.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return;
            Check(rc, c_path, "encoding");
            av_packet_rescale_ts(c_packet.get(), out.codec->time_base, out.stream->time_base);
            c_packet->stream_index = out.stream->index;
            Check(av_interleaved_write_frame(c_format.get(), c_packet.get()), c_path, "writing a packet");
        }
    }

    void End() { Check(av_write_trailer(c_format.get()), c_path, "writing the trailer"); }
    const std::string& Path() const { return c_path; }

private:
    std::string c_path;
    FormatOutputPtr c_format;
    PacketPtr c_packet;
};

// Sound: the encoder, a converter from interleaved float, and the generator's position.
struct SoundTrack {
    OutputStream out;
    SwrContextPtr converter;
    const SoundSpec* layout = nullptr;
    std::int64_t written = 0;
    std::int64_t startFrames = 0;  // the track's first timestamp, in samples
    int frameSize = 1024;

    void Setup(Writer& writer, const char* encoder, const SoundSpec& s, std::int64_t bitRate)
    {
        layout = &s;
        out = writer.AddStream(encoder);
        AVCodecContext* c = out.codec.get();
        const AVSampleFormat* formats = c->codec->sample_fmts;
        c->sample_fmt = formats != nullptr ? formats[0] : AV_SAMPLE_FMT_S16;
        c->sample_rate = s.sampleRate;
        av_channel_layout_default(&c->ch_layout, s.channels);
        c->bit_rate = bitRate;
        c->time_base = AVRational{1, s.sampleRate};
        writer.OpenStream(out);
        if (c->frame_size > 0) frameSize = c->frame_size;
        SwrContext* swr = nullptr;
        AVChannelLayout layout{};
        av_channel_layout_default(&layout, s.channels);
        Check(swr_alloc_set_opts2(&swr, &layout, c->sample_fmt, s.sampleRate, &layout, AV_SAMPLE_FMT_FLT,
                                  s.sampleRate, 0, nullptr), writer.Path(), "sound conversion");
        converter.reset(swr);
        Check(swr_init(swr), writer.Path(), "sound conversion");
    }

    bool Finished() const { return written >= layout->frames; }
    double NextSeconds() const { return static_cast<double>(startFrames + written) / layout->sampleRate; }

    void WriteNext(Writer& writer)
    {
        const int n = static_cast<int>(std::min<std::int64_t>(frameSize, layout->frames - written));
        std::vector<float> samples(static_cast<std::size_t>(n) * layout->channels, 0.0f);
        if (layout->samples) layout->samples(samples.data(), n, written);
        AVFrame* f = out.frame.get();
        av_frame_unref(f);
        f->format = out.codec->sample_fmt;
        f->sample_rate = layout->sampleRate;
        av_channel_layout_copy(&f->ch_layout, &out.codec->ch_layout);
        f->nb_samples = n;
        Check(av_frame_get_buffer(f, 0), writer.Path(), "sound buffer");
        const auto* in = reinterpret_cast<const std::uint8_t*>(samples.data());
        Check(swr_convert(converter.get(), f->data, n, &in, n), writer.Path(), "sound conversion");
        f->pts = startFrames + written;
        writer.Encode(out, f);
        written += n;
    }
};

// Pictures: the encoder and a converter from RGB24.
struct PictureTrack {
    OutputStream out;
    SwsContextPtr converter;
    const VideoSpec* layout = nullptr;
    std::vector<std::uint8_t> rgb;
    int written = 0;

    void Setup(Writer& writer, const VideoSpec& s)
    {
        layout = &s;
        out = writer.AddStream("wmv2");
        AVCodecContext* c = out.codec.get();
        c->width = s.width;
        c->height = s.height;
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->time_base = AVRational{1, s.framesPerSecond};
        c->framerate = AVRational{s.framesPerSecond, 1};
        c->gop_size = s.framesPerSecond / 2 > 0 ? s.framesPerSecond / 2 : 1;
        c->bit_rate = s.bitRate;
        writer.OpenStream(out);
        converter.reset(sws_getContext(s.width, s.height, AV_PIX_FMT_RGB24, s.width, s.height, AV_PIX_FMT_YUV420P,
                                       SWS_POINT, nullptr, nullptr, nullptr));
        if (!converter) throw Error("Writing \"" + writer.Path() + "\": no RGB to YUV conversion");
        rgb.assign(static_cast<std::size_t>(s.width) * 3 * s.height, 0);
    }

    bool Finished() const { return written >= layout->frameCount; }
    double NextSeconds() const { return static_cast<double>(written) / layout->framesPerSecond; }

    void WriteNext(Writer& writer)
    {
        const int pitch = layout->width * 3;
        if (layout->pictures) layout->pictures(rgb.data(), layout->width, layout->height, pitch, written);
        AVFrame* f = out.frame.get();
        av_frame_unref(f);
        f->format = AV_PIX_FMT_YUV420P;
        f->width = layout->width;
        f->height = layout->height;
        Check(av_frame_get_buffer(f, 0), writer.Path(), "picture buffer");
        const std::uint8_t* src[1] = {rgb.data()};
        const int srcStride[1] = {pitch};
        sws_scale(converter.get(), src, srcStride, 0, layout->height, f->data, f->linesize);
        f->pts = written;
        writer.Encode(out, f);
        ++written;
    }
};

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void WriteSoundFile(const std::string& path, const SoundSpec& layout)
{
    const bool wav = EndsWith(path, ".wav");
    const char* encoder = wav ? (layout.wavBits == 8 ? "pcm_u8" : "pcm_s16le")
                              : EndsWith(path, ".mp3") ? "libmp3lame" : nullptr;
    if (encoder == nullptr) throw Error("Writing \"" + path + "\": sound files are .wav or .mp3");
    if (wav && layout.wavBits != 8 && layout.wavBits != 16)
        throw Error("Writing \"" + path + "\": a .wav holds 8- or 16-bit samples, not " + std::to_string(layout.wavBits));
    Writer writer(path);
    SoundTrack sound;
    sound.Setup(writer, encoder, layout, 128000);
    writer.Begin();
    while (!sound.Finished()) sound.WriteNext(writer);
    writer.Encode(sound.out, nullptr);
    writer.End();
}

void WriteVideoFile(const std::string& path, const VideoSpec& layout)
{
    if (!EndsWith(path, ".wmv")) throw Error("Writing \"" + path + "\": videos are .wmv");
    Writer writer(path);
    PictureTrack pictures;
    pictures.Setup(writer, layout);
    SoundTrack sound;
    if (layout.sound) {
        sound.Setup(writer, "wmav2", *layout.sound, 64000);
        sound.startFrames = static_cast<std::int64_t>(layout.soundStartMs) * layout.sound->sampleRate / 1000;
    }
    writer.Begin();
    // Interleave: always encode whichever stream is further behind in time.
    for (;;) {
        const bool soundLeft = layout.sound && !sound.Finished();
        if (!soundLeft && pictures.Finished()) break;
        if (soundLeft && (pictures.Finished() || sound.NextSeconds() <= pictures.NextSeconds()))
            sound.WriteNext(writer);
        else
            pictures.WriteNext(writer);
    }
    writer.Encode(pictures.out, nullptr);
    if (layout.sound) writer.Encode(sound.out, nullptr);
    writer.End();
}

SampleGenerator SineTone(double frequency, float amplitude, int sampleRate, int channels)
{
    return [=](float* out, int frames, std::int64_t first) {
        for (int i = 0; i < frames; ++i) {
            const double t = static_cast<double>(first + i) / sampleRate;
            const float v = amplitude * static_cast<float>(std::sin(2.0 * std::numbers::pi * frequency * t));
            for (int c = 0; c < channels; ++c) out[i * channels + c] = v;
        }
    };
}

PictureGenerator SolidColour(std::function<std::uint32_t(int index)> rgbOfFrame)
{
    return [rgbOfFrame = std::move(rgbOfFrame)](std::uint8_t* rgb, int width, int height, int pitch, int index) {
        const std::uint32_t colour = rgbOfFrame(index);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = rgb + static_cast<std::ptrdiff_t>(y) * pitch;
            for (int x = 0; x < width; ++x) {
                row[x * 3] = static_cast<std::uint8_t>(colour >> 16);
                row[x * 3 + 1] = static_cast<std::uint8_t>(colour >> 8);
                row[x * 3 + 2] = static_cast<std::uint8_t>(colour);
            }
        }
    };
}

}  // namespace platform
