// The game's Texture: one texture and the device that made it, loaded from a scrambled image
// file or created empty (the video frame target).
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/d3d_types.h"
#include "platform/gfx/device.h"

class Texture {
public:
    // Loads a plain image file (rotation offset 0). Loader errors propagate to the caller.
    Texture(gfx::Device* device, const char* path);
    // Loads a scrambled image file with its rotation offset. Loader errors propagate.
    Texture(gfx::Device* device, const char* path, int offset);
    // An empty managed texture of one level (the video player's 512 x 256 A8R8G8B8 target).
    // A failure to create it leaves getTexture() null.
    Texture(gfx::Device* device, UINT width, UINT height, D3DFORMAT format);
    // Releases the texture while D3Dfunc::pD3Ddevice is set; after the device is gone the
    // texture is left to the process's end rather than touched.
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Replaces the texture with the image of a scrambled file. True, or raises Error.
    bool Load(const char* path, int offset);
    // Loads a second image (same pixel size as this one's) and makes its blue channel this
    // texture's alpha: white opaque, black transparent. Raises Error if it cannot be loaded.
    void AddAlpha(const char* path, int offset);

    // The wrapped texture (owned here); null until loaded.
    gfx::Texture* getTexture() const { return c_pTexture.get(); }
    // Whether the loading constructor succeeded.
    bool IsLoaded() const { return c_bLoaded; }

private:
    gfx::Device* c_pDevice;                    // not owned
    std::unique_ptr<gfx::Texture> c_pTexture;  // owned
    bool c_bLoaded = false;
};
