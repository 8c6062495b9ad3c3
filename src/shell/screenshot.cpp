#include "shell/screenshot.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>

#include "core/safe_file.h"

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

// The desktop's list of the user's folders ($XDG_CONFIG_HOME/user-dirs.dirs) is a few lines.
constexpr std::size_t kMaxUserDirsBytes = 64 * 1024;
constexpr const char* kPicturesKey = "XDG_PICTURES_DIR=";
constexpr const char* kHomeVariable = "$HOME";
constexpr const char* kShotsFolder = "Kelvane";  // inside the pictures folder

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The value of one line XDG_PICTURES_DIR="$HOME/Pictures" (or "/an/absolute/path"), with the
// quotes and backslashes of the shell taken off and $HOME put in; empty when it is neither.
std::filesystem::path PicturesFromLine(std::string_view line, const std::string& home)
{
    line.remove_prefix(std::strlen(kPicturesKey));
    if (line.size() < 2 || line.front() != '"') return {};
    std::string value;
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '"') {
            if (value.rfind(kHomeVariable, 0) == 0) {
                const std::string rest = value.substr(std::strlen(kHomeVariable));
                if (home.empty() || (!rest.empty() && rest.front() != '/')) return {};
                value = home + rest;
            }
            return !value.empty() && value.front() == '/' ? std::filesystem::path(value) : std::filesystem::path();
        }
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        value += line[i];
    }
    return {};  // no closing quote
}

// The pictures folder the desktop's user-dirs.dirs names; empty when it names none. As in the
// shell that reads the file, the last assignment counts.
std::filesystem::path PicturesFromUserDirs(const std::string& home)
{
    const std::string configHome = Environment("XDG_CONFIG_HOME");
    std::filesystem::path config;
    if (!configHome.empty() && configHome.front() == '/') config = configHome;
    else if (!home.empty()) config = std::filesystem::path(home) / ".config";
    else return {};
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!SafeFile::ReadRegularFile(config / "user-dirs.dirs", kMaxUserDirsBytes, &bytes, &error)) return {};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::filesystem::path pictures;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        if (line.rfind(kPicturesKey, 0) == 0) pictures = PicturesFromLine(line, home);
    }
    return pictures;
}

}  // namespace

std::filesystem::path ScreenshotDirectory()
{
    if (const std::string pictures = Environment("XDG_PICTURES_DIR"); !pictures.empty())
        return std::filesystem::path(pictures) / kShotsFolder;
    const std::string home = Environment("HOME");
    if (const std::filesystem::path pictures = PicturesFromUserDirs(home); !pictures.empty())
        return pictures / kShotsFolder;
    if (!home.empty()) return std::filesystem::path(home) / "Pictures" / kShotsFolder;
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
        // Names taken are passed over before the picture is written; one taken meanwhile (by
        // another game) is left alone all the same.
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0) continue;
        const std::error_code failed = SafeFile::WriteFileAtomically(path, png, SafeFile::Existing::kKeep, error);
        if (!failed) return path;
        if (failed != std::errc::file_exists) return std::nullopt;
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
