// The settings screen: a panel over whatever the game showed last (menu, world or credits),
// listing the player's settings, changed with the mouse or the arrow keys. While it is open
// the game underneath does not run and receives no clicks. Knows the settings only as values;
// putting them into effect and keeping them is the caller's business.
#pragma once

#include <array>
#include <functional>
#include <string>

#include <memory>

#include "core/settings.h"
#include "platform/gfx/d3d_types.h"

class CD3DFont;
class Cursor;
class FullScreenImage;
class KeyManager;
class MouseManager;
namespace gfx {
class Device;
class Texture;
}  // namespace gfx

class SettingsOverlay {
public:
    // Results of Run.
    static constexpr int kStayOpen = 0;
    static constexpr int kChanged = 1;  // a value changed; get_Settings has the new ones
    static constexpr int kClosed = 2;   // the player closed the screen this frame

    // The rows, top to bottom; the last closes the screen.
    enum Row { kMusic, kEffects, kBrightness, kSubtitles, kSubtitleSize, kTurning, kPointer, kDisplay, kWaits, kReveal, kClose, kRowCount };

    // Draws on `device` with the pointer `cursor` (none owned; all outlive the overlay).
    SettingsOverlay(gfx::Device* device, MouseManager* mouse, KeyManager* keys, Cursor* cursor);
    ~SettingsOverlay();
    SettingsOverlay(const SettingsOverlay&) = delete;
    SettingsOverlay& operator=(const SettingsOverlay&) = delete;

    // Opens the screen on `settings`, over the picture now in the back buffer.
    void Open(const Settings& settings);
    bool IsOpen() const { return c_bOpen; }
    // One frame: takes a click or the keys (arrows change, Escape or F1 close), draws the
    // panel over the picture the screen opened on, and presents. A kStayOpen .. kClosed result.
    int Run();

    const Settings& get_Settings() const { return c_settings; }
    // The window was switched while the screen is open (Alt+Enter): its row shows the new mode.
    void ShowWindowMode(bool fullScreen) { c_settings.fullScreen = fullScreen; }
    int get_Selected() const { return c_iSelected; }
    // Where a row lies on the 800 x 600 screen; a click left of `ValueCentreX` in it steps the
    // value down (or to the other choice), right of it up.
    static RECT RowRect(int row);
    static constexpr int kValueCentreX = 560;

    // The screen's words in the game's language: `lookUp(id, english)` gives the text for `id`
    // (Latin-1), or `english` where the game's texts have none. English until told.
    using WordLookUp = std::function<std::string(const char* id, const char* english)>;
    void set_Words(const WordLookUp& lookUp);

private:
    // The words as drawn: the rows' labels, the title, and the values' words (see ValueWord).
    std::array<std::string, kRowCount> c_labels;
    std::string c_sTitle;
    std::array<std::string, 10> c_valueWords;
    std::string ValueText(const Settings& s, int row) const;
    // Steps row `row`'s value one step down (-1) or up (+1); false when it stays.
    bool Step(int row, int direction);
    int TakeClick();
    int TakeKeys();
    void Close();
    void CaptureBackdrop();
    void Draw();

    gfx::Device* c_pDevice;
    MouseManager* c_pMouseManager;
    KeyManager* c_pKeyManager;
    Cursor* c_pCursor;
    std::unique_ptr<CD3DFont> c_pFont;
    std::unique_ptr<gfx::Texture> c_pBackdrop;  // the game's last picture, darkened
    std::unique_ptr<FullScreenImage> c_pBackdropQuad;
    Settings c_settings;
    int c_iSelected = kMusic;
    int c_iPointerX = 0, c_iPointerY = 0;  // where the pointer was last frame
    bool c_bOpen = false;
};
