// The mesh a panoramic screen is shown on: a band of a sphere around the viewer, textured
// from inside with the whole panorama image; turning the view rotates the mesh about the
// vertical axis. Depends on the graphics device and the matrix helpers only.
#pragma once

#include <memory>

#include "imaging/d3dx_math.h"
#include "platform/gfx/device.h"

class Panosphere {
public:
    // Builds the camera (viewer at the centre looking along +z); no mesh yet.
    Panosphere();
    ~Panosphere();
    Panosphere(const Panosphere&) = delete;
    Panosphere& operator=(const Panosphere&) = delete;

    // (Re)builds the band: `slices` quads around, `stacks` quads up, at `radius` units.
    // False (after a message box) if the device has no vertex buffer for it.
    bool Create(gfx::Device* device, int slices, int stacks, float radius);
    // Draws the mesh turned by `rotation` radians about the vertical axis; a positive turn
    // moves what lay straight ahead to the right. Texture, material and blending are the caller's.
    void Render(gfx::Device* device, float rotation);
    // Releases the mesh; not created afterwards.
    void Delete();

    bool IsCreated() const { return c_bCreated; }
    int GetVertexCount() const { return c_iVertexCount; }

private:
    // Slices first .. first + count - 1, counted on from slice 0 past the last one.
    struct SliceRange {
        int first;
        int count;
    };
    // The slices that can reach the screen with the mesh turned by `rotation`.
    SliceRange VisibleSlices(float rotation) const;

    std::unique_ptr<gfx::VertexBuffer> c_pVertexBuffer;
    bool c_bCreated = false;
    int c_iVertexCount = 0;  // a multiple of 6
    int c_iSlices = 0;
    D3DXMATRIX c_matView;
    D3DXMATRIX c_matProjection;
};
