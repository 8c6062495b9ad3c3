// The single main loop: one frame per iteration, with the three hooks the start-up assembly
// fills in. Knows nothing of the game's phases.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/window/window.h"

struct FrameHooks {
    // Before the poll: clears last frame's latched clicks.
    std::function<void()> frameStart;
    // The input event the loop polls (null: none); its handler drains the input records.
    const platform::InputEvent* inputEvent = nullptr;
    std::function<void()> onInputEvent;
    // After the poll: draws and presents one whole frame; false ends the loop.
    std::function<bool()> frameStep;
    // After the frame step: how long the loop may wait for input before the next frame,
    // milliseconds; 0 (or no hook) goes on at once. A frame that showed the same picture as the
    // one before may wait until the next input or the next event due on the clock.
    std::function<std::uint32_t()> restTime;
};

// Runs iterations until the frame step returns false or a quit message arrives. The iteration
// in which the quit message arrives still runs its frame step.
void RunMainLoop(platform::Window& window, const FrameHooks& hooks);
