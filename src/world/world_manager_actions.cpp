// WorldManager: the action interpreter. Every action first reads its parameters (in the
// order stored; a later parameter of a type replaces an earlier one), then performs its effect.
#include <algorithm>
#include <optional>

#include "core/error.h"
#include "display/display_screen.h"
#include "display/world_inventory.h"
#include "input/mouse_manager.h"
#include "media/music_manager.h"
#include "platform/clock/clock.h"
#include "platform/window/window.h"
#include "world/action_codes.h"
#include "media/video_player.h"
#include "world/world_manager.h"

namespace {

constexpr int kVirtualKeyQ = 0x51;
constexpr int kVirtualKeyEscape = 0x1B;
constexpr int kAsyncKeyMask = 0x8000F;  // down now (0x8000, sign-extended) or pressed since
constexpr std::uint32_t kWaitSleepMaxMs = 10;

// Pointer resets of ACT_GotoScreen.
constexpr int kCentreX = 1;
constexpr int kCentreY = 2;

constexpr int kAbsentTransition = -1;
constexpr float kAbsentAngle = -1.0f;

}  // namespace

void WorldManager::ScriptError(const WorldAction& action, const std::string& what) const
{
    const std::string where = "screen " + std::to_string(c_pScreen ? c_pScreen->get_Number() : c_iScreenPosition) +
                              ", action code " + std::to_string(action.get_Type());
    FailSafe::SetInfo("Error in the script of " + where + ".");
    throw Error("in the script of " + where + ": " + what);
}

void WorldManager::ExcuteActionList(const WorldActionlist* list)
{
    ++c_iActionsRun;
    if (c_pWatcher != nullptr) c_pWatcher->ListRun(*list);
    for (int i = 0; i < list->get_ActionNumber(); ++i) ExecuteAction(*list->getAction(i));
}

void WorldManager::ExecuteAction(const WorldAction& action)
{
    const auto first = [&]() -> float {
        if (action.get_ParamCount() == 0) ScriptError(action, "the action needs a first parameter and has none");
        try {
            return action.getParamValue(0);
        } catch (const Error& e) {
            ScriptError(action, e.what());
        }
    };
    // Both item actions name an item the world must define: giving or showing one that does
    // not exist is an authoring fault like any other, not something to pass over.
    const auto definedItem = [&]() -> int {
        const int number = TruncateParam(first());
        if (c_pInventory->GetItem(number) == nullptr) ScriptError(action, "item " + std::to_string(number) + " is not defined");
        return number;
    };
    switch (action.get_Type()) {
    case ACT_GotoScreen: ActGotoScreen(action); break;
    case ACT_ReloadScreen: ActReloadScreen(action); break;
    case ACT_SetVar: ActSetVar(action); break;
    case ACT_ActivateItem: c_pInventory->ActivateItem(definedItem()); break;
    case ACT_ShowItem: JumpToInventoryScreen(definedItem()); break;
    case ACT_HideCursor: c_bHideCursor = TruncateParam(first()) != 0; break;
    case ACT_HideInventory: c_bHideInventory = TruncateParam(first()) != 0; break;
    case ACT_PlaySound: {
        if (action.get_ParamCount() == 0) ScriptError(action, "the sound action has no sound file");
        const wchar_t* path = nullptr;
        const SubtitleItem* caption = nullptr;
        try {
            path = action.getParamPath(0);
            // Type 5, as for a film: the lines shown while the sound plays.
            for (int i = 1; i < action.get_ParamCount(); ++i)
                if (action.getParamType(i) == 5) caption = action.getParamSubtitles(i);
        } catch (const Error& e) {
            ScriptError(action, e.what());
        }
        AddSound(path);
        if (caption != nullptr) ShowCaption(caption);
        break;
    }
    case ACT_Wait: ActWait(action); break;
    case ACT_PlayVideo: ActPlayVideo(action); break;
    case ACT_PlaySong: {
        int number = 1;
        bool restart = false;
        try {
            for (int i = 0; i < action.get_ParamCount(); ++i) {
                if (action.getParamType(i) == 0) number = TruncateParam(action.getParamValue(i));
                if (action.getParamType(i) == 1) restart = action.getParamValue(i) > 0.0f;
            }
        } catch (const Error& e) {
            ScriptError(action, e.what());
        }
        if (c_pMusicManager == nullptr) ScriptError(action, "the world has no music manager");
        if (!c_bRehearsing) c_pMusicManager->PlaySong(number, restart);
        break;
    }
    case ACT_ClickArray: ActClickArray(action); break;
    case ACT_StartRepetiveSound: {
        int number = 0, min = 99999, max = 100000;
        try {
            for (int i = 0; i < action.get_ParamCount(); ++i) {
                const int type = action.getParamType(i);
                if (type == 0) number = TruncateParam(action.getParamValue(i));
                if (type == 1) min = TruncateParam(action.getParamValue(i));
                if (type == 2) max = TruncateParam(action.getParamValue(i));
            }
        } catch (const Error& e) {
            ScriptError(action, e.what());
        }
        ActivateRepetiveSound(number, min, max);
        break;
    }
    case ACT_DropItem: c_iCursorItem = 0; break;
    case ACT_EndGame:
        c_bEndGameMode = true;
        // A first parameter of 1: the credits follow at once, as if the top menu's quit were chosen.
        if (action.get_ParamCount() > 0 && TruncateParam(action.getParamValue(0)) == 1) c_bCreditsNow = true;
        break;
    default: break;  // unknown codes do nothing
    }
}

