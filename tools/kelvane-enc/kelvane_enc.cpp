// kelvane-enc: scrambles and unscrambles the game's image files (".enc") and shows what the
// game's loader makes of them.
//   kelvane-enc encode IN OFFSET OUT           rotate an image file into a scrambled file
//   kelvane-enc decode IN OFFSET OUT.png [--surface]
//                                              load like the game (texture, or surface) on a
//                                              headless device and save the result as PNG
//   kelvane-enc info IN OFFSET                 format and size of the picture inside
// Exit status: 0 done, 1 the file could not be read or decoded (the file and the decoder's
// reason on stderr), 2 usage.
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "display/d3dfunc.h"
#include "imaging/d3dx_tex.h"
#include "imaging/image.h"
#include "imaging/scrambled.h"
#include "platform/window/window.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage:\n"
    "  kelvane-enc encode IN OFFSET OUT\n"
    "      scramble the image file IN with rotation OFFSET (0 <= OFFSET < size of IN)\n"
    "  kelvane-enc decode IN OFFSET OUT.png [--surface]\n"
    "      load IN as the game does (a texture, or with --surface a surface of the\n"
    "      picture's exact size) and write what the loader made as PNG\n"
    "  kelvane-enc info IN OFFSET\n"
    "      print the picture's format and size and the texture size it gets\n"
    "  kelvane-enc --help\n"
    "      print this text\n"
    "Exit status: 0 done, 1 the file could not be read or decoded, 2 wrong usage.\n";

int Usage()
{
    std::cerr << kUsage;
    return kExitUsage;
}

bool ParseOffset(const char* text, int* offset)
{
    const char* end = text + std::strlen(text);
    const auto [last, error] = std::from_chars(text, end, *offset);
    return error == std::errc() && last == end;
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) throw Error("Cannot open \"" + path + "\": " + std::strerror(errno));
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) throw Error("Cannot create \"" + path + "\": " + std::strerror(errno));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw Error("Cannot write \"" + path + "\"");
}

int Encode(const std::string& in, int offset, const std::string& out)
{
    const std::vector<std::uint8_t> image = ReadWholeFile(in);
    if (offset < 0 || static_cast<std::size_t>(offset) >= image.size())
        throw Error("\"" + in + "\" has " + std::to_string(image.size()) + " bytes; the offset " +
                    std::to_string(offset) + " must lie from 0 to the length minus 1");
    if (imaging::DetectImageFormat(image.data(), image.size()) == imaging::ImageFileFormat::Unknown)
        std::cerr << "kelvane-enc: warning: \"" << in << "\" is not a JPEG, PNG or BMP file; the game will not load it\n";
    WriteWholeFile(out, imaging::RotateImageBytes(image, static_cast<std::size_t>(offset)));
    return 0;
}

// Copies a locked region of width x height A8R8G8B8 pixels into a picture.
imaging::Image Capture(const D3DLOCKED_RECT& locked, UINT width, UINT height)
{
    imaging::Image picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (UINT y = 0; y < height; ++y)
        std::memcpy(picture.Row(static_cast<int>(y)),
                    static_cast<const std::uint8_t*>(locked.pBits) + static_cast<std::ptrdiff_t>(y) * locked.Pitch,
                    static_cast<std::size_t>(width) * 4);
    return picture;
}

imaging::Image LoadLikeTheGame(const std::string& in, int offset, bool surface)
{
    D3DLOCKED_RECT locked{};
    if (surface) {
        std::unique_ptr<gfx::Surface> loaded;
        D3Dfunc::CreateSurfaceFromEncrypted(in.c_str(), offset, &loaded);
        if (FAILED(loaded->LockRect(&locked, nullptr, D3DLOCK_READONLY))) throw Error("Cannot lock the surface");
        imaging::Image picture = Capture(locked, loaded->Width(), loaded->Height());
        loaded->UnlockRect();
        return picture;
    }
    std::unique_ptr<gfx::Texture> loaded;
    D3Dfunc::CreateTextureFromEncrypted(in.c_str(), offset, &loaded);
    if (FAILED(loaded->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) throw Error("Cannot lock the texture");
    imaging::Image picture = Capture(locked, loaded->Width(), loaded->Height());
    loaded->UnlockRect(0);
    return picture;
}

int Decode(const std::string& in, int offset, const std::string& out, bool surface)
{
    // The loader needs a device; a hidden, display-less one serves.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::string reason;
    std::unique_ptr<platform::Window> window =
        platform::Window::Create("kelvane-enc", gfx::kBackBufferWidth, gfx::kBackBufferHeight, false, &reason);
    if (!window) throw Error("Cannot open a window for the graphics device: " + reason);
    if (!D3Dfunc::Create(*window, true)) throw Error("Cannot create the graphics device");
    struct DeviceGuard {
        ~DeviceGuard() { D3Dfunc::Destroy(); }
    } guard;
    const imaging::Image picture = LoadLikeTheGame(in, offset, surface);
    WriteWholeFile(out, imaging::EncodePng(picture));
    std::cout << (surface ? "surface " : "texture ") << picture.width << " x " << picture.height << " written to "
              << out << '\n';
    return 0;
}

int Info(const std::string& in, int offset)
{
    const std::vector<std::uint8_t> image = D3Dfunc::ReadEncrypted(in.c_str(), offset);
    D3DXIMAGE_INFO info;
    std::string reason;
    if (FAILED(D3DXGetImageInfoFromFileInMemory(image.data(), static_cast<UINT>(image.size()), &info, &reason))) {
        FailSafe::SetInfo(in + ": " + reason);
        throw Error("Error opening file (in memory) in CreateTextureFromEncrypted()");
    }
    imaging::ImageInfo header;
    imaging::ReadImageInfo(image.data(), image.size(), &header, nullptr);
    std::cout << imaging::ImageFileFormatName(header.format) << ' ' << info.Width << " x " << info.Height << ' '
              << (info.Format == D3DFMT_A8R8G8B8 ? "A8R8G8B8" : "X8R8G8B8") << "; texture "
              << TextureSideForPicture(info.Width, 0) << " x " << TextureSideForPicture(info.Height, 0) << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--help") {
        std::cout << kUsage;
        return 0;
    }
    if (args.size() < 3) return Usage();
    int offset = 0;
    if (!ParseOffset(args[2].c_str(), &offset)) return Usage();
    try {
        if (args[0] == "encode" && args.size() == 4) return Encode(args[1], offset, args[3]);
        if (args[0] == "decode" && (args.size() == 4 || (args.size() == 5 && args[4] == "--surface")))
            return Decode(args[1], offset, args[3], args.size() == 5);
        if (args[0] == "info" && args.size() == 3) return Info(args[1], offset);
    } catch (const Error& error) {
        std::cerr << "kelvane-enc: " << error.what();
        if (FailSafe::Info != L"None.") {
            std::string info;
            for (wchar_t c : FailSafe::Info) info.push_back(static_cast<char>(c));
            std::cerr << " (" << info << ")";
        }
        std::cerr << '\n';
        return kExitFailure;
    }
    return Usage();
}
