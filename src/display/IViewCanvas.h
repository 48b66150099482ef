#pragma once

#include <QImage>
#include <QRect>

// Where the view draws: the client area's picture, in client coordinates.
// The view draws when it is called and then tells the canvas what changed;
// the window shows the canvas (a test keeps it as a picture).
class IViewCanvas {
public:
    virtual ~IViewCanvas() = default;
    virtual QImage& Picture() = 0;
    // The part that clearing the background fills.
    virtual QRect ClipRect() { return Picture().rect(); }
    virtual void Changed(const QRect& rect) { (void)rect; }
    // Puts what changed on screen now, not at the next turn of the event
    // loop: the two-stage reduction shows its fast picture this way before
    // the quality one is computed.
    virtual void Flush() {}
};
