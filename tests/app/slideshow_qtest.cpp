// The slideshow: its settings dialog (the interval's track bar, number field
// and label bound to one another) and the show on the real main window:
// start, pause and resume, the timer's steps, and the values a start
// replaces and a stop puts back, also when the window closes during a show.

#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <functional>

#include "WindowTestBase.h"
#include "app/uMain.h"
#include "app/uSlideShow.h"
#include "display/uZorvinView.h"
#include "platform/TProfileFile.h"
#include "settings/uOption.h"

namespace {

// Long enough that the real timer never fires while a test runs: the tests
// step the show through its tick handler.
constexpr int LongInterval = 18000000;
constexpr int FileCount = 12;

} // namespace

class SlideShowTest : public TWindowTestBase {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(MakeSandbox());
        // Dates run against the names, so the date order is the name order
        // reversed; a shuffle of twelve is almost never either.
        const QDateTime base(QDate(2024, 3, 1), QTime(12, 0), QTimeZone::utc());
        for (int i = 0; i < FileCount; ++i) {
            const QString path = Folder + QStringLiteral("img%1.bmp").arg(i, 2, 10, QLatin1Char('0'));
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(QColor::fromHsv(i * 30, 255, 255));
            QVERIFY(picture.save(path, "BMP"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(base.addSecs(3600 * (FileCount - i)), QFileDevice::FileModificationTime));
        }
    }

    // ---- the dialog --------------------------------------------------------

