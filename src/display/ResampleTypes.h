#pragma once

// Internal to the scaling routines (uImageUtils): the picture memory the
// resamplers read and write, and the row splitting over the cores.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace Resample {

// 32-bit pixels read in place. The rectangle taken from it is given in
// source coordinates and may reach past the edges: such samples take the
// nearest edge pixel.
struct TSourcePixels {
    const unsigned char* Bits = nullptr;
    std::ptrdiff_t BytesPerLine = 0;
    int Width = 0;
    int Height = 0;
};

struct TSourceArea {
    int64_t Left = 0;
    int64_t Top = 0;
    int64_t Width = 0;   // >= 1
    int64_t Height = 0;  // >= 1
};

struct TTargetPixels {
    unsigned char* Bits = nullptr;
    std::ptrdiff_t BytesPerLine = 0;
    int Width = 0;
    int Height = 0;
};

// Runs body(firstRow, endRow) over [0, rows), split into contiguous bands
// that threads on up to the available cores take in turn, when work (a
// rough count of pixel operations) makes the thread start-up worth it. Each
// band runs exactly once, and body may run on several threads at once; the
// call returns after all have finished. An exception in a band is rethrown
// (bands not yet started are then skipped).
void ForEachRowBand(int rows, int64_t work, const std::function<void(int, int)>& body);

} // namespace Resample
