// Private to platform/gfx: puts the finished 800 x 600 picture into a rectangle of the window
// (or of a test's framebuffer) as one textured quad sampled straight from the target's colour
// texture: no copy of the picture first, filtered only where scaled, and with the brightness
// the player chose applied on the way, so that no picture of the game is changed by it.
#pragma once

#include <epoxy/gl.h>

namespace gfx {

struct PresentRect;

// Two shader programs (the picture as drawn; every colour channel raised to 1 / gamma). Its GL
// objects are made on first use on the current context; Release frees them (the device's
// context must be current).
class PresentPass {
public:
    PresentPass() = default;
    ~PresentPass() = default;
    PresentPass(const PresentPass&) = delete;
    PresentPass& operator=(const PresentPass&) = delete;

    // Draws `picture` (the 800 x 600 colour texture) into `to` of the draw framebuffer
    // `targetFbo`: texel for pixel at 1:1 and at whole-number scales, filtered otherwise; with
    // `gamma` other than 1 each channel shows as c^(1/gamma), applied before any scaling.
    // False when the pass could not be built (the caller then blits the picture unchanged).
    bool Draw(GLuint picture, GLuint targetFbo, const PresentRect& to, float gamma);
    void Release();

private:
    struct Program {
        GLuint name = 0;
        GLint inverseGamma = -1;
    };
    bool Build();
    // The picture drawn once with `gamma` (1: plain) into `to` of `targetFbo`.
    void Pass(GLuint picture, GLuint targetFbo, const PresentRect& to, float gamma);
    // Makes the 800 x 600 target the brightened picture is scaled from; false if it cannot be.
    bool MakeBrightTarget();

    bool c_bFailed = false;
    Program c_plain;  // the picture as drawn
    Program c_gamma;  // with the player's brightness
    GLuint c_sampler = 0;
    GLuint c_vao = 0;
    GLuint c_brightTexture = 0;  // the picture with the player's brightness, before it is scaled
    GLuint c_brightFbo = 0;
    bool c_bNoBrightTarget = false;  // the driver refused it: the curve goes with the scale
};

}  // namespace gfx
