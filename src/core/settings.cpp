#include "core/settings.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <map>
#include <span>
#include <sstream>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/safe_file.h"

namespace {

namespace fs = std::filesystem;

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// A whole number; one beyond what an int holds becomes the nearest that it does, which every
// setting's range then clamps.
bool ParseInt(std::string_view text, int* out)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size()) return false;
    if (ec == std::errc::result_out_of_range) {
        value = text.front() == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    } else if (ec != std::errc()) {
        return false;
    }
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
        {"pointer_speed", [](std::string_view v, Settings& s) { return ParseInt(v, &s.pointerSpeed); }},
        {"display", [](std::string_view v, Settings& s) { return ParseChoice(v, "fullscreen", "window", &s.fullScreen); }},
        {"skip_waits", [](std::string_view v, Settings& s) { return ParseChoice(v, "on", "off", &s.skipWaits); }},
        {"reveal_hotspots",
         [](std::string_view v, Settings& s) { return ParseChoice(v, "on", "off", &s.revealHotspots); }},
    };
    return readers;
}

// The largest settings file read: the game writes a few hundred bytes.
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;
// Bad lines reported one by one; more are counted in one last line, so that a file of garbage
// does not flood standard error.
constexpr int kMaxReportedLines = 8;

Settings Defaults(const std::string& why)
{
    std::fprintf(stderr, "Kelvane: %s; using the default settings.\n", why.c_str());
    return Settings{};
}

// A value as a message may quote it: printable, and short.
std::string Shown(std::string_view value)
{
    constexpr std::size_t kLongest = 40;
    std::string shown;
    for (const char c : value.substr(0, kLongest)) shown += (c >= ' ' && c <= '~') ? c : '?';
    if (value.size() > kLongest) shown += "...";
    return shown;
}

// Says what is wrong with each bad line of one file, once per line.
class BadLines {
public:
    explicit BadLines(const fs::path& path) : c_path(path.string()) {}
    ~BadLines()
    {
        if (c_count > kMaxReportedLines)
            std::fprintf(stderr, "Kelvane: settings file %s: %d more lines ignored.\n", c_path.c_str(),
                         c_count - kMaxReportedLines);
    }
    BadLines(const BadLines&) = delete;
    BadLines& operator=(const BadLines&) = delete;

    void Report(int line, const std::string& why)
    {
        if (++c_count > kMaxReportedLines) return;
        std::fprintf(stderr, "Kelvane: settings file %s, line %d: %s; the line is ignored.\n", c_path.c_str(), line,
                     why.c_str());
    }

private:
    std::string c_path;
    int c_count = 0;
};

}  // namespace

void Settings::Clamp()
{
    musicVolume = std::clamp(musicVolume, 0, kVolumeMax);
    effectsVolume = std::clamp(effectsVolume, 0, kVolumeMax);
    brightness = std::clamp(brightness, kBrightnessMin, kBrightnessMax);
    turningSpeed = std::clamp(turningSpeed, kTurningMin, kTurningMax);
    pointerSpeed = std::clamp(pointerSpeed, kPointerMin, kPointerMax);
}

float Settings::PointerFactor() const
{
    return std::pow(2.0f, static_cast<float>(pointerSpeed - kPointerDefault) / 2.5f);
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
    if (path.empty()) return Defaults("there is no configuration directory ($XDG_CONFIG_HOME and $HOME are unset)");
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!SafeFile::ReadRegularFile(path, kMaxSettingsBytes, &bytes, &why)) {
        return Defaults(why.empty() ? "settings file " + path.string() + " does not exist yet" : why);
    }
    const std::string_view file(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    Settings settings;
    int version = kSettingsVersion;  // a file without a version line is read as this version
    BadLines bad(path);
    std::size_t start = 0;
    for (int number = 1; start < file.size(); ++number) {
        const std::size_t newline = std::min(file.find('\n', start), file.size());
        const std::string_view text = Trim(file.substr(start, newline - start));
        start = newline + 1;
        if (text.empty() || text[0] == '#' || text[0] == ';' || text[0] == '[') continue;
        const auto equals = text.find('=');
        if (equals == std::string_view::npos) {
            bad.Report(number, "'" + Shown(text) + "' is not 'key = value'");
            continue;
        }
        const std::string_view key = Trim(text.substr(0, equals));
        const std::string_view value = Trim(text.substr(equals + 1));
        if (key == "version") {
            if (!ParseInt(value, &version)) bad.Report(number, "the version '" + Shown(value) + "' is not a number");
            continue;
        }
        const auto reader = Readers().find(key);
        if (reader == Readers().end()) continue;  // a newer game's key, or a typing slip
        if (!reader->second(value, settings))
            bad.Report(number, "'" + Shown(value) + "' is not a value for " + std::string(key));
    }
    if (version != kSettingsVersion)
        return Defaults("settings file " + path.string() + " is of version " + std::to_string(version) +
                        ", this game reads version " + std::to_string(kSettingsVersion));
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
        << "pointer_speed = " << settings.pointerSpeed << "\n"
        << "display = " << (settings.fullScreen ? "fullscreen" : "window") << "\n"
        << "skip_waits = " << (settings.skipWaits ? "on" : "off") << "\n"
        << "reveal_hotspots = " << (settings.revealHotspots ? "on" : "off") << "\n";
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
    const std::string text = FormatSettings(settings);
    std::string why;
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (SafeFile::WriteFileAtomically(path, bytes, SafeFile::Existing::kReplace, &why)) return fail(why);
    return true;
}
