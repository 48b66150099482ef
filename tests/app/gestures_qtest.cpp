// Mouse gestures and hand dragging on the real main window. Events go in
// through the window system's entry point with their own timestamps, so Qt
// itself decides which press is the second of a double-click. The wait of a
// left press is the test's: it plays the events that arrive within it.

#include <QtTest>

#include <QAction>
#include <QSlider>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <functional>
#include <limits>

#include "app/TMainInput.h"
#include "WindowTestBase.h"
#include "app/uMain.h"
#include "display/uZorvinView.h"
#include "settings/uOption.h"

class GesturesTest : public TWindowTestBase {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(MakeSandbox());
        // Far larger than the area: at actual size it scrolls both ways.
        MakeBmp(QStringLiteral("a.bmp"), QSize(2000, 1500));
        MakeBmp(QStringLiteral("b.bmp"), QSize(40, 30));
        MakeBmp(QStringLiteral("c.bmp"), QSize(40, 30));
        Waits.clear();
        DuringWait = nullptr;
        Ran.clear();
        Clock += 100000;  // no double-click with an earlier test's presses
        Buttons = {};     // nor a button a failed test left held
    }

    void cleanup()
    {
        Window.reset();
    }

    // The first release is a click; the second press, whether it comes
    // within the wait or after it, is the double press, and no drag is left
    // running either way.
    void leftDoubleClickIsClickThenDoubleWithoutDrag_data()
    {
        QTest::addColumn<bool>("withinWait");
        QTest::newRow("second press within the wait") << true;
        QTest::newRow("second press after the wait") << false;
    }

    void leftDoubleClickIsClickThenDoubleWithoutDrag()
    {
        QFETCH(bool, withinWait);
        ShowFolder();
        ClearGestures();
        Bind("ZoomIn", "MS_LEFTCLICK");
        Bind("ZoomOut", "MS_LEFTDOUBLE");
        const QPoint at(200, 150);
        QStringList atFirstRelease;
        const auto secondClick = [&] {
            Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, at);
            atFirstRelease = Ran;
            Mouse(QEvent::MouseButtonPress, Qt::LeftButton, at);
        };
        if (withinWait)
            DuringWait = secondClick;
        Mouse(QEvent::MouseButtonPress, Qt::LeftButton, at);
        QCOMPARE(Input().Tracker().Dragging(), !withinWait);
        if (!withinWait)
            secondClick();
        Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, at);

        QCOMPARE(atFirstRelease, QStringList { "actZoomIn" });
        QCOMPARE(Ran, (QStringList { "actZoomIn", "actZoomOut" }));
        QCOMPARE(Waits, QList<int> { 170 });  // the double press does not wait
        QVERIFY(!Input().Tracker().Dragging());
        QCOMPARE(Area()->cursor().shape(), Qt::ArrowCursor);
    }

    // The click needs the release at the very point of the press.
    void clickNeedsTheExactPressPoint_data()
    {
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<QStringList>("ran");
        QTest::newRow("same point") << QPoint(100, 100) << QStringList { "actZoomIn" };
        QTest::newRow("one pixel right") << QPoint(101, 100) << QStringList {};
        QTest::newRow("one pixel up") << QPoint(100, 99) << QStringList {};
    }

    void clickNeedsTheExactPressPoint()
    {
        QFETCH(QPoint, release);
        QFETCH(QStringList, ran);
        ShowFolder();
        ClearGestures();
        Bind("ZoomIn", "MS_LEFTCLICK");
        Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(100, 100));
        Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, release);
        QCOMPARE(Ran, ran);
    }

    // Moves within the wait scroll nothing; the first move after it scrolls
    // by the whole way from the press, times DragSpeed; the release ends it.
    void dragScrollsAfterTheWaitByTheWholeDistance()
    {
        ShowFolder();
        Act("actShowActualSize")->trigger();
        QCOMPARE(View()->Zoom(), 100);
        Window->Option().DragSpeed = 3;
        ClearGestures();
        Ran.clear();
        Bind("ZoomIn", "MS_LEFTCLICK");
        QPoint scrollInWait(-1, -1);
        Qt::CursorShape cursorInWait = Qt::ArrowCursor;
        DuringWait = [&] {
            Mouse(QEvent::MouseMove, Qt::NoButton, QPoint(190, 140));
            scrollInWait = View()->Scroll();
            cursorInWait = Area()->cursor().shape();
        };
        Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(200, 150));
        QCOMPARE(scrollInWait, QPoint(0, 0));
        QCOMPARE(cursorInWait, Qt::ClosedHandCursor);
        QVERIFY(Input().Tracker().Dragging());

        Mouse(QEvent::MouseMove, Qt::NoButton, QPoint(180, 145));
        QCOMPARE(View()->Scroll(), QPoint(60, 15));
        Mouse(QEvent::MouseMove, Qt::NoButton, QPoint(170, 145));
        QCOMPARE(View()->Scroll(), QPoint(90, 15));
        Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(170, 145));
        QVERIFY(!Input().Tracker().Dragging());
        QCOMPARE(Area()->cursor().shape(), Qt::ArrowCursor);
        Mouse(QEvent::MouseMove, Qt::NoButton, QPoint(100, 100));
        QCOMPARE(View()->Scroll(), QPoint(90, 15));
        QCOMPARE(Ran, QStringList {});  // released elsewhere: no click
    }

    // The drag commands go the same way, by DragPixel and DragPixel2, and
    // DragSpeed has no part in them.
    void dragCommandsScrollByTheirDistances()
    {
        ShowFolder();
        Act("actShowActualSize")->trigger();
        Window->Option().DragPixel = 7;
        Window->Option().DragPixel2 = 40;
        Window->Option().DragSpeed = 5;
        const std::pair<const char*, QPoint> steps[] = {
            {"actDragRight", {7, 0}},  {"actDragRight2", {47, 0}}, {"actDragBottom2", {47, 40}},
            {"actDragBottom", {47, 47}}, {"actDragLeft", {40, 47}}, {"actDragTop2", {40, 7}},
            {"actDragTop", {40, 0}},   {"actDragLeft2", {0, 0}},
        };
        for (const auto& [name, scroll] : steps) {
            Act(name)->trigger();
            QCOMPARE(View()->Scroll(), scroll);
        }
        // A distance from the settings file beyond any picture is dropped.
        Window->Option().DragPixel = std::numeric_limits<int32_t>::min();
        Act("actDragLeft")->trigger();
        QCOMPARE(View()->Scroll(), QPoint(0, 0));
    }

    // Without an image: no hand, no drag, no capture, but the click runs.
    void withoutImageTheClickStillRuns()
    {
        MakeWindow();
        Window->show();
        QVERIFY(QTest::qWaitForWindowExposed(Window.get()));
        QVERIFY(!View()->HasImage());
        ClearGestures();
        Bind("ToggleMenu", "MS_LEFTCLICK");
        Qt::CursorShape cursorInWait = Qt::BlankCursor;
        DuringWait = [&] { cursorInWait = Area()->cursor().shape(); };
        Mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(50, 60));
        QCOMPARE(cursorInWait, Qt::ArrowCursor);
        QVERIFY(!Input().Tracker().Dragging());
        Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(50, 60));
        QCOMPARE(Ran, QStringList { "actToggleMenu" });
        QVERIFY(!Window->MenuDock()->isVisible());
    }

    // Which presses make gestures: right and middle clicks and the left and
    // right double presses need no modifier and no other button; the middle
    // double press takes whatever is held. The left click ignores modifiers.
    void modifierRules_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("twice");
        QTest::addColumn<Qt::KeyboardModifiers>("mods");
        QTest::addColumn<bool>("leftHeld");
        QTest::addColumn<QStringList>("ran");
        const Qt::KeyboardModifiers none;
        QTest::newRow("right") << Qt::RightButton << false << none << false << QStringList { "actShowActualSize" };
        QTest::newRow("right+ctrl") << Qt::RightButton << false << Mods(Qt::ControlModifier) << false
                                    << QStringList {};
        QTest::newRow("right+alt") << Qt::RightButton << false << Mods(Qt::AltModifier) << false << QStringList {};
        // The left button's own click comes at its release.
        QTest::newRow("right, left held") << Qt::RightButton << false << none << true
                                          << QStringList { "actZoomIn" };
        QTest::newRow("right double") << Qt::RightButton << true << none << false
                                       << QStringList { "actShowActualSize", "actShowWindowSize" };
        QTest::newRow("left double") << Qt::LeftButton << true << none << false
                                     << QStringList { "actZoomIn", "actZoomOut" };
        QTest::newRow("left double+shift") << Qt::LeftButton << true << Mods(Qt::ShiftModifier) << false
                                           << QStringList { "actZoomIn" };
        QTest::newRow("middle") << Qt::MiddleButton << false << none << false << QStringList { "actDragLeft" };
        QTest::newRow("middle+shift") << Qt::MiddleButton << false << Mods(Qt::ShiftModifier) << false
                                      << QStringList {};
        QTest::newRow("middle double+ctrl") << Qt::MiddleButton << true << Mods(Qt::ControlModifier) << false
                                            << QStringList { "actDragRight" };
        QTest::newRow("middle double, left held") << Qt::MiddleButton << true << none << true
                                                  << QStringList { "actDragRight" };
    }

    void modifierRules()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, twice);
        QFETCH(Qt::KeyboardModifiers, mods);
        QFETCH(bool, leftHeld);
        QFETCH(QStringList, ran);
        ShowFolder();
        ClearGestures();
        Bind("ZoomIn", "MS_LEFTCLICK");
        Bind("ZoomOut", "MS_LEFTDOUBLE");
        Bind("ShowActSize", "MS_RIGHTCLICK");
        Bind("ShowWinSize", "MS_RIGHTDOUBLE");
        Bind("DragLeft", "MS_WHEELCLICK");
        Bind("DragRight", "MS_WHEELDOUBLE");
        const QPoint at(120, 80);
        if (leftHeld)
            Mouse(QEvent::MouseButtonPress, Qt::LeftButton, at);
        Mouse(QEvent::MouseButtonPress, button, at, mods);
        Mouse(QEvent::MouseButtonRelease, button, at, mods);
        if (twice) {
            Mouse(QEvent::MouseButtonPress, button, at, mods);
            Mouse(QEvent::MouseButtonRelease, button, at, mods);
        }
        if (leftHeld)
            Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, at);
        QCOMPARE(Ran, ran);
    }

    // With one gesture bound to two functions the first in table order runs,
    // and the bindings are read at each gesture, with no applying.
    void gestureConflictsGoByTableOrder()
    {
        ShowFolder();
        ClearGestures();
        KeepFromRunning("actExit");
        KeepFromRunning("actDelete");
        Bind("Refresh", "MS_WHEELDOWN");
        Bind("Close", "MS_RIGHTDOUBLE,MS_WHEELDOWN");
        Wheel(Area(), -120);
        Bind("Close", "");
        Bind("NextImage", "MS_WHEELUP");
        Bind("Delete", "MS_WHEELUP");
        Wheel(Area(), 120);
        QCOMPARE(Ran, (QStringList { "actExit", "actNextImage" }));
        QTRY_VERIFY(Window->windowTitle().contains(QStringLiteral("b.bmp  [2/3]")));
    }

    // Out of the box: the wheel steps through the folder, the middle button
    // toggles full screen; one step per event, whatever the delta.
    void defaultGestures()
    {
        ShowFolder();
        Wheel(Area(), -360);
        QTRY_VERIFY(Window->windowTitle().contains(QStringLiteral("b.bmp  [2/3]")));
        Wheel(Area(), 120);
        QTRY_VERIFY(Window->windowTitle().contains(QStringLiteral("a.bmp  [1/3]")));
        Wheel(Area(), 0, 120);  // a tilt of the wheel is no turn
        Mouse(QEvent::MouseButtonPress, Qt::MiddleButton, QPoint(30, 30));
        Mouse(QEvent::MouseButtonRelease, Qt::MiddleButton, QPoint(30, 30));
        QVERIFY(Window->InFullScreen());
        QCOMPARE(Ran, (QStringList { "actNextImage", "actPrevImage", "actFullScreen" }));
    }

    // The wheel over the position bar gives the bar the focus and nothing
    // else: no gesture, the bar stays where it is.
    void wheelOverThePositionBarTakesTheFocusOnly()
    {
        ShowFolder();
        Window->activateWindow();
        QTRY_VERIFY(Window->isActiveWindow());
        QSlider* bar = Window->PosBar();
        QVERIFY(!bar->hasFocus());
        Wheel(bar, -120);
        Wheel(bar, 120);
        QVERIFY(bar->hasFocus());
        QCOMPARE(bar->value(), 0);
        QCOMPARE(Ran, QStringList {});
        QCoreApplication::processEvents();
        QCOMPARE(View()->CurrentName(), QStringLiteral("a.bmp"));
        // Keys still go to the window's commands first, and the bar does
        // not move with the others.
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_PageUp, Qt::Key_End})
            QTest::keyClick(bar, key);
        QCOMPARE(bar->value(), 0);
        QTest::keyClick(bar, Qt::Key_Down);
        QCOMPARE(Ran, QStringList { "actNextImage" });
    }

