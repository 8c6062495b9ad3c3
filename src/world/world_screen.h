// One location of the world: its base image, hotspots, overlays and entry action lists.
// Built once by the world definition; never freed during play.
#pragma once

#include <memory>
#include <vector>

#include "world/world_actionlist.h"
#include "world/world_hotspot.h"
#include "world/world_overlay.h"

class WorldScreen {
public:
    static constexpr int kFlat = 0;
    static constexpr int kPanorama = 1;

    // type 0 = flat image, 1 = panorama; offset = rotation offset of the scrambled base image
    // and of every overwrite base image. `baseImage` is not copied.
    WorldScreen(int number, int type, int offset, const char* baseImage);
    WorldScreen(int number, int type, const char* baseImage) : WorldScreen(number, type, 0, baseImage) {}

    // Hotspots: cursor 1 and no simple move unless given.
    WorldHotspot* AddHotspot(int x1, int y1, int x2, int y2);
    WorldHotspot* AddHotspot(int x1, int y1, int x2, int y2, int cursor);
    WorldHotspot* AddHotspot(int x1, int y1, int x2, int y2, int cursor, bool simpleMove);
    WorldOverlay* AddOverlay(int x, int y, int w, int h, const char* image);
    WorldOverlay* AddOverlay(int x, int y, int w, int h, const char* image, int offset);
    void AddOverlayArray(int x, int y, int w, int h, int varDependant, const char* image, int offset);
    void AddOverwriteBaseImage(int varNumber, int varValue, const char* image);
    // Entry lists: a new one owned by this screen, or one that lives elsewhere (not owned).
    WorldActionlist* AddPreActionList();
    void AddPreActionList(WorldActionlist* list);

    // A standard navigation hotspot leading to `screen`; returns its go-to action so that the
    // caller can add a view angle, a pointer reset or a transition length.
    WorldAction* QHS_StandardMove(int x1, int y1, int x2, int y2, int screen);
    WorldAction* QHS_StandardMove(int x1, int y1, int x2, int y2, int screen, int cursor);
    // One clickable cell of grid `arrayNumber`, drawn as frame `variable varDependant` of a
    // strip: a click plays `sound`, advances cell (cellX, cellY) and re-enters the screen.
    WorldActionlist* AddCodeKey(int x, int y, int w, int h, int varDependant, int arrayNumber, int cellX, int cellY,
                                const char* image, int offset, const wchar_t* sound);

    void set_CustomFunction(int number) { c_iCustomFunction = number; }
    // A page of a book (made by WorldBookCreator): read from where the book was opened, never
    // a place where the player stands.
    void set_BookPage(bool page) { c_bBookPage = page; }
    bool get_BookPage() const { return c_bBookPage; }
    int get_Number() const { return c_iNumber; }
    int get_Type() const { return c_iType; }
    int get_Offset() const { return c_iOffset; }
    const char* get_BaseImage() const { return c_lpsBaseImage; }
    int get_CustomFunction() const { return c_iCustomFunction; }
    int get_PreActionsCount() const { return static_cast<int>(c_pPreActions.size()); }
    int get_HotspotCount() const { return static_cast<int>(c_pHotspots.size()); }
    int get_OverlayCount() const { return static_cast<int>(c_pOverlay.size()); }
    int get_OverlayCountArray() const { return static_cast<int>(c_pOverlayArray.size()); }
    int get_OverwriteBaseImageCount() const { return static_cast<int>(c_pOverwriteBaseImage.size()); }
    WorldActionlist* GetPreActionList(int i) const { return c_pPreActions.at(static_cast<std::size_t>(i)); }
    WorldHotspot* GetHotspot(int i) const { return c_pHotspots.at(static_cast<std::size_t>(i)).get(); }
    WorldOverlay* GetOverlay(int i) const { return c_pOverlay.at(static_cast<std::size_t>(i)).get(); }
    WorldOverlayArray* GetOverlayArray(int i) const { return c_pOverlayArray.at(static_cast<std::size_t>(i)).get(); }
    WorldOverwriteBaseImage* GetOverwriteBaseImage(int i) const
    {
        return c_pOverwriteBaseImage.at(static_cast<std::size_t>(i)).get();
    }

private:
    int c_iNumber;
    int c_iType;
    int c_iOffset;
    int c_iCustomFunction = 0;
    bool c_bBookPage = false;
    const char* c_lpsBaseImage;
    std::vector<WorldActionlist*> c_pPreActions;                  // in run order, not owned
    std::vector<std::unique_ptr<WorldActionlist>> c_pOwnedLists;  // entry lists created here
    std::vector<std::unique_ptr<WorldOverlay>> c_pOverlay;
    std::vector<std::unique_ptr<WorldOverlayArray>> c_pOverlayArray;
    std::vector<std::unique_ptr<WorldHotspot>> c_pHotspots;
    std::vector<std::unique_ptr<WorldOverwriteBaseImage>> c_pOverwriteBaseImage;
};
