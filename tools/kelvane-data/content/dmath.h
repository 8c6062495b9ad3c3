// Arithmetic that gives the same bits on every machine: the content must not change with the
// C library's sin/exp, so the generator uses these (IEEE + - * / and sqrt only) and a hash RNG.
#pragma once

#include <cmath>
#include <cstdint>

namespace content {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// sin(x), absolute error below 1e-9 over any argument a content generator uses.
inline double Sin(double x)
{
    double k = std::floor(x / kTwoPi + 0.5);
    double r = x - k * kTwoPi;  // -pi .. pi
    if (r > kPi / 2) r = kPi - r;
    if (r < -kPi / 2) r = -kPi - r;
    const double r2 = r * r;
    return r * (1.0 + r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040 + r2 * (1.0 / 362880 +
               r2 * (-1.0 / 39916800 + r2 * (1.0 / 6227020800.0)))))));
}
inline double Cos(double x) { return Sin(x + kPi / 2); }

// e^x for x in about -700 .. 700.
inline double Exp(double x)
{
    const double k = std::floor(x / 0.69314718055994530942 + 0.5);
    const double r = x - k * 0.69314718055994530942;  // |r| <= ln2/2
    double sum = 1.0, term = 1.0;
    for (int i = 1; i < 14; ++i) {
        term = term * r / i;
        sum += term;
    }
    return std::ldexp(sum, static_cast<int>(k));
}

inline float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
inline float Smooth(float e0, float e1, float v)
{
    const float t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}
inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }

// 32-bit integer hash (lowbias32): the base of every random choice in the content.
inline std::uint32_t Hash(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}
inline std::uint32_t Hash(std::uint32_t a, std::uint32_t b) { return Hash(a ^ Hash(b + 0x9e3779b9U)); }
inline std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) { return Hash(Hash(a, b), c); }
// A hash as a float in 0 .. 1.
inline float Unit(std::uint32_t h) { return static_cast<float>(h >> 8) * (1.0f / 16777216.0f); }

// A seeded sequence of random numbers (same seed, same sequence, everywhere).
class Rng {
public:
    explicit Rng(std::uint32_t seed) : c_state(seed) {}
    std::uint32_t Next() { return Hash(c_state++, 0x51ed27U); }
    float Uniform() { return Unit(Next()); }                                  // 0 .. 1
    float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
    int Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint32_t>(hi - lo + 1)); }

private:
    std::uint32_t c_state;
};

// Smooth value noise in 0 .. 1 on a lattice of `cell` pixels. With periodX > 0 the lattice
// repeats every periodX cells across, so a picture `periodX * cell` wide joins at its edges.
float ValueNoise(std::uint32_t seed, float x, float y, float cell, int periodX);
// Sum of `octaves` layers of value noise, each half the cell size and half the weight; 0 .. 1.
float Fbm(std::uint32_t seed, float x, float y, float cell, int periodX, int octaves);

}  // namespace content
