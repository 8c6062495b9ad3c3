// The music playlist over two short tracks: switching, restarting, pausing, stopping, looping.
#include "media/music_manager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "media_test_files.h"

namespace {

using namespace std::chrono_literals;
constexpr platform::MediaTime kMs = platform::kMediaUnitsPerMs;

class Music : public ::testing::Test {
protected:
    void SetUp() override
    {
        c_music.AddSong(1, media_test::Files::Get().Path("track1.mp3"));
        c_music.AddSong(2, media_test::Files::Get().Path("track2.mp3"));
    }
    platform::MediaTime Position() const { return c_music.get_Sound().get_Position(); }
    MusicManager c_music;
};

TEST_F(Music, SameNumberPlaysOnUnlessRestarted)
{
    c_music.PlaySong(2, false);
    EXPECT_EQ(c_music.get_Current(), 2);
    std::this_thread::sleep_for(300ms);
    c_music.PlaySong(2, false);
    EXPECT_GT(Position(), 200 * kMs) << "the same track without restart plays on";
    c_music.PlaySong(2, true);
    EXPECT_LT(Position(), 50 * kMs) << "with restart it starts again";
    c_music.PlaySong(1, false);
    EXPECT_EQ(c_music.get_Current(), 1);
    EXPECT_LT(Position(), 50 * kMs) << "another track starts from its beginning";
}

TEST_F(Music, PauseAndPlayContinueWherePaused)
{
    c_music.PlaySong(1, false);
    std::this_thread::sleep_for(200ms);
    c_music.Pause();
    const auto paused = Position();
    EXPECT_EQ(c_music.get_Current(), 1) << "Pause keeps the track";
    c_music.PlaySong(1, false);
    std::this_thread::sleep_for(150ms);
    EXPECT_NEAR(Position(), paused, 1 * kMs) << "PlaySong of the paused track leaves it paused";
    c_music.Play();
    std::this_thread::sleep_for(150ms);
    EXPECT_GT(Position(), paused + 80 * kMs) << "Play continues";
}

TEST_F(Music, StopForgetsTheTrackSoPlayDoesNothing)
{
    c_music.PlaySong(1, false);
    std::this_thread::sleep_for(200ms);
    c_music.Stop();
    EXPECT_EQ(c_music.get_Current(), MusicManager::kNoSong);
    const auto stopped = Position();
    c_music.Play();
    std::this_thread::sleep_for(150ms);
    EXPECT_NEAR(Position(), stopped, 1 * kMs) << "Play after Stop does nothing";
    c_music.PlaySong(1, false);
    EXPECT_LT(Position(), 50 * kMs) << "PlaySong after Stop starts from the beginning";
    c_music.PlaySong(MusicManager::kNoSong, false);
    EXPECT_EQ(c_music.get_Current(), MusicManager::kNoSong);
    const auto silenced = Position();
    std::this_thread::sleep_for(100ms);
    EXPECT_NEAR(Position(), silenced, 1 * kMs) << "-999 silences the music";
}

TEST_F(Music, UnregisteredNumberLeavesTheMusicAlone)
{
    c_music.PlaySong(2, false);
    std::this_thread::sleep_for(100ms);
    c_music.PlaySong(77, true);
    EXPECT_EQ(c_music.get_Current(), 2);
    EXPECT_GT(Position(), 50 * kMs) << "track 2 was neither replaced nor restarted";
    EXPECT_EQ(c_music.GetSong(77), nullptr);
    ASSERT_NE(c_music.GetSong(1), nullptr);
    EXPECT_EQ(c_music.GetSong(1)->get_Number(), 1);
}

TEST_F(Music, RunLoopsTheTrackAtItsEnd)
{
    c_music.PlaySong(1, false);
    for (int i = 0; i < 400 && !c_music.get_Sound().get_Done(); ++i) std::this_thread::sleep_for(5ms);
    ASSERT_TRUE(c_music.get_Sound().get_Done());
    c_music.Run();
    EXPECT_FALSE(c_music.get_Sound().get_Done()) << "an ended track starts again";
    EXPECT_LT(Position(), 50 * kMs);
}

}  // namespace
