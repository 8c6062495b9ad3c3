// The marks that show the player, while they hold the reveal key, what on the view reacts to a
// click: a small gold ring at each such place, a faint one where a thing has done all it can
// for now. The ring is drawn in code, not read from the data. Depends on the graphics device.
#pragma once

#include <memory>

#include "display/full_screen_image.h"
#include "platform/gfx/device.h"

class HotspotMarks {
public:
    // The ring's size in screen pixels.
    static constexpr int kSize = 24;

    // Makes the ring's texture on `device` (not owned).
    explicit HotspotMarks(gfx::Device* device);
    ~HotspotMarks();
    HotspotMarks(const HotspotMarks&) = delete;
    HotspotMarks& operator=(const HotspotMarks&) = delete;

    // Draws one ring centred on screen pixel (x, y): bright, or faint for a place used up.
    // Call between BeginScene and EndScene; sets the whole screen as viewport and turns
    // blending off again afterwards.
    void Render(int x, int y, bool bright);

private:
    gfx::Device* c_pDevice;
    std::unique_ptr<gfx::Texture> c_pRing;
    std::unique_ptr<FullScreenImage> c_pQuad;
};
