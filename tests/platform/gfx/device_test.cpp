// The device's frame operations, transforms, viewports and resources, checked by rendering
// headless and reading the back buffer back.
#include "platform/gfx/device.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <span>

#include "draw_helpers.h"
#include "support/harness.h"

namespace {

using kt::DeviceTest;

constexpr D3DCOLOR kRed = 0xFFFF0000u;
constexpr D3DCOLOR kGreen = 0xFF00FF00u;
constexpr D3DCOLOR kBlue = 0xFF0000FFu;
constexpr D3DCOLOR kBlack = 0xFF000000u;
constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;

TEST_F(DeviceTest, ClearFillsTargetAndReadBackIsTopRowFirst)
{
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    RECT top{0, 0, 800, 100};
    device.Clear(1, &top, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    const auto pixels = kt::ReadBack();
    ASSERT_EQ(pixels.size(), 800u * 600u);
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 800, 100}, kBlue, 0)) << "rows 0..99 are the top of the screen";
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 100, 800, 600}, kRed, 0));
}

TEST_F(DeviceTest, ClearWithoutRectanglesClearsOnlyTheViewport)
{
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    device.SetViewport({0, 100, 800, 400, 0.0f, 1.0f});
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    // A rectangle reaching outside the viewport is cut to it.
    RECT wide{0, 0, 100, 600};
    device.Clear(1, &wide, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    const auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 800, 100}, kRed, 0)) << "above the view band";
    EXPECT_TRUE(kt::RegionNear(pixels, {100, 100, 800, 500}, kGreen, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 100, 100, 500}, kBlue, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 500, 800, 600}, kRed, 0)) << "below the view band";
}

// Depth clears are skipped or narrowed to where draws wrote depth since the buffer last held
// the value; each case would show the wrong colour if a clear missed a pixel it must reach.
class DepthClearTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        device.SetRenderState(D3DRS_LIGHTING, FALSE);
        device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        device.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    }
    // A far green quad over the whole target (a pixel beyond each edge, so the edge rows are
    // surely inside): it shows wherever depth was cleared to 1.
    std::vector<std::uint32_t> FarQuadSeen()
    {
        device.SetViewport({0, 0, 800, 600, 0.0f, 1.0f});
        kt::Draw(device, kt::ScreenQuad(-1, -1, 801, 601, kGreen, 0.9f));
        return kt::ReadBack();
    }
};

TEST_F(DepthClearTest, ClearAfterASmallDrawReachesWhatItWrote)
{
    kt::Draw(device, kt::ScreenQuad(100, 100, 200, 200, kRed, 0.1f));
    device.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    EXPECT_TRUE(kt::RegionNear(FarQuadSeen(), {0, 0, 800, 600}, kGreen, 0)) << "the near quad's depth was not cleared";
}

TEST_F(DepthClearTest, ClearAfterASmallCameraDrawReachesWhatItWrote)
{
    kt::UseCamera(device);
    D3DMATRIX small = kt::Identity();
    small.m[0][0] = small.m[1][1] = 0.25f;  // the middle eighth of the screen each way
    small.m[3][0] = 0.5f;                   // moved right by a quarter of the screen
    device.SetTransform(D3DTS_WORLD, small);
    kt::Draw(device, kt::LitQuad(-0.5f));
    ASSERT_TRUE(kt::PixelNear(kt::ReadBack(), 600, 300, kWhite, 0)) << "the camera quad must draw to be cleared";
    device.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    EXPECT_TRUE(kt::RegionNear(FarQuadSeen(), {0, 0, 800, 600}, kGreen, 0));
}

TEST_F(DepthClearTest, ViewportClearLeavesDepthOutsideTheViewport)
{
    kt::Draw(device, kt::ScreenQuad(-1, -1, 801, 601, kRed, 0.1f));
    device.SetViewport({0, 100, 800, 400, 0.0f, 1.0f});
    device.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);  // nothing written since: no change
    const auto pixels = FarQuadSeen();
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 100, 800, 500}, kGreen, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 800, 100}, kRed, 0)) << "depth above the viewport was cleared";
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 500, 800, 600}, kRed, 0)) << "depth below the viewport was cleared";
}

TEST_F(DepthClearTest, ClearToAnotherValueAndBack)
{
    device.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0);
    EXPECT_TRUE(kt::RegionNear(FarQuadSeen(), {0, 0, 800, 600}, kBlack, 0)) << "depth 0 hides the far quad";
    device.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    EXPECT_TRUE(kt::RegionNear(FarQuadSeen(), {0, 0, 800, 600}, kGreen, 0)) << "depth 1 again shows it";
}

