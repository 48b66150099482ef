#include "decode/ExifInfo.h"

#include "decode/MzFileUtils.h"

#include <bit>
#include <cstring>
#include <memory>

// ---------------------------------------------------------------- errors

QString ExifErrorText(int code)
{
    switch (code) {
    case ExifError::FileNotFound:
        return QStringLiteral("ファイルが見つかりません");
    case ExifError::NotExif:
        return QStringLiteral("Exif、またはDCF形式ではありません");
    case ExifError::UserCommentFormat:
        return QStringLiteral("ユーザコメントは不明な形式です");
    case ExifError::NonAsciiText:
        return QStringLiteral("ASCII文字以外は書き込みできません");
    case ExifError::InvalidStream:
        return QStringLiteral("不正なストリーム");
    case ExifError::InvalidIndex:
        return QStringLiteral("不正なインデックス");
    case ExifError::TagNotFound:
        return QStringLiteral("タグが見つかりません");
    case ExifError::UnknownDate:
        return QStringLiteral("日時は不明です");
    default:
        return QStringLiteral("不明なエラーです");
    }
}

EExifError::EExifError(int code)
    : std::runtime_error((QStringLiteral("TExifInfo: ") + ExifErrorText(code)).toStdString()), FCode(code)
{
}

namespace {

// A parse that cannot go on; turned into error -5.
struct EInvalidTiff {};

} // namespace

int ExifType::BytesPerValue(uint8_t type)
{
    static constexpr int sizes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    return type <= 12 ? sizes[type] : 0;
}

// ---------------------------------------------------------------- TEntryItem

bool TEntryItem::Has(uint8_t type, int i) const
{
    return DataType == type && i >= 0 && uint32_t(i) < Count
           && (size_t(i) + 1) * size_t(ExifType::BytesPerValue(type)) <= FValues.size();
}

namespace {

template <typename T>
T ValueAt(const std::vector<uint8_t>& values, int i)
{
    T v;
    std::memcpy(&v, values.data() + size_t(i) * sizeof(T), sizeof(T));
    return v;
}

} // namespace

uint8_t TEntryItem::GetByte(int i) const
{
    return Has(ExifType::Byte, i) ? FValues[size_t(i)] : 0;
}

int8_t TEntryItem::GetSByte(int i) const
{
    return Has(ExifType::SByte, i) ? int8_t(FValues[size_t(i)]) : 0;
}

uint16_t TEntryItem::GetShort(int i) const
{
    return Has(ExifType::Short, i) ? ValueAt<uint16_t>(FValues, i) : 0;
}

uint32_t TEntryItem::GetLong(int i) const
{
    return Has(ExifType::Long, i) ? ValueAt<uint32_t>(FValues, i) : 0;
}

int16_t TEntryItem::GetSShort(int i) const
{
    return Has(ExifType::SShort, i) ? ValueAt<int16_t>(FValues, i) : 0;
}

int32_t TEntryItem::GetSLong(int i) const
{
    return Has(ExifType::SLong, i) ? ValueAt<int32_t>(FValues, i) : 0;
}

TExifRational TEntryItem::GetRational(int i) const
{
    if (!Has(ExifType::Rational, i))
        return {};
    return {ValueAt<uint32_t>(FValues, 2 * i), ValueAt<uint32_t>(FValues, 2 * i + 1)};
}

TExifSRational TEntryItem::GetSRational(int i) const
{
    if (!Has(ExifType::SRational, i))
        return {};
    return {ValueAt<int32_t>(FValues, 2 * i), ValueAt<int32_t>(FValues, 2 * i + 1)};
}

float TEntryItem::GetFloat(int i) const
{
    return Has(ExifType::Float, i) ? ValueAt<float>(FValues, i) : 0.0f;
}

double TEntryItem::GetDouble(int i) const
{
    return Has(ExifType::Double, i) ? ValueAt<double>(FValues, i) : 0.0;
}

QByteArray TEntryItem::GetText() const
{
    if (DataType != ExifType::Ascii)
        return {};
    return QByteArray(reinterpret_cast<const char*>(FValues.data()), qsizetype(FValues.size()));
}

QByteArray TEntryItem::GetBlock() const
{
    if (DataType != ExifType::Undefined)
        return {};
    return QByteArray(reinterpret_cast<const char*>(FValues.data()), qsizetype(FValues.size()));
}

// ---------------------------------------------------------------- TEntryItems

TEntryItem& TEntryItems::Add()
{
    return FItems.emplace_back();
}

int TEntryItems::Find(uint16_t tag, uint8_t ifd) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Tag == tag && FItems[i].Ifd == ifd)
            return int(i);
    return -1;
}

// ---------------------------------------------------------------- TExifInfo

TExifInfo::TExifInfo()
{
    Entries.Owner = this;
    ThumbnailEntries.Owner = this;
}

TExifInfo::~TExifInfo()
{
    FDestroying = true;
}

void TExifInfo::DoError(int code)
{
    bool allowError = true;
    if (OnError)
        OnError(this, code, allowError);
    if (allowError)
        throw EExifError(code);
}

