#include "content/canvas.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "content/dmath.h"
#include "platform/font/font_face.h"

namespace content {

namespace {

// The serif face the game's texts use. Faces keep a glyph cache, so each worker thread has
// its own; opening goes through one lock because font matching is shared.
constexpr const char* kSerifFamily = "Liberation Serif";

const platform::FontFace& SerifFace(int pixelHeight, bool bold, bool italic)
{
    static std::mutex openLock;
    thread_local std::map<std::tuple<int, bool, bool>, std::unique_ptr<platform::FontFace>> faces;
    auto& face = faces[{pixelHeight, bold, italic}];
    if (!face) {
        std::lock_guard<std::mutex> guard(openLock);
        face = platform::FontFace::Open(kSerifFamily, pixelHeight, bold, italic);
    }
    return *face;
}

float EdgeCover(float distanceInside) { return Clamp01(distanceInside + 0.5f); }

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f)); }

}  // namespace

Canvas::Canvas(int width, int height, bool wrapX, Rgb fill)
    : c_iWidth(width), c_iHeight(height), c_bWrapX(wrapX),
      c_pixels(static_cast<std::size_t>(width) * height, fill)
{
}

int Canvas::WrapIndex(int x) const
{
    const int m = x % c_iWidth;
    return m < 0 ? m + c_iWidth : m;
}

void Canvas::ForEach(const std::function<void(float, float, Rgb&)>& paint)
{
    for (int y = 0; y < c_iHeight; ++y)
        for (int x = 0; x < c_iWidth; ++x) paint(x + 0.5f, y + 0.5f, At(x, y));
}

void Canvas::Shade(Rect box, const std::function<float(float, float)>& cover,
                   const std::function<Rgb(float, float)>& colour)
{
    const int y0 = std::max(box.y, 0), y1 = std::min(box.Bottom(), c_iHeight);
    int x0 = box.x, x1 = box.Right();
    if (!c_bWrapX) {
        x0 = std::max(x0, 0);
        x1 = std::min(x1, c_iWidth);
    } else if (x1 - x0 > c_iWidth) {
        x1 = x0 + c_iWidth;
    }
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float a = cover(px, py);
            if (a <= 0.0f) continue;
            Rgb& p = At(c_bWrapX ? WrapIndex(x) : x, y);
            p = Mix(p, colour(px, py), std::min(a, 1.0f));
        }
}

void Canvas::Shade(Rect box, const std::function<float(float, float)>& cover, Rgb colour)
{
    Shade(box, cover, [colour](float, float) { return colour; });
}

void Canvas::FillRect(Rect r, Rgb colour, float opacity)
{
    Shade({r.x - 1, r.y - 1, r.w + 2, r.h + 2}, [r, opacity](float x, float y) {
        const float inside = std::min(std::min(x - r.x, r.Right() - x), std::min(y - r.y, r.Bottom() - y));
        return EdgeCover(inside) * opacity;
    }, colour);
}

void Canvas::FillRoundRect(Rect r, float radius, Rgb colour, float opacity)
{
    Shade({r.x - 1, r.y - 1, r.w + 2, r.h + 2}, [r, radius, opacity](float x, float y) {
        const float cx = std::clamp(x, r.x + radius, r.Right() - radius);
        const float cy = std::clamp(y, r.y + radius, r.Bottom() - radius);
        const float dx = x - cx, dy = y - cy;
        return EdgeCover(radius - std::sqrt(dx * dx + dy * dy)) * opacity;
    }, colour);
}

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, Rgb colour, float opacity)
{
    const Rect box{static_cast<int>(std::floor(cx - rx)) - 1, static_cast<int>(std::floor(cy - ry)) - 1,
                   static_cast<int>(2 * rx) + 3, static_cast<int>(2 * ry) + 3};
    Shade(box, [=](float x, float y) {
        const float dx = (x - cx) / rx, dy = (y - cy) / ry;
        const float d = std::sqrt(dx * dx + dy * dy);
        return EdgeCover((1.0f - d) * std::min(rx, ry)) * opacity;
    }, colour);
}

