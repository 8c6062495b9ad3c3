#include "shell/journal_screen.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <string>
#include <vector>

#include "display/d3dfunc.h"
#include "display/cd3dfont.h"
#include "display/cursor.h"
#include "display/d3dmat.h"
#include "display/full_screen_image.h"
#include "display/texture.h"
#include "input/key_manager.h"
#include "input/mouse_manager.h"
#include "platform/gfx/device.h"
#include "shell/journal.h"

namespace {

constexpr int kBorder = 2;
constexpr D3DCOLOR kPageColour = 0xFF141010;
constexpr D3DCOLOR kBorderColour = 0xFFEDB469;
constexpr D3DCOLOR kFrameColour = 0xFF3A2C1C;
constexpr DWORD kTextColour = 0xFFEDB469;  // the game's text colour
constexpr DWORD kQuietColour = 0xFFB09070;
constexpr DWORD kFontHeight = 18;
constexpr DWORD kTitleFontHeight = 24;
constexpr float kHeadingY = 34.0f;
// The picture's box: a flat view (1024 x 512) fills its width.
constexpr RECT kPictureBox{112, 72, 688, 396};
constexpr float kTitleY = 416.0f;
constexpr float kFoundY = 452.0f;
constexpr float kLinePitch = 28.0f;
constexpr long kLineWidth = 540;
constexpr float kScreenCentreX = 400.0f;
constexpr unsigned kBackdropShade = 70;  // in 256ths of the game's picture's brightness
constexpr D3DVIEWPORT9 kWholeScreen{0, 0, 800, 600, 0.0f, 1.0f};

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// "%s" in `pattern` replaced by `value`; a pattern without one gets the value after it.
std::string Fill(const std::string& pattern, const std::string& value)
{
    const std::size_t at = pattern.find("%s");
    if (at == std::string::npos) return pattern + " " + value;
    return pattern.substr(0, at) + value + pattern.substr(at + 2);
}

std::unique_ptr<CD3DFont> MakeFont(gfx::Device* device, DWORD height, DWORD flags)
{
    auto font = std::make_unique<CD3DFont>("Times New Roman", height, flags);
    font->InitDeviceObjects(device);
    font->RestoreDeviceObjects();
    return font;
}

}  // namespace

JournalScreen::JournalScreen(gfx::Device* device, MouseManager* mouse, KeyManager* keys, Cursor* cursor, Texts texts)
    : c_pDevice(device), c_pMouseManager(mouse), c_pKeyManager(keys), c_pCursor(cursor), c_texts(std::move(texts))
{
}

JournalScreen::~JournalScreen() = default;

void JournalScreen::Open(const Journal& journal)
{
    c_pJournal = &journal;
    if (!c_pFont) c_pFont = MakeFont(c_pDevice, kFontHeight, 0);
    if (!c_pTitleFont) c_pTitleFont = MakeFont(c_pDevice, kTitleFontHeight, D3DFONT_BOLD);
    if (!c_pQuad) {
        c_pQuad = std::make_unique<FullScreenImage>();
        if (!c_pQuad->Create(c_pDevice)) c_pQuad.reset();
    }
    CaptureBackdrop();
    // The newest find first: that is what a player who opens the journal mostly wants.
    c_iPage = static_cast<int>(journal.get_Entries().size()) - 1;
    LoadPicture();
}

void JournalScreen::Close()
{
    c_pJournal = nullptr;
    c_pPicture.reset();
    c_pBackdrop.reset();
}

void JournalScreen::Turn(int direction)
{
    const int count = static_cast<int>(c_pJournal->get_Entries().size());
    const int page = std::clamp(c_iPage + direction, 0, std::max(count - 1, 0));
    if (count == 0 || page == c_iPage) return;
    c_iPage = page;
    LoadPicture();
}

// The clue screen's picture as the world reads it. One that cannot be read leaves the page
// with its words and a note, rather than ending the game over a journal page.
void JournalScreen::LoadPicture()
{
    c_pPicture.reset();
    c_sPictureError.clear();
    if (c_iPage < 0) return;
    const WorldFiles::Clue& clue = c_pJournal->ClueOf(c_pJournal->get_Entries()[static_cast<std::size_t>(c_iPage)]);
    if (clue.image.empty()) return;
    try {
        c_pPicture = std::make_unique<Texture>(c_pDevice, clue.image.c_str(), clue.imageOffset);
        if (c_pPicture->getTexture() == nullptr) c_pPicture.reset();
    } catch (const std::exception& e) {
        c_pPicture.reset();
        c_sPictureError = e.what();
    }
    if (!c_pPicture && c_sPictureError.empty()) c_sPictureError = "cannot show " + clue.image;
}

void JournalScreen::CaptureBackdrop()
{
    c_pBackdrop = D3Dfunc::DarkenedBackBuffer(*c_pDevice, kBackdropShade);
}

int JournalScreen::Run()
{
    if (!IsOpen()) return kClosed;
    KeyManager& keys = *c_pKeyManager;
    bool close = keys.GetKeyPressedDel(platform::DIK_ESCAPE) || keys.GetKeyPressedDel(platform::DIK_J);
    if (keys.GetKeyPressedDel(platform::DIK_LEFT)) Turn(-1);
    if (keys.GetKeyPressedDel(platform::DIK_RIGHT)) Turn(1);
    // The click is taken wherever it lands: nothing under the screen may see it.
    if (c_pMouseManager->LMouseButtonDown()) {
        const int x = c_pMouseManager->get_X(), y = c_pMouseManager->get_Y();
        if (Inside(kPrevious, x, y)) Turn(-1);
        else if (Inside(kNext, x, y)) Turn(1);
        else if (!Inside(kPage, x, y)) close = true;
    }
    Draw();
    if (!close) return kStayOpen;
    Close();
    return kClosed;
}

