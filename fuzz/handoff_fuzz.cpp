// The hand-off record as a running viewer receives it from any local client:
// whatever the bytes, decoding stays inside them, and a complete record
// yields a path without zero units that encodes back to a record of the
// same path.
#include <cstddef>
#include <cstdint>

#include "platform/HandOffRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const HandOffRecord::TDecoded record = HandOffRecord::Decode(bytes);
    if (record.Status != HandOffRecord::TStatus::Complete)
        return 0;
    if (record.Needed > bytes.size() || record.Path.size() > qsizetype(HandOffRecord::MaxPathUnits)
        || record.Path.contains(QChar(0)))
        __builtin_trap();
    const HandOffRecord::TDecoded again = HandOffRecord::Decode(HandOffRecord::Encode(record.Path));
    if (again.Status != HandOffRecord::TStatus::Complete || again.Path != record.Path)
        __builtin_trap();
    return 0;
}
