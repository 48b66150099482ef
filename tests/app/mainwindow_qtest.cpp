#include <QtTest>

#include "app/uMain.h"

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithCaptionClientSizeAndBlackArea()
    {
        TfrmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Zorvin Lite"));
        QCOMPARE(window.centralWidget()->size(), QSize(542, 424));
        const QImage shot = window.centralWidget()->grab().toImage();
        QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(Qt::black));
        QVERIFY(window.close());
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_qtest.moc"
