// A still world view rests: the frame whose picture would be the one shown is not drawn
// again, and anything that changes the picture (the pointer, a click, a fade, turning, a
// caption on the clock, a film's texture, another picture presented) makes it draw.
#include "world/world_fixture.h"

#include <thread>

#include "display/display_screen.h"
#include "media/subtitle_item.h"
#include "world/action_codes.h"
#include "world/world_frame_rest.h"

using namespace world_test;

TEST(WorldFrameRestRule, RestsOnlyOnAnUnchangedStillFrameAfterOneWasDrawn)
{
    WorldFrameRest rest;
    WorldFrame still;
    still.pointerX = 200;
    still.deviceChanges = 7;
    EXPECT_FALSE(rest.MayRest(still)) << "nothing drawn yet";
    rest.Drawn(still);
    EXPECT_TRUE(rest.MayRest(still));
    WorldFrame moved = still;
    moved.pointerX = 201;
    EXPECT_FALSE(rest.MayRest(moved));
    WorldFrame changed = still;
    changed.deviceChanges = 8;
    EXPECT_FALSE(rest.MayRest(changed)) << "another picture shown, or a texture written";
    WorldFrame fading = still;
    fading.moving = true;
    rest.Drawn(fading);
    EXPECT_FALSE(rest.MayRest(fading)) << "a moving picture draws every frame";
    EXPECT_FALSE(rest.MayRest(still)) << "and once more when it stops";
    rest.Drawn(still);
    rest.Forget();
    EXPECT_FALSE(rest.MayRest(still)) << "a frame begun and abandoned";
}

class WorldRest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        AddScreen(6, 0, kBlue);
        AddScreen(7, 0, kGreen);
        AddScreen(8, 1, kRed);
        world->TransportToScreen(6);
        PointAt(200, 300);
        // The first frames draw while the bar settles to its see-through level.
        const int settling = FramesUntilRest();
        ASSERT_GE(settling, 1) << "the first frame draws";
        ASSERT_LE(settling, 60) << "the view never came to rest";
    }
    // Runs one frame after `ms` on the clock; true when it drew and presented a picture.
    bool Drew(std::uint32_t ms = 16)
    {
        platform::AdvanceClock(ms);
        mouse->ClearMouseButtons();
        const std::uint64_t before = device.GetChangeCount();
        EXPECT_EQ(world->Run(), WorldManager::kKeepPlaying);
        const bool drew = device.GetChangeCount() != before;
        EXPECT_EQ(drew, !world->get_Rested()) << "a frame either draws or rests";
        return drew;
    }
    // Runs frames until one rests; how many drew before it (-1: none rested in 100).
    // Some drawn frames change what the next one draws (the bar and the top menu fade one step
    // a frame), so a change may take more than one frame to settle.
    int FramesUntilRest(std::uint32_t ms = 16)
    {
        for (int i = 0; i < 100; ++i)
            if (!Drew(ms)) return i;
        return -1;
    }
};

TEST_F(WorldRest, AStillViewIsDrawnOnceThenShownAgainWithoutDrawing)
{
    platform::SetClockStepPerPresent(16);
    const std::uint32_t before = timeGetTime();
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(Drew(0)) << "frame " << i;
    EXPECT_EQ(timeGetTime() - before, 160u) << "a rested frame is still a frame for the stepped clock";
    platform::SetClockStepPerPresent(0);
    const std::vector<std::uint32_t> shown = kt::ReadBack();
    EXPECT_EQ(kt::PixelAt(shown, 600, 300), kBlue) << "the picture stays in the back buffer";
}

TEST_F(WorldRest, ThePointerAndClicksMakeItDraw)
{
    PointAt(210, 300);
    EXPECT_TRUE(Drew()) << "the cursor moved";
    EXPECT_FALSE(Drew());
    Click();
    const std::uint64_t before = device.GetChangeCount();
    world->Run();
    EXPECT_NE(device.GetChangeCount(), before) << "a click draws its frame";
}

TEST_F(WorldRest, TheTopMenuAndTheBarDrawUntilTheyHaveFadedInOrOut)
{
    PointAt(400, 40);
    EXPECT_GE(FramesUntilRest(), 3) << "the top menu shows step by step";
    PointAt(400, 300);
    EXPECT_GE(FramesUntilRest(), 3) << "and fades out step by step";
}

TEST_F(WorldRest, AFadeDrawsEveryFrameAndOnceMoreAtItsEnd)
{
    world->JumpToScreen(7, 100);
    int drawn = 0;
    while (world->get_DisplayScreen()->get_Switching()) {
        ASSERT_TRUE(Drew(20)) << "fade frame " << drawn;
        ASSERT_LT(++drawn, 20);
    }
    EXPECT_GE(drawn, 5) << "the frame in which the fade ended drew its end";
    EXPECT_EQ(kt::PixelAt(kt::ReadBack(), 600, 300), kGreen) << "the new picture, whole";
    EXPECT_EQ(FramesUntilRest(), 0);
}

TEST_F(WorldRest, TurningDrawsEveryFrame)
{
    world->TransportToScreen(8);
    PointAt(50, 300);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Drew()) << "turning frame " << i;
    PointAt(400, 300);
    EXPECT_GE(FramesUntilRest(), 1) << "stopped turning";
}

TEST_F(WorldRest, ACaptionOnTheClockDrawsWhileItShows)
{
    SubtitleItem caption;
    caption.Add(0, "(a knock)");
    caption.Add(200, "");
    WorldActionlist* knock = List();
    WorldAction* play = knock->addAction(ACT_PlaySound);
    play->addParamObject(0, L"nothing/knock.wav");
    play->addParamObject(5, &caption);
    world->ExcuteActionList(knock);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Drew(30)) << "caption frame " << i;
    platform::AdvanceClock(200);
    EXPECT_GE(FramesUntilRest(), 1) << "the caption's end drawn, then rest";
}

TEST_F(WorldRest, AFilmsTextureWrittenOnItsThreadOrAnotherPicturePresentedMakesItDraw)
{
    gfx::Texture* texture = world->get_DisplayScreen()->getTexture()->get();
    ASSERT_NE(texture, nullptr);
    std::thread renderer([texture] {
        D3DLOCKED_RECT locked{};
        if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) texture->UnlockRect(0);
    });
    renderer.join();
    EXPECT_TRUE(Drew()) << "a texture was written";
    EXPECT_FALSE(Drew());

    // The menu, a film or a wait presented their own picture in between.
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kYellow, 1.0f, 0);
    device.Present();
    EXPECT_TRUE(Drew());
    EXPECT_EQ(kt::PixelAt(kt::ReadBack(), 600, 300), kBlue) << "the world's picture is back";
}
