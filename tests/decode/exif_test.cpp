// The EXIF reader on JPEG files whose TIFF structure is written here, in
// both byte orders, by a small writer; crafted counts and offsets; and a
// JPEG written by Pillow.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <vector>

#include "TestFiles.h"
#include "decode/ExifInfo.h"
#include "decode/MzFileUtils.h"

namespace {

// ---------------------------------------------------------------- TIFF writer

struct TiffEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    QByteArray data;                     // the values in the file's byte order
    int pointsTo = -1;                   // a LONG holding the offset of that directory
    std::optional<uint32_t> valueField;  // crafted: the 4-byte field as given, no data written
};

struct TiffDir {
    std::vector<TiffEntry> entries;
    int next = -1;                       // directory whose offset is the next-IFD offset
    std::optional<uint32_t> nextField;   // crafted next-IFD offset
    std::optional<uint16_t> countField;  // crafted entry count
};

// Lays out the header, then each directory followed by its out-of-line
// values, with no padding: every byte of the result is read by the parser.
class TiffWriter {
public:
    explicit TiffWriter(bool littleEndian) : le(littleEndian) {}

    QByteArray U16(uint16_t v) const
    {
        QByteArray b(2, '\0');
        b[le ? 0 : 1] = char(v & 0xFF);
        b[le ? 1 : 0] = char(v >> 8);
        return b;
    }
    QByteArray U32(uint32_t v) const
    {
        return le ? U16(uint16_t(v)) + U16(uint16_t(v >> 16)) : U16(uint16_t(v >> 16)) + U16(uint16_t(v));
    }
    QByteArray U64(uint64_t v) const
    {
        return le ? U32(uint32_t(v)) + U32(uint32_t(v >> 32)) : U32(uint32_t(v >> 32)) + U32(uint32_t(v));
    }

    TiffEntry Shorts(uint16_t tag, std::initializer_list<uint16_t> values) const
    {
        TiffEntry e{tag, ExifType::Short, uint32_t(values.size()), {}};
        for (uint16_t v : values)
            e.data += U16(v);
        return e;
    }
    TiffEntry Longs(uint16_t tag, std::initializer_list<uint32_t> values) const
    {
        TiffEntry e{tag, ExifType::Long, uint32_t(values.size()), {}};
        for (uint32_t v : values)
            e.data += U32(v);
        return e;
    }
    TiffEntry Ascii(uint16_t tag, const QByteArray& text) const
    {
        return {tag, ExifType::Ascii, uint32_t(text.size() + 1), text + QByteArray(1, '\0')};
    }
    TiffEntry Raw(uint16_t tag, uint16_t type, uint32_t count, const QByteArray& data) const
    {
        return {tag, type, count, data};
    }
    TiffEntry Pointer(uint16_t tag, int directory) const
    {
        TiffEntry e{tag, ExifType::Long, 1, {}};
        e.pointsTo = directory;
        return e;
    }
    TiffEntry Crafted(uint16_t tag, uint16_t type, uint32_t count, uint32_t valueField) const
    {
        TiffEntry e{tag, type, count, {}};
        e.valueField = valueField;
        return e;
    }

    QByteArray Build(const std::vector<TiffDir>& dirs) const
    {
        std::vector<uint32_t> offsets;
        uint32_t at = 8;
        for (const TiffDir& d : dirs) {
            offsets.push_back(at);
            at += 2 + 12 * uint32_t(d.entries.size()) + 4;
            for (const TiffEntry& e : d.entries)
                if (e.pointsTo < 0 && !e.valueField && e.data.size() > 4)
                    at += uint32_t(e.data.size());
        }
        QByteArray out = le ? QByteArray("II") : QByteArray("MM");
        out += U16(42) + U32(offsets.empty() ? 0 : offsets[0]);
        for (size_t i = 0; i < dirs.size(); ++i) {
            const TiffDir& d = dirs[i];
            out += U16(d.countField ? *d.countField : uint16_t(d.entries.size()));
            uint32_t dataAt = offsets[i] + 2 + 12 * uint32_t(d.entries.size()) + 4;
            QByteArray data;
            for (const TiffEntry& e : d.entries) {
                out += U16(e.tag) + U16(e.type) + U32(e.count);
                if (e.pointsTo >= 0) {
                    out += U32(offsets[size_t(e.pointsTo)]);
                } else if (e.valueField) {
                    out += U32(*e.valueField);
                } else if (e.data.size() <= 4) {
                    out += e.data + QByteArray(4 - e.data.size(), '\0');
                } else {
                    out += U32(dataAt);
                    dataAt += uint32_t(e.data.size());
                    data += e.data;
                }
            }
            out += U32(d.nextField ? *d.nextField : d.next >= 0 ? offsets[size_t(d.next)] : 0);
            out += data;
        }
        return out;
    }

