#include "menus/menu_manager.h"

#include <cstdint>
#include <cstdlib>

#include "display/button_glow.h"
#include "display/cursor.h"
#include "display/d3dfunc.h"
#include "display/full_screen_image.h"
#include "display/texture.h"
#include "input/mouse_manager.h"
#include "media/music_manager.h"
#include "menus/save_manager.h"

namespace {

constexpr const char* kBackgroundImage = "data/menu/background.enc";
constexpr const char* kRestoreImage = "data/menu/restore.enc";
constexpr const char* kSaveImage = "data/menu/save.enc";
constexpr const char* kCreditsImage = "data/menu/credits.enc";
constexpr const char* kBlackImage = "data/black.jpg";

constexpr float kScreenWidth = 800.0f;
constexpr D3DVIEWPORT9 kWholeScreen{0, 0, 800, 600, 0.0f, 1.0f};

// The veil: it lifts by a net 0.01 a frame up to 0.4, then wanders, flickering, above it.
constexpr float kFadeFall = 0.01f;
constexpr float kFadeRise = 0.02f;
constexpr float kSteadyRiseLimit = 0.2f;
constexpr float kFlickerDivisor = 5.0f;

struct Rect {
    int x1, y1, x2, y2;
};
constexpr Rect kNewGameButton{500, 200, 738, 266};
constexpr Rect kRestoreButton{530, 300, 715, 350};
constexpr Rect kCreditsButton{537, 375, 710, 431};
constexpr Rect kQuitButton{558, 466, 694, 524};
constexpr Rect kSettingsButton{70, 466, 250, 524};  // main page, bottom left
constexpr Rect kBackButton{0, 550, 150, 600};         // restore and save pages
constexpr Rect kCreditsBackButton{505, 483, 599, 525};  // credits page

}  // namespace

MenuManager::MenuManager(Cursor* cursor, Cursor* cursorLight, MouseManager* mouse, MusicManager* music,
                         SaveManager* saveManager, int imageOffset)
    : c_pCursor(cursor),
      c_pCursorLight(cursorLight),
      c_pMouseManager(mouse),
      c_pMusicManager(music),
      c_pSaveManager(saveManager),
      c_iImageOffset(imageOffset),
      c_pFullScreen(std::make_unique<FullScreenImage>())
{
    c_pFullScreen->Create(D3Dfunc::pD3Ddevice);
}

MenuManager::~MenuManager() = default;

void MenuManager::Load()
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    c_pBackground = std::make_unique<Texture>(device, kBackgroundImage, c_iImageOffset);
    c_pRestore = std::make_unique<Texture>(device, kRestoreImage, c_iImageOffset);
    c_pSave = std::make_unique<Texture>(device, kSaveImage, c_iImageOffset);
    c_pCredits = std::make_unique<Texture>(device, kCreditsImage, c_iImageOffset);
    c_pBlackTexture = std::make_unique<Texture>(device, kBlackImage);
    // A new page texture may take an old one's place in memory: nothing kept may stand for it.
    c_kept.source = nullptr;
    c_bVeilIsBlack = IsBlack(*c_pBlackTexture);
    c_pGlow = std::make_unique<ButtonGlow>(device);
    if (c_pMusicManager != nullptr) c_pMusicManager->PlaySong(kMenuSong, false);
    c_fBlackness = 0.0f;
}

void MenuManager::Unload()
{
    c_pBackground.reset();
    c_pRestore.reset();
    c_pSave.reset();
    c_pCredits.reset();
    c_pBlackTexture.reset();
    c_pGlow.reset();
    c_kept = Kept{};
}

void MenuManager::SetScreen(int page)
{
    c_iCurrentMenu = page;
    c_fBlackness = 0.0f;
}

int MenuManager::Run()
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->BeginScene();
    device->SetViewport(kWholeScreen);

    FadeStep();
    // A black veil darkens everything under it alike, so the page, the slot list and the
    // cursor are drawn dimmed by the light it lets through instead: the same frame, one pass
    // over the whole screen fewer.
    const float light = c_bVeilIsBlack ? VeilLight() : 1.0f;
    DrawPage(light);
    // Undimmed again however the frame ends (a restore that fails throws), so that no other
    // phase draws dimmed.
    struct Undim {
        gfx::Device* device;
        ~Undim() { device->SetDimming(1.0f); }
    } undim{device};
    device->SetDimming(light);
    Hover hover = Hover::None;
    int result = RunSlotList(&hover);
    const int page = c_iCurrentMenu;
    c_bButtonHovered = false;
    const int button = RunButtons(&hover);
    if (button != kStay) result = button;
    // The button under the pointer glows, as long as its page is still shown.
    if (c_bButtonHovered && page == c_iCurrentMenu && c_pGlow != nullptr)
        c_pGlow->Render(c_hovered.x1, c_hovered.y1, c_hovered.x2, c_hovered.y2);
    DrawCursor(hover);
    device->SetDimming(1.0f);
    if (c_bVeilIsBlack) {
        // A button that changed the page restarted the fade from dark: the frame darkens to
        // the new light.
        const float now = VeilLight();
        if (now < light) DrawDarkness(1.0f - now / light);
    } else {
        DrawDarkness(1.0f - VeilLight());
    }

    device->EndScene();
    device->Present();
    return result;
}