// A clear of the whole depth buffer is held back until a draw tests depth. Whatever comes
// between must see it in force: a partial clear lands on top of it, and draws that skip depth
// neither lose it nor undo it.
TEST_F(DepthClearTest, AHeldBackWholeClearStaysUnderALaterPartialOne)
{
    device.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    ASSERT_TRUE(kt::RegionNear(FarQuadSeen(), {0, 0, 800, 600}, kGreen, 0)) << "the buffer holds 1 everywhere";
    device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 0.0f, 0);
    const RECT left{0, 0, 400, 600};
    device.Clear(1, &left, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    const auto pixels = FarQuadSeen();
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 400, 600}, kGreen, 0)) << "the whole clear undid the partial one";
    EXPECT_TRUE(kt::RegionNear(pixels, {400, 0, 800, 600}, kBlack, 0)) << "the whole clear never reached the buffer";
}

TEST_F(DepthClearTest, DrawsWithoutDepthLeaveAHeldBackClearInForce)
{
    device.Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.0f, 0);
    device.SetRenderState(D3DRS_ZENABLE, FALSE);
    kt::Draw(device, kt::ScreenQuad(-1, -1, 801, 601, kRed, 0.95f));
    device.SetRenderState(D3DRS_ZENABLE, TRUE);
    EXPECT_TRUE(kt::RegionNear(FarQuadSeen(), {0, 0, 800, 600}, kRed, 0)) << "depth 0 must still hide the far quad";
    device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    EXPECT_TRUE(kt::RegionNear(FarQuadSeen(), {0, 0, 800, 600}, kGreen, 0)) << "depth 1 again shows it";
}

// What a draw learns from its vertices (white colours, coordinates inside the picture) is
// learnt again when the buffer's bytes change.
TEST_F(DeviceTest, VerticesRewrittenInTheirBufferDrawAsTheyNowAre)
{
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    auto texture = kt::MakeTexture(device, 2, 1, {kWhite, kBlue});
    device.SetTexture(0, texture.get());
    device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    // The left half of the screen shows the white texel under white vertices.
    std::vector<kt::ScreenVertex> quad = kt::ScreenQuad(-1, -1, 801, 601, kWhite, 0.5f, 0.0f, 0.0f, 1.0f, 1.0f);
    auto buffer = kt::MakeBuffer(device, quad, kFvfScreenVertex);
    device.SetStreamSource(0, buffer.get(), 0, sizeof(kt::ScreenVertex));
    device.SetFVF(kFvfScreenVertex);
    ASSERT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), S_OK);
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 200, 300, kWhite, 0));

    // Red vertices, and coordinates running to 2 so that the picture shows mirrored twice.
    for (kt::ScreenVertex& vertex : quad) {
        vertex.color = kRed;
        vertex.u *= 2.0f;
    }
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), S_OK);
    std::memcpy(data, quad.data(), quad.size() * sizeof quad[0]);
    buffer->Unlock();
    ASSERT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), S_OK);
    const auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::PixelNear(pixels, 100, 300, kRed, 0)) << "the vertices' new colour must modulate the texel";
    EXPECT_TRUE(kt::PixelNear(pixels, 300, 300, kBlack, 0)) << "blue texel times red";
    EXPECT_TRUE(kt::PixelNear(pixels, 500, 300, kBlack, 0)) << "mirrored: blue again";
    EXPECT_TRUE(kt::PixelNear(pixels, 700, 300, kRed, 0)) << "mirrored: the white texel at the right";
}