void WorldManager::ActGotoScreen(const WorldAction& action)
{
    int target = 1;
    int transition = kAbsentTransition;
    float angle = kAbsentAngle;
    int reset = 0;
    try {
        for (int i = 0; i < action.get_ParamCount(); ++i) {
            switch (action.getParamType(i)) {
            case 0: target = TruncateParam(action.getParamValue(i)); break;
            case 1: transition = TruncateParam(action.getParamValue(i)); break;
            case 2: angle = action.getParamValue(i); break;
            case 3: reset = TruncateParam(action.getParamValue(i)); break;
            default: break;
            }
        }
    } catch (const Error& e) {
        ScriptError(action, e.what());
    }
    if (reset == kCentreX || reset == (kCentreX | kCentreY)) c_pMouseManager->clearX();
    if (reset == kCentreY || reset == (kCentreX | kCentreY)) c_pMouseManager->clearY();
    if (transition != 0) {
        c_iCursor = kCursorLoading;
        Render();
    }
    c_pDisplayScreen->RotateBackgroundTo(angle != kAbsentAngle ? angle : c_pDisplayScreen->GetRotation());
    if (transition != kAbsentTransition) {
        JumpToScreen(target, transition);
    } else {
        JumpToScreen(target);
    }
    Render();
}

void WorldManager::ActReloadScreen(const WorldAction& action)
{
    int transition = kAbsentTransition;
    std::optional<float> angle;
    try {
        for (int i = 0; i < action.get_ParamCount(); ++i) {
            if (action.getParamType(i) == 0) transition = TruncateParam(action.getParamValue(i));
            if (action.getParamType(i) == 1) angle = action.getParamValue(i);
        }
    } catch (const Error& e) {
        ScriptError(action, e.what());
    }
    c_iCursor = kCursorLoading;
    Render();
    c_pDisplayScreen->RotateBackgroundTo(angle ? *angle : c_pDisplayScreen->GetRotation());
    if (transition != kAbsentTransition) {
        JumpToScreen(c_iScreenPosition, transition);
    } else {
        JumpToScreen(c_iScreenPosition);
    }
}

void WorldManager::ActSetVar(const WorldAction& action)
{
    int number = 1;
    signed char value = 0;
    bool toggle = false;
    try {
        for (int i = 0; i < action.get_ParamCount(); ++i) {
            switch (action.getParamType(i)) {
            case 0: number = TruncateParam(action.getParamValue(i)); break;
            case 1: value = static_cast<signed char>(TruncateParam(action.getParamValue(i))); break;
            case 2: toggle = true; break;
            case 3: value = getGlobalVarValue(TruncateParam(action.getParamValue(i))); break;
            default: break;
            }
        }
    } catch (const Error& e) {
        ScriptError(action, e.what());
    }
    if (toggle) value = static_cast<signed char>(1 - getGlobalVarValue(number));
    setGlobalVarValue(number, value);
}

bool WorldManager::TakeWaitCutByEscape()
{
    const bool cut = c_bWaitCutByEscape;
    c_bWaitCutByEscape = false;
    return cut;
}

