// The journal screen: one found clue per page over the darkened game, the clue screen's own
// picture whole (aspect kept) or a line's words, its title and where it was found; arrows at
// the sides and the arrow keys browse in the order found. While it is open the game underneath
// does not run and receives no clicks. Depends on the journal and the display classes.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/gfx/d3d_types.h"

class CD3DFont;
class Cursor;
class FullScreenImage;
class Journal;
class KeyManager;
class MouseManager;
class Texture;
namespace gfx {
class Device;
class Texture;
}  // namespace gfx

class JournalScreen {
public:
    // Results of Run.
    static constexpr int kStayOpen = 0;
    static constexpr int kClosed = 2;  // the player closed the screen this frame

    // The screen's own words, Latin-1: its heading, what an empty journal says, and the line
    // under a clue's title, where "%s" stands for the place it was found.
    struct Texts {
        std::string heading = "Journal";
        std::string empty = "Nothing noted yet.";
        std::string found = "Found: %s";
    };

    // Draws on `device` with the pointer `cursor` (none owned; all outlive the screen).
    JournalScreen(gfx::Device* device, MouseManager* mouse, KeyManager* keys, Cursor* cursor, Texts texts);
    ~JournalScreen();
    JournalScreen(const JournalScreen&) = delete;
    JournalScreen& operator=(const JournalScreen&) = delete;

    // What the player reads for a place: a region's name to its title (Latin-1). A place with
    // none shows its name.
    void set_PlaceTitles(std::map<std::string, std::string> titles) { c_placeTitles = std::move(titles); }

    // Opens on the last clue found in `journal` (not owned; read while the screen is open),
    // over the picture now in the back buffer.
    void Open(const Journal& journal);
    bool IsOpen() const { return c_pJournal != nullptr; }
    // One frame: takes the keys (left/right browse; Escape or J close) and a click (an arrow
    // browses, outside the page closes), draws, presents. kStayOpen or kClosed.
    int Run();
    // The page shown: the entry's index in the order found; -1 for an empty journal.
    int get_Page() const { return c_iPage; }

    // Where the page and its arrows lie on the 800 x 600 screen.
    static constexpr RECT kPage{40, 24, 760, 576};
    static constexpr RECT kPrevious{48, 250, 104, 350};
    static constexpr RECT kNext{696, 250, 752, 350};

private:
    void Turn(int direction);
    void LoadPicture();
    void CaptureBackdrop();
    void Close();
    void Draw();
    void DrawPicture();

    gfx::Device* c_pDevice;
    MouseManager* c_pMouseManager;
    KeyManager* c_pKeyManager;
    Cursor* c_pCursor;
    Texts c_texts;
    std::map<std::string, std::string> c_placeTitles;
    const Journal* c_pJournal = nullptr;
    int c_iPage = -1;
    std::unique_ptr<CD3DFont> c_pFont, c_pTitleFont;
    std::unique_ptr<FullScreenImage> c_pQuad;
    std::unique_ptr<gfx::Texture> c_pBackdrop;  // the game's last picture, darkened
    std::unique_ptr<Texture> c_pPicture;         // the page's clue picture; null for a line
    std::string c_sPictureError;                 // why the picture could not be shown
};
