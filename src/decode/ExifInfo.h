#pragma once

// The EXIF reader: finds the APP1 segment of a JPEG file, reads the TIFF
// structure inside it (EXIF 2.x / TIFF 6.0) and keeps every entry of IFD0,
// the Exif, GPS and interoperability sub-directories, and the thumbnail
// directory IFD1 with its sub-directories. The viewer takes only the
// orientation (tag 0x0112) from it.
//
// Every count and offset is checked against the stream size before anything
// is read or allocated, and the value bytes of one parse are capped, so a
// crafted file fails fast with -5 instead of allocating.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

class TMzStream;
class TExifInfo;

// Error codes of the reader (DoError) and their texts.
namespace ExifError {
constexpr int FileNotFound = -1;
constexpr int NotExif = -2;
constexpr int UserCommentFormat = -3;
constexpr int NonAsciiText = -4;
constexpr int InvalidStream = -5;
constexpr int InvalidIndex = -6;
constexpr int TagNotFound = -7;
constexpr int UnknownDate = -8;
} // namespace ExifError

QString ExifErrorText(int code);

// "TExifInfo: " + the text of the code. what() is UTF-8.
class EExifError : public std::runtime_error {
public:
    explicit EExifError(int code);
    int Code() const { return FCode; }
    QString Message() const { return QString::fromUtf8(what()); }

private:
    int FCode;
};

// TIFF value types.
namespace ExifType {
constexpr uint8_t Byte = 1;
constexpr uint8_t Ascii = 2;
constexpr uint8_t Short = 3;
constexpr uint8_t Long = 4;
constexpr uint8_t Rational = 5;
constexpr uint8_t SByte = 6;
constexpr uint8_t Undefined = 7;
constexpr uint8_t SShort = 8;
constexpr uint8_t SLong = 9;
constexpr uint8_t SRational = 10;
constexpr uint8_t Float = 11;
constexpr uint8_t Double = 12;
// Bytes per value of types 0-12 (type 0 has none).
int BytesPerValue(uint8_t type);
} // namespace ExifType

// Directory of an entry.
namespace ExifIfd {
constexpr uint8_t Main = 0;  // IFD0, or IFD1 among the thumbnail entries
constexpr uint8_t Exif = 1;
constexpr uint8_t Gps = 2;
constexpr uint8_t Interop = 3;
} // namespace ExifIfd

namespace ExifTag {
constexpr uint16_t Orientation = 0x0112;
constexpr uint16_t ExifIfdPointer = 0x8769;
constexpr uint16_t GpsIfdPointer = 0x8825;
constexpr uint16_t InteropIfdPointer = 0xA005;
} // namespace ExifTag

struct TExifRational {
    uint32_t Numerator = 0;
    uint32_t Denominator = 0;
};

struct TExifSRational {
    int32_t Numerator = 0;
    int32_t Denominator = 0;
};

// One directory entry and its values. The values are held in host byte order,
// packed at the type's size (a RATIONAL as two 32-bit numbers); ASCII and
// UNDEFINED keep their bytes as stored. Each getter returns 0 (or an empty
// result) when the type differs or the index is outside 0 .. Count - 1.
class TEntryItem {
public:
    uint32_t Count = 0;       // values held: ValueCount, but 1 for non-empty ASCII and for UNDEFINED
    uint32_t ValueCount = 0;  // the count as stored
    uint8_t DataType = 0;     // low byte of the stored type
    uint8_t Ifd = 0;
    uint32_t ValueOffset = 0;  // from the TIFF header; 0 when the values sat inside the entry
    uint16_t Tag = 0;