// Only the bytes locked since the last draw are sent again: what was locked in two places
// arrives from both, and what was not locked keeps what it held.
TEST_F(DeviceTest, ThePartsOfABufferLockedSinceTheLastDrawAreWhatChanges)
{
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetTexture(0, nullptr);
    std::vector<kt::ScreenVertex> quads;
    for (int i = 0; i < 4; ++i) {
        const auto quad = kt::ScreenQuad(200.0f * i - 0.5f, -0.5f, 200.0f * (i + 1) - 0.5f, 599.5f, kRed, 0.5f);
        quads.insert(quads.end(), quad.begin(), quad.end());
    }
    auto buffer = kt::MakeBuffer(device, quads, kFvfScreenVertex);
    device.SetStreamSource(0, buffer.get(), 0, sizeof(kt::ScreenVertex));
    device.SetFVF(kFvfScreenVertex);
    ASSERT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 8), S_OK);
    ASSERT_TRUE(kt::RegionNear(kt::ReadBack(), {0, 0, 800, 600}, kRed, 0));

    // Recolour the second and the fourth quad, each through its own lock.
    const UINT quadBytes = 6 * sizeof(kt::ScreenVertex);
    auto recolour = [&](int quad, D3DCOLOR colour) {
        void* data = nullptr;
        ASSERT_EQ(buffer->Lock(quad * quadBytes, quadBytes, &data, 0), S_OK);
        auto* vertices = static_cast<kt::ScreenVertex*>(data);
        for (int v = 0; v < 6; ++v) vertices[v].color = colour;
        ASSERT_EQ(buffer->Unlock(), S_OK);
    };
    recolour(1, kGreen);
    recolour(3, kBlue);
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    ASSERT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 8), S_OK);
    auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 200, 600}, kRed, 0)) << "unlocked: as it was";
    EXPECT_TRUE(kt::RegionNear(pixels, {200, 0, 400, 600}, kGreen, 0)) << "the first lock arrived";
    EXPECT_TRUE(kt::RegionNear(pixels, {400, 0, 600, 600}, kRed, 0)) << "between the locks: as it was";
    EXPECT_TRUE(kt::RegionNear(pixels, {600, 0, 800, 600}, kBlue, 0)) << "the second lock arrived";

    // A lock of the whole buffer sends all of it.
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_DISCARD), S_OK);
    for (kt::ScreenVertex& vertex : std::span(static_cast<kt::ScreenVertex*>(data), quads.size())) vertex.color = kWhite;
    ASSERT_EQ(buffer->Unlock(), S_OK);
    ASSERT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 8), S_OK);
    EXPECT_TRUE(kt::RegionNear(kt::ReadBack(), {0, 0, 800, 600}, kWhite, 0));
}

TEST_F(DeviceTest, CameraQuadFillsViewportCountedFromTheTop)
{
    kt::UseCamera(device);
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);  // CURRENT: white
    device.SetViewport({100, 50, 200, 100, 0.0f, 1.0f});
    ASSERT_EQ(kt::Draw(device, kt::LitQuad()), S_OK);
    const auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::RegionNear(pixels, {100, 50, 300, 150}, kWhite, 0));
    EXPECT_TRUE(kt::PixelNear(pixels, 99, 100, kBlack, 0));
    EXPECT_TRUE(kt::PixelNear(pixels, 300, 100, kBlack, 0));
    EXPECT_TRUE(kt::PixelNear(pixels, 200, 49, kBlack, 0));
    EXPECT_TRUE(kt::PixelNear(pixels, 200, 150, kBlack, 0));
}

// With the scissor test on, a draw paints only inside the scissor rectangle (counted from
// the top); clears ignore it; off again, draws reach the whole viewport.
TEST_F(DeviceTest, ScissorRectangleLimitsDrawsNotClears)
{
    kt::UseCamera(device);
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);  // CURRENT: white
    RECT rect{};
    ASSERT_EQ(device.GetScissorRect(&rect), S_OK);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
    EXPECT_EQ(device.SetScissorRect(RECT{0, 0, 801, 10}), D3DERR_INVALIDCALL);
    ASSERT_EQ(device.SetScissorRect(RECT{100, 500, 300, 600}), S_OK);
    device.SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    ASSERT_EQ(kt::Draw(device, kt::LitQuad()), S_OK);
    auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::RegionNear(pixels, {100, 500, 300, 600}, kWhite, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 800, 500}, kBlack, 0)) << "drawn above the scissor rectangle";
    EXPECT_TRUE(kt::PixelNear(pixels, 99, 550, kBlack, 0));
    EXPECT_TRUE(kt::PixelNear(pixels, 300, 550, kBlack, 0));

    device.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);
    EXPECT_TRUE(kt::RegionNear(kt::ReadBack(), {0, 0, 800, 600}, 0xFF0000FFu, 0)) << "the clear was cut";
    device.SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    ASSERT_EQ(kt::Draw(device, kt::LitQuad()), S_OK);
    EXPECT_TRUE(kt::RegionNear(kt::ReadBack(), {0, 0, 800, 600}, kWhite, 0));
}

