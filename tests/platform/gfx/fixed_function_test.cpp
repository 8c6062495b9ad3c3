// The fixed-function behaviour the game's drawing leans on: start-up defaults, lighting with
// no lights, texture stage 0, pre-transformed pixel centres, culling, texel layouts,
// addressing, alpha test, blending and the write masks.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "platform/gfx/device.h"
#include "draw_helpers.h"
#include "support/harness.h"

namespace {

using kt::DeviceTest;

constexpr D3DCOLOR kRed = 0xFFFF0000u;
constexpr D3DCOLOR kGreen = 0xFF00FF00u;
constexpr D3DCOLOR kBlue = 0xFF0000FFu;
constexpr D3DCOLOR kBlack = 0xFF000000u;
constexpr D3DCOLOR kWhite = 0xFFFFFFFFu;

// Colour and alpha straight from the vertex colour (stage 0 CURRENT).
void VertexColourOnly(gfx::Device& device)
{
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    device.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
}

void SourceAlphaBlending(gfx::Device& device)
{
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

TEST(DeviceDefaults, FreshDeviceHasTheStartUpStateOfTheOriginalDevice)
{
    std::string error;
    auto device = gfx::Device::Create(kt::GetWindow(), &error);
    ASSERT_TRUE(device) << error;
    EXPECT_EQ(device->GetRenderState(D3DRS_LIGHTING), static_cast<DWORD>(TRUE));
    EXPECT_EQ(device->GetRenderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(device->GetRenderState(D3DRS_ZWRITEENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(device->GetRenderState(D3DRS_ZFUNC), static_cast<DWORD>(D3DCMP_LESSEQUAL));
    EXPECT_EQ(device->GetRenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(device->GetRenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(device->GetRenderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(device->GetRenderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ZERO));
    EXPECT_EQ(device->GetRenderState(D3DRS_ALPHATESTENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(device->GetRenderState(D3DRS_ALPHAREF), 0u);
    EXPECT_EQ(device->GetRenderState(D3DRS_ALPHAFUNC), static_cast<DWORD>(D3DCMP_ALWAYS));
    EXPECT_EQ(device->GetRenderState(D3DRS_AMBIENT), 0u);
    EXPECT_EQ(device->GetRenderState(D3DRS_COLORWRITEENABLE), 0xFu);
    D3DMATERIAL9 material{};
    material.Diffuse.a = 1.0f;
    device->GetMaterial(&material);
    EXPECT_EQ(material.Diffuse.a, 0.0f);
    EXPECT_EQ(material.Emissive.r, 0.0f);
    EXPECT_EQ(device->GetTextureStageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(device->GetTextureStageState(0, D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(device->GetTextureStageState(0, D3DTSS_COLORARG2), D3DTA_CURRENT);
    EXPECT_EQ(device->GetTextureStageState(0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    EXPECT_EQ(device->GetTextureStageState(0, D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
    EXPECT_EQ(device->GetTextureStageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_EQ(device->GetTextureStageState(1, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_EQ(device->GetSamplerState(0, D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));
    EXPECT_EQ(device->GetSamplerState(0, D3DSAMP_MAGFILTER), static_cast<DWORD>(D3DTEXF_POINT));
    EXPECT_EQ(device->GetSamplerState(0, D3DSAMP_MIPFILTER), static_cast<DWORD>(D3DTEXF_NONE));
    EXPECT_EQ(device->GetSamplerState(0, D3DSAMP_ADDRESSU), static_cast<DWORD>(D3DTADDRESS_WRAP));
    EXPECT_EQ(device->GetSamplerState(0, D3DSAMP_ADDRESSV), static_cast<DWORD>(D3DTADDRESS_WRAP));
    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 800u);
    EXPECT_EQ(viewport.Height, 600u);

    // Drawn with nothing changed: lit by a zero material the quad is black, opaque through
    // the texture's alpha, and (clockwise) not culled.
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kRed, 1.0f, 0);
    kt::UseCamera(*device);
    auto texture = kt::MakeTexture(*device, 1, 1, {kWhite});
    device->SetTexture(0, texture.get());
    ASSERT_EQ(kt::Draw(*device, kt::LitQuad()), S_OK);
    EXPECT_TRUE(kt::PixelNear(device->ReadBackBuffer(), 400, 300, kBlack, 0));
}

TEST_F(DeviceTest, LightingWithoutLightsGivesEmissivePlusAmbientAndDiffuseAlpha)
{
    kt::UseCamera(device);
    VertexColourOnly(device);
    D3DMATERIAL9 material{};
    material.Emissive = {0.5f, 2.0f, 0.0f, 1.0f};  // green over 1 is clamped
    material.Ambient = {0.0f, 0.0f, 1.0f, 1.0f};
    material.Diffuse = {0.0f, 0.0f, 0.0f, 0.2f};
    device.SetMaterial(material);
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kWhite, 1.0f, 0);
    kt::Draw(device, kt::LitQuad());
    // Global ambient 0: the ambient term adds nothing; alpha is the diffuse alpha.
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, D3DCOLOR_ARGB(51, 128, 255, 0), 1));

    device.SetRenderState(D3DRS_AMBIENT, 0xFF000040u);  // a quarter of blue ambient light
    kt::Draw(device, kt::LitQuad());
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, D3DCOLOR_ARGB(51, 128, 255, 64), 1));

    // Translucency as the menus use it: white emissive, diffuse alpha 0.2, source-alpha
    // blending over blue shows 20 percent white.
    material.Emissive = {1, 1, 1, 1};
    device.SetMaterial(material);
    device.SetRenderState(D3DRS_AMBIENT, 0);
    SourceAlphaBlending(device);
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    kt::Draw(device, kt::LitQuad());
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, D3DCOLOR_ARGB(0xD7, 51, 51, 255), 2));
}

TEST_F(DeviceTest, UnlitVerticesTakeTheLayoutsDiffuseOrWhite)
{
    kt::UseCamera(device);
    VertexColourOnly(device);
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    kt::Draw(device, kt::LitQuad());
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kWhite, 0)) << "0x112 has no colour: opaque white";

    // Screen vertices are never lit, whatever the lighting state says.
    device.SetRenderState(D3DRS_LIGHTING, TRUE);
    kt::Draw(device, kt::ScreenQuad(0, 0, 800, 600, 0x80336699u));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, 0x80336699u, 0));
}

TEST_F(DeviceTest, StageZeroCombinesTextureAndVertexColour)
{
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    auto texture = kt::MakeTexture(device, 1, 1, {0x80FF8040u});
    device.SetTexture(0, texture.get());
    const D3DCOLOR vertex = 0x40808080u;
    struct Case {
        DWORD colorOp, alphaOp;
        D3DCOLOR expected;
    };
    const Case cases[] = {
        {D3DTOP_MODULATE, D3DTOP_MODULATE, D3DCOLOR_ARGB(0x20, 0x80, 0x40, 0x20)},
        {D3DTOP_SELECTARG1, D3DTOP_SELECTARG2, D3DCOLOR_ARGB(0x40, 0xFF, 0x80, 0x40)},
        {D3DTOP_SELECTARG2, D3DTOP_SELECTARG1, D3DCOLOR_ARGB(0x80, 0x80, 0x80, 0x80)},
        {D3DTOP_DISABLE, D3DTOP_SELECTARG1, vertex},  // stage 0 off: the vertex colour
    };
    for (const Case& c : cases) {
        device.SetTextureStageState(0, D3DTSS_COLOROP, c.colorOp);
        device.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device.SetTextureStageState(0, D3DTSS_ALPHAOP, c.alphaOp);
        device.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
        kt::Draw(device, kt::ScreenQuad(0, 0, 800, 600, vertex));
        EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, c.expected, 1))
            << "colour op " << c.colorOp << ", alpha op " << c.alphaOp;
    }
    // No texture bound: the texture argument reads as opaque white.
    device.SetTexture(0, nullptr);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    kt::Draw(device, kt::ScreenQuad(0, 0, 800, 600, vertex));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, D3DCOLOR_ARGB(0xFF, 0x80, 0x80, 0x80), 1));
}

// Each combination of states draws with its own program; switching away and back must give
// each draw its own states and the values set since (a stale program or uniform shows wrong).
TEST_F(DeviceTest, SwitchingStatesBetweenDrawsGivesEachDrawItsOwnColours)
{
    kt::UseCamera(device);
    auto texture = kt::MakeTexture(device, 1, 1, {0xFF2060A0u});
    device.SetTexture(0, texture.get());
    D3DMATERIAL9 material{};
    material.Emissive = {1.0f, 0.0f, 0.0f, 1.0f};
    material.Diffuse.a = 1.0f;
    auto drawLit = [&](bool lighting) {
        device.SetRenderState(D3DRS_LIGHTING, lighting ? TRUE : FALSE);
        device.SetMaterial(material);
        kt::Draw(device, kt::LitQuad());
        return kt::PixelAt(kt::ReadBack(), 400, 300);
    };
    EXPECT_TRUE(kt::ColorNear(drawLit(true), 0xFF200000u, 0)) << "lit: emissive x texel";
    EXPECT_TRUE(kt::ColorNear(drawLit(false), 0xFF2060A0u, 0)) << "unlit: the texel";
    material.Emissive = {0.0f, 1.0f, 0.0f, 1.0f};
    EXPECT_TRUE(kt::ColorNear(drawLit(true), 0xFF006000u, 0)) << "lit again, with the new material";

    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    kt::Draw(device, kt::ScreenQuad(0, 0, 800, 600, kBlue));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kBlue, 0)) << "the vertex colour alone";
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    kt::Draw(device, kt::ScreenQuad(0, 0, 800, 600, 0xFF808080u));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, 0xFF103050u, 1)) << "texel x vertex colour";

    // Alpha test on, off and on again with another reference.
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    device.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    device.SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device.SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device.SetRenderState(D3DRS_ALPHAREF, 0x80);
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    kt::Draw(device, kt::ScreenQuad(0, 0, 800, 600, 0x40FF0000u));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kBlack, 0)) << "alpha 0x40 below 0x80 is discarded";
    device.SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    kt::Draw(device, kt::ScreenQuad(0, 0, 800, 600, 0x40FF0000u));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, 0x40FF0000u, 0)) << "no test: drawn";
    device.SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device.SetRenderState(D3DRS_ALPHAREF, 0x40);
    kt::Draw(device, kt::ScreenQuad(0, 0, 800, 600, 0x40008000u));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, 0x40008000u, 0)) << "alpha 0x40 passes reference 0x40";
}

