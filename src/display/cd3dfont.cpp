// CD3DFont: glyph atlas construction and batched screen-space text drawing.
#include "display/cd3dfont.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/error.h"
#include "platform/font/font_face.h"
#include "platform/gfx/device.h"

namespace {

constexpr DWORD kFirstAtlasSide = 128;
// No glyph set needs more: stops the doubling for absurd point sizes; the device's maximum
// texture width then shrinks the font.
constexpr DWORD kLargestAtlasSide = 1u << 15;
constexpr int kDesktopDotsPerInch = 96;
constexpr int kPointsPerInch = 72;
constexpr int kLastAsciiChar = 126;
// Latin-1's printable upper half: codes 127..159 are control codes and have no glyph.
constexpr int kFirstUpperChar = 160;
constexpr int kLastChar = 255;
// Room for a page of short strings in one draw: 256 characters.
constexpr UINT kMaxQueuedVertices = 6 * 256;
constexpr float kShrinkStep = 0.9f;
// The atlas holds coverage in sixteen steps of this many levels of 255.
constexpr std::uint32_t kCoverageStep = 17;
// The alpha test passes a glyph's pixel from this alpha on.
constexpr DWORD kAlphaRef = 0x08;

// One corner of a character's quad: pre-transformed position, colour, atlas coordinates.
struct FontVertex {
    float x, y, z, rhw;
    DWORD colour;
    float u, v;
};
static_assert(sizeof(FontVertex) == 28, "the screen vertex layout is 28 bytes");
constexpr UINT kVertexBufferBytes = sizeof(FontVertex) * kMaxQueuedVertices;

// a * b / c rounded to the nearest integer, halves away from zero, without overflow.
int MulDiv(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

bool IsDrawableChar(int code)
{
    return (code >= 32 && code <= kLastAsciiChar) || (code >= kFirstUpperChar && code <= kLastChar);
}

}  // namespace

CD3DFont::CD3DFont(const char* fontName, DWORD height, DWORD flags)
    : c_dwFontHeight(height), c_dwFontFlags(flags)
{
    std::memset(c_strFontName, 0, sizeof(c_strFontName));
    if (fontName)
        std::strncpy(c_strFontName, fontName, sizeof(c_strFontName) - 1);
}

CD3DFont::~CD3DFont()
{
    InvalidateDeviceObjects();
    DeleteDeviceObjects();
}

std::unique_ptr<platform::FontFace> CD3DFont::CreateFace() const
{
    const int dotsPerInch = static_cast<int>(kDesktopDotsPerInch * c_fTextScale);
    const int pixelHeight = MulDiv(static_cast<int>(c_dwFontHeight), dotsPerInch, kPointsPerInch);
    if (pixelHeight < 1)
        return nullptr;
    try {
        return platform::FontFace::Open(c_strFontName, pixelHeight, c_dwFontFlags & D3DFONT_BOLD,
                                        c_dwFontFlags & D3DFONT_ITALIC);
    } catch (const Error&) {
        return nullptr;  // reported to the caller as E_FAIL, as a missing system font
    }
}

HRESULT CD3DFont::PaintAlphabet(const platform::FontFace& face, std::uint8_t* coverage, int lastCode)
{
    const platform::TextExtent xExtent = face.Measure("x");
    c_dwSpacing = static_cast<DWORD>(std::ceil(xExtent.cy * 0.3f));

    const long width = static_cast<long>(c_dwTexWidth);
    const long height = static_cast<long>(c_dwTexHeight);
    const long spacing = static_cast<long>(c_dwSpacing);
    const platform::CoverageBitmap bitmap{coverage, static_cast<int>(width), static_cast<int>(height),
                                          static_cast<int>(width)};
    long x = spacing;
    long y = 0;
    long room = 0;  // blank rows above and below each cell of the current row
    // ASCII comes first: its cells lie where they would in an atlas of ASCII alone. The upper
    // half starts a row of its own, with room above and below the line: accents over capitals
    // reach above the face's ascent at small sizes, and a cedilla below its descent.
    for (int code = kFirstChar; code <= lastCode; ++code) {
        if (!IsDrawableChar(code))
            continue;
        const char text[2] = {static_cast<char>(code), '\0'};
        const platform::TextExtent extent = face.Measure(text);
        const bool firstUpper = code == kFirstUpperChar;
        if (firstUpper || x + extent.cx + spacing > width) {
            x = spacing;
            y += extent.cy + 2 * room + 1;
            if (firstUpper)
                room = spacing;
        }
        // A line taller than the atlas, or a character wider than a whole row, does not fit
        // either: painting it would run off the bitmap.
        if (y + extent.cy + 2 * room > height || x + extent.cx + spacing > width)
            return D3DERR_MOREDATA;
        if (coverage) {
            face.Draw(text, static_cast<int>(x), static_cast<int>(y + room), bitmap);
            // The cell is the line's box; the room around it is found by FindInk.
            float* rect = c_fTexCoords[code - kFirstChar];
            rect[0] = static_cast<float>(x - spacing) / width;
            rect[1] = static_cast<float>(y + room) / height;
            rect[2] = static_cast<float>(x + extent.cx + spacing) / width;
            rect[3] = static_cast<float>(y + room + extent.cy) / height;
            c_lRoom[code - kFirstChar] = room;
        }
        x += extent.cx + 2 * spacing;
    }
    return S_OK;
}

// Finds the atlas size. Its width is the first doubling from 128 whose square holds the ASCII
// characters, and its height the first doubling of that width that holds the rest below them:
// the ASCII cells keep the texels they had in an atlas made for ASCII alone, so ASCII text draws
// the same pixels, filtered or not, whatever else the atlas holds. While the atlas is larger
// than the device allows, the font shrinks instead.
HRESULT CD3DFont::FitAtlas(std::unique_ptr<platform::FontFace>* face)
{
    c_fTextScale = 1.0f;
    *face = CreateFace();
    if (!*face)
        return E_FAIL;
    c_dwTexWidth = c_dwTexHeight = kFirstAtlasSide;
    while (c_dwTexWidth < kLargestAtlasSide && PaintAlphabet(**face, nullptr, kLastAsciiChar) == D3DERR_MOREDATA) {
        c_dwTexWidth *= 2;
        c_dwTexHeight *= 2;
    }
    while (c_dwTexHeight < kLargestAtlasSide && PaintAlphabet(**face, nullptr, kLastChar) == D3DERR_MOREDATA)
        c_dwTexHeight *= 2;

    D3DCAPS9 caps{};
    if (HRESULT hr = c_pDevice->GetDeviceCaps(&caps); FAILED(hr))
        return hr;
    if (c_dwTexWidth > caps.MaxTextureWidth || c_dwTexHeight > caps.MaxTextureHeight) {
        c_fTextScale = std::min(static_cast<float>(caps.MaxTextureWidth) / c_dwTexWidth,
                                static_cast<float>(caps.MaxTextureHeight) / c_dwTexHeight);
        c_dwTexWidth = std::min(c_dwTexWidth, caps.MaxTextureWidth);
        c_dwTexHeight = std::min(c_dwTexHeight, caps.MaxTextureHeight);
        for (bool first = true;; first = false) {
            if (!first)
                c_fTextScale *= kShrinkStep;
            *face = CreateFace();
            if (!*face)
                return E_FAIL;  // shrunk to nothing: the device's textures are too small
            if (PaintAlphabet(**face, nullptr, kLastChar) == S_OK)
                break;
        }
    } else if (PaintAlphabet(**face, nullptr, kLastChar) != S_OK) {
        return E_FAIL;  // even the largest atlas does not hold the alphabet
    }
    return S_OK;
}

// Copies the painted coverage into the atlas: white texels whose alpha is the coverage in
// sixteen steps (0, 17, 34 .. 255); untouched texels are fully transparent black. The texels
// are 32-bit: the software rasteriser samples only those on its fast path for screen-aligned
// quads, and a glyph is one.
HRESULT CD3DFont::UploadAtlas(const std::uint8_t* coverage)
{
    std::unique_ptr<gfx::Texture> texture;
    HRESULT hr = c_pDevice->CreateTexture(c_dwTexWidth, c_dwTexHeight, 1, 0, D3DFMT_A8R8G8B8,
                                          D3DPOOL_MANAGED, &texture);
    if (FAILED(hr))
        return hr;
    D3DLOCKED_RECT locked{};
    hr = texture->LockRect(0, &locked, nullptr, 0);
    if (FAILED(hr))
        return hr;
    for (DWORD y = 0; y < c_dwTexHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) +
                                                     static_cast<std::ptrdiff_t>(y) * locked.Pitch);
        const std::uint8_t* source = coverage + static_cast<size_t>(y) * c_dwTexWidth;
        for (DWORD x = 0; x < c_dwTexWidth; ++x) {
            const std::uint32_t alpha = (source[x] >> 4) * kCoverageStep;
            row[x] = alpha > 0 ? alpha << 24 | 0x00FFFFFFu : 0u;
        }
    }
    texture->UnlockRect(0);
    c_pTexture = std::move(texture);
    return S_OK;
}

