// Windows bitmaps, by our own code: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or
// with channel masks, and 8-bit and 4-bit run-length coding; bottom-up and top-down rows.
// Every read is checked against the file's length.
#include <algorithm>
#include <bit>
#include <cstring>

#include "imaging/image_codecs.h"

namespace imaging::detail {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMaxHeaderSize = 1024;
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

std::uint32_t U16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// One colour channel given by a bit mask, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t maximum = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m)
    {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        maximum = (std::uint64_t{1} << std::bit_width(mask >> shift)) - 1;
    }
    std::uint8_t Read(std::uint32_t pixel, std::uint8_t absent) const
    {
        if (mask == 0) return absent;
        const std::uint64_t value = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((value * 255 + maximum / 2) / maximum);
    }
};

struct BmpHeader {
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kBiRgb;
    std::size_t pixelOffset = 0;
    std::size_t paletteOffset = 0;
    std::size_t paletteEntrySize = 4;
    std::uint32_t paletteCount = 0;
    Channel red, green, blue, alpha;
};

bool Fail(std::string* error, const std::string& text)
{
    SetError(error, "bad BMP file: " + text);
    return false;
}

bool ReadMasks(const std::uint8_t* data, std::size_t size, std::uint32_t headerSize, BmpHeader* h,
               std::string* error)
{
    if (h->compression != kBiBitfields) {
        if (h->bitsPerPixel == 16) {
            h->red = Channel(0x7C00);
            h->green = Channel(0x03E0);
            h->blue = Channel(0x001F);
        } else {
            h->red = Channel(0x00FF0000);
            h->green = Channel(0x0000FF00);
            h->blue = Channel(0x000000FF);
        }
        return true;
    }
    // The masks sit inside a version 2+ header, or follow a 40-byte header.
    const std::size_t at = kFileHeaderSize + kInfoHeaderSize;
    const std::size_t count = headerSize >= 56 ? 4 : 3;
    if (at + count * 4 > size) return Fail(error, "channel masks missing");
    h->red = Channel(U32(data + at));
    h->green = Channel(U32(data + at + 4));
    h->blue = Channel(U32(data + at + 8));
    if (count == 4) h->alpha = Channel(U32(data + at + 12));
    if (headerSize == kInfoHeaderSize) h->paletteOffset = at + 12;
    return true;
}

bool ParseHeader(const std::uint8_t* data, std::size_t size, BmpHeader* h, std::string* error)
{
    if (size < kFileHeaderSize + 4) return Fail(error, "file shorter than its headers");
    h->pixelOffset = U32(data + 10);
    const std::uint32_t headerSize = U32(data + 14);
    if (headerSize > kMaxHeaderSize || kFileHeaderSize + headerSize > size)
        return Fail(error, "header size " + std::to_string(headerSize) + " out of range");
    const std::uint8_t* p = data + kFileHeaderSize;
    h->paletteOffset = kFileHeaderSize + headerSize;
    if (headerSize == kCoreHeaderSize) {
        h->width = U16(p + 4);
        h->height = U16(p + 6);
        h->bitsPerPixel = U16(p + 10);
        h->paletteEntrySize = 3;
    } else if (headerSize >= kInfoHeaderSize) {
        h->width = static_cast<std::int32_t>(U32(p + 4));
        h->height = static_cast<std::int32_t>(U32(p + 8));
        h->bitsPerPixel = U16(p + 14);
        h->compression = U32(p + 16);
        h->paletteCount = U32(p + 32);
    } else {
        return Fail(error, "unknown header size " + std::to_string(headerSize));
    }
    h->topDown = h->height < 0;
    if (h->topDown) h->height = -h->height;
    if (!SizeAllowed(ImageFileFormat::Bmp, static_cast<std::uint64_t>(std::max<std::int64_t>(h->width, 0)),
                     static_cast<std::uint64_t>(h->height), error))
        return false;

    const std::uint32_t bpp = h->bitsPerPixel;
    const std::uint32_t c = h->compression;
    const bool supported = (c == kBiRgb && (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 ||
                                            bpp == 24 || bpp == 32)) ||
                           (c == kBiRle8 && bpp == 8) || (c == kBiRle4 && bpp == 4) ||
                           (c == kBiBitfields && (bpp == 16 || bpp == 32));
    if (!supported)
        return Fail(error, std::to_string(bpp) + " bits per pixel with compression " +
                               std::to_string(c) + " is not supported");
    if ((c == kBiRle8 || c == kBiRle4) && h->topDown)
        return Fail(error, "run-length coded rows cannot run top-down");

    if (bpp <= 8) {
        const std::uint32_t full = 1u << bpp;
        if (h->paletteCount == 0 || h->paletteCount > full) h->paletteCount = full;
        if (h->paletteOffset + std::size_t{h->paletteCount} * h->paletteEntrySize > size)
            return Fail(error, "colour table extends past the end of the file");
    } else {
        h->paletteCount = 0;  // a colour table beside direct colours is only a hint; unused
        if (!ReadMasks(data, size, headerSize, h, error)) return false;
    }
    if (h->pixelOffset >= size) return Fail(error, "pixel data offset past the end of the file");
    return true;
}

