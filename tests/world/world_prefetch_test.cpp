// Pictures of the screens one click away decoded ahead: which screens, that entering one shows
// exactly what it shows without, and that a damaged picture is still reported on entry.
#include <gtest/gtest.h>

#include "core/error.h"
#include "display/picture_cache.h"
#include "world/action_codes.h"
#include "world/condition_codes.h"
#include "world_fixture.h"

namespace {

using namespace world_test;

class WorldPrefetch : public WorldTest {
protected:
    // Screen 1 (flat) leads to screen 2 (a panorama with a replaced base picture, overlays and
    // a strip) and to screen 3; item 1's close-up is screen 4; screen 5 is one click further.
    void Build(WorldManager& w)
    {
        for (int v = 1; v <= 4; ++v) w.AddGlobalVar(v, 0);
        w.setGlobalVarValue(1, 1);
        w.setGlobalVarValue(2, 2);
        WorldScreen* start = w.AddWorldScreen(1, WorldScreen::kFlat, Picture("start", 40, 20, 0));
        start->QHS_StandardMove(0, 0, 100, 100, 2);
        start->QHS_StandardMove(200, 0, 300, 100, 3);

        // 100 x 30 pictures are scaled into 128 x 32 textures: the scaling is part of what is compared.
        WorldScreen* pano = w.AddWorldScreen(2, WorldScreen::kPanorama, Picture("pano", 100, 30, 5), 5);
        pano->AddOverwriteBaseImage(1, 1, Picture("pano-v1", 100, 30, 5));
        WorldOverlay* shown = pano->AddOverlay(10, 4, 12, 8, Picture("overlay", 12, 8, 7), 7);
        for (int t : {int{CT_Var}, 1, int{CT_Equal}, int{CT_Value}, 1}) shown->addCondition(t);
        WorldOverlay* hidden = pano->AddOverlay(40, 4, 12, 8, Picture("hidden", 12, 8, 0));
        for (int t : {int{CT_Var}, 1, int{CT_Equal}, int{CT_Value}, 0}) hidden->addCondition(t);
        pano->AddOverlayArray(60, 10, 6, 6, 2, Picture("strip", 24, 6, 9), 9);
        pano->QHS_StandardMove(0, 0, 100, 100, 5);

        w.AddWorldScreen(3, WorldScreen::kFlat, c_damaged);
        w.AddWorldScreen(4, WorldScreen::kFlat, Picture("closeup", 40, 20, 0));
        w.AddWorldScreen(5, WorldScreen::kFlat, Picture("further", 40, 20, 0));
        const char* item = Picture("item", 8, 8, 0);
        w.AddItem(1, item, item, item, item, item, L"nothing.wav", 8, 8, 0, 0, 0, 4);
        w.ActivateItem(1);
    }
    // A scrambled picture whose every pixel differs from its neighbours (so that any shift or
    // wrong scaling shows), kept for the world.
    const char* Picture(const std::string& name, int width, int height, int offset)
    {
        const std::string png = Image(name + ".png", width, height, [&](int x, int y) {
            return 0xFF000000u | static_cast<std::uint32_t>((x * 37 + y * 11 + name.size() * 50) & 0xFF) << 16 |
                   static_cast<std::uint32_t>((x * 5 + y * 71) & 0xFF) << 8 | static_cast<std::uint32_t>(x ^ y);
        });
        return Keep(offset == 0 ? png : Scramble(png, offset));
    }
    PictureCache::Key Key(const WorldScreen* screen) const { return {screen->get_BaseImage(), screen->get_Offset(), true}; }

    // What the player sees of screen 2 entered from screen 1.
    std::vector<std::uint32_t> EnterPanorama(WorldManager& w)
    {
        w.TransportToScreen(1);
        w.Render();  // decoding ahead starts after the screen's first frame
        if (w.get_PictureCache() != nullptr) w.get_PictureCache()->WaitIdle();
        w.JumpToScreen(2, 0);
        w.Render();
        return kt::ReadBack();
    }

    const char* c_damaged = nullptr;
    void SetUp() override
    {
        WorldTest::SetUp();
        // A PNG signature followed by nothing a decoder can read.
        const std::string path = (c_dir / "damaged.png").string();
        std::ofstream(path, std::ios::binary) << "\x89PNG\r\n\x1a\n" << std::string(40, 'x');
        c_damaged = Keep(path);
    }
};

}  // namespace

