// Picture allocation: the size limits, and pictures taken in huge-page blocks
// behaving as any other QImage (row layout, writing, copies).

#include <gtest/gtest.h>

#include "decode/PictureLimits.h"

namespace {

struct AllocationCase {
    const char* Title;
    int64_t Width;
    int64_t Height;
    QImage::Format Format;
    bool Allowed;
};

TEST(PictureLimits, AllocatesWithinTheLimitsInQImagesOwnLayout)
{
    const AllocationCase cases[] = {
        {"small, ordinary allocation", 7, 5, QImage::Format_RGB32, true},
        {"photo-sized, huge-page blocks", 3001, 2000, QImage::Format_RGB32, true},
        {"odd width, rows padded to 32 bits", 4097, 1100, QImage::Format_RGB888, true},
        {"palette picture", 5001, 1000, QImage::Format_Indexed8, true},
        {"side too long", 16385, 1, QImage::Format_RGB32, false},
        {"more than 1 GiB", 16384, 8193, QImage::Format_RGBA64, false},
        {"empty", 0, 10, QImage::Format_RGB32, false},
    };
    for (const AllocationCase& c : cases) {
        QImage picture = PictureLimits::NewPicture(c.Width, c.Height, c.Format);
        ASSERT_EQ(!picture.isNull(), c.Allowed) << c.Title;
        if (!c.Allowed)
            continue;
        const QImage reference(int(c.Width), int(c.Height), c.Format);
        EXPECT_EQ(picture.size(), reference.size()) << c.Title;
        EXPECT_EQ(picture.bytesPerLine(), reference.bytesPerLine()) << c.Title;
        EXPECT_EQ(picture.format(), c.Format) << c.Title;
    }
}

TEST(PictureLimits, AHugePagePictureIsWritableAndItsCopiesIndependent)
{
    QImage picture = PictureLimits::NewPicture(3000, 2000);
    ASSERT_FALSE(picture.isNull());
    picture.fill(Qt::red);
    picture.setPixel(2999, 1999, qRgb(0, 255, 0));
    QImage copy = picture;
    picture.setPixel(2999, 1999, qRgb(0, 0, 255));  // detaches from the copy
    EXPECT_EQ(copy.pixel(2999, 1999), qRgb(0, 255, 0));
    EXPECT_EQ(picture.pixel(2999, 1999), qRgb(0, 0, 255));
    EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 0, 0));
    picture = QImage();  // the original's memory goes; the copy keeps its own
    EXPECT_EQ(copy.pixel(0, 0), qRgb(255, 0, 0));
}

} // namespace
