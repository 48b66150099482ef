#include "app/uMain.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QHelpEvent>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <exception>

#include "app/CaptionFormat.h"
#include "app/TImageArea.h"
#include "app/TMainClient.h"
#include "app/uAbout.h"
#include "display/TInfoMessage.h"
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

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

// "Name|*.A;*.B" in Qt's form "Name (*.A *.B *.a *.b)": Linux names are
// case-sensitive, so both letter cases are offered.
QString QtFilter(const char* filter)
{
    const QString text = QString::fromLatin1(filter);
    const QString name = text.section(QLatin1Char('|'), 0, 0);
    const QStringList upper = text.section(QLatin1Char('|'), 1).split(QLatin1Char(';'));
    QStringList patterns = upper;
    for (const QString& pattern : upper)
        patterns << pattern.toLower();
    return name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QToolBar* FixedToolBar(const QString& caption, const char* name, QWidget* parent)
{
    auto* bar = new QToolBar(caption, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    return bar;
}

constexpr int MouseCheckerInterval = 450;
constexpr int DelCurInterval = 1000;
constexpr int RestingSlack = 10;   // pixels the resting cursor may wander
constexpr int RevealRows = 3;      // the top rows that reveal the dock
constexpr int LanguageJapanese = 1041;
constexpr int HintHidePause = 6000;  // ms

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

void TfrmMain::BuildChrome()
{
    FDock = new QWidget;
    FDock->setObjectName(QStringLiteral("MenuDock"));

    FMenuBar = FixedToolBar(Utf8("メニュー"), "MenuBar", FDock);
    auto* menus = new QMenuBar(FMenuBar);
    menus->setNativeMenuBar(false);
    FMenuBar->addWidget(menus);
    const auto addMenu = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (name)
                menu->addAction(Act(name));
            else
                menu->addSeparator();
        }
        connect(menu, &QMenu::aboutToShow, this, &TfrmMain::UpdateActions);
    };

    QMenu* file = menus->addMenu(Utf8("ファイル(&F)"));
    addMenu(file, {"actOpen", nullptr, "actOpenCurDir", "actShowProperty", nullptr, "actExit"});

    QMenu* operate = menus->addMenu(Utf8("操作(&D)"));
    FProgramsMenu = operate->addMenu(Utf8("外部プログラムで開く"));
    connect(FProgramsMenu, &QMenu::aboutToShow, this, &TfrmMain::UpdateActions);
    addMenu(operate, {"actSetWallPaper", nullptr, "actDelete", "actCopyFile", "actMoveFile", nullptr,
                      "actRotateRight", "actRotateLeft"});

    QMenu* view = menus->addMenu(Utf8("表示(V)"));
    addMenu(view, {"ActSlideShow", "actPauseSlideShow", nullptr});
    QMenu* sort = view->addMenu(Utf8("リストの並び順"));
    addMenu(sort, {"actSortName", "actSortSize", "actSortDate", "actSortRandom", nullptr, "actSortAscend"});
    addMenu(view, {nullptr, "actZoomIn", "actZoomOut", nullptr, "actShowWindowSize", "actShowActualSize",
                   nullptr, "actShowOverview", "actFullScreen", nullptr, "actShowTop", "actRefresh"});

    QMenu* settings = menus->addMenu(Utf8("設定(&S)"));
    addMenu(settings, {"actCustomizeToolBar", nullptr});
    // The built-in Japanese until language files come.
    FLanguageMenu = settings->addMenu(Utf8("言語"));
    auto* languages = new QActionGroup(FLanguageMenu);
    QAction* japanese = FLanguageMenu->addAction(Utf8("日本語"));
    japanese->setData(LanguageJapanese);
    japanese->setCheckable(true);
    japanese->setChecked(true);
    languages->addAction(japanese);
    addMenu(settings, {nullptr, "actShowOption"});

    QMenu* help = menus->addMenu(Utf8("ヘルプ(&H)"));
    addMenu(help, {"actShowAbout"});

    FToolBar = FixedToolBar(Utf8("ツールバー"), "ToolBar", FDock);
    for (const char* name : {"actOpen", "", "actPrevImage", "actNextImage", "", "actFullScreen", "",
                             "actZoomOut", "actZoomIn"}) {
        if (*name) {
            FActions->LoadIcon(Act(name));
            FToolBar->addAction(Act(name));
            FToolBar->widgetForAction(Act(name))->installEventFilter(this);
        }
        else
            FToolBar->addSeparator();
    }

    FPositionToolBar = FixedToolBar(Utf8("ポジション・履歴バー"), "PositionToolBar", FDock);
    FPosBar = new QSlider(Qt::Horizontal, FPositionToolBar);
    FPosBar->setObjectName(QStringLiteral("PosBar"));
    FPosBar->setFixedSize(121, 19);
    // Arrow keys belong to the window's commands, not to the bar.
    FPosBar->setFocusPolicy(Qt::NoFocus);
    FPosBar->setRange(0, 0);
    FPositionToolBar->addWidget(FPosBar);
    connect(FPosBar, &QSlider::sliderReleased, this, &TfrmMain::PosBarEndTrack);
    // A click on the channel moves by a page; the move ends with the click.
    connect(FPosBar, &QSlider::actionTriggered, this, [this](int action) {
        if (action == QAbstractSlider::SliderPageStepAdd || action == QAbstractSlider::SliderPageStepSub)
            QTimer::singleShot(0, this, &TfrmMain::PosBarEndTrack);
    });

    auto* layout = new QVBoxLayout(FDock);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FMenuBar);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(FToolBar);
    row->addWidget(FPositionToolBar);
    row->addStretch();
    layout->addLayout(row);

    // The dock's own menu, which also stands in for the system menu's
    // entries that bring back a hidden bar together with the dock; Alt+Space
    // opens it too.
    FDock->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FDock, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ShowWindowMenu(FDock->mapToGlobal(at)); });
    auto* windowMenuKey = new QShortcut(QKeySequence(QStringLiteral("Alt+Space")), this);
    connect(windowMenuKey, &QShortcut::activated, this,
            [this] { ShowWindowMenu(mapToGlobal(QPoint(0, 0))); });
}

