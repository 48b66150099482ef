// The main window showing a folder: the first image painted with its title,
// stepping with Down and Up, and wrapping with LoopList.

#include <QtTest>

#include <QTemporaryDir>

#include "WindowTestBase.h"
#include "app/uMain.h"
#include "display/uZorvinView.h"
#include "settings/uOption.h"

class ViewingTest : public TWindowTestBase {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(MakeSandbox());
        const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
        for (int i = 0; i < 3; ++i) {
            QImage picture(64, 48, QImage::Format_RGB32);
            picture.fill(colours[i]);
            QVERIFY(picture.save(Folder + QStringLiteral("img%1.bmp").arg(i), "BMP"));
        }
    }

    void showsTheFirstImageAndStepsThroughTheFolder()
    {
        TfrmMain window(Dir->filePath(QStringLiteral("Zorvin.ini")));
        window.SetStartPath(Folder);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(window.windowTitle(), Folder + QStringLiteral("img0.bmp  [1/3] 100% - Zorvin Lite"));
        QCOMPARE(CentreColour(window), QColor(Qt::red));

        QTest::keyClick(&window, Qt::Key_Down);
        QTRY_COMPARE(window.windowTitle(), Folder + QStringLiteral("img1.bmp  [2/3] 100% - Zorvin Lite"));
        QTRY_COMPARE(CentreColour(window), QColor(Qt::green));

        QTest::keyClick(&window, Qt::Key_Up);
        QTRY_VERIFY(window.windowTitle().contains(QStringLiteral("[1/3]")));
        QTest::keyClick(&window, Qt::Key_Up);  // LoopList off: stays on the first
        QTest::qWait(50);
        QVERIFY(window.windowTitle().contains(QStringLiteral("[1/3]")));

        window.Option().LoopList = true;
        QTest::keyClick(&window, Qt::Key_Up);
        QTRY_VERIFY(window.windowTitle().contains(QStringLiteral("img2.bmp  [3/3]")));
        QTRY_COMPARE(CentreColour(window), QColor(Qt::blue));
        QTest::keyClick(&window, Qt::Key_Down);
        QTRY_VERIFY(window.windowTitle().contains(QStringLiteral("[1/3]")));
    }

private:
    static QColor CentreColour(TfrmMain& window)
    {
        // The image area, below the dock of menus and toolbars.
        const QImage shot = window.findChild<QWidget*>(QStringLiteral("ImageArea"))->grab().toImage();
        return shot.pixelColor(shot.width() / 2, shot.height() / 2);
    }

};

QTEST_MAIN(ViewingTest)
#include "viewing_qtest.moc"
