#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

#include "TestFiles.h"
#include "decode/JpegDecoder.h"
#include "decode/uImageReaders.h"

using JpegDecoder::TJpegStatus;

namespace {

const QSize Screen1080{1920, 1080};

// ---- fixtures --------------------------------------------------------------

// Runs an independent tool; fails the test when it does not succeed.
void RunTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    ASSERT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(process.exitCode(), 0) << program.toStdString() << ": "
                                     << process.readAllStandardError().toStdString();
}

// A binary PNM (P5 gray or P6 RGB) as 0xFFRRGGBB pixels.
struct TRgbPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t At(int x, int y) const { return Pixels[size_t(y) * size_t(Width) + size_t(x)]; }
};

TRgbPicture ReadPnm(const QString& path)
{
    const QByteArray bytes = TestFiles::Read(path);
    TRgbPicture picture;
    qsizetype pos = 0;
    auto token = [&]() {
        while (pos < bytes.size()) {
            if (bytes[pos] == '#') {
                while (pos < bytes.size() && bytes[pos] != '\n')
                    ++pos;
            } else if (std::isspace(uchar(bytes[pos]))) {
                ++pos;
            } else {
                break;
            }
        }
        const qsizetype start = pos;
        while (pos < bytes.size() && !std::isspace(uchar(bytes[pos])))
            ++pos;
        return bytes.mid(start, pos - start);
    };
    const QByteArray magic = token();
    const int channels = magic == "P6" ? 3 : magic == "P5" ? 1 : 0;
    picture.Width = token().toInt();
    picture.Height = token().toInt();
    const int maxValue = token().toInt();
    ++pos;  // the single whitespace after the header
    if (channels == 0 || maxValue != 255
        || bytes.size() - pos < qsizetype(picture.Width) * picture.Height * channels) {
        ADD_FAILURE() << "unexpected PNM " << path.toStdString();
        return TRgbPicture();
    }
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData() + pos);
    picture.Pixels.resize(size_t(picture.Width) * size_t(picture.Height));
    for (uint32_t& pixel : picture.Pixels) {
        const uint32_t r = p[0];
        const uint32_t g = channels == 3 ? p[1] : r;
        const uint32_t b = channels == 3 ? p[2] : r;
        pixel = 0xFF000000u | (r << 16) | (g << 8) | b;
        p += channels;
    }
    return picture;
}

// A smooth colourful pattern: JPEG keeps it well, and a channel swap or a
// wrong colour conversion shows at once.
uint32_t PatternPixel(int x, int y, int width, int height)
{
    const uint32_t r = uint32_t(x * 255 / std::max(1, width - 1));
    const uint32_t g = uint32_t(y * 255 / std::max(1, height - 1));
    const uint32_t b = uint32_t(((x + y) * 255) / std::max(1, width + height - 2));
    return (r << 16) | (g << 8) | b;
}

void WritePatternPpm(const QString& path, int width, int height)
{
    QByteArray bytes = QByteArray("P6\n") + QByteArray::number(width) + ' '
                       + QByteArray::number(height) + "\n255\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = PatternPixel(x, y, width, height);
            bytes.append(char(p >> 16)).append(char(p >> 8)).append(char(p));
        }
    TestFiles::Write(path, bytes);
}

// Compresses rows given by `fill` with libjpeg itself: cheap big flat files,
// and the YCCK colour space that no command-line tool writes.
QByteArray Compress(int width, int height, J_COLOR_SPACE in, int components,
                    const std::function<void(int, uint8_t*)>& fill,
                    const std::function<void(jpeg_compress_struct&)>& tune = {})
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = in;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (tune)
        tune(cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(size_t(width) * size_t(components));
    while (cinfo.next_scanline < cinfo.image_height) {
        fill(int(cinfo.next_scanline), row.data());
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(outSize));
    std::free(out);
    return bytes;
}

QByteArray FlatJpeg(int width, int height, uint8_t r, uint8_t g, uint8_t b,
                    const std::function<void(jpeg_compress_struct&)>& tune = {})
{
    return Compress(width, height, JCS_RGB, 3, [&](int, uint8_t* row) {
        for (int x = 0; x < width; ++x) {
            row[3 * x] = r;
            row[3 * x + 1] = g;
            row[3 * x + 2] = b;
        }
    }, tune);
}

// The pattern, so every block carries data and a cut lands inside the scan.
QByteArray PatternJpeg(int width, int height,
                       const std::function<void(jpeg_compress_struct&)>& tune = {})
{
    return Compress(width, height, JCS_RGB, 3, [&](int y, uint8_t* row) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = PatternPixel(x, y, width, height);
            row[3 * x] = uint8_t(p >> 16);
            row[3 * x + 1] = uint8_t(p >> 8);
            row[3 * x + 2] = uint8_t(p);
        }
    }, tune);
}

