// Private to platform/gfx: the device's OpenGL objects and its fixed-function state.
#pragma once

#include <SDL.h>
#include <epoxy/gl.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "platform/gfx/device.h"
#include "platform/gfx/fixed_function_program.h"
#include "platform/gfx/present_pass.h"

namespace platform {
class Window;
}

namespace gfx {

constexpr unsigned kSamplerCount = 16;

// Where Present puts the 800 x 600 picture in a drawable of the given size: as large as fits
// with the aspect kept, centred, GL coordinates (origin bottom left).
struct PresentRect {
    int x, y, width, height;
};

struct Device::Impl {
    platform::Window* c_pWindow = nullptr;
    SDL_Window* c_pSdlWindow = nullptr;
    SDL_GLContext c_glContext = nullptr;
    bool c_bHasClipControl = false;  // the context offers glClipControl
    bool c_bClipControl = false;     // depth 0..1 natively; else the shader remaps

    // The off-screen 800 x 600 target: its colour texture alone (c_colourFbo), and with the
    // depth/stencil buffer (c_fbo) for draws that test or write depth. Most frames never
    // touch depth; drawing without a depth buffer bound lets the software rasteriser take its
    // fast path for screen-aligned pictures.
    GLuint c_fbo = 0;
    GLuint c_colourFbo = 0;
    // Draws into a render-target texture for CopyTargetToTexture; made at the first copy.
    GLuint c_copyFbo = 0;
    GLuint c_colorTexture = 0;
    GLuint c_depthBuffer = 0;
    GLuint c_vao = 0;
    GLuint c_sampler = 0;
    FixedFunctionPrograms c_programs;
    // The player's brightness, applied by the present pass (1: the picture as drawn).
    float c_fGamma = 1.0f;
    PresentPass c_present;

    // The fixed-function state as the game sets it.
    DWORD c_render[kRenderStateCount] = {};
    DWORD c_stage[kTextureStageCount][kTextureStageStateCount] = {};
    DWORD c_samplerState[kSamplerCount][kSamplerStateCount] = {};
    Texture* c_textures[kTextureStageCount] = {};
    D3DMATERIAL9 c_material{};
    D3DMATRIX c_world{}, c_view{}, c_projection{};
    D3DVIEWPORT9 c_viewport{};
    RECT c_scissor{};
    DWORD c_dwFvf = 0;
    VertexBuffer* c_pStream = nullptr;
    UINT c_uStreamOffset = 0;
    UINT c_uStreamStride = 0;
    bool c_bInScene = false;
    float c_fDimming = 1.0f;  // SetDimming's factor

    // What the depth buffer holds: c_fKnownDepth at every pixel outside c_depthWritten (target
    // pixels, top-left origin, empty when right <= left), while c_bDepthKnown. A depth-only
    // clear to that value then needs to clear only where its area meets c_depthWritten, and
    // nothing at all when nothing was written since. Clearing a part of the target costs the
    // software rasteriser in proportion to that part; the whole target costs a pass over every
    // tile, which is cheap only when stencil is cleared with it (no per-pixel masking).
    bool c_bDepthKnown = false;
    float c_fKnownDepth = 1.0f;
    RECT c_depthWritten{};
    // Stencil is only ever written by clears (the stencil test is never enabled): while
    // c_bStencilKnown every stencil value is c_uKnownStencil, so a whole-target depth clear
    // may clear stencil to that value too without changing it.
    bool c_bStencilKnown = false;
    GLint c_iKnownStencil = 0;
    // A whole-target clear of depth or stencil is only noted (c_fKnownDepth, c_iKnownStencil)
    // and done in GL when a draw or a partial clear next needs the depth buffer, so that
    // frames that never test depth never bind it.
    bool c_bDepthClearPending = false;
    bool c_bStencilClearPending = false;

    // Between BeginStateBlock and EndStateBlock, state changes go here instead of the device.
    std::unique_ptr<StateBlock> c_pRecording;

    // Live resources, so that destroying one unbinds it and destroying the device detaches them.
    std::vector<Texture*> c_liveTextures;
    std::size_t c_texturesCreated = 0;
    std::vector<VertexBuffer*> c_liveBuffers;
    std::vector<StateBlock*> c_liveBlocks;

    DWORD c_dwMaxTextureSize = 0;
    DWORD c_dwMaxTextureSizeOverride = 0;

    std::function<void(const std::vector<std::uint32_t>&)> c_screenshotHandler;
    // The drawable size of the last Present (-1: none yet).
    int c_iShownWidth = -1;
    int c_iShownHeight = -1;

    // Present pacing where vsync is not honoured.
    double c_refreshPeriodMs = 1000.0 / 60.0;
    bool c_bHeadless = false;
    bool c_bHavePresented = false;
    std::chrono::steady_clock::time_point c_lastPresent{};
    // GetChangeCount's reading; textures change from the video thread too.
    std::atomic<std::uint64_t> c_changes{0};

    ~Impl() { Release(); }

    void ApplyDefaults();
    // Binds the target for drawing colour alone.
    void BindTarget() const;
    // Binds the target with its depth/stencil buffer, first doing any clear of it still owed.
    void BindDepthTarget();
    // Sets the GL pipeline for a draw from the fixed-function state; false when the draw's
    // program cannot be built.
    bool ApplyPipeline(bool screenVertices, const VertexFacts& facts);
    // `whiteColour`: the program's uniform colour stands for opaque white. `dimmedColour`: its
    // red, green and blue are scaled by the dimming factor.
    void UploadUniforms(ProgramVariant& variant, bool whiteColour, bool dimmedColour);
    void ApplyTargetViewport() const;
    RECT ViewportRect() const;  // target pixels, top-left origin
    RECT DrawBounds(const VertexBuffer& buffer, UINT startVertex, UINT vertexCount) const;
    // What the vertices of a draw from the current stream hold, kept with the buffer until its
    // bytes or the draw's range change.
    const VertexFacts& FactsOf(VertexBuffer& buffer, UINT startVertex, UINT vertexCount) const;
    void SetupVertexLayout(DWORD fvf, UINT offset, UINT stride);
    // Notes that a draw may have written depth inside `area`.
    void NoteDepthWritten(const RECT& area);
    // Notes a clear of depth to `value` inside `area`.
    void NoteDepthCleared(const RECT& area, float value);
    // Notes a clear of stencil to `value` inside `area`.
    void NoteStencilCleared(const RECT& area, GLint value);
    void ShowTarget(int drawableWidth, int drawableHeight);
    // Holds the loop at the display rate; `swapped`: the frame swapped buffers.
    void PaceFrame(bool swapped);
    void Release();
    // Puts the finished picture into `to` (GL coordinates) of the draw framebuffer
    // `targetFbo`, with the player's brightness.
    void DrawPicture(GLuint targetFbo, const PresentRect& to);
};

PresentRect LetterboxRect(int drawableWidth, int drawableHeight);
// The two black bars beside (or above and below) `picture` in the drawable; empty ones where
// the picture reaches the drawable's edge. GL coordinates, as LetterboxRect gives them.
std::array<PresentRect, 2> BarsAround(const PresentRect& picture, int drawableWidth, int drawableHeight);

// The colour of the framebuffer bound for reading, `width` x `height` from its corner, as
// Device::ReadBackBuffer gives it (top row first).
std::vector<std::uint32_t> ReadBoundPicture(int width = kBackBufferWidth, int height = kBackBufferHeight);

}  // namespace gfx
