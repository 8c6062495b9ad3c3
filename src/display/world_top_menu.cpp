#include "display/world_top_menu.h"

#include <algorithm>

#include "display/d3dfunc.h"
#include "display/texture.h"
#include "input/mouse_manager.h"

namespace {

enum ButtonTexture {
    kRestoreButton = 0, kSaveButton = 1, kQuitButton = 2, kConfirmPicture = 3, kHintsButton = 4, kJournalButton = 5
};

// Five buttons 150 pixels wide, 8 apart, from the top edge, 0.166 of the screen high. A button
// is under the pointer strictly inside its horizontal range; the caller tests the height.
struct ButtonPlace {
    int fromX;  // screen pixels, exclusive
    int toX;
    float Left() const { return static_cast<float>(fromX) / 400.0f - 1.0f; }  // normalised
};
constexpr int kButtonPixels = 150;
constexpr int kButtonPitch = 158;
constexpr int kFirstButtonX = 9;
constexpr ButtonPlace Slot(int i) { return {kFirstButtonX + i * kButtonPitch, kFirstButtonX + i * kButtonPitch + kButtonPixels}; }
constexpr ButtonPlace kRestorePlace = Slot(0);
constexpr ButtonPlace kSavePlace = Slot(1);
constexpr ButtonPlace kHintsPlace = Slot(2);
constexpr ButtonPlace kJournalPlace = Slot(3);
constexpr ButtonPlace kQuitPlace = Slot(4);
constexpr float kButtonTop = -1.0f;
constexpr float kButtonWidth = kButtonPixels / 800.0f;
constexpr float kButtonHeight = 0.166f;

constexpr float kFadeStep = 0.05f;
constexpr float kMostOpaque = 0.75f;
constexpr float kLeastOpaque = 0.0f;
// A pointer x under no button.
constexpr int kNoButton = 0;

bool Under(const ButtonPlace& place, int mouseX) { return place.fromX < mouseX && mouseX < place.toX; }

// Takes the frame's left click, if there is a mouse to ask.
bool TakeLeftClick(MouseManager* mouse) { return mouse != nullptr && mouse->LMouseButtonDown(); }

// A click on a button that asks for confirmation: the first click sets `awaiting`, the
// second confirms and uses the confirmation up, so the next action asks again.
bool Confirms(bool* awaiting)
{
    *awaiting = !*awaiting;
    return !*awaiting;
}

}  // namespace

WorldTopMenu::WorldTopMenu(MouseManager* mouseManager, const char* top1, const char* top2,
                           const char* top3, const char* top4, int offset)
    : c_pMouseManager(mouseManager),
      c_pFullScreenImage(std::make_unique<FullScreenImage>()),
      c_pD3Dmat(std::make_unique<D3Dmat>())
{
    c_pFullScreenImage->Create(D3Dfunc::pD3Ddevice);
    const char* paths[4] = {top1, top2, top3, top4};
    for (int i = 0; i < 4; ++i) c_pTextures[i] = std::make_unique<Texture>(D3Dfunc::pD3Ddevice, paths[i], offset);
}

WorldTopMenu::~WorldTopMenu() = default;

void WorldTopMenu::AddHelpButtons(const char* hints, const char* journal, int offset)
{
    c_pTextures[kHintsButton] = std::make_unique<Texture>(D3Dfunc::pD3Ddevice, hints, offset);
    c_pTextures[kJournalButton] = std::make_unique<Texture>(D3Dfunc::pD3Ddevice, journal, offset);
}

int WorldTopMenu::Render(int mouseX, bool endGameMode)
{
    c_fSemiTransparent = std::min(c_fSemiTransparent + kFadeStep, kMostOpaque);
    return RenderFin(mouseX, endGameMode);
}

void WorldTopMenu::Render(bool endGameMode)
{
    c_fSemiTransparent = std::max(c_fSemiTransparent - kFadeStep, kLeastOpaque);
    RenderFin(kNoButton, endGameMode);
}

int WorldTopMenu::RenderFin(int mouseX, bool endGameMode)
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    BeginTranslucentImages(device, *c_pD3Dmat);

    // The click is asked for only over a button, so a click elsewhere stays for others.
    int result = TMR_None;
    if (!endGameMode) {
        if (Under(kRestorePlace, mouseX)) {
            result = TMR_Hover;
            if (TakeLeftClick(c_pMouseManager) && Confirms(&c_bRestore)) result = TMR_Restore;
        } else {
            c_bRestore = false;
        }
        DrawAsking(kRestoreButton, kRestorePlace.Left(), Under(kRestorePlace, mouseX), c_bRestore);

        if (Under(kSavePlace, mouseX)) {
            result = TMR_Hover;
            if (TakeLeftClick(c_pMouseManager)) result = TMR_Save;
        }
        DrawButton(kSaveButton, kSavePlace.Left(), Under(kSavePlace, mouseX), kButtonTop);

        // The help buttons answer one click each; they exist once their pictures are loaded.
        const struct {
            ButtonPlace place;
            int texture;
            int result;
        } help[] = {{kHintsPlace, kHintsButton, TMR_Hints}, {kJournalPlace, kJournalButton, TMR_Journal}};
        for (const auto& button : help) {
            if (!c_pTextures[static_cast<size_t>(button.texture)]) continue;
            if (Under(button.place, mouseX)) {
                result = TMR_Hover;
                if (TakeLeftClick(c_pMouseManager)) result = button.result;
            }
            DrawButton(button.texture, button.place.Left(), Under(button.place, mouseX), kButtonTop);
        }
    }

    if (Under(kQuitPlace, mouseX)) {
        result = TMR_Hover;
        if (TakeLeftClick(c_pMouseManager)) {
            if (endGameMode) result = TMR_EndGameQuit;
            if (Confirms(&c_bQuit)) result = TMR_Quit;
        }
    } else {
        c_bQuit = false;
    }
    DrawAsking(kQuitButton, kQuitPlace.Left(), Under(kQuitPlace, mouseX), c_bQuit);

    EndTranslucentImages(device);
    return result;
}

void WorldTopMenu::DrawAsking(int texture, float left, bool hovered, bool asking)
{
    DrawButton(texture, left, hovered, kButtonTop);
    if (asking) DrawButton(kConfirmPicture, left, true, kButtonTop + kButtonHeight);
}

void WorldTopMenu::DrawButton(int texture, float left, bool hovered, float top)
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    c_pD3Dmat->Diffuse.a = hovered ? 1.0f : c_fSemiTransparent;
    device->SetMaterial(*c_pD3Dmat);
    device->SetTexture(0, c_pTextures[static_cast<size_t>(texture)]->getTexture());
    c_pFullScreenImage->Render(device, left, top, kButtonWidth, kButtonHeight);
}