// The picture whole in its box, as large as fits, its aspect kept, on a dark frame.
void JournalScreen::DrawPicture()
{
    const gfx::Texture* texture = c_pPicture->getTexture();
    const float boxW = static_cast<float>(kPictureBox.right - kPictureBox.left);
    const float boxH = static_cast<float>(kPictureBox.bottom - kPictureBox.top);
    const float scale = std::min(boxW / static_cast<float>(texture->Width()), boxH / static_cast<float>(texture->Height()));
    const float w = static_cast<float>(texture->Width()) * scale, h = static_cast<float>(texture->Height()) * scale;
    const float left = static_cast<float>(kPictureBox.left) + (boxW - w) / 2.0f;
    const float top = static_cast<float>(kPictureBox.top) + (boxH - h) / 2.0f;
    const RECT frame{static_cast<int>(left) - 3, static_cast<int>(top) - 3, static_cast<int>(left + w) + 3,
                     static_cast<int>(top + h) + 3};
    c_pDevice->Clear(1, &frame, D3DCLEAR_TARGET, kFrameColour, 1.0f, 0);
    c_pDevice->SetTexture(0, c_pPicture->getTexture());
    c_pQuad->Render(c_pDevice, left / 400.0f - 1.0f, top / 300.0f - 1.0f, w / 800.0f, h / 600.0f);
    c_pDevice->SetTexture(0, nullptr);
}

void JournalScreen::Draw()
{
    gfx::Device* device = c_pDevice;
    device->SetViewport(kWholeScreen);
    device->BeginScene();
    device->SetMaterial(D3Dmat());
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    if (c_pBackdrop && c_pQuad) {
        device->SetTexture(0, c_pBackdrop.get());
        c_pQuad->Render(device);
        device->SetTexture(0, nullptr);
    } else {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    }
    const RECT border{kPage.left - kBorder, kPage.top - kBorder, kPage.right + kBorder, kPage.bottom + kBorder};
    device->Clear(1, &border, D3DCLEAR_TARGET, kBorderColour, 1.0f, 0);
    device->Clear(1, &kPage, D3DCLEAR_TARGET, kPageColour, 1.0f, 0);

    const std::vector<Journal::Entry>& entries = c_pJournal->get_Entries();
    const Journal::Entry* entry = c_iPage >= 0 ? &entries[static_cast<std::size_t>(c_iPage)] : nullptr;
    if (entry != nullptr && c_pPicture && c_pQuad) DrawPicture();

    // The strings live until their batch is drawn.
    std::deque<std::string> texts;
    std::vector<CD3DFont::TextRun> runs, titleRuns;
    auto centred = [&](const CD3DFont& font, std::vector<CD3DFont::TextRun>& batch, float y, DWORD colour,
                       std::string text) {
        const std::string& kept = texts.emplace_back(std::move(text));
        SIZE extent{};
        font.GetTextExtent(kept.c_str(), &extent);
        batch.push_back({kScreenCentreX - static_cast<float>(extent.cx) / 2.0f, y, colour, kept.c_str()});
    };
    auto paragraph = [&](const std::string& text, float top, DWORD colour) {
        const std::vector<std::string> lines = c_pFont->WrapToWidth(text, kLineWidth);
        float y = top - static_cast<float>(lines.size()) * kLinePitch / 2.0f;
        for (const std::string& line : lines) {
            centred(*c_pFont, runs, y, colour, line);
            y += kLinePitch;
        }
    };
    std::string heading = c_texts.heading;
    if (entry != nullptr) heading += "  " + std::to_string(c_iPage + 1) + " / " + std::to_string(entries.size());
    centred(*c_pTitleFont, titleRuns, kHeadingY, kTextColour, heading);
    const float boxMiddle = static_cast<float>(kPictureBox.top + kPictureBox.bottom) / 2.0f;
    if (entry == nullptr) {
        paragraph(c_texts.empty, boxMiddle, kTextColour);
    } else {
        const WorldFiles::Clue& clue = c_pJournal->ClueOf(*entry);
        if (!clue.line.empty()) paragraph("\"" + clue.line + "\"", boxMiddle, kTextColour);
        else if (!c_pPicture) paragraph(c_sPictureError, boxMiddle, kQuietColour);
        centred(*c_pTitleFont, titleRuns, kTitleY, kTextColour, clue.title);
        if (!entry->place.empty()) {
            const auto title = c_placeTitles.find(entry->place);
            centred(*c_pFont, runs, kFoundY, kQuietColour,
                    Fill(c_texts.found, title != c_placeTitles.end() ? title->second : entry->place));
        }
        const float arrowY = static_cast<float>(kPrevious.top + kPrevious.bottom) / 2.0f - kTitleFontHeight / 2.0f;
        if (c_iPage > 0) titleRuns.push_back({static_cast<float>(kPrevious.left) + 18.0f, arrowY, kTextColour, "<"});
        if (c_iPage + 1 < static_cast<int>(entries.size()))
            titleRuns.push_back({static_cast<float>(kNext.left) + 18.0f, arrowY, kTextColour, ">"});
    }
    c_pTitleFont->DrawTexts(titleRuns, D3DFONT_FILTERED);
    c_pFont->DrawTexts(runs, D3DFONT_FILTERED);
    if (c_pCursor != nullptr) c_pCursor->Render(c_pMouseManager->get_X(), c_pMouseManager->get_Y());
    device->EndScene();
    device->Present();
}
