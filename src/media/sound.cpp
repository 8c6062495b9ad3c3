#include "media/sound.h"

namespace {
// Done is reported this close to the stop position (0.1 ms in 100 ns units).
constexpr platform::MediaTime kDoneMargin = 1000;
}  // namespace

Sound::Sound() : pUn(std::make_unique<SoundUnmanaged>()) {}

Sound::Sound(const std::wstring& path) : Sound() { PlayFile(path); }

Sound::~Sound() { Destroy(); }

void Sound::PlayFile(const std::wstring& path)
{
    LoadFile(path);
    pUn->pControl->Run();
    bLoaded = true;
}

void Sound::LoadFile(const std::wstring& path)
{
    Destroy();
    pUn->pGraph = platform::MediaGraph::RenderFile(path);
    if (bMusic) pUn->pGraph->SetAudioGroup(platform::VoiceGroup::Music);
    pUn->pControl = pUn->pGraph.get();
    pUn->pSeeking = pUn->pGraph.get();
}

// Run, Stop and Restart need a graph; without one (no PlayFile yet) they do nothing rather
// than touch a null control.
void Sound::Run()
{
    if (pUn->pControl != nullptr) pUn->pControl->Run();
}

void Sound::Stop()
{
    if (pUn->pControl != nullptr) pUn->pControl->Stop();
}

void Sound::Restart()
{
    if (pUn->pSeeking == nullptr) return;
    const platform::MediaTime start = 0;
    pUn->pSeeking->SetPositions(&start, platform::AM_SEEKING_AbsolutePositioning, nullptr,
                                platform::AM_SEEKING_NoPositioning);
    pUn->pControl->Run();
}

bool Sound::get_Done() const
{
    platform::MediaTime current = 0;
    platform::MediaTime stop = 0;
    if (pUn->pSeeking != nullptr) pUn->pSeeking->GetPositions(&current, &stop);
    return current >= stop - kDoneMargin;
}

platform::MediaTime Sound::get_Position() const
{
    platform::MediaTime current = 0;
    if (pUn->pSeeking != nullptr) pUn->pSeeking->GetPositions(&current, nullptr);
    return current;
}

void Sound::Destroy()
{
    if (!bLoaded) return;
    // The controls are views of the graph: forget them as the graph goes.
    pUn->pGraph.reset();
    pUn->pControl = nullptr;
    pUn->pSeeking = nullptr;
    bLoaded = false;
}

void Sound::SetVolumes(float music, float effects)
{
    platform::Mixer& mixer = platform::Mixer::Default();
    mixer.SetGroupGain(platform::VoiceGroup::Music, music);
    mixer.SetGroupGain(platform::VoiceGroup::Effects, effects);
}