    bool le;
};

// A camera-style JPEG: the APP1 segment directly after the start marker.
QByteArray ExifJpeg(const QByteArray& tiff)
{
    const int length = 2 + 6 + int(tiff.size());
    QByteArray out("\xFF\xD8\xFF\xE1", 4);
    out += char(length >> 8);
    out += char(length & 0xFF);
    out += QByteArray("Exif\0\0", 6) + tiff + QByteArray("\xFF\xD9", 2);
    return out;
}

QByteArray JfifHeader()
{
    return QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20);
}

// The offset of the JPEG's TIFF header from the start of the file.
constexpr int TiffStart = 12;

const char* OrderName(bool le)
{
    return le ? "II" : "MM";
}

// Reads a file with OnError recording the code and clearing allowError.
struct Loaded {
    int error = 0;  // 0 when none
    int updates = 0;
};

Loaded LoadQuietly(TExifInfo& info, const QString& path)
{
    Loaded result;
    info.OnError = [&](TExifInfo* sender, int code, bool& allowError) {
        EXPECT_EQ(sender, &info);
        EXPECT_TRUE(allowError);
        result.error = code;
        allowError = false;
    };
    info.OnUpdate = [&](TExifInfo*) { ++result.updates; };
    info.SetImageFileName(path);
    info.OnError = nullptr;
    info.OnUpdate = nullptr;
    return result;
}

int LoadBytesQuietly(TExifInfo& info, const QByteArray& bytes)
{
    int error = 0;
    info.OnError = [&](TExifInfo*, int code, bool& allowError) {
        error = code;
        allowError = false;
    };
    TMzMemoryStream stream(bytes.constData(), size_t(bytes.size()));
    info.LoadFromStream(stream);
    return error;
}

class ExifTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString WriteFile(const QByteArray& bytes, const QString& name = "photo.jpg")
    {
        const QString path = dir.filePath(name);
        TestFiles::Write(path, bytes);
        return path;
    }

    QTemporaryDir dir;
};

// ---------------------------------------------------------------- orientation

TEST_F(ExifTest, OrientationTableInBothByteOrders)
{
    struct Case {
        const char* name;
        std::function<std::vector<TiffEntry>(const TiffWriter&)> entries;
        int expected;
    };
    const std::vector<Case> cases = {
        {"6", [](const TiffWriter& w) { return std::vector{w.Shorts(0x0112, {6})}; }, 6},
        {"8 after other tags",
         [](const TiffWriter& w) {
             return std::vector{w.Ascii(0x010F, "Maker Inc."), w.Shorts(0x0112, {8})};
         },
         8},
        {"no orientation tag", [](const TiffWriter& w) { return std::vector{w.Ascii(0x010F, "X")}; }, 1},
        {"0", [](const TiffWriter& w) { return std::vector{w.Shorts(0x0112, {0})}; }, 0},
        {"9 is out of range", [](const TiffWriter& w) { return std::vector{w.Shorts(0x0112, {9})}; }, 0},
        {"65535", [](const TiffWriter& w) { return std::vector{w.Shorts(0x0112, {65535})}; }, 0},
        {"stored as LONG", [](const TiffWriter& w) { return std::vector{w.Longs(0x0112, {6})}; }, 0},
        {"empty SHORT", [](const TiffWriter& w) { return std::vector{w.Raw(0x0112, ExifType::Short, 0, {})}; }, 0},
        {"type word with a high byte",
         [](const TiffWriter& w) { return std::vector{w.Raw(0x0112, 0x0103, 1, w.U16(6))}; }, 6},
    };
    for (bool le : {true, false}) {
        const TiffWriter w(le);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(OrderName(le)) + " " + c.name);
            const QString path = WriteFile(ExifJpeg(w.Build({TiffDir{c.entries(w)}})));
            EXPECT_TRUE(TExifInfo::HasExif(path));
            TExifInfo info;
            info.SetImageFileName(path);
            EXPECT_EQ(info.Orientation(), c.expected);
            EXPECT_EQ(info.ByteOrder, le ? 0x4949 : 0x4D4D);
            EXPECT_EQ(info.App1Position, 2);
            EXPECT_EQ(info.TiffBase, TiffStart);
            EXPECT_EQ(info.Entries.Base, TiffStart);
        }
    }
}

