// WorldManager: the per-frame runtime (pointer, turning, inventory bar, hotspots, drawing),
// entering screens and composing their pictures.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <future>
#include <string>
#include <variant>

#include "core/error.h"
#include "core/game_paths.h"
#include "display/cd3dfont.h"
#include "display/cursor.h"
#include "display/way_back_band.h"
#include "world/hotspot_cursor.h"
#include "display/d3dfunc.h"
#include "display/display_screen.h"
#include "display/picture_cache.h"
#include "display/full_screen_image.h"
#include "display/hotspot_marks.h"
#include "display/texture.h"
#include "display/world_inventory.h"
#include "display/world_item.h"
#include "display/world_top_menu.h"
#include "input/mouse_manager.h"
#include "media/repetive_sound.h"
#include "media/subtitle_item.h"
#include "imaging/image.h"
#include "platform/clock/clock.h"
#include "world/action_codes.h"
#include "world/world_manager.h"

namespace {

// Screen bands, in pixels of the 800 x 600 screen (strict bounds), beside the public ones.
constexpr int kScreenCentreX = 400;
constexpr int kBarHighlightBottom = 585;
constexpr int kTopMenuBottom = 100;
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kPutBackAtEnd = 800;  // a pointer x right of every slot
constexpr int kBarSlotMiddle = 37;  // from a slot's left edge to the middle of its picture

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
    if (c_pMouseManager->LMouseButtonDown()) LeftClickBar(mx);
    if (c_pMouseManager->RMouseButtonDown()) RightClickBar(mx);
}

void WorldManager::NameHoveredBarItem()
{
    const int mx = c_pMouseManager->get_X();
    const int my = c_pMouseManager->get_Y();
    if (c_iCursorItem != 0 || c_bScreenIsInventory || c_bHideInventory || !(kBarTop < my && my < kBarHighlightBottom)) return;
    c_iHoveredItem = c_pInventory->ItemNumberUnder(mx);
}

void WorldManager::LeftClickBar(int mouseX)
{
    const int held = c_iCursorItem;
    c_iCursorItem = c_pInventory->Click(mouseX);
    if (held != 0) c_pInventory->Click(mouseX, held);
}

void WorldManager::RightClickBar(int mouseX)
{
    if (c_iCursorItem != 0) {
        c_pInventory->Click(kPutBackAtEnd, c_iCursorItem);
        c_iCursorItem = 0;
    } else {
        const int item = c_pInventory->RClick(mouseX);
        if (item != 0) JumpToInventoryScreen(item);
    }
}

std::optional<int> WorldManager::BarItemX(int number) const
{
    const std::vector<WorldItem*>& row = c_pInventory->get_ActiveItems();
    const int count = static_cast<int>(row.size());
    for (int i = 0; i < count; ++i) {
        if (row[static_cast<std::size_t>(i)]->get_Number() == number) {
            return WorldInventory::SlotLeft(count, i) + kBarSlotMiddle;
        }
    }
    return std::nullopt;
}

bool WorldManager::ClickBarItem(int number)
{
    if (c_bScreenIsInventory || c_bHideInventory) return false;
    const std::optional<int> x = BarItemX(number);
    if (!x) return false;
    LeftClickBar(*x);
    return true;
}

bool WorldManager::ExamineBarItem(int number)
{
    if (c_bScreenIsInventory || c_bHideInventory || c_iCursorItem != 0) return false;
    const std::optional<int> x = BarItemX(number);
    if (!x) return false;
    RightClickBar(*x);
    return true;
}

void WorldManager::HandleRightClick()
{
    if (c_pMouseManager->RMouseButtonDown()) RightClick();
}

void WorldManager::RightClick()
{
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
    const WorldHotspot* clicked = nullptr;
    for (int i = 0; i < c_pScreen->get_HotspotCount(); ++i) {
        const WorldHotspot* hotspot = c_pScreen->GetHotspot(i);
        if (!hotspot->Check(pick.x, pick.y) || !TestConditionList(hotspot)) continue;
        if (c_iCursorItem == 0 || !hotspot->get_SimpleMove()) c_iCursor = hotspot->get_Cursor();
        if (c_iCursorItem == 0) {
            const int given = hotspot_cursor::ItemGiven(*hotspot);
            if (given != 0) c_iHoveredItem = given;
        }
        if (clicked == nullptr && c_pMouseManager->LMouseButtonDown()) clicked = hotspot;
    }
    if (clicked != nullptr) RunClickedHotspot(*clicked);
}

