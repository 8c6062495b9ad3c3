// The game's pointer and clicks, driven through the injected system mouse as the main loop
// drives it: clear the clicks, drain when the event is signalled, re-acquire.
#include "input/mouse_manager.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/clock/clock.h"
#include "platform/input/input_system.h"
#include "platform/input/mouse_device.h"

namespace {

using platform::MouseButton;

class MouseManagerTest : public ::testing::Test {
protected:
    void SetUp() override { platform::ResetInjectedInput(); }
    void TearDown() override { platform::ResetInjectedInput(); }

    // What happens to mouse input between two of the main loop's frame steps.
    static void Frame(MouseManager& mouse)
    {
        mouse.ClearMouseButtons();
        if (mouse.get_MouseEvent()->IsSignalled()) mouse.ProcessMessage(nullptr);
        mouse.SetAcquire();
    }
    static void Click(MouseButton button)
    {
        platform::InjectMouseButton(button, true);
        platform::InjectMouseButton(button, false);
    }
};

TEST_F(MouseManagerTest, PointerStartsAtTheCentreAndReachesTheScreenSizeItself)
{
    MouseManager mouse(nullptr);
    EXPECT_EQ(mouse.get_X(), 400);
    EXPECT_EQ(mouse.get_Y(), 300);

    platform::InjectMouseMotion(1000, 1000);
    Frame(mouse);
    EXPECT_EQ(mouse.get_X(), 800);
    EXPECT_EQ(mouse.get_Y(), 600);
    EXPECT_FALSE(mouse.Inside(0, 0, 800, 600)) << "x = 800 lies on the right edge";
    EXPECT_TRUE(mouse.Inside(0, 0, 801, 601));

    platform::InjectMouseMotion(INT_MAX, INT_MAX);  // must neither wrap nor overflow
    Frame(mouse);
    EXPECT_EQ(mouse.get_X(), 800);
    platform::InjectMouseMotion(INT_MIN, -5000);
    Frame(mouse);
    EXPECT_EQ(mouse.get_X(), 0);
    EXPECT_EQ(mouse.get_Y(), 0);
    EXPECT_FALSE(mouse.Inside(0, 0, 10, 10)) << "a point on the left and top edges is outside";
    EXPECT_TRUE(mouse.Inside(-1, -1, 10, 10));

    // Clamping happens after each record: the movement back from the edge counts in full.
    platform::InjectMouseMotion(-50, 0);
    platform::InjectMouseMotion(30, 0);
    Frame(mouse);
    EXPECT_EQ(mouse.get_X(), 30);
}

TEST_F(MouseManagerTest, LeftClicksOnReleaseRightClicksOnPress)
{
    MouseManager mouse(nullptr);
    Click(MouseButton::Left);
    Frame(mouse);
    EXPECT_TRUE(mouse.LMouseButtonDown()) << "press and release in one frame is one click";
    EXPECT_FALSE(mouse.LMouseButtonDown()) << "the first query takes the click";
    EXPECT_FALSE(mouse.RMouseButtonDown());

    platform::InjectMouseButton(MouseButton::Left, true);
    Frame(mouse);
    EXPECT_FALSE(mouse.LMouseButtonDown()) << "holding the button is no click";
    Frame(mouse);
    EXPECT_FALSE(mouse.LMouseButtonDown());
    platform::InjectMouseButton(MouseButton::Left, false);
    Frame(mouse);
    EXPECT_TRUE(mouse.LMouseButtonDown()) << "the release clicks";

    platform::InjectMouseButton(MouseButton::Right, true);
    Frame(mouse);
    EXPECT_TRUE(mouse.RMouseButtonDown()) << "the right button clicks when pressed";
    EXPECT_FALSE(mouse.LMouseButtonDown());
    platform::InjectMouseButton(MouseButton::Right, false);
    Frame(mouse);
    EXPECT_FALSE(mouse.RMouseButtonDown()) << "its release is nothing";

    // The middle button, further buttons and the wheel mean nothing.
    Click(MouseButton::Middle);
    Click(MouseButton::Extra);
    platform::InjectMouseWheel(120);
    Frame(mouse);
    EXPECT_FALSE(mouse.LMouseButtonDown());
    EXPECT_FALSE(mouse.RMouseButtonDown());
    EXPECT_EQ(mouse.get_X(), 400);
}

TEST_F(MouseManagerTest, SwappedButtonsTradeLeftAndRight)
{
    platform::SetSwapMouseButtons(true);
    MouseManager mouse(nullptr);
    platform::InjectMouseButton(MouseButton::Right, true);
    Frame(mouse);
    EXPECT_FALSE(mouse.LMouseButtonDown());
    EXPECT_FALSE(mouse.RMouseButtonDown());
    platform::InjectMouseButton(MouseButton::Right, false);
    Frame(mouse);
    EXPECT_TRUE(mouse.LMouseButtonDown()) << "the physical right button clicks left, on release";

    platform::InjectMouseButton(MouseButton::Left, true);
    Frame(mouse);
    EXPECT_TRUE(mouse.RMouseButtonDown()) << "the physical left button clicks right, on press";
}

TEST_F(MouseManagerTest, AClickIsSeenOnlyInTheFrameThatReadIt)
{
    MouseManager mouse(nullptr);
    Click(MouseButton::Left);
    platform::InjectMouseButton(MouseButton::Right, true);
    Frame(mouse);
    Frame(mouse);  // nobody asked in the frame before
    EXPECT_FALSE(mouse.LMouseButtonDown());
    EXPECT_FALSE(mouse.RMouseButtonDown());
}

TEST_F(MouseManagerTest, ManyRecordsInOneFrameKeepTheClickAndTheWholeMovement)
{
    MouseManager mouse(nullptr);
    for (int i = 0; i < 40; ++i) platform::InjectMouseMotion(2, 1);
    platform::InjectMouseButton(MouseButton::Left, true);
    for (int i = 0; i < 40; ++i) platform::InjectMouseMotion(-1, 1);
    platform::InjectMouseButton(MouseButton::Left, false);
    for (int i = 0; i < 40; ++i) platform::InjectMouseMotion(1, -3);
    Frame(mouse);
    EXPECT_TRUE(mouse.LMouseButtonDown()) << "overflow must not lose the release";
    EXPECT_EQ(mouse.get_X(), 400 + 80 - 40 + 40);
    EXPECT_EQ(mouse.get_Y(), 300 + 40 + 40 - 120);
}

TEST_F(MouseManagerTest, APushIntoTheEdgeAndBackWithinOneFrameClampsAtTheEdge)
{
    // A fast mouse sends many records a frame: the pointer stops at the edge on the way out,
    // so the way back starts from the edge, not from where the unclamped sum would put it.
    MouseManager mouse(nullptr);
    for (int i = 0; i < 12; ++i) platform::InjectMouseMotion(-50, 40);  // 600 left, 480 down
    for (int i = 0; i < 8; ++i) platform::InjectMouseMotion(7, -5);
    Frame(mouse);
    EXPECT_EQ(mouse.get_X(), 56) << "stopped at 0, then 56 back";
    EXPECT_EQ(mouse.get_Y(), 560) << "stopped at 600, then 40 back";

    // Turning back and forth at the edge, many times in one frame, keeps every turn.
    for (int i = 0; i < 30; ++i) platform::InjectMouseMotion(i % 2 == 0 ? -100 : 10, 0);
    Frame(mouse);
    EXPECT_EQ(mouse.get_X(), 10);
}

TEST_F(MouseManagerTest, BackgroundInputIsIgnoredAndMovementResumesThroughReacquiring)
{
    MouseManager mouse(nullptr);
    platform::InjectMouseMotion(10, 0);
    platform::SetInputFocusOverride(false);
    Frame(mouse);  // the pending records are lost with the focus
    platform::InjectMouseMotion(10, 0);
    Click(MouseButton::Left);
    Frame(mouse);
    EXPECT_EQ(mouse.get_X(), 400);
    EXPECT_FALSE(mouse.LMouseButtonDown());
    EXPECT_FALSE(mouse.get_MouseEvent()->IsSignalled());

    platform::SetInputFocusOverride(true);
    Frame(mouse);  // re-acquires at its end
    platform::InjectMouseMotion(10, 0);
    Frame(mouse);
    EXPECT_EQ(mouse.get_X(), 410);
}

TEST_F(MouseManagerTest, ClearXAndClearYCentreWithoutARecord)
{
    MouseManager mouse(nullptr);
    platform::InjectMouseMotion(-390, -280);
    Frame(mouse);
    ASSERT_EQ(mouse.get_X(), 10);
    mouse.clearX();
    EXPECT_EQ(mouse.get_X(), 400);
    EXPECT_EQ(mouse.get_Y(), 20);
    platform::InjectMouseMotion(5, 0);
    Frame(mouse);
    EXPECT_EQ(mouse.get_X(), 405) << "the next movement continues from the centre";
    mouse.clearY();
    EXPECT_EQ(mouse.get_Y(), 300);
}

TEST_F(MouseManagerTest, AFailedSetUpReportsTheStepAndLeavesACentredMouseWithoutInput)
{
    struct Case {
        platform::InputSetupStep step;
        const char* message;
    };
    const Case cases[] = {
        {platform::InputSetupStep::CreateInputSystem, "Input8Create - failed"},
        {platform::InputSetupStep::CreateDevice, "CreateDevice - failed"},
        {platform::InputSetupStep::SetCooperativeLevel, "SetCooperativeLevel - failed"},
        {platform::InputSetupStep::SetEventNotification, "SetEventNotification - failed"},
        {platform::InputSetupStep::SetBufferSize, "SetProperty - failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        platform::InjectInputSetupFailure(c.step);
        ::testing::internal::CaptureStderr();
        MouseManager mouse(nullptr);
        const std::string shown = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(shown.find(c.message), std::string::npos) << "shown: " << shown;
        EXPECT_EQ(mouse.get_X(), 400);
        EXPECT_EQ(mouse.get_Y(), 300);
        EXPECT_FALSE(mouse.LMouseButtonDown());
        EXPECT_FALSE(mouse.RMouseButtonDown());

        EXPECT_EQ(mouse.SetAcquire(), 1) << "no device is left";
        platform::InjectMouseMotion(50, 50);
        Click(MouseButton::Left);
        EXPECT_FALSE(mouse.get_MouseEvent()->IsSignalled());
        mouse.ProcessMessage(nullptr);  // safe without a device or a buffer
        EXPECT_EQ(mouse.get_X(), 400);
        EXPECT_FALSE(mouse.LMouseButtonDown());
    }
}

}  // namespace
