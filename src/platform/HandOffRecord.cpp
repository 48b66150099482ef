#include "platform/HandOffRecord.h"

#include <QtEndian>

namespace HandOffRecord {

QByteArray Encode(const QString& path)
{
    const auto units = uint32_t(path.size());
    const uint32_t cbData = 2 * units + 1;
    QByteArray record(HeaderSize + qsizetype(cbData), '\0');
    char* out = record.data();
    qToLittleEndian<uint32_t>(0, out);
    qToLittleEndian<uint32_t>(cbData, out + 4);
    // Each unit as UTF-16LE; the last byte stays zero, the first half of the
    // terminator.
    const char16_t* text = reinterpret_cast<const char16_t*>(path.utf16());
    for (uint32_t i = 0; i < units; ++i)
        qToLittleEndian<uint16_t>(uint16_t(text[i]), out + HeaderSize + 2 * i);
    return record;
}

TDecoded Decode(const QByteArray& bytes)
{
    TDecoded result;
    if (bytes.size() < HeaderSize)
        return result;
    const char* in = bytes.constData();
    result.DwData = qFromLittleEndian<uint32_t>(in);
    result.CbData = qFromLittleEndian<uint32_t>(in + 4);
    if (result.CbData > MaxDataSize) {
        result.Status = TStatus::Invalid;
        return result;
    }
    result.Needed = HeaderSize + qsizetype(result.CbData);
    if (bytes.size() < result.Needed)
        return result;

    // cbData 0 carries no unit at all (and no terminator byte): an empty path.
    const uint32_t units = result.CbData == 0 ? 0 : (result.CbData - 1) / 2;
    QString path;
    path.reserve(qsizetype(units));
    for (uint32_t i = 0; i < units; ++i) {
        const auto unit = qFromLittleEndian<uint16_t>(in + HeaderSize + 2 * i);
        if (unit == 0)
            break;
        path.append(QChar(char16_t(unit)));
    }
    result.Path = path;
    result.Status = TStatus::Complete;
    return result;
}

} // namespace HandOffRecord
