#include "display/AreaResample.h"

#include "display/ResampleKernels.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

// GCC builds the pixel loops twice, for AVX2 and for the x86-64 baseline,
// and picks one at load time. Other compilers (the fuzz build) get the
// baseline only.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define ZV_PIXEL_LOOP __attribute__((target_clones("avx2", "default")))
#else
#define ZV_PIXEL_LOOP
#endif

namespace Resample {

namespace {

typedef int32_t V4i __attribute__((vector_size(16)));
typedef uint8_t V4b __attribute__((vector_size(4)));
typedef uint16_t V4h __attribute__((vector_size(8)));

// Horizontal weights sum to 1 << 23: a channel (at most 255) times the sum
// stays below 2^31, and 23 bits keep the rounding of the weights below a
// quarter level even when one target pixel covers 16384 source pixels.
constexpr int kHorizontalShift = 23;
// The vertical pass accumulates in 32 bits without sign: channel (8 bits) +
// fraction bits of the intermediate rows + weight bits <= 32.
constexpr int kVerticalBits = 24;
// Intermediate rows hold channel << fraction bits below 2^15, as the 16-bit
// kernel packs them with signed saturation.
constexpr int kMaxFractionBits = 7;

// One axis: for every target index, Taps source indices (already clamped to
// the picture) and their weights, which sum to 1 << Shift. Target indices
// that need fewer taps are padded with zero weights.
struct TAxis {
    int Taps = 0;
    int Shift = 0;
    std::vector<int32_t> Index;
    std::vector<int32_t> Weight;
    // The same taps for the 16-bit kernel (ResampleKernels.h), when they are
    // contiguous, inside the picture and few enough: Groups of 4 source
    // pixels from PackedFirst[j], weights laid out as the kernel wants them.
    bool Packed = false;
    int Groups = 0;
    std::vector<int32_t> PackedFirst;
    std::vector<int16_t> PackedWeight;
};

// Round(c * 2^shift / len) for 0 <= c <= len, ties up.
int64_t ScaledRound(int64_t c, int shift, int64_t len)
{
    return ((c << (shift + 1)) + len) / (2 * len);
}

// start/len: the source span on this axis (may reach past the picture);
// dst: target length; limit: the picture's length on this axis.
TAxis BuildAxis(int64_t start, int64_t len, int dst, int limit, int shift)
{
    TAxis axis;
    axis.Shift = shift;
    const int64_t one = int64_t(1) << shift;
    auto clampIndex = [&](int64_t k) { return int32_t(std::clamp<int64_t>(start + k, 0, limit - 1)); };

    if (len >= dst) {
        // Area average. Lengths are scaled by dst: target j spans
        // [j*len, (j+1)*len), source pixel k spans [k*dst, (k+1)*dst).
        // The weight of a source pixel is the difference of the rounded
        // running overlap, so each target's weights sum to exactly `one`.
        int taps = 1;
        for (int64_t j = 0; j < dst; ++j) {
            const int64_t first = j * len / dst;
            const int64_t last = ((j + 1) * len - 1) / dst;
            taps = std::max<int>(taps, int(last - first + 1));
        }
        axis.Taps = taps;
        axis.Index.assign(size_t(dst) * size_t(taps), 0);
        axis.Weight.assign(size_t(dst) * size_t(taps), 0);
        for (int64_t j = 0; j < dst; ++j) {
            const int64_t lo = j * len;
            const int64_t hi = lo + len;
            const int64_t first = lo / dst;
            const int64_t last = (hi - 1) / dst;
            int32_t* index = &axis.Index[size_t(j) * size_t(taps)];
            int32_t* weight = &axis.Weight[size_t(j) * size_t(taps)];
            int64_t covered = 0;
            int64_t given = 0;
            int t = 0;
            for (int64_t k = first; k <= last; ++k, ++t) {
                covered += std::min((k + 1) * dst, hi) - std::max(k * dst, lo);
                const int64_t upTo = ScaledRound(covered, shift, len);
                index[t] = clampIndex(k);
                weight[t] = int32_t(upTo - given);
                given = upTo;
            }
            for (; t < taps; ++t)
                index[t] = clampIndex(last);
        }
        return axis;
    }

    // Enlargement: bilinear between the two source pixels whose centres
    // enclose the target pixel's centre (j + 0.5) * len / dst - 0.5.
    axis.Taps = len == 1 ? 1 : 2;
    axis.Index.assign(size_t(dst) * size_t(axis.Taps), 0);
    axis.Weight.assign(size_t(dst) * size_t(axis.Taps), 0);
    for (int64_t j = 0; j < dst; ++j) {
        if (axis.Taps == 1) {
            axis.Index[size_t(j)] = clampIndex(0);
            axis.Weight[size_t(j)] = int32_t(one);
            continue;
        }
        const int64_t num = (2 * j + 1) * len - dst;
        const int64_t den = 2 * int64_t(dst);
        int64_t k = 0;
        int64_t rem = 0;
        if (num > 0) {
            k = num / den;
            rem = num % den;
        }
        if (k >= len - 1) {
            k = len - 2;
            rem = den;
        }
        const int64_t w1 = ScaledRound(rem, shift, den);
        axis.Index[size_t(2 * j)] = clampIndex(k);
        axis.Index[size_t(2 * j + 1)] = clampIndex(k + 1);
        axis.Weight[size_t(2 * j)] = int32_t(one - w1);
        axis.Weight[size_t(2 * j + 1)] = int32_t(w1);
    }
    return axis;
}

// Lays a 14-bit axis out for the 16-bit kernel. Every target pixel reads
// 4 * Groups pixels, so its first index is moved left where it would read
// past the end of the row; the extra taps weigh nothing.
void PackAxis(TAxis& axis, int dst, int limit)
{
    axis.Groups = (axis.Taps + 3) / 4;
    const int span = 4 * axis.Groups;
    axis.PackedFirst.assign(size_t(dst), 0);
    axis.PackedWeight.assign(size_t(dst + 1) / 2 * size_t(axis.Groups) * 32, 0);
    for (int j = 0; j < dst; ++j) {
        const int32_t* index = &axis.Index[size_t(j) * size_t(axis.Taps)];
        const int32_t* weight = &axis.Weight[size_t(j) * size_t(axis.Taps)];
        const int32_t first = std::min(index[0], limit - span);
        axis.PackedFirst[size_t(j)] = first;
        for (int t = 0; t < axis.Taps; ++t) {
            if (weight[t] == 0)
                continue;
            const int at = index[t] - first;  // 0 <= at < span: the taps are contiguous
            int16_t* lanes = &axis.PackedWeight[PackedWeightAt(j, axis.Groups, at / 4)] + ((at % 4) / 2) * 16 + at % 2;
            for (int k = 0; k < 8; k += 2)
                lanes[k] = int16_t(weight[t]);
        }
    }
    axis.Packed = true;
}

// The horizontal axis: 16-bit weights when the kernel can take them, else
// 23-bit weights for the general loop.
TAxis BuildHorizontalAxis(int64_t start, int64_t len, int dst, int limit)
{
    const bool inside = start >= 0 && start + len <= limit;
    if (inside) {
        TAxis axis = BuildAxis(start, len, dst, limit, kPackedShift);
        if (axis.Taps <= kPackedMaxTaps && limit >= 4 * ((axis.Taps + 3) / 4)) {
            PackAxis(axis, dst, limit);
            return axis;
        }
    }
    return BuildAxis(start, len, dst, limit, kHorizontalShift);
}

// Fraction bits of the intermediate rows: more bits make the intermediate
// rounding finer but leave fewer for the vertical weights, whose rounding
// adds up over the taps. Pick the split with the smaller error bound.
int IntermediateFractionBits(int verticalTaps)
{
    int best = kMaxFractionBits;
    double bestError = 1e300;
    for (int f = kMaxFractionBits; f >= 0; --f) {
        const double error = 1.0 / double(2 << f) + verticalTaps * 127.5 / double(int64_t(1) << (kVerticalBits - f));
        if (error < bestError) {
            bestError = error;
            best = f;
        }
    }
    return best;
}

// The four channels of a pixel as 32-bit lanes.
inline __attribute__((always_inline)) V4i Channels(uint32_t pixel)
{
#if defined(__x86_64__)
    const __m128i zero = _mm_setzero_si128();
    return V4i(_mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(int(pixel)), zero), zero));
#else
    V4b b;
    std::memcpy(&b, &pixel, 4);
    return __builtin_convertvector(b, V4i);
#endif
}

