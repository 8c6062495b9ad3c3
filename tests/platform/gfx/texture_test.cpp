// Textures written by another thread (the video renderer) while the main thread draws.
#include "platform/gfx/device.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "draw_helpers.h"
#include "support/harness.h"

namespace {

using kt::DeviceTest;

constexpr D3DCOLOR kRed = 0xFFFF0000u;
constexpr D3DCOLOR kGreen = 0xFF00FF00u;
constexpr D3DCOLOR kBlue = 0xFF0000FFu;
constexpr D3DCOLOR kBlack = 0xFF000000u;
constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;

TEST_F(DeviceTest, DrawingWaitsForAFrameBeingWrittenOnAnotherThread)
{
    kt::UseCamera(device);
    kt::PlainTexturing(device);
    constexpr UINT kSize = 64;
    auto texture = kt::MakeTexture(device, kSize, kSize, std::vector<std::uint32_t>(kSize * kSize, 0xFFFF0000u));
    device.SetTexture(0, texture.get());

    // The writer locks, fills the top half, pauses, fills the bottom half and unlocks. A draw
    // started during the pause must show the whole new frame, never a torn one.
    std::atomic<bool> locked{false};
    std::thread writer([&] {
        D3DLOCKED_RECT rect{};
        ASSERT_EQ(texture->LockRect(0, &rect, nullptr, 0), S_OK);
        locked = true;
        auto row = [&](UINT y) { return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(rect.pBits) + y * rect.Pitch); };
        for (UINT y = 0; y < kSize / 2; ++y) std::fill(row(y), row(y) + kSize, 0xFF0000FFu);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (UINT y = kSize / 2; y < kSize; ++y) std::fill(row(y), row(y) + kSize, 0xFF0000FFu);
        texture->UnlockRect(0);
    });
    while (!locked) std::this_thread::yield();
    kt::Draw(device, kt::LitQuad());
    writer.join();
    const auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::PixelNear(pixels, 400, 100, 0xFF0000FFu, 0));
    EXPECT_TRUE(kt::PixelNear(pixels, 400, 500, 0xFF0000FFu, 0)) << "the frame was uploaded half written";
}

// A texture drawn, rewritten and drawn again shows its new pixels each time (the second
// upload refills the storage the first one made).
TEST_F(DeviceTest, RewrittenTextureShowsItsNewPixels)
{
    kt::UseCamera(device);
    kt::PlainTexturing(device);
    constexpr UINT kSize = 16;
    auto texture = kt::MakeTexture(device, kSize, kSize, std::vector<std::uint32_t>(kSize * kSize, 0xFFFF0000u));
    device.SetTexture(0, texture.get());
    for (std::uint32_t colour : {0xFF00FF00u, 0xFF0000FFu}) {
        kt::Draw(device, kt::LitQuad());
        D3DLOCKED_RECT rect{};
        ASSERT_EQ(texture->LockRect(0, &rect, nullptr, 0), S_OK);
        for (UINT y = 0; y < kSize; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(rect.pBits) + y * rect.Pitch);
            std::fill(row, row + (y < kSize / 2 ? kSize : kSize / 2), colour);
        }
        texture->UnlockRect(0);
        kt::Draw(device, kt::LitQuad());
        const auto pixels = kt::ReadBack();
        EXPECT_TRUE(kt::PixelNear(pixels, 400, 100, colour, 0));
        EXPECT_TRUE(kt::PixelNear(pixels, 100, 500, colour, 0)) << "the bottom-left quarter";
    }
}

TEST_F(DeviceTest, PlaceholderFormatsAreStoredAsThirtyTwoBitTexels)
{
    std::unique_ptr<gfx::Texture> texture;
    ASSERT_EQ(device.CreateTexture(4, 2, 1, 0, D3DFMT_R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Width, 4u);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    EXPECT_EQ(locked.Pitch, 16);
    texture->UnlockRect(0);

    std::unique_ptr<gfx::Surface> surface;
    ASSERT_EQ(device.CreateOffscreenPlainSurface(3, 5, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &surface), S_OK);
    ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), S_OK);
    EXPECT_EQ(locked.Pitch, 12);
    EXPECT_EQ(surface->UnlockRect(), S_OK);
    EXPECT_EQ(surface->UnlockRect(), D3DERR_INVALIDCALL);
}