void Progressive(jpeg_compress_struct& cinfo)
{
    jpeg_simple_progression(&cinfo);
}

void Arithmetic(jpeg_compress_struct& cinfo)
{
    cinfo.arith_code = TRUE;
}

// Rewrites the frame header's size, so a small file claims a huge picture.
QByteArray WithFrameSize(QByteArray jpeg, int width, int height)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        const uchar m = uchar(jpeg[i + 1]);
        if (uchar(jpeg[i]) == 0xFF && (m == 0xC0 || m == 0xC1 || m == 0xC2)) {
            jpeg[i + 5] = char(height >> 8);
            jpeg[i + 6] = char(height);
            jpeg[i + 7] = char(width >> 8);
            jpeg[i + 8] = char(width);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

JpegDecoder::TJpegResult DecodeBytes(const QByteArray& bytes, QSize screen = Screen1080)
{
    return JpegDecoder::Decode(reinterpret_cast<const uint8_t*>(bytes.constData()),
                               size_t(bytes.size()), screen);
}

int Channel(uint32_t pixel, int shift)
{
    return int((pixel >> shift) & 0xFF);
}

// The largest difference of any channel of any pixel.
int MaxDifference(const QImage& picture, const TRgbPicture& reference)
{
    EXPECT_EQ(picture.width(), reference.Width);
    EXPECT_EQ(picture.height(), reference.Height);
    if (picture.size() != QSize(reference.Width, reference.Height))
        return 256;
    int worst = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(Channel(row[x], shift)
                                                 - Channel(reference.At(x, y), shift)));
    }
    return worst;
}

// ---- the decode scale ------------------------------------------------------

struct ScaleCase {
    QSize Image;
    QSize Screen;
    int Denominator;
    QSize Decoded;
};

class JpegScale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(JpegScale, ChoosesTheLargestReductionThatStaysAboveTheScreen)
{
    const ScaleCase& c = GetParam();
    const int denominator = JpegDecoder::ScaleDenominator(c.Image, c.Screen);
    EXPECT_EQ(denominator, c.Denominator);
    EXPECT_EQ(JpegDecoder::ScaledSize(c.Image, denominator), c.Decoded);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, JpegScale,
    ::testing::Values(
        ScaleCase{{6000, 4000}, Screen1080, 2, {3000, 2000}},   // r = 3.125
        ScaleCase{{3840, 2160}, Screen1080, 1, {3840, 2160}},   // r = 2 exactly: full size
        ScaleCase{{3841, 2161}, Screen1080, 2, {1921, 1081}},   // rounded up
        ScaleCase{{20000, 15000}, Screen1080, 8, {2500, 1875}}, // r = 10.4
        ScaleCase{{7680, 4320}, Screen1080, 2, {3840, 2160}},   // r = 4 exactly
        ScaleCase{{7681, 4321}, Screen1080, 4, {1921, 1081}},
        ScaleCase{{15360, 8640}, Screen1080, 4, {3840, 2160}},  // r = 8 exactly
        ScaleCase{{15361, 8641}, Screen1080, 8, {1921, 1081}},
        ScaleCase{{20000, 1000}, Screen1080, 1, {20000, 1000}}, // the smaller ratio rules
        ScaleCase{{800, 600}, Screen1080, 1, {800, 600}},
        ScaleCase{{6000, 4000}, QSize(0, 0), 1, {6000, 4000}}));

TEST(JpegDecode, BigFilesAreDecodedByLibjpegAtTheChosenScale)
{
    struct Case {
        QSize Image;
        QSize Decoded;
    };
    for (const Case& c : {Case{{6000, 4000}, {3000, 2000}}, Case{{3841, 2161}, {1921, 1081}},
                          Case{{3840, 2160}, {3840, 2160}}}) {
        const auto result = DecodeBytes(FlatJpeg(c.Image.width(), c.Image.height(), 40, 120, 200));
        ASSERT_EQ(result.Status, TJpegStatus::Ok);
        EXPECT_EQ(result.ImageSize, c.Image);
        EXPECT_EQ(result.Picture.size(), c.Decoded);
        EXPECT_EQ(result.Picture.format(), QImage::Format_RGB32);
        const QRgb last = result.Picture.pixel(c.Decoded.width() - 1, c.Decoded.height() - 1);
        EXPECT_NEAR(qRed(last), 40, 2);
        EXPECT_NEAR(qGreen(last), 120, 2);
        EXPECT_NEAR(qBlue(last), 200, 2);
        EXPECT_EQ(qAlpha(last), 255);
    }
}

