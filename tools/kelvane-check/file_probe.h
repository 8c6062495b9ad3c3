// Opens the files a world names the way the game opens them: scrambled pictures through the
// game's unscrambling reader and decoder, sounds and videos through the platform's playback
// graphs. Each file is probed once; later questions about it are answered from memory.
// Depends on display/ (the scrambled reader), imaging/ and platform/media; never plays aloud.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace platform {
class Mixer;
}

// What probing one file found. `error` is empty when the file is fine.
struct ProbedFile {
    bool missing = false;  // no such file (as opposed to a file that does not decode)
    std::string error;
    int width = 0;  // pictures: the decoded size in pixels
    int height = 0;
    bool Ok() const { return error.empty(); }
};

class FileProbe {
public:
    FileProbe();
    ~FileProbe();
    FileProbe(const FileProbe&) = delete;
    FileProbe& operator=(const FileProbe&) = delete;

    // A picture scrambled with rotation `offset` (0 = a plain file), path relative to the
    // working directory: it must exist and decode completely.
    const ProbedFile& Picture(const std::string& path, int offset);
    // A sound (.wav, .mp3): it must open with a sound stream of some length.
    const ProbedFile& Sound(const std::wstring& path);
    // A video (.wmv): it must open with a picture stream and deliver its first picture within
    // two seconds.
    const ProbedFile& Video(const std::wstring& path);

private:
    std::unique_ptr<platform::Mixer> c_pMixer;  // a manual mixer: probes are never heard
    std::map<std::pair<std::string, int>, ProbedFile> c_pPictures;
    std::map<std::wstring, ProbedFile> c_pSounds;
    std::map<std::wstring, ProbedFile> c_pVideos;
};

// A 16-bit game path as text for messages.
std::string Narrow(const std::wstring& path);
