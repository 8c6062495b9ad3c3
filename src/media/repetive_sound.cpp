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

RepetiveSound::RepetiveSound(int number, const std::wstring& file, bool bed)
    : c_iNumber(number), c_lpcFile(file), c_bBed(bed)
{
}

RepetiveSound::~RepetiveSound()
{
    if (c_bLoaded) c_pSound->Destroy();
}

void RepetiveSound::set_Active(bool active)
{
    c_bActive = active;
    if (!active) return;
    const std::uint32_t now = timeGetTime();
    if (c_bBed) {
        // Due at once, and no draw: the drips' draws stay what they were without beds.
        c_bSilent = false;
        c_dwRestartTime = now;
        return;
    }
    if (c_iMax - c_iMin == 0) {
        c_dwRestartTime = now + static_cast<std::uint32_t>(std::rand() % AtLeastOne(c_iMax));
    } else {
        const int r1 = std::rand();
        const int r2 = std::rand();
        const int bound = r2 % AtLeastOne(c_iMax - c_iMin) + c_iMin;
        c_dwRestartTime = now + static_cast<std::uint32_t>(r1 % AtLeastOne(bound));
    }
}

bool RepetiveSound::get_Due(std::uint32_t now) const
{
    if (!c_bActive) return false;
    if (!c_bBed) return now > c_dwRestartTime;
    return !c_bSilent && (!c_bLoaded || c_pSound->get_Done());
}

void RepetiveSound::set_Max(int milliseconds)
{
    if (c_bBed) {
        c_iMax = milliseconds;
        return;
    }
    const std::uint32_t latest = timeGetTime() + static_cast<std::uint32_t>(milliseconds);
    c_dwRestartTime = std::min(c_dwRestartTime, latest);
    c_iMax = milliseconds;
}

void RepetiveSound::Play()
{
    if (c_bBed) {
        c_dwRestartTime = timeGetTime();
        if (c_bLoaded) {
            c_pSound->Restart();
        } else {
            c_pSound = std::make_unique<Sound>(c_lpcFile);
            c_bLoaded = true;
        }
        // A file that gives nothing to play would be started again every frame, and would
        // keep a resting game awake.
        c_bSilent = c_pSound->get_Done();
        return;
    }
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
