// The player's settings file: what is written is read back, writes replace the file whole,
// and whatever is wrong with a file gives the defaults with one line of explanation.
#include "core/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/scoped_environment.h"

namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
    fs::path File() const { return dir.Path() / "kelvane" / "settings.ini"; }
    void Write(const std::string& text) const
    {
        fs::create_directories(File().parent_path());
        std::ofstream(File()) << text;
    }
    // Loads the file, returning what it wrote on standard error in `said`.
    Settings Load(std::string* said) const
    {
        ::testing::internal::CaptureStderr();
        const Settings settings = LoadSettings(File());
        *said = ::testing::internal::GetCapturedStderr();
        return settings;
    }

    kt::TemporaryDirectory dir;
};

Settings Unusual()
{
    Settings s;
    s.musicVolume = 3;
    s.effectsVolume = 0;
    s.brightness = 150;
    s.subtitles = false;
    s.largeSubtitles = true;
    s.turningSpeed = 9;
    s.fullScreen = false;
    s.skipWaits = true;
    return s;
}

TEST_F(SettingsFileTest, WhatIsSavedIsReadBackAndNothingElseIsLeftBeside)
{
    std::string error;
    ASSERT_TRUE(SaveSettings(File(), Unusual(), &error)) << error;  // creates kelvane/
    std::string said;
    EXPECT_EQ(Load(&said), Unusual());
    EXPECT_EQ(said, "") << "a good file is read silently";

    // Saving again replaces the whole file; no temporary file stays.
    ASSERT_TRUE(SaveSettings(File(), Settings{}, &error)) << error;
    EXPECT_EQ(Load(&said), Settings{});
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(File().parent_path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(SettingsFileTest, AFailedSaveSaysWhereAndKeepsTheOldFile)
{
    std::string error;
    ASSERT_TRUE(SaveSettings(File(), Unusual(), &error));
    // The temporary file's name is taken by a directory: nothing can be written beside it.
    fs::create_directories(File().string() + ".tmp/blocker");
    EXPECT_FALSE(SaveSettings(File(), Settings{}, &error));
    EXPECT_NE(error.find(File().string()), std::string::npos) << error;
    std::string said;
    EXPECT_EQ(Load(&said), Unusual()) << "the old settings are whole";

    const fs::path underAFile = File() / "settings.ini";  // its directory is a file
    EXPECT_FALSE(SaveSettings(underAFile, Settings{}, &error));
    EXPECT_NE(error.find(underAFile.string()), std::string::npos) << error;
}

TEST_F(SettingsFileTest, MissingOldAndBrokenFilesGiveTheDefaultsWithOneLine)
{
    std::string said;
    EXPECT_EQ(Load(&said), Settings{});
    EXPECT_NE(said.find("does not exist"), std::string::npos) << said;

    const std::string good = FormatSettings(Unusual());
    const struct {
        std::string text;
        const char* why;
    } cases[] = {
        {"music_volume = 3\n", "version 0"},                              // before versions were written
        {"version = 7\nmusic_volume = 3\n", "version 7"},                 // a later game's file
        {good + "brightness = bright\n", "'bright' is not a value for brightness"},
        {good + "subtitles = maybe\n", "'maybe' is not a value for subtitles"},
        {good + "just some words\n", "is not 'key = value'"},
        {good + "turning_speed = 4x\n", "turning_speed"},
        {std::string("\x89PNG\r\n\x1a\n\0\0", 10), "is not 'key = value'"},
    };
    for (const auto& c : cases) {
        Write(c.text);
        EXPECT_EQ(Load(&said), Settings{}) << c.text;
        EXPECT_NE(said.find(c.why), std::string::npos) << said;
        EXPECT_NE(said.find(File().string()), std::string::npos) << "the line names the file: " << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
}

TEST_F(SettingsFileTest, UnknownKeysAreIgnoredAndValuesOutOfRangeClamped)
{
    Write("# by hand\n[settings]\nversion = 1\n  music_volume=  99 \nbrightness = 5\nturning_speed = -4\n"
          "effects_volume = 4\nwindow_scale = 3\nsubtitle_size = large\n");
    std::string said;
    const Settings s = Load(&said);
    EXPECT_EQ(said, "");
    EXPECT_EQ(s.musicVolume, Settings::kVolumeMax);
    EXPECT_EQ(s.brightness, Settings::kBrightnessMin);
    EXPECT_EQ(s.turningSpeed, Settings::kTurningMin);
    EXPECT_EQ(s.effectsVolume, 4);
    EXPECT_TRUE(s.largeSubtitles);
    EXPECT_TRUE(s.subtitles) << "keys not in the file keep their defaults";
}

TEST(SettingsDefaults, AreTheGameAsItPlaysWithoutSettings)
{
    const Settings s;
    EXPECT_EQ(s.MusicGain(), 1.0f);
    EXPECT_EQ(s.EffectsGain(), 1.0f);
    EXPECT_EQ(s.Gamma(), 1.0f);
    EXPECT_EQ(s.TurningFactor(), 1.0f);
    EXPECT_TRUE(s.subtitles);
    EXPECT_FALSE(s.largeSubtitles);
    EXPECT_TRUE(s.fullScreen);
    EXPECT_FALSE(s.skipWaits);
}

TEST(SettingsPath, FollowsXdgConfigHomeElseHome)
{
    kt::ScopedEnvironment env;
    env.Set("HOME", "/home/player");
    env.Set("XDG_CONFIG_HOME", "/srv/config");
    EXPECT_EQ(SettingsPath(), fs::path("/srv/config/kelvane/settings.ini"));
    env.Set("XDG_CONFIG_HOME", "relative/config");  // not absolute: ignored, as the standard says
    EXPECT_EQ(SettingsPath(), fs::path("/home/player/.config/kelvane/settings.ini"));
    env.Unset("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsPath(), fs::path("/home/player/.config/kelvane/settings.ini"));
    env.Unset("HOME");
    EXPECT_TRUE(SettingsPath().empty());
}

}  // namespace
