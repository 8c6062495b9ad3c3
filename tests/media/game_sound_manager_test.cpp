// Ambient sound scheduling on the manual clock, the world's activation rules, and the sound
// manager's frame: finished one-shots dropped, Clear silencing everything within one frame;
// the regions' beds, looping from the moment they are switched on.
#include "media/game_sound_manager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "media_test_files.h"
#include "platform/audio/audio_mixer.h"
#include "platform/clock/clock.h"

namespace {

constexpr std::uint32_t kStart = 1000000;
constexpr std::uint32_t kFrameMs = 10;

std::wstring File(const char* name) { return media_test::Files::Get().Path(name); }

class Ambient : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::UseManualClock(kStart);
        std::srand(12345);
        c_list.set_SoundManager(&c_manager);
    }
    void TearDown() override { platform::UseRealClock(); }

    // Runs frames for `ms` and returns the clock times at which `sound` was started.
    std::vector<std::uint32_t> RunFrames(const RepetiveSound& sound, std::uint32_t ms)
    {
        std::vector<std::uint32_t> starts;
        for (std::uint32_t t = 0; t < ms; t += kFrameMs) {
            platform::AdvanceClock(kFrameMs);
            const std::uint32_t before = sound.get_RestartTime();
            const bool wasLoaded = sound.get_Loaded();
            c_manager.Run();
            if (sound.get_RestartTime() != before || sound.get_Loaded() != wasLoaded) starts.push_back(timeGetTime());
        }
        return starts;
    }

    GameSoundManager c_manager;
    RepetiveSoundList c_list;
};

TEST_F(Ambient, MinimumAndMaximumOneApartRepeatEveryTwoSeconds)
{
    RepetiveSound* drip = c_list.AddRepetiveSound(1, File("nothing_here.wav"));
    c_list.ActivateRepetiveSound(1, 2000, 2001);
    ASSERT_TRUE(drip->get_Active());
    const std::uint32_t first = drip->get_RestartTime();
    EXPECT_GE(first, kStart);
    EXPECT_LT(first, kStart + 2000) << "the first start lies within 2000 ms of the activation";
    const auto starts = RunFrames(*drip, 9000);
    ASSERT_GE(starts.size(), 4u);
    EXPECT_GT(starts[0], first);
    EXPECT_LE(starts[0], first + kFrameMs) << "started at the first frame after its time";
    for (std::size_t i = 1; i < starts.size(); ++i) {
        EXPECT_GT(starts[i] - starts[i - 1], 2000u) << "start " << i;
        EXPECT_LE(starts[i] - starts[i - 1], 2000u + kFrameMs) << "start " << i;
    }
}

TEST_F(Ambient, WideBoundsDrawFirstAndLaterStartsInRange)
{
    RepetiveSound sound(7, File("nothing_here.wav"));
    sound.set_Min(2000);
    sound.set_Max(20000);
    std::uint32_t longestFirst = 0;
    for (int i = 0; i < 500; ++i) {
        sound.set_Active(true);
        const std::uint32_t wait = sound.get_RestartTime() - timeGetTime();
        EXPECT_LT(wait, 19999u);
        longestFirst = std::max(longestFirst, wait);
    }
    EXPECT_GT(longestFirst, 5000u) << "first starts spread over the drawn bound";
    std::uint32_t shortest = ~0u, longest = 0;
    for (int i = 0; i < 500; ++i) {
        sound.Play();
        const std::uint32_t pause = sound.get_RestartTime() - timeGetTime();
        shortest = std::min(shortest, pause);
        longest = std::max(longest, pause);
    }
    EXPECT_GE(shortest, 2000u);
    EXPECT_LE(longest, 19999u);
    EXPECT_GT(longest - shortest, 10000u) << "pauses spread between the bounds";
}

