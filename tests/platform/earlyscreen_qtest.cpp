// The early screen query gives an empty size, promptly and without crashing,
// wherever no X display can be reached; the program then waits for the
// toolkit's own screen size.

#include <QtTest>

#include "platform/ui/EarlyScreen.h"

class EarlyScreenTest : public QObject {
    Q_OBJECT

private slots:
    void NoReachableDisplayGivesAnEmptySize_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::newRow("no DISPLAY") << QByteArray();
        QTest::newRow("no server on that display") << QByteArray(":9731");
        QTest::newRow("malformed name") << QByteArray("not a display");
    }

    void NoReachableDisplayGivesAnEmptySize()
    {
        QFETCH(QByteArray, display);
        const QByteArray saved = qgetenv("DISPLAY");
        if (display.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", display);
        const QSize size = EarlyScreenSize();
        if (saved.isEmpty())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", saved);
        QVERIFY(size.isEmpty());
    }
};

QTEST_GUILESS_MAIN(EarlyScreenTest)
#include "earlyscreen_qtest.moc"