// Finds, in each character's cell and the room around it, the texels with coverage and one
// texel around them: every pixel a filtered or unfiltered sample can ink lies inside, and the
// rest of the cell (the spacing, the room above and below the letter) would only blend nothing,
// so it is not drawn. The box is measured from the cell's top left and may reach outside it.
void CD3DFont::FindInk(const std::uint8_t* coverage)
{
    for (int code = kFirstChar; code <= kLastChar; ++code) {
        if (!IsDrawableChar(code))
            continue;
        const float* rect = c_fTexCoords[code - kFirstChar];
        const long room = c_lRoom[code - kFirstChar];
        const long cellLeft = std::lround(rect[0] * c_dwTexWidth), cellTop = std::lround(rect[1] * c_dwTexHeight);
        const long cellRight = std::lround(rect[2] * c_dwTexWidth), cellBottom = std::lround(rect[3] * c_dwTexHeight);
        const long areaTop = cellTop - room, areaBottom = cellBottom + room;
        long left = cellRight, top = areaBottom, right = cellLeft, bottom = areaTop;
        for (long y = areaTop; y < areaBottom; ++y)
            for (long x = cellLeft; x < cellRight; ++x)
                if ((coverage[static_cast<size_t>(y) * c_dwTexWidth + static_cast<size_t>(x)] >> 4) != 0) {
                    left = std::min(left, x);
                    top = std::min(top, y);
                    right = std::max(right, x + 1);
                    bottom = std::max(bottom, y + 1);
                }
        float* ink = c_fInk[code - kFirstChar];
        if (right <= left) {  // nothing to draw: a space
            ink[0] = ink[1] = ink[2] = ink[3] = 0.0f;
            continue;
        }
        ink[0] = static_cast<float>(std::max(left - 1, cellLeft) - cellLeft);
        ink[1] = static_cast<float>(std::max(top - 1, areaTop) - cellTop);
        ink[2] = static_cast<float>(std::min(right + 1, cellRight) - cellLeft);
        ink[3] = static_cast<float>(std::min(bottom + 1, areaBottom) - cellTop);
    }
}

