// The input devices fed by real SDL events through the game window's poll, headless.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/input/input_system.h"
#include "platform/input/key_codes.h"
#include "platform/input/keyboard_device.h"
#include "platform/input/mouse_device.h"
#include "platform/input/window_pointer.h"
#include "platform/window/window.h"
#include "platform/window/window_sdl.h"
#include "support/harness.h"

namespace {

using platform::InputResult;

void Push(SDL_Event event)
{
    event.common.timestamp = SDL_GetTicks();
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void PushMotion(int dx, int dy)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    Push(event);
}

void PushButton(Uint8 button, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    Push(event);
}

// The desktop's pointer moved to window pixel (x, y).
void PushMotionAt(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    Push(event);
}

// A button at window pixel (x, y), as a desktop reports it.
void PushButtonAt(Uint8 button, bool down, int x, int y)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = x;
    event.button.y = y;
    Push(event);
}

void PushKey(SDL_Scancode scancode, bool down)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    Push(event);
}

void PushResized(platform::Window& window)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    event.window.windowID = SDL_GetWindowID(platform::GetSdlWindow(window));
    Push(event);
}

TEST(InputDevicesWithWindow, SdlEventsBecomeRecordsAndKeysThroughThePoll)
{
    platform::ResetInjectedInput();
    platform::Window& window = kt::GetWindow();
    window.PumpMessages();  // start from an empty queue

    auto system = platform::InputSystem::Create();
    auto mouse = system->CreateMouse();
    auto keyboard = system->CreateKeyboard();
    platform::InputEvent event;
    ASSERT_EQ(mouse->SetCooperativeLevel(&window, platform::DISCL_EXCLUSIVE | platform::DISCL_FOREGROUND),
              InputResult::Ok);
    ASSERT_EQ(mouse->SetEventNotification(&event), InputResult::Ok);
    ASSERT_EQ(mouse->SetBufferSize(16), InputResult::Ok);
    ASSERT_EQ(mouse->Acquire(), InputResult::Ok);
    ASSERT_EQ(keyboard->SetCooperativeLevel(&window, platform::DISCL_NONEXCLUSIVE | platform::DISCL_FOREGROUND),
              InputResult::Ok);
    ASSERT_EQ(keyboard->Acquire(), InputResult::Ok);

    PushMotion(7, -2);
    PushButton(SDL_BUTTON_RIGHT, true);
    PushKey(SDL_SCANCODE_RETURN, true);
    EXPECT_FALSE(event.IsSignalled()) << "nothing arrives before the poll";
    EXPECT_EQ(window.Poll(&event), platform::PollResult::InputEvent);

    std::vector<platform::DeviceObjectData> records;
    for (;;) {
        platform::DeviceObjectData record;
        std::uint32_t count = 1;
        if (!platform::Succeeded(mouse->GetDeviceData(&record, &count)) || count == 0) break;
        records.push_back(record);
    }
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].dwOfs, platform::DIMOFS_X);
    EXPECT_EQ(static_cast<std::int32_t>(records[0].dwData), 7);
    EXPECT_EQ(records[1].dwOfs, platform::DIMOFS_Y);
    EXPECT_EQ(static_cast<std::int32_t>(records[1].dwData), -2);
    EXPECT_EQ(records[2].dwOfs, platform::DIMOFS_BUTTON1);
    EXPECT_EQ(records[2].dwData, platform::kButtonDownBit);
    EXPECT_EQ(window.Poll(&event), platform::PollResult::Timeout) << "input events are not window messages";

    std::array<std::uint8_t, platform::kKeyCodeCount> state{};
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_RETURN], 0x81) << "down, and pressed since the last read";

    // A key event the window has not gathered yet still reaches the snapshot (video playback
    // reads the keyboard without polling the window).
    PushKey(SDL_SCANCODE_RETURN, false);
    PushKey(SDL_SCANCODE_ESCAPE, true);
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_RETURN], 0x00);
    EXPECT_EQ(state[platform::DIK_ESCAPE], 0x81);
    PushKey(SDL_SCANCODE_ESCAPE, false);
    window.PumpMessages();
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_ESCAPE], 0x00);

    // A tap whose press and release both arrive between two reads is still a press, once; a
    // key held with the system's auto-repeat is not pressed again.
    PushKey(SDL_SCANCODE_RETURN, true);
    PushKey(SDL_SCANCODE_RETURN, false);
    PushKey(SDL_SCANCODE_SPACE, true);
    window.PumpMessages();
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_RETURN], platform::kKeyPressedBit);
    PushKey(SDL_SCANCODE_SPACE, true);  // a repeat
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_RETURN], 0x00);
    EXPECT_EQ(state[platform::DIK_SPACE], 0x80);
    PushKey(SDL_SCANCODE_SPACE, false);
    window.PumpMessages();
}

