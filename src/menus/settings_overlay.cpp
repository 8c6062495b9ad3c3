#include "menus/settings_overlay.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "display/d3dfunc.h"
#include "display/cd3dfont.h"
#include "display/cursor.h"
#include "display/d3dmat.h"
#include "display/full_screen_image.h"
#include "input/key_manager.h"
#include "input/mouse_manager.h"
#include "platform/gfx/device.h"

namespace {

// The panel, in pixels of the 800 x 600 screen.
constexpr RECT kPanel{110, 100, 690, 500};  // wide enough for a language's longer words
constexpr int kBorder = 2;
constexpr D3DCOLOR kPanelColour = 0xFF141010;
constexpr D3DCOLOR kBorderColour = 0xFFEDB469;
constexpr DWORD kTextColour = 0xFFEDB469;  // the game's text colour
constexpr DWORD kSelectedColour = 0xFFFFFFFF;
constexpr float kTitleY = 112.0f;
constexpr int kFirstRowTop = 156;
constexpr int kRowPitch = 30;
constexpr int kRowLeft = 126;
constexpr int kRowRight = 674;
constexpr float kLabelX = 136.0f;
constexpr float kLessX = 470.0f;
constexpr float kMoreX = 640.0f;
constexpr DWORD kFontHeight = 18;
// The game's picture behind the panel keeps this share of its brightness (in 256ths).
constexpr unsigned kBackdropShade = 100;
constexpr D3DVIEWPORT9 kWholeScreen{0, 0, 800, 600, 0.0f, 1.0f};

// The rows' labels and the values' words: the game's text ids and their English.
struct Word {
    const char* id;
    const char* english;
};
constexpr Word kLabelWords[SettingsOverlay::kRowCount] = {
    {"settings.music", "Music volume"},     {"settings.effects", "Effects and voices"},
    {"settings.brightness", "Brightness"},  {"settings.subtitles", "Subtitles"},
    {"settings.subtitle_size", "Subtitle size"}, {"settings.turning", "Turning speed"},
    {"settings.pointer", "Pointer speed"},
    {"settings.display", "Display"},        {"settings.pauses", "Opening's pauses"},
    {"settings.reveal", "Reveal (Space)"},  {"settings.close", "Close"},
};
constexpr Word kTitleWord{"settings.title", "Settings"};
enum ValueWord { kOn, kOff, kLarge, kSmall, kFullScreen, kWindow, kSkip, kPlay, kHeld, kNever };
constexpr Word kValueWords[] = {
    {"settings.on", "On"},          {"settings.off", "Off"},       {"settings.large", "Large"},
    {"settings.small", "Small"},    {"settings.full_screen", "Full screen"}, {"settings.window", "Window"},
    {"settings.skip", "Skip"},      {"settings.play", "Play"},     {"settings.held", "Held"},
    {"settings.never", "Never"},
};

std::string Percent(int value) { return std::to_string(value) + "%"; }

// Steps an integer setting within its range; false when it is already at that end.
bool StepInt(int* value, int direction, int step, int min, int max)
{
    const int next = std::clamp(*value + direction * step, min, max);
    if (next == *value) return false;
    *value = next;
    return true;
}

}  // namespace

SettingsOverlay::SettingsOverlay(gfx::Device* device, MouseManager* mouse, KeyManager* keys, Cursor* cursor)
    : c_pDevice(device), c_pMouseManager(mouse), c_pKeyManager(keys), c_pCursor(cursor)
{
    set_Words([](const char*, const char* english) { return std::string(english); });
}

void SettingsOverlay::set_Words(const WordLookUp& lookUp)
{
    for (int row = 0; row < kRowCount; ++row) c_labels[row] = lookUp(kLabelWords[row].id, kLabelWords[row].english);
    c_sTitle = lookUp(kTitleWord.id, kTitleWord.english);
    for (std::size_t i = 0; i < c_valueWords.size(); ++i) c_valueWords[i] = lookUp(kValueWords[i].id, kValueWords[i].english);
}

