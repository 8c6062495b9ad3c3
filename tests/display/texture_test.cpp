// The game's Texture: loading constructors, the empty frame target, reloading and the alpha
// merge that gives cursors their shape.
#include "display/texture.h"

#include <gtest/gtest.h>

#include <chrono>

#include "core/error.h"
#include "display_fixture.h"
#include "imaging/image_files.h"

namespace {

class TextureTest : public kt::DisplayTest {
protected:
    // A 16 x 16 PNG of one colour; returns the path of its scrambled file (offset 11).
    std::string FlatImage(const std::string& name, std::uint8_t b, std::uint8_t g, std::uint8_t r,
                          int width = 16, int height = 16)
    {
        return WriteScrambled(name, imaging::EncodePng(kt::images::Flat(width, height, b, g, r)), kOffset);
    }

    static std::uint32_t Texel(gfx::Texture* texture, int x, int y)
    {
        D3DLOCKED_RECT locked{};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), S_OK);
        const std::uint32_t value = kt::TexelAt(locked, x, y);
        texture->UnlockRect(0);
        return value;
    }

    static constexpr int kOffset = 11;
};

}  // namespace

TEST_F(TextureTest, ConstructorsLoadPlainAndScrambledFilesAndMakeEmptyTargets)
{
    const auto png = imaging::EncodePng(kt::QuadrantPicture(40, 20));
    Texture plain(&device, WriteFile("plain.png", png).c_str());
    EXPECT_TRUE(plain.IsLoaded());
    ASSERT_NE(plain.getTexture(), nullptr);
    EXPECT_EQ(plain.getTexture()->Width(), 64u);
    EXPECT_EQ(plain.getTexture()->Height(), 32u);
    EXPECT_EQ(Texel(plain.getTexture(), 63, 31), 0xFFFFFFFFu);

    Texture scrambled(&device, WriteScrambled("s.enc", png, 100).c_str(), 100);
    EXPECT_TRUE(scrambled.IsLoaded());
    EXPECT_EQ(Texel(scrambled.getTexture(), 0, 0), 0xFFFF0000u);

    Texture target(&device, 512, 256, D3DFMT_A8R8G8B8);
    EXPECT_FALSE(target.IsLoaded());
    ASSERT_NE(target.getTexture(), nullptr);
    EXPECT_EQ(target.getTexture()->Width(), 512u);
    EXPECT_EQ(target.getTexture()->Height(), 256u);

    // Load replaces the picture.
    EXPECT_TRUE(target.Load(FlatImage("green.enc", 0, 255, 0).c_str(), kOffset));
    EXPECT_EQ(target.getTexture()->Width(), 16u);
    EXPECT_EQ(Texel(target.getTexture(), 5, 5), 0xFF00FF00u);
}

TEST_F(TextureTest, LoadErrorsPropagateFromTheConstructorWithTheFileAndTheReason)
{
    const std::string path = WriteFile("broken.png", {0x89, 'P', 'N', 'G', 1, 2, 3});
    const auto jpeg = imaging::EncodeJpeg(kt::images::Flat(32, 32, 9, 9, 9), 80);
    const std::string cut = WriteScrambled("cut.enc", {jpeg.begin(), jpeg.end() - 40}, kOffset);
    struct Case {
        std::string path;
        int offset;
        const char* reason;  // what the decoder said
    };
    for (const Case& c : {Case{path, 0, "not a JPEG, PNG or BMP file"}, Case{cut, kOffset, "Premature end of JPEG file"}}) {
        FailSafe::Info = L"None.";
        testing::internal::CaptureStderr();
        try {
            Texture texture(&device, c.path.c_str(), c.offset);
            ADD_FAILURE() << "a broken file must raise";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), "Error opening file (in memory) in CreateTextureFromEncrypted()");
        }
        const std::string logged = testing::internal::GetCapturedStderr();
        const std::string info(FailSafe::Info.begin(), FailSafe::Info.end());
        EXPECT_EQ(info.rfind(c.path + ": ", 0), 0u) << "the file comes first: " << info;
        EXPECT_NE(info.find(c.reason), std::string::npos) << info;
        EXPECT_NE(logged.find(c.path), std::string::npos) << logged;
        EXPECT_NE(logged.find(c.reason), std::string::npos) << "the whole reason on standard error: " << logged;
    }
}