// Alt+Enter is the window's (it switches between full screen and a window) and never reaches
// the game as Return, however the keyboard's read and the window's poll fall: a read that
// gathers SDL's queue itself (video playback) must not take the key past the window.
// The mouse's counts, taken relatively, move the pointer at the player's pointer speed; the parts
// of a pixel carry over, so a slow pointer still moves. Movements injected by the harness (the
// replays) and a desktop's pointer are not scaled.
TEST(InputDevicesWithWindow, RelativeCountsMoveThePointerAtThePointerSpeed)
{
    platform::ResetInjectedInput();
    platform::Window& window = kt::GetWindow();
    window.PumpMessages();
    auto system = platform::InputSystem::Create();
    auto mouse = system->CreateMouse();
    platform::InputEvent event;
    ASSERT_EQ(mouse->SetCooperativeLevel(&window, platform::DISCL_EXCLUSIVE | platform::DISCL_FOREGROUND),
              InputResult::Ok);
    ASSERT_EQ(mouse->SetEventNotification(&event), InputResult::Ok);
    ASSERT_EQ(mouse->SetBufferSize(64), InputResult::Ok);
    ASSERT_EQ(mouse->Acquire(), InputResult::Ok);
    const auto moved = [&] {
        int x = 0, y = 0;
        window.PumpMessages();
        for (;;) {
            platform::DeviceObjectData record;
            std::uint32_t count = 1;
            if (!platform::Succeeded(mouse->GetDeviceData(&record, &count)) || count == 0) break;
            if (record.dwOfs == platform::DIMOFS_X) x += static_cast<std::int32_t>(record.dwData);
            if (record.dwOfs == platform::DIMOFS_Y) y += static_cast<std::int32_t>(record.dwData);
        }
        return std::pair{x, y};
    };

    platform::SetPointerSpeed(2.0f);
    PushMotion(7, -3);
    EXPECT_EQ(moved(), (std::pair{14, -6}));
    platform::SetPointerSpeed(0.4f);
    for (int i = 0; i < 10; ++i) PushMotion(1, -1);  // a slow drag: 0.4 of a pixel a count
    EXPECT_EQ(moved(), (std::pair{4, -4})) << "the parts of a pixel add up";
    platform::SetPointerSpeed(100.0f);
    PushMotion(1, 0);
    EXPECT_EQ(moved(), (std::pair{4, 0})) << "the speed is held to four times the game's";
    platform::InjectMouseMotion(5, 5);
    EXPECT_EQ(moved(), (std::pair{5, 5})) << "the harness's movements are the game's own";
    platform::ResetInjectedInput();
    PushMotion(3, 3);
    EXPECT_EQ(moved(), (std::pair{3, 3})) << "a reset gives the game's own speed back";
}

TEST(InputDevicesWithWindow, AltEnterNeverReachesTheKeyboardAsReturn)
{
    platform::ResetInjectedInput();
    platform::Window& window = kt::GetWindow();
    window.PumpMessages();
    const bool wasFullscreen = window.IsFullscreen();
    auto system = platform::InputSystem::Create();
    auto keyboard = system->CreateKeyboard();
    ASSERT_EQ(keyboard->SetCooperativeLevel(&window, platform::DISCL_NONEXCLUSIVE | platform::DISCL_FOREGROUND),
              InputResult::Ok);
    ASSERT_EQ(keyboard->Acquire(), InputResult::Ok);
    std::array<std::uint8_t, platform::kKeyCodeCount> state{};
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);

    SDL_Event altEnter{};
    altEnter.type = SDL_KEYDOWN;
    altEnter.key.state = SDL_PRESSED;
    altEnter.key.keysym.scancode = SDL_SCANCODE_RETURN;
    altEnter.key.keysym.sym = SDLK_RETURN;
    altEnter.key.keysym.mod = KMOD_LALT;
    for (const bool polled : {false, true}) {
        Push(altEnter);
        if (polled) window.PumpMessages();
        ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
        EXPECT_EQ(state[platform::DIK_RETURN], 0) << (polled ? "after the poll" : "read before the poll");
        const bool switchedTwice = polled;
        EXPECT_EQ(window.IsFullscreen(), switchedTwice ? wasFullscreen : !wasFullscreen)
            << "Alt+Enter did not switch the window";
    }
    PushKey(SDL_SCANCODE_RETURN, false);
    window.PumpMessages();
    ASSERT_EQ(keyboard->GetDeviceState(state.size(), state.data()), InputResult::Ok);
    EXPECT_EQ(state[platform::DIK_RETURN], 0);
    window.SetFullscreen(wasFullscreen);
}

