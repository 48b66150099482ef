#include "decode/ZVRotateImage.h"

#include "decode/ExifInfo.h"
#include "decode/PictureLimits.h"
#include "imagelist/TBufImage.h"

#include <algorithm>
#include <cstdint>

namespace {

// Tiles of 128 × 128 pixels (64 KiB each side) keep both the source rows and
// the result rows of one tile in the second-level cache while it is turned;
// measured faster than 16, 32 and 64 on a 6000 × 4000 picture.
constexpr int Tile = 128;

// Clockwise: source (x, y) goes to result row x, column h - 1 - y.
// Anticlockwise: source (x, y) goes to result row w - 1 - x, column y.
template <bool Clockwise> void Turn(const QImage& source, QImage& result)
{
    const int w = source.width();
    const int h = source.height();
    const uint8_t* srcBits = source.constBits();
    const qsizetype srcStride = source.bytesPerLine();
    uint8_t* dstBits = result.bits();
    const qsizetype dstStride = result.bytesPerLine();
    for (int y0 = 0; y0 < h; y0 += Tile) {
        const int y1 = std::min(y0 + Tile, h);
        for (int x0 = 0; x0 < w; x0 += Tile) {
            const int x1 = std::min(x0 + Tile, w);
            for (int x = x0; x < x1; ++x) {
                const int row = Clockwise ? x : w - 1 - x;
                auto* dst = reinterpret_cast<uint32_t*>(dstBits + row * dstStride);
                for (int y = y0; y < y1; ++y)
                    dst[Clockwise ? h - 1 - y : y] = reinterpret_cast<const uint32_t*>(srcBits + y * srcStride)[x];
            }
        }
    }
}

} // namespace

TZVRotateImage::TZVRotateImage(TBufImage* slot) : FSlot(slot) {}

void TZVRotateImage::AutoRotate(const QString& fileName)
{
    if (!FSlot || FSlot->Bitmap.isNull())
        return;
    // Any failure (no EXIF, an unreadable segment, no memory) leaves the
    // picture as decoded.
    try {
        if (!TExifInfo::HasExif(fileName))
            return;
        TExifInfo exif;
        exif.SetImageFileName(fileName);
        const int orientation = exif.Orientation();
        if (orientation == 6)
            RotateRight();
        else if (orientation == 8)
            RotateLeft();
    } catch (...) {
    }
}

TBufImage* TZVRotateImage::RotateRight()
{
    if (!FSlot)
        return nullptr;
    FSlot->Bitmap = RotateBitmap90(FSlot->Bitmap, 1);
    return FSlot;
}

TBufImage* TZVRotateImage::RotateLeft()
{
    if (!FSlot)
        return nullptr;
    FSlot->Bitmap = RotateBitmap90(FSlot->Bitmap, 2);
    return FSlot;
}

QImage TZVRotateImage::RotateBitmap90(const QImage& source, int direction)
{
    if (source.isNull())
        return QImage();
    QImage pixels = source;
    const QImage::Format format = source.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied) {
        // Pictures with alpha keep it (premultiplied); the rest become RGB32.
        pixels = source.convertToFormat(source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                 : QImage::Format_RGB32);
        if (pixels.isNull())
            return QImage();
    }
    QImage result = PictureLimits::NewPicture(pixels.height(), pixels.width(), pixels.format());
    if (result.isNull())
        return QImage();
    if (direction == 1)
        Turn<true>(pixels, result);
    else
        Turn<false>(pixels, result);
    result.setDotsPerMeterX(pixels.dotsPerMeterY());
    result.setDotsPerMeterY(pixels.dotsPerMeterX());
    return result;
}
