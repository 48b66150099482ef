#include "display/uImageUtils.h"

#include "decode/PictureLimits.h"
#include "display/AreaResample.h"
#include "display/NearestResample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

// A source rectangle is refused when a side is longer than this: the tap
// tables grow with it, and no caller has a reason to ask for more than a
// few times the largest picture.
constexpr int64_t kMaxSourceSide = int64_t(1) << 22;

bool ScalableFormat(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied;
}

QImage::Format ScalableFormatFor(const QImage& image)
{
    return image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

// The source rectangle [left, left + width) x [top, top + height) of a
// picture in a scalable format into target, by mode.
QImage Stretch(const QImage& picture, int64_t left, int64_t top, int64_t width, int64_t height, int targetWidth,
               int targetHeight, int mode)
{
    QImage result = PictureLimits::NewPicture(targetWidth, targetHeight, picture.format());
    if (result.isNull())
        return QImage();

    const Resample::TSourcePixels source{picture.constBits(), picture.bytesPerLine(), picture.width(),
                                         picture.height()};
    const Resample::TSourceArea area{left, top, width, height};
    const Resample::TTargetPixels target{result.bits(), result.bytesPerLine(), result.width(), result.height()};

    const bool inside = left >= 0 && top >= 0 && left + width <= picture.width() && top + height <= picture.height();
    if (inside && width == targetWidth && height == targetHeight) {
        // Same size: both modes give the pixels themselves.
        for (int y = 0; y < targetHeight; ++y)
            std::memcpy(result.scanLine(y), picture.constScanLine(int(top) + y) + left * 4, size_t(targetWidth) * 4);
        return result;
    }

    try {
        if (mode == COLORONCOLOR)
            Resample::NearestResample(source, area, target);
        else
            Resample::AreaResample(source, area, target);
    } catch (const std::bad_alloc&) {
        return QImage();
    }
    return result;
}

// Round half to even in extended precision, as all display arithmetic does.
int RoundQuotient(int64_t numerator, int64_t denominator)
{
    const long double q = nearbyintl(static_cast<long double>(numerator) / static_cast<long double>(denominator));
    return q > 2147483647.0L ? 2147483647 : int(q);
}

} // namespace

QImage StretchBitmap(const QImage& source, int width, int height, int mode)
{
    if (source.isNull())
        return QImage();
    return StretchRect(source, TIntRect{0, 0, source.width() - 1, source.height() - 1},
                       TIntRect{0, 0, width - 1, height - 1}, mode);
}

QImage StretchRect(const QImage& source, TIntRect sourceRect, TIntRect targetRect, int mode)
{
    if (source.isNull() || source.width() <= 0 || source.height() <= 0)
        return QImage();
    const int64_t width = int64_t(sourceRect.Right) - sourceRect.Left + 1;
    const int64_t height = int64_t(sourceRect.Bottom) - sourceRect.Top + 1;
    const int64_t targetWidth = int64_t(targetRect.Right) - targetRect.Left + 1;
    const int64_t targetHeight = int64_t(targetRect.Bottom) - targetRect.Top + 1;
    if (width <= 0 || height <= 0 || targetWidth <= 0 || targetHeight <= 0)
        return QImage();
    if (width > kMaxSourceSide || height > kMaxSourceSide)
        return QImage();
    if (!PictureLimits::Fits(targetWidth, targetHeight))
        return QImage();

    // Wholly outside the picture there is nothing to stretch.
    const int64_t left = sourceRect.Left;
    const int64_t top = sourceRect.Top;
    if (left >= source.width() || top >= source.height() || left + width <= 0 || top + height <= 0)
        return QImage();

    if (ScalableFormat(source.format()))
        return Stretch(source, left, top, width, height, int(targetWidth), int(targetHeight), mode);

    // Other formats: convert only the part of the picture the rectangle
    // covers, so a small rectangle of a large picture stays cheap.
    const int64_t clipLeft = std::max<int64_t>(left, 0);
    const int64_t clipTop = std::max<int64_t>(top, 0);
    const int64_t clipRight = std::min<int64_t>(left + width, source.width());
    const int64_t clipBottom = std::min<int64_t>(top + height, source.height());
    const QImage part = source.copy(int(clipLeft), int(clipTop), int(clipRight - clipLeft), int(clipBottom - clipTop))
                            .convertToFormat(ScalableFormatFor(source));
    if (part.isNull())
        return QImage();
    return Stretch(part, left - clipLeft, top - clipTop, width, height, int(targetWidth), int(targetHeight), mode);
}

QImage StretchRect(const QImage& source, const QRect& sourceRect, const QRect& targetRect, int mode)
{
    return StretchRect(source, TIntRect::FromQRect(sourceRect), TIntRect::FromQRect(targetRect), mode);
}

QSize FitSize(int w, int h, int areaW, int areaH)
{
    if (w <= 0 || h <= 0 || areaW < 0 || areaH < 0)
        return QSize(0, 0);
    // The products are formed in 64 bits: the same values as 32-bit products
    // for every picture the viewer can hold, and no overflow beyond.
    int width;
    int height;
    if (w > h) {
        width = areaW;
        height = RoundQuotient(int64_t(h) * areaW, w);
        if (height > areaH) {
            height = areaH;
            width = RoundQuotient(int64_t(w) * areaH, h);
        }
    } else {
        width = RoundQuotient(int64_t(w) * areaH, h);
        height = areaH;
        if (width > areaW) {
            width = areaW;
            height = RoundQuotient(int64_t(h) * areaW, w);
        }
    }
    return QSize(width, height);
}
