// DisplayScreen: the view band, immediate and faded switches on a manual clock, each slot's
// own type and rotation, and the wrapping of relative turns.
#include "display/display_screen.h"

#include "core/error.h"
#include "imaging/image.h"
#include "platform/clock/clock.h"
#include "screen_space_fixture.h"

namespace screen_space {
namespace {

constexpr float kTwoPi = 6.2831854820251465f;

class DisplayScreenTest : public GameDeviceTest {
protected:
    void Load(const std::string& path, int type, int switchMs)
    {
        view.setTexture(path.c_str(), 0);
        view.SetType(type);
        view.Switch(switchMs);
    }
    std::uint32_t Centre() { return kt::PixelAt(DrawFrame([&] { view.Render(); }), 300, 300); }

    kt::ManualClockScope clock{10000};
    DisplayScreen view{&device, 128, 40, 100.0f};
};

TEST_F(DisplayScreenTest, ImmediateSwitchFillsTheBandOnTheNextFrame)
{
    Load(WriteSolid("red.png", 64, 32, kRed), 0, 0);
    const Frame frame = DrawFrame([&] { view.Render(); });
    EXPECT_TRUE(RegionRgb(frame, RECT{0, 100, 800, 500}, kRed));
    EXPECT_TRUE(RegionRgb(frame, RECT{0, 0, 800, 100}, kBlack));
    EXPECT_TRUE(RegionRgb(frame, RECT{0, 500, 800, 600}, kBlack));
    Load(WriteSolid("green.png", 64, 32, kGreen), 0, 0);
    EXPECT_TRUE(RgbNear(Centre(), kGreen)) << "no blended frame";
}

TEST_F(DisplayScreenTest, CrossFadeRunsLinearlyFromOldFrontToNewFrontInBothSlots)
{
    const std::string red = WriteSolid("red.png", 64, 32, kRed), green = WriteSolid("green.png", 64, 32, kGreen);
    view.setSwitchLength(350);
    Load(red, 0, 0);
    view.setTexture(green.c_str(), 0);
    view.Switch();
    EXPECT_TRUE(RgbNear(Centre(), kRed));
    platform::AdvanceClock(175);
    EXPECT_TRUE(RgbNear(Centre(), Mix(kGreen, kRed, 0.5f))) << "half of each at 175 of 350 ms";
    EXPECT_EQ(device.GetRenderState(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));
    platform::AdvanceClock(175);
    EXPECT_TRUE(RgbNear(Centre(), kGreen));

    Load(red, 0, 400);  // back into slot 0
    platform::AdvanceClock(100);
    EXPECT_TRUE(RgbNear(Centre(), Mix(kRed, kGreen, 0.25f)));
    view.InstantSwitch();  // reverses the mix at once
    EXPECT_TRUE(RgbNear(Centre(), Mix(kRed, kGreen, 0.75f)));
}

TEST_F(DisplayScreenTest, FadeFromPanoramaToFlatKeepsTheTurnedPanorama)
{
    Load(WriteImage("pano.png", 256, 64, [](int x, int) { return x < 128 ? kBlue : kWhite; }), 1, 0);
    view.RotateTo(kTwoPi / 2);  // the blue/white edge in the centre: blue left of it
    EXPECT_TRUE(RgbNear(Centre(), kBlue, 8));
    view.setTexture(WriteSolid("green.png", 64, 32, kGreen).c_str(), 0);
    view.SetType(0);
    view.RotateBackgroundTo(2.0f);
    view.Switch(200);
    platform::AdvanceClock(100);
    EXPECT_TRUE(RgbNear(Centre(), Mix(kGreen, kBlue, 0.5f), 8));
    EXPECT_FLOAT_EQ(view.GetRotation(), 2.0f);
    EXPECT_FLOAT_EQ(view.GetBackgroundRotation(), kTwoPi / 2);
}

// Entering screen after screen refills the texture the back slot gave up rather than making
// a new one each time; every load still shows its own picture, and a load that fails leaves
// the back slot with the picture it had.
TEST_F(DisplayScreenTest, LoadsReuseTexturesAndAFailedLoadKeepsTheBackPicture)
{
    const std::string red = WriteSolid("red.png", 64, 32, kRed), green = WriteSolid("green.png", 64, 32, kGreen);
    const std::size_t before = device.GetLiveTextureCount();
    for (int i = 0; i < 6; ++i) {
        Load(i % 2 ? green : red, 0, 0);
        EXPECT_TRUE(RgbNear(Centre(), i % 2 ? kGreen : kRed)) << "load " << i;
    }
    EXPECT_LE(device.GetLiveTextureCount(), before + 1) << "one spare texture at most";

    view.setTexture(red.c_str(), 0);  // the back slot holds red, not shown yet
    const std::string broken = WriteFile("broken.png", {0x89, 'P', 'N', 'G', 1, 2, 3});
    EXPECT_THROW(view.setTexture(broken.c_str(), 0), Error);
    view.Switch(0);
    EXPECT_TRUE(RgbNear(Centre(), kRed)) << "the failed load replaced the back picture";
    Load(green, 0, 0);
    EXPECT_TRUE(RgbNear(Centre(), kGreen)) << "loading goes on after a failure";
}

// Panoramas and close views entered in any order refill textures of their own size: once one
// of each has been seen in every slot, entering makes no texture, whether a panorama follows a
// close view or another panorama, and each entry shows its own picture.
TEST_F(DisplayScreenTest, PanoramasAndCloseViewsInAnyOrderRefillTexturesOfTheirOwnSize)
{
    auto solid = [](int width, int height, std::uint32_t argb) {
        imaging::Image picture{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
        for (std::size_t i = 0; i < picture.pixels.size(); i += 4)
            for (int c = 0; c < 4; ++c) picture.pixels[i + c] = static_cast<std::uint8_t>(argb >> (8 * c));
        return picture;
    };
    const std::uint32_t panoramaColours[] = {kBlue, kYellow}, viewColours[] = {kGreen, kRed};
    const imaging::Image panoramas[] = {solid(256, 64, kBlue), solid(256, 64, kYellow)};
    const imaging::Image views[] = {solid(64, 32, kGreen), solid(64, 32, kRed)};
    int entered = 0;
    auto enter = [&](char kind) {
        const bool panorama = kind == 'P';
        const int which = entered++ % 2;  // neighbours differ, so a stale picture shows
        view.setTexture(panorama ? panoramas[which] : views[which]);
        view.SetType(panorama ? 1 : 0);
        view.Switch(0);
        EXPECT_TRUE(RgbNear(Centre(), panorama ? panoramaColours[which] : viewColours[which], 8))
            << "entry " << entered << " (" << kind << ")";
    };
    for (char kind : std::string("PFPPFF")) enter(kind);
    const std::size_t made = device.GetTexturesCreated();
    const std::size_t live = device.GetLiveTextureCount();
    for (char kind : std::string("PPPFPFFFPFPPFP")) enter(kind);
    EXPECT_EQ(device.GetTexturesCreated(), made) << "an entry made a texture instead of refilling one";
    EXPECT_LE(device.GetLiveTextureCount(), live);
}

// The picture behind the view is drawn where it shows; with blending left on, the view no
// longer hides what lies under it, so the whole picture is drawn.
TEST_F(DisplayScreenTest, PictureBehindTheViewShowsAboveAndBelowTheBand)
{
    Load(WriteSolid("green.png", 64, 32, kGreen), 0, 0);
    auto red = MakeTexture(device, 16, 16, [](int, int) { return kRed; });
    FullScreenImage behind;
    ASSERT_TRUE(behind.Create(&device));
    auto frame = [&] {
        return DrawFrame([&] {
            device.SetRenderState(D3DRS_LIGHTING, FALSE);
            device.SetTexture(0, red.get());
            view.RenderBehind(behind);
            view.Render();
        });
    };
    EXPECT_TRUE(view.CoversBand());
    Frame shown = frame();
    EXPECT_TRUE(RegionRgb(shown, RECT{0, 0, 800, 100}, kRed));
    EXPECT_TRUE(RegionRgb(shown, RECT{0, 500, 800, 600}, kRed));
    EXPECT_TRUE(RegionRgb(shown, RECT{0, 100, 800, 500}, kGreen));
    EXPECT_EQ(device.GetRenderState(D3DRS_SCISSORTESTENABLE), DWORD(FALSE));

    device.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    EXPECT_FALSE(view.CoversBand());
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    view.setTexture(WriteSolid("blue.png", 64, 32, kBlue).c_str(), 0);
    view.Switch(100);
    platform::AdvanceClock(50);
    EXPECT_TRUE(view.CoversBand()) << "the old front lies under the cross-fade at full strength";
    shown = frame();
    EXPECT_TRUE(RegionRgb(shown, RECT{0, 0, 800, 100}, kRed));
    EXPECT_TRUE(RegionRgb(shown, RECT{0, 100, 800, 500}, Mix(kBlue, kGreen, 0.5f)));
}

// A still panorama is drawn from a copy of the band after two frames alike: the copy gives the
// very pixels the mesh gave, and a turn, a change to the picture (an overlay composed into it)
// or to the sampling, and a fade with blending, all show what the mesh would.
TEST_F(DisplayScreenTest, AStillPanoramaDrawnFromItsKeptCopyLooksAsDrawnFromItsMesh)
{
    Load(WriteImage("rings.png", 512, 128, [](int x, int y) {
             return 0xFF000000u | static_cast<std::uint32_t>((x * 7) % 256) << 16 |
                    static_cast<std::uint32_t>((y * 13) % 256) << 8 | static_cast<std::uint32_t>((x ^ y) % 256);
         }), 1, 0);
    device.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    view.RotateTo(1.0f);
    const auto frame = [&] { return DrawFrame([&] { view.Render(); }); };
    const Frame fromMesh = frame();
    const std::size_t textures = device.GetLiveTextureCount();
    EXPECT_EQ(frame(), fromMesh);  // drawn again from the mesh, and kept
    EXPECT_EQ(frame(), fromMesh) << "the kept copy differs from the mesh's picture";
    EXPECT_EQ(device.GetLiveTextureCount(), textures + 1) << "one copy is kept";

    view.RotateBy(0.01f);
    const Frame turned = frame();
    EXPECT_NE(turned, fromMesh) << "a turned view showed the copy of the unturned one";
    view.RotateTo(1.0f);
    EXPECT_EQ(frame(), fromMesh);

    device.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    EXPECT_NE(frame(), fromMesh) << "other sampling showed the copy made with linear sampling";
    device.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    frame();
    frame();

    // An overlay composed into the shown picture.
    view.InstantSwitch();  // the shown slot is the back one for a moment, to reach its texture
    gfx::Texture* picture = view.getTexture()->get();
    view.InstantSwitch();
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(picture->LockRect(0, &locked, nullptr, 0), S_OK);
    for (int y = 0; y < 128; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < 512; ++x) row[x] = kRed;
    }
    picture->UnlockRect(0);
    EXPECT_TRUE(RgbNear(Centre(), kRed)) << "the copy of the picture before the overlay was shown";
    EXPECT_TRUE(RgbNear(Centre(), kRed));
    EXPECT_TRUE(RgbNear(Centre(), kRed));

    // Fading to a flat picture over the kept panorama, and back into the panorama.
    view.setTexture(WriteSolid("green.png", 64, 32, kGreen).c_str(), 0);
    view.SetType(0);
    view.Switch(200);
    platform::AdvanceClock(50);
    EXPECT_TRUE(RgbNear(Centre(), Mix(kGreen, kRed, 0.25f), 2));
    platform::AdvanceClock(50);
    EXPECT_TRUE(RgbNear(Centre(), Mix(kGreen, kRed, 0.5f), 2));
    platform::AdvanceClock(100);
    view.Switch(200);  // the panorama fades back in over the green
    platform::AdvanceClock(50);
    EXPECT_TRUE(RgbNear(Centre(), Mix(kRed, kGreen, 0.25f), 2));
    platform::AdvanceClock(50);
    EXPECT_TRUE(RgbNear(Centre(), Mix(kRed, kGreen, 0.5f), 2));
}

// Every panorama that fades in is kept from its second frame of the fade, not only the first
// one the slot ever showed: a slot that kept an earlier screen's copy replaces it.
TEST_F(DisplayScreenTest, EachPanoramaFadingInIsKeptWhateverItsSlotKeptBefore)
{
    Load(WriteSolid("first.png", 256, 64, kRed), 1, 0);  // into slot 1, and kept there
    for (int i = 0; i < 3; ++i) Centre();
    Load(WriteSolid("second.png", 256, 64, kGreen), 1, 400);  // slot 0 fades in over it
    for (int i = 0; i < 3; ++i) Centre();
    platform::AdvanceClock(400);
    Centre();

    Load(WriteSolid("third.png", 256, 64, kBlue), 1, 400);  // slot 1 again, with another picture
    platform::AdvanceClock(100);
    EXPECT_TRUE(RgbNear(Centre(), Mix(kBlue, kGreen, 0.25f), 2));
    const int before = view.get_KeptDraws();
    EXPECT_TRUE(RgbNear(Centre(), Mix(kBlue, kGreen, 0.25f), 2)) << "the new copy shows the new picture";
    platform::AdvanceClock(100);
    EXPECT_TRUE(RgbNear(Centre(), Mix(kBlue, kGreen, 0.5f), 2));
    EXPECT_EQ(view.get_KeptDraws() - before, 4) << "both slots of two fade frames drawn from their copies";
}

TEST_F(DisplayScreenTest, RelativeTurnsWrapIntoOneCircleAbsoluteOnesDoNot)
{
    view.RotateTo(6.0f);
    view.RotateBy(0.5f);
    EXPECT_NEAR(view.GetRotation(), 6.5f - kTwoPi, 1e-5f);
    view.RotateBy(-0.5f);
    EXPECT_NEAR(view.GetRotation(), 6.0f, 1e-5f);
    view.RotateBy(3 * kTwoPi + 0.25f);  // a long frame's turn still ends inside the circle
    EXPECT_NEAR(view.GetRotation(), 6.25f, 1e-4f);
    view.RotateTo(7.0f);
    EXPECT_FLOAT_EQ(view.GetRotation(), 7.0f);
    view.RotateBackgroundTo(0.2f);
    view.RotateBackgroundBy(-0.5f);
    EXPECT_NEAR(view.GetBackgroundRotation(), 0.2f - 0.5f + kTwoPi, 1e-5f);
    EXPECT_FLOAT_EQ(view.GetRotation(), 7.0f);
}

}  // namespace
}  // namespace screen_space
