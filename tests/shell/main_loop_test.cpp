#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/main_loop.h"
#include "support/harness.h"

namespace {

// Records what each iteration did, in order.
struct LoopTrace {
    std::vector<std::string> calls;
    int frames = 0;
};

FrameHooks TracingHooks(LoopTrace& trace, platform::InputEvent& event, int stopAfterFrames)
{
    FrameHooks hooks;
    hooks.frameStart = [&trace] { trace.calls.push_back("start"); };
    hooks.inputEvent = &event;
    hooks.onInputEvent = [&trace, &event] {
        trace.calls.push_back("input");
        event.Reset();
    };
    hooks.frameStep = [&trace, stopAfterFrames] {
        trace.calls.push_back("step");
        return ++trace.frames < stopAfterFrames;
    };
    return hooks;
}

}  // namespace

TEST(MainLoop, InputEventComesBeforeWaitingMessagesAndQuitStillDrawsItsFrame)
{
    platform::Window& window = kt::GetWindow();
    window.PumpMessages();  // start from an empty queue

    LoopTrace trace;
    platform::InputEvent event;
    event.Signal();
    window.PostQuit();
    RunMainLoop(window, TracingHooks(trace, event, 100));

    // Iteration 1 handles the input event and leaves the quit message waiting; iteration 2
    // pumps it, still runs its frame step, and the loop ends after it.
    const std::vector<std::string> expected = {"start", "input", "step", "start", "step"};
    EXPECT_EQ(trace.calls, expected);
    EXPECT_EQ(trace.frames, 2);
}

TEST(MainLoop, FrameStepReturningFalseEndsTheLoopAfterThatFrame)
{
    platform::Window& window = kt::GetWindow();
    window.PumpMessages();

    LoopTrace trace;
    platform::InputEvent event;
    RunMainLoop(window, TracingHooks(trace, event, 3));
    EXPECT_EQ(trace.frames, 3);
    EXPECT_EQ(std::count(trace.calls.begin(), trace.calls.end(), "input"), 0);
    EXPECT_EQ(std::count(trace.calls.begin(), trace.calls.end(), "start"), 3);
}