// A picture without alpha is opaque whatever its unused byte holds, drawn screen-aligned or
// through the camera, blended or not, on the first frame and on later ones.
// Draws `quad` over a target cleared to `background`, three frames running, blended by an opaque
// constant factor and then not blended, handing each frame's pixels to `check`.
template <typename Check>
void DrawBlendedByAConstantAndNot(gfx::Device& device, const std::vector<kt::ScreenVertex>& quad, D3DCOLOR background,
                                  Check check)
{
    device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_BLENDFACTOR);
    device.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVBLENDFACTOR);
    device.SetRenderState(D3DRS_BLENDFACTOR, 0xFFFFFFFFu);
    for (const DWORD blend : {TRUE, FALSE}) {
        device.SetRenderState(D3DRS_ALPHABLENDENABLE, blend);
        for (int frame = 0; frame < 3; ++frame) {
            SCOPED_TRACE(testing::Message() << "blending " << blend << ", frame " << frame);
            device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
            kt::Draw(device, quad);
            check(kt::ReadBack());
        }
    }
}

TEST_F(DeviceTest, ATextureWithoutAlphaDrawsOpaqueWhateverItsFourthByteHolds)
{
    std::unique_ptr<gfx::Texture> texture;
    ASSERT_EQ(device.CreateTexture(2, 2, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture), S_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    for (int y = 0; y < 2; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch);
        row[0] = row[1] = 0x00FF0000u;  // red, its fourth byte 0
    }
    texture->UnlockRect(0);
    kt::PlainTexturing(device);
    device.SetTexture(0, texture.get());
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (int frame = 0; frame < 3; ++frame) {
        device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FFu, 1.0f, 0);
        kt::Draw(device, kt::ScreenQuad(-1, -1, 399.5f, 601, 0xFFFFFFFFu));
        kt::UseCamera(device);
        device.SetViewport({400, 0, 400, 600, 0.0f, 1.0f});
        kt::Draw(device, kt::LitQuad());
        device.SetViewport({0, 0, 800, 600, 0.0f, 1.0f});
        const auto pixels = kt::ReadBack();
        EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 400, 600}, 0xFFFF0000u, 0)) << "screen-aligned, frame " << frame;
        EXPECT_TRUE(kt::RegionNear(pixels, {400, 0, 800, 600}, 0xFFFF0000u, 0)) << "through the camera, frame " << frame;
    }
    // Blended by a constant factor, and not blended at all: red is still red.
    DrawBlendedByAConstantAndNot(device, kt::ScreenQuad(-1, -1, 399.5f, 601, 0xFFFFFFFFu), kBlue,
                                 [](const std::vector<std::uint32_t>& pixels) {
                                     EXPECT_TRUE(kt::RegionNear(pixels, {0, 0, 400, 600}, kRed, 0));
                                 });
}

// A picture scaled onto the screen with its alpha taken from the (white) vertex colour, the
// way the menu's page and veil are drawn: with blending off, and blended by a constant, the
// colours stay where they are on every frame.
TEST_F(DeviceTest, AScaledPictureWhoseAlphaComesFromTheColourKeepsItsColours)
{
    auto texture = kt::MakeTexture(device, 2, 2, {kRed, kGreen, kBlue, kWhite});
    device.SetTexture(0, texture.get());
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetRenderState(D3DRS_ZENABLE, FALSE);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    DrawBlendedByAConstantAndNot(device, kt::ScreenQuad(-0.5f, -0.5f, 799.5f, 599.5f, 0xFFFFFFFFu), kBlack,
                                 [](const std::vector<std::uint32_t>& pixels) {
                                     EXPECT_TRUE(kt::PixelNear(pixels, 100, 100, kRed, 0));
                                     EXPECT_TRUE(kt::PixelNear(pixels, 700, 500, kWhite, 0));
                                     EXPECT_TRUE(kt::PixelNear(pixels, 100, 500, kBlue, 0));
                                 });
}

TEST_F(DeviceTest, LiveTextureCountFollowsCreationAndDestruction)
{
    const std::size_t before = device.GetLiveTextureCount();
    std::unique_ptr<gfx::Texture> a, b;
    ASSERT_EQ(device.CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &a), S_OK);
    ASSERT_EQ(device.CreateTexture(8, 8, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &b), S_OK);
    EXPECT_EQ(device.GetLiveTextureCount(), before + 2);
    a.reset();
    EXPECT_EQ(device.GetLiveTextureCount(), before + 1);
    b.reset();
    EXPECT_EQ(device.GetLiveTextureCount(), before);
}

}  // namespace
