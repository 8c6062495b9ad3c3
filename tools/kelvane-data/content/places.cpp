#include "content/places.h"

#include <algorithm>
#include <cmath>

#include "content/dmath.h"

namespace content {

namespace {

constexpr float kCeilingLine = 150.0f;  // ceiling or sky above, wall below
constexpr float kFloorLine = 390.0f;    // wall above, floor below

// Coverage of a pixel whose centre lies `d` pixels inside a shape's edge.
float EdgeFromDistance(float d) { return Clamp01(d + 0.5f); }

struct Painter {
    Canvas& canvas;
    const PlaceSpec& place;
    int PeriodCells(float cell) const
    {
        return canvas.WrapsX() ? static_cast<int>(std::lround(canvas.Width() / cell)) : 0;
    }
};

// ---- backgrounds ---------------------------------------------------------------------------

void PaintHallBackground(const Painter& p)
{
    const Palette& pal = p.place.palette;
    const std::uint32_t seed = p.place.seed;
    const int period64 = p.PeriodCells(64.0f);
    p.canvas.ForEach([&](float x, float y, Rgb& px) {
        const float grime = Fbm(seed, x, y, 64.0f, period64, 4);
        if (y < kCeilingLine) {
            // Beamed ceiling: planks across, beams every 128 pixels.
            const float beam = std::fmod(x, 128.0f) < 22.0f ? 0.55f : 1.0f;
            const float plank = 0.85f + 0.15f * ValueNoise(seed + 7, x * 0.25f, y, 8.0f, p.PeriodCells(32.0f));
            px = pal.accent * (0.35f * beam * plank * (0.6f + 0.4f * y / kCeilingLine)) * (0.8f + 0.4f * grime);
        } else if (y < kFloorLine) {
            // Dressed stone: courses 32 high, blocks 64 long, each course shifted by half.
            const int course = static_cast<int>((y - kCeilingLine) / 32.0f);
            const float shift = (course % 2) * 32.0f;
            const float bx = std::fmod(x + shift, 64.0f), by = std::fmod(y - kCeilingLine, 32.0f);
            const int block = static_cast<int>((x + shift) / 64.0f) % std::max(1, period64 > 0 ? period64 : 1 << 20);
            const float tone = 0.82f + 0.3f * Unit(Hash(seed, static_cast<std::uint32_t>(block), static_cast<std::uint32_t>(course)));
            const float mortar = (bx < 2.5f || by < 2.5f) ? 0.55f : 1.0f;
            px = pal.wall * (tone * mortar * (0.75f + 0.5f * grime));
        } else {
            // Flagstones: rows that widen towards the viewer.
            const float depth = (y - kFloorLine) / (p.canvas.Height() - kFloorLine);
            const float rowH = 14.0f + 40.0f * depth;
            const float row = std::floor((y - kFloorLine) / rowH);
            const float joint = std::fmod(x + row * 37.0f, 128.0f);
            const float line = (std::fmod(y - kFloorLine, rowH) < 2.0f || joint < 2.5f) ? 0.6f : 1.0f;
            px = pal.floor * (line * (0.7f + 0.5f * grime) * (0.55f + 0.45f * depth));
        }
    });
    // Skirting where the wall meets the floor.
    p.canvas.FillRect({0, static_cast<int>(kFloorLine) - 6, p.canvas.Width(), 8}, pal.accent * 0.35f, 0.9f);
}

void PaintCaveBackground(const Painter& p)
{
    const Palette& pal = p.place.palette;
    const std::uint32_t seed = p.place.seed;
    const int period = p.PeriodCells(128.0f);
    p.canvas.ForEach([&](float x, float y, Rgb& px) {
        const float rock = Fbm(seed, x, y, 128.0f, period, 5);
        const float ridge = 1.0f - std::fabs(2.0f * Fbm(seed + 3, x, y * 2.0f, 64.0f, p.PeriodCells(64.0f), 3) - 1.0f);
        const float shade = 0.45f + 0.7f * rock + 0.25f * ridge * ridge;
        if (y < kFloorLine + 10.0f) {
            const float top = Smooth(0.0f, 200.0f, y);
            px = Mix(pal.sky, pal.wall, top) * shade;
        } else {
            // Still water reflecting the rock above it, with ripples.
            const float depth = (y - kFloorLine) / (p.canvas.Height() - kFloorLine);
            const float ripple = 0.5f + 0.5f * static_cast<float>(Sin(y * 0.9 + 6.0 * ValueNoise(seed + 9, x, y, 32.0f, p.PeriodCells(32.0f))));
            px = Mix(pal.wall * (0.5f * shade), pal.floor, 0.55f + 0.3f * depth) * (0.75f + 0.35f * ripple);
        }
    });
    // Stalactites hanging from the roof, spaced round the whole view.
    Rng rng(seed * 31 + 5);
    const int count = p.canvas.Width() / 48;
    for (int i = 0; i < count; ++i) {
        const float cx = (i + rng.Range(0.1f, 0.9f)) * p.canvas.Width() / count;
        const float len = rng.Range(40.0f, 150.0f), half = rng.Range(7.0f, 18.0f);
        const Rgb tone = pal.wall * rng.Range(0.4f, 0.8f);
        p.canvas.FillPolygon({{cx - half, 0.0f}, {cx + half, 0.0f}, {cx + 1.5f, len}, {cx - 1.5f, len}}, tone);
        p.canvas.Line(cx - half * 0.4f, 0, cx, len, 2.0f, tone * 1.6f, 0.5f);
    }
    // The shore line.
    p.canvas.Shade({0, static_cast<int>(kFloorLine) - 6, p.canvas.Width(), 20}, [](float, float y) {
        return 1.0f - std::fabs(y - (kFloorLine + 4.0f)) / 10.0f;
    }, pal.wall * 0.25f);
}

void PaintCourtBackground(const Painter& p)
{
    const Palette& pal = p.place.palette;
    const std::uint32_t seed = p.place.seed;
    const int W = p.canvas.Width();
    const float horizon = 300.0f;
    p.canvas.ForEach([&](float x, float y, Rgb& px) {
        if (y < horizon) {
            const float t = y / horizon;
            const Rgb top = pal.sky * 0.35f;
            px = Mix(top, Mix(pal.sky, pal.light, 0.6f), t * t);
            const float cloud = Fbm(seed, x, y * 3.0f, 256.0f, p.PeriodCells(256.0f), 4);
            px = Mix(px, pal.light * 0.55f + pal.sky * 0.3f, Smooth(0.55f, 0.8f, cloud) * 0.5f * t);
            // Stars high up.
            const std::uint32_t h = Hash(seed, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
            if (t < 0.45f && (h & 1023u) == 0) px = px + Rgb{0.8f, 0.8f, 0.9f} * (1.0f - t * 2.0f);
        } else {
            const float depth = (y - horizon) / (p.canvas.Height() - horizon);
            // Cobbles that grow towards the viewer; a whole number of them round the view.
            const float wanted = 6.0f + 20.0f * depth;
            const int across = std::max(1, static_cast<int>(std::lround(W / wanted)));
            const float stones = ValueNoise(seed + 4, x, y, static_cast<float>(W) / across, p.canvas.WrapsX() ? across : 0);
            px = pal.floor * ((0.55f + 0.45f * depth) * (0.8f + 0.35f * stones));
        }
    });
    // Far hills, then near ones: ridges that repeat round the view.
    for (int layer = 0; layer < 2; ++layer) {
        const float base = horizon - 20.0f + layer * 30.0f, amp = 70.0f - layer * 25.0f;
        const Rgb tone = Mix(pal.sky * 0.25f, pal.accent * 0.4f, layer * 0.6f);
        const int period = p.PeriodCells(256.0f);
        p.canvas.Shade({0, static_cast<int>(base - amp) - 2, W, static_cast<int>(amp) + 40}, [&](float x, float y) {
            const float ridge = base - amp * Fbm(seed + 11 + layer, x, 0.0f, 256.0f, period, 4);
            return Clamp01(y - ridge + 0.5f);
        }, tone);
    }
    // A low wall round the court.
    const int wallTop = static_cast<int>(horizon) + 20;
    p.canvas.ForEach([&](float x, float y, Rgb& px) {
        if (y < wallTop || y > wallTop + 46) return;
        const int course = static_cast<int>((y - wallTop) / 15.0f);
        const float shifted = x + (course % 2) * 32.0f;
        const float bx = std::fmod(shifted, 64.0f), by = std::fmod(y - wallTop, 15.0f);
        const float mortar = (bx < 2.0f || by < 1.5f) ? 0.6f : 1.0f;
        const auto block = static_cast<std::uint32_t>(shifted / 64.0f) % static_cast<std::uint32_t>(W / 64);
        px = pal.wall * (mortar * (0.75f + 0.3f * Unit(Hash(seed, block, static_cast<std::uint32_t>(course)))));
    });
}

// ---- landmarks -----------------------------------------------------------------------------

void PaintDoor(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Palette& pal = p.place.palette;
    p.canvas.FillArch({r.x - 12, r.y - 12, r.w + 24, r.h + 12}, pal.wall * 0.55f);
    if (l.active) {
        p.canvas.FillArch(r, Rgb{0.02f, 0.02f, 0.02f});
        p.canvas.Shade(r, [r](float, float y) { return Smooth(r.Bottom() - r.h * 0.6f, r.Bottom(), y) * 0.7f; }, pal.light * 0.5f);
        // The door leaf swung inwards: a narrow slanted board at the hinge side.
        p.canvas.FillPolygon({{float(r.x), float(r.y + r.w / 2)}, {r.x + r.w * 0.22f, r.y + r.w * 0.5f + 14.0f},
                              {r.x + r.w * 0.22f, r.Bottom() - 10.0f}, {float(r.x), float(r.Bottom())}}, pal.accent * 0.6f);
        return;
    }
    p.canvas.FillArch(r, pal.accent * 0.7f);
    for (int i = 1; i < 5; ++i) {
        const float x = r.x + r.w * i / 5.0f;
        p.canvas.Line(x, r.y + 6.0f, x, r.Bottom(), 2.0f, pal.accent * 0.35f);
    }
    for (float band : {0.3f, 0.75f})
        p.canvas.FillRect({r.x + 4, static_cast<int>(r.y + r.h * band), r.w - 8, 8}, Rgb{0.12f, 0.11f, 0.1f}, 0.9f);
    p.canvas.FillEllipse(r.x + r.w * 0.8f, r.y + r.h * 0.55f, 6, 6, Hex(0xb08a3c));
}

void PaintArch(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Palette& pal = p.place.palette;
    p.canvas.FillArch({r.x - 16, r.y - 16, r.w + 32, r.h + 16}, pal.wall * 0.7f);
    p.canvas.FillArch(r, Rgb{0.02f, 0.02f, 0.03f});
    // Depth: the passage fades from the wall's light into darkness, or into light beyond.
    const Rgb far = l.active ? pal.light * 0.9f : pal.wall * 0.12f;
    p.canvas.Shade(r, [r](float x, float y) {
        const float dx = std::fabs(x - r.CentreX()) / (r.w * 0.5f);
        return Clamp01(1.0f - dx) * Smooth(r.y + r.h * 0.3f, r.Bottom(), y) * 0.8f;
    }, far);
    for (int k = 0; k < 7; ++k) {  // voussoirs
        const double a = kPi * (k + 0.5) / 7.0;
        const float cx = r.CentreX(), cy = r.y + r.w * 0.5f;
        p.canvas.Line(cx - float(Cos(a)) * r.w * 0.5f, cy - float(Sin(a)) * r.w * 0.5f,
                      cx - float(Cos(a)) * (r.w * 0.5f + 14.0f), cy - float(Sin(a)) * (r.w * 0.5f + 14.0f), 2.0f,
                      pal.wall * 0.35f);
    }
}

void PaintTunnel(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    p.canvas.FillEllipse(r.CentreX(), r.CentreY(), r.w * 0.56f, r.h * 0.56f, p.place.palette.wall * 0.3f, 0.8f);
    p.canvas.FillEllipse(r.CentreX(), r.CentreY(), r.w * 0.5f, r.h * 0.5f, Rgb{0.01f, 0.015f, 0.02f});
    if (l.active) p.canvas.Glow(r.CentreX(), r.CentreY() + r.h * 0.15f, r.w * 0.4f, p.place.palette.light, 0.45f);
    p.canvas.FillEllipse(r.CentreX(), r.Bottom() - r.h * 0.12f, r.w * 0.42f, r.h * 0.1f, p.place.palette.wall * 0.15f, 0.8f);
}

void PaintWindow(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Palette& pal = p.place.palette;
    p.canvas.FillArch({r.x - 10, r.y - 10, r.w + 20, r.h + 18}, pal.wall * 0.6f);
    p.canvas.Shade(r, [r](float x, float y) {
        const float dx = (x - r.CentreX()) / (r.w * 0.5f), springLine = r.y + r.w * 0.5f;
        if (y < springLine) {
            const float dy = (y - springLine) / (r.w * 0.5f);
            return EdgeFromDistance((1.0f - std::sqrt(dx * dx + dy * dy)) * r.w * 0.5f);
        }
        return std::min(EdgeFromDistance(r.w * 0.5f - std::fabs(x - r.CentreX())), EdgeFromDistance(r.Bottom() - y));
    }, [&pal, r](float, float y) { return Mix(pal.light, pal.sky, Clamp01((y - r.y) / r.h)); });
    p.canvas.Line(r.CentreX(), r.y, r.CentreX(), r.Bottom(), 4.0f, Rgb{0.08f, 0.08f, 0.08f});
    p.canvas.Line(r.x, r.y + r.h * 0.55f, r.Right(), r.y + r.h * 0.55f, 4.0f, Rgb{0.08f, 0.08f, 0.08f});
    p.canvas.FillRect({r.x - 14, r.Bottom(), r.w + 28, 8}, pal.wall * 0.8f);
}

void PaintPillar(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Rgb base = p.place.palette.wall * 1.1f;
    p.canvas.Shade(r, [](float, float) { return 1.0f; }, [r, base](float x, float) {
        const float u = (x - r.x) / r.w * 2.0f - 1.0f;
        return base * (0.35f + 0.75f * std::sqrt(std::max(0.0f, 1.0f - u * u)) * (0.7f + 0.3f * (1.0f - u)));
    });
    p.canvas.FillRect({r.x - 10, r.y, r.w + 20, 16}, base * 0.8f);
    p.canvas.FillRect({r.x - 10, r.Bottom() - 16, r.w + 20, 16}, base * 0.7f);
}

void PaintTorch(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Palette& pal = p.place.palette;
    p.canvas.FillRect({r.x + r.w / 2 - 4, r.y + r.h / 3, 8, r.h * 2 / 3}, Rgb{0.15f, 0.1f, 0.06f});
    p.canvas.FillRect({r.x + r.w / 2 - 10, r.y + r.h / 3, 20, 8}, Rgb{0.2f, 0.18f, 0.16f});
    if (l.active) {
        const float cx = r.CentreX(), top = r.y + 2.0f, bottom = r.y + r.h / 3.0f;
        p.canvas.FillPolygon({{cx, top}, {cx + r.w * 0.3f, bottom - 6}, {cx, bottom}, {cx - r.w * 0.3f, bottom - 6}}, pal.light);
        p.canvas.FillEllipse(cx, bottom - 8, r.w * 0.15f, r.h * 0.1f, Rgb{1.0f, 0.95f, 0.8f});
    }
}

void PaintStairs(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Palette& pal = p.place.palette;
    p.canvas.FillArch(r, Rgb{0.03f, 0.03f, 0.03f});
    const int steps = 9;
    for (int i = 0; i < steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        const float y = r.Bottom() - (i + 1) * r.h * 0.6f / steps;
        const float inset = t * r.w * 0.25f;
        p.canvas.FillRect({static_cast<int>(r.x + inset), static_cast<int>(y), static_cast<int>(r.w - 2 * inset),
                           static_cast<int>(r.h * 0.6f / steps) + 1}, pal.floor * (1.0f - 0.7f * t));
        p.canvas.FillRect({static_cast<int>(r.x + inset), static_cast<int>(y), static_cast<int>(r.w - 2 * inset), 2},
                          pal.floor * (1.3f - 0.7f * t));
    }
}

void PaintMachine(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Rgb brass = Hex(0xa07a3a), dark = Hex(0x2a2218);
    p.canvas.FillRoundRect(r, 10.0f, dark);
    p.canvas.FillRoundRect({r.x + 6, r.y + 6, r.w - 12, r.h - 12}, 8.0f, brass * 0.75f);
    const int dials = std::max(1, r.w / 70);
    for (int i = 0; i < dials; ++i) {
        const float cx = r.x + r.w * (i + 0.5f) / dials, cy = r.y + r.h * 0.3f, rad = std::min(r.w / dials, r.h) * 0.22f;
        p.canvas.FillEllipse(cx, cy, rad + 3, rad + 3, dark);
        p.canvas.FillEllipse(cx, cy, rad, rad, Hex(0xe8dfc4));
        const double a = -2.3 + 1.5 * i + (l.active ? 2.0 : 0.0);
        p.canvas.Line(cx, cy, cx + float(Sin(a)) * rad * 0.85f, cy - float(Cos(a)) * rad * 0.85f, 2.0f, Hex(0x601010));
        const Rgb lamp = l.active ? Hex(0x40ff70) : Hex(0x203020);
        p.canvas.FillEllipse(cx, r.y + r.h * 0.62f, 6, 6, lamp);
        if (l.active) p.canvas.Glow(cx, r.y + r.h * 0.62f, 18, Hex(0x40ff70), 0.4f);
    }
    const float lx = r.Right() - 20.0f, ly = r.y + r.h * 0.8f;
    p.canvas.Line(lx, ly, lx - 18.0f, l.active ? ly + 20.0f : ly - 30.0f, 6.0f, Hex(0x303030));
    p.canvas.FillEllipse(lx - 18.0f, l.active ? ly + 20.0f : ly - 30.0f, 7, 7, Hex(0x902020));
}

void PaintGate(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Palette& pal = p.place.palette;
    p.canvas.FillArch({r.x - 18, r.y - 18, r.w + 36, r.h + 18}, pal.wall * 0.8f);
    // The view through the gate: sky fading down to the road.
    p.canvas.FillArch(r, pal.floor * 0.5f);
    p.canvas.Shade(r, [r](float x, float y) {
        const float rx = r.w * 0.5f, spring = r.y + rx;
        float inside = std::min(std::min(x - r.x, r.Right() - x), r.Bottom() - y);
        if (y < spring) {
            const float dx = (x - r.CentreX()) / rx, dy = (y - spring) / rx;
            inside = std::min(inside, (1.0f - std::sqrt(dx * dx + dy * dy)) * rx);
        }
        return EdgeFromDistance(inside) * (1.0f - Smooth(r.y + r.h * 0.5f, r.Bottom(), y)) * 0.8f;
    }, pal.sky * 0.7f);
    if (l.active) return;  // open: only the way through
    const int bars = std::max(3, r.w / 16);
    for (int i = 1; i < bars; ++i) {
        const float x = r.x + r.w * float(i) / bars;
        p.canvas.Line(x, r.y + 8.0f, x, r.Bottom(), 3.0f, Hex(0x1c1c1e));
    }
    p.canvas.Line(r.x, r.y + r.h * 0.45f, r.Right(), r.y + r.h * 0.45f, 4.0f, Hex(0x1c1c1e));
}

void PaintTree(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Palette& pal = p.place.palette;
    p.canvas.FillPolygon({{r.CentreX() - r.w * 0.07f, float(r.Bottom())}, {r.CentreX() + r.w * 0.07f, float(r.Bottom())},
                          {r.CentreX() + r.w * 0.04f, r.y + r.h * 0.4f}, {r.CentreX() - r.w * 0.04f, r.y + r.h * 0.4f}},
                         Hex(0x2a1d14));
    Rng rng(p.place.seed + static_cast<std::uint32_t>(r.x));
    for (int i = 0; i < 14; ++i) {
        const float cx = r.CentreX() + rng.Range(-0.35f, 0.35f) * r.w, cy = r.y + rng.Range(0.1f, 0.5f) * r.h;
        const float rad = rng.Range(0.15f, 0.25f) * r.w;
        p.canvas.FillEllipse(cx, cy, rad, rad * 0.85f, pal.accent * rng.Range(0.35f, 0.7f));
    }
}

void PaintPool(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Palette& pal = p.place.palette;
    p.canvas.FillEllipse(r.CentreX(), r.CentreY(), r.w * 0.5f, r.h * 0.5f, pal.floor * 0.5f);
    p.canvas.Shade({r.x, r.y, r.w, r.h}, [r](float x, float y) {
        const float dx = (x - r.CentreX()) / (r.w * 0.46f), dy = (y - r.CentreY()) / (r.h * 0.42f);
        return EdgeFromDistance((1.0f - std::sqrt(dx * dx + dy * dy)) * r.h * 0.42f);
    }, [r, &pal, open = p.place.setting == Setting::Court](float, float y) {
        // Water: what is above it (the sky outdoors, the lamps' light inside) towards the far
        // edge, its own deeper colour towards the near one.
        const Rgb reflected = open ? Mix(pal.sky, pal.light, 0.25f) : Mix(pal.floor, pal.light, 0.35f);
        return Mix(reflected, pal.floor * 0.6f, Clamp01((y - r.y) / r.h));
    });
    for (int i = 0; i < 5; ++i)
        p.canvas.Line(r.x + r.w * (0.25f + 0.1f * i), r.CentreY() - 6.0f + 4.0f * i, r.x + r.w * (0.4f + 0.1f * i),
                      r.CentreY() - 6.0f + 4.0f * i, 1.5f, pal.light, 0.35f);
}

void PaintDesk(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    const Rgb wood = p.place.palette.accent;
    p.canvas.FillRect({r.x, r.y, r.w, r.h / 6}, wood * 0.9f);
    p.canvas.FillRect({r.x, r.y + r.h / 6, r.w, 4}, wood * 0.4f);
    p.canvas.FillRect({r.x + 10, r.y + r.h / 6, r.w / 5, r.h * 5 / 6}, wood * 0.55f);
    p.canvas.FillRect({r.Right() - 10 - r.w / 5, r.y + r.h / 6, r.w / 5, r.h * 5 / 6}, wood * 0.55f);
    const Rect drawer{r.x + r.w / 3, r.y + r.h / 6 + 8, r.w / 3, r.h / 5};
    if (l.active) {
        p.canvas.FillRect({drawer.x - 10, drawer.y, drawer.w + 20, drawer.h + 26}, wood * 0.35f);
        p.canvas.FillRect({drawer.x - 4, drawer.y + 4, drawer.w + 8, drawer.h + 14}, Hex(0x140e0a));
        // A key lies in the open drawer.
        const float kx = drawer.CentreX(), ky = drawer.y + drawer.h * 0.6f + 6.0f;
        p.canvas.FillEllipse(kx - 22, ky, 9, 9, Hex(0xc9a13c));
        p.canvas.FillEllipse(kx - 22, ky, 4, 4, Hex(0x140e0a));
        p.canvas.Line(kx - 13, ky, kx + 24, ky, 4.0f, Hex(0xc9a13c));
        p.canvas.Line(kx + 18, ky, kx + 18, ky + 8, 4.0f, Hex(0xc9a13c));
    } else {
        p.canvas.FillRect(drawer, wood * 0.75f);
        p.canvas.FillEllipse(drawer.CentreX(), drawer.CentreY(), 5, 5, Hex(0xb08a3c));
    }
    // Papers and a candle on the top.
    p.canvas.FillPolygon({{r.x + r.w * 0.55f, r.y + 4.0f}, {r.x + r.w * 0.8f, r.y + 2.0f}, {r.x + r.w * 0.82f, r.y + r.h / 6 - 3.0f},
                          {r.x + r.w * 0.53f, r.y + r.h / 6 - 2.0f}}, Hex(0xd9cfae));
    const float cx = r.x + r.w * 0.2f;
    p.canvas.FillRect({static_cast<int>(cx) - 6, r.y - 40, 12, 40}, Hex(0xe8e0c8));
    p.canvas.FillEllipse(cx, r.y - 48, 5, 9, Hex(0xffd070));
}

void PaintPanel(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    p.canvas.FillRoundRect({r.x - 12, r.y - 12, r.w + 24, r.h + 24}, 10.0f, Hex(0x1e1f22));
    p.canvas.FillRoundRect(r, 6.0f, Hex(0x4a4c52));
    for (float fx : {0.0f, 1.0f})
        for (float fy : {0.0f, 1.0f}) p.canvas.FillEllipse(r.x - 4 + fx * (r.w + 8), r.y - 4 + fy * (r.h + 8), 3, 3, Hex(0x8a8c90));
}

void PaintMoon(const Painter& p, const Landmark& l)
{
    const Rect r = l.where;
    p.canvas.Glow(r.CentreX(), r.CentreY(), r.w * 2.0f, p.place.palette.light, 0.35f);
    p.canvas.FillEllipse(r.CentreX(), r.CentreY(), r.w * 0.5f, r.h * 0.5f, Hex(0xf2ecd8));
    p.canvas.FillEllipse(r.CentreX() - r.w * 0.12f, r.CentreY() - r.h * 0.1f, r.w * 0.1f, r.h * 0.1f, Hex(0xd8d0ba));
}

// Light that the landmarks give: torches, windows and the passages' far light.
void PaintLight(const Painter& p)
{
    for (const Landmark& l : p.place.landmarks) {
        const Rect r = l.where;
        if (l.kind == LandmarkKind::Torch && l.active)
            p.canvas.Glow(r.CentreX(), r.y + r.h * 0.25f, 260.0f, p.place.palette.light, 0.5f);
        if (l.kind == LandmarkKind::Window)
            p.canvas.Glow(r.CentreX(), r.Bottom() + 40.0f, r.w * 2.5f, p.place.palette.light, 0.25f);
        if (l.kind == LandmarkKind::Arch && l.active)
            p.canvas.Glow(r.CentreX(), r.Bottom() - r.h * 0.3f, r.w * 1.2f, p.place.palette.light, 0.3f);
    }
}

// Overall light: the place's ambient level, darker towards the top and bottom of the view.
void PaintShading(const Painter& p)
{
    const float ambient = p.place.ambient;
    const float H = static_cast<float>(p.canvas.Height());
    p.canvas.ForEach([&](float, float y, Rgb& px) {
        const float v = 1.0f - 0.35f * std::fabs(y / H * 2.0f - 1.0f);
        px = px * (ambient * v);
    });
}

void PaintPlace(Canvas& canvas, const PlaceSpec& place)
{
    const Painter p{canvas, place};
    switch (place.setting) {
    case Setting::Hall: PaintHallBackground(p); break;
    case Setting::Cave: PaintCaveBackground(p); break;
    case Setting::Court: PaintCourtBackground(p); break;
    }
    for (const Landmark& l : place.landmarks) {
        switch (l.kind) {
        case LandmarkKind::Door: PaintDoor(p, l); break;
        case LandmarkKind::Arch: PaintArch(p, l); break;
        case LandmarkKind::Tunnel: PaintTunnel(p, l); break;
        case LandmarkKind::Window: PaintWindow(p, l); break;
        case LandmarkKind::Pillar: PaintPillar(p, l); break;
        case LandmarkKind::Torch: PaintTorch(p, l); break;
        case LandmarkKind::Stairs: PaintStairs(p, l); break;
        case LandmarkKind::Machine: PaintMachine(p, l); break;
        case LandmarkKind::Gate: PaintGate(p, l); break;
        case LandmarkKind::Tree: PaintTree(p, l); break;
        case LandmarkKind::Pool: PaintPool(p, l); break;
        case LandmarkKind::Desk: PaintDesk(p, l); break;
        case LandmarkKind::Panel: PaintPanel(p, l); break;
        case LandmarkKind::Moon: PaintMoon(p, l); break;
        }
    }
    PaintShading(p);
    PaintLight(p);
}

}  // namespace

Canvas PaintPanorama(const PlaceSpec& place)
{
    Canvas canvas(kPanoramaWidth, kPanoramaHeight, true);
    PaintPlace(canvas, place);
    return canvas;
}

Canvas PaintFlatView(const PlaceSpec& place, int width, int height)
{
    Canvas canvas(width, height, false);
    PaintPlace(canvas, place);
    return canvas;
}

Canvas PaintOverlay(const PlaceSpec& changed, bool panorama, Rect r)
{
    const Canvas whole = panorama ? PaintPanorama(changed) : PaintFlatView(changed);
    return whole.Crop(r);
}

}  // namespace content