std::string SettingsOverlay::ValueText(const Settings& s, int row) const
{
    const auto word = [this](ValueWord w) { return c_valueWords[static_cast<std::size_t>(w)]; };
    switch (row) {
    case kMusic: return Percent(s.musicVolume * 100 / Settings::kVolumeMax);
    case kEffects: return Percent(s.effectsVolume * 100 / Settings::kVolumeMax);
    case kBrightness: return Percent(s.brightness);
    case kSubtitles: return word(s.subtitles ? kOn : kOff);
    case kSubtitleSize: return word(s.largeSubtitles ? kLarge : kSmall);
    case kTurning: return std::to_string(s.turningSpeed);
    case kPointer: return std::to_string(s.pointerSpeed);
    case kDisplay: return word(s.fullScreen ? kFullScreen : kWindow);
    case kWaits: return word(s.skipWaits ? kSkip : kPlay);
    case kReveal: return word(s.revealHotspots ? kHeld : kNever);
    default: return "";
    }
}

SettingsOverlay::~SettingsOverlay() = default;

RECT SettingsOverlay::RowRect(int row)
{
    const int top = kFirstRowTop + row * kRowPitch + (row == kClose ? kRowPitch / 2 : 0);
    return RECT{kRowLeft, top, kRowRight, top + kRowPitch - 4};
}

void SettingsOverlay::Open(const Settings& settings)
{
    c_settings = settings;
    c_iSelected = kMusic;
    c_iPointerX = c_pMouseManager->get_X();
    c_iPointerY = c_pMouseManager->get_Y();
    if (!c_pFont) {
        c_pFont = std::make_unique<CD3DFont>("Times New Roman", kFontHeight, D3DFONT_BOLD);
        c_pFont->InitDeviceObjects(c_pDevice);
        c_pFont->RestoreDeviceObjects();
    }
    CaptureBackdrop();
    c_bOpen = true;
}

void SettingsOverlay::Close()
{
    c_bOpen = false;
    c_pBackdropQuad.reset();
    c_pBackdrop.reset();
}

// The picture the game showed last stays behind the panel, darkened, so that the pointer can
// move over it without leaving traces.
void SettingsOverlay::CaptureBackdrop()
{
    c_pBackdrop = D3Dfunc::DarkenedBackBuffer(*c_pDevice, kBackdropShade);
    if (!c_pBackdrop) return;
    c_pBackdropQuad = std::make_unique<FullScreenImage>();
    if (!c_pBackdropQuad->Create(c_pDevice)) c_pBackdropQuad.reset();
}

bool SettingsOverlay::Step(int row, int direction)
{
    Settings& s = c_settings;
    switch (row) {
    case kMusic: return StepInt(&s.musicVolume, direction, 1, 0, Settings::kVolumeMax);
    case kEffects: return StepInt(&s.effectsVolume, direction, 1, 0, Settings::kVolumeMax);
    case kBrightness:
        return StepInt(&s.brightness, direction, Settings::kBrightnessStep, Settings::kBrightnessMin,
                       Settings::kBrightnessMax);
    case kTurning: return StepInt(&s.turningSpeed, direction, 1, Settings::kTurningMin, Settings::kTurningMax);
    case kPointer: return StepInt(&s.pointerSpeed, direction, 1, Settings::kPointerMin, Settings::kPointerMax);
    // A two-valued setting changes whichever way it is stepped.
    case kSubtitles: s.subtitles = !s.subtitles; return true;
    case kSubtitleSize: s.largeSubtitles = !s.largeSubtitles; return true;
    case kDisplay: s.fullScreen = !s.fullScreen; return true;
    case kWaits: s.skipWaits = !s.skipWaits; return true;
    case kReveal: s.revealHotspots = !s.revealHotspots; return true;
    default: return false;
    }
}

int SettingsOverlay::TakeClick()
{
    const int x = c_pMouseManager->get_X();
    const int y = c_pMouseManager->get_Y();
    int under = -1;
    for (int row = 0; row < kRowCount; ++row) {
        const RECT r = RowRect(row);
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) under = row;
    }
    // The pointer selects a row only when it moves, so that it does not undo the arrow keys.
    const bool moved = x != c_iPointerX || y != c_iPointerY;
    c_iPointerX = x;
    c_iPointerY = y;
    if (under >= 0 && moved) c_iSelected = under;
    // The click is taken wherever it lands: nothing under the screen may see it.
    if (!c_pMouseManager->LMouseButtonDown() || under < 0) return kStayOpen;
    if (under == kClose) return kClosed;
    return Step(under, x < kValueCentreX ? -1 : 1) ? kChanged : kStayOpen;
}

