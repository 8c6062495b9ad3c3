// State blocks as the text renderer uses them: record a drawing state once, capture the
// caller's state before drawing, and put it back afterwards.
#include "platform/gfx/device.h"

#include <gtest/gtest.h>

#include "draw_helpers.h"
#include "support/harness.h"

namespace {

using kt::DeviceTest;

std::unique_ptr<gfx::StateBlock> RecordTextState(gfx::Device& device, gfx::Texture* atlas)
{
    device.BeginStateBlock();
    device.SetTexture(0, atlas);
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device.SetRenderState(D3DRS_ALPHAREF, 8);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    std::unique_ptr<gfx::StateBlock> block;
    EXPECT_EQ(device.EndStateBlock(&block), S_OK);
    return block;
}

TEST_F(DeviceTest, RecordingLeavesTheDeviceAloneAndApplySetsTheRecordedStates)
{
    auto atlas = kt::MakeTexture(device, 1, 1, {0xFFFFFFFFu});
    auto block = RecordTextState(device, atlas.get());
    ASSERT_TRUE(block);
    EXPECT_EQ(device.GetRenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(device.GetRenderState(D3DRS_ALPHAREF), 0u);
    EXPECT_EQ(device.GetTexture(0), nullptr);

    ASSERT_EQ(block->Apply(), S_OK);
    EXPECT_EQ(device.GetRenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(device.GetRenderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(device.GetRenderState(D3DRS_ALPHAREF), 8u);
    EXPECT_EQ(device.GetTextureStageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG2));
    EXPECT_EQ(device.GetSamplerState(0, D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));
    EXPECT_EQ(device.GetTexture(0), atlas.get());
    // Only what was recorded is touched.
    EXPECT_EQ(device.GetRenderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ZERO));

    EXPECT_EQ(device.EndStateBlock(&block), D3DERR_INVALIDCALL) << "no recording in progress";
}

TEST_F(DeviceTest, CaptureThenApplyRestoresTheCallersState)
{
    auto atlas = kt::MakeTexture(device, 1, 1, {0xFFFFFFFFu});
    auto callers = kt::MakeTexture(device, 1, 1, {0xFF00FF00u});
    auto saved = RecordTextState(device, atlas.get());
    auto drawing = RecordTextState(device, atlas.get());

    // The caller's own state.
    device.SetTexture(0, callers.get());
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device.SetRenderState(D3DRS_ALPHAREF, 3);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);

    ASSERT_EQ(saved->Capture(), S_OK);
    drawing->Apply();
    EXPECT_EQ(device.GetTexture(0), atlas.get());
    saved->Apply();
    EXPECT_EQ(device.GetTexture(0), callers.get());
    EXPECT_EQ(device.GetRenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(device.GetRenderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(device.GetRenderState(D3DRS_ALPHAREF), 3u);
    EXPECT_EQ(device.GetTextureStageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(device.GetSamplerState(0, D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));
}

TEST_F(DeviceTest, DestroyedTextureIsUnboundEverywhere)
{
    kt::UseCamera(device);
    kt::PlainTexturing(device);
    auto texture = kt::MakeTexture(device, 1, 1, {0xFFFF0000u});
    auto block = RecordTextState(device, texture.get());
    device.SetTexture(0, texture.get());
    texture.reset();
    EXPECT_EQ(device.GetTexture(0), nullptr);
    // Drawing afterwards samples no texture (opaque white) instead of freed memory.
    ASSERT_EQ(kt::Draw(device, kt::LitQuad()), S_OK);
    EXPECT_TRUE(kt::PixelNear(kt::ReadBack(), 400, 300, 0xFFFFFFFFu, 0));
    // A state block that recorded it binds nothing.
    block->Apply();
    EXPECT_EQ(device.GetTexture(0), nullptr);
}

TEST_F(DeviceTest, DestroyedVertexBufferIsUnbound)
{
    auto buffer = kt::MakeBuffer(device, kt::LitQuad(), kFvfLitVertex);
    device.SetStreamSource(0, buffer.get(), 0, sizeof(kt::LitVertex));
    device.SetFVF(kFvfLitVertex);
    buffer.reset();
    EXPECT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, DrawOutsideTheBufferIsRefused)
{
    auto buffer = kt::MakeBuffer(device, kt::LitQuad(), kFvfLitVertex);
    device.SetStreamSource(0, buffer.get(), 0, sizeof(kt::LitVertex));
    device.SetFVF(kFvfLitVertex);
    EXPECT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 3, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 3, 1), S_OK);
    device.SetFVF(kFvfScreenVertex);
    device.SetStreamSource(0, buffer.get(), 0, 20);
    EXPECT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "stride below the layout";
}

}  // namespace
