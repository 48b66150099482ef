// The scaling routines: FitSize's table and rounding, the quality filter
// against a plain double-precision area average / bilinear reference, the
// speed filter against its row and column rule, rectangles, formats and
// refused sizes.

#include "display/uImageUtils.h"

#include "display/ResampleKernels.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------- fixtures

QImage RandomPicture(int w, int h, uint32_t rngState, QImage::Format format = QImage::Format_RGB32)
{
    std::mt19937 rng(rngState);
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t v = rng();
            if (format == QImage::Format_ARGB32_Premultiplied) {
                const int a = int(v >> 24);
                const auto part = [&](int shift) { return (int((v >> shift) & 255) * a + 127) / 255; };
                row[x] = qRgba(part(16), part(8), part(0), a);
            } else {
                row[x] = v | 0xFF000000u;
            }
        }
    }
    return image;
}

// Every pixel names its own column and row.
QImage CoordinatePicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            reinterpret_cast<uint32_t*>(image.scanLine(y))[x] = 0xFF000000u | uint32_t(x) << 12 | uint32_t(y);
    return image;
}

uint32_t Pixel(const QImage& image, int x, int y)
{
    return reinterpret_cast<const uint32_t*>(image.constScanLine(y))[x];
}

int Channel(uint32_t pixel, int c)
{
    return int((pixel >> (8 * c)) & 255);
}

// --------------------------------------------- plain double-precision model

using Taps = std::vector<std::pair<int, double>>;

// Reduced (or kept) axis: area weights; enlarged axis: bilinear between the
// pixel centres around (j + 0.5) * src / dst - 0.5, held at the edges.
std::vector<Taps> ReferenceAxis(int src, int dst)
{
    std::vector<Taps> axis(static_cast<size_t>(dst));
    for (int j = 0; j < dst; ++j) {
        if (dst <= src) {
            const double a = double(j) * src / dst;
            const double b = double(j + 1) * src / dst;
            for (int k = int(std::floor(a)); k < int(std::ceil(b)); ++k) {
                const double overlap = std::min(b, k + 1.0) - std::max(a, double(k));
                if (overlap > 0)
                    axis[size_t(j)].push_back({k, overlap / (b - a)});
            }
        } else {
            const double c = std::clamp((j + 0.5) * src / dst - 0.5, 0.0, double(src - 1));
            const int k = std::min(int(std::floor(c)), src - 1);
            const double f = c - k;
            axis[size_t(j)].push_back({k, 1 - f});
            if (k + 1 < src)
                axis[size_t(j)].push_back({k + 1, f});
        }
    }
    return axis;
}

// Largest channel difference between ours and the reference.
int WorstDifference(const QImage& source, const QImage& ours)
{
    const std::vector<Taps> xs = ReferenceAxis(source.width(), ours.width());
    const std::vector<Taps> ys = ReferenceAxis(source.height(), ours.height());
    int worst = 0;
    for (int i = 0; i < ours.height(); ++i)
        for (int j = 0; j < ours.width(); ++j)
            for (int c = 0; c < 4; ++c) {
                double sum = 0;
                for (const auto& [y, wy] : ys[size_t(i)])
                    for (const auto& [x, wx] : xs[size_t(j)])
                        sum += wy * wx * Channel(Pixel(source, x, y), c);
                const int expected = int(std::floor(sum + 0.5));
                worst = std::max(worst, std::abs(Channel(Pixel(ours, j, i), c) - expected));
            }
    return worst;
}

// ------------------------------------------------------------------ FitSize

struct FitCase {
    int w, h, areaW, areaH, fitW, fitH;
};

