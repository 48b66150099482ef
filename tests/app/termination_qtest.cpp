#include <QtTest>

#include <csignal>

#include "app/TerminationSignals.h"

class TerminationTest : public QObject {
    Q_OBJECT

private slots:
    void signalsEndTheEventLoopNormally_data()
    {
        QTest::addColumn<int>("sig");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void signalsEndTheEventLoopNormally()
    {
        QFETCH(int, sig);
        QuitOnTerminationSignals();
        QuitOnTerminationSignals();  // a second call changes nothing
        // Each row raises a different signal: a handler serves only once.
        struct sigaction action {};
        QVERIFY(::sigaction(sig, nullptr, &action) == 0);
        QVERIFY(action.sa_handler != SIG_DFL);

        QSignalSpy quitting(QCoreApplication::instance(), &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, [sig] { ::raise(sig); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(quitting.count(), 1);
        QVERIFY(::sigaction(sig, nullptr, &action) == 0);
        QVERIFY(action.sa_handler == SIG_DFL);  // a second signal ends the process
    }
};

QTEST_GUILESS_MAIN(TerminationTest)
#include "termination_qtest.moc"