// ---------------------------------------------------------------- every type

TEST_F(ExifTest, EveryValueTypeIsReadInPlaceOrAtItsOffset)
{
    for (bool le : {true, false}) {
        SCOPED_TRACE(OrderName(le));
        const TiffWriter w(le);
        // In-place values of 1 to 4 bytes come first: if the reader did not
        // continue 12 bytes after each entry's start, every later tag would
        // be wrong.
        const std::vector<TiffEntry> entries = {
            w.Raw(0x0001, ExifType::Byte, 3, QByteArray("\x01\x02\xFA", 3)),
            w.Shorts(0x0112, {6}),
            w.Raw(0x0003, ExifType::SShort, 2, w.U16(uint16_t(-2)) + w.U16(300)),
            w.Longs(0x0004, {0xDEADBEEF}),
            w.Raw(0x0005, ExifType::SByte, 4, QByteArray("\xFF\x80\x7F\x00", 4)),
            w.Ascii(0x010F, "Canon"),
            w.Ascii(0x0131, "ab"),
            w.Shorts(0x0102, {1, 2, 65535}),
            w.Raw(0x011A, ExifType::Rational, 1, w.U32(72) + w.U32(1)),
            w.Raw(0x0007, ExifType::Undefined, 5, QByteArray("0230\x01", 5)),
            w.Raw(0x0008, ExifType::SLong, 1, w.U32(uint32_t(-100000))),
            w.Raw(0x0009, ExifType::SRational, 2, w.U32(uint32_t(-1)) + w.U32(3) + w.U32(5) + w.U32(uint32_t(-7))),
            w.Raw(0x000B, ExifType::Float, 1, w.U32(0x3FC00000)),  // 1.5
            w.Raw(0x000C, ExifType::Double, 1, w.U64(0xC002000000000000ull)),  // -2.25
            w.Raw(0x000D, ExifType::Ascii, 0, {}),
            w.Raw(0x000E, ExifType::Undefined, 2, QByteArray("\x01\x02", 2)),
            w.Longs(0x000F, {7, 8}),
        };
        const QString path = WriteFile(ExifJpeg(w.Build({TiffDir{entries}})));
        TExifInfo info;
        info.SetImageFileName(path);
        const TEntryItems& e = info.Entries;
        ASSERT_EQ(e.Count(), int(entries.size()));
        for (int i = 0; i < e.Count(); ++i) {
            EXPECT_EQ(e[i].Tag, entries[size_t(i)].tag) << "entry " << i;
            EXPECT_EQ(e[i].DataType, uint8_t(entries[size_t(i)].type)) << "entry " << i;
            EXPECT_EQ(e[i].ValueCount, entries[size_t(i)].count) << "entry " << i;
            EXPECT_EQ(e[i].Ifd, ExifIfd::Main);
            // Values of more than four bytes lie at an offset; the rest in place.
            EXPECT_EQ(e[i].ValueOffset != 0, entries[size_t(i)].data.size() > 4) << "entry " << i;
        }
        EXPECT_EQ(e[0].Count, 3u);
        EXPECT_EQ(e[0].GetByte(0), 1);
        EXPECT_EQ(e[0].GetByte(2), 0xFA);
        EXPECT_EQ(e[1].GetShort(0), 6);
        EXPECT_EQ(e[2].GetSShort(0), -2);
        EXPECT_EQ(e[2].GetSShort(1), 300);
        EXPECT_EQ(e[3].GetLong(0), 0xDEADBEEFu);
        EXPECT_EQ(e[4].GetSByte(0), -1);
        EXPECT_EQ(e[4].GetSByte(1), -128);
        EXPECT_EQ(e[4].GetSByte(2), 127);
        EXPECT_EQ(e[5].Count, 1u);
        EXPECT_EQ(e[5].GetText(), QByteArray("Canon\0", 6));
        EXPECT_EQ(e[6].GetText(), QByteArray("ab\0", 3));
        EXPECT_EQ(e[7].Count, 3u);
        EXPECT_EQ(e[7].GetShort(2), 65535);
        EXPECT_EQ(e[8].GetRational(0).Numerator, 72u);
        EXPECT_EQ(e[8].GetRational(0).Denominator, 1u);
        EXPECT_EQ(e[9].Count, 1u);
        EXPECT_EQ(e[9].GetBlock(), QByteArray("0230\x01", 5));
        EXPECT_EQ(e[10].GetSLong(0), -100000);
        EXPECT_EQ(e[11].GetSRational(0).Numerator, -1);
        EXPECT_EQ(e[11].GetSRational(0).Denominator, 3);
        EXPECT_EQ(e[11].GetSRational(1).Numerator, 5);
        EXPECT_EQ(e[11].GetSRational(1).Denominator, -7);
        EXPECT_EQ(e[12].GetFloat(0), 1.5f);
        EXPECT_EQ(e[13].GetDouble(0), -2.25);
        EXPECT_EQ(e[14].Count, 0u);
        EXPECT_TRUE(e[14].GetText().isEmpty());
        EXPECT_EQ(e[15].Count, 1u);
        EXPECT_EQ(e[15].GetBlock(), QByteArray("\x01\x02", 2));
        EXPECT_EQ(e[16].GetLong(1), 8u);

        // Getters of another type, or outside 0 .. Count - 1, give 0.
        EXPECT_EQ(e[1].GetLong(0), 0u);
        EXPECT_EQ(e[3].GetShort(0), 0);
        EXPECT_EQ(e[1].GetShort(1), 0);
        EXPECT_EQ(e[1].GetShort(-1), 0);
        EXPECT_EQ(e[16].GetLong(2), 0u);
        EXPECT_EQ(e[15].GetText(), QByteArray());

        EXPECT_EQ(e.Find(0x010F, ExifIfd::Main), 5);
        EXPECT_EQ(e.Find(0x010F, ExifIfd::Exif), -1);
        EXPECT_EQ(e.Find(0x9999, ExifIfd::Main), -1);
    }
}

