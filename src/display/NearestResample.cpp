#include "display/NearestResample.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace Resample {

void NearestResample(const TSourcePixels& source, const TSourceArea& area, const TTargetPixels& target)
{
    std::vector<int32_t> columns(size_t(target.Width));
    for (int j = 0; j < target.Width; ++j)
        columns[size_t(j)] = int32_t(std::clamp<int64_t>(area.Left + NearestIndex(j, area.Width, target.Width),
                                                         0, source.Width - 1));

    // A column run that is the picture's own row, unscaled, is copied whole.
    const bool rowIsCopy = area.Width == target.Width && area.Left >= 0
        && area.Left + area.Width <= source.Width;

    const int64_t work = int64_t(target.Width) * target.Height;
    ForEachRowBand(target.Height, work, [&](int first, int end) {
        const int32_t* col = columns.data();
        for (int i = first; i < end; ++i) {
            const int64_t sy = std::clamp<int64_t>(area.Top + NearestIndex(i, area.Height, target.Height),
                                                   0, source.Height - 1);
            const auto* in = reinterpret_cast<const uint32_t*>(source.Bits + sy * source.BytesPerLine);
            auto* out = reinterpret_cast<uint32_t*>(target.Bits + int64_t(i) * target.BytesPerLine);
            if (rowIsCopy) {
                std::memcpy(out, in + area.Left, size_t(target.Width) * 4);
                continue;
            }
            for (int j = 0; j < target.Width; ++j)
                out[j] = in[col[j]];
        }
    });
}

} // namespace Resample