TEST_F(Ambient, ActivatingAgainOnlyChangesBoundsAndLowerMaxPullsStartForward)
{
    RepetiveSound* a = c_list.AddRepetiveSound(3, File("one.wav"));
    RepetiveSound* b = c_list.AddRepetiveSound(3, File("one.wav"));
    c_list.ActivateRepetiveSound(3, 5000, 9000);
    platform::AdvanceClock(9001);
    c_manager.Run();
    ASSERT_TRUE(a->get_Loaded());
    ASSERT_TRUE(b->get_Loaded()) << "every sound with the number is switched on";
    const Sound* playing = a->get_Sound();
    const std::uint32_t pending = a->get_RestartTime();
    ASSERT_GT(pending - timeGetTime(), 4000u);

    // A screen change whose entry script switches the same sound on again.
    c_list.DeactivateAllRepetiveSounds();
    c_list.ActivateRepetiveSound(3, 5000, 9000);
    c_manager.Run();
    EXPECT_TRUE(a->get_Loaded()) << "re-activated before the next frame, it plays on";
    EXPECT_EQ(a->get_Sound(), playing) << "without a new sound";
    EXPECT_FALSE(a->get_Sound()->get_Done());

    c_list.ActivateRepetiveSound(3, 90, 100);
    EXPECT_EQ(a->get_RestartTime(), timeGetTime() + 100) << "a smaller maximum brings the start forward";
    EXPECT_EQ(a->get_Sound(), playing) << "an active sound only takes the new bounds";

    c_list.DeactivateRepetiveSound(3);
    EXPECT_FALSE(a->get_Active());
    EXPECT_FALSE(b->get_Active());
    EXPECT_TRUE(a->get_Loaded()) << "silenced only by the next frame";
    c_manager.Run();
    EXPECT_FALSE(a->get_Loaded());
    EXPECT_FALSE(b->get_Loaded());
}

TEST_F(Ambient, SameBoundsOrZeroMaximumDoNotDivideByZero)
{
    RepetiveSound sound(2, File("nothing_here.wav"));
    sound.set_Min(500);
    sound.set_Max(500);
    sound.set_Active(true);
    EXPECT_LT(sound.get_RestartTime() - timeGetTime(), 500u);
    sound.Play();
    EXPECT_EQ(sound.get_RestartTime(), timeGetTime() + 500) << "equal bounds: the pause is the minimum";
    RepetiveSound zero(3, File("nothing_here.wav"));
    zero.set_Active(true);
    EXPECT_EQ(zero.get_RestartTime(), timeGetTime());
}

TEST_F(Ambient, FinishedOneShotsAreDroppedTogetherAndClearSilencesAllInOneFrame)
{
    const std::size_t voices = platform::Mixer::Default().VoiceCount();
    c_manager.AddSound(File("missing1.wav"));
    c_manager.AddSound(File("missing2.wav"));
    c_manager.AddSound(File("one.wav"));
    c_manager.Run();
    EXPECT_EQ(c_manager.get_SoundCount(), 1u) << "two sounds done in the same frame both go";

    RepetiveSound* ambient = c_list.AddRepetiveSound(5, File("one.wav"));
    c_list.ActivateRepetiveSound(5, 100, 200);
    platform::AdvanceClock(300);
    c_manager.Run();
    ASSERT_TRUE(ambient->get_Loaded());
    EXPECT_EQ(platform::Mixer::Default().VoiceCount(), voices + 2);

    c_manager.Clear();
    EXPECT_EQ(c_manager.get_SoundCount(), 0u);
    platform::AdvanceClock(kFrameMs);
    c_manager.Run();
    EXPECT_FALSE(ambient->get_Loaded());
    EXPECT_EQ(platform::Mixer::Default().VoiceCount(), voices) << "nothing sounds after one frame";
}

}  // namespace

// A resting game sleeps until the next ambient start: never past it, never past its limit.
TEST_F(Ambient, TheWaitUntilDueEndsWhenTheNextSoundIsToStart)
{
    EXPECT_EQ(c_manager.MsUntilDue(timeGetTime(), 50), 50u) << "nothing scheduled: the limit";
    RepetiveSound* drip = c_list.AddRepetiveSound(1, File("nothing_here.wav"));
    RepetiveSound* wind = c_list.AddRepetiveSound(2, File("nothing_here.wav"));
    c_list.ActivateRepetiveSound(1, 2000, 2001);
    c_list.ActivateRepetiveSound(2, 30, 31);
    const std::uint32_t next = std::min(drip->get_RestartTime(), wind->get_RestartTime());
    EXPECT_EQ(c_manager.MsUntilDue(timeGetTime(), 5000), next - timeGetTime() + 1) << "the sooner of the two";
    EXPECT_EQ(c_manager.MsUntilDue(timeGetTime(), 10), 10u);

    // Sleeping exactly that long brings the frame that starts it.
    platform::AdvanceClock(c_manager.MsUntilDue(timeGetTime(), 5000));
    EXPECT_EQ(c_manager.MsUntilDue(timeGetTime(), 5000), 0u) << "due now";
    c_manager.Run();
    EXPECT_GT(wind->get_RestartTime(), next) << "the frame after the wait started it";

    // Switched off, a sound no longer shortens the wait.
    c_list.DeactivateRepetiveSound(2);
    c_manager.Run();
    EXPECT_EQ(c_manager.MsUntilDue(timeGetTime(), 5000), drip->get_RestartTime() - timeGetTime() + 1);
}