// ---- colours against independent decoders ----------------------------------

struct ColourCase {
    const char* Name;
    QStringList CjpegOptions;
    QSize Screen;          // decides the scale
    QStringList DjpegScale;
};

class JpegColours : public ::testing::TestWithParam<ColourCase> {};

TEST_P(JpegColours, MatchDjpegOutput)
{
    const ColourCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString source = dir.filePath("source.ppm");
    const QString jpeg = dir.filePath("picture.jpg");
    const QString reference = dir.filePath("reference.pnm");
    WritePatternPpm(source, 301, 203);  // odd sizes: partial MCUs at both edges
    RunTool("cjpeg", QStringList{"-quality", "92"} + c.CjpegOptions + QStringList{"-outfile", jpeg, source});
    RunTool("djpeg", QStringList{"-dct", "int"} + c.DjpegScale + QStringList{"-pnm", "-outfile", reference, jpeg});

    const auto result = DecodeBytes(TestFiles::Read(jpeg), c.Screen);
    ASSERT_EQ(result.Status, TJpegStatus::Ok);
    EXPECT_LE(MaxDifference(result.Picture, ReadPnm(reference)), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, JpegColours,
    ::testing::Values(
        ColourCase{"baseline", {}, Screen1080, {}},
        ColourCase{"baseline444", {"-sample", "1x1"}, Screen1080, {}},
        ColourCase{"progressive", {"-progressive"}, Screen1080, {}},
        ColourCase{"arithmetic", {"-arithmetic"}, Screen1080, {}},
        ColourCase{"grayscale", {"-grayscale"}, Screen1080, {}},
        ColourCase{"restartMarkers", {"-restart", "1"}, Screen1080, {}},
        // 301 / 100 > 2 and 203 / 80 > 2: decoded at one half
        ColourCase{"halfScale", {}, QSize(100, 80), {"-scale", "1/2"}},
        ColourCase{"eighthProgressive", {"-progressive"}, QSize(30, 20), {"-scale", "1/8"}}),
    [](const auto& info) { return std::string(info.param.Name); });

// ImageMagick writes CMYK JPEGs as Photoshop does: inverted inks with Adobe's
// APP14 marker. Our conversion must agree with its own CMYK to sRGB.
TEST(JpegColours, CmykMatchesImageMagick)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString source = dir.filePath("source.ppm");
    const QString jpeg = dir.filePath("cmyk.jpg");
    const QString reference = dir.filePath("reference.ppm");
    WritePatternPpm(source, 120, 90);
    RunTool("convert", {source, "-colorspace", "CMYK", "-quality", "95", jpeg});
    RunTool("convert", {jpeg, "-colorspace", "sRGB", "-depth", "8", "ppm:" + reference});

    const QByteArray bytes = TestFiles::Read(jpeg);
    const auto result = DecodeBytes(bytes);
    ASSERT_EQ(result.Status, TJpegStatus::Ok);
    EXPECT_LE(MaxDifference(result.Picture, ReadPnm(reference)), 2);
    // And near the picture it was made from (JPEG loss only).
    EXPECT_LE(MaxDifference(result.Picture, ReadPnm(source)), 24);
}

// YCCK as Adobe stores it (libjpeg writes the APP14 marker with transform 2):
// the CMYK samples given to the encoder are the inverted inks.
TEST(JpegColours, YcckMatchesImageMagickAndTheInks)
{
    const int width = 96, height = 64;
    auto inks = [&](int x, int y, uint8_t* cmyk) {
        const uint32_t p = PatternPixel(x, y, width, height);
        cmyk[0] = uint8_t(p >> 16);  // stored C = 255 - cyan ink = red with K = 255
        cmyk[1] = uint8_t(p >> 8);
        cmyk[2] = uint8_t(p);
        cmyk[3] = x < width / 2 ? 255 : 128;  // right half: half black ink
    };
    const QByteArray bytes = Compress(width, height, JCS_CMYK, 4, [&](int y, uint8_t* row) {
        for (int x = 0; x < width; ++x)
            inks(x, y, row + 4 * x);
    }, [](jpeg_compress_struct& cinfo) { jpeg_set_colorspace(&cinfo, JCS_YCCK); });

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString jpeg = dir.filePath("ycck.jpg");
    const QString reference = dir.filePath("reference.ppm");
    TestFiles::Write(jpeg, bytes);
    RunTool("convert", {jpeg, "-colorspace", "sRGB", "-depth", "8", "ppm:" + reference});

    const auto result = DecodeBytes(bytes);
    ASSERT_EQ(result.Status, TJpegStatus::Ok);
    EXPECT_LE(MaxDifference(result.Picture, ReadPnm(reference)), 2);

    TRgbPicture expected;
    expected.Width = width;
    expected.Height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t cmyk[4];
            inks(x, y, cmyk);
            auto rgb = [&](int i) { return uint32_t(cmyk[i] * cmyk[3] / 255); };
            expected.Pixels.push_back(0xFF000000u | rgb(0) << 16 | rgb(1) << 8 | rgb(2));
        }
    EXPECT_LE(MaxDifference(result.Picture, expected), 12);
}

