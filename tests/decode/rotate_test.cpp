// Quarter turns of slot pictures, and auto-rotation from a file's EXIF
// orientation.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <QTemporaryDir>

#include <vector>

#include "TestFiles.h"
#include "decode/ZVRotateImage.h"
#include "imagelist/TBufImage.h"

namespace {

// Every pixel different, alpha included where the format has it.
QImage Pattern(int w, int h, QImage::Format format)
{
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = x * 131 + y * 7919;
            const int r = v & 0xFF, g = (v >> 8) & 0xFF, b = (x ^ y) & 0xFF;
            if (format == QImage::Format_ARGB32_Premultiplied) {
                const int a = (x * 3 + y * 5) & 0xFF;
                image.setPixel(x, y, qRgba(r * a / 255, g * a / 255, b * a / 255, a));
            } else {
                image.setPixel(x, y, qRgb(r, g, b));
            }
        }
    return image;
}

::testing::AssertionResult IsQuarterTurn(const QImage& source, const QImage& turned, bool clockwise)
{
    if (turned.isNull())
        return ::testing::AssertionFailure() << "no picture";
    const int w = source.width(), h = source.height();
    if (turned.width() != h || turned.height() != w)
        return ::testing::AssertionFailure() << "size " << turned.width() << "x" << turned.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb expected = source.pixel(x, y);
            const QRgb actual = clockwise ? turned.pixel(h - 1 - y, x) : turned.pixel(y, w - 1 - x);
            if (actual != expected)
                return ::testing::AssertionFailure() << "source pixel (" << x << "," << y << ")";
        }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SamePicture(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return ::testing::AssertionFailure() << "size or format differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ")";
    return ::testing::AssertionSuccess();
}

// ---------------------------------------------------------------- RotateBitmap90

TEST(RotateBitmap90, EveryPixelLandsWhereAQuarterTurnPutsIt)
{
    // Sizes around the routine's tiles of 128 pixels.
    const std::vector<QSize> sizes = {{1, 1}, {3, 2}, {2, 3}, {1, 9}, {9, 1}, {128, 128}, {129, 127}, {260, 67}, {300, 1}};
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        for (const QSize& size : sizes) {
            SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << " format " << format);
            const QImage source = Pattern(size.width(), size.height(), format);
            const QImage right = TZVRotateImage::RotateBitmap90(source, 1);
            EXPECT_TRUE(IsQuarterTurn(source, right, true));
            EXPECT_EQ(right.format(), format);
            // Any direction but 1 turns anticlockwise.
            for (int direction : {2, 0, -1}) {
                const QImage left = TZVRotateImage::RotateBitmap90(source, direction);
                EXPECT_TRUE(IsQuarterTurn(source, left, false));
                EXPECT_EQ(left.format(), format);
            }
        }
    }
}

TEST(RotateBitmap90, ThreeByTwoCornersGoWhereTheyBelong)
{
    QImage source(3, 2, QImage::Format_RGB32);
    source.fill(Qt::black);
    const QRgb topLeft = qRgb(255, 0, 0), topRight = qRgb(0, 255, 0), bottomLeft = qRgb(0, 0, 255),
               bottomRight = qRgb(255, 255, 0);
    source.setPixel(0, 0, topLeft);
    source.setPixel(2, 0, topRight);
    source.setPixel(0, 1, bottomLeft);
    source.setPixel(2, 1, bottomRight);

    const QImage right = TZVRotateImage::RotateBitmap90(source, 1);
    ASSERT_EQ(right.size(), QSize(2, 3));
    EXPECT_EQ(right.pixel(1, 0), topLeft);  // top-left ends top-right
    EXPECT_EQ(right.pixel(1, 2), topRight);
    EXPECT_EQ(right.pixel(0, 0), bottomLeft);
    EXPECT_EQ(right.pixel(0, 2), bottomRight);

    const QImage left = TZVRotateImage::RotateBitmap90(source, 2);
    ASSERT_EQ(left.size(), QSize(2, 3));
    EXPECT_EQ(left.pixel(0, 2), topLeft);  // top-left ends bottom-left
    EXPECT_EQ(left.pixel(0, 0), topRight);
    EXPECT_EQ(left.pixel(1, 2), bottomLeft);
    EXPECT_EQ(left.pixel(1, 0), bottomRight);
}

