// The 32-byte vertex of the game's textured, lit geometry: flat screen quads and the panorama
// mesh. Position, normal and one texture coordinate pair, all 32-bit floats.
// Plain data; depends only on the device's format names.
#pragma once

#include "platform/gfx/d3d_types.h"

// Layout flag of LNMVertex for SetFVF and CreateVertexBuffer (position, normal, one uv pair).
constexpr DWORD D3DFVF_LNMVERTEX = kFvfLitVertex;

struct LNMVertex {
    float x, y, z;     // position, model space
    float nx, ny, nz;  // normal
    float u, v;        // texture coordinate; v 0 is the texture's top row

    LNMVertex() = default;
    LNMVertex(float px, float py, float pz, float pnx, float pny, float pnz, float pu, float pv)
        : x(px), y(py), z(pz), nx(pnx), ny(pny), nz(pnz), u(pu), v(pv)
    {
    }
};

static_assert(sizeof(LNMVertex) == 32, "the vertex stride is 32 bytes");
