// Where generated files go: game paths ("data/hall_pano.enc", "data//FMV//intro.wmv") map to
// files below one output directory (the game's data/ directory); pictures are encoded and
// scrambled with the rotation offset the game opens them with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "content/canvas.h"

namespace content {

enum class PictureFormat { Jpeg, Png };
constexpr int kJpegQuality = 90;

// The file below `outputDir` for a game path: the leading "data/" dropped, doubled separators
// made single. Throws Error for a path outside data/.
std::string FileForGamePath(const std::string& outputDir, const std::string& gamePath);

// The rotation offset the game uses for a picture path: the menu, top-menu and cursor
// constants for their folders, 0 for the two plain pictures, else the path's own offset.
int OffsetForGamePath(const std::string& gamePath);

// The image file bytes, padded where needed so that the file is longer than the offset the
// game will open it with (a PNG text chunk or a JPEG comment; decoders skip both).
std::vector<std::uint8_t> EncodePicture(const imaging::Image& image, PictureFormat format, std::size_t minimumSize);

// Encodes, scrambles (by the path's offset) and writes a picture; and optionally a plain PNG
// preview of it under `previewDir` (empty: none).
void WritePicture(const std::string& outputDir, const std::string& gamePath, const imaging::Image& image,
                  PictureFormat format, const std::string& previewDir = {});
// The same, scrambled with `offset` instead of the path's own (a book's pages and a screen's
// versions share the offset of their first page or base picture).
void WritePicture(const std::string& outputDir, const std::string& gamePath, const imaging::Image& image,
                  PictureFormat format, const std::string& previewDir, int offset);

void WriteBytes(const std::string& file, const std::vector<std::uint8_t>& bytes);

}  // namespace content
