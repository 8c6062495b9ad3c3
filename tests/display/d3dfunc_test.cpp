// Loading the game's scrambled image files into textures and surfaces, and the overlay copy.
#include "display/d3dfunc.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/error.h"
#include "display_fixture.h"

namespace {

constexpr const char* kDecodeError = "Error opening file (in memory) in CreateTextureFromEncrypted()";

class D3DfuncLoad : public kt::DisplayTest {
protected:
    void TearDown() override
    {
        device.SetMaxTextureSizeForTesting(0);
        kt::DisplayTest::TearDown();
    }

    // Loads the texture and returns its size; fails the test if the loader says no.
    std::pair<UINT, UINT> TextureSize(const std::string& path, int offset)
    {
        std::unique_ptr<gfx::Texture> texture;
        EXPECT_TRUE(D3Dfunc::CreateTextureFromEncrypted(path.c_str(), offset, &texture));
        if (!texture) return {0, 0};
        return {texture->Width(), texture->Height()};
    }

    // The loader's error message, with FailSafe::Info reset beforehand.
    template <typename Load>
    std::string ErrorOf(Load load)
    {
        FailSafe::Info = L"None.";
        try {
            load();
        } catch (const Error& error) {
            return error.what();
        }
        ADD_FAILURE() << "no error raised";
        return {};
    }
};

std::string InfoText() { return ToErrorScreenText(FailSafe::Info); }

}  // namespace

TEST_F(D3DfuncLoad, TextureSidesRoundUpToPowersOfTwoAndTheMaximumSize)
{
    const auto jpeg = [](int w, int h) { return imaging::EncodeJpeg(kt::QuadrantPicture(w, h), 85); };
    EXPECT_EQ(TextureSize(WriteScrambled("a.enc", jpeg(800, 400), 77), 77), std::make_pair(1024u, 512u));
    EXPECT_EQ(TextureSize(WriteScrambled("b.enc", jpeg(85, 90), 5), 5), std::make_pair(128u, 128u));
    EXPECT_EQ(TextureSize(WriteFile("c.jpg", jpeg(2048, 512)), 0), std::make_pair(2048u, 512u));

    // A device limited to 512 texels per side scales the picture down to that.
    device.SetMaxTextureSizeForTesting(512);
    EXPECT_EQ(TextureSize(WriteFile("d.jpg", jpeg(800, 300)), 0), std::make_pair(512u, 512u));
}

