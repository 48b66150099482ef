#pragma once

#include <QList>
#include <QObject>
#include <array>
#include <functional>

#include "app/TGestureTracker.h"
#include "settings/Bindings.h"

class QAction;
class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class QWidget;
class TfrmMain;

// The main window's keyboard and mouse bindings at work.
//
// Keys: the window sees every key press before its controls do. A press is
// looked up among the installed key bindings (the first function in the
// command order wins) and runs that function; keys bound to nothing go on
// to the controls and Qt's own shortcuts (the menu bar's Alt keys). The
// commands also carry the bound keys as their shortcuts, so that menus show
// them, but a bound key never reaches Qt's shortcut map: two commands
// sharing a key would make it run neither.
//
// Mouse: presses, releases and moves on the image area feed the gesture
// tracker; the wheel over the image area is a gesture, over any other
// control of the window it only gives that control the focus. A drag holds
// the mouse through Qt's own capture, which keeps it for the pressed widget
// until the last button is released; an explicit grab could outlive a
// release that a modal dialog kept from the window.
class TMainInput : public QObject {
public:
    TMainInput(TfrmMain* window, QWidget* area);
    ~TMainInput() override;

    // Installs the key texts of the forty functions, primary first, on the
    // function commands (functions[n] is function n).
    void ApplyKeyBindings(const std::array<TZvFunc, ZvFuncCount>& funcs, const QList<QAction*>& functions);

    // The function a key press runs, -1 for none. A key of the number row
    // that is not found by its character is tried as its digit, so that
    // "Shift+8" is the key marked 8 with Shift, not "*".
    int FindFunction(const QKeyEvent& event) const;

    const TGestureTracker& Tracker() const { return Gestures; }

    // The wait of a left press: handles all other events for ms
    // milliseconds; false when the window went away meanwhile. Tests put
    // in their own to play events that come within the wait.
    std::function<bool(int ms)> Wait;
    // The system's double-click time in ms.
    std::function<int()> DoubleClickTime;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OwnWidget(QObject* object) const;
    bool KeyEvent(QKeyEvent* event);
    void AreaMouse(QMouseEvent* event);
    bool WheelEvent(QObject* receiver, QWheelEvent* event);
    bool WaitProcessingEvents(int ms);

    TfrmMain* Window;
    QWidget* Area;
    TKeyBindings Bindings;
    TGestureTracker Gestures;
};
