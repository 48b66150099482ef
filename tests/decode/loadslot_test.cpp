#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "TestFiles.h"
#include "decode/uImageReaders.h"

namespace {

// Files written by ImageMagick and Pillow once for the whole suite.
class LoadSlotTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Dir = new QTemporaryDir;
        ASSERT_TRUE(Dir->isValid());
        auto convert = [](const QStringList& args) {
            QProcess process;
            process.start("convert", args);
            ASSERT_TRUE(process.waitForFinished(60000));
            ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        };
        convert({"-size", "40x30", "xc:red", "-type", "TrueColor", Path("red.bmp")});
        convert({"-size", "40x30", "xc:lime", Path("one.gif")});
        convert({"-size", "8x8", "xc:red", "xc:blue", Path("two.gif")});
        convert({"-size", "2000x1000", "xc:rgb(10,20,30)", "-quality", "90", Path("wide.jpg")});
        // Left half red, right half transparent: the background shows there.
        convert({"-size", "32x32", "xc:none", "-fill", "red", "-draw", "rectangle 0,0 15,31",
                 Path("half.ico")});
        TestFiles::Write(Path("wide-jpeg.bmp"), TestFiles::Read(Path("wide.jpg")));
        TestFiles::Write(Path("gif.jpg"), TestFiles::Read(Path("one.gif")));
        TestFiles::Write(Path("same.png"), TestFiles::Read(Path("wide.jpg")));

        // Stored 400 x 300 with orientation 6, the EXIF segment right after
        // the start marker as cameras write it.
        QProcess python;
        python.start("/usr/bin/python3",
                     {"-c",
                      "import sys\n"
                      "from PIL import Image\n"
                      "exif = Image.Exif()\n"
                      "exif[0x0112] = 6\n"
                      "Image.new('RGB', (400, 300), (0, 0, 255)).save(sys.argv[1], exif=exif)\n"
                      "data = open(sys.argv[1], 'rb').read()\n"
                      "if data[2:4] == b'\\xff\\xe0':\n"
                      "    data = data[:2] + data[4 + int.from_bytes(data[4:6], 'big'):]\n"
                      "open(sys.argv[1], 'wb').write(data)\n",
                      Path("portrait.jpg")});
        ASSERT_TRUE(python.waitForFinished(60000));
        ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    }

    static void TearDownTestSuite()
    {
        delete Dir;
        Dir = nullptr;
    }

    static QString Path(const QString& name) { return Dir->filePath(name); }

    static TBufImage Load(const QString& name, const TDecodeParams& params = {})
    {
        TBufImage slot;
        LoadSlot(&slot, Path(name), params);
        return slot;
    }

    static QTemporaryDir* Dir;
};

QTemporaryDir* LoadSlotTest::Dir = nullptr;

TEST_F(LoadSlotTest, EachBuiltInTypeGoesToItsReader)
{
    struct Case {
        const char* Name;
        QSize Size;  // empty: no picture
        bool Animated;
    };
    const Case cases[] = {
        {"red.bmp", {40, 30}, false},
        {"one.gif", {40, 30}, false},
        {"two.gif", {}, true},
        {"wide.jpg", {2000, 1000}, false},
        {"half.ico", {32, 32}, false},
        // Misnamed files reach the reader of their name and give nothing.
        {"wide-jpeg.bmp", {}, false},
        {"gif.jpg", {}, false},
        {"missing.jpg", {}, false},
    };
    for (const Case& c : cases) {
        const TBufImage slot = Load(c.Name);
        EXPECT_TRUE(slot.Loaded) << c.Name;
        EXPECT_EQ(slot.Animated, c.Animated) << c.Name;
        EXPECT_EQ(slot.Bitmap.isNull() ? QSize() : slot.Bitmap.size(), c.Size) << c.Name;
    }
    EXPECT_EQ(Load("red.bmp").Bitmap.pixel(39, 29), qRgb(255, 0, 0));
}

TEST_F(LoadSlotTest, ParametersReachTheReaders)
{
    TDecodeParams params;
    params.ScreenSize = QSize(400, 200);  // r = 5: one quarter
    EXPECT_EQ(Load("wide.jpg", params).Bitmap.size(), QSize(500, 250));

    params.BackColor = 0x00FF0000;  // 0x00BBGGRR: blue
    const TBufImage icon = Load("half.ico", params);
    ASSERT_EQ(icon.Bitmap.size(), QSize(32, 32));
    EXPECT_EQ(icon.Bitmap.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(icon.Bitmap.pixel(30, 2), qRgb(0, 0, 255));

    params.AutoRotate = false;
    EXPECT_EQ(Load("portrait.jpg", params).Bitmap.size(), QSize(400, 300));
    params.AutoRotate = true;
    params.ScreenSize = QSize(1920, 1080);
    EXPECT_EQ(Load("portrait.jpg", params).Bitmap.size(), QSize(300, 400));
}

TEST_F(LoadSlotTest, UnknownNameLeavesTheSlotUntouched)
{
    TBufImage slot;
    slot.Bitmap = QImage(3, 3, QImage::Format_RGB32);
    slot.Bitmap.fill(Qt::green);
    slot.NotifyPending = true;
    for (const char* name : {"same.png", "picture", "picture.", "wide.jpg.txt"}) {
        LoadSlot(&slot, Path(name), TDecodeParams());
        EXPECT_FALSE(slot.Loaded) << name;
        EXPECT_TRUE(slot.NotifyPending) << name;
        EXPECT_EQ(slot.Bitmap.size(), QSize(3, 3)) << name;
    }
}

TEST_F(LoadSlotTest, PluginExtensionsWinOverBuiltInOnes)
{
    // The plug-in reader comes first; until the plug-in host exists it
    // decodes nothing, which shows that the built-in reader was not used.
    const QStringList plugins{".JPG", ".png"};
    TDecodeParams params;
    params.SusieExtensions = &plugins;
    for (const char* name : {"wide.jpg", "same.png"}) {
        const TBufImage slot = Load(name, params);
        EXPECT_TRUE(slot.Loaded) << name;
        EXPECT_TRUE(slot.Bitmap.isNull()) << name;
    }
    EXPECT_EQ(Load("red.bmp", params).Bitmap.size(), QSize(40, 30));
}

} // namespace