TEST_F(DeviceTest, RowVectorWorldTransformPlacesTheQuad)
{
    kt::UseCamera(device);
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    // Scale by a half, then move right and down by a half: v * S * T covers the bottom-right
    // quarter only if the translation sits in the fourth row.
    D3DMATRIX world = kt::Identity();
    world.m[0][0] = 0.5f;
    world.m[1][1] = 0.5f;
    world.m[3][0] = 0.5f;
    world.m[3][1] = -0.5f;
    device.SetTransform(D3DTS_WORLD, world);
    kt::Draw(device, kt::LitQuad());
    const auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::RegionNear(pixels, {400, 300, 800, 600}, kWhite, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 400, 600}, kBlack, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {400, 0, 800, 300}, kBlack, 0));
}

TEST_F(DeviceTest, TexturedQuadShowsTextureUprightWithRowZeroOnTop)
{
    kt::UseCamera(device);
    kt::PlainTexturing(device);
    // 2 x 2: red, green on the top row; blue, white below.
    auto texture = kt::MakeTexture(device, 2, 2, {kRed, kGreen, kBlue, kWhite});
    ASSERT_TRUE(texture);
    device.SetTexture(0, texture.get());
    kt::Draw(device, kt::LitQuad());
    const auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 400, 300}, kRed, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {400, 0, 800, 300}, kGreen, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 300, 400, 600}, kBlue, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {400, 300, 800, 600}, kWhite, 0));
}

// Depth runs 0..1 and tests LESSEQUAL. With depth cleared to 0.5 only what lies in the
// front half of the range draws: depth = (d - zn) * zf / ((zf - zn) * d) at eye distance d
// (the camera sits at z = -1), so d = 1.8 gives 0.89 and d = 0.3 gives 0.33 (0.67 if depth
// were mapped from -1..1).
void CheckDepthRange(gfx::Device& device)
{
    kt::UseCamera(device);
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    auto red = kt::MakeTexture(device, 1, 1, {kRed});
    auto green = kt::MakeTexture(device, 1, 1, {kGreen});
    device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    // Near quad first, then a far one: the far one must stay hidden behind it.
    device.SetTexture(0, red.get());
    kt::Draw(device, kt::LitQuad(0.0f));
    device.SetTexture(0, green.get());
    kt::Draw(device, kt::LitQuad(5.0f));
    EXPECT_TRUE(kt::PixelNear(device.ReadBackBuffer(), 400, 300, kRed, 0)) << "the farther quad drew over the nearer";

    device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 0.5f, 0);
    kt::Draw(device, kt::LitQuad(0.8f));
    EXPECT_TRUE(kt::PixelNear(device.ReadBackBuffer(), 400, 300, kBlack, 0));
    kt::Draw(device, kt::LitQuad(-0.7f));
    EXPECT_TRUE(kt::PixelNear(device.ReadBackBuffer(), 400, 300, kGreen, 0));
}

TEST_F(DeviceTest, DepthRangeIsZeroToOneAndDepthTestsLessEqual) { CheckDepthRange(device); }

TEST(DeviceWithoutClipControl, RemapsDepthInTheShaderToTheSameRange)
{
    setenv("KELVANE_GFX_NO_CLIP_CONTROL", "1", 1);
    std::string error;
    auto device = gfx::Device::Create(kt::GetWindow(), &error);
    unsetenv("KELVANE_GFX_NO_CLIP_CONTROL");
    ASSERT_TRUE(device) << error;
    CheckDepthRange(*device);
    device.reset();
    // The shared device keeps its own depth convention after another device drew.
    kt::ResetDevice();
    CheckDepthRange(kt::GetDevice());
}

TEST_F(DeviceTest, LockReturnsTheCurrentPixelsAndRedrawsAfterUnlock)
{
    kt::UseCamera(device);
    kt::PlainTexturing(device);
    auto texture = kt::MakeTexture(device, 4, 4, std::vector<std::uint32_t>(16, kRed));
    device.SetTexture(0, texture.get());
    kt::Draw(device, kt::LitQuad());
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kRed, 0));

    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), S_OK);
    ASSERT_EQ(locked.Pitch, 16);
    auto* row = static_cast<std::uint32_t*>(locked.pBits);
    EXPECT_EQ(row[5], kRed) << "a lock must return the pixels written before, even with DISCARD";
    for (int i = 0; i < 16; ++i) row[i] = kBlue;
    ASSERT_EQ(texture->UnlockRect(0), S_OK);
    kt::Draw(device, kt::LitQuad());
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kBlue, 0)) << "the changed texture was not uploaded";

    // A sub-rectangle lock points at that texel, rows a full pitch apart.
    RECT one{2, 1, 3, 2};
    ASSERT_EQ(texture->LockRect(0, &locked, &one, 0), S_OK);
    *static_cast<std::uint32_t*>(locked.pBits) = kGreen;
    texture->UnlockRect(0);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(static_cast<std::uint32_t*>(locked.pBits)[1 * 4 + 2], kGreen);
    texture->UnlockRect(0);
}