HRESULT CD3DFont::InitDeviceObjects(gfx::Device* device)
{
    if (!device)
        return E_FAIL;
    InvalidateDeviceObjects();
    c_pTexture.reset();
    c_pDevice = device;

    std::unique_ptr<platform::FontFace> face;
    if (HRESULT hr = FitAtlas(&face); FAILED(hr))
        return hr;
    std::vector<std::uint8_t> coverage(static_cast<size_t>(c_dwTexWidth) * c_dwTexHeight, 0);
    if (HRESULT hr = PaintAlphabet(*face, coverage.data(), kLastChar); FAILED(hr))
        return hr;
    FindInk(coverage.data());
    return UploadAtlas(coverage.data());
}

HRESULT CD3DFont::RecordDrawState(std::unique_ptr<gfx::StateBlock>* block, bool blending)
{
    gfx::Device& d = *c_pDevice;
    if (HRESULT hr = d.BeginStateBlock(); FAILED(hr))
        return hr;
    d.SetTexture(0, c_pTexture.get());
    d.SetRenderState(D3DRS_ZENABLE, (c_dwFontFlags & D3DFONT_ZENABLE) ? TRUE : FALSE);
    if (blending) {
        d.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        d.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        d.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    } else {
        d.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    }
    d.SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    d.SetRenderState(D3DRS_ALPHAREF, kAlphaRef);
    d.SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    d.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    d.SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    d.SetRenderState(D3DRS_STENCILENABLE, FALSE);
    d.SetRenderState(D3DRS_CLIPPING, TRUE);
    d.SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    d.SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    d.SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
    d.SetRenderState(D3DRS_FOGENABLE, FALSE);
    d.SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    d.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d.SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    d.SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    d.SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    d.SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    d.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    d.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    d.SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    return d.EndStateBlock(block);
}

HRESULT CD3DFont::RestoreDeviceObjects()
{
    if (!c_pDevice)
        return E_FAIL;
    InvalidateDeviceObjects();
    HRESULT hr = c_pDevice->CreateVertexBuffer(kVertexBufferBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                               0, D3DPOOL_DEFAULT, &c_pVertexBuffer);
    if (FAILED(hr))
        return hr;
    c_bBlending = c_pDevice->CanBlendOnBackBuffer();
    if (hr = RecordDrawState(&c_pStateBlockSaved, c_bBlending); FAILED(hr))
        return hr;
    return RecordDrawState(&c_pStateBlockDrawText, c_bBlending);
}

