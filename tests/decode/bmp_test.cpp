// The BMP reader: files written by independent tools (ImageMagick, Pillow)
// compared pixel for pixel with the picture they were made from, hand-built
// files for what those tools do not write, and bad input.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <initializer_list>
#include <vector>

#include "TestFiles.h"
#include "decode/BmpDecoder.h"
#include "decode/uImageReaders.h"

namespace {

// ---------------------------------------------------------------- helpers

QImage DecodeBytes(const QByteArray& bytes)
{
    return BmpDecoder::Decode(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

// Runs the real reader class on a file, as the loader does.
QImage ReadThroughReader(const QString& path, bool* loaded = nullptr)
{
    TBufImage slot;
    {
        TZVBmp reader(&slot, path);
        reader.Read();
    }
    if (loaded)
        *loaded = slot.Loaded;
    return slot.Bitmap;
}

// Pixel-for-pixel comparison; pictures with alpha are compared premultiplied.
::testing::AssertionResult SamePixels(const QImage& actual, const QImage& expected)
{
    if (actual.isNull())
        return ::testing::AssertionFailure() << "no picture";
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height()
                                             << ", expected " << expected.width() << "x" << expected.height();
    const QImage::Format f = expected.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                        : QImage::Format_RGB32;
    const QImage a = actual.convertToFormat(f);
    const QImage e = expected.convertToFormat(f);
    for (int y = 0; y < e.height(); ++y)
        for (int x = 0; x < e.width(); ++x)
            if (a.pixel(x, y) != e.pixel(x, y))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << "," << y << ") is " << std::hex << a.pixel(x, y)
                       << ", expected " << e.pixel(x, y);
    return ::testing::AssertionSuccess();
}

// Source pictures, 13 × 7 so that rows need padding at every depth.
enum class Source { Photo, Colours2, Colours4, Colours12, Colours40, Primaries, Alpha };

QImage MakeSource(Source kind)
{
    const int w = 13, h = 7;
    QImage image(w, h, kind == Source::Alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    auto pick = [](int n, int x, int y) {
        const int i = (x * 3 + y * 5 + (x * y) % 7) % n;
        return qRgb((i * 67) % 256, (i * 151 + 30) % 256, (i * 29 + 200) % 256);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            QRgb c = 0;
            switch (kind) {
            case Source::Photo: c = qRgb(x * 19, y * 37, (x * y * 11) % 256); break;
            case Source::Colours2: c = pick(2, x, y); break;
            case Source::Colours4: c = pick(4, x, y); break;
            case Source::Colours12: c = pick(12, x, y); break;
            case Source::Colours40: c = pick(40, x, y); break;
            // Channels of 0 and 255 survive every 5- and 6-bit rounding.
            case Source::Primaries: {
                const int i = (x + 2 * y) % 8;
                c = qRgb(i & 1 ? 255 : 0, i & 2 ? 255 : 0, i & 4 ? 255 : 0);
                break;
            }
            case Source::Alpha: {
                const int a = (x * 20 + y * 9) % 256;
                c = qRgba(x * 19, y * 37, 90, (x == 0) ? 0 : (y == 0 ? 255 : a));
                break;
            }
            }
            image.setPixel(x, y, c);
        }
    return image;
}

QString ConvertTool() { return QStandardPaths::findExecutable("convert"); }

bool HasPillow()
{
    QProcess p;
    p.start("/usr/bin/python3", {"-c", "import PIL"});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool RunTool(const QString& program, const QStringList& args, QString* error)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = program + " " + args.join(' ') + ": " + QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

// ------------------------------------------------- files written by tools

struct ToolCase {
    const char* name;
    Source source;
    bool pillow;            // false: ImageMagick convert
    QStringList options;    // convert: options before the output; Pillow: mode and save() keywords
    const char* format;     // convert output prefix ("BMP3:", "BMP2:", "")
    uint16_t bitCount;      // what the written file must hold, to prove the case tests that depth
    uint32_t compression;   // ditto; ~0u: not checked
};

const ToolCase ToolCases[] = {
    {"Im24Info", Source::Photo, false, {}, "BMP3:", 24, 0},
    {"Im24V5", Source::Photo, false, {}, "", 24, 0},
    {"Im24V4", Source::Photo, false, {"-define", "bmp:format=bmp4"}, "", 24, 0},
    {"Im24Os2Core", Source::Photo, false, {}, "BMP2:", 24, ~0u},
    {"Im8Palette", Source::Colours40, false, {"-type", "Palette", "-compress", "None"}, "BMP3:", 8, 0},
    {"Im8Rle", Source::Colours40, false, {"-type", "Palette", "-compress", "RLE"}, "BMP3:", 8, 1},
    {"Im4Palette", Source::Colours12, false, {"-type", "Palette"}, "BMP3:", 4, 0},
    {"Im1Palette", Source::Colours2, false, {"-type", "Palette"}, "BMP3:", 1, 0},
    {"Im8Os2Core", Source::Colours40, false, {"-type", "Palette"}, "BMP2:", 8, ~0u},
    {"Im16Rgb565", Source::Primaries, false, {"-define", "bmp:subtype=RGB565"}, "", 16, 3},
    {"Im32AlphaV5", Source::Alpha, false, {}, "", 32, 3},
    {"Im32AlphaV4", Source::Alpha, false, {"-define", "bmp:format=bmp4"}, "", 32, 3},
    {"Pil24", Source::Photo, true, {"RGB"}, "", 24, 0},
    {"Pil8Palette", Source::Colours40, true, {"P"}, "", 8, 0},
    {"Pil8Gray", Source::Photo, true, {"L"}, "", 8, 0},
    {"Pil1Bit", Source::Colours2, true, {"1"}, "", 1, 0},
    // Pillow keeps alpha in the fourth byte of a plain 40-byte BI_RGB header.
    {"Pil32Rgba", Source::Alpha, true, {"RGBA"}, "", 32, 0},
};

void PrintTo(const ToolCase& c, std::ostream* os) { *os << c.name; }

class BmpToolFiles : public ::testing::TestWithParam<ToolCase> {};

TEST_P(BmpToolFiles, DecodeAsTheSourcePicture)
{
    const ToolCase& c = GetParam();
    if (c.pillow ? !HasPillow() : ConvertTool().isEmpty())
        GTEST_SKIP() << (c.pillow ? "Pillow (/usr/bin/python3)" : "ImageMagick convert") << " is missing";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString src = dir.filePath("source.png");
    const QString bmp = dir.filePath("written.bmp");
    QImage source = MakeSource(c.source);
    ASSERT_TRUE(source.save(src, "PNG"));

    QString error;
    if (c.pillow) {
        // Pillow quantises "P" itself; with at most 256 colours it keeps them exactly.
        const QString script =
            "import sys\nfrom PIL import Image\n"
            "im = Image.open(sys.argv[1]).convert('RGBA' if sys.argv[3] == 'RGBA' else 'RGB')\n"
            "mode = sys.argv[3]\n"
            "im = im.quantize(256, method=Image.Quantize.MEDIANCUT) if mode == 'P' else im.convert(mode)\n"
            "im.save(sys.argv[2], 'BMP')\n";
        ASSERT_TRUE(RunTool("/usr/bin/python3", {"-c", script, src, bmp, c.options.value(0)}, &error)) << error.toStdString();
        // What Pillow itself made of the picture ("L" and "1" change it).
        const QString back = dir.filePath("pillow.png");
        const QString readBack = "import sys\nfrom PIL import Image\nImage.open(sys.argv[1]).convert("
                                 "'RGBA' if sys.argv[3] == 'RGBA' else 'RGB').save(sys.argv[2])\n";
        ASSERT_TRUE(RunTool("/usr/bin/python3", {"-c", readBack, bmp, back, c.options.value(0)}, &error)) << error.toStdString();
        if (c.options.value(0) == "L" || c.options.value(0) == "1")
            source = QImage(back);
    } else {
        QStringList args{src};
        args << c.options << QString(c.format) + bmp;
        ASSERT_TRUE(RunTool(ConvertTool(), args, &error)) << error.toStdString();
    }

    const QByteArray bytes = TestFiles::Read(bmp);
    ASSERT_GE(bytes.size(), 30);
    if (c.bitCount) {
        const bool core = qFromLittleEndian<uint32_t>(bytes.constData() + 14) == 12;
        EXPECT_EQ(qFromLittleEndian<uint16_t>(bytes.constData() + (core ? 24 : 28)), c.bitCount);
        if (c.compression != ~0u && !core) {
            EXPECT_EQ(qFromLittleEndian<uint32_t>(bytes.constData() + 30), c.compression);
        }
    }

    bool loaded = false;
    const QImage picture = ReadThroughReader(bmp, &loaded);
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(SamePixels(picture, source));
    EXPECT_EQ(picture.hasAlphaChannel(), source.hasAlphaChannel());
}

INSTANTIATE_TEST_SUITE_P(Formats, BmpToolFiles, ::testing::ValuesIn(ToolCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --------------------------------------------------- hand-built fixtures

void Put16(QByteArray& b, uint32_t v) { b.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)); }
void Put32(QByteArray& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// BITMAPINFOHEADER (40 bytes) and friends.
QByteArray InfoHeader(int32_t width, int32_t height, int bitCount, uint32_t compression,
                      uint32_t clrUsed = 0, uint32_t size = 40)
{
    QByteArray h;
    Put32(h, size);
    Put32(h, uint32_t(width));
    Put32(h, uint32_t(height));
    Put16(h, 1);
    Put16(h, bitCount);
    Put32(h, compression);
    Put32(h, 0);
    Put32(h, 2835);
    Put32(h, 2835);
    Put32(h, clrUsed);
    Put32(h, 0);
    return h;
}

// A V4 header (108 bytes) with masks.
QByteArray V4Header(int32_t width, int32_t height, int bitCount, uint32_t compression,
                    uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    QByteArray h = InfoHeader(width, height, bitCount, compression, 0, 108);
    Put32(h, r);
    Put32(h, g);
    Put32(h, b);
    Put32(h, a);
    h.append(QByteArray(108 - h.size(), '\0'));
    return h;
}

QByteArray Palette(std::initializer_list<QRgb> colours, bool core = false)
{
    QByteArray p;
    for (QRgb c : colours) {
        p.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        if (!core)
            p.append('\0');
    }
    return p;
}

// BITMAPFILEHEADER + header + palette + bits. bitsOffset 0: right after the palette.
QByteArray BmpFile(const QByteArray& header, const QByteArray& palette, const QByteArray& bits,
                   uint32_t bitsOffset = 0)
{
    QByteArray f("BM");
    const uint32_t off = bitsOffset ? bitsOffset : uint32_t(14 + header.size() + palette.size());
    Put32(f, uint32_t(14 + header.size() + palette.size() + bits.size()));
    Put32(f, 0);
    Put32(f, off);
    f += header + palette;
    f.append(QByteArray(qMax<qsizetype>(0, off - f.size()), '\0'));
    f.truncate(off);
    return f + bits;
}

// Pictures written out as rows of colours, top row first.
QImage Picture(int w, int h, std::initializer_list<QRgb> pixels, bool alpha = false)
{
    QImage image(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    auto it = pixels.begin();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, *it++);
    return image;
}

constexpr QRgb K = 0xFF000000;  // black
constexpr QRgb R = 0xFFFF0000;
constexpr QRgb G = 0xFF00FF00;
constexpr QRgb B = 0xFF0000FF;
constexpr QRgb W = 0xFFFFFFFF;

struct HandCase {
    const char* name;
    QByteArray file;
    QImage expected;
};

std::vector<HandCase> HandCases()
{
    std::vector<HandCase> cases;

    // RLE4, 6 × 4 bottom-up. Row 0 (bottom): run of 4 alternating 1,2, then
    // EOL. Row 1: delta (2 right, 1 up) straight to row 2 column 2, run of 2
    // of 2,1, EOL. Row 3: absolute run of 3 (0,1,2, padded), EOB: the rest
    // stays black.
    cases.push_back({"Rle4DeltaAbsoluteEndOfBitmap",
                     BmpFile(InfoHeader(6, 4, 4, 2, 3), Palette({R, G, B}),
                             Bytes({4, 0x12, 0, 0, 0, 2, 2, 1, 2, 0x21, 0, 0, 0, 3, 0x01, 0x20, 0, 1})),
                     Picture(6, 4, {R, G, B, K, K, K,
                                    K, K, B, G, K, K,
                                    K, K, K, K, K, K,
                                    G, B, G, B, K, K})});

    // RLE8, 4 × 3: a run of 6 crosses the right edge and is clipped; a delta
    // past the top ends the picture without an end-of-bitmap code.
    cases.push_back({"Rle8ClippedRunAndDeltaPastTheTop",
                     BmpFile(InfoHeader(4, 3, 8, 1, 3), Palette({R, G, B}),
                             Bytes({6, 1, 0, 0, 0, 4, 2, 0, 1, 2, 0, 2, 0, 9})),
                     Picture(4, 3, {K, K, K, K,
                                    B, R, G, B,
                                    G, G, G, G})});

    // A palette of two entries (biClrUsed 2) in an 8-bit file: index 2 and
    // 255 lie past it and give black, though a third entry follows in the file.
    cases.push_back({"ShortPaletteFromClrUsed",
                     BmpFile(InfoHeader(4, 1, 8, 0, 2), Palette({R, G, B}), Bytes({0, 1, 2, 255})),
                     Picture(4, 1, {R, G, K, K})});

    // biClrUsed 0 asks for 16 entries, but the pixels start after three.
    cases.push_back({"PaletteCutShortByTheBitsOffset",
                     BmpFile(InfoHeader(4, 1, 4, 0, 0), Palette({R, G, B}), Bytes({0x01, 0x23, 0, 0})),
                     Picture(4, 1, {R, G, B, K})});

    // 2 bits a pixel (Windows CE), 5 wide: one byte holds four pixels.
    cases.push_back({"TwoBitsPerPixel",
                     BmpFile(InfoHeader(5, 1, 2, 0), Palette({K, R, G, B}), Bytes({0b00011011, 0b11000000, 0, 0})),
                     Picture(5, 1, {K, R, G, B, B})});

    // Negative height: rows stored top first.
    cases.push_back({"TopDown24",
                     BmpFile(InfoHeader(1, -2, 24, 0), {}, Bytes({0, 0, 255, 0, 255, 0, 0, 0})),
                     Picture(1, 2, {R, B})});

    // OS/2 1.x core header: 16-bit sizes, 3-byte palette entries.
    {
        QByteArray core;
        Put32(core, 12);
        Put16(core, 3);
        Put16(core, 2);
        Put16(core, 1);
        Put16(core, 1);
        cases.push_back({"Os2CoreOneBit",
                         BmpFile(core, Palette({B, W}, true), Bytes({0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0})),
                         Picture(3, 2, {B, W, B,
                                        W, B, W})});
    }

    // OS/2 2.x header of 64 bytes, 8 bits, RGBQUAD palette.
    cases.push_back({"Os2V2Header",
                     BmpFile(InfoHeader(2, 1, 8, 0, 2, 64) + QByteArray(24, '\0'), Palette({G, B}), Bytes({1, 0, 0, 0})),
                     Picture(2, 1, {B, G})});

    // 16-bit BI_BITFIELDS with 5-bit channels that are neither 0 nor full:
    // 3 of 31 rounds to 25, 16 of 31 to 132, 30 of 63 to 121.
    {
        QByteArray masks;
        Put32(masks, 0xF800);
        Put32(masks, 0x07E0);
        Put32(masks, 0x001F);
        const uint16_t px = uint16_t(3 << 11 | 30 << 5 | 16);
        cases.push_back({"Bitfields565Rounding",
                         BmpFile(InfoHeader(1, 1, 16, 3), masks, Bytes({px & 0xFF, px >> 8, 0, 0})),
                         Picture(1, 1, {qRgb(25, 121, 132)})});
    }

    // 16-bit ARGB4444 in a V4 header: alpha from its own mask.
    cases.push_back({"V4Argb4444",
                     BmpFile(V4Header(2, 1, 16, 3, 0x0F00, 0x00F0, 0x000F, 0xF000), {},
                             Bytes({0x0F, 0x80, 0xF0, 0xFF})),
                     Picture(2, 1, {qRgba(0, 0, 255, 136), qRgba(255, 255, 0, 255)}, true)});

    // BI_ALPHABITFIELDS after a 40-byte header, masks in an unusual order,
    // top-down.
    {
        QByteArray masks;
        Put32(masks, 0x0000FF00);  // red
        Put32(masks, 0x00FF0000);  // green
        Put32(masks, 0xFF000000);  // blue
        Put32(masks, 0x000000FF);  // alpha
        cases.push_back({"AlphaBitfields32",
                         BmpFile(InfoHeader(2, -1, 32, 6), masks, Bytes({128, 10, 20, 30, 255, 1, 2, 3})),
                         Picture(2, 1, {qRgba(10, 20, 30, 128), qRgba(1, 2, 3, 255)}, true)});
    }

    // V3 header (56 bytes): the masks, alpha included, sit inside the header.
    {
        QByteArray header = InfoHeader(1, 1, 32, 3, 0, 56);
        Put32(header, 0x000000FF);  // red
        Put32(header, 0x0000FF00);  // green
        Put32(header, 0x00FF0000);  // blue
        Put32(header, 0xFF000000);  // alpha
        cases.push_back({"V3HeaderMasksInside",
                         BmpFile(header, {}, Bytes({10, 20, 30, 64})),
                         Picture(1, 1, {qRgba(10, 20, 30, 64)}, true)});
    }

    // A 32-bit file whose fourth byte is zero everywhere is opaque.
    cases.push_back({"Alpha32AllZeroIsOpaque",
                     BmpFile(InfoHeader(2, 1, 32, 0), {}, Bytes({1, 2, 3, 0, 4, 5, 6, 0})),
                     Picture(2, 1, {qRgb(3, 2, 1), qRgb(6, 5, 4)})});

    // The last row may lack its padding.
    cases.push_back({"LastRowWithoutPadding",
                     BmpFile(InfoHeader(1, 2, 24, 0), {}, Bytes({255, 0, 0, 0, 0, 0, 255})),
                     Picture(1, 2, {R, B})});
    return cases;
}

TEST(BmpHandBuilt, DecodeAsDrawn)
{
    for (const HandCase& c : HandCases()) {
        SCOPED_TRACE(c.name);
        const QImage picture = DecodeBytes(c.file);
        EXPECT_TRUE(SamePixels(picture, c.expected));
        EXPECT_EQ(picture.hasAlphaChannel(), c.expected.hasAlphaChannel());
    }
}

// ---------------------------------------------------------------- bad input

TEST(BmpBadInput, GivesAnEmptyPicture)
{
    const QByteArray good = BmpFile(InfoHeader(2, 2, 24, 0), {}, QByteArray(16, '\x7f'));
    ASSERT_FALSE(DecodeBytes(good).isNull());
    const QByteArray palette8 = Palette({R, G, B});
    auto withHeader = [&](const QByteArray& header) { return BmpFile(header, {}, QByteArray(64, '\0')); };

    const struct {
        const char* name;
        QByteArray file;
    } cases[] = {
        {"Empty", {}},
        {"SignatureOnly", "BM"},
        {"NotBm", QByteArray("BA") + good.mid(2)},
        {"HeaderCut", good.left(30)},
        {"PixelsOneByteShort", good.left(good.size() - 5)},
        {"BitsOffsetPastTheEnd", BmpFile(InfoHeader(2, 2, 24, 0), {}, QByteArray(16, '\0'), 5000).left(70)},
        {"BitsOffsetInsideTheHeader", [&] { QByteArray f = good; f[10] = 20; return f; }()},
        {"HeaderSizeUnknown", withHeader(InfoHeader(2, 2, 24, 0, 0, 200) + QByteArray(160, '\0'))},
        {"HeaderSizePastTheEnd", good.left(14) + Bytes({124, 0, 0, 0}) + QByteArray(20, '\0')},
        {"WidthZero", withHeader(InfoHeader(0, 2, 24, 0))},
        {"HeightZero", withHeader(InfoHeader(2, 0, 24, 0))},
        {"WidthNegative", withHeader(InfoHeader(-2, 2, 24, 0))},
        {"HeightMostNegative", withHeader(InfoHeader(2, INT32_MIN, 24, 0))},
        {"WiderThanTheLimit", withHeader(InfoHeader(16385, 1, 24, 0))},
        {"HugeFromATinyFile", withHeader(InfoHeader(16384, 16384, 32, 0))},
        {"HugeRleOverTheLimit", withHeader(InfoHeader(100000, 100000, 8, 1))},
        {"BitCountZero", withHeader(InfoHeader(2, 2, 0, 0))},
        {"BitCountThree", withHeader(InfoHeader(2, 2, 3, 0))},
        {"JpegInside", withHeader(InfoHeader(2, 2, 0, 4))},
        {"PngInside", withHeader(InfoHeader(2, 2, 0, 5))},
        {"UnknownCompression", withHeader(InfoHeader(2, 2, 24, 11))},
        {"BitfieldsOn24Bits", withHeader(InfoHeader(2, 2, 24, 3))},
        {"BitfieldsMasksCut", good.left(14) + InfoHeader(2, 2, 16, 3) + Bytes({0, 0xF8})},
        {"Rle8WithFourBits", BmpFile(InfoHeader(2, 2, 4, 1), palette8, Bytes({2, 0, 0, 1}))},
        {"RleTopDown", BmpFile(InfoHeader(2, -2, 8, 1), palette8, Bytes({2, 0, 0, 1}))},
        {"RleEndsEarly", BmpFile(InfoHeader(2, 2, 8, 1), palette8, Bytes({2, 1, 0, 0}))},
        {"RleAbsoluteRunCut", BmpFile(InfoHeader(8, 1, 8, 1), palette8, Bytes({0, 8, 1, 2, 1}))},
        {"RleDeltaCut", BmpFile(InfoHeader(2, 2, 8, 1), palette8, Bytes({0, 2, 1}))},
        {"Os2Huffman", withHeader(InfoHeader(2, 2, 1, 3, 0, 64) + QByteArray(24, '\0'))},
        {"JpegNamedBmp", Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 0xFF, 0xD9})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(DecodeBytes(c.file).isNull());
    }
}

// The reader class: a real JPEG misnamed .bmp, a missing file and a
// truncated file all leave a ready slot with no picture.
TEST(BmpReader, BadFilesLeaveAReadyEmptySlot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage photo = MakeSource(Source::Photo);
    ASSERT_TRUE(photo.save(dir.filePath("photo.bmp"), "JPEG"));
    const QByteArray full = BmpFile(InfoHeader(3, 3, 24, 0), {}, QByteArray(36, '\x40'));
    TestFiles::Write(dir.filePath("cut.bmp"), full.left(full.size() - 7));
    TestFiles::Write(dir.filePath("whole.bmp"), full);

    for (const char* name : {"photo.bmp", "missing.bmp", "cut.bmp"}) {
        SCOPED_TRACE(name);
        bool loaded = false;
        EXPECT_TRUE(ReadThroughReader(dir.filePath(name), &loaded).isNull());
        EXPECT_TRUE(loaded);
    }
    const QImage whole = ReadThroughReader(dir.filePath("whole.bmp"));
    ASSERT_EQ(whole.size(), QSize(3, 3));
    EXPECT_EQ(whole.pixel(1, 1), qRgb(0x40, 0x40, 0x40));
}

// The largest picture the limits allow is decoded; one pixel more is not.
TEST(BmpLimits, SixteenThousandPixelsWideButNoWider)
{
    for (int width : {16384, 16385}) {
        SCOPED_TRACE(width);
        const int stride = (width + 31) / 32 * 4;
        const QByteArray file = BmpFile(InfoHeader(width, 2, 1, 0), Palette({K, W}), QByteArray(2 * stride, '\xff'));
        const QImage picture = DecodeBytes(file);
        if (width == 16384) {
            ASSERT_EQ(picture.size(), QSize(16384, 2));
            EXPECT_EQ(picture.pixel(16383, 1), W);
        } else {
            EXPECT_TRUE(picture.isNull());
        }
    }
}

} // namespace