void WorldManager::RunClickedHotspot(const WorldHotspot& hotspot)
{
    std::vector<WorldActionlist*> lists;
    if (c_iCursorItem == 0) {
        hotspot.getActionlist(true, 0, lists);
    } else {
        hotspot.getActionlist(false, c_iCursorItem, lists);
    }
    // Each list's condition is tested just before it runs, after the lists before it.
    bool ran = false;
    for (const WorldActionlist* list : lists) {
        if (!TestConditionList(list)) continue;
        ExcuteActionList(list);
        ran = true;
        c_dLastTime = timeGetTime();  // time spent in actions is not turning time
    }
    // An item of no use here gets the world's answer; a plain way on simply ignores the item.
    if (!ran && c_iCursorItem != 0 && !hotspot.get_SimpleMove() && c_pNoUseList != nullptr &&
        TestConditionList(c_pNoUseList)) {
        ExcuteActionList(c_pNoUseList);
        c_dLastTime = timeGetTime();
    }
}

bool WorldManager::ClickPicture(int x, int y)
{
    if (c_pScreen == nullptr) return false;
    for (int i = 0; i < c_pScreen->get_HotspotCount(); ++i) {
        const WorldHotspot* hotspot = c_pScreen->GetHotspot(i);
        if (!hotspot->Check(x, y) || !TestConditionList(hotspot)) continue;
        RunClickedHotspot(*hotspot);
        return true;
    }
    return false;
}

void WorldManager::ResumeClock() { c_dLastTime = timeGetTime(); }

namespace {

// What a confirmed button of the top strip asks the phase controller for.
int TopMenuOutcome(int result)
{
    switch (result) {
    case TMR_Restore: return WorldManager::kRestore;
    case TMR_Save: return WorldManager::kSave;
    case TMR_Quit: return WorldManager::kQuitToMenu;
    case TMR_EndGameQuit: return WorldManager::kCredits;
    default: return WorldManager::kKeepPlaying;
    }
}

}  // namespace

int WorldManager::Run()
{
    const std::uint32_t now = timeGetTime();
    const float dt = static_cast<float>(now - c_dLastTime);
    c_dLastTime = now;
    c_iCursor = kCursorNormal;
    c_iHoveredItem = 0;
    c_fRotation = c_pDisplayScreen->GetRotation();
    c_bClickedThisFrame = c_pMouseManager->get_ClickWaiting();

    const Pick pick = PickPoint(dt);
    HandleInventoryBar();
    HandleRightClick();
    if (pick.inView) HandleHotspots(pick);
    NameHoveredBarItem();
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
CD3DFont& WorldManager::CaptionFont(gfx::Device* device)
{
    if (!c_pCaptionFont) {
        c_pCaptionFont = std::make_unique<CD3DFont>(subtitles::kFontFace, subtitles::kFontHeight, D3DFONT_BOLD);
        c_pCaptionFont->InitDeviceObjects(device);
        c_pCaptionFont->RestoreDeviceObjects();
    }
    return *c_pCaptionFont;
}

void WorldManager::set_ItemTitle(int number, std::string title) { c_itemTitles[number] = std::move(title); }

const std::string& WorldManager::ItemTitle(int number) const
{
    static const std::string kNone;
    const auto it = c_itemTitles.find(number);
    return it == c_itemTitles.end() ? kNone : it->second;
}

void WorldManager::RenderItemName(gfx::Device* device, int mouseX, int mouseY)
{
    // The name stands above the pointer, centred on it and kept on the screen, with the
    // captions' shadow so that it reads over any picture.
    constexpr float kShadow = 2.0f, kAbove = 30.0f, kMargin = 6.0f;
    const std::string& title = ItemTitle(c_iHoveredItem);
    if (title.empty() || device == nullptr) return;
    CD3DFont& font = CaptionFont(device);
    SIZE size{};
    font.GetTextExtent(title.c_str(), &size);
    const float x = std::clamp(static_cast<float>(mouseX) - size.cx / 2.0f, kMargin,
                               std::max(kMargin, kScreenWidth - kMargin - static_cast<float>(size.cx)));
    const float y = std::max(kMargin, static_cast<float>(mouseY) - kAbove);
    const std::vector<CD3DFont::TextRun> runs{{x + kShadow, y + kShadow, subtitles::kShadowColour, title.c_str()},
                                              {x, y, subtitles::kTextColour, title.c_str()}};
    font.DrawTexts(runs, subtitles::kDrawFiltered);
}

void WorldManager::RenderCaption(gfx::Device* device)
{
    constexpr float kCaptionX = 10.0f, kCaptionY = 472.0f, kShadow = 2.0f;
    const char* line = get_Caption();
    if (line[0] == '\0' || device == nullptr) return;
    CaptionFont(device);
    // A line wider than the view (a hint, a long translation) is wrapped, its last line where
    // a single line stands and the ones before it above. The shadows, then the lines, in one draw.
    constexpr long kCaptionWidth = kScreenWidth - 2 * static_cast<long>(kCaptionX);
    constexpr float kLineHeight = 17.0f;
    SIZE size{};
    c_pCaptionFont->GetTextExtent(line, &size);
    const std::vector<std::string> lines =
        size.cx <= kCaptionWidth ? std::vector<std::string>{line} : c_pCaptionFont->WrapToWidth(line, kCaptionWidth);
    std::vector<CD3DFont::TextRun> runs;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const float y = kCaptionY - kLineHeight * static_cast<float>(lines.size() - 1 - i);
            const float shift = pass == 0 ? kShadow : 0.0f;
            runs.push_back({kCaptionX + shift, y + shift, pass == 0 ? subtitles::kShadowColour : subtitles::kTextColour,
                            lines[i].c_str()});
        }
    }
    c_pCaptionFont->DrawTexts(runs, subtitles::kDrawFiltered);
}