TEST_F(WorldPrefetch, TheScreensOneClickAwayAreDecodedAheadAsTheVariablesStand)
{
    Build(*world);
    ASSERT_NE(world->get_PictureCache(), nullptr) << "prefetching is on from the start";
    world->TransportToScreen(1);
    PictureCache& cache = *world->get_PictureCache();
    cache.WaitIdle();
    EXPECT_FALSE(cache.Holds(Key(world->getWorldScreen(4)))) << "nothing is decoded before the first frame";
    world->Render();
    cache.WaitIdle();
    EXPECT_TRUE(cache.Holds({world->getWorldScreen(2)->GetOverwriteBaseImage(0)->get_BaseImage(), 5, true}))
        << "the base picture variable 1 selects";
    EXPECT_TRUE(cache.Holds({world->getWorldScreen(2)->GetOverlay(0)->get_ImagePath(), 7, false}));
    EXPECT_TRUE(cache.Holds({world->getWorldScreen(2)->GetOverlayArray(0)->get_ImagePath(), 9, false}));
    EXPECT_TRUE(cache.Holds(Key(world->getWorldScreen(4)))) << "the close-up of the item in the bar";
    EXPECT_FALSE(cache.Holds(Key(world->getWorldScreen(3)))) << "a damaged picture is not held";
    EXPECT_FALSE(cache.Holds(Key(world->getWorldScreen(5)))) << "two clicks away";
    // What a click may switch to comes after, while there is room: the other base picture and
    // the overlay hidden now.
    EXPECT_TRUE(cache.Holds(Key(world->getWorldScreen(2))));
    EXPECT_TRUE(cache.Holds({world->getWorldScreen(2)->GetOverlay(1)->get_ImagePath(), 0, false}));

    const int misses = cache.get_Misses();  // screen 1's own picture, read on entry
    world->JumpToScreen(2, 0);
    EXPECT_EQ(cache.get_Hits(), 3) << "base picture, overlay and strip frame";
    EXPECT_EQ(cache.get_Misses(), misses);
    world->Render();
    cache.WaitIdle();
    EXPECT_TRUE(cache.Holds(Key(world->getWorldScreen(5)))) << "one click away now";
}

TEST_F(WorldPrefetch, AScreenEnteredAfterPrefetchShowsTheSamePixelsAsWithout)
{
    Build(*world);
    const std::vector<std::uint32_t> ahead = EnterPanorama(*world);
    EXPECT_EQ(world->get_PictureCache()->get_Hits(), 3);

    std::unique_ptr<WorldManager> plain = NewWorld();
    plain->set_Prefetch(false);
    EXPECT_EQ(plain->get_PictureCache(), nullptr);
    Build(*plain);
    world.reset();
    const std::vector<std::uint32_t> read = EnterPanorama(*plain);
    ASSERT_EQ(ahead.size(), read.size());
    EXPECT_TRUE(ahead == read) << "the frame differs with pictures decoded ahead";
}

TEST_F(WorldPrefetch, ADamagedPictureFoundAheadIsReportedOnEntryAsWithout)
{
    // The error and the error information of entering screen 3, with prefetching on or off.
    const auto entering = [&](bool prefetch) {
        std::unique_ptr<WorldManager> w = NewWorld();
        w->set_Prefetch(prefetch);
        Build(*w);
        FailSafe::Info = L"None.";
        w->TransportToScreen(1);
        w->Render();
        if (prefetch) w->get_PictureCache()->WaitIdle();
        EXPECT_EQ(ToErrorScreenText(FailSafe::Info), "None.") << "nothing is reported ahead";
        std::string what;
        try {
            w->JumpToScreen(3);
        } catch (const Error& error) {
            what = error.what();
        }
        const bool named = FailSafe::Info.find(L"damaged.png") != std::wstring::npos;
        return what + (named ? " | the file is named in the error information" : " | the file is not named");
    };
    world.reset();
    const std::string ahead = entering(true);
    EXPECT_EQ(ahead, "Error opening file (in memory) in CreateTextureFromEncrypted() | the file is named in the error "
                     "information");
    EXPECT_EQ(ahead, entering(false));
}