// ---------------------------------------------------------------- directories

TEST_F(ExifTest, SubDirectoriesAndThumbnailDirectoryLandInTheirCollections)
{
    for (bool le : {true, false}) {
        SCOPED_TRACE(OrderName(le));
        const TiffWriter w(le);
        // 0 IFD0 -> 1 Exif -> 3 interop; 0 -> 2 GPS; 0 next 4 IFD1 -> 5 Exif -> 6 interop.
        std::vector<TiffDir> dirs(7);
        dirs[0].entries = {w.Shorts(0x0112, {8}), w.Pointer(ExifTag::ExifIfdPointer, 1),
                           w.Pointer(ExifTag::GpsIfdPointer, 2)};
        dirs[0].next = 4;
        dirs[1].entries = {w.Ascii(0x9003, "2024:05:06 07:08:09"), w.Pointer(ExifTag::InteropIfdPointer, 3)};
        dirs[2].entries = {w.Ascii(0x0001, "N"),
                           w.Raw(0x0002, ExifType::Rational, 3,
                                 w.U32(35) + w.U32(1) + w.U32(41) + w.U32(1) + w.U32(225) + w.U32(10))};
        dirs[3].entries = {w.Ascii(0x0001, "R98")};
        dirs[4].entries = {w.Shorts(0x0103, {6}), w.Longs(0x0201, {1234}), w.Pointer(ExifTag::ExifIfdPointer, 5)};
        dirs[4].nextField = 0xFFFFFFF0;  // IFD1's own next offset is read and dropped
        dirs[5].entries = {w.Shorts(0xA002, {160}), w.Pointer(ExifTag::InteropIfdPointer, 6)};
        dirs[6].entries = {w.Ascii(0x0001, "THM")};
        const QString path = WriteFile(ExifJpeg(w.Build(dirs)));

        TExifInfo info;
        info.SetImageFileName(path);
        EXPECT_EQ(info.Orientation(), 8);
        const TEntryItems& e = info.Entries;
        ASSERT_EQ(e.Count(), 3 + 2 + 2 + 1);
        const int date = e.Find(0x9003, ExifIfd::Exif);
        ASSERT_GE(date, 0);
        EXPECT_EQ(e[date].GetText(), QByteArray("2024:05:06 07:08:09\0", 20));
        const int lat = e.Find(0x0002, ExifIfd::Gps);
        ASSERT_GE(lat, 0);
        EXPECT_EQ(e[lat].GetRational(2).Numerator, 225u);
        EXPECT_EQ(e[lat].GetRational(2).Denominator, 10u);
        const int interop = e.Find(0x0001, ExifIfd::Interop);
        ASSERT_GE(interop, 0);
        EXPECT_EQ(e[interop].GetText(), QByteArray("R98\0", 4));
        // The main collection holds nothing of the thumbnail.
        EXPECT_EQ(e.Find(0x0201, ExifIfd::Main), -1);

        const TEntryItems& t = info.ThumbnailEntries;
        ASSERT_EQ(t.Count(), 3 + 2 + 1);
        EXPECT_EQ(t.Base, TiffStart);
        EXPECT_EQ(t[t.Find(0x0201, ExifIfd::Main)].GetLong(0), 1234u);
        EXPECT_EQ(t[t.Find(0xA002, ExifIfd::Exif)].GetShort(0), 160);
        EXPECT_EQ(t[t.Find(0x0001, ExifIfd::Interop)].GetText(), QByteArray("THM\0", 4));
        // The thumbnail's orientation does not count.
        EXPECT_EQ(t.Find(0x0103, ExifIfd::Main), 0);
    }
}

