#include "decode/FileBytes.h"
#include "decode/IcoDecoder.h"
#include "decode/uImageReaders.h"

// Icon files hold at most 65535 entries of at most 256 × 256 pixels each;
// real ones stay far below this.
static constexpr int64_t IcoReadLimit = int64_t(64) << 20;

void TZVIco::Read()
{
    if (Stream && Slot) {
        const QByteArray bytes = ReadFileBytes(*Stream, IcoReadLimit);
        Slot->Bitmap = IcoDecoder::Decode(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                          size_t(bytes.size()), BackColor);
    }
    TZVImageReader::Read();
}
