// The player's brightness: applied when the picture is shown, never to the back buffer.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/gfx/device.h"
#include "support/harness.h"

namespace {

using kt::DeviceTest;

// The channel value gamma `gamma` shows for `value`.
int Shown(int value, float gamma)
{
    return static_cast<int>(std::lround(std::pow(value / 255.0, 1.0 / gamma) * 255.0));
}

class PresentBrightnessTest : public DeviceTest {
protected:
    void TearDown() override { device.SetGamma(1.0f); }

    // Four bands of grey and one of colour, so both ends and the middle of the curve count.
    void DrawBands()
    {
        const D3DCOLOR colours[] = {0xFF000000u, 0xFF404040u, 0xFF808080u, 0xFFFFFFFFu, 0xFF20A0E0u};
        for (int i = 0; i < 5; ++i) {
            const RECT band{i * 160, 0, (i + 1) * 160, 600};
            device.Clear(1, &band, D3DCLEAR_TARGET, colours[i], 1.0f, 0);
        }
    }
};

TEST_F(PresentBrightnessTest, BrightnessOneShowsTheBackBufferExactly)
{
    DrawBands();
    EXPECT_EQ(device.ReadPresentedPicture(), kt::ReadBack());
}

TEST_F(PresentBrightnessTest, BrightnessRaisesEachChannelAndLeavesTheBackBufferAlone)
{
    DrawBands();
    const auto drawn = kt::ReadBack();
    device.SetGamma(1.5f);
    const auto shown = device.ReadPresentedPicture();
    EXPECT_TRUE(kt::PixelNear(shown, 80, 300, 0xFF000000u, 0)) << "black stays black";
    const int grey = Shown(0x40, 1.5f);
    EXPECT_TRUE(kt::PixelNear(shown, 240, 300, 0xFF000000u | grey << 16 | grey << 8 | grey, 2));
    const int mid = Shown(0x80, 1.5f);
    EXPECT_TRUE(kt::PixelNear(shown, 400, 300, 0xFF000000u | mid << 16 | mid << 8 | mid, 2));
    EXPECT_TRUE(kt::PixelNear(shown, 560, 300, 0xFFFFFFFFu, 0)) << "white stays white";
    EXPECT_TRUE(kt::PixelNear(shown, 720, 300,
                              0xFF000000u | Shown(0x20, 1.5f) << 16 | Shown(0xA0, 1.5f) << 8 | Shown(0xE0, 1.5f), 2));
    EXPECT_EQ(kt::ReadBack(), drawn) << "brightness is not baked into the picture";

    device.SetGamma(0.5f);
    EXPECT_TRUE(kt::PixelNear(device.ReadPresentedPicture(), 400, 300,
                              0xFF000000u | Shown(0x80, 0.5f) * 0x010101u, 2))
        << "below 1 darkens";
    device.Present();  // the window's own present takes the same path
}

// Scaled to a window, the picture shows the same brightness, bars black, whether the scale is by
// a whole number (texel for pixel) or filtered.
TEST_F(PresentBrightnessTest, AScaledPictureShowsTheSameBrightness)
{
    DrawBands();
    const auto drawn = kt::ReadBack();
    device.SetGamma(1.5f);
    const int values[] = {0x00, 0x40, 0x80, 0xFF};
    struct Window {
        int width, height;
        int left, top;  // where the picture lies
        double scale;
    };
    for (const Window& w : {Window{1600, 1200, 0, 0, 2.0}, Window{1920, 1080, 240, 0, 1.8}}) {
        SCOPED_TRACE(std::to_string(w.width) + " x " + std::to_string(w.height));
        const auto shown = device.ReadPresentedPicture(w.width, w.height);
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(w.width) * w.height);
        const int y = w.top + static_cast<int>(300 * w.scale);
        for (int i = 0; i < 4; ++i) {
            const int x = w.left + static_cast<int>((i * 160 + 80) * w.scale);
            const int level = Shown(values[i], 1.5f);
            EXPECT_TRUE(kt::ColorNear(kt::PixelAt(shown, x, y, w.width), 0xFF000000u | level * 0x010101u)) << "band " << i;
        }
        const int x = w.left + static_cast<int>(720 * w.scale);
        EXPECT_TRUE(kt::ColorNear(kt::PixelAt(shown, x, y, w.width),
                                  0xFF000000u | Shown(0x20, 1.5f) << 16 | Shown(0xA0, 1.5f) << 8 | Shown(0xE0, 1.5f)));
        if (w.left > 0) {
            EXPECT_EQ(kt::PixelAt(shown, 10, y, w.width) & 0xFFFFFFu, 0u) << "the bar";
        }
    }
    EXPECT_EQ(kt::ReadBack(), drawn) << "brightness is not baked into the picture";
}

}  // namespace
