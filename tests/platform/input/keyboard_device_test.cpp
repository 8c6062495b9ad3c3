// The keyboard snapshot device, driven by injected keys, and the scancode table behind it.
#include "platform/input/keyboard_device.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>

#include "platform/input/input_system.h"
#include "platform/input/key_codes.h"

namespace {

using platform::InputResult;
using Snapshot = std::array<std::uint8_t, platform::kKeyCodeCount>;

class KeyboardDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetInjectedInput();
        system = platform::InputSystem::Create();
        keyboard = system->CreateKeyboard();
        ASSERT_TRUE(keyboard);
        ASSERT_EQ(keyboard->SetCooperativeLevel(nullptr, platform::DISCL_NONEXCLUSIVE | platform::DISCL_FOREGROUND),
                  InputResult::Ok);
        ASSERT_EQ(keyboard->Acquire(), InputResult::Ok);
    }
    void TearDown() override { platform::ResetInjectedInput(); }

    std::unique_ptr<platform::InputSystem> system;
    std::unique_ptr<platform::KeyboardDevice> keyboard;
};

TEST_F(KeyboardDeviceTest, SnapshotHoldsTheKeysDownAs0x80AndFreshPressesWithTheirBit)
{
    platform::InjectKey(platform::DIK_A, true);
    platform::InjectKey(platform::DIK_LSHIFT, true);
    Snapshot state;
    state.fill(0x55);
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    for (int k = 0; k < platform::kKeyCodeCount; ++k) {
        const bool down = k == platform::DIK_A || k == platform::DIK_LSHIFT;
        EXPECT_EQ(state[k], down ? 0x81 : 0x00) << "key code " << k;
    }
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_A], 0x80) << "held since the last read: no new press";

    Snapshot whole{};
    whole[platform::DIK_RETURN] = 0x81;  // only bit 0x80 means down
    whole[platform::DIK_SPACE] = 0x01;
    platform::InjectKeyboardState(whole);
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_RETURN], 0x81);
    EXPECT_EQ(state[platform::DIK_SPACE], 0x00);
    EXPECT_EQ(state[platform::DIK_A], 0x00) << "a whole snapshot replaces single keys";
}

TEST_F(KeyboardDeviceTest, APressBetweenTwoReadsIsReportedOnceEvenWhenTheKeyIsUpAgain)
{
    Snapshot state;
    platform::InjectKey(platform::DIK_ESCAPE, true);
    platform::InjectKey(platform::DIK_ESCAPE, false);
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_ESCAPE], platform::kKeyPressedBit) << "a tap shorter than a frame";
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_ESCAPE], 0x00) << "reported once";

    platform::InjectKey(platform::DIK_E, true);
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    platform::InjectKey(platform::DIK_E, false);  // released and pressed again between reads
    platform::InjectKey(platform::DIK_E, true);
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_E], 0x81);

    // A second keyboard opened now does not see the presses made before it.
    std::unique_ptr<platform::KeyboardDevice> later = system->CreateKeyboard();
    ASSERT_EQ(later->SetCooperativeLevel(nullptr, platform::DISCL_NONEXCLUSIVE | platform::DISCL_FOREGROUND),
              InputResult::Ok);
    ASSERT_EQ(later->Acquire(), InputResult::Ok);
    ASSERT_EQ(later->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_ESCAPE], 0x00);
    EXPECT_EQ(state[platform::DIK_E], 0x80);

    // Nor are presses made while the window is in the background reported on its return.
    platform::SetInputFocusOverride(false);
    EXPECT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::InputLost);
    platform::InjectKey(platform::DIK_Q, true);
    platform::InjectKey(platform::DIK_Q, false);
    EXPECT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::NotAcquired);
    platform::SetInputFocusOverride(true);
    ASSERT_EQ(keyboard->Acquire(), InputResult::Ok);
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_Q], 0x00);
}

