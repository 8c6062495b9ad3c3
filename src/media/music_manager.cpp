#include "media/music_manager.h"

#include <cstdio>

void MusicManager::AddSong(int number, const std::wstring& path) { c_pFiles.emplace_back(number, path); }

const MusicManager_Song* MusicManager::GetSong(int number) const
{
    for (const MusicManager_Song& song : c_pFiles)
        if (song.get_Number() == number) return &song;
    return nullptr;
}

void MusicManager::PlaySong(int number, bool restart)
{
    if (number == kNoSong) {
        Stop();
        return;
    }
    if (number == c_iCurrent) {
        if (restart) c_pSound.Restart();
        return;
    }
    const MusicManager_Song* song = GetSong(number);
    if (song == nullptr) {
        // A script naming a track that start-up never registered: keep what plays now.
        std::fprintf(stderr, "Kelvane: music track %d is not registered; the music is left as it is\n", number);
        return;
    }
    c_pSound.PlayFile(song->get_Path());
    c_iCurrent = number;
}

void MusicManager::Pause() { c_pSound.Stop(); }

void MusicManager::Play()
{
    if (c_iCurrent != kNoSong) c_pSound.Run();
}

void MusicManager::Stop()
{
    c_pSound.Stop();
    c_iCurrent = kNoSong;
}

void MusicManager::Run()
{
    if (c_iCurrent != kNoSong && c_pSound.get_Done()) c_pSound.Restart();
}
