// The buffered system mouse, driven by injected input: records, the wake-up event, focus loss
// and the overflow policy that never loses a button transition.
#include "platform/input/mouse_device.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/clock/clock.h"
#include "platform/input/input_system.h"
#include "platform/window/window.h"

namespace {

using platform::DeviceObjectData;
using platform::InputResult;
using platform::MouseButton;

class MouseDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetInjectedInput();
        platform::UseManualClock(1000);
        system = platform::InputSystem::Create();
        ASSERT_TRUE(system);
        mouse = system->CreateMouse();
        ASSERT_TRUE(mouse);
        ASSERT_EQ(mouse->SetCooperativeLevel(nullptr, platform::DISCL_EXCLUSIVE | platform::DISCL_FOREGROUND),
                  InputResult::Ok);
        ASSERT_EQ(mouse->SetEventNotification(&event), InputResult::Ok);
        ASSERT_EQ(mouse->SetBufferSize(16), InputResult::Ok);
        ASSERT_EQ(mouse->Acquire(), InputResult::Ok);
    }
    void TearDown() override
    {
        platform::ResetInjectedInput();
        platform::UseRealClock();
    }

    // Reads one record at a time until the buffer is empty; `first` gets the first result.
    std::vector<DeviceObjectData> Drain(InputResult* first = nullptr)
    {
        std::vector<DeviceObjectData> records;
        for (bool firstRead = true;; firstRead = false) {
            DeviceObjectData record;
            std::uint32_t count = 1;
            const InputResult result = mouse->GetDeviceData(&record, &count);
            if (firstRead && first) *first = result;
            if (!platform::Succeeded(result) || count == 0) break;
            records.push_back(record);
        }
        return records;
    }

    platform::InputEvent event;
    std::unique_ptr<platform::InputSystem> system;
    std::unique_ptr<platform::MouseDevice> mouse;
};

std::int32_t Movement(const DeviceObjectData& record) { return static_cast<std::int32_t>(record.dwData); }

TEST_F(MouseDeviceTest, RecordsArriveInOrderAndWakeTheLoopUntilDrained)
{
    EXPECT_FALSE(event.IsSignalled());
    platform::InjectMouseMotion(5, -3);
    EXPECT_TRUE(event.IsSignalled()) << "a queued record must signal the input event";
    platform::InjectMouseButton(MouseButton::Left, true);
    platform::InjectMouseButton(MouseButton::Right, false);
    platform::InjectMouseWheel(-120);

    // Two records in one read, the rest one at a time.
    DeviceObjectData pair[2];
    std::uint32_t count = 2;
    ASSERT_EQ(mouse->GetDeviceData(pair, &count), InputResult::Ok);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(pair[0].dwOfs, platform::DIMOFS_X);
    EXPECT_EQ(Movement(pair[0]), 5);
    EXPECT_EQ(pair[1].dwOfs, platform::DIMOFS_Y);
    EXPECT_EQ(Movement(pair[1]), -3);
    EXPECT_TRUE(event.IsSignalled()) << "records still wait";

    const auto rest = Drain();
    ASSERT_EQ(rest.size(), 3u);
    EXPECT_EQ(rest[0].dwOfs, platform::DIMOFS_BUTTON0);
    EXPECT_EQ(rest[0].dwData, platform::kButtonDownBit);
    EXPECT_EQ(rest[1].dwOfs, platform::DIMOFS_BUTTON1);
    EXPECT_EQ(rest[1].dwData, 0u);
    EXPECT_EQ(rest[2].dwOfs, platform::DIMOFS_Z);
    EXPECT_EQ(Movement(rest[2]), -120);
    EXPECT_LT(pair[1].dwSequence, rest[0].dwSequence);
    EXPECT_EQ(rest[2].dwTimeStamp, 1000u) << "time stamps come from the game clock";
    EXPECT_FALSE(event.IsSignalled()) << "an empty buffer resets the event";
}

