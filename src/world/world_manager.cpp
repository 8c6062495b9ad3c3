// WorldManager: construction of the world, sounds, lookups and condition tests.
#include "world/world_manager.h"

#include <algorithm>
#include <cassert>

#include "core/error.h"
#include "display/cd3dfont.h"
#include "display/cursor.h"
#include "display/d3dfunc.h"
#include "display/display_screen.h"
#include "display/full_screen_image.h"
#include "display/hotspot_marks.h"
#include "display/way_back_band.h"
#include "display/picture_cache.h"
#include "display/texture.h"
#include "display/world_inventory.h"
#include "display/world_top_menu.h"
#include "media/game_sound_manager.h"
#include "media/repetive_sound.h"
#include "world/condition_codes.h"
#include "world/condition_evaluator.h"
#include "media/video_player.h"

namespace {
constexpr float kViewRadius = 100.0f;
}

WorldManager::WorldManager(int slices, int stacks, int switchLength, const char* blackImage, int blackOffset,
                           MouseManager* mouseManager, MusicManager* musicManager, VideoPlayer* videoPlayer,
                           float rotationSpeed, int transStandard, const char* top1, const char* top2,
                           const char* top3, const char* top4, int topOffset)
    : c_pMouseManager(mouseManager),
      c_pMusicManager(musicManager),
      c_pVideoPlayer(videoPlayer),
      c_iTransStandard(transStandard),
      c_fRotationSpeed(rotationSpeed)
{
    gfx::Device* device = D3Dfunc::pD3Ddevice;
    c_pDisplayScreen = std::make_unique<DisplayScreen>(device, slices, stacks, kViewRadius);
    c_pDisplayScreen->setSwitchLength(switchLength);
    c_pDisplayScreen->setTexture(blackImage, blackOffset);
    c_pDisplayScreen->InstantSwitch();
    c_iFullScreenImage = std::make_unique<FullScreenImage>();
    c_iFullScreenImage->Create(device);
    c_pBlackTexture = std::make_unique<Texture>(device, blackImage, blackOffset);
    c_pInventory = std::make_unique<WorldInventory>();
    c_pTopMenu = std::make_unique<WorldTopMenu>(mouseManager, top1, top2, top3, top4, topOffset);
    set_Prefetch(true);
}

WorldManager::WorldManager(int slices, int stacks, int switchLength, const char* blackImage,
                           MouseManager* mouseManager, MusicManager* musicManager, VideoPlayer* videoPlayer,
                           float rotationSpeed, int transStandard, const char* top1, const char* top2,
                           const char* top3, const char* top4, int topOffset)
    : WorldManager(slices, stacks, switchLength, blackImage, 0, mouseManager, musicManager, videoPlayer,
                   rotationSpeed, transStandard, top1, top2, top3, top4, topOffset)
{
}

WorldManager::~WorldManager() = default;

void WorldManager::AddTopMenuHelpButtons(const char* hints, const char* journal, int offset)
{
    c_pTopMenu->AddHelpButtons(hints, journal, offset);
}

void WorldManager::set_Prefetch(bool on)
{
    if (!on) {
        c_pPictureCache.reset();
    } else if (!c_pPictureCache && D3Dfunc::pD3Ddevice != nullptr) {
        c_pPictureCache = std::make_unique<PictureCache>(D3Dfunc::TextureShape(*D3Dfunc::pD3Ddevice));
    }
}

void WorldManager::SetTextureSizes(int widthPano, int heightPano, int widthNormal, int heightNormal)
{
    c_iWidthPano = widthPano;
    c_iHeightPano = heightPano;
    c_iWidthNormal = widthNormal;
    c_iHeightNormal = heightNormal;
}

WorldScreen* WorldManager::AddWorldScreen(int number, int type, const char* image, int offset)
{
    c_pScreens.push_back(std::make_unique<WorldScreen>(number, type, offset, image));
    return c_pScreens.back().get();
}

WorldScreen* WorldManager::AddWorldScreen(int number, int type, const char* image)
{
    return AddWorldScreen(number, type, image, 0);
}

void WorldManager::AddGlobalVar(int number, unsigned char value)
{
    c_pGlobalVars.push_back(std::make_unique<WorldGlobalVar>(number, value));
}

WorldGlobalVarArray* WorldManager::AddGlobalVarArray(int number, int start, int width, int height, int numberMax)
{
    c_pGlobalVarArrays.push_back(
        std::make_unique<WorldGlobalVarArray>(c_pGlobalVars, number, start, width, height, numberMax));
    return c_pGlobalVarArrays.back().get();
}

WorldActionlist* WorldManager::AddSharedActionlist(bool type, int number)
{
    c_pSharedActionlists.push_back(std::make_unique<WorldActionlist>(type, number));
    return c_pSharedActionlists.back().get();
}

