#include "media/repetive_sound.h"

#include <algorithm>
#include <cstdlib>

#include "platform/clock/clock.h"

namespace {
// A divisor for the random draws: the pause formulas divide by (max - min) and by the drawn
// bound, which a caller with min = max (or a bound of 0) would make zero. One instead keeps
// the pause at its lower end rather than crash.
int AtLeastOne(int value) { return std::max(value, 1); }
}  // namespace

RepetiveSound::RepetiveSound(int number, const std::wstring& file) : c_iNumber(number), c_lpcFile(file) {}

RepetiveSound::~RepetiveSound()
{
    if (c_bLoaded) c_pSound->Destroy();
}

void RepetiveSound::set_Active(bool active)
{
    c_bActive = active;
    if (!active) return;
    const std::uint32_t now = timeGetTime();
    if (c_iMax - c_iMin == 0) {
        c_dwRestartTime = now + static_cast<std::uint32_t>(std::rand() % AtLeastOne(c_iMax));
    } else {
        const int r1 = std::rand();
        const int r2 = std::rand();
        const int bound = r2 % AtLeastOne(c_iMax - c_iMin) + c_iMin;
        c_dwRestartTime = now + static_cast<std::uint32_t>(r1 % AtLeastOne(bound));
    }
}

void RepetiveSound::set_Max(int milliseconds)
{
    const std::uint32_t latest = timeGetTime() + static_cast<std::uint32_t>(milliseconds);
    c_dwRestartTime = std::min(c_dwRestartTime, latest);
    c_iMax = milliseconds;
}

void RepetiveSound::Play()
{
    const int pause = std::rand() % AtLeastOne(c_iMax - c_iMin) + c_iMin;
    c_dwRestartTime = timeGetTime() + static_cast<std::uint32_t>(pause);
    if (c_bLoaded) {
        c_pSound->Restart();
    } else {
        c_pSound = std::make_unique<Sound>(c_lpcFile);
        c_bLoaded = true;
    }
}

void RepetiveSound::Unload()
{
    if (!c_bLoaded) return;
    c_pSound.reset();
    c_bLoaded = false;
}
