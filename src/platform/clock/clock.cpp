#include "platform/clock/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <unistd.h>

namespace {

std::atomic<bool> g_manual{false};
std::atomic<std::uint32_t> g_manualNow{0};
std::atomic<std::uint32_t> g_stepPerPresent{0};
// Only the thread that presents sets and runs it (the game's main thread).
std::function<void()> g_presentHook;

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
    g_presentHook = nullptr;
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

void SetPresentHook(std::function<void()> hook) { g_presentHook = std::move(hook); }

void OnPresent()
{
    if (g_presentHook) g_presentHook();
    if (g_manual) g_manualNow += g_stepPerPresent.load();
}

std::uint32_t StartUpSeed()
{
    // The monotonic clock alone would repeat for two games started in the same instant (a
    // test suite running in parallel); the process id tells them apart. The bits are mixed
    // (a 64-bit finaliser) so that nearby inputs give unrelated seeds.
    const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
    std::uint64_t x = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(sinceBoot).count());
    x ^= static_cast<std::uint64_t>(getpid()) << 32;
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDull;
    x ^= x >> 33;
    x *= 0xC4CEB9FE1A85EC53ull;
    x ^= x >> 33;
    return static_cast<std::uint32_t>(x);
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
