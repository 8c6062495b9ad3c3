#include "display/d3dfunc.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "core/error.h"
#include "core/game_paths.h"
#include "imaging/d3dx_tex.h"
#include "imaging/image.h"
#include "platform/window/window.h"

namespace D3Dfunc {

gfx::Device* pD3Ddevice = nullptr;
D3DMATERIAL9 WhiteMaterial{};

namespace {

// The device Create made; pD3Ddevice points at it while it lives.
std::unique_ptr<gfx::Device>& OwnedDevice()
{
    static std::unique_ptr<gfx::Device> device;
    return device;
}

constexpr const char* kCreateDeviceFailed = "Direct3d function <CreateDevice()> - FAILED";
constexpr const char* kDecodeFailed = "Error opening file (in memory) in CreateTextureFromEncrypted()";
constexpr const char* kCopyFailed = "Error occured in CopyTextures()";
constexpr float kWhiteMaterialPower = 8.0f;

void FillWhiteMaterial()
{
    const D3DCOLORVALUE white{1.0f, 1.0f, 1.0f, 1.0f};
    WhiteMaterial.Diffuse = WhiteMaterial.Ambient = WhiteMaterial.Specular = WhiteMaterial.Emissive = white;
    WhiteMaterial.Power = kWhiteMaterialPower;
}

void SetInitialStates(gfx::Device& device)
{
    device.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device.SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    device.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    device.SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
}

gfx::Device& RequireDevice(const char* path)
{
    if (pD3Ddevice == nullptr)
        throw Error(std::string("Cannot load \"") + path + "\": the graphics device does not exist yet");
    return *pD3Ddevice;
}

// The error text is fixed; the file and the decoder's reason go to the error information
// (the fatal screen shows its start) and, whole, to standard error.
[[noreturn]] void RaiseDecodeFailure(const char* path, const std::string& reason)
{
    const std::string why = reason.empty() ? "the bytes are not a picture the loader can decode" : reason;
    FailSafe::SetInfo(std::string(path) + ": " + why);
    std::cerr << "Kelvane: cannot load image \"" << path << "\": " << why << '\n';
    throw Error(kDecodeFailed);
}

bool RegionUsable(const LockedRegion& region)
{
    return region.rect.pBits != nullptr && region.width >= 0 && region.height >= 0 &&
           static_cast<long long>(region.rect.Pitch) >= static_cast<long long>(region.width) * 4;
}

}  // namespace

bool Create(platform::Window& window, bool /*windowed*/)
{
    FillWhiteMaterial();
    // One device at a time: a second entry into the game (tests) replaces the first.
    if (OwnedDevice()) Destroy();
    std::string reason;
    // The device falls back from a 24-bit to a 16-bit depth buffer by itself.
    std::unique_ptr<gfx::Device> device = gfx::Device::Create(window, &reason);
    if (!device) {
        std::cerr << "Kelvane: the graphics device could not be created: " << reason << '\n';
        platform::MessageBox(kCreateDeviceFailed, "");
        return false;
    }
    OwnedDevice() = std::move(device);
    pD3Ddevice = OwnedDevice().get();
    SetInitialStates(*pD3Ddevice);
    return true;
}

void Destroy()
{
    // Cleared first, so that a Texture destroyed later does not reach for a freed device.
    pD3Ddevice = nullptr;
    OwnedDevice().reset();
}

namespace {

// Why a scrambled file could not be read.
struct ReadFault {
    enum Kind { None, Open, Read, Offset } kind = None;
    int code = 0;             // errno of a failed open
    std::size_t length = 0;   // the file's length, for an offset outside it
};

// Reads a scrambled file's image bytes: the bytes from the offset on first, then those before
// it, so the rotation is undone by the reads themselves. Touches no shared state.
ReadFault ReadUnrotated(const std::string& path, int offset, std::vector<std::uint8_t>* image)
{
    errno = 0;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return ReadFault{ReadFault::Open, errno, 0};
    const std::streamoff length = file.tellg();
    if (length < 0) return ReadFault{ReadFault::Read, 0, 0};
    const auto size = static_cast<std::size_t>(length);
    if (offset < 0 || static_cast<std::size_t>(offset) >= size) return ReadFault{ReadFault::Offset, 0, size};
    const auto head = static_cast<std::size_t>(offset);
    image->resize(size);
    char* bytes = reinterpret_cast<char*>(image->data());
    file.seekg(static_cast<std::streamoff>(head));
    if (!file.read(bytes, static_cast<std::streamsize>(size - head))) return ReadFault{ReadFault::Read, 0, size};
    file.seekg(0);
    if (head > 0 && !file.read(bytes + (size - head), static_cast<std::streamsize>(head)))
        return ReadFault{ReadFault::Read, 0, size};
    return ReadFault{};
}

}  // namespace

std::vector<std::uint8_t> ReadEncrypted(const char* name, int offset)
{
    // The game names its pictures "data/..."; an installed game keeps them elsewhere.
    const std::string resolved = GamePaths::Resolve(name);
    const char* path = resolved.c_str();
    std::vector<std::uint8_t> image;
    const ReadFault fault = ReadUnrotated(resolved, offset, &image);
    switch (fault.kind) {
    case ReadFault::None: break;
    case ReadFault::Open:
        throw Error(std::string("Cannot open image file \"") + path + "\": " +
                    (fault.code != 0 ? std::strerror(fault.code) : "unknown reason"));
    case ReadFault::Read: throw Error(std::string("Cannot read image file \"") + path + "\": read error");
    case ReadFault::Offset:
        FailSafe::SetInfo(path);
        throw Error(std::string("Image file \"") + path + "\" has " + std::to_string(fault.length) +
                    " bytes; its rotation offset " + std::to_string(offset) +
                    " must lie from 0 to the length minus 1");
    }
    return image;
}

bool DecodeEncryptedPicture(const std::string& path, int offset, const PictureShape& shape, imaging::Image* out,
                            std::string* why)
{
    std::vector<std::uint8_t> image;
    if (ReadUnrotated(path, offset, &image).kind != ReadFault::None) {
        if (why) *why = "the file cannot be read with its offset";
        return false;
    }
    const UINT size = static_cast<UINT>(image.size());
    if (shape.texture) return D3DXDecodePictureForTexture(image.data(), size, shape.maxWidth, shape.maxHeight, out, why);
    return imaging::DecodeImage(image.data(), size, out, why);
}

void ReadPictureFromEncrypted(const char* path, int offset, imaging::Image* out)
{
    const std::vector<std::uint8_t> image = ReadEncrypted(path, offset);
    const UINT size = static_cast<UINT>(image.size());
    D3DXIMAGE_INFO info;
    std::string reason;
    // The header first, as the surface loader reads it: a size beyond the limits is refused
    // before anything is decoded.
    if (FAILED(D3DXGetImageInfoFromFileInMemory(image.data(), size, &info, &reason))) RaiseDecodeFailure(path, reason);
    if (!imaging::DecodeImage(image.data(), size, out, &reason)) RaiseDecodeFailure(path, reason);
}

PictureShape TextureShape(const gfx::Device& device)
{
    D3DCAPS9 caps{};
    device.GetDeviceCaps(&caps);
    return PictureShape{true, caps.MaxTextureWidth, caps.MaxTextureHeight};
}

void LoadTextureFromPicture(const imaging::Image& picture, std::unique_ptr<gfx::Texture>* texture)
{
    gfx::Device& device = RequireDevice("a picture decoded ahead");
    const auto width = static_cast<UINT>(picture.width);
    const auto height = static_cast<UINT>(picture.height);
    if (!*texture || (*texture)->Width() != width || (*texture)->Height() != height ||
        (*texture)->Format() != D3DFMT_A8R8G8B8) {
        texture->reset();
        if (FAILED(device.CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture)) || !*texture)
            throw Error("the graphics device could not create a " + std::to_string(width) + " x " +
                        std::to_string(height) + " texture for a screen picture");
    }
    D3DLOCKED_RECT locked{};
    if (FAILED((*texture)->LockRect(0, &locked, nullptr, 0)))
        throw Error("the graphics device could not lock a screen picture's texture");
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    for (UINT y = 0; y < height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(y) * locked.Pitch,
                    picture.Row(static_cast<int>(y)), row);
    (*texture)->UnlockRect(0);
}

