// The icon and cursor reader on arbitrary bytes: directory, entry choice,
// DIB and PNG entries, drawing on the background.
#include <cstddef>
#include <cstdint>

#include "decode/IcoDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QImage picture = IcoDecoder::Decode(data, size, 0x00336699, IcoDecoder::SystemIconSize);
    if (!picture.isNull()
        && (picture.width() != IcoDecoder::SystemIconSize || picture.height() != IcoDecoder::SystemIconSize
            || picture.format() != QImage::Format_RGB32))
        __builtin_trap();
    return 0;
}
