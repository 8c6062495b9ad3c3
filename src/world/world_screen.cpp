#include "world/world_screen.h"

#include "world/action_codes.h"

namespace {
constexpr int kReactCursor = 1;
// Parameter types of the actions a code key builds.
constexpr int kSoundPath = 0;
constexpr int kGrid = 0, kColumn = 1, kRow = 2;
constexpr int kReloadTransition = 0;
}  // namespace

WorldScreen::WorldScreen(int number, int type, int offset, const char* baseImage)
    : c_iNumber(number), c_iType(type), c_iOffset(offset), c_lpsBaseImage(baseImage)
{
}

WorldHotspot* WorldScreen::AddHotspot(int x1, int y1, int x2, int y2)
{
    return AddHotspot(x1, y1, x2, y2, kReactCursor, false);
}

WorldHotspot* WorldScreen::AddHotspot(int x1, int y1, int x2, int y2, int cursor)
{
    return AddHotspot(x1, y1, x2, y2, cursor, false);
}

WorldHotspot* WorldScreen::AddHotspot(int x1, int y1, int x2, int y2, int cursor, bool simpleMove)
{
    c_pHotspots.push_back(std::make_unique<WorldHotspot>(x1, y1, x2, y2, cursor, simpleMove));
    return c_pHotspots.back().get();
}

WorldOverlay* WorldScreen::AddOverlay(int x, int y, int w, int h, const char* image)
{
    return AddOverlay(x, y, w, h, image, 0);
}

WorldOverlay* WorldScreen::AddOverlay(int x, int y, int w, int h, const char* image, int offset)
{
    c_pOverlay.push_back(std::make_unique<WorldOverlay>(x, y, w, h, image, offset));
    return c_pOverlay.back().get();
}

void WorldScreen::AddOverlayArray(int x, int y, int w, int h, int varDependant, const char* image, int offset)
{
    c_pOverlayArray.push_back(std::make_unique<WorldOverlayArray>(x, y, w, h, varDependant, image, offset));
}

void WorldScreen::AddOverwriteBaseImage(int varNumber, int varValue, const char* image)
{
    c_pOverwriteBaseImage.push_back(std::make_unique<WorldOverwriteBaseImage>(varNumber, varValue, image));
}

WorldActionlist* WorldScreen::AddPreActionList()
{
    c_pOwnedLists.push_back(std::make_unique<WorldActionlist>(false, 0));
    c_pPreActions.push_back(c_pOwnedLists.back().get());
    return c_pPreActions.back();
}

void WorldScreen::AddPreActionList(WorldActionlist* list) { c_pPreActions.push_back(list); }

WorldAction* WorldScreen::QHS_StandardMove(int x1, int y1, int x2, int y2, int screen)
{
    return QHS_StandardMove(x1, y1, x2, y2, screen, kReactCursor);
}

WorldAction* WorldScreen::QHS_StandardMove(int x1, int y1, int x2, int y2, int screen, int cursor)
{
    WorldHotspot* hotspot = AddHotspot(x1, y1, x2, y2, cursor, true);
    WorldAction* move = hotspot->AddActionlist(true, 0)->addAction(ACT_GotoScreen);
    move->addParam(0, static_cast<float>(screen));
    return move;
}

WorldActionlist* WorldScreen::AddCodeKey(int x, int y, int w, int h, int varDependant, int arrayNumber, int cellX,
                                         int cellY, const char* image, int offset, const wchar_t* sound)
{
    AddOverlayArray(x, y, w, h, varDependant, image, offset);
    WorldActionlist* list = AddHotspot(x, y, x + w, y + h, kReactCursor, false)->AddActionlist(true, 0);
    list->addAction(ACT_PlaySound)->addParamObject(kSoundPath, sound);
    WorldAction* click = list->addAction(ACT_ClickArray);
    click->addParam(kGrid, static_cast<float>(arrayNumber));
    click->addParam(kColumn, static_cast<float>(cellX));
    click->addParam(kRow, static_cast<float>(cellY));
    list->addAction(ACT_ReloadScreen)->addParam(kReloadTransition, 0.0f);
    return list;
}
