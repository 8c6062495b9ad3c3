// The player's settings: volumes, brightness, subtitles, turning and pointer speed, window mode, the
// opening's scripted waits and whether the reveal key marks what reacts, kept per user in an ini file. The defaults are the game as it
// plays without a settings file. No platform or drawing code here.
#pragma once

#include <filesystem>
#include <string>

struct Settings {
    static constexpr int kVolumeMax = 10;          // steps; 10 = the sound as recorded
    static constexpr int kBrightnessMin = 50;      // percent; the gamma at presentation / 100
    static constexpr int kBrightnessMax = 200;
    static constexpr int kBrightnessStep = 10;
    static constexpr int kTurningMin = 1;          // steps; 5 = the game's own turning speed
    static constexpr int kTurningMax = 10;
    static constexpr int kTurningDefault = 5;
    static constexpr int kPointerMin = 1;          // steps; 5 = the game's own pointer speed
    static constexpr int kPointerMax = 10;
    static constexpr int kPointerDefault = 5;

    int musicVolume = kVolumeMax;
    int effectsVolume = kVolumeMax;  // one-shot and ambient sounds, and the films' sound
    int brightness = 100;
    bool subtitles = true;
    bool largeSubtitles = false;
    int turningSpeed = kTurningDefault;
    int pointerSpeed = kPointerDefault;  // full screen: how far a count of the mouse moves the pointer
    bool fullScreen = true;
    bool skipWaits = false;  // the opening's scripted pauses end at once
    bool revealHotspots = true;  // holding Space marks what on the view reacts to a click

    // Every value brought into its range.
    void Clamp();
    float MusicGain() const { return static_cast<float>(musicVolume) / kVolumeMax; }
    float EffectsGain() const { return static_cast<float>(effectsVolume) / kVolumeMax; }
    float Gamma() const { return static_cast<float>(brightness) / 100.0f; }
    // How many times the game's own turning speed the view turns at.
    float TurningFactor() const { return static_cast<float>(turningSpeed) / kTurningDefault; }
    // How many times the game's own speed the pointer moves at: each step doubles it in two
    // and a half steps, from a third at 1 to four times at 10.
    float PointerFactor() const;

    bool operator==(const Settings&) const = default;
};

// The file's format version; a file of another version is read as the defaults, a file that
// names none as this version.
constexpr int kSettingsVersion = 1;

// $XDG_CONFIG_HOME/kelvane/settings.ini, or ~/.config/kelvane/settings.ini when that is unset
// or not absolute; empty when neither it nor $HOME is usable (settings are then not kept).
std::filesystem::path SettingsPath();

// Reads the settings; never fails and never waits. A missing or unreadable file, one of
// another version, one that is not a regular file (a FIFO, a device) or one longer than
// 64 KiB gives the defaults, with one line on standard error saying which file and why. In a
// readable file every good line counts: each bad line is ignored and reported once on
// standard error with the file and its line number, unknown keys are ignored silently, and
// numbers out of range (an int's included) are clamped.
Settings LoadSettings(const std::filesystem::path& path);

// The file's text for `settings`.
std::string FormatSettings(const Settings& settings);

// Writes the file atomically (SafeFile::WriteFileAtomically); the directory is created when
// needed. On failure the old file is untouched, `error` says which file and why, and false is
// returned.
bool SaveSettings(const std::filesystem::path& path, const Settings& settings, std::string* error);
