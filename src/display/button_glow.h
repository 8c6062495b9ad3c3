// The light under the pointer on a menu button: a warm glow, soft at its edges, laid over the
// button's rectangle so that the player sees which button a click will press. Drawn in code,
// not read from the data. Depends on the graphics device.
#pragma once

#include <memory>

#include "display/full_screen_image.h"
#include "platform/gfx/device.h"

class ButtonGlow {
public:
    // Makes the glow's texture on `device` (not owned).
    explicit ButtonGlow(gfx::Device* device);
    ~ButtonGlow();
    ButtonGlow(const ButtonGlow&) = delete;
    ButtonGlow& operator=(const ButtonGlow&) = delete;

    // Draws the glow over screen pixels x1 .. x2, y1 .. y2 (800 x 600). Call between BeginScene
    // and EndScene; sets the whole screen as viewport and turns blending off again afterwards.
    void Render(int x1, int y1, int x2, int y2);

private:
    gfx::Device* c_pDevice;
    std::unique_ptr<gfx::Texture> c_pGlow;
    std::unique_ptr<FullScreenImage> c_pQuad;
};
