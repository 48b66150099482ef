#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include <gif_lib.h>

#include <vector>

#include "TestFiles.h"
#include "decode/GifDecoder.h"
#include "decode/uImageReaders.h"

using GifDecoder::TGifStatus;

namespace {

// ---- fixtures: GIFs written with giflib's encoder ---------------------------

constexpr uint32_t Transparent = 0;
constexpr uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Black = 0xFF000000;

struct TFrame {
    int Left = 0, Top = 0, Width = 1, Height = 1;
    std::vector<uint8_t> Indices;  // Width x Height, row by row
    int Disposal = DISPOSAL_UNSPECIFIED;
    int DelayCs = 10;
    int TransparentIndex = NO_TRANSPARENT_COLOR;
    bool Interlace = false;
    bool Control = true;  // write a graphic control block
};

struct TGifRecipe {
    int Width = 4, Height = 4;
    // Global colour table: index 0 red, 1 green, 2 blue, 3 white; more below.
    std::vector<uint32_t> Colours{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    int LoopCount = -1;  // -1: no looping extension
    std::vector<TFrame> Frames;
};

int WriteBytes(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

QByteArray WriteGif(const TGifRecipe& recipe)
{
    QByteArray bytes;
    int error = 0;
    GifFileType* gif = EGifOpen(&bytes, WriteBytes, &error);
    EXPECT_NE(gif, nullptr);
    EGifSetGifVersion(gif, true);
    int mapSize = 2;
    while (mapSize < int(recipe.Colours.size()))
        mapSize *= 2;
    std::vector<GifColorType> colours(size_t(mapSize), GifColorType{0, 0, 0});
    for (size_t i = 0; i < recipe.Colours.size(); ++i)
        colours[i] = GifColorType{GifByteType(recipe.Colours[i] >> 16), GifByteType(recipe.Colours[i] >> 8),
                                  GifByteType(recipe.Colours[i])};
    ColorMapObject* map = GifMakeMapObject(mapSize, colours.data());
    EXPECT_EQ(EGifPutScreenDesc(gif, recipe.Width, recipe.Height, 8, 0, map), GIF_OK);
    if (recipe.LoopCount >= 0) {
        const GifByteType loop[3] = {1, GifByteType(recipe.LoopCount & 0xFF),
                                     GifByteType(recipe.LoopCount >> 8)};
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (const TFrame& f : recipe.Frames) {
        if (f.Control) {
            GraphicsControlBlock gcb{f.Disposal, false, f.DelayCs, f.TransparentIndex};
            GifByteType block[4];
            const size_t length = EGifGCBToExtension(&gcb, block);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), block);
        }
        EXPECT_EQ(EGifPutImageDesc(gif, f.Left, f.Top, f.Width, f.Height, f.Interlace, nullptr), GIF_OK);
        // The encoder takes rows in the order they are stored.
        std::vector<int> order;
        if (f.Interlace) {
            for (int pass = 0; pass < 4; ++pass)
                for (int y = (int[]){0, 4, 2, 1}[pass]; y < f.Height; y += (int[]){8, 8, 4, 2}[pass])
                    order.push_back(y);
        } else {
            for (int y = 0; y < f.Height; ++y)
                order.push_back(y);
        }
        for (int y : order) {
            std::vector<GifPixelType> row(f.Indices.begin() + y * f.Width,
                                          f.Indices.begin() + (y + 1) * f.Width);
            EXPECT_EQ(EGifPutLine(gif, row.data(), f.Width), GIF_OK);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return bytes;
}

TFrame Fill(int left, int top, int width, int height, uint8_t index)
{
    TFrame f;
    f.Left = left;
    f.Top = top;
    f.Width = width;
    f.Height = height;
    f.Indices.assign(size_t(width * height), index);
    return f;
}

GifDecoder::TGifStill Still(const QByteArray& bytes)
{
    return GifDecoder::DecodeStill(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                   size_t(bytes.size()));
}

std::unique_ptr<TGifAnimation> Animation(const QByteArray& bytes,
                                         int64_t maxBytes = GifDecoder::MaxAnimationBytes)
{
    GifDecoder::TGifLimits limits;
    limits.MaxAnimationBytes = maxBytes;
    return GifDecoder::DecodeAnimation(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                       size_t(bytes.size()), limits);
}

uint32_t Pixel(const QImage& picture, int x, int y)
{
    return reinterpret_cast<const uint32_t*>(picture.constScanLine(y))[x];
}

TBufImage ReadWithTZVGif(const QString& path)
{
    TBufImage slot;
    {
        TZVGif reader(&slot, path);
        reader.Read();
    }
    return slot;
}

// ---- still pictures ------------------------------------------------------------

TEST(GifStill, OneOpaqueFrameGivesAnRgb32Picture)
{
    TGifRecipe recipe;
    recipe.Width = 3;
    recipe.Height = 2;
    TFrame f = Fill(0, 0, 3, 2, 0);
    f.Indices = {0, 1, 2, 3, 2, 1};
    recipe.Frames = {f};
    const auto still = Still(WriteGif(recipe));
    ASSERT_EQ(still.Status, TGifStatus::Ok);
    EXPECT_EQ(still.FrameCount, 1);
    ASSERT_EQ(still.Picture.size(), QSize(3, 2));
    EXPECT_EQ(still.Picture.format(), QImage::Format_RGB32);
    const uint32_t expected[6] = {Red, Green, Blue, 0xFFFFFFFF, Blue, Green};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Pixel(still.Picture, i % 3, i / 3), expected[i]) << i;
}

TEST(GifStill, TransparencyAndUncoveredCanvasAreTransparent)
{
    TGifRecipe recipe;  // 4 x 4 canvas
    TFrame f = Fill(1, 1, 2, 2, 1);
    f.Indices = {1, 3, 3, 2};
    f.TransparentIndex = 3;
    recipe.Frames = {f};
    const auto still = Still(WriteGif(recipe));
    ASSERT_EQ(still.Status, TGifStatus::Ok);
    ASSERT_EQ(still.Picture.size(), QSize(4, 4));
    EXPECT_EQ(still.Picture.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(Pixel(still.Picture, 0, 0), Transparent);  // outside the frame
    EXPECT_EQ(Pixel(still.Picture, 1, 1), Green);
    EXPECT_EQ(Pixel(still.Picture, 2, 1), Transparent);  // transparent index
    EXPECT_EQ(Pixel(still.Picture, 2, 2), Blue);
    EXPECT_EQ(Pixel(still.Picture, 3, 3), Transparent);
}

// An independent encoder: ImageMagick's GIF against its own plain-pixel output.
TEST(GifStill, MatchesImageMagick)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString gif = dir.filePath("g.gif");
    const QString rgb = dir.filePath("g.rgb");
    QProcess make;
    make.start("convert", {"-size", "17x9", "plasma:", "-colors", "50", gif});
    ASSERT_TRUE(make.waitForFinished(60000));
    ASSERT_EQ(make.exitCode(), 0);
    QProcess raw;
    raw.start("convert", {gif, "-depth", "8", "rgb:" + rgb});
    ASSERT_TRUE(raw.waitForFinished(60000));
    ASSERT_EQ(raw.exitCode(), 0);

    const auto still = Still(TestFiles::Read(gif));
    ASSERT_EQ(still.Status, TGifStatus::Ok);
    ASSERT_EQ(still.Picture.size(), QSize(17, 9));
    const QByteArray reference = TestFiles::Read(rgb);
    ASSERT_EQ(reference.size(), 17 * 9 * 3);
    for (int i = 0; i < 17 * 9; ++i) {
        const auto* p = reinterpret_cast<const uint8_t*>(reference.constData()) + 3 * i;
        EXPECT_EQ(Pixel(still.Picture, i % 17, i / 17),
                  0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]) << i;
    }
}

TEST(GifReader, OneFrameIsStillTwoFramesOrNoneAreAnimated)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TGifRecipe one;
    one.Frames = {Fill(0, 0, 4, 4, 2)};
    TGifRecipe two = one;
    two.Frames.push_back(Fill(0, 0, 2, 2, 0));
    const TGifRecipe none;

