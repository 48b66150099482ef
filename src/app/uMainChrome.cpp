// The main window's chrome: the dock with the menu bar, the toolbar and the
// position bar, the window menu and the programs submenu.

#include "app/uMain.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "settings/uOption.h"

namespace {

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

QToolBar* FixedToolBar(const QString& caption, const char* name, QWidget* parent)
{
    auto* bar = new QToolBar(caption, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    return bar;
}

constexpr int LanguageJapanese = 1041;

} // namespace

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
