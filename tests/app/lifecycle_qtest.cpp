// The main window's life cycle: what it writes at close, the last file
// reopened at the next start, the unsupported-file warning and dropped files.

#include <QtTest>

#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "WindowTestBase.h"
#include "app/uMain.h"
#include "display/uZorvinView.h"
#include "platform/TProfileFile.h"
#include "settings/uOption.h"

namespace {

struct TWarning {
    QString Text;
    QString Caption;
};

} // namespace

class LifeCycleTest : public TWindowTestBase {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(MakeSandbox());
        for (const char* name : {"img0.bmp", "img1.bmp", "img2.bmp"}) {
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(Qt::darkCyan);
            QVERIFY(picture.save(Folder + QString::fromLatin1(name), "BMP"));
        }
        Warnings.clear();
    }

    void closeWritesLastFileAndSortAscend()
    {
        {
            auto window = MakeWindow();
            window->SetStartPath(Folder);
            Show(*window);
            QTRY_VERIFY(window->windowTitle().contains(QStringLiteral("img0.bmp  [1/3]")));
            QTest::keyClick(window.get(), Qt::Key_Down);
            QTRY_VERIFY(window->windowTitle().contains(QStringLiteral("img1.bmp  [2/3]")));
            window->Actions()["actSortAscend"]->trigger();
            QVERIFY(window->close());
        }
        const TProfileFile ini(Ini);
        QCOMPARE(ini.ReadString(QStringLiteral("Option"), QStringLiteral("LastFile"), {}),
                 Folder + QStringLiteral("img1.bmp"));
        QCOMPARE(ini.ReadBool(QStringLiteral("Option"), QStringLiteral("SortAscend"), true), false);
        QVERIFY(ini.SectionExists(QStringLiteral("Window")));
    }

    // Until the first image of a folder arrives the title says what is
    // being opened.
    void openingCaptionThenTheImage()
    {
        auto window = MakeWindow();
        window->SetStartPath(Folder);
        window->show();  // the start path is opened in the first showing
        QCOMPARE(window->windowTitle(), Folder + QStringLiteral(" を開いています"));
        QTRY_COMPARE(window->windowTitle(), Folder + QStringLiteral("img0.bmp  [1/3] 100% - Zorvin Lite"));
    }

    // A window destroyed before it was ever shown has no view to ask: the
    // stored last file is kept, not wiped.
    void neverShownKeepsTheLastFile()
    {
        TProfileFile ini(Ini);
        ini.WriteString(QStringLiteral("Option"), QStringLiteral("LastFile"), Folder + QStringLiteral("img1.bmp"));
        ini.Flush();
        MakeWindow().reset();
        const TProfileFile saved(Ini);
        QCOMPARE(saved.ReadString(QStringLiteral("Option"), QStringLiteral("LastFile"), {}),
                 Folder + QStringLiteral("img1.bmp"));
    }

    // Without an argument, OpenLastFile reopens the last file; a missing
    // last file, or the setting off, leaves the window empty without a word.
    void startWithoutArgument_data()
    {
        QTest::addColumn<bool>("openLast");
        QTest::addColumn<QString>("lastName");
        QTest::addColumn<QString>("shown");
        QTest::newRow("reopens") << true << QStringLiteral("img2.bmp") << QStringLiteral("img2.bmp");
        QTest::newRow("missing file") << true << QStringLiteral("gone.bmp") << QString();
        QTest::newRow("setting off") << false << QStringLiteral("img2.bmp") << QString();
        QTest::newRow("a folder is not reopened") << true << QString() << QString();
    }

    void startWithoutArgument()
    {
        QFETCH(bool, openLast);
        QFETCH(QString, lastName);
        QFETCH(QString, shown);
        TProfileFile ini(Ini);
        ini.WriteBool(QStringLiteral("Option"), QStringLiteral("OpenLastFile"), openLast);
        ini.WriteString(QStringLiteral("Option"), QStringLiteral("LastFile"), Folder + lastName);
        ini.Flush();

        auto window = MakeWindow();
        Show(*window);
        if (shown.isEmpty()) {
            QCOMPARE(window->View()->ImageCount(), 0);
            QCOMPARE(window->windowTitle(), QStringLiteral("Zorvin Lite"));
        } else {
            QTRY_COMPARE(window->windowTitle(),
                         Folder + shown + QStringLiteral("  [3/3] 100% - Zorvin Lite"));
        }
        QVERIFY(Warnings.empty());
    }

    // An existing file that no reader knows gets the warning; the image and
    // list stay as they were. A missing path is ignored silently.
    void unsupportedFileWarnsAndKeepsTheImage()
    {
        const QString text = Dir->filePath(QStringLiteral("notes.txt"));
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("plain text");
        file.close();

        auto window = MakeWindow();
        window->SetStartPath(text);
        Show(*window);
        QCOMPARE(Warnings.size(), size_t(1));
        QCOMPARE(Warnings[0].Text, text + QStringLiteral(" はサポートされていない形式です"));
        QCOMPARE(Warnings[0].Caption, QStringLiteral("読み込みエラー"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Zorvin Lite"));

        window->OpenPath(Folder, true);
        QTRY_VERIFY(window->windowTitle().contains(QStringLiteral("img0.bmp  [1/3]")));
        const QString title = window->windowTitle();
        window->OpenPath(text, true);
        QCOMPARE(Warnings.size(), size_t(2));
        window->OpenPath(Dir->filePath(QStringLiteral("missing.txt")), true);
        QCOMPARE(Warnings.size(), size_t(2));
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->View()->ImageCount(), 3);
    }

    // The first dropped local file is opened; a dropped folder opens its
    // first image.
    void droppedFilesOpenTheFirst_data()
    {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<QString>("title");
        QTest::newRow("files") << QStringList {QStringLiteral("img2.bmp"), QStringLiteral("img0.bmp")}
                               << QStringLiteral("img2.bmp  [3/3]");
        QTest::newRow("folder") << QStringList {QString()} << QStringLiteral("img0.bmp  [1/3]");
    }

    void droppedFilesOpenTheFirst()
    {
        QFETCH(QStringList, dropped);
        QFETCH(QString, title);
        auto window = MakeWindow();
        Show(*window);
        QVERIFY(window->acceptDrops());

        QMimeData data;
        QList<QUrl> urls;
        for (const QString& name : dropped)
            urls << QUrl::fromLocalFile(Folder + name);
        data.setUrls(urls);
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        QTRY_VERIFY(window->windowTitle().contains(title));
    }

    void remoteDropsAreRefused()
    {
        auto window = MakeWindow();
        Show(*window);
        QMimeData data;
        data.setUrls({QUrl(QStringLiteral("https://example.org/a.jpg"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(window.get(), &enter);
        QVERIFY(!enter.isAccepted());
    }

private:
    std::unique_ptr<TfrmMain> MakeWindow()
    {
        auto window = std::make_unique<TfrmMain>(Ini);
        window->ShowWarning = [this](const QString& text, const QString& caption) {
            Warnings.push_back({text, caption});
        };
        return window;
    }

    static void Show(TfrmMain& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    std::vector<TWarning> Warnings;
};

QTEST_MAIN(LifeCycleTest)
#include "lifecycle_qtest.moc"