bool CreateTextureFromEncrypted(const char* path, int offset, std::unique_ptr<gfx::Texture>* out)
{
    std::unique_ptr<gfx::Texture> texture;
    LoadTextureFromEncrypted(path, offset, &texture);
    *out = std::move(texture);
    return true;
}

bool LoadTextureFromEncrypted(const char* path, int offset, std::unique_ptr<gfx::Texture>* texture)
{
    gfx::Device& device = RequireDevice(path);
    std::vector<std::uint8_t> image;
    try {
        image = ReadEncrypted(path, offset);
    } catch (...) {
        texture->reset();
        throw;
    }
    std::string reason;
    if (FAILED(D3DXLoadTextureFromFileInMemory(&device, image.data(), static_cast<UINT>(image.size()), texture,
                                               &reason)))
        RaiseDecodeFailure(path, reason);
    return true;
}

bool CreateSurfaceFromEncrypted(const char* path, int offset, std::unique_ptr<gfx::Surface>* out)
{
    gfx::Device& device = RequireDevice(path);
    imaging::Image picture;
    ReadPictureFromEncrypted(path, offset, &picture);
    std::unique_ptr<gfx::Surface> surface;
    device.CreateOffscreenPlainSurface(static_cast<UINT>(picture.width), static_cast<UINT>(picture.height),
                                       D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &surface);
    if (!surface) RaiseDecodeFailure(path, "the graphics device could not create the surface");
    D3DLOCKED_RECT locked{};
    if (FAILED(surface->LockRect(&locked, nullptr, 0))) RaiseDecodeFailure(path, "the surface could not be locked");
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(y) * locked.Pitch,
                    picture.Row(y), static_cast<std::size_t>(picture.width) * 4);
    surface->UnlockRect();
    *out = std::move(surface);
    return true;
}

