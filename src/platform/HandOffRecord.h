#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// The record by which a second start hands its path to the running viewer,
// byte for byte the copy-data record the viewer has always received:
//
//   offset 0  dwData  32 bits, little-endian, always 0
//   offset 4  cbData  32 bits, little-endian, 2n + 1 for a path of n UTF-16
//                     code units: the units and the first byte of their
//                     zero terminator
//   offset 8  cbData bytes of data, the units in UTF-16LE
//
// The receiver copies (cbData - 1) / 2 units and stops early at a zero unit,
// so a record with an even cbData (2n + 2, a complete terminator) reads the
// same. A path of no units (cbData 1) asks only that the viewer come to the
// front.
namespace HandOffRecord {

constexpr int HeaderSize = 8;
// The longest path a record may carry; Linux paths are far shorter
// (PATH_MAX is 4096 bytes), so anything longer is not a path of ours.
constexpr uint32_t MaxPathUnits = 32767;
constexpr uint32_t MaxDataSize = 2 * MaxPathUnits + 2;

// The complete record for the path: header and 2n + 1 data bytes.
QByteArray Encode(const QString& path);

enum class TStatus {
    Incomplete, // more bytes are needed; Needed says how many in all
    Complete,   // Path and Consumed are set
    Invalid,    // cbData beyond MaxDataSize: the sender is not one of ours
};

struct TDecoded {
    TStatus Status = TStatus::Incomplete;
    uint32_t DwData = 0;
    uint32_t CbData = 0;
    QString Path;
    // Bytes of the input that the record spans (Complete), or the total the
    // record needs so far (Incomplete: at least HeaderSize).
    qsizetype Needed = HeaderSize;
};

// Reads one record from the start of bytes. Never reads past bytes' end and
// never allocates more than MaxDataSize, whatever the header claims.
TDecoded Decode(const QByteArray& bytes);

} // namespace HandOffRecord
