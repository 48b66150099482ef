#include "decode/BmpDecoder.h"

#include "decode/FileBytes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

// The row converters copy little-endian file words straight into pixels.
static_assert(std::endian::native == std::endian::little);

namespace BmpDecoder {
namespace {

// biCompression values of the Windows bitmap headers.
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;

constexpr size_t FileHeaderSize = 14;  // BITMAPFILEHEADER
constexpr QRgb Black = 0xFF000000u;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// What the info header says, checked for consistency.
struct Dib {
    int64_t width = 0;
    int64_t height = 0;  // rows, always positive
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = BI_RGB;
    uint32_t masks[4] = {};   // red, green, blue, alpha (direct colour only)
    bool core = false;        // OS/2 1.x: 3-byte colour-table entries
    size_t paletteStart = 0;  // offset of the colour table in the buffer
    uint32_t paletteEntries = 0;  // entries the header asks for

    int entrySize() const { return core ? 3 : 4; }
    int64_t stride() const { return (width * bitCount + 31) / 32 * 4; }
    int64_t rowBytes() const { return (width * bitCount + 7) / 8; }
    bool hasAlphaMask() const { return masks[3] != 0; }
};

// Reads the info header at data[pos] and everything that belongs to it (the
// masks that follow a 40-byte header). False for anything this reader does
// not show; nothing is allocated here.
bool ParseHeader(const uint8_t* data, size_t size, size_t pos, int64_t maxPixels, Dib& dib)
{
    if (pos > size || size - pos < 4)
        return false;
    const uint8_t* h = data + pos;
    const uint32_t headerSize = U32(h);
    if (headerSize > size - pos)
        return false;

    uint32_t clrUsed = 0;
    bool windows = false;
    if (headerSize == 12) {  // BITMAPCOREHEADER: unsigned 16-bit sizes, always bottom-up
        dib.core = true;
        dib.width = U16(h + 4);
        dib.height = U16(h + 6);
        dib.bitCount = U16(h + 10);
    } else if (headerSize >= 16 && headerSize <= 124) {
        windows = headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108
                  || headerSize == 124;
        // Any other size up to 64 is an OS/2 2.x header, which may stop after
        // any field; the fields it leaves out are zero.
        if (!windows && headerSize > 64)
            return false;
        dib.width = int32_t(U32(h + 4));
        const int64_t rawHeight = int32_t(U32(h + 8));
        dib.topDown = rawHeight < 0;
        dib.height = rawHeight < 0 ? -rawHeight : rawHeight;
        dib.bitCount = U16(h + 14);
        dib.compression = headerSize >= 20 ? U32(h + 16) : BI_RGB;
        clrUsed = headerSize >= 36 ? U32(h + 32) : 0;
    } else {
        return false;
    }
    if (dib.width <= 0 || dib.height <= 0 || dib.width * dib.height > maxPixels)
        return false;

    size_t after = pos + headerSize;
    switch (dib.compression) {
    case BI_RGB:
        if (dib.bitCount != 1 && dib.bitCount != 2 && dib.bitCount != 4 && dib.bitCount != 8
            && dib.bitCount != 16 && dib.bitCount != 24 && dib.bitCount != 32)
            return false;
        break;
    case BI_RLE8:
    case BI_RLE4:
        // RLE rows are always stored bottom-up.
        if (dib.topDown || dib.bitCount != (dib.compression == BI_RLE8 ? 8 : 4))
            return false;
        break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        // In OS/2 2.x headers 3 is Huffman 1D and 6 does not exist.
        if (!windows || (dib.bitCount != 16 && dib.bitCount != 32))
            return false;
        if (headerSize == 40) {  // the masks follow the header
            const size_t count = dib.compression == BI_ALPHABITFIELDS ? 4 : 3;
            if (size - after < count * 4)
                return false;
            for (size_t i = 0; i < count; ++i)
                dib.masks[i] = U32(data + after + 4 * i);
            after += count * 4;
        } else {
            for (size_t i = 0; i < 3; ++i)
                dib.masks[i] = U32(h + 40 + 4 * i);
            if (headerSize >= 56)
                dib.masks[3] = U32(h + 52);
        }
        break;
    default:  // JPEG, PNG, OS/2 RLE24, CMYK and the rest
        return false;
    }

    if (dib.compression == BI_RGB && dib.bitCount == 16) {
        dib.masks[0] = 0x7C00;
        dib.masks[1] = 0x03E0;
        dib.masks[2] = 0x001F;
    } else if (dib.compression == BI_RGB && dib.bitCount == 32) {
        // The fourth byte is "reserved", but many writers keep alpha in it.
        dib.masks[0] = 0x00FF0000;
        dib.masks[1] = 0x0000FF00;
        dib.masks[2] = 0x000000FF;
        dib.masks[3] = 0xFF000000;
    }

    dib.paletteStart = after;
    if (dib.bitCount <= 8) {
        const uint32_t most = 1u << dib.bitCount;
        dib.paletteEntries = (clrUsed == 0 || clrUsed > most) ? most : clrUsed;
    }
    return true;
}

// Reads up to dib.paletteEntries colour-table entries that lie before
// `end`; the rest of the 256 entries stay black.
void ReadPalette(const uint8_t* data, size_t end, const Dib& dib, std::array<QRgb, 256>& palette)
{
    palette.fill(Black);
    if (dib.paletteStart >= end)
        return;
    const size_t fit = (end - dib.paletteStart) / size_t(dib.entrySize());
    const size_t count = std::min<size_t>(fit, dib.paletteEntries);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = data + dib.paletteStart + i * size_t(dib.entrySize());
        palette[i] = qRgb(e[2], e[1], e[0]);
    }
}

// One colour mask: where its bits sit and how to widen them to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint64_t max = 0;  // the mask shifted down; 0 for an empty mask