TEST_F(DeviceTest, ScreenVerticesWithTheHalfPixelShiftLandTexelExact)
{
    kt::PlainTexturing(device);
    // A 4 x 2 texture drawn 1:1 at pixel (10, 20) the way the text renderer does it: corners
    // shifted by -0.5. Even with bilinear filtering each pixel must show exactly one texel.
    std::vector<std::uint32_t> texels;
    for (int i = 0; i < 8; ++i) texels.push_back(D3DCOLOR_ARGB(255, 30 * i, 255 - 30 * i, 7 * i));
    auto texture = kt::MakeTexture(device, 4, 2, texels);
    device.SetTexture(0, texture.get());
    device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device.SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    kt::Draw(device, kt::ScreenQuad(9.5f, 19.5f, 13.5f, 21.5f, kWhite));
    const auto pixels = kt::ReadBack();
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_TRUE(kt::PixelNear(pixels, 10 + x, 20 + y, texels[y * 4 + x], 0));
    EXPECT_TRUE(kt::RegionNear(pixels, {9, 19, 15, 20}, kBlack, 0)) << "row above the quad";
    EXPECT_TRUE(kt::RegionNear(pixels, {9, 22, 15, 23}, kBlack, 0)) << "row below the quad";
    EXPECT_TRUE(kt::PixelNear(pixels, 9, 20, kBlack, 0));
    EXPECT_TRUE(kt::PixelNear(pixels, 14, 21, kBlack, 0));

    // Screen vertices ignore the viewport: target pixels stay target pixels.
    device.SetViewport({0, 100, 800, 400, 0.0f, 1.0f});
    kt::Draw(device, kt::ScreenQuad(-0.5f, 9.5f, 2.5f, 10.5f, kWhite, 0.5f, 0, 0, 0.25f, 0.5f));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 1, 10, texels[0], 0));
}

