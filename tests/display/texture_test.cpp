// The game's Texture: loading constructors, the empty frame target, reloading and the alpha
// merge that gives cursors their shape.
#include "display/texture.h"

#include <gtest/gtest.h>

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

TEST_F(TextureTest, LoadErrorsPropagateFromTheConstructor)
{
    const std::string path = WriteFile("broken.png", {0x89, 'P', 'N', 'G', 1, 2, 3});
    FailSafe::Info = L"None.";
    try {
        Texture texture(&device, path.c_str());
        ADD_FAILURE() << "a broken file must raise";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Error opening file (in memory) in CreateTextureFromEncrypted()");
    }
    EXPECT_EQ(ToErrorScreenText(FailSafe::Info), ToErrorScreenText(path));
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
