#include "display/way_back_band.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

#include "display/d3dfunc.h"

namespace {

constexpr D3DVIEWPORT9 kWholeScreen{0, 0, 800, 600, 0.0f, 1.0f};
constexpr int kShadowW = 4, kShadowH = 32;
constexpr int kChevronW = 32, kChevronH = 16;
constexpr float kChevronScreenW = 36.0f, kChevronScreenH = 18.0f;

// Fills a new texture of w x h texels from `texel(x, y)` (A8R8G8B8); null if the device has none.
std::unique_ptr<gfx::Texture> MakeTexture(gfx::Device* device, int w, int h,
                                          const std::function<std::uint32_t(int, int)>& texel)
{
    std::unique_ptr<gfx::Texture> texture;
    if (device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture) != S_OK) return nullptr;
    D3DLOCKED_RECT locked{};
    if (texture->LockRect(0, &locked, nullptr, 0) != S_OK) return nullptr;
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < w; ++x) row[x] = texel(x, y);
    }
    texture->UnlockRect(0);
    return texture;
}

// The shadow: clear at its top, darkest (a third covered) at the foot.
std::uint32_t ShadowTexel(int, int y)
{
    const float t = (y + 0.5f) / kShadowH;
    const auto a = static_cast<std::uint32_t>(std::lround(t * t * 0.34f * 255.0f));
    return a << 24 | 0x0a0806u;
}

// A chevron pointing down: gold with a dark rim, soft at its edges.
std::uint32_t ChevronTexel(int x, int y)
{
    const float cx = (kChevronW - 1) / 2.0f;
    // Distance from the two strokes of the V, from (2, 3) down to the point (cx, 12) and up again.
    const float px = std::fabs(x - cx), py = static_cast<float>(y);
    const float ax = cx - 2.0f, ay = -9.0f;  // the stroke's direction from the point upwards
    const float length = std::hypot(ax, ay);
    const float along = std::clamp((px * ax + (py - 12.0f) * ay) / (length * length), 0.0f, 1.0f);
    const float off = std::hypot(px - ax * along, (py - 12.0f) - ay * along);
    const float gold = std::clamp(2.2f - off, 0.0f, 1.0f);
    const float rim = std::clamp(3.4f - off, 0.0f, 1.0f) * 0.7f;
    const float alpha = std::max(gold, rim);
    if (alpha <= 0.0f) return 0;
    const float g = gold / alpha;
    const auto mix = [g](int goldLevel, int darkLevel) {
        return static_cast<std::uint32_t>(std::lround(darkLevel + (goldLevel - darkLevel) * g));
    };
    return static_cast<std::uint32_t>(std::lround(alpha * 255.0f)) << 24 | mix(0xED, 0x10) << 16 | mix(0xB4, 0x0C) << 8 |
           mix(0x69, 0x08);
}

}  // namespace

WayBackBand::WayBackBand(gfx::Device* device) : c_pDevice(device), c_pQuad(std::make_unique<FullScreenImage>())
{
    c_pQuad->Create(device);
    c_pShadow = MakeTexture(device, kShadowW, kShadowH, ShadowTexel);
    c_pChevron = MakeTexture(device, kChevronW, kChevronH, ChevronTexel);
}

WayBackBand::~WayBackBand() = default;

void WayBackBand::Draw(gfx::Texture* texture, float x, float y, float w, float h, float alpha)
{
    if (texture == nullptr) return;
    D3DMATERIAL9 material = D3Dfunc::WhiteMaterial;
    material.Diffuse.a = alpha;
    c_pDevice->SetMaterial(material);
    c_pDevice->SetTexture(0, texture);
    c_pQuad->Render(c_pDevice, x / 400.0f - 1.0f, y / 300.0f - 1.0f, w / 800.0f, h / 600.0f);
}

void WayBackBand::Render(int x1, int y1, int x2, int y2, bool hovered)
{
    if (x2 <= x1 || y2 <= y1) return;
    c_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    c_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    c_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    c_pDevice->SetViewport(kWholeScreen);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    Draw(c_pShadow.get(), static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2 - x1 + 1),
         static_cast<float>(y2 - y1 + 1), hovered ? 1.0f : 0.8f);
    const float cx = (x1 + x2 + 1) / 2.0f, bottom = static_cast<float>(y2 + 1);
    Draw(c_pChevron.get(), cx - kChevronScreenW / 2, bottom - kChevronScreenH - 8.0f, kChevronScreenW, kChevronScreenH,
         hovered ? 1.0f : 0.55f);
    c_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    c_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    c_pDevice->SetMaterial(D3Dfunc::WhiteMaterial);
}
