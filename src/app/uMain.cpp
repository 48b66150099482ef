#include "app/uMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QUrl>

#include <algorithm>
#include <exception>

#include "app/CaptionFormat.h"
#include "app/TImageArea.h"
#include "app/TMainClient.h"
#include "app/TMainInput.h"
#include "display/TInfoMessage.h"
#include "decode/HeadStartDecode.h"
#include "display/uZorvinView.h"
#include "platform/ProgramFolder.h"
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

constexpr int MouseCheckerInterval = 450;
constexpr int DelCurInterval = 1000;
constexpr int HintHidePause = 6000;  // ms
constexpr int IconDelayWithoutImage = 1000;  // ms

} // namespace

TfrmMain::TfrmMain(QWidget* parent)
    : TfrmMain(ProgramFolder::FilePath(QStringLiteral("Zorvin.ini")), parent)
{
}

TfrmMain::TfrmMain(const QString& settingsFile, QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QLatin1String(CaptionFormat::Product));
    setObjectName(QStringLiteral("frmMain"));
    // "MS Shell Dlg 2" at 12 pixels: a Japanese-capable face from Debian.
    QFont face(QStringLiteral("IPAPGothic"));
    face.setPixelSize(12);
    setFont(face);
    setAcceptDrops(true);
    // Modal to the window but without a nested event loop: a box raised
    // during the first showing comes before the application's loop runs,
    // where a blocking box would keep a termination signal from ending it.
    ShowWarning = [this](const QString& text, const QString& caption) {
        auto* box = new QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    };

    FActions = std::make_unique<TMainActions>(this);
    FArea = new TImageArea;
    FArea->setMouseTracking(true);
    FArea->installEventFilter(this);
    BuildChrome();
    FInput = std::make_unique<TMainInput>(this, FArea);
    FClient = new TMainClient(FDock, FArea, this);
    setCentralWidget(FClient);
    resize(DefaultClientWidth, DefaultClientHeight);
    setMinimumSize(SmallestWidth, SmallestHeight);

    FMouseChecker = new QTimer(this);
    FMouseChecker->setInterval(MouseCheckerInterval);
    connect(FMouseChecker, &QTimer::timeout, this, &TfrmMain::MouseCheckerTimer);
    FDelCurTimer = new QTimer(this);
    FDelCurTimer->setInterval(DelCurInterval);
    connect(FDelCurTimer, &QTimer::timeout, this, &TfrmMain::DelCurTimerTimer);
    InitSlideShow();

    FOption = std::make_unique<TOption>(settingsFile, PrimaryScreenSize());
    FOption->LoadWindowPlacement(*this);
    FOption->Load();
    const uint32_t back = uint32_t(FOption->BackColor);
    FArea->SetBackColor(QColor(int(back & 0xFF), int((back >> 8) & 0xFF), int((back >> 16) & 0xFF)));
    FDock->setVisible(FOption->MenuVisible);
    UpdateActions();
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
    // Qt shows the window again after a change of its flags (stay on top),
    // so the work of the first showing is guarded by the view's existence.
    FormShow();
    CreateView();
    const int order = FOption->SortOrder;
    static const char* const sorts[] = {"actSortName", "actSortSize", "actSortDate", "actSortRandom"};
    if (order >= 0 && order < 4)
        Act(sorts[order])->setChecked(true);
    Act("actSortAscend")->setChecked(FOption->SortAscend);
    if (FOption->StartFolder.isEmpty())
        FOption->StartFolder = ProgramFolder::Path();
    UpdateActions();
    ApplyKeyBindings();

    // The menus' icons come after the first picture is on screen; a window
    // that shows none gets them a moment after it appears.
    QTimer::singleShot(IconDelayWithoutImage, this, [this] {
        if (!FIconsLoaded) {
            FIconsLoaded = true;
            FActions->LoadIcons();
        }
    });
    if (!FStartPath.isEmpty())
        OpenPath(FStartPath, true);
    else if (FOption->OpenLastFile)
        OpenPath(FOption->LastFile, false);
}

