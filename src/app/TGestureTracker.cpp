#include "app/TGestureTracker.h"

#include <algorithm>
#include <utility>

namespace {

// A drag step is the mouse travel times a speed read as it stands from the
// settings file, so the product can be anything. Any step beyond 2^30 pixels
// passes every edge of any picture and is dropped whole by the view, like
// the exact one would be, and the view's own sums stay in range.
int DragStep(int from, int to, int32_t speed)
{
    constexpr int64_t Limit = int64_t(1) << 30;
    return int(std::clamp((int64_t(from) - to) * speed, -Limit, Limit));
}

} // namespace

TGestureTracker::TGestureTracker(THooks hooks)
    : Hooks(std::move(hooks))
{
}

void TGestureTracker::Press(TMouseButton button, QPoint pos, bool plain, bool alone)
{
    if (button == TMouseButton::Left) {
        PressPoint = pos;
        HavePress = true;
        LeftDown = true;
        if (Hooks.HasImage())
            Hooks.SetGrabCursor(true);
        DoubleClicked = false;
        const int wait = Hooks.DoubleClickTime() - WaitSlack;
        if (wait > 0 && !Hooks.Wait(wait))
            return;
        if (DoubleClicked)
            return;
        // A click released within the wait starts no drag: it would go on
        // without the button.
        if (LeftDown && Hooks.HasImage()) {
            IsDragging = true;
            LastDrag = pos;
        }
        return;
    }
    if (!plain || !alone)
        return;
    if (button == TMouseButton::Right)
        Hooks.RunGesture(TGesture::RightClick);
    else if (button == TMouseButton::Middle)
        Hooks.RunGesture(TGesture::WheelClick);
}

void TGestureTracker::DoublePress(TMouseButton button, bool plain, bool alone)
{
    DoubleClicked = true;
    switch (button) {
    case TMouseButton::Left:
        LeftDown = true;
        if (plain && alone)
            Hooks.RunGesture(TGesture::LeftDouble);
        break;
    case TMouseButton::Right:
        if (plain && alone)
            Hooks.RunGesture(TGesture::RightDouble);
        break;
    case TMouseButton::Middle:
        Hooks.RunGesture(TGesture::WheelDouble);
        break;
    case TMouseButton::Other:
        break;
    }
}

void TGestureTracker::Release(TMouseButton button, QPoint pos)
{
    Hooks.SetGrabCursor(false);
    const bool click = button == TMouseButton::Left && !DoubleClicked && HavePress && pos == PressPoint;
    if (button == TMouseButton::Left)
        LeftDown = false;
    IsDragging = false;
    if (click)
        Hooks.RunGesture(TGesture::LeftClick);
}

void TGestureTracker::Move(QPoint pos, bool leftHeld)
{
    if (!IsDragging)
        return;
    if (!leftHeld) {
        // The release went elsewhere; the hand goes with the drag.
        LeftDown = false;
        IsDragging = false;
        Hooks.SetGrabCursor(false);
        return;
    }
    const int32_t speed = Hooks.DragSpeed();
    const int dx = DragStep(LastDrag.x(), pos.x(), speed);
    const int dy = DragStep(LastDrag.y(), pos.y(), speed);
    LastDrag = pos;
    Hooks.ScrollBy(dx, dy);
}

TGesture TGestureTracker::WheelGesture(int delta)
{
    return delta < 0 ? TGesture::WheelDown : TGesture::WheelUp;
}
