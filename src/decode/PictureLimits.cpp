#include "decode/PictureLimits.h"

namespace PictureLimits {

bool Fits(int64_t width, int64_t height, int64_t bytesPerPixel)
{
    if (width <= 0 || height <= 0 || bytesPerPixel <= 0)
        return false;
    if (width > MaxSide || height > MaxSide)
        return false;
    return width * height * bytesPerPixel <= MaxBytes;
}

QImage NewPicture(int64_t width, int64_t height, QImage::Format format)
{
    const int64_t bytesPerPixel = QImage::toPixelFormat(format).bitsPerPixel() / 8;
    if (!Fits(width, height, bytesPerPixel > 0 ? bytesPerPixel : 1))
        return QImage();
    QImage picture(int(width), int(height), format);
    return picture.isNull() ? QImage() : picture;
}

} // namespace PictureLimits