TEST_F(ExifTest, DirectoriesPointingAtThemselvesAreReadOnce)
{
    const TiffWriter w(true);
    std::vector<TiffDir> dirs(1);
    dirs[0].entries = {w.Shorts(0x0112, {6}), w.Pointer(ExifTag::ExifIfdPointer, 0),
                       w.Pointer(ExifTag::GpsIfdPointer, 0), w.Pointer(ExifTag::InteropIfdPointer, 0)};
    dirs[0].next = 0;  // IFD1 is IFD0 again
    TExifInfo info;
    info.SetImageFileName(WriteFile(ExifJpeg(w.Build(dirs))));
    // IFD0, Exif (= IFD0), GPS (= IFD0), interop (the Exif copy has the
    // pointer) in the main collection; IFD1, its Exif and interop in the other.
    EXPECT_EQ(info.Entries.Count(), 4 * 4);
    EXPECT_EQ(info.ThumbnailEntries.Count(), 3 * 4);
    EXPECT_EQ(info.Orientation(), 6);
}

TEST_F(ExifTest, ShortAndLongSegmentsAreRead)
{
    for (int textLength : {1, 150, 300, 60000}) {
        SCOPED_TRACE(textLength);
        const TiffWriter w(false);
        const QByteArray jpeg =
            ExifJpeg(w.Build({TiffDir{{w.Ascii(0x010E, QByteArray(textLength, 'x')), w.Shorts(0x0112, {6})}}}));
        // The segment length's high byte is zero for the short ones.
        EXPECT_EQ(uint8_t(jpeg[4]) == 0, textLength < 200);
        TExifInfo info;
        info.SetImageFileName(WriteFile(jpeg));
        EXPECT_EQ(info.Orientation(), 6);
        EXPECT_EQ(info.Entries[0].GetText().size(), textLength + 1);
    }
}

// ---------------------------------------------------------------- failures

