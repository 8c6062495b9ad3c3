#include "imaging/scrambled.h"

#include <algorithm>
#include <cassert>

namespace imaging {

std::vector<std::uint8_t> UnrotateImageBytes(std::vector<std::uint8_t> file, std::size_t offset)
{
    assert(offset < file.size());
    std::rotate(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(offset), file.end());
    return file;
}

std::vector<std::uint8_t> RotateImageBytes(std::span<const std::uint8_t> image, std::size_t offset)
{
    // The file holds the image's last `offset` bytes first, then its first L - offset bytes.
    assert(offset < image.size());
    std::vector<std::uint8_t> file(image.size());
    std::rotate_copy(image.begin(), image.end() - static_cast<std::ptrdiff_t>(offset), image.end(),
                     file.begin());
    return file;
}

}  // namespace imaging
