// The EXIF reader's file stream: byte-order reads over files and memory,
// the mode word, the open error's message, the read buffer, and what counts
// as an existing file.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <vector>

#include "TestFiles.h"
#include "decode/MzFileUtils.h"

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

std::string OpenMessage(const QString& absolutePath, int errorCode)
{
    return QStringLiteral("ファイル \"%1\". %2 は開けません")
        .arg(absolutePath, QString::fromLocal8Bit(std::strerror(errorCode)))
        .toStdString();
}

// Runs body once over the bytes in memory and once over the same bytes in a
// real file, so both streams answer the same.
void OnBothStreams(const QByteArray& bytes, const std::function<void(TMzStream&)>& body)
{
    {
        SCOPED_TRACE("memory stream");
        TMzMemoryStream stream(bytes.constData(), size_t(bytes.size()));
        body(stream);
    }
    {
        SCOPED_TRACE("file stream");
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath("values.bin");
        TestFiles::Write(path, bytes);
        TMzWideFileStream stream(path, MzFileMode::fmOpenRead);
        body(stream);
    }
}

// ---------------------------------------------------------------- typed reads

struct ReadCase {
    const char* name;
    QByteArray bytes;
    uint16_t order;
    std::function<double(TMzStream&, uint16_t)> read;
    double expected;
};

TEST(ByteOrderReads, TableOfValuesInBothOrders)
{
    const auto word = [](TMzStream& s, uint16_t o) { return double(ReadWord(s, o)); };
    const auto dword = [](TMzStream& s, uint16_t o) { return double(ReadDWord(s, o)); };
    const auto sshort = [](TMzStream& s, uint16_t o) { return double(ReadSShort(s, o)); };
    const auto slong = [](TMzStream& s, uint16_t o) { return double(ReadSLong(s, o)); };
    const auto flt = [](TMzStream& s, uint16_t o) { return double(ReadFloat(s, o)); };
    const auto dbl = [](TMzStream& s, uint16_t o) { return ReadDouble(s, o); };
    const std::vector<ReadCase> cases = {
        {"word II", Bytes({0x12, 0x34}), ByteOrderIntel, word, 0x3412},
        {"word MM", Bytes({0x12, 0x34}), ByteOrderMotorola, word, 0x1234},
        {"word FFFF", Bytes({0xFF, 0xFF}), ByteOrderIntel, word, 65535},
        // Any mark but "II" is big-endian.
        {"word other mark", Bytes({0x12, 0x34}), 0x0000, word, 0x1234},
        {"dword II", Bytes({0x01, 0x02, 0x03, 0x84}), ByteOrderIntel, dword, 0x84030201u},
        {"dword MM", Bytes({0x84, 0x03, 0x02, 0x01}), ByteOrderMotorola, dword, 0x84030201u},
        {"sshort -1 II", Bytes({0xFF, 0xFF}), ByteOrderIntel, sshort, -1},
        {"sshort -1 MM", Bytes({0xFF, 0xFF}), ByteOrderMotorola, sshort, -1},
        {"sshort -2 II", Bytes({0xFE, 0xFF}), ByteOrderIntel, sshort, -2},
        {"sshort -2 MM", Bytes({0xFF, 0xFE}), ByteOrderMotorola, sshort, -2},
        {"slong II", Bytes({0x60, 0x79, 0xFE, 0xFF}), ByteOrderIntel, slong, -100000},
        {"slong MM", Bytes({0xFF, 0xFE, 0x79, 0x60}), ByteOrderMotorola, slong, -100000},
        {"float II", Bytes({0x00, 0x00, 0xC0, 0x3F}), ByteOrderIntel, flt, 1.5},
        {"float MM", Bytes({0x3F, 0xC0, 0x00, 0x00}), ByteOrderMotorola, flt, 1.5},
        {"double 1.0 II", Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F}), ByteOrderIntel, dbl, 1.0},
        {"double 1.0 MM", Bytes({0x3F, 0xF0, 0, 0, 0, 0, 0, 0}), ByteOrderMotorola, dbl, 1.0},
        {"double -2.25 MM", Bytes({0xC0, 0x02, 0, 0, 0, 0, 0, 0}), ByteOrderMotorola, dbl, -2.25},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        OnBothStreams(c.bytes, [&](TMzStream& stream) {
            EXPECT_EQ(c.read(stream, c.order), c.expected);
            EXPECT_EQ(stream.Position(), c.bytes.size());
            // Nothing is left: the next read of any width fails.
            EXPECT_THROW(ReadWord(stream, c.order), EReadError);
        });
    }
}

TEST(ByteOrderReads, ReadPastTheEndRaisesReadError)
{
    const QByteArray threeBytes = Bytes({1, 2, 3});
    OnBothStreams(threeBytes, [](TMzStream& stream) {
        EXPECT_THROW(ReadDWord(stream, ByteOrderIntel), EReadError);
        stream.Seek(2);
        EXPECT_THROW(ReadWord(stream, ByteOrderMotorola), EReadError);
        stream.Seek(100);  // past the end: allowed, but nothing to read
        uint8_t b = 0;
        EXPECT_EQ(stream.Read(&b, 1), 0);
        EXPECT_THROW(stream.Seek(-1), ESeekError);
    });
    OnBothStreams(QByteArray(), [](TMzStream& stream) {
        EXPECT_EQ(stream.Size(), 0);
        EXPECT_THROW(ReadDouble(stream, ByteOrderIntel), EReadError);
    });
}

// ---------------------------------------------------------------- opening

class FileStreamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        file = dir.filePath("picture.jpg");
        TestFiles::Write(file, "\xFF\xD8 content");
    }

    QTemporaryDir dir;
    QString file;
};

TEST_F(FileStreamTest, InvalidModesFailWithTheOpenMessage)
{
    // Access 3 does not exist; sharing above "deny none" (0x40) does not either.
    for (uint32_t mode : {0x0003u, 0x0050u, 0x00F0u, 0x0043u}) {
        SCOPED_TRACE(mode);
        try {
            TMzWideFileStream stream(file, mode);
            ADD_FAILURE() << "opened with an invalid mode";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()), OpenMessage(file, EINVAL));
            EXPECT_EQ(e.ErrorCode(), EINVAL);
        }
    }
}

TEST_F(FileStreamTest, SharingBitsAreAcceptedAndIgnored)
{
    for (uint32_t mode : {0x0000u, 0x0010u, 0x0020u, 0x0030u, 0x0040u}) {
        SCOPED_TRACE(mode);
        TMzWideFileStream first(file, mode);
        // No share-deny modes: a second open beside the first succeeds.
        TMzWideFileStream second(file, mode);
        EXPECT_EQ(ReadWord(first, ByteOrderMotorola), 0xFFD8);
        EXPECT_EQ(second.Size(), 10);
        EXPECT_EQ(first.FileName(), file);
    }
}

TEST_F(FileStreamTest, OpenFailuresNameTheAbsolutePathAndTheSystemText)
{
    const QString missing = dir.filePath("missing.jpg");
    const QString fifo = dir.filePath("pipe.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case {
        const char* name;
        QString path;
        int error;
    };
    const std::vector<Case> cases = {
        {"missing file", missing, ENOENT},
        {"folder", dir.path(), EISDIR},
        // A FIFO is refused at once rather than blocking for a writer.
        {"fifo", fifo, EINVAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            TMzWideFileStream stream(c.path, MzFileMode::fmOpenRead);
            ADD_FAILURE() << "opened";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()), OpenMessage(c.path, c.error));
        }
    }
}

TEST_F(FileStreamTest, RelativePathsAreExpandedInTheMessage)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    std::string message;
    try {
        TMzWideFileStream stream("nothing here.jpg", MzFileMode::fmOpenRead);
    } catch (const EFOpenError& e) {
        message = e.what();
    }
    QDir::setCurrent(before);
    EXPECT_EQ(message, OpenMessage(QDir(dir.path()).absoluteFilePath("nothing here.jpg"), ENOENT));
}

TEST_F(FileStreamTest, UnicodePathsOpen)
{
    const QString name = dir.filePath(QStringLiteral("写真 ü—α.jpg"));
    TestFiles::Write(name, QByteArray("\x49\x49\x2A\x00", 4));
    TMzWideFileStream stream(name, MzFileMode::fmOpenRead);
    EXPECT_EQ(ReadWord(stream, ByteOrderIntel), 0x4949);
    EXPECT_EQ(ReadWord(stream, ByteOrderIntel), 42);
}

TEST_F(FileStreamTest, CreateTruncatesAndReadOnlyStreamsRefuseWrites)
{
    {
        TMzWideFileStream created(file, MzFileMode::fmCreate);
        EXPECT_EQ(created.Size(), 0);
        created.WriteBuffer("\x4D\x4D\x00\x2A", 4);
        created.Seek(0);
        EXPECT_EQ(ReadDWord(created, ByteOrderMotorola), 0x4D4D002Au);
    }
    EXPECT_EQ(TestFiles::Read(file), QByteArray("\x4D\x4D\x00\x2A", 4));
    TMzWideFileStream readOnly(file, MzFileMode::fmOpenRead);
    EXPECT_THROW(readOnly.WriteBuffer("x", 1), EWriteError);
}

// The stream reads through a buffer; reads that start inside it, run past
// its end, or bypass it with large blocks must all give the file's bytes.
TEST_F(FileStreamTest, BufferedReadsGiveTheFileBytesAtEveryPosition)
{
    QByteArray content(70000, '\0');
    for (int i = 0; i < content.size(); ++i)
        content[i] = char((i * 7 + i / 251) & 0xFF);
    TestFiles::Write(file, content);
    TMzWideFileStream stream(file, MzFileMode::fmOpenRead);
    ASSERT_EQ(stream.Size(), content.size());
    struct Span {
        int64_t position;
        int64_t length;
    };
    const std::vector<Span> spans = {
        {0, 2}, {2, 10}, {16380, 8}, {16384, 1}, {5, 40000}, {100, 3}, {65530, 4470}, {69998, 2}, {32767, 16385},
    };
    for (const Span& s : spans) {
        SCOPED_TRACE(s.position);
        stream.Seek(s.position);
        QByteArray got(int(s.length), '\0');
        stream.ReadBuffer(got.data(), s.length);
        EXPECT_EQ(got, content.mid(int(s.position), int(s.length)));
        EXPECT_EQ(stream.Position(), s.position + s.length);
    }
    stream.Seek(69999);
    QByteArray two(2, '\0');
    EXPECT_EQ(stream.Read(two.data(), 2), 1);
}

TEST_F(FileStreamTest, FileExistsWideIsFalseForFolders)
{
    struct Case {
        const char* name;
        QString path;
        bool exists;
    };
    const std::vector<Case> cases = {
        {"file", file, true},
        {"folder", dir.path(), false},
        {"folder with slash", dir.path() + "/", false},
        {"missing", dir.filePath("missing.jpg"), false},
        {"empty", QString(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FileExistsWide(c.path), c.exists);
    }
}

} // namespace
