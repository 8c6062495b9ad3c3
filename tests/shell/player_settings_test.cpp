// The player's settings in the running game: what the settings screen is given to show, and
// what is kept in the file, when the window is not in the mode the file asks for.
#include "shell/player_settings.h"

#include <gtest/gtest.h>

#include "media/sound.h"
#include "shell/winfunc.h"
#include "support/scoped_environment.h"

namespace {

// The game's window (made as the entry routine makes it when no test has yet), put back in
// its mode when the test ends.
class WindowModeKept {
public:
    WindowModeKept()
    {
        if (Winfunc::hWnd == nullptr) Winfunc::InitWindow(true);
        c_bFullScreen = Winfunc::IsFullscreen();
    }
    ~WindowModeKept()
    {
        Winfunc::SetFullscreen(c_bFullScreen);
        Sound::SetVolumes(1.0f, 1.0f);
    }
    WindowModeKept(const WindowModeKept&) = delete;
    WindowModeKept& operator=(const WindowModeKept&) = delete;

private:
    bool c_bFullScreen = true;
};

TEST(PlayerSettings, TheScreenShowsTheWindowsRealModeAndTheFileKeepsThePlayersChoice)
{
    const WindowModeKept window;
    ASSERT_NE(Winfunc::hWnd, nullptr);
    const kt::TemporaryDirectory dir;
    const std::filesystem::path file = dir.Path() / "settings.ini";
    Winfunc::SetFullscreen(false);  // as `kelvane --windowed` starts

    ::testing::internal::CaptureStderr();
    PlayerSettings fresh(file, nullptr, nullptr, nullptr);
    fresh.Load();  // no file yet
    ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fresh.get_Settings().fullScreen) << "the settings screen would say full screen in a window";
    EXPECT_FALSE(Winfunc::IsFullscreen());

    // The file asks for full screen; this start is in a window all the same.
    ASSERT_TRUE(SaveSettings(file, Settings{}, nullptr));
    PlayerSettings player(file, nullptr, nullptr, nullptr);
    player.Load();
    Settings shown = player.get_Settings();
    EXPECT_FALSE(shown.fullScreen);
    shown.musicVolume = 4;  // another row changed and the screen closed
    player.Set(shown);
    player.Save();
    EXPECT_FALSE(Winfunc::IsFullscreen()) << "changing another row does not switch the window";
    EXPECT_TRUE(LoadSettings(file).fullScreen) << "the file keeps the player's choice, not this start's";
    EXPECT_EQ(LoadSettings(file).musicVolume, 4);

    // The player picks a mode on the screen: the window follows and the file keeps it.
    shown.fullScreen = true;
    player.Set(shown);
    EXPECT_TRUE(Winfunc::IsFullscreen());
    EXPECT_TRUE(player.get_Settings().fullScreen);
    shown.fullScreen = false;
    player.Set(shown);
    player.Save();
    EXPECT_FALSE(Winfunc::IsFullscreen());
    EXPECT_FALSE(LoadSettings(file).fullScreen);
}

}  // namespace