TEST_F(DeviceTest, CullingRemovesCounterClockwiseAsSeenOnScreen)
{
    kt::UseCamera(device);
    VertexColourOnly(device);
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    kt::Draw(device, kt::LitQuad(0.0f, false));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kWhite, 0)) << "the clockwise quad must draw";
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    kt::Draw(device, kt::LitQuad(0.0f, true));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kBlack, 0)) << "the reversed quad must be culled";
    // Screen vertices, y down: the text renderer's order is clockwise as seen.
    kt::Draw(device, kt::ScreenQuad(100, 100, 200, 200, kRed));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 150, 150, kRed, 0));

    device.SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    kt::Draw(device, kt::LitQuad(0.0f, false));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kBlack, 0));
    kt::Draw(device, kt::LitQuad(0.0f, true));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kWhite, 0));

    device.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    kt::Draw(device, kt::LitQuad(0.0f, false));
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, kWhite, 0));
}

TEST_F(DeviceTest, TexelLayoutsReadAsStoredInMemory)
{
    kt::UseCamera(device);
    kt::PlainTexturing(device);
    // A8R8G8B8: bytes B, G, R, A.
    std::unique_ptr<gfx::Texture> argb;
    ASSERT_EQ(device.CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &argb), S_OK);
    D3DLOCKED_RECT locked{};
    argb->LockRect(0, &locked, nullptr, 0);
    const std::uint8_t bytes[4] = {0x11, 0x22, 0x33, 0x44};
    std::memcpy(locked.pBits, bytes, 4);
    argb->UnlockRect(0);
    device.SetTexture(0, argb.get());
    kt::Draw(device, kt::LitQuad());
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, 0x44332211u, 0));

    // A4R4G4B4: a 16-bit word, alpha in the top nibble; two texels side by side, row pitch 4.
    std::unique_ptr<gfx::Texture> font;
    ASSERT_EQ(device.CreateTexture(2, 1, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &font), S_OK);
    D3DSURFACE_DESC desc{};
    font->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
    font->LockRect(0, &locked, nullptr, 0);
    EXPECT_EQ(locked.Pitch, 4);
    auto* words = static_cast<std::uint16_t*>(locked.pBits);
    words[0] = 0xF800;  // opaque, red 8
    words[1] = 0x80F0;  // alpha 8, green F
    font->UnlockRect(0);
    device.SetTexture(0, font.get());
    kt::Draw(device, kt::LitQuad());
    const auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::PixelNear(pixels, 200, 300, 0xFF880000u, 0));
    EXPECT_TRUE(kt::PixelNear(pixels, 600, 300, 0x8800FF00u, 0));
}

