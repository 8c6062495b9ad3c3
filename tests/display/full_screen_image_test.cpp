// FullScreenImage and D3Dmat: the normalised rectangle rule, opacity from the material's
// diffuse alpha, and the depth buffer kept out of the way.
#include "display/full_screen_image.h"

#include "display/panosphere.h"
#include "screen_space_fixture.h"

namespace screen_space {
namespace {

class FullScreenImageTest : public GameDeviceTest {
protected:
    void SetUp() override
    {
        GameDeviceTest::SetUp();
        image.Create(&device);
        device.SetRenderState(D3DRS_LIGHTING, FALSE);
        device.SetTexture(0, white.get());
    }
    std::unique_ptr<gfx::Texture> white = MakeTexture(device, 4, 4, [](int, int) { return kWhite; });
    FullScreenImage image;
};

TEST_F(FullScreenImageTest, NormalisedRectanglesCoverThePixelsOfTheRule)
{
    const Frame whole = DrawFrame([&] { image.Render(&device); });
    EXPECT_TRUE(RegionRgb(whole, RECT{0, 0, 800, 600}, kWhite));
    EXPECT_EQ(DrawFrame([&] { image.Render(&device, -1, -1, 1, 1); }), whole);

    const Frame quarter = DrawFrame([&] { image.Render(&device, 0, 0, 0.5f, 0.5f); }, kBlack, "fsi_quarter");
    EXPECT_TRUE(RegionRgb(quarter, RECT{400, 300, 800, 600}, kWhite));
    EXPECT_TRUE(RegionRgb(quarter, RECT{0, 0, 800, 300}, kBlack));
    EXPECT_TRUE(RegionRgb(quarter, RECT{0, 300, 400, 600}, kBlack));
}

TEST_F(FullScreenImageTest, DiffuseAlphaOfTheMaterialIsTheOpacity)
{
    D3Dmat material;
    material.Diffuse.a = 0.2f;
    auto draw = [&] {
        device.SetRenderState(D3DRS_LIGHTING, TRUE);
        device.SetMaterial(material);
        device.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
        device.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        image.Render(&device);
    };
    EXPECT_TRUE(PixelRgb(DrawFrame(draw, kBlack), 400, 300, 0xFF333333)) << "white at 0.2 over black";
    const auto black = MakeTexture(device, 4, 4, [](int, int) { return kBlack; });
    device.SetTexture(0, black.get());
    EXPECT_TRUE(PixelRgb(DrawFrame(draw, kWhite), 400, 300, 0xFFCCCCCC)) << "black at 0.2 over white";
}

TEST_F(FullScreenImageTest, NoDepthLeftByEarlierDrawingHidesIt)
{
    Panosphere sphere;
    sphere.Create(&device, 128, 40, 100.0f);
    const auto green = MakeTexture(device, 4, 4, [](int, int) { return kGreen; });
    const Frame frame = DrawFrame([&] {
        device.SetTexture(0, green.get());
        sphere.Render(&device, 0.3f);
        device.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0);  // the nearest depth there is
        device.SetTexture(0, white.get());
        image.Render(&device, -0.5f, -0.5f, 0.5f, 0.5f);
    });
    EXPECT_TRUE(PixelRgb(frame, 400, 300, kWhite));
    EXPECT_TRUE(PixelRgb(frame, 100, 100, kGreen));
}

}  // namespace
}  // namespace screen_space
