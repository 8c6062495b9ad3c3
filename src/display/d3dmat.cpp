#include "display/d3dmat.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr D3DCOLORVALUE kOpaqueWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kPower = 8.0f;
}  // namespace

D3Dmat::D3Dmat() : D3DMATERIAL9{kOpaqueWhite, kOpaqueWhite, kOpaqueWhite, kOpaqueWhite, kPower} {}

void BeginTranslucentImages(gfx::Device* device, const D3DMATERIAL9& material)
{
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetMaterial(material);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
}

void EndTranslucentImages(gfx::Device* device) { device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE); }

D3DCOLOR OpacityBlendFactor(float opacity)
{
    const auto level = static_cast<D3DCOLOR>(std::lround(std::clamp(opacity, 0.0f, 1.0f) * 255.0f));
    return (level << 24) | (level << 16) | (level << 8) | level;
}