TEST_F(DeviceTest, AddressingModesRepeatMirrorOrClamp)
{
    kt::UseCamera(device);
    kt::PlainTexturing(device);
    auto texture = kt::MakeTexture(device, 2, 1, {kRed, kGreen});
    device.SetTexture(0, texture.get());
    auto quad = kt::LitQuad();
    for (auto& v : quad) v.u *= 2.0f;  // u from 0 to 2 across the screen
    struct Case {
        DWORD mode;
        D3DCOLOR quarters[4];
    };
    const Case cases[] = {
        {D3DTADDRESS_WRAP, {kRed, kGreen, kRed, kGreen}},
        {D3DTADDRESS_MIRROR, {kRed, kGreen, kGreen, kRed}},
        {D3DTADDRESS_CLAMP, {kRed, kGreen, kGreen, kGreen}},
    };
    for (const Case& c : cases) {
        device.SetSamplerState(0, D3DSAMP_ADDRESSU, c.mode);
        kt::Draw(device, quad);
        const auto pixels = kt::ReadBack();
        for (int q = 0; q < 4; ++q)
            EXPECT_TRUE(kt::PixelNear(pixels, 100 + 200 * q, 300, c.quarters[q], 0)) << "address mode " << c.mode;
    }
}

TEST_F(DeviceTest, AlphaTestDiscardsBelowTheReference)
{
    kt::UseCamera(device);
    kt::PlainTexturing(device);
    // As the text renderer sets it: alpha >= 8 passes.
    auto texture = kt::MakeTexture(device, 2, 1, {0x07FFFFFFu, 0x08FFFFFFu});
    device.SetTexture(0, texture.get());
    device.SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device.SetRenderState(D3DRS_ALPHAREF, 8);
    device.SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    kt::Draw(device, kt::LitQuad());
    auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::PixelNear(pixels, 200, 300, kBlack, 0)) << "alpha 7 must be discarded";
    EXPECT_TRUE(kt::PixelNear(pixels, 600, 300, 0x08FFFFFFu, 0)) << "alpha 8 must pass";

    device.SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    kt::Draw(device, kt::LitQuad());
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 200, 300, 0x07FFFFFFu, 0)) << "alpha test off draws everything";
}

