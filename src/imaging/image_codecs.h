// The per-format decoders behind DecodeImage / ReadImageInfo. Local to imaging/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging/image.h"

namespace imaging::detail {

// Where a decoder puts its rows: told the picture's size once it is known, it returns the
// first row and the pitch, or null to refuse that size.
class PixelDestination {
public:
    virtual std::uint8_t* Prepare(int width, int height, std::ptrdiff_t* pitch) = 0;

protected:
    ~PixelDestination() = default;
};

// A destination that is a new Image.
class ImageDestination final : public PixelDestination {
public:
    explicit ImageDestination(Image* image) : c_pImage(image) {}
    std::uint8_t* Prepare(int width, int height, std::ptrdiff_t* pitch) override
    {
        c_pImage->width = width;
        c_pImage->height = height;
        c_pImage->pixels.resize(static_cast<std::size_t>(width) * height * 4);
        *pitch = static_cast<std::ptrdiff_t>(width) * 4;
        return c_pImage->pixels.data();
    }

private:
    Image* c_pImage;
};

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, PixelDestination* out, std::string* error);
bool ReadJpegInfo(const std::uint8_t* data, std::size_t size, ImageInfo* out, std::string* error);

bool DecodePng(const std::uint8_t* data, std::size_t size, Image* out, std::string* error);
bool ReadPngInfo(const std::uint8_t* data, std::size_t size, ImageInfo* out, std::string* error);

bool DecodeBmp(const std::uint8_t* data, std::size_t size, Image* out, std::string* error);
bool ReadBmpInfo(const std::uint8_t* data, std::size_t size, ImageInfo* out, std::string* error);

// Whether a picture of this size may be decoded; if not, `error` says so, naming the format.
bool SizeAllowed(ImageFileFormat format, std::uint64_t width, std::uint64_t height, std::string* error);

inline void SetError(std::string* error, const std::string& text)
{
    if (error) *error = text;
}

}  // namespace imaging::detail
