// The game's one graphics device, the all-white material, the scrambled image files (".enc")
// loaded into textures and surfaces, and the pixel copy that composes overlays into a screen
// texture. Free functions in namespace D3Dfunc; everything runs on the main thread.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/d3d_types.h"
#include "platform/gfx/device.h"

namespace platform {
class Window;
}
namespace imaging {
struct Image;
}

namespace D3Dfunc {

// The device every drawing class uses: set by Create, null before Create and after Destroy.
// The device itself is owned here (not by the pointer's users).
extern gfx::Device* pD3Ddevice;
// Diffuse, ambient, specular and emissive all opaque white, power 8; filled by Create.
extern D3DMATERIAL9 WhiteMaterial;

// Creates the device on the game window and sets the game's initial device states (solid
// fill; sampler 0 linear filtering with mirrored addressing). On failure shows the game's
// message box, writes the reason to standard error and returns false. `windowed` is decided
// by the window itself here (it is created full screen or not); kept for the callers.
bool Create(platform::Window& window, bool windowed);
// Releases the device and clears pD3Ddevice. Called once, at shutdown.
void Destroy();

// Reads a scrambled image file and undoes its rotation: image byte i = file byte
// (offset + i) mod L. Raises Error naming the path and the reason if the file cannot be read,
// and naming the file, offset and length if the file is empty or 0 <= offset < L fails.
std::vector<std::uint8_t> ReadEncrypted(const char* path, int offset);

// Reads and unrotates the file and makes a texture of it (A8R8G8B8, one level, power-of-two
// sides, the picture scaled to fill it). Returns true, or raises Error: when the bytes do not
// decode, "Error opening file (in memory) in CreateTextureFromEncrypted()" with FailSafe::Info
// set to "<path>: <the decoder's reason>" (the reason also goes whole to standard error); file
// errors as ReadEncrypted. Requires pD3Ddevice.
bool CreateTextureFromEncrypted(const char* path, int offset, std::unique_ptr<gfx::Texture>* out);
// The same, reusing `*texture` (its pixels and device storage) when it has the size the
// picture needs. On an error `*texture` is released before the Error is raised.
bool LoadTextureFromEncrypted(const char* path, int offset, std::unique_ptr<gfx::Texture>* texture);
// The same into a scratch surface of the picture's exact size (same error text).
bool CreateSurfaceFromEncrypted(const char* path, int offset, std::unique_ptr<gfx::Surface>* out);
// The same into `out`, pixels at the picture's exact size (what the surface would hold), with
// the same errors. Needs no device.
void ReadPictureFromEncrypted(const char* path, int offset, imaging::Image* out);

// How a picture is decoded ahead: as the texture loader would put it into a texture (sides
// rounded up to powers of two, at most the maximum sides given, 0 = no limit; the picture
// scaled to fill it) or at its own size, as a surface holds it.
struct PictureShape {
    bool texture = false;
    UINT maxWidth = 0;
    UINT maxHeight = 0;
};
// The texture shape of `device` (its maximum texture sides).
PictureShape TextureShape(const gfx::Device& device);
// Reads, unrotates and decodes a scrambled file (`path` as on disk, already resolved) in the
// given shape. For threads other than the main one: raises nothing, writes nothing to standard
// error or the error information, uses no device. False with `why` set on any failure; the
// caller that needs the failure reported reads the file again through the loaders above.
bool DecodeEncryptedPicture(const std::string& path, int offset, const PictureShape& shape, imaging::Image* out,
                            std::string* why);
// Puts a picture decoded in the texture shape into `*texture`, reusing it (its pixels and device
// storage) when it has the picture's size, else making a new one. Main thread; requires
// pD3Ddevice. Raises Error if the device cannot make or lock the texture.
void LoadTextureFromPicture(const imaging::Image& picture, std::unique_ptr<gfx::Texture>* texture);

// The back buffer as it stands, copied into a new opaque texture with every colour kept at
// `keep` 256ths of its brightness: the game's last picture, darkened behind a panel drawn over
// it. Null when the device cannot make or lock the texture.
std::unique_ptr<gfx::Texture> DarkenedBackBuffer(gfx::Device& device, unsigned keep);

// A locked region together with its size in pixels, so that copies can stay inside it.
struct LockedRegion {
    D3DLOCKED_RECT rect;
    int width;
    int height;
};

// Copies the colour (blue, green, red bytes) of a width x height block of 32-bit pixels from
// `src` to `dst`, both locked by the caller, top-left corners aligned; the destination's
// alpha bytes stay. The block is clipped to both regions. A region with no pixels or a pitch
// too short for its width raises Error (FailSafe::Info "Error occured in CopyTextures()").
void CopyTextures(const LockedRegion& dst, const LockedRegion& src, int width, int height);
// The simple form for callers that know both regions hold at least width x height pixels.
void CopyTextures(D3DLOCKED_RECT dst, D3DLOCKED_RECT src, int width, int height);

// The device states that decide what a textured quad shows of its texture on stage 0: the
// sampler's filters and addressing and the first two stages' operations. Two draws of the same
// texture over the same pixels under equal states give the same picture, so a copy of what one
// drew can stand in for the next.
using SamplingStates = std::array<DWORD, 12>;
SamplingStates CurrentSamplingStates(const gfx::Device& device);

// The alpha merge: every pixel's alpha byte of `colour` becomes the blue byte of the same
// pixel of `alpha` (grey alpha images: white opaque, black transparent). Both textures are
// locked and unlocked here. Pixels of `colour` outside `alpha` keep their alpha.
void MergeAlpha(gfx::Texture& colour, gfx::Texture& alpha);

}  // namespace D3Dfunc
