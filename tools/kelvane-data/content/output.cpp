#include "content/output.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/error.h"
#include "display/image_offsets.h"
#include "imaging/scrambled.h"

namespace content {

namespace {

namespace fs = std::filesystem;

bool StartsWith(const std::string& text, const std::string& head) { return text.rfind(head, 0) == 0; }

std::string Normalised(const std::string& gamePath)
{
    std::string out;
    for (char c : gamePath) {
        if (c == '\\') c = '/';
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out += c;
    }
    return out;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xffffffffu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// A PNG "tEXt" chunk of `padding` spaces after the header chunk.
void PadPng(std::vector<std::uint8_t>& png, std::size_t padding)
{
    constexpr std::size_t kAfterHeader = 8 + 25;  // signature + IHDR chunk
    std::vector<std::uint8_t> chunk;
    const std::string keyword = "Comment";
    const std::uint32_t length = static_cast<std::uint32_t>(keyword.size() + 1 + padding);
    PutBigEndian(chunk, length);
    const std::size_t typeAt = chunk.size();
    for (char c : std::string("tEXt")) chunk.push_back(static_cast<std::uint8_t>(c));
    for (char c : keyword) chunk.push_back(static_cast<std::uint8_t>(c));
    chunk.push_back(0);
    chunk.insert(chunk.end(), padding, static_cast<std::uint8_t>(' '));
    PutBigEndian(chunk, Crc32(chunk.data() + typeAt, chunk.size() - typeAt));
    png.insert(png.begin() + kAfterHeader, chunk.begin(), chunk.end());
}

// JPEG comment segments (at most 65533 bytes each) right after the start-of-image marker.
void PadJpeg(std::vector<std::uint8_t>& jpeg, std::size_t padding)
{
    std::vector<std::uint8_t> segments;
    while (padding > 0) {
        const std::size_t n = std::min<std::size_t>(padding, 65533);
        segments.insert(segments.end(), {0xFF, 0xFE, static_cast<std::uint8_t>((n + 2) >> 8), static_cast<std::uint8_t>((n + 2) & 255)});
        segments.insert(segments.end(), n, static_cast<std::uint8_t>(' '));
        padding -= n;
    }
    jpeg.insert(jpeg.begin() + 2, segments.begin(), segments.end());
}

}  // namespace

std::string FileForGamePath(const std::string& outputDir, const std::string& gamePath)
{
    const std::string path = Normalised(gamePath);
    if (!StartsWith(path, "data/") || path.find("..") != std::string::npos)
        throw Error("\"" + gamePath + "\" is not a path inside data/");
    return (fs::path(outputDir) / path.substr(5)).string();
}

int OffsetForGamePath(const std::string& gamePath)
{
    if (gamePath == "data/black.jpg" || gamePath == "data/newscreen.jpg") return 0;
    if (StartsWith(gamePath, "data/menu/Top")) return kTopMenuImageOffset;
    if (StartsWith(gamePath, "data/menu/")) return kMenuImageOffset;
    if (StartsWith(gamePath, "data/cursor/")) return kCursorImageOffset;
    // An item's masks share the offset of the item's picture.
    if (StartsWith(gamePath, "data/inven")) {
        std::size_t end = 10;
        while (end < gamePath.size() && std::isdigit(static_cast<unsigned char>(gamePath[end]))) ++end;
        if (end > 10 && end < gamePath.size() && (gamePath[end] == '_' || gamePath[end] == '.'))
            return ItemImageOffset(std::stoi(gamePath.substr(10, end - 10)));
    }
    return ScrambleOffsetFor(gamePath);
}

std::vector<std::uint8_t> EncodePicture(const imaging::Image& image, PictureFormat format, std::size_t minimumSize)
{
    std::vector<std::uint8_t> bytes =
        format == PictureFormat::Png ? imaging::EncodePng(image) : imaging::EncodeJpeg(image, kJpegQuality);
    if (bytes.size() < minimumSize) {
        // Each padding form adds a few bytes of its own beyond the padding itself.
        const std::size_t missing = minimumSize - bytes.size();
        if (format == PictureFormat::Png)
            PadPng(bytes, missing);
        else
            PadJpeg(bytes, missing);
    }
    return bytes;
}

void WriteBytes(const std::string& file, const std::vector<std::uint8_t>& bytes)
{
    fs::create_directories(fs::path(file).parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw Error("Cannot create \"" + file + "\": " + std::strerror(errno));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw Error("Cannot write \"" + file + "\"");
}

void WritePicture(const std::string& outputDir, const std::string& gamePath, const imaging::Image& image,
                  PictureFormat format, const std::string& previewDir)
{
    WritePicture(outputDir, gamePath, image, format, previewDir, OffsetForGamePath(gamePath));
}

void WritePicture(const std::string& outputDir, const std::string& gamePath, const imaging::Image& image,
                  PictureFormat format, const std::string& previewDir, int offset)
{
    const std::vector<std::uint8_t> bytes = EncodePicture(image, format, static_cast<std::size_t>(offset) + 1);
    WriteBytes(FileForGamePath(outputDir, gamePath), imaging::RotateImageBytes(bytes, static_cast<std::size_t>(offset)));
    if (!previewDir.empty()) {
        std::string name = Normalised(gamePath).substr(5);
        for (char& c : name)
            if (c == '/') c = '_';
        WriteBytes((fs::path(previewDir) / (name + ".png")).string(), imaging::EncodePng(image));
    }
}

}  // namespace content
