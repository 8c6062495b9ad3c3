// The settings screen in the running game: how it opens and closes, that the game beneath it
// gets no clicks, that a changed value is put into effect and kept in the player's file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/settings.h"
#include "display/image_offsets.h"
#include "game_data_fixture.h"
#include "media/sound.h"
#include "media/video_player.h"
#include "menus/settings_overlay.h"
#include "platform/audio/audio_mixer.h"
#include "shell/player_settings.h"
#include "shell/replay.h"
#include "support/scoped_environment.h"
#include "world/world_manager.h"

namespace {

void DefineRoom(WorldManager& world)
{
    world.AddWorldScreen(0, 0, "data/room0.enc", ScrambleOffsetFor("data/room0.enc"))->AddHotspot(100, 100, 300, 300);
    world.TransportToScreen(0);
}

// A click on the left (-1) or right (+1) of a row's value, or on the row itself (0).
std::string ClickRow(int row, int side)
{
    const RECT r = SettingsOverlay::RowRect(row);
    const int x = side < 0 ? SettingsOverlay::kValueCentreX - 60 : side > 0 ? SettingsOverlay::kValueCentreX + 60
                                                                              : (r.left + r.right) / 2;
    return "click " + std::to_string(x) + " " + std::to_string((r.top + r.bottom) / 2) + "\n";
}

class SettingsScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data.WritePicture("data/room0.enc", 1024, 512, 0xFF804020, ScrambleOffsetFor("data/room0.enc"));
        env.Set("XDG_CONFIG_HOME", config.Path().string());
        options.world = DefineRoom;
    }
    void TearDown() override { Sound::SetVolumes(1.0f, 1.0f); }

    void ExpectPasses(const std::string& script)
    {
        const ReplayResult result = RunReplay(script, options);
        for (const std::string& failure : result.failures) ADD_FAILURE() << failure;
        EXPECT_TRUE(result.Passed()) << "after " << result.frames << " frames";
    }
    std::filesystem::path File() const { return config.Path() / "kelvane" / "settings.ini"; }

    kt::TestGameData data;
    kt::TemporaryDirectory config;
    kt::ScopedEnvironment env;
    ReplayOptions options;
};

TEST_F(SettingsScreenTest, ClicksChangeValuesThatTakeEffectAndAreKeptButNeverReachTheMenu)
{
    ExpectPasses("key F1\n"
                 "expect settings open\n"
                 "click 700 240\n"  // the menu's New Game, beside the panel
                 "expect phase menu\n"
                 "expect settings open\n" +
                 ClickRow(SettingsOverlay::kTurning, 1) + ClickRow(SettingsOverlay::kMusic, -1) +
                 ClickRow(SettingsOverlay::kMusic, -1) + ClickRow(SettingsOverlay::kSubtitleSize, 1) +
                 ClickRow(SettingsOverlay::kBrightness, 1) + ClickRow(SettingsOverlay::kPointer, -1) +
                 "expect settings open\n" + ClickRow(SettingsOverlay::kClose, 0) +
                 "expect settings closed\n"
                 "expect phase menu\n"
                 "frames 2\n"
                 "expect phase menu\n"
                 "quit\n");
    // The game's objects are gone with the run; the process-wide mixer keeps what was applied.
    EXPECT_FLOAT_EQ(platform::Mixer::Default().GroupGain(platform::VoiceGroup::Music), 0.8f);
    EXPECT_FLOAT_EQ(platform::Mixer::Default().GroupGain(platform::VoiceGroup::Effects), 1.0f);

    // Kept in the player's file, and read back by the next start.
    ::testing::internal::CaptureStderr();
    const Settings kept = LoadSettings(File());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(kept.turningSpeed, 6);
    EXPECT_EQ(kept.pointerSpeed, Settings::kPointerDefault - 1);
    EXPECT_EQ(kept.musicVolume, 8);
    EXPECT_EQ(kept.brightness, 110);
    EXPECT_TRUE(kept.largeSubtitles);
    Sound::SetVolumes(1.0f, 1.0f);
    ExpectPasses("frames 1\nquit\n");
    EXPECT_FLOAT_EQ(platform::Mixer::Default().GroupGain(platform::VoiceGroup::Music), 0.8f)
        << "the next start puts the kept settings into effect";
}

