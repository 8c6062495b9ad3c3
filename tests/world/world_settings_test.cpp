// The player's settings as the world obeys them: the turning speed, skipped scripted waits,
// and Escape ending a wait.
#include <gtest/gtest.h>

#include "world/action_codes.h"
#include "world/world_action.h"
#include "world/world_actionlist.h"
#include "display/display_screen.h"
#include "platform/window/window.h"
#include "world/world_fixture.h"

namespace {

constexpr std::uint32_t kBlue = 0xFF0000FFu;

class WorldSettings : public world_test::WorldTest {
protected:
    // How far the view turns in 20 ms with the pointer 50 pixels into the left margin.
    float TurnIn20Ms()
    {
        PointAt(50, 300);
        world->Run();
        const float before = world->get_DisplayScreen()->GetRotation();
        platform::AdvanceClock(20);
        world->Run();
        return world->get_DisplayScreen()->GetRotation() - before;
    }
    WorldActionlist* LongWait()
    {
        WorldActionlist* list = List();
        WorldAction* wait = list->addAction(ACT_Wait);
        wait->addParam(0, 100000);
        wait->addParam(4, 0);
        return list;
    }
};

TEST_F(WorldSettings, TurningSpeedScalesTheTurnAndAPauseIsNotTurningTime)
{
    AddScreen(5, 1, kBlue);
    world->TransportToScreen(5);
    const float normal = TurnIn20Ms();
    EXPECT_NEAR(normal, 50.0f / 32500.0f * 20.0f, 1e-5f);
    world->set_TurningFactor(2.0f);
    EXPECT_NEAR(TurnIn20Ms(), 2.0f * normal, 1e-5f);

    // The settings screen was open for a minute with the pointer in the margin.
    const float before = world->get_DisplayScreen()->GetRotation();
    platform::AdvanceClock(60000);
    world->ResumeClock();
    world->Run();
    EXPECT_NEAR(world->get_DisplayScreen()->GetRotation(), before, 1e-6f);
}

TEST_F(WorldSettings, SkippedWaitsDrawNothingAndEscapeEndsAWait)
{
    WorldActionlist* drawn = List();
    WorldAction* wait = drawn->addAction(ACT_Wait);
    wait->addParam(0, 40);
    world->set_SkipWaits(true);
    EXPECT_EQ(CountFrames([&] { world->ExcuteActionList(drawn); }), 0) << "a skipped wait returns at once";
    world->set_SkipWaits(false);
    EXPECT_EQ(CountFrames([&] { world->ExcuteActionList(drawn); }), 40);

    clock.reset();  // the real clock: the wait must end by the key, not by time
    // An Escape from before the wait (closing the settings, leaving a film) does not end it.
    platform::InjectAsyncKey(0x1B, true);
    platform::InjectAsyncKey(0x1B, false);
    WorldActionlist* shortWait = List();
    WorldAction* w = shortWait->addAction(ACT_Wait);
    w->addParam(0, 200);
    w->addParam(4, 0);
    std::uint32_t start = timeGetTime();
    world->ExcuteActionList(shortWait);
    EXPECT_GE(timeGetTime() - start, 200u);
    EXPECT_FALSE(world->TakeWaitCutByEscape());

    platform::InjectAsyncKey(0x1B, true);
    start = timeGetTime();
    world->ExcuteActionList(LongWait());
    platform::InjectAsyncKey(0x1B, false);
    platform::GetAsyncKeyState(0x1B);
    EXPECT_LT(timeGetTime() - start, 1000u) << "Escape ends the wait";
    EXPECT_TRUE(world->TakeWaitCutByEscape());
    EXPECT_FALSE(world->TakeWaitCutByEscape()) << "reported once";
}

}  // namespace