void Canvas::FillPolygon(const std::vector<std::pair<float, float>>& points, Rgb colour, float opacity)
{
    if (points.size() < 3) return;
    float minX = points[0].first, maxX = minX, minY = points[0].second, maxY = minY;
    for (auto [px, py] : points) {
        minX = std::min(minX, px); maxX = std::max(maxX, px);
        minY = std::min(minY, py); maxY = std::max(maxY, py);
    }
    const Rect box{static_cast<int>(std::floor(minX)) - 1, static_cast<int>(std::floor(minY)) - 1,
                   static_cast<int>(maxX - minX) + 3, static_cast<int>(maxY - minY) + 3};
    // Coverage from 4 x 4 samples per pixel: even-odd rule.
    Shade(box, [&points, opacity](float x, float y) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy)
            for (int sx = 0; sx < 4; ++sx) {
                const float qx = x - 0.5f + (sx + 0.5f) / 4, qy = y - 0.5f + (sy + 0.5f) / 4;
                bool in = false;
                for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                    const auto [xi, yi] = points[i];
                    const auto [xj, yj] = points[j];
                    if ((yi > qy) != (yj > qy) && qx < (xj - xi) * (qy - yi) / (yj - yi) + xi) in = !in;
                }
                hits += in;
            }
        return hits / 16.0f * opacity;
    }, colour);
}

void Canvas::Line(float x0, float y0, float x1, float y1, float width, Rgb colour, float opacity)
{
    const float half = width * 0.5f;
    const Rect box{static_cast<int>(std::floor(std::min(x0, x1) - half)) - 1,
                   static_cast<int>(std::floor(std::min(y0, y1) - half)) - 1,
                   static_cast<int>(std::fabs(x1 - x0) + width) + 3, static_cast<int>(std::fabs(y1 - y0) + width) + 3};
    const float dx = x1 - x0, dy = y1 - y0, len2 = std::max(dx * dx + dy * dy, 1e-6f);
    Shade(box, [=](float x, float y) {
        const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0f, 1.0f);
        const float ex = x - (x0 + t * dx), ey = y - (y0 + t * dy);
        return EdgeCover(half - std::sqrt(ex * ex + ey * ey)) * opacity;
    }, colour);
}

void Canvas::FillArch(Rect r, Rgb colour, float opacity)
{
    const float rx = r.w * 0.5f, ry = std::min(r.w * 0.5f, r.h * 0.5f);
    const float cx = r.CentreX(), springLine = r.y + ry;
    Shade({r.x - 1, r.y - 1, r.w + 2, r.h + 2}, [=](float x, float y) {
        float inside = std::min(std::min(x - r.x, r.Right() - x), r.Bottom() - y);
        if (y < springLine) {
            const float dx = (x - cx) / rx, dy = (y - springLine) / ry;
            inside = std::min(inside, (1.0f - std::sqrt(dx * dx + dy * dy)) * ry);
        }
        return EdgeCover(inside) * opacity;
    }, colour);
}

void Canvas::Glow(float cx, float cy, float radius, Rgb colour, float strength)
{
    const Rect box{static_cast<int>(cx - radius), static_cast<int>(cy - radius), static_cast<int>(2 * radius) + 1,
                   static_cast<int>(2 * radius) + 1};
    const int y0 = std::max(box.y, 0), y1 = std::min(box.Bottom(), c_iHeight);
    for (int y = y0; y < y1; ++y)
        for (int x = box.x; x < box.Right(); ++x) {
            if (!c_bWrapX && (x < 0 || x >= c_iWidth)) continue;
            const float dx = (x + 0.5f - cx) / radius, dy = (y + 0.5f - cy) / radius;
            const float d2 = dx * dx + dy * dy;
            if (d2 >= 1.0f) continue;
            const float f = (1.0f - d2) * (1.0f - d2) * strength;
            Rgb& p = At(c_bWrapX ? WrapIndex(x) : x, y);
            p = p + colour * f;
        }
}

void Canvas::Darken(Rect r, float factor, float soft)
{
    Rect box{r.x - static_cast<int>(soft), r.y - static_cast<int>(soft), r.w + 2 * static_cast<int>(soft),
             r.h + 2 * static_cast<int>(soft)};
    const int y0 = std::max(box.y, 0), y1 = std::min(box.Bottom(), c_iHeight);
    for (int y = y0; y < y1; ++y)
        for (int x = box.x; x < box.Right(); ++x) {
            if (!c_bWrapX && (x < 0 || x >= c_iWidth)) continue;
            const float px = x + 0.5f, py = y + 0.5f;
            const float inside = std::min(std::min(px - r.x, r.Right() - px), std::min(py - r.y, r.Bottom() - py));
            const float t = soft > 0 ? Clamp01(inside / soft + 0.5f) : (inside > 0 ? 1.0f : 0.0f);
            Rgb& p = At(c_bWrapX ? WrapIndex(x) : x, y);
            p = p * Lerp(1.0f, factor, t);
        }
}