TEST(FitSize, TableOfSizes)
{
    const FitCase cases[] = {
        {4000, 3000, 1600, 1000, 1333, 1000},  // width first, then height bounds it
        {3000, 4000, 1600, 1000, 750, 1000},   // portrait: height first
        {100, 100, 1600, 1000, 1000, 1000},    // square counts as portrait, enlarged
        {300, 200, 1000, 1000, 1000, 667},     // enlarged landscape
        {10, 5, 9, 100, 9, 4},                 // 4.5 goes to the even 4
        {12, 11, 6, 100, 6, 6},                // 5.5 goes to the even 6
        {5, 10, 100, 9, 4, 9},                 // portrait tie: 4.5 -> 4
        {1600, 1200, 800, 600, 800, 600},      // exact fit
        {100, 50, 801, 601, 801, 400},         // an animation fitted to the view's 801 x 601: 400.5 -> 400
        {1, 100000, 800, 600, 0, 600},         // a side may round to 0
        {16384, 3, 16384, 16384, 16384, 3},    // kept
        {60000, 50000, 60000, 60000, 60000, 50000},  // products beyond 32 bits
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(FitSize(c.w, c.h, c.areaW, c.areaH), QSize(c.fitW, c.fitH))
            << c.w << "x" << c.h << " into " << c.areaW << "x" << c.areaH;
    }
}

TEST(FitSize, EmptyPictureOrAreaGivesZero)
{
    EXPECT_EQ(FitSize(0, 100, 800, 600), QSize(0, 0));
    EXPECT_EQ(FitSize(100, 0, 800, 600), QSize(0, 0));
    EXPECT_EQ(FitSize(-5, 100, 800, 600), QSize(0, 0));
    EXPECT_EQ(FitSize(100, 50, -1, 600), QSize(0, 0));
    EXPECT_EQ(FitSize(100, 50, 0, 600), QSize(0, 0));
}

// ----------------------------------------------------------- quality mode

struct SizeCase {
    int w, h, dw, dh;
};

const SizeCase kRatios[] = {
    {64, 48, 64, 48},     // 1:1
    {64, 48, 32, 24},     // exact halves
    {97, 61, 13, 7},      // odd ratios
    {100, 75, 54, 40},    // close to the view's 3000 -> 1620
    {45, 31, 44, 30},     // barely reduced
    {50, 40, 1, 1},       // one pixel
    {7, 300, 3, 11},      // tall and narrow
    {300, 5, 7, 1},       // wide and flat
    {2000, 3, 1, 3},      // 2000 source columns in one target column
    {300, 2, 7, 2},       // over 32 columns per target: the 32-bit row loop
    {5, 1500, 2, 7},      // over 32 rows per target: 32-bit accumulation
    {3, 3000, 2, 1},      // 3000 rows in one target row
    {40, 30, 17, 90},     // reduced across, enlarged down
    {20, 30, 60, 10},     // enlarged across, reduced down
    {10, 7, 37, 23},      // enlarged both ways
    {1, 1, 5, 3},         // a single pixel enlarged
    {1000, 800, 333, 271},  // large enough to be split over threads
};

TEST(QualityMode, WithinOneOfReferenceOnRandomPictures)
{
    uint32_t rngState = 1;
    for (const SizeCase& c : kRatios) {
        for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
            const QImage source = RandomPicture(c.w, c.h, rngState++, format);
            const QImage ours = StretchBitmap(source, c.dw, c.dh, HALFTONE);
            ASSERT_EQ(ours.size(), QSize(c.dw, c.dh)) << c.w << "x" << c.h << " -> " << c.dw << "x" << c.dh;
            EXPECT_EQ(ours.format(), format);
            EXPECT_LE(WorstDifference(source, ours), 1)
                << c.w << "x" << c.h << " -> " << c.dw << "x" << c.dh << " format " << int(format);
        }
    }
}

TEST(QualityMode, SameSizeIsAnExactCopy)
{
    const QImage source = RandomPicture(33, 21, 7);
    EXPECT_EQ(StretchBitmap(source, 33, 21, HALFTONE), source);
    EXPECT_EQ(StretchBitmap(source, 33, 21, COLORONCOLOR), source);
}

TEST(QualityMode, ExactHalfIsTheMeanOfFour)
{
    // Pixels chosen so the means are whole: no rounding involved.
    QImage source(2, 2, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(0, 100, 255));
    source.setPixel(1, 0, qRgb(4, 100, 255));
    source.setPixel(0, 1, qRgb(8, 0, 1));
    source.setPixel(1, 1, qRgb(12, 0, 1));
    const QImage one = StretchBitmap(source, 1, 1, HALFTONE);
    EXPECT_EQ(one.pixel(0, 0), qRgb(6, 50, 128));
}

