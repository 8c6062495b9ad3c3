// The game's keyboard snapshot and press detection, driven by injected keys.
#include "input/key_manager.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/input/input_system.h"
#include "platform/input/key_codes.h"
#include "platform/input/keyboard_device.h"

namespace {

using platform::DIK_A;
using platform::DIK_ESCAPE;
using platform::DIK_LSHIFT;

class KeyManagerTest : public ::testing::Test {
protected:
    void SetUp() override { platform::ResetInjectedInput(); }
    void TearDown() override { platform::ResetInjectedInput(); }
};

TEST_F(KeyManagerTest, AHeldKeyIsOnePressUntilReleased)
{
    KeyManager keys(nullptr);
    platform::InjectKey(DIK_A, true);
    keys.Update();
    EXPECT_TRUE(keys.GetKeyPressed(DIK_A));
    keys.Update();
    EXPECT_TRUE(keys.GetKeyPressed(DIK_A)) << "GetKeyPressed leaves the press while the key is held";
    EXPECT_TRUE(keys.GetKeyPressedDel(DIK_A));
    EXPECT_FALSE(keys.GetKeyPressedDel(DIK_A)) << "the press was taken";
    keys.Update();
    EXPECT_FALSE(keys.GetKeyPressed(DIK_A)) << "still held is no new press";
    EXPECT_FALSE(keys.GetKeyPressed(DIK_LSHIFT));

    platform::InjectKey(DIK_A, false);
    keys.Update();
    platform::InjectKey(DIK_A, true);
    keys.Update();
    EXPECT_TRUE(keys.GetKeyPressedDel(DIK_A)) << "down again after a release";
}

TEST_F(KeyManagerTest, TwoUpdatesInOneFrameMakeNoSecondPress)
{
    KeyManager keys(nullptr);
    platform::InjectKey(DIK_ESCAPE, true);
    keys.Update();
    EXPECT_TRUE(keys.GetKeyPressedDel(DIK_ESCAPE));
    keys.Update();  // e.g. the video player's own loop
    EXPECT_FALSE(keys.GetKeyPressedDel(DIK_ESCAPE));
}

TEST_F(KeyManagerTest, ReleasingDropsAnUntakenPress)
{
    KeyManager keys(nullptr);
    platform::InjectKey(DIK_A, true);
    keys.Update();
    platform::InjectKey(DIK_A, false);
    keys.Update();
    EXPECT_FALSE(keys.GetKeyPressed(DIK_A));
}

TEST_F(KeyManagerTest, ATapBetweenTwoFramesReadsPressedForOneFrame)
{
    KeyManager keys(nullptr);
    platform::InjectKey(DIK_ESCAPE, true);
    platform::InjectKey(DIK_ESCAPE, false);
    keys.Update();
    EXPECT_TRUE(keys.GetKeyPressed(DIK_ESCAPE)) << "a quick tap of Escape on a film";
    EXPECT_TRUE(keys.GetKeyPressedDel(DIK_ESCAPE));
    EXPECT_FALSE(keys.GetKeyPressedDel(DIK_ESCAPE)) << "one tap, one press";

    platform::InjectKey(DIK_A, true);
    platform::InjectKey(DIK_A, false);
    keys.Update();
    keys.Update();
    EXPECT_FALSE(keys.GetKeyPressed(DIK_A)) << "a tap not taken in its frame is gone in the next";

    // A fast typist's doubled letter: the second press comes before the frame that sees the
    // first one's release.
    platform::InjectKey(DIK_A, true);
    keys.Update();
    EXPECT_TRUE(keys.GetKeyPressedDel(DIK_A));
    platform::InjectKey(DIK_A, false);
    platform::InjectKey(DIK_A, true);
    keys.Update();
    EXPECT_TRUE(keys.GetKeyPressedDel(DIK_A)) << "the second press";
}

TEST_F(KeyManagerTest, InTheBackgroundAllKeysReadUpAndAHeldKeyPressesAgainOnReturn)
{
    KeyManager keys(nullptr);
    platform::InjectKey(DIK_A, true);
    keys.Update();
    ASSERT_TRUE(keys.GetKeyPressed(DIK_A));

    platform::SetInputFocusOverride(false);
    keys.Update();
    EXPECT_FALSE(keys.GetKeyPressed(DIK_A)) << "the pending press is dropped";
    keys.Update();
    EXPECT_FALSE(keys.GetKeyPressed(DIK_A));

    platform::SetInputFocusOverride(true);
    keys.Update();
    EXPECT_TRUE(keys.GetKeyPressedDel(DIK_A)) << "a key still held counts as a new press";
}

TEST_F(KeyManagerTest, KeyCodesOutsideTheTableAreNeverPressed)
{
    KeyManager keys(nullptr);
    std::array<std::uint8_t, platform::kKeyCodeCount> all;
    all.fill(platform::kKeyDownByte);
    platform::InjectKeyboardState(all);
    keys.Update();
    EXPECT_TRUE(keys.GetKeyPressed(255));
    EXPECT_FALSE(keys.GetKeyPressed(256));
    EXPECT_FALSE(keys.GetKeyPressed(-1));
    EXPECT_FALSE(keys.GetKeyPressedDel(1000));
}

TEST_F(KeyManagerTest, WithoutAKeyboardNothingIsEverPressed)
{
    platform::InjectInputSetupFailure(platform::InputSetupStep::SetCooperativeLevel);
    ::testing::internal::CaptureStderr();
    KeyManager keys(nullptr);
    const std::string shown = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("SetCooperativeLevel - failed"), std::string::npos) << "shown: " << shown;

    platform::InjectKey(DIK_A, true);
    keys.Update();
    EXPECT_FALSE(keys.GetKeyPressed(DIK_A));
}

}  // namespace
