#include "imaging/image.h"

#include <cstring>

#include "imaging/image_codecs.h"

namespace imaging {

namespace detail {
bool SizeAllowed(ImageFileFormat format, std::uint64_t width, std::uint64_t height, std::string* error)
{
    if (width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide &&
        width * height <= kMaxImagePixels)
        return true;
    SetError(error, std::string(ImageFileFormatName(format)) + " picture size " + std::to_string(width) + " x " +
                        std::to_string(height) + " is out of range (1 to " + std::to_string(kMaxImageSide) +
                        " pixels a side, at most " + std::to_string(kMaxImagePixels) + " pixels)");
    return false;
}
}  // namespace detail

ImageFileFormat DetectImageFormat(const std::uint8_t* data, std::size_t size)
{
    static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (data == nullptr) return ImageFileFormat::Unknown;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return ImageFileFormat::Jpeg;
    if (size >= 8 && std::memcmp(data, kPng, 8) == 0) return ImageFileFormat::Png;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return ImageFileFormat::Bmp;
    return ImageFileFormat::Unknown;
}

const char* ImageFileFormatName(ImageFileFormat format)
{
    switch (format) {
    case ImageFileFormat::Bmp: return "BMP";
    case ImageFileFormat::Jpeg: return "JPEG";
    case ImageFileFormat::Png: return "PNG";
    case ImageFileFormat::Unknown: break;
    }
    return "unknown";
}

bool DecodeImage(const std::uint8_t* data, std::size_t size, Image* out, std::string* error)
{
    Image decoded;
    bool ok = false;
    switch (DetectImageFormat(data, size)) {
    case ImageFileFormat::Jpeg: {
        detail::ImageDestination destination(&decoded);
        ok = detail::DecodeJpeg(data, size, &destination, error);
        break;
    }
    case ImageFileFormat::Png: ok = detail::DecodePng(data, size, &decoded, error); break;
    case ImageFileFormat::Bmp: ok = detail::DecodeBmp(data, size, &decoded, error); break;
    case ImageFileFormat::Unknown:
        detail::SetError(error, "not a JPEG, PNG or BMP file (unrecognised first bytes)");
        return false;
    }
    if (ok) *out = std::move(decoded);
    return ok;
}

namespace {
// Caller memory of a fixed size; any other picture size is refused.
class FixedDestination final : public detail::PixelDestination {
public:
    FixedDestination(int width, int height, std::uint8_t* target, std::ptrdiff_t pitch)
        : c_iWidth(width), c_iHeight(height), c_pTarget(target), c_pitch(pitch)
    {
    }
    std::uint8_t* Prepare(int width, int height, std::ptrdiff_t* pitch) override
    {
        if (width != c_iWidth || height != c_iHeight) return nullptr;
        *pitch = c_pitch;
        return c_pTarget;
    }

private:
    int c_iWidth, c_iHeight;
    std::uint8_t* c_pTarget;
    std::ptrdiff_t c_pitch;
};
}  // namespace

bool DecodeImageInto(const std::uint8_t* data, std::size_t size, int width, int height,
                     std::uint8_t* target, std::ptrdiff_t pitch, std::string* error)
{
    if (DetectImageFormat(data, size) == ImageFileFormat::Jpeg) {
        FixedDestination destination(width, height, target, pitch);
        return detail::DecodeJpeg(data, size, &destination, error);
    }
    Image decoded;
    if (!DecodeImage(data, size, &decoded, error)) return false;
    if (decoded.width != width || decoded.height != height) {
        detail::SetError(error, "picture is " + std::to_string(decoded.width) + " x " +
                                    std::to_string(decoded.height) + ", not the size expected");
        return false;
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(target + y * pitch, decoded.Row(y), static_cast<std::size_t>(width) * 4);
    return true;
}

bool ReadImageInfo(const std::uint8_t* data, std::size_t size, ImageInfo* out, std::string* error)
{
    ImageInfo header;
    bool ok = false;
    switch (DetectImageFormat(data, size)) {
    case ImageFileFormat::Jpeg: ok = detail::ReadJpegInfo(data, size, &header, error); break;
    case ImageFileFormat::Png: ok = detail::ReadPngInfo(data, size, &header, error); break;
    case ImageFileFormat::Bmp: ok = detail::ReadBmpInfo(data, size, &header, error); break;
    case ImageFileFormat::Unknown:
        detail::SetError(error, "not a JPEG, PNG or BMP file (unrecognised first bytes)");
        return false;
    }
    // Callers size textures and surfaces from the header: it must pass the decoders' limit.
    if (!ok || !detail::SizeAllowed(header.format, static_cast<std::uint32_t>(header.width),
                                    static_cast<std::uint32_t>(header.height), error))
        return false;
    *out = header;
    return true;
}

}  // namespace imaging
