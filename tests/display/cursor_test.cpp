// Cursor: the hot spot on the pointer, the drawn size against the texture's power-of-two
// size, and the alpha image as opacity.
#include "display/cursor.h"

#include "screen_space_fixture.h"

namespace screen_space {
namespace {

constexpr std::uint32_t kBackground = 0xFF10C020;

class CursorTest : public GameDeviceTest {
protected:
    Frame At(int x, int y, const char* name = nullptr)
    {
        return DrawFrame([&] {
            device.SetViewport(D3DVIEWPORT9{0, 100, 800, 400, 0.0f, 1.0f});  // as the view leaves it
            cursor.Render(x, y);
        }, kBackground, name);
    }
    Cursor cursor{&device};
};

TEST_F(CursorTest, HotSpotLandsOnThePointer)
{
    const std::string white = WriteSolid("white.png", 16, 16, kWhite);
    cursor.OpenImageFile(white.c_str(), white.c_str(), 16, 16, 3, 3);
    const Frame frame = At(0, 0);
    EXPECT_TRUE(RegionRgb(frame, RECT{0, 0, 13, 13}, kWhite, 4)) << "corner at (-3, -3)";
    EXPECT_TRUE(PixelRgb(frame, 13, 5, kBackground));
    EXPECT_TRUE(PixelRgb(frame, 5, 13, kBackground));
    EXPECT_EQ(device.GetRenderState(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));
}

TEST_F(CursorTest, ImageInALargerTextureIsDrawnWholeAtItsOwnSize)
{
    const std::string image = WriteImage("quadrants.png", 85, 90, [](int x, int y) {
        return y < 45 ? (x < 42 ? kRed : kGreen) : (x < 42 ? kBlue : kWhite);
    });
    const std::string opaque = WriteSolid("opaque.png", 85, 90, kWhite);
    cursor.OpenImageFile(image.c_str(), opaque.c_str(), 85, 90, 0, 0);
    const Frame frame = At(100, 200, "cursor_85x90");
    EXPECT_TRUE(PixelRgb(frame, 101, 201, kRed, 12));
    EXPECT_TRUE(PixelRgb(frame, 183, 288, kWhite, 12)) << "the image's bottom-right corner at 85 x 90";
    EXPECT_TRUE(PixelRgb(frame, 185, 250, kBackground));
    EXPECT_TRUE(PixelRgb(frame, 140, 290, kBackground));

    const std::string square = WriteSolid("square.enc", 64, 64, kRed, 5), white = WriteSolid("white.enc", 64, 64, kWhite, 5);
    cursor.OpenImageFile(square.c_str(), white.c_str(), 0, 12, 0, 0, 5);  // width 0: the texture's size
    EXPECT_TRUE(RegionRgb(At(300, 300, "cursor_w0"), RECT{300, 300, 364, 364}, kRed, 4));
    EXPECT_TRUE(PixelRgb(At(300, 300), 330, 364, kBackground));
}

TEST_F(CursorTest, AlphaImageBlueIsTheOpacity)
{
    const std::string red = WriteSolid("red.png", 64, 64, kRed);
    const std::string mask = WriteImage("mask.png", 64, 64, [](int x, int y) {
        return y >= 48 ? 0xFFFF0080u : (x < 32 ? kBlack : kWhite);  // bottom band: blue 128, red 255
    });
    cursor.OpenImageFile(red.c_str(), mask.c_str(), 64, 64, 0, 0);
    const Frame frame = At(200, 200, "cursor_alpha");
    EXPECT_TRUE(RegionRgb(frame, RECT{200, 200, 228, 244}, kBackground, 1)) << "black: background unchanged";
    EXPECT_TRUE(RegionRgb(frame, RECT{236, 200, 264, 244}, kRed, 2)) << "white: opaque";
    EXPECT_TRUE(PixelRgb(frame, 220, 258, Mix(kRed, kBackground, 128 / 255.0f), 4));
}

}  // namespace
}  // namespace screen_space