TEST_F(D3DfuncLoad, TextureShowsTheWholePictureSurfaceKeepsItsExactSize)
{
    const imaging::Image picture = kt::QuadrantPicture(800, 600);
    const std::vector<std::uint8_t> png = imaging::EncodePng(picture);
    const int offset = static_cast<int>(png.size()) - 1;  // the first image byte is the file's last
    const std::string path = WriteScrambled("screen.enc", png, offset);

    std::unique_ptr<gfx::Texture> texture;
    ASSERT_TRUE(D3Dfunc::CreateTextureFromEncrypted(path.c_str(), offset, &texture));
    ASSERT_EQ(texture->Width(), 1024u);
    ASSERT_EQ(texture->Height(), 1024u);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
    EXPECT_EQ(kt::TexelAt(locked, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(kt::TexelAt(locked, 1023, 0), 0xFF00FF00u);
    EXPECT_EQ(kt::TexelAt(locked, 0, 1023), 0xFF0000FFu);
    EXPECT_EQ(kt::TexelAt(locked, 1023, 1023), 0xFFFFFFFFu);
    // The quadrant borders lie at the middle of the texture: the picture fills it exactly.
    EXPECT_EQ(kt::TexelAt(locked, 505, 100), 0xFFFF0000u);
    EXPECT_EQ(kt::TexelAt(locked, 518, 100), 0xFF00FF00u);
    EXPECT_EQ(kt::TexelAt(locked, 100, 518), 0xFF0000FFu);
    texture->UnlockRect(0);

    std::unique_ptr<gfx::Surface> surface;
    ASSERT_TRUE(D3Dfunc::CreateSurfaceFromEncrypted(path.c_str(), offset, &surface));
    ASSERT_EQ(surface->Width(), 800u);
    ASSERT_EQ(surface->Height(), 600u);
    ASSERT_EQ(surface->LockRect(&locked, nullptr, 0), S_OK);
    int wrong = 0;
    for (int y = 0; y < 600; ++y)
        wrong += std::memcmp(static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch,
                             picture.Row(y), 800 * 4) != 0;
    EXPECT_EQ(wrong, 0) << "rows of the surface that differ from the picture";
    surface->UnlockRect();
}

TEST_F(D3DfuncLoad, UndecodableFilesRaiseTheGameErrorWithThePathAsInfo)
{
    const auto png = imaging::EncodePng(kt::QuadrantPicture(16, 16));
    const std::string truncated = WriteScrambled("cut.enc", {png.begin(), png.end() - 10}, 3);
    // Right bytes, wrong offset: the rotation does not give an image back.
    const std::string misrotated = WriteScrambled("shifted.enc", png, 9);
    for (const auto& [path, offset] : {std::pair{truncated, 3}, std::pair{misrotated, 8}}) {
        std::unique_ptr<gfx::Texture> texture;
        EXPECT_EQ(ErrorOf([&] { D3Dfunc::CreateTextureFromEncrypted(path.c_str(), offset, &texture); }),
                  kDecodeError);
        EXPECT_EQ(InfoText(), ToErrorScreenText(path));
        EXPECT_EQ(texture, nullptr);
        std::unique_ptr<gfx::Surface> surface;
        EXPECT_EQ(ErrorOf([&] { D3Dfunc::CreateSurfaceFromEncrypted(path.c_str(), offset, &surface); }),
                  kDecodeError);
        EXPECT_EQ(InfoText(), ToErrorScreenText(path));
    }
}

TEST_F(D3DfuncLoad, BadOffsetsEmptyAndMissingFilesAreNamedInTheError)
{
    const std::string path = WriteFile("small.enc", {1, 2, 3, 4, 5, 6, 7});
    for (int offset : {7, 100, -1}) {
        const std::string message = ErrorOf([&] { D3Dfunc::ReadEncrypted(path.c_str(), offset); });
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find(" 7 bytes"), std::string::npos) << message;
        EXPECT_NE(message.find("offset " + std::to_string(offset)), std::string::npos) << message;
    }
    EXPECT_EQ(D3Dfunc::ReadEncrypted(path.c_str(), 6), (std::vector<std::uint8_t>{7, 1, 2, 3, 4, 5, 6}));

    const std::string empty = WriteFile("empty.enc", {});
    EXPECT_NE(ErrorOf([&] { D3Dfunc::ReadEncrypted(empty.c_str(), 0); }).find("has 0 bytes"), std::string::npos);

    const std::string missing = (c_folder / "nowhere.enc").string();
    const std::string message = ErrorOf([&] { D3Dfunc::ReadEncrypted(missing.c_str(), 0); });
    EXPECT_NE(message.find(missing), std::string::npos) << message;
    EXPECT_NE(message.find("No such file"), std::string::npos) << message;
    EXPECT_EQ(InfoText(), "None.") << "an unopenable file leaves the error information alone";
}

namespace {

// A region of 32-bit pixels in memory, every byte of pixel (x, y) set to a value of its own.
struct Region {
    int width, height, pitch;
    std::vector<std::uint8_t> bytes;
    Region(int w, int h, int padding, std::uint8_t fill)
        : width(w), height(h), pitch(w * 4 + padding), bytes(static_cast<std::size_t>(pitch) * h + 64, fill)
    {
    }
    D3DLOCKED_RECT Rect() { return D3DLOCKED_RECT{pitch, bytes.data()}; }
    D3Dfunc::LockedRegion Locked() { return {Rect(), width, height}; }
    std::uint8_t* Pixel(int x, int y) { return bytes.data() + y * pitch + x * 4; }
};

}  // namespace

TEST(D3DfuncCopyTextures, CopiesColourKeepsDestinationAlphaAndClipsToBothRegions)
{
    Region dst(6, 5, 8, 0x00);   // alpha 0 everywhere
    Region src(4, 3, 4, 0x00);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            std::uint8_t* p = src.Pixel(x, y);
            p[0] = static_cast<std::uint8_t>(10 + x);
            p[1] = static_cast<std::uint8_t>(20 + y);
            p[2] = 99;
            p[3] = 255;
        }
    const std::vector<std::uint8_t> before = dst.bytes;
    // Asked for more than the source has: only the 4 x 3 block that exists is copied.
    D3Dfunc::CopyTextures(dst.Locked(), src.Locked(), 50, 50);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const std::uint8_t* p = dst.Pixel(x, y);
            if (x < 4 && y < 3) {
                EXPECT_EQ(p[0], 10 + x);
                EXPECT_EQ(p[1], 20 + y);
                EXPECT_EQ(p[2], 99);
            } else {
                EXPECT_EQ(std::memcmp(p, before.data() + (p - dst.bytes.data()), 4), 0) << x << "," << y;
            }
            EXPECT_EQ(p[3], 0) << "destination alpha must stay";
        }
    // Row padding and the bytes after the last row are never touched.
    for (int y = 0; y < 5; ++y)
        for (int i = 24; i < dst.pitch; ++i) EXPECT_EQ(dst.bytes[y * dst.pitch + i], 0);

    // The simple form with matching sizes does the same.
    Region dst2(4, 3, 0, 0x11);
    D3Dfunc::CopyTextures(dst2.Rect(), src.Rect(), 4, 3);
    EXPECT_EQ(dst2.Pixel(3, 2)[0], 13);
    EXPECT_EQ(dst2.Pixel(3, 2)[3], 0x11);
}

TEST(D3DfuncCopyTextures, UnusableRegionRaisesWithInfo)
{
    Region good(4, 4, 0, 0);
    FailSafe::Info = L"None.";
    D3Dfunc::LockedRegion none{{16, nullptr}, 4, 4};
    EXPECT_THROW(D3Dfunc::CopyTextures(good.Locked(), none, 4, 4), Error);
    EXPECT_EQ(ToErrorScreenText(FailSafe::Info), "Error occured in CopyTextures()");
    D3Dfunc::LockedRegion shortPitch{{8, good.bytes.data()}, 4, 4};
    EXPECT_THROW(D3Dfunc::CopyTextures(shortPitch, good.Locked(), 4, 4), Error);
}