float MenuManager::VeilLight() const
{
    // On the main page the veil is total with the pointer at the left edge and lightest over
    // the buttons.
    const float lift = c_iCurrentMenu == kMainPage
                           ? c_fBlackness * (static_cast<float>(c_pMouseManager->get_X()) / kScreenWidth)
                           : c_fBlackness;
    // The light the veil's opacity lets through, that opacity as the blend takes it (in 256 steps).
    const D3DCOLOR opacity = OpacityBlendFactor(1.0f - lift) >> 24;
    return 1.0f - static_cast<float>(opacity) / 255.0f;
}

void MenuManager::FadeStep()
{
    if (c_fBlackness > 0.0f) c_fBlackness -= kFadeFall;
    if (c_fBlackness <= kSteadyRiseLimit) {
        c_fBlackness += kFadeRise;
        return;
    }
    const int divisor = static_cast<int>(c_fBlackness * kFlickerDivisor);
    if (divisor <= 0 || std::rand() % divisor == 0) c_fBlackness += kFadeRise;
}

Texture* MenuManager::PageImage() const
{
    switch (c_iCurrentMenu) {
    case kMainPage: return c_pBackground.get();
    case kRestorePage:
    case kGameRestorePage: return c_pRestore.get();
    case kGameSavePage: return c_pSave.get();
    case kCreditsPage: return c_pCredits.get();
    default: return nullptr;
    }
}

void MenuManager::DrawPage(float light)
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    // The page is drawn opaque and unlit whatever the previous phase left behind: the picture
    // alone, its own alpha too (no one sees it), from the kept copy of it once there is one,
    // texel for pixel, the cheapest fill there is. Dimmed, the blend scales it by a constant
    // factor, which the software rasteriser fills nearly as fast (a colour scaled in the drawing
    // program is not). What follows on the page is drawn lit, in white, with the stage as it was.
    device->SetMaterial(D3Dmat());
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Texture* image = PageImage();
    bool drawn = false;
    gfx::Texture* picture = KeptPage(image != nullptr ? image->getTexture() : nullptr, &drawn);
    const bool dimmed = light < 1.0f;
    if (!drawn || dimmed) {
        if (dimmed) {
            // Colour scaled, alpha kept: the page stays opaque.
            device->SetRenderState(D3DRS_BLENDFACTOR, OpacityBlendFactor(light) | 0xFF000000u);
            device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_BLENDFACTOR);
            device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        }
        device->SetTexture(0, picture);
        DrawPictureAlone(*c_pFullScreen);
        if (dimmed) {
            device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
            device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        }
    }
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
}

gfx::Texture* MenuManager::KeptPage(gfx::Texture* picture, bool* drawn)
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    *drawn = false;
    if (picture == nullptr) return nullptr;
    const D3Dfunc::SamplingStates states = D3Dfunc::CurrentSamplingStates(*device);
    if (c_kept.source == picture && c_kept.version == picture->ContentVersion() && c_kept.states == states)
        return c_kept.copy.get();
    // Drawn at full light, as it is, and copied whole: the copy drawn over the screen under the
    // same states gives back these pixels.
    device->SetTexture(0, picture);
    DrawPictureAlone(*c_pFullScreen);
    *drawn = true;
    c_kept.source = nullptr;
    if (!c_kept.copy)
        device->CreateTexture(static_cast<UINT>(kWholeScreen.Width), static_cast<UINT>(kWholeScreen.Height), 1,
                              D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &c_kept.copy);
    const RECT screen{0, 0, static_cast<int>(kWholeScreen.Width), static_cast<int>(kWholeScreen.Height)};
    if (!c_kept.copy || device->CopyTargetToTexture(screen, c_kept.copy.get()) != S_OK) return picture;
    c_kept.source = picture;
    c_kept.version = picture->ContentVersion();
    c_kept.states = states;
    return c_kept.copy.get();
}