TEST(RotateBitmap90, OtherFormatsAreTurnedWithTheirColours)
{
    struct Case {
        const char* name;
        QImage source;
        QImage::Format expectedFormat;
    };
    QImage indexed(5, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            indexed.setPixel(x, y, uint((x + y) % 3));
    QImage straightAlpha(4, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            straightAlpha.setPixel(x, y, qRgba(x * 60, y * 100, 7, x * 80 + y));
    const std::vector<Case> cases = {
        {"RGB888", Pattern(6, 4, QImage::Format_RGB32).convertToFormat(QImage::Format_RGB888),
         QImage::Format_RGB32},
        {"indexed", indexed, QImage::Format_RGB32},
        // Transparency is kept, premultiplied.
        {"ARGB32", straightAlpha, QImage::Format_ARGB32_Premultiplied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage turned = TZVRotateImage::RotateBitmap90(c.source, 1);
        EXPECT_EQ(turned.format(), c.expectedFormat);
        EXPECT_TRUE(IsQuarterTurn(c.source.convertToFormat(c.expectedFormat), turned, true));
    }
}

TEST(RotateBitmap90, NullAndRefusedPicturesGiveNull)
{
    EXPECT_TRUE(TZVRotateImage::RotateBitmap90(QImage(), 1).isNull());
    // 16385 × 1 is a valid source, but its turn is taller than the limit allows.
    QImage wide(16385, 1, QImage::Format_RGB32);
    ASSERT_FALSE(wide.isNull());
    wide.fill(Qt::white);
    EXPECT_TRUE(TZVRotateImage::RotateBitmap90(wide, 1).isNull());
    EXPECT_TRUE(TZVRotateImage::RotateBitmap90(wide, 2).isNull());
}

// ---------------------------------------------------------------- slot turns

TEST(RotateSlot, FourRightTurnsGiveThePictureBackAndTurnsAddUp)
{
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        SCOPED_TRACE(format);
        const QImage original = Pattern(97, 41, format);
        TBufImage slot;
        slot.Bitmap = original;
        TZVRotateImage rotate(&slot);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(rotate.RotateRight(), &slot);
        EXPECT_TRUE(SamePicture(slot.Bitmap, original));
        rotate.RotateRight();
        rotate.RotateRight();
        // A half turn: pixel (x, y) is at (w - 1 - x, h - 1 - y).
        ASSERT_EQ(slot.Bitmap.size(), original.size());
        EXPECT_EQ(slot.Bitmap.pixel(96, 40), original.pixel(0, 0));
        EXPECT_EQ(slot.Bitmap.pixel(0, 0), original.pixel(96, 40));
        EXPECT_EQ(rotate.RotateLeft(), &slot);
        EXPECT_EQ(rotate.RotateLeft(), &slot);
        EXPECT_TRUE(SamePicture(slot.Bitmap, original));
    }
}

TEST(RotateSlot, FailedTurnLeavesTheSlotEmpty)
{
    TBufImage slot;
    slot.Bitmap = QImage(1, 16385, QImage::Format_RGB32);
    slot.Bitmap.fill(Qt::red);
    slot.Loaded = true;
    TZVRotateImage rotate(&slot);
    EXPECT_EQ(rotate.RotateLeft(), &slot);
    EXPECT_TRUE(slot.Bitmap.isNull());
    EXPECT_TRUE(slot.Loaded);
    // Turning an empty picture keeps it empty.
    rotate.RotateRight();
    EXPECT_TRUE(slot.Bitmap.isNull());
    TZVRotateImage noSlot(nullptr);
    EXPECT_EQ(noSlot.RotateRight(), nullptr);
    EXPECT_EQ(noSlot.RotateLeft(), nullptr);
    noSlot.AutoRotate("whatever.jpg");
}

// ---------------------------------------------------------------- AutoRotate

// A JPEG start with an APP1 segment holding one orientation entry; the
// reader needs nothing more to decide the turn.
QByteArray OrientedJpeg(int orientation, bool littleEndian)
{
    auto u16 = [&](int v) {
        QByteArray b(2, '\0');
        b[littleEndian ? 0 : 1] = char(v & 0xFF);
        b[littleEndian ? 1 : 0] = char(v >> 8);
        return b;
    };
    auto u32 = [&](uint32_t v) {
        return littleEndian ? u16(int(v & 0xFFFF)) + u16(int(v >> 16)) : u16(int(v >> 16)) + u16(int(v & 0xFFFF));
    };
    QByteArray tiff = (littleEndian ? QByteArray("II") : QByteArray("MM")) + u16(42) + u32(8);
    tiff += u16(1) + u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0) + u32(0);
    const int length = 8 + int(tiff.size());
    return QByteArray("\xFF\xD8\xFF\xE1", 4) + char(length >> 8) + char(length & 0xFF) + QByteArray("Exif\0\0", 6)
           + tiff + QByteArray("\xFF\xD9", 2);
}

TEST(AutoRotate, TurnsOnlyForOrientationsSixAndEight)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    enum Turn { None, Right, Left };
    struct Case {
        const char* name;
        QByteArray file;  // empty: no file at all
        Turn turn;
    };
    const std::vector<Case> cases = {
        {"1", OrientedJpeg(1, true), None},
        {"3 (half turns are not corrected)", OrientedJpeg(3, false), None},
        {"5 (mirrored)", OrientedJpeg(5, true), None},
        {"6 II", OrientedJpeg(6, true), Right},
        {"6 MM", OrientedJpeg(6, false), Right},
        {"8 II", OrientedJpeg(8, true), Left},
        {"8 MM", OrientedJpeg(8, false), Left},
        {"no EXIF", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10), None},
        {"EXIF cut short", OrientedJpeg(6, true).left(20), None},
        {"missing file", QByteArray(), None},
    };
    const QImage picture = Pattern(40, 30, QImage::Format_RGB32);
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString("photo%1.jpg").arg(index++));
        if (!c.file.isEmpty())
            TestFiles::Write(path, c.file);
        TBufImage slot;
        slot.Bitmap = picture;
        TZVRotateImage(&slot).AutoRotate(path);
        if (c.turn == None)
            EXPECT_TRUE(SamePicture(slot.Bitmap, picture));
        else
            EXPECT_TRUE(IsQuarterTurn(picture, slot.Bitmap, c.turn == Right));
    }
}

TEST(AutoRotate, AnEmptySlotStaysEmpty)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("portrait.jpg");
    TestFiles::Write(path, OrientedJpeg(6, true));
    TBufImage slot;
    TZVRotateImage(&slot).AutoRotate(path);
    EXPECT_TRUE(slot.Bitmap.isNull());
}

} // namespace