TEST_F(DeviceTest, BlendingAndWriteMasks)
{
    kt::UseCamera(device);
    VertexColourOnly(device);
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    // Half-transparent red over blue.
    SourceAlphaBlending(device);
    kt::Draw(device, kt::ScreenQuad(0, 0, 400, 600, 0x80FF0000u));
    // Blending off ignores the factors.
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    kt::Draw(device, kt::ScreenQuad(400, 0, 600, 600, 0x80FF0000u));
    // Only the red channel written.
    device.SetRenderState(D3DRS_COLORWRITEENABLE, 0x1);
    kt::Draw(device, kt::ScreenQuad(600, 0, 800, 600, 0x00FFFFFFu));
    const auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::PixelNear(pixels, 200, 300, D3DCOLOR_ARGB(0xC0, 0x80, 0x00, 0x7F), 1));
    EXPECT_TRUE(kt::PixelNear(pixels, 500, 300, 0x80FF0000u, 0));
    EXPECT_TRUE(kt::PixelNear(pixels, 700, 300, 0xFFFF00FFu, 0));
}

// A frame drawn dimmed is the frame drawn at full and veiled in black: opaque pictures,
// blended ones and plain vertex colours alike, alpha untouched, clears not dimmed.
TEST_F(DeviceTest, DimmingScalesEveryDrawsColourLikeABlackVeil)
{
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    auto picture = kt::MakeTexture(device, 2, 1, {0xFFC08040u, 0xFF20E0A0u});
    auto glyph = kt::MakeTexture(device, 1, 1, {0x80FFFFFFu});
    std::vector<std::uint32_t> texels;
    for (int i = 0; i < 8; ++i) texels.push_back(D3DCOLOR_ARGB(0xC0, 30 * i, 255 - 30 * i, 7 * i));
    auto tile = kt::MakeTexture(device, 4, 2, texels);
    const auto modulate = [&] {
        device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
        device.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    };
    const auto drawScene = [&] {
        device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
        modulate();
        device.SetTexture(0, picture.get());
        kt::Draw(device, kt::ScreenQuad(0, 0, 400, 600, kWhite));  // an opaque picture
        device.SetTexture(0, glyph.get());
        SourceAlphaBlending(device);
        kt::Draw(device, kt::ScreenQuad(100, 100, 300, 300, 0xFFFFC080u));  // blended, coloured
        device.SetTexture(0, nullptr);
        VertexColourOnly(device);
        kt::Draw(device, kt::ScreenQuad(400, 0, 800, 300, 0xFF60A0E0u));  // colour alone
        device.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        // Pictures drawn texel for texel, as the cursor and the text are: the form the
        // software rasteriser copies on its fast path. In white, and the texel alone.
        modulate();
        device.SetTexture(0, tile.get());
        SourceAlphaBlending(device);
        kt::Draw(device, kt::ScreenQuad(499.5f, 399.5f, 503.5f, 401.5f, kWhite));
        kt::PlainTexturing(device);
        kt::Draw(device, kt::ScreenQuad(599.5f, 399.5f, 603.5f, 401.5f, kWhite));
        device.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    };
    const auto scaled = [](D3DCOLOR c, float light) {
        const auto channel = [&](int shift) {
            return static_cast<D3DCOLOR>(std::lround(static_cast<float>((c >> shift) & 0xFFu) * light)) << shift;
        };
        return (c & 0xFF000000u) | channel(16) | channel(8) | channel(0);
    };
    const std::pair<int, int> probes[] = {{50, 300}, {250, 400}, {200, 200}, {600, 100},
                                          {501, 400}, {503, 401}, {601, 400}, {602, 401}};

    drawScene();
    const auto full = kt::ReadBack();
    EXPECT_FLOAT_EQ(device.GetDimming(), 1.0f) << "a device starts undimmed";
    device.SetDimming(0.25f);
    drawScene();
    const auto dimmed = kt::ReadBack();
    for (const auto& [x, y] : probes) {
        const D3DCOLOR under = kt::PixelAt(full, x, y);
        EXPECT_TRUE(kt::PixelNear(dimmed, x, y, scaled(under, 0.25f), 2))
            << "at (" << x << ", " << y << ") full " << std::hex << under;
    }
    device.Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 600, 500, kBlue, 0)) << "a clear is not dimmed";

    device.SetDimming(1.0f);
    drawScene();
    EXPECT_EQ(kt::ReadBack(), full) << "back to 1, every draw is as it was";
    device.SetDimming(-3.0f);
    EXPECT_FLOAT_EQ(device.GetDimming(), 0.0f);
    device.ResetStateForTesting();
    EXPECT_FLOAT_EQ(device.GetDimming(), 1.0f);
}