private:
    static Qt::KeyboardModifiers Mods(Qt::KeyboardModifier m) { return m; }

    void MakeBmp(const QString& name, QSize size)
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(QColor(40, 90, 160));
        QVERIFY(picture.save(Folder + name, "BMP"));
    }

    void MakeWindow()
    {
        Window = std::make_unique<TfrmMain>(Ini);
        Input().DoubleClickTime = [] { return 500; };
        Input().Wait = [this](int ms) {
            Waits << ms;
            if (auto play = std::exchange(DuringWait, nullptr))
                play();
            return true;
        };
        for (QAction* action : Window->Actions().Functions())
            connect(action, &QAction::triggered, this, [this, action] { Ran << action->objectName(); });
    }

    void ShowFolder()
    {
        MakeWindow();
        Window->SetStartPath(Folder);
        Window->show();
        QVERIFY(QTest::qWaitForWindowExposed(Window.get()));
        QTRY_VERIFY(Window->windowTitle().startsWith(Folder + QStringLiteral("a.bmp  [1/3]")));
    }

    void Bind(const char* function, const char* gestures)
    {
        for (TZvFunc& func : Window->Option().ZvFuncs)
            if (func.Name == QLatin1String(function))
                func.Mouse = QString::fromLatin1(gestures);
    }

    void ClearGestures()
    {
        for (TZvFunc& func : Window->Option().ZvFuncs)
            func.Mouse.clear();
    }

    // The command still counts as run, but its handler stays out.
    void KeepFromRunning(const char* name)
    {
        QVERIFY(disconnect(Act(name), &QAction::triggered, Window.get(), nullptr));
    }

    void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint areaPos, Qt::KeyboardModifiers mods = {})
    {
        if (type == QEvent::MouseButtonPress)
            Buttons |= button;
        else if (type == QEvent::MouseButtonRelease)
            Buttons &= ~Qt::MouseButtons(button);
        Clock += 20;
        QWindow* handle = Window->windowHandle();
        const QPointF local = Area()->mapTo(Window.get(), areaPos);
        qt_handleMouseEvent(handle, local, handle->mapToGlobal(local), Buttons, button, type, mods, Clock);
    }

    void Wheel(QWidget* target, int delta, int tilt = 0)
    {
        const QPointF at = QPointF(target->rect().center());
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(tilt, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }

    TMainInput& Input() const { return Window->Input(); }
    TZorvinView* View() const { return Window->View(); }
    QWidget* Area() const { return Window->findChild<QWidget*>(QStringLiteral("ImageArea")); }
    QAction* Act(const char* name) const { return Window->Actions()[name]; }

    std::unique_ptr<TfrmMain> Window;
    QList<int> Waits;
    std::function<void()> DuringWait;
    QStringList Ran;
    Qt::MouseButtons Buttons;
    int Clock = 0;
};

QTEST_MAIN(GesturesTest)
#include "gestures_qtest.moc"
