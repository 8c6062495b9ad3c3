// Shared set-up for the tests of the screen-space drawing classes: the headless device as the
// game's device, images written as PNG files into a temporary directory, colour checks.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display/d3dfunc.h"
#include "display/d3dmat.h"
#include "imaging/image.h"
#include "display_fixture.h"
#include "support/harness.h"

namespace screen_space {

using Frame = std::vector<std::uint32_t>;
using PixelFunction = std::function<std::uint32_t(int x, int y)>;  // 0xAARRGGBB

constexpr std::uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;

// `share` of opaque colour `a` over `b`.
inline std::uint32_t Mix(std::uint32_t a, std::uint32_t b, float share)
{
    std::uint32_t out = 0xFF000000u;
    for (int shift : {0, 8, 16}) {
        const float c = ((a >> shift) & 0xFF) * share + ((b >> shift) & 0xFF) * (1.0f - share);
        out |= static_cast<std::uint32_t>(c + 0.5f) << shift;
    }
    return out;
}

// Every pixel of [left, right) x [top, bottom) within `tolerance` of `expected` in red, green
// and blue (blending leaves the back buffer's alpha at values nothing relies on).
inline ::testing::AssertionResult RegionRgb(const Frame& frame, RECT r, std::uint32_t expected, int tolerance = 3)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const std::uint32_t c = kt::PixelAt(frame, x, y);
            for (int shift : {0, 8, 16})
                if (std::abs(int((c >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance)
                    return ::testing::AssertionFailure() << std::hex << "pixel (" << std::dec << x << ", " << y
                                                         << ") is " << std::hex << (c & 0xFFFFFF) << ", expected "
                                                         << (expected & 0xFFFFFF);
        }
    return ::testing::AssertionSuccess();
}
inline ::testing::AssertionResult RgbNear(std::uint32_t colour, std::uint32_t expected, int tolerance = 3)
{
    return RegionRgb(Frame{colour}, RECT{0, 0, 1, 1}, expected, tolerance);
}
inline ::testing::AssertionResult PixelRgb(const Frame& frame, int x, int y, std::uint32_t expected, int tolerance = 3)
{
    return RegionRgb(frame, RECT{x, y, x + 1, y + 1}, expected, tolerance);
}

// A managed A8R8G8B8 texture filled in place, for tests that need no file.
inline std::unique_ptr<gfx::Texture> MakeTexture(gfx::Device& device, int width, int height, const PixelFunction& pixel)
{
    std::unique_ptr<gfx::Texture> texture;
    device.CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = pixel(x, y);
    texture->UnlockRect(0);
    return texture;
}

// The shared device as D3Dfunc's device with the game's start-up states and white material,
// image files written into the test's folder, and whole frames drawn and read back.
class GameDeviceTest : public kt::DisplayTest {
protected:
    // Set before the test's members are built: the game's objects take D3Dfunc's device then.
    GameDeviceTest() { D3Dfunc::pD3Ddevice = &device; }
    void SetUp() override
    {
        kt::DisplayTest::SetUp();
        D3Dfunc::WhiteMaterial = D3Dmat();
        for (auto state : {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER}) device.SetSamplerState(0, state, D3DTEXF_LINEAR);
        for (auto state : {D3DSAMP_ADDRESSU, D3DSAMP_ADDRESSV}) device.SetSamplerState(0, state, D3DTADDRESS_MIRROR);
    }

    // Writes a PNG whose pixel (x, y) is pixel(x, y), scrambled with `offset`; returns its path.
    std::string WriteImage(const std::string& name, int width, int height, const PixelFunction& pixel, int offset = 0)
    {
        imaging::Image image{width, height, std::vector<std::uint8_t>(static_cast<size_t>(width) * height * 4)};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int byte = 0; byte < 4; ++byte) image.Row(y)[x * 4 + byte] = std::uint8_t(pixel(x, y) >> (8 * byte));
        return WriteScrambled(name, imaging::EncodePng(image), offset);
    }
    std::string WriteSolid(const std::string& name, int width, int height, std::uint32_t colour, int offset = 0)
    {
        return WriteImage(name, width, height, [colour](int, int) { return colour; }, offset);
    }

    // Clears the whole target to `colour`, draws inside a scene, reads the frame back; with a
    // name, also saves it as <temp>/kelvane-frames/<name>.png for a person to look at.
    Frame DrawFrame(const std::function<void()>& draw, std::uint32_t colour = kBlack, const char* name = nullptr)
    {
        device.SetViewport(D3DVIEWPORT9{0, 0, 800, 600, 0.0f, 1.0f});
        device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
        device.BeginScene();
        draw();
        device.EndScene();
        Frame frame = kt::ReadBack();
        if (name != nullptr) {
            const auto folder = std::filesystem::temp_directory_path() / "kelvane-frames";
            std::filesystem::create_directories(folder);
            kt::SavePng(frame, 800, 600, (folder / (std::string(name) + ".png")).string());
        }
        return frame;
    }
};

}  // namespace screen_space
