#pragma once

// JPEG bytes to picture, through libjpeg-turbo's libjpeg API. A pure function
// of (bytes, screen size, limits): it reads no settings and keeps no state.

#include <QImage>
#include <QSize>
#include <cstddef>
#include <cstdint>

namespace JpegDecoder {

enum class TJpegStatus {
    Ok,
    Unreadable,  // not a JPEG, a corrupt header or stream, an unsupported colour space
    TooLarge,    // the header promises a picture we refuse to allocate
    Truncated,   // the data ends before the picture is complete
};

struct TJpegLimits {
    // libjpeg's own working memory (a progressive file buffers every DCT
    // coefficient of the full-size image); beyond it the decode is refused.
    long MaxDecoderMemory = 1L << 30;
    // Honest progressive files have about ten scans; a crafted one can repeat
    // tiny scans over a big image and keep the decoder busy for minutes.
    int MaxScans = 256;
};

struct TJpegResult {
    TJpegStatus Status = TJpegStatus::Unreadable;
    QImage Picture;   // Format_RGB32; null unless Status is Ok
    QSize ImageSize;  // full size from the header; invalid if it was unreadable
};

// The decode scale for a screen: r = min(w / sw, h / sh) in floating point;
// r > 8 gives 8, r > 4 gives 4, r > 2 gives 2, else 1 (strict comparisons,
// so r = 2 decodes at full size). A screen without a size gives 1.
int ScaleDenominator(QSize imageSize, QSize screenSize);

// The size libjpeg decodes to at 1 / denominator: each side rounded up, so a
// scaled picture stays larger than the screen in both directions.
QSize ScaledSize(QSize imageSize, int denominator);

// Decodes at the scale chosen for screenSize with the best-quality settings
// (accurate integer DCT, fancy upsampling). Grayscale, YCbCr, RGB, CMYK and
// YCCK, baseline, progressive and arithmetic-coded files are read.
//
// A file whose data ends before the last row is refused (Truncated) rather
// than shown with a grey lower part that looks like a damaged picture. Other
// recoverable damage inside the entropy-coded data (libjpeg's "corrupt data"
// warnings) keeps the picture libjpeg produces, as most viewers do.
TJpegResult Decode(const uint8_t* data, size_t size, QSize screenSize,
                   const TJpegLimits& limits = {});

} // namespace JpegDecoder
