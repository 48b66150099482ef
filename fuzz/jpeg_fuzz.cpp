// The JPEG decoder on arbitrary bytes, on a small screen so that big headers
// are decoded at reduced scales, with libjpeg's working memory and the scan
// count capped so the fuzzer spends its time on parsing; the reader's own
// limits are tested in tests/decode/jpeg_test.cpp.
#include <cstddef>
#include <cstdint>

#include "decode/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    JpegDecoder::TJpegLimits limits;
    limits.MaxDecoderMemory = 64L << 20;
    limits.MaxScans = 64;
    const auto result = JpegDecoder::Decode(data, size, QSize(256, 256), limits);
    if (result.Status == JpegDecoder::TJpegStatus::Ok) {
        const QImage& picture = result.Picture;
        const int denominator = JpegDecoder::ScaleDenominator(result.ImageSize, QSize(256, 256));
        if (picture.isNull() || picture.size() != JpegDecoder::ScaledSize(result.ImageSize, denominator))
            __builtin_trap();
        volatile QRgb last = picture.pixel(picture.width() - 1, picture.height() - 1);
        (void)last;
    } else if (!result.Picture.isNull()) {
        __builtin_trap();
    }
    return 0;
}
