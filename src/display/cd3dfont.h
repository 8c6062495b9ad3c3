// The game's screen text: one font at one size and style, rasterised once into a glyph atlas
// and drawn as textured screen-space quads. Built on the graphics device and the glyph
// rasteriser; knows nothing of the window or the world.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/gfx/d3d_types.h"

namespace gfx {
class Device;
class Texture;
class VertexBuffer;
class StateBlock;
}  // namespace gfx

namespace platform {
class FontFace;
}

// Font flags (constructor)
constexpr DWORD D3DFONT_BOLD = 0x0001;
constexpr DWORD D3DFONT_ITALIC = 0x0002;
constexpr DWORD D3DFONT_ZENABLE = 0x0004;  // depth test on while drawing

// Draw flags (DrawTextA)
constexpr DWORD D3DFONT_CENTERED_X = 0x0001;  // centre the first line in the viewport's width
constexpr DWORD D3DFONT_CENTERED_Y = 0x0002;  // centre one line in the viewport's height
constexpr DWORD D3DFONT_FILTERED = 0x0008;    // bilinear sampling of the atlas

class CD3DFont {
public:
    // Stores the face name (cut to 79 characters), the size in points and the flags.
    // No device objects yet.
    CD3DFont(const char* fontName, DWORD height, DWORD flags = 0);
    // Releases whatever device objects exist. The device must outlive the font.
    ~CD3DFont();
    CD3DFont(const CD3DFont&) = delete;
    CD3DFont& operator=(const CD3DFont&) = delete;

    // Rasterises the printable Latin-1 characters (32..126 and 160..255) into the atlas texture
    // on `device` (not owned). Texts are Latin-1, one byte per character; other codes draw nothing.
    HRESULT InitDeviceObjects(gfx::Device* device);
    // Creates the vertex buffer and records the two state blocks. Needs the atlas.
    HRESULT RestoreDeviceObjects();
    // Releases the vertex buffer and both state blocks.
    HRESULT InvalidateDeviceObjects();
    // Releases the atlas and forgets the device.
    HRESULT DeleteDeviceObjects();

    // Width of the widest line and the total height of all lines, in screen pixels.
    HRESULT GetTextExtent(const char* text, SIZE* size) const;
    // `text` in lines no wider than `width` screen pixels: broken at spaces, and inside a word
    // that is wider than a line by itself (a long path). At least one line, empty for empty text.
    std::vector<std::string> WrapToWidth(const std::string& text, long width) const;
    // Draws `text` with its top-left at pixel (x, y) of the render target in `colour`
    // (0xAARRGGBB; its alpha scales the glyph coverage). Call between BeginScene and EndScene.
    // The caller's render, texture-stage and sampler states are restored afterwards.
    HRESULT DrawTextA(float x, float y, DWORD colour, const char* text, DWORD flags = 0);
    HRESULT DrawText(float x, float y, DWORD colour, const char* text, DWORD flags = 0)
    {
        return DrawTextA(x, y, colour, text, flags);
    }
    // One string of a batch: drawn as DrawTextA would draw it.
    struct TextRun {
        float x = 0.0f;
        float y = 0.0f;
        DWORD colour = 0;
        const char* text = nullptr;
    };
    // Draws the runs in their order, each as DrawTextA would, with the same `flags` for all:
    // the state is changed once and the glyphs go in as few draws as the buffer holds, where
    // one draw per string costs the rasteriser a draw's setup each (a page of save slots is
    // some thirty strings). Nothing is drawn when a run has no text.
    HRESULT DrawTexts(std::span<const TextRun> runs, DWORD flags = 0);

    // Atlas size in texels (the height may be a multiple of the width) and the factor by which it was shrunk (1.0 unless it had to fit
    // the device's maximum texture width).
    DWORD get_TexWidth() const { return c_dwTexWidth; }
    DWORD get_TexHeight() const { return c_dwTexHeight; }
    float get_TextScale() const { return c_fTextScale; }

private:
    static constexpr int kFirstChar = 32;
    static constexpr int kCharCount = 224;  // codes 32..255; 127..159 are controls, never painted

    // Opens the rasteriser's face for the current scale. Null when no face can be had.
    std::unique_ptr<platform::FontFace> CreateFace() const;
    // Lays out the printable characters up to `lastCode`, ASCII first, in the current atlas
    // size; with a target bitmap paints them and stores their texture rectangles.
    // D3DERR_MOREDATA when they do not all fit.
    HRESULT PaintAlphabet(const platform::FontFace& face, std::uint8_t* coverage, int lastCode);
    HRESULT FitAtlas(std::unique_ptr<platform::FontFace>* face);
    HRESULT UploadAtlas(const std::uint8_t* coverage);
    void FindInk(const std::uint8_t* coverage);
    HRESULT RecordDrawState(std::unique_ptr<gfx::StateBlock>* block, bool blending);
    // Screen-pixel sizes derived from the atlas: line height and a character's advance.
    float LineHeight() const;
    float Advance(int code) const;
    bool HasDrawObjects() const;

    char c_strFontName[80];
    DWORD c_dwFontHeight;
    DWORD c_dwFontFlags;

    gfx::Device* c_pDevice = nullptr;
    std::unique_ptr<gfx::Texture> c_pTexture;
    std::unique_ptr<gfx::VertexBuffer> c_pVertexBuffer;
    // The glyph corners of the next draw, copied into the vertex buffer as one lock of just
    // their bytes when it is drawn.
    std::vector<std::uint8_t> c_queue;
    DWORD c_dwTexWidth = 0;
    DWORD c_dwTexHeight = 0;
    float c_fTextScale = 1.0f;
    float c_fTexCoords[kCharCount][4] = {};
    // The inked part of each cell, in texels from the cell's top left: left, top, right, bottom
    // (above or below the cell where a letter reaches into the room around it).
    float c_fInk[kCharCount][4] = {};
    // Blank texel rows kept above and below each cell: none for ASCII.
    long c_lRoom[kCharCount] = {};
    DWORD c_dwSpacing = 0;
    bool c_bBlending = false;  // the back buffer blends: glyphs are drawn over what is there

    std::unique_ptr<gfx::StateBlock> c_pStateBlockSaved;
    std::unique_ptr<gfx::StateBlock> c_pStateBlockDrawText;
};
