#include "shell/player_settings.h"

#include <cstdio>
#include <string>
#include <utility>

#include "media/sound.h"
#include "media/video_player.h"
#include "platform/gfx/device.h"
#include "platform/input/input_system.h"
#include "shell/winfunc.h"
#include "world/world_manager.h"

PlayerSettings::PlayerSettings(std::filesystem::path path, WorldManager* world, VideoPlayer* videos,
                               gfx::Device* device)
    : c_path(std::move(path)), c_pWorldManager(world), c_pVideoPlayer(videos), c_pDevice(device)
{
}

void PlayerSettings::Load()
{
    c_settings = LoadSettings(c_path);
    c_bKeptFullScreen = c_settings.fullScreen;
    Apply(!c_settings.fullScreen && Winfunc::IsFullscreen());
    // The settings show the mode the window is really in (started with --windowed, say),
    // while the file keeps the player's choice until the player makes another.
    if (Winfunc::hWnd != nullptr) c_settings.fullScreen = Winfunc::IsFullscreen();
}

void PlayerSettings::Set(const Settings& settings)
{
    const bool windowMode = settings.fullScreen != c_settings.fullScreen;
    c_settings = settings;
    c_settings.Clamp();
    if (windowMode) c_bKeptFullScreen = c_settings.fullScreen;
    Apply(windowMode);
}

void PlayerSettings::Save() const
{
    Settings kept = c_settings;
    kept.fullScreen = c_bKeptFullScreen;
    std::string error;
    if (!SaveSettings(c_path, kept, &error)) std::fprintf(stderr, "Kelvane: %s\n", error.c_str());
}

bool PlayerSettings::FollowWindow()
{
    const int now = Winfunc::IsFullscreen() ? 1 : 0;
    const bool switched = c_iWindowSeen >= 0 && now != c_iWindowSeen;
    c_iWindowSeen = now;
    // Only a switch counts: a game that starts in a window for its own reasons (a test's
    // hidden window) keeps the player's file as it is.
    if (!switched || c_settings.fullScreen == (now == 1)) return false;
    c_settings.fullScreen = now == 1;
    c_bKeptFullScreen = c_settings.fullScreen;
    Save();
    return true;
}

void PlayerSettings::ChangeWorld(WorldManager* world)
{
    c_pWorldManager = world;
    Apply(false);
}

void PlayerSettings::Apply(bool switchWindowMode)
{
    Sound::SetVolumes(c_settings.MusicGain(), c_settings.EffectsGain());
    if (c_pDevice != nullptr) c_pDevice->SetGamma(c_settings.Gamma());
    if (c_pVideoPlayer != nullptr) c_pVideoPlayer->set_Subtitles(c_settings.subtitles, c_settings.largeSubtitles);
    if (c_pWorldManager != nullptr) {
        c_pWorldManager->set_TurningFactor(c_settings.TurningFactor());
        c_pWorldManager->set_SkipWaits(c_settings.skipWaits);
    }
    platform::SetPointerSpeed(c_settings.PointerFactor());
    if (switchWindowMode) Winfunc::SetFullscreen(c_settings.fullScreen);
    c_iWindowSeen = Winfunc::IsFullscreen() ? 1 : 0;
}