void WorldManager::set_Notice(std::string text)
{
    if (text == c_sNotice) return;
    c_sNotice = std::move(text);
    c_noticeLines.clear();  // wrapped with the caption font when next drawn
    ++c_iNoticeVersion;
}

void WorldManager::RenderNotice(gfx::Device* device)
{
    constexpr float kNoticeX = 10.0f, kNoticeTop = 106.0f, kLineHeight = 17.0f;
    constexpr std::uint32_t kNoticeColour = 0xFFFF8A70;  // a warm red, apart from the captions' gold
    constexpr long kNoticeWidth = kScreenWidth - 2 * 10;
    if (c_sNotice.empty() || device == nullptr) return;
    if (!c_pCaptionFont) {
        c_pCaptionFont = std::make_unique<CD3DFont>(subtitles::kFontFace, subtitles::kFontHeight, D3DFONT_BOLD);
        c_pCaptionFont->InitDeviceObjects(device);
        c_pCaptionFont->RestoreDeviceObjects();
    }
    if (c_noticeLines.empty()) {
        std::size_t start = 0;
        while (start <= c_sNotice.size()) {
            std::size_t end = c_sNotice.find('\n', start);
            if (end == std::string::npos) end = c_sNotice.size();
            for (std::string& line : c_pCaptionFont->WrapToWidth(c_sNotice.substr(start, end - start), kNoticeWidth))
                c_noticeLines.push_back(std::move(line));
            start = end + 1;
        }
        // Never below the view: what does not fit is cut, the file's own message first.
        const std::size_t fits = static_cast<std::size_t>((kViewBottom - kNoticeTop) / kLineHeight);
        if (c_noticeLines.size() > fits) c_noticeLines.resize(fits);
    }
    // A shadow on four sides keeps the lines legible on any picture.
    constexpr float kShadow[4][2] = {{-1.5f, 0.0f}, {1.5f, 0.0f}, {0.0f, -1.5f}, {0.0f, 1.5f}};
    std::vector<CD3DFont::TextRun> runs;
    for (std::size_t i = 0; i < c_noticeLines.size(); ++i) {
        const float y = kNoticeTop + kLineHeight * static_cast<float>(i);
        for (const auto& offset : kShadow) {
            runs.push_back({kNoticeX + offset[0], y + offset[1], subtitles::kShadowColour, c_noticeLines[i].c_str()});
        }
    }
    for (std::size_t i = 0; i < c_noticeLines.size(); ++i) {
        runs.push_back({kNoticeX, kNoticeTop + kLineHeight * static_cast<float>(i), kNoticeColour,
                        c_noticeLines[i].c_str()});
    }
    c_pCaptionFont->DrawTexts(runs, subtitles::kDrawFiltered);
}