// The game's pointer in a window follows the desktop's; when the game puts its pointer back to
// the centre itself, the next desktop movement moves it from there, not from where it was.
TEST(InputDevicesWithWindow, TheGamePlacingItsPointerIsWhereTheNextDesktopMovementStarts)
{
    platform::Window& window = kt::GetWindow();
    SDL_Window* sdl = platform::GetSdlWindow(window);
    SDL_SetWindowSize(sdl, 1920, 1080);
    PushResized(window);
    window.PumpMessages();
    platform::WindowPointer pointer;
    int wx = 0, wy = 0, dx = 0, dy = 0;
    window.PictureToWindow(700, 300, &wx, &wy);
    EXPECT_TRUE(pointer.MoveTo(window, wx, wy, &dx, &dy));
    EXPECT_EQ(dx, 300);
    EXPECT_EQ(dy, 0);

    pointer.Place(window, 400, 300);  // where the desktop pointer is warped with it
    window.PictureToWindow(410, 295, &wx, &wy);
    EXPECT_TRUE(pointer.MoveTo(window, wx, wy, &dx, &dy));
    EXPECT_EQ(dx, 10) << "moved from the placed pointer";
    EXPECT_EQ(dy, -5);
    SDL_SetWindowSize(sdl, 800, 600);
    PushResized(window);
    window.PumpMessages();
}

// A mouse device on the test window whose pointer is the desktop's, as in a window on a
// display, with the window resized to a wide screen (black bars left and right).
class DesktopPointerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::ResetInjectedInput();
        platform::SetDesktopPointerOverride(true);
        SDL_SetWindowSize(platform::GetSdlWindow(window), 1920, 1080);
        PushResized(window);
        window.PumpMessages();
        mouse = system->CreateMouse();
        ASSERT_EQ(mouse->SetCooperativeLevel(&window, platform::DISCL_EXCLUSIVE | platform::DISCL_FOREGROUND),
                  InputResult::Ok);
        ASSERT_EQ(mouse->SetBufferSize(16), InputResult::Ok);
        ASSERT_EQ(mouse->Acquire(), InputResult::Ok);
    }
    void TearDown() override
    {
        mouse.reset();
        platform::ResetInjectedInput();
        SDL_SetWindowSize(platform::GetSdlWindow(window), 800, 600);
        PushResized(window);
        window.PumpMessages();
    }

    // The records the device holds, oldest first, and the result of the first read.
    std::vector<platform::DeviceObjectData> Records(InputResult* first = nullptr)
    {
        std::vector<platform::DeviceObjectData> records;
        for (bool firstRead = true;; firstRead = false) {
            platform::DeviceObjectData record;
            std::uint32_t count = 1;
            const InputResult result = mouse->GetDeviceData(&record, &count);
            if (firstRead && first) *first = result;
            if (!platform::Succeeded(result) || count == 0) break;
            records.push_back(record);
        }
        return records;
    }

    // The button records the poll delivered, oldest first.
    std::vector<platform::DeviceObjectData> Buttons()
    {
        window.PumpMessages();
        std::vector<platform::DeviceObjectData> buttons;
        for (const platform::DeviceObjectData& record : Records()) {
            if (record.dwOfs >= platform::DIMOFS_BUTTON0) buttons.push_back(record);
        }
        return buttons;
    }

    // Moves the game's pointer by the records waiting, as the game does: clamped to the
    // picture after every record.
    void MoveGamePointer()
    {
        for (const platform::DeviceObjectData& record : Records()) {
            const int d = static_cast<std::int32_t>(record.dwData);
            if (record.dwOfs == platform::DIMOFS_X) gameX = std::clamp(gameX + d, 0, 800);
            if (record.dwOfs == platform::DIMOFS_Y) gameY = std::clamp(gameY + d, 0, 600);
        }
    }

    // Moves the desktop's pointer onto picture pixel (x, y).
    void MoveDesktopPointer(int x, int y)
    {
        int wx = 0, wy = 0;
        window.PictureToWindow(x, y, &wx, &wy);
        PushMotionAt(wx, wy);
        window.PumpMessages();
    }

    platform::Window& window = kt::GetWindow();
    std::unique_ptr<platform::InputSystem> system = platform::InputSystem::Create();
    std::unique_ptr<platform::MouseDevice> mouse;
    int gameX = 400, gameY = 300;  // the game's pointer starts at the picture's centre
};

