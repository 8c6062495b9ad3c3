// The image loaders the game calls, under the names it calls them by: a texture, a surface or
// the picture's size from an image file held in memory. The argument lists keep only what
// the game passes; what it always passes is fixed here and said at each function.
#pragma once

#include <memory>
#include <string>

#include "imaging/image.h"
#include "platform/gfx/d3d_types.h"
#include "platform/gfx/device.h"

// The loaders' failure result: the bytes are not an image file they can decode.
constexpr HRESULT D3DXERR_INVALIDDATA = static_cast<HRESULT>(0x88760B59u);

enum D3DXIMAGE_FILEFORMAT : std::uint32_t {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_PNG = 3,
    D3DXIFF_UNKNOWN = 0xFFFFFFFFu,
};

struct D3DXIMAGE_INFO {
    UINT Width = 0;
    UINT Height = 0;
    // A8R8G8B8 when the file has alpha or transparency, X8R8G8B8 otherwise.
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    D3DXIMAGE_FILEFORMAT ImageFileFormat = D3DXIFF_UNKNOWN;
};

// The loaders' failures come with the decoder's reason when `reason` is given: what was wrong
// with the bytes (truncated, corrupt data, a size beyond the limits of imaging/image.h).

// The picture's width, height and format from its header. D3DXERR_INVALIDDATA if unreadable
// or if it declares a size beyond the decoders' limits.
HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT size, D3DXIMAGE_INFO* info,
                                         std::string* reason = nullptr);

// A new A8R8G8B8 texture of one level, managed pool, each side the picture's side rounded up to
// a power of two and limited to the device's maximum texture size; the picture is scaled with
// the triangle filter to fill it, so coordinates 0..1 span the whole picture. (The game always
// passes default size, one level, usage 0, A8R8G8B8, managed, default filters, no colour key.)
// The size the header declares is checked before the texture is made or anything decoded.
// On failure `out` stays null and the result is D3DXERR_INVALIDDATA (or the device's error).
HRESULT D3DXCreateTextureFromFileInMemoryEx(gfx::Device* device, const void* data, UINT size,
                                            std::unique_ptr<gfx::Texture>* out, std::string* reason = nullptr);
// The same, decoding into `*texture` itself when it already is an A8R8G8B8 texture of the
// size the picture needs (its pixels are overwritten, its device storage kept); otherwise a
// new texture replaces it. On failure `*texture` is null (a reused one is released: its
// pixels may hold part of the picture).
HRESULT D3DXLoadTextureFromFileInMemory(gfx::Device* device, const void* data, UINT size,
                                        std::unique_ptr<gfx::Texture>* texture, std::string* reason = nullptr);

// The pixels D3DXLoadTextureFromFileInMemory would put into its texture, decoded into `out`
// (sides the texture's; rows packed) without a device: `maxWidth` and `maxHeight` are the
// device's maximum texture sides (0: no limit). Safe on any thread. False with `reason` set when
// the bytes do not decode.
bool D3DXDecodePictureForTexture(const void* data, UINT size, UINT maxWidth, UINT maxHeight, imaging::Image* out,
                                 std::string* reason = nullptr);

// Decodes the picture into the whole of `surface` (A8R8G8B8), scaling with the triangle
// filter if the sizes differ. (The game passes the whole source, no palette, default filter,
// no colour key.) D3DXERR_INVALIDDATA if the bytes do not decode; the surface is then unchanged.
HRESULT D3DXLoadSurfaceFromFileInMemory(gfx::Surface* surface, const void* data, UINT size,
                                        std::string* reason = nullptr);

// An empty texture: the device's CreateTexture with these arguments.
HRESULT D3DXCreateTexture(gfx::Device* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, std::unique_ptr<gfx::Texture>* out);

// The side a texture gets for a picture side: the next power of two, at most `maximum`.
UINT TextureSideForPicture(UINT pictureSide, UINT maximum);