void WorldManager::AddItem(int number, const char* picture, const char* cursor1Image, const char* cursor1Alpha,
                           const char* cursor2Image, const char* cursor2Alpha, const wchar_t* sound, int width,
                           int height, int hotspotX, int hotspotY, int offset, int screen)
{
    c_pInventory->AddItem(number, picture, cursor1Image, cursor1Alpha, cursor2Image, cursor2Alpha, sound, width,
                          height, hotspotX, hotspotY, offset, screen);
    c_closeUpScreens.push_back(screen);
}

void WorldManager::ActivateItem(int number) { c_pInventory->ActivateItem(number); }

void WorldManager::AddCursor(const char* image, const char* alpha, int width, int height, int hotspotX,
                             int hotspotY, int offset)
{
    auto cursor = std::make_unique<Cursor>(D3Dfunc::pD3Ddevice);
    cursor->OpenImageFile(image, alpha, width, height, hotspotX, hotspotY, offset);
    AddCursor(std::move(cursor));
}

void WorldManager::AddCursor(const char* image, const char* alpha, int width, int height, int hotspotX,
                             int hotspotY)
{
    AddCursor(image, alpha, width, height, hotspotX, hotspotY, 0);
}

void WorldManager::AddCursor(const char* image, const char* alpha, int hotspotX, int hotspotY, int offset)
{
    AddCursor(image, alpha, 0, 0, hotspotX, hotspotY, offset);
}

void WorldManager::AddCursor(std::unique_ptr<Cursor> cursor) { c_pCursors.push_back(std::move(cursor)); }

std::vector<std::unique_ptr<Cursor>> WorldManager::ReleaseCursors()
{
    std::vector<std::unique_ptr<Cursor>> cursors = std::move(c_pCursors);
    c_pCursors.clear();
    return cursors;
}

// ---- sounds ----

void WorldManager::AddRepetiveSound(int number, const wchar_t* file, bool bed)
{
    if (c_pGameSoundManager == nullptr) {
        throw Error("ambient sound " + std::to_string(number) +
                    " added before the world was given its sound manager (set_SoundManager)");
    }
    c_pRepetiveSounds.push_back(std::make_unique<RepetiveSound>(number, file, bed));
    c_pGameSoundManager->AddRepetiveSound(c_pRepetiveSounds.back().get());
}

void WorldManager::AddRepetiveSound(int number, const wchar_t* file, const SubtitleItem* caption, bool bed)
{
    AddRepetiveSound(number, file, bed);
    if (caption != nullptr) c_pSoundCaptions.push_back({c_pRepetiveSounds.size() - 1, caption, 0});
}

void WorldManager::ActivateRepetiveSound(int number, int min, int max)
{
    for (auto& sound : c_pRepetiveSounds) {
        if (sound->get_Number() != number) continue;
        sound->set_Min(min);
        sound->set_Max(max);
        if (!sound->get_Active()) sound->set_Active(true);
    }
}

void WorldManager::DeactivateRepetiveSound(int number)
{
    for (auto& sound : c_pRepetiveSounds) {
        if (sound->get_Number() == number) sound->set_Active(false);
    }
}

void WorldManager::DeactivateAllRepetiveSounds()
{
    for (auto& sound : c_pRepetiveSounds) sound->set_Active(false);
}

void WorldManager::AddSound(const wchar_t* file)
{
    if (c_pGameSoundManager == nullptr) {
        throw Error("a sound was played before the world was given its sound manager (set_SoundManager)");
    }
    if (c_bRehearsing) return;
    c_pGameSoundManager->AddSound(file);
}

// ---- lookups ----

namespace {

// First element whose number matches, else the last element, else null.
template <typename T>
T* FindOrLast(const std::vector<std::unique_ptr<T>>& list, int number)
{
    for (const auto& element : list) {
        if (element->get_Number() == number) return element.get();
    }
    return list.empty() ? nullptr : list.back().get();
}

}  // namespace

WorldGlobalVar* WorldManager::getGlobalVar(int number) const { return FindOrLast(c_pGlobalVars, number); }

signed char WorldManager::getGlobalVarValue(int number) const
{
    const WorldGlobalVar* var = getGlobalVar(number);
    return var == nullptr ? 0 : static_cast<signed char>(var->get_Value());
}

void WorldManager::setGlobalVarValue(int number, signed char value)
{
    for (auto& var : c_pGlobalVars) {
        if (var->get_Number() == number) {
            var->set_Value(static_cast<unsigned char>(value));
            return;
        }
    }
}

WorldScreen* WorldManager::getWorldScreen(int number) const { return FindOrLast(c_pScreens, number); }

WorldManager::ScreenKind WorldManager::KindOfScreen(int number) const
{
    const auto screen = std::find_if(c_pScreens.begin(), c_pScreens.end(),
                                     [number](const auto& s) { return s->get_Number() == number; });
    if (screen == c_pScreens.end()) return ScreenKind::Missing;
    if (std::find(c_closeUpScreens.begin(), c_closeUpScreens.end(), number) != c_closeUpScreens.end()) {
        return ScreenKind::ItemCloseUp;
    }
    return (*screen)->get_BookPage() ? ScreenKind::BookPage : ScreenKind::Standing;
}