    struct Case {
        const char* Name;
        QByteArray Bytes;
        bool Picture;
        bool Animated;
    };
    const Case cases[] = {
        {"one.gif", WriteGif(one), true, false},
        {"two.gif", WriteGif(two), false, true},
        {"none.gif", WriteGif(none), false, true},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.Name);
        TestFiles::Write(path, c.Bytes);
        const TBufImage slot = ReadWithTZVGif(path);
        EXPECT_TRUE(slot.Loaded) << c.Name;
        EXPECT_EQ(!slot.Bitmap.isNull(), c.Picture) << c.Name;
        EXPECT_EQ(slot.Animated, c.Animated) << c.Name;
    }
    EXPECT_EQ(ReadWithTZVGif(dir.filePath("one.gif")).Bitmap.pixel(3, 3), qRgb(0, 0, 255));
}

// ---- animations ------------------------------------------------------------------

// Three frames on a 4 x 4 canvas: red everywhere (kept), green 2 x 2 at (1, 1)
// with the disposal under test, blue 1 x 1 at (0, 0). The third frame shows
// what the second one's disposal left.
struct DisposalCase {
    const char* Name;
    int Disposal;
    uint32_t SquareAfter;  // pixel (1, 1) of the third frame
};

class GifDisposal : public ::testing::TestWithParam<DisposalCase> {};

