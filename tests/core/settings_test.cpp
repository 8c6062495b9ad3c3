// The player's settings file: what is written is read back, writes replace the file whole,
// a bad line costs only itself, and a file that cannot be the settings gives the defaults
// with one line of explanation, without ever waiting.
#include "core/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/scoped_environment.h"
#include "support/watched_fifo.h"

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
    s.pointerSpeed = 2;
    s.fullScreen = false;
    s.skipWaits = true;
    s.revealHotspots = false;
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

TEST_F(SettingsFileTest, MissingAndLaterFilesGiveTheDefaultsWithOneLineAndNoVersionMeansThisOne)
{
    std::string said;
    EXPECT_EQ(Load(&said), Settings{});
    EXPECT_NE(said.find("does not exist"), std::string::npos) << said;

    Write("version = 7\nmusic_volume = 3\n");  // a later game's file
    EXPECT_EQ(Load(&said), Settings{});
    EXPECT_NE(said.find("version 7"), std::string::npos) << said;
    EXPECT_NE(said.find(File().string()), std::string::npos) << "the line names the file: " << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

    Write("music_volume = 3\nsubtitles = off\n");  // written by hand, without a version line
    Settings expected;
    expected.musicVolume = 3;
    expected.subtitles = false;
    EXPECT_EQ(Load(&said), expected);
    EXPECT_EQ(said, "");
}

TEST_F(SettingsFileTest, EveryGoodLineCountsAndEachBadLineIsReportedOnceWithItsNumber)
{
    // The game's own file (13 lines) with a bad line among its own and bad lines after it.
    std::string text = FormatSettings(Unusual());
    text.insert(text.find("brightness"), "brightness = bright\n");  // line 6, before the good one
    text += "subtitles = maybe\n"   // 15
            "just some words\n"     // 16
            "turning_speed = 4x\n"  // 17
            "version = one\n";      // 18
    Write(text);
    std::string said;
    EXPECT_EQ(Load(&said), Unusual()) << "the good lines keep their values";
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 5) << said;
    for (const char* expected : {"line 6: 'bright' is not a value for brightness",
                                 "line 15: 'maybe' is not a value for subtitles", "line 16: 'just some words'",
                                 "line 17: '4x' is not a value for turning_speed", "line 18: the version 'one'"}) {
        EXPECT_NE(said.find(File().string() + ", " + expected), std::string::npos) << expected << " in: " << said;
    }

    // A file of garbage: the defaults, and standard error is not flooded.
    std::string garbage("\x89PNG\r\n\x1a\n\0\0", 10);
    for (int i = 0; i < 500; ++i) garbage += "\x01\x02 noise\n";
    Write(garbage);
    EXPECT_EQ(Load(&said), Settings{});
    EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 10) << said;
    EXPECT_NE(said.find("more lines ignored"), std::string::npos) << said;
    EXPECT_EQ(said.find('\x01'), std::string::npos) << "what is quoted is printable";
}

TEST_F(SettingsFileTest, OnlyARegularFileOfAFewKilobytesIsReadAndNothingWaits)
{
    fs::create_directories(File().parent_path());
    std::string said;
    {
        // A FIFO would keep the game waiting in open() for a writer that never comes.
        kt::WatchedFifo fifo(File());
        const Settings loaded = Load(&said);
        EXPECT_FALSE(fifo.Stop()) << "reading the settings waited on a FIFO";
        EXPECT_EQ(loaded, Settings{});
        EXPECT_NE(said.find("not a regular file"), std::string::npos) << said;
    }
    // A device never ends (/dev/zero) or says nothing (/dev/null): neither is a settings file.
    fs::create_symlink("/dev/null", File());
    EXPECT_EQ(Load(&said), Settings{});
    EXPECT_NE(said.find("not a regular file"), std::string::npos) << said;
    fs::remove(File());

    Write(std::string(70 * 1024, '#') + "\nversion = 1\nmusic_volume = 3\n");
    EXPECT_EQ(Load(&said), Settings{});
    EXPECT_NE(said.find("longer than 65536 bytes"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
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
    EXPECT_EQ(s.pointerSpeed, Settings::kPointerDefault) << "a file from before the pointer's speed keeps its default";
    EXPECT_FLOAT_EQ(s.PointerFactor(), 1.0f);
    Settings fast, slow;
    fast.pointerSpeed = Settings::kPointerMax, slow.pointerSpeed = Settings::kPointerMin;
    EXPECT_FLOAT_EQ(fast.PointerFactor(), 4.0f);
    EXPECT_NEAR(slow.PointerFactor(), 0.33f, 0.01f);
    EXPECT_EQ(s.effectsVolume, 4);
    EXPECT_TRUE(s.largeSubtitles);
    EXPECT_TRUE(s.subtitles) << "keys not in the file keep their defaults";

    // Beyond what an int holds, both ways.
    Write("version = 1\nbrightness = 99999999999999999999\nturning_speed = -99999999999999999999\n");
    const Settings far = Load(&said);
    EXPECT_EQ(said, "");
    EXPECT_EQ(far.brightness, Settings::kBrightnessMax);
    EXPECT_EQ(far.turningSpeed, Settings::kTurningMin);
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
