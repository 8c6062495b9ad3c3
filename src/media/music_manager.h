// MusicManager: one background track at a time, chosen by number and looped until another
// is chosen or the music stops; a video may pause it and resume it. Main thread only.
#pragma once

#include <string>
#include <vector>

#include "media/sound.h"

class MusicManager_Song {
public:
    MusicManager_Song(int number, const std::wstring& path) : c_iNumber(number), c_lpPath(path) {}
    int get_Number() const { return c_iNumber; }
    const std::wstring& get_Path() const { return c_lpPath; }

private:
    int c_iNumber;
    std::wstring c_lpPath;
};

class MusicManager {
public:
    // The track number that means no music.
    static constexpr int kNoSong = -999;

    MusicManager() { c_pSound.set_Music(true); }
    MusicManager(const MusicManager&) = delete;
    MusicManager& operator=(const MusicManager&) = delete;

    void AddSong(int number, const std::wstring& path);
    // The first registered song with that number, or null.
    const MusicManager_Song* GetSong(int number) const;
    // kNoSong stops the music; the current number restarts the track only if `restart`;
    // another registered number loads and starts that track. A number that was never
    // registered changes nothing (one line to standard error names it).
    void PlaySong(int number, bool restart);
    // Halts the track; it stays the current one.
    void Pause();
    // Resumes the current track where it halted; nothing when there is none.
    void Play();
    // Halts the track and forgets it, so that a later PlaySong of it starts from the beginning.
    void Stop();
    // Once per frame: a current track that has ended starts again.
    void Run();

    int get_Current() const { return c_iCurrent; }
    const Sound& get_Sound() const { return c_pSound; }

private:
    std::vector<MusicManager_Song> c_pFiles;
    Sound c_pSound;
    int c_iCurrent = kNoSong;
};
