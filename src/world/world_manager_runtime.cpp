// WorldManager: the per-frame runtime (pointer, turning, inventory bar, hotspots, drawing),
// entering screens and composing their pictures.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "core/error.h"
#include "display/cd3dfont.h"
#include "display/cursor.h"
#include "display/d3dfunc.h"
#include "display/display_screen.h"
#include "display/full_screen_image.h"
#include "display/texture.h"
#include "display/world_inventory.h"
#include "display/world_item.h"
#include "display/world_top_menu.h"
#include "input/mouse_manager.h"
#include "media/repetive_sound.h"
#include "media/subtitle_item.h"
#include "platform/clock/clock.h"
#include "world/world_manager.h"

namespace {

// Screen bands, in pixels of the 800 x 600 screen (strict bounds), beside the public ones.
constexpr int kScreenCentreX = 400;
constexpr int kBarHighlightBottom = 585;
constexpr int kTopMenuBottom = 100;
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kPutBackAtEnd = 800;  // a pointer x right of every slot

constexpr int kViewHeight = WorldManager::kViewBottom - WorldManager::kViewTop;
constexpr float kPi = 3.1415927f;

constexpr D3DCOLOR kOpaqueBlack = 0xFF000000;

constexpr int kCustomTickingSwitch = 1;
constexpr int kTickingSound = 4;

void SetWholeViewport(gfx::Device* device)
{
    const D3DVIEWPORT9 viewport{0, 0, kScreenWidth, kScreenHeight, 0.0f, 1.0f};
    device->SetViewport(viewport);
}

// Brings a picked panorama column into 0 .. 2048 (2048 itself stays, as the turning rule has it).
int WrapPanoramaX(int x)
{
    if (x < 0) {
        x %= WorldManager::kPanoramaWidth;
        if (x < 0) x += WorldManager::kPanoramaWidth;
    }
    if (x > WorldManager::kPanoramaWidth) x = (x - 1) % WorldManager::kPanoramaWidth + 1;
    return x;
}

}  // namespace

// ---- Run ----

WorldManager::Pick WorldManager::PickPoint(float dt)
{
    Pick pick;
    const int mx = c_pMouseManager->get_X();
    const int my = c_pMouseManager->get_Y();
    if (c_pScreen == nullptr || !(kViewTop < my && my < kViewBottom)) return pick;
    pick.inView = true;
    pick.y = (my - kViewTop) * kImageHeight / kViewHeight;
    if (c_pScreen->get_Type() == WorldScreen::kPanorama) {
        if (mx < kTurnLeftEdge) {
            pick.inView = false;
            c_iCursor = kCursorTurnLeft;
            c_pDisplayScreen->RotateBy(static_cast<float>(kTurnLeftEdge - mx) / c_fRotationSpeed * c_fTurningFactor * dt);
        } else if (mx > kTurnRightEdge) {
            pick.inView = false;
            c_iCursor = kCursorTurnRight;
            c_pDisplayScreen->RotateBy(static_cast<float>(mx - kTurnRightEdge) / -c_fRotationSpeed * c_fTurningFactor * dt);
        }
        const float angle = c_pDisplayScreen->GetRotation();
        const float x = static_cast<float>(mx - kScreenCentreX) + angle / kPi / 2.0f * -static_cast<float>(kPanoramaWidth);
        pick.x = WrapPanoramaX(TruncateParam(x));
    } else {
        pick.x = mx * kFlatWidth / kScreenWidth;
    }
    return pick;
}

void WorldManager::HandleInventoryBar()
{
    const int mx = c_pMouseManager->get_X();
    const int my = c_pMouseManager->get_Y();
    if (!(kBarTop < my && my < kBarClickBottom) || c_bScreenIsInventory || c_bHideInventory) return;
    if (c_pMouseManager->LMouseButtonDown()) {
        const int held = c_iCursorItem;
        c_iCursorItem = c_pInventory->Click(mx);
        if (held != 0) c_pInventory->Click(mx, held);
    }
    if (c_pMouseManager->RMouseButtonDown()) {
        if (c_iCursorItem != 0) {
            c_pInventory->Click(kPutBackAtEnd, c_iCursorItem);
            c_iCursorItem = 0;
        } else {
            const int item = c_pInventory->RClick(mx);
            if (item != 0) JumpToInventoryScreen(item);
        }
    }
}

