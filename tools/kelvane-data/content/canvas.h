// The generator's drawing surface: a picture of float RGB pixels (0 .. 1) with soft-edged
// shapes, glows and text. A canvas made with wrapX joins at its left and right edges: every
// shape that crosses one edge continues at the other (panoramas, where x 2048 meets x 0).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/image.h"

namespace content {

struct Rgb {
    float r = 0, g = 0, b = 0;
};
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
// 0xRRGGBB as a colour.
constexpr Rgb Hex(std::uint32_t rgb)
{
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f};
}

// A rectangle in picture pixels: left, top, width, height.
struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    int Right() const { return x + w; }
    int Bottom() const { return y + h; }
    float CentreX() const { return x + w * 0.5f; }
    float CentreY() const { return y + h * 0.5f; }
};

enum class TextAlign { Left, Centre };

class Canvas {
public:
    Canvas(int width, int height, bool wrapX = false, Rgb fill = {});

    int Width() const { return c_iWidth; }
    int Height() const { return c_iHeight; }
    bool WrapsX() const { return c_bWrapX; }
    Rgb& At(int x, int y) { return c_pixels[static_cast<std::size_t>(y) * c_iWidth + x]; }
    Rgb At(int x, int y) const { return c_pixels[static_cast<std::size_t>(y) * c_iWidth + x]; }

    // Calls paint(x, y, pixel) for every pixel (x, y are the pixel centre's coordinates).
    void ForEach(const std::function<void(float x, float y, Rgb& pixel)>& paint);

    // Blends `colour` over the pixels of `box` (extended to wrap across the edges when the
    // canvas wraps) with the opacity that `cover` gives for a point (0 .. 1). x may be given
    // beyond the picture's width or below 0 on a wrapping canvas.
    void Shade(Rect box, const std::function<float(float x, float y)>& cover,
               const std::function<Rgb(float x, float y)>& colour);
    void Shade(Rect box, const std::function<float(float x, float y)>& cover, Rgb colour);

    // Shapes with a one-pixel soft edge; opacity multiplies the coverage.
    void FillRect(Rect r, Rgb colour, float opacity = 1.0f);
    void FillRoundRect(Rect r, float radius, Rgb colour, float opacity = 1.0f);
    void FillEllipse(float cx, float cy, float rx, float ry, Rgb colour, float opacity = 1.0f);
    void FillPolygon(const std::vector<std::pair<float, float>>& points, Rgb colour, float opacity = 1.0f);
    void Line(float x0, float y0, float x1, float y1, float width, Rgb colour, float opacity = 1.0f);
    // An arch: a rectangle whose top is a half ellipse.
    void FillArch(Rect r, Rgb colour, float opacity = 1.0f);
    // Adds light: colour x strength, falling off with distance from the centre over `radius`.
    void Glow(float cx, float cy, float radius, Rgb colour, float strength);
    // Multiplies every pixel inside `r` by `factor` with a soft border of `soft` pixels.
    void Darken(Rect r, float factor, float soft);

    // Text in a serif face at `pixelHeight`, top of the line at y. Returns the text's width.
    int Text(std::string_view text, int x, int y, int pixelHeight, Rgb colour, bool bold = false,
             bool italic = false, TextAlign align = TextAlign::Left);
    // Words laid out in lines no wider than `width`; returns the y below the last line.
    int Paragraph(std::string_view text, int x, int y, int width, int pixelHeight, float lineSpacing,
                  Rgb colour, bool italic = false);

    // Copies a block of another canvas to (x, y) here.
    void Paste(const Canvas& source, Rect from, int x, int y);
    Canvas Crop(Rect r) const;

    // The picture as 8-bit pixels (alpha 255), rounded.
    imaging::Image ToImage() const;

private:
    int WrapIndex(int x) const;

    int c_iWidth;
    int c_iHeight;
    bool c_bWrapX;
    std::vector<Rgb> c_pixels;
};

// A grey-scale mask (0 .. 1) of the same size as a picture, written as an alpha image.
imaging::Image MaskToImage(const std::vector<float>& mask, int width, int height);

// The font file of the serif face the canvases set texts in, for a scene that cuts a text in
// the same face. Throws Error when no scalable face is installed.
std::string SerifFontFile();

}  // namespace content
