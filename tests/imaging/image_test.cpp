// Decoding image files held in memory: every format and layout the game may ship, and the
// damaged files it must refuse.
#include "imaging/image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>

#include <zlib.h>

#include "image_files.h"

using imaging::DecodeImage;
using imaging::Image;
using kt::images::PixelAt;

namespace {

Image MustDecode(const std::vector<std::uint8_t>& bytes)
{
    Image image;
    std::string error;
    EXPECT_TRUE(DecodeImage(bytes.data(), bytes.size(), &image, &error)) << error;
    return image;
}

// Rejected, with a reason for the person reading the log.
void ExpectRejected(const std::vector<std::uint8_t>& bytes, const std::string& what)
{
    Image image;
    std::string error;
    EXPECT_FALSE(DecodeImage(bytes.data(), bytes.size(), &image, &error)) << what;
    EXPECT_FALSE(error.empty()) << what;
}

int MaxChannelDifference(const Image& a, const Image& b)
{
    int worst = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        worst = std::max(worst, std::abs(int(a.pixels[i]) - int(b.pixels[i])));
    return worst;
}

std::vector<std::uint8_t> Bmp24(int width, int height, bool topDown)
{
    // Pixel (x, y) = B x, G y, R 200; rows padded to 4 bytes, stored in file order.
    kt::images::BmpSpec layout;
    layout.width = width;
    layout.height = height;
    layout.topDown = topDown;
    const int pad = (4 - width * 3 % 4) % 4;
    for (int r = 0; r < height; ++r) {
        const int y = topDown ? r : height - 1 - r;
        for (int x = 0; x < width; ++x)
            layout.pixelData.insert(layout.pixelData.end(), {std::uint8_t(x), std::uint8_t(y), 200});
        layout.pixelData.insert(layout.pixelData.end(), pad, 0);
    }
    return kt::images::WriteBmp(layout);
}

}  // namespace

TEST(ImageDecode, PngRoundTripKeepsEveryPixelAndAlpha)
{
    const Image original = kt::images::Pattern(37, 21, 77);
    const Image decoded = MustDecode(imaging::EncodePng(original));
    ASSERT_EQ(decoded.width, 37);
    ASSERT_EQ(decoded.height, 21);
    EXPECT_EQ(decoded.pixels, original.pixels);
}

TEST(ImageDecode, PngColourTypesComeOutAsBgra)
{
    using kt::images::WritePngRaw;
    // Grey 8 bits: B = G = R = value, opaque.
    Image grey = MustDecode(WritePngRaw(2, 1, PNG_COLOR_TYPE_GRAY, 8, {10, 250}, false));
    EXPECT_EQ(PixelAt(grey, 0, 0), 0xFF0A0A0Au);
    EXPECT_EQ(PixelAt(grey, 1, 0), 0xFFFAFAFAu);
    // Grey 1 bit expands to 0 and 255.
    Image bits = MustDecode(WritePngRaw(3, 1, PNG_COLOR_TYPE_GRAY, 1, {1, 0, 1}, false));
    EXPECT_EQ(PixelAt(bits, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(PixelAt(bits, 1, 0), 0xFF000000u);
    // Grey + alpha.
    Image greyAlpha = MustDecode(WritePngRaw(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {60, 128}, false));
    EXPECT_EQ(PixelAt(greyAlpha, 0, 0), 0x803C3C3Cu);
    // Palette, 2 bits per index.
    Image indexed = MustDecode(WritePngRaw(3, 1, PNG_COLOR_TYPE_PALETTE, 2, {2, 0, 1}, false,
                                           {0x112233, 0x445566, 0xA0B0C0}));
    EXPECT_EQ(PixelAt(indexed, 0, 0), 0xFFA0B0C0u);
    EXPECT_EQ(PixelAt(indexed, 1, 0), 0xFF112233u);
    EXPECT_EQ(PixelAt(indexed, 2, 0), 0xFF445566u);
    // 16-bit RGB keeps the high bytes.
    Image deep = MustDecode(WritePngRaw(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x1234, 0xABCD, 0xFF00}, false));
    EXPECT_EQ(PixelAt(deep, 0, 0), 0xFF12ABFFu);
}

TEST(ImageDecode, InterlacedPngAndGammaChunkGiveTheStoredPixels)
{
    const int w = 11, h = 9;
    std::vector<int> samples;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) samples.insert(samples.end(), {x * 20, y * 25, 90, 255 - x});
    const Image plain = MustDecode(kt::images::WritePngRaw(w, h, PNG_COLOR_TYPE_RGBA, 8, samples, false));
    const Image interlaced = MustDecode(kt::images::WritePngRaw(w, h, PNG_COLOR_TYPE_RGBA, 8, samples, true));
    const Image gamma =
        MustDecode(kt::images::WritePngRaw(w, h, PNG_COLOR_TYPE_RGBA, 8, samples, false, {}, 0.8));
    EXPECT_EQ(PixelAt(plain, 3, 4), (std::uint32_t(255 - 3) << 24) | (60u << 16) | (100u << 8) | 90u);
    EXPECT_EQ(interlaced.pixels, plain.pixels);
    EXPECT_EQ(gamma.pixels, plain.pixels) << "a gAMA chunk must not change the pixels";
}