// ---- the reveal ----

std::vector<WorldManager::RevealMark> WorldManager::RevealMarks() const
{
    std::vector<RevealMark> marks;
    if (c_pScreen == nullptr || c_bScreenIsInventory) return marks;
    const bool panorama = c_pScreen->get_Type() == WorldScreen::kPanorama;
    // The picture x at the screen's left edge, as PickPoint maps the pointer.
    float left = 0.0f;
    if (panorama) {
        const float width = static_cast<float>(kPanoramaWidth);
        left = std::fmod(-static_cast<float>(kScreenCentreX) - c_pDisplayScreen->GetRotation() / kPi / 2.0f * width, width);
        if (left < 0.0f) left += width;
    }
    for (int i = 0; i < c_pScreen->get_HotspotCount(); ++i) {
        const WorldHotspot* hotspot = c_pScreen->GetHotspot(i);
        if (!TestConditionList(hotspot)) continue;
        // The part of the hotspot the view shows, in screen pixels.
        const int top = std::max(kViewTop + 1, kViewTop + hotspot->get_Y1() * kViewHeight / kImageHeight);
        const int bottom = std::min(kViewBottom - 1, kViewTop + hotspot->get_Y2() * kViewHeight / kImageHeight);
        if (top > bottom) continue;
        float from = 0.0f, to = -1.0f;
        if (panorama) {
            // Round the panorama: the hotspot's span against the view's span, a turn either way.
            for (int turn = -1; turn <= 1 && to < from; ++turn) {
                const float x1 = static_cast<float>(hotspot->get_X1()) + static_cast<float>(turn * kPanoramaWidth) - left;
                const float x2 = static_cast<float>(hotspot->get_X2()) + static_cast<float>(turn * kPanoramaWidth) - left;
                from = std::max(x1, 0.0f);
                to = std::min(x2, static_cast<float>(kScreenWidth - 1));
            }
            if (to < from) continue;
        } else {
            from = static_cast<float>(hotspot->get_X1() * kScreenWidth / kFlatWidth);
            to = static_cast<float>(std::min(hotspot->get_X2() * kScreenWidth / kFlatWidth, kScreenWidth - 1));
        }
        std::vector<WorldActionlist*> lists;
        if (c_iCursorItem == 0) {
            hotspot->getActionlist(true, 0, lists);
        } else {
            hotspot->getActionlist(false, c_iCursorItem, lists);
        }
        RevealMark mark;
        mark.hotspot = i;
        mark.x = static_cast<int>(std::lround((from + to) / 2.0f));
        mark.y = (top + bottom) / 2;
        mark.reacts = std::any_of(lists.begin(), lists.end(), [this](const WorldActionlist* l) { return TestConditionList(l); });
        marks.push_back(mark);
    }
    return marks;
}

// ---- Render ----

Cursor* WorldManager::FrameCursor() const
{
    if (c_iCursorItem == 0 || !(c_iCursor == kCursorNormal || hotspot_cursor::Reacts(c_iCursor))) {
        // A game that draws no cursor of a hotspot's kind shows the one that says "something reacts".
        const int cursor = c_iCursor >= static_cast<int>(c_pCursors.size()) && hotspot_cursor::Reacts(c_iCursor) ? kCursorReact
                                                                                                           : c_iCursor;
        if (cursor < 0 || cursor >= static_cast<int>(c_pCursors.size())) return nullptr;
        return c_pCursors[static_cast<std::size_t>(cursor)].get();
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
    frame.hoveredItem = c_iHoveredItem;
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
    frame.reveal = c_bReveal;
    frame.moving = c_pDisplayScreen->get_Switching() || get_Caption()[0] != '\0';
    frame.clicked = c_bClickedThisFrame;
    frame.actionsRun = c_iActionsRun;
    frame.noticeVersion = c_iNoticeVersion;
    frame.deviceChanges = device.GetChangeCount();
    return frame;
}

int WorldManager::Render()
{
    if (c_bRehearsing) return kKeepPlaying;
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    // What the frame does besides drawing happens whether it is drawn or not.
    if (c_pScreen != nullptr) CustomFunction(c_pScreen->get_CustomFunction());
    UpdateSoundCaptions();

    WorldFrame frame = DescribeFrame(*device);
    // A frame asked to keep the view is drawn, even one that could rest.
    c_bRested = !c_bViewPictureWanted && c_rest.MayRest(frame);
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

void WorldManager::DrawView(gfx::Device* device)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kOpaqueBlack, 1.0f, 0);
    device->BeginScene();
    device->SetTexture(0, c_pBlackTexture->getTexture());
    c_pDisplayScreen->RenderBehind(*c_iFullScreenImage);
    c_pDisplayScreen->Render();
    SetWholeViewport(device);
}

