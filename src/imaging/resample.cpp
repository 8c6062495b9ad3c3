// Triangle-filter resampling, separable: a horizontal pass into 16-bit intermediate rows,
// then a vertical pass over a small window of them. Weights are computed once per output column and row.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "imaging/image.h"

namespace imaging {
namespace {

// Horizontal weights sum to 256, so a weighted channel sum (at most 255 * 256) fits the 16-bit
// lane it is computed in and is kept as the intermediate value: 8 bits more than the pixel.
constexpr int kHorizontalOne = 1 << 8;
// Vertical weights sum to 2^14: 65280 * 2^14 still fits a 32-bit sum.
constexpr int kVerticalBits = 14;
constexpr int kVerticalOne = 1 << kVerticalBits;
constexpr int kVerticalShift = kVerticalBits + 8;

static_assert(std::endian::native == std::endian::little,
              "the horizontal pass packs B, G, R, A into 16-bit lanes in memory order");

// For each output sample: the first source sample it reads and the weights of the next
// `taps` samples, summing to the scale's one. Every output reads the same number of samples (the
// widest footprint, zero-padded), all inside the source, so the inner loops need no checks.
struct FilterTaps {
    int taps = 0;
    std::vector<int> first;
    std::vector<std::int32_t> weights;
};

// The weights of one output sample over source samples first, first + 1, ...
struct Footprint {
    int first = 0;
    std::vector<std::int32_t> weights;
};

Footprint ComputeFootprint(int sourceSize, double scale, double radius, int d, int one)
{
    const double centre = (d + 0.5) * scale - 0.5;
    const int lowest = static_cast<int>(std::floor(centre - radius)) + 1;
    const int highest = static_cast<int>(std::ceil(centre + radius)) - 1;
    const int first = std::clamp(lowest, 0, sourceSize - 1);
    const int last = std::clamp(highest, 0, sourceSize - 1);
    std::vector<double> raw(static_cast<std::size_t>(last - first + 1), 0.0);
    double total = 0.0;
    for (int s = lowest; s <= highest; ++s) {
        const double w = std::max(0.0, 1.0 - std::abs(s - centre) / radius);
        // Samples beyond the edges repeat the edge sample.
        raw[static_cast<std::size_t>(std::clamp(s, 0, sourceSize - 1) - first)] += w;
        total += w;
    }
    Footprint result;
    result.first = first;
    result.weights.resize(raw.size());
    int sum = 0;
    std::size_t largest = 0;
    for (std::size_t k = 0; k < raw.size(); ++k) {
        result.weights[k] = static_cast<std::int32_t>(std::lround(raw[k] / total * one));
        sum += result.weights[k];
        if (result.weights[k] > result.weights[largest]) largest = k;
    }
    result.weights[largest] += one - sum;  // exact unity gain: flat areas stay flat
    // Trim zero weights at both ends.
    std::size_t lo = 0, hi = result.weights.size();
    while (lo + 1 < hi && result.weights[lo] == 0) ++lo;
    while (hi - 1 > lo && result.weights[hi - 1] == 0) --hi;
    result.weights = std::vector<std::int32_t>(result.weights.begin() + lo, result.weights.begin() + hi);
    result.first += static_cast<int>(lo);
    return result;
}

FilterTaps ComputeTaps(int sourceSize, int targetSize, int one)
{
    const double scale = static_cast<double>(sourceSize) / targetSize;
    const double radius = std::max(1.0, scale);  // widen the tent when shrinking
    std::vector<Footprint> footprints(static_cast<std::size_t>(targetSize));
    FilterTaps result;
    for (int d = 0; d < targetSize; ++d) {
        footprints[d] = ComputeFootprint(sourceSize, scale, radius, d, one);
        result.taps = std::max(result.taps, static_cast<int>(footprints[d].weights.size()));
    }
    result.first.resize(targetSize);
    result.weights.assign(static_cast<std::size_t>(targetSize) * result.taps, 0);
    for (int d = 0; d < targetSize; ++d) {
        const Footprint& f = footprints[d];
        // Move the window left where it would run past the last sample; the weights follow.
        const int first = std::min(f.first, sourceSize - result.taps);
        result.first[d] = first;
        std::int32_t* out = &result.weights[static_cast<std::size_t>(d) * result.taps];
        std::copy(f.weights.begin(), f.weights.end(), out + (f.first - first));
    }
    return result;
}

// A pixel's B, G, R, A bytes spread into the four 16-bit lanes of a 64-bit value, so that
// one multiplication weighs all four channels.
inline std::uint64_t SpreadPixel(const std::uint8_t* p)
{
    std::uint32_t bgra;
    std::memcpy(&bgra, p, 4);
    std::uint64_t v = bgra;
    v = (v | (v << 16)) & 0x0000FFFF0000FFFFull;
    v = (v | (v << 8)) & 0x00FF00FF00FF00FFull;
    return v;
}

// One output pixel from `Taps` source pixels (a compile-time count where it is small).
template <int Taps>
inline void BlendPixel(const std::uint8_t* s, const std::int32_t* w, int taps, std::uint16_t* out)
{
    std::uint64_t sum = 0;
    const int count = Taps > 0 ? Taps : taps;
    for (int k = 0; k < count; ++k, s += 4) sum += SpreadPixel(s) * static_cast<std::uint64_t>(w[k]);
    std::memcpy(out, &sum, 8);
}

template <int Taps>
void HorizontalRow(const std::uint8_t* in, const FilterTaps& taps, int dstWidth, std::uint16_t* out)
{
    const std::int32_t* w = taps.weights.data();
    for (int x = 0; x < dstWidth; ++x, out += 4, w += taps.taps)
        BlendPixel<Taps>(in + static_cast<std::size_t>(taps.first[x]) * 4, w, taps.taps, out);
}

// Scales one source row horizontally into 16-bit intermediate values.
void HorizontalPass(const std::uint8_t* in, const FilterTaps& taps, int dstWidth, std::uint16_t* out)
{
    switch (taps.taps) {
    case 1: HorizontalRow<1>(in, taps, dstWidth, out); break;
    case 2: HorizontalRow<2>(in, taps, dstWidth, out); break;  // enlarging
    case 3: HorizontalRow<3>(in, taps, dstWidth, out); break;
    default: HorizontalRow<0>(in, taps, dstWidth, out); break;
    }
}

// One output row from `taps` intermediate rows, in blocks of a fixed size the compiler can
// turn into vector instructions.
void BlendRows(const std::uint16_t* const* in, const std::int32_t* w, int taps, std::size_t count,
               std::uint8_t* out)
{
    constexpr std::size_t kBlock = 32;
    std::int32_t sum[kBlock];
    for (std::size_t base = 0; base < count; base += kBlock) {
        const std::size_t n = std::min(kBlock, count - base);
        if (n == kBlock) {
            for (std::size_t i = 0; i < kBlock; ++i) sum[i] = 1 << (kVerticalShift - 1);
            for (int k = 0; k < taps; ++k) {
                const std::uint16_t* row = in[k] + base;
                const std::int32_t weight = w[k];
                for (std::size_t i = 0; i < kBlock; ++i) sum[i] += weight * row[i];
            }
            for (std::size_t i = 0; i < kBlock; ++i)
                out[base + i] = static_cast<std::uint8_t>(std::min(sum[i] >> kVerticalShift, 255));
        } else {
            for (std::size_t i = 0; i < n; ++i) {
                std::int32_t total = 1 << (kVerticalShift - 1);
                for (int k = 0; k < taps; ++k) total += w[k] * in[k][base + i];
                out[base + i] = static_cast<std::uint8_t>(std::min(total >> kVerticalShift, 255));
            }
        }
    }
}

// Each output row blends a window of horizontally scaled source rows. The windows only move
// down, so a ring of `taps` rows, each computed once when it first enters, is all the
// intermediate memory needed (and it stays in cache).
void ScaleRows(const Image& src, const FilterTaps& horizontal, const FilterTaps& vertical,
               int dstWidth, int dstHeight, std::uint8_t* dst, std::ptrdiff_t dstPitch)
{
    const std::size_t rowValues = static_cast<std::size_t>(dstWidth) * 4;
    const int ringSize = vertical.taps;
    std::vector<std::uint16_t> ring(rowValues * ringSize);
    std::vector<int> held(static_cast<std::size_t>(ringSize), -1);  // source row in each slot
    std::vector<const std::uint16_t*> in(static_cast<std::size_t>(ringSize));
    for (int y = 0; y < dstHeight; ++y) {
        for (int k = 0; k < vertical.taps; ++k) {
            const int row = vertical.first[y] + k;
            const int slot = row % ringSize;
            std::uint16_t* values = ring.data() + slot * rowValues;
            if (held[slot] != row) {
                HorizontalPass(src.Row(row), horizontal, dstWidth, values);
                held[slot] = row;
            }
            in[k] = values;
        }
        BlendRows(in.data(), &vertical.weights[static_cast<std::size_t>(y) * vertical.taps], vertical.taps,
                  rowValues, dst + y * dstPitch);
    }
}

}  // namespace

void ResampleTriangle(const Image& src, int dstWidth, int dstHeight, std::uint8_t* dst,
                      std::ptrdiff_t dstPitch)
{
    if (src.width < 1 || src.height < 1 || dstWidth < 1 || dstHeight < 1) return;
    if (src.width == dstWidth && src.height == dstHeight) {
        for (int y = 0; y < dstHeight; ++y)
            std::memcpy(dst + y * dstPitch, src.Row(y), static_cast<std::size_t>(dstWidth) * 4);
        return;
    }
    ScaleRows(src, ComputeTaps(src.width, dstWidth, kHorizontalOne),
              ComputeTaps(src.height, dstHeight, kVerticalOne), dstWidth, dstHeight, dst, dstPitch);
}

}  // namespace imaging