TEST_F(SettingsScreenTest, HoldingSpaceMarksWhatReactsUnlessTheSettingTurnsItOff)
{
    ExpectPasses("click 600 230\n"  // new game
                 "expect phase world\n"
                 "press SPACE\n"
                 "expect marks 1\n"
                 "release SPACE\n"
                 "expect marks 0\n"
                 "key F1\n" +
                 ClickRow(SettingsOverlay::kReveal, 1) + ClickRow(SettingsOverlay::kClose, 0) +
                 "press SPACE\n"
                 "expect marks 0\n"
                 "release SPACE\n"
                 "quit\n");
    EXPECT_FALSE(LoadSettings(File()).revealHotspots) << "kept off in the player's file";
}

TEST_F(SettingsScreenTest, EscapeOpensItInTheWorldButNotWhileASaveTitleIsTyped)
{
    ExpectPasses("click 600 230\n"  // new game
                 "expect phase world\n"
                 "key ESCAPE\n"
                 "expect settings open\n"
                 "move 400 300\n"
                 "click 242 40\n"  // the top menu's save button, under the panel
                 "expect phase world\n"
                 "key ESCAPE\n"
                 "expect settings closed\n"
                 "expect phase world\n"
                 "click 242 40\n"  // now it reaches the top menu
                 "expect phase menu\n"
                 "expect menupage 3\n"
                 "click 250 145\n"  // slot 1: a title is typed
                 "key ESCAPE\n"     // ends the typing, nothing else
                 "expect settings closed\n"
                 "key ESCAPE\n"     // now Escape is free again
                 "expect settings open\n"
                 "key F1\n"
                 "expect settings closed\n"
                 "quit\n");
}

TEST_F(SettingsScreenTest, KeysMoveAndChangeAndWithoutAFileNothingChangesNorIsWritten)
{
    ::testing::internal::CaptureStderr();
    ExpectPasses("frames 2\nquit\n");
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("does not exist yet"), std::string::npos) << said;
    EXPECT_FLOAT_EQ(platform::Mixer::Default().GroupGain(platform::VoiceGroup::Music), 1.0f);
    EXPECT_FLOAT_EQ(platform::Mixer::Default().GroupGain(platform::VoiceGroup::Effects), 1.0f);
    EXPECT_FALSE(std::filesystem::exists(File())) << "only the settings screen writes the file";

    const RECT size = SettingsOverlay::RowRect(SettingsOverlay::kSubtitleSize);
    ExpectPasses("key F1\n"
                 "move 450 " + std::to_string((size.top + size.bottom) / 2) + "\n"  // the pointer over a row selects it (subtitle size) ...
                 "key UP\n"
                 "key UP\n"
                 "key UP\n"      // ... and the keys move on from there: effects
                 "key LEFT\n"
                 "key UP\n"      // music
                 "key UP\n"      // around to Close
                 "key RETURN\n"
                 "expect settings closed\n"
                 "quit\n");
    EXPECT_FLOAT_EQ(platform::Mixer::Default().GroupGain(platform::VoiceGroup::Effects), 0.9f);
    EXPECT_FLOAT_EQ(platform::Mixer::Default().GroupGain(platform::VoiceGroup::Music), 1.0f);
    EXPECT_TRUE(std::filesystem::exists(File()));
}

TEST_F(SettingsScreenTest, AWindowSwitchedOutsideTheScreenIsShownThereAndKept)
{
    // Switched with Alt+Enter in the menu: the file keeps it for the next start.
    ExpectPasses("frames 1\n"
                 "window fullscreen\n"
                 "frames 2\n"
                 "window windowed\n"
                 "frames 2\n"
                 "quit\n");
    ASSERT_TRUE(std::filesystem::exists(File()));
    EXPECT_FALSE(LoadSettings(File()).fullScreen);

    // Switched while the screen is open: its row follows, so a change to another row does
    // not switch the window back, and closing keeps the new mode.
    ExpectPasses("key F1\n"
                 "expect settings open\n"
                 "window fullscreen\n"
                 "frames 1\n" +
                 ClickRow(SettingsOverlay::kTurning, 1) + ClickRow(SettingsOverlay::kClose, 0) +
                 "expect settings closed\n"
                 "frames 1\n"
                 "quit\n");
    const Settings kept = LoadSettings(File());
    EXPECT_TRUE(kept.fullScreen);
    EXPECT_EQ(kept.turningSpeed, 6);
}

}  // namespace
