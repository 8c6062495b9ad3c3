// The single main loop: one frame per iteration, with the three hooks the start-up assembly
// fills in. Knows nothing of the game's phases.
#pragma once

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
};

// Runs iterations until the frame step returns false or a quit message arrives. The iteration
// in which the quit message arrives still runs its frame step.
void RunMainLoop(platform::Window& window, const FrameHooks& hooks);
