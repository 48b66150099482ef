#pragma once

#include <QRect>
#include <cstdint>

// A window rectangle as the settings file stores it: Right and Bottom are
// edges, so the width is Right - Left.
struct TWindowRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

struct TWindowPlacement {
    TWindowRect NormalRect; // the restored (not maximized) rectangle
    bool Maximized = false;
};

// What the settings need of the main window to save and restore its
// placement. The main window implements it; tests use a plain record.
class IWindowPlacement {
public:
    virtual ~IWindowPlacement() = default;
    virtual TWindowPlacement GetWindowPlacement() const = 0;
    virtual void SetWindowPlacement(const TWindowPlacement& placement) = 0;
    // The window's current left, top, width and height: the defaults of a
    // placement that was never saved.
    virtual QRect CurrentBounds() const = 0;
};
