#pragma once

#include <cstdint>

// The view's drawing area in client coordinates. Height and Width are one
// more than the pixel counts they span (client width + 1): every placement
// formula of the view uses them as they stand.
struct TViewArea {
    int32_t Top = 0;
    int32_t Left = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Height = 0;
    int32_t Width = 0;
};