TEST_F(ExifTest, MissingFilesAndFilesWithoutExifReportTheirErrors)
{
    const TiffWriter w(true);
    const QByteArray tiff = w.Build({TiffDir{{w.Shorts(0x0112, {6})}}});
    const QByteArray camera = ExifJpeg(tiff);
    struct Case {
        const char* name;
        std::optional<QByteArray> bytes;  // none: no file at all
        int error;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"missing file", std::nullopt, -1, "TExifInfo: ファイルが見つかりません"},
        {"JFIF segment first", JfifHeader() + camera.mid(2), -2, "TExifInfo: Exif、またはDCF形式ではありません"},
        {"not a JPEG", QByteArray("\x89PNG\r\n\x1A\n", 8) + camera, -2, nullptr},
        {"empty file", QByteArray(), -2, nullptr},
        {"only the start marker", QByteArray("\xFF\xD8", 2), -2, nullptr},
        {"FF padding before APP1", QByteArray("\xFF\xD8\xFF", 3) + camera.mid(2), -2, nullptr},
        {"APP1 marker and nothing else", QByteArray("\xFF\xD8\xFF\xE1", 4), -5, "TExifInfo: 不正なストリーム"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = c.bytes ? WriteFile(*c.bytes) : dir.filePath("nothing.jpg");
        EXPECT_EQ(TExifInfo::HasExif(path), c.error == -5);
        TExifInfo info;
        try {
            info.SetImageFileName(path);
            ADD_FAILURE() << "no error";
        } catch (const EExifError& e) {
            EXPECT_EQ(e.Code(), c.error);
            if (c.message)
                EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_EQ(info.Entries.Count(), 0);
    }
    // A folder is not a file.
    TExifInfo info;
    EXPECT_EQ(LoadQuietly(info, dir.path()).error, -1);
    EXPECT_FALSE(TExifInfo::HasExif(dir.path()));
}

TEST_F(ExifTest, TheScanLimitLetsTheSearchLookPastOtherSegments)
{
    const TiffWriter w(true);
    const QByteArray jfif = JfifHeader() + ExifJpeg(w.Build({TiffDir{{w.Shorts(0x0112, {6})}}})).mid(2);
    const QString path = WriteFile(jfif);
    EXPECT_FALSE(TExifInfo::HasExif(path));
    EXPECT_TRUE(TExifInfo::HasExif(path, 64));
    TExifInfo info;
    info.ScanLimit = 64;
    info.SetImageFileName(path);
    EXPECT_EQ(info.App1Position, 20);
    EXPECT_EQ(info.Orientation(), 6);
}

TEST_F(ExifTest, CraftedCountsAndOffsetsFailWithInvalidStream)
{
    struct Case {
        const char* name;
        std::function<QByteArray(const TiffWriter&)> tiff;
        int entriesKept;  // entries of IFD0 read before the failure
    };
    const auto orientation = [](const TiffWriter& w) { return w.Shorts(0x0112, {6}); };
    const std::vector<Case> cases = {
        {"directory count past the end",
         [&](const TiffWriter& w) {
             TiffDir d{{orientation(w)}};
             d.countField = 500;
             return w.Build({d});
         },
         0},
        {"value count past the end",
         [&](const TiffWriter& w) {
             return w.Build({TiffDir{{orientation(w), w.Crafted(0x0100, ExifType::Long, 1000, 8)}}});
         },
         2},
        {"value offset past the end",
         [&](const TiffWriter& w) {
             return w.Build({TiffDir{{orientation(w), w.Crafted(0x0100, ExifType::Long, 2, 0xFFFFFF00)}}});
         },
         2},
        {"four billion bytes",
         [&](const TiffWriter& w) {
             return w.Build({TiffDir{{orientation(w), w.Crafted(0x927C, ExifType::Undefined, 0xFFFFFFFF, 8)}}});
         },
         2},
        // 8 × 0x20000000 wraps to 0 in 32 bits: the count must not be taken
        // for an empty in-place value.
        {"count whose size wraps in 32 bits",
         [&](const TiffWriter& w) {
             return w.Build({TiffDir{{orientation(w), w.Crafted(0x0100, ExifType::Double, 0x20000000, 0)}}});
         },
         2},
        {"type 0",
         [&](const TiffWriter& w) {
             return w.Build({TiffDir{{orientation(w), w.Crafted(0x0100, 0, 1, 0), orientation(w)}}});
         },
         2},
        {"type 13",
         [&](const TiffWriter& w) {
             return w.Build({TiffDir{{orientation(w), w.Crafted(0x0100, 13, 1, 8), orientation(w)}}});
         },
         2},
        {"IFD0 offset past the end",
         [&](const TiffWriter& w) {
             QByteArray t = w.Build({TiffDir{{orientation(w)}}});
             return t.left(4) + w.U32(0x7FFFFFF0) + t.mid(8);
         },
         0},
        {"Exif pointer past the end",
         [&](const TiffWriter& w) {
             return w.Build({TiffDir{{orientation(w), w.Crafted(ExifTag::ExifIfdPointer, ExifType::Long, 1, 1000)}}});
         },
         2},
        // IFD0 was read completely, but a bad thumbnail directory still
        // fails the whole parse.
        {"thumbnail offset past the end",
         [&](const TiffWriter& w) {
             TiffDir d{{orientation(w)}};
             d.nextField = 0xFFFF0000;
             return w.Build({d});
         },
         1},
    };
    for (bool le : {true, false}) {
        const TiffWriter w(le);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(OrderName(le)) + " " + c.name);
            const QString path = WriteFile(ExifJpeg(c.tiff(w)));
            TExifInfo info;
            const Loaded loaded = LoadQuietly(info, path);
            EXPECT_EQ(loaded.error, -5);
            // Cleared once; not announced as newly read.
            EXPECT_EQ(loaded.updates, 1);
            EXPECT_EQ(info.Entries.Count(), c.entriesKept);
            EXPECT_THROW(TExifInfo().SetImageFileName(path), EExifError);
        }
    }
}

