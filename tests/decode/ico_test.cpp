// The icon and cursor reader: which image of the file is shown, how bitmap
// and PNG entries are drawn on the background colour, and bad directories.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <vector>

#include "TestFiles.h"
#include "decode/IcoDecoder.h"
#include "decode/uImageReaders.h"

namespace {

void Put16(QByteArray& b, uint32_t v) { b.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)); }
void Put32(QByteArray& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// The DIB of one icon entry: header with doubled height, colour table, XOR
// rows bottom-up, then the AND mask. colourAt gives a palette index (up to 8
// bits) or a 0xAARRGGBB value (24/32 bits); maskAt says where the mask is set.
QByteArray DibEntry(int w, int h, int bitCount, const std::vector<QRgb>& palette,
                    const std::function<uint32_t(int, int)>& colourAt,
                    const std::function<bool(int, int)>& maskAt = {})
{
    QByteArray d;
    Put32(d, 40);
    Put32(d, uint32_t(w));
    Put32(d, uint32_t(2 * h));
    Put16(d, 1);
    Put16(d, uint32_t(bitCount));
    Put32(d, 0);
    Put32(d, 0);
    Put32(d, 0);
    Put32(d, 0);
    Put32(d, uint32_t(palette.size()));
    Put32(d, 0);
    for (QRgb c : palette)
        d.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    const int stride = (w * bitCount + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            const uint32_t v = colourAt(x, y);
            if (bitCount <= 8) {
                const int bit = x * bitCount;
                row[bit / 8] = char(uchar(row[bit / 8]) | v << (8 - bitCount - bit % 8));
            } else {
                for (int k = 0; k < bitCount / 8; ++k)
                    row[x * bitCount / 8 + k] = char(v >> (8 * k));
            }
        }
        d += row;
    }
    const int maskStride = (w + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (maskAt && maskAt(x, y))
                row[x / 8] = char(uchar(row[x / 8]) | 0x80 >> (x % 8));
        d += row;
    }
    return d;
}

QByteArray SolidDib(int size, QRgb colour, int bitCount = 24)
{
    if (bitCount <= 8)
        return DibEntry(size, size, bitCount, {colour}, [](int, int) { return 0u; });
    return DibEntry(size, size, bitCount, {}, [colour](int, int) { return uint32_t(colour); });
}

QByteArray PngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct Entry {
    QByteArray data;
    int dirWidth = 0;  // directory fields, which the reader does not trust
    int dirHeight = 0;
    bool pastTheEnd = false;  // directory offset that runs past the file
};

// ICONDIR (type 1 icon, 2 cursor) followed by the entries' data.
QByteArray IconFile(const std::vector<Entry>& entries, int type = 1)
{
    QByteArray f;
    Put16(f, 0);
    Put16(f, uint32_t(type));
    Put16(f, uint32_t(entries.size()));
    uint32_t offset = uint32_t(6 + 16 * entries.size());
    QByteArray data;
    for (const Entry& e : entries) {
        f.append(char(e.dirWidth & 0xFF)).append(char(e.dirHeight & 0xFF)).append('\0').append('\0');
        Put16(f, type == 2 ? 3 : 1);   // planes, or the cursor's hot spot x
        Put16(f, type == 2 ? 5 : 32);  // bit count, or the hot spot y
        Put32(f, uint32_t(e.data.size()));
        Put32(f, e.pastTheEnd ? 0x7FFFFF00u : offset + uint32_t(data.size()));
        if (!e.pastTheEnd)
            data += e.data;
    }
    return f + data;
}

QImage Decode(const QByteArray& file, uint32_t backColor = 0)
{
    return IcoDecoder::Decode(reinterpret_cast<const uint8_t*>(file.constData()), size_t(file.size()), backColor);
}

constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Green = 0xFF00FF00;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Yellow = 0xFFFFFF00;
constexpr QRgb Cyan = 0xFF00FFFF;