    uint8_t GetByte(int i) const;       // BYTE
    int8_t GetSByte(int i) const;       // SBYTE
    uint16_t GetShort(int i) const;     // SHORT
    uint32_t GetLong(int i) const;      // LONG
    int16_t GetSShort(int i) const;     // SSHORT
    int32_t GetSLong(int i) const;      // SLONG
    TExifRational GetRational(int i) const;    // RATIONAL
    TExifSRational GetSRational(int i) const;  // SRATIONAL
    float GetFloat(int i) const;        // FLOAT
    double GetDouble(int i) const;      // DOUBLE
    // ASCII: the text as stored, its terminating zero included.
    QByteArray GetText() const;
    // UNDEFINED: the block as stored.
    QByteArray GetBlock() const;

private:
    friend class TExifInfo;
    bool Has(uint8_t type, int i) const;
    std::vector<uint8_t> FValues;
};

class TEntryItems {
public:
    int64_t Base = 0;            // file position of the TIFF header
    TExifInfo* Owner = nullptr;

    int Count() const { return int(FItems.size()); }
    const TEntryItem& operator[](int i) const { return FItems[size_t(i)]; }
    TEntryItem& Add();
    void Clear() { FItems.clear(); }
    // Index of the first entry with this tag in this directory, -1 when none.
    int Find(uint16_t tag, uint8_t ifd) const;

private:
    std::vector<TEntryItem> FItems;
};

class TExifInfo {
public:
    using TExifReadErrorEvent = std::function<void(TExifInfo* sender, int errCode, bool& allowError)>;
    using TNotifyEvent = std::function<void(TExifInfo* sender)>;

    // The value bytes one parse may hold. An APP1 segment carries at most
    // 64 KiB, so only crafted files come near it.
    static constexpr int64_t MaxValueBytes = int64_t(16) << 20;

    TExifInfo();
    ~TExifInfo();
    TExifInfo(const TExifInfo&) = delete;
    TExifInfo& operator=(const TExifInfo&) = delete;

    int64_t App1Position = -1;
    uint16_t ByteOrder = ByteOrderIntelValue;
    TEntryItems Entries;           // IFD0, Exif, GPS, interoperability
    int64_t TiffBase = 0;
    TExifReadErrorEvent OnError;   // may clear allowError to suppress the exception
    TNotifyEvent OnUpdate;         // the entries were cleared or newly read
    int32_t ScanLimit = 0;         // bytes after the start marker the APP1 search looks at
    TEntryItems ThumbnailEntries;  // IFD1 and its sub-directories

    const QString& ImageFileName() const { return FImageFileName; }
    // Reads the file: clears the entries, then -1 when it does not exist,
    // -2 without an APP1 segment directly after the start marker, -5 when
    // the TIFF structure cannot be read (entries read so far stay).
    void SetImageFileName(const QString& fileName);
    // The same on a stream (the name stays empty); for bytes in memory.
    void LoadFromStream(TMzStream& stream);

    // True when the file has an APP1 segment where the search looks. Never
    // raises.
    static bool HasExif(const QString& fileName, int32_t scanLimit = 0);
    // The APP1 search: the position of the FF of the APP1 marker, -1 when
    // there is none (or the stream is not a JPEG or ends early).
    static int64_t FindApp1(TMzStream& stream, int32_t scanLimit);

    // Tag 0x0112 of IFD0: 1 when absent, its SHORT value when that lies in
    // 0-8, else 0 (other values, or another type).
    int Orientation() const;

    // Sets allowError, fires OnError and raises EExifError(code) unless the
    // handler cleared allowError.
    void DoError(int code);
    void DoUpdate();

private:
    static constexpr uint16_t ByteOrderIntelValue = 0x4949;

    bool Parse(TMzStream& stream);
    uint32_t ReadDirectory(TMzStream& stream, TEntryItems& items, uint8_t ifd);
    void ReadEntry(TMzStream& stream, TEntryItem& item);
    void ReadValues(TMzStream& stream, TEntryItem& item, int64_t size);
    void SeekInside(TMzStream& stream, int64_t position, int64_t bytesNeeded);
    void ClearEntries();

    QString FImageFileName;
    int64_t FStreamSize = 0;
    int64_t FValueBytes = 0;
    bool FDestroying = false;
};
