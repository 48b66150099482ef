#include "app/TMainInput.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPointer>
#include <QSlider>
#include <QStyleHints>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include "app/uMain.h"
#include "display/uZorvinView.h"
#include "settings/uOption.h"

namespace {

constexpr Qt::KeyboardModifiers HeldKeys = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

TMouseButton ButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return TMouseButton::Left;
    case Qt::RightButton:
        return TMouseButton::Right;
    case Qt::MiddleButton:
        return TMouseButton::Middle;
    default:
        return TMouseButton::Other;
    }
}

} // namespace

TMainInput::TMainInput(TfrmMain* window, QWidget* area)
    : Window(window)
    , Area(area)
    , Gestures(TGestureTracker::THooks {
          .HasImage = [this] { return Window->View() && Window->View()->HasImage(); },
          .RunGesture = [this](TGesture gesture) { Window->RunGesture(gesture); },
          .SetGrabCursor =
              [this](bool grabbing) { Window->SetAreaCursor(grabbing ? Qt::ClosedHandCursor : Qt::ArrowCursor); },
          .ScrollBy = [this](int dx, int dy) { Window->ScrollView(dx, dy); },
          .DragSpeed = [this] { return Window->Option().DragSpeed; },
          .DoubleClickTime = [this] { return DoubleClickTime(); },
          .Wait = [this](int ms) { return Wait(ms); },
      })
{
    Wait = [this](int ms) { return WaitProcessingEvents(ms); };
    DoubleClickTime = [] { return QGuiApplication::styleHints()->mouseDoubleClickInterval(); };
    qApp->installEventFilter(this);
}

TMainInput::~TMainInput()
{
    qApp->removeEventFilter(this);
}

void TMainInput::ApplyKeyBindings(const std::array<TZvFunc, ZvFuncCount>& funcs, const QList<QAction*>& functions)
{
    Bindings = TKeyBindings(funcs);
    for (int i = 0; i < ZvFuncCount && i < functions.size(); ++i) {
        QList<QKeySequence> keys;
        for (const TKeyStroke& stroke : Bindings.Keys(i))
            keys << (stroke.IsEmpty() ? QKeySequence() : QKeySequence(stroke.Combination()));
        functions[i]->setShortcuts(keys);
    }
}

int TMainInput::FindFunction(const QKeyEvent& event) const
{
    const int func = Bindings.Find(StrokeOfKeyPress(event.key(), event.modifiers()));
    if (func >= 0 || event.modifiers().testFlag(Qt::KeypadModifier))
        return func;
    const TKeyStroke digit = NumberRowStroke(event.nativeScanCode(), event.modifiers() & HeldKeys);
    if (digit.IsEmpty() || digit.Key == event.key())
        return -1;
    return Bindings.Find(digit);
}

bool TMainInput::OwnWidget(QObject* object) const
{
    if (!object->isWidgetType())
        return false;
    return static_cast<QWidget*>(object)->window() == Window;
}

bool TMainInput::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
        // A popup menu of the window takes its own keys.
        if (OwnWidget(watched) && !QApplication::activePopupWidget()) {
            if (KeyEvent(static_cast<QKeyEvent*>(event)))
                return true;
            // The position bar ignores the keyboard, also when the wheel
            // has given it the focus: it moves with the list only.
            if (watched == Window->PosBar() && event->type() == QEvent::KeyPress)
                return true;
        }
        break;
    case QEvent::Wheel:
        if (OwnWidget(watched))
            return WheelEvent(watched, static_cast<QWheelEvent*>(event));
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        if (watched == Area)
            AreaMouse(static_cast<QMouseEvent*>(event));
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool TMainInput::KeyEvent(QKeyEvent* event)
{
    const int func = FindFunction(*event);
    if (func < 0)
        return false;
    // Accepting the override keeps the key from Qt's shortcut map; the
    // press itself then runs the function here and goes no further.
    event->accept();
    if (event->type() == QEvent::KeyPress)
        Window->RunFunction(func);
    return true;
}

void TMainInput::AreaMouse(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const TMouseButton button = ButtonOf(event->button());
    const bool plain = !(event->modifiers() & HeldKeys);
    const bool alone = !(event->buttons() & ~event->button());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        Gestures.Press(button, pos, plain, alone);
        break;
    case QEvent::MouseButtonDblClick:
        Gestures.DoublePress(button, plain, alone);
        break;
    case QEvent::MouseButtonRelease:
        Gestures.Release(button, pos);
        break;
    default:
        Gestures.Move(pos, event->buttons().testFlag(Qt::LeftButton));
        break;
    }
}

bool TMainInput::WheelEvent(QObject* receiver, QWheelEvent* event)
{
    // A tilt of the wheel, or the start or end of a touchpad scroll, turns
    // nothing up or down: no gesture for it.
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return false;
    event->accept();
    auto* widget = static_cast<QWidget*>(receiver);
    if (widget == Area || widget == Window || widget == Window->centralWidget()) {
        Window->RunGesture(TGestureTracker::WheelGesture(delta));
        return true;
    }
    // The control under the pointer: the position bar, else the bar of the
    // dock that holds the pointer, else the widget itself. It takes the
    // focus and nothing else: the position bar does not move.
    QWidget* control = widget;
    for (QWidget* w = widget; w && w != Window; w = w->parentWidget()) {
        if (w == Window->PosBar()) {
            control = w;
            break;
        }
        if (qobject_cast<QToolBar*>(w)) {
            control = w;
            break;
        }
    }
    control->setFocus(Qt::MouseFocusReason);
    return true;
}

bool TMainInput::WaitProcessingEvents(int ms)
{
    const QPointer<TMainInput> alive(this);
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return !alive.isNull();
}