TEST(QualityMode, EnlargementIsSmoothNotBlocky)
{
    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(0, 0, 0));
    source.setPixel(1, 0, qRgb(240, 240, 240));
    const QImage wide = StretchBitmap(source, 8, 1, HALFTONE);
    // Edges held, a rising ramp between the two centres.
    const int expected[8] = {0, 0, 30, 90, 150, 210, 240, 240};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(qRed(wide.pixel(x, 0)), expected[x]) << "x " << x;
}

TEST(BothModes, ConstantPictureStaysExactlyConstant)
{
    const uint32_t colours[] = {0xFF000000u, 0xFFFFFFFFu, 0xFF7F3A01u, 0x80402010u /* premultiplied */};
    const SizeCase sizes[] = {{97, 61, 13, 7}, {3000, 2, 7, 2}, {5, 3, 1000, 7}, {40, 30, 17, 90}, {2, 700, 1, 1}};
    for (uint32_t colour : colours) {
        const QImage::Format format = qAlpha(colour) == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied;
        for (const SizeCase& s : sizes) {
            QImage source(s.w, s.h, format);
            source.fill(colour);
            for (int mode : {COLORONCOLOR, HALFTONE}) {
                const QImage out = StretchBitmap(source, s.dw, s.dh, mode);
                ASSERT_EQ(out.size(), QSize(s.dw, s.dh));
                for (int y = 0; y < s.dh; ++y)
                    for (int x = 0; x < s.dw; ++x)
                        ASSERT_EQ(Pixel(out, x, y), colour)
                            << std::hex << colour << std::dec << " " << s.w << "x" << s.h << " -> " << s.dw << "x"
                            << s.dh << " mode " << mode << " at " << x << "," << y;
            }
        }
    }
}

TEST(QualityMode, OtherModeValuesActAsQuality)
{
    const QImage source = RandomPicture(51, 37, 11);
    const QImage quality = StretchBitmap(source, 20, 15, HALFTONE);
    for (int mode : {0, 1, 2, 5, 7, -1})
        EXPECT_EQ(StretchBitmap(source, 20, 15, mode), quality) << "mode " << mode;
}

// ------------------------------------------------------------- speed mode

TEST(SpeedMode, TakesTheRowsAndColumnsOfTheFloorRule)
{
    const SizeCase sizes[] = {{97, 61, 13, 7}, {64, 48, 32, 24}, {10, 7, 37, 23}, {300, 5, 7, 1},
                              {7, 300, 3, 11}, {1000, 800, 333, 271}, {5, 5, 1, 1}};
    for (const SizeCase& s : sizes) {
        const QImage source = CoordinatePicture(s.w, s.h);
        const QImage out = StretchBitmap(source, s.dw, s.dh, COLORONCOLOR);
        ASSERT_EQ(out.size(), QSize(s.dw, s.dh));
        for (int i = 0; i < s.dh; ++i)
            for (int j = 0; j < s.dw; ++j) {
                const int64_t x = int64_t(j) * s.w / s.dw;
                const int64_t y = int64_t(i) * s.h / s.dh;
                ASSERT_EQ(Pixel(out, j, i), Pixel(source, int(x), int(y)))
                    << s.w << "x" << s.h << " -> " << s.dw << "x" << s.dh << " at " << j << "," << i;
            }
    }
}

// ------------------------------------------------------------- rectangles

