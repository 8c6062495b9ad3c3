// Feeds arbitrary bytes through the scrambled-file rotation and the image decoders, as the
// game does with a file from disk, without a graphics device: the first two bytes give the
// rotation offset, the rest is the scrambled file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/image.h"
#include "imaging/scrambled.h"

namespace {
// Texture-sized resamples of big pictures would only slow the search down.
constexpr int kMaxResampleSide = 256;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) return 0;
    const std::size_t offsetField = data[0] | (data[1] << 8);
    std::vector<std::uint8_t> file(data + 2, data + size);
    const std::size_t offset = offsetField % file.size();
    const auto image = imaging::UnrotateImageBytes(std::move(file), offset);

    imaging::ImageInfo info;
    const bool headerOk = imaging::ReadImageInfo(image.data(), image.size(), &info, nullptr);
    imaging::Image picture;
    if (!imaging::DecodeImage(image.data(), image.size(), &picture, nullptr)) return 0;

    // A decoded picture must agree with its header and own exactly its pixels.
    if (!headerOk || info.width != picture.width || info.height != picture.height ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height * 4)
        std::abort();
    const int w = picture.width < kMaxResampleSide ? picture.width * 2 - 1 : 64;
    const int h = picture.height < kMaxResampleSide ? picture.height + 1 : 32;
    std::vector<std::uint8_t> target(static_cast<std::size_t>(w) * h * 4);
    imaging::ResampleTriangle(picture, w, h, target.data(), w * 4);
    return 0;
}