TEST_F(KeyboardDeviceTest, InTheBackgroundReadsFailAndLeaveTheBufferAlone)
{
    platform::InjectKey(platform::DIK_ESCAPE, true);
    platform::SetInputFocusOverride(false);
    Snapshot state;
    state.fill(0x11);
    EXPECT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::InputLost);
    EXPECT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::NotAcquired);
    EXPECT_EQ(state[platform::DIK_ESCAPE], 0x11);
    EXPECT_EQ(keyboard->Acquire(), InputResult::OtherAppHasPriority);
    EXPECT_EQ(keyboard->GetDeviceState(255, state.data()), InputResult::InvalidParam);
}

TEST(KeyCodes, EveryKeyTheGameReadsHasItsCode)
{
    const std::map<SDL_Scancode, int> expected = {
        {SDL_SCANCODE_ESCAPE, 1},     {SDL_SCANCODE_BACKSPACE, 14}, {SDL_SCANCODE_RETURN, 28},
        {SDL_SCANCODE_LSHIFT, 42},    {SDL_SCANCODE_SPACE, 57},     {SDL_SCANCODE_PERIOD, 52},
        {SDL_SCANCODE_A, 30},         {SDL_SCANCODE_B, 48},         {SDL_SCANCODE_C, 46},
        {SDL_SCANCODE_D, 32},         {SDL_SCANCODE_E, 18},         {SDL_SCANCODE_F, 33},
        {SDL_SCANCODE_G, 34},         {SDL_SCANCODE_H, 35},         {SDL_SCANCODE_I, 23},
        {SDL_SCANCODE_J, 36},         {SDL_SCANCODE_K, 37},         {SDL_SCANCODE_L, 38},
        {SDL_SCANCODE_M, 50},         {SDL_SCANCODE_N, 49},         {SDL_SCANCODE_O, 24},
        {SDL_SCANCODE_P, 25},         {SDL_SCANCODE_Q, 16},         {SDL_SCANCODE_R, 19},
        {SDL_SCANCODE_S, 31},         {SDL_SCANCODE_T, 20},         {SDL_SCANCODE_U, 22},
        {SDL_SCANCODE_V, 47},         {SDL_SCANCODE_W, 17},         {SDL_SCANCODE_X, 45},
        {SDL_SCANCODE_Y, 21},         {SDL_SCANCODE_Z, 44},         {SDL_SCANCODE_0, 11},
        {SDL_SCANCODE_1, 2},          {SDL_SCANCODE_2, 3},          {SDL_SCANCODE_3, 4},
        {SDL_SCANCODE_4, 5},          {SDL_SCANCODE_5, 6},          {SDL_SCANCODE_6, 7},
        {SDL_SCANCODE_7, 8},          {SDL_SCANCODE_8, 9},          {SDL_SCANCODE_9, 10},
    };
    for (const auto& [scancode, code] : expected)
        EXPECT_EQ(platform::KeyCodeFromScancode(scancode), code) << SDL_GetScancodeName(scancode);

    // Right Shift must not pass for the left one (capitals need the left Shift).
    EXPECT_NE(platform::KeyCodeFromScancode(SDL_SCANCODE_RSHIFT), platform::DIK_LSHIFT);
}

TEST(KeyCodes, NoTwoKeysShareACodeAndUnknownKeysHaveNone)
{
    std::map<int, int> scancodeOfCode;
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        const int code = platform::KeyCodeFromScancode(scancode);
        if (code == 0) continue;
        const auto [it, fresh] = scancodeOfCode.emplace(code, scancode);
        EXPECT_TRUE(fresh) << "key code " << code << " for scancodes " << it->second << " and " << scancode;
    }
    EXPECT_GE(scancodeOfCode.size(), 100u) << "the whole keyboard is mapped";
    EXPECT_EQ(platform::KeyCodeFromScancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(platform::KeyCodeFromScancode(-1), 0);
    EXPECT_EQ(platform::KeyCodeFromScancode(SDL_NUM_SCANCODES), 0);
}

}  // namespace
