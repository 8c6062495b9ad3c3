// The rotation of the game's scrambled image files (".enc"): with L the file's length and k
// the image's rotation offset, image byte i is file byte (k + i) mod L. The offset is not in
// the file; every caller knows the offset of the image it opens. Offset 0 is a plain file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace imaging {

// The image bytes of a scrambled file, rotated in place in the buffer given.
// An offset other than 0 must be below file.size(), or std::invalid_argument is thrown.
std::vector<std::uint8_t> UnrotateImageBytes(std::vector<std::uint8_t> file, std::size_t offset);
// The scrambled file of an image: the inverse of UnrotateImageBytes. An offset other than 0
// must be below the image's size, or std::invalid_argument is thrown (a picture too small
// for its offset cannot be scrambled with it).
std::vector<std::uint8_t> RotateImageBytes(std::span<const std::uint8_t> image, std::size_t offset);

}  // namespace imaging
