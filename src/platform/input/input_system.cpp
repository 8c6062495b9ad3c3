// The input system's settings and test hooks, and the registry of open mouse devices.
#include "platform/input/input_system.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "platform/input/input_internal.h"
#include "platform/input/keyboard_device.h"
#include "platform/input/mouse_device.h"
#include "platform/window/window.h"

namespace platform {

namespace {

// One lock for the settings below; the registry's iteration runs without it held by callers.
std::mutex g_settingsMutex;
bool g_bSwapButtons = false;
std::optional<bool> g_focusOverride;
std::optional<bool> g_desktopPointerOverride;
float g_pointerSpeed = 1.0f;
std::set<InputSetupStep> g_pendingFailures;
InjectedKeyboard g_injectedKeys;

std::mutex g_registryMutex;
std::vector<MouseDevice*> g_mice;

// Sets one injected key; a key that goes down counts a press. Settings lock held.
void SetInjectedKeyLocked(std::size_t keyCode, bool down)
{
    if (down && g_injectedKeys.down[keyCode] == 0) ++g_injectedKeys.presses[keyCode];
    g_injectedKeys.down[keyCode] = down ? kKeyDownByte : 0;
}

}  // namespace

std::unique_ptr<InputSystem> InputSystem::Create()
{
    if (ConsumeSetupFailure(InputSetupStep::CreateInputSystem)) return nullptr;
    return std::unique_ptr<InputSystem>(new InputSystem());
}

std::unique_ptr<MouseDevice> InputSystem::CreateMouse()
{
    if (ConsumeSetupFailure(InputSetupStep::CreateDevice)) return nullptr;
    return std::unique_ptr<MouseDevice>(new MouseDevice());
}

std::unique_ptr<KeyboardDevice> InputSystem::CreateKeyboard()
{
    if (ConsumeSetupFailure(InputSetupStep::CreateDevice)) return nullptr;
    return std::unique_ptr<KeyboardDevice>(new KeyboardDevice());
}

bool GetSwapMouseButtons()
{
    std::lock_guard lock(g_settingsMutex);
    return g_bSwapButtons;
}

void SetSwapMouseButtons(bool swapped)
{
    std::lock_guard lock(g_settingsMutex);
    g_bSwapButtons = swapped;
}

void SetInputFocusOverride(std::optional<bool> focused)
{
    std::lock_guard lock(g_settingsMutex);
    g_focusOverride = focused;
}

void SetDesktopPointerOverride(std::optional<bool> desktop)
{
    std::lock_guard lock(g_settingsMutex);
    g_desktopPointerOverride = desktop;
}

void SetPointerSpeed(float factor)
{
    std::lock_guard lock(g_settingsMutex);
    g_pointerSpeed = std::clamp(factor, 0.25f, 4.0f);
}

float GetPointerSpeed()
{
    std::lock_guard lock(g_settingsMutex);
    return g_pointerSpeed;
}

std::optional<bool> GetDesktopPointerOverride()
{
    std::lock_guard lock(g_settingsMutex);
    return g_desktopPointerOverride;
}

void InjectInputSetupFailure(InputSetupStep step)
{
    std::lock_guard lock(g_settingsMutex);
    g_pendingFailures.insert(step);
}

bool ConsumeSetupFailure(InputSetupStep step)
{
    std::lock_guard lock(g_settingsMutex);
    return g_pendingFailures.erase(step) > 0;
}

InputResult CheckCooperativeLevel(unsigned flags, bool acquired)
{
    if (ConsumeSetupFailure(InputSetupStep::SetCooperativeLevel)) return InputResult::Failed;
    const unsigned exclusivity = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
    const unsigned ground = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
    const bool onlyKnown = (flags & ~0xFu) == 0;
    if (!onlyKnown || (exclusivity != DISCL_EXCLUSIVE && exclusivity != DISCL_NONEXCLUSIVE) ||
        (ground != DISCL_FOREGROUND && ground != DISCL_BACKGROUND))
        return InputResult::InvalidParam;
    return acquired ? InputResult::Failed : InputResult::Ok;  // the level is fixed while acquired
}

int ReplaceEventListener(Window* oldWindow, int oldId, Window* newWindow,
                         std::function<bool(const SDL_Event&)> listener)
{
    if (oldWindow && oldId != 0) RemoveEventListener(*oldWindow, oldId);
    return newWindow ? AddEventListener(*newWindow, std::move(listener)) : 0;
}

bool IsWindowForeground(Window* window)
{
    {
        std::lock_guard lock(g_settingsMutex);
        if (g_focusOverride) return *g_focusOverride;
    }
    return window == nullptr || window->HasFocus();
}

void InjectKey(int keyCode, bool down)
{
    if (keyCode < 0 || keyCode >= kKeyCodeCount) return;
    std::lock_guard lock(g_settingsMutex);
    SetInjectedKeyLocked(static_cast<std::size_t>(keyCode), down);
}

void InjectKeyboardState(const std::array<std::uint8_t, kKeyCodeCount>& snapshot)
{
    std::lock_guard lock(g_settingsMutex);
    for (std::size_t k = 0; k < snapshot.size(); ++k) SetInjectedKeyLocked(k, (snapshot[k] & kKeyDownByte) != 0);
}

InjectedKeyboard GetInjectedKeys()
{
    std::lock_guard lock(g_settingsMutex);
    return g_injectedKeys;
}

void ResetInjectedInput()
{
    std::lock_guard lock(g_settingsMutex);
    g_bSwapButtons = false;
    g_focusOverride.reset();
    g_desktopPointerOverride.reset();
    g_pointerSpeed = 1.0f;
    g_pendingFailures.clear();
    g_injectedKeys.down.fill(0);  // the press counts stay: devices compare them with what they saw
}

void RegisterMouse(MouseDevice* device)
{
    std::lock_guard lock(g_registryMutex);
    g_mice.push_back(device);
}

void UnregisterMouse(MouseDevice* device)
{
    std::lock_guard lock(g_registryMutex);
    std::erase(g_mice, device);
}

void ForEachMouse(const std::function<void(MouseDevice&)>& action)
{
    std::lock_guard lock(g_registryMutex);
    for (MouseDevice* device : g_mice) action(*device);
}

void InjectMouseMotion(int dx, int dy)
{
    ForEachMouse([&](MouseDevice& device) { device.InjectMotion(dx, dy); });
}

void InjectMouseButton(MouseButton button, bool down)
{
    ForEachMouse([&](MouseDevice& device) { device.InjectButton(button, down); });
}

void InjectMouseWheel(int counts)
{
    ForEachMouse([&](MouseDevice& device) { device.InjectWheel(counts); });
}

}  // namespace platform
