// What the loading benchmarks share: a textured test picture that compresses like a real scene,
// and the baseline they compare against, libjpeg-turbo decoding a JPEG held in memory straight
// to RGB rows with nothing else around it.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "imaging/image.h"

// Rings, gradients and a little noise from `seed`: neither flat nor random, like a picture.
inline imaging::Image ProceduralPicture(int width, int height, unsigned seed = 12345)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    unsigned noise = seed;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const double ring = std::sin(std::hypot(x - width * 0.3, y - height * 0.6) * 0.05);
            std::uint8_t* p = image.Row(y) + x * 4;
            p[0] = static_cast<std::uint8_t>(128 + 100 * ring + (noise >> 28));
            p[1] = static_cast<std::uint8_t>((x * 255 / width + (noise >> 27)) & 0xFF);
            p[2] = static_cast<std::uint8_t>((y * 255 / height + 40 * std::sin(x * 0.02)) * 0.8);
            p[3] = 255;
        }
    }
    return image;
}

inline void PlainDecode(const std::vector<std::uint8_t>& jpeg, std::vector<std::uint8_t>* rgb)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const std::size_t stride = static_cast<std::size_t>(cinfo.output_width) * 3;
    rgb->resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = rgb->data() + cinfo.output_scanline * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}