void WorldManager::RequestViewPicture()
{
    c_bViewPictureWanted = true;
    c_viewPicture.clear();
}

bool WorldManager::TakeViewPicture(std::vector<std::uint32_t>* pixels)
{
    if (c_viewPicture.empty()) return false;
    *pixels = std::move(c_viewPicture);
    c_viewPicture.clear();
    return true;
}

std::vector<std::uint32_t> WorldManager::DrawViewPicture()
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    DrawView(device);
    device->EndScene();
    // The back buffer no longer holds the frame shown: a frame that would rest draws instead.
    c_rest.Forget();
    return device->ReadBackBuffer();
}

void WorldManager::DrawWaysBack(gfx::Device* device, int mx, int my)
{
    if (c_pScreen == nullptr || c_bScreenIsInventory || c_bHideCursor || c_pScreen->get_Type() != WorldScreen::kFlat) return;
    for (int i = 0; i < c_pScreen->get_HotspotCount(); ++i) {
        const WorldHotspot* hotspot = c_pScreen->GetHotspot(i);
        if (hotspot->get_Cursor() != hotspot_cursor::kBack || !TestConditionList(hotspot)) continue;
        const int x1 = std::max(0, hotspot->get_X1() * kScreenWidth / kFlatWidth);
        const int x2 = std::min(kScreenWidth - 1, hotspot->get_X2() * kScreenWidth / kFlatWidth);
        const int y1 = std::max(kViewTop, kViewTop + hotspot->get_Y1() * kViewHeight / kImageHeight);
        const int y2 = std::min(kViewBottom - 1, kViewTop + hotspot->get_Y2() * kViewHeight / kImageHeight);
        if (!c_pWayBack) c_pWayBack = std::make_unique<WayBackBand>(device);
        c_pWayBack->Render(x1, y1, x2, y2, x1 <= mx && mx <= x2 && y1 <= my && my <= y2);
    }
    SetWholeViewport(device);
}

int WorldManager::DrawFrame(gfx::Device* device)
{
    const int mx = c_pMouseManager->get_X();
    const int my = c_pMouseManager->get_Y();

    DrawView(device);
    if (c_bViewPictureWanted) {
        c_viewPicture = device->ReadBackBuffer();
        c_bViewPictureWanted = false;
    }
    DrawWaysBack(device, mx, my);
    if (c_bReveal) {
        if (!c_pRevealMarks) c_pRevealMarks = std::make_unique<HotspotMarks>(device);
        for (const RevealMark& mark : RevealMarks()) c_pRevealMarks->Render(mark.x, mark.y, mark.reacts);
        SetWholeViewport(device);
    }

    if (!c_bHideInventory && !c_bScreenIsInventory) {
        const bool over = (kBarTop < my && my < kBarHighlightBottom) ? c_pInventory->Render(mx) : c_pInventory->Render();
        if (over) c_iCursor = kCursorReact;
    }
    int help = kKeepPlaying;
    // The strip is there with an item in the hand too: it stays held, and a save keeps it.
    if (!c_bScreenIsInventory) {
        if (my < kTopMenuBottom) {
            const int result = c_pTopMenu->Render(mx, c_bEndGameMode);
            if (result == TMR_Hover) c_iCursor = kCursorReact;
            // Help leaves the game as it stands: the frame is drawn whole, and then asked for.
            if (result == TMR_Hints) help = kHints;
            if (result == TMR_Journal) help = kJournal;
            if (help == kKeepPlaying && result >= TMR_Restore) {
                c_bEndGameMode = false;
                c_bHideInventory = false;
                device->EndScene();
                return TopMenuOutcome(result);
            }
        } else {
            c_pTopMenu->Render(c_bEndGameMode);
        }
    }
    RenderCaption(device);
    RenderNotice(device);
    if (!c_bHideCursor) RenderItemName(device, mx, my);
    if (!c_bHideCursor) {
        if (Cursor* cursor = FrameCursor()) cursor->Render(mx, my);
    }
    SetWholeViewport(device);
    device->EndScene();
    device->Present();
    NoteFramePresented();
    return help;
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
    const float leftRotation = c_pDisplayScreen->GetRotation();
    if (!c_bRehearsing) {
        BuildScreenImage();
        c_pDisplayScreen->SetType(c_pScreen->get_Type());
        try {
            c_pDisplayScreen->Switch(transition);
        } catch (const Error&) {
            FailSafe::Info = L"Error during JumpToScreen, switch.";
            throw;
        }
    }
    NoteScreenEntered(number, leftRotation);
    NoteScreenSwitched(number, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count());
    // The current screen is read afresh each time: an entry list that moves elsewhere lets
    // the loop go on with the new screen's lists from the next index.
    for (int i = 0; i < c_pScreen->get_PreActionsCount(); ++i) {
        const WorldActionlist* list = c_pScreen->GetPreActionList(i);
        if (TestConditionList(list)) ExcuteActionList(list);
    }
    c_bPrefetchDue = true;
}