template <int Taps>
inline __attribute__((always_inline)) void HorizontalTaps(const uint32_t* __restrict in, const int32_t* __restrict index,
                                                          const int32_t* __restrict weight, int count, int taps,
                                                          int down, uint16_t* __restrict out)
{
    const int32_t round = 1 << (down - 1);
    const int n = Taps > 0 ? Taps : taps;
    for (int j = 0; j < count; ++j) {
        V4i acc = {round, round, round, round};
        for (int t = 0; t < n; ++t)
            acc += Channels(in[index[t]]) * weight[t];
        const V4h h = __builtin_convertvector(acc >> down, V4h);
        std::memcpy(out + 4 * j, &h, 8);
        index += n;
        weight += n;
    }
}

// One source row through the horizontal axis into 4 x uint16 per target
// pixel, holding channel << fractionBits.
ZV_PIXEL_LOOP
void HorizontalPass(const uint32_t* in, const TAxis& axis, int count, int fraction, uint16_t* out)
{
    if (axis.Packed) {
        HorizontalPackedRow(in, axis.PackedFirst.data(), axis.PackedWeight.data(), axis.Groups, count,
                            axis.Shift - fraction, out);
        return;
    }
    const int down = axis.Shift - fraction;
    const int32_t* index = axis.Index.data();
    const int32_t* weight = axis.Weight.data();
    switch (axis.Taps) {
    case 1: HorizontalTaps<1>(in, index, weight, count, 1, down, out); break;
    case 2: HorizontalTaps<2>(in, index, weight, count, 2, down, out); break;
    case 3: HorizontalTaps<3>(in, index, weight, count, 3, down, out); break;
    case 4: HorizontalTaps<4>(in, index, weight, count, 4, down, out); break;
    default: HorizontalTaps<0>(in, index, weight, count, axis.Taps, down, out); break;
    }
}