void TfrmMain::ShowWindowMenu(const QPoint& at)
{
    QMenu menu(this);
    menu.addAction(Act("actCustomizeToolBar"));
    menu.addSeparator();
    const std::pair<const char*, int> items[] = {
        {"メニューの表示(&E)", WindowMenuShowMenu},
        {"ツールバーの表示(&T)", WindowMenuShowToolBar},
        {"ポジション・履歴バーの表示(&P)", WindowMenuShowPositionBar},
    };
    for (const auto& [text, command] : items) {
        connect(menu.addAction(Utf8(text)), &QAction::triggered, this,
                [this, command = command] { WindowMenuCommand(command); });
    }
    menu.exec(at);
}

void TfrmMain::WindowMenuCommand(int command)
{
    QToolBar* bar = command == WindowMenuShowMenu  ? FMenuBar
                  : command == WindowMenuShowToolBar ? FToolBar
                  : command == WindowMenuShowPositionBar ? FPositionToolBar
                                                          : nullptr;
    if (!bar)
        return;
    bar->show();
    FDock->show();
    Act("actToggleMenu")->setChecked(true);
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

void TfrmMain::BuildProgramsMenu()
{
    FProgramsMenu->clear();
    for (int i = 0; i < int(FOption->Programs.size()); ++i) {
        const TProgramRec& program = FOption->Programs[size_t(i)];
        if (!program.Registered())
            continue;
        QAction* action = Act(QStringLiteral("actExecute%1").arg(i + 1).toLatin1().constData());
        action->setText(program.Name);
        FProgramsMenu->addAction(action);
    }
    FProgramsMenu->addSeparator();
    FProgramsMenu->addAction(Act("actShowRegProgDlg"));
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
            QTimer::singleShot(0, this, [this] { FActions->LoadIcons(); });
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
    FView->Init(FOption.get(), params);
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

// ---- commands --------------------------------------------------------------

void TfrmMain::actOpenExecute(QAction*)
{
    // The slideshow, once it exists, is stopped here first.
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), QtFilter(OpenFilter));
    if (!path.isEmpty())
        OpenPath(path, false);
}

void TfrmMain::actOpenCurDirExecute(QAction*)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(FView->CurrentFolder()));
}