TEST(StretchRect, SubRectangleEqualsStretchOfTheCroppedPicture)
{
    const QImage source = RandomPicture(120, 90, 21);
    const QRect rects[] = {QRect(10, 5, 50, 40), QRect(0, 0, 120, 90), QRect(119, 89, 1, 1), QRect(33, 0, 7, 90)};
    const QSize targets[] = {QSize(17, 13), QSize(50, 40), QSize(130, 95)};
    for (const QRect& r : rects)
        for (const QSize& t : targets)
            for (int mode : {COLORONCOLOR, HALFTONE}) {
                const QImage viaRect = StretchRect(source, TIntRect{r.left(), r.top(), r.right(), r.bottom()},
                                                   TIntRect{0, 0, t.width() - 1, t.height() - 1}, mode);
                const QImage viaCopy = StretchBitmap(source.copy(r), t.width(), t.height(), mode);
                EXPECT_EQ(viaRect, viaCopy) << "rect " << r.x() << "," << r.y() << " " << r.width() << "x"
                                            << r.height() << " -> " << t.width() << "x" << t.height() << " mode "
                                            << mode;
                EXPECT_EQ(StretchRect(source, r, QRect(QPoint(0, 0), t), mode), viaRect);
            }
}

TEST(StretchRect, BeyondTheEdgeTakesTheEdgePixels)
{
    // The rectangle reaches 3 columns past the right edge and 2 rows past the
    // bottom: it stretches like the picture with its last column and row
    // repeated.
    const QImage source = RandomPicture(20, 10, 31);
    QImage extended(23, 12, QImage::Format_RGB32);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 23; ++x)
            extended.setPixel(x, y, source.pixel(std::min(x, 19), std::min(y, 9)));
    for (int mode : {COLORONCOLOR, HALFTONE}) {
        const QImage viaRect = StretchRect(source, TIntRect{0, 0, 22, 11}, TIntRect{0, 0, 45, 5}, mode);
        EXPECT_EQ(viaRect, StretchBitmap(extended, 46, 6, mode)) << "mode " << mode;
    }
    // Wholly outside: nothing to stretch.
    EXPECT_TRUE(StretchRect(source, TIntRect{20, 0, 30, 9}, TIntRect{0, 0, 9, 9}, HALFTONE).isNull());
    EXPECT_TRUE(StretchRect(source, TIntRect{-11, 0, -1, 9}, TIntRect{0, 0, 9, 9}, HALFTONE).isNull());
}

// ------------------------------------------------------------ formats, refusals

