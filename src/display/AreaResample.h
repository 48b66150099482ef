#pragma once

#include "display/ResampleTypes.h"

namespace Resample {

// Quality mode. Separable, horizontal pass then vertical. On an axis that is
// reduced (or kept), each target pixel is the area-weighted mean of the
// source pixels it covers, with fractional weights at its edges; on an axis
// that is enlarged, bilinear interpolation between pixel centres (held at
// the edges). Each channel of the 32-bit pixels is averaged on its own, so
// premultiplied alpha is averaged as it is. Fixed-point integer weights sum
// exactly to one on every target pixel, so a constant picture stays
// constant; the result is within +-1 of the exact mean for axes up to 16384
// source pixels per target pixel. Throws std::bad_alloc when its tables
// cannot be made.
void AreaResample(const TSourcePixels& source, const TSourceArea& area, const TTargetPixels& target);

} // namespace Resample