void WorldManager::HandleRightClick()
{
    if (!c_pMouseManager->RMouseButtonDown()) return;
    if (c_iCursorItem != 0) {
        c_pInventory->Click(kPutBackAtEnd, c_iCursorItem);
        c_iCursorItem = 0;
    }
    if (c_bScreenIsInventory) CloseInventoryScreen();
}

void WorldManager::CloseInventoryScreen()
{
    c_pDisplayScreen->RotateBackgroundTo(c_fLastRotation);
    c_iCursor = kCursorLoading;
    Render();
    c_bScreenIsInventory = false;
    if (const WorldItem* item = c_pInventory->GetItem(c_iInventoryItem)) AddSound(item->get_Sound().c_str());
    if (c_pLastScreen != nullptr) JumpToScreen(c_pLastScreen->get_Number());
}

void WorldManager::HandleHotspots(const Pick& pick)
{
    std::vector<WorldActionlist*> lists;
    bool clickTaken = false;
    for (int i = 0; i < c_pScreen->get_HotspotCount(); ++i) {
        const WorldHotspot* hotspot = c_pScreen->GetHotspot(i);
        if (!hotspot->Check(pick.x, pick.y) || !TestConditionList(hotspot)) continue;
        if (c_iCursorItem == 0 || !hotspot->get_SimpleMove()) c_iCursor = hotspot->get_Cursor();
        if (!clickTaken && c_pMouseManager->LMouseButtonDown()) {
            clickTaken = true;
            if (c_iCursorItem == 0) {
                hotspot->getActionlist(true, 0, lists);
            } else {
                hotspot->getActionlist(false, c_iCursorItem, lists);
            }
        }
    }
    // Each list's condition is tested just before it runs, after the lists before it.
    for (const WorldActionlist* list : lists) {
        if (!TestConditionList(list)) continue;
        ExcuteActionList(list);
        c_dLastTime = timeGetTime();  // time spent in actions is not turning time
    }
}

void WorldManager::ResumeClock() { c_dLastTime = timeGetTime(); }

int WorldManager::Run()
{
    const std::uint32_t now = timeGetTime();
    const float dt = static_cast<float>(now - c_dLastTime);
    c_dLastTime = now;
    c_iCursor = kCursorNormal;
    c_fRotation = c_pDisplayScreen->GetRotation();
    c_bClickedThisFrame = c_pMouseManager->get_ClickWaiting();

    const Pick pick = PickPoint(dt);
    HandleInventoryBar();
    HandleRightClick();
    if (pick.inView) HandleHotspots(pick);
    const int result = Render();
    if (result == kKeepPlaying && c_bCreditsNow) {
        c_bCreditsNow = false;
        c_bEndGameMode = false;
        c_bHideInventory = false;
        return kCredits;
    }
    return result;
}

// ---- captions ----

void WorldManager::ShowCaption(const SubtitleItem* caption)
{
    c_pCaption = caption;
    c_dwCaptionStart = timeGetTime();
}

const char* WorldManager::get_Caption() const
{
    if (c_pCaption == nullptr) return "";
    // A caption's line timed t shows from t on: a line at 0 shows the moment the sound starts
    // (a quick ticking restarts its caption every few frames and must still be seen).
    return c_pCaption->Get(timeGetTime() - c_dwCaptionStart + 1);
}

