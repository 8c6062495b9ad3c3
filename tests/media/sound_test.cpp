// Sound over real files: restarting, the end, halting and resuming, releasing, bad files.
#include "media/sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
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

// Run in a child process: prepares `name` on a thread of its own, so that a prepare that never
// returns is reported rather than waited for, then plays it to its end. Exits 0 when preparing
// took under a second and the sound then played for at least `lasts`.
[[noreturn]] void PrepareAndPlayToTheEnd(const char* name, std::chrono::milliseconds lasts)
{
    alarm(10);
    const std::wstring path = File(name);
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<Sound> sound;
    std::promise<void> prepared;
    std::thread([&] {
        sound = std::make_unique<Sound>(path);
        prepared.set_value();
    }).detach();
    const bool returned = prepared.get_future().wait_for(1s) == std::future_status::ready;
    const auto preparing = std::chrono::steady_clock::now() - start;
    const bool playing = returned && !sound->get_Done();
    if (returned) WaitUntilDone(*sound);
    const auto played = std::chrono::steady_clock::now() - start;
    const bool whole = returned && sound->get_Done() && played > lasts;
    if (!returned)
        std::fprintf(stderr, "preparing %s has not returned after %lld ms\n", name,
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(preparing).count()));
    else if (!playing || !whole)
        std::fprintf(stderr, "%s: playing at once %d, done after %lld ms (at least %lld expected)\n", name, playing,
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(played).count()),
                     static_cast<long long>(lasts.count()));
    media_test::Files::Get().RemoveFiles();
    std::_Exit(playing && whole ? 0 : 1);
}

// Sounds decoded whole while they are prepared, before they play: more than the output takes
// ahead. Preparing must not wait for the output.
TEST(SoundDeathTest, ASoundThatEndsWhilePreparingPlaysToItsEnd)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // One packet that converts to more than the output reads ahead.
    EXPECT_EXIT(PrepareAndPlayToTheEnd("one_packet.wav", 400ms), ::testing::ExitedWithCode(0), "");
}

TEST(SoundDeathTest, ASoundItsDecoderGivesOnlyAtTheEndPlaysToItsEnd)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A second that comes out of the decoder only when it is drained at the end of the file,
    // which preparing reaches.
    EXPECT_EXIT(PrepareAndPlayToTheEnd("held_to_the_end.wav", 800ms), ::testing::ExitedWithCode(0), "");
}

}  // namespace
