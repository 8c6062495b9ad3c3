#include "render/povray.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "core/error.h"

namespace render {

namespace {

namespace fs = std::filesystem;

constexpr int kDraftDivisor = 4;
// Bumped whenever the header or the command line below changes what a scene renders to.
constexpr const char* kRenderRecipe = "kelvane-render 2";

std::vector<std::uint8_t> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadText(const fs::path& path)
{
    const std::vector<std::uint8_t> bytes = ReadAll(path);
    return {bytes.begin(), bytes.end()};
}

void WriteAll(const fs::path& path, const void* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) throw Error("cannot write " + path.string());
}

// Runs `args` in `dir` with standard output and error in `logFile`; the exit status, or -1
// with `failure` set if the program could not be started or was killed.
int RunProgram(const std::vector<std::string>& args, const fs::path& dir, const fs::path& logFile, std::string* failure)
{
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string dirText = dir.string(), logText = logFile.string();
    const pid_t child = ::fork();
    if (child < 0) {
        *failure = std::string("cannot start a process: ") + std::strerror(errno);
        return -1;
    }
    if (child == 0) {
        const int log = ::open(logText.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int nothing = ::open("/dev/null", O_RDONLY);
        if (log < 0 || nothing < 0 || ::chdir(dirText.c_str()) != 0) ::_exit(126);
        ::dup2(nothing, 0);
        ::dup2(log, 1);
        ::dup2(log, 2);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR) {
            *failure = std::string("lost the process: ") + std::strerror(errno);
            return -1;
        }
    if (WIFSIGNALED(status)) {
        *failure = "killed by signal " + std::to_string(WTERMSIG(status));
        return -1;
    }
    const int code = WEXITSTATUS(status);
    if (code == 127) *failure = "'" + args[0] + "' was not found (scripts/install-deps installs povray)";
    if (code == 126) *failure = "could not open its log or directory in " + dirText;
    return code;
}

// The last `count` non-empty lines of the renderer's output, for an error message.
std::string Tail(const std::string& text, int count)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find_first_not_of(" \t\r") != std::string::npos) lines.push_back(line);
    std::string out;
    for (std::size_t i = lines.size() > static_cast<std::size_t>(count) ? lines.size() - count : 0; i < lines.size(); ++i)
        out += "\n    " + lines[i];
    return out;
}

bool DecodePng(const std::vector<std::uint8_t>& bytes, imaging::Image* image, std::string* error)
{
    return !bytes.empty() && imaging::DecodeImage(bytes.data(), bytes.size(), image, error);
}

}  // namespace

bool ParseQuality(const std::string& text, Quality* quality)
{
    if (text == "draft") *quality = Quality::Draft;
    else if (text == "full") *quality = Quality::Full;
    else return false;
    return true;
}

const char* QualityName(Quality quality) { return quality == Quality::Draft ? "draft" : "full"; }

std::string SceneHeader(bool draft, bool radiosity)
{
    std::string text = "#version 3.7;\n";
    text += draft ? "#declare Draft = true;\n" : "#declare Draft = false;\n";
    text += "global_settings {\n  assumed_gamma 1.0\n  max_trace_level 8\n";
    if (radiosity)
        text += "  radiosity {\n    pretrace_start 0.08 pretrace_end 0.04 count 50 nearest_count 5\n"
                "    error_bound 1.0 recursion_limit 1 low_error_factor 0.5 gray_threshold 0.0\n"
                "    minimum_reuse 0.015 brightness 1.0 adc_bailout 0.01 always_sample off\n  }\n";
    text += "}\n";
    return text;
}

std::string SceneText(const RenderRequest& request, Quality quality)
{
    std::string text = SceneHeader(quality == Quality::Draft, quality == Quality::Full) + request.scene;
    if (!request.sceneFile.empty()) text += "\n#include \"" + request.sceneFile + "\"\n";
    return text;
}

void RenderSize(const RenderRequest& request, Quality quality, int* width, int* height)
{
    *width = request.width;
    *height = request.height;
    if (quality == Quality::Draft) {
        *width = std::max(8, request.width / kDraftDivisor);
        *height = std::max(4, request.height / kDraftDivisor);
    }
}