TEST_P(GifDisposal, ThirdFrameShowsWhatTheSecondLeft)
{
    const DisposalCase& c = GetParam();
    TGifRecipe recipe;
    TFrame red = Fill(0, 0, 4, 4, 0);
    red.Disposal = DISPOSE_DO_NOT;
    TFrame green = Fill(1, 1, 2, 2, 1);
    green.Disposal = c.Disposal;
    recipe.Frames = {red, green, Fill(0, 0, 1, 1, 2)};

    const auto animation = Animation(WriteGif(recipe));
    ASSERT_NE(animation, nullptr);
    ASSERT_EQ(animation->FrameCount(), 3);
    EXPECT_EQ(animation->CanvasSize, QSize(4, 4));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(animation->Frame(i).size(), QSize(4, 4));
        EXPECT_EQ(animation->Frame(i).format(), QImage::Format_ARGB32_Premultiplied);
    }
    EXPECT_EQ(Pixel(animation->Frame(0), 1, 1), Red);
    EXPECT_EQ(Pixel(animation->Frame(1), 1, 1), Green);
    EXPECT_EQ(Pixel(animation->Frame(1), 0, 0), Red);
    EXPECT_EQ(Pixel(animation->Frame(2), 0, 0), Blue);
    EXPECT_EQ(Pixel(animation->Frame(2), 1, 1), c.SquareAfter);
    EXPECT_EQ(Pixel(animation->Frame(2), 2, 2), c.SquareAfter);
    EXPECT_EQ(Pixel(animation->Frame(2), 3, 3), Red);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, GifDisposal,
    ::testing::Values(DisposalCase{"unspecified", DISPOSAL_UNSPECIFIED, Green},
                      DisposalCase{"keep", DISPOSE_DO_NOT, Green},
                      DisposalCase{"background", DISPOSE_BACKGROUND, Transparent},
                      DisposalCase{"previous", DISPOSE_PREVIOUS, Red}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(GifAnimation, RestoreToPreviousOnTheFirstFrameGivesTheEmptyCanvas)
{
    TGifRecipe recipe;
    TFrame first = Fill(0, 0, 4, 4, 0);
    first.Disposal = DISPOSE_PREVIOUS;
    TFrame second = Fill(0, 0, 1, 1, 2);
    recipe.Frames = {first, second};
    const auto animation = Animation(WriteGif(recipe));
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(Pixel(animation->Frame(1), 0, 0), Blue);
    EXPECT_EQ(Pixel(animation->Frame(1), 3, 3), Transparent);
}

TEST(GifAnimation, DelaysAndLoopCount)
{
    TGifRecipe recipe;
    for (int delay : {0, 1, 2, 50}) {
        TFrame f = Fill(0, 0, 4, 4, uint8_t(delay % 3));
        f.DelayCs = delay;
        recipe.Frames.push_back(f);
    }
    TFrame noControl = Fill(0, 0, 4, 4, 1);
    noControl.Control = false;
    recipe.Frames.push_back(noControl);

    struct LoopCase {
        int InFile;
        int LoopCount;
        int PlayCount;
    };
    for (const LoopCase& c : {LoopCase{-1, -1, 1}, LoopCase{0, 0, 0}, LoopCase{3, 3, 4},
                              LoopCase{65535, 65535, 65536}}) {
        recipe.LoopCount = c.InFile;
        const auto animation = Animation(WriteGif(recipe));
        ASSERT_NE(animation, nullptr);
        EXPECT_EQ(animation->LoopCount, c.LoopCount);
        EXPECT_EQ(animation->PlayCount(), c.PlayCount);
        EXPECT_EQ(animation->Delays, (std::vector<int>{100, 100, 20, 500, 100}));
    }
}

TEST(GifAnimation, InterlacedRowsLandInPlace)
{
    TGifRecipe recipe;
    recipe.Width = 2;
    recipe.Height = 11;
    recipe.Colours.clear();
    for (int y = 0; y < 11; ++y)
        recipe.Colours.push_back(uint32_t(y * 20) << 16 | uint32_t(255 - y * 20));
    TFrame f = Fill(0, 0, 2, 11, 0);
    for (int y = 0; y < 11; ++y)
        f.Indices[size_t(2 * y)] = f.Indices[size_t(2 * y + 1)] = uint8_t(y);
    f.Interlace = true;
    recipe.Frames = {f, f};
    const auto animation = Animation(WriteGif(recipe));
    ASSERT_NE(animation, nullptr);
    for (int y = 0; y < 11; ++y)
        EXPECT_EQ(Pixel(animation->Frame(1), 1, y), 0xFF000000u | recipe.Colours[size_t(y)]) << y;
    recipe.Frames.resize(1);
    const auto still = Still(WriteGif(recipe));
    for (int y = 0; y < 11; ++y)
        EXPECT_EQ(Pixel(still.Picture, 0, y), 0xFF000000u | recipe.Colours[size_t(y)]) << y;
}

TEST(GifAnimation, FramesAreClippedToTheCanvas)
{
    TGifRecipe recipe;  // 4 x 4
    TFrame overhang = Fill(3, 2, 5, 5, 2);
    overhang.Disposal = DISPOSE_BACKGROUND;
    TFrame outside = Fill(200, 300, 3, 3, 1);  // nowhere on the canvas
    outside.Disposal = DISPOSE_BACKGROUND;
    recipe.Frames = {Fill(0, 0, 4, 4, 0), overhang, outside};
    recipe.Frames[0].Disposal = DISPOSE_DO_NOT;
    const auto animation = Animation(WriteGif(recipe));
    ASSERT_NE(animation, nullptr);
    ASSERT_EQ(animation->FrameCount(), 3);
    EXPECT_EQ(Pixel(animation->Frame(1), 3, 3), Blue);
    EXPECT_EQ(Pixel(animation->Frame(1), 2, 3), Red);
    EXPECT_EQ(Pixel(animation->Frame(2), 3, 3), Transparent);  // cleared by the disposal
    EXPECT_EQ(Pixel(animation->Frame(2), 2, 2), Red);
}

TEST(GifStill, AnEmptyLogicalScreenTakesTheFirstFrameExtent)
{
    TGifRecipe recipe;
    recipe.Frames = {Fill(2, 1, 3, 2, 2)};
    QByteArray bytes = WriteGif(recipe);
    bytes.replace(6, 4, QByteArray(4, '\0'));  // logical screen 0 x 0
    const auto still = Still(bytes);
    ASSERT_EQ(still.Status, TGifStatus::Ok);
    ASSERT_EQ(still.Picture.size(), QSize(5, 3));
    EXPECT_EQ(Pixel(still.Picture, 4, 2), Blue);
    EXPECT_EQ(Pixel(still.Picture, 0, 0), Transparent);
}

TEST(GifStill, IndexBeyondTheColourTableIsBlack)
{
    // The frame is written with a local table of four colours, which is then
    // cut out: its LZW data keeps indices 2 and 3, and the global table the
    // frame falls back to has only two entries.
    TGifRecipe recipe;
    recipe.Colours = {0xFF0000, 0x00FF00};
    TFrame f = Fill(0, 0, 4, 1, 0);
    f.Indices = {0, 1, 2, 3};
    recipe.Frames = {f};
    QByteArray bytes;
    {
        int error = 0;
        GifFileType* gif = EGifOpen(&bytes, WriteBytes, &error);
        GifColorType global[2] = {{255, 0, 0}, {0, 255, 0}};
        GifColorType local[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        ColorMapObject* globalMap = GifMakeMapObject(2, global);
        ColorMapObject* localMap = GifMakeMapObject(4, local);
        EGifPutScreenDesc(gif, 4, 1, 8, 0, globalMap);
        EGifPutImageDesc(gif, 0, 0, 4, 1, false, localMap);
        GifPixelType row[4] = {0, 1, 2, 3};
        EXPECT_EQ(EGifPutLine(gif, row, 4), GIF_OK);
        EGifCloseFile(gif, &error);
        GifFreeMapObject(globalMap);
        GifFreeMapObject(localMap);
    }
    const qsizetype descriptor = 13 + 6;  // header, screen, two-colour global table
    ASSERT_EQ(bytes[descriptor], ',');
    ASSERT_EQ(uchar(bytes[descriptor + 9]) & 0x87, 0x81);  // local table of 4
    bytes[descriptor + 9] = char(uchar(bytes[descriptor + 9]) & ~0x87);
    bytes.remove(descriptor + 10, 12);

    const auto still = Still(bytes);
    ASSERT_EQ(still.Status, TGifStatus::Ok);
    EXPECT_EQ(Pixel(still.Picture, 0, 0), Red);
    EXPECT_EQ(Pixel(still.Picture, 1, 0), Green);
    EXPECT_EQ(Pixel(still.Picture, 2, 0), Black);
    EXPECT_EQ(Pixel(still.Picture, 3, 0), Black);
}

// ---- bad input ------------------------------------------------------------------------

TEST(GifBadInput, DamagedFilesGiveNoPictureAndNeverAnimate)
{
    TGifRecipe recipe;
    recipe.Frames = {Fill(0, 0, 4, 4, 0), Fill(0, 0, 4, 4, 1), Fill(0, 0, 4, 4, 2)};
    for (TFrame& f : recipe.Frames)
        for (size_t i = 0; i < f.Indices.size(); ++i)
            f.Indices[i] = uint8_t((i * 7 + f.Indices[0]) % 4);  // some LZW data to cut
    const QByteArray good = WriteGif(recipe);
    const qsizetype firstImage = good.indexOf(',');  // image separator

    struct Case {
        const char* Name;
        QByteArray Bytes;
        TGifStatus Status;
    };
    const Case cases[] = {
        {"empty", QByteArray(), TGifStatus::Unreadable},
        {"signature only", QByteArray("GIF89a"), TGifStatus::Unreadable},
        {"png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), TGifStatus::Unreadable},
        {"cut in the first frame", good.left(firstImage + 14), TGifStatus::Unreadable},
        {"no trailer", good.left(good.size() - 1), TGifStatus::Ok},
        {"canvas of 20000", [&] {
             QByteArray b = good;
             b[6] = char(20000 & 0xFF);
             b[7] = char(20000 >> 8);
             return b;
         }(), TGifStatus::TooLarge},
    };
    for (const Case& c : cases) {
        const auto still = Still(c.Bytes);
        EXPECT_EQ(still.Status, c.Status) << c.Name;
        if (c.Status != TGifStatus::Ok) {
            EXPECT_TRUE(still.Picture.isNull()) << c.Name;
        }
        EXPECT_EQ(Animation(c.Bytes) != nullptr, c.Status == TGifStatus::Ok) << c.Name;
    }

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Case& c : cases) {
        if (c.Status == TGifStatus::Ok)
            continue;
        const QString path = dir.filePath(QString("bad-%1.gif").arg(&c - cases));
        TestFiles::Write(path, c.Bytes);
        const TBufImage slot = ReadWithTZVGif(path);
        EXPECT_TRUE(slot.Loaded) << c.Name;
        EXPECT_TRUE(slot.Bitmap.isNull()) << c.Name;
        EXPECT_FALSE(slot.Animated) << c.Name;
        EXPECT_EQ(LoadGifFile(path), nullptr) << c.Name;
    }
    EXPECT_EQ(LoadGifFile(dir.filePath("missing.gif")), nullptr);
}

TEST(GifBadInput, AFrameCutShortEndsTheAnimationAfterTheCompleteOnes)
{
    TGifRecipe recipe;
    for (int i = 0; i < 3; ++i) {
        TFrame f = Fill(0, 0, 8, 8, 0);
        for (size_t p = 0; p < f.Indices.size(); ++p)
            f.Indices[p] = uint8_t((p * 5 + size_t(i)) % 4);
        recipe.Frames.push_back(f);
    }
    const QByteArray good = WriteGif(recipe);
    const qsizetype lastImage = good.lastIndexOf(',');
    const auto animation = Animation(good.left(lastImage + 14));
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->FrameCount(), 2);
    EXPECT_EQ(animation->Delays.size(), 2u);
}

TEST(GifBadInput, AllFramesTogetherAreBounded)
{
    TGifRecipe recipe;
    recipe.Width = 64;
    recipe.Height = 64;
    for (int i = 0; i < 10; ++i)
        recipe.Frames.push_back(Fill(0, 0, 1, 1, uint8_t(i % 3)));
    const QByteArray bytes = WriteGif(recipe);
    const int64_t canvas = 64 * 64 * 4;
    EXPECT_NE(Animation(bytes, 10 * canvas), nullptr);
    EXPECT_EQ(Animation(bytes, 10 * canvas - 1), nullptr);
    // The still path decodes one frame only and is not bounded by the count.
    EXPECT_EQ(Still(bytes).FrameCount, 2);
}

TEST(GifAnimation, LoadGifFileReadsTheWholeAnimation)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TGifRecipe recipe;
    recipe.LoopCount = 0;
    recipe.Frames = {Fill(0, 0, 4, 4, 0), Fill(1, 1, 1, 1, 1)};
    const QString path = dir.filePath("anim.gif");
    TestFiles::Write(path, WriteGif(recipe));
    const auto animation = LoadGifFile(path);
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->FrameCount(), 2);
    EXPECT_EQ(animation->PlayCount(), 0);
    EXPECT_EQ(Pixel(animation->Frame(1), 1, 1), Green);
    EXPECT_EQ(Pixel(animation->Frame(1), 0, 0), Red);
}

} // namespace