// A captioned ambient sound that has started again since its caption was last shown shows it anew.
void WorldManager::UpdateSoundCaptions()
{
    for (SoundCaption& c : c_pSoundCaptions) {
        const RepetiveSound& sound = *c_pRepetiveSounds[c.sound];
        if (!sound.get_Active() || !sound.get_Loaded() || sound.get_RestartTime() == c.shownFor) continue;
        c.shownFor = sound.get_RestartTime();
        ShowCaption(c.caption);
    }
}

// The caption along the foot of the view, shadowed like a film's subtitles, above the bar.
void WorldManager::RenderCaption(gfx::Device* device)
{
    constexpr float kCaptionX = 10.0f, kCaptionY = 472.0f, kShadow = 2.0f;
    const char* line = get_Caption();
    if (line[0] == '\0' || device == nullptr) return;
    if (!c_pCaptionFont) {
        c_pCaptionFont = std::make_unique<CD3DFont>(subtitles::kFontFace, subtitles::kFontHeight, D3DFONT_BOLD);
        c_pCaptionFont->InitDeviceObjects(device);
        c_pCaptionFont->RestoreDeviceObjects();
    }
    c_pCaptionFont->DrawTextA(kCaptionX + kShadow, kCaptionY + kShadow, subtitles::kShadowColour, line,
                              subtitles::kDrawFiltered);
    c_pCaptionFont->DrawTextA(kCaptionX, kCaptionY, subtitles::kTextColour, line, subtitles::kDrawFiltered);
}

// ---- Render ----

Cursor* WorldManager::FrameCursor() const
{
    if (c_iCursorItem == 0 || c_iCursor >= kCursorTurnLeft) {
        if (c_iCursor < 0 || c_iCursor >= static_cast<int>(c_pCursors.size())) return nullptr;
        return c_pCursors[static_cast<std::size_t>(c_iCursor)].get();
    }
    const WorldItem* item = c_pInventory->GetItem(c_iCursorItem);
    if (item == nullptr) return nullptr;
    return c_iCursor == kCursorNormal ? item->get_Cursor1() : item->get_Cursor2();
}

WorldFrame WorldManager::DescribeFrame(const gfx::Device& device) const
{
    WorldFrame frame;
    frame.pointerX = c_pMouseManager->get_X();
    frame.pointerY = c_pMouseManager->get_Y();
    frame.cursor = c_iCursor;
    frame.cursorItem = c_iCursorItem;
    frame.screen = c_pScreen;
    frame.viewFront = c_pDisplayScreen->get_Front();
    frame.rotation = c_pDisplayScreen->GetRotation();
    frame.backRotation = c_pDisplayScreen->GetBackgroundRotation();
    frame.barFade = c_pInventory->get_SemiTransparent();
    frame.topMenuFade = c_pTopMenu->get_SemiTransparent();
    frame.hideCursor = c_bHideCursor;
    frame.hideInventory = c_bHideInventory;
    frame.inventoryScreen = c_bScreenIsInventory;
    frame.endGameMode = c_bEndGameMode;
    frame.moving = c_pDisplayScreen->get_Switching() || get_Caption()[0] != '\0';
    frame.clicked = c_bClickedThisFrame;
    frame.actionsRun = c_iActionsRun;
    frame.deviceChanges = device.GetChangeCount();
    return frame;
}

int WorldManager::Render()
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    // What the frame does besides drawing happens whether it is drawn or not.
    if (c_pScreen != nullptr) CustomFunction(c_pScreen->get_CustomFunction());
    UpdateSoundCaptions();

    WorldFrame frame = DescribeFrame(*device);
    c_bRested = c_rest.MayRest(frame);
    if (c_bRested) {
        device->ShowAgain();
        return kKeepPlaying;
    }
    const int result = DrawFrame(device);
    if (result != kKeepPlaying) {
        c_rest.Forget();
        return result;
    }
    frame.deviceChanges = device->GetChangeCount();
    c_rest.Drawn(frame);
    return kKeepPlaying;
}