void WorldManager::JumpToScreen(int number) { JumpToScreen(number, c_iTransStandard); }

void WorldManager::NoteScreenEntered(int number, float leftRotation)
{
    c_iScreenPosition = number;
    if (c_pWatcher != nullptr) c_pWatcher->ScreenEntered(number);
    if (KindOfScreen(number) == ScreenKind::Standing) {
        c_iStandingScreen = number;
        c_bOnStandingScreen = true;
        return;
    }
    // A close-up or a book page (or a number no screen bears) is looked at from where the
    // player stood: that screen stays theirs, at the angle they left it.
    if (c_bOnStandingScreen) c_fStandingRotation = leftRotation;
    c_bOnStandingScreen = false;
}

namespace {
double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
}  // namespace

void WorldManager::NoteScreenSwitched(int number, double enteredMs)
{
    ++c_entryTimes.count;
    c_entryTimes.totalMs += enteredMs;
    if (enteredMs > c_entryTimes.slowestMs) {
        c_entryTimes.slowestMs = enteredMs;
        c_entryTimes.slowestScreen = number;
    }
    if (c_recentEntries.size() == kRecentEntries) c_recentEntries.erase(c_recentEntries.begin());
    c_recentEntries.push_back({c_entryTimes.count, number, c_iFramesPresented, c_lastPresentAt, 0.0});
}

void WorldManager::NoteFramePresented()
{
    ++c_iFramesPresented;
    c_lastPresentAt = SteadySeconds();
    for (EntryFrames& entry : c_recentEntries)
        if (entry.firstFrameAfter == 0.0) entry.firstFrameAfter = c_lastPresentAt;
    // Decoding ahead starts once the new screen's first frame is out, so that it never delays it.
    if (c_bPrefetchDue) {
        c_bPrefetchDue = false;
        PrefetchNeighbours();
    }
}

