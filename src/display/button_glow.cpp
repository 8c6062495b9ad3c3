#include "display/button_glow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "display/d3dfunc.h"

namespace {

constexpr D3DVIEWPORT9 kWholeScreen{0, 0, 800, 600, 0.0f, 1.0f};
constexpr int kGlowW = 64, kGlowH = 32;

// Gold, strongest along the middle and fading to nothing at the edges, so the glow has no
// hard frame whatever the button's size.
std::uint32_t GlowTexel(int x, int y)
{
    const float u = std::fabs((x + 0.5f) / kGlowW * 2.0f - 1.0f), v = std::fabs((y + 0.5f) / kGlowH * 2.0f - 1.0f);
    const float edge = std::clamp((1.0f - std::max(u * u, v)) * 2.2f, 0.0f, 1.0f);
    const auto alpha = static_cast<std::uint32_t>(std::lround(edge * edge * 0.30f * 255.0f));
    return alpha << 24 | 0xEDB469u;
}

}  // namespace

ButtonGlow::ButtonGlow(gfx::Device* device) : c_pDevice(device), c_pQuad(std::make_unique<FullScreenImage>())
{
    c_pQuad->Create(device);
    if (device->CreateTexture(kGlowW, kGlowH, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &c_pGlow) != S_OK) return;
    D3DLOCKED_RECT locked{};
    if (c_pGlow->LockRect(0, &locked, nullptr, 0) != S_OK) {
        c_pGlow.reset();
        return;
    }
    for (int y = 0; y < kGlowH; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < kGlowW; ++x) row[x] = GlowTexel(x, y);
    }
    c_pGlow->UnlockRect(0);
}

ButtonGlow::~ButtonGlow() = default;

void ButtonGlow::Render(int x1, int y1, int x2, int y2)
{
    if (c_pGlow == nullptr || x2 <= x1 || y2 <= y1) return;
    c_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    c_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    c_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    c_pDevice->SetViewport(kWholeScreen);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    c_pDevice->SetMaterial(D3Dfunc::WhiteMaterial);
    c_pDevice->SetTexture(0, c_pGlow.get());
    // A little wider than the button, so the light spills past its lettering.
    const float x = x1 - 12.0f, y = y1 - 6.0f, w = x2 - x1 + 24.0f, h = y2 - y1 + 12.0f;
    c_pQuad->Render(c_pDevice, x / 400.0f - 1.0f, y / 300.0f - 1.0f, w / 800.0f, h / 600.0f);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
}
