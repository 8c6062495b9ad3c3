// glm keeps matrices column-major for column vectors (M * v). The transpose of such a matrix
// is the row-vector matrix of the same transform, and a column-major matrix read row by row
// *is* its transpose: so glm's left-handed matrices copy into D3DMATRIX's m[row][column]
// memory unchanged.
#include "imaging/d3dx_math.h"

#include <cstring>

#include <glm/ext/matrix_clip_space.hpp>
#include <glm/ext/matrix_transform.hpp>
#include <glm/mat4x4.hpp>

namespace {

glm::mat4 ToGlm(const D3DMATRIX& d)
{
    glm::mat4 g;
    static_assert(sizeof g == sizeof d.m);
    std::memcpy(&g, d.m, sizeof g);
    return g;
}

D3DXMATRIX* Store(D3DXMATRIX* out, const glm::mat4& g)
{
    std::memcpy(out->m, &g, sizeof out->m);
    return out;
}

glm::vec3 ToGlm(const D3DXVECTOR3& v) { return {v.x, v.y, v.z}; }

}  // namespace

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) { return Store(out, glm::mat4(1.0f)); }

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear,
                                       float zFar)
{
    return Store(out, glm::perspectiveLH_ZO(fovY, aspect, zNear, zFar));
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up)
{
    return Store(out, glm::lookAtLH(ToGlm(*eye), ToGlm(*at), ToGlm(*up)));
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle)
{
    return Store(out, glm::rotate(glm::mat4(1.0f), angle, glm::vec3(0.0f, 1.0f, 0.0f)));
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz)
{
    return Store(out, glm::scale(glm::mat4(1.0f), glm::vec3(sx, sy, sz)));
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z)
{
    return Store(out, glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z)));
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b)
{
    // Row-vector a * b is column-vector b' * a' (primes: the glm views of the same memory).
    return Store(out, ToGlm(*b) * ToGlm(*a));
}

D3DXVECTOR3 D3DXVec3TransformCoord(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    const glm::vec4 r = ToGlm(m) * glm::vec4(v.x, v.y, v.z, 1.0f);
    return {r.x / r.w, r.y / r.w, r.z / r.w};
}
