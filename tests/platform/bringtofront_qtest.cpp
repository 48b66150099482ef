#include <QWidget>
#include <QtTest>

#include "platform/ui/SingleInstance.h"

// The running viewer, asked by a second start, comes back from the task bar
// in the state it had before it was minimised.
class TestBringToFront : public QObject {
    Q_OBJECT

private slots:
    void RestoresAMinimisedWindowToItsFormerState_data()
    {
        QTest::addColumn<int>("before");
        QTest::newRow("normal") << int(Qt::WindowNoState);
        QTest::newRow("maximised") << int(Qt::WindowMaximized);
        QTest::newRow("full screen") << int(Qt::WindowFullScreen);
    }

    void RestoresAMinimisedWindowToItsFormerState()
    {
        QFETCH(int, before);
        QWidget window;
        window.setWindowState(Qt::WindowStates(before));
        window.show();
        window.setWindowState(window.windowState() | Qt::WindowMinimized);
        QVERIFY(window.isMinimized());

        SingleInstance::BringToFront(&window);
        QVERIFY(!window.isMinimized());
        QVERIFY(window.isVisible());
        QCOMPARE(int(window.windowState() & ~Qt::WindowActive), before);
    }

    void ShowsAHiddenWindowAndLeavesAVisibleOneAsItIs()
    {
        QWidget window;
        SingleInstance::BringToFront(&window);
        QVERIFY(window.isVisible());
        window.setWindowState(Qt::WindowMaximized);
        SingleInstance::BringToFront(&window);
        QCOMPARE(window.windowState() & ~Qt::WindowActive, Qt::WindowStates(Qt::WindowMaximized));
    }
};

QTEST_MAIN(TestBringToFront)
#include "bringtofront_qtest.moc"
