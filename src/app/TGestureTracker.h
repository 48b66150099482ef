#pragma once

#include <QPoint>
#include <cstdint>
#include <functional>

#include "settings/Bindings.h"

// The button a mouse event concerns.
enum class TMouseButton { Left, Right, Middle, Other };

// The mouse-tracking state of the main window's image area: turns presses,
// double presses, releases and moves into the eight gestures and into hand
// dragging of the image. It knows no widgets; the window gives it hooks.
// The mouse stays with the image area while a button is held (the window
// system's own capture), so a drag goes on outside the window.
//
// A single left press waits the double-click time less 330 ms before it
// becomes a drag, so that a double-click never starts one. The wait runs the
// event loop, so the release, the double press, keys and timers can all be
// handled inside it, including further calls into this object.
class TGestureTracker {
public:
    struct THooks {
        std::function<bool()> HasImage;
        std::function<void(TGesture)> RunGesture;
        std::function<void(bool grabbing)> SetGrabCursor; // false: the default cursor
        std::function<void(int dx, int dy)> ScrollBy;     // scrolls the view by image pixels
        std::function<int32_t()> DragSpeed;
        std::function<int()> DoubleClickTime;             // ms
        // Handles other events for ms milliseconds. False when the window
        // went away meanwhile: the tracker must not be touched then.
        std::function<bool(int ms)> Wait;
    };

    explicit TGestureTracker(THooks hooks);

    // plain: no Shift, Ctrl or Alt held; alone: no other button held.
    void Press(TMouseButton button, QPoint pos, bool plain, bool alone);
    // The second press of a double-click, in place of its press.
    void DoublePress(TMouseButton button, bool plain, bool alone);
    void Release(TMouseButton button, QPoint pos);
    void Move(QPoint pos, bool leftHeld);

    // Toward the user (below zero) is down; a turn away is up.
    static TGesture WheelGesture(int delta);

    bool Dragging() const { return IsDragging; }

    // The part of the double-click time that a double-click needs beyond
    // the wait.
    static constexpr int WaitSlack = 330;

private:
    THooks Hooks;
    QPoint PressPoint;      // of the last single left press
    bool HavePress = false; // a single left press was seen
    bool DoubleClicked = false;
    bool LeftDown = false;
    bool IsDragging = false;
    QPoint LastDrag;
};
