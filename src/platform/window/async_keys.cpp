// The desktop's asynchronous key query on SDL's keyboard state, plus keys that tests and the
// replay harness press. Only the keys the game asks about are mapped: letters, digits, the
// space bar, Return and Escape, under their virtual-key codes.
#include <SDL.h>

#include <array>
#include <mutex>

#include "platform/window/window.h"

namespace platform {

namespace {

constexpr int kVirtualKeyCount = 256;
constexpr short kKeyDownBit = static_cast<short>(0x8000);
constexpr short kPressedSinceQueryBit = 0x0001;
constexpr int kVkReturn = 0x0D;
constexpr int kVkEscape = 0x1B;
constexpr int kVkSpace = 0x20;

struct KeyRecord {
    bool injectedDown = false;
    bool wasDown = false;          // down at the previous query
    bool pressedSinceQuery = false;
};

std::mutex g_keysMutex;
std::array<KeyRecord, kVirtualKeyCount> g_keys;

// The virtual-key code of an SDL scancode, or -1 for keys the game never asks about.
int VirtualKeyOf(SDL_Scancode code)
{
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return 'A' + (code - SDL_SCANCODE_A);
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return '1' + (code - SDL_SCANCODE_1);
    switch (code) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_ESCAPE: return kVkEscape;
    case SDL_SCANCODE_SPACE: return kVkSpace;
    case SDL_SCANCODE_RETURN: return kVkReturn;
    default: return -1;
    }
}

SDL_Scancode ScancodeOf(int virtualKey)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (virtualKey - 'A'));
    if (virtualKey >= '1' && virtualKey <= '9')
        return static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (virtualKey - '1'));
    switch (virtualKey) {
    case '0': return SDL_SCANCODE_0;
    case kVkEscape: return SDL_SCANCODE_ESCAPE;
    case kVkSpace: return SDL_SCANCODE_SPACE;
    case kVkReturn: return SDL_SCANCODE_RETURN;
    default: return SDL_SCANCODE_UNKNOWN;
    }
}

bool SdlKeyDown(int virtualKey)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
    const SDL_Scancode code = ScancodeOf(virtualKey);
    if (code == SDL_SCANCODE_UNKNOWN) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    return code < count && state[code] != 0;
}

}  // namespace

// A key press seen in the event stream counts as "pressed since the last query" even if the
// key is up again by the time the game asks.
void NoteKeyEvent(const SDL_Event& event)
{
    if (event.type != SDL_KEYDOWN || event.key.repeat) return;
    const int vk = VirtualKeyOf(event.key.keysym.scancode);
    if (vk < 0) return;
    std::lock_guard lock(g_keysMutex);
    g_keys[vk].pressedSinceQuery = true;
}

short GetAsyncKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey >= kVirtualKeyCount) return 0;
    // The fatal-error screen busy-waits on this without pumping messages: refresh SDL's
    // keyboard state here so a real key press is still seen.
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_PumpEvents();
    const bool sdlDown = SdlKeyDown(virtualKey);

    std::lock_guard lock(g_keysMutex);
    KeyRecord& key = g_keys[virtualKey];
    const bool down = sdlDown || key.injectedDown;
    const bool pressed = key.pressedSinceQuery || (down && !key.wasDown);
    key.pressedSinceQuery = false;
    key.wasDown = down;
    short result = 0;
    if (down) result |= kKeyDownBit;
    if (pressed) result |= kPressedSinceQueryBit;
    return result;
}

void InjectAsyncKey(int virtualKey, bool down)
{
    if (virtualKey < 0 || virtualKey >= kVirtualKeyCount) return;
    std::lock_guard lock(g_keysMutex);
    KeyRecord& key = g_keys[virtualKey];
    if (down && !key.injectedDown) key.pressedSinceQuery = true;
    key.injectedDown = down;
}

}  // namespace platform