// Commands whose work comes with later pieces of the program: they exist
// now with their captions and enabling rules, and do nothing yet.
void TfrmMain::actShowPropertyExecute(QAction*) {}     // file properties
void TfrmMain::actShowOptionExecute(QAction*) {}       // options dialog
void TfrmMain::actCustomizeToolBarExecute(QAction*) {} // toolbar customizer
void TfrmMain::actShowOverviewExecute(QAction*) {}     // overview window
void TfrmMain::actCloseOverviewExecute(QAction*) {}    // overview window
void TfrmMain::actSetWallPaperExecute(QAction*) {}     // wallpaper
void TfrmMain::actDeleteExecute(QAction*) {}           // delete with confirmation
void TfrmMain::actCopyFileExecute(QAction*) {}         // copy to a chosen folder
void TfrmMain::actMoveFileExecute(QAction*) {}         // move to a chosen folder
void TfrmMain::actProgramRun(QAction*) {}              // external programs
void TfrmMain::ActSlideShowExecute(QAction*) {}        // slideshow dialog
void TfrmMain::actPauseSlideShowExecute(QAction*) {}   // slideshow
void TfrmMain::actLoupeExecute(QAction*) {}            // never enabled

void TfrmMain::actShowRegProgDlgExecute(QAction*)
{
    FOptionPage = 3;  // "外部プログラム"
    Act("actShowOption")->trigger();
}

void TfrmMain::actShowRegFolderDlgExecute(QAction*)
{
    FOptionPage = 1;  // "ファイル操作"
    Act("actShowOption")->trigger();
}

void TfrmMain::actExitExecute(QAction*)
{
    close();
}

void TfrmMain::actShowAboutExecute(QAction*)
{
    TfrmAbout about(this);
    about.exec();
}

void TfrmMain::actToggleMenuExecute(QAction* sender)
{
    // The mark has toggled already; the dock follows it, and the image area's
    // new size redraws the view.
    FDock->setVisible(sender->isChecked());
}

void TfrmMain::actShowTopExecute(QAction* sender)
{
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, sender->isChecked());
    if (shown)
        show();  // Qt hides a window whose flags change; state and place stay
}

void TfrmMain::actNextImageExecute(QAction*)
{
    NextImage();
}

void TfrmMain::actPrevImageExecute(QAction*)
{
    PrevImage();
}

void TfrmMain::actZoomInExecute(QAction*)
{
    const int step = TZorvinView::ZoomInStep(FView->Zoom());
    if (step > 0)
        FView->ZoomTo(step);
}

void TfrmMain::actZoomOutExecute(QAction*)
{
    const int step = TZorvinView::ZoomOutStep(FView->Zoom());
    if (step > 0)
        FView->ZoomTo(step);
}

void TfrmMain::actShowResizedExecute(QAction*)
{
    FView->SetActualSize(Act("actShowActualSize")->isChecked());
}

void TfrmMain::actSWShowModeExecute(QAction*)
{
    if (!Act("actShowActualSize")->isChecked())
        Act("actShowActualSize")->trigger();
    else
        Act("actShowWindowSize")->trigger();
}

void TfrmMain::actRefreshExecute(QAction*)
{
    FView->RefreshList();
}

void TfrmMain::actRotateRightExecute(QAction*)
{
    FView->RotateCurrentRight();
}

void TfrmMain::actRotateLeftExecute(QAction*)
{
    FView->RotateCurrentLeft();
}

void TfrmMain::actSortRandomExecute(QAction* sender)
{
    FOption->SortOrder = uint8_t(sender->data().toInt());
    FView->SetSortOrder(FOption->SortOrder, Act("actSortAscend")->isChecked());
}

void TfrmMain::actSortAscendExecute(QAction* sender)
{
    // SortAscend itself is taken from the mark when the window closes.
    FView->SetSortOrder(FOption->SortOrder, sender->isChecked());
}

void TfrmMain::actDragExecute(QAction* sender)
{
    const QString name = sender->objectName();
    const int step = name.endsWith(QLatin1Char('2')) ? FOption->DragPixel2 : FOption->DragPixel;
    int dx = 0;
    int dy = 0;
    if (name.startsWith(QLatin1String("actDragLeft")))
        dx = -step;
    else if (name.startsWith(QLatin1String("actDragRight")))
        dx = step;
    else if (name.startsWith(QLatin1String("actDragTop")))
        dy = -step;
    else
        dy = step;
    FView->ScrollBy(dx, dy);
}

// ---- full screen -----------------------------------------------------------

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
    FArea->setCursor(Qt::ArrowCursor);
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
            FArea->setCursor(Qt::ArrowCursor);
    }
    FLastCursorPos = pos;
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
    // Only the first file counts; the slideshow, once it exists, stops here.
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
