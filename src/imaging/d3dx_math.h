// The 4 x 4 matrix helpers the drawing code calls, under the names it calls them by.
// Left-handed coordinates, row vectors (a point is transformed as v * M), depth 0..1.
// Built on glm; no graphics library here.
#pragma once

#include "platform/gfx/d3d_types.h"

struct D3DXVECTOR3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    D3DXVECTOR3() = default;
    D3DXVECTOR3(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}
};

// Same memory layout as D3DMATRIX: m[row][column], the translation in row 3.
struct D3DXMATRIX : D3DMATRIX {
    D3DXMATRIX() : D3DMATRIX{} {}
    D3DXMATRIX(const D3DMATRIX& other) : D3DMATRIX(other) {}
    float& operator()(int row, int column) { return m[row][column]; }
    float operator()(int row, int column) const { return m[row][column]; }
};

// Each helper fills `out` and returns it, so calls can be chained.
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
// Perspective projection: `fovY` the vertical field of view in radians, `aspect` width / height,
// view-space depths `zNear`..`zFar` mapped to 0..1.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear,
                                       float zFar);
// View matrix of a camera at `eye` looking at `at`, `up` giving the vertical.
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);
// Rotation about the vertical axis by `angle` radians: +x turns towards -z for a positive angle.
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
// out = a * b: transforming by `out` is transforming by `a`, then by `b`. `out` may alias.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
// v * M for a point (w = 1), divided by the resulting w; for tests and tools.
D3DXVECTOR3 D3DXVec3TransformCoord(const D3DXVECTOR3& v, const D3DXMATRIX& m);
