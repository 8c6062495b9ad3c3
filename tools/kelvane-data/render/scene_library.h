// The game's scene library (game/scenes): POV-Ray scene files, one per picture or group of
// pictures, and the .inc files they share (materials, models, lighting rigs). A render copies
// every library file its text includes, followed through their own includes, into its scratch
// directory, and its cache key covers their bytes; what povray reports against those copies is
// turned back into the library's own paths, so that an error names the file an artist edits.
#pragma once

#include <string>
#include <vector>

namespace render {

// The scene library of the source tree (game/scenes), the generator's default.
std::string DefaultSceneLibrary();

// A file of the library as povray's scene text includes it.
struct SceneFile {
    std::string name;   // as written in the #include, relative to the library's folder
    std::string bytes;  // the file's whole content
};

// Every library file that `text` includes, and all that those include, each once in the order
// first met. `where` names `text` in errors. Throws Error naming the including file and line for
// an #include of a file the library does not hold (or that leaves it), and for an #include not
// followed by a quoted name (the files a picture depends on must be known before it renders).
std::vector<SceneFile> IncludedFiles(const std::string& text, const std::string& where, const std::string& library);

// Writes the files under `dir` at their names. Throws Error if one cannot be written.
void StageFiles(const std::vector<SceneFile>& files, const std::string& dir);

// povray's complaints in `output` from a run in `dir` whose library files were staged from
// `library`, one a line as "FILE:LINE: message": a staged file is named by its path in the
// library, the generated text by its path in `dir`; the message joined from povray's wrapped
// lines. Empty when povray named no file.
std::string ReportedErrors(const std::string& output, const std::string& dir, const std::string& library);

}  // namespace render
