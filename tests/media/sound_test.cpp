// Sound over real files: restarting, the end, halting and resuming, releasing, bad files.
#include "media/sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <unistd.h>

#include "media_test_files.h"
#include "platform/audio/audio_mixer.h"

namespace {

using namespace std::chrono_literals;
constexpr platform::MediaTime kMs = platform::kMediaUnitsPerMs;

std::wstring File(const char* name) { return media_test::Files::Get().Path(name); }
std::size_t Voices() { return platform::Mixer::Default().VoiceCount(); }

void WaitUntilDone(const Sound& sound)
{
    for (int i = 0; i < 400 && !sound.get_Done(); ++i) std::this_thread::sleep_for(5ms);
}

TEST(Sound, RestartJumpsBackOnTheSameVoice)
{
    const std::size_t before = Voices();
    Sound sound(File("one.wav"));
    EXPECT_TRUE(sound.get_Loaded());
    EXPECT_EQ(Voices(), before + 1);
    std::this_thread::sleep_for(300ms);
    EXPECT_GT(sound.get_Position(), 200 * kMs);
    sound.Restart();
    EXPECT_LT(sound.get_Position(), 50 * kMs) << "Restart goes back to the start";
    EXPECT_EQ(Voices(), before + 1) << "and never makes a second voice";
    std::this_thread::sleep_for(100ms);
    EXPECT_GT(sound.get_Position(), 50 * kMs) << "and plays";
}

TEST(Sound, DoneStaysTrueAfterTheEndUntilRestart)
{
    Sound sound(File("short.wav"));
    EXPECT_FALSE(sound.get_Done()) << "a sound that just started is not done";
    WaitUntilDone(sound);
    ASSERT_TRUE(sound.get_Done());
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(sound.get_Done()) << "still done a while later";
    sound.Restart();
    EXPECT_FALSE(sound.get_Done()) << "a restarted sound plays again";
    WaitUntilDone(sound);
    EXPECT_TRUE(sound.get_Done()) << "and ends again";
}

TEST(Sound, StopThenRunContinuesWhereItHalted)
{
    Sound sound(File("one.wav"));
    std::this_thread::sleep_for(200ms);
    sound.Stop();
    const auto halted = sound.get_Position();
    std::this_thread::sleep_for(200ms);
    EXPECT_NEAR(sound.get_Position(), halted, 1 * kMs) << "a halted sound holds its position";
    sound.Run();
    std::this_thread::sleep_for(150ms);
    EXPECT_GT(sound.get_Position(), halted + 80 * kMs) << "Run continues, no rewind";
    EXPECT_LT(sound.get_Position(), halted + 250 * kMs);
}

TEST(Sound, DestroyTwiceAndPlayFileReleaseTheOldGraph)
{
    const std::size_t before = Voices();
    Sound sound(File("one.wav"));
    sound.PlayFile(File("short.wav"));
    EXPECT_EQ(Voices(), before + 1) << "PlayFile on a playing sound releases the old file first";
    sound.Destroy();
    EXPECT_FALSE(sound.get_Loaded());
    EXPECT_EQ(Voices(), before);
    sound.Destroy();
    EXPECT_FALSE(sound.get_Loaded());
    EXPECT_TRUE(sound.get_Done()) << "nothing loaded plays nothing";
    sound.Run();
    sound.Stop();
    sound.Restart();  // without a graph these do nothing
}

TEST(Sound, MissingFileIsSilentAndDoneAtOnce)
{
    const std::size_t before = Voices();
    Sound sound(File("nothing_here.wav"));
    EXPECT_TRUE(sound.get_Loaded());
    EXPECT_TRUE(sound.get_Done());
    EXPECT_EQ(Voices(), before);
    sound.Restart();
    EXPECT_TRUE(sound.get_Done()) << "restarting a silent sound ends it at once again";
}

TEST(SoundDeathTest, ASoundThatEndsWhilePreparingPlaysToItsEnd)
{
    // The whole file is decoded while the sound is prepared, before it plays: more than the
    // output takes ahead. Preparing must not wait for the output; a hang is killed by the alarm.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            alarm(10);
            const auto start = std::chrono::steady_clock::now();
            Sound sound(File("one_packet.wav"));
            const auto prepared = std::chrono::steady_clock::now() - start;
            const bool playing = !sound.get_Done();
            WaitUntilDone(sound);
            const auto played = std::chrono::steady_clock::now() - start;
            const bool whole = sound.get_Done() && prepared < 1000ms && played > 400ms;
            media_test::Files::Get().RemoveFiles();
            std::_Exit(playing && whole ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
