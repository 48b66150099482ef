// The main window's commands driven through their actions: enabling rules,
// zoom steps and display modes with the caption that follows them, sorting,
// the position bar, the menu toggle and full screen.

#include <QtTest>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include "WindowTestBase.h"
#include "app/uMain.h"
#include "display/uZorvinView.h"
#include "platform/TProfileFile.h"
#include "settings/uOption.h"

class CommandsTest : public TWindowTestBase {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(MakeSandbox());
        // Names, file sizes and colours in three different orders.
        MakeBmp(QStringLiteral("a.bmp"), QSize(120, 90), Qt::red);   // largest
        MakeBmp(QStringLiteral("b.bmp"), QSize(16, 12), Qt::green);  // smallest
        MakeBmp(QStringLiteral("c.bmp"), QSize(64, 48), Qt::blue);
    }

    void enablingRules_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("withoutImage");
        QTest::addColumn<bool>("withImage");
        for (const char* name : {"actNextImage", "actPrevImage", "actZoomIn", "actZoomOut",
                                 "actShowWindowSize", "actShowActualSize", "actSWShowMode",
                                 "actFullScreen", "actRefresh", "actDelete", "actSetWallPaper",
                                 "actRotateLeft", "actExecute10", "actSortRandom", "actSortAscend",
                                 "ActSlideShow", "actDragBottom2", "actShowProperty"})
            QTest::newRow(name) << QString::fromLatin1(name) << false << true;
        for (const char* name : {"actOpen", "actExit", "actShowOption", "actShowAbout",
                                 "actToggleMenu", "actShowTop", "actCloseOverview"})
            QTest::newRow(name) << QString::fromLatin1(name) << true << true;
        QTest::newRow("actLoupe") << QStringLiteral("actLoupe") << false << false;
    }

    void enablingRules()
    {
        QFETCH(QString, action);
        QFETCH(bool, withoutImage);
        QFETCH(bool, withImage);
        TfrmMain window(Ini);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QAction* act = window.Actions().Find(action);
        QVERIFY(act);
        QCOMPARE(act->isEnabled(), withoutImage);
        window.OpenPath(Folder, true);
        QTRY_VERIFY(window.View()->HasImage());
        QCOMPARE(act->isEnabled(), withImage);
    }

    // Keys run the same actions, rules included: without an image Enter
    // does nothing; with one it enters full screen and, there, leaves it.
    void keysFollowTheEnablingRules()
    {
        TfrmMain window(Ini);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Down, Qt::Key_F5, Qt::Key_Delete})
            QTest::keyClick(&window, key);
        QVERIFY(!window.InFullScreen());

        window.OpenPath(Folder, true);
        QTRY_VERIFY(window.View()->HasImage());
        QTest::keyClick(&window, Qt::Key_Return);
        QVERIFY(window.InFullScreen());
        QTest::keyClick(&window, Qt::Key_Enter);
        QVERIFY(!window.InFullScreen());
    }

    void functionListFollowsTheBindingOrder()
    {
        TfrmMain window(Ini);
        const QList<QAction*>& functions = window.Actions().Functions();
        QCOMPARE(functions.size(), 40);
        QVERIFY(!functions.contains(nullptr));
        QCOMPARE(functions[0]->objectName(), QStringLiteral("actNextImage"));
        QCOMPARE(functions[3]->objectName(), QStringLiteral("actExit"));
        QCOMPARE(functions[20]->objectName(), QStringLiteral("actShowActualSize"));
        QCOMPARE(functions[33]->objectName(), QStringLiteral("actDragLeft2"));
        QCOMPARE(functions[39]->objectName(), QStringLiteral("actRefresh"));
        QCOMPARE(functions[5]->text(), QStringLiteral("常に最前面に表示"));
    }

    // Registered programs lend their names to their actions; the others
    // keep their own captions and stay out of the submenu.
    void programsMenuListsTheRegisteredPrograms()
    {
        TfrmMain window(Ini);
        window.Option().Programs[1].Name = QStringLiteral("GIMP");
        window.Option().Programs[1].Path = QStringLiteral("/usr/bin/gimp");
        window.Option().Programs[9].Name = QStringLiteral("no path");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<QAction*> items = window.ProgramsMenu()->actions();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0], Act(window, "actExecute2"));
        QCOMPARE(items[0]->text(), QStringLiteral("GIMP"));
        QVERIFY(items[1]->isSeparator());
        QCOMPARE(items[2], Act(window, "actShowRegProgDlg"));
        QCOMPARE(Act(window, "actExecute10")->text(), QStringLiteral("外部プログラム10の実行"));
    }

    // Zoom walks the step table from the fitted 100 %, stops at both ends,
    // and every step is in the title.
    void zoomStepsThroughTheTable()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        QAction* in = Act(window, "actZoomIn");
        QAction* out = Act(window, "actZoomOut");
        const std::pair<QAction*, int> steps[] = {
            {in, 150}, {in, 200}, {out, 150}, {out, 100}, {out, 70}, {out, 50}, {out, 30}, {out, 30},
            {in, 50},
        };
        for (const auto& [action, zoom] : steps) {
            action->trigger();
            QCOMPARE(window.View()->Zoom(), zoom);
            QCOMPARE(window.windowTitle(),
                     Folder + QStringLiteral("a.bmp  [1/3] %1% - Zorvin Lite").arg(zoom));
        }
        for (int i = 0; i < 12; ++i)
            in->trigger();
        QCOMPARE(window.View()->Zoom(), 2000);
    }

    // The mode switch goes to actual size and back, moving the radio mark.
    void showModeTogglesAndReturns()
    {
        MakeBmp(QStringLiteral("a.bmp"), QSize(2000, 1500), Qt::red);
        TfrmMain window(Ini);
        ShowFolder(window);
        const int fitted = window.View()->Zoom();
        QVERIFY(fitted < 100);
        QAction* mode = Act(window, "actSWShowMode");
        mode->trigger();
        QCOMPARE(window.View()->Zoom(), 100);
        QVERIFY(Act(window, "actShowActualSize")->isChecked());
        QVERIFY(!Act(window, "actShowWindowSize")->isChecked());
        QVERIFY(window.windowTitle().endsWith(QStringLiteral("] 100% - Zorvin Lite")));
        mode->trigger();
        QCOMPARE(window.View()->Zoom(), fitted);
        QVERIFY(Act(window, "actShowWindowSize")->isChecked());
    }

    // Each order keeps the shown file and moves it to its new place; the
    // order is stored at once, the direction only when the window closes.
    void sortActionsReorderAndKeepTheCurrentFile()
    {
        {
            TfrmMain window(Ini);
            ShowFolder(window);
            Act(window, "actSortSize")->trigger();
            QCOMPARE(window.Option().SortOrder, uint8_t(1));
            QTRY_COMPARE(window.View()->ImageIndex(), 2);  // b, c, a
            QCOMPARE(window.View()->CurrentName(), QStringLiteral("a.bmp"));
            QVERIFY(!Act(window, "actSortName")->isChecked());

            Act(window, "actSortAscend")->trigger();
            QVERIFY(!Act(window, "actSortAscend")->isChecked());
            QTRY_COMPARE(window.View()->ImageIndex(), 0);  // a, c, b
            QCOMPARE(window.Option().SortAscend, true);
            Act(window, "actNextImage")->trigger();
            QTRY_COMPARE(window.View()->CurrentName(), QStringLiteral("c.bmp"));
            QVERIFY(window.close());
        }
        const TProfileFile ini(Ini);
        QCOMPARE(ini.ReadInteger(QStringLiteral("Option"), QStringLiteral("SortOrder"), -1), 1);
        QCOMPARE(ini.ReadBool(QStringLiteral("Option"), QStringLiteral("SortAscend"), true), false);

        // The next start shows the stored marks.
        TfrmMain again(Ini);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QVERIFY(Act(again, "actSortSize")->isChecked());
        QVERIFY(!Act(again, "actSortAscend")->isChecked());
    }

    void positionBarFollowsAndMovesTheList()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        QSlider* bar = window.PosBar();
        QCOMPARE(bar->focusPolicy(), Qt::NoFocus);
        QCOMPARE(bar->maximum(), 2);
        QCOMPARE(bar->value(), 0);
        Act(window, "actNextImage")->trigger();
        QTRY_COMPARE(bar->value(), 1);
        bar->setValue(2);
        emit bar->sliderReleased();
        QTRY_COMPARE(window.View()->CurrentName(), QStringLiteral("c.bmp"));
        QVERIFY(window.windowTitle().contains(QStringLiteral("[3/3]")));
    }

    // Hiding the dock gives its rows to the image area and is remembered.
    void toggleMenuHidesTheDockAndIsSaved()
    {
        {
            TfrmMain window(Ini);
            ShowFolder(window);
            QWidget* area = window.findChild<QWidget*>(QStringLiteral("ImageArea"));
            QVERIFY(window.MenuDock()->isVisible());
            const int before = area->height();
            Act(window, "actToggleMenu")->trigger();
            QVERIFY(!window.MenuDock()->isVisible());
            QVERIFY(!Act(window, "actToggleMenu")->isChecked());
            QCOMPARE(area->height(), window.centralWidget()->height());
            QVERIFY(area->height() > before);
            QVERIFY(window.close());
        }
        const TProfileFile ini(Ini);
        QCOMPARE(ini.ReadBool(QStringLiteral("Option"), QStringLiteral("MenuVisible"), true), false);
        TfrmMain again(Ini);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QVERIFY(!again.MenuDock()->isVisible());
        QVERIFY(!Act(again, "actToggleMenu")->isChecked());
    }

    // A bar hidden on its own and the dock hidden by the toggle both come
    // back through the window menu, which also checks the toggle.
    void windowMenuBringsBackABarAndTheDock()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        window.ToolBar()->hide();
        Act(window, "actToggleMenu")->trigger();
        QVERIFY(!window.MenuDock()->isVisible());
        window.WindowMenuCommand(TfrmMain::WindowMenuShowToolBar);
        QVERIFY(window.MenuDock()->isVisible());
        QVERIFY(window.ToolBar()->isVisible());
        QVERIFY(Act(window, "actToggleMenu")->isChecked());
    }

    void stayOnTopKeepsThePlace()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        window.setGeometry(40, 50, 600, 400);
        const QRect before = window.geometry();
        QAction* top = Act(window, "actShowTop");
        top->trigger();
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(window.isVisible());
        QCOMPARE(window.geometry(), before);
        QVERIFY(window.View()->HasImage());
        top->trigger();
        QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(window.geometry(), before);
    }

    void fullScreenTogglesAndRestoresThePlacement_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("normal") << false;
        QTest::newRow("maximized") << true;
    }

    void fullScreenTogglesAndRestoresThePlacement()
    {
        QFETCH(bool, maximized);
        TfrmMain window(Ini);
        ShowFolder(window);
        window.setGeometry(50, 60, 600, 400);
        if (maximized)
            window.setWindowState(Qt::WindowMaximized);
        QTRY_COMPARE(window.isMaximized(), maximized);
        const QRect before = window.geometry();
        QAction* full = Act(window, "actFullScreen");

        full->trigger();
        QVERIFY(window.InFullScreen());
        QTRY_COMPARE(window.geometry(), window.screen()->geometry());
        QVERIFY(!window.MenuDock()->isVisible());
        // The placement was written on the way in.
        const TProfileFile ini(Ini);
        QCOMPARE(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("State"), -1), maximized ? 1 : 0);
        QCOMPARE(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Left"), -1), 50);
        QCOMPARE(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Right"), -1), 650);

        full->trigger();
        QVERIFY(!window.InFullScreen());
        QVERIFY(!window.isFullScreen());
        QTRY_COMPARE(window.isMaximized(), maximized);
        QTRY_COMPARE(window.geometry(), before);
        if (maximized)
            QCOMPARE(window.normalGeometry(), QRect(50, 60, 600, 400));
        QVERIFY(window.MenuDock()->isVisible());
        QVERIFY(!window.CursorHidden());
    }

    // Closing in full screen keeps the placement saved on entry and leaves
    // MenuVisible alone.
    void closingInFullScreenKeepsTheEntryPlacement()
    {
        {
            TfrmMain window(Ini);
            ShowFolder(window);
            window.setGeometry(70, 80, 500, 300);
            Act(window, "actFullScreen")->trigger();
            QVERIFY(window.InFullScreen());
            QVERIFY(window.close());
        }
        const TProfileFile ini(Ini);
        QCOMPARE(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Left"), -1), 70);
        QCOMPARE(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Bottom"), -1), 380);
        QCOMPARE(ini.ReadBool(QStringLiteral("Option"), QStringLiteral("MenuVisible"), false), true);
    }

    // In full screen the top rows reveal the dock over the image and the
    // rows below it hide it again; a resting cursor disappears and a move
    // brings it back.
    void fullScreenRevealsTheDockAndHidesTheRestingCursor()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        window.activateWindow();
        QTRY_VERIFY(window.isActiveWindow());
        Act(window, "actFullScreen")->trigger();
        QTRY_COMPARE(window.geometry(), window.screen()->geometry());
        QWidget* area = window.findChild<QWidget*>(QStringLiteral("ImageArea"));
        const QSize areaSize = area->size();
        const QPoint origin = window.mapToGlobal(QPoint(0, 0));

        QCursor::setPos(origin + QPoint(100, 2));
        window.MouseCheckerTimer();
        QVERIFY(window.MenuDock()->isVisible());
        QCOMPARE(area->size(), areaSize);  // the dock lies over the image
        QCursor::setPos(origin + QPoint(100, window.MenuDock()->height() + 1));
        window.MouseCheckerTimer();
        QVERIFY(!window.MenuDock()->isVisible());

        const QPoint rest = origin + QPoint(200, 200);
        QCursor::setPos(rest);
        window.DelCurTimerTimer();  // the first tick at rest only notes the place
        QVERIFY(!window.CursorHidden());
        window.DelCurTimerTimer();
        QVERIFY(window.CursorHidden());
        QCOMPARE(area->cursor().shape(), Qt::BlankCursor);
        QTest::mouseMove(area, QPoint(201, 200));
        QVERIFY(!window.CursorHidden());
        QCursor::setPos(rest + QPoint(40, 0));
        window.DelCurTimerTimer();  // moved more than 10 pixels: stays
        QVERIFY(!window.CursorHidden());

        window.Option().NoCursorInFullScreen = false;
        Act(window, "actFullScreen")->trigger();
        Act(window, "actFullScreen")->trigger();
        window.DelCurTimerTimer();
        window.DelCurTimerTimer();
        QVERIFY(!window.CursorHidden());
    }

    void aboutBoxShowsTheVersion()
    {
        TfrmMain window(Ini);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QString version;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!box)
                return;
            version = box->findChild<QLabel*>(QStringLiteral("lbVer"))->text();
            box->accept();
        });
        Act(window, "actShowAbout")->trigger();
        QCOMPARE(version, QStringLiteral("Zorvin Lite ver.2.11"));
    }

private:
    void MakeBmp(const QString& name, QSize size, const QColor& colour)
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colour);
        QVERIFY(picture.save(Folder + name, "BMP"));
    }

    void ShowFolder(TfrmMain& window)
    {
        window.SetStartPath(Folder);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.windowTitle().startsWith(Folder + QStringLiteral("a.bmp  [1/3]")));
    }

    static QAction* Act(const TfrmMain& window, const char* name) { return window.Actions()[name]; }

};

QTEST_MAIN(CommandsTest)
#include "commands_qtest.moc"