namespace {

// Waits in real time (the sound's own clock) until `sound` has played to its end.
bool WaitForTheEnd(const RepetiveSound& sound, std::chrono::milliseconds longest)
{
    const auto until = std::chrono::steady_clock::now() + longest;
    while (!sound.get_Sound()->get_Done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace

// A bed starts on the first frame after it is switched on and again on the first frame after
// it ends, with the same voice; it takes no random number, so the drips' starts are those of
// a world without beds; a screen change within its region leaves it playing; switched off, it
// is silenced by the next frame.
TEST_F(Ambient, ABedStartsAtOnceAndAgainWhenItEndsWithoutTouchingTheDripsDraws)
{
    // The drips' first start as a world without the bed draws it.
    std::srand(4242);
    RepetiveSound alone(1, File("nothing_here.wav"));
    alone.set_Min(2000);
    alone.set_Max(20000);
    alone.set_Active(true);
    const std::uint32_t dripAlone = alone.get_RestartTime();
    const int nextDraw = std::rand();

    std::srand(4242);
    RepetiveSound* bed = c_list.AddRepetiveSound(6, File("short.wav"), true);
    RepetiveSound* drip = c_list.AddRepetiveSound(1, File("nothing_here.wav"));
    c_list.ActivateRepetiveSound(6, 0, 0);
    c_list.ActivateRepetiveSound(1, 2000, 20000);
    ASSERT_TRUE(bed->get_Bed());
    EXPECT_EQ(drip->get_RestartTime(), dripAlone) << "the bed drew nothing before the drip";
    EXPECT_EQ(c_manager.MsUntilDue(timeGetTime(), 50), 0u) << "the bed is due at once";
    c_manager.Run();
    ASSERT_TRUE(bed->get_Loaded()) << "started on the first frame, not seconds late";
    const Sound* voice = bed->get_Sound();
    EXPECT_EQ(std::rand(), nextDraw) << "starting the bed drew nothing either";
    EXPECT_LE(c_manager.MsUntilDue(timeGetTime(), 50), GameSoundManager::kBedPollMs) << "a playing bed is looked at often";

    // A screen change within the region: off and on again before the next frame.
    platform::AdvanceClock(kFrameMs);
    c_list.DeactivateAllRepetiveSounds();
    c_list.ActivateRepetiveSound(6, 0, 0);
    c_list.ActivateRepetiveSound(1, 2000, 20000);
    c_manager.Run();
    EXPECT_EQ(bed->get_Sound(), voice) << "it plays on";
    EXPECT_FALSE(bed->get_Sound()->get_Done());

    // Playing to its end, it starts again on the next frame, as often as it ends.
    for (int loop = 0; loop < 2; ++loop) {
        const std::uint32_t started = bed->get_RestartTime();
        ASSERT_TRUE(WaitForTheEnd(*bed, std::chrono::milliseconds(2000))) << "loop " << loop;
        platform::AdvanceClock(kFrameMs);
        EXPECT_EQ(c_manager.MsUntilDue(timeGetTime(), 50), 0u) << "an ended bed is due";
        c_manager.Run();
        EXPECT_EQ(bed->get_Sound(), voice) << "the same voice from its start, loop " << loop;
        EXPECT_FALSE(bed->get_Sound()->get_Done()) << "loop " << loop;
        EXPECT_GT(bed->get_RestartTime(), started) << "each start is noted (a caption would show again)";
    }
    c_list.DeactivateRepetiveSound(6);
    c_manager.Run();
    EXPECT_FALSE(bed->get_Loaded()) << "switched off, silenced by the next frame";
    EXPECT_TRUE(drip->get_Active());
}

// A bed whose file gives no sound is tried once per switching on, not on every frame, and
// does not keep a resting game awake.
TEST_F(Ambient, ABedWithoutASoundIsNotStartedOnEveryFrame)
{
    RepetiveSound* bed = c_list.AddRepetiveSound(6, File("nothing_here.wav"), true);
    c_list.ActivateRepetiveSound(6, 0, 0);
    c_manager.Run();
    ASSERT_TRUE(bed->get_Loaded());
    const std::uint32_t tried = bed->get_RestartTime();
    platform::AdvanceClock(kFrameMs);
    EXPECT_FALSE(bed->get_Due(timeGetTime()));
    EXPECT_EQ(c_manager.MsUntilDue(timeGetTime(), 50), 50u) << "nothing to wait for";
    c_manager.Run();
    EXPECT_EQ(bed->get_RestartTime(), tried) << "not started again";

    c_list.DeactivateAllRepetiveSounds();
    c_list.ActivateRepetiveSound(6, 0, 0);
    EXPECT_TRUE(bed->get_Due(timeGetTime())) << "switched on again, it is tried again";
}
