// GameSoundManager: owns the one-shot sounds and drives the ambient sounds once per frame.
// RepetiveSoundList: the world's own list of the ambient sounds, with the operations scripts
// use to switch them on and off by number (the world manager holds one and forwards to it).
// Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/repetive_sound.h"
#include "media/sound.h"

class GameSoundManager {
public:
    GameSoundManager() = default;
    ~GameSoundManager();
    GameSoundManager(const GameSoundManager&) = delete;
    GameSoundManager& operator=(const GameSoundManager&) = delete;

    // Plays `path` once; the sound is dropped by the first Run after it has finished.
    void AddSound(const std::wstring& path);
    // Drives `sound` from now on; not owned (the world's list owns it for the whole run).
    void AddRepetiveSound(RepetiveSound* sound);
    // Stops driving `sound`, which its owner is about to destroy (a world replaced by a new one).
    void DropRepetiveSound(const RepetiveSound* sound);
    // A bed that plays keeps a resting game looking this often whether it has ended.
    static constexpr std::uint32_t kBedPollMs = 10;

    // Once per frame: drops finished one-shot sounds, starts due ambient sounds (now later
    // than their restart time; a bed not playing) and unloads inactive ones.
    void Run();
    // Milliseconds from `now` (timeGetTime) until a Run has ambient work to do: an active sound
    // due to start again, an inactive one to unload; 0 when due already, at most `limit`. A bed
    // that plays, whose end is not on the clock, allows at most kBedPollMs.
    std::uint32_t MsUntilDue(std::uint32_t now, std::uint32_t limit) const;
    // Destroys every one-shot sound and switches every ambient sound off (the next Run
    // silences them).
    void Clear();

    // One-shot sounds still held.
    std::size_t get_SoundCount() const { return pSounds.size(); }

private:
    std::vector<std::unique_ptr<Sound>> pSounds;
    std::vector<RepetiveSound*> pRepetiveSounds;
};

class RepetiveSoundList {
public:
    RepetiveSoundList() = default;
    RepetiveSoundList(const RepetiveSoundList&) = delete;
    RepetiveSoundList& operator=(const RepetiveSoundList&) = delete;

    // The manager that plays the sounds; set before the first AddRepetiveSound or AddSound.
    void set_SoundManager(GameSoundManager* manager) { c_pGameSoundManager = manager; }

    // Creates ambient sound `number` for `path` (a bed if `bed`), keeps it for the whole run
    // and hands it to the sound manager.
    RepetiveSound* AddRepetiveSound(int number, const std::wstring& path, bool bed = false);
    // For every ambient sound with this number: new bounds (minimum first); switched on only
    // if it is off, so one already playing plays on.
    void ActivateRepetiveSound(int number, int min, int max);
    void DeactivateRepetiveSound(int number);
    // Every ambient sound off (at every change of screen, before the entry scripts run).
    void DeactivateAllRepetiveSounds();
    // A one-shot sound, through the sound manager.
    void AddSound(const std::wstring& path);

    const std::vector<std::unique_ptr<RepetiveSound>>& get_Sounds() const { return c_pRepetiveSounds; }

private:
    GameSoundManager* c_pGameSoundManager = nullptr;
    std::vector<std::unique_ptr<RepetiveSound>> c_pRepetiveSounds;
};