    // Filling from the settings: the field shows the stored interval (in
    // range), the track bar its nearest step and the label its words.
    void dialogShowsTheStoredInterval_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("label");
        QTest::newRow("5000") << 5000 << 5000 << 4 << QStringLiteral("現在の設定(5秒)");
        QTest::newRow("1000") << 1000 << 1000 << 0 << QStringLiteral("現在の設定(1秒)");
        QTest::newRow("59999") << 59999 << 59999 << 11 << QStringLiteral("現在の設定(59秒)");
        QTest::newRow("60000") << 60000 << 60000 << 11 << QStringLiteral("現在の設定(1分)");
        QTest::newRow("90000") << 90000 << 90000 << 12 << QStringLiteral("現在の設定(1分)");
        QTest::newRow("3599999") << 3599999 << 3599999 << 18 << QStringLiteral("現在の設定(59分)");
        QTest::newRow("7200000") << 7200000 << 7200000 << 19 << QStringLiteral("現在の設定(2時間)");
        QTest::newRow("above range") << 20000000 << 18000000 << 19 << QStringLiteral("現在の設定(5時間)");
        QTest::newRow("zero") << 0 << 1000 << 0 << QStringLiteral("現在の設定(1秒)");
        QTest::newRow("negative") << -5 << 1000 << 0 << QStringLiteral("現在の設定(1秒)");
    }

    void dialogShowsTheStoredInterval()
    {
        QFETCH(int, stored);
        QFETCH(int, field);
        QFETCH(int, position);
        QFETCH(QString, label);
        TSlideShowOption options;
        options.Interval = stored;
        options.FullScr = false;
        options.Repeat = true;
        TfrmSlideShow dialog;
        dialog.LoadFrom(options);
        QCOMPARE(dialog.edInterval->value(), field);
        QCOMPARE(dialog.tbInterval->value(), position);
        QCOMPARE(dialog.lbInterval->text(), label);
        QVERIFY(!dialog.chkFullScr->isChecked());
        QVERIFY(dialog.chkRepeat->isChecked());
        QVERIFY(!dialog.chkRandom->isChecked());
        QVERIFY(!dialog.chkEnlarge->isChecked());
    }

    // Typing moves the track bar to the nearest step but keeps the typed
    // value; above the range the field comes down to its top; an emptied
    // field reads as its bottom.
    void typingMovesTheTrackBar_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("label");
        QTest::newRow("tie goes up") << QStringLiteral("6000") << 6000 << 5 << QStringLiteral("現在の設定(6秒)");
        QTest::newRow("nearer below") << QStringLiteral("12000") << 12000 << 6
                                      << QStringLiteral("現在の設定(12秒)");
        QTest::newRow("above range") << QStringLiteral("20000000") << 18000000 << 19
                                     << QStringLiteral("現在の設定(5時間)");
        QTest::newRow("emptied") << QString() << 1000 << 0 << QStringLiteral("現在の設定(1秒)");
    }

    void typingMovesTheTrackBar()
    {
        QFETCH(QString, typed);
        QFETCH(int, field);
        QFETCH(int, position);
        QFETCH(QString, label);
        TSlideShowOption options;
        options.Interval = 300000;
        TfrmSlideShow dialog;
        dialog.LoadFrom(options);
        QCOMPARE(dialog.tbInterval->value(), 14);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.edInterval->setFocus();
        dialog.edInterval->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(dialog.edInterval, Qt::Key_Backspace);
        else
            QTest::keyClicks(dialog.edInterval, typed);
        QCOMPARE(dialog.edInterval->value(), field);
        QCOMPARE(dialog.tbInterval->value(), position);
        QCOMPARE(dialog.lbInterval->text(), label);
        QCOMPARE(dialog.Interval(), field);
    }

    void trackBarSetsTheField()
    {
        TSlideShowOption options;
        TfrmSlideShow dialog;
        dialog.LoadFrom(options);
        dialog.tbInterval->setValue(12);
        QCOMPARE(dialog.edInterval->value(), 120000);
        QCOMPARE(dialog.lbInterval->text(), QStringLiteral("現在の設定(2分)"));
        dialog.tbInterval->setValue(19);
        QCOMPARE(dialog.edInterval->value(), 7200000);
        QCOMPARE(dialog.lbInterval->text(), QStringLiteral("現在の設定(2時間)"));
        QCOMPARE(dialog.tbInterval->value(), 19);
    }

    // "開始" copies the dialog into the settings and starts; a value below
    // the range, confirmed with Enter while typed, is raised to a second.
    // "キャンセル" changes nothing and starts nothing.
    void startCommandStoresTheDialog_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("start") << true;
        QTest::newRow("cancel") << false;
    }

    void startCommandStoresTheDialog()
    {
        QFETCH(bool, confirm);
        TfrmMain window(Ini);
        window.Option().SlideShow = TSlideShowOption {};  // full screen on, 5000 ms
        ShowFolder(window);
        QString shownLabel;
        RunDialog(window, [&](TfrmSlideShow& dialog) {
            shownLabel = dialog.lbInterval->text();
            QVERIFY(dialog.btnStart->isDefault());
            QCOMPARE(dialog.btnStart->text(), QStringLiteral("開始"));
            QCOMPARE(dialog.btnCancel->text(), QStringLiteral("キャンセル"));
            dialog.chkFullScr->setChecked(false);
            dialog.chkEnlarge->setChecked(true);
            dialog.chkRepeat->setChecked(true);
            dialog.edInterval->setFocus();
            dialog.edInterval->selectAll();
            QTest::keyClicks(dialog.edInterval, QStringLiteral("500"));
            if (confirm)
                QTest::keyClick(dialog.edInterval, Qt::Key_Return);
            else
                dialog.btnCancel->click();
        });
        QCOMPARE(shownLabel, QStringLiteral("現在の設定(5秒)"));
        const TSlideShowOption& stored = window.Option().SlideShow;
        QCOMPARE(window.SlideShowRunning(), confirm);
        QCOMPARE(stored.FullScr, !confirm);
        QCOMPARE(stored.Enlarge, confirm);
        QCOMPARE(stored.Repeat, confirm);
        QCOMPARE(stored.Interval, confirm ? 1000 : 5000);
        QVERIFY(!window.InFullScreen());
        QCOMPARE(window.Option().EnlargePicture, confirm);
        if (confirm)
            QCOMPARE(window.SlideShowTimer()->interval(), 1000);
        window.StopSlideShow();
    }

    // ---- the show ----------------------------------------------------------

    // From a window with FullScr: the show goes full screen and replaces the
    // enlarge setting; the pause command stops it and puts both back; a
    // second pause resumes in the window with nothing replaced.
    void fullScreenStartPausesIntoTheWindow()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        SetShow(window, /*fullScr*/ true, /*random*/ false, /*repeat*/ false);
        window.Option().SlideShow.Enlarge = true;
        QVERIFY(!window.InFullScreen());
        window.StartSlideShow();
        QVERIFY(window.SlideShowRunning());
        QVERIFY(window.InFullScreen());
        QVERIFY(window.Option().EnlargePicture);
        QCOMPARE(window.SlideShowTimer()->interval(), LongInterval);
        QCOMPARE(window.View()->ImageIndex(), 0);  // the first step waits an interval

        QAction* pause = Act(window, "actPauseSlideShow");
        pause->trigger();
        QVERIFY(!window.SlideShowRunning());
        QVERIFY(!window.InFullScreen());
        QVERIFY(!window.Option().EnlargePicture);

        pause->trigger();
        QVERIFY(window.SlideShowRunning());
        QVERIFY(!window.InFullScreen());
        QVERIFY(!window.Option().EnlargePicture);
        QCOMPARE(window.SlideShowTimer()->interval(), LongInterval);
        window.SlideShowTimerTimer();
        QTRY_COMPARE(window.View()->ImageIndex(), 1);
        QVERIFY(!window.InFullScreen());

        // What the user sets during the resumed show is the user's: the
        // next stop has nothing of the start's left to put back.
        Act(window, "actFullScreen")->trigger();
        window.Option().EnlargePicture = true;
        pause->trigger();
        QVERIFY(!window.SlideShowRunning());
        QVERIFY(window.InFullScreen());
        QVERIFY(window.Option().EnlargePicture);
    }

    // Random while sorted by date: the show shuffles the list; its stop sorts
    // by date again and gives the date command its mark back.
    void randomShowReturnsToTheDateOrder()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        Act(window, "actSortDate")->trigger();
        const QStringList byDate = Names(window);
        QCOMPARE(byDate.first(), QStringLiteral("img11.bmp"));
        SetShow(window, false, /*random*/ true, false);

        window.StartSlideShow();
        QVERIFY(Act(window, "actSortRandom")->isChecked());
        QCOMPARE(window.Option().SortOrder, uint8_t(3));
        QStringList shuffled = Names(window);
        QVERIFY(shuffled != byDate);
        QCOMPARE(shuffled.size(), FileCount);

        Act(window, "actPauseSlideShow")->trigger();
        QVERIFY(!window.SlideShowRunning());
        QCOMPARE(Names(window), byDate);
        QVERIFY(Act(window, "actSortDate")->isChecked());
        QVERIFY(!Act(window, "actSortRandom")->isChecked());
        QCOMPARE(window.Option().SortOrder, uint8_t(2));
    }

    // Random order chosen by the user before the show is the user's: the
    // stop leaves the list and the mark as they are.
    void randomAlreadyInForceIsNotSortedAtStop()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        Act(window, "actSortRandom")->trigger();
        SetShow(window, false, true, false);
        window.StartSlideShow();
        const QStringList during = Names(window);
        window.StopSlideShow();
        QVERIFY(!window.SlideShowRunning());
        QCOMPARE(Names(window), during);
        QVERIFY(Act(window, "actSortRandom")->isChecked());
        QCOMPARE(window.Option().SortOrder, uint8_t(3));
    }

    // At the last image a tick without Repeat stops the show and puts back
    // what it replaced; with Repeat it goes on to the first image when
    // LoopList is on, and otherwise rests on the last with the timer running.
    void tickAtTheLastImage_data()
    {
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<bool>("loopList");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("index");
        QTest::newRow("no repeat") << false << true << false << FileCount - 1;
        QTest::newRow("repeat, loop") << true << true << true << 0;
        QTest::newRow("repeat, no loop") << true << false << true << FileCount - 1;
    }

    void tickAtTheLastImage()
    {
        QFETCH(bool, repeat);
        QFETCH(bool, loopList);
        QFETCH(bool, running);
        QFETCH(int, index);
        TfrmMain window(Ini);
        window.Option().LoopList = loopList;
        ShowFolder(window);
        SetShow(window, /*fullScr*/ true, /*random*/ true, repeat);
        window.Option().SlideShow.Enlarge = true;
        window.StartSlideShow();
        // Shuffled: step from wherever the current image landed to the end.
        const int start = int(Names(window).indexOf(window.View()->CurrentName()));
        QTRY_COMPARE(window.View()->ImageIndex(), start);
        for (int i = start; i < FileCount - 1; ++i) {
            window.SlideShowTimerTimer();
            QTRY_COMPARE(window.View()->ImageIndex(), i + 1);
            QVERIFY(window.SlideShowRunning());
        }
        const QString last = window.View()->CurrentName();
        window.SlideShowTimerTimer();
        QCOMPARE(window.SlideShowRunning(), running);
        if (running) {
            QTRY_COMPARE(window.View()->ImageIndex(), index);
            QVERIFY(window.InFullScreen());
            QVERIFY(window.Option().EnlargePicture);
            return;
        }
        QVERIFY(!window.InFullScreen());
        QVERIFY(!window.Option().EnlargePicture);
        QVERIFY(Act(window, "actSortName")->isChecked());
        QCOMPARE(window.Option().SortOrder, uint8_t(0));
        QCOMPARE(Names(window).first(), QStringLiteral("img00.bmp"));
        QCOMPARE(window.View()->CurrentName(), last);  // the order changes, not the image
    }

    // Next by key moves on without touching the timer; the next tick
    // advances from the image the key chose.
    void downKeyDoesNotResetTheTimer()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        SetShow(window, false, false, false);
        window.StartSlideShow();
        QTimer* timer = window.SlideShowTimer();
        QTRY_VERIFY(timer->remainingTime() < LongInterval);
        const int before = timer->remainingTime();
        QTest::keyClick(&window, Qt::Key_Down);
        QVERIFY(timer->isActive());
        QVERIFY(timer->remainingTime() <= before);
        QTRY_COMPARE(window.View()->ImageIndex(), 1);
        window.SlideShowTimerTimer();
        QTRY_COMPARE(window.View()->ImageIndex(), 2);
        QVERIFY(window.SlideShowRunning());
    }

    // A step waits while a modal window is up, so that a box opened for one
    // image never ends up acting on another.
    void noStepWhileAModalWindowIsUp()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        SetShow(window, false, false, true);
        window.StartSlideShow();
        // One before the last: a step there is seen at once as the end.
        window.View()->GoToIndex(FileCount - 2);
        QTRY_COMPARE(window.View()->ImageIndex(), FileCount - 2);
        QDialog box(&window);
        box.setModal(true);
        box.show();
        QVERIFY(QApplication::activeModalWidget() == &box);
        window.SlideShowTimerTimer();
        QVERIFY(window.SlideShowRunning());
        QVERIFY(!window.View()->IsAtEnd());
        box.close();
        window.SlideShowTimerTimer();
        QVERIFY(window.View()->IsAtEnd());
        QTRY_COMPARE(window.View()->ImageIndex(), FileCount - 1);
    }

    // The Open command, a drop and the options command stop a running show
    // (and so put back what it replaced) before they do their own work.
    void openDropAndOptionsStopTheShow_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("open") << QStringLiteral("open");
        QTest::newRow("drop") << QStringLiteral("drop");
        QTest::newRow("options") << QStringLiteral("options");
    }

    void openDropAndOptionsStopTheShow()
    {
        QFETCH(QString, route);
        TfrmMain window(Ini);
        ShowFolder(window);
        SetShow(window, true, false, false);
        window.StartSlideShow();
        QVERIFY(window.InFullScreen());
        if (route == QLatin1String("open")) {
            bool stoppedBeforeTheDialog = false;
            QTimer::singleShot(0, &window, [&] {
                stoppedBeforeTheDialog = !window.SlideShowRunning();
                if (QWidget* dialog = QApplication::activeModalWidget())
                    dialog->close();
            });
            Act(window, "actOpen")->trigger();
            QVERIFY(stoppedBeforeTheDialog);
        } else if (route == QLatin1String("drop")) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(Folder + QStringLiteral("img05.bmp"))});
            QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &enter);
            QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &drop);
            QTRY_COMPARE(window.View()->CurrentName(), QStringLiteral("img05.bmp"));
        } else {
            Act(window, "actShowOption")->trigger();
        }
        QVERIFY(!window.SlideShowRunning());
        QVERIFY(!window.InFullScreen());
    }

    // Navigation and a second instance's hand-off do not stop a show.
    void openingAPathDirectlyKeepsTheShow()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        SetShow(window, false, false, false);
        window.StartSlideShow();
        window.OpenPath(Folder + QStringLiteral("img03.bmp"), false);
        QTRY_VERIFY(window.View()->ImageIndex() == 3 && window.View()->HasImage());
        QCOMPARE(window.View()->CurrentName(), QStringLiteral("img03.bmp"));
        Act(window, "actPrevImage")->trigger();
        QTRY_COMPARE(window.View()->ImageIndex(), 2);
        QVERIFY(window.SlideShowRunning());
    }

    // Closing during a show saves the values from before it: the user's
    // enlarge setting and order, and the window's own placement and dock.
    void closeDuringAShowSavesThePreShowValues()
    {
        QRect windowed;
        {
            TfrmMain window(Ini);
            ShowFolder(window);
            window.setGeometry(60, 70, 560, 420);
            windowed = window.geometry();
            Act(window, "actSortDate")->trigger();
            SetShow(window, true, true, false);
            window.Option().SlideShow.Enlarge = true;
            window.StartSlideShow();
            QVERIFY(window.InFullScreen());
            QCOMPARE(window.Option().SortOrder, uint8_t(3));
            QVERIFY(window.close());
            QVERIFY(!window.SlideShowRunning());
        }
        const TProfileFile ini(Ini);
        const QString option = QStringLiteral("Option");
        QCOMPARE(ini.ReadInteger(option, QStringLiteral("SortOrder"), -1), 2);
        QCOMPARE(ini.ReadBool(option, QStringLiteral("EnlargePicture"), true), false);
        QCOMPARE(ini.ReadBool(option, QStringLiteral("MenuVisible"), false), true);
        const QString section = QStringLiteral("Window");
        QCOMPARE(ini.ReadInteger(section, QStringLiteral("Left"), -1), windowed.left());
        QCOMPARE(ini.ReadInteger(section, QStringLiteral("Right"), -1), windowed.left() + windowed.width());
        QCOMPARE(ini.ReadBool(QStringLiteral("SlideShow"), QStringLiteral("Random"), false), true);
        QCOMPARE(ini.ReadInteger(QStringLiteral("SlideShow"), QStringLiteral("Interval"), -1), LongInterval);
    }

    // A show resumed by the pause command with no start in this run replaced
    // nothing, so its stop leaves the user's values alone (rather than
    // putting back values no start ever saved).
    void pauseWithoutAStartRestoresNothing()
    {
        TfrmMain window(Ini);
        ShowFolder(window);
        Act(window, "actSortDate")->trigger();
        Act(window, "actFullScreen")->trigger();
        window.Option().EnlargePicture = true;
        SetShow(window, false, true, false);
        const QStringList byDate = Names(window);
        QAction* pause = Act(window, "actPauseSlideShow");
        pause->trigger();
        QVERIFY(window.SlideShowRunning());
        QCOMPARE(window.SlideShowTimer()->interval(), 3000);
        pause->trigger();
        QVERIFY(!window.SlideShowRunning());
        QVERIFY(window.InFullScreen());
        QVERIFY(window.Option().EnlargePicture);
        QVERIFY(Act(window, "actSortDate")->isChecked());
        QCOMPARE(Names(window), byDate);
    }

