#include "platform/clock/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<bool> g_manual{false};
std::atomic<std::uint32_t> g_manualNow{0};
std::atomic<std::uint32_t> g_stepPerPresent{0};

std::uint32_t RealNow()
{
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    const auto ms = duration_cast<milliseconds>(steady_clock::now() - start).count();
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

}  // namespace

std::uint32_t timeGetTime()
{
    return g_manual ? g_manualNow.load() : RealNow();
}

namespace platform {

void UseManualClock(std::uint32_t startMs)
{
    g_manualNow = startMs;
    g_manual = true;
}

void UseRealClock()
{
    g_manual = false;
    g_stepPerPresent = 0;
}

bool IsManualClock() { return g_manual; }

void AdvanceClock(std::uint32_t ms)
{
    if (g_manual) g_manualNow += ms;
}

void SetClock(std::uint32_t ms)
{
    if (g_manual) g_manualNow = ms;
}

void SetClockStepPerPresent(std::uint32_t ms) { g_stepPerPresent = ms; }

void OnPresent()
{
    if (g_manual) g_manualNow += g_stepPerPresent.load();
}

void SleepMs(std::uint32_t ms)
{
    if (g_manual) {
        g_manualNow += ms;
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace platform
