#include "core/game_paths.h"

#include <fstream>
#include <mutex>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace GamePaths {

namespace {

constexpr const char* kCheckoutData = "data";
constexpr const char* kCheckoutSave = "save";
constexpr const char* kDataVariable = "KELVANE_DATA_DIR";
constexpr const char* kInstalledData = "../share/kelvane";  // relative to the executable's directory
constexpr const char* kSaveBelowDataHome = "kelvane/save";
constexpr const char* kDefaultDataHome = ".local/share";  // below $HOME

constexpr int kDataVersion = 1;  // of the data tree's layout, as the marker names it

bool IsDirectory(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A directory with the marker file at its root.
bool IsGameData(const std::string& path)
{
    struct stat info {};
    return ::stat((path + "/" + kDataMarker).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Whether the game reads the working directory's data/: a checkout, or a test's game.
bool ReadsWorkingDirectoryData()
{
    return !IsDirectory(Environment(kDataVariable)) && IsGameData(kCheckoutData);
}

// The rest of `path` after its first component `name` ("" or starting with '/'); nothing
// when the path does not start with that component.
std::optional<std::string_view> Below(std::string_view path, std::string_view name)
{
    if (path.substr(0, name.size()) != name) return std::nullopt;
    const std::string_view rest = path.substr(name.size());
    if (!rest.empty() && rest.front() != '/') return std::nullopt;
    return rest;
}

std::string HomeDirectory()
{
    const std::string home = Environment("HOME");
    if (!home.empty()) return home;
    // No $HOME (a service, a stripped environment): the password database still knows.
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

}  // namespace

const char* const kDataMarker = "kelvane-data.txt";
const char* const kLanguageFolder = "lang";

std::string DataMarkerText()
{
    return "Kelvane game data\nversion " + std::to_string(kDataVersion) + "\n";
}

std::string DataMarkerValue(const std::string& key)
{
    const DataSearch search = FindData();
    if (search.directory.empty()) return "";
    std::ifstream marker(search.directory + "/" + kDataMarker);
    const std::string prefix = key + " = ";
    std::string line;
    // The marker is a few short lines; a longer file is not one.
    for (int lines = 0; lines < 64 && std::getline(marker, line); ++lines) {
        if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
    }
    return "";
}

const char* const kHowToGetData =
    "Run ./play in a checkout, or install the kelvane package.";

DataSearch FindData(const std::string& executableDirectory)
{
    DataSearch search;
    // Records the place as looked at; true (and the search ends) when it is a directory.
    auto found = [&search](const std::string& place, const std::string& shown) {
        search.searched.push_back(shown);
        if (!IsDirectory(place)) return false;
        search.directory = place;
        return true;
    };
    // The variable is the player's explicit choice: it wins over whatever folder the game
    // happens to be started in.
    const std::string fromEnvironment = Environment(kDataVariable);
    if (fromEnvironment.empty()) {
        search.searched.push_back(std::string("$") + kDataVariable + ": not set");
    } else if (found(fromEnvironment, fromEnvironment + " ($" + kDataVariable + ")")) {
        return search;
    }
    // A data/ in the working directory counts only when it is the game's: a menu entry starts
    // the game in the home, where a folder called data may hold anything.
    std::error_code unknown;
    const std::string workingData = (std::filesystem::current_path(unknown) / kCheckoutData).string();
    if (IsGameData(kCheckoutData)) {
        search.searched.push_back(workingData);
        search.directory = kCheckoutData;
        return search;
    }
    search.searched.push_back(IsDirectory(kCheckoutData)
                                  ? workingData + " (not the game's data: it has no " + kDataMarker + ")"
                                  : workingData);
    if (!executableDirectory.empty()) {
        const std::string installed =
            (std::filesystem::path(executableDirectory) / kInstalledData).lexically_normal().string();
        found(installed, installed);
    }
    return search;
}

DataSearch FindData()
{
    return FindData(ExecutableDirectory());
}

std::string ExecutableDirectory()
{
    // The executable does not move while it runs.
    static const std::string directory = [] {
        std::error_code error;
        const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
        return error ? std::string() : executable.parent_path().string();
    }();
    return directory;
}

std::string SaveDirectory()
{
    if (ReadsWorkingDirectoryData()) return kCheckoutSave;
    // Only an absolute $XDG_DATA_HOME counts; a relative one is to be ignored.
    const std::string dataHome = Environment("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome.front() == '/') {
        return (std::filesystem::path(dataHome) / kSaveBelowDataHome).string();
    }
    const std::string home = HomeDirectory();
    if (home.empty()) return kCheckoutSave;
    return (std::filesystem::path(home) / kDefaultDataHome / kSaveBelowDataHome).string();
}

bool MakeSaveDirectory(std::string* error)
{
    const std::string directory = SaveDirectory();
    std::error_code reason;
    std::filesystem::create_directories(directory, reason);
    if (IsDirectory(directory)) return true;
    if (error != nullptr) {
        *error = "cannot create the save directory " + directory + ": " +
                 (reason ? reason.message() : std::string("a file of that name is in the way"));
    }
    return false;
}

namespace {

// The language whose own versions of the data's files are read first; empty for none.
std::mutex g_languageLock;
std::string g_language;

std::string Language()
{
    std::lock_guard<std::mutex> guard(g_languageLock);
    return g_language;
}

}  // namespace

void SetLanguage(const std::string& language)
{
    // A language is a file name's part, never a path: anything else reads no folder.
    const bool plain = !language.empty() && language != "." && language != ".." &&
                       language.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-.@") ==
                           std::string::npos;
    std::lock_guard<std::mutex> guard(g_languageLock);
    g_language = plain ? language : std::string();
}

std::string Resolve(const std::string& path)
{
    if (const auto rest = Below(path, kCheckoutData)) {
        std::string directory = kCheckoutData;  // a checkout: the common case, kept cheap
        if (!ReadsWorkingDirectoryData()) {
            directory = FindData().directory;
            if (directory.empty()) return path;
        }
        const std::string language = Language();
        if (!language.empty()) {
            std::string translated = directory + "/" + kLanguageFolder + "/" + language + std::string(*rest);
            struct stat info {};
            if (::stat(translated.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return translated;
        }
        return directory + std::string(*rest);
    }
    if (const auto rest = Below(path, kCheckoutSave)) return SaveDirectory() + std::string(*rest);
    return path;
}

std::string MissingDataMessage(const DataSearch& search)
{
    std::string message = "The game's data was not found.";
    for (const std::string& place : search.searched) message += "\nLooked in: " + place;
    return message;
}

}  // namespace GamePaths