TEST_F(MouseDeviceTest, NothingIsBufferedUnlessAcquiredWithABuffer)
{
    ASSERT_EQ(mouse->Unacquire(), InputResult::Ok);
    platform::InjectMouseMotion(10, 10);
    EXPECT_FALSE(event.IsSignalled());
    std::uint32_t count = 0;
    EXPECT_EQ(mouse->GetDeviceData(nullptr, &count), InputResult::NotAcquired);

    ASSERT_EQ(mouse->Acquire(), InputResult::Ok);
    EXPECT_TRUE(Drain().empty()) << "input while unacquired is not kept";

    auto unbuffered = system->CreateMouse();
    ASSERT_EQ(unbuffered->Acquire(), InputResult::Ok);
    platform::InjectMouseButton(MouseButton::Left, true);
    DeviceObjectData record;
    count = 1;
    EXPECT_EQ(unbuffered->GetDeviceData(&record, &count), InputResult::Failed);
    EXPECT_EQ(count, 0u);
}

TEST_F(MouseDeviceTest, LosingTheForegroundDropsTheBufferAndReportsInputLostOnce)
{
    platform::InjectMouseMotion(3, 3);
    platform::SetInputFocusOverride(false);

    DeviceObjectData record;
    std::uint32_t count = 1;
    EXPECT_EQ(mouse->GetDeviceData(&record, &count), InputResult::InputLost);
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(event.IsSignalled());
    count = 1;
    EXPECT_EQ(mouse->GetDeviceData(&record, &count), InputResult::NotAcquired);
    EXPECT_EQ(mouse->Acquire(), InputResult::OtherAppHasPriority);

    platform::InjectMouseButton(MouseButton::Left, false);  // made in another application
    EXPECT_FALSE(event.IsSignalled());

    platform::SetInputFocusOverride(true);
    ASSERT_EQ(mouse->Acquire(), InputResult::Ok);
    EXPECT_TRUE(Drain().empty());
    platform::InjectMouseMotion(1, 0);
    EXPECT_EQ(Drain().size(), 1u) << "movement resumes after re-acquiring";
}

TEST_F(MouseDeviceTest, OverflowMergesMovementButKeepsEveryButtonWhereItHappened)
{
    for (int i = 0; i < 12; ++i) platform::InjectMouseMotion(1, 2);  // 24 records
    platform::InjectMouseButton(MouseButton::Left, true);
    for (int i = 0; i < 12; ++i) platform::InjectMouseMotion(-1, 1);
    platform::InjectMouseButton(MouseButton::Left, false);
    for (int i = 0; i < 12; ++i) platform::InjectMouseMotion(3, 0);

    InputResult first = InputResult::Failed;
    const auto records = Drain(&first);
    EXPECT_EQ(first, InputResult::BufferOverflow) << "merging must be reported";

    int x = 0, y = 0;
    std::vector<std::pair<int, int>> buttonAt;
    std::vector<std::uint32_t> buttonData;
    for (const auto& record : records) {
        if (record.dwOfs == platform::DIMOFS_X) x += Movement(record);
        if (record.dwOfs == platform::DIMOFS_Y) y += Movement(record);
        if (record.dwOfs == platform::DIMOFS_BUTTON0) {
            buttonAt.emplace_back(x, y);
            buttonData.push_back(record.dwData);
        }
    }
    ASSERT_EQ(buttonData, (std::vector<std::uint32_t>{platform::kButtonDownBit, 0u}));
    EXPECT_EQ(buttonAt[0], std::make_pair(12, 24)) << "press where the pointer was";
    EXPECT_EQ(buttonAt[1], std::make_pair(0, 36)) << "release where the pointer was";
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(36, 36)) << "no movement lost";
    EXPECT_LE(records.size(), 16u);

    platform::InjectMouseMotion(1, 0);
    Drain(&first);
    EXPECT_EQ(first, InputResult::Ok) << "the overflow is reported once";
}

TEST_F(MouseDeviceTest, ButtonTransitionsBeyondTheBufferSizeAreAllKept)
{
    for (int i = 0; i < 20; ++i) {
        platform::InjectMouseButton(MouseButton::Right, true);
        platform::InjectMouseButton(MouseButton::Right, false);
    }
    const auto records = Drain();
    ASSERT_EQ(records.size(), 40u);
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(records[i].dwData, i % 2 == 0 ? platform::kButtonDownBit : 0u) << "record " << i;
}

}  // namespace
