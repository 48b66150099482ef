#pragma once

// Our own reader for Windows and OS/2 device-independent bitmaps: the .bmp
// file and the DIB images stored inside icon and cursor files. Pure functions
// of bytes; every header field is checked before anything is allocated and
// every read is checked against the end of the buffer.
//
// What it reads:
// - headers: OS/2 1.x core (12 bytes), OS/2 2.x (16 to 64 bytes, uncompressed
//   and RLE only), Windows info (40), V2/V3 (52/56), V4 (108) and V5 (124);
// - 1, 2, 4 and 8 bits with a colour table, 16, 24 and 32 bits direct;
// - BI_RLE8 and BI_RLE4 with end-of-line, end-of-bitmap and delta codes;
// - BI_BITFIELDS and BI_ALPHABITFIELDS masks for 16 and 32 bits;
// - bottom-up rows and top-down rows (negative height, uncompressed only).
//
// Rules where files disagree with the format or with each other:
// - A colour table shorter than the bit depth allows (fewer entries in the
//   file, or a smaller biClrUsed) leaves the missing entries black, and an
//   index past the table gives black.
// - RLE pixels that the stream skips (delta codes, early end-of-line or
//   end-of-bitmap) stay black: Windows decodes RLE into a freshly cleared
//   bitmap, so they show its zero colour, not colour-table entry 0.
// - Runs that cross the right edge are clipped; a delta that leaves the
//   picture ends it.
// - A 32-bit picture (BI_RGB or with an alpha mask) keeps its alpha and comes
//   out as ARGB32_Premultiplied, unless every alpha value is zero (writers
//   that leave the fourth byte unused): then it is opaque, as browsers do.
//   Fully opaque pictures come out as RGB32.
// - Truncated pixel data gives no picture at all (not the rows present), as
//   every other reader of the viewer does with a truncated file. Only the
//   padding of the last row may be missing. An RLE stream that ends before
//   the last row without an end-of-bitmap code is truncated too.
// - JPEG or PNG inside a BMP, OS/2 Huffman and RLE24 give no picture.

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "decode/PictureLimits.h"

namespace BmpDecoder {

// The largest picture a header may ask for, in pixels (what NewPicture lets
// through at four bytes a pixel). Callers may pass less, e.g. a fuzzer that
// must not spend its time filling gigabyte pictures from tiny RLE streams.
constexpr int64_t DefaultMaxPixels = PictureLimits::MaxBytes / 4;

// Decodes a whole .bmp file (BITMAPFILEHEADER first). A null picture when the
// bytes are not a BMP this reader can show.
QImage Decode(const uint8_t* data, size_t size, int64_t maxPixels = DefaultMaxPixels);

// One bitmap image of an icon or cursor file: a DIB whose header gives twice
// the height, the colour (XOR) image right after the colour table, then the
// 1-bit AND mask.
struct IconImage {
    QImage colour;              // Format_ARGB32 (straight alpha); null on failure
    std::vector<uint8_t> mask;  // one byte a pixel, row-major from the top: 1 = mask set
    bool alpha = false;         // blend by the colour image's alpha (32 bits, not all zero);
                                // otherwise the colours are opaque and the mask applies
};

// Decodes the DIB of an icon directory entry. The AND mask may be missing at
// the end of the data; it then counts as clear (opaque).
IconImage DecodeIconDib(const uint8_t* data, size_t size, int64_t maxPixels = DefaultMaxPixels);

// Reads only the header of an icon DIB: its size (the halved height) and bit
// depth. False when the header is not one DecodeIconDib would accept.
bool IconDibInfo(const uint8_t* data, size_t size, int* width, int* height, int* bitCount);

} // namespace BmpDecoder
