// Geometry for the device tests: the game's two vertex layouts, quads in each, and the fixed
// camera the flat-image drawing uses (eye at z = -1, 90-degree field, aspect 1), under which
// the square -1..1 fills the viewport exactly.
#pragma once

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gfx/device.h"

namespace kt {

struct LitVertex {  // 0x112
    float x, y, z, nx, ny, nz, u, v;
};
struct ScreenVertex {  // 0x144
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
static_assert(sizeof(LitVertex) == 32 && sizeof(ScreenVertex) == 28);

inline D3DMATRIX Identity()
{
    D3DMATRIX m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

// The flat-image camera: look-at from (0, 0, -1) and a left-handed perspective.
inline D3DMATRIX CameraView()
{
    D3DMATRIX m = Identity();
    m.m[3][2] = 1.0f;
    return m;
}

inline D3DMATRIX CameraProjection(float zn = 0.2f, float zf = 100.0f)
{
    const float yScale = 1.0f / std::tan(1.5707963705062866f / 2.0f);
    D3DMATRIX m{};
    m.m[0][0] = yScale;
    m.m[1][1] = yScale;
    m.m[2][2] = zf / (zf - zn);
    m.m[2][3] = 1.0f;
    m.m[3][2] = -zn * zf / (zf - zn);
    return m;
}

// Two triangles covering the square -1..1 at depth z; clockwise as seen unless `reversed`.
// Texture coordinates 0..1, v = 0 at the top.
inline std::vector<LitVertex> LitQuad(float z = 0.0f, bool reversed = false)
{
    std::vector<LitVertex> q = {
        {-1, -1, z, 0, 0, 1, 0, 1}, {-1, 1, z, 0, 0, 1, 0, 0}, {1, 1, z, 0, 0, 1, 1, 0},
        {-1, -1, z, 0, 0, 1, 0, 1}, {1, 1, z, 0, 0, 1, 1, 0},  {1, -1, z, 0, 0, 1, 1, 1},
    };
    if (reversed) {
        std::swap(q[1], q[2]);
        std::swap(q[4], q[5]);
    }
    return q;
}

// A pixel rectangle of screen vertices, corners at (left, top)-(right, bottom), clockwise.
inline std::vector<ScreenVertex> ScreenQuad(float left, float top, float right, float bottom, D3DCOLOR color,
                                            float z = 0.5f, float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1)
{
    return {
        {left, bottom, z, 1, color, u0, v1}, {left, top, z, 1, color, u0, v0},  {right, bottom, z, 1, color, u1, v1},
        {right, top, z, 1, color, u1, v0},   {right, bottom, z, 1, color, u1, v1}, {left, top, z, 1, color, u0, v0},
    };
}

template <typename Vertex>
std::unique_ptr<gfx::VertexBuffer> MakeBuffer(gfx::Device& device, const std::vector<Vertex>& vertices, DWORD fvf)
{
    std::unique_ptr<gfx::VertexBuffer> buffer;
    const UINT bytes = static_cast<UINT>(vertices.size() * sizeof(Vertex));
    if (device.CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, &buffer) != S_OK) return nullptr;
    void* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices.data(), bytes);
    buffer->Unlock();
    return buffer;
}

// Draws the vertices as a triangle list with the layout's FVF and stride.
template <typename Vertex>
HRESULT Draw(gfx::Device& device, const std::vector<Vertex>& vertices)
{
    constexpr DWORD fvf = sizeof(Vertex) == sizeof(LitVertex) ? kFvfLitVertex : kFvfScreenVertex;
    auto buffer = MakeBuffer(device, vertices, fvf);
    device.SetStreamSource(0, buffer.get(), 0, sizeof(Vertex));
    device.SetFVF(fvf);
    return device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(vertices.size() / 3));
}

// Sets the flat-image camera with an identity world.
inline void UseCamera(gfx::Device& device)
{
    device.SetTransform(D3DTS_WORLD, Identity());
    device.SetTransform(D3DTS_VIEW, CameraView());
    device.SetTransform(D3DTS_PROJECTION, CameraProjection());
}

// A texture of A8R8G8B8 texels given as 0xAARRGGBB, row 0 on top.
inline std::unique_ptr<gfx::Texture> MakeTexture(gfx::Device& device, UINT width, UINT height,
                                                 const std::vector<std::uint32_t>& texels)
{
    std::unique_ptr<gfx::Texture> texture;
    if (device.CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture) != S_OK) return nullptr;
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    for (UINT y = 0; y < height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch, &texels[y * width], width * 4);
    texture->UnlockRect(0);
    return texture;
}

// Lighting off, stage 0 taking the texture's colour and alpha.
inline void PlainTexturing(gfx::Device& device)
{
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
}

}  // namespace kt
