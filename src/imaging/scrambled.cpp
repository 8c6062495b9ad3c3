#include "imaging/scrambled.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace imaging {

namespace {

// A rotation offset must lie inside the bytes it rotates (0 always does: a plain file).
void CheckOffset(std::size_t offset, std::size_t length)
{
    if (offset != 0 && offset >= length) {
        throw std::invalid_argument("scrambling offset " + std::to_string(offset) + " does not lie inside " +
                                    std::to_string(length) + " bytes of image data");
    }
}

}  // namespace

std::vector<std::uint8_t> UnrotateImageBytes(std::vector<std::uint8_t> file, std::size_t offset)
{
    CheckOffset(offset, file.size());
    std::rotate(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(offset), file.end());
    return file;
}

std::vector<std::uint8_t> RotateImageBytes(std::span<const std::uint8_t> image, std::size_t offset)
{
    // The file holds the image's last `offset` bytes first, then its first L - offset bytes.
    CheckOffset(offset, image.size());
    std::vector<std::uint8_t> file(image.size());
    std::rotate_copy(image.begin(), image.end() - static_cast<std::ptrdiff_t>(offset), image.end(),
                     file.begin());
    return file;
}

}  // namespace imaging