ZV_PIXEL_LOOP
void VerticalStart(const uint16_t* __restrict row, uint32_t w, size_t count, uint32_t* __restrict acc)
{
    for (size_t i = 0; i < count; ++i)
        acc[i] = w * row[i];
}

ZV_PIXEL_LOOP
void VerticalAdd(const uint16_t* __restrict row, uint32_t w, size_t count, uint32_t* __restrict acc)
{
    for (size_t i = 0; i < count; ++i)
        acc[i] += w * row[i];
}

ZV_PIXEL_LOOP
void VerticalFinish(const uint16_t* __restrict row, uint32_t w, const uint32_t* __restrict acc, size_t count, int shift,
                    uint8_t* __restrict out)
{
    const uint32_t round = uint32_t(1) << (shift - 1);
    for (size_t i = 0; i < count; ++i)
        out[i] = uint8_t((acc[i] + w * row[i] + round) >> shift);
}

// The horizontally resampled source rows of one band of target rows,
// computed once each and kept while consecutive target rows share them.
class TRowCache {
public:
    TRowCache(const TSourcePixels& source, const TAxis& axis, int width, int fraction, int slots)
        : source_(source), axis_(axis), width_(width), fraction_(fraction), slots_(slots),
          rows_(size_t(slots) * size_t(width) * 4), tags_(size_t(slots), -1)
    {
    }

    // The row stays valid until `slots` further distinct rows are asked for.
    const uint16_t* Row(int32_t y)
    {
        const int slot = y % slots_;
        uint16_t* row = rows_.data() + size_t(slot) * size_t(width_) * 4;
        if (tags_[size_t(slot)] != y) {
            const auto* in = reinterpret_cast<const uint32_t*>(source_.Bits + int64_t(y) * source_.BytesPerLine);
            HorizontalPass(in, axis_, width_, fraction_, row);
            tags_[size_t(slot)] = y;
        }
        return row;
    }

private:
    const TSourcePixels& source_;
    const TAxis& axis_;
    int width_;
    int fraction_;
    int slots_;
    std::vector<uint16_t> rows_;
    std::vector<int32_t> tags_;
};

