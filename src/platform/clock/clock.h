// The millisecond clock behind timeGetTime. Real by default; tests and the replay harness
// install a manual clock so that fades, waits and scheduling run deterministically.
// Depends on nothing above the standard library.
#pragma once

#include <cstdint>
#include <functional>

// Milliseconds since an arbitrary start, wrapping at 2^32 like the original timer.
std::uint32_t timeGetTime();

namespace platform {

// Replaces the real clock with a manual one that starts at `startMs` and only moves when
// AdvanceClock is called (or by the step given to SetClockStepPerPresent at each Present).
void UseManualClock(std::uint32_t startMs = 0);
// Back to the real clock.
void UseRealClock();
bool IsManualClock();
// Moves the manual clock forward; ignored with the real clock.
void AdvanceClock(std::uint32_t ms);
// Sets the manual clock to an absolute value; ignored with the real clock.
void SetClock(std::uint32_t ms);
// Each Present advances the manual clock by `ms` (0 turns the stepping off).
void SetClockStepPerPresent(std::uint32_t ms);
// Runs `hook` at each Present, on the presenting thread, before the manual clock takes its
// step, so the hook may change the step for this very Present (null: no hook). With it a
// test drives the game from inside loops that hold the main thread and present frames of
// their own (a film). The hook stays until replaced; UseRealClock removes it.
void SetPresentHook(std::function<void()> hook);
// Called by the graphics device after each Present.
void OnPresent();

// A seed for the C random generator that differs from run to run, for the game's random
// set-up at start-up: the system's monotonic clock (time since the system started) in
// nanoseconds, mixed with the process id. Never reads the manual clock, so a game clock that
// counts from its first read cannot make every run the same run.
std::uint32_t StartUpSeed();

// Sleeps the calling thread with the real clock; with the manual clock advances it instead.
// Used by loops that must not spin a core (waits without rendering).
void SleepMs(std::uint32_t ms);

}  // namespace platform