std::string RendererVersion(const std::string& program)
{
    const ScratchDir scratch;
    const fs::path dir = scratch.Path();
    std::string failure;
    const int code = RunProgram({program, "--version"}, dir, dir / "version.txt", &failure);
    const std::string output = ReadText(dir / "version.txt");
    if (code != 0) throw Error("cannot run '" + program + " --version': " + (failure.empty() ? "exit status " + std::to_string(code) : failure));
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);)
        if (line.find("POV-Ray") != std::string::npos) return line;
    throw Error("'" + program + " --version' did not name its version" + Tail(output, 3));
}

std::string HashOf(const std::vector<std::string>& parts)
{
    std::uint64_t hash = 1469598103934665603ull;
    for (const std::string& text : parts) {
        for (unsigned char c : text) {
            hash ^= c;
            hash *= 1099511628211ull;
        }
        hash ^= 0xff;
        hash *= 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

namespace {

std::string HashWith(const RenderRequest& request, Quality quality, const std::string& version, const std::string& text,
                     const std::vector<SceneFile>& included)
{
    std::vector<std::string> parts{kRenderRecipe, version, QualityName(quality),
                                   std::to_string(request.width) + "x" + std::to_string(request.height) +
                                       (request.alpha ? "a" : "") + (request.wrapsAround ? "w" : ""),
                                   text};
    for (const SceneFile& file : included) parts.insert(parts.end(), {file.name, file.bytes});
    return HashOf(parts);
}

std::string TextName(const RenderRequest& request) { return "the scene text of " + request.name; }

}  // namespace

std::string InputHash(const RenderRequest& request, Quality quality, const std::string& version,
                      const std::string& library)
{
    const std::string text = SceneText(request, quality);
    return HashWith(request, quality, version, text, IncludedFiles(text, TextName(request), library));
}

imaging::Image Resize(const imaging::Image& image, int width, int height, bool wrapsAround)
{
    imaging::Image out{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
    const double sx = static_cast<double>(image.width) / width, sy = static_cast<double>(image.height) / height;
    for (int y = 0; y < height; ++y) {
        const double fy = std::clamp((y + 0.5) * sy - 0.5, 0.0, image.height - 1.0);
        const int y0 = static_cast<int>(fy), y1 = std::min(y0 + 1, image.height - 1);
        const double ty = fy - y0;
        for (int x = 0; x < width; ++x) {
            double fx = (x + 0.5) * sx - 0.5;
            int x0, x1;
            if (wrapsAround) {
                const double f = std::floor(fx);
                x0 = (static_cast<int>(f) % image.width + image.width) % image.width;
                x1 = (x0 + 1) % image.width;
                fx -= f;
            } else {
                fx = std::clamp(fx, 0.0, image.width - 1.0);
                x0 = static_cast<int>(fx);
                x1 = std::min(x0 + 1, image.width - 1);
                fx -= x0;
            }
            for (int c = 0; c < 4; ++c) {
                const double top = image.Row(y0)[x0 * 4 + c] * (1 - fx) + image.Row(y0)[x1 * 4 + c] * fx;
                const double bottom = image.Row(y1)[x0 * 4 + c] * (1 - fx) + image.Row(y1)[x1 * 4 + c] * fx;
                out.Row(y)[x * 4 + c] = static_cast<std::uint8_t>(std::lround(top * (1 - ty) + bottom * ty));
            }
        }
    }
    return out;
}

std::vector<std::string> CommonOptions(bool antiAliased, bool alpha)
{
    std::vector<std::string> options{"+FN8", "-D", "-P", "-V", "+WT1", "-J", "+Q9", alpha ? "+UA" : "-UA", "-GS", "-GR"};
    if (antiAliased)
        options.insert(options.end(), {"+A0.3", "+AM2", "+R2"});
    else
        options.push_back("-A");
    return options;
}

ScratchDir::ScratchDir()
{
    std::string pattern = (fs::temp_directory_path() / "kelvane-render-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw Error("cannot make a directory for rendering in " + fs::temp_directory_path().string() + ": " +
                    std::strerror(errno));
    c_path = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    if (!c_bKeep) fs::remove_all(c_path, ignored);
}

void StageScene(const std::string& dir, const std::string& text, const std::vector<SceneFile>& included)
{
    WriteAll(fs::path(dir) / "scene.pov", text.data(), text.size());
    StageFiles(included, dir);
}

void RunRenderer(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                 const std::string& logName, const std::string& where, const std::string& library)
{
    std::vector<std::string> command{program};
    command.insert(command.end(), args.begin(), args.end());
    // On a busy machine povray sometimes gives up before its render thread has started, and
    // says so; the same render run again succeeds. Only that failure is tried again.
    constexpr int kTries = 3;
    constexpr const char* kThreadNotStarted = "Timed out waiting for worker thread startup";
    std::string failure, output;
    int code = 0;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        failure.clear();
        code = RunProgram(command, dir, fs::path(dir) / logName, &failure);
        output = ReadText(fs::path(dir) / logName);
        if (!failure.empty() || code == 0 || output.find(kThreadNotStarted) == std::string::npos) break;
        if (attempt == kTries) {
            throw Error(where + ": povray could not start its render thread in " + std::to_string(kTries) +
                        " tries (is the machine overloaded?)" + Tail(output, 8));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500 * attempt));
    }
    if (!failure.empty()) throw Error(where + ": " + failure + Tail(output, 6));
    if (code != 0) {
        const std::string named = ReportedErrors(output, dir, library);
        throw Error(where + ": povray exited with status " + std::to_string(code) +
                    (named.empty() ? Tail(output, 8) : "\n    " + named));
    }
    if (output.find("Parse Error") != std::string::npos || output.find("Render failed") != std::string::npos) {
        const std::string named = ReportedErrors(output, dir, library);
        throw Error(where + ": povray reported an error" + (named.empty() ? Tail(output, 8) : "\n    " + named));
    }
}

bool ReadPng(const std::string& path, imaging::Image* image)
{
    std::string error;
    return fs::exists(path) && DecodePng(ReadAll(path), image, &error);
}

void WriteWhole(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    const std::string partial = path + "." + std::to_string(::getpid()) + "." +
                                std::to_string(std::hash<std::thread::id>{}(std::this_thread::get_id())) + ".partial";
    WriteAll(partial, bytes.data(), bytes.size());
    fs::rename(partial, path);
}

imaging::Image Render(const RenderRequest& request, const RenderSettings& settings)
{
    if (request.width <= 0 || request.height <= 0)
        throw Error("scene " + request.name + ": no picture size given");
    const std::string version = settings.version.empty() ? RendererVersion(settings.program) : settings.version;
    const std::string text = SceneText(request, settings.quality);
    const std::vector<SceneFile> included = IncludedFiles(text, TextName(request), settings.sceneLibrary);
    const std::string hash = HashWith(request, settings.quality, version, text, included);
    const fs::path cached = settings.cacheDir.empty() ? fs::path() : fs::path(settings.cacheDir) / (hash + ".png");
    int width = 0, height = 0;
    RenderSize(request, settings.quality, &width, &height);
    // The cache keeps the picture as povray renders it (small for drafts: quick to store); it
    // is scaled to the request's size on the way out.
    const auto scaled = [&](imaging::Image picture) {
        if (width != request.width || height != request.height)
            picture = Resize(picture, request.width, request.height, request.wrapsAround);
        return picture;
    };
    imaging::Image image;
    if (!cached.empty() && ReadPng(cached.string(), &image) && image.width == width && image.height == height)
        return scaled(std::move(image));
    ScratchDir scratch;
    const fs::path dir = scratch.Path();
    StageScene(dir.string(), text, included);
    std::vector<std::string> args{"+Iscene.pov", "+Opicture.png", "+W" + std::to_string(width),
                                  "+H" + std::to_string(height)};
    const std::vector<std::string> common = CommonOptions(settings.quality == Quality::Full, request.alpha);
    args.insert(args.end(), common.begin(), common.end());
    const std::string where = "scene " + request.name + " (rendering " + std::to_string(width) + " x " +
                              std::to_string(height) + ", " + QualityName(settings.quality) + "; kept in " +
                              (dir / "scene.pov").string() + ")";
    scratch.Keep();
    RunRenderer(settings.program, args, dir.string(), "output.txt", where, settings.sceneLibrary);
    std::string error;
    if (!DecodePng(ReadAll(dir / "picture.png"), &image, &error))
        throw Error(where + ": povray left no readable picture" + (error.empty() ? "" : " (" + error + ")") +
                    Tail(ReadText(dir / "output.txt"), 4));
    if (image.width != width || image.height != height)
        throw Error(where + ": povray's picture is " + std::to_string(image.width) + " x " +
                    std::to_string(image.height));
    scratch.Keep(false);
    if (!request.alpha)
        for (std::size_t i = 3; i < image.pixels.size(); i += 4) image.pixels[i] = 255;
    if (!cached.empty()) WriteWhole(cached.string(), imaging::EncodePng(image));
    return scaled(std::move(image));
}

}  // namespace render
