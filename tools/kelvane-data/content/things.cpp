#include "content/things.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "content/dmath.h"

namespace content {

namespace {

const Rgb kWhite{1, 1, 1};
const Rgb kHaloColour = Hex(0xffd27a);

// Draws an item centred at (cx, cy) scaled by s (s = 1 fills a 75-pixel square). With
// `silhouette` every colour is white, so the same calls on a black canvas give the mask.
void DrawItem(Canvas& c, ItemKind kind, Rgb tint, float cx, float cy, float s, bool silhouette)
{
    auto C = [silhouette](Rgb colour) { return silhouette ? kWhite : colour; };
    auto X = [cx, s](float u) { return cx + u * s; };
    auto Y = [cy, s](float v) { return cy + v * s; };
    switch (kind) {
    case ItemKind::Journal:
    case ItemKind::Notebook: {
        const Rgb cover = kind == ItemKind::Journal ? tint : Hex(0x2c4a6e);
        c.FillPolygon({{X(-22), Y(-28)}, {X(24), Y(-25)}, {X(22), Y(29)}, {X(-25), Y(27)}}, C(cover * 0.55f));
        c.FillPolygon({{X(-20), Y(-27)}, {X(22), Y(-24)}, {X(20), Y(26)}, {X(-23), Y(24)}}, C(cover));
        c.FillRect({static_cast<int>(X(-23)), static_cast<int>(Y(-26)), static_cast<int>(7 * s), static_cast<int>(52 * s)}, C(cover * 0.6f));
        c.FillRect({static_cast<int>(X(-6)), static_cast<int>(Y(-10)), static_cast<int>(20 * s), static_cast<int>(12 * s)}, C(Hex(0xd8c89a)));
        c.Line(X(-4), Y(-6), X(12), Y(-6), 1.2f * s, C(Hex(0x5a4a30)));
        c.Line(X(-4), Y(-2), X(10), Y(-2), 1.2f * s, C(Hex(0x5a4a30)));
        break;
    }
    case ItemKind::Lantern: {
        c.Line(X(-8), Y(-24), X(8), Y(-24), 3 * s, C(Hex(0x3a3a3a)));
        c.FillEllipse(X(0), Y(-26), 9 * s, 6 * s, C(Hex(0x3a3a3a)), 1.0f);
        c.FillPolygon({{X(-14), Y(-18)}, {X(14), Y(-18)}, {X(10), Y(-12)}, {X(-10), Y(-12)}}, C(Hex(0x4a4440)));
        c.FillRect({static_cast<int>(X(-11)), static_cast<int>(Y(-12)), static_cast<int>(22 * s), static_cast<int>(28 * s)}, C(Hex(0xffc860)));
        if (!silhouette) c.Glow(X(0), Y(2), 14 * s, Hex(0xfff0c0), 0.6f);
        for (float u : {-11.0f, 0.0f, 11.0f}) c.Line(X(u), Y(-12), X(u), Y(16), 2.5f * s, C(Hex(0x3a3632)));
        c.FillRect({static_cast<int>(X(-15)), static_cast<int>(Y(16)), static_cast<int>(30 * s), static_cast<int>(7 * s)}, C(Hex(0x4a4440)));
        break;
    }
    case ItemKind::Key: {
        const Rgb gold = tint;
        c.FillEllipse(X(-16), Y(0), 13 * s, 13 * s, C(gold));
        c.FillEllipse(X(-16), Y(0), 6 * s, 6 * s, silhouette ? Rgb{} : gold * 0.3f);
        c.Line(X(-4), Y(0), X(28), Y(0), 6 * s, C(gold));
        c.FillRect({static_cast<int>(X(16)), static_cast<int>(Y(2)), static_cast<int>(5 * s), static_cast<int>(11 * s)}, C(gold));
        c.FillRect({static_cast<int>(X(24)), static_cast<int>(Y(2)), static_cast<int>(5 * s), static_cast<int>(8 * s)}, C(gold));
        if (!silhouette) c.Line(X(-2), Y(-2), X(26), Y(-2), 1.5f * s, gold * 1.4f, 0.6f);
        break;
    }
    case ItemKind::Gear: {
        std::vector<std::pair<float, float>> teeth;
        for (int i = 0; i < 40; ++i) {
            const double a = kTwoPi * i / 40.0;
            const float r = ((i / 2) % 2 == 0 ? 29.0f : 23.0f) * s;
            teeth.push_back({cx + float(Cos(a)) * r, cy + float(Sin(a)) * r});
        }
        c.FillPolygon(teeth, C(tint));
        c.FillEllipse(cx, cy, 14 * s, 14 * s, C(tint * 0.7f));
        c.FillEllipse(cx, cy, 6 * s, 6 * s, silhouette ? Rgb{} : Hex(0x101010));
        break;
    }
    case ItemKind::Crystal: {
        c.FillPolygon({{X(0), Y(-32)}, {X(15), Y(-8)}, {X(10), Y(28)}, {X(-10), Y(28)}, {X(-15), Y(-8)}}, C(tint));
        if (!silhouette) {
            c.FillPolygon({{X(0), Y(-32)}, {X(15), Y(-8)}, {X(0), Y(-2)}}, tint * 1.5f, 0.7f);
            c.FillPolygon({{X(-15), Y(-8)}, {X(0), Y(-2)}, {X(-10), Y(28)}}, tint * 0.6f, 0.7f);
            c.Glow(X(0), Y(0), 20 * s, tint, 0.4f);
        }
        break;
    }
    case ItemKind::Medallion: {
        c.Line(X(-10), Y(-30), X(0), Y(-16), 2 * s, C(Hex(0x8a7a50)));
        c.Line(X(10), Y(-30), X(0), Y(-16), 2 * s, C(Hex(0x8a7a50)));
        c.FillEllipse(X(0), Y(6), 22 * s, 22 * s, C(tint * 0.7f));
        c.FillEllipse(X(0), Y(6), 18 * s, 18 * s, C(tint));
        if (!silhouette) {
            for (int i = 0; i < 6; ++i) {
                const double a = kTwoPi * i / 6.0;
                c.Line(X(0), Y(6), X(0) + float(Cos(a)) * 13 * s, Y(6) + float(Sin(a)) * 13 * s, 2 * s, tint * 0.5f);
            }
        }
        break;
    }
    case ItemKind::Vial: {
        c.FillRect({static_cast<int>(X(-5)), static_cast<int>(Y(-30)), static_cast<int>(10 * s), static_cast<int>(8 * s)}, C(Hex(0x7a5230)));
        c.FillRect({static_cast<int>(X(-4)), static_cast<int>(Y(-22)), static_cast<int>(8 * s), static_cast<int>(14 * s)}, C(Hex(0xb8d0d8)));
        c.FillEllipse(X(0), Y(10), 17 * s, 19 * s, C(Hex(0xb8d0d8)));
        if (!silhouette) {
            c.FillEllipse(X(0), Y(14), 14 * s, 14 * s, tint, 0.9f);
            c.FillEllipse(X(-7), Y(2), 3 * s, 6 * s, kWhite, 0.6f);
        }
        break;
    }
    }
}

// A blurred, widened copy of a mask: the halo around an item or a cursor.
std::vector<float> Halo(const std::vector<float>& mask, int w, int h, int radius)
{
    std::vector<float> out(mask.size(), 0.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float best = 0.0f;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx) {
                    const int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
                    const float d = std::sqrt(float(dx * dx + dy * dy)) / (radius + 1);
                    best = std::max(best, mask[static_cast<std::size_t>(sy) * w + sx] * (1.0f - d));
                }
            out[static_cast<std::size_t>(y) * w + x] = best;
        }
    return out;
}

std::vector<float> MaskOf(const Canvas& silhouette)
{
    std::vector<float> mask(static_cast<std::size_t>(silhouette.Width()) * silhouette.Height());
    for (int y = 0; y < silhouette.Height(); ++y)
        for (int x = 0; x < silhouette.Width(); ++x) mask[static_cast<std::size_t>(y) * silhouette.Width() + x] = Clamp01(silhouette.At(x, y).r);
    return mask;
}

// An ink sketch for an otherwise empty page: a ring of marks round a tower, varied by seed.
void PaintSketch(Canvas& c, float cx, float cy, std::uint32_t seed, Rgb ink)
{
    Rng rng(seed);
    const float r = 120.0f;
    for (float ring : {1.0f, 0.93f}) {
        for (int i = 0; i < 96; ++i) {
            const double a0 = kTwoPi * i / 96, a1 = kTwoPi * (i + 1) / 96;
            c.Line(cx + float(Cos(a0)) * r * ring, cy + float(Sin(a0)) * r * ring, cx + float(Cos(a1)) * r * ring,
                   cy + float(Sin(a1)) * r * ring, 1.4f, ink, 0.7f);
        }
    }
    const int marks = rng.Int(5, 9);
    for (int i = 0; i < marks; ++i) {
        const double a = kTwoPi * i / marks + rng.Range(0.0f, 0.3f);
        const float mx = cx + float(Cos(a)) * r * 0.965f, my = cy + float(Sin(a)) * r * 0.965f;
        c.FillEllipse(mx, my, 5, 5, ink, 0.8f);
    }
    // The tower: walls, a broken top, a lit window.
    c.Line(cx - 22, cy + 70, cx - 18, cy - 50, 2.0f, ink, 0.85f);
    c.Line(cx + 22, cy + 70, cx + 18, cy - 50, 2.0f, ink, 0.85f);
    c.Line(cx - 40, cy + 70, cx + 40, cy + 70, 2.0f, ink, 0.85f);
    c.Line(cx - 18, cy - 50, cx - 6, cy - 62, 2.0f, ink, 0.85f);
    c.Line(cx - 6, cy - 62, cx + 4, cy - 52, 2.0f, ink, 0.85f);
    c.Line(cx + 4, cy - 52, cx + 18, cy - 66, 2.0f, ink, 0.85f);
    c.FillArch({static_cast<int>(cx) - 5, static_cast<int>(cy) - 20, 10, 18}, ink, 0.7f);
    for (int i = 0; i < 6; ++i) {
        const float y = cy + rng.Range(-40.0f, 60.0f);
        c.Line(cx - 16, y, cx - 8, y + rng.Range(-2.0f, 2.0f), 1.0f, ink, 0.4f);
    }
}

// The halo mask of a plain mask: the mask, and round it a soft rim that fades outward.
std::vector<float> HighlightedMask(const std::vector<float>& normal, const std::vector<float>& halo)
{
    std::vector<float> highlighted(halo.size());
    for (std::size_t i = 0; i < halo.size(); ++i) highlighted[i] = std::max(normal[i], std::min(1.0f, halo[i] * 1.2f) * 0.85f);
    return highlighted;
}

// The bar shows the whole square: a dark tile lit from above, the halo's gold around the
// item (visible in the bar as a soft light, and as the highlighted cursor's aura).
Canvas HaloTile(const std::vector<float>& halo)
{
    constexpr float kCentre = kItemSide / 2.0f;
    Canvas pic(kItemSide, kItemSide);
    pic.ForEach([](float x, float y, Rgb& p) {
        const float dx = (x - kCentre) / kCentre, dy = (y - kCentre) / kCentre;
        p = Hex(0x2a2420) * (1.0f - 0.45f * (dx * dx + dy * dy)) + Hex(0x1a1410) * (1.0f - y / kItemSide);
    });
    for (int y = 0; y < kItemSide; ++y)
        for (int x = 0; x < kItemSide; ++x) {
            const float h = halo[static_cast<std::size_t>(y) * kItemSide + x];
            pic.At(x, y) = Mix(pic.At(x, y), kHaloColour, std::min(1.0f, h * 1.2f) * 0.8f);
        }
    return pic;
}

constexpr int kHaloRadius = 6;

}  // namespace

