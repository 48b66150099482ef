#pragma once

// Internal to the quality filter (AreaResample): the horizontal row kernel
// for the common case of at most 32 contiguous taps per target pixel, in
// 16-bit fixed point, with SIMD versions picked at run time.

#include <cstddef>
#include <cstdint>

namespace Resample {

// Weights of this kernel sum to 1 << kPackedShift on every target pixel.
constexpr int kPackedShift = 14;
// Beyond this many taps the 14-bit weights would round too coarsely.
constexpr int kPackedMaxTaps = 32;

// Target pixel j reads the 4 * groups source pixels starting at first[j].
// The weights of its group g start at PackedWeightAt(j, groups, g): 8 int16
// holding the weights of taps (0, 1) four times over, and 16 further on the
// same for taps (2, 3). Target pixels are laid out in pairs so the AVX2
// kernel loads the weights of two target pixels at once; the table has
// room for an even number of target pixels.
// Each channel becomes (sum + half) >> down, written as 4 x uint16 per
// target pixel; the caller keeps the results below 32768.
inline size_t PackedWeightAt(int j, int groups, int g)
{
    return size_t(j / 2) * size_t(groups) * 32 + size_t(g) * 32 + size_t(j % 2) * 8;
}

void HorizontalPackedRow(const uint32_t* in, const int32_t* first, const int16_t* weights, int groups, int count,
                         int down, uint16_t* out);

// The vertical combination of n (1..kPackedMaxTaps) intermediate rows with
// 14-bit weights (summing to 1 << kPackedShift, each row below 32768):
// out[i] = (sum of weights[r] * rows[r][i] + half) >> shift, for count
// elements.
void VerticalPackedRows(const uint16_t* const* rows, const int16_t* weights, int n, size_t count, int shift,
                        uint8_t* out);

// The kernel versions, for tests that hold them against each other.
enum class TPackedKernel { Plain, Sse2, Avx2 };
bool PackedKernelAvailable(TPackedKernel kernel);
void HorizontalPackedRowWith(TPackedKernel kernel, const uint32_t* in, const int32_t* first, const int16_t* weights,
                             int groups, int count, int down, uint16_t* out);
void VerticalPackedRowsWith(TPackedKernel kernel, const uint16_t* const* rows, const int16_t* weights, int n,
                            size_t count, int shift, uint8_t* out);

} // namespace Resample