HRESULT CD3DFont::InvalidateDeviceObjects()
{
    c_pVertexBuffer.reset();
    c_pStateBlockSaved.reset();
    c_pStateBlockDrawText.reset();
    return S_OK;
}

HRESULT CD3DFont::DeleteDeviceObjects()
{
    c_pTexture.reset();
    c_pDevice = nullptr;
    return S_OK;
}

// Sizes on screen are atlas texels divided by the scale, so that a shrunk atlas still draws
// (and measures) the text at its requested size.
float CD3DFont::LineHeight() const
{
    const float* space = c_fTexCoords[0];
    return (space[3] - space[1]) * c_dwTexHeight / c_fTextScale;
}

float CD3DFont::Advance(int code) const
{
    const float* rect = c_fTexCoords[code - kFirstChar];
    return ((rect[2] - rect[0]) * c_dwTexWidth - 2.0f * c_dwSpacing) / c_fTextScale;
}

bool CD3DFont::HasDrawObjects() const
{
    return c_pTexture && c_pVertexBuffer && c_pStateBlockSaved && c_pStateBlockDrawText;
}

std::vector<std::string> CD3DFont::WrapToWidth(const std::string& text, long width) const
{
    const auto widthOf = [this](const std::string& line) {
        SIZE size{};
        GetTextExtent(line.c_str(), &size);
        return size.cx;
    };
    std::vector<std::string> lines;
    std::string line;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        start = end + 1;
        const std::string joined = line.empty() ? word : line + ' ' + word;
        if (widthOf(joined) <= width) {
            line = joined;
            continue;
        }
        if (!line.empty()) lines.push_back(line);
        line = word;
        while (line.size() > 1 && widthOf(line) > width) {
            std::size_t fits = 1;
            while (fits < line.size() && widthOf(line.substr(0, fits + 1)) <= width) ++fits;
            lines.push_back(line.substr(0, fits));
            line.erase(0, fits);
        }
    }
    lines.push_back(line);
    return lines;
}

HRESULT CD3DFont::GetTextExtent(const char* text, SIZE* size) const
{
    if (!text || !size)
        return E_FAIL;
    if (!c_pTexture) {
        *size = SIZE{0, 0};
        return E_FAIL;
    }
    const float lineHeight = LineHeight();
    float lineWidth = 0.0f;
    float widest = 0.0f;
    float height = lineHeight;
    for (const char* p = text; *p; ++p) {
        const int code = static_cast<unsigned char>(*p);
        if (code == '\n') {
            lineWidth = 0.0f;
            height += lineHeight;
            continue;
        }
        if (!IsDrawableChar(code))
            continue;
        lineWidth += Advance(code);
        widest = std::max(widest, lineWidth);
    }
    size->cx = static_cast<long>(widest);
    size->cy = static_cast<long>(height);
    return S_OK;
}

HRESULT CD3DFont::DrawTextA(float x, float y, DWORD colour, const char* text, DWORD flags)
{
    const TextRun run{x, y, colour, text};
    return DrawTexts(std::span<const TextRun>(&run, 1), flags);
}

