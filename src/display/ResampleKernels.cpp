#include "display/ResampleKernels.h"

#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace Resample {

namespace {

void PackedRowPlain(const uint32_t* in, const int32_t* first, const int16_t* weights, int groups, int count, int down,
                    uint16_t* out)
{
    const int32_t round = 1 << (down - 1);
    for (int j = 0; j < count; ++j) {
        int32_t acc[4] = {round, round, round, round};
        const auto* bytes = reinterpret_cast<const uint8_t*>(in + first[j]);
        for (int g = 0; g < groups; ++g) {
            const int16_t* w = weights + PackedWeightAt(j, groups, g);
            for (int t = 0; t < 4; ++t) {
                const int32_t wt = w[(t >> 1) * 16 + (t & 1)];
                for (int c = 0; c < 4; ++c)
                    acc[c] += wt * bytes[(4 * g + t) * 4 + c];
            }
        }
        for (int c = 0; c < 4; ++c)
            out[4 * j + c] = uint16_t(acc[c] >> down);
    }
}

void VerticalRowsPlain(const uint16_t* const* rows, const int16_t* weights, int n, size_t from, size_t count,
                       int shift, uint8_t* out)
{
    const int32_t round = 1 << (shift - 1);
    for (size_t i = from; i < count; ++i) {
        int32_t acc = round;
        for (int r = 0; r < n; ++r)
            acc += int32_t(weights[r]) * rows[r][i];
        out[i] = uint8_t(acc >> shift);
    }
}

#if defined(__x86_64__)

// Rows are taken in pairs, interleaved element by element, so one pmaddwd
// applies two row weights; an odd row count is paired with a zero weight.
int32_t PairWeights(const int16_t* weights, int n, int pair)
{
    const int r = 2 * pair;
    const int32_t second = r + 1 < n ? weights[r + 1] : 0;
    return int32_t(uint16_t(weights[r])) | int32_t(uint32_t(uint16_t(second)) << 16);
}

void VerticalRowsSse2(const uint16_t* const* rows, const int16_t* weights, int n, size_t count, int shift,
                      uint8_t* out)
{
    const int pairs = (n + 1) / 2;
    __m128i pairWeights[kPackedMaxTaps / 2];
    for (int p = 0; p < pairs; ++p)
        pairWeights[p] = _mm_set1_epi32(PairWeights(weights, n, p));
    const __m128i round = _mm_set1_epi32(1 << (shift - 1));
    const __m128i sh = _mm_cvtsi32_si128(shift);
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i lo = round;
        __m128i hi = round;
        for (int p = 0; p < pairs; ++p) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * p] + i));
            const __m128i b = 2 * p + 1 < n ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * p + 1] + i))
                                            : _mm_setzero_si128();
            lo = _mm_add_epi32(lo, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), pairWeights[p]));
            hi = _mm_add_epi32(hi, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), pairWeights[p]));
        }
        const __m128i v = _mm_packs_epi32(_mm_sra_epi32(lo, sh), _mm_sra_epi32(hi, sh));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
    }
    VerticalRowsPlain(rows, weights, n, i, count, shift, out);
}

__attribute__((target("avx2"))) void VerticalRowsAvx2(const uint16_t* const* rows, const int16_t* weights, int n,
                                                      size_t count, int shift, uint8_t* out)
{
    const int pairs = (n + 1) / 2;
    __m256i pairWeights[kPackedMaxTaps / 2];
    for (int p = 0; p < pairs; ++p)
        pairWeights[p] = _mm256_set1_epi32(PairWeights(weights, n, p));
    const __m256i round = _mm256_set1_epi32(1 << (shift - 1));
    const __m128i sh = _mm_cvtsi32_si128(shift);
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        __m256i half[2];
        for (int h = 0; h < 2; ++h) {
            __m256i lo = round;
            __m256i hi = round;
            const size_t at = i + 16 * size_t(h);
            for (int p = 0; p < pairs; ++p) {
                const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[2 * p] + at));
                const __m256i b = 2 * p + 1 < n
                    ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[2 * p + 1] + at))
                    : _mm256_setzero_si256();
                lo = _mm256_add_epi32(lo, _mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), pairWeights[p]));
                hi = _mm256_add_epi32(hi, _mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), pairWeights[p]));
            }
            // unpack and pack both work within 128-bit lanes: the order comes back.
            half[h] = _mm256_packs_epi32(_mm256_sra_epi32(lo, sh), _mm256_sra_epi32(hi, sh));
        }
        const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(half[0], half[1]), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), bytes);
    }
    VerticalRowsPlain(rows, weights, n, i, count, shift, out);
}

// Baseline x86-64: SSE2. Two neighbouring pixels are interleaved channel by
// channel into 16-bit lanes, so one pmaddwd applies two taps to all four
// channels.
void PackedRowSse2(const uint32_t* in, const int32_t* first, const int16_t* weights, int groups, int from, int count,
                   int down, uint16_t* out)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi32(1 << (down - 1));
    const __m128i shift = _mm_cvtsi32_si128(down);
    for (int j = from; j < count; ++j) {
        const uint32_t* p = in + first[j];
        __m128i acc = round;
        for (int g = 0; g < groups; ++g, p += 4) {
            const auto* w = reinterpret_cast<const __m128i*>(weights + PackedWeightAt(j, groups, g));
            const __m128i x01 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
            const __m128i x23 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 2));
            const __m128i i01 = _mm_unpacklo_epi8(_mm_unpacklo_epi8(x01, _mm_srli_si128(x01, 4)), zero);
            const __m128i i23 = _mm_unpacklo_epi8(_mm_unpacklo_epi8(x23, _mm_srli_si128(x23, 4)), zero);
            acc = _mm_add_epi32(acc, _mm_madd_epi16(i01, _mm_loadu_si128(w)));
            acc = _mm_add_epi32(acc, _mm_madd_epi16(i23, _mm_loadu_si128(w + 2)));
        }
        const __m128i v = _mm_sra_epi32(acc, shift);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * j), _mm_packs_epi32(v, v));
    }
}