int WorldManager::DrawFrame(gfx::Device* device)
{
    const int mx = c_pMouseManager->get_X();
    const int my = c_pMouseManager->get_Y();

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kOpaqueBlack, 1.0f, 0);
    device->BeginScene();
    device->SetTexture(0, c_pBlackTexture->getTexture());
    c_pDisplayScreen->RenderBehind(*c_iFullScreenImage);
    c_pDisplayScreen->Render();
    SetWholeViewport(device);

    if (!c_bHideInventory && !c_bScreenIsInventory) {
        const bool over = (kBarTop < my && my < kBarHighlightBottom) ? c_pInventory->Render(mx) : c_pInventory->Render();
        if (over) c_iCursor = kCursorReact;
    }
    if (!c_bScreenIsInventory && c_iCursorItem == 0) {
        if (my < kTopMenuBottom) {
            const int result = c_pTopMenu->Render(mx, c_bEndGameMode);
            if (result == TMR_Hover) c_iCursor = kCursorReact;
            if (result >= TMR_Restore) {
                c_bEndGameMode = false;
                c_bHideInventory = false;
                device->EndScene();
                return result - 1;
            }
        } else {
            c_pTopMenu->Render(c_bEndGameMode);
        }
    }
    RenderCaption(device);
    if (!c_bHideCursor) {
        if (Cursor* cursor = FrameCursor()) cursor->Render(mx, my);
    }
    SetWholeViewport(device);
    device->EndScene();
    device->Present();
    return kKeepPlaying;
}

void WorldManager::CustomFunction(int number)
{
    if (number != kCustomTickingSwitch) return;
    const double dx = c_pMouseManager->get_X() - 424;
    const double dy = c_pMouseManager->get_Y() - 366;
    const int d = static_cast<int>(std::sqrt(dx * dx + dy * dy) * 3.0 + 50.0);
    ActivateRepetiveSound(kTickingSound, d - 10, d);
}

// ---- entering screens ----

void WorldManager::EnterScreen(int number)
{
    c_bEndGameMode = false;
    DeactivateAllRepetiveSounds();
    WorldScreen* screen = getWorldScreen(number);
    if (screen == nullptr) {
        throw Error("cannot enter screen " + std::to_string(number) + ": the world has no screens");
    }
    c_pScreen = screen;
}

void WorldManager::JumpToScreen(int number, int transition)
{
    const auto started = std::chrono::steady_clock::now();
    try {
        EnterScreen(number);
    } catch (const Error&) {
        FailSafe::Info = L"Error during JumpToScreen, loading screen.";
        throw;
    }
    BuildScreenImage();
    c_pDisplayScreen->SetType(c_pScreen->get_Type());
    try {
        c_pDisplayScreen->Switch(transition);
    } catch (const Error&) {
        FailSafe::Info = L"Error during JumpToScreen, switch.";
        throw;
    }
    c_iScreenPosition = number;
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    ++c_entryTimes.count;
    c_entryTimes.totalMs += ms;
    if (ms > c_entryTimes.slowestMs) {
        c_entryTimes.slowestMs = ms;
        c_entryTimes.slowestScreen = number;
    }
    // The current screen is read afresh each time: an entry list that moves elsewhere lets
    // the loop go on with the new screen's lists from the next index.
    for (int i = 0; i < c_pScreen->get_PreActionsCount(); ++i) {
        const WorldActionlist* list = c_pScreen->GetPreActionList(i);
        if (TestConditionList(list)) ExcuteActionList(list);
    }
}

void WorldManager::JumpToScreen(int number) { JumpToScreen(number, c_iTransStandard); }

void WorldManager::TransportToScreen(int number)
{
    EnterScreen(number);
    BuildScreenImage();
    c_pDisplayScreen->SetType(c_pScreen->get_Type());
    c_pDisplayScreen->Switch(0);
    c_iScreenPosition = number;
}