HRESULT CD3DFont::DrawTexts(std::span<const TextRun> runs, DWORD flags)
{
    if (!c_pDevice || !HasDrawObjects())
        return E_FAIL;
    for (const TextRun& run : runs)
        if (!run.text)
            return E_FAIL;
    gfx::Device& d = *c_pDevice;

    c_pStateBlockSaved->Capture();
    c_pStateBlockDrawText->Apply();
    d.SetFVF(kFvfScreenVertex);
    d.SetPixelShader(nullptr);
    d.SetStreamSource(0, c_pVertexBuffer.get(), 0, sizeof(FontVertex));
    if (flags & D3DFONT_FILTERED) {
        d.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        d.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    }
    D3DVIEWPORT9 viewport{};
    if (flags & (D3DFONT_CENTERED_X | D3DFONT_CENTERED_Y))
        d.GetViewport(&viewport);
    const float lineHeight = LineHeight();
    const float spacing = c_dwSpacing / c_fTextScale;

    // The glyphs queued since the last draw, and whether the alpha test is on for them.
    c_queue.resize(static_cast<std::size_t>(kMaxQueuedVertices) * sizeof(FontVertex));
    auto* queue = reinterpret_cast<FontVertex*>(c_queue.data());
    HRESULT hr = S_OK;
    UINT queued = 0;
    bool alphaTest = true;  // as the drawing state leaves it
    auto drawQueued = [&] {
        void* data = nullptr;
        const UINT bytes = queued * static_cast<UINT>(sizeof(FontVertex));
        const HRESULT locked = c_pVertexBuffer->Lock(0, bytes, &data, D3DLOCK_DISCARD);
        if (SUCCEEDED(locked)) {
            std::memcpy(data, queue, bytes);
            c_pVertexBuffer->Unlock();
            d.DrawPrimitive(D3DPT_TRIANGLELIST, 0, queued / 3);
        }
        queued = 0;
        return locked;
    };

    for (const TextRun& run : runs) {
        if (FAILED(hr))
            break;
        // Blended in an opaque colour, a glyph's pixel fails the alpha test only where its
        // coverage is nothing (the least step passes), and there it blends to nothing too: the
        // test is left out, because a draw that can discard pixels keeps the software
        // rasteriser off its fast path. Filtered glyphs placed between pixels keep the faint
        // edge (under 8 of 255) the test would have cut.
        static_assert(kCoverageStep >= kAlphaRef, "the least coverage must pass the alpha test");
        const bool test = !(c_bBlending && (run.colour >> 24) == 0xFFu);
        if (test != alphaTest) {
            if (queued > 0 && FAILED(hr = drawQueued()))
                break;
            d.SetRenderState(D3DRS_ALPHATESTENABLE, test ? TRUE : FALSE);
            alphaTest = test;
        }

        float x = run.x;
        float y = run.y;
        if (flags & D3DFONT_CENTERED_X) {
            float firstLine = 0.0f;
            for (const char* p = run.text; *p && *p != '\n'; ++p)
                if (IsDrawableChar(static_cast<unsigned char>(*p)))
                    firstLine += Advance(static_cast<unsigned char>(*p));
            x = (static_cast<float>(viewport.Width) - firstLine) / 2.0f;
        }
        if (flags & D3DFONT_CENTERED_Y)
            y = (static_cast<float>(viewport.Height) - lineHeight) / 2.0f;
        // Unfiltered glyphs are placed on whole pixels, rounding as the quads' edges do (a half
        // goes down): a start half a pixel in would leave each texel's column to a tie the
        // rasteriser may break either way from one frame to the next.
        if (!(flags & D3DFONT_FILTERED)) {
            x = std::ceil(x - 0.5f);
            y = std::ceil(y - 0.5f);
        }
        x -= spacing;
        const float lineStart = x;

        for (const char* p = run.text; *p; ++p) {
            const int code = static_cast<unsigned char>(*p);
            if (code == '\n') {
                x = lineStart;
                y += lineHeight;
                continue;
            }
            if (!IsDrawableChar(code))
                continue;
            const float* rect = c_fTexCoords[code - kFirstChar];
            const float w = (rect[2] - rect[0]) * c_dwTexWidth / c_fTextScale;
            const float* ink = c_fInk[code - kFirstChar];
            if (ink[2] > ink[0]) {
                if (queued + 6 > kMaxQueuedVertices && FAILED(hr = drawQueued()))
                    break;
                // Two clockwise triangles over the inked part of the cell, placed and mapped as
                // that part of the whole cell would be; the half-pixel shift puts texel centres
                // on pixel centres.
                const float left = x + ink[0] / c_fTextScale - 0.5f, top = y + ink[1] / c_fTextScale - 0.5f;
                const float right = x + ink[2] / c_fTextScale - 0.5f, bottom = y + ink[3] / c_fTextScale - 0.5f;
                const float u0 = rect[0] + ink[0] / c_dwTexWidth, v0 = rect[1] + ink[1] / c_dwTexHeight;
                const float u1 = rect[0] + ink[2] / c_dwTexWidth, v1 = rect[1] + ink[3] / c_dwTexHeight;
                const FontVertex corners[6] = {
                    {left, bottom, 0.9f, 1.0f, run.colour, u0, v1},
                    {left, top, 0.9f, 1.0f, run.colour, u0, v0},
                    {right, bottom, 0.9f, 1.0f, run.colour, u1, v1},
                    {right, top, 0.9f, 1.0f, run.colour, u1, v0},
                    {right, bottom, 0.9f, 1.0f, run.colour, u1, v1},
                    {left, top, 0.9f, 1.0f, run.colour, u0, v0},
                };
                std::memcpy(queue + queued, corners, sizeof(corners));
                queued += 6;
            }
            x += w - 2.0f * spacing;
        }
    }
    if (SUCCEEDED(hr) && queued > 0)
        hr = drawQueued();
    // The caller's state comes back even when drawing failed half-way.
    c_pStateBlockSaved->Apply();
    return hr;
}