// Which image is shown: every entry is a solid colour, so the centre pixel
// of the 32 × 32 result tells which one was chosen.
TEST(IcoChoice, PicksTheImageTheSystemShowsAtThirtyTwo)
{
    const struct {
        const char* name;
        std::vector<Entry> entries;
        QRgb expected;
    } cases[] = {
        {"ExactSizeAmong16_32_48", {{SolidDib(16, Red)}, {SolidDib(32, Green)}, {SolidDib(48, Blue)}}, Green},
        {"ExactSizeLastInTheDirectory", {{SolidDib(48, Blue)}, {SolidDib(16, Red)}, {SolidDib(32, Yellow)}}, Yellow},
        {"DeeperColourAtTheSameSize", {{SolidDib(32, Red, 8)}, {SolidDib(32, Green, 32)}, {SolidDib(32, Blue, 4)}}, Green},
        {"LargerScaledDownBeforeSmallerScaledUp", {{SolidDib(16, Red)}, {SolidDib(48, Blue)}}, Blue},
        {"SmallestOfTheLargerOnes", {{SolidDib(256, Red)}, {SolidDib(64, Green)}, {SolidDib(48, Cyan)}}, Cyan},
        {"LargestOfTheSmallerOnes", {{SolidDib(16, Red)}, {SolidDib(24, Green)}}, Green},
        {"DirectoryFieldsIgnored", {{SolidDib(32, Red), 16, 16}, {SolidDib(16, Blue), 32, 32}}, Red},
        {"EntryPastTheEndSkipped", {{SolidDib(32, Red), 32, 32, true}, {SolidDib(48, Green)}}, Green},
        {"UnreadableEntrySkipped", {{QByteArray(64, 'x')}, {SolidDib(16, Blue)}}, Blue},
        {"OnlyA256Png", {{PngBytes([] { QImage i(256, 256, QImage::Format_ARGB32); i.fill(Yellow); return i; }())}}, Yellow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage picture = Decode(IconFile(c.entries));
        ASSERT_EQ(picture.size(), QSize(32, 32));
        EXPECT_EQ(picture.format(), QImage::Format_RGB32);
        EXPECT_EQ(picture.pixel(16, 16), c.expected);
        EXPECT_EQ(picture.pixel(0, 31), c.expected);
    }
}

// A 256 × 256 PNG, transparent on the left half: scaled to 32 × 32, the left
// shows the background colour (0x00BBGGRR), the right the opaque colour.
TEST(IcoDrawing, Png256OnTheBackgroundColour)
{
    QImage png(256, 256, QImage::Format_ARGB32);
    png.fill(Qt::transparent);
    for (int y = 0; y < 256; ++y)
        for (int x = 128; x < 256; ++x)
            png.setPixel(x, y, Red);
    const uint32_t back = 0x00C86432;  // R 0x32, G 0x64, B 0xC8
    const QImage picture = Decode(IconFile({{PngBytes(png)}}), back);
    ASSERT_EQ(picture.size(), QSize(32, 32));
    EXPECT_EQ(picture.pixel(3, 16), qRgb(0x32, 0x64, 0xC8));
    EXPECT_EQ(picture.pixel(28, 16), Red);
}

// 32-bit entries follow their alpha when it is not zero everywhere, and the
// mask then plays no part; PNG entries always follow their alpha. Background
// (200, 100, 0).
TEST(IcoDrawing, AlphaBlendsWithTheBackground)
{
    const uint32_t back = 0x000064C8;
    const QRgb half = qRgba(0, 0, 255, 128);
    const QRgb blended = qRgb(100, 50, 128);  // (0, 0, 255) at alpha 128 over the background
    auto dib = [](QRgb colour, bool masked) {
        return DibEntry(32, 32, 32, {}, [colour](int, int) { return uint32_t(colour); },
                        [masked](int, int) { return masked; });
    };
    QImage png(32, 32, QImage::Format_ARGB32);
    png.fill(half);
    const struct {
        const char* name;
        QByteArray entry;
        QRgb expected;
    } cases[] = {
        {"PngHalfAlpha", PngBytes(png), blended},
        {"DibHalfAlphaMaskSet", dib(half, true), blended},
        {"DibOpaqueAlphaMaskSet", dib(qRgba(0, 0, 255, 255), true), qRgb(0, 0, 255)},
        {"DibZeroAlphaMaskClear", dib(qRgba(0, 0, 255, 0), false), qRgb(0, 0, 255)},
        {"DibZeroAlphaMaskSetOverBlack", dib(qRgba(0, 0, 0, 0), true), qRgb(200, 100, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage picture = Decode(IconFile({{c.entry}}), back);
        ASSERT_EQ(picture.size(), QSize(32, 32));
        EXPECT_EQ(picture.pixel(5, 5), c.expected);
    }
}

// An 8-bit entry with an AND mask: where the mask is set over black the
// background shows; over a colour the background is XOR-ed with it (the
// "inverted" pixels of cursors); where it is clear the palette colour shows.
TEST(IcoDrawing, AndMaskShowsTheBackground)
{
    const std::vector<QRgb> palette = {qRgb(0, 0, 0), qRgb(10, 200, 30), qRgb(255, 255, 255)};
    const QByteArray dib = DibEntry(
        32, 32, 8, palette,
        [](int x, int) { return x < 16 ? 0u : (x < 24 ? 1u : 2u); },
        [](int x, int y) { return (x < 16 && y < 16) || x >= 24; });
    const uint32_t back = 0x00336699;  // R 0x99, G 0x66, B 0x33
    const QImage picture = Decode(IconFile({{dib}}), back);
    ASSERT_EQ(picture.size(), QSize(32, 32));
    EXPECT_EQ(picture.pixel(3, 3), qRgb(0x99, 0x66, 0x33));         // mask over black
    EXPECT_EQ(picture.pixel(3, 20), qRgb(0, 0, 0));                 // black, mask clear
    EXPECT_EQ(picture.pixel(20, 3), qRgb(10, 200, 30));             // colour, mask clear
    EXPECT_EQ(picture.pixel(28, 9), qRgb(0x99 ^ 255, 0x66 ^ 255, 0x33 ^ 255));  // inverted
}

// A 1-bit and a 4-bit entry: low depths decode through the same path.
TEST(IcoDrawing, LowDepthEntries)
{
    for (int bits : {1, 4}) {
        SCOPED_TRACE(bits);
        const QByteArray dib = DibEntry(32, 32, bits, {Blue, Yellow},
                                        [](int x, int) { return x % 2 ? 1u : 0u; });
        const QImage picture = Decode(IconFile({{dib}}));
        ASSERT_EQ(picture.size(), QSize(32, 32));
        EXPECT_EQ(picture.pixel(0, 7), Blue);
        EXPECT_EQ(picture.pixel(1, 7), Yellow);
    }
}

// The reader class on real files: a cursor (type 2, hot spot in the
// directory) and a bad file.
TEST(IcoReader, CursorFileDecodesAndBadFilesLeaveAnEmptySlot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TestFiles::Write(dir.filePath("arrow.cur"),
                     IconFile({{DibEntry(32, 32, 1, {qRgb(0, 0, 0), qRgb(255, 255, 255)},
                                         [](int x, int) { return x < 8 ? 1u : 0u; },
                                         [](int x, int) { return x >= 8; })}},
                              2));
    TestFiles::Write(dir.filePath("broken.ico"), QByteArray("\0\0\1\0\5\0", 6));

    auto read = [&](const char* name, bool* loaded) {
        TBufImage slot;
        {
            TZVIco reader(&slot, dir.filePath(name));
            reader.BackColor = 0x0000FF00;  // green
            reader.Read();
        }
        *loaded = slot.Loaded;
        return slot.Bitmap;
    };
    bool loaded = false;
    const QImage cursor = read("arrow.cur", &loaded);
    EXPECT_TRUE(loaded);
    ASSERT_EQ(cursor.size(), QSize(32, 32));
    EXPECT_EQ(cursor.pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_EQ(cursor.pixel(20, 2), qRgb(0, 255, 0));
    for (const char* bad : {"broken.ico", "missing.ico"}) {
        SCOPED_TRACE(bad);
        loaded = false;
        EXPECT_TRUE(read(bad, &loaded).isNull());
        EXPECT_TRUE(loaded);
    }
}

TEST(IcoBadInput, CorruptDirectoriesGiveAnEmptyPicture)
{
    const QByteArray good = IconFile({{SolidDib(32, Red)}});
    ASSERT_FALSE(Decode(good).isNull());
    auto patched = [&](int at, std::initializer_list<int> bytes) {
        QByteArray f = good;
        for (int b : bytes)
            f[at++] = char(b);
        return f;
    };
    QByteArray headerCut = SolidDib(32, Red).left(30);
    QByteArray hugeDib = SolidDib(1, Red);
    hugeDib[4] = char(0x00); hugeDib[5] = char(0x40);  // 16384 wide, data for 1
    QByteArray hugePng = PngBytes(QImage(1, 1, QImage::Format_ARGB32));
    hugePng[16] = char(0x7F);  // IHDR width 2^31 - ...
    const struct {
        const char* name;
        QByteArray file;
    } cases[] = {
        {"Empty", {}},
        {"DirectoryCut", good.left(5)},
        {"ReservedNotZero", patched(0, {1})},
        {"TypeThree", patched(2, {3})},
        {"NoEntries", patched(4, {0, 0})},
        {"MoreEntriesThanTheFileHolds", patched(4, {0xFF, 0xFF})},
        {"OffsetPastTheEnd", patched(18, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"SizePastTheEnd", patched(14, {0xFF, 0xFF, 0, 0})},
        {"ZeroSize", patched(14, {0, 0, 0, 0})},
        {"DibHeaderCut", IconFile({{headerCut}})},
        {"DibPixelsCut", IconFile({{SolidDib(32, Red).left(40 + 32 * 96 - 1)}})},
        {"DibHugerThanItsData", IconFile({{hugeDib}})},
        {"PngHugeHeader", IconFile({{hugePng}})},
        {"PngCorrupt", IconFile({{PngBytes(QImage(32, 32, QImage::Format_ARGB32)).left(40)}})},
        {"BmpFileInstead", QByteArray("BM") + good},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Decode(c.file).isNull());
    }
}

// Files written by ImageMagick: the 32 × 32 image that ImageMagick itself
// reads from the file, drawn on the background, is what we show.
TEST(IcoToolFiles, ImageMagickIconsMatchItsOwnReading)
{
    const QString convert = QStandardPaths::findExecutable("convert");
    if (convert.isEmpty())
        GTEST_SKIP() << "ImageMagick convert is missing";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage source(48, 48, QImage::Format_ARGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            source.setPixel(x, y, qRgba(x * 5, y * 5, 128, (x + y) < 20 ? 0 : 255));
    ASSERT_TRUE(source.save(dir.filePath("source.png")));

    const struct {
        const char* name;
        QStringList options;
    } cases[] = {
        {"ThirtyTwoBitsWithAlpha", {"-define", "icon:auto-resize=16,32,48"}},
        {"FourBitsWithMask", {"-resize", "32x32", "-colors", "8", "-type", "Palette"}},
    };
    const uint32_t back = 0x00204060;
    const QRgb backRgb = qRgb(0x60, 0x40, 0x20);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString ico = dir.filePath(QString(c.name) + ".ico");
        const QString ref = dir.filePath(QString(c.name) + ".png");
        QProcess p;
        p.start(convert, QStringList{dir.filePath("source.png")} + c.options + QStringList{ico});
        ASSERT_TRUE(p.waitForFinished(60000) && p.exitCode() == 0) << p.readAllStandardError().toStdString();
        // Find ImageMagick's 32 × 32 frame of the file.
        QImage expected;
        for (int frame = 0; frame < 3 && expected.isNull(); ++frame) {
            p.start(convert, {ico + "[" + QString::number(frame) + "]", "PNG32:" + ref});
            ASSERT_TRUE(p.waitForFinished(60000));
            QImage frameImage(ref);
            if (p.exitCode() == 0 && frameImage.size() == QSize(32, 32))
                expected = frameImage.convertToFormat(QImage::Format_ARGB32);
        }
        ASSERT_FALSE(expected.isNull());
        const QByteArray bytes = TestFiles::Read(ico);
        if (QString(c.name).startsWith("Four")) {  // prove ImageMagick wrote a 4-bit bitmap entry
            ASSERT_GE(bytes.size(), 22 + 16);
            const int offset = int(qFromLittleEndian<uint32_t>(bytes.constData() + 18));
            ASSERT_LE(offset + 16, bytes.size());
            EXPECT_EQ(qFromLittleEndian<uint16_t>(bytes.constData() + offset + 14), 4);
        }
        const QImage picture = Decode(bytes, back);
        ASSERT_EQ(picture.size(), QSize(32, 32));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QRgb e = expected.pixel(x, y);
                const int a = qAlpha(e);
                auto blend = [a](int c, int b) { return (c * a + b * (255 - a) + 127) / 255; };
                const QRgb want = qRgb(blend(qRed(e), qRed(backRgb)), blend(qGreen(e), qGreen(backRgb)),
                                       blend(qBlue(e), qBlue(backRgb)));
                ASSERT_EQ(picture.pixel(x, y), want) << "at " << x << "," << y;
            }
    }
}

} // namespace
