#include "file_probe.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "core/error.h"
#include "display/d3dfunc.h"
#include "imaging/image.h"
#include "platform/audio/audio_mixer.h"
#include "platform/media/media_graph.h"

namespace {

constexpr auto kFirstPictureTimeout = std::chrono::seconds(2);
constexpr auto kPollInterval = std::chrono::milliseconds(5);
constexpr int kPullFrames = 1024;  // samples pulled from the manual mixer per poll

// Counts the pictures a video delivers; called on the graph's presenter thread.
class PictureCounter : public platform::FrameSink {
public:
    void SetMediaType(const platform::VideoFormat& format) override { c_bSized = format.width > 0 && format.height > 0; }
    void DoRenderSample(const std::uint8_t*, std::size_t, std::int64_t) override { ++c_iPictures; }
    bool Sized() const { return c_bSized; }
    int Pictures() const { return c_iPictures.load(); }

private:
    bool c_bSized = false;
    std::atomic<int> c_iPictures{0};
};

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

ProbedFile MissingFile() { return ProbedFile{true, "the file does not exist", 0, 0}; }

}  // namespace

std::string Narrow(const std::wstring& path) { return platform::PathToUtf8(path); }

FileProbe::FileProbe() : c_pMixer(std::make_unique<platform::Mixer>(platform::Mixer::Output::Manual)) {}

FileProbe::~FileProbe() = default;

const ProbedFile& FileProbe::Picture(const std::string& path, int offset)
{
    const auto key = std::make_pair(path, offset);
    if (auto known = c_pPictures.find(key); known != c_pPictures.end()) return known->second;
    ProbedFile result;
    if (!Exists(path)) {
        result = MissingFile();
    } else {
        try {
            const std::vector<std::uint8_t> bytes = D3Dfunc::ReadEncrypted(path.c_str(), offset);
            imaging::Image image;
            std::string error;
            if (imaging::DecodeImage(bytes.data(), bytes.size(), &image, &error)) {
                result.width = image.width;
                result.height = image.height;
            } else {
                result.error = "does not decode with offset " + std::to_string(offset) + ": " + error;
            }
        } catch (const Error& e) {
            result.error = e.what();
        }
    }
    return c_pPictures.emplace(key, result).first->second;
}

const ProbedFile& FileProbe::Sound(const std::wstring& path)
{
    if (auto known = c_pSounds.find(path); known != c_pSounds.end()) return known->second;
    ProbedFile result;
    if (!Exists(Narrow(path))) {
        result = MissingFile();
    } else {
        auto graph = platform::MediaGraph::RenderFile(path, nullptr, c_pMixer.get());
        platform::MediaTime duration = 0;
        graph->GetDuration(&duration);
        if (!graph->IsRendered()) {
            result.error = "does not play: " + graph->GetError();
        } else if (!graph->HasAudio()) {
            result.error = "holds no sound";
        } else if (duration <= 0) {
            result.error = "holds a sound of no length";
        }
    }
    return c_pSounds.emplace(path, result).first->second;
}

const ProbedFile& FileProbe::Video(const std::wstring& path)
{
    if (auto known = c_pVideos.find(path); known != c_pVideos.end()) return known->second;
    ProbedFile result;
    if (!Exists(Narrow(path))) {
        result = MissingFile();
    } else {
        PictureCounter counter;
        auto graph = platform::MediaGraph::RenderFile(path, &counter, c_pMixer.get());
        if (!graph->IsRendered()) {
            result.error = "does not play: " + graph->GetError();
        } else if (!graph->HasVideo() || !counter.Sized()) {
            result.error = "holds no pictures";
        } else {
            // The manual mixer only advances when pulled, so the sound track never holds the
            // pictures back.
            graph->Run();
            std::vector<float> sink(static_cast<std::size_t>(kPullFrames) * 2);
            const auto deadline = std::chrono::steady_clock::now() + kFirstPictureTimeout;
            while (counter.Pictures() == 0 && std::chrono::steady_clock::now() < deadline) {
                c_pMixer->Mix(sink.data(), kPullFrames);
                std::this_thread::sleep_for(kPollInterval);
            }
            graph->Stop();
            if (counter.Pictures() == 0) result.error = "delivers no picture (its pictures do not decode)";
        }
        graph.reset();  // before the counter it feeds goes
    }
    return c_pVideos.emplace(path, result).first->second;
}
