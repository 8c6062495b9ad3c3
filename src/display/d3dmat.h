// A material that starts all white: the flat images drawn translucently (top menu, inventory,
// menus, the view's cross-fade) change only its diffuse alpha, which becomes the opacity.
// Depends on the graphics device only.
#pragma once

#include "platform/gfx/d3d_types.h"
#include "platform/gfx/device.h"

struct D3Dmat : D3DMATERIAL9 {
    // Diffuse, ambient, specular and emissive opaque white; power 8.
    D3Dmat();
};

// Sets the device up to draw flat images at full colour with opacity = the diffuse alpha of
// `material` (lit, no lights: the white emissive colour; alpha from the lit colour), with
// source-alpha blending turned on. Change the material between images as needed.
void BeginTranslucentImages(gfx::Device* device, const D3DMATERIAL9& material);
// Turns blending off again.
void EndTranslucentImages(gfx::Device* device);

// The blend factor (D3DRS_BLENDFACTOR) that mixes an opaque picture in at `opacity` (clamped
// to 0..1) with D3DBLEND_BLENDFACTOR over D3DBLEND_INVBLENDFACTOR: the opacity in 8-bit steps
// in every channel.
D3DCOLOR OpacityBlendFactor(float opacity);