void TExifInfo::DoUpdate()
{
    if (!FDestroying && OnUpdate)
        OnUpdate(this);
}

void TExifInfo::ClearEntries()
{
    Entries.Clear();
    ThumbnailEntries.Clear();
}

void TExifInfo::SetImageFileName(const QString& fileName)
{
    FImageFileName = fileName;
    ClearEntries();
    DoUpdate();
    if (fileName.isEmpty())
        return;
    if (!FileExistsWide(fileName)) {
        DoError(ExifError::FileNotFound);
        return;
    }
    // The search and the parse share one open of the file.
    std::unique_ptr<TMzWideFileStream> stream;
    try {
        stream = std::make_unique<TMzWideFileStream>(fileName, MzFileMode::fmOpenRead);
    } catch (const EStreamError&) {
        // Unreadable: the search finds nothing.
        App1Position = -1;
        DoError(ExifError::NotExif);
        return;
    }
    App1Position = FindApp1(*stream, ScanLimit);
    if (App1Position == -1) {
        DoError(ExifError::NotExif);
        return;
    }
    if (!Parse(*stream))
        DoError(ExifError::InvalidStream);
}

void TExifInfo::LoadFromStream(TMzStream& stream)
{
    FImageFileName.clear();
    ClearEntries();
    DoUpdate();
    App1Position = FindApp1(stream, ScanLimit);
    if (App1Position == -1) {
        DoError(ExifError::NotExif);
        return;
    }
    if (!Parse(stream))
        DoError(ExifError::InvalidStream);
}

bool TExifInfo::HasExif(const QString& fileName, int32_t scanLimit)
{
    try {
        TMzWideFileStream stream(fileName, MzFileMode::fmOpenRead);
        return FindApp1(stream, scanLimit) > 0;
    } catch (...) {
        return false;
    }
}

int64_t TExifInfo::FindApp1(TMzStream& stream, int32_t scanLimit)
{
    try {
        stream.Seek(0);
        if (ReadWord(stream, ByteOrderMotorola) != 0xFFD8)
            return -1;
        // Each round looks at one byte; with a limit of 0 there is one
        // round, so only a marker directly after FF D8 counts.
        int64_t count = 0;
        for (;;) {
            uint8_t b = 0;
            stream.ReadBuffer(&b, 1);
            ++count;
            if (b == 0xFF) {
                stream.ReadBuffer(&b, 1);
                if (b == 0xE1)
                    return stream.Position() - 2;
                stream.Seek(stream.Position() - 1);
            }
            if (count > int64_t(scanLimit))
                return -1;
        }
    } catch (const EStreamError&) {
        return -1;
    }
}

int TExifInfo::Orientation() const
{
    const int i = Entries.Find(ExifTag::Orientation, ExifIfd::Main);
    if (i < 0)
        return 1;
    const int value = Entries[i].GetShort(0);
    return value <= 8 ? value : 0;
}

void TExifInfo::SeekInside(TMzStream& stream, int64_t position, int64_t bytesNeeded)
{
    if (position < 0 || bytesNeeded < 0 || position > FStreamSize || bytesNeeded > FStreamSize - position)
        throw EInvalidTiff();
    stream.Seek(position);
}

namespace {

// The offset held by a sub-directory pointer: the first entry of the tag in
// that directory, when it is a LONG.
bool PointerOf(const TEntryItems& items, uint16_t tag, uint8_t ifd, uint32_t& offset)
{
    const int i = items.Find(tag, ifd);
    if (i < 0 || items[i].DataType != ExifType::Long || items[i].Count == 0)
        return false;
    offset = items[i].GetLong(0);
    return true;
}

} // namespace

// Reads at most seven directories (IFD0, Exif, GPS, interoperability, IFD1
// and its Exif and interoperability directories), each at most once, so a
// pointer back to a directory already read costs one more read of it and
// cannot loop.
bool TExifInfo::Parse(TMzStream& stream)
{
    try {
        FStreamSize = stream.Size();
        FValueBytes = 0;
        TiffBase = App1Position + 10;
        Entries.Base = TiffBase;
        ThumbnailEntries.Base = TiffBase;
        SeekInside(stream, TiffBase, 8);
        ByteOrder = ReadWord(stream, ByteOrderIntel);
        stream.Seek(stream.Position() + 2);  // 42, not verified
        const uint32_t ifd0 = ReadDWord(stream, ByteOrder);

        SeekInside(stream, TiffBase + ifd0, 2);
        const uint32_t ifd1 = ReadDirectory(stream, Entries, ExifIfd::Main);
        uint32_t offset = 0;
        if (PointerOf(Entries, ExifTag::ExifIfdPointer, ExifIfd::Main, offset)) {
            SeekInside(stream, TiffBase + offset, 2);
            ReadDirectory(stream, Entries, ExifIfd::Exif);
        }
        if (PointerOf(Entries, ExifTag::GpsIfdPointer, ExifIfd::Main, offset)) {
            SeekInside(stream, TiffBase + offset, 2);
            ReadDirectory(stream, Entries, ExifIfd::Gps);
        }
        if (PointerOf(Entries, ExifTag::InteropIfdPointer, ExifIfd::Exif, offset)) {
            SeekInside(stream, TiffBase + offset, 2);
            ReadDirectory(stream, Entries, ExifIfd::Interop);
        }
        if (ifd1 != 0) {
            SeekInside(stream, TiffBase + ifd1, 2);
            ReadDirectory(stream, ThumbnailEntries, ExifIfd::Main);
            if (PointerOf(ThumbnailEntries, ExifTag::ExifIfdPointer, ExifIfd::Main, offset)) {
                SeekInside(stream, TiffBase + offset, 2);
                ReadDirectory(stream, ThumbnailEntries, ExifIfd::Exif);
                if (PointerOf(ThumbnailEntries, ExifTag::InteropIfdPointer, ExifIfd::Exif, offset)) {
                    SeekInside(stream, TiffBase + offset, 2);
                    ReadDirectory(stream, ThumbnailEntries, ExifIfd::Interop);
                }
            }
        }
    } catch (const EInvalidTiff&) {
        return false;
    } catch (const EStreamError&) {
        return false;
    }
    DoUpdate();
    return true;
}