// A rectangle of the target copied into a render-target texture draws back as it was, upright
// and texel for pixel; the copy keeps its picture when the target changes, cannot be locked,
// and only a texture of the rectangle's size made for copies takes one.
TEST_F(DeviceTest, ATargetRectangleCopiedIntoATextureDrawsBackUpright)
{
    kt::UseCamera(device);
    kt::PlainTexturing(device);
    // 2 x 2: red, green on the top row; blue, white below, drawn over the whole target.
    auto quadrants = kt::MakeTexture(device, 2, 2, {kRed, kGreen, kBlue, kWhite});
    device.SetTexture(0, quadrants.get());
    kt::Draw(device, kt::LitQuad());

    std::unique_ptr<gfx::Texture> copy;
    ASSERT_EQ(device.CreateTexture(400, 200, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &copy), S_OK);
    const std::uint64_t before = copy->ContentVersion();
    // The rectangle straddles the four quadrants: 200 x 100 of each colour.
    ASSERT_EQ(device.CopyTargetToTexture(RECT{200, 200, 600, 400}, copy.get()), S_OK);
    EXPECT_NE(copy->ContentVersion(), before);

    device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device.SetTexture(0, copy.get());
    kt::Draw(device, kt::LitQuad());  // the copy stretched over the whole target
    const auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 400, 300}, kRed, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {400, 0, 800, 300}, kGreen, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {0, 300, 400, 600}, kBlue, 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {400, 300, 800, 600}, kWhite, 0));
    // Drawn 1:1 on screen vertices, as a picture kept from the target is drawn back.
    for (int frame = 0; frame < 2; ++frame) {
        device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
        kt::Draw(device, kt::ScreenQuad(199.5f, 199.5f, 599.5f, 399.5f, 0xFFFFFFFFu));
        const auto again = kt::ReadBack();
        EXPECT_TRUE(kt::RegionNear(again, {200, 200, 400, 300}, kRed, 0)) << "frame " << frame;
        EXPECT_TRUE(kt::RegionNear(again, {400, 300, 600, 400}, kWhite, 0)) << "frame " << frame;
        EXPECT_TRUE(kt::RegionNear(again, {200, 300, 400, 400}, kBlue, 0)) << "frame " << frame;
        EXPECT_TRUE(kt::RegionNear(again, {0, 0, 800, 200}, kBlack, 0)) << "frame " << frame;
    }

    D3DLOCKED_RECT locked{};
    EXPECT_EQ(copy->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device.CopyTargetToTexture(RECT{0, 0, 400, 201}, copy.get()), D3DERR_INVALIDCALL);
    EXPECT_EQ(device.CopyTargetToTexture(RECT{500, 0, 900, 200}, copy.get()), D3DERR_INVALIDCALL);
    EXPECT_EQ(device.CopyTargetToTexture(RECT{0, 0, 2, 2}, quadrants.get()), D3DERR_INVALIDCALL);
    std::unique_ptr<gfx::Texture> managed;
    EXPECT_EQ(device.CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &managed),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device.CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &managed),
              D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, LockRejectsBadRequests)
{
    std::unique_ptr<gfx::Texture> texture;
    ASSERT_EQ(device.CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
    D3DLOCKED_RECT locked{};
    RECT outside{4, 4, 9, 8};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL) << "unlock without a lock";
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "a second lock would deadlock";
    EXPECT_EQ(texture->UnlockRect(0), S_OK);

    std::unique_ptr<gfx::Texture> none;
    EXPECT_EQ(device.CreateTexture(0, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &none), D3DERR_INVALIDCALL);
    EXPECT_EQ(none, nullptr);
    device.SetMaxTextureSizeForTesting(256);
    D3DCAPS9 caps{};
    device.GetDeviceCaps(&caps);
    EXPECT_EQ(caps.MaxTextureWidth, 256u);
    EXPECT_EQ(device.CreateTexture(512, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &none), D3DERR_INVALIDCALL);
}

}  // namespace
