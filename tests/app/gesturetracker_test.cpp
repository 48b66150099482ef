// The gesture state machine on its own: the parts of its contract that the
// window tests cannot reach easily (the length and absence of the wait, a
// window that goes away within it, drag steps from any DragSpeed).

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "app/TGestureTracker.h"

namespace {

struct Recorder {
    bool HasImage = true;
    int DoubleClickTime = 500;
    int32_t DragSpeed = 2;
    std::vector<int> Waits;
    std::vector<TGesture> Gestures;
    std::vector<QPoint> Scrolls;
    bool Grabbing = false;
    std::function<bool()> DuringWait = [] { return true; };

    TGestureTracker::THooks Hooks()
    {
        return {
            .HasImage = [this] { return HasImage; },
            .RunGesture = [this](TGesture g) { Gestures.push_back(g); },
            .SetGrabCursor = [this](bool on) { Grabbing = on; },
            .ScrollBy = [this](int dx, int dy) { Scrolls.emplace_back(dx, dy); },
            .DragSpeed = [this] { return DragSpeed; },
            .DoubleClickTime = [this] { return DoubleClickTime; },
            .Wait =
                [this](int ms) {
                    Waits.push_back(ms);
                    return DuringWait();
                },
        };
    }
};

constexpr TMouseButton Left = TMouseButton::Left;

// The wait is the double-click time less 330 ms, and none at all when that
// leaves nothing: the drag is then ready at once.
TEST(GestureTracker, WaitsTheDoubleClickTimeLess330)
{
    for (const auto& [time, waits] : std::vector<std::pair<int, std::vector<int>>> {
             { 500, { 170 } }, { 331, { 1 } }, { 330, {} }, { 100, {} }, { -5, {} } }) {
        Recorder r;
        r.DoubleClickTime = time;
        TGestureTracker tracker(r.Hooks());
        tracker.Press(Left, QPoint(5, 5), true, true);
        EXPECT_EQ(r.Waits, waits) << time;
        EXPECT_TRUE(tracker.Dragging()) << time;
        EXPECT_TRUE(r.Grabbing) << time;
    }
}

// A click whose release comes within the wait is a click and no drag.
TEST(GestureTracker, ReleaseWithinTheWaitStartsNoDrag)
{
    Recorder r;
    TGestureTracker tracker(r.Hooks());
    r.DuringWait = [&] {
        tracker.Release(Left, QPoint(7, 8));
        return true;
    };
    tracker.Press(Left, QPoint(7, 8), true, true);
    EXPECT_FALSE(tracker.Dragging());
    EXPECT_FALSE(r.Grabbing);
    EXPECT_EQ(r.Gestures, std::vector<TGesture> { TGesture::LeftClick });
    tracker.Move(QPoint(0, 0), true);
    EXPECT_TRUE(r.Scrolls.empty());
}

// A window closed and freed within the wait takes the tracker with it; the
// press must end without touching it (a sanitizer run sees any access).
TEST(GestureTracker, WindowGoneWithinTheWaitEndsThePress)
{
    Recorder r;
    auto tracker = std::make_unique<TGestureTracker>(r.Hooks());
    r.DuringWait = [&] {
        tracker.reset();
        return false;
    };
    tracker->Press(Left, QPoint(1, 1), true, true);
    EXPECT_EQ(tracker, nullptr);
    EXPECT_TRUE(r.Gestures.empty());
}

// A move without the left button ends a drag whose release went elsewhere,
// and the hand goes with it.
TEST(GestureTracker, MoveWithoutTheButtonEndsTheDrag)
{
    Recorder r;
    TGestureTracker tracker(r.Hooks());
    tracker.Press(Left, QPoint(10, 10), true, true);
    ASSERT_TRUE(tracker.Dragging());
    tracker.Move(QPoint(20, 20), false);
    EXPECT_FALSE(tracker.Dragging());
    EXPECT_FALSE(r.Grabbing);
    EXPECT_TRUE(r.Scrolls.empty());
    tracker.Move(QPoint(30, 30), true);
    EXPECT_TRUE(r.Scrolls.empty());
}

// DragSpeed is used as the settings file gives it; steps beyond 2^30
// pixels, which the view drops whole, are cut there so no sum overflows.
TEST(GestureTracker, DragStepsFollowAnyDragSpeed)
{
    constexpr int Limit = 1 << 30;
    const std::vector<std::pair<int32_t, QPoint>> cases {
        { 2, QPoint(2000, -600) },
        { 0, QPoint(0, 0) },
        { -1, QPoint(-1000, 300) },
        { std::numeric_limits<int32_t>::max(), QPoint(Limit, -Limit) },
        { std::numeric_limits<int32_t>::min(), QPoint(-Limit, Limit) },
    };
    for (const auto& [speed, step] : cases) {
        Recorder r;
        r.DragSpeed = speed;
        TGestureTracker tracker(r.Hooks());
        tracker.Press(Left, QPoint(1000, 0), true, true);
        tracker.Move(QPoint(0, 300), true);
        ASSERT_EQ(r.Scrolls.size(), 1u) << speed;
        EXPECT_EQ(r.Scrolls[0], step) << speed;
    }
}

TEST(GestureTracker, WheelTowardTheUserIsDown)
{
    EXPECT_EQ(TGestureTracker::WheelGesture(-1), TGesture::WheelDown);
    EXPECT_EQ(TGestureTracker::WheelGesture(-120), TGesture::WheelDown);
    EXPECT_EQ(TGestureTracker::WheelGesture(0), TGesture::WheelUp);
    EXPECT_EQ(TGestureTracker::WheelGesture(120), TGesture::WheelUp);
}

} // namespace
