// The millisecond clock: real by default, manual under test control.
#include "platform/clock/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

namespace {

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { platform::UseRealClock(); }
};

TEST_F(ClockTest, ManualClockMovesOnlyWhenTold)
{
    platform::UseManualClock(500);
    EXPECT_TRUE(platform::IsManualClock());
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(timeGetTime(), 500u);
    platform::AdvanceClock(250);
    EXPECT_EQ(timeGetTime(), 750u);
    platform::SetClock(100);
    EXPECT_EQ(timeGetTime(), 100u);

    // A wait advances the manual clock instead of sleeping.
    const auto start = std::chrono::steady_clock::now();
    platform::SleepMs(10000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(timeGetTime(), 10100u);
}

TEST_F(ClockTest, EachPresentStepsTheManualClock)
{
    platform::UseManualClock(0);
    platform::SetClockStepPerPresent(16);
    platform::OnPresent();
    platform::OnPresent();
    EXPECT_EQ(timeGetTime(), 32u);
    platform::SetClockStepPerPresent(0);
    platform::OnPresent();
    EXPECT_EQ(timeGetTime(), 32u);

    // The present hook runs first and may change the step of the Present that runs it.
    int hooked = 0;
    platform::SetClockStepPerPresent(16);
    platform::SetPresentHook([&hooked] {
        ++hooked;
        platform::SetClockStepPerPresent(0);
    });
    platform::OnPresent();
    EXPECT_EQ(hooked, 1);
    EXPECT_EQ(timeGetTime(), 32u) << "the hook's step of 0 held for its own Present";
    platform::UseRealClock();
    platform::OnPresent();
    EXPECT_EQ(hooked, 1) << "going back to the real clock removes the hook";
}

TEST_F(ClockTest, ManualClockWrapsLikeTheThirtyTwoBitTimer)
{
    platform::UseManualClock(0xFFFFFFF0u);
    platform::AdvanceClock(0x20);
    EXPECT_EQ(timeGetTime(), 0x10u);
}

TEST_F(ClockTest, RealClockRunsAndIgnoresManualControls)
{
    platform::UseManualClock(1);
    platform::SetClockStepPerPresent(1000);
    platform::UseRealClock();
    EXPECT_FALSE(platform::IsManualClock());
    const std::uint32_t before = timeGetTime();
    platform::AdvanceClock(100000);
    platform::OnPresent();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const std::uint32_t after = timeGetTime();
    EXPECT_GE(after - before, 15u);
    EXPECT_LT(after - before, 5000u) << "manual controls moved the real clock";
}

TEST_F(ClockTest, StartUpSeedsDifferAndNeverFollowTheManualClock)
{
    platform::UseManualClock(0);
    std::set<std::uint32_t> seeds;
    for (int i = 0; i < 3; ++i) {
        seeds.insert(platform::StartUpSeed());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(seeds.size(), 3u) << "a seed taken a moment later is another seed";
    EXPECT_EQ(timeGetTime(), 0u) << "taking a seed does not move the game's clock";
}

}  // namespace
