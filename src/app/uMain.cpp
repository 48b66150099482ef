#include "app/uMain.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <exception>

#include "app/CaptionFormat.h"
#include "app/TImageArea.h"
#include "display/TInfoMessage.h"
#include "display/uZorvinView.h"
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

    FArea = new TImageArea(this);
    setCentralWidget(FArea);
    resize(DefaultClientWidth, DefaultClientHeight);

    FOption = std::make_unique<TOption>(settingsFile, PrimaryScreenSize());
    FOption->LoadWindowPlacement(*this);
    FOption->Load();
    const uint32_t back = uint32_t(FOption->BackColor);
    FArea->SetBackColor(QColor(int(back & 0xFF), int((back >> 8) & 0xFF), int((back >> 16) & 0xFF)));
}

TfrmMain::~TfrmMain()
{
    SaveAtExit();
    FView.reset();  // stops the loader before the settings go
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FView)
        return;
    CreateView();
    if (!FStartPath.isEmpty())
        FView->OpenPath(FStartPath, true);
}

// The view is made at the first showing, when the client area has its size.
void TfrmMain::CreateView()
{
    FView = std::make_unique<TZorvinView>(FArea);
    FView->OnGetArea = [this](TZorvinView*, TViewArea& area) {
        area.Top = 0;
        area.Left = 0;
        area.Right = FArea->width();
        area.Bottom = FArea->height();
        area.Height = area.Bottom - area.Top + 1;
        area.Width = area.Right - area.Left + 1;
    };
    FView->OnPainted = [this](TZorvinView*) { UpdateCaption(); };
    FView->OnOpening = [this](TZorvinView*, const QString& path) {
        setWindowTitle(path + QStringLiteral(" を開いています"));
    };
    FView->OnLoading = [this](TZorvinView*, const QString& name) {
        if (!FOption->ShowLoading || name.isEmpty())
            return;
        TInfoMessage message(&FArea->Picture(), uint32_t(FOption->BackColor), font());
        message.Right = FArea->width();
        message.Bottom = FArea->height();
        FArea->Changed(message.DrawMessage(name + QStringLiteral(" を読み込んでいます...")));
    };
    TDecodeParams params;
    params.ScreenSize = PrimaryScreenSize();
    FView->Init(FOption.get(), params);
    FArea->OnResized = [this] { FView->RefreshView(true); };
}

void TfrmMain::UpdateCaption()
{
    if (!FView || !FView->HasImage()) {
        setWindowTitle(QLatin1String(CaptionFormat::Product));
        return;
    }
    TCaptionValues values;
    values.Folder = FView->CurrentFolder();
    values.Name = FView->CurrentName();
    values.Zoom = FView->Zoom();
    values.Index = FView->ImageIndex();
    values.Count = FView->ImageCount();
    values.Width = FView->ImageWidth();
    values.Height = FView->ImageHeight();
    setWindowTitle(CaptionFormat::Build(FOption->CaptionFormat, values));
}

void TfrmMain::NextImage()
{
    if (!FView)
        return;
    if (!FView->IsAtEnd())
        FView->StepNext();
    else if (FOption->LoopList && FView->ImageCount() > 0)
        FView->GoToIndex(0);
}

void TfrmMain::PrevImage()
{
    if (!FView)
        return;
    const int index = FView->ImageIndex();
    if (index != 0 && index != -1)
        FView->StepPrev();
    else if (FOption->LoopList && FView->ImageCount() > 0)
        FView->GoToIndex(FView->ImageCount() - 1);
}

// The default bindings until the key table is applied: Down and Up step.
void TfrmMain::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Down:
        NextImage();
        break;
    case Qt::Key_Up:
        PrevImage();
        break;
    default:
        QMainWindow::keyPressEvent(event);
    }
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