void WorldManager::set_ScreenPosition(int number)
{
    c_iScreenPosition = number;
    if (KindOfScreen(number) == ScreenKind::Standing) {
        c_iStandingScreen = number;
        c_bOnStandingScreen = true;
    }
}

WorldGlobalVarArray* WorldManager::getGlobalVarArray(int number) const
{
    for (const auto& grid : c_pGlobalVarArrays) {
        if (grid->get_Number() == number) return grid.get();
    }
    return nullptr;
}

void WorldManager::ResetGlobalVarArray(int, signed char) {}

void WorldManager::set_Rotation(float radians) { c_pDisplayScreen->RotateTo(radians); }

void WorldManager::set_BackRotation(float radians) { c_pDisplayScreen->RotateBackgroundTo(radians); }

// ---- conditions ----

int WorldManager::ConditionOperand(int code, int argument) const
{
    switch (code) {
    case CT_Value: return argument;
    case CT_Var: return getGlobalVarValue(argument);
    default: break;
    }
    const WorldGlobalVarArray* grid = getGlobalVarArray(argument);
    if (grid == nullptr) {
        FailSafe::SetInfo("Error in a condition: no grid " + std::to_string(argument));
        throw Error("a condition asks for grid " + std::to_string(argument) + ", which the world does not define" +
                    (c_pScreen ? " (screen " + std::to_string(c_pScreen->get_Number()) + ")" : std::string()));
    }
    switch (code) {
    case CT_ArrayTotal: return grid->get_Total();
    case CT_ArrayAllChecked: return grid->get_AllChecked() ? 1 : 0;
    default: return grid->get_AllChecked() ? 0 : 1;  // CT_ArrayNotAllChecked
    }
}

bool WorldManager::TestConditionList(const int* tokens, unsigned count) const
{
    return EvaluateConditionTokens(tokens, count,
                                   [this](int code, int argument) { return ConditionOperand(code, argument); });
}

namespace {
template <typename T>
bool TestTokens(const WorldManager& world, const T* record)
{
    const std::vector<int>& tokens = record->get_Conditions();
    if (tokens.empty()) return true;
    return world.TestConditionList(tokens.data(), static_cast<unsigned>(tokens.size()));
}
}  // namespace

bool WorldManager::TestConditionList(const WorldActionlist* list) const { return TestTokens(*this, list); }
bool WorldManager::TestConditionList(const WorldHotspot* hotspot) const { return TestTokens(*this, hotspot); }
bool WorldManager::TestConditionList(const WorldOverlay* overlay) const { return TestTokens(*this, overlay); }

// ---- rehearsing play ----

WorldManager::PlayState WorldManager::SavePlayState() const
{
    PlayState state;
    state.vars.reserve(c_pGlobalVars.size());
    for (const auto& var : c_pGlobalVars) state.vars.push_back(var->get_Value());
    for (const WorldItem* item : c_pInventory->get_ActiveItems()) state.bar.push_back(item->get_Number());
    state.heldItem = c_iCursorItem;
    state.screen = c_pScreen;
    state.screenPosition = c_iScreenPosition;
    state.standingScreen = c_iStandingScreen;
    state.onStandingScreen = c_bOnStandingScreen;
    state.closeUp = c_bScreenIsInventory;
    state.closeUpReturn = c_pLastScreen;
    state.closeUpItem = c_iInventoryItem;
    state.hideCursor = c_bHideCursor;
    state.hideInventory = c_bHideInventory;
    state.endGameMode = c_bEndGameMode;
    state.creditsDue = c_bCreditsNow;
    return state;
}

void WorldManager::RestorePlayState(const PlayState& state)
{
    assert(state.vars.size() == c_pGlobalVars.size());
    for (std::size_t i = 0; i < c_pGlobalVars.size(); ++i) c_pGlobalVars[i]->set_Value(state.vars[i]);
    std::vector<WorldItem*>& row = c_pInventory->get_ActiveItems();
    row.clear();
    for (int number : state.bar) c_pInventory->ActivateItem(number);
    c_iCursorItem = state.heldItem;
    c_pScreen = state.screen;
    c_iScreenPosition = state.screenPosition;
    c_iStandingScreen = state.standingScreen;
    c_bOnStandingScreen = state.onStandingScreen;
    c_bScreenIsInventory = state.closeUp;
    c_pLastScreen = state.closeUpReturn;
    c_iInventoryItem = state.closeUpItem;
    c_bHideCursor = state.hideCursor;
    c_bHideInventory = state.hideInventory;
    c_bEndGameMode = state.endGameMode;
    c_bCreditsNow = state.creditsDue;
}
