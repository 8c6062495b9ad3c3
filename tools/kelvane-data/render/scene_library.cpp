#include "render/scene_library.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <cctype>
#include <set>
#include <sstream>

#include "core/error.h"

namespace render {

namespace {

namespace fs = std::filesystem;

// The scene text povray reads first, in a render's scratch directory.
constexpr const char* kGeneratedScene = "scene.pov";

struct Include {
    std::string name;
    int line;
};

// The #include directives of a scene text, with their lines; comments and strings are passed
// over, so an #include in a comment is no dependency.
std::vector<Include> IncludesOf(const std::string& text, const std::string& where)
{
    std::vector<Include> includes;
    int line = 1;
    const std::size_t n = text.size();
    std::size_t i = 0;
    const auto at = [&](const char* word) { return text.compare(i, std::char_traits<char>::length(word), word) == 0; };
    while (i < n) {
        const char c = text[i];
        if (c == '\n') {
            ++line, ++i;
        } else if (at("//")) {
            while (i < n && text[i] != '\n') ++i;
        } else if (at("/*")) {
            // povray's block comments nest.
            int depth = 0;
            do {
                if (at("/*")) ++depth, i += 2;
                else if (at("*/")) --depth, i += 2;
                else line += text[i++] == '\n';
            } while (i < n && depth > 0);
        } else if (c == '"') {
            for (++i; i < n && text[i] != '"' && text[i] != '\n'; ++i)
                if (text[i] == '\\') ++i;
            ++i;
        } else if (at("#include") && (i + 8 >= n || !std::isalnum(static_cast<unsigned char>(text[i + 8])))) {
            const int directiveLine = line;
            i += 8;
            while (i < n && std::isspace(static_cast<unsigned char>(text[i]))) line += text[i++] == '\n';
            const std::size_t close = i < n && text[i] == '"' ? text.find('"', i + 1) : std::string::npos;
            if (close == std::string::npos || text.find('\n', i) < close)
                throw Error(where + ":" + std::to_string(directiveLine) +
                            ": #include must be followed by the file's name in quotes (kelvane-data follows the "
                            "includes to know which files a picture depends on)");
            includes.push_back({text.substr(i + 1, close - i - 1), directiveLine});
            i = close + 1;
        } else {
            ++i;
        }
    }
    return includes;
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Follow(const std::string& text, const std::string& where, const fs::path& library, std::set<std::string>& seen,
            std::vector<SceneFile>& files)
{
    for (const Include& include : IncludesOf(text, where)) {
        const fs::path relative = fs::path(include.name).lexically_normal();
        const std::string name = relative.generic_string();
        const bool inside = !relative.empty() && relative.is_relative() && name.rfind("..", 0) != 0;
        const fs::path file = library / relative;
        if (!inside || !fs::is_regular_file(file))
            throw Error(where + ":" + std::to_string(include.line) + ": #include \"" + include.name + "\": " +
                        (inside ? "the scene library " + library.string() + " has no such file"
                                : "a scene includes only files of the scene library " + library.string()));
        if (!seen.insert(name).second) continue;
        files.push_back({name, Read(file)});
        // `files` may grow while this file's text is read: keep a copy.
        const std::string bytes = files.back().bytes;
        Follow(bytes, file.lexically_normal().string(), library, seen, files);
    }
}

}  // namespace

std::string DefaultSceneLibrary() { return KELVANE_GAME_SCENES; }

std::vector<SceneFile> IncludedFiles(const std::string& text, const std::string& where, const std::string& library)
{
    std::set<std::string> seen;
    std::vector<SceneFile> files;
    Follow(text, where, fs::path(library), seen, files);
    return files;
}

void StageFiles(const std::vector<SceneFile>& files, const std::string& dir)
{
    for (const SceneFile& file : files) {
        const fs::path path = fs::path(dir) / file.name;
        fs::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
        if (!out) throw Error("cannot write " + path.string());
    }
}

std::string ReportedErrors(const std::string& output, const std::string& dir, const std::string& library)
{
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    std::string report;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        // povray says: File 'NAME' line N: MESSAGE, the message wrapped onto lines that start
        // with a space.
        const std::string& line = lines[k];
        constexpr const char* kFile = "File '";
        const std::size_t quote = line.rfind(kFile, 0) == 0 ? line.find("' line ", 6) : std::string::npos;
        if (quote == std::string::npos) continue;
        const std::size_t colon = line.find(':', quote);
        if (colon == std::string::npos) continue;
        std::string message = line.substr(colon + 1);
        while (k + 1 < lines.size() && !lines[k + 1].empty() && lines[k + 1][0] == ' ') message += lines[++k];
        if (message.find("Error") == std::string::npos || message.find("Possible Parse Error") != std::string::npos)
            continue;
        const std::string name = line.substr(6, quote - 6), number = line.substr(quote + 7, colon - quote - 7);
        const bool staged = name != kGeneratedScene && fs::path(name).is_relative() && !library.empty() &&
                            fs::is_regular_file(fs::path(library) / name);
        const fs::path file = staged ? fs::path(library) / name : fs::path(name).is_absolute() ? fs::path(name) : fs::path(dir) / name;
        while (!message.empty() && message.front() == ' ') message.erase(0, 1);
        report += (report.empty() ? "" : "\n") + file.lexically_normal().string() + ":" + number + ": " + message;
    }
    return report;
}

}  // namespace render
