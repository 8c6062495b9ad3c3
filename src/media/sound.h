// Sound: one sound file (.wav or .mp3) played through a platform playback graph, which the
// owner restarts, halts, resumes and polls for its end once per frame. Every sound the game
// makes is a Sound. Depends on platform/media only; main thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/media/media_graph.h"

// The graph of one loaded file and its two controls. The controls are views of the graph
// (null whenever the graph is), released together with it.
struct SoundUnmanaged {
    std::unique_ptr<platform::MediaGraph> pGraph;
    platform::MediaControl* pControl = nullptr;   // run / stop
    platform::MediaSeeking* pSeeking = nullptr;   // positions, 100 ns
};

class Sound {
public:
    // Nothing loaded.
    Sound();
    // Loads `path` (relative to the working directory) and starts it at once.
    explicit Sound(const std::wstring& path);
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Releases any loaded file, loads `path` and starts it. A missing or unplayable file
    // gives a silent sound that is Done at once; nothing is raised.
    void PlayFile(const std::wstring& path);
    // Starts or resumes from the current position.
    void Run();
    // Halts without rewinding.
    void Stop();
    // Back to the start and playing; never a second voice.
    void Restart();
    // True when the current position is within 0.1 ms of the stop position (the end of the
    // file), and with nothing loaded.
    bool get_Done() const;
    // Releases the graph if one is loaded; safe to call again.
    void Destroy();

    bool get_Loaded() const { return bLoaded; }
    // Whether this sound follows the music volume rather than the effects volume; applies to
    // the files loaded from now on.
    void set_Music(bool music) { bMusic = music; }

    // The player's volumes, 0 (silent) to 1 (as recorded), for every sound and film playing
    // now and later: the music, and everything else.
    static void SetVolumes(float music, float effects);
    // The current position in 100 ns (0 with nothing loaded).
    platform::MediaTime get_Position() const;

private:
    void LoadFile(const std::wstring& path);

    std::unique_ptr<SoundUnmanaged> pUn;
    bool bLoaded = false;
    bool bMusic = false;
};
