#include "display/texture.h"

#include "display/d3dfunc.h"
#include "imaging/d3dx_tex.h"

Texture::Texture(gfx::Device* device, const char* path) : Texture(device, path, 0) {}

Texture::Texture(gfx::Device* device, const char* path, int offset) : c_pDevice(device)
{
    c_bLoaded = D3Dfunc::CreateTextureFromEncrypted(path, offset, &c_pTexture);
}

Texture::Texture(gfx::Device* device, UINT width, UINT height, D3DFORMAT format) : c_pDevice(device)
{
    D3DXCreateTexture(device, width, height, 1, 0, format, D3DPOOL_MANAGED, &c_pTexture);
}

Texture::~Texture()
{
    // A texture must not outlive its device's teardown: once the device is gone there is
    // nothing left to release it to.
    if (D3Dfunc::pD3Ddevice == nullptr) (void)c_pTexture.release();
}

bool Texture::Load(const char* path, int offset)
{
    return D3Dfunc::CreateTextureFromEncrypted(path, offset, &c_pTexture);
}

void Texture::AddAlpha(const char* path, int offset)
{
    Texture alpha(c_pDevice, path, offset);
    if (c_pTexture && alpha.getTexture()) D3Dfunc::MergeAlpha(*c_pTexture, *alpha.getTexture());
}