private:
    void ShowFolder(TfrmMain& window)
    {
        window.SetStartPath(Folder);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(window.View()->HasImage());
        QCOMPARE(window.View()->ImageCount(), FileCount);
    }

    static void SetShow(TfrmMain& window, bool fullScr, bool random, bool repeat)
    {
        TSlideShowOption& show = window.Option().SlideShow;
        show.FullScr = fullScr;
        show.Random = random;
        show.Repeat = repeat;
        show.Enlarge = false;
        show.Interval = LongInterval;
    }

    // Runs the start command; the dialog it shows is handed to work, which
    // must close it.
    static void RunDialog(TfrmMain& window, const std::function<void(TfrmSlideShow&)>& work)
    {
        bool seen = false;
        QTimer::singleShot(0, &window, [&] {
            auto* dialog = qobject_cast<TfrmSlideShow*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = true;
            QCOMPARE(dialog->windowTitle(), QStringLiteral("スライドショーの設定"));
            work(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        window.Actions()["ActSlideShow"]->trigger();
        QVERIFY(seen);
    }

    static QStringList Names(const TfrmMain& window)
    {
        QStringList names;
        for (int i = 0; i < window.View()->ImageCount(); ++i)
            names << window.View()->NameAt(i);
        return names;
    }

    static QAction* Act(const TfrmMain& window, const char* name) { return window.Actions()[name]; }

};

QTEST_MAIN(SlideShowTest)
#include "slideshow_qtest.moc"
