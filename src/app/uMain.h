#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/MainActions.h"
#include "settings/IWindowPlacement.h"

class QMenu;
class QSlider;
class QTimer;
class QToolBar;
class TOption;
class TImageArea;
class TMainClient;
class TMainInput;
class TZorvinView;
class THeadStartDecode;
enum class TGesture;

// The main window: owns the settings, the view and the command set, and
// wires the pieces together. Its client area holds the dock (menu bar,
// toolbar, position bar) above the image area, which shows the current image
// on the background colour.
//
// Its placement in Zorvin.ini is the client area's rectangle (Qt's normal
// geometry): frame sizes differ between window managers, and a rectangle
// that included them would drift from run to run.
class TfrmMain : public QMainWindow, public IWindowPlacement {
    Q_OBJECT

public:
    // Settings from Zorvin.ini in the program folder.
    explicit TfrmMain(QWidget* parent = nullptr);
    // Settings from the given file (tests, other layouts).
    explicit TfrmMain(const QString& settingsFile, QWidget* parent = nullptr);
    ~TfrmMain() override;

    TOption& Option() const { return *FOption; }
    TZorvinView* View() const { return FView.get(); }
    const TMainActions& Actions() const { return *FActions; }
    QWidget* MenuDock() const { return FDock; }
    QSlider* PosBar() const { return FPosBar; }
    QMenu* ProgramsMenu() const { return FProgramsMenu; }
    bool InFullScreen() const { return FFullScreen; }

    // The path opened at the first showing (the command line's argument).
    void SetStartPath(const QString& path) { FStartPath = path; }
    // A decode of the start file begun before the window was built; the
    // view's loader takes its picture instead of decoding the file again.
    void SetHeadStart(std::shared_ptr<THeadStartDecode> head) { FHeadStart = std::move(head); }
    // The one open routine of every road a path comes by.
    void OpenPath(const QString& path, bool allowFolder);

    // Shows a warning box (text, caption). Tests replace it to read the
    // text instead of waiting on a modal box.
    std::function<void(const QString& text, const QString& caption)> ShowWarning;

    void NextImage();
    void PrevImage();
    void UpdateCaption();
    // The "外部プログラムで開く" submenu: one entry per registered program,
    // then the registration command. Built at the first showing and again
    // whenever the program list is saved.
    void BuildProgramsMenu();
    // Re-runs every command's enabling rule.
    void UpdateActions();
    // Runs a command's handler when its enabling rule allows it now.
    void RunAction(QAction* action, TActionHandler handler);

    // Key and mouse bindings. The key texts of the forty functions become
    // their keys; done at the first showing and again whenever the key
    // bindings change. Gestures are looked up afresh each time.
    void ApplyKeyBindings();
    // Runs bindable function n as a menu choice would.
    void RunFunction(int func);
    void RunGesture(TGesture gesture);
    // Scrolls the view (dragging and the drag commands).
    void ScrollView(int dx, int dy);
    // The image area's cursor; a cursor hidden in full screen stays hidden.
    void SetAreaCursor(Qt::CursorShape shape);
    TMainInput& Input() const { return *FInput; }

    // Command handlers, one per action (shared where the actions share one).
    void actOpenExecute(QAction*);
    void actOpenCurDirExecute(QAction*);
    void actShowPropertyExecute(QAction*);
    void actExitExecute(QAction*);
    void actShowOptionExecute(QAction*);
    void actShowRegProgDlgExecute(QAction*);
    void actShowRegFolderDlgExecute(QAction*);
    void actCustomizeToolBarExecute(QAction*);
    void actShowAboutExecute(QAction*);
    void actToggleMenuExecute(QAction*);
    void actShowTopExecute(QAction*);
    void actNextImageExecute(QAction*);
    void actPrevImageExecute(QAction*);
    void actZoomInExecute(QAction*);
    void actZoomOutExecute(QAction*);
    void actShowResizedExecute(QAction*);
    void actSWShowModeExecute(QAction*);
    void actFullScreenExecute(QAction*);
    void actShowOverviewExecute(QAction*);
    void actCloseOverviewExecute(QAction*);
    void actRefreshExecute(QAction*);
    void actSetWallPaperExecute(QAction*);
    void actDeleteExecute(QAction*);
    void actCopyFileExecute(QAction*);
    void actMoveFileExecute(QAction*);
    void actRotateRightExecute(QAction*);
    void actRotateLeftExecute(QAction*);
    void actProgramRun(QAction* sender);
    void ActSlideShowExecute(QAction*);
    void actPauseSlideShowExecute(QAction*);
    void actSortRandomExecute(QAction* sender);
    void actSortAscendExecute(QAction*);
    void actDragExecute(QAction* sender);
    void actLoupeExecute(QAction*);

