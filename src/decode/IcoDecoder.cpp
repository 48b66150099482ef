#include "decode/IcoDecoder.h"

#include <algorithm>
#include <vector>

#include "decode/BmpDecoder.h"
#include "decode/PictureLimits.h"

namespace IcoDecoder {
namespace {

constexpr size_t DirHeaderSize = 6;  // ICONDIR: reserved, type, count
constexpr size_t DirEntrySize = 16;  // ICONDIRENTRY
const uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint32_t BigU32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

struct Candidate {
    const uint8_t* data;
    size_t size;
    int64_t width;
    int64_t height;
    int depth;
    bool png;
    size_t index;
};

// Looks at one entry's data: PNG (size from IHDR) or a DIB (size and depth
// from its header). False for data that is neither.
bool Probe(Candidate& c)
{
    if (c.size >= 8 && std::equal(PngSignature, PngSignature + 8, c.data)) {
        // Signature, then the IHDR chunk: length, "IHDR", width, height.
        if (c.size < 24 || !std::equal(c.data + 12, c.data + 16, "IHDR"))
            return false;
        c.png = true;
        c.width = BigU32(c.data + 16);
        c.height = BigU32(c.data + 20);
        c.depth = 32;
        return true;
    }
    int w = 0, h = 0, bits = 0;
    if (!BmpDecoder::IconDibInfo(c.data, c.size, &w, &h, &bits))
        return false;
    c.png = false;
    c.width = w;
    c.height = h;
    c.depth = bits;
    return true;
}

// Smaller is better: exact size, then larger ones (the smallest first), then
// smaller ones (the largest first); within one size the deeper colour; then
// the order of the directory.
bool Better(const Candidate& a, const Candidate& b, int target)
{
    auto sizeClass = [target](const Candidate& c) {
        if (c.width == target && c.height == target)
            return 0;
        return (c.width >= target && c.height >= target) ? 1 : 2;
    };
    const int ca = sizeClass(a), cb = sizeClass(b);
    if (ca != cb)
        return ca < cb;
    const int64_t areaA = a.width * a.height, areaB = b.width * b.height;
    if (areaA != areaB)
        return ca == 1 ? areaA < areaB : areaA > areaB;
    if (a.depth != b.depth)
        return a.depth > b.depth;
    return a.index < b.index;
}

uint32_t Blend(uint32_t c, uint32_t back, uint32_t a)
{
    return (c * a + back * (255 - a) + 127) / 255;
}

// Draws the entry at its own size on the background; null on failure.
QImage Render(const Candidate& c, QRgb back, int64_t maxPixels)
{
    QImage canvas;
    if (c.png) {
        QImage png;
        if (!png.loadFromData(c.data, qsizetype(c.size), "PNG") || png.width() != c.width
            || png.height() != c.height)
            return QImage();
        png.convertTo(QImage::Format_ARGB32);
        canvas = PictureLimits::NewPicture(c.width, c.height);
        if (canvas.isNull())
            return QImage();
        for (int y = 0; y < png.height(); ++y) {
            const QRgb* s = reinterpret_cast<const QRgb*>(png.constScanLine(y));
            QRgb* d = reinterpret_cast<QRgb*>(canvas.scanLine(y));
            for (int x = 0; x < png.width(); ++x) {
                const uint32_t a = qAlpha(s[x]);
                d[x] = qRgb(Blend(qRed(s[x]), qRed(back), a), Blend(qGreen(s[x]), qGreen(back), a),
                            Blend(qBlue(s[x]), qBlue(back), a));
            }
        }
        return canvas;
    }

    const BmpDecoder::IconImage icon = BmpDecoder::DecodeIconDib(c.data, c.size, maxPixels);
    if (icon.colour.isNull())
        return QImage();
    canvas = PictureLimits::NewPicture(icon.colour.width(), icon.colour.height());
    if (canvas.isNull())
        return QImage();
    const int w = icon.colour.width();
    for (int y = 0; y < icon.colour.height(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(icon.colour.constScanLine(y));
        const uint8_t* m = icon.mask.data() + size_t(y) * size_t(w);
        QRgb* d = reinterpret_cast<QRgb*>(canvas.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (icon.alpha) {
                const uint32_t a = qAlpha(s[x]);
                d[x] = qRgb(Blend(qRed(s[x]), qRed(back), a), Blend(qGreen(s[x]), qGreen(back), a),
                            Blend(qBlue(s[x]), qBlue(back), a));
            } else {
                d[x] = 0xFF000000u | ((m[x] ? back : 0u) ^ s[x]);
            }
        }
    }
    return canvas;
}

} // namespace

QImage Decode(const uint8_t* data, size_t size, uint32_t backColor, int iconSize, int64_t maxPixels)
{
    if (!data || size < DirHeaderSize || iconSize <= 0)
        return QImage();
    const uint16_t type = U16(data + 2);
    const size_t count = U16(data + 4);
    if (U16(data) != 0 || (type != 1 && type != 2) || count == 0
        || (size - DirHeaderSize) / DirEntrySize < count)
        return QImage();

    std::vector<Candidate> candidates;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = data + DirHeaderSize + i * DirEntrySize;
        const size_t bytes = U32(e + 8);
        const size_t offset = U32(e + 12);
        if (bytes == 0 || offset > size || bytes > size - offset)
            continue;
        Candidate c{data + offset, bytes, 0, 0, 0, false, i};
        if (Probe(c) && c.width > 0 && c.height > 0 && c.width <= PictureLimits::MaxSide
            && c.height <= PictureLimits::MaxSide && c.width * c.height <= maxPixels)
            candidates.push_back(c);
    }
    std::sort(candidates.begin(), candidates.end(),
              [iconSize](const Candidate& a, const Candidate& b) { return Better(a, b, iconSize); });

    // 0x00BBGGRR, the Windows colour value, to Qt's 0xAARRGGBB.
    const QRgb back = qRgb(backColor & 0xFF, (backColor >> 8) & 0xFF, (backColor >> 16) & 0xFF);
    for (const Candidate& c : candidates) {
        QImage picture = Render(c, back, maxPixels);
        if (picture.isNull())
            continue;
        if (picture.width() != iconSize || picture.height() != iconSize)
            picture = picture.scaled(iconSize, iconSize, Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
        picture.convertTo(QImage::Format_RGB32);
        return picture;
    }
    return QImage();
}

} // namespace IcoDecoder
