#include "imaging/d3dx_tex.h"

#include <algorithm>
#include <bit>

#include "imaging/image.h"

namespace {

D3DXIMAGE_FILEFORMAT ToFileFormat(imaging::ImageFileFormat format)
{
    switch (format) {
    case imaging::ImageFileFormat::Bmp: return D3DXIFF_BMP;
    case imaging::ImageFileFormat::Jpeg: return D3DXIFF_JPG;
    case imaging::ImageFileFormat::Png: return D3DXIFF_PNG;
    case imaging::ImageFileFormat::Unknown: break;
    }
    return D3DXIFF_UNKNOWN;
}

// Copies or scales the picture into a locked A8R8G8B8 region of width x height.
void FillRegion(const imaging::Image& picture, const D3DLOCKED_RECT& locked, UINT width, UINT height)
{
    imaging::ResampleTriangle(picture, static_cast<int>(width), static_cast<int>(height),
                              static_cast<std::uint8_t*>(locked.pBits), locked.Pitch);
}

bool Decode(const void* data, UINT size, imaging::Image* picture, std::string* reason)
{
    if (data == nullptr || size == 0) {
        if (reason) *reason = "the file is empty";
        return false;
    }
    return imaging::DecodeImage(static_cast<const std::uint8_t*>(data), size, picture, reason);
}

// What the texture loader writes into a texture of width x height for the picture whose header
// is `header`: power-of-two pictures (panoramas) decoded straight into place, others decoded and
// scaled to fill it.
bool DecodeForTexture(const std::uint8_t* bytes, UINT size, const imaging::ImageInfo& header, UINT width, UINT height,
                      std::uint8_t* target, std::ptrdiff_t pitch, std::string* reason)
{
    if (width == static_cast<UINT>(header.width) && height == static_cast<UINT>(header.height))
        return imaging::DecodeImageInto(bytes, size, header.width, header.height, target, pitch, reason);
    imaging::Image picture;
    if (!Decode(bytes, size, &picture, reason)) return false;
    imaging::ResampleTriangle(picture, static_cast<int>(width), static_cast<int>(height), target, pitch);
    return true;
}

// Where a device call failed, for the loaders' reason.
HRESULT DeviceFailure(HRESULT result, const char* what, std::string* reason)
{
    if (reason) *reason = std::string("the graphics device could not ") + what;
    return FAILED(result) ? result : E_FAIL;
}

}  // namespace

UINT TextureSideForPicture(UINT pictureSide, UINT maximum)
{
    const UINT rounded = std::bit_ceil(std::max(pictureSide, 1u));
    if (maximum == 0) return rounded;
    return std::min(rounded, std::bit_floor(maximum));
}

HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT size, D3DXIMAGE_INFO* info, std::string* reason)
{
    if (data == nullptr || info == nullptr) return D3DERR_INVALIDCALL;
    imaging::ImageInfo header;
    if (!imaging::ReadImageInfo(static_cast<const std::uint8_t*>(data), size, &header, reason))
        return D3DXERR_INVALIDDATA;
    info->Width = static_cast<UINT>(header.width);
    info->Height = static_cast<UINT>(header.height);
    info->Format = header.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    info->ImageFileFormat = ToFileFormat(header.format);
    return S_OK;
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(gfx::Device* device, const void* data, UINT size,
                                            std::unique_ptr<gfx::Texture>* out, std::string* reason)
{
    if (out != nullptr) out->reset();
    return D3DXLoadTextureFromFileInMemory(device, data, size, out, reason);
}

HRESULT D3DXLoadTextureFromFileInMemory(gfx::Device* device, const void* data, UINT size,
                                        std::unique_ptr<gfx::Texture>* out, std::string* reason)
{
    if (device == nullptr || out == nullptr) return D3DERR_INVALIDCALL;
    // Whatever it held is replaced or released, whatever happens below.
    std::unique_ptr<gfx::Texture> texture = std::move(*out);
    if (data == nullptr || size == 0) {
        if (reason) *reason = "the file is empty";
        return D3DXERR_INVALIDDATA;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    // The declared size passes the decoders' limit before a texture is made for it.
    imaging::ImageInfo header;
    if (!imaging::ReadImageInfo(bytes, size, &header, reason)) return D3DXERR_INVALIDDATA;

    D3DCAPS9 caps{};
    device->GetDeviceCaps(&caps);
    const UINT width = TextureSideForPicture(static_cast<UINT>(header.width), caps.MaxTextureWidth);
    const UINT height = TextureSideForPicture(static_cast<UINT>(header.height), caps.MaxTextureHeight);
    if (!texture || texture->Width() != width || texture->Height() != height || texture->Format() != D3DFMT_A8R8G8B8) {
        texture.reset();
        const HRESULT created =
            device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
        if (FAILED(created) || !texture) return DeviceFailure(created, "create the texture", reason);
    }

    D3DLOCKED_RECT locked{};
    const HRESULT lockResult = texture->LockRect(0, &locked, nullptr, 0);
    if (FAILED(lockResult)) return DeviceFailure(lockResult, "lock the texture", reason);
    const bool decoded =
        DecodeForTexture(bytes, size, header, width, height, static_cast<std::uint8_t*>(locked.pBits), locked.Pitch, reason);
    texture->UnlockRect(0);
    if (!decoded) return D3DXERR_INVALIDDATA;
    *out = std::move(texture);
    return S_OK;
}

bool D3DXDecodePictureForTexture(const void* data, UINT size, UINT maxWidth, UINT maxHeight, imaging::Image* out,
                                 std::string* reason)
{
    if (data == nullptr || size == 0 || out == nullptr) {
        if (reason) *reason = "the file is empty";
        return false;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    imaging::ImageInfo header;
    if (!imaging::ReadImageInfo(bytes, size, &header, reason)) return false;
    const UINT width = TextureSideForPicture(static_cast<UINT>(header.width), maxWidth);
    const UINT height = TextureSideForPicture(static_cast<UINT>(header.height), maxHeight);
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->pixels.resize(static_cast<std::size_t>(width) * height * 4);
    return DecodeForTexture(bytes, size, header, width, height, out->pixels.data(),
                            static_cast<std::ptrdiff_t>(width) * 4, reason);
}

HRESULT D3DXLoadSurfaceFromFileInMemory(gfx::Surface* surface, const void* data, UINT size, std::string* reason)
{
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    imaging::Image picture;
    if (!Decode(data, size, &picture, reason)) return D3DXERR_INVALIDDATA;
    D3DSURFACE_DESC desc{};
    surface->GetDesc(&desc);
    if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked{};
    const HRESULT lockResult = surface->LockRect(&locked, nullptr, 0);
    if (FAILED(lockResult)) return lockResult;
    FillRegion(picture, locked, desc.Width, desc.Height);
    surface->UnlockRect();
    return S_OK;
}

HRESULT D3DXCreateTexture(gfx::Device* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, std::unique_ptr<gfx::Texture>* out)
{
    if (device == nullptr || out == nullptr) return D3DERR_INVALIDCALL;
    return device->CreateTexture(width, height, levels, usage, format, pool, out);
}
