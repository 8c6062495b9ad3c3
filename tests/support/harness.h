// The headless test harness: one window and graphics device per test process, reading the
// back buffer, saving frames as PNG to look at, colour comparisons with a tolerance, and the
// manual clock. Run tests with SDL_VIDEODRIVER=offscreen (ctest sets it).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/device.h"
#include "platform/window/window.h"

namespace kt {

// The process's one headless window (800 x 600, not full screen), created on first use and
// set as the main window. Aborts the test program with the reason if no window can be made.
platform::Window& GetWindow();
// The process's one device on that window, created on first use (aborts with the reason if
// it cannot be). Both live until the process exits.
gfx::Device& GetDevice();
// Puts the shared device back into its start-up state (every state, material, transform,
// viewport, no texture or stream bound) and clears target, depth and stencil to opaque black.
void ResetDevice();

// The back buffer: 800 x 600 pixels 0xAARRGGBB, top row first.
std::vector<std::uint32_t> ReadBack();
inline std::uint32_t PixelAt(const std::vector<std::uint32_t>& pixels, int x, int y, int width = gfx::kBackBufferWidth)
{
    return pixels[static_cast<size_t>(y) * width + x];
}

// Writes 0xAARRGGBB pixels, top row first, as an RGBA PNG. False (with a message on stderr)
// when the file cannot be written.
bool SavePng(const std::vector<std::uint32_t>& pixels, int width, int height, const std::string& path);

// Whether every channel (A, R, G, B) of `actual` is within `tolerance` of `expected`;
// the failure message shows both colours in hex.
::testing::AssertionResult ColorNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 2);
// ColorNear for the back-buffer pixel (x, y); the message names the pixel.
::testing::AssertionResult PixelNear(const std::vector<std::uint32_t>& pixels, int x, int y,
                                     std::uint32_t expected, int tolerance = 2);
// Every pixel of the rectangle [left, right) x [top, bottom) is near `expected`; the message
// names the first pixel that is not and how many differ.
::testing::AssertionResult RegionNear(const std::vector<std::uint32_t>& pixels, RECT rect,
                                      std::uint32_t expected, int tolerance = 2);

// Switches to the manual clock for the scope's lifetime, starting at `startMs` and stepping
// `stepPerPresentMs` at each Present; the destructor restores the real clock (and no step).
class ManualClockScope {
public:
    explicit ManualClockScope(std::uint32_t startMs = 0, std::uint32_t stepPerPresentMs = 0);
    ~ManualClockScope();
    ManualClockScope(const ManualClockScope&) = delete;
    ManualClockScope& operator=(const ManualClockScope&) = delete;
};

// A fixture for drawing tests: the shared device, reset before each case.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override { ResetDevice(); }
    gfx::Device& device = GetDevice();
};

}  // namespace kt
