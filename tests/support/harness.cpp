#include "support/harness.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/clock/clock.h"

namespace kt {

namespace {

struct Shared {
    std::unique_ptr<platform::Window> window;
    std::unique_ptr<gfx::Device> device;
};

// Never destroyed: textures held by static objects of other tests may outlive main().
Shared& TheShared()
{
    static Shared* shared = new Shared;
    return *shared;
}

[[noreturn]] void Abort(const std::string& what)
{
    std::fprintf(stderr, "test harness: %s\n", what.c_str());
    std::abort();
}

}  // namespace

platform::Window& GetWindow()
{
    Shared& shared = TheShared();
    if (!shared.window) {
        std::string error;
        shared.window = platform::Window::Create("Kelvane tests", gfx::kBackBufferWidth, gfx::kBackBufferHeight,
                                                 false, &error);
        if (!shared.window) Abort("no window (is SDL_VIDEODRIVER=offscreen set?): " + error);
        platform::SetMainWindow(shared.window.get());
    }
    return *shared.window;
}

gfx::Device& GetDevice()
{
    Shared& shared = TheShared();
    if (!shared.device) {
        std::string error;
        shared.device = gfx::Device::Create(GetWindow(), &error);
        if (!shared.device) Abort("no graphics device: " + error);
    }
    return *shared.device;
}

void ResetDevice()
{
    gfx::Device& device = GetDevice();
    device.ResetStateForTesting();
    device.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000u, 1.0f, 0);
}

std::vector<std::uint32_t> ReadBack() { return GetDevice().ReadBackBuffer(); }

bool SavePng(const std::vector<std::uint32_t>& pixels, int width, int height, const std::string& path)
{
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height) {
        std::fprintf(stderr, "SavePng %s: %zu pixels do not make %d x %d\n", path.c_str(), pixels.size(), width,
                     height);
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) {
        std::fprintf(stderr, "SavePng: cannot open %s for writing\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(width) * 4);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fprintf(stderr, "SavePng: libpng failed writing %s\n", path.c_str());
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            row[x * 4 + 0] = static_cast<png_byte>(p >> 16);
            row[x * 4 + 1] = static_cast<png_byte>(p >> 8);
            row[x * 4 + 2] = static_cast<png_byte>(p);
            row[x * 4 + 3] = static_cast<png_byte>(p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

namespace {
int ChannelDistance(std::uint32_t a, std::uint32_t b)
{
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        worst = std::max(worst, d);
    }
    return worst;
}

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}
}  // namespace

::testing::AssertionResult ColorNear(std::uint32_t actual, std::uint32_t expected, int tolerance)
{
    if (ChannelDistance(actual, expected) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "colour " << Hex(actual) << ", expected " << Hex(expected)
                                         << " within " << tolerance << " per channel";
}

::testing::AssertionResult PixelNear(const std::vector<std::uint32_t>& pixels, int x, int y, std::uint32_t expected,
                                     int tolerance)
{
    const std::uint32_t actual = PixelAt(pixels, x, y);
    if (ChannelDistance(actual, expected) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << Hex(actual) << ", expected "
                                         << Hex(expected) << " within " << tolerance << " per channel";
}

::testing::AssertionResult RegionNear(const std::vector<std::uint32_t>& pixels, RECT rect, std::uint32_t expected,
                                      int tolerance)
{
    int differing = 0;
    int firstX = -1;
    int firstY = -1;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            if (ChannelDistance(PixelAt(pixels, x, y), expected) <= tolerance) continue;
            if (differing++ == 0) {
                firstX = x;
                firstY = y;
            }
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels of (" << rect.left << ", " << rect.top << ")-("
                                         << rect.right << ", " << rect.bottom << ") differ from " << Hex(expected)
                                         << "; the first, (" << firstX << ", " << firstY << "), is "
                                         << Hex(PixelAt(pixels, firstX, firstY));
}

ManualClockScope::ManualClockScope(std::uint32_t startMs, std::uint32_t stepPerPresentMs)
{
    platform::UseManualClock(startMs);
    platform::SetClockStepPerPresent(stepPerPresentMs);
}

ManualClockScope::~ManualClockScope()
{
    platform::SetClockStepPerPresent(0);
    platform::UseRealClock();
}

}  // namespace kt
