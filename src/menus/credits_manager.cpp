#include "menus/credits_manager.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/error.h"
#include "display/cd3dfont.h"
#include "display/d3dfunc.h"
#include "input/key_manager.h"
#include "input/mouse_manager.h"
#include "platform/clock/clock.h"

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
// Line pitch: the height of a sample line in the plain font plus this many pixels.
constexpr int kLineGap = 5;

// Flicker: the brightness drops a little every frame and jumps up now and then.
constexpr float kFlickerJump = 0.1f;
constexpr float kFlickerFall = 0.01f;
constexpr float kFlickerFloor = 0.5f;
constexpr float kFlickerCeiling = 1.2f;
// Brightness of the three copies of a line, relative to the bright one.
constexpr float kBright = 1.0f, kMiddle = 0.3f, kDim = 0.15f;

std::uint32_t Amber(float brightness)
{
    auto channel = [brightness](int base) {
        return static_cast<std::uint32_t>(std::clamp(static_cast<int>(base * brightness), 0, 255));
    };
    return 0xFF000000u | channel(CreditsManager::kBaseRed) << 16 | channel(CreditsManager::kBaseGreen) << 8 |
           channel(CreditsManager::kBaseBlue);
}

// A whole number of pixels from -10 to 9.
float JitterOffset() { return static_cast<float>(std::rand() % 20 - 10); }

}  // namespace

CreditsManager::CreditsManager(CD3DFont* plain, CD3DFont* bold, CD3DFont* italic, float speed)
    : c_fSpeed(speed), c_pFont{plain, bold, italic}
{
    for (CD3DFont* font : c_pFont) {
        (void)font->InitDeviceObjects(D3Dfunc::pD3Ddevice);
        (void)font->RestoreDeviceObjects();
    }
    SIZE extent{};
    c_pFont[CreditsLine::kPlain]->GetTextExtent("TESTLINE", &extent);
    c_iTextHeight = static_cast<int>(extent.cy) + kLineGap;
}

void CreditsManager::AddLine(const char* text, int type)
{
    if (type < CreditsLine::kPlain || type > CreditsLine::kItalic) {
        throw Error("credits line \"" + std::string(text != nullptr ? text : "") + "\" has kind " +
                    std::to_string(type) + "; only 0 (plain), 1 (bold) and 2 (italic) exist");
    }
    c_pLines.emplace_back(text, c_pFont[type], type);
}

void CreditsManager::AddSpaceLines(int count)
{
    for (int i = 0; i < count; ++i) AddLine("", CreditsLine::kPlain);
}

void CreditsManager::Reset() { c_dStartingTime = timeGetTime(); }

void CreditsManager::Flicker()
{
    if ((std::rand() % 10 == 0 || c_fColourMult < kFlickerFloor) && c_fColourMult < kFlickerCeiling) {
        c_fColourMult += kFlickerJump;
    }
    c_fColourMult -= kFlickerFall;
}

void CreditsManager::Jitter()
{
    if (std::rand() % 10 == 0) {
        c_iXoffset1 = JitterOffset();
        c_iYoffset1 = JitterOffset();
    }
    if (std::rand() % 5 == 0) {
        c_iXoffset2 = JitterOffset();
        c_iYoffset2 = JitterOffset();
    }
}

void CreditsManager::SetPlayerInput(MouseManager* mouse, KeyManager* keys)
{
    c_pMouseManager = mouse;
    c_pKeyManager = keys;
}

bool CreditsManager::PlayerLeaves()
{
    const bool escape = c_pKeyManager != nullptr && c_pKeyManager->GetKeyPressedDel(platform::DIK_ESCAPE);
    const bool click = c_pMouseManager != nullptr && c_pMouseManager->LMouseButtonDown();
    return escape || click;
}

int CreditsManager::Run()
{
    if (PlayerLeaves()) return 1;
    Flicker();
    const std::uint32_t bright = Amber(c_fColourMult * kBright);
    const std::uint32_t middle = Amber(c_fColourMult * kMiddle);
    const std::uint32_t dim = Amber(c_fColourMult * kDim);
    Jitter();

    const float elapsed = static_cast<float>(timeGetTime() - c_dStartingTime);
    const float top = static_cast<float>(kScreenHeight) - elapsed * c_fSpeed;
    const int scrolled = static_cast<int>(elapsed * c_fSpeed);

    const int pitch = std::max(c_iTextHeight, 1);
    const int count = static_cast<int>(c_pLines.size());
    const int first = std::max(scrolled / pitch - kScreenHeight / pitch - 1, 0);
    const int last = std::min(first + kScreenHeight / pitch + 2, count);
    if (first >= count) return 1;

    gfx::Device* device = D3Dfunc::pD3Ddevice;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    device->SetViewport(D3DVIEWPORT9{0, 0, kScreenWidth, kScreenHeight, 0.0f, 1.0f});
    // Each line three times, its two shadows first; the lines of one font in a row go in one
    // draw, in the same order as line by line.
    CD3DFont* batchFont = nullptr;
    auto drawBatch = [&] {
        if (batchFont != nullptr && !c_runs.empty()) batchFont->DrawTexts(c_runs, D3DFONT_FILTERED);
        c_runs.clear();
    };
    for (int i = first; i < last; ++i) {
        const CreditsLine& line = c_pLines[static_cast<std::size_t>(i)];
        CD3DFont* font = c_pFont[line.get_type()];
        if (font != batchFont) {
            drawBatch();
            batchFont = font;
        }
        const float x = static_cast<float>(kScreenWidth / 2 - line.get_width() / 2);
        const float y = top + static_cast<float>(i * pitch);
        c_runs.push_back({x + c_iXoffset2, y + c_iYoffset2, dim, line.get_line()});
        c_runs.push_back({x + c_iXoffset1, y + c_iYoffset1, middle, line.get_line()});
        c_runs.push_back({x, y, bright, line.get_line()});
    }
    drawBatch();
    device->EndScene();
    device->Present();
    return 0;
}