TEST_F(DeviceTest, DepthWritesAndTestCanBeSwitchedOff)
{
    kt::UseCamera(device);
    VertexColourOnly(device);
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    // Near quad without depth writes: a far quad afterwards still draws.
    device.SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    kt::Draw(device, kt::ScreenQuad(0, 0, 800, 600, kRed, 0.1f));
    kt::Draw(device, kt::ScreenQuad(0, 0, 400, 600, kGreen, 0.9f));
    // Near quad with depth writes: with the test off, a far quad still draws.
    device.SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    kt::Draw(device, kt::ScreenQuad(400, 0, 800, 600, kRed, 0.1f));
    device.SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    kt::Draw(device, kt::ScreenQuad(600, 0, 800, 600, kBlue, 0.9f));
    device.SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    kt::Draw(device, kt::ScreenQuad(400, 0, 800, 600, kGreen, 0.9f));
    const auto pixels = kt::ReadBack();
    EXPECT_TRUE(kt::PixelNear(pixels, 200, 300, kGreen, 0));
    EXPECT_TRUE(kt::PixelNear(pixels, 500, 300, kRed, 0)) << "the depth test must hide the far quad";
    EXPECT_TRUE(kt::PixelNear(pixels, 700, 300, kBlue, 0)) << "with the test off the far quad draws";
}

}  // namespace