void WorldManager::ActWait(const WorldAction& action)
{
    const bool savedHideCursor = c_bHideCursor;
    const bool savedHideInventory = c_bHideInventory;
    int duration = 0;
    bool render = true;
    try {
        for (int i = 0; i < action.get_ParamCount(); ++i) {
            switch (action.getParamType(i)) {
            case 0: duration = TruncateParam(action.getParamValue(i)); break;
            case 1: c_bHideCursor = TruncateParam(action.getParamValue(i)) != 0; break;
            case 2: c_bHideInventory = TruncateParam(action.getParamValue(i)) != 0; break;
            case 4: render = TruncateParam(action.getParamValue(i)) != 0; break;
            default: break;
            }
        }
    } catch (const Error& e) {
        c_bHideCursor = savedHideCursor;
        c_bHideInventory = savedHideInventory;
        ScriptError(action, e.what());
    }
    if (c_bRehearsing) {
        c_bHideCursor = savedHideCursor;
        c_bHideInventory = savedHideInventory;
        return;
    }

    // Nothing of the game runs meanwhile; the window is kept alive (so the desktop does not
    // think the game hung) and, without frames to pace the loop, the thread sleeps. Q or
    // Escape ends the wait, and the player may have chosen to skip waits altogether.
    if (c_bSkipWaits) duration = 0;
    // An Escape pressed before the wait (leaving a film, closing the settings) is not for it.
    platform::GetAsyncKeyState(kVirtualKeyEscape);
    const std::uint32_t start = timeGetTime();
    const std::uint32_t end = start + static_cast<std::uint32_t>(duration);
    platform::Window* window = platform::GetMainWindow();
    while (end > timeGetTime()) {
        if (render) {
            Render();
        } else {
            platform::SleepMs(std::min(end - timeGetTime(), kWaitSleepMaxMs));
        }
        if (window != nullptr && window->KeepAlive()) {
            window->PostQuit();  // the player closed the window: let the main loop see it
            break;
        }
        if ((static_cast<int>(platform::GetAsyncKeyState(kVirtualKeyQ)) & kAsyncKeyMask) != 0) break;
        if ((static_cast<int>(platform::GetAsyncKeyState(kVirtualKeyEscape)) & kAsyncKeyMask) != 0) {
            c_bWaitCutByEscape = true;
            break;
        }
    }
    c_bHideCursor = savedHideCursor;
    c_bHideInventory = savedHideInventory;
}

void WorldManager::ActPlayVideo(const WorldAction& action)
{
    const wchar_t* path = nullptr;
    std::int64_t start = 0;
    std::int64_t stop = 0;
    bool pauseMusic = false;
    bool fullFrame = false;
    SubtitleItem* subtitles = nullptr;
    try {
        for (int i = 0; i < action.get_ParamCount(); ++i) {
            switch (action.getParamType(i)) {
            case 0: path = action.getParamPath(i); break;
            case 1: start = TruncateParam(action.getParamValue(i)); break;
            case 2: stop = TruncateParam(action.getParamValue(i)); break;
            case 3: pauseMusic = action.getParamValue(i) > 0.0f; break;
            case 4: fullFrame = true; break;
            case 5: subtitles = action.getParamSubtitles(i); break;
            default: break;
            }
        }
    } catch (const Error& e) {
        ScriptError(action, e.what());
    }
    if (path == nullptr) ScriptError(action, "the video action names no video file");
    if (c_bRehearsing) return;
    if (c_pVideoPlayer == nullptr) ScriptError(action, "the world has no video player");
    if (pauseMusic && c_pMusicManager != nullptr) c_pMusicManager->Pause();
    c_pVideoPlayer->PlayVideo(path, start, stop, fullFrame, subtitles);
    if (pauseMusic && c_pMusicManager != nullptr) c_pMusicManager->Play();
}

void WorldManager::ActClickArray(const WorldAction& action)
{
    int number = 0, column = 1, row = 1;
    try {
        for (int i = 0; i < action.get_ParamCount(); ++i) {
            switch (action.getParamType(i)) {
            case 0: number = TruncateParam(action.getParamValue(i)); break;
            case 1: column = TruncateParam(action.getParamValue(i)); break;
            case 2: row = TruncateParam(action.getParamValue(i)); break;
            default: break;
            }
        }
    } catch (const Error& e) {
        ScriptError(action, e.what());
    }
    WorldGlobalVarArray* grid = getGlobalVarArray(number);
    if (grid == nullptr) ScriptError(action, "grid " + std::to_string(number) + " is not defined");
    grid->Click(column, row);
}
