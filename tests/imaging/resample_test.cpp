// The triangle-filter resampler that makes pictures fill power-of-two textures.
#include "imaging/image.h"

#include <gtest/gtest.h>

#include "image_files.h"

using imaging::Image;

namespace {

Image Resampled(const Image& src, int width, int height)
{
    Image out;
    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    imaging::ResampleTriangle(src, width, height, out.pixels.data(), width * 4);
    return out;
}

// Four flat quadrants: red top-left, green top-right, blue bottom-left, white bottom-right.
Image Quadrants(int width, int height)
{
    Image image = kt::images::Flat(width, height, 0, 0, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.Row(y) + x * 4;
            const bool right = x >= width / 2, bottom = y >= height / 2;
            p[2] = (!right && !bottom) || (right && bottom) ? 255 : 0;
            p[1] = right ? 255 : 0;
            p[0] = bottom ? 255 : 0;
        }
    return image;
}

}  // namespace

TEST(ResampleTriangle, SameSizeIsAnExactCopy)
{
    const Image src = kt::images::Pattern(33, 17, 99);
    EXPECT_EQ(Resampled(src, 33, 17).pixels, src.pixels);
}

TEST(ResampleTriangle, UpscaleKeepsTheWholePictureCornerToCorner)
{
    // 800 x 600 into 1024 x 1024: each corner of the result shows the matching quadrant, and
    // the quadrant borders land in the middle of the texture.
    const Image out = Resampled(Quadrants(800, 600), 1024, 1024);
    EXPECT_EQ(kt::images::PixelAt(out, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(kt::images::PixelAt(out, 1023, 0), 0xFF00FF00u);
    EXPECT_EQ(kt::images::PixelAt(out, 0, 1023), 0xFF0000FFu);
    EXPECT_EQ(kt::images::PixelAt(out, 1023, 1023), 0xFFFFFFFFu);
    EXPECT_EQ(kt::images::PixelAt(out, 505, 505), 0xFFFF0000u);
    EXPECT_EQ(kt::images::PixelAt(out, 518, 505), 0xFF00FF00u);
    EXPECT_EQ(kt::images::PixelAt(out, 505, 518), 0xFF0000FFu);
}

TEST(ResampleTriangle, FlatStaysFlatAndStripesAverageWhenShrinking)
{
    const Image flat = Resampled(kt::images::Flat(300, 70, 12, 34, 56, 78), 256, 128);
    for (std::size_t i = 0; i < flat.pixels.size(); i += 4)
        ASSERT_EQ(kt::images::PixelAt(flat, static_cast<int>(i / 4 % 256), static_cast<int>(i / 4 / 256)),
                  0x4E38220Cu);

    // Alternating black and white columns halved: every column is mid-grey.
    Image stripes = kt::images::Flat(64, 4, 0, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 1; x < 64; x += 2) std::fill_n(stripes.Row(y) + x * 4, 3, 255);
    const Image half = Resampled(stripes, 32, 4);
    for (int x = 1; x < 31; ++x) EXPECT_NEAR(half.Row(2)[x * 4], 128, 2) << "column " << x;
}

TEST(ResampleTriangle, GradientStaysMonotoneAndWritesOnlyInsideThePitch)
{
    Image ramp = kt::images::Flat(50, 1, 0, 0, 0);
    for (int x = 0; x < 50; ++x) ramp.Row(0)[x * 4] = static_cast<std::uint8_t>(x * 5);
    const int width = 128, pitch = width * 4 + 16;
    std::vector<std::uint8_t> target(static_cast<std::size_t>(pitch) * 3, 0xAB);
    imaging::ResampleTriangle(ramp, width, 3, target.data(), pitch);
    for (int y = 0; y < 3; ++y) {
        const std::uint8_t* row = target.data() + y * pitch;
        EXPECT_EQ(row[0], 0);
        EXPECT_EQ(row[(width - 1) * 4], 245);
        for (int x = 1; x < width; ++x) ASSERT_GE(row[x * 4], row[(x - 1) * 4]) << "x " << x;
        for (int i = width * 4; i < pitch; ++i) ASSERT_EQ(row[i], 0xAB) << "padding byte " << i;
    }
}
