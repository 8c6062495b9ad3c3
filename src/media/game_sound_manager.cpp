#include "media/game_sound_manager.h"

#include <algorithm>

#include "platform/clock/clock.h"

GameSoundManager::~GameSoundManager() { pSounds.clear(); }

void GameSoundManager::AddSound(const std::wstring& path) { pSounds.push_back(std::make_unique<Sound>(path)); }

void GameSoundManager::AddRepetiveSound(RepetiveSound* sound) { pRepetiveSounds.push_back(sound); }

void GameSoundManager::DropRepetiveSound(const RepetiveSound* sound)
{
    std::erase(pRepetiveSounds, sound);
}

void GameSoundManager::Run()
{
    for (auto it = pSounds.begin(); it != pSounds.end();) {
        if ((*it)->get_Done())
            it = pSounds.erase(it);
        else
            ++it;
    }
    const std::uint32_t now = timeGetTime();
    for (RepetiveSound* sound : pRepetiveSounds) {
        if (sound->get_Active()) {
            if (sound->get_Due(now)) sound->Play();
        } else {
            sound->Unload();
        }
    }
}

std::uint32_t GameSoundManager::MsUntilDue(std::uint32_t now, std::uint32_t limit) const
{
    std::uint32_t wait = limit;
    for (const RepetiveSound* sound : pRepetiveSounds) {
        if (!sound->get_Active()) {
            if (sound->get_Loaded()) return 0;
            continue;
        }
        if (sound->get_Bed()) {
            if (sound->get_Due(now)) return 0;
            // Its end is not scheduled: look again soon, so that it starts again close on it.
            if (sound->get_Sound() != nullptr && !sound->get_Sound()->get_Done()) wait = std::min(wait, kBedPollMs);
            continue;
        }
        // Run starts a sound once the clock is past its restart time.
        const std::uint32_t restart = sound->get_RestartTime();
        if (now > restart) return 0;
        wait = std::min(wait, restart - now + 1);
    }
    return wait;
}

void GameSoundManager::Clear()
{
    while (!pSounds.empty()) pSounds.erase(pSounds.begin());
    for (RepetiveSound* sound : pRepetiveSounds) sound->set_Active(false);
}

RepetiveSound* RepetiveSoundList::AddRepetiveSound(int number, const std::wstring& path, bool bed)
{
    c_pRepetiveSounds.push_back(std::make_unique<RepetiveSound>(number, path, bed));
    RepetiveSound* sound = c_pRepetiveSounds.back().get();
    if (c_pGameSoundManager != nullptr) c_pGameSoundManager->AddRepetiveSound(sound);
    return sound;
}

void RepetiveSoundList::ActivateRepetiveSound(int number, int min, int max)
{
    for (auto& sound : c_pRepetiveSounds) {
        if (sound->get_Number() != number) continue;
        sound->set_Min(min);
        sound->set_Max(max);
        if (!sound->get_Active()) sound->set_Active(true);
    }
}

void RepetiveSoundList::DeactivateRepetiveSound(int number)
{
    for (auto& sound : c_pRepetiveSounds)
        if (sound->get_Number() == number) sound->set_Active(false);
}

void RepetiveSoundList::DeactivateAllRepetiveSounds()
{
    for (auto& sound : c_pRepetiveSounds) sound->set_Active(false);
}

void RepetiveSoundList::AddSound(const std::wstring& path)
{
    if (c_pGameSoundManager != nullptr) c_pGameSoundManager->AddSound(path);
}
