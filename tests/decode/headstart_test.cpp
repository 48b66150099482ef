// The start file's head-start decode: handed to the loader once, and only
// for the file and the decode settings it was made with.

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "TestFiles.h"
#include "decode/HeadStartDecode.h"

namespace {

class HeadStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        QProcess convert;
        convert.start("convert", {"-size", "2000x1000", "xc:rgb(0,0,255)", "-quality", "95", Path("wide.jpg")});
        ASSERT_TRUE(convert.waitForFinished(60000));
        ASSERT_EQ(convert.exitCode(), 0);
        Params.ScreenSize = QSize(800, 400);  // the decoder halves the picture
    }

    QString Path(const QString& name) const { return QDir(Dir.path()).absoluteFilePath(name); }

    QTemporaryDir Dir;
    TDecodeParams Params;
};

TEST_F(HeadStart, TheLoaderTakesThePictureOnceForTheSameFileAndSettings)
{
    THeadStartDecode head(Path("wide.jpg"), Params);
    ASSERT_TRUE(head.Started());
    TBufImage slot;
    ASSERT_TRUE(head.Take(Path("wide.jpg"), Params, &slot));
    EXPECT_TRUE(slot.Loaded);
    EXPECT_EQ(slot.Bitmap.size(), QSize(1000, 500));
    EXPECT_GE(QColor(slot.Bitmap.pixel(500, 250)).blue(), 250);
    TBufImage again;
    EXPECT_FALSE(head.Take(Path("wide.jpg"), Params, &again)) << "one picture, handed over once";
    EXPECT_FALSE(again.Loaded);
}

TEST_F(HeadStart, AnyOtherRequestEndsItWithoutHandingOverThePicture)
{
    const QStringList plugins{".jpg"};
    struct Case {
        const char* Title;
        QString Path;
        std::function<void(TDecodeParams&)> Change;
    };
    const Case cases[] = {
        {"another file first", Path("other.jpg"), [](TDecodeParams&) {}},
        {"another screen", Path("wide.jpg"), [](TDecodeParams& p) { p.ScreenSize = QSize(1920, 1080); }},
        {"auto-rotation switched", Path("wide.jpg"), [](TDecodeParams& p) { p.AutoRotate = !p.AutoRotate; }},
        {"another background", Path("wide.jpg"), [](TDecodeParams& p) { p.BackColor = 0x123456; }},
        {"a plug-in took the type over", Path("wide.jpg"), [&](TDecodeParams& p) { p.SusieExtensions = &plugins; }},
    };
    for (const Case& c : cases) {
        THeadStartDecode head(Path("wide.jpg"), Params);
        TDecodeParams asked = Params;
        c.Change(asked);
        TBufImage slot;
        EXPECT_FALSE(head.Take(c.Path, asked, &slot)) << c.Title;
        EXPECT_FALSE(slot.Loaded) << c.Title;
        EXPECT_FALSE(head.Take(Path("wide.jpg"), Params, &slot)) << c.Title << ": the first request ends it";
    }
}

TEST_F(HeadStart, OnlyPlainFilesOfBuiltInTypesStartIt)
{
    TestFiles::Write(Path("picture.png"), TestFiles::Read(Path("wide.jpg")));
    QDir().mkpath(Path("folder.jpg"));
    for (const QString& path : {QString(), Path("missing.jpg"), Path("picture.png"), Path("folder.jpg")}) {
        THeadStartDecode head(path, Params);
        EXPECT_FALSE(head.Started()) << path.toStdString();
        TBufImage slot;
        EXPECT_FALSE(head.Take(path, Params, &slot)) << path.toStdString();
    }
}

} // namespace