uint32_t TExifInfo::ReadDirectory(TMzStream& stream, TEntryItems& items, uint8_t ifd)
{
    const uint16_t n = ReadWord(stream, ByteOrder);
    // The entries and the next-directory offset must be there before any
    // entry is made.
    SeekInside(stream, stream.Position(), int64_t(n) * 12 + 4);
    for (int i = 0; i < n; ++i) {
        TEntryItem& item = items.Add();
        item.Ifd = ifd;
        ReadEntry(stream, item);
    }
    return ReadDWord(stream, ByteOrder);
}

void TExifInfo::ReadEntry(TMzStream& stream, TEntryItem& item)
{
    item.Tag = ReadWord(stream, ByteOrder);
    item.DataType = uint8_t(ReadWord(stream, ByteOrder) & 0xFF);
    item.ValueCount = ReadDWord(stream, ByteOrder);
    // No TIFF type 0 and nothing above DOUBLE: the size of such values is
    // unknown, so the parse cannot trust what follows.
    if (item.DataType == 0 || item.DataType > ExifType::Double)
        throw EInvalidTiff();
    // In 64 bits: a crafted count must not wrap to a small size.
    const int64_t size = int64_t(ExifType::BytesPerValue(item.DataType)) * int64_t(item.ValueCount);
    if (size > 4) {
        const int64_t p = stream.Position();
        item.ValueOffset = ReadDWord(stream, ByteOrder);
        SeekInside(stream, TiffBase + int64_t(item.ValueOffset), size);
        ReadValues(stream, item, size);
        stream.Seek(p + 4);
    } else {
        item.ValueOffset = 0;
        ReadValues(stream, item, size);
        stream.Seek(stream.Position() + (4 - size));
    }
}

void TExifInfo::ReadValues(TMzStream& stream, TEntryItem& item, int64_t size)
{
    // The caller has checked that size bytes are there.
    FValueBytes += size;
    if (FValueBytes > MaxValueBytes)
        throw EInvalidTiff();
    std::vector<uint8_t> raw(static_cast<size_t>(size));
    stream.ReadBuffer(raw.data(), size);

    item.Count = item.ValueCount;
    const uint32_t n = item.ValueCount;
    switch (item.DataType) {
    case ExifType::Ascii:
        item.Count = n > 0 ? 1 : 0;
        item.FValues = std::move(raw);
        return;
    case ExifType::Undefined:
        item.Count = 1;
        item.FValues = std::move(raw);
        return;
    case ExifType::Byte:
    case ExifType::SByte:
        item.FValues = std::move(raw);
        return;
    case ExifType::Short:
    case ExifType::SShort:
        for (uint32_t i = 0; i < n; ++i) {
            const uint16_t v = WordFromBytes(raw.data() + 2 * size_t(i), ByteOrder);
            std::memcpy(raw.data() + 2 * size_t(i), &v, 2);
        }
        break;
    case ExifType::Long:
    case ExifType::SLong:
    case ExifType::Float:
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t v = DWordFromBytes(raw.data() + 4 * size_t(i), ByteOrder);
            std::memcpy(raw.data() + 4 * size_t(i), &v, 4);
        }
        break;
    case ExifType::Rational:
    case ExifType::SRational:
        // Numerator and denominator, each a 32-bit number of its own.
        for (uint64_t i = 0; i < 2 * uint64_t(n); ++i) {
            const uint32_t v = DWordFromBytes(raw.data() + 4 * size_t(i), ByteOrder);
            std::memcpy(raw.data() + 4 * size_t(i), &v, 4);
        }
        break;
    case ExifType::Double:
        for (uint32_t i = 0; i < n; ++i) {
            const uint64_t v = QWordFromBytes(raw.data() + 8 * size_t(i), ByteOrder);
            std::memcpy(raw.data() + 8 * size_t(i), &v, 8);
        }
        break;
    default:
        throw EInvalidTiff();
    }
    item.FValues = std::move(raw);
}
