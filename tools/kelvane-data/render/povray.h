// Pictures rendered from 3D scenes: the generator writes a scene as text, runs the povray
// program on it and reads the picture back. Renders are repeatable (one render thread, fixed
// anti-aliasing without jitter, scenes draw no unseeded randomness) and kept in a cache keyed
// by a hash of everything that makes them, so a run renders again only what changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/image.h"
#include "render/scene_library.h"

namespace render {

enum class Quality {
    Draft,  // a quarter of the size each way, scaled up; direct light only; for the tests
    Full,   // the stated size, anti-aliased, with radiosity (light bouncing off walls)
};

// Parses "draft" or "full"; false for anything else.
bool ParseQuality(const std::string& text, Quality* quality);
const char* QualityName(Quality quality);

struct RenderSettings {
    Quality quality = Quality::Full;
    std::string cacheDir;  // finished renders by input hash; empty: no cache
    std::string program = "povray";
    std::string version;  // the renderer's version (RendererVersion); asked for when empty
    std::string sceneLibrary = DefaultSceneLibrary();  // where the files scenes #include are (scene_library.h)
};

// What one render needs: the scene, the picture's size, and a name that errors and progress
// show. The scene is a file of the scene library, read after a prelude of #declares (what the
// generator knows and the scene file does not: the state shown, the camera), or, for the
// scenes still written by the generator, the whole text (objects, lights, camera).
struct RenderRequest {
    std::string name;
    std::string scene;      // the prelude when `sceneFile` is set, else the whole scene text
    int width = 0;
    int height = 0;
    bool alpha = false;      // keep the renderer's alpha channel (empty background transparent)
    bool wrapsAround = false;  // a panorama: its left and right edges meet when a draft is scaled up
    std::string sceneFile;     // a scene of the library ("items/lens.pov"), or empty
};

// The whole text povray reads for a request at a quality: the fixed header (version, gamma,
// radiosity at full quality), the scene text or prelude, and the #include of the scene file.
// Same request, same text.
std::string SceneText(const RenderRequest& request, Quality quality);

// The size povray renders at: the request's size, or a quarter of it (at least 8 x 4) for drafts.
void RenderSize(const RenderRequest& request, Quality quality, int* width, int* height);

// The first line of `povray --version` (the renderer's version goes into the cache key).
// Throws Error if the program cannot be run.
std::string RendererVersion(const std::string& program);

// A 64-bit FNV-1a hash of the inputs, as 16 hex digits: scene text, size, quality, version,
// and the name and bytes of every file of `library` the scene includes, however deep. Throws
// Error (naming the including file and line) when an included file is missing.
std::string InputHash(const RenderRequest& request, Quality quality, const std::string& version,
                      const std::string& library = DefaultSceneLibrary());

// Renders (or takes from the cache) the request's picture at the request's size: B, G, R, A
// pixels, alpha 255 everywhere unless `request.alpha`. Throws Error naming the scene
// when povray fails, reports an error in its output, or leaves no readable picture.
imaging::Image Render(const RenderRequest& request, const RenderSettings& settings);

// Scales a picture to a new size by bilinear filtering (drafts are rendered small).
imaging::Image Resize(const imaging::Image& image, int width, int height, bool wrapsAround);

// ---- the steps of a render, shared with frame sequences (animation.h) ----

// The fixed header povray reads before a scene: version, `Draft` declared as `draft`, gamma,
// and radiosity when `radiosity` is set.
std::string SceneHeader(bool draft, bool radiosity);

// A 64-bit FNV-1a hash of `parts`, each closed by a separator (so that "ab"+"c" and "a"+"bc"
// differ), as 16 hex digits.
std::string HashOf(const std::vector<std::string>& parts);

// The options of every render after the scene and picture names: quiet, one render thread,
// 8-bit PNG, anti-aliased without jitter or not at all.
std::vector<std::string> CommonOptions(bool antiAliased, bool alpha);

// A private scratch directory for one run of the renderer under the system's temporary
// directory, removed with everything in it when the object goes, while Keep() holds (a
// failed render's scene stays for the person reading the error).
class ScratchDir {
public:
    ScratchDir();  // throws Error if it cannot be made
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return c_path; }
    void Keep(bool keep = true) { c_bKeep = keep; }

private:
    std::string c_path;
    bool c_bKeep = false;
};

// Runs `program` with `args` in `dir`, its output going to `dir`/`logName`. Throws Error
// starting with `where` when it cannot be started, is killed, exits with an error, or reports
// a parse or render error in its output (the message quotes the errors povray names a file
// for, as FILE:LINE with files staged from `library` named by their library path, or else the
// end of the output). A run that
// failed only because povray's render thread did not start in time is tried again, at most
// three times in all.
void RunRenderer(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                 const std::string& logName, const std::string& where, const std::string& library = {});

// Writes the text povray reads first into `dir`/scene.pov and stages beside it the library
// files `included` (IncludedFiles of that text), so povray finds them from `dir`.
void StageScene(const std::string& dir, const std::string& text, const std::vector<SceneFile>& included);

// Reads a PNG file; false if it is missing or cannot be decoded.
bool ReadPng(const std::string& path, imaging::Image* image);
// Writes `bytes` to `path` whole: under a private name first, then renamed over it, so that a
// reader never sees half a file. Makes the folder.
void WriteWhole(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace render
