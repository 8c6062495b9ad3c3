// Small image files written in the tests themselves: bitmaps byte by byte, PNG and JPEG
// variants through libpng and libjpeg directly (the colour types our encoders never write).
#pragma once

#include <cstdint>
#include <vector>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>
#include <png.h>

#include "imaging/image.h"

namespace kt::images {

// A bitmap file with a 40-byte header. `pixelData` is stored as given (padded or run-length
// coded by the test); the palette holds 0x00RRGGBB entries.
struct BmpSpec {
    int width = 0;
    int height = 0;  // positive; `topDown` stores it negated
    int bitsPerPixel = 24;
    int compression = 0;
    bool topDown = false;
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> pixelData;
};


// A picture whose pixels all differ: B = 3x + y, G = 5y + x, R = 255 - x - y.
inline imaging::Image Pattern(int width, int height, std::uint8_t alpha = 255)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.Row(y) + x * 4;
            p[0] = static_cast<std::uint8_t>(3 * x + y);
            p[1] = static_cast<std::uint8_t>(5 * y + x);
            p[2] = static_cast<std::uint8_t>(255 - x - y);
            p[3] = alpha;
        }
    return image;
}

inline imaging::Image Flat(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r,
                    std::uint8_t a = 255)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = b;
        image.pixels[i + 1] = g;
        image.pixels[i + 2] = r;
        image.pixels[i + 3] = a;
    }
    return image;
}

// 0xAARRGGBB
inline std::uint32_t PixelAt(const imaging::Image& image, int x, int y)
{
    const std::uint8_t* p = image.Row(y) + x * 4;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

namespace detail {
inline void Put16(std::vector<std::uint8_t>* out, std::uint32_t v)
{
    out->push_back(v & 0xFF);
    out->push_back((v >> 8) & 0xFF);
}
inline void Put32(std::vector<std::uint8_t>* out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
}  // namespace detail

inline std::vector<std::uint8_t> WriteBmp(const BmpSpec& layout)
{
    const std::uint32_t paletteBytes = static_cast<std::uint32_t>(layout.palette.size()) * 4;
    const std::uint32_t offset = 14 + 40 + paletteBytes;
    std::vector<std::uint8_t> out{'B', 'M'};
    detail::Put32(&out, offset + static_cast<std::uint32_t>(layout.pixelData.size()));
    detail::Put32(&out, 0);
    detail::Put32(&out, offset);
    detail::Put32(&out, 40);
    detail::Put32(&out, static_cast<std::uint32_t>(layout.width));
    detail::Put32(&out, static_cast<std::uint32_t>(layout.topDown ? -layout.height : layout.height));
    detail::Put16(&out, 1);
    detail::Put16(&out, static_cast<std::uint32_t>(layout.bitsPerPixel));
    detail::Put32(&out, static_cast<std::uint32_t>(layout.compression));
    detail::Put32(&out, static_cast<std::uint32_t>(layout.pixelData.size()));
    detail::Put32(&out, 2835);
    detail::Put32(&out, 2835);
    detail::Put32(&out, static_cast<std::uint32_t>(layout.palette.size()));
    detail::Put32(&out, 0);
    for (std::uint32_t c : layout.palette) detail::Put32(&out, c);
    out.insert(out.end(), layout.pixelData.begin(), layout.pixelData.end());
    return out;
}

namespace detail {
inline void AppendPng(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
}  // namespace detail

// A PNG through libpng: `samples` holds width x height x channels values in row order
// (0..65535 at 16 bits); palette entries are 0x00RRGGBB.
inline std::vector<std::uint8_t> WritePngRaw(int width, int height, int colourType, int bitDepth,
                                      const std::vector<int>& samples, bool interlaced,
                                      const std::vector<std::uint32_t>& palette = {},
                                      double gamma = 0.0)
{
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("test PNG writer failed");
    }
    png_set_write_fn(png, &out, detail::AppendPng, nullptr);
    png_set_IHDR(png, info, width, height, bitDepth, colourType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> entries;
    for (std::uint32_t c : palette)
        entries.push_back(png_color{static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                                    static_cast<png_byte>(c)});
    if (!entries.empty()) png_set_PLTE(png, info, entries.data(), static_cast<int>(entries.size()));
    if (gamma > 0.0) png_set_gAMA(png, info, gamma);
    png_write_info(png, info);

    const int channels = samples.size() / (static_cast<std::size_t>(width) * height);
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * channels * bitDepth + 7) / 8;
    std::vector<std::uint8_t> packed(rowBytes * height, 0);
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < width * channels; ++i) {
            const int v = samples[static_cast<std::size_t>(y) * width * channels + i];
            std::uint8_t* row = &packed[y * rowBytes];
            if (bitDepth == 16) {
                row[i * 2] = static_cast<std::uint8_t>(v >> 8);
                row[i * 2 + 1] = static_cast<std::uint8_t>(v);
            } else if (bitDepth == 8) {
                row[i] = static_cast<std::uint8_t>(v);
            } else {
                const int bit = i * bitDepth;
                row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - bitDepth - bit % 8));
            }
        }
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y) rows[y] = &packed[y * rowBytes];
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A JPEG of 1 (grey) or 4 (CMYK, libjpeg adds the Adobe marker) components.
inline std::vector<std::uint8_t> WriteJpegRaw(int width, int height, int components,
                                       const std::vector<std::uint8_t>& samples)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&samples[cinfo.next_scanline * width * components]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// The same file with its header declaring `width` x `height` pixels and its pixel data left
// as it was: the small files that claim huge pictures. JPEG: the first start-of-frame; PNG:
// IHDR, its checksum recomputed so that only the size is wrong.
inline std::vector<std::uint8_t> WithDeclaredSize(std::vector<std::uint8_t> file, std::uint32_t width,
                                                  std::uint32_t height)
{
    const auto put16 = [&](std::size_t at, std::uint32_t v) {
        file.at(at) = static_cast<std::uint8_t>(v >> 8);
        file.at(at + 1) = static_cast<std::uint8_t>(v);
    };
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v >> 16);
        put16(at + 2, v & 0xFFFF);
    };
    if (file.size() > 8 && file[0] == 0x89) {
        put32(16, width);
        put32(20, height);
        std::uint32_t crc = 0xFFFFFFFFu;  // over the chunk type and data, bytes 12 .. 28
        for (std::size_t i = 12; i < 29; ++i) {
            crc ^= file[i];
            for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        put32(29, ~crc);
        return file;
    }
    for (std::size_t i = 2; i + 8 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {  // marker, length, precision, height, width
            put16(i + 5, height);
            put16(i + 7, width);
            return file;
        }
    }
    throw std::runtime_error("WithDeclaredSize: no PNG header or JPEG frame header found");
}

}  // namespace kt::images
