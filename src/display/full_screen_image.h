// One textured rectangle in screen space: the whole viewport, or a rectangle placed in
// normalised screen coordinates. Every flat picture of the game is drawn through it. It sets
// only the transforms, the vertex stream and the draw; texture, material, stage and blend
// states are the caller's. Depends on the graphics device and the matrix helpers only.
#pragma once

#include <memory>

#include "imaging/d3dx_math.h"
#include "platform/gfx/device.h"

// For a draw onto depth just cleared to the far value whose own triangles never overlap (a
// flat quad, the panorama band seen from inside): every depth test would pass and the depth
// written is cleared again before anything tests it, so the test is switched off for the
// draw's lifetime (the software rasteriser then skips a depth read and write per pixel and
// may drop what the draw covers). Compare functions that could fail are left as they are.
class DepthTestOff {
public:
    explicit DepthTestOff(gfx::Device* device);
    ~DepthTestOff();
    DepthTestOff(const DepthTestOff&) = delete;
    DepthTestOff& operator=(const DepthTestOff&) = delete;

private:
    gfx::Device* c_pDevice;
    DWORD c_dwZEnable;
    bool c_bOff;
};

class FullScreenImage {
public:
    // Not created: renders nothing until Create succeeds.
    FullScreenImage();
    ~FullScreenImage();
    FullScreenImage(const FullScreenImage&) = delete;
    FullScreenImage& operator=(const FullScreenImage&) = delete;

    // (Re)builds the quad with these texture coordinates at its left, top, right and bottom
    // edges, and the fixed camera. False (after a message box) if the device has no vertex
    // buffer for it; the object then stays not created.
    bool Create(gfx::Device* device, float uLeft, float vTop, float uRight, float vBottom);
    // The whole texture, upright.
    bool Create(gfx::Device* device);

    // Draws over the whole current viewport.
    void Render(gfx::Device* device);
    // Draws into a rectangle: top-left corner (x, y), each -1 at the screen's left/top edge to
    // 1 at its right/bottom edge (y downward); w and h are fractions of the screen's width and
    // height. In 800 x 600 pixels: left (x + 1) * 400, top (y + 1) * 300, size w * 800 by h * 600.
    void Render(gfx::Device* device, float x, float y, float w, float h);

    // Releases the vertex buffer; not created afterwards.
    void Delete();

    bool IsCreated() const { return c_bCreated; }

private:
    void Draw(gfx::Device* device, const D3DXMATRIX& world);

    std::unique_ptr<gfx::VertexBuffer> c_pVertexBuffer;
    bool c_bCreated = false;
    D3DXMATRIX c_matView;
    D3DXMATRIX c_matProjection;
};
