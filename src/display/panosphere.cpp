#include "display/panosphere.h"

#include <algorithm>
#include <cmath>

#include "display/full_screen_image.h"
#include "display/lnm_vertex.h"
#include "platform/window/window.h"

namespace {

constexpr float kPi = 3.1415927410125732f;
// The band spans a little more latitude than the camera's vertical field, so its edges stay
// out of sight.
constexpr float kBandLatitude = 0.35100001096725464f;
constexpr float kFieldOfView = 1.0995573997497559f;  // 0.35 pi
constexpr float kAspect = 2.0f;                      // the 800 x 400 view band
constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 1000.0f;
constexpr int kMaxVertices = 1 << 24;  // far beyond any band the game builds

const char kCreateFailed[] = "IDirect3DDevice9->CreateVertexBuffer -- failed";
const char kCaption[] = "Panosphere::Create";

// A point of the band at slice edge `i` and stack edge `j`, with its texture coordinate.
LNMVertex BandPoint(float i, float j, float slices, float stacks, float radius)
{
    const float theta = i / slices * 2.0f * kPi;
    const float phi = ((j - stacks / 2.0f) / stacks) * kPi * kBandLatitude;
    const float sinTheta = static_cast<float>(std::sin(static_cast<double>(theta)));
    const float cosTheta = static_cast<float>(std::cos(static_cast<double>(theta)));
    const float sinPhi = static_cast<float>(std::sin(static_cast<double>(phi)));
    const float cosPhi = static_cast<float>(std::cos(static_cast<double>(phi)));
    return LNMVertex(sinTheta * radius * cosPhi, sinPhi * radius, cosTheta * radius * cosPhi,
                     0.0f, 0.0f, 0.0f, i / slices, (stacks - j) / stacks);
}

}  // namespace

Panosphere::Panosphere()
{
    const D3DXVECTOR3 eye(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 at(0.0f, 0.0f, 1.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&c_matView, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&c_matProjection, kFieldOfView, kAspect, kNearPlane, kFarPlane);
}

Panosphere::~Panosphere() { Delete(); }

bool Panosphere::Create(gfx::Device* device, int slices, int stacks, float radius)
{
    if (c_bCreated) Delete();

    // A band without quads (or one too large to count) has no buffer to make.
    const long long vertexCount = static_cast<long long>(slices) * stacks * 6;
    if (device == nullptr || slices <= 0 || stacks <= 0 || vertexCount > kMaxVertices ||
        FAILED(device->CreateVertexBuffer(static_cast<UINT>(vertexCount * sizeof(LNMVertex)),
                                          D3DUSAGE_WRITEONLY, D3DFVF_LNMVERTEX, D3DPOOL_MANAGED,
                                          &c_pVertexBuffer)) ||
        !c_pVertexBuffer) {
        c_pVertexBuffer.reset();
        platform::MessageBox(kCreateFailed, kCaption);
        return false;
    }

    void* data = nullptr;
    if (FAILED(c_pVertexBuffer->Lock(0, 0, &data, 0)) || data == nullptr) {
        c_pVertexBuffer.reset();
        platform::MessageBox(kCreateFailed, kCaption);
        return false;
    }
    LNMVertex* out = static_cast<LNMVertex*>(data);
    const float fSlices = static_cast<float>(slices);
    const float fStacks = static_cast<float>(stacks);
    int written = 0;
    // Slice by slice, each from the top stack down; both triangles run clockwise seen from
    // the centre, so the default back-face culling keeps them.
    for (float i = 0.0f; i < fSlices; i += 1.0f) {
        for (float j = fStacks; j >= 1.0f; j -= 1.0f) {
            const LNMVertex topLeft = BandPoint(i, j, fSlices, fStacks, radius);
            const LNMVertex topRight = BandPoint(i + 1.0f, j, fSlices, fStacks, radius);
            const LNMVertex bottomLeft = BandPoint(i, j - 1.0f, fSlices, fStacks, radius);
            const LNMVertex bottomRight = BandPoint(i + 1.0f, j - 1.0f, fSlices, fStacks, radius);
            out[written++] = topLeft;
            out[written++] = topRight;
            out[written++] = bottomLeft;
            out[written++] = topRight;
            out[written++] = bottomRight;
            out[written++] = bottomLeft;
        }
    }
    c_pVertexBuffer->Unlock();
    c_iVertexCount = written;
    c_iSlices = slices;
    c_bCreated = true;
    return true;
}

Panosphere::SliceRange Panosphere::VisibleSlices(float rotation) const
{
    const SliceRange all{0, c_iSlices};
    if (!std::isfinite(rotation)) return all;
    // A point at azimuth a (after the turn) lands at x = tan(a) / tan(half field) on the
    // screen whatever its height, so a slice is seen exactly when its azimuths meet the
    // horizontal half field; one slice more on each side keeps the chords' ends in.
    const double halfField = std::atan(kAspect * std::tan(kFieldOfView / 2.0));
    const double sliceAngle = 2.0 * kPi / c_iSlices;
    // Slice i spans azimuths [i, i + 1] * sliceAngle + rotation.
    const double centre = std::fmod(-static_cast<double>(rotation), 2.0 * kPi);
    const int first = static_cast<int>(std::floor((centre - halfField) / sliceAngle)) - 1;
    const int last = static_cast<int>(std::ceil((centre + halfField) / sliceAngle)) + 1;
    if (last - first >= c_iSlices) return all;
    return SliceRange{((first % c_iSlices) + c_iSlices) % c_iSlices, last - first};
}

void Panosphere::Render(gfx::Device* device, float rotation)
{
    if (!c_bCreated) return;
    D3DXMATRIX world;
    D3DXMatrixRotationY(&world, rotation);
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device->SetStreamSource(0, c_pVertexBuffer.get(), 0, sizeof(LNMVertex));
    device->SetFVF(D3DFVF_LNMVERTEX);
    device->SetTransform(D3DTS_VIEW, c_matView);
    device->SetTransform(D3DTS_WORLD, world);
    device->SetTransform(D3DTS_PROJECTION, c_matProjection);
    const DepthTestOff noDepth(device);
    // Only the slices in sight are sent: the rest would be clipped away after their vertices
    // were transformed. A range past the last slice goes on from slice 0.
    const SliceRange range = VisibleSlices(rotation);
    const int verticesPerSlice = c_iVertexCount / c_iSlices;
    const int firstPart = std::min(range.count, c_iSlices - range.first);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, static_cast<UINT>(range.first * verticesPerSlice),
                          static_cast<UINT>(firstPart * verticesPerSlice / 3));
    if (range.count > firstPart)
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>((range.count - firstPart) * verticesPerSlice / 3));
}

void Panosphere::Delete()
{
    c_pVertexBuffer.reset();
    c_bCreated = false;
    c_iVertexCount = 0;
}