int Canvas::Text(std::string_view text, int x, int y, int pixelHeight, Rgb colour, bool bold, bool italic,
                 TextAlign align)
{
    const platform::FontFace& face = SerifFace(pixelHeight, bold, italic);
    const platform::TextExtent extent = face.Measure(text);
    if (align == TextAlign::Centre) x -= extent.cx / 2;
    const int w = extent.cx + pixelHeight, h = extent.cy + 2;
    std::vector<std::uint8_t> coverage(static_cast<std::size_t>(w) * h, 0);
    const int pad = pixelHeight / 2;
    face.Draw(text, pad, 0, platform::CoverageBitmap{coverage.data(), w, h, w});
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const float a = coverage[static_cast<std::size_t>(row) * w + col] / 255.0f;
            const int px = x - pad + col, py = y + row;
            if (a <= 0 || py < 0 || py >= c_iHeight) continue;
            if (!c_bWrapX && (px < 0 || px >= c_iWidth)) continue;
            Rgb& p = At(c_bWrapX ? WrapIndex(px) : px, py);
            p = Mix(p, colour, a);
        }
    return extent.cx;
}

int Canvas::Paragraph(std::string_view text, int x, int y, int width, int pixelHeight, float lineSpacing,
                      Rgb colour, bool italic)
{
    const platform::FontFace& face = SerifFace(pixelHeight, false, italic);
    const int step = static_cast<int>(std::lround(pixelHeight * lineSpacing));
    std::string line;
    std::size_t pos = 0;
    auto flush = [&] {
        if (!line.empty()) Text(line, x, y, pixelHeight, colour, false, italic);
        line.clear();
        y += step;
    };
    while (pos < text.size()) {
        if (text[pos] == '\n') {
            flush();
            ++pos;
            continue;
        }
        std::size_t end = text.find_first_of(" \n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string word(text.substr(pos, end - pos));
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && face.Measure(candidate).cx > width) {
            flush();
            line = word;
        } else {
            line = candidate;
        }
        pos = end < text.size() && text[end] == ' ' ? end + 1 : end;
    }
    if (!line.empty()) flush();
    return y;
}

void Canvas::Paste(const Canvas& source, Rect from, int x, int y)
{
    for (int row = 0; row < from.h; ++row)
        for (int col = 0; col < from.w; ++col) {
            const int dx = x + col, dy = y + row;
            if (dx < 0 || dy < 0 || dx >= c_iWidth || dy >= c_iHeight) continue;
            At(dx, dy) = source.At(from.x + col, from.y + row);
        }
}

Canvas Canvas::Crop(Rect r) const
{
    Canvas out(r.w, r.h);
    out.Paste(*this, r, 0, 0);
    return out;
}

imaging::Image Canvas::ToImage() const
{
    imaging::Image image;
    image.width = c_iWidth;
    image.height = c_iHeight;
    image.pixels.resize(static_cast<std::size_t>(c_iWidth) * c_iHeight * 4);
    for (std::size_t i = 0; i < c_pixels.size(); ++i) {
        image.pixels[i * 4 + 0] = ToByte(c_pixels[i].b);
        image.pixels[i * 4 + 1] = ToByte(c_pixels[i].g);
        image.pixels[i * 4 + 2] = ToByte(c_pixels[i].r);
        image.pixels[i * 4 + 3] = 255;
    }
    return image;
}

imaging::Image MaskToImage(const std::vector<float>& mask, int width, int height)
{
    imaging::Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const std::uint8_t v = ToByte(mask[i]);
        image.pixels[i * 4 + 0] = v;
        image.pixels[i * 4 + 1] = v;
        image.pixels[i * 4 + 2] = v;
        image.pixels[i * 4 + 3] = 255;
    }
    return image;
}

std::string SerifFontFile() { return platform::FontFace::FileOf(kSerifFamily, false, false); }

}  // namespace content
