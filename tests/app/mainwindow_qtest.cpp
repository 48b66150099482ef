#include <QtTest>

#include <QDir>
#include <QTemporaryDir>

#include "WindowTestBase.h"
#include "app/uMain.h"
#include "platform/TProfileFile.h"
#include "settings/uOption.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class MainWindowTest : public TWindowTestBase {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(MakeSandbox());
    }

    void opensWithCaptionClientSizeAndBlackArea()
    {
        TfrmMain window(Ini);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Zorvin Lite"));
        QCOMPARE(window.centralWidget()->size(), QSize(542, 424));
        const QImage shot = window.centralWidget()->grab().toImage();
        QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(Qt::black));
        QVERIFY(window.close());
    }

    void closingWritesTheSettingsAndThenThePlacement()
    {
        TfrmMain window(Ini);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setGeometry(30, 40, 600, 400);
        QVERIFY(!QFile::exists(Ini));
        QVERIFY(window.close());
        QVERIFY(QFile::exists(Ini));

        const TProfileFile ini(Ini);
        QVERIFY(ini.SectionExists(QStringLiteral("Option")));
        QCOMPARE(ini.ReadString(QStringLiteral("KeySettings"), QStringLiteral("NextImage"), {}),
                 QStringLiteral("Down"));
        QCOMPARE(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("State"), -1), 0);
        const QRect g = window.geometry();
        QCOMPARE(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Left"), -1), g.x());
        QCOMPARE(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Top"), -1), g.y());
        QCOMPARE(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Right"), -1),
                 g.x() + g.width());
        QCOMPARE(ini.ReadInteger(QStringLiteral("Window"), QStringLiteral("Bottom"), -1),
                 g.y() + g.height());
        const QString text = QString::fromUtf8(ini.Contents());
        QVERIFY(text.indexOf(QStringLiteral("[SlideShow]")) < text.indexOf(QStringLiteral("[Window]")));
        QVERIFY(!text.contains(QStringLiteral("[Programs]")));
    }

    void storedPlacementIsApplied_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("normal") << QByteArray("[Window]\nState=0\nLeft=40\nTop=50\nRight=740\nBottom=550\n")
                                << QRect(40, 50, 700, 500) << false;
        QTest::newRow("specified size")
            << QByteArray("[Option]\nSpecifyWindowSize=1\nSpecifiedWidth=800\nSpecifiedHeight=600\n"
                          "[Window]\nState=1\nLeft=100\nTop=60\nRight=300\nBottom=300\n")
            << QRect(100, 60, 799, 599) << false;
        QTest::newRow("maximized")
            << QByteArray("[Window]\nState=1\nLeft=40\nTop=50\nRight=740\nBottom=550\n")
            << QRect(40, 50, 700, 500) << true;
        QTest::newRow("empty rectangle")
            << QByteArray("[Window]\nLeft=40\nTop=50\nRight=-2147483648\nBottom=50\n")
            << QRect(40, 50, 1, 1) << false;
    }

    void storedPlacementIsApplied()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QRect, geometry);
        QFETCH(bool, maximized);
        WriteFile(Ini, ini);
        {
            TfrmMain window(Ini);
            window.setMinimumSize(1, 1);
            QCOMPARE(window.isMaximized(), maximized);
            const QRect normal = maximized ? window.normalGeometry() : window.geometry();
            QCOMPARE(normal.topLeft(), geometry.topLeft());
            QCOMPARE(normal.size().expandedTo(window.minimumSizeHint()),
                     geometry.size().expandedTo(window.minimumSizeHint()));
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(window.isMaximized(), maximized);
            QVERIFY(window.close());
        }
        // Closing writes back what was applied.
        const TProfileFile saved(Ini);
        QCOMPARE(saved.ReadInteger(QStringLiteral("Window"), QStringLiteral("State"), -1),
                 maximized ? 1 : 0);
        if (maximized) {
            QCOMPARE(saved.ReadInteger(QStringLiteral("Window"), QStringLiteral("Left"), -1), 40);
            QCOMPARE(saved.ReadInteger(QStringLiteral("Window"), QStringLiteral("Bottom"), -1), 550);
        }
    }

    // An exit that never closes the window (the event loop ended by a
    // signal) still saves, once, when the window is destroyed.
    void destructionSavesWhenNoCloseCame()
    {
        auto* window = new TfrmMain(Ini);
        window->Option().LoopList = true;
        delete window;
        const TProfileFile ini(Ini);
        QCOMPARE(ini.ReadBool(QStringLiteral("Option"), QStringLiteral("LoopList"), false), true);
        QVERIFY(ini.SectionExists(QStringLiteral("Window")));

        // Closing saved already; destruction must not write a second time.
        {
            TfrmMain closed(Ini);
            QVERIFY(closed.close());
            WriteFile(Ini, "[Option]\nLoopList=0\n");
        }
        QFile file(Ini);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[Option]\nLoopList=0\n"));
    }

    void refusedWriteAtExitIsSilent()
    {
        QVERIFY(QDir(Dir->path()).mkdir(QStringLiteral("Zorvin.ini")));
        TfrmMain window(Ini);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.close());
        QVERIFY(QFileInfo(Ini).isDir());
    }

private:
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_qtest.moc"