TEST(ImageDecode, JpegComesBackCloseAndOpaque)
{
    const Image flat = kt::images::Flat(64, 48, 30, 140, 220, 255);
    const Image decodedFlat = MustDecode(imaging::EncodeJpeg(flat, 95));
    ASSERT_EQ(decodedFlat.width, 64);
    ASSERT_EQ(decodedFlat.height, 48);
    EXPECT_LE(MaxChannelDifference(decodedFlat, flat), 3);

    // Alpha is dropped by the encoder and comes back 255.
    const Image translucent = kt::images::Flat(16, 16, 10, 20, 30, 40);
    const Image decoded = MustDecode(imaging::EncodeJpeg(translucent, 90));
    EXPECT_EQ(decoded.pixels[3], 255);
    EXPECT_EQ(decoded.pixels.back(), 255);
}

TEST(ImageDecode, GreyAndCmykJpegsComeOutAsRgb)
{
    const Image grey = MustDecode(kt::images::WriteJpegRaw(8, 8, 1, std::vector<std::uint8_t>(64, 100)));
    EXPECT_NEAR(grey.pixels[0], 100, 2);
    EXPECT_EQ(grey.pixels[0], grey.pixels[1]);
    EXPECT_EQ(grey.pixels[1], grey.pixels[2]);
    EXPECT_EQ(grey.pixels[3], 255);

    // Stored as Adobe writes CMYK (inverted inks): (200, 100, 50, 255) is red 200, green 100,
    // blue 50 with no black.
    std::vector<std::uint8_t> cmyk;
    for (int i = 0; i < 64; ++i) cmyk.insert(cmyk.end(), {200, 100, 50, 255});
    const Image rgb = MustDecode(kt::images::WriteJpegRaw(8, 8, 4, cmyk));
    EXPECT_NEAR(rgb.pixels[2], 200, 3);
    EXPECT_NEAR(rgb.pixels[1], 100, 3);
    EXPECT_NEAR(rgb.pixels[0], 50, 3);
    EXPECT_EQ(rgb.pixels[3], 255);
}

