#include "shell/screenshot.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "imaging/image.h"
#include "platform/gfx/device.h"

namespace {

constexpr int kMaxScreenshotNumber = 9999;

imaging::Image ToImage(const std::vector<std::uint32_t>& pixels, int width, int height)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < pixels.size() && i * 4 < image.pixels.size(); ++i) {
        const std::uint32_t argb = pixels[i];
        image.pixels[i * 4 + 0] = static_cast<std::uint8_t>(argb);
        image.pixels[i * 4 + 1] = static_cast<std::uint8_t>(argb >> 8);
        image.pixels[i * 4 + 2] = static_cast<std::uint8_t>(argb >> 16);
        image.pixels[i * 4 + 3] = 0xFF;  // the frame as shown: opaque
    }
    return image;
}

// Writes all of `bytes` to a new file; false if the name is taken (errno EEXIST) or on failure.
bool WriteNewFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int saved = errno;
            ::close(fd);
            ::unlink(path.c_str());
            errno = saved == 0 ? EIO : saved;
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0;
}

}  // namespace

std::filesystem::path ScreenshotDirectory()
{
    if (const char* pictures = std::getenv("XDG_PICTURES_DIR"); pictures && *pictures) return pictures;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / "Pictures" / "Kelvane";
    return std::filesystem::current_path();
}

std::optional<std::filesystem::path> SaveScreenshot(const std::vector<std::uint32_t>& pixels, int width,
                                                    int height, const std::filesystem::path& directory,
                                                    std::string* error)
{
    std::error_code ec;
    std::filesystem::create_directories(directory, ec);
    if (ec) {
        *error = "cannot create the directory " + directory.string() + ": " + ec.message();
        return std::nullopt;
    }
    const std::vector<std::uint8_t> png = imaging::EncodePng(ToImage(pixels, width, height));
    for (int number = 1; number <= kMaxScreenshotNumber; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "kelvane-%04d.png", number);
        const std::filesystem::path path = directory / name;
        if (WriteNewFile(path, png)) return path;
        if (errno != EEXIST) {
            *error = "cannot write " + path.string() + ": " + std::strerror(errno);
            return std::nullopt;
        }
    }
    *error = "every screenshot number in " + directory.string() + " is taken";
    return std::nullopt;
}

void SaveScreenshotAndReport(const std::vector<std::uint32_t>& pixels)
{
    std::string error;
    try {
        if (const auto path = SaveScreenshot(pixels, gfx::kBackBufferWidth, gfx::kBackBufferHeight, ScreenshotDirectory(), &error)) {
            std::cerr << "Kelvane: screenshot saved as " << path->string() << "\n";
            return;
        }
    } catch (const std::exception& failure) {
        error = failure.what();
    }
    std::cerr << "Kelvane: no screenshot: " << error << "\n";
}