// The taps of target row i with a non-zero weight lie in [first, last].
void NonZeroTaps(const TAxis& axis, int i, int& first, int& last)
{
    const int32_t* weight = &axis.Weight[size_t(i) * size_t(axis.Taps)];
    first = 0;
    last = axis.Taps - 1;
    while (weight[first] == 0)
        ++first;
    while (weight[last] == 0)
        --last;
}

} // namespace

void AreaResample(const TSourcePixels& source, const TSourceArea& area, const TTargetPixels& target)
{
    const TAxis horizontal = BuildHorizontalAxis(area.Left, area.Width, target.Width, source.Width);
    const size_t channels = size_t(target.Width) * 4;
    // The vertical tap count decides the weight precision, so it is bounded
    // before the vertical axis is built: area taps are at most
    // ceil(len / dst) + 1, bilinear taps 2.
    const int64_t tapsBound = area.Height >= target.Height ? (area.Height + target.Height - 1) / target.Height + 1 : 2;

    if (tapsBound <= kPackedMaxTaps) {
        // The usual case: 14-bit row weights, all rows of a target row held
        // at once and combined by the 16-bit kernel.
        const int fraction = kMaxFractionBits;
        const TAxis vertical = BuildAxis(area.Top, area.Height, target.Height, source.Height, kPackedShift);
        const int64_t work = int64_t(target.Width) * target.Height * vertical.Taps
            + int64_t(target.Width) * std::min<int64_t>(area.Height, int64_t(target.Height) * vertical.Taps)
                * horizontal.Taps;
        ForEachRowBand(target.Height, work, [&](int first, int end) {
            TRowCache cache(source, horizontal, target.Width, fraction, std::max(vertical.Taps, 2));
            const uint16_t* rows[kPackedMaxTaps];
            int16_t weights[kPackedMaxTaps];
            for (int i = first; i < end; ++i) {
                int firstTap, lastTap;
                NonZeroTaps(vertical, i, firstTap, lastTap);
                const int32_t* index = &vertical.Index[size_t(i) * size_t(vertical.Taps)];
                const int32_t* weight = &vertical.Weight[size_t(i) * size_t(vertical.Taps)];
                const int n = lastTap - firstTap + 1;
                for (int t = 0; t < n; ++t) {
                    rows[t] = cache.Row(index[firstTap + t]);
                    weights[t] = int16_t(weight[firstTap + t]);
                }
                VerticalPackedRows(rows, weights, n, channels, fraction + kPackedShift,
                                   target.Bits + int64_t(i) * target.BytesPerLine);
            }
        });
        return;
    }

    // Many rows per target row: 32-bit accumulation, each row added as soon
    // as it is made.
    const int fraction = IntermediateFractionBits(int(std::min<int64_t>(tapsBound, 1 << 30)));
    const int verticalShift = kVerticalBits - fraction;
    const TAxis vertical = BuildAxis(area.Top, area.Height, target.Height, source.Height, verticalShift);
    const int outShift = fraction + verticalShift;
    const int64_t work = int64_t(target.Width) * (target.Height * int64_t(vertical.Taps) + area.Height * horizontal.Taps);
    ForEachRowBand(target.Height, work, [&](int first, int end) {
        TRowCache cache(source, horizontal, target.Width, fraction, 2);
        std::vector<uint32_t> acc(channels);
        for (int i = first; i < end; ++i) {
            int firstTap, lastTap;
            NonZeroTaps(vertical, i, firstTap, lastTap);
            const int32_t* index = &vertical.Index[size_t(i) * size_t(vertical.Taps)];
            const int32_t* weight = &vertical.Weight[size_t(i) * size_t(vertical.Taps)];
            VerticalStart(cache.Row(index[firstTap]), uint32_t(weight[firstTap]), channels, acc.data());
            for (int t = firstTap + 1; t < lastTap; ++t)
                if (weight[t] != 0)
                    VerticalAdd(cache.Row(index[t]), uint32_t(weight[t]), channels, acc.data());
            VerticalFinish(cache.Row(index[lastTap]), uint32_t(weight[lastTap]), acc.data(), channels, outShift,
                           target.Bits + int64_t(i) * target.BytesPerLine);
        }
    });
}

} // namespace Resample