int SettingsOverlay::TakeKeys()
{
    KeyManager& keys = *c_pKeyManager;
    if (keys.GetKeyPressedDel(platform::DIK_ESCAPE) || keys.GetKeyPressedDel(platform::DIK_F1)) return kClosed;
    if (keys.GetKeyPressedDel(platform::DIK_UP)) c_iSelected = (c_iSelected + kRowCount - 1) % kRowCount;
    if (keys.GetKeyPressedDel(platform::DIK_DOWN)) c_iSelected = (c_iSelected + 1) % kRowCount;
    int result = kStayOpen;
    if (keys.GetKeyPressedDel(platform::DIK_LEFT) && Step(c_iSelected, -1)) result = kChanged;
    if (keys.GetKeyPressedDel(platform::DIK_RIGHT) && Step(c_iSelected, 1)) result = kChanged;
    if (keys.GetKeyPressedDel(platform::DIK_RETURN)) {
        if (c_iSelected == kClose) return kClosed;
        if (Step(c_iSelected, 1)) result = kChanged;
    }
    return result;
}

int SettingsOverlay::Run()
{
    if (!c_bOpen) return kClosed;
    int result = TakeKeys();
    if (result != kClosed) {
        const int click = TakeClick();
        if (click != kStayOpen) result = click;
    }
    Draw();
    if (result == kClosed) Close();
    return result;
}

void SettingsOverlay::Draw()
{
    gfx::Device* device = c_pDevice;
    device->SetViewport(kWholeScreen);
    device->BeginScene();
    if (c_pBackdrop && c_pBackdropQuad) {
        device->SetMaterial(D3Dmat());
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        device->SetTexture(0, c_pBackdrop.get());
        c_pBackdropQuad->Render(device);
        device->SetTexture(0, nullptr);
    } else {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    }
    const RECT border{kPanel.left - kBorder, kPanel.top - kBorder, kPanel.right + kBorder, kPanel.bottom + kBorder};
    device->Clear(1, &border, D3DCLEAR_TARGET, kBorderColour, 1.0f, 0);
    device->Clear(1, &kPanel, D3DCLEAR_TARGET, kPanelColour, 1.0f, 0);

    // The panel's strings in one batch; the values live until it is drawn.
    std::vector<CD3DFont::TextRun> runs;
    std::array<std::string, kRowCount> values;
    auto centred = [&](const char* text) {
        SIZE extent{};
        c_pFont->GetTextExtent(text, &extent);
        return 400.0f - static_cast<float>(extent.cx) / 2.0f;
    };
    runs.push_back({centred(c_sTitle.c_str()), kTitleY, kTextColour, c_sTitle.c_str()});
    for (int row = 0; row < kRowCount; ++row) {
        const RECT r = RowRect(row);
        const DWORD colour = row == c_iSelected ? kSelectedColour : kTextColour;
        const float y = static_cast<float>(r.top) + 4.0f;
        if (row == kClose) {
            runs.push_back({centred(c_labels[row].c_str()), y, colour, c_labels[row].c_str()});
            continue;
        }
        const std::string& value = values[static_cast<std::size_t>(row)] = ValueText(c_settings, row);
        SIZE extent{};
        c_pFont->GetTextExtent(value.c_str(), &extent);
        runs.push_back({kLabelX, y, colour, c_labels[row].c_str()});
        runs.push_back({kLessX, y, colour, "<"});
        runs.push_back({static_cast<float>(kValueCentreX) - static_cast<float>(extent.cx) / 2.0f, y, colour, value.c_str()});
        runs.push_back({kMoreX, y, colour, ">"});
    }
    c_pFont->DrawTexts(runs, D3DFONT_FILTERED);
    if (c_pCursor != nullptr) c_pCursor->Render(c_pMouseManager->get_X(), c_pMouseManager->get_Y());
    device->EndScene();
    device->Present();
}
