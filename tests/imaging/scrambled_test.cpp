// The rotation of scrambled image files.
#include "imaging/scrambled.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }
}

TEST(ScrambledImage, ImageByteIIsFileByteOffsetPlusIModuloLength)
{
    const auto file = Bytes("DEABC");
    // With offset 2 the image starts at file byte 2: "ABC" then wraps to "DE".
    EXPECT_EQ(imaging::UnrotateImageBytes(file, 2), Bytes("ABCDE"));
    EXPECT_EQ(imaging::UnrotateImageBytes(file, 0), file) << "offset 0 is a plain file";
    // Offset L - 1: reading starts at the file's last byte and wraps to the first.
    EXPECT_EQ(imaging::UnrotateImageBytes(file, 4), Bytes("CDEAB"));
}

TEST(ScrambledImage, RotateIsTheInverseForEveryOffset)
{
    const auto image = Bytes("The quick brown fox");
    for (std::size_t k = 0; k < image.size(); ++k) {
        const auto file = imaging::RotateImageBytes(image, k);
        EXPECT_EQ(imaging::UnrotateImageBytes(file, k), image) << "offset " << k;
        // The file holds the image's last k bytes first.
        EXPECT_TRUE(std::equal(image.end() - k, image.end(), file.begin())) << "offset " << k;
    }
}

TEST(ScrambledImage, AnOffsetOutsideTheBytesIsRefusedRatherThanOverrun)
{
    const auto image = Bytes("tiny");
    EXPECT_THROW(imaging::RotateImageBytes(image, 4), std::invalid_argument);
    EXPECT_THROW(imaging::RotateImageBytes(image, 4000), std::invalid_argument);
    EXPECT_THROW(imaging::UnrotateImageBytes(image, 4), std::invalid_argument);
    EXPECT_EQ(imaging::RotateImageBytes(image, 3), Bytes("inyt"));
    EXPECT_TRUE(imaging::RotateImageBytes({}, 0).empty()) << "an empty plain file stays empty";
}