TEST_F(ExifTest, EveryTruncationFailsCleanly)
{
    const TiffWriter w(false);
    std::vector<TiffDir> dirs(3);
    dirs[0].entries = {w.Shorts(0x0112, {6}), w.Ascii(0x010F, "Maker"), w.Pointer(ExifTag::ExifIfdPointer, 1)};
    dirs[0].next = 2;
    dirs[1].entries = {w.Raw(0x829A, ExifType::Rational, 1, w.U32(1) + w.U32(250))};
    dirs[2].entries = {w.Longs(0x0201, {99})};
    const QByteArray tiff = w.Build(dirs);
    const QByteArray jpeg = ExifJpeg(tiff);
    const int tiffEnd = TiffStart + int(tiff.size());
    for (int length = 0; length <= jpeg.size(); ++length) {
        SCOPED_TRACE(length);
        TExifInfo info;
        const int error = LoadBytesQuietly(info, jpeg.left(length));
        // Every byte of the TIFF structure is needed.
        const int expected = length < 4 ? -2 : length < tiffEnd ? -5 : 0;
        EXPECT_EQ(error, expected);
    }
}

TEST_F(ExifTest, OnErrorDecidesWhetherTheErrorRaises)
{
    const QString path = WriteFile(JfifHeader());
    TExifInfo info;
    std::vector<int> codes;
    info.OnError = [&](TExifInfo*, int code, bool&) { codes.push_back(code); };
    EXPECT_THROW(info.SetImageFileName(path), EExifError);
    info.OnError = [&](TExifInfo*, int code, bool& allowError) {
        codes.push_back(code);
        allowError = false;
    };
    EXPECT_NO_THROW(info.SetImageFileName(path));
    EXPECT_EQ(codes, (std::vector<int>{-2, -2}));
    EXPECT_EQ(info.App1Position, -1);
    EXPECT_EQ(info.Orientation(), 1);

    // DoError with a code of no operation here still carries its text.
    info.OnError = nullptr;
    const std::vector<std::pair<int, std::string>> texts = {
        {-3, "TExifInfo: ユーザコメントは不明な形式です"}, {-4, "TExifInfo: ASCII文字以外は書き込みできません"},
        {-6, "TExifInfo: 不正なインデックス"},           {-7, "TExifInfo: タグが見つかりません"},
        {-8, "TExifInfo: 日時は不明です"},               {-9, "TExifInfo: 不明なエラーです"},
        {0, "TExifInfo: 不明なエラーです"},
    };
    for (const auto& [code, text] : texts) {
        try {
            info.DoError(code);
            ADD_FAILURE() << code;
        } catch (const EExifError& e) {
            EXPECT_EQ(e.what(), text);
            EXPECT_EQ(e.Code(), code);
        }
    }
}

