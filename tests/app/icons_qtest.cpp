// The commands' icons on a desktop without an icon theme: every icon name of
// the action table has a picture of ours at each size, the actions get them,
// a theme that has an icon still wins, and only the toolbar's buttons get
// theirs before the first image is up.

#include <QtTest>

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

#include "app/MainActions.h"
#include "app/uMain.h"
#include "display/uZorvinView.h"

namespace {

QString ShippedPath(int size, const QString& name)
{
    return QStringLiteral(":/icons/%1/%2.png").arg(size).arg(name);
}

QImage Pixels(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The icon's picture at `size`, at one device pixel per pixel.
QImage IconPixels(const QIcon& icon, int size)
{
    const QPixmap pixmap = icon.pixmap(QSize(size, size));
    return Pixels(pixmap.toImage());
}

} // namespace

class IconsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(Themes.isValid());
        QVERIFY(Dir.isValid());
        Ini = Dir.filePath(QStringLiteral("Zorvin.ini"));
        Picture = Dir.filePath(QStringLiteral("a.bmp"));
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(Picture, "BMP"));
        QIcon::setFallbackSearchPaths({});
        NoTheme();
    }

    void cleanup() { NoTheme(); }

    // Adding an action with a new icon name without drawing it fails here.
    void everyTableNameHasShippedFiles_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& name : TableNames())
            QTest::newRow(qPrintable(name)) << name;
    }

    void everyTableNameHasShippedFiles()
    {
        QFETCH(QString, name);
        for (int size : {16, 24, 32}) {
            const QString path = ShippedPath(size, name);
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY2(image.hasAlphaChannel(), qPrintable(path));
            // A drawing, not an empty square.
            int visible = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    visible += qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(visible >= size * size / 8, qPrintable(path));
        }
    }

    void everyActionGetsOursWithoutATheme()
    {
        TfrmMain window(Ini);
        ShowPicture(window);
        if (QTest::currentTestFailed())
            return;
        int checked = 0;
        for (const TActionDef& def : TMainActions::Table()) {
            QAction* action = window.Actions()[def.Name];
            QVERIFY2(action, def.Name);
            if (!*def.ThemeIcon)
                continue;
            const QIcon icon = action->icon();
            QVERIFY2(!icon.isNull(), def.Name);
            // Our own picture of each size, not another size scaled.
            for (int size : {16, 24}) {
                const QImage shipped(ShippedPath(size, QString::fromLatin1(def.ThemeIcon)));
                QVERIFY2(!shipped.isNull(), def.ThemeIcon);
                QVERIFY2(IconPixels(icon, size) == Pixels(shipped),
                         qPrintable(QStringLiteral("%1 at %2").arg(QLatin1String(def.Name)).arg(size)));
            }
            ++checked;
        }
        QVERIFY(checked > 0);
    }

    void aThemeIconWinsOverOurs()
    {
        // A theme holding only "zoom-in", plain magenta.
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QDir dir(root.path());
        QVERIFY(dir.mkpath(QStringLiteral("ztest/16x16/actions")));
        QFile index(dir.filePath(QStringLiteral("ztest/index.theme")));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=ztest\nDirectories=16x16/actions\n\n"
                    "[16x16/actions]\nSize=16\nContext=Actions\nType=Fixed\n");
        index.close();
        QImage magenta(16, 16, QImage::Format_ARGB32);
        magenta.fill(QColor(255, 0, 255));
        QVERIFY(magenta.save(dir.filePath(QStringLiteral("ztest/16x16/actions/zoom-in.png"))));
        QIcon::setThemeSearchPaths({root.path()});
        QIcon::setThemeName(QStringLiteral("ztest"));

        TfrmMain window(Ini);
        ShowPicture(window);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(IconPixels(window.Actions()["actZoomIn"]->icon(), 16), Pixels(magenta));
        // A name the theme lacks still gets ours.
        QCOMPARE(IconPixels(window.Actions()["actZoomOut"]->icon(), 16),
                 Pixels(QImage(ShippedPath(16, QStringLiteral("zoom-out")))));
    }

    // Only the toolbar's buttons are looked up at creation; the others wait
    // until the first image has been painted.
    void onlyTheToolbarIsLoadedAtCreation()
    {
        TfrmMain window(Ini);
        for (const char* name : {"actOpen", "actPrevImage", "actNextImage", "actFullScreen", "actZoomOut", "actZoomIn"})
            QVERIFY2(!window.Actions()[name]->icon().isNull(), name);
        const auto later = {"actShowAbout", "actRotateLeft", "actDelete", "actExecute1"};
        for (const char* name : later)
            QVERIFY2(window.Actions()[name]->icon().isNull(), name);
        ShowPicture(window);
        for (const char* name : later)
            QVERIFY2(!window.Actions()[name]->icon().isNull(), name);
    }

private:
    // Shows the window with the picture and waits until every icon is loaded,
    // which follows the first painting of an image.
    void ShowPicture(TfrmMain& window)
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.OpenPath(Picture, false);
        QTRY_VERIFY(window.View()->HasImage());
        QTRY_VERIFY(!window.Actions()["actExecute10"]->icon().isNull());
    }

    // A search path that holds no theme, and a theme name nobody has.
    void NoTheme()
    {
        QIcon::setThemeSearchPaths({Themes.path()});
        QIcon::setThemeName(QStringLiteral("zorvin-no-such-theme"));
    }

    static QStringList TableNames()
    {
        QStringList names;
        for (const TActionDef& def : TMainActions::Table()) {
            const QString name = QString::fromLatin1(def.ThemeIcon);
            if (!name.isEmpty() && !names.contains(name))
                names << name;
        }
        return names;
    }

    QTemporaryDir Themes;
    QTemporaryDir Dir;
    QString Ini;
    QString Picture;
};

QTEST_MAIN(IconsTest)
#include "icons_qtest.moc"
