// RepetiveSound: an ambient sound that, while active, is started again and again after a
// random pause between a minimum and a maximum number of milliseconds (dripping water, a
// ticking switch). Times are on the millisecond clock (timeGetTime); random numbers come
// from the C library's rand, which start-up seeds. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "media/sound.h"

class RepetiveSound {
public:
    // A sound numbered `number` (as scripts name it) playing `file`; inactive, nothing loaded.
    RepetiveSound(int number, const std::wstring& file);
    ~RepetiveSound();
    RepetiveSound(const RepetiveSound&) = delete;
    RepetiveSound& operator=(const RepetiveSound&) = delete;

    int get_Number() const { return c_iNumber; }
    // The sound file, relative to the working directory.
    const std::wstring& get_File() const { return c_lpcFile; }
    bool get_Active() const { return c_bActive; }
    // Switching on draws the first start time; switching off leaves the sound playing until
    // the sound manager's next Run unloads it.
    void set_Active(bool active);
    // Time of the next start, milliseconds on timeGetTime's clock.
    std::uint32_t get_RestartTime() const { return c_dwRestartTime; }
    void set_Min(int milliseconds) { c_iMin = milliseconds; }
    // Also pulls a pending start forward to now + `milliseconds` if that is sooner.
    void set_Max(int milliseconds);

    // Schedules the next start (min to max - 1 ms from now) and plays the file from its start.
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
    int c_iMin = 0;
    int c_iMax = 0;
    std::uint32_t c_dwRestartTime = 0;
};