    TWindowPlacement GetWindowPlacement() const override;
    void SetWindowPlacement(const TWindowPlacement& placement) override;
    QRect CurrentBounds() const override;
    QSize minimumSizeHint() const override;

    static constexpr int DefaultClientWidth = 542;
    static constexpr int DefaultClientHeight = 424;
    static constexpr int SmallestWidth = 440;
    static constexpr int SmallestHeight = 130;
    static constexpr const char* OpenFilter
        = "Image Files(JPEG,BMP,GIF,ICO,CUR)|*.JPG;*.JPEG;*.BMP;*.GIF;*.ICO;*.CUR";

    // The window menu's entries that show one bar and the dock with it.
    static constexpr int WindowMenuShowMenu = 102;
    static constexpr int WindowMenuShowToolBar = 103;
    static constexpr int WindowMenuShowPositionBar = 104;
    void WindowMenuCommand(int command);
    QToolBar* ToolBar() const { return FToolBar; }

    // Full-screen timers, visible to tests: the dock's reveal check and the
    // resting cursor's hiding.
    void MouseCheckerTimer();
    void DelCurTimerTimer();
    bool CursorHidden() const { return FCursorCount < 0; }

    // The slideshow (uMainSlideShow.cpp). The timer running is the show
    // running; the tick is public so that tests can drive it.
    void StartSlideShow();
    void StopSlideShow();
    void SlideShowTimerTimer();
    bool SlideShowRunning() const;
    QTimer* SlideShowTimer() const { return FSlideShowTimer; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SaveAtExit();
    void FormShow();
    void CreateView();
    void BuildChrome();
    void ShowWindowMenu(const QPoint& at);
    void ImageChanged();
    void PosBarEndTrack();
    void ShowCursorAgain();
    QAction* Act(const char* name) const { return (*FActions)[name]; }

    std::unique_ptr<TOption> FOption;
    std::unique_ptr<TMainActions> FActions;
    TImageArea* FArea = nullptr;
    TMainClient* FClient = nullptr;
    QWidget* FDock = nullptr;
    QToolBar* FMenuBar = nullptr;
    QToolBar* FToolBar = nullptr;
    QToolBar* FPositionToolBar = nullptr;
    QSlider* FPosBar = nullptr;
    QMenu* FProgramsMenu = nullptr;
    QMenu* FLanguageMenu = nullptr;
    QTimer* FMouseChecker = nullptr;
    QTimer* FDelCurTimer = nullptr;
    std::unique_ptr<TZorvinView> FView;
    QString FStartPath;
    std::shared_ptr<THeadStartDecode> FHeadStart;
    bool FSaved = false;
    bool FFullScreen = false;
    bool FIconsLoaded = false;
    int FCursorCount = 0;  // below 0: the cursor is hidden
    QPoint FLastCursorPos;
    int FOptionPage = 0;   // the options dialog's remembered page

    // The slideshow: its timer and what its start replaced, put back by its stop.
    void InitSlideShow();
    QTimer* FSlideShowTimer = nullptr;
    bool FSlideShowReplaced = false;  // the running show's start replaced the saved values
    bool FSavedEnlargePicture = false;
    bool FSavedFullScreen = false;
    bool FSavedRandomChecked = false;
    uint8_t FSavedSortOrder = 0;

    Qt::CursorShape FAreaCursor = Qt::ArrowCursor;
    std::unique_ptr<TMainInput> FInput;  // goes first, before the widgets it watches
};
