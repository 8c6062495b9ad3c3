#include "shell/main_loop.h"

void RunMainLoop(platform::Window& window, const FrameHooks& hooks)
{
    bool done = false;
    while (!done) {
        if (hooks.frameStart) hooks.frameStart();

        switch (window.Poll(hooks.inputEvent)) {
        case platform::PollResult::InputEvent:
            // Window messages waiting at the same time are left for a later iteration.
            if (hooks.onInputEvent) hooks.onInputEvent();
            break;
        case platform::PollResult::Messages:
            if (window.PumpMessages()) done = true;
            break;
        case platform::PollResult::Timeout:
            break;
        }

        const bool goOn = hooks.frameStep ? hooks.frameStep() : false;
        done = !goOn || done;
        if (!done && hooks.restTime) window.WaitForInput(hooks.restTime(), hooks.inputEvent);
    }
}
