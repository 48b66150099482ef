// The BMP reader on arbitrary bytes: as a .bmp file and as the DIB of an icon
// entry. Pictures are capped at four million pixels so that tiny RLE streams
// promising gigabyte pictures do not eat the fuzzer's time; the reader's own
// limit is tested in tests/decode/bmp_test.cpp.
#include <cstddef>
#include <cstdint>

#include "decode/BmpDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr int64_t maxPixels = int64_t(1) << 22;
    const QImage picture = BmpDecoder::Decode(data, size, maxPixels);
    if (!picture.isNull()) {
        // Touch the last pixel so a picture smaller than it claims shows up.
        volatile QRgb last = picture.pixel(picture.width() - 1, picture.height() - 1);
        (void)last;
    }
    if (size > 14) {
        const BmpDecoder::IconImage icon = BmpDecoder::DecodeIconDib(data + 14, size - 14, maxPixels);
        if (!icon.colour.isNull() && icon.mask.size() != size_t(icon.colour.width()) * size_t(icon.colour.height()))
            __builtin_trap();
    }
    return 0;
}