void CopyTextures(const LockedRegion& dst, const LockedRegion& src, int width, int height)
{
    if (!RegionUsable(dst) || !RegionUsable(src)) {
        FailSafe::SetInfo(kCopyFailed);
        throw Error(std::string(kCopyFailed) + ": a locked region has no pixels or a pitch shorter than its width");
    }
    const int w = std::min({width, dst.width, src.width});
    const int h = std::min({height, dst.height, src.height});
    for (int y = 0; y < h; ++y) {
        auto* d = static_cast<std::uint8_t*>(dst.rect.pBits) + static_cast<std::ptrdiff_t>(y) * dst.rect.Pitch;
        const auto* s = static_cast<const std::uint8_t*>(src.rect.pBits) + static_cast<std::ptrdiff_t>(y) * src.rect.Pitch;
        for (int x = 0; x < w; ++x, d += 4, s += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

void CopyTextures(D3DLOCKED_RECT dst, D3DLOCKED_RECT src, int width, int height)
{
    CopyTextures(LockedRegion{dst, width, height}, LockedRegion{src, width, height}, width, height);
}

SamplingStates CurrentSamplingStates(const gfx::Device& d)
{
    return {d.GetSamplerState(0, D3DSAMP_MAGFILTER),       d.GetSamplerState(0, D3DSAMP_MINFILTER),
            d.GetSamplerState(0, D3DSAMP_ADDRESSU),        d.GetSamplerState(0, D3DSAMP_ADDRESSV),
            d.GetTextureStageState(0, D3DTSS_COLOROP),     d.GetTextureStageState(0, D3DTSS_COLORARG1),
            d.GetTextureStageState(0, D3DTSS_COLORARG2),   d.GetTextureStageState(0, D3DTSS_ALPHAOP),
            d.GetTextureStageState(0, D3DTSS_ALPHAARG1),   d.GetTextureStageState(0, D3DTSS_ALPHAARG2),
            d.GetTextureStageState(1, D3DTSS_COLOROP),
            d.GetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS)};
}

void MergeAlpha(gfx::Texture& colour, gfx::Texture& alpha)
{
    D3DSURFACE_DESC colourDesc{}, alphaDesc{};
    colour.GetLevelDesc(0, &colourDesc);
    alpha.GetLevelDesc(0, &alphaDesc);
    D3DLOCKED_RECT colourRect{}, alphaRect{};
    if (FAILED(colour.LockRect(0, &colourRect, nullptr, 0))) return;
    if (FAILED(alpha.LockRect(0, &alphaRect, nullptr, 0))) {
        colour.UnlockRect(0);
        return;
    }
    const UINT width = std::min(colourDesc.Width, alphaDesc.Width);
    const UINT height = std::min(colourDesc.Height, alphaDesc.Height);
    for (UINT y = 0; y < height; ++y) {
        auto* c = static_cast<std::uint8_t*>(colourRect.pBits) + static_cast<std::ptrdiff_t>(y) * colourRect.Pitch;
        const auto* a = static_cast<const std::uint8_t*>(alphaRect.pBits) + static_cast<std::ptrdiff_t>(y) * alphaRect.Pitch;
        for (UINT x = 0; x < width; ++x) c[x * 4 + 3] = a[x * 4];
    }
    colour.UnlockRect(0);
    alpha.UnlockRect(0);
}

std::unique_ptr<gfx::Texture> DarkenedBackBuffer(gfx::Device& device, unsigned keep)
{
    const std::vector<std::uint32_t> pixels = device.ReadBackBuffer();
    std::unique_ptr<gfx::Texture> texture;
    if (device.CreateTexture(gfx::kBackBufferWidth, gfx::kBackBufferHeight, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                             &texture) != S_OK)
        return nullptr;
    D3DLOCKED_RECT locked{};
    if (texture->LockRect(0, &locked, nullptr, 0) != S_OK) return nullptr;
    for (int y = 0; y < gfx::kBackBufferHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < gfx::kBackBufferWidth; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * gfx::kBackBufferWidth + x];
            const auto shade = [p, keep](int shift) { return (((p >> shift) & 0xFFu) * keep / 256u) << shift; };
            row[x] = 0xFF000000u | shade(16) | shade(8) | shade(0);
        }
    }
    texture->UnlockRect(0);
    return texture;
}

}  // namespace D3Dfunc