void TfrmMain::FormShow()
{
    BuildProgramsMenu();
    FMouseChecker->start();
    Act("actToggleMenu")->setChecked(FOption->MenuVisible);
    FDock->setVisible(FOption->MenuVisible);
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
    FView->OnPainted = [this](TZorvinView*) {
        UpdateCaption();
        UpdateActions();
        if (!FIconsLoaded) {
            FIconsLoaded = true;
            FArea->AfterNextPaint = [this] { FActions->LoadIcons(); };
        }
    };
    FView->OnImageChanged = [this](TZorvinView*) { ImageChanged(); };
    FView->OnOpening = [this](TZorvinView*, const QString& path) {
        setWindowTitle(path + QStringLiteral(" を開いています"));
    };
    FView->OnError = [this](TZorvinView*, const QString& path, const QString& key) {
        if (key == QLatin1String(TZorvinView::FileNotSupported))
            ShowWarning(path + QStringLiteral(" はサポートされていない形式です"), QStringLiteral("読み込みエラー"));
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
    TDecodeFunc decode;
    if (FHeadStart) {
        // The loader's decodes as usual, except that the start file's picture
        // is taken from the head start when it matches.
        TDecodeParams p = params;
        p.BackColor = uint32_t(FOption->BackColor);
        decode = [head = FHeadStart, p](TBufImage* slot, const QString& path, bool autoRotate) {
            TDecodeParams q = p;
            q.AutoRotate = autoRotate;
            if (!head->Take(path, q, slot))
                LoadSlot(slot, path, q);
        };
        FHeadStart.reset();
    }
    FView->Init(FOption.get(), params, {}, std::move(decode));
    FArea->OnResized = [this] { FView->RefreshView(true); };
}

void TfrmMain::OpenPath(const QString& path, bool allowFolder)
{
    if (FView)
        FView->OpenPath(path, allowFolder);
}

void TfrmMain::ImageChanged()
{
    // Keys go to the window's commands, not to a control that kept focus.
    if (QWidget* focused = QApplication::focusWidget(); focused && focused != this)
        focused->clearFocus();
    FPosBar->setMaximum(std::max(0, FView->ImageCount() - 1));
    FPosBar->setValue(FView->ImageIndex());
    if (FOption->ResetZoom)
        Act("actShowWindowSize")->setChecked(true);
    // The overview's reopening and rebuilding come with the overview window.
    UpdateActions();
}

void TfrmMain::PosBarEndTrack()
{
    if (FView && FView->HasImage())
        FView->GoToIndex(FPosBar->value());
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

void TfrmMain::UpdateActions()
{
    FActions->Update(FView && FView->HasImage(), FFullScreen);
}

void TfrmMain::RunAction(QAction* action, TActionHandler handler)
{
    // The rule is run again: the state may have changed since the last update.
    if (!FActions->Allowed(action, FView && FView->HasImage(), FFullScreen)) {
        action->setEnabled(false);
        return;
    }
    (this->*handler)(action);
    UpdateActions();
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

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FArea && event->type() == QEvent::MouseMove)
        ShowCursorAgain();
    // Button hints stay on screen for six seconds.
    if (event->type() == QEvent::ToolTip && watched->parent() == FToolBar) {
        auto* button = static_cast<QWidget*>(watched);
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), button->toolTip(), button, {},
                           HintHidePause);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- dropped files ---------------------------------------------------------

void TfrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    // Only the first file counts.
    StopSlideShow();
    OpenPath(urls.first().toLocalFile(), true);
    activateWindow();
    raise();
}

// ---- exit ------------------------------------------------------------------

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
    FDelCurTimer->stop();
    FMouseChecker->stop();
    // A show running at exit puts back what it replaced first, so that the
    // settings file keeps the user's own enlarge setting and order, and the
    // placement saved is the window's, not the full screen's.
    StopSlideShow();
    setAcceptDrops(false);
    // A window that was never shown has no view: the stored last file stays.
    if (FView)
        FOption->LastFile = FView->CurrentFolder() + FView->CurrentName();
    if (!FFullScreen)
        FOption->MenuVisible = !FDock->isHidden();
    FOption->SortAscend = Act("actSortAscend")->isChecked();
    // A refused write at exit ends the saving silently: there is nobody left
    // to tell, and the old file stays whole. Closing in full screen keeps the
    // placement saved on entering it.
    try {
        FOption->Save();
        if (!FFullScreen)
            FOption->SaveWindowPlacement(*this);
    } catch (const std::exception&) {
    }
}

// ---- placement -------------------------------------------------------------

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

QSize TfrmMain::minimumSizeHint() const
{
    return QMainWindow::minimumSizeHint().expandedTo(QSize(SmallestWidth, SmallestHeight));
}