// A click on the black bars reaches the game not at all: not its press, and not its release
// either, which would land on the picture's edge beside the bar (and a left click counts on
// the release). A click that begins on the picture keeps its release wherever it ends.
TEST_F(DesktopPointerTest, AClickOnTheBarsIsDroppedWholeForEveryButton)
{
    const platform::PictureRect picture = window.GetPictureRect();
    ASSERT_GT(picture.x, 0) << "the wide window has bars left and right";
    const int rightBar = picture.x + picture.width + 2;
    const int leftBar = picture.x / 2;
    const int middle = picture.y + picture.height / 2;

    PushButtonAt(SDL_BUTTON_LEFT, true, rightBar, middle);
    PushButtonAt(SDL_BUTTON_LEFT, false, rightBar, middle);
    PushButtonAt(SDL_BUTTON_RIGHT, true, leftBar, middle);
    PushButtonAt(SDL_BUTTON_RIGHT, false, picture.x + 10, middle);  // released on the picture
    PushButtonAt(SDL_BUTTON_MIDDLE, true, leftBar, middle);
    PushButtonAt(SDL_BUTTON_MIDDLE, false, leftBar, middle);
    EXPECT_TRUE(Buttons().empty()) << "a click begun on the bars reached the game";

    PushButtonAt(SDL_BUTTON_LEFT, true, picture.x + 10, middle);
    PushButtonAt(SDL_BUTTON_LEFT, false, rightBar, middle);  // dragged off onto the bar
    PushButtonAt(SDL_BUTTON_LEFT, true, rightBar, middle);
    PushButtonAt(SDL_BUTTON_LEFT, false, rightBar, middle);
    const auto buttons = Buttons();
    ASSERT_EQ(buttons.size(), 2u) << "a click begun on the picture must keep its release";
    EXPECT_EQ(buttons[0].dwOfs, platform::DIMOFS_BUTTON0);
    EXPECT_EQ(buttons[0].dwData, platform::kButtonDownBit);
    EXPECT_EQ(buttons[1].dwOfs, platform::DIMOFS_BUTTON0);
    EXPECT_EQ(buttons[1].dwData, 0u);
}

// The desktop's pointer goes on moving over a window in the background, the game's does not,
// and records waiting at the focus loss are dropped unread: when the focus returns and the
// game acquires the mouse again, its pointer is put back under the desktop's at once.
TEST_F(DesktopPointerTest, TheGamesPointerRejoinsTheDesktopsWhenTheFocusReturns)
{
    MoveGamePointer();  // whatever the first acquisition queued
    MoveDesktopPointer(100, 120);
    MoveGamePointer();
    ASSERT_EQ(gameX, 100);
    ASSERT_EQ(gameY, 120);

    MoveDesktopPointer(300, 250);  // queued, never read
    platform::SetInputFocusOverride(false);
    MoveDesktopPointer(650, 400);  // over the window in the background
    InputResult lost = InputResult::Ok;
    EXPECT_TRUE(Records(&lost).empty());
    EXPECT_EQ(lost, InputResult::InputLost);

    platform::SetInputFocusOverride(true);
    ASSERT_EQ(mouse->Acquire(), InputResult::Ok);
    MoveGamePointer();
    EXPECT_EQ(gameX, 650) << "the game's pointer is not under the desktop's when the focus returns";
    EXPECT_EQ(gameY, 400);
    MoveDesktopPointer(660, 395);
    MoveGamePointer();
    EXPECT_EQ(gameX, 660) << "the pointers drifted apart";
    EXPECT_EQ(gameY, 395);
}

}  // namespace