// ---- bad input ----------------------------------------------------------------

TEST(JpegDecode, BadInputGivesAStatusAndNoPicture)
{
    const QByteArray good = PatternJpeg(64, 48);
    const QByteArray progressive = PatternJpeg(64, 48, Progressive);
    const QByteArray arithmetic = PatternJpeg(64, 48, Arithmetic);
    QByteArray noScanData = good.left(good.indexOf(QByteArray("\xFF\xDA", 2)));
    QByteArray garbage(4096, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919 + 13) & 0xFF);
    QByteArray badPrecision = good;
    badPrecision[good.indexOf(QByteArray("\xFF\xC0", 2)) + 4] = char(7);
    // Cut inside the data of the last scan, after every table was read.
    auto cutInLastScan = [](const QByteArray& jpeg) {
        return jpeg.left(jpeg.lastIndexOf(QByteArray("\xFF\xDA", 2)) + 40);
    };

    struct Case {
        const char* Name;
        QByteArray Bytes;
        TJpegStatus Status;
    };
    const Case cases[] = {
        {"empty", QByteArray(), TJpegStatus::Unreadable},
        {"start marker only", QByteArray("\xFF\xD8", 2), TJpegStatus::Unreadable},
        {"garbage", garbage, TJpegStatus::Unreadable},
        {"gif", QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14), TJpegStatus::Unreadable},
        {"8-bit samples claimed as 7", badPrecision, TJpegStatus::Unreadable},
        {"header without scan", noScanData, TJpegStatus::Unreadable},
        {"truncated in the scan", good.left(good.size() * 2 / 3), TJpegStatus::Truncated},
        {"progressive, truncated", cutInLastScan(progressive), TJpegStatus::Truncated},
        {"arithmetic, truncated", cutInLastScan(arithmetic), TJpegStatus::Truncated},
        // No reduction: the height is below the screen's, so the full width
        // of 20000 would exceed 16384. Refused from the header alone.
        {"20000 x 100", WithFrameSize(good, 20000, 100), TJpegStatus::TooLarge},
        {"16385 x 8", WithFrameSize(good, 16385, 8), TJpegStatus::TooLarge},
    };
    for (const Case& c : cases) {
        const auto result = DecodeBytes(c.Bytes);
        EXPECT_EQ(result.Status, c.Status) << c.Name;
        EXPECT_TRUE(result.Picture.isNull()) << c.Name;
    }
    // Without a screen size nothing is reduced.
    EXPECT_EQ(DecodeBytes(WithFrameSize(good, 20000, 15000), QSize(0, 0)).Status,
              TJpegStatus::TooLarge);
}

TEST(JpegDecode, DecoderMemoryAndScanCountAreBounded)
{
    // A progressive decode keeps every coefficient of the full-size image:
    // 8000 x 8000 in 4:2:0 needs about 190 MB, refused under a 64 MB budget
    // before the scan data is looked at.
    const QByteArray progressive = PatternJpeg(64, 48, Progressive);
    const QByteArray big = WithFrameSize(progressive, 8000, 8000);
    JpegDecoder::TJpegLimits limits;
    limits.MaxDecoderMemory = 64L << 20;
    EXPECT_EQ(JpegDecoder::Decode(reinterpret_cast<const uint8_t*>(big.constData()),
                                  size_t(big.size()), Screen1080, limits).Status,
              TJpegStatus::Unreadable);

    // libjpeg's simple progression has 10 scans.
    limits = JpegDecoder::TJpegLimits();
    limits.MaxScans = 9;
    EXPECT_EQ(JpegDecoder::Decode(reinterpret_cast<const uint8_t*>(progressive.constData()),
                                  size_t(progressive.size()), Screen1080, limits).Status,
              TJpegStatus::Unreadable);
    limits.MaxScans = 10;
    EXPECT_EQ(JpegDecoder::Decode(reinterpret_cast<const uint8_t*>(progressive.constData()),
                                  size_t(progressive.size()), Screen1080, limits).Status,
              TJpegStatus::Ok);
}

