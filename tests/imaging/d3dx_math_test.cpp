// The matrix helpers against values worked out by hand from the left-handed, row-vector,
// depth 0..1 conventions the drawing code was written for.
#include "imaging/d3dx_math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectPoint(const D3DXVECTOR3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, kTolerance);
    EXPECT_NEAR(v.y, y, kTolerance);
    EXPECT_NEAR(v.z, z, kTolerance);
}

}  // namespace

TEST(D3DXMatrix, PerspectiveFovLHHasTheClassicLayoutAndDepthRange)
{
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, 1.5707963705062866f, 2.0f, 0.2f, 100.0f);
    // x scale = cot(fov/2) / aspect, y scale = cot(fov/2); depth terms in column 2; w = z.
    EXPECT_NEAR(p(0, 0), 0.5f, kTolerance);
    EXPECT_NEAR(p(1, 1), 1.0f, kTolerance);
    EXPECT_NEAR(p(2, 2), 100.0f / 99.8f, kTolerance);
    EXPECT_NEAR(p(3, 2), -0.2f * 100.0f / 99.8f, kTolerance);
    EXPECT_EQ(p(2, 3), 1.0f);
    EXPECT_EQ(p(3, 3), 0.0f);
    EXPECT_EQ(p(0, 1), 0.0f);
    // The near plane maps to depth 0, the far plane to 1.
    ExpectPoint(D3DXVec3TransformCoord({0, 0, 0.2f}, p), 0, 0, 0);
    ExpectPoint(D3DXVec3TransformCoord({0, 0, 100.0f}, p), 0, 0, 1);
    ExpectPoint(D3DXVec3TransformCoord({2, 1, 1}, p), 1, 1, 100.0f / 99.8f * (1 - 0.2f));
}

TEST(D3DXMatrix, LookAtLHPutsTheEyeAtTheOriginLookingDownZ)
{
    D3DXMATRIX view;
    const D3DXVECTOR3 eye(0, 0, -1), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    EXPECT_NEAR(view(3, 2), 1.0f, kTolerance) << "translation lives in row 3";
    ExpectPoint(D3DXVec3TransformCoord(at, view), 0, 0, 1);

    // Looking along +x from (5, 0, 0): a point ahead has positive depth, +z (the camera's
    // left-hand side seen from above) lands on negative x.
    const D3DXVECTOR3 eye2(5, 0, 0), at2(6, 0, 0);
    D3DXMatrixLookAtLH(&view, &eye2, &at2, &up);
    ExpectPoint(D3DXVec3TransformCoord({8, 0, 0}, view), 0, 0, 3);
    ExpectPoint(D3DXVec3TransformCoord({5, 0, 1}, view), -1, 0, 0);
    ExpectPoint(D3DXVec3TransformCoord({5, 2, 0}, view), 0, 2, 0);
}

TEST(D3DXMatrix, RotationYScalingTranslationAndTheirProduct)
{
    D3DXMATRIX r;
    D3DXMatrixRotationY(&r, 0.5f);
    EXPECT_NEAR(r(0, 0), std::cos(0.5f), kTolerance);
    EXPECT_NEAR(r(0, 2), -std::sin(0.5f), kTolerance);
    EXPECT_NEAR(r(2, 0), std::sin(0.5f), kTolerance);
    D3DXMatrixRotationY(&r, 1.5707963f);
    ExpectPoint(D3DXVec3TransformCoord({1, 0, 0}, r), 0, 0, -1);

    // FullScreenImage's placement: scale by (w, h, 0), then translate by (x + w, -y - h, 0).
    D3DXMATRIX s, t, world;
    D3DXMatrixScaling(&s, 0.5f, 0.25f, 0.0f);
    D3DXMatrixTranslation(&t, 0.5f, -0.25f, 0.0f);
    D3DXMatrixMultiply(&world, &s, &t);
    ExpectPoint(D3DXVec3TransformCoord({-1, 1, 7}, world), 0, 0, 0);
    ExpectPoint(D3DXVec3TransformCoord({1, -1, 0}, world), 1, -0.5f, 0);
    EXPECT_NEAR(world(3, 0), 0.5f, kTolerance);

    // Order matters: translating first, then scaling, scales the translation too.
    D3DXMatrixMultiply(&world, &t, &s);
    ExpectPoint(D3DXVec3TransformCoord({0, 0, 0}, world), 0.25f, -0.0625f, 0);

    // Multiplying in place, and by the identity.
    D3DXMATRIX id;
    D3DXMatrixIdentity(&id);
    D3DXMATRIX copy = world;
    D3DXMatrixMultiply(&world, &world, &id);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(world(i, j), copy(i, j));
}
