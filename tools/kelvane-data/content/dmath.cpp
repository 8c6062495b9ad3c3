#include "content/dmath.h"

namespace content {

namespace {

int Wrap(int v, int period)
{
    if (period <= 0) return v;
    const int m = v % period;
    return m < 0 ? m + period : m;
}

float Corner(std::uint32_t seed, int ix, int iy) { return Unit(Hash(seed, static_cast<std::uint32_t>(ix), static_cast<std::uint32_t>(iy))); }

}  // namespace

float ValueNoise(std::uint32_t seed, float x, float y, float cell, int periodX)
{
    const float fx = x / cell, fy = y / cell;
    const float x0f = std::floor(fx), y0f = std::floor(fy);
    const int x0 = static_cast<int>(x0f), y0 = static_cast<int>(y0f);
    float tx = fx - x0f, ty = fy - y0f;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    const int xa = Wrap(x0, periodX), xb = Wrap(x0 + 1, periodX);
    const float a = Corner(seed, xa, y0), b = Corner(seed, xb, y0);
    const float c = Corner(seed, xa, y0 + 1), d = Corner(seed, xb, y0 + 1);
    return Lerp(Lerp(a, b, tx), Lerp(c, d, tx), ty);
}

float Fbm(std::uint32_t seed, float x, float y, float cell, int periodX, int octaves)
{
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * ValueNoise(seed + static_cast<std::uint32_t>(i) * 101U, x, y, cell, periodX);
        total += weight;
        weight *= 0.5f;
        cell *= 0.5f;
        periodX *= 2;
    }
    return sum / total;
}

}  // namespace content