    explicit Channel(uint32_t m) : mask(m)
    {
        if (m != 0) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    // Rounds value * 255 / max, so 5 bits 31 and 8 bits 255 both give 255.
    uint32_t operator()(uint32_t pixel) const
    {
        if (max == 0)
            return 0;
        const uint64_t v = (pixel & mask) >> shift;
        return uint32_t((v * 255 + max / 2) / max);
    }
};

QRgb MaskedPixel(uint32_t pixel, const Channel* ch, bool alpha)
{
    const uint32_t a = alpha ? ch[3](pixel) : 255;
    return a << 24 | ch[0](pixel) << 16 | ch[1](pixel) << 8 | ch[2](pixel);
}

// 24-bit rows are the common case for large files. Four pixels at a time
// from three 32-bit loads: B0 G0 R0 B1 | G1 R1 B2 G2 | R2 B3 G3 R3.
void Row24(const uint8_t* __restrict s, QRgb* __restrict d, int64_t width)
{
    int64_t x = 0;
    for (; x + 4 <= width; x += 4, s += 12, d += 4) {
        uint32_t a, b, c;
        std::memcpy(&a, s, 4);
        std::memcpy(&b, s + 4, 4);
        std::memcpy(&c, s + 8, 4);
        d[0] = 0xFF000000u | (a & 0xFFFFFFu);
        d[1] = 0xFF000000u | (a >> 24) | ((b << 8) & 0xFFFFFFu);
        d[2] = 0xFF000000u | (b >> 16) | ((c << 16) & 0xFFFFFFu);
        d[3] = 0xFF000000u | (c >> 8);
    }
    for (; x < width; ++x, s += 3, ++d)
        *d = 0xFF000000u | uint32_t(s[2]) << 16 | uint32_t(s[1]) << 8 | uint32_t(s[0]);
}

void RowIndexed(const uint8_t* s, QRgb* d, int64_t width, int bitCount, const QRgb* palette)
{
    if (bitCount == 8) {
        for (int64_t x = 0; x < width; ++x)
            d[x] = palette[s[x]];
        return;
    }
    const int perByte = 8 / bitCount;
    const unsigned valueMask = (1u << bitCount) - 1;
    for (int64_t x = 0; x < width; ++x) {
        const int shift = 8 - bitCount * (1 + int(x % perByte));
        d[x] = palette[(s[x / perByte] >> shift) & valueMask];
    }
}

// Decodes uncompressed rows into `out` (RGB32 or ARGB32 of the dib's size).
// False when the pixel data is shorter than the rows need.
// Whether `avail` bytes hold every row; the last row may lack its padding.
bool RowsPresent(const Dib& dib, size_t avail)
{
    return int64_t(avail) >= dib.stride() * (dib.height - 1) + dib.rowBytes();
}

bool DecodeRows(const Dib& dib, const QRgb* palette, const uint8_t* bits, size_t avail, QImage& out)
{
    if (!RowsPresent(dib, avail))
        return false;
    const int64_t stride = dib.stride();

    const bool alpha = dib.hasAlphaMask();
    std::vector<QRgb> lut;
    Channel channels[4] = {Channel(dib.masks[0]), Channel(dib.masks[1]), Channel(dib.masks[2]),
                           Channel(dib.masks[3])};
    const bool plain32 = dib.bitCount == 32 && dib.masks[0] == 0x00FF0000
                         && dib.masks[1] == 0x0000FF00 && dib.masks[2] == 0x000000FF
                         && (dib.masks[3] == 0xFF000000 || dib.masks[3] == 0);
    if (dib.bitCount == 16) {
        lut.resize(65536);
        for (uint32_t v = 0; v < 65536; ++v)
            lut[v] = MaskedPixel(v, channels, alpha);
    }

    for (int64_t r = 0; r < dib.height; ++r) {
        const uint8_t* s = bits + r * stride;
        QRgb* d = reinterpret_cast<QRgb*>(out.scanLine(int(dib.topDown ? r : dib.height - 1 - r)));
        switch (dib.bitCount) {
        case 24:
            Row24(s, d, dib.width);
            break;
        case 16:
            for (int64_t x = 0; x < dib.width; ++x)
                d[x] = lut[U16(s + 2 * x)];
            break;
        case 32:
            if (plain32) {
                std::memcpy(d, s, size_t(dib.width) * 4);  // B, G, R, A in memory = 0xAARRGGBB
                if (!alpha)
                    for (int64_t x = 0; x < dib.width; ++x)
                        d[x] |= 0xFF000000u;
            } else {
                for (int64_t x = 0; x < dib.width; ++x)
                    d[x] = MaskedPixel(U32(s + 4 * x), channels, alpha);
            }
            break;
        default:
            RowIndexed(s, d, dib.width, dib.bitCount, palette);
            break;
        }
    }
    return true;
}

// BI_RLE8 / BI_RLE4 into an RGB32 picture cleared to black. Returns false
// when the stream ends before the picture is complete.
bool DecodeRle(const Dib& dib, const QRgb* palette, const uint8_t* p, size_t n, QImage& out)
{
    out.fill(Black);
    const bool rle8 = dib.compression == BI_RLE8;
    const int64_t width = dib.width;
    int64_t x = 0;
    int64_t y = 0;  // counted from the bottom row
    size_t i = 0;
    QRgb* line = nullptr;
    auto lineAt = [&](int64_t row) {
        return reinterpret_cast<QRgb*>(out.scanLine(int(dib.height - 1 - row)));
    };
    line = lineAt(0);

    for (;;) {
        if (y >= dib.height)
            return true;  // a delta or end-of-line past the top ends the picture
        if (n - i < 2)
            return y == dib.height - 1 && x >= width;  // the last row was written out
        const uint8_t count = p[i];
        const uint8_t value = p[i + 1];
        i += 2;
        if (count > 0) {  // encoded run
            const int64_t end = std::min<int64_t>(x + count, width);
            if (rle8) {
                for (int64_t k = x; k < end; ++k)
                    line[k] = palette[value];
            } else {
                const QRgb pair[2] = {palette[value >> 4], palette[value & 15]};
                for (int64_t k = x; k < end; ++k)
                    line[k] = pair[(k - x) & 1];
            }
            x += count;
            continue;
        }
        switch (value) {
        case 0:  // end of line
            x = 0;
            if (++y < dib.height)
                line = lineAt(y);
            break;
        case 1:  // end of bitmap
            return true;
        case 2:  // delta: move right and up
            if (n - i < 2)
                return false;
            x += p[i];
            y += p[i + 1];
            i += 2;
            if (y < dib.height)
                line = lineAt(y);
            break;
        default: {  // absolute run of `value` pixels, padded to a 16-bit boundary
            const size_t bytes = rle8 ? value : (size_t(value) + 1) / 2;
            if (n - i < bytes)
                return false;
            const uint8_t* s = p + i;
            const int64_t end = std::min<int64_t>(x + value, width);
            for (int64_t k = x; k < end; ++k) {
                const int64_t j = k - x;
                line[k] = palette[rle8 ? s[j] : (j & 1 ? s[j / 2] & 15 : s[j / 2] >> 4)];
            }
            x += value;
            i += std::min(n - i, bytes + (bytes & 1));
            break;
        }
        }
    }
}

// An alpha-carrying picture with no alpha at all (every value zero) is
// opaque; one whose alpha is all 255 is opaque as well. Returns whether the
// alpha channel means anything, after making it 255 where it does not.
bool SettleAlpha(QImage& picture)
{
    uint32_t any = 0;
    uint32_t all = 0xFF000000u;
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            any |= line[x];
            all &= line[x];
        }
    }
    if ((any & 0xFF000000u) != 0 && (all & 0xFF000000u) != 0xFF000000u)
        return true;
    for (int y = 0; y < picture.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] |= 0xFF000000u;
    }
    return false;
}

} // namespace

