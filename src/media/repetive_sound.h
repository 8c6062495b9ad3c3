// RepetiveSound: an ambient sound that, while active, is started again and again after a
// random pause between a minimum and a maximum number of milliseconds (dripping water, a
// ticking switch). Times are on the millisecond clock (timeGetTime); random numbers come
// from the C library's rand, which start-up seeds. Main thread only.
// A bed (a region's continuous sound under the music: wind and surf, a room's tone) is the
// other way of playing: it starts as soon as it is switched on and starts again the moment
// it ends, until switched off. A bed draws no random numbers and takes no notice of the
// bounds, so the other ambient sounds' draws are the same with or without beds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "media/sound.h"

class RepetiveSound {
public:
    // A sound numbered `number` (as scripts name it) playing `file`, a bed if `bed`;
    // inactive, nothing loaded.
    RepetiveSound(int number, const std::wstring& file, bool bed = false);
    ~RepetiveSound();
    RepetiveSound(const RepetiveSound&) = delete;
    RepetiveSound& operator=(const RepetiveSound&) = delete;

    int get_Number() const { return c_iNumber; }
    // The sound file, relative to the working directory.
    const std::wstring& get_File() const { return c_lpcFile; }
    bool get_Active() const { return c_bActive; }
    bool get_Bed() const { return c_bBed; }
    // Switching on draws the first start time (a bed is due at once); switching off leaves
    // the sound playing until the sound manager's next Run unloads it.
    void set_Active(bool active);
    // Whether the sound manager's Run at `now` starts the sound: an active sound past its
    // restart time; an active bed that is not playing (not loaded, or at its end), unless its
    // file gave no sound (see Play).
    bool get_Due(std::uint32_t now) const;
    // Time of the next start, milliseconds on timeGetTime's clock.
    std::uint32_t get_RestartTime() const { return c_dwRestartTime; }
    void set_Min(int milliseconds) { c_iMin = milliseconds; }
    // Also pulls a pending start forward to now + `milliseconds` if that is sooner (not for a
    // bed, which keeps no schedule).
    void set_Max(int milliseconds);

    // Schedules the next start (min to max - 1 ms from now) and plays the file from its start.
    // A bed notes the moment it started as its restart time (a caption shows at each start)
    // and, if its file gives no sound at all (missing or unplayable: done the moment it
    // starts), is not started again until it is next switched on.
    void Play();
    // Drops the Sound (silencing it).
    void Unload();

    bool get_Loaded() const { return c_bLoaded; }
    // The playing sound, or null when nothing is loaded.
    const Sound* get_Sound() const { return c_pSound.get(); }

private:
    int c_iNumber;
    std::wstring c_lpcFile;
    std::unique_ptr<Sound> c_pSound;
    bool c_bLoaded = false;
    bool c_bActive = false;
    bool c_bBed = false;
    bool c_bSilent = false;  // a bed whose file gave no sound since it was switched on
    int c_iMin = 0;
    int c_iMax = 0;
    std::uint32_t c_dwRestartTime = 0;
};
