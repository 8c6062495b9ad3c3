// DisplayScreen at its edges: a picture that fails to load leaves the slot as it was, and
// switches of no length (given or as the default length) show the new picture at once, also
// in the first second of the clock.
#include "core/error.h"
#include "display/display_screen.h"
#include "platform/clock/clock.h"
#include "screen_space_fixture.h"

namespace screen_space {
namespace {

class DisplayScreenSwitchTest : public GameDeviceTest {
protected:
    std::uint32_t Centre() { return kt::PixelAt(DrawFrame([&] { view.Render(); }), 300, 300); }

    kt::ManualClockScope clock{5};  // below any switch's age: a start dated back would wrap
    DisplayScreen view{&device, 128, 40, 100.0f};
};

TEST_F(DisplayScreenSwitchTest, AFailedLoadKeepsThePictureInTheSlot)
{
    view.setTexture(WriteSolid("red.png", 64, 32, kRed).c_str(), 0);
    gfx::Texture* before = view.getTexture()->get();
    ASSERT_NE(before, nullptr);
    EXPECT_THROW(view.setTexture("no/such/picture.png", 0), Error);
    const std::string garbage = WriteScrambled("garbage.png", std::vector<std::uint8_t>(64, 0x5A), 0);
    EXPECT_THROW(view.setTexture(garbage.c_str(), 0), Error);
    EXPECT_EQ(view.getTexture()->get(), before) << "the slot keeps its texture";
    view.SetType(0);
    view.Switch(0);
    EXPECT_TRUE(RgbNear(Centre(), kRed)) << "and shows the old picture";
}

TEST_F(DisplayScreenSwitchTest, SwitchesOfNoLengthShowTheNewPictureAtOnce)
{
    const std::string red = WriteSolid("red.png", 64, 32, kRed), green = WriteSolid("green.png", 64, 32, kGreen);
    view.setTexture(red.c_str(), 0);
    view.SetType(0);
    view.Switch(0);
    EXPECT_TRUE(RgbNear(Centre(), kRed));

    view.setSwitchLength(0);  // the default length: none
    view.setTexture(green.c_str(), 0);
    view.SetType(0);
    view.Switch();
    EXPECT_TRUE(RgbNear(Centre(), kGreen)) << "a default length of 0";

    view.setTexture(red.c_str(), 0);
    view.SetType(0);
    view.Switch(-20);
    EXPECT_TRUE(RgbNear(Centre(), kRed)) << "a negative length";
    platform::AdvanceClock(1);
    EXPECT_TRUE(RgbNear(Centre(), kRed)) << "and it stays";
}

}  // namespace
}  // namespace screen_space