QImage Decode(const uint8_t* data, size_t size, int64_t maxPixels)
{
    if (!data || size < FileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M')
        return QImage();
    // bfSize is often wrong in the wild and is not needed: the file's own
    // size bounds every read.
    const size_t bitsOffset = U32(data + 10);
    Dib dib;
    if (!ParseHeader(data, size, FileHeaderSize, maxPixels, dib))
        return QImage();
    if (bitsOffset < dib.paletteStart || bitsOffset > size)
        return QImage();

    std::array<QRgb, 256> palette;
    ReadPalette(data, bitsOffset, dib, palette);

    const uint8_t* bits = data + bitsOffset;
    const size_t avail = size - bitsOffset;
    const bool rle = dib.compression == BI_RLE8 || dib.compression == BI_RLE4;
    // Truncated rows are refused before the picture is allocated. (An RLE
    // stream can only be judged by decoding it.)
    if (!rle && !RowsPresent(dib, avail))
        return QImage();
    const bool alpha = dib.hasAlphaMask();
    QImage picture = PictureLimits::NewPicture(dib.width, dib.height,
                                               alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (picture.isNull())
        return QImage();
    AdviseHugePages(picture.bits(), size_t(picture.sizeInBytes()));
    const bool ok = rle ? DecodeRle(dib, palette.data(), bits, avail, picture)
                        : DecodeRows(dib, palette.data(), bits, avail, picture);
    if (!ok)
        return QImage();
    if (alpha) {
        if (SettleAlpha(picture))
            picture.convertTo(QImage::Format_ARGB32_Premultiplied);
        else
            picture.reinterpretAsFormat(QImage::Format_RGB32);
    }
    return picture;
}

bool IconDibInfo(const uint8_t* data, size_t size, int* width, int* height, int* bitCount)
{
    Dib dib;
    if (!ParseHeader(data, size, 0, DefaultMaxPixels * 2, dib) || dib.topDown || dib.height < 2
        || (dib.compression != BI_RGB && dib.compression != BI_BITFIELDS))
        return false;
    *width = int(dib.width);
    *height = int(dib.height / 2);
    *bitCount = dib.bitCount;
    return true;
}

IconImage DecodeIconDib(const uint8_t* data, size_t size, int64_t maxPixels)
{
    IconImage result;
    Dib dib;
    // The header counts the colour image and the mask: twice the height.
    if (!data || !ParseHeader(data, size, 0, maxPixels * 2, dib) || dib.topDown || dib.height < 2
        || (dib.compression != BI_RGB && dib.compression != BI_BITFIELDS))
        return result;
    dib.height /= 2;
    if (dib.width * dib.height > maxPixels)
        return result;

    // In an icon the pixels follow the colour table directly, so the whole
    // table must be there to find them.
    const size_t paletteBytes = size_t(dib.paletteEntries) * size_t(dib.entrySize());
    if (size - dib.paletteStart < paletteBytes)
        return result;
    std::array<QRgb, 256> palette;
    ReadPalette(data, dib.paletteStart + paletteBytes, dib, palette);
    const size_t bitsOffset = dib.paletteStart + paletteBytes;

    const bool alpha = dib.bitCount == 32;  // icons keep alpha in the fourth byte
    dib.masks[3] = alpha ? (dib.masks[3] ? dib.masks[3] : 0xFF000000u) : 0;
    if (!RowsPresent(dib, size - bitsOffset))
        return result;
    QImage colour = PictureLimits::NewPicture(dib.width, dib.height, QImage::Format_ARGB32);
    if (colour.isNull() || !DecodeRows(dib, palette.data(), data + bitsOffset, size - bitsOffset, colour))
        return result;
    // As Windows draws icons: a 32-bit image with any non-zero alpha is
    // blended by its alpha and its mask is ignored; with alpha zero
    // everywhere the mask decides, and the colours count as opaque.
    if (alpha) {
        uint32_t any = 0;
        for (int y = 0; y < colour.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(colour.constScanLine(y));
            for (int x = 0; x < colour.width(); ++x)
                any |= line[x];
        }
        result.alpha = (any & 0xFF000000u) != 0;
        if (!result.alpha)
            SettleAlpha(colour);
    }

    result.mask.assign(size_t(dib.width * dib.height), 0);
    const size_t maskOffset = bitsOffset + size_t(dib.stride() * dib.height);
    const int64_t maskStride = (dib.width + 31) / 32 * 4;
    const int64_t maskNeed = maskStride * (dib.height - 1) + (dib.width + 7) / 8;
    if (maskOffset <= size && int64_t(size - maskOffset) >= maskNeed) {
        for (int64_t r = 0; r < dib.height; ++r) {
            const uint8_t* s = data + maskOffset + r * maskStride;
            uint8_t* d = result.mask.data() + (dib.height - 1 - r) * dib.width;
            for (int64_t x = 0; x < dib.width; ++x)
                d[x] = (s[x / 8] >> (7 - x % 8)) & 1;
        }
    }
    result.colour = colour;
    return result;
}

} // namespace BmpDecoder
