// Shared set-up for display tests that load the game's image files: the harness's headless
// device installed as D3Dfunc::pD3Ddevice, and a temporary folder to write plain and
// scrambled image files into.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "display/d3dfunc.h"
#include "imaging/image.h"
#include "imaging/scrambled.h"
#include "support/harness.h"

namespace kt {

class DisplayTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        D3Dfunc::pD3Ddevice = &device;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        c_folder = std::filesystem::temp_directory_path() /
                   ("kelvane-display-" + std::string(info->test_suite_name()) + "-" + info->name());
        std::filesystem::create_directories(c_folder);
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(c_folder, ignored);
    }

    // Writes `bytes` as a file in the test's folder and returns its path.
    std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        const std::string path = (c_folder / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    // Writes the image file scrambled with `offset`, as the game's ".enc" files are.
    std::string WriteScrambled(const std::string& name, const std::vector<std::uint8_t>& image, int offset) const
    {
        return WriteFile(name, imaging::RotateImageBytes(image, static_cast<std::size_t>(offset)));
    }

    std::filesystem::path c_folder;
};

// A picture with a distinct colour in each quadrant (red top-left, green top-right, blue
// bottom-left, white bottom-right), so that corners and edges show where the picture went.
inline imaging::Image QuadrantPicture(int width, int height)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.Row(y) + x * 4;
            const bool right = x >= width / 2, bottom = y >= height / 2;
            p[0] = bottom ? 255 : 0;
            p[1] = right ? 255 : 0;
            p[2] = right == bottom ? 255 : 0;
            p[3] = 255;
        }
    return image;
}

// Texel (x, y) of a locked 32-bit region as 0xAARRGGBB.
inline std::uint32_t TexelAt(const D3DLOCKED_RECT& locked, int x, int y)
{
    const auto* p = static_cast<const std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(y) * locked.Pitch + x * 4;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace kt
