#pragma once

#include "display/ResampleTypes.h"

namespace Resample {

// Speed mode: whole rows and columns dropped or repeated. Target column j
// takes source column area.Left + floor(j * area.Width / target.Width)
// (exact, in 64-bit integers), rows likewise; indices beyond the picture are
// held at its edge. Throws std::bad_alloc when its tables cannot be made.
void NearestResample(const TSourcePixels& source, const TSourceArea& area, const TTargetPixels& target);

// The source index that target index i of a dstLen-long axis takes from a
// srcLen-long one: floor(i * srcLen / dstLen).
inline int64_t NearestIndex(int64_t i, int64_t srcLen, int64_t dstLen)
{
    return i * srcLen / dstLen;
}

} // namespace Resample