TEST(JpegDecode, MissingEndMarkerStillGivesTheWholePicture)
{
    for (const auto& tune : {std::function<void(jpeg_compress_struct&)>(),
                             std::function<void(jpeg_compress_struct&)>(Progressive)}) {
        const QByteArray good = PatternJpeg(64, 48, tune);
        ASSERT_TRUE(good.endsWith(QByteArray("\xFF\xD9", 2)));
        const auto whole = DecodeBytes(good);
        const auto result = DecodeBytes(good.left(good.size() - 2));
        ASSERT_EQ(result.Status, TJpegStatus::Ok);
        EXPECT_EQ(result.Picture, whole.Picture);
    }
}

// ---- the reader on real files --------------------------------------------------

TBufImage ReadWithTZVJpeg(const QString& path, bool autoRotate, QSize screen = Screen1080)
{
    TBufImage slot;
    {
        TZVJpeg reader(&slot, path);
        reader.AutoRotate = autoRotate;
        reader.ScreenSize = screen;
        reader.Read();
    }
    return slot;
}

TEST(TZVJpegReader, BadFilesGiveAnEmptyReadySlot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray good = FlatJpeg(64, 48, 10, 20, 30);
    const std::pair<const char*, QByteArray> files[] = {
        {"empty.jpg", QByteArray()},
        {"truncated.jpg", good.left(good.size() / 2)},
        {"text.jpg", QByteArray("this is not a picture\n")},
        {"gif.jpg", QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 14)},
        {"huge.jpg", WithFrameSize(good, 20000, 100)},
    };
    for (const auto& [name, bytes] : files) {
        const QString path = dir.filePath(name);
        TestFiles::Write(path, bytes);
        const TBufImage slot = ReadWithTZVJpeg(path, true);
        EXPECT_TRUE(slot.Loaded) << name;
        EXPECT_TRUE(slot.Bitmap.isNull()) << name;
        EXPECT_FALSE(slot.Animated) << name;
    }
    const TBufImage missing = ReadWithTZVJpeg(dir.filePath("gone.jpg"), true);
    EXPECT_TRUE(missing.Loaded);
    EXPECT_TRUE(missing.Bitmap.isNull());
}

// A portrait photo stored as 4000 x 3000 with EXIF orientation 6, its top-left
// quarter red. Written by Pillow, which also writes the EXIF block; its JFIF
// segment is dropped so the EXIF segment follows the start marker, as in a
// camera's file.
class TZVJpegOrientation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Path = Dir.filePath("portrait.jpg");
        RunTool("/usr/bin/python3",
            {"-c",
             "import sys\n"
             "from PIL import Image\n"
             "im = Image.new('RGB', (4000, 3000), (0, 0, 255))\n"
             "im.paste((255, 0, 0), (0, 0, 2000, 1500))\n"
             "exif = Image.Exif()\n"
             "exif[0x0112] = 6\n"
             "im.save(sys.argv[1], quality=90, exif=exif)\n"
             "data = open(sys.argv[1], 'rb').read()\n"
             "if data[2:4] == b'\\xff\\xe0':\n"
             "    data = data[:2] + data[4 + int.from_bytes(data[4:6], 'big'):]\n"
             "open(sys.argv[1], 'wb').write(data)\n",
             Path});
    }
    QTemporaryDir Dir;
    QString Path;
};

TEST_F(TZVJpegOrientation, AutoRotateTurnsOrientation6Clockwise)
{
    const TBufImage slot = ReadWithTZVJpeg(Path, true);
    ASSERT_TRUE(slot.Loaded);
    ASSERT_EQ(slot.Bitmap.size(), QSize(1500, 2000));
    // Turned clockwise, the stored top-left quarter is at the top right.
    EXPECT_GT(qRed(slot.Bitmap.pixel(1400, 100)), 200);
    EXPECT_LT(qBlue(slot.Bitmap.pixel(1400, 100)), 50);
    EXPECT_GT(qBlue(slot.Bitmap.pixel(100, 100)), 200);
}

TEST_F(TZVJpegOrientation, WithoutAutoRotateThePictureIsShownAsStored)
{
    const TBufImage slot = ReadWithTZVJpeg(Path, false);
    ASSERT_EQ(slot.Bitmap.size(), QSize(2000, 1500));
    EXPECT_GT(qRed(slot.Bitmap.pixel(100, 100)), 200);
}

} // namespace
