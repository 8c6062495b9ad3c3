#include "display/hotspot_marks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "display/d3dfunc.h"

namespace {

constexpr int kTextureSide = 32;
constexpr D3DVIEWPORT9 kWholeScreen{0, 0, 800, 600, 0.0f, 1.0f};
constexpr float kFaintAlpha = 0.4f;

// A gold ring with a dark rim on each side, so that it reads on light and dark pictures alike;
// soft at its edges. Its opacity as a function of the distance from the centre, in texels.
std::uint32_t RingTexel(float distance)
{
    constexpr float kRadius = 11.0f, kGold = 2.2f, kRim = 1.4f;
    const float offRing = std::fabs(distance - kRadius);
    const float gold = std::clamp(kGold - offRing + 0.5f, 0.0f, 1.0f);
    const float rim = std::clamp(kGold + kRim - offRing + 0.5f, 0.0f, 1.0f) * 0.7f;
    const float alpha = std::max(gold, rim);
    if (alpha <= 0.0f) return 0;
    // Gold where the ring is, dark at its rims: the colour mixes by how much of it is gold.
    const float g = alpha > 0.0f ? gold / alpha : 0.0f;
    const auto mix = [g](int goldLevel, int darkLevel) {
        return static_cast<std::uint32_t>(std::lround(darkLevel + (goldLevel - darkLevel) * g));
    };
    const std::uint32_t a = static_cast<std::uint32_t>(std::lround(alpha * 255.0f));
    return a << 24 | mix(0xED, 0x10) << 16 | mix(0xB4, 0x0C) << 8 | mix(0x69, 0x08);
}

}  // namespace

HotspotMarks::HotspotMarks(gfx::Device* device) : c_pDevice(device), c_pQuad(std::make_unique<FullScreenImage>())
{
    c_pQuad->Create(device);
    if (device->CreateTexture(kTextureSide, kTextureSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &c_pRing) != S_OK)
        return;
    D3DLOCKED_RECT locked{};
    if (c_pRing->LockRect(0, &locked, nullptr, 0) != S_OK) {
        c_pRing.reset();
        return;
    }
    const float centre = (kTextureSide - 1) / 2.0f;
    for (int y = 0; y < kTextureSide; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < kTextureSide; ++x) row[x] = RingTexel(std::hypot(x - centre, y - centre));
    }
    c_pRing->UnlockRect(0);
}

HotspotMarks::~HotspotMarks() = default;

void HotspotMarks::Render(int x, int y, bool bright)
{
    if (!c_pRing) return;
    D3DMATERIAL9 material = D3Dfunc::WhiteMaterial;
    material.Diffuse.a = bright ? 1.0f : kFaintAlpha;
    c_pDevice->SetMaterial(material);
    c_pDevice->SetTexture(0, c_pRing.get());
    c_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    c_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    c_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    c_pDevice->SetViewport(kWholeScreen);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    const float half = kSize / 2.0f;
    c_pQuad->Render(c_pDevice, (x - half) / 400.0f - 1.0f, (y - half) / 300.0f - 1.0f, kSize / 800.0f, kSize / 600.0f);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    c_pDevice->SetMaterial(D3Dfunc::WhiteMaterial);
}
