// Full screen: the window covers the screen without its dock, which the top
// edge reveals over the image; the resting cursor is hidden.

#include "app/uMain.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QTimer>

#include <cstdlib>
#include <exception>

#include "app/TImageArea.h"
#include "app/TMainClient.h"
#include "settings/uOption.h"

namespace {

constexpr int RestingSlack = 10;  // pixels the resting cursor may wander
constexpr int RevealRows = 3;     // the top rows that reveal the dock

} // namespace

void TfrmMain::actFullScreenExecute(QAction*)
{
    if (!FFullScreen) {
        try {
            FOption->SaveWindowPlacement(*this);
        } catch (const std::exception&) {
            // A settings file that cannot be written leaves the way back to
            // the placement read at start.
        }
        FFullScreen = true;
        FClient->SetOverlay(true);
        // The window manager is asked for full screen; the geometry covers
        // the screen also where no window manager answers.
        QScreen* here = screen() ? screen() : QGuiApplication::primaryScreen();
        setWindowState(windowState() | Qt::WindowFullScreen);
        if (here)
            setGeometry(here->geometry());
        FDock->hide();
        if (FOption->NoCursorInFullScreen) {
            FLastCursorPos = QCursor::pos();
            FDelCurTimer->start();
        }
        return;
    }
    FFullScreen = false;
    FClient->SetOverlay(false);
    setWindowState(windowState() & ~Qt::WindowFullScreen);
    if (Act("actToggleMenu")->isChecked())
        FDock->show();
    FOption->LoadWindowPlacement(*this);
    FDelCurTimer->stop();
    FCursorCount = 0;
    FArea->setCursor(FAreaCursor);
}

void TfrmMain::MouseCheckerTimer()
{
    const QPoint global = QCursor::pos();
    const QWidget* under = QApplication::widgetAt(global);
    if (under != FArea && under != FClient && under != this)
        return;
    if (!FFullScreen)
        return;
    const QPoint at = FClient->mapFromGlobal(global);
    if (FDock->isHidden() && at.y() <= RevealRows && at.x() >= 0 && at.x() < FClient->width())
        FDock->show();
    else if (!FDock->isHidden() && at.y() > FDock->height())
        FDock->hide();
}

void TfrmMain::DelCurTimerTimer()
{
    if (!FFullScreen || !FOption->NoCursorInFullScreen)
        return;
    const QPoint pos = QCursor::pos();
    const QWidget* under = QApplication::widgetAt(pos);
    if (!isActiveWindow() || (under != FArea && under != FClient && under != this))
        return;
    if (std::abs(pos.x() - FLastCursorPos.x()) <= RestingSlack
        && std::abs(pos.y() - FLastCursorPos.y()) <= RestingSlack) {
        if (QApplication::mouseButtons() & Qt::LeftButton)
            return;
        if (FCursorCount >= 0) {
            FCursorCount = -1;
            FArea->setCursor(Qt::BlankCursor);
        }
    }
    FLastCursorPos = pos;
}

void TfrmMain::ShowCursorAgain()
{
    if (!FFullScreen || !FOption->NoCursorInFullScreen || FCursorCount >= 0)
        return;
    const QPoint pos = QCursor::pos();
    if (pos != FLastCursorPos) {
        ++FCursorCount;
        if (FCursorCount >= 0)
            FArea->setCursor(FAreaCursor);
    }
    FLastCursorPos = pos;
}
