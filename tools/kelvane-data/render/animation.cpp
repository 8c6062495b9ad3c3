#include "render/animation.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "core/error.h"

namespace render {

namespace {

namespace fs = std::filesystem;

// Bumped whenever the header or the options below change what a sequence renders to.
constexpr const char* kAnimationRecipe = "kelvane-frames 3";
// At most this many povray processes per sequence, each with at least kFramesPerPart frames.
constexpr int kParts = 4;
constexpr int kFramesPerPart = 8;

std::string FrameFile(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "%04d.png", index + 1);
    return name;
}

// The text povray reads first: the header, the scene text or prelude, and the #include of the
// scene file (the included files' bytes go into the hash through IncludedFiles).
std::string SequenceText(const AnimationRequest& request)
{
    std::string text = SceneHeader(true, false) + request.scene;
    if (!request.sceneFile.empty()) text += "\n#include \"" + request.sceneFile + "\"\n";
    return text;
}

// The files povray wrote for the frames, in frame order ("frame01.png" .. or "frame.png").
std::vector<fs::path> WrittenFrames(const fs::path& dir)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("frame", 0) == 0 && entry.path().extension() == ".png") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The sequence kept in the cache, if it is there whole at the size povray renders it.
bool ReadCached(const fs::path& dir, int frameCount, int width, int height, std::vector<imaging::Image>* frames)
{
    if (!fs::is_directory(dir)) return false;
    frames->resize(static_cast<std::size_t>(frameCount));
    for (int i = 0; i < frameCount; ++i) {
        imaging::Image& frame = (*frames)[static_cast<std::size_t>(i)];
        if (!ReadPng((dir / FrameFile(i)).string(), &frame) || frame.width != width || frame.height != height)
            return false;
    }
    return true;
}

// Writes the sequence into the cache under a private name and renames it into place whole,
// over one that could not be read; one another run put there meanwhile stays.
void WriteCached(const fs::path& dir, const std::vector<imaging::Image>& frames)
{
    const fs::path partial = dir.string() + "." + std::to_string(::getpid()) + "." +
                             std::to_string(std::hash<std::thread::id>{}(std::this_thread::get_id())) + ".partial";
    fs::create_directories(partial);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const std::vector<std::uint8_t> png = imaging::EncodePng(frames[i]);
        std::ofstream out(partial / FrameFile(static_cast<int>(i)), std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        if (!out) throw Error("cannot write the render cache's frames in " + partial.string());
    }
    std::error_code taken;
    fs::remove_all(dir, taken);
    fs::rename(partial, dir, taken);
    if (taken) fs::remove_all(partial, taken);
}

}  // namespace

void FrameSize(const AnimationRequest& request, Quality quality, int* width, int* height)
{
    RenderRequest picture;
    picture.width = request.width;
    picture.height = request.height;
    RenderSize(picture, quality, width, height);
}

std::string AnimationHash(const AnimationRequest& request, Quality quality, const std::string& version,
                          const std::string& library)
{
    const std::string text = SequenceText(request);
    std::vector<std::string> parts{kAnimationRecipe, version, QualityName(quality),
                                   std::to_string(request.width) + "x" + std::to_string(request.height) + "x" +
                                       std::to_string(request.frames),
                                   text};
    for (const SceneFile& file : IncludedFiles(text, "the scene text of film " + request.name, library))
        parts.insert(parts.end(), {file.name, file.bytes});
    return HashOf(parts);
}

std::vector<imaging::Image> RenderFrames(const AnimationRequest& request, const RenderSettings& settings)
{
    if (request.width <= 0 || request.height <= 0 || request.frames < 1)
        throw Error("film scene " + request.name + ": no picture size or frame count given");
    const std::string version = settings.version.empty() ? RendererVersion(settings.program) : settings.version;
    const fs::path cached = settings.cacheDir.empty()
                                ? fs::path()
                                : fs::path(settings.cacheDir) / (AnimationHash(request, settings.quality, version, settings.sceneLibrary) + ".frames");
    int width = 0, height = 0;
    FrameSize(request, settings.quality, &width, &height);
    // The cache keeps the frames as povray renders them (small for drafts: quick to store);
    // they are scaled to the request's size on the way out.
    const auto scaled = [&](std::vector<imaging::Image> frames) {
        if (width != request.width || height != request.height)
            for (imaging::Image& frame : frames) frame = Resize(frame, request.width, request.height, false);
        return frames;
    };
    std::vector<imaging::Image> frames;
    if (!cached.empty() && ReadCached(cached, request.frames, width, height, &frames)) return scaled(std::move(frames));
    ScratchDir scratch;
    const fs::path dir = scratch.Path();
    {
        const std::string text = SequenceText(request);
        StageScene(dir.string(), text, IncludedFiles(text, "the scene text of film " + request.name, settings.sceneLibrary));
    }
    std::vector<std::string> args{"+Iscene.pov", "+Oframe.png", "+W" + std::to_string(width), "+H" + std::to_string(height)};
    const std::vector<std::string> common = CommonOptions(false, false);
    args.insert(args.end(), common.begin(), common.end());
    if (request.frames > 1)
        args.insert(args.end(), {"+KFI1", "+KFF" + std::to_string(request.frames), "+KI0", "+KF1"});
    const std::string where = "film scene " + request.name + " (" + std::to_string(request.frames) + " frames of " +
                              std::to_string(width) + " x " + std::to_string(height) + ", " +
                              QualityName(settings.quality) + "; kept in " + (dir / "scene.pov").string() + ")";
    scratch.Keep();

    // Parts of the sequence side by side: povray's subset options keep each frame's clock.
    const int parts = std::clamp(request.frames / kFramesPerPart, 1, kParts);
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(parts));
    std::vector<std::thread> runs;
    for (int p = 0; p < parts; ++p) {
        std::vector<std::string> partArgs = args;
        if (parts > 1)
            partArgs.insert(partArgs.end(), {"+SF" + std::to_string(1 + request.frames * p / parts),
                                             "+EF" + std::to_string(request.frames * (p + 1) / parts)});
        runs.emplace_back([&, p, partArgs] {
            try {
                RunRenderer(settings.program, partArgs, dir.string(), "output" + std::to_string(p + 1) + ".txt", where,
                            settings.sceneLibrary);
            } catch (...) {
                failures[static_cast<std::size_t>(p)] = std::current_exception();
            }
        });
    }
    for (std::thread& run : runs) run.join();
    for (const std::exception_ptr& failure : failures)
        if (failure) std::rethrow_exception(failure);

    const std::vector<fs::path> files = WrittenFrames(dir);
    if (static_cast<int>(files.size()) != request.frames)
        throw Error(where + ": povray left " + std::to_string(files.size()) + " frames of " +
                    std::to_string(request.frames));
    frames.assign(files.size(), {});
    for (std::size_t i = 0; i < files.size(); ++i) {
        imaging::Image& frame = frames[i];
        if (!ReadPng(files[i].string(), &frame) || frame.width != width || frame.height != height)
            throw Error(where + ": povray's " + files[i].filename().string() + " is not a " + std::to_string(width) +
                        " x " + std::to_string(height) + " picture");
        for (std::size_t k = 3; k < frame.pixels.size(); k += 4) frame.pixels[k] = 255;
    }
    scratch.Keep(false);
    if (!cached.empty()) WriteCached(cached, frames);
    return scaled(std::move(frames));
}

}  // namespace render