TEST(ImageDecode, BmpTwentyFourBitBothRowOrders)
{
    for (bool topDown : {false, true}) {
        const Image image = MustDecode(Bmp24(5, 3, topDown));
        ASSERT_EQ(image.width, 5);
        ASSERT_EQ(image.height, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(PixelAt(image, x, y), 0xFFC80000u | (y << 8) | x)
                    << "pixel " << x << "," << y << (topDown ? " top-down" : " bottom-up");
    }
}

TEST(ImageDecode, BmpIndexedAndDirectDepths)
{
    using kt::images::BmpSpec;
    const std::vector<std::uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    // 1 bit, 10 wide: bits 1011000001 then padding; bottom row stored first.
    BmpSpec one{10, 2, 1, 0, false, {0x102030, 0xF0E0D0}, {0xB0, 0x40, 0, 0, 0x80, 0x00, 0, 0}};
    const Image a = MustDecode(kt::images::WriteBmp(one));
    EXPECT_EQ(PixelAt(a, 0, 1), 0xFFF0E0D0u);
    EXPECT_EQ(PixelAt(a, 1, 1), 0xFF102030u);
    EXPECT_EQ(PixelAt(a, 9, 1), 0xFFF0E0D0u);
    EXPECT_EQ(PixelAt(a, 0, 0), 0xFFF0E0D0u);
    EXPECT_EQ(PixelAt(a, 1, 0), 0xFF102030u);

    // 4 bits, 3 wide: indices 1 2 3 / 3 2 0.
    BmpSpec four{3, 2, 4, 0, false, palette, {0x32, 0x00, 0, 0, 0x12, 0x30, 0, 0}};
    const Image b = MustDecode(kt::images::WriteBmp(four));
    EXPECT_EQ(PixelAt(b, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(b, 2, 0), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(b, 0, 1), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(b, 2, 1), 0xFF000000u);

    // 8 bits with an index past the 4-entry table: black, never a read past the table.
    BmpSpec eight{3, 1, 8, 0, false, palette, {2, 250, 1, 0}};
    const Image c = MustDecode(kt::images::WriteBmp(eight));
    EXPECT_EQ(PixelAt(c, 0, 0), 0xFF00FF00u);
    EXPECT_EQ(PixelAt(c, 1, 0), 0xFF000000u);
    EXPECT_EQ(PixelAt(c, 2, 0), 0xFFFF0000u);

    // 32 bits without masks: the fourth byte is unused, alpha stays opaque.
    BmpSpec wide{1, 1, 32, 0, false, {}, {0x11, 0x22, 0x33, 0x00}};
    EXPECT_EQ(PixelAt(MustDecode(kt::images::WriteBmp(wide)), 0, 0), 0xFF332211u);

    // 16 bits, 5-5-5: pure red (0x7C00) and white.
    BmpSpec sixteen{2, 1, 16, 0, false, {}, {0x00, 0x7C, 0xFF, 0x7F}};
    const Image d = MustDecode(kt::images::WriteBmp(sixteen));
    EXPECT_EQ(PixelAt(d, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(d, 1, 0), 0xFFFFFFFFu);
}

TEST(ImageDecode, BmpRunLengthCoding)
{
    const std::vector<std::uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    // 8 bits, 4 x 3, bottom row first: row 2 = run of three 1s + end of row; row 1 = literal
    // 3 2 1 (padded) and a delta one row up (x stays 3); row 0 = run of two 2s, end.
    kt::images::BmpSpec rle8{4, 3, 8, 1, false, palette,
                             {3, 1, 0, 0, 0, 3, 3, 2, 1, 0, 0, 2, 0, 1, 2, 2, 0, 1}};
    const Image a = MustDecode(kt::images::WriteBmp(rle8));
    EXPECT_EQ(PixelAt(a, 0, 2), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(a, 2, 2), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(a, 3, 2), 0xFF000000u) << "pixels no run covers stay black";
    EXPECT_EQ(PixelAt(a, 0, 1), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(a, 2, 1), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(a, 2, 0), 0xFF000000u) << "the delta skipped it";
    EXPECT_EQ(PixelAt(a, 3, 0), 0xFF00FF00u) << "the run continues after the delta, clipped at the row end";

    // 4 bits, 5 x 1: a run of 7 alternating 1, 3 clipped at the row end, then end of picture.
    kt::images::BmpSpec rle4{5, 1, 4, 2, false, palette, {7, 0x13, 0, 1}};
    const Image b = MustDecode(kt::images::WriteBmp(rle4));
    EXPECT_EQ(PixelAt(b, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(b, 1, 0), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(b, 4, 0), 0xFFFF0000u);
}

TEST(ImageDecode, TruncatedFilesAreRejectedAtEveryLength)
{
    const std::vector<std::vector<std::uint8_t>> files = {
        imaging::EncodePng(kt::images::Pattern(9, 7)),
        imaging::EncodeJpeg(kt::images::Pattern(24, 16), 80),
        Bmp24(4, 3, false),  // rows of 12 bytes: no padding to lose
        kt::images::WriteBmp({4, 1, 8, 1, false, {0, 0xFF}, {4, 1, 0, 1}}),
    };
    for (const auto& file : files)
        for (std::size_t length = 0; length < file.size(); ++length)
            ExpectRejected({file.begin(), file.begin() + length},
                           "format " + std::string(imaging::ImageFileFormatName(
                                           imaging::DetectImageFormat(file.data(), file.size()))) +
                               " cut to " + std::to_string(length) + " of " + std::to_string(file.size()));
}

// A 1 x 1 RGBA PNG whose one IDAT's compressed stream goes on with `extra` bytes of picture
// data after the picture's one row (a filter byte and four samples).
std::vector<std::uint8_t> PngWithTrailingData(std::size_t extra)
{
    std::vector<std::uint8_t> raw = {0, 10, 20, 30, 255};
    std::mt19937 random(7);
    for (std::size_t i = 0; i < extra; ++i) raw.push_back(static_cast<std::uint8_t>(random() % 16));
    uLongf packedSize = compressBound(raw.size());
    std::vector<std::uint8_t> packed(packedSize);
    EXPECT_EQ(compress2(packed.data(), &packedSize, raw.data(), raw.size(), 6), Z_OK);
    packed.resize(packedSize);

    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const auto chunk = [&](const char* name, const std::vector<std::uint8_t>& data) {
        const auto put32 = [&](std::uint32_t v) {
            for (int shift : {24, 16, 8, 0}) file.push_back(static_cast<std::uint8_t>(v >> shift));
        };
        put32(static_cast<std::uint32_t>(data.size()));
        const std::size_t named = file.size();
        file.insert(file.end(), name, name + 4);
        file.insert(file.end(), data.begin(), data.end());
        put32(static_cast<std::uint32_t>(crc32(0, file.data() + named, static_cast<uInt>(file.size() - named))));
    };
    chunk("IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8, 6, 0, 0, 0});
    chunk("IDAT", packed);
    chunk("IEND", {});
    return file;
}

// The fastest of a few decodes, in seconds.
double DecodeSeconds(const std::vector<std::uint8_t>& file)
{
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        Image image;
        const auto start = std::chrono::steady_clock::now();
        DecodeImage(file.data(), file.size(), &image, nullptr);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// Picture data past the last row is never inflated: a small picture with megabytes of it costs
// far less than a picture of those megabytes. The file must still be whole.
TEST(ImageDecode, PngDataPastTheLastRowIsNotDecodedButTheFileMustBeWhole)
{
    constexpr std::size_t kExtra = std::size_t{4} << 20;
    const std::vector<std::uint8_t> trailing = PngWithTrailingData(kExtra);
    const Image one = MustDecode(trailing);
    ASSERT_EQ(one.width, 1);
    EXPECT_EQ(PixelAt(one, 0, 0), 0xFF0A141Eu);

    // The baseline: a picture holding as many bytes of the same data.
    std::vector<int> samples(kExtra);
    std::mt19937 random(7);
    for (int& v : samples) v = static_cast<int>(random() % 16);
    const auto honest = kt::images::WritePngRaw(1024, static_cast<int>(kExtra / 4096), PNG_COLOR_TYPE_RGBA, 8, samples, false);
    const double baseline = DecodeSeconds(honest);
    const double spent = DecodeSeconds(trailing);
    EXPECT_LT(spent, baseline / 4) << spent * 1000 << " ms against " << baseline * 1000 << " ms for the picture";

    ExpectRejected({trailing.begin(), trailing.end() - 6}, "cut inside IEND");
    ExpectRejected({trailing.begin(), trailing.begin() + trailing.size() / 2}, "cut inside the extra data");
}

TEST(ImageDecode, DamagedJpegScanIsRejected)
{
    auto file = imaging::EncodeJpeg(kt::images::Pattern(64, 64), 90);
    Image image;
    ASSERT_TRUE(DecodeImage(file.data(), file.size(), &image, nullptr));
    // A marker in the middle of the entropy-coded data: libjpeg would only warn.
    file[file.size() * 2 / 3] = 0xFF;
    file[file.size() * 2 / 3 + 1] = 0xD3;
    ExpectRejected(file, "stray marker in the scan");

    // The reason is libjpeg's whole message, with its values, said once.
    auto padded = imaging::EncodeJpeg(kt::images::Pattern(16, 16), 90);
    const std::uint8_t sos[] = {0xFF, 0xDA};
    const auto scan = std::search(padded.begin(), padded.end(), std::begin(sos), std::end(sos));
    ASSERT_NE(scan, padded.end());
    padded.insert(scan, {0x55, 0x55, 0x55, 0x55, 0x55});
    std::string error;
    EXPECT_FALSE(DecodeImage(padded.data(), padded.size(), &image, &error));
    EXPECT_EQ(error, "corrupt JPEG data: 5 extraneous bytes before marker 0xda");
}

TEST(ImageDecode, GarbageAndOversizedHeadersAreRejected)
{
    std::mt19937 random(7);
    std::vector<std::uint8_t> noise(4096);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    noise[0] = 0x00;
    ExpectRejected(noise, "random bytes");
    for (const std::vector<std::uint8_t>& prefix :
         {std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF}, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'},
          std::vector<std::uint8_t>{'B', 'M'}}) {
        auto file = noise;
        std::copy(prefix.begin(), prefix.end(), file.begin());
        ExpectRejected(file, "signature followed by noise");
    }
    ExpectRejected({}, "empty");
    Image image;
    EXPECT_FALSE(DecodeImage(nullptr, 0, &image, nullptr));

    // A bitmap claiming 100000 x 100000 pixels is refused before anything is allocated.
    ExpectRejected(kt::images::WriteBmp({100000, 100000, 24, 0, false, {}, {1, 2, 3, 0}}), "huge BMP");
    auto png = imaging::EncodePng(kt::images::Pattern(2, 2));
    png[16] = 0x00, png[17] = 0x01;  // IHDR width 65536 + 2 (the CRC no longer matches either)
    ExpectRejected(png, "huge PNG");
}

TEST(ImageInfo, HeadersDeclaringHugePicturesAreRefusedWithTheirSize)
{
    // A JPEG of a few hundred bytes claiming 61472 x 32800, a PNG of 69 bytes claiming
    // 16384 x 16384 (each side allowed, the whole not), a bitmap claiming 100000 x 100000.
    const std::vector<std::uint8_t> jpeg =
        kt::images::WithDeclaredSize(imaging::EncodeJpeg(kt::images::Flat(8, 8, 1, 2, 3), 10), 61472, 32800);
    const std::vector<std::uint8_t> png =
        kt::images::WithDeclaredSize(imaging::EncodePng(kt::images::Flat(1, 1, 1, 2, 3)), 16384, 16384);
    const std::vector<std::uint8_t> bmp = kt::images::WriteBmp({100000, 100000, 24, 0, false, {}, {1, 2, 3, 0}});
    ASSERT_LT(jpeg.size(), 700u);
    ASSERT_LT(png.size(), 100u);
    for (const auto& [file, size] : {std::pair{jpeg, std::string("61472 x 32800")},
                                     std::pair{png, std::string("16384 x 16384")},
                                     std::pair{bmp, std::string("100000 x 100000")}}) {
        imaging::ImageInfo info;
        std::string error;
        EXPECT_FALSE(imaging::ReadImageInfo(file.data(), file.size(), &info, &error)) << size;
        EXPECT_NE(error.find(size), std::string::npos) << error;
        EXPECT_NE(error.find("out of range"), std::string::npos) << error;
        Image image;
        error.clear();
        EXPECT_FALSE(DecodeImage(file.data(), file.size(), &image, &error)) << size;
        EXPECT_NE(error.find(size), std::string::npos) << error;
    }
    // A large size within the limit is a header like any other.
    const auto allowed = kt::images::WithDeclaredSize(imaging::EncodePng(kt::images::Flat(1, 1, 1, 2, 3)), 4096, 4096);
    imaging::ImageInfo info;
    ASSERT_TRUE(imaging::ReadImageInfo(allowed.data(), allowed.size(), &info, nullptr));
    EXPECT_EQ(info.width, 4096);
}

TEST(ImageInfo, HeaderSizesMatchTheDecodedPictures)
{
    struct Case {
        std::vector<std::uint8_t> file;
        imaging::ImageFileFormat format;
        bool alpha;
    };
    const std::vector<Case> cases = {
        {imaging::EncodePng(kt::images::Pattern(85, 90)), imaging::ImageFileFormat::Png, true},
        {imaging::EncodeJpeg(kt::images::Pattern(85, 90), 75), imaging::ImageFileFormat::Jpeg, false},
        {kt::images::WriteBmp({85, 90, 24, 0, true, {}, std::vector<std::uint8_t>(88 * 90)}),
         imaging::ImageFileFormat::Bmp, false},
    };
    for (const Case& c : cases) {
        imaging::ImageInfo info;
        ASSERT_TRUE(imaging::ReadImageInfo(c.file.data(), c.file.size(), &info, nullptr));
        EXPECT_EQ(info.width, 85);
        EXPECT_EQ(info.height, 90);
        EXPECT_EQ(info.format, c.format);
        EXPECT_EQ(info.hasAlpha, c.alpha);
    }
    imaging::ImageInfo info;
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(imaging::ReadImageInfo(text.data(), text.size(), &info, nullptr));
}

TEST(ImageDecode, DecodeIntoCallerMemoryHonoursPitchAndSize)
{
    const Image picture = kt::images::Pattern(16, 8);
    for (const auto& file : {imaging::EncodeJpeg(picture, 90), imaging::EncodePng(picture)}) {
        const Image reference = MustDecode(file);
        const std::ptrdiff_t pitch = 16 * 4 + 12;
        std::vector<std::uint8_t> target(pitch * 8, 0xCD);
        ASSERT_TRUE(imaging::DecodeImageInto(file.data(), file.size(), 16, 8, target.data(), pitch, nullptr));
        for (int y = 0; y < 8; ++y) {
            EXPECT_EQ(std::memcmp(target.data() + y * pitch, reference.Row(y), 16 * 4), 0) << "row " << y;
            EXPECT_EQ(target[y * pitch + 16 * 4], 0xCD) << "row padding must stay untouched";
        }
        std::string error;
        EXPECT_FALSE(imaging::DecodeImageInto(file.data(), file.size(), 16, 4, target.data(), pitch, &error))
            << "a picture of another size must be refused, not written past the target";
        EXPECT_FALSE(error.empty());
    }
}
