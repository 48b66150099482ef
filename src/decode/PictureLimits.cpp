#include "decode/PictureLimits.h"

#include <cstdlib>

#include "decode/FileBytes.h"

namespace PictureLimits {

bool Fits(int64_t width, int64_t height, int64_t bytesPerPixel)
{
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0)
        return false;
    if (width > MaxSide || height > MaxSide)
        return false;
    return width * height * bytesPerPixel <= MaxBytes;
}

namespace {

// Above this size a picture's memory is taken in 2 MiB blocks with the
// advice to back it by huge pages: a photo's tens of megabytes otherwise
// cost thousands of page faults, which take longer than the decode itself
// on some machines.
constexpr int64_t HugePageThreshold = int64_t(4) << 20;
constexpr size_t HugePageSize = size_t(2) << 20;

void FreePicture(void* data)
{
    std::free(data);
}

QImage HugePagePicture(int64_t width, int64_t height, QImage::Format format, int64_t bytesPerLine)
{
    const size_t bytes = size_t(bytesPerLine * height);
    const size_t rounded = (bytes + HugePageSize - 1) / HugePageSize * HugePageSize;
    auto* data = static_cast<uchar*>(std::aligned_alloc(HugePageSize, rounded));
    if (!data)
        return QImage();
    AdviseHugePages(data, rounded);
    QImage picture(data, int(width), int(height), qsizetype(bytesPerLine), format, FreePicture, data);
    if (picture.isNull())
        std::free(data);
    return picture;
}

} // namespace

QImage NewPicture(int64_t width, int64_t height, QImage::Format format)
{
    const int64_t bitsPerPixel = QImage::toPixelFormat(format).bitsPerPixel();
    const int64_t bytesPerPixel = bitsPerPixel / 8;
    if (!Fits(width, height, bytesPerPixel > 0 ? bytesPerPixel : 1))
        return QImage();
    // Rows padded to 32 bits, as QImage lays them out itself.
    const int64_t bytesPerLine = (width * bitsPerPixel + 31) / 32 * 4;
    if (bytesPerLine * height >= HugePageThreshold)
        return HugePagePicture(width, height, format, bytesPerLine);
    QImage picture(int(width), int(height), format);
    return picture.isNull() ? QImage() : picture;
}

} // namespace PictureLimits
