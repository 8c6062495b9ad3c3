#include "display/full_screen_image.h"

#include <cstring>

#include "display/lnm_vertex.h"
#include "platform/window/window.h"

namespace {

constexpr char kCreateFailed[] = "IDirect3DDevice9::CreateVertexBuffer - failed";
constexpr char kCaption[] = "FullScreenImage::Create";
constexpr UINT kQuadVertices = 6;
constexpr UINT kQuadTriangles = 2;
// The camera sees the square -1..1 exactly: one unit away with a 90-degree field, aspect 1.
constexpr float kFieldOfView = 1.5707963705062866f;
constexpr float kAspect = 1.0f;
constexpr float kNearPlane = 0.2f;
constexpr float kFarPlane = 100.0f;

void ClearDepth(gfx::Device* device)
{
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
}

}  // namespace

FullScreenImage::FullScreenImage() = default;

FullScreenImage::~FullScreenImage() { Delete(); }

bool FullScreenImage::Create(gfx::Device* device)
{
    return Create(device, 0.0f, 0.0f, 1.0f, 1.0f);
}

bool FullScreenImage::Create(gfx::Device* device, float uLeft, float vTop, float uRight, float vBottom)
{
    if (c_bCreated) Delete();
    c_bCreated = false;

    if (device == nullptr ||
        FAILED(device->CreateVertexBuffer(kQuadVertices * sizeof(LNMVertex), D3DUSAGE_WRITEONLY,
                                          D3DFVF_LNMVERTEX, D3DPOOL_MANAGED, &c_pVertexBuffer)) ||
        !c_pVertexBuffer) {
        c_pVertexBuffer.reset();
        platform::MessageBox(kCreateFailed, kCaption);
        return false;
    }

    // Two triangles, clockwise as seen, so the default back-face culling keeps them.
    const LNMVertex quad[kQuadVertices] = {
        {-1.0f, -1.0f, 0.0f, 0.0f, 0.0f, 1.0f, uLeft, vBottom},
        {-1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, uLeft, vTop},
        {1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, uRight, vTop},
        {-1.0f, -1.0f, 0.0f, 0.0f, 0.0f, 1.0f, uLeft, vBottom},
        {1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, uRight, vTop},
        {1.0f, -1.0f, 0.0f, 0.0f, 0.0f, 1.0f, uRight, vBottom},
    };
    void* data = nullptr;
    if (FAILED(c_pVertexBuffer->Lock(0, 0, &data, 0)) || data == nullptr) {
        c_pVertexBuffer.reset();
        platform::MessageBox(kCreateFailed, kCaption);
        return false;
    }
    std::memcpy(data, quad, sizeof(quad));
    c_pVertexBuffer->Unlock();

    const D3DXVECTOR3 eye(0.0f, 0.0f, -1.0f);
    const D3DXVECTOR3 at(0.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&c_matView, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&c_matProjection, kFieldOfView, kAspect, kNearPlane, kFarPlane);
    c_bCreated = true;
    return true;
}

void FullScreenImage::Render(gfx::Device* device)
{
    if (!c_bCreated) return;
    D3DXMATRIX world;
    D3DXMatrixRotationY(&world, 0.0f);
    Draw(device, world);
}

void FullScreenImage::Render(gfx::Device* device, float x, float y, float w, float h)
{
    if (!c_bCreated) return;
    // The quad's corners -1..1 land at x .. x + 2w and -y - 2h .. -y of the camera's square.
    D3DXMATRIX scaling;
    D3DXMATRIX translation;
    D3DXMATRIX world;
    D3DXMatrixScaling(&scaling, w, h, 0.0f);
    D3DXMatrixTranslation(&translation, x + w, -y - h, 0.0f);
    D3DXMatrixMultiply(&world, &scaling, &translation);
    Draw(device, world);
}

void FullScreenImage::Draw(gfx::Device* device, const D3DXMATRIX& world)
{
    // Clearing depth before and after keeps a flat image above everything drawn earlier and
    // never hiding anything drawn later: drawing order alone decides what covers what.
    ClearDepth(device);
    device->SetTransform(D3DTS_WORLD, world);
    device->SetTransform(D3DTS_VIEW, c_matView);
    device->SetTransform(D3DTS_PROJECTION, c_matProjection);
    device->SetStreamSource(0, c_pVertexBuffer.get(), 0, sizeof(LNMVertex));
    device->SetFVF(D3DFVF_LNMVERTEX);
    {
        const DepthTestOff noDepth(device);
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kQuadTriangles);
    }
    ClearDepth(device);
}

DepthTestOff::DepthTestOff(gfx::Device* device) : c_pDevice(device)
{
    c_dwZEnable = device->GetRenderState(D3DRS_ZENABLE);
    const DWORD func = device->GetRenderState(D3DRS_ZFUNC);
    c_bOff = func == D3DCMP_LESSEQUAL || func == D3DCMP_LESS || func == D3DCMP_ALWAYS;
    if (c_bOff) device->SetRenderState(D3DRS_ZENABLE, FALSE);
}

DepthTestOff::~DepthTestOff()
{
    if (c_bOff) c_pDevice->SetRenderState(D3DRS_ZENABLE, c_dwZEnable);
}

void FullScreenImage::Delete()
{
    c_pVertexBuffer.reset();
    c_bCreated = false;
}
