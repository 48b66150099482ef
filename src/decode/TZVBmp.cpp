#include "decode/BmpDecoder.h"
#include "decode/FileBytes.h"
#include "decode/uImageReaders.h"

// A BMP never needs more than its largest picture plus headers and a full
// colour table; anything after that is not read.
static constexpr int64_t BmpReadLimit = PictureLimits::MaxBytes + (int64_t(1) << 20);

void TZVBmp::Read()
{
    // Only a file that starts like a BMP is read in full: a large file of
    // another kind misnamed .bmp is not copied into memory.
    if (Stream && Slot && Stream->peek(2) == "BM") {
        const QByteArray bytes = ReadFileBytes(*Stream, BmpReadLimit);
        Slot->Bitmap = BmpDecoder::Decode(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                          size_t(bytes.size()));
    }
    TZVImageReader::Read();
}