void MenuManager::DrawPictureAlone(FullScreenImage& picture)
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    const DWORD alphaOp = device->GetTextureStageState(0, D3DTSS_ALPHAOP);
    const DWORD alphaArg = device->GetTextureStageState(0, D3DTSS_ALPHAARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    picture.Render(device);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, alphaArg);
}

int MenuManager::RunSlotList(Hover* hover)
{
    switch (c_iCurrentMenu) {
    case kRestorePage:
    case kGameRestorePage: {
        const int r = c_pSaveManager->Run(c_pMouseManager);
        if (r == SaveManager::kOverSlot) *hover = Hover::Active;
        // A slot whose file turns out unreadable is now shown as such; the menu stays.
        if (r > 0 && c_pSaveManager->LoadGame(r)) return kEnterWorld;
        return kStay;
    }
    case kGameSavePage: {
        const int r = c_pSaveManager->RunSave(c_pMouseManager);
        if (r == SaveManager::kOverSlot) *hover = Hover::Active;
        if (r == SaveManager::kTyping) *hover = Hover::HideCursor;
        return r == SaveManager::kSaved ? kEnterWorld : kStay;
    }
    default: return kStay;
    }
}

int MenuManager::RunButtons(Hover* hover)
{
    MouseManager& mouse = *c_pMouseManager;
    // True when the pointer is strictly inside and a click was taken there.
    auto pressed = [&](const Rect& r) {
        if (!mouse.Inside(r.x1, r.y1, r.x2, r.y2)) return false;
        if (*hover != Hover::HideCursor) *hover = Hover::Active;
        c_bButtonHovered = true;
        c_hovered = {r.x1, r.y1, r.x2, r.y2};
        return mouse.LMouseButtonDown();
    };
    switch (c_iCurrentMenu) {
    case kMainPage:
        if (pressed(kNewGameButton) && c_pSaveManager->LoadGame(SaveManager::kNewGameSlot)) return kEnterWorld;
        if (pressed(kRestoreButton)) SetScreen(kRestorePage);
        if (pressed(kCreditsButton)) SetScreen(kCreditsPage);
        if (pressed(kQuitButton)) return kQuit;
        if (pressed(kSettingsButton)) return kOpenSettings;
        return kStay;
    case kRestorePage:
        if (pressed(kBackButton)) SetScreen(kMainPage);
        return kStay;
    case kGameRestorePage:
    case kGameSavePage:
        return pressed(kBackButton) ? kEnterWorld : kStay;
    case kCreditsPage:
        if (pressed(kCreditsBackButton)) SetScreen(kMainPage);
        return kStay;
    default: return kStay;
    }
}

void MenuManager::DrawCursor(Hover hover)
{
    Cursor* cursor = hover == Hover::Active ? c_pCursor : hover == Hover::None ? c_pCursorLight : nullptr;
    if (cursor != nullptr) cursor->Render(c_pMouseManager->get_X(), c_pMouseManager->get_Y());
}

void MenuManager::DrawDarkness(float opacity)
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    device->SetTexture(0, c_pBlackTexture ? c_pBlackTexture->getTexture() : nullptr);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    c_pD3Dmat.Diffuse.a = opacity;
    device->SetMaterial(c_pD3Dmat);
    // The veil's picture drawn unlit over the whole screen at the veil's opacity, given as the
    // blend's constant factor: the same mix as a lit picture whose alpha is the material's,
    // and a fill the software rasteriser does several times faster. The picture's own alpha
    // then plays no part.
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_BLENDFACTOR, OpacityBlendFactor(opacity));
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_BLENDFACTOR);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVBLENDFACTOR);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    DrawPictureAlone(*c_pFullScreen);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

bool MenuManager::IsBlack(const Texture& picture)
{
    gfx::Texture* texture = picture.getTexture();
    if (texture == nullptr || texture->IsRenderTarget()) return false;
    D3DSURFACE_DESC desc{};
    if (FAILED(texture->GetLevelDesc(0, &desc))) return false;
    if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) return false;
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return false;
    bool black = true;
    for (UINT y = 0; y < desc.Height && black; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(locked.pBits) +
                                                                 static_cast<std::size_t>(y) * locked.Pitch);
        for (UINT x = 0; x < desc.Width; ++x)
            if ((row[x] & 0x00FFFFFFu) != 0) {
                black = false;
                break;
            }
    }
    texture->UnlockRect(0);
    return black;
}
