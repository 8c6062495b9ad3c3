// Panosphere: where the panorama's seam lies for a rotation, which way a positive rotation
// turns, a full turn, and the band filling the whole view.
#include "display/panosphere.h"

#include "screen_space_fixture.h"

namespace screen_space {
namespace {

class PanosphereTest : public GameDeviceTest {
protected:
    // Four vertical bands by u (red, green, blue, yellow), the lower half of the image dimmed.
    std::unique_ptr<gfx::Texture> panorama = MakeTexture(device, 256, 64, [](int x, int y) {
        const std::uint32_t bands[4] = {kRed, kGreen, kBlue, kYellow};
        return y < 32 ? bands[x / 64] : Mix(bands[x / 64], kBlack, 0.5f);
    });
    Frame View(float rotation, const char* name = nullptr)
    {
        return DrawFrame([&] {
            device.SetViewport(D3DVIEWPORT9{0, 100, 800, 400, 0.0f, 1.0f});
            device.SetTexture(0, panorama.get());
            device.SetRenderState(D3DRS_LIGHTING, FALSE);
            sphere.Render(&device, rotation);
        }, kBlack, name);
    }
    Panosphere sphere;
};

TEST_F(PanosphereTest, SeamSitsInTheCentreAndTurnsRightForPositiveAngles)
{
    ASSERT_TRUE(sphere.Create(&device, 128, 40, 100.0f));
    EXPECT_EQ(sphere.GetVertexCount(), 30720);
    const Frame front = View(0.0f, "panosphere_0");
    EXPECT_TRUE(PixelRgb(front, 395, 200, kYellow, 8)) << "the image's right edge left of the centre";
    EXPECT_TRUE(PixelRgb(front, 404, 200, kRed, 8)) << "its left edge right of the centre";
    EXPECT_TRUE(PixelRgb(front, 404, 400, Mix(kRed, kBlack, 0.5f), 8)) << "upright";
    for (int x : {0, 799})
        for (int y : {100, 499}) EXPECT_NE(kt::PixelAt(front, x, y) & 0xFFFFFF, 0u) << "band edge seen at " << x << "," << y;

    const Frame quarter = View(3.14159265f / 2);  // u 0.75 comes to the centre
    EXPECT_TRUE(PixelRgb(quarter, 395, 200, kBlue, 8));
    EXPECT_TRUE(PixelRgb(quarter, 404, 200, kYellow, 8));

    const Frame around = View(6.28318531f);
    int differing = 0;
    for (size_t i = 0; i < front.size(); ++i) differing += !RgbNear(around[i], front[i], 8);
    EXPECT_LT(differing, 800) << "a full turn shows the same view";
}

// Only the slices in sight are drawn: at every turn, below zero and past a full circle too,
// no pixel of the band may stay unpainted, and a slice-sized step leaves the picture moved,
// not cut.
TEST_F(PanosphereTest, EveryTurnFillsTheWholeBand)
{
    ASSERT_TRUE(sphere.Create(&device, 128, 40, 100.0f));
    const float sliceAngle = 6.28318531f / 128.0f;
    for (float rotation : {0.0f, 0.5f * sliceAngle, 1.0f, 2.9f, 3.14159265f, 4.5f, 6.2f, 6.28318531f, -0.7f,
                           -7.0f, 13.1f}) {
        const Frame frame = View(rotation);
        int unpainted = 0;
        for (int y = 100; y < 500; ++y)
            for (int x = 0; x < 800; ++x) unpainted += (kt::PixelAt(frame, x, y) & 0xFFFFFF) == 0;
        EXPECT_EQ(unpainted, 0) << "at rotation " << rotation;
    }
}

TEST_F(PanosphereTest, EmptyBandIsNotCreatedAndDrawsNothing)
{
    EXPECT_FALSE(sphere.Create(&device, 0, 40, 100.0f));
    EXPECT_TRUE(RegionRgb(View(0.0f), RECT{0, 0, 800, 600}, kBlack));
}

}  // namespace
}  // namespace screen_space
