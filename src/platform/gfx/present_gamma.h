// Private to platform/gfx: the brightness the player chose, applied when the finished 800 x 600
// picture is put into the window, so that no picture of the game is changed by it.
#pragma once

#include <epoxy/gl.h>

namespace gfx {

struct PresentRect;

// A shader pass that draws a picture with every colour channel raised to 1 / gamma. Its GL
// objects are made on first use on the current context; Release frees them (the device's
// context must be current).
class GammaPass {
public:
    GammaPass() = default;
    ~GammaPass() = default;
    GammaPass(const GammaPass&) = delete;
    GammaPass& operator=(const GammaPass&) = delete;

    // Draws the colour of `sourceFbo` (800 x 600) into `to` of the draw framebuffer
    // `targetFbo`, filtered when scaled. False when the pass could not be built (the caller
    // then copies the picture unchanged).
    bool Draw(GLuint sourceFbo, GLuint targetFbo, const PresentRect& to, float gamma);
    void Release();

private:
    bool Build();

    bool c_bFailed = false;
    GLuint c_program = 0;
    GLint c_inverseGamma = -1;
    GLuint c_texture = 0;   // the picture copied out of the source, for sampling
    GLuint c_copyFbo = 0;
    GLuint c_vao = 0;
};

}  // namespace gfx
