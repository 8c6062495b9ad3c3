// Image files held in memory: recognising, decoding (JPEG, PNG, BMP) into 32-bit pixels,
// resampling with a triangle filter, and encoding for the game's own tools and tests.
// Depends on core only; the file decoders (libjpeg-turbo, libpng) stay inside imaging/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace imaging {

// Largest side and pixel count a picture may declare: files claiming more are refused from
// their header, before anything is allocated or decoded for them. 16 Mi pixels are 64 MiB of
// decoded pixels; its texture, each side rounded up to a power of two, at most 256 MiB.
constexpr int kMaxImageSide = 16384;
constexpr std::uint64_t kMaxImagePixels = 16ull * 1024 * 1024;

enum class ImageFileFormat { Unknown, Bmp, Jpeg, Png };

// A decoded picture: `width` x `height` pixels, 4 bytes each in memory order B, G, R, A
// (the A8R8G8B8 layout), top row first, rows packed (pitch = width * 4).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    std::uint8_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width * 4; }
    const std::uint8_t* Row(int y) const
    {
        return pixels.data() + static_cast<std::size_t>(y) * width * 4;
    }
};

// What a file says about itself without decoding its pixels.
struct ImageInfo {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;  // the file carries an alpha channel or transparency
    ImageFileFormat format = ImageFileFormat::Unknown;
};

// Recognises the file format from the first bytes (never from a file name).
ImageFileFormat DetectImageFormat(const std::uint8_t* data, std::size_t size);
const char* ImageFileFormatName(ImageFileFormat format);

// Decodes a whole image file. Alpha is 255 where the file has none; PNG gamma chunks are
// ignored (pixels as stored); CMYK/YCCK JPEGs come out as RGB. Any damage the decoder
// notices, warnings included, is a failure: returns false with `error` saying why.
bool DecodeImage(const std::uint8_t* data, std::size_t size, Image* out, std::string* error);

// Decodes straight into caller memory: `width` x `height` B, G, R, A pixels whose rows lie
// `pitch` bytes apart from `target`. Fails (as DecodeImage does) if the picture is not exactly
// that size. On failure the target may hold part of a picture. JPEG rows are written in place;
// other formats pass through a temporary picture.
bool DecodeImageInto(const std::uint8_t* data, std::size_t size, int width, int height,
                     std::uint8_t* target, std::ptrdiff_t pitch, std::string* error);

// Reads the size (and whether there is alpha) from the file's header. False with `error`
// set when the header is not a readable image header or declares a size beyond the limits
// above (the same check every decoder makes).
bool ReadImageInfo(const std::uint8_t* data, std::size_t size, ImageInfo* out, std::string* error);

// Scales `src` to `dstWidth` x `dstHeight` with a triangle (tent) filter, separable, edges
// clamped, into `dst` whose rows lie `dstPitch` bytes apart. Sample centres map so that the
// whole source spans the whole destination (corner pixels land on corner pixels).
void ResampleTriangle(const Image& src, int dstWidth, int dstHeight, std::uint8_t* dst,
                      std::ptrdiff_t dstPitch);

// Encoders for the game's tools and tests. PNG keeps alpha (8-bit RGBA); JPEG drops it
// (quality 1..100, 4:2:0 chroma). Both throw Error if the encoder fails.
std::vector<std::uint8_t> EncodePng(const Image& image);
std::vector<std::uint8_t> EncodeJpeg(const Image& image, int quality);

}  // namespace imaging