// AVX2 machines: one byte shuffle spreads four pixels into the two
// interleaved tap pairs; two target pixels per 256-bit register.
template <int Groups>
__attribute__((target("avx2"), always_inline)) inline void PackedRowAvx2Groups(const uint32_t* in, const int32_t* first,
                                                                              const int16_t* weights, int groups,
                                                                              int count, int down, uint16_t* out)
{
    const __m256i pair01 = _mm256_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1, 0, -1, 4, -1, 1,
                                            -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1);
    const __m256i pair23 = _mm256_setr_epi8(8, -1, 12, -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1, 8, -1, 12,
                                            -1, 9, -1, 13, -1, 10, -1, 14, -1, 11, -1, 15, -1);
    const __m256i round = _mm256_set1_epi32(1 << (down - 1));
    const __m128i shift = _mm_cvtsi32_si128(down);
    const int g = Groups > 0 ? Groups : groups;
    const auto* w = reinterpret_cast<const __m256i*>(weights);
    int j = 0;
    for (; j + 1 < count; j += 2) {
        const uint32_t* p = in + first[j];
        const uint32_t* q = in + first[j + 1];
        __m256i acc = round;
        for (int k = 0; k < g; ++k, p += 4, q += 4, w += 2) {
            const __m256i x = _mm256_inserti128_si256(
                _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)), 1);
            acc = _mm256_add_epi32(acc, _mm256_madd_epi16(_mm256_shuffle_epi8(x, pair01), _mm256_loadu_si256(w)));
            acc = _mm256_add_epi32(acc, _mm256_madd_epi16(_mm256_shuffle_epi8(x, pair23), _mm256_loadu_si256(w + 1)));
        }
        const __m256i v = _mm256_sra_epi32(acc, shift);
        const __m128i packed = _mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * j), packed);
    }
    if (j < count)
        PackedRowSse2(in, first, weights, g, j, count, down, out);
}

__attribute__((target("avx2"))) void PackedRowAvx2(const uint32_t* in, const int32_t* first, const int16_t* weights,
                                                   int groups, int count, int down, uint16_t* out)
{
    switch (groups) {
    case 1: PackedRowAvx2Groups<1>(in, first, weights, groups, count, down, out); break;
    case 2: PackedRowAvx2Groups<2>(in, first, weights, groups, count, down, out); break;
    default: PackedRowAvx2Groups<0>(in, first, weights, groups, count, down, out); break;
    }
}

bool HasAvx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

#endif

} // namespace

bool PackedKernelAvailable(TPackedKernel kernel)
{
    switch (kernel) {
    case TPackedKernel::Plain: return true;
#if defined(__x86_64__)
    case TPackedKernel::Sse2: return true;
    case TPackedKernel::Avx2: return HasAvx2();
#endif
    default: return false;
    }
}

void HorizontalPackedRowWith(TPackedKernel kernel, const uint32_t* in, const int32_t* first, const int16_t* weights,
                             int groups, int count, int down, uint16_t* out)
{
    switch (kernel) {
#if defined(__x86_64__)
    case TPackedKernel::Sse2: PackedRowSse2(in, first, weights, groups, 0, count, down, out); return;
    case TPackedKernel::Avx2: PackedRowAvx2(in, first, weights, groups, count, down, out); return;
#endif
    default: PackedRowPlain(in, first, weights, groups, count, down, out); return;
    }
}

void VerticalPackedRowsWith(TPackedKernel kernel, const uint16_t* const* rows, const int16_t* weights, int n,
                            size_t count, int shift, uint8_t* out)
{
    switch (kernel) {
#if defined(__x86_64__)
    case TPackedKernel::Sse2: VerticalRowsSse2(rows, weights, n, count, shift, out); return;
    case TPackedKernel::Avx2: VerticalRowsAvx2(rows, weights, n, count, shift, out); return;
#endif
    default: VerticalRowsPlain(rows, weights, n, 0, count, shift, out); return;
    }
}

namespace {

TPackedKernel BestKernel()
{
#if defined(__x86_64__)
    return HasAvx2() ? TPackedKernel::Avx2 : TPackedKernel::Sse2;
#else
    return TPackedKernel::Plain;
#endif
}

} // namespace

void HorizontalPackedRow(const uint32_t* in, const int32_t* first, const int16_t* weights, int groups, int count,
                         int down, uint16_t* out)
{
    static const TPackedKernel kernel = BestKernel();
    HorizontalPackedRowWith(kernel, in, first, weights, groups, count, down, out);
}

void VerticalPackedRows(const uint16_t* const* rows, const int16_t* weights, int n, size_t count, int shift,
                        uint8_t* out)
{
    static const TPackedKernel kernel = BestKernel();
    VerticalPackedRowsWith(kernel, rows, weights, n, count, shift, out);
}

} // namespace Resample