TEST_F(ExifTest, UpdatesAreAnnouncedOnClearAndOnRead)
{
    const TiffWriter w(true);
    const QString good = WriteFile(ExifJpeg(w.Build({TiffDir{{w.Shorts(0x0112, {6})}}})), "good.jpg");
    TExifInfo info;
    Loaded loaded = LoadQuietly(info, good);
    EXPECT_EQ(loaded.error, 0);
    EXPECT_EQ(loaded.updates, 2);
    EXPECT_EQ(info.ImageFileName(), good);
    // Reading another file first drops the old entries; an empty name stops there.
    loaded = LoadQuietly(info, QString());
    EXPECT_EQ(loaded.updates, 1);
    EXPECT_EQ(loaded.error, 0);
    EXPECT_EQ(info.Entries.Count(), 0);
    EXPECT_EQ(info.Orientation(), 1);
}

// ---------------------------------------------------------------- Pillow

TEST_F(ExifTest, JpegWrittenByPillowParses)
{
    const QString written = dir.filePath("pillow.jpg");
    const char* script = R"(
import sys
from PIL import Image
im = Image.new('RGB', (8, 4), (200, 10, 10))
ex = Image.Exif()
ex[0x0112] = 6
ex[0x010F] = 'Zorvin Test'
ex[0x8769] = {0x9003: '2024:05:06 07:08:09', 0xA002: 8}
ex[0x8825] = {1: 'N', 2: (35.0, 41.0, 22.5)}
im.save(sys.argv[1], 'JPEG', exif=ex.tobytes())
)";
    QProcess python;
    python.start("/usr/bin/python3", {"-c", script, written});
    ASSERT_TRUE(python.waitForFinished(60000));
    if (python.exitCode() != 0)
        GTEST_SKIP() << "Pillow is not available: " << python.readAllStandardError().toStdString();

    // Pillow writes a JFIF segment first: no EXIF where the search looks.
    EXPECT_FALSE(TExifInfo::HasExif(written));
    TExifInfo jfif;
    EXPECT_EQ(LoadQuietly(jfif, written).error, -2);

    // Without that segment it is laid out like a camera's file.
    const QByteArray bytes = TestFiles::Read(written);
    ASSERT_EQ(bytes.mid(2, 2), QByteArray("\xFF\xE0", 2));
    const int app0Length = (uint8_t(bytes[4]) << 8) | uint8_t(bytes[5]);
    const QString camera = WriteFile(bytes.left(2) + bytes.mid(4 + app0Length), "camera.jpg");
    ASSERT_TRUE(TExifInfo::HasExif(camera));
    TExifInfo info;
    info.SetImageFileName(camera);
    EXPECT_EQ(info.Orientation(), 6);
    const TEntryItems& e = info.Entries;
    EXPECT_EQ(e[e.Find(0x010F, ExifIfd::Main)].GetText(), QByteArray("Zorvin Test\0", 12));
    EXPECT_EQ(e[e.Find(0x9003, ExifIfd::Exif)].GetText(), QByteArray("2024:05:06 07:08:09\0", 20));
    EXPECT_EQ(e[e.Find(0xA002, ExifIfd::Exif)].GetShort(0), 8);
    EXPECT_EQ(e[e.Find(0x0001, ExifIfd::Gps)].GetText(), QByteArray("N\0", 2));
    const TEntryItem& lat = e[e.Find(0x0002, ExifIfd::Gps)];
    ASSERT_EQ(lat.Count, 3u);
    const TExifRational seconds = lat.GetRational(2);
    EXPECT_DOUBLE_EQ(double(seconds.Numerator) / seconds.Denominator, 22.5);
    EXPECT_EQ(info.ThumbnailEntries.Count(), 0);
}

} // namespace
