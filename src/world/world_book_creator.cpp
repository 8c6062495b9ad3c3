#include "world/world_book_creator.h"

#include "world/action_codes.h"
#include "world/world_manager.h"

namespace {

constexpr int kTurnLeftCursor = 2;
constexpr int kTurnRightCursor = 3;
// Strips, in the 1024 x 512 image coordinates of a flat screen.
constexpr int kForwardStripLeft = 824;
constexpr int kBackStripRight = 200;
constexpr int kPageRight = 1024;
constexpr int kPageBottom = 512;

// A page turn: go to `screen` instantly, then play `sound`.
void AddTurn(WorldHotspot* strip, int screen, const wchar_t* sound)
{
    WorldActionlist* list = strip->AddActionlist(true, 0);
    WorldAction* move = list->addAction(ACT_GotoScreen);
    move->addParam(0, static_cast<float>(screen));
    move->addParam(1, 0.0f);
    list->addAction(ACT_PlaySound)->addParamObject(0, sound);
}

}  // namespace

WorldBookCreator::WorldBookCreator(WorldManager* worldManager, const wchar_t* frontSound, const wchar_t* pageSound,
                                   int firstScreen, int offset)
    : c_pWorldManager(worldManager),
      c_lpcFrontSound(frontSound),
      c_lpcPageSound(pageSound),
      c_iOffset(offset),
      c_iPage(firstScreen)
{
}

WorldScreen* WorldBookCreator::AddPage(const char* image)
{
    const wchar_t* sound = (c_iPageTotal == 1) ? c_lpcFrontSound : c_lpcPageSound;
    if (c_pWorldScreen != nullptr) {
        AddTurn(c_pWorldScreen->AddHotspot(kForwardStripLeft, 0, kPageRight, kPageBottom, kTurnRightCursor), c_iPage,
                sound);
    }
    WorldScreen* page = c_pWorldManager->AddWorldScreen(c_iPage, WorldScreen::kFlat, image, c_iOffset);
    page->set_BookPage(true);
    if (c_pWorldScreen != nullptr) {
        AddTurn(page->AddHotspot(0, 0, kBackStripRight, kPageBottom, kTurnLeftCursor), c_iPage - 1, sound);
    }
    c_pWorldScreen = page;
    ++c_iPageTotal;
    ++c_iPage;
    return page;
}