// The colour table as B, G, R, A; indices past its end read black.
std::vector<std::uint32_t> ReadPalette(const std::uint8_t* data, const BmpHeader& h)
{
    std::vector<std::uint32_t> palette(256, 0xFF000000u);
    for (std::uint32_t i = 0; i < h.paletteCount; ++i) {
        const std::uint8_t* e = data + h.paletteOffset + i * h.paletteEntrySize;
        palette[i] = e[0] | (e[1] << 8) | (e[2] << 16) | 0xFF000000u;
    }
    return palette;
}

void PutPixel(Image* image, std::int64_t x, std::int64_t y, std::uint32_t bgra)
{
    std::memcpy(image->Row(static_cast<int>(y)) + x * 4, &bgra, 4);
}

bool DecodeUncompressed(const std::uint8_t* data, std::size_t size, const BmpHeader& h,
                        Image* image, std::string* error)
{
    const std::uint64_t rowBits = static_cast<std::uint64_t>(h.width) * h.bitsPerPixel;
    const std::uint64_t stride = (rowBits + 31) / 32 * 4;
    const std::uint64_t used = (rowBits + 7) / 8;
    // The last row's padding may be missing; its pixels may not.
    if (h.pixelOffset + stride * (h.height - 1) + used > size)
        return Fail(error, "pixel data ends early");
    const auto palette = ReadPalette(data, h);
    const std::uint32_t bpp = h.bitsPerPixel;
    for (std::int64_t r = 0; r < h.height; ++r) {
        const std::uint8_t* row = data + h.pixelOffset + r * stride;
        const std::int64_t y = h.topDown ? r : h.height - 1 - r;
        for (std::int64_t x = 0; x < h.width; ++x) {
            std::uint32_t bgra;
            if (bpp <= 8) {
                const std::uint64_t bit = static_cast<std::uint64_t>(x) * bpp;
                const unsigned index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                bgra = palette[index];
            } else if (bpp == 24) {
                const std::uint8_t* s = row + x * 3;
                bgra = s[0] | (s[1] << 8) | (s[2] << 16) | 0xFF000000u;
            } else {
                const std::uint32_t v = bpp == 16 ? U16(row + x * 2) : U32(row + x * 4);
                bgra = h.blue.Read(v, 0) | (h.green.Read(v, 0) << 8) | (h.red.Read(v, 0) << 16) |
                       (static_cast<std::uint32_t>(h.alpha.Read(v, 255)) << 24);
            }
            PutPixel(image, x, y, bgra);
        }
    }
    return true;
}

// Run-length coded 8-bit or 4-bit rows, bottom-up. Pixels the runs skip stay black; runs
// past a row's end are clipped.
bool DecodeRunLength(const std::uint8_t* data, std::size_t size, const BmpHeader& h,
                     Image* image, std::string* error)
{
    const auto palette = ReadPalette(data, h);
    const bool four = h.compression == kBiRle4;
    std::int64_t x = 0, row = 0;
    std::size_t pos = h.pixelOffset;
    auto put = [&](unsigned index) {
        if (x < h.width && row < h.height) PutPixel(image, x, h.height - 1 - row, palette[index]);
        ++x;
    };
    while (row < h.height) {
        if (size - pos < 2) return Fail(error, "run-length data ends early");
        const unsigned count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(four ? ((i % 2 == 0) ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        if (value == 0) {  // end of row
            x = 0;
            ++row;
        } else if (value == 1) {  // end of picture
            break;
        } else if (value == 2) {  // move right and up
            if (size - pos < 2) return Fail(error, "run-length data ends early");
            x += data[pos];
            row += data[pos + 1];
            pos += 2;
        } else {  // `value` literal indices, padded to an even byte count
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::size_t padded = bytes + (bytes & 1);
            if (size - pos < padded) return Fail(error, "run-length data ends early");
            for (unsigned i = 0; i < value; ++i) {
                const std::uint8_t b = data[pos + (four ? i / 2 : i)];
                put(four ? ((i % 2 == 0) ? b >> 4 : b & 0x0F) : b);
            }
            pos += padded;
        }
    }
    return true;
}

}  // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, Image* out, std::string* error)
{
    BmpHeader h;
    if (!ParseHeader(data, size, &h, error)) return false;
    out->width = static_cast<int>(h.width);
    out->height = static_cast<int>(h.height);
    out->pixels.assign(static_cast<std::size_t>(h.width) * h.height * 4, 0);
    for (std::size_t i = 3; i < out->pixels.size(); i += 4) out->pixels[i] = 255;
    if (h.compression == kBiRle8 || h.compression == kBiRle4)
        return DecodeRunLength(data, size, h, out, error);
    return DecodeUncompressed(data, size, h, out, error);
}

bool ReadBmpInfo(const std::uint8_t* data, std::size_t size, ImageInfo* out, std::string* error)
{
    BmpHeader h;
    if (!ParseHeader(data, size, &h, error)) return false;
    out->width = static_cast<int>(h.width);
    out->height = static_cast<int>(h.height);
    out->hasAlpha = h.alpha.mask != 0;
    out->format = ImageFileFormat::Bmp;
    return true;
}

}  // namespace imaging::detail