void WorldManager::JumpToInventoryScreen(int item)
{
    const WorldItem* shown = c_pInventory->GetItem(item);
    if (shown == nullptr) {
        FailSafe::Info = L"Error during JumpToInventoryScreen.";
        throw Error("cannot show the close-up of item " + std::to_string(item) + ": the world defines no such item");
    }
    DeactivateAllRepetiveSounds();
    c_pLastScreen = c_pScreen;
    c_fLastRotation = c_pDisplayScreen->GetRotation();
    c_iCursor = kCursorLoading;
    c_iInventoryItem = item;
    Render();
    c_bScreenIsInventory = true;
    AddSound(shown->get_Sound().c_str());
    JumpToScreen(shown->get_Screen());
}

// ---- composing a screen's picture ----

void WorldManager::ComposeBlock(const char* image, int offset, int dstX, int dstY, std::int64_t srcX, int w, int h)
{
    std::unique_ptr<gfx::Surface> surface;
    D3Dfunc::CreateSurfaceFromEncrypted(image, offset, &surface);
    gfx::Texture* texture = c_pDisplayScreen->getTexture()->get();
    if (texture == nullptr || surface == nullptr) return;

    // Clip the block to both the screen's texture and the image: a block placed partly
    // outside, or a strip frame that does not exist, never writes or reads out of bounds.
    std::int64_t dx = dstX, dy = dstY, sx = srcX, sy = 0, bw = w, bh = h;
    if (dx < 0) { sx -= dx; bw += dx; dx = 0; }
    if (dy < 0) { sy -= dy; bh += dy; dy = 0; }
    if (sx < 0) { dx -= sx; bw += sx; sx = 0; }
    bw = std::min({bw, std::int64_t{texture->Width()} - dx, std::int64_t{surface->Width()} - sx});
    bh = std::min({bh, std::int64_t{texture->Height()} - dy, std::int64_t{surface->Height()} - sy});
    if (bw <= 0 || bh <= 0) return;

    const RECT dstRect{static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(dx + bw), static_cast<int>(dy + bh)};
    const RECT srcRect{static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(sx + bw), static_cast<int>(sy + bh)};
    D3DLOCKED_RECT dst{};
    D3DLOCKED_RECT src{};
    if (FAILED(texture->LockRect(0, &dst, &dstRect, D3DLOCK_DISCARD))) return;
    if (FAILED(surface->LockRect(&src, &srcRect, D3DLOCK_DISCARD))) {
        texture->UnlockRect(0);
        return;
    }
    D3Dfunc::CopyTextures(dst, src, static_cast<int>(bw), static_cast<int>(bh));
    surface->UnlockRect();
    texture->UnlockRect(0);
}

void WorldManager::BuildScreenImage()
{
    const char* base = c_pScreen->get_BaseImage();
    for (int i = 0; i < c_pScreen->get_OverwriteBaseImageCount(); ++i) {
        const WorldOverwriteBaseImage* overwrite = c_pScreen->GetOverwriteBaseImage(i);
        if (getGlobalVarValue(overwrite->get_VarNumber()) == overwrite->get_VarValue()) base = overwrite->get_BaseImage();
    }
    c_pDisplayScreen->setTexture(base, c_pScreen->get_Offset());

    for (int i = 0; i < c_pScreen->get_OverlayCount(); ++i) {
        const WorldOverlay* overlay = c_pScreen->GetOverlay(i);
        if (!TestConditionList(overlay)) continue;
        ComposeBlock(overlay->get_ImagePath(), overlay->get_Offset(), overlay->get_X(), overlay->get_Y(), 0,
                     overlay->get_W(), overlay->get_H());
    }
    for (int i = 0; i < c_pScreen->get_OverlayCountArray(); ++i) {
        const WorldOverlayArray* strip = c_pScreen->GetOverlayArray(i);
        const std::int64_t frame = getGlobalVarValue(strip->get_VarDependant());
        ComposeBlock(strip->get_ImagePath(), strip->get_Offset(), strip->get_X(), strip->get_Y(),
                     frame * strip->get_W(), strip->get_W(), strip->get_H());
    }
}