TEST_F(TextureTest, FilesDeclaringHugePicturesAreRefusedAtOnceWithTheirSize)
{
    // A few hundred bytes claiming 61472 x 32800 (JPEG), 16384 x 16384 (PNG) and 100000 x
    // 100000 (BMP): refused from the header, before a texture or surface is made for them.
    const std::vector<std::pair<std::vector<std::uint8_t>, std::string>> files = {
        {kt::images::WithDeclaredSize(imaging::EncodeJpeg(kt::images::Flat(8, 8, 1, 2, 3), 10), 61472, 32800),
         "61472 x 32800"},
        {kt::images::WithDeclaredSize(imaging::EncodePng(kt::images::Flat(1, 1, 1, 2, 3)), 16384, 16384),
         "16384 x 16384"},
        {kt::images::WriteBmp({100000, 100000, 24, 0, false, {}, {1, 2, 3, 0}}), "100000 x 100000"},
    };
    int index = 0;
    for (const auto& [file, size] : files) {
        const std::string path = WriteScrambled("huge" + std::to_string(index++) + ".enc", file, kOffset);
        for (bool surface : {false, true}) {
            FailSafe::Info = L"None.";
            testing::internal::CaptureStderr();
            const auto start = std::chrono::steady_clock::now();
            if (surface) {
                std::unique_ptr<gfx::Surface> loaded;
                EXPECT_THROW(D3Dfunc::CreateSurfaceFromEncrypted(path.c_str(), kOffset, &loaded), Error) << size;
            } else {
                EXPECT_THROW(Texture(&device, path.c_str(), kOffset), Error) << size;
            }
            const auto took = std::chrono::steady_clock::now() - start;
            testing::internal::GetCapturedStderr();
            EXPECT_LT(took, std::chrono::milliseconds(500)) << size << (surface ? " as a surface" : " as a texture");
            const std::string info(FailSafe::Info.begin(), FailSafe::Info.end());
            EXPECT_NE(info.find(size + " is out of range"), std::string::npos) << info;
        }
    }
}

TEST_F(TextureTest, AddAlphaTakesTheAlphaImagesBlueChannel)
{
    Texture colour(&device, FlatImage("colour.enc", 10, 20, 30).c_str(), kOffset);
    // Blue 128 gives alpha 128 whatever red and green are.
    colour.AddAlpha(FlatImage("half.enc", 128, 250, 3).c_str(), kOffset);
    EXPECT_EQ(Texel(colour.getTexture(), 7, 7), 0x801E140Au) << "colour bytes stay, alpha = blue";

    colour.AddAlpha(FlatImage("black.enc", 0, 0, 0).c_str(), kOffset);
    EXPECT_EQ(Texel(colour.getTexture(), 0, 15) >> 24, 0u) << "black is fully transparent";
    colour.AddAlpha(FlatImage("white.enc", 255, 255, 255).c_str(), kOffset);
    EXPECT_EQ(Texel(colour.getTexture(), 15, 0) >> 24, 255u) << "white is opaque";
}

TEST_F(TextureTest, AddAlphaWithASmallerAlphaImageStaysInsideIt)
{
    Texture colour(&device, FlatImage("big.enc", 1, 2, 3, 64, 64).c_str(), kOffset);
    colour.AddAlpha(FlatImage("small.enc", 40, 0, 0, 8, 8).c_str(), kOffset);
    EXPECT_EQ(Texel(colour.getTexture(), 7, 7) >> 24, 40u);
    EXPECT_EQ(Texel(colour.getTexture(), 8, 8) >> 24, 255u) << "outside the alpha image alpha stays";
    EXPECT_EQ(Texel(colour.getTexture(), 63, 0) >> 24, 255u);
}