ItemPictures PaintItem(ItemKind kind, Rgb tint)
{
    constexpr float kCentre = kItemSide / 2.0f;
    ItemPictures out;
    Canvas silhouette(kItemSide, kItemSide);
    DrawItem(silhouette, kind, tint, kCentre, kCentre, 1.0f, true);
    out.normal = MaskOf(silhouette);
    const std::vector<float> halo = Halo(out.normal, kItemSide, kItemSide, kHaloRadius);
    out.highlighted = HighlightedMask(out.normal, halo);
    out.picture = HaloTile(halo);
    DrawItem(out.picture, kind, tint, kCentre, kCentre, 1.0f, false);
    return out;
}

ItemPictures ItemFromCoverage(const Canvas& item, const std::vector<float>& coverage)
{
    ItemPictures out;
    out.normal = coverage;
    for (float& a : out.normal) a = Clamp01(a);
    const std::vector<float> halo = Halo(out.normal, kItemSide, kItemSide, kHaloRadius);
    out.highlighted = HighlightedMask(out.normal, halo);
    out.picture = HaloTile(halo);
    for (int y = 0; y < kItemSide; ++y)
        for (int x = 0; x < kItemSide; ++x)
            out.picture.At(x, y) = Mix(out.picture.At(x, y), item.At(x, y), out.normal[static_cast<std::size_t>(y) * kItemSide + x]);
    return out;
}