void WorldManager::TransportToScreen(int number)
{
    EnterScreen(number);
    const float leftRotation = c_pDisplayScreen->GetRotation();
    if (!c_bRehearsing) {
        BuildScreenImage();
        c_pDisplayScreen->SetType(c_pScreen->get_Type());
        c_pDisplayScreen->Switch(0);
    }
    NoteScreenEntered(number, leftRotation);
    c_bPrefetchDue = true;
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

namespace {

// One block copied over a screen's base picture: an overlay, or a frame of a strip.
struct ScreenBlock {
    const char* image;
    int offset;
    int x, y;
    std::int64_t srcX;
    int w, h;
    std::shared_ptr<const imaging::Image> picture;  // decoded ahead or beside the base; null: read it now
};

}  // namespace

void WorldManager::ComposeBlock(const imaging::Image& picture, int dstX, int dstY, std::int64_t srcX, int w, int h)
{
    gfx::Texture* texture = c_pDisplayScreen->getTexture()->get();
    if (texture == nullptr) return;

    // Clip the block to both the screen's texture and the image: a block placed partly
    // outside, or a strip frame that does not exist, never writes or reads out of bounds.
    std::int64_t dx = dstX, dy = dstY, sx = srcX, sy = 0, bw = w, bh = h;
    if (dx < 0) { sx -= dx; bw += dx; dx = 0; }
    if (dy < 0) { sy -= dy; bh += dy; dy = 0; }
    if (sx < 0) { dx -= sx; bw += sx; sx = 0; }
    bw = std::min({bw, std::int64_t{texture->Width()} - dx, std::int64_t{picture.width} - sx});
    bh = std::min({bh, std::int64_t{texture->Height()} - dy, std::int64_t{picture.height} - sy});
    if (bw <= 0 || bh <= 0) return;

    const RECT dstRect{static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(dx + bw), static_cast<int>(dy + bh)};
    D3DLOCKED_RECT dst{};
    if (FAILED(texture->LockRect(0, &dst, &dstRect, D3DLOCK_DISCARD))) return;
    D3DLOCKED_RECT src{};
    src.Pitch = picture.width * 4;
    src.pBits = const_cast<std::uint8_t*>(picture.Row(static_cast<int>(sy)) + sx * 4);
    try {
        D3Dfunc::CopyTextures(dst, src, static_cast<int>(bw), static_cast<int>(bh));
    } catch (...) {
        texture->UnlockRect(0);
        throw;
    }
    texture->UnlockRect(0);
}

void WorldManager::BuildScreenImage()
{
    // What the picture is made of is decided first, from the variables as they are now.
    const char* base = c_pScreen->get_BaseImage();
    for (int i = 0; i < c_pScreen->get_OverwriteBaseImageCount(); ++i) {
        const WorldOverwriteBaseImage* overwrite = c_pScreen->GetOverwriteBaseImage(i);
        if (getGlobalVarValue(overwrite->get_VarNumber()) == overwrite->get_VarValue()) base = overwrite->get_BaseImage();
    }
    std::vector<ScreenBlock> blocks;
    for (int i = 0; i < c_pScreen->get_OverlayCount(); ++i) {
        const WorldOverlay* overlay = c_pScreen->GetOverlay(i);
        if (!TestConditionList(overlay)) continue;
        blocks.push_back({overlay->get_ImagePath(), overlay->get_Offset(), overlay->get_X(), overlay->get_Y(), 0,
                          overlay->get_W(), overlay->get_H(), nullptr});
    }
    for (int i = 0; i < c_pScreen->get_OverlayCountArray(); ++i) {
        const WorldOverlayArray* strip = c_pScreen->GetOverlayArray(i);
        const std::int64_t frame = getGlobalVarValue(strip->get_VarDependant());
        blocks.push_back({strip->get_ImagePath(), strip->get_Offset(), strip->get_X(), strip->get_Y(),
                          frame * strip->get_W(), strip->get_W(), strip->get_H(), nullptr});
    }

    // Pictures decoded ahead are taken; the other blocks are decoded on a second thread while
    // this one decodes the base picture. A block that fails there is read again below, in its
    // turn, so that its error is the one the game has always reported.
    std::vector<std::pair<std::string, int>> besides;
    for (ScreenBlock& block : blocks) {
        if (c_pPictureCache) block.picture = c_pPictureCache->Take({block.image, block.offset, false});
        if (!block.picture) besides.emplace_back(GamePaths::Resolve(block.image), block.offset);
    }
    std::future<std::vector<std::shared_ptr<const imaging::Image>>> decoding;
    if (!besides.empty()) {
        decoding = std::async(std::launch::async, [files = std::move(besides)] {
            std::vector<std::shared_ptr<const imaging::Image>> pictures;
            for (const auto& [path, offset] : files) {
                auto picture = std::make_shared<imaging::Image>();
                if (!D3Dfunc::DecodeEncryptedPicture(path, offset, D3Dfunc::PictureShape{}, picture.get(), nullptr))
                    picture.reset();
                pictures.push_back(std::move(picture));
            }
            return pictures;
        });
    }

    std::shared_ptr<const imaging::Image> ahead;
    if (c_pPictureCache) ahead = c_pPictureCache->Take({base, c_pScreen->get_Offset(), true});
    if (ahead) {
        c_pDisplayScreen->setTexture(*ahead);
    } else {
        c_pDisplayScreen->setTexture(base, c_pScreen->get_Offset());
    }

    if (decoding.valid()) {
        auto decoded = decoding.get();
        std::size_t next = 0;
        for (ScreenBlock& block : blocks)
            if (!block.picture) block.picture = std::move(decoded[next++]);
    }
    for (ScreenBlock& block : blocks) {
        if (!block.picture) {
            auto picture = std::make_shared<imaging::Image>();
            D3Dfunc::ReadPictureFromEncrypted(block.image, block.offset, picture.get());
            block.picture = std::move(picture);
        }
        ComposeBlock(*block.picture, block.x, block.y, block.srcX, block.w, block.h);
    }
}

// ---- pictures decoded ahead ----

void WorldManager::PrefetchNeighbours()
{
    if (!c_pPictureCache || c_pScreen == nullptr) return;
    // The screens one click away: hotspot targets (those that can be clicked now first), the
    // screen itself when a click reloads it, the close-ups of the items in the bar, and the
    // screen a close-up returns to.
    std::vector<const WorldScreen*> screens;
    const auto add = [&](const WorldScreen* screen) {
        if (screen != nullptr && std::find(screens.begin(), screens.end(), screen) == screens.end())
            screens.push_back(screen);
    };
    const auto addItemScreen = [&](int number) {
        if (const WorldItem* item = c_pInventory->GetItem(number)) add(getWorldScreen(item->get_Screen()));
    };
    const auto addTargets = [&](const WorldHotspot* hotspot) {
        for (int l = 0; l < hotspot->get_ActionlistCount(); ++l) {
            const WorldActionlist* list = hotspot->GetActionlist(l);
            for (int a = 0; a < list->get_ActionNumber(); ++a) {
                const WorldAction* action = list->getAction(a);
                if (action->get_Type() == ACT_ReloadScreen) add(c_pScreen);
                if (action->get_Type() != ACT_GotoScreen && action->get_Type() != ACT_ShowItem) continue;
                int target = action->get_Type() == ACT_GotoScreen ? 1 : 0;  // the actions' defaults
                for (int p = 0; p < action->get_ParamCount(); ++p) {
                    const auto* value = std::get_if<float>(&action->getParamValueObject(p));
                    if (value == nullptr) continue;
                    if (action->get_Type() == ACT_ShowItem) {
                        target = TruncateParam(*value);
                        break;
                    }
                    if (action->getParamType(p) == 0) target = TruncateParam(*value);
                }
                if (action->get_Type() == ACT_GotoScreen) add(getWorldScreen(target));
                else addItemScreen(target);
            }
        }
    };
    for (const bool now : {true, false})
        for (int i = 0; i < c_pScreen->get_HotspotCount(); ++i)
            if (TestConditionList(c_pScreen->GetHotspot(i)) == now) addTargets(c_pScreen->GetHotspot(i));
    if (c_bScreenIsInventory) add(c_pLastScreen);
    for (const WorldItem* item : c_pInventory->get_ActiveItems()) addItemScreen(item->get_Number());

    // Each screen's pictures as the variables stand now first; then the pictures a click
    // may switch to (the other base pictures, the overlays hidden now), while there is room.
    std::vector<PictureCache::Key> wanted;
    const auto want = [&](const char* path, int offset, bool texture) {
        PictureCache::Key key{path, offset, texture};
        if (std::find(wanted.begin(), wanted.end(), key) == wanted.end()) wanted.push_back(std::move(key));
    };
    for (const bool now : {true, false}) {
        for (const WorldScreen* screen : screens) {
            const char* base = screen->get_BaseImage();
            for (int i = 0; i < screen->get_OverwriteBaseImageCount(); ++i) {
                const WorldOverwriteBaseImage* overwrite = screen->GetOverwriteBaseImage(i);
                const bool shown = getGlobalVarValue(overwrite->get_VarNumber()) == overwrite->get_VarValue();
                if (shown) base = overwrite->get_BaseImage();
                if (!now) want(overwrite->get_BaseImage(), screen->get_Offset(), true);
            }
            if (now) want(base, screen->get_Offset(), true);
            else want(screen->get_BaseImage(), screen->get_Offset(), true);
            for (int i = 0; i < screen->get_OverlayCount(); ++i) {
                const WorldOverlay* overlay = screen->GetOverlay(i);
                if (!now || TestConditionList(overlay)) want(overlay->get_ImagePath(), overlay->get_Offset(), false);
            }
            for (int i = 0; i < screen->get_OverlayCountArray(); ++i) {
                const WorldOverlayArray* strip = screen->GetOverlayArray(i);
                want(strip->get_ImagePath(), strip->get_Offset(), false);
            }
        }
    }
    c_pPictureCache->Want(wanted);
}
