#include "core/settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string_view>
#include <system_error>

namespace {

namespace fs = std::filesystem;

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseInt(std::string_view text, int* out)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    *out = value;
    return true;
}

// A two-valued setting: `yes` or `no` (case as written by FormatSettings).
bool ParseChoice(std::string_view text, std::string_view yes, std::string_view no, bool* out)
{
    if (text == yes) *out = true;
    else if (text == no) *out = false;
    else return false;
    return true;
}

using Reader = std::function<bool(std::string_view, Settings&)>;

// The keys of the file and how each value is read; false when the value is malformed.
const std::map<std::string, Reader, std::less<>>& Readers()
{
    static const std::map<std::string, Reader, std::less<>> readers = {
        {"music_volume", [](std::string_view v, Settings& s) { return ParseInt(v, &s.musicVolume); }},
        {"effects_volume", [](std::string_view v, Settings& s) { return ParseInt(v, &s.effectsVolume); }},
        {"brightness", [](std::string_view v, Settings& s) { return ParseInt(v, &s.brightness); }},
        {"subtitles", [](std::string_view v, Settings& s) { return ParseChoice(v, "on", "off", &s.subtitles); }},
        {"subtitle_size",
         [](std::string_view v, Settings& s) { return ParseChoice(v, "large", "small", &s.largeSubtitles); }},
        {"turning_speed", [](std::string_view v, Settings& s) { return ParseInt(v, &s.turningSpeed); }},
        {"display", [](std::string_view v, Settings& s) { return ParseChoice(v, "fullscreen", "window", &s.fullScreen); }},
        {"skip_waits", [](std::string_view v, Settings& s) { return ParseChoice(v, "on", "off", &s.skipWaits); }},
    };
    return readers;
}

Settings Defaults(const fs::path& path, const std::string& why)
{
    std::fprintf(stderr, "Kelvane: settings file %s %s; using the default settings.\n", path.string().c_str(),
                 why.c_str());
    return Settings{};
}

// Flushes an open descriptor's data to disk; false with errno set on failure.
bool Sync(int fd) { return ::fsync(fd) == 0; }

}  // namespace

void Settings::Clamp()
{
    musicVolume = std::clamp(musicVolume, 0, kVolumeMax);
    effectsVolume = std::clamp(effectsVolume, 0, kVolumeMax);
    brightness = std::clamp(brightness, kBrightnessMin, kBrightnessMax);
    turningSpeed = std::clamp(turningSpeed, kTurningMin, kTurningMax);
}

fs::path SettingsPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    fs::path base;
    if (config != nullptr && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') return {};
        base = fs::path(home) / ".config";
    }
    return base / "kelvane" / "settings.ini";
}

Settings LoadSettings(const fs::path& path)
{
    if (path.empty()) return Defaults("(no configuration directory: $XDG_CONFIG_HOME and $HOME are unset)", "unusable");
    std::ifstream in(path);
    if (!in) {
        std::error_code ec;
        return Defaults(path, fs::exists(path, ec) ? "cannot be read" : "does not exist yet");
    }
    Settings settings;
    int version = 0;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string_view text = Trim(line);
        if (text.empty() || text[0] == '#' || text[0] == ';' || text[0] == '[') continue;
        const auto equals = text.find('=');
        if (equals == std::string_view::npos)
            return Defaults(path, "line " + std::to_string(number) + " is not 'key = value'");
        const std::string_view key = Trim(text.substr(0, equals));
        const std::string_view value = Trim(text.substr(equals + 1));
        if (key == "version") {
            if (!ParseInt(value, &version))
                return Defaults(path, "line " + std::to_string(number) + ": the version is not a number");
            continue;
        }
        const auto reader = Readers().find(key);
        if (reader == Readers().end()) continue;  // a newer game's key, or a typing slip
        if (!reader->second(value, settings))
            return Defaults(path, "line " + std::to_string(number) + ": '" + std::string(value) +
                                      "' is not a value for " + std::string(key));
    }
    if (version != kSettingsVersion)
        return Defaults(path, "is of version " + std::to_string(version) + ", this game reads version " +
                                  std::to_string(kSettingsVersion));
    settings.Clamp();
    return settings;
}

std::string FormatSettings(const Settings& settings)
{
    std::ostringstream out;
    out << "# Kelvane's settings, written by the game's settings screen (F1).\n"
        << "[settings]\n"
        << "version = " << kSettingsVersion << "\n"
        << "music_volume = " << settings.musicVolume << "\n"
        << "effects_volume = " << settings.effectsVolume << "\n"
        << "brightness = " << settings.brightness << "\n"
        << "subtitles = " << (settings.subtitles ? "on" : "off") << "\n"
        << "subtitle_size = " << (settings.largeSubtitles ? "large" : "small") << "\n"
        << "turning_speed = " << settings.turningSpeed << "\n"
        << "display = " << (settings.fullScreen ? "fullscreen" : "window") << "\n"
        << "skip_waits = " << (settings.skipWaits ? "on" : "off") << "\n";
    return out.str();
}

bool SaveSettings(const fs::path& path, const Settings& settings, std::string* error)
{
    const auto fail = [&](const std::string& what) {
        if (error) *error = "cannot write the settings file " + path.string() + ": " + what;
        return false;
    };
    if (path.empty()) return fail("there is no configuration directory ($XDG_CONFIG_HOME and $HOME are unset)");
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    if (ec) return fail("creating " + path.parent_path().string() + ": " + ec.message());

    const fs::path temporary = path.string() + ".tmp";
    const std::string text = FormatSettings(settings);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return fail(temporary.string() + ": " + std::strerror(errno));
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string why = std::strerror(errno);
            ::close(fd);
            fs::remove(temporary, ec);
            return fail(temporary.string() + ": " + why);
        }
        written += static_cast<std::size_t>(n);
    }
    if (!Sync(fd) || ::close(fd) != 0) {
        const std::string why = std::strerror(errno);
        fs::remove(temporary, ec);
        return fail(temporary.string() + ": " + why);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        fs::remove(temporary, ec);
        return fail(why);
    }
    // The rename itself reaches the disk only with the directory.
    const int dir = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        Sync(dir);
        ::close(dir);
    }
    return true;
}
