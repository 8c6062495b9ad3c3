// The way out of a close view, drawn where the player can see it: a faint shadow rising from
// the view's foot over the strip that leads back, and a small gold chevron pointing down at its
// middle. Drawn in code, not read from the data. Depends on the graphics device.
#pragma once

#include <memory>

#include "display/full_screen_image.h"
#include "platform/gfx/device.h"

class WayBackBand {
public:
    // Makes the band's and the chevron's textures on `device` (not owned).
    explicit WayBackBand(gfx::Device* device);
    ~WayBackBand();
    WayBackBand(const WayBackBand&) = delete;
    WayBackBand& operator=(const WayBackBand&) = delete;

    // Draws the band over screen pixels x1 .. x2, y1 .. y2 (the strip's part of the view), the
    // chevron brighter while the pointer is over it (`hovered`). Call between BeginScene and
    // EndScene; sets the whole screen as viewport and turns blending off again afterwards.
    void Render(int x1, int y1, int x2, int y2, bool hovered);

private:
    void Draw(gfx::Texture* texture, float x, float y, float w, float h, float alpha);

    gfx::Device* c_pDevice;
    std::unique_ptr<gfx::Texture> c_pShadow;
    std::unique_ptr<gfx::Texture> c_pChevron;
    std::unique_ptr<FullScreenImage> c_pQuad;
};
