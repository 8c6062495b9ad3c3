// Builds a book, letter or journal as a run of flat page screens with consecutive numbers,
// linked by a forward strip at each page's right edge and a back strip at its left edge, each
// turning the page instantly with a page sound. A construction tool of the world definition.
#pragma once

class WorldManager;
class WorldScreen;

class WorldBookCreator {
public:
    // Pages get screen numbers from `firstScreen` on; all page images are scrambled with
    // `offset`. `frontSound` plays when turning between the first two pages (the cover),
    // `pageSound` for every other turn. Nothing is owned.
    WorldBookCreator(WorldManager* worldManager, const wchar_t* frontSound, const wchar_t* pageSound,
                     int firstScreen, int offset);

    // Adds the next page and returns its screen (the caller may add hotspots to it).
    WorldScreen* AddPage(const char* image);

private:
    WorldManager* c_pWorldManager;
    WorldScreen* c_pWorldScreen = nullptr;  // the page added last
    const wchar_t* c_lpcFrontSound;
    const wchar_t* c_lpcPageSound;
    int c_iOffset;
    int c_iPage;
    int c_iPageTotal = 0;
};