Canvas PaintItemCloseUp(ItemKind kind, Rgb tint, std::uint32_t seed)
{
    Canvas c(1024, 512);
    c.ForEach([seed](float x, float y, Rgb& p) {
        const float weave = 0.85f + 0.15f * ValueNoise(seed, x, y, 3.0f, 0);
        const float folds = Fbm(seed + 1, x, y, 160.0f, 0, 3);
        p = Hex(0x3a2a24) * (weave * (0.6f + 0.6f * folds));
    });
    c.Glow(512, 200, 420, Hex(0xffe2b0), 0.35f);
    // Shadow, then the item at four times its bar size.
    Canvas shadow(1024, 512);
    DrawItem(shadow, kind, tint, 530, 280, 4.0f, true);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 1024; ++x) c.At(x, y) = c.At(x, y) * (1.0f - 0.5f * shadow.At(x, y).r);
    DrawItem(c, kind, tint, 512, 256, 4.0f, false);
    return c;
}

Canvas PaintCodeStrip(int frameWidth, int frameHeight, int values, StripStyle style)
{
    static const char kSymbols[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    Canvas c(frameWidth * values, frameHeight);
    for (int k = 0; k < values; ++k) {
        const Rect f{k * frameWidth, 0, frameWidth, frameHeight};
        c.FillRect(f, Hex(0x1e1f22));
        if (style == StripStyle::Digits) {
            c.FillRoundRect({f.x + 3, f.y + 3, f.w - 6, f.h - 6}, 6.0f, Hex(0x8a6a32));
            c.Shade({f.x + 6, f.y + 6, f.w - 12, f.h - 12}, [](float, float) { return 1.0f; }, [f](float, float y) {
                const float v = (y - f.y) / f.h;
                return Hex(0xe4d6b0) * (0.55f + 0.6f * float(Sin(v * kPi)));
            });
            const std::string symbol(1, kSymbols[k % 36]);
            const int size = static_cast<int>(f.h * 0.62f);
            c.Text(symbol, static_cast<int>(f.CentreX()), static_cast<int>(f.CentreY() - size * 0.58f), size, Hex(0x2a1a0a),
                   true, false, TextAlign::Centre);
        } else {
            // Lamps: value k lights k of the segments round a ring (0: all dark).
            const float cx = f.CentreX(), cy = f.CentreY(), r = std::min(f.w, f.h) * 0.36f;
            const int segments = std::max(1, values - 1);
            for (int i = 0; i < segments; ++i) {
                const double a = kTwoPi * i / segments - kPi / 2;
                const bool lit = i < k;
                c.FillEllipse(cx + float(Cos(a)) * r, cy + float(Sin(a)) * r, 5, 5, lit ? Hex(0xffb040) : Hex(0x3a2a1a));
                if (lit) c.Glow(cx + float(Cos(a)) * r, cy + float(Sin(a)) * r, 12, Hex(0xffb040), 0.4f);
            }
        }
    }
    return c;
}

Canvas PaintBookPage(const BookPage& page)
{
    Canvas c(1024, 512);
    const std::uint32_t seed = page.seed;
    c.ForEach([seed](float x, float y, Rgb& p) {
        // Two facing pages on a dark cover: the spine in the middle, paper with foxing.
        const float spine = std::fabs(x - 512.0f);
        const bool paper = x > 28 && x < 996 && y > 18 && y < 494;
        if (!paper) {
            p = Hex(0x3a2218) * (0.7f + 0.3f * ValueNoise(seed, x, y, 6.0f, 0));
            return;
        }
        const float fox = Fbm(seed + 2, x, y, 90.0f, 0, 4);
        const float curve = 1.0f - 0.35f * Clamp01(1.0f - spine / 60.0f) - 0.12f * Clamp01((spine - 380.0f) / 100.0f);
        p = Mix(Hex(0xeee1c0), Hex(0xc9b48a), Smooth(0.5f, 0.95f, fox) * 0.6f) * curve;
    });
    SetBookPage(c, page);
    return c;
}

void SetBookPage(Canvas& c, const BookPage& page)
{
    const std::uint32_t seed = page.seed;
    const Rgb ink = Hex(0x2a1e14);
    const int left = 80, right = 560, width = 392;
    c.Text(page.heading, left, 48, 30, ink, false, true);
    c.Line(left, 90, left + width, 90, 1.0f, ink, 0.6f);
    // Longer texts continue on the right page from the sentence nearest the middle.
    const std::string& text = page.text;
    std::size_t split = std::string::npos;
    if (text.size() > 260) {
        for (std::size_t at = text.find(". "); at != std::string::npos; at = text.find(". ", at + 1))
            if (split == std::string::npos || std::abs(static_cast<long>(at) - static_cast<long>(text.size() / 2)) <
                                                  std::abs(static_cast<long>(split) - static_cast<long>(text.size() / 2)))
                split = at + 1;
    }
    c.Paragraph(text.substr(0, split), left, 104, width, 22, 1.32f, ink);
    if (split != std::string::npos)
        c.Paragraph(text.substr(split + 1), right, 56, width, 22, 1.32f, ink);
    else
        PaintSketch(c, 756.0f, 250.0f, seed, ink);
    c.Text(std::to_string(page.number * 2 - 1), 276, 462, 18, ink * 1.6f, false, false, TextAlign::Centre);
    c.Text(std::to_string(page.number * 2), 756, 462, 18, ink * 1.6f, false, false, TextAlign::Centre);
    // Faint arrows at the page-turning edges.
    if (page.hasPrevious) c.FillPolygon({{44, 256}, {60, 244}, {60, 268}}, ink, 0.35f);
    if (page.hasNext) c.FillPolygon({{980, 256}, {964, 244}, {964, 268}}, ink, 0.35f);
}

}  // namespace content
