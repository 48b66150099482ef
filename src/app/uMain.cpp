#include "app/uMain.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <exception>

#include "platform/ProgramFolder.h"
#include "platform/TProfileFile.h"
#include "settings/uOption.h"

namespace {

QSize PrimaryScreenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

// A stored side that is empty, negative or absurd still gives a usable window.
int Side(int64_t from, int64_t to)
{
    return int(std::clamp<int64_t>(to - from, 1, QWIDGETSIZE_MAX));
}

} // namespace

TfrmMain::TfrmMain(QWidget* parent)
    : TfrmMain(ProgramFolder::FilePath(QStringLiteral("Zorvin.ini")), parent)
{
}

TfrmMain::TfrmMain(const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Zorvin Lite"));
    setObjectName(QStringLiteral("frmMain"));

    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("ImageArea"));
    area->setAutoFillBackground(true);
    QPalette palette = area->palette();
    palette.setColor(QPalette::Window, Qt::black);
    area->setPalette(palette);
    setCentralWidget(area);
    resize(DefaultClientWidth, DefaultClientHeight);

    FOption = std::make_unique<TOption>(settingsFile, PrimaryScreenSize());
    FOption->LoadWindowPlacement(*this);
    FOption->Load();
}

TfrmMain::~TfrmMain()
{
    SaveAtExit();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    SaveAtExit();
    event->accept();
}

void TfrmMain::SaveAtExit()
{
    if (FSaved)
        return;
    FSaved = true;
    // A refused write at exit ends the saving silently: there is nobody left
    // to tell, and the old file stays whole.
    try {
        FOption->Save();
        FOption->SaveWindowPlacement(*this);
    } catch (const std::exception&) {
    }
}

TWindowPlacement TfrmMain::GetWindowPlacement() const
{
    QRect normal = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
    if (!normal.isValid())
        normal = geometry();
    TWindowPlacement placement;
    placement.NormalRect = TWindowRect { normal.x(), normal.y(), normal.x() + normal.width(),
        normal.y() + normal.height() };
    placement.Maximized = isMaximized();
    return placement;
}

void TfrmMain::SetWindowPlacement(const TWindowPlacement& placement)
{
    const TWindowRect& r = placement.NormalRect;
    const int left = std::clamp(r.Left, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const int top = std::clamp(r.Top, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QRect wanted(left, top, Side(r.Left, r.Right), Side(r.Top, r.Bottom));
    // Nothing stored gives the current bounds back: leave the window where
    // the window manager puts it rather than pinning it there.
    if (wanted != CurrentBounds())
        setGeometry(wanted);
    if (placement.Maximized)
        setWindowState((windowState() & ~Qt::WindowFullScreen) | Qt::WindowMaximized);
    else
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
}

QRect TfrmMain::CurrentBounds() const
{
    return geometry();
}