TEST(Formats, OtherFormatsAreScaledAsTheirThirtyTwoBitForm)
{
    const QImage source = RandomPicture(40, 30, 41);
    const QImage rgb888 = source.convertToFormat(QImage::Format_RGB888);
    const QImage out = StretchBitmap(rgb888, 17, 11, HALFTONE);
    EXPECT_EQ(out.format(), QImage::Format_RGB32);
    EXPECT_EQ(out, StretchBitmap(rgb888.convertToFormat(QImage::Format_RGB32), 17, 11, HALFTONE));

    // Straight alpha is premultiplied before averaging: a transparent red
    // pixel beside an opaque blue one must not tint the mean red.
    QImage straight(2, 1, QImage::Format_ARGB32);
    straight.setPixel(0, 0, qRgba(255, 0, 0, 0));
    straight.setPixel(1, 0, qRgba(0, 0, 255, 255));
    const QImage mean = StretchBitmap(straight, 1, 1, HALFTONE);
    EXPECT_EQ(mean.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(Pixel(mean, 0, 0), qRgba(0, 0, 128, 128));
}

TEST(Refusals, EmptyOrOversizedRequestsGiveNullPictures)
{
    const QImage source = RandomPicture(8, 8, 51);
    for (int mode : {COLORONCOLOR, HALFTONE}) {
        EXPECT_TRUE(StretchBitmap(source, 0, 5, mode).isNull());
        EXPECT_TRUE(StretchBitmap(source, 5, 0, mode).isNull());
        EXPECT_TRUE(StretchBitmap(source, -3, 5, mode).isNull());
        EXPECT_TRUE(StretchBitmap(QImage(), 5, 5, mode).isNull());
        EXPECT_TRUE(StretchBitmap(source, 16385, 1, mode).isNull());  // a side over the picture limit
        EXPECT_TRUE(StretchBitmap(source, 1, 16385, mode).isNull());
        EXPECT_TRUE(StretchRect(source, TIntRect{3, 3, 2, 5}, TIntRect{0, 0, 4, 4}, mode).isNull());
        EXPECT_TRUE(StretchRect(source, TIntRect{0, 0, 7, 7}, TIntRect{0, 0, -1, 4}, mode).isNull());
        EXPECT_TRUE(StretchRect(source, TIntRect{INT32_MIN, 0, INT32_MAX, 7}, TIntRect{0, 0, 4, 4}, mode).isNull());
    }
}

// ------------------------------------------------ SIMD kernels agree exactly

// The filter runs the best kernel the processor has; the others must give
// the very same numbers, since they run on other machines.
TEST(Kernels, AllVersionsGiveTheSameResults)
{
    using Resample::TPackedKernel;
    const TPackedKernel kernels[] = {TPackedKernel::Sse2, TPackedKernel::Avx2};
    std::mt19937 rng(61);

    for (int groups : {1, 2, 3}) {
        const int span = 4 * groups;
        const int width = 70;
        std::vector<uint32_t> row(static_cast<size_t>(width));
        for (uint32_t& p : row)
            p = rng();
        for (int count : {1, 2, 13, 32}) {
            std::vector<int32_t> first(static_cast<size_t>(count));
            std::vector<int16_t> weights(size_t(count + 1) / 2 * size_t(groups) * 32, 0);
            for (int j = 0; j < count; ++j) {
                first[size_t(j)] = int32_t(rng() % uint32_t(width - span + 1));
                int left = 1 << Resample::kPackedShift;
                for (int t = 0; t < span; ++t) {
                    const int w = t + 1 == span ? left : int(rng() % uint32_t(left + 1));
                    left -= w;
                    int16_t* lanes = &weights[Resample::PackedWeightAt(j, groups, t / 4)] + ((t % 4) / 2) * 16 + t % 2;
                    for (int k = 0; k < 8; k += 2)
                        lanes[k] = int16_t(w);
                }
            }
            std::vector<uint16_t> plain(size_t(count) * 4);
            Resample::HorizontalPackedRowWith(TPackedKernel::Plain, row.data(), first.data(), weights.data(), groups,
                                              count, 7, plain.data());
            for (TPackedKernel kernel : kernels) {
                if (!Resample::PackedKernelAvailable(kernel))
                    continue;
                std::vector<uint16_t> got(size_t(count) * 4);
                Resample::HorizontalPackedRowWith(kernel, row.data(), first.data(), weights.data(), groups, count, 7,
                                                  got.data());
                EXPECT_EQ(got, plain) << "horizontal, kernel " << int(kernel) << ", groups " << groups << ", count "
                                      << count;
            }
        }
    }

    for (int n : {1, 2, 3, 5, 9}) {
        for (size_t count : {size_t(5), size_t(77), size_t(256)}) {
            std::vector<std::vector<uint16_t>> data(static_cast<size_t>(n), std::vector<uint16_t>(count));
            std::vector<const uint16_t*> rows;
            for (auto& r : data) {
                for (uint16_t& v : r)
                    v = uint16_t(rng() % (255 * 128 + 1));
                rows.push_back(r.data());
            }
            std::vector<int16_t> w(static_cast<size_t>(n));
            int left = 1 << Resample::kPackedShift;
            for (int r = 0; r < n; ++r) {
                w[size_t(r)] = int16_t(r + 1 == n ? left : int(rng() % uint32_t(left + 1)));
                left -= w[size_t(r)];
            }
            std::vector<uint8_t> plain(count);
            Resample::VerticalPackedRowsWith(TPackedKernel::Plain, rows.data(), w.data(), n, count,
                                             7 + Resample::kPackedShift, plain.data());
            for (TPackedKernel kernel : kernels) {
                if (!Resample::PackedKernelAvailable(kernel))
                    continue;
                std::vector<uint8_t> got(count);
                Resample::VerticalPackedRowsWith(kernel, rows.data(), w.data(), n, count, 7 + Resample::kPackedShift,
                                                 got.data());
                EXPECT_EQ(got, plain) << "vertical, kernel " << int(kernel) << ", rows " << n << ", count " << count;
            }
        }
    }
}

} // namespace
